// The item catalogue the client reads, read here for the price of an item, so a purchase is
// priced by the service and never by the buyer, and a new avatar is dressed only in what the
// catalogue gives away (a price of 0). Records are zero-ended rows of comma-separated fields,
// every byte stored complemented; a category row names its category and how many items follow.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace yonda::service {

class Catalogue {
public:
    // Reads the file; false (and an empty catalogue) when it cannot be read or makes no sense.
    bool load(const std::string& path);
    // Reads catalogue bytes as they are stored.
    bool parse(const std::vector<uint8_t>& bytes);

    // The price of the item of that gender ('M' man, else lady), category digit and number; with
    // `variant` the price of the record that follows it in its category when that record is of the
    // same item (its texture variant).
    std::optional<int32_t> price(char gender, int category, int number, bool variant) const;
    // Whether a new avatar of that gender may start with the item: the catalogue has it for free.
    bool isFreeStartingItem(char gender, int category, int number) const;
    size_t size() const { return m_count; }

private:
    struct Item {
        int number;
        int32_t price;
    };
    // (gender 1 or 2, category 0-6) -> items in catalogue order
    std::map<std::pair<int, int>, std::vector<Item>> m_categories;
    size_t m_count = 0;
};

} // namespace yonda::service
