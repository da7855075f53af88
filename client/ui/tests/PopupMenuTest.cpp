// Popup menus opened from the generated skin's menu file and from menu files written by the test,
// chosen with injected mouse input.
#include "BmpWriter.h"
#include "ControlTestSupport.h"
#include "ImageFile.h"
#include "PopupMenuList.h"
#include "PopupMenuWnd.h"
#include "TempFolder.h"
#include "ToolkitShared.h"

using namespace yonda::uitest;

namespace {

class PopupMenuTest : public ::testing::Test {
protected:
    void SetUp() override { ToolkitSetSkinFolder(SkinFolder()); }
    void TearDown() override { menu.DestroyWindow(); }

    void Open(LPCSTR section, int menuId = 0, CRect at = CRect(150, 150, 160, 160))
    {
        ASSERT_TRUE(menu.Create(at, &owner, section, TRUE));
        menu.SetMenuId(menuId);
        menu.TrackPopup(SkinFolder(), "PopupMenu.ini");
        Pump();
    }

    // A menu file of the test's own in a folder of its own.
    CString WriteMenu(const std::string& text, const std::vector<std::pair<std::string, BmpSpec>>& pictures = {})
    {
        for (const auto& [name, spec] : pictures) {
            m_folder.Write(name, MakeBmp(spec));
        }
        return CString(m_folder.Write("menu.ini", text).string().c_str());
    }

    CRect ItemRect(int index)
    {
        CPopupMenuList* item = menu.Items().GetItem(index);
        CRect r;
        if (item) {
            item->GetWindowRect(&r);
            menu.ScreenToClient(&r);
        }
        return r;
    }

    void ClickItem(int index)
    {
        const CPoint c = ItemRect(index).CenterPoint();
        Press(menu.m_hWnd, c.x, c.y);
        Release(menu.m_hWnd, c.x, c.y);
    }

    RecordingWnd owner{UM_POPUP_PICK, UM_POPUP_PICK, 20, 20, 100, 100};
    CPopupMenuWnd menu;

private:
    yonda::testing::TempFolder m_folder{"yonda-popup"};
};

} // namespace

TEST_F(PopupMenuTest, OpensTheSkinsMenuSizedToItsItems)
{
    Open("EmotionMenu");
    ASSERT_TRUE(menu.m_bScrollBarCreated);
    const CPopupMenuDef& def = menu.Definition();
    ASSERT_EQ(def.m_nCount, 8);
    EXPECT_EQ(menu.GetItemText(1), YondaUtf8ToCodePage("웃음", 949));
    EXPECT_EQ(menu.GetItemText(8), "");
    CRect client;
    menu.GetClientRect(&client);
    BITMAP back{};
    def.m_bmpBack.GetBitmap(&back);
    const int band = back.bmHeight / 3;
    EXPECT_EQ(client, CRect(0, 0, 120 + 18, band + 6 * (def.m_nItemHeight + 1) + 1));
    // Six items show, the scroll bar beside them.
    EXPECT_TRUE(menu.ScrollBar().IsWindowVisible());
    CRect bar;
    menu.ScrollBar().GetWindowRect(&bar);
    menu.ScreenToClient(&bar);
    EXPECT_EQ(bar.left, client.right - 18);
    EXPECT_EQ(bar.top, band);
    EXPECT_EQ(ItemRect(0), CRect(1, band + 1, 119, band + 1 + def.m_nItemHeight));
    EXPECT_EQ(ItemRect(5).top, band + 1 + 5 * (def.m_nItemHeight + 1));
    EXPECT_TRUE(menu.Items().GetItem(5)->IsWindowVisible());
    EXPECT_FALSE(menu.Items().GetItem(6)->IsWindowVisible());
    // The background's top band at the top, its edge columns at the sides.
    HBITMAP picture = LoadBitmapHandle(SkinFolder() + "\\popup_back.bmp");
    EXPECT_EQ(Pixel(menu.m_hWnd, 0, 2), BitmapPixel(picture, 0, 2));
    EXPECT_EQ(Pixel(menu.m_hWnd, 60, 2), BitmapPixel(picture, 4, 2));
    EXPECT_EQ(Pixel(menu.m_hWnd, client.right - 1, 2), BitmapPixel(picture, back.bmWidth - 1, 2));
    DeleteObject(picture);
}

TEST_F(PopupMenuTest, ScrollingShowsTheLaterItems)
{
    Open("EmotionMenu");
    const CRect down = menu.ScrollBar().SecondArrowRect();
    Press(menu.ScrollBar().m_hWnd, down.CenterPoint().x, down.CenterPoint().y);
    Release(menu.ScrollBar().m_hWnd, down.CenterPoint().x, down.CenterPoint().y);
    EXPECT_EQ(menu.Items().GetFirstShown(), 1);
    EXPECT_FALSE(menu.Items().GetItem(0)->IsWindowVisible());
    EXPECT_TRUE(menu.Items().GetItem(6)->IsWindowVisible());
    BITMAP back{};
    menu.Definition().m_bmpBack.GetBitmap(&back);
    EXPECT_EQ(ItemRect(1).top, back.bmHeight / 3 + 1);
    // Past the end the menu keeps a full window of items.
    menu.ScrollToItem(7);
    EXPECT_EQ(menu.Items().GetFirstShown(), 2);
    EXPECT_EQ(menu.ScrollBar().GetScrollPos(), 2);
    EXPECT_TRUE(menu.Items().GetItem(7)->IsWindowVisible());
    EXPECT_FALSE(menu.Items().GetItem(1)->IsWindowVisible());
}

TEST_F(PopupMenuTest, AClickedItemIsPostedToTheOwnerAndTheMenuCloses)
{
    Open("MenuHost", 3);
    ClickItem(2);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].wParam, 0x00030002u);
    EXPECT_EQ(menu.m_hWnd, nullptr);
    EXPECT_FALSE(menu.m_bScrollBarCreated);
    // The definition outlives the window: the owner reads what was chosen.
    EXPECT_EQ(menu.GetCurrentItemText(), YondaUtf8ToCodePage("정보 보기", 949));
    // The next opening makes the window again.
    owner.notes.clear();
    Open("MenuHost", 0);
    ClickItem(4);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].wParam, 4u);
}

TEST_F(PopupMenuTest, PressMoveAndReleaseInsideChoosesOutsideDoesNot)
{
    Open("MenuGuest");
    const CRect first = ItemRect(0);
    const CPoint c = first.CenterPoint();
    Press(menu.m_hWnd, c.x, c.y);
    CPopupMenuList* item = menu.Items().GetItem(0);
    EXPECT_TRUE(item->IsPressed());
    MoveTo(menu.m_hWnd, c.x + 3, c.y);
    EXPECT_FALSE(item->IsPressed());
    EXPECT_TRUE(item->IsHovered());
    Release(menu.m_hWnd, c.x + 3, c.y);
    ASSERT_EQ(owner.notes.size(), 1u);
    EXPECT_EQ(owner.notes[0].wParam, 0u);

    owner.notes.clear();
    Open("MenuGuest");
    const CPoint d = ItemRect(1).CenterPoint();
    Press(menu.m_hWnd, d.x, d.y);
    MoveTo(menu.m_hWnd, d.x, -40);
    EXPECT_FALSE(menu.Items().GetItem(1)->IsHovered());
    Release(menu.m_hWnd, d.x, -40);
    EXPECT_TRUE(owner.notes.empty());
}

TEST_F(PopupMenuTest, HoverAndPressColourTheItemsText)
{
    Open("MenuGuest");
    const CRect first = ItemRect(0);
    // Glyph pixels of a colour: that channel strong, the others weak.
    auto countColour = [&](unsigned colour) {
        int n = 0;
        for (int y = first.top; y < first.bottom; ++y) {
            for (int x = first.left; x < first.right; ++x) {
                const unsigned p = Pixel(menu.m_hWnd, x, y);
                bool match = true;
                for (int shift : {16, 8, 0}) {
                    const unsigned want = (colour >> shift) & 0xFF;
                    const unsigned got = (p >> shift) & 0xFF;
                    match = match && (want ? got > 0xA0 : got < 0x70);
                }
                n += match;
            }
        }
        return n;
    };
    EXPECT_EQ(countColour(0xFF0000), 0);
    MoveTo(menu.m_hWnd, first.left + 3, first.top + 3);
    EXPECT_GT(countColour(0xFF0000), 5);
    Press(menu.m_hWnd, first.left + 3, first.top + 3);
    EXPECT_GT(countColour(0x00FF00), 5);
    EXPECT_EQ(countColour(0xFF0000), 0);
}

TEST_F(PopupMenuTest, LosingTheFocusClosesATopLevelMenu)
{
    Open("MenuGuest");
    ASSERT_TRUE(menu.m_hWnd);
    RecordingWnd other(0, 0, 500, 500, 50, 50);
    Press(other.m_hWnd, 10, 10);
    Release(other.m_hWnd, 10, 10);
    EXPECT_EQ(menu.m_hWnd, nullptr);
    EXPECT_TRUE(owner.notes.empty());
}

TEST_F(PopupMenuTest, MenuFilesWithoutPicturesOrTagsForEveryItem)
{
    // VisibleItem above Count: no bar, every item, yet room for one. No background: the item
    // height is the top margin. Tags stay with their items.
    const CString path = WriteMenu("[M]\r\nCount = 3\r\nVisibleItem = 5\r\nItemWidth = 90\r\nItemHeight = 20\r\n"
                                   "MenuSize = POINT(60,0)\r\nText0 = Head;97\r\nText1 = Plain\r\nText2 = Last;x\r\n");
    ASSERT_TRUE(menu.Create(CRect(150, 150, 160, 160), &owner, "M", TRUE));
    menu.Show(path);
    Pump();
    CRect client;
    menu.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 90 + 18, 20 + 5 * 21 + 1));
    EXPECT_FALSE(menu.ScrollBar().IsWindowVisible());
    EXPECT_EQ(ItemRect(0), CRect(1, 21, 91, 41));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(menu.Items().GetItem(i)->IsWindowVisible());
    }
    EXPECT_EQ(menu.GetItemTag(0), "97");
    EXPECT_EQ(menu.GetItemTag(1), "");
    EXPECT_EQ(menu.GetItemTag(2), "x");
    EXPECT_EQ(menu.GetItemText(2), "Last");
}

TEST_F(PopupMenuTest, ItemPicturesShowTheirRowAndState)
{
    // Four frames of 30 x 10 per row, one row per item; frame f of row r is coloured (r, f).
    BmpSpec item;
    item.width = 120;
    item.height = 20;
    item.pixel = [](int x, int y) { return static_cast<uint32_t>(((y / 10) * 0x40 + 0x20) << 16 | ((x / 30) * 0x40)); };
    const CString path = WriteMenu("[M]\r\nCount = 2\r\nItemWidth = 50\r\nItemHeight = 10\r\nItem = item.bmp\r\n"
                                   "Text0 = a\r\nText1 = b\r\n",
                                   {{"item.bmp", item}});
    ASSERT_TRUE(menu.Create(CRect(150, 150, 160, 160), &owner, "M", TRUE));
    menu.Show(path);
    Pump();
    const CRect second = ItemRect(1);
    EXPECT_EQ(second.Width(), 30);
    EXPECT_EQ(Pixel(menu.m_hWnd, second.left + 2, second.top + 2), 0x600000u);
    MoveTo(menu.m_hWnd, second.left + 2, second.top + 2);
    EXPECT_EQ(Pixel(menu.m_hWnd, second.left + 2, second.top + 2), 0x600040u);
    Press(menu.m_hWnd, second.left + 2, second.top + 2);
    EXPECT_EQ(Pixel(menu.m_hWnd, second.left + 2, second.top + 2), 0x600080u);
    menu.Items().GetItem(0)->EnableWindow(FALSE);
    menu.Items().GetItem(0)->Invalidate(FALSE);
    Pump();
    EXPECT_EQ(Pixel(menu.m_hWnd, ItemRect(0).left + 2, ItemRect(0).top + 2), 0x2000C0u);
    Release(menu.m_hWnd, second.left + 2, second.top + 2);
}

TEST_F(PopupMenuTest, AMissingMenuPaintsGreenAndHasNoItems)
{
    ASSERT_TRUE(menu.Create(CRect(150, 150, 250, 200), &owner, "NoSuchMenu", TRUE));
    menu.TrackPopup(SkinFolder(), "PopupMenu.ini");
    Pump();
    EXPECT_EQ(menu.Items().GetCount(), 0);
    EXPECT_EQ(Pixel(menu.m_hWnd, 20, 20), 0x008000u);
    ASSERT_TRUE(menu.m_hWnd);
    menu.DestroyWindow();
    ASSERT_TRUE(menu.Create(CRect(150, 150, 250, 200), &owner, "M", TRUE));
    menu.Show(SkinFolder() + "\\NoSuchFile.ini");
    Pump();
    EXPECT_EQ(Pixel(menu.m_hWnd, 20, 20), 0x008000u);
}

TEST(PopupMenuFile, EveryMenuOfBothSkinsLoadsWithItsTexts)
{
    for (const char* skin : {"Orange", "Orange_Do"}) {
        SCOPED_TRACE(skin);
        const CString path = SkinFolder(skin) + "\\PopupMenu.ini";
        CIniFile ini;
        ini.Load(path);
        int menus = 0;
        for (INT_PTR i = 0; i < ini.Lines().GetSize(); ++i) {
            const std::string& line = ini.Lines().GetData()[i].Str();
            if (line.size() < 3 || line.front() != '[' || line.back() != ']') {
                continue;
            }
            const std::string section = line.substr(1, line.size() - 2);
            SCOPED_TRACE(section);
            CPopupMenuDef def;
            ASSERT_TRUE(def.Load(path, section.c_str()));
            EXPECT_GT(def.m_nCount, 0);
            EXPECT_GT(def.m_nItemHeight, 0);
            EXPECT_TRUE(def.m_bmpBack.GetSafeHandle());
            for (int i = 0; i < def.m_nCount; ++i) {
                EXPECT_FALSE(def.GetText(i).IsEmpty()) << i;
            }
            ++menus;
        }
        EXPECT_GE(menus, 9);
    }
}
