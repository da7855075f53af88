#include "ShopSkin.h"

#include "ButtonStrips.h"
#include "GdiLabel.h"

#include <yonda_platform.h>

namespace {

using namespace SkinTheme;

constexpr int kWidth = 560;
constexpr int kHeight = 440;
constexpr unsigned kRed = 0xE05A28;
constexpr unsigned kTan = 0xD9A066;

const SkinBox kStoreTab{16, 36, 340, 22};
const SkinBox kStoreList{16, 62, 340, 250};
const SkinBox kAvatar{372, 36, 172, 250};
const SkinBox kMyItemTab{16, 318, 340, 22};
const SkinBox kMyItemList{16, 344, 340, 52};
const SkinBox kBuyInCell{258, 12, 54, 24};
const SkinBox kBasket{372, 300, 172, 28};

const char* const kTabLabels[kShopTabCount] = {"SHOP_TAB_HAIR", "SHOP_TAB_UPPER", "SHOP_TAB_LOWER", "SHOP_TAB_FOOTWEAR",
                                               "SHOP_TAB_ITEMS"};

std::vector<std::string> TabSection(const std::string& section, int id, const SkinBox& box, const std::string& picture)
{
    return {"",
            "[" + section + "]",
            "ID = " + std::to_string(id),
            "RECT = " + RectText(box),
            "TABCOUNT = " + std::to_string(kShopTabCount),
            "IMAGE = " + picture};
}

// One state column of a store cell: a framed card whose well for the item's picture sits at
// (3, 3); the name and price are written by the cell itself.
void CellState(SkinPicture& p, int column, uint32_t face, uint32_t edge)
{
    const int left = column * kShopCellWidth;
    p.Fill(left, 0, left + kShopCellWidth, kShopCellHeight, face);
    p.Frame(left, 0, left + kShopCellWidth, kShopCellHeight, edge);
    p.Fill(left + 2, 2, left + 2 + 44, 2 + 44, 0xFFFFFF);
    p.Frame(left + 2, 2, left + 2 + 44, 2 + 44, edge);
}

SkinPicture CellPicture()
{
    SkinPicture p(kShopCellWidth * 4, kShopCellHeight, 0xFFFFFF);
    CellState(p, 0, 0xFFFFFF, 0xE8DCCC);                               // normal
    CellState(p, 1, kCream, kOrangeLight);                             // under the mouse
    CellState(p, 2, BlendColour(kCream, kOrangeLight, 1, 2), kOrange); // selected
    CellState(p, 3, 0xE6E0D8, 0xA09080);                               // pressed or off
    return p;
}

} // namespace

std::string RectText(const SkinBox& b)
{
    return "RECT(" + std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.left + b.width) +
           "," + std::to_string(b.top + b.height) + ")";
}

std::string Bytes(const SkinTexts& texts, const std::string& key, UINT codePage)
{
    const auto found = texts.find(key);
    return found == texts.end() ? std::string() : YondaUtf8ToCodePage(found->second, codePage);
}

// Tabs side by side; the picture holds one variant per selected tab, stacked.
SkinPicture TabStrip(const SkinBox& box, const std::vector<std::string>& labels, UINT codePage)
{
    const int count = static_cast<int>(labels.size());
    SkinPicture p(box.width, box.height * count, kCream);
    const int tab = box.width / count;
    for (int variant = 0; variant < count; ++variant) {
        const int top = variant * box.height;
        for (int i = 0; i < count; ++i) {
            const bool chosen = i == variant;
            const int left = i * tab;
            const int right = i == count - 1 ? box.width : left + tab;
            p.Gradient(left, top, right, top + box.height, chosen ? kOrangeLight : kCream,
                       chosen ? kOrange : BlendColour(kCream, kOrangeLight, 1, 3));
            p.Frame(left, top, right, top + box.height, kOrangeDark);
            DrawBoxedText(p, RECT{left, top, right, top + box.height}, labels[static_cast<size_t>(i)],
                          {12, chosen ? FW_BOLD : FW_NORMAL, chosen ? 0xFFFFFFu : 0x5A3214u,
                           DT_CENTER | DT_VCENTER | DT_SINGLELINE, false},
                          codePage);
        }
    }
    return p;
}

WindowDescription ItemShopWindow()
{
    const int y = kHeight - 38;
    WindowDescription w{"DLG_TRADEITEM",
                        WindowKind::Dialog,
                        0,
                        "TRADE_TITLE",
                        {0, 0, kWidth, kHeight},
                        "trade_back.bmp",
                        "trade.ini",
                        {},
                        {},
                        {},
                        {},
                        {}};
    w.buttons = {
        {"CloseBtn", "", 192, {kWidth - 26, 5, 20, 20}, kRed},
        {"OKBTN", "OK", 191, {kWidth / 2 - 90, y, 80, 26}, kOrange},
        {"CANCELBTN", "CANCEL", 190, {kWidth / 2 + 10, y, 80, 26}, kTan},
        // The cells' own button: its rectangle is inside a cell.
        {"BTN_STORE_ITEM_BUY", "SHOP_BUY", 301, kBuyInCell, kOrange},
        {"BTN_BUY_BASKET", "SHOP_BUY_BASKET", 5301, kBasket, kOrange},
    };
    // Wells on the background where the grid, the preview and the own items sit.
    // The store list comes last: the window's own lines continue its section first.
    w.fields = {{"AVATAR_WND", 3302, kAvatar}, {"LIST_STORE_ITEM", 3301, kStoreList}};
    w.ownLines = {"ITEM_BASE_IMAGE = shop_cell.bmp"};
    std::vector<std::string> lists = {
        "", "[LIST_MY_ITEM]", "ID = 3303", "RECT = " + RectText(kMyItemList), "LIST_COL = 6", "LIST_ROW = 1"};
    for (auto part : {TabSection("STORE_TAB", 3304, kStoreTab, "shop_tab_store.bmp"),
                      TabSection("MYITEM_TAB", 3305, kMyItemTab, "shop_tab_mine.bmp")}) {
        lists.insert(lists.end(), part.begin(), part.end());
    }
    w.ownLines.insert(w.ownLines.end(), lists.begin(), lists.end());
    w.labels = {{"SHOP_MY_ITEMS", 372, 344}};
    return w;
}

std::vector<std::pair<std::string, SkinPicture>> ItemShopPictures(const SkinTexts& texts, UINT codePage)
{
    std::vector<std::string> labels;
    for (const char* key : kTabLabels) {
        labels.push_back(Bytes(texts, key, codePage));
    }
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    pictures.emplace_back("shop_cell.bmp", CellPicture());
    pictures.emplace_back("shop_tab_store.bmp", TabStrip(kStoreTab, labels, codePage));
    pictures.emplace_back("shop_tab_mine.bmp", TabStrip(kMyItemTab, labels, codePage));
    return pictures;
}
