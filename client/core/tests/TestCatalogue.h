// A minimal reader of the program's item catalogue (records of ','-separated fields, every byte
// complemented, each ended by a zero byte) that gives what the dressing windows hand the avatar
// scene: gender, category, item number and texture text.
#pragma once

#include <string>
#include <vector>

namespace avatartest {

struct CatalogueItem {
    int gender = 0; // 1 man, 2 lady
    int category = 0;
    int number = 0;
    std::string texture; // "0" or the texture variant's file
    std::string name;
};

// The items of a catalogue file; false when it cannot be read or a category has no count.
bool ReadCatalogue(const std::string& path, std::vector<CatalogueItem>& items);
// The item of that gender, category and number: its texture variant or its plain self.
const CatalogueItem* FindInCatalogue(const std::vector<CatalogueItem>& items, int gender, int category, int number,
                                     bool variant);

} // namespace avatartest
