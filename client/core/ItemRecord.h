#pragma once
// One avatar item of the catalogue: what the catalogue file says of it, and whether the member
// owns and wears it.
#include <afxwin.h>

#include <cstddef>

// Item categories: the digit in file codes and item file names.
enum ItemCategory {
    ITEM_HAIR = 0,
    ITEM_FACE = 1,
    ITEM_UPPER = 2,
    ITEM_LOWER = 3,
    ITEM_FOOTWEAR = 4,
    ITEM_HAND = 5,
    ITEM_HAIR_ITEM = 6,
    ITEM_CATEGORY_COUNT = 7,
};

struct ITEM_RECORD {
    int nCode;
    char szName[52];
    int nPrice;
    BYTE bySale;
    char szText[30];
    char szFileCode[20]; // "GxCNNN": gender digit, unused, category digit, item number
    char szTexture[50];  // "0": no texture variant
    char szDescription[300];
    char szOwnedKey[17]; // the service's key of the member's copy
    BYTE byOwned;
    BYTE byWorn;
    BYTE bySavedWorn; // worn as the service has it
    BYTE byGender;    // 1 man, 2 lady
    BYTE byCategory;  // 0-6
    int nItemNumber;
};

// The dressing windows read the texture text as the item's code text at this place.
static_assert(offsetof(ITEM_RECORD, szTexture) == 111);
