#include "Catalogue.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace yonda::service {

namespace {

constexpr size_t kRecordLimit = 800;
const char* const kCategoryNames[2][7] = {
    {"man_hair", "man_face", "man_up", "man_low", "man_footwear", "man_handitem", "man_hairitem"},
    {"lady_hair", "lady_face", "lady_up", "lady_low", "lady_footwear", "lady_handitem", "lady_hairitem"},
};

std::string trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string& row)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t comma = row.find(',', start);
        fields.push_back(row.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

int digitAt(const std::string& text, size_t index)
{
    return index < text.size() && text[index] >= '0' && text[index] <= '9' ? text[index] - '0' : -1;
}

} // namespace

bool Catalogue::load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(bytes);
}

bool Catalogue::parse(const std::vector<uint8_t>& bytes)
{
    m_categories.clear();
    m_count = 0;
    std::pair<int, int> current{0, -1};
    size_t declared = 0, rows = 0; // items the current category row announced, and rows since
    bool skipNext = false;
    std::string record;
    for (uint8_t byte : bytes) {
        if (byte != 0) {
            record.push_back(static_cast<char>(~byte));
            if (record.size() >= kRecordLimit)
                break; // an overlong record ends the catalogue, as the client reads it
            continue;
        }
        if (record.empty())
            break; // the client's reader takes an empty record for the end of the file
        std::vector<std::string> fields = split(record);
        record.clear();
        if (skipNext) {
            skipNext = false;
            continue;
        }
        std::string name = trim(fields[0]);
        bool category = false;
        for (int gender = 0; gender < 2 && !category; ++gender) {
            for (int index = 0; index < 7; ++index) {
                if (name == kCategoryNames[gender][index]) {
                    if (fields.size() < 2 || std::atoi(trim(fields[1]).c_str()) <= 0) {
                        m_categories.clear();
                        m_count = 0;
                        return false;
                    }
                    current = {gender + 1, index};
                    declared = static_cast<size_t>(std::atoi(trim(fields[1]).c_str()));
                    rows = 0;
                    category = skipNext = true;
                    break;
                }
            }
        }
        // Rows beyond the count a category announced are not items to the client either.
        if (category || current.second < 0 || ++rows > declared || fields.size() < 6)
            continue;
        // The file code: gender digit, a separator, category digit, three digits of the number.
        const std::string& code = fields[5];
        int number = 0;
        for (size_t i = 3; i < 6; ++i)
            number = number * 10 + std::max(0, digitAt(code, i));
        m_categories[current].push_back({number, static_cast<int32_t>(std::atoi(fields[2].c_str()))});
        ++m_count;
    }
    return m_count > 0;
}

bool Catalogue::isFreeStartingItem(char gender, int category, int number) const
{
    auto cost = price(gender, category, number, false);
    return cost && *cost == 0;
}

std::optional<int32_t> Catalogue::price(char gender, int category, int number, bool variant) const
{
    int genderNumber = (gender == 'M' || gender == 1) ? 1 : 2;
    auto found = m_categories.find({genderNumber, category});
    if (found == m_categories.end())
        return std::nullopt;
    const auto& items = found->second;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].number != number)
            continue;
        if (!variant)
            return items[i].price;
        // The variant is the record after it, of the same item: a following record of another
        // number is another item, and buying "its variant" would buy a look at that one's price.
        if (i + 1 < items.size() && items[i + 1].number == number)
            return items[i + 1].price;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace yonda::service
