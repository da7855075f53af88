#include "TestCatalogue.h"

#include "ServiceHarness.h"

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

void WriteSampleCatalogue(const std::string& path)
{
    const char* header = "code,name,price,sale,text,file,texture,description";
    const std::vector<std::string> rows = {
        "man_hair,2", header,
        "1000020,Curls,0,0,,100002,0,curly hair",
        "1000021,Curls dyed,50,Y,,100002,1000021.KRT,the curls dyed",
        "man_up,2", header,
        "1020020,Jumper,0,0,,102002,0,a jumper",
        "1020021,Jumper blue,30,Y,,102002,1020021.KRT,the jumper in blue",
        "man_handitem,1", header,
        "1050010,Bag,20,Y,,105001,0,a bag",
        "lady_up,1", header,
        "2020020,Dress,0,0,,202002,0,a dress",
        "lady_hairitem,1", header,
        "2060010,Band,10,Y,,206001,0,a hair band",
    };
    const std::vector<uint8_t> bytes = yonda::testing::encodeCatalogue(rows);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

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

} // namespace avatartest
