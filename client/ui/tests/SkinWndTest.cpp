// Skinned windows, frames and dialogs made from skin folders and driven by injected input: the
// banded background, dragging, the close command, the modal switch of the main frame's children
// and the dialog commands with Enter and Escape.
#include "ControlTestSupport.h"
#include "NoticeDlg.h"
#include "SkinDialog.h"
#include "SkinFrame.h"
#include "TempSkin.h"

#include <yonda_capture.h>

#include <gtest/gtest.h>

using namespace yonda::uitest;

namespace {

uint32_t RowColour(int y)
{
    return static_cast<uint32_t>(y + 1) << 16 | 0x40;
}

struct WindowSkin : TempSkin {
    WindowSkin() : TempSkin("skinwnd")
    {
        Picture("back.bmp", 100, 90, [](int, int y) { return RowColour(y); });
        Picture("close.bmp", 64, 16, [](int x, int) { return x < 16 ? 0xE05A28u : 0x808080u; });
        Write("Wnd.ini",
              "[CloseBtn]\r\nID = 9999\r\nTitle = Close\r\nImage = close.bmp\r\nRect = RECT(80,2,96,18)\r\n");
        element.strImage = Path("back.bmp");
        element.strIniFile = Path("Wnd.ini");
        element.rcRect = RECT{10, 20, 110, 220};
    }
    CSkinElement element;
};

CPoint Origin(CWnd& wnd)
{
    CRect r;
    wnd.GetWindowRect(&r);
    return r.TopLeft();
}

} // namespace

TEST(SkinWnd, APopupSitsOverItsOwnerAndPaintsItsBackgroundInBands)
{
    WindowSkin skin;
    RecordingWnd owner(0, 0, 100, 100, 300, 300);
    CSkinWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup(&owner, &skin.element, 1));
    EXPECT_EQ(Origin(wnd), CPoint(110, 120));
    EXPECT_EQ(wnd.m_rcDrag.bottom, 45);
    EXPECT_TRUE(wnd.m_bCreated);
    wnd.ShowWindow(SW_SHOW);
    Pump();
    EXPECT_EQ(Pixel(wnd, 5, 10), RowColour(10));
    EXPECT_EQ(Pixel(wnd, 5, 30 + 29 + 3), RowColour(33)) << "the middle band repeats";
    EXPECT_EQ(Pixel(wnd, 5, 199), RowColour(89)) << "the bottom strip ends the window";
    ASSERT_TRUE(wnd.CreateOffscreen());
    EXPECT_EQ(wnd.m_nMemHeight, 200);
    wnd.DestroyWindow();
    EXPECT_FALSE(wnd.m_bCreated);
    EXPECT_FALSE(wnd.m_hMemDC);
}

TEST(SkinWnd, AMissingSkinFailsTheCreationAfterSayingSo)
{
    WindowSkin skin;
    YondaMessageBoxCapture boxes;
    skin.element.strIniFile = skin.Path("Nowhere.ini");
    CSkinWnd wnd;
    EXPECT_FALSE(wnd.CreatePopup(nullptr, &skin.element, 1));
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    skin.element.strImage = skin.Path("nothing.bmp");
    CSkinWnd other;
    EXPECT_FALSE(other.CreateChild(nullptr, &skin.element, 1)) << "no picture, no window";
}

TEST(SkinWnd, TheTopHalfDragsTheWindowAndTheRestDoesNot)
{
    WindowSkin skin;
    CSkinWnd wnd;
    ASSERT_TRUE(wnd.CreatePopup(nullptr, &skin.element, 1));
    wnd.ShowWindow(SW_SHOW);
    Pump();
    bool done = false;
    QueueDrag(ScreenPoint(wnd, 20, 40), ScreenPoint(wnd, 50, 80), [&] { done = true; });
    while (!done) {
        Pump();
    }
    EXPECT_EQ(Origin(wnd), CPoint(40, 60));
    done = false;
    QueueDrag(ScreenPoint(wnd, 20, 50), ScreenPoint(wnd, 50, 90), [&] { done = true; });
    while (!done) {
        Pump();
    }
    EXPECT_EQ(Origin(wnd), CPoint(40, 60)) << "below the drag area";
    EXPECT_EQ(CRect(wnd.m_rcWindow).TopLeft(), CPoint(40, 60));
}

TEST(SkinFrame, CloseHidesOrClosesAndAShownPopupSwitchesTheMainFramesChildren)
{
    WindowSkin skin;
    std::vector<std::pair<CWnd*, BOOL>> switched;
    ToolkitSetChildEnabler([&](CWnd* except, BOOL enable) { switched.emplace_back(except, enable); });
    CSkinFrame frame;
    ASSERT_TRUE(frame.CreatePopup(nullptr, &skin.element, 1));
    ASSERT_TRUE(frame.m_btnClose.m_hWnd) << "made from the skin's CloseBtn";
    frame.ShowWindow(SW_SHOW);
    Pump();
    EXPECT_EQ(switched, (std::vector<std::pair<CWnd*, BOOL>>{{&frame, FALSE}}));
    EXPECT_EQ(frame.GetFont()->m_hObject, ToolkitGuiFont());

    YondaInjectClick(frame.m_btnClose, 5, 5);
    Pump();
    EXPECT_FALSE(frame.IsWindowVisible());
    EXPECT_TRUE(frame.m_hWnd) << "hidden, not closed";
    EXPECT_EQ(switched.back(), std::make_pair(static_cast<CWnd*>(&frame), TRUE));

    frame.m_bCloseDestroys = 1;
    frame.ShowWindow(SW_SHOW);
    Pump();
    // Far enough from the first click not to make a double click of it.
    YondaInjectClick(frame.m_btnClose, 12, 12);
    Pump();
    EXPECT_FALSE(frame.m_hWnd);
    EXPECT_EQ(switched.back(), std::make_pair(static_cast<CWnd*>(&frame), TRUE));
    ToolkitSetChildEnabler(nullptr);
}

namespace {

struct DialogSkin : TempSkin {
    DialogSkin() : TempSkin("skindlg")
    {
        Solid("back.bmp", 300, 200, 0xFFE0C0);
        Solid("ok.bmp", 240, 20, 0xF28C28);
        Write("Dlg.ini",
              "[COMMON]\r\nDEFAULT_BASE_BITMAP = back.bmp\r\n"
              "[CloseBtn]\r\nID = 192\r\nImage = ok.bmp\r\nRect = RECT(270,2,290,22)\r\n"
              "[OKBTN]\r\nID = 191\r\nTitle = OK\r\nImage = ok.bmp\r\nRect = RECT(60,160,120,180)\r\n"
              "[CANCELBTN]\r\nID = 190\r\nTitle = Cancel\r\nImage = ok.bmp\r\nRect = RECT(180,160,240,180)\r\n");
        element.strIniFile = Path("Dlg.ini");
    }
    CSkinElement element;
};

class TestDialog : public CSkinDialog {
public:
    explicit TestDialog(CSkinElement* element) : CSkinDialog(element, 0x7001, nullptr) {}
    std::function<void()> atOk;
    CRect placed;
    unsigned background = 0;

protected:
    int OnCreate(LPCREATESTRUCT cs) override
    {
        if (CSkinDialog::OnCreate(cs) == -1) {
            return -1;
        }
        CreateSkinButton(&m_btnClose, &m_pSkin->m_elCloseBtn, this, 0);
        CreateSkinButton(&m_btnOK, m_pSkin->Element("OKBTN"), this, 1);
        CreateSkinButton(&m_btnCancel, m_pSkin->Element("CANCELBTN"), this, 1);
        return 0;
    }
    void OnSkinOk() override
    {
        GetWindowRect(&placed);
        Pump();
        background = Pixel(m_hWnd, 150, 100);
        CSkinDialog::OnSkinOk();
    }
};

} // namespace

TEST(SkinDialog, EnterEscapeAndTheButtonsEndTheDialogTheirWays)
{
    DialogSkin skin;
    {
        TestDialog dlg(&skin.element);
        SoonInLoop([] { Key(VK_RETURN); });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.placed.Size(), CSize(300, 200)) << "sized to its background";
        EXPECT_EQ(dlg.background, 0xFFE0C0u);
        EXPECT_FALSE(dlg.m_pSkin) << "the skin goes with the window";
    }
    {
        TestDialog dlg(&skin.element);
        SoonInLoop([] { Key(VK_ESCAPE); });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
    {
        TestDialog dlg(&skin.element);
        SoonInLoop([&] { YondaInjectClick(dlg.m_btnClose, 3, 3); });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
    {
        TestDialog dlg(&skin.element);
        SoonInLoop([&] { YondaInjectClick(dlg.m_btnOK, 3, 3); });
        EXPECT_EQ(dlg.DoModal(), IDOK);
    }
}

TEST(SkinDialog, OnlyTheTopSeventeenRowsDrag)
{
    DialogSkin skin;
    for (int row : {16, 17}) {
        SCOPED_TRACE(row);
        TestDialog dlg(&skin.element);
        CPoint start;
        SoonInLoop([&] {
            CRect r;
            dlg.GetWindowRect(&r);
            start = r.TopLeft();
            QueueDrag(ScreenPoint(dlg, 30, row), ScreenPoint(dlg, 50, row + 10), [] { Key(VK_RETURN); });
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.placed.TopLeft(), row == 16 ? start + CPoint(20, 10) : start);
    }
}

TEST(NoticeDlg, ShowsItsPictureAndAnswersOk)
{
    DialogSkin skin;
    skin.Solid("notice.bmp", 40, 40, 0x2040C0);
    skin.Write("Dlg.ini", "[COMMON]\r\nDEFAULT_BASE_BITMAP = back.bmp\r\n"
                          "[OKBTN]\r\nID = 191\r\nImage = ok.bmp\r\nRect = RECT(60,160,120,180)\r\n"
                          "[BITMAP_WND]\r\nRect = RECT(10,30,30,50)\r\n[MESSAGE]\r\nRECT = RECT(0,100,300,130)\r\n");
    CNoticeDlg dlg(&skin.element, nullptr);
    ASSERT_TRUE(dlg.SetNoticeBitmap(skin.Path("notice.bmp")));
    EXPECT_FALSE(dlg.SetNoticeBitmap(skin.Path("gone.bmp")));
    ASSERT_TRUE(dlg.SetNoticeBitmap(skin.Path("notice.bmp")));
    dlg.SetImageSize(20, 20);
    dlg.m_strMessage = "Saved";
    unsigned picture = 0;
    unsigned beside = 0;
    SoonInLoop([&] {
        Pump();
        picture = Pixel(dlg, 15, 35);
        beside = Pixel(dlg, 35, 35);
        YondaInjectClick(dlg.m_btnOK, 3, 3);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(picture, 0x2040C0u);
    EXPECT_EQ(beside, 0xFFE0C0u);
}
