// A small item catalogue in the program's file format (records of ','-separated fields, every
// byte complemented, each ended by a zero byte), and a minimal reader of it that gives what the
// dressing windows hand the avatar scene: gender, category, item number and texture text.
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

// Writes the sample catalogue to `path`.
void WriteSampleCatalogue(const std::string& path);
// The items of a catalogue file; false when it cannot be read or a category has no count.
bool ReadCatalogue(const std::string& path, std::vector<CatalogueItem>& items);

} // namespace avatartest
