#pragma once
// Every avatar item that can be worn or bought, read once from the installation's catalogue
// file and kept by gender and category with the category pictures; which items the member owns
// and wears, as the service tells it, and the member's changes sent back.
#include "ItemRecord.h"

#include <afxwin.h>

#include <memory>

// Pictures of the catalogue hold one 42 x 42 cell per item, ten to a row, in catalogue order.
constexpr int kItemCellSize = 42;
constexpr int kItemCellsPerRow = 10;

// The six worn slots (the face is not worn): the categories hair, upper, lower, footwear, hand
// item and hair item.
constexpr int kWornSlotCount = 6;

class CItemCatalog {
public:
    CItemCatalog();
    ~CItemCatalog();
    CItemCatalog(const CItemCatalog&) = delete;
    CItemCatalog& operator=(const CItemCatalog&) = delete;

    // Reads "\data\item\item.dsv" and the pictures of the installation folder: 1, or 0 when the
    // file cannot be read or a category row has no count above 0.
    int Load();
    // Fills a cleared record from an item row's eight fields (null reads as empty): 1, or 0 when
    // the file code is too short to name an item (the row is not stored).
    static int ParseItem(ITEM_RECORD* record, char** fields);

    // gender 1 man, 2 lady; category 0-6. Null for anything out of range. With `picture` the
    // category's picture; with both `x` and `y` the item's cell in it.
    ITEM_RECORD* GetItem(int gender, int category, int index, HBITMAP* picture, int* x, int* y);
    int GetItemCount(int gender, int category);
    // gender 'M' or 1 is the man, anything else the lady; category as a number or a digit. The
    // first record of the gender with that item number and category, or with `next` the record
    // after it in its category.
    ITEM_RECORD* FindItem(int gender, int category, int number, BOOL next);

    // Asks the service for the member's items and marks them owned and worn: 1.
    int QueryMyItems();
    // One element of the service's owned-item list (at least 29 bytes, shorter ones are
    // skipped): TRUE when it marked a record.
    BOOL ApplyOwnedItem(const BYTE* element, size_t size);
    // Forgets every owned and worn mark and both sets of worn items.
    void ClearOwnership();
    // Sends the worn changes of the owned items, and in a lobby or room tells the place what the
    // member now wears: 1, or 0 when a query fails.
    int RequestItemChange();
    bool HasChanges();

    // The slot of a worn category, or -1 for the face and values out of range.
    static int WornSlotOfCategory(int category);
    static int CategoryOfWornSlot(int slot);
    static LPCSTR CategoryName(int gender, int category);

    // The worn item of each slot as the service knows it, and as the member chose it; the
    // dressing windows set the chosen ones.
    ITEM_RECORD* m_pServiceWorn[kWornSlotCount];
    ITEM_RECORD* m_pChosenWorn[kWornSlotCount];
    // "\Data\Item\ii_itemu.bmp", the worn list's placeholder.
    HBITMAP m_hWornPicture = nullptr;
    BYTE m_bLoaded = 0;

private:
    struct Category {
        std::unique_ptr<ITEM_RECORD[]> pItems;
        int nCapacity = 0;
        int nCount = 0;
        HBITMAP hPicture = nullptr;
    };

    void Free();
    void LoadPictures();
    void ReadRows(char*** table, int rows, int columns, int* result);
    Category* CategoryOf(int gender, int category);

    Category m_Category[2][ITEM_CATEGORY_COUNT];
};

// The program's one catalogue (made at start-up, loaded by the avatar scene).
extern CItemCatalog* g_pItemCatalog;
