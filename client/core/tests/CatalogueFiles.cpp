#include "CatalogueFiles.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

namespace catalogue_test {

std::string Encode(const std::vector<std::string>& rows, bool closeLast)
{
    std::string bytes;
    for (size_t i = 0; i < rows.size(); ++i) {
        for (char c : rows[i])
            bytes += static_cast<char>(~static_cast<unsigned char>(c));
        if (closeLast || i + 1 < rows.size())
            bytes += '\0';
    }
    return bytes;
}

std::vector<std::string> Decode(const std::string& bytes)
{
    std::vector<std::string> rows;
    std::string row;
    for (char c : bytes) {
        if (c != '\0') {
            row += static_cast<char>(~static_cast<unsigned char>(c));
            continue;
        }
        if (row.empty())
            break;
        rows.push_back(row);
        row.clear();
    }
    return rows;
}

std::vector<std::string> Split(const std::string& row)
{
    std::vector<std::string> fields(1);
    for (char c : row) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempHome::TempHome(const std::string& name)
    : m_path(std::filesystem::temp_directory_path() / ("yonda-" + name + "-" + std::to_string(getpid())))
{
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempHome::~TempHome()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

void TempHome::WriteCatalogue(const std::string& bytes) const
{
    std::filesystem::create_directories(m_path / "data" / "item");
    std::ofstream(m_path / "data" / "item" / "item.dsv", std::ios::binary) << bytes;
}

} // namespace catalogue_test
