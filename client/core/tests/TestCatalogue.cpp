#include "TestCatalogue.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace avatartest {

namespace {

const char* const kCategories[2][7] = {
    {"man_hair", "man_face", "man_up", "man_low", "man_footwear", "man_handitem", "man_hairitem"},
    {"lady_hair", "lady_face", "lady_up", "lady_low", "lady_footwear", "lady_handitem", "lady_hairitem"},
};

std::vector<std::string> Split(const std::string& row)
{
    std::vector<std::string> fields;
    std::stringstream stream(row);
    std::string field;
    while (std::getline(stream, field, ',')) {
        fields.push_back(field);
    }
    return fields;
}

} // namespace

bool ReadCatalogue(const std::string& path, std::vector<CatalogueItem>& items)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    items.clear();
    int category = -1;
    bool skipHeader = false;
    std::string row;
    for (char c : bytes) {
        if (c != '\0') {
            row.push_back(static_cast<char>(~c));
            continue;
        }
        const std::vector<std::string> fields = Split(row);
        row.clear();
        if (fields.empty()) {
            continue;
        }
        bool categoryRow = false;
        for (int g = 0; g < 2; ++g) {
            for (int c2 = 0; c2 < 7; ++c2) {
                if (fields[0] == kCategories[g][c2]) {
                    if (fields.size() < 2 || std::atoi(fields[1].c_str()) <= 0) {
                        return false;
                    }
                    category = c2;
                    categoryRow = skipHeader = true;
                }
            }
        }
        if (categoryRow) {
            continue;
        }
        if (skipHeader) {
            skipHeader = false;
            continue;
        }
        if (category < 0 || fields.size() < 7 || fields[5].size() < 6) {
            continue;
        }
        const std::string& code = fields[5];
        items.push_back({code[0] - '0', code[2] - '0', std::atoi(code.substr(3, 3).c_str()), fields[6], fields[1]});
    }
    return !items.empty();
}

const CatalogueItem* FindInCatalogue(const std::vector<CatalogueItem>& items, int gender, int category, int number,
                                     bool variant)
{
    for (const CatalogueItem& item : items) {
        if (item.gender == gender && item.category == category && item.number == number &&
            (item.texture != "0") == variant) {
            return &item;
        }
    }
    return nullptr;
}

} // namespace avatartest
