#include "DataTree.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace world {

void DataTree::Add(const std::string& path, Bytes bytes)
{
    if (!m_files.emplace(path, std::move(bytes)).second)
        throw std::logic_error("generated twice: " + path);
}

void DataTree::AddText(const std::string& path, const std::string& text)
{
    Add(path, Bytes(text.begin(), text.end()));
}

const Bytes& DataTree::Get(const std::string& path) const
{
    auto it = m_files.find(path);
    if (it == m_files.end())
        throw std::out_of_range("not generated: " + path);
    return it->second;
}

static bool SameContent(const std::filesystem::path& path, const Bytes& bytes)
{
    std::error_code error;
    if (std::filesystem::file_size(path, error) != bytes.size() || error)
        return false;
    std::ifstream in(path, std::ios::binary);
    Bytes existing((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return existing == bytes;
}

std::size_t DataTree::WriteTo(const std::filesystem::path& root) const
{
    std::size_t written = 0;
    for (const auto& [relative, bytes] : m_files) {
        std::filesystem::path path = root / relative;
        if (SameContent(path, bytes))
            continue;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::path temporary = path;
        temporary += ".part";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!out)
                throw std::runtime_error("cannot write " + temporary.string());
        }
        std::filesystem::rename(temporary, path);
        ++written;
    }
    return written;
}

} // namespace world
