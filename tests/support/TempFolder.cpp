#include "TempFolder.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include <stdlib.h>

namespace yonda::testing {

TempFolder::TempFolder(std::string_view prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "no temporary folder " + pattern);
    m_root = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code error;
    std::filesystem::remove_all(m_root, error);
}

std::string TempFolder::Windows() const
{
    std::string path = m_root.string();
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::filesystem::path TempFolder::MakeFolder(const std::filesystem::path& relative) const
{
    const std::filesystem::path path = m_root / relative;
    std::filesystem::create_directories(path);
    return path;
}

std::filesystem::path TempFolder::Write(const std::filesystem::path& relative, std::string_view content) const
{
    const std::filesystem::path path = m_root / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out.flush())
        throw std::system_error(errno, std::generic_category(), "cannot write " + path.string());
    return path;
}

std::filesystem::path TempFolder::Write(const std::filesystem::path& relative, const std::vector<uint8_t>& bytes) const
{
    return Write(relative, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace yonda::testing
