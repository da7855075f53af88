// The owner-drawn list as grid and as table: layout, hit test through injected clicks, cell
// ownership, colours on screen and the scroll range.
#include "ControlTestSupport.h"
#include "SkinListCtrl.h"
#include "ToolkitShared.h"

#include <algorithm>
#include <cstring>

using namespace yonda::uitest;

namespace {

constexpr COLORREF kHover = RGB(255, 220, 180);

struct ListFixture {
    RecordingWnd parent{UM_LIST_CLICK, UM_LIST_HOVER};
    CSkinListCtrl list;

    ListFixture(const SKINLIST_LAYOUT& layout, const CRect& rect)
    {
        ToolkitSetSkinFolder(SkinFolder());
        EXPECT_TRUE(list.Create(&parent, 77, rect, layout));
        list.ShowWindow(SW_SHOW);
        Pump();
    }
    void AddTextItems(int count)
    {
        for (int i = 0; i < count; ++i) {
            const int item = list.InsertItem();
            const std::string text = "item " + std::to_string(i);
            SKINLIST_CELL cell{SKINLIST_CELL_TEXT, static_cast<int>(text.size()), const_cast<char*>(text.data())};
            EXPECT_TRUE(list.SetCell(item, 0, &cell));
        }
        Pump();
    }
    // Clicks at a client point and answers the item index the parent was told (a second click at
    // the same place in quick succession is a double click).
    long long ClickAt(int x, int y)
    {
        parent.notes.clear();
        Press(list.m_hWnd, x, y);
        Release(list.m_hWnd, x, y);
        for (const Note& n : parent.notes) {
            if (n.message == UM_LIST_CLICK || n.message == UM_LIST_DBLCLICK) {
                EXPECT_EQ(n.lParam, reinterpret_cast<LPARAM>(&list));
                return static_cast<long long>(static_cast<INT_PTR>(n.wParam));
            }
        }
        ADD_FAILURE() << "no click notification";
        return -100;
    }
};

SKINLIST_LAYOUT Grid()
{
    SKINLIST_LAYOUT layout;
    layout.nMode = SKINLIST_MODE_GRID;
    layout.nCellWidth = 40;
    layout.nCellHeight = 30;
    layout.nColumns = 3;
    layout.nRows = 2;
    layout.bHoverColor = 1;
    layout.crHover = kHover;
    return layout;
}

SKINLIST_LAYOUT Table()
{
    SKINLIST_LAYOUT layout;
    layout.nMode = SKINLIST_MODE_TABLE;
    layout.nCellWidth = 20;
    layout.nCellHeight = 20;
    layout.bSelectColor = 1;
    layout.crSelect = RGB(0, 128, 0);
    return layout;
}

SKINLIST_COLUMN Column(int width, bool visible = true)
{
    SKINLIST_COLUMN column;
    column.nWidth = width;
    column.bVisible = visible ? 1 : 0;
    return column;
}

} // namespace

TEST(SkinListCtrl, GridCellsGapsAndEmptyCellsAsTheParentIsTold)
{
    ListFixture f(Grid(), CRect(10, 10, 210, 110));
    SKINLIST_COLUMN column = Column(40);
    ASSERT_TRUE(f.list.AddColumn(&column));
    f.AddTextItems(4);
    // 182 usable pixels across three 40-pixel cells: gaps of 15; 100 down two 30-pixel rows: 13.
    EXPECT_EQ(f.list.HorizontalGap(), 15);
    EXPECT_EQ(f.list.VerticalGap(), 13);
    struct Case {
        int x, y;
        long long item;
    } cases[] = {
        {20, 20, 0},   // first cell
        {5, 20, -1},   // the gap left of it
        {80, 20, 1},   // second cell
        {75, 20, 1},   // the second cell's first column
        {20, 5, -1},   // the gap above the first row
        {20, 50, -1},  // the gap between the rows
        {20, 60, 3},   // second row, first cell
        {80, 60, 4},   // an empty cell past the last item
        {130, 60, 5},  // another
        {190, 20, -1}, // right of the last column
    };
    for (const Case& c : cases) {
        EXPECT_EQ(f.ClickAt(c.x, c.y), c.item) << c.x << "," << c.y;
    }
    // The chosen cell is painted in the default selection colour, blue.
    f.ClickAt(80, 20);
    EXPECT_EQ(f.list.GetSelectedItem(), 1);
    EXPECT_EQ(Pixel(f.list.m_hWnd, 100, 30), Rgb(0xFF0000));
    // Clicking it again at once is a double click.
    f.ClickAt(80, 20);
    const std::vector<UINT> sent = f.parent.Messages();
    EXPECT_NE(std::find(sent.begin(), sent.end(), UM_LIST_DBLCLICK), sent.end());
    // Hover: reported on every move and coloured.
    f.parent.notes.clear();
    MoveTo(f.list.m_hWnd, 30, 65);
    ASSERT_FALSE(f.parent.notes.empty());
    EXPECT_EQ(f.parent.notes.back().message, UM_LIST_HOVER);
    EXPECT_EQ(f.parent.notes.back().wParam, 3u);
    EXPECT_EQ(Pixel(f.list.m_hWnd, 50, 70), Rgb(kHover));
    // Text in black over the cell's colour, clipped to the cell.
    int dark = 0;
    for (int x = 15; x < 55; ++x) {
        for (int y = 13; y < 43; ++y) {
            dark += Pixel(f.list.m_hWnd, x, y) < 0x404040;
        }
    }
    EXPECT_GT(dark, 5);
}

TEST(SkinListCtrl, ATableFitsWholeRowsAndFindsTheColumn)
{
    ListFixture f(Table(), CRect(10, 10, 210, 215));
    CRect client;
    f.list.GetClientRect(&client);
    EXPECT_EQ(client.Height(), 200);
    EXPECT_EQ(f.list.Layout().nRows, 10);
    SKINLIST_COLUMN columns[] = {Column(50), Column(30, false), Column(60), Column(40)};
    for (const SKINLIST_COLUMN& c : columns) {
        ASSERT_TRUE(f.list.AddColumn(&c));
    }
    for (int i = 0; i < 5; ++i) {
        f.list.InsertItem();
    }
    int item = 0;
    int column = 0;
    f.list.HitTest(CPoint(10, 65), &item, &column);
    EXPECT_EQ(item, 3);
    EXPECT_EQ(column, 0);
    f.list.HitTest(CPoint(70, 5), &item, &column); // the hidden column takes no room
    EXPECT_EQ(column, 2);
    f.list.HitTest(CPoint(125, 5), &item, &column);
    EXPECT_EQ(column, 3);
    f.list.HitTest(CPoint(160, 5), &item, &column);
    EXPECT_EQ(column, -1);
    EXPECT_EQ(f.ClickAt(10, 185), 9);

    // A selected row takes the selection colour in every cell that has content.
    SKINLIST_CELL data{SKINLIST_CELL_DATA, 0, nullptr};
    ASSERT_TRUE(f.list.SetCell(2, 0, &data));
    ASSERT_TRUE(f.list.SetCell(2, 2, &data));
    f.ClickAt(10, 45);
    EXPECT_EQ(Pixel(f.list.m_hWnd, 20, 50), Rgb(RGB(0, 128, 0)));
    EXPECT_EQ(Pixel(f.list.m_hWnd, 80, 50), Rgb(RGB(0, 128, 0)));
    EXPECT_EQ(Pixel(f.list.m_hWnd, 130, 50), 0xFFFFFFu); // an empty cell stays white
}

TEST(SkinListCtrl, CellsOwnTheirCopiesAndRefuseCellsTheyDoNotHave)
{
    ListFixture f(Table(), CRect(10, 10, 210, 110));
    SKINLIST_COLUMN column = Column(100);
    ASSERT_TRUE(f.list.AddColumn(&column));
    ASSERT_EQ(f.list.InsertItem(), 0);
    ASSERT_TRUE(f.list.AddColumn(&column));
    ASSERT_EQ(f.list.InsertItem(), 1);

    int borrowed = 7;
    EXPECT_TRUE(f.list.SetDataCell(0, 0, &borrowed, 0));
    EXPECT_EQ(f.list.GetItemData(0, 0), &borrowed);
    char bytes[4] = {'a', 'b', 'c', 'd'};
    EXPECT_TRUE(f.list.SetDataCell(1, 1, bytes, 4));
    char* copy = static_cast<char*>(f.list.GetItemData(1, 1));
    ASSERT_NE(copy, bytes);
    EXPECT_EQ(std::memcmp(copy, "abcd", 5), 0); // copied and ended
    bytes[0] = 'z';
    EXPECT_EQ(copy[0], 'a');

    // Item 0 was added before the second column: it has no cell there.
    SKINLIST_CELL cell{SKINLIST_CELL_DATA, 0, &borrowed};
    EXPECT_FALSE(f.list.SetCell(0, 1, &cell));
    EXPECT_FALSE(f.list.SetCell(-1, 0, &cell));
    EXPECT_FALSE(f.list.SetCell(2, 0, &cell));
    EXPECT_FALSE(f.list.SetCell(1, 2, &cell));
    EXPECT_FALSE(f.list.ClearCell(5, 0));
    EXPECT_EQ(f.list.GetItemData(0, 1), nullptr);
    EXPECT_EQ(f.list.GetImageCell(1, 1), nullptr);

    // A styled text keeps its own copy of the text.
    std::string text = "styled";
    SKINLIST_STYLED_TEXT styled{static_cast<int>(text.size()), text.data(), nullptr, RGB(255, 0, 0)};
    SKINLIST_CELL styledCell{SKINLIST_CELL_STYLED_TEXT, sizeof styled, &styled};
    EXPECT_TRUE(f.list.SetCell(1, 0, &styledCell));
    text.assign("xxxxxx");
    Pump();
    EXPECT_TRUE(f.list.ClearCell(1, 1));
    EXPECT_EQ(f.list.GetItemData(1, 1), nullptr);
    EXPECT_TRUE(f.list.DeleteAllItems());
    EXPECT_EQ(f.list.GetItemCount(), 0);
    EXPECT_EQ(f.list.GetSelectedItem(), -1);
}

TEST(SkinListCtrl, PicturesAreCentredInTheirCellUnlessStretched)
{
    SKINLIST_LAYOUT layout = Grid();
    layout.nColumns = 2;
    layout.nRows = 1;
    ListFixture f(layout, CRect(10, 10, 128, 50));
    SKINLIST_COLUMN column = Column(40);
    ASSERT_TRUE(f.list.AddColumn(&column));
    // A 10 x 10 red square with a blue top-left quarter.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 10, 10);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, 10, 10}, quarter{0, 0, 5, 5};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &all, red);
    FillRect(dc, &quarter, blue);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(red);
    DeleteObject(blue);

    const int item = f.list.InsertItem();
    SKINLIST_PICTURE picture{bitmap, 0, 0, 0, 0, 10, 10};
    ASSERT_TRUE(f.list.SetImageCell(item, 0, &picture));
    Pump();
    // Gaps: (100 - 80) / 3 = 6 across, (40 - 30) / 2 = 5 down; the picture sits 15 and 10 in.
    const int left = f.list.HorizontalGap() + 15;
    const int top = f.list.VerticalGap() + 10;
    EXPECT_EQ(Pixel(f.list.m_hWnd, left + 1, top + 1), 0x0000FFu);
    EXPECT_EQ(Pixel(f.list.m_hWnd, left + 8, top + 8), 0xFF0000u);
    EXPECT_EQ(Pixel(f.list.m_hWnd, left - 2, top + 1), 0xFFFFFFu);
    ASSERT_NE(f.list.GetImageCell(item, 0), nullptr);
    EXPECT_EQ(f.list.GetImageCell(item, 0)->hBitmap, bitmap);
    f.list.DeleteAllItems();
    DeleteObject(bitmap);
}

TEST(SkinListCtrl, TheScrollRangeCountsHiddenRowsAndFollowsTheEnd)
{
    SKINLIST_LAYOUT layout = Grid();
    layout.bFollow = 1;
    ListFixture f(layout, CRect(10, 10, 210, 110));
    SKINLIST_COLUMN column = Column(40);
    ASSERT_TRUE(f.list.AddColumn(&column));
    f.AddTextItems(6);
    EXPECT_EQ(f.list.GetScrollRange(), 0);
    EXPECT_FALSE(f.list.ScrollBar().IsWindowVisible());
    f.AddTextItems(4); // ten items, six shown: two more rows
    EXPECT_EQ(f.list.GetScrollRange(), 2);
    EXPECT_TRUE(f.list.ScrollBar().IsWindowVisible());
    EXPECT_EQ(f.list.GetFirstShownRow(), 2); // following the end
    EXPECT_EQ(f.ClickAt(20, 20), 6);
    // The bar scrolls the rows.
    f.list.SetScrollPos(-5);
    EXPECT_EQ(f.list.GetFirstShownRow(), 0);
    EXPECT_EQ(f.ClickAt(20, 20), 0);
    // Hidden with the list, and gone with the items.
    f.list.ShowWindow(SW_HIDE);
    EXPECT_FALSE(f.list.ScrollBar().IsWindowVisible());
    f.list.ShowWindow(SW_SHOW);
    EXPECT_TRUE(f.list.ScrollBar().IsWindowVisible());
    f.list.DeleteAllItems();
    EXPECT_FALSE(f.list.ScrollBar().IsWindowVisible());
}
