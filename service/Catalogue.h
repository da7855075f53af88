// The item catalogue the client reads, read here for one purpose: the price of an item, so a
// purchase is priced by the service and never by the buyer. Records are zero-ended rows of
// comma-separated fields, every byte stored complemented.
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
