// The avatar list file (".KRA") as it stands on disk: three header words, then the item files the
// avatar wears, each with its item kind. Parsed whole and checked before any item is loaded.
#pragma once

#include "KRADefs.h"

#include <cstdint>
#include <string>
#include <vector>

// Longest item file name a list may give: the joined path must still fit the engine's path limit.
constexpr size_t KRA_AVATAR_LIST_NAME_MAX = 255;

struct KRA_AVATAR_LIST_ENTRY {
    DWORD dwKind = 0;
    std::string strName;
};

struct KRA_AVATAR_LIST_DATA {
    DWORD adwHeader[3] = {}; // the third word is the avatar key
    std::vector<KRA_AVATAR_LIST_ENTRY> vItems;
};

// Only the header: the key decides whether the rest of the file is needed at all.
// 0, or 0x80000007 when the 12 bytes are not there.
LONG KRAParseAvatarListHeader(const uint8_t* pData, size_t nSize, DWORD (&adwHeader)[3]);

// 0, or 0x80000007 for a list that ends early, announces more items than it holds or names an item
// longer than KRA_AVATAR_LIST_NAME_MAX.
LONG KRAParseAvatarList(const uint8_t* pData, size_t nSize, KRA_AVATAR_LIST_DATA& out);
