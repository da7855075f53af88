#include "ItemCatalog.h"

#include "ClientGlobals.h"
#include "DsvFile.h"
#include "SessionRecords.h"

#include <ImageFile.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

CItemCatalog* g_pItemCatalog = nullptr;

namespace {

const char* const kCategoryNames[2][ITEM_CATEGORY_COUNT] = {
    {"man_hair", "man_face", "man_up", "man_low", "man_footwear", "man_handitem", "man_hairitem"},
    {"lady_hair", "lady_face", "lady_up", "lady_low", "lady_footwear", "lady_handitem", "lady_hairitem"},
};

// An item row has eight fields.
constexpr int kItemFields = 8;
// A file code names gender, category and a three-digit number in its first six characters.
constexpr size_t kFileCodeLength = 6;

const char* FieldOf(char** row, int columns, int index)
{
    return index < columns && row[index] ? row[index] : "";
}

int DigitValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

// A stored text cut to its field, never inside a double-byte character.
template <size_t N>
void CopyText(char (&field)[N], const char* text)
{
    CopyField(field, text, std::strlen(text));
}

} // namespace

CItemCatalog::CItemCatalog()
{
    std::fill(std::begin(m_pServiceWorn), std::end(m_pServiceWorn), nullptr);
    std::fill(std::begin(m_pChosenWorn), std::end(m_pChosenWorn), nullptr);
}

CItemCatalog::~CItemCatalog()
{
    Free();
}

void CItemCatalog::Free()
{
    std::fill(std::begin(m_pServiceWorn), std::end(m_pServiceWorn), nullptr);
    std::fill(std::begin(m_pChosenWorn), std::end(m_pChosenWorn), nullptr);
    for (auto& gender : m_Category) {
        for (Category& category : gender) {
            if (category.hPicture)
                DeleteObject(category.hPicture);
            category = Category{};
        }
    }
    if (m_hWornPicture) {
        DeleteObject(m_hWornPicture);
        m_hWornPicture = nullptr;
    }
}

LPCSTR CItemCatalog::CategoryName(int gender, int category)
{
    if (gender < 1 || gender > 2 || category < 0 || category >= ITEM_CATEGORY_COUNT)
        return "";
    return kCategoryNames[gender - 1][category];
}

CItemCatalog::Category* CItemCatalog::CategoryOf(int gender, int category)
{
    if (gender < 1 || gender > 2 || category < 0 || category >= ITEM_CATEGORY_COUNT)
        return nullptr;
    return &m_Category[gender - 1][category];
}

int CItemCatalog::Load()
{
    Free();
    m_bLoaded = 1;
    int rows = 0;
    int columns = 0;
    char*** table = ReadDsvFile(g_strInstallPath + "\\data\\item\\item.dsv", &rows, &columns);
    if (!table)
        return 0;
    int result = 1;
    ReadRows(table, rows, columns, &result);
    FreeDsvFile(table, rows, columns);
    if (!result)
        return 0;
    LoadPictures();
    return 1;
}

void CItemCatalog::ReadRows(char*** table, int rows, int columns, int* result)
{
    Category* current = nullptr;
    for (int row = 0; row < rows; ++row) {
        CString first = FieldOf(table[row], columns, 0);
        first.Trim();
        int gender = 0;
        int category = -1;
        for (int g = 0; g < 2 && category < 0; ++g) {
            for (int c = 0; c < ITEM_CATEGORY_COUNT; ++c) {
                if (first == kCategoryNames[g][c]) {
                    gender = g + 1;
                    category = c;
                    break;
                }
            }
        }
        if (category >= 0) {
            CString count = FieldOf(table[row], columns, 1);
            count.Trim();
            const int declared = std::atoi(count);
            if (declared <= 0) {
                *result = 0;
                return;
            }
            // Never more records than rows are left to fill them: a count cannot make the
            // catalogue take memory the file does not back.
            current = CategoryOf(gender, category);
            current->nCapacity = std::min(declared, std::max(0, rows - row - 2));
            current->pItems.reset(new ITEM_RECORD[current->nCapacity]());
            current->nCount = 0;
            ++row; // the category's header row
            continue;
        }
        if (!current || current->nCount >= current->nCapacity)
            continue;
        char* fields[kItemFields];
        for (int i = 0; i < kItemFields; ++i)
            fields[i] = const_cast<char*>(FieldOf(table[row], columns, i));
        ITEM_RECORD* record = &current->pItems[current->nCount];
        *record = ITEM_RECORD{};
        if (ParseItem(record, fields))
            ++current->nCount;
    }
}

int CItemCatalog::ParseItem(ITEM_RECORD* record, char** fields)
{
    auto field = [fields](int i) -> const char* { return fields[i] ? fields[i] : ""; };
    const char* fileCode = field(5);
    if (std::strlen(fileCode) < kFileCodeLength)
        return 0;
    record->nCode = std::atoi(field(0));
    CopyText(record->szName, field(1));
    record->nPrice = std::atoi(field(2));
    const char sale = field(3)[0];
    record->bySale = sale == '1' || sale == 'Y' || sale == 'y';
    CopyText(record->szText, field(4));
    CopyText(record->szFileCode, fileCode);
    CopyText(record->szTexture, field(6));
    CopyText(record->szDescription, field(7));
    record->byGender = static_cast<BYTE>(DigitValue(fileCode[0]));
    record->byCategory = static_cast<BYTE>(DigitValue(fileCode[2]));
    record->nItemNumber = DigitValue(fileCode[3]) * 100 + DigitValue(fileCode[4]) * 10 + DigitValue(fileCode[5]);
    return 1;
}

void CItemCatalog::LoadPictures()
{
    for (int gender = 1; gender <= 2; ++gender) {
        for (int category = 0; category < ITEM_CATEGORY_COUNT; ++category) {
            const int slot = WornSlotOfCategory(category);
            if (slot < 0)
                continue;
            CString path;
            path.Format("%s\\Data\\Item\\p%d%d.bmp", g_strInstallPath.GetString(), gender, slot + 1);
            CategoryOf(gender, category)->hPicture = LoadBitmapHandle(path);
        }
    }
    m_hWornPicture = LoadBitmapHandle(g_strInstallPath + "\\Data\\Item\\ii_itemu.bmp");
}

ITEM_RECORD* CItemCatalog::GetItem(int gender, int category, int index, HBITMAP* picture, int* x, int* y)
{
    Category* items = CategoryOf(gender, category);
    if (!items || index < 0 || index >= items->nCount)
        return nullptr;
    if (picture)
        *picture = items->hPicture;
    if (x && y) {
        *x = kItemCellSize * (index % kItemCellsPerRow);
        *y = kItemCellSize * (index / kItemCellsPerRow);
    }
    return &items->pItems[index];
}

int CItemCatalog::GetItemCount(int gender, int category)
{
    Category* items = CategoryOf(gender, category);
    return items ? items->nCount : 0;
}

ITEM_RECORD* CItemCatalog::FindItem(int gender, int category, int number, BOOL next)
{
    const int g = (gender == 'M' || gender == 1) ? 1 : 2;
    if (category >= '0' && category <= '9')
        category -= '0';
    for (int c = 0; c < ITEM_CATEGORY_COUNT; ++c) {
        Category* items = CategoryOf(g, c);
        for (int i = 0; i < items->nCount; ++i) {
            const ITEM_RECORD& record = items->pItems[i];
            if (record.nItemNumber != number || record.byCategory != category)
                continue;
            if (!next)
                return &items->pItems[i];
            return i + 1 < items->nCount ? &items->pItems[i + 1] : nullptr;
        }
    }
    return nullptr;
}

int CItemCatalog::WornSlotOfCategory(int category)
{
    if (category == ITEM_HAIR)
        return 0;
    if (category >= ITEM_UPPER && category <= ITEM_HAIR_ITEM)
        return category - 1;
    return -1;
}

int CItemCatalog::CategoryOfWornSlot(int slot)
{
    if (slot == 0)
        return ITEM_HAIR;
    if (slot > 0 && slot < kWornSlotCount)
        return slot + 1;
    return -1;
}
