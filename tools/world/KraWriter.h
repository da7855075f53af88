#pragma once
// Avatar lists (".KRA"): the items one avatar wears, by kind and file name.

#include "ByteWriter.h"
#include "KriWriter.h"

#include <string>
#include <vector>

namespace world {

struct AvatarListEntry {
    ItemKind kind;
    std::string itemFile;
};

struct AvatarList {
    std::uint32_t header1 = 0x00010001; // as the client writes its own lists
    std::uint32_t header2 = 4;
    std::uint32_t key = 0; // avatars are shared by key
    std::vector<AvatarListEntry> items;
};

Bytes WriteAvatarList(const AvatarList& list);

} // namespace world
