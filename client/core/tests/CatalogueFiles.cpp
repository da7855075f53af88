#include "CatalogueFiles.h"

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

} // namespace catalogue_test
