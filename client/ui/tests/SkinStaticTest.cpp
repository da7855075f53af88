// Drop-down selectors over the generated skins' menu file and drop-button picture, opened, closed
// and chosen from with injected mouse input, and made from a window's skin section.
#include "ControlTestSupport.h"
#include "DialogSkin.h"
#include "NotifyDlg.h"
#include "PopupMenuList.h"
#include "SkinDialog.h"
#include "SkinStatic.h"
#include "SkinWnd.h"
#include "TempSkin.h"
#include "ToolkitShared.h"

#include <yonda_platform.h>

using namespace yonda::uitest;

namespace {

CString Korean(const char* utf8)
{
    return CString(YondaUtf8ToCodePage(utf8, 949).c_str());
}

class SkinStaticTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        YondaSetActiveCodePage(949);
        ToolkitSetSkinFolder(SkinFolder());
    }
    void TearDown() override
    {
        selector.DestroyWindow();
        ToolkitSetSkinFolder(CString());
    }

    void Make(const char* name)
    {
        ASSERT_TRUE(selector.Create(CRect(20, 20, 140, 60), &parent, 31, name));
        ASSERT_TRUE(selector.SetSkin(SkinFolder() + "\\PopupMenu.ini", SkinFolder() + "\\combo_button.bmp"));
        selector.ShowWindow(SW_SHOW);
        Pump();
    }
    CPoint ButtonCentre() const { return selector.m_rcButton.CenterPoint(); }
    void ClickButton()
    {
        const CPoint c = ButtonCentre();
        MoveTo(selector, c.x, c.y);
        Press(selector, c.x, c.y);
        Release(selector, c.x, c.y);
    }
    // Clicks item `index` of the open menu: the mouse leaves the button (which lets go of the
    // capture) and comes to the item.
    void ChooseItem(int index)
    {
        ASSERT_TRUE(selector.m_menu.m_hWnd);
        CPopupMenuList* item = selector.m_menu.Items().GetItem(index);
        ASSERT_TRUE(item);
        CRect r;
        item->GetWindowRect(&r);
        const CPoint c = r.CenterPoint();
        YondaInjectMouseMove(c.x, c.y);
        Pump();
        YondaInjectMouseMove(c.x, c.y + 1);
        YondaInjectMouseButton(0, TRUE, c.x, c.y + 1);
        YondaInjectMouseButton(0, FALSE, c.x, c.y + 1);
        Pump();
    }

    RecordingWnd parent{0, 0, 100, 100, 300, 300};
    CSkinStatic selector;
};

} // namespace

TEST_F(SkinStaticTest, TakesThePicturesHeightAndShowsItsFirstItem)
{
    Make("ComboSex");
    BITMAP info{};
    ASSERT_TRUE(selector.m_bmp.GetBitmap(&info));
    CRect window;
    selector.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), 120);
    EXPECT_EQ(window.Height(), info.bmHeight + 2);
    EXPECT_EQ(selector.m_rcButton, CRect(119 - info.bmWidth / 4, 1, 119, 1 + info.bmHeight));
    EXPECT_EQ(selector.m_strText, Korean("전체"));
    EXPECT_EQ(selector.GetSelectedTag(), "0");
    CString title;
    selector.GetWindowText(title);
    EXPECT_EQ(title, "ComboSex");

    selector.SetSelection(2);
    EXPECT_EQ(selector.m_strText, Korean("여자"));
    EXPECT_EQ(selector.GetSelectedTag(), "F");
    EXPECT_EQ(selector.m_nSel, 0);
    selector.SetSelection(9);
    EXPECT_EQ(selector.m_strText, "");
    EXPECT_EQ(selector.GetSelectedTag(), "");
    selector.Reload();
    EXPECT_EQ(selector.GetSelectedTag(), "0");
    // Without a tag the text is what the selector hands on.
    selector.m_strTag.Empty();
    EXPECT_EQ(selector.GetSelectedTag(), Korean("전체"));
}

TEST_F(SkinStaticTest, TheButtonShowsHoverPressedAndDisabledImages)
{
    Make("ComboSex");
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    HGDIOBJ old = mem.SelectObject(selector.m_bmp.GetSafeHandle());
    const int w = selector.m_rcButton.Width();
    // The picture's state images, read before the control draws with it (a picture lives in
    // one DC at a time).
    unsigned images[4];
    for (int state = 0; state < 4; ++state) {
        const COLORREF c = mem.GetPixel(state * w + w / 2, 3);
        images[state] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    mem.SelectObject(old);
    auto image = [&](int state) { return images[state]; };
    auto shown = [&] {
        YondaFlushPainting();
        return Pixel(selector, selector.m_rcButton.left + w / 2, selector.m_rcButton.top + 3);
    };
    ASSERT_NE(image(0), image(1));
    ASSERT_NE(image(1), image(2));
    EXPECT_EQ(shown(), image(0));
    const CPoint c = ButtonCentre();
    MoveTo(selector, c.x, c.y);
    EXPECT_EQ(selector.m_bHover, 1);
    EXPECT_EQ(shown(), image(1));
    Press(selector, c.x, c.y);
    EXPECT_EQ(selector.m_bPressed, 1);
    EXPECT_EQ(shown(), image(2));
    Release(selector, c.x, c.y);
    EXPECT_EQ(selector.m_bPressed, 0);
    selector.m_menu.DestroyWindow();
    MoveTo(selector, 5, 5);
    EXPECT_EQ(selector.m_bHover, 0);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    selector.EnableWindow(FALSE);
    EXPECT_EQ(shown(), image(3));
}

TEST_F(SkinStaticTest, TheDropButtonOpensTheListBelowAndASecondClickClosesIt)
{
    Make("ComboAge");
    ClickButton();
    ASSERT_TRUE(selector.m_menu.m_hWnd);
    EXPECT_TRUE(selector.m_menu.m_bScrollBarCreated);
    EXPECT_EQ(selector.m_menu.Definition().m_nCount, 10);
    CRect control, menu;
    selector.GetWindowRect(&control);
    selector.m_menu.GetWindowRect(&menu);
    EXPECT_EQ(menu.TopLeft(), CPoint(control.left, control.bottom)) << "the list opens right below";
    ClickButton();
    EXPECT_EQ(selector.m_menu.m_hWnd, nullptr);
    EXPECT_FALSE(selector.m_menu.m_bScrollBarCreated);
    ClickButton();
    EXPECT_TRUE(selector.m_menu.m_hWnd) << "and the third opens it again";
    // A click anywhere else, the text field included, takes the focus from the list: it closes.
    Press(selector, 5, 5);
    Release(selector, 5, 5);
    EXPECT_EQ(selector.m_menu.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
}

TEST_F(SkinStaticTest, APickSetsTextAndTagButAHeadingCannotBeChosen)
{
    Make("ComboArea");
    ClickButton();
    ChooseItem(3);
    EXPECT_EQ(selector.m_menu.m_hWnd, nullptr) << "the list closes with the pick";
    EXPECT_EQ(selector.m_strText, Korean("부산"));
    EXPECT_EQ(selector.GetSelectedTag(), "2");

    ClickButton();
    ChooseItem(1);
    EXPECT_EQ(selector.m_menu.GetCurrentItemTag(), "97");
    EXPECT_EQ(selector.m_strText, Korean("부산")) << "a heading is not a choice";
    EXPECT_EQ(selector.GetSelectedTag(), "2");

    // What was chosen is what the control shows.
    YondaFlushPainting();
    CRect text;
    selector.GetClientRect(&text);
    text.right = selector.m_rcButton.left - 1;
    int ink = 0;
    for (int y = text.top + 3; y < text.bottom; ++y) {
        for (int x = text.left + 4; x < text.right; ++x) {
            ink += Pixel(selector, x, y) != 0xFFFFFF;
        }
    }
    EXPECT_GT(ink, 20);
}

TEST_F(SkinStaticTest, AMissingPictureIsToldThroughTheFileReadMessage)
{
    CDialogSkin messageSkin;
    messageSkin.SetSkinPath(SkinFolder());
    ASSERT_EQ(messageSkin.LoadIni(SkinFolder() + "\\MsgDlg.ini"), 1);
    ToolkitSetMessageSkin(&messageSkin);
    ToolkitSetTableStrings([](LPCSTR key) { return CString(key) + ": %s"; });
    ASSERT_TRUE(selector.Create(CRect(20, 20, 140, 60), &parent, 31, "ComboSex"));
    std::string told;
    SoonInLoop([&] {
        if (auto* box = dynamic_cast<CNotifyDlg*>(CWnd::GetActiveWindow())) {
            told = box->m_lines.GetHead().Str();
        }
        Key(VK_RETURN);
    });
    EXPECT_FALSE(selector.SetSkin(SkinFolder() + "\\PopupMenu.ini", SkinFolder() + "\\no_such_button.bmp"));
    EXPECT_EQ(told, "E_FILE_READ: no_such_button.bmp");
    EXPECT_EQ(selector.m_bmp.GetSafeHandle(), nullptr);
    EXPECT_TRUE(selector.m_rcButton.IsRectEmpty());
    ToolkitSetTableStrings(nullptr);
    ToolkitSetMessageSkin(nullptr);
}

TEST(SkinStaticChild, AWindowMakesItsSelectorFromItsSkinSection)
{
    YondaSetActiveCodePage(949);
    TempSkin skin("selector");
    skin.Solid("back.bmp", 200, 120, 0xFFF0E0);
    skin.Write("Wnd.ini", "[CloseBtn]\r\nID = 9999\r\n"
                          "[ComboCount]\r\nRect = RECT(10,40,90,60)\r\nID = 4711\r\n"
                          "IniFile = PopupMenu.ini\r\nImage = combo_button.bmp\r\n");
    CSkinElement element;
    element.strImage = skin.Path("back.bmp");
    element.strIniFile = skin.Path("Wnd.ini");
    element.rcRect = RECT{0, 0, 200, 120};
    // The window's own ini lies in the test's folder, the pictures and menus in the skin's.
    ToolkitSetSkinFolder(SkinFolder());
    CSkinWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup(nullptr, &element, 0));
    CSkinStatic selector;
    ASSERT_TRUE(wnd.CreateSkinChild(&selector, "ComboCount"));
    EXPECT_EQ(selector.GetDlgCtrlID(), 4711);
    EXPECT_FALSE(selector.IsWindowVisible()) << "owners show their selectors";
    EXPECT_EQ(selector.m_strText, "2");
    EXPECT_EQ(selector.GetSelectedTag(), "2");
    EXPECT_EQ(selector.m_strName, "ComboCount");
    CRect r;
    selector.GetWindowRect(&r);
    wnd.ScreenToClient(&r);
    EXPECT_EQ(r.TopLeft(), CPoint(10, 40));
    EXPECT_EQ(r.Width(), 80);
    EXPECT_TRUE(selector.m_bmp.GetSafeHandle());
    ToolkitSetSkinFolder(CString());
}

// A dialog's selectors start at the item their section names (DefaultIndex), and reading the menu
// again comes back to it; a window's selector does the same, and without the key shows item 0.
TEST(SkinStaticChild, SelectorsStartAtTheirDefaultIndexInDialogsAndWindows)
{
    YondaSetActiveCodePage(949);
    TempSkin skin("selector-default");
    skin.Solid("back.bmp", 200, 120, 0xFFF0E0);
    const std::string sections = "[ComboCount]\r\nRect = RECT(10,40,90,60)\r\nID = 4711\r\nDefaultIndex = 6\r\n"
                                 "IniFile = PopupMenu.ini\r\nImage = combo_button.bmp\r\n"
                                 "[ComboSex]\r\nRect = RECT(10,70,90,90)\r\nID = 4712\r\n"
                                 "IniFile = PopupMenu.ini\r\nImage = combo_button.bmp\r\n";
    skin.Write("Dlg.ini", "[COMMON]\r\nDEFAULT_BASE_BITMAP = back.bmp\r\n" + sections);
    skin.Write("Wnd.ini", "[CloseBtn]\r\nID = 9999\r\n" + sections);
    CSkinElement element;
    element.strImage = skin.Path("back.bmp");
    element.strIniFile = skin.Path("Dlg.ini");
    element.rcRect = RECT{0, 0, 200, 120};
    // The skins' own inis lie in the test's folder, the pictures and menus in the generated skin's.
    ToolkitSetSkinFolder(SkinFolder());

    CSkinDialog dialog(&element, 4321, nullptr);
    ASSERT_TRUE(dialog.Create(4321, nullptr));
    CSkinStatic count;
    ASSERT_TRUE(dialog.CreateSkinChild(&count, "ComboCount"));
    EXPECT_EQ(count.GetDlgCtrlID(), 4711);
    EXPECT_EQ(count.m_strText, "8");
    EXPECT_EQ(count.GetSelectedTag(), "8");
    count.Reload();
    EXPECT_EQ(count.GetSelectedTag(), "8") << "a reload keeps the first item";
    CSkinStatic sex;
    ASSERT_TRUE(dialog.CreateSkinChild(&sex, "ComboSex"));
    EXPECT_EQ(sex.GetSelectedTag(), "0");
    count.DestroyWindow();
    sex.DestroyWindow();
    dialog.DestroyWindow();

    element.strIniFile = skin.Path("Wnd.ini");
    CSkinWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup(nullptr, &element, 0));
    CSkinStatic windowCount;
    ASSERT_TRUE(wnd.CreateSkinChild(&windowCount, "ComboCount"));
    EXPECT_EQ(windowCount.GetSelectedTag(), "8");
    windowCount.DestroyWindow();
    ToolkitSetSkinFolder(CString());
}
