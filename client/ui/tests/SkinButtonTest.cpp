// Skin buttons and tab buttons as real windows driven by injected mouse input: which state
// images show, the click notification, the sounds, and the tabs' selection.
#include "BmpWriter.h"
#include "ControlTestSupport.h"
#include "SoundButton.h"
#include "SoundSupport.h"
#include "TabButton.h"
#include "TempFolder.h"
#include "ToolkitShared.h"

#include <yonda_user.h>

#include <gtest/gtest.h>

using namespace yonda::uitest;

namespace {

constexpr unsigned kNormal = 0xC03020;
constexpr unsigned kHover = 0x20A040;
constexpr unsigned kPressed = 0x2040C0;
constexpr unsigned kDisabled = 0x808080;
constexpr int kW = 40;
constexpr int kH = 20;

// Four states side by side; the hover image keeps only its right half, its left half is the key
// colour so that whatever was drawn beneath shows there.
HBITMAP StatePicture()
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kW * 4, kH);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const unsigned colours[4] = {kNormal, kHover, kPressed, kDisabled};
    for (int state = 0; state < 4; ++state) {
        const unsigned c = colours[state];
        RECT r{state * kW, 0, state * kW + kW, kH};
        HBRUSH brush = CreateSolidBrush(RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
    RECT key{kW, 0, kW + kW / 2, kH};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &key, magenta);
    DeleteObject(magenta);
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

class ButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_picture = StatePicture();
        ASSERT_TRUE(m_button.SetBitmap(m_picture));
        ASSERT_TRUE(m_button.Create("Tip", 0x5001000B, CRect(50, 60, 50 + kW, 60 + kH), &m_parent, 191));
        m_button.SizeToBitmap();
        MoveTo(m_parent, 5, 5);
        m_sounds.Take();
    }
    void TearDown() override
    {
        m_button.DestroyWindow();
        DeleteObject(m_picture);
        ToolkitSetSoundOff(FALSE);
    }
    // What DrawItem paints for an item state over a white surface, left and right half.
    std::pair<unsigned, unsigned> DrawnOnWhite(UINT state)
    {
        HDC screen = GetDC(nullptr);
        HBITMAP surface = CreateCompatibleBitmap(screen, kW, kH);
        ReleaseDC(nullptr, screen);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, surface);
        RECT all{0, 0, kW, kH};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DRAWITEMSTRUCT dis{ODT_BUTTON, 191, 0, ODA_DRAWENTIRE, state, m_button.m_hWnd, dc, all, 0};
        m_button.DrawItem(&dis);
        SelectObject(dc, old);
        DeleteDC(dc);
        const auto shown = std::make_pair(BitmapPixel(surface, 5, 10), BitmapPixel(surface, kW - 5, 10));
        DeleteObject(surface);
        return shown;
    }
    // What the left and right halves of the button show.
    std::pair<unsigned, unsigned> Shown()
    {
        Pump();
        return {Pixel(m_button, 5, 10), Pixel(m_button, kW - 5, 10)};
    }

    HeardSounds m_sounds;
    RecordingWnd m_parent{WM_COMMAND, WM_COMMAND};
    CSoundButton m_button;
    HBITMAP m_picture = nullptr;
};

} // namespace

TEST_F(ButtonTest, HoverPressAndClickShowTheirStatesAndNotifyTheParent)
{
    CRect window;
    m_button.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), kW) << "sized to one state image";
    EXPECT_EQ(window.Height(), kH);
    EXPECT_EQ(Shown(), std::make_pair(kNormal, kNormal));

    MoveTo(m_button, 10, 10);
    EXPECT_TRUE(m_button.m_bHover);
    EXPECT_EQ(Shown().second, kHover);
    EXPECT_EQ(DrawnOnWhite(0), std::make_pair(0xFFFFFFu, kHover)) << "hovered: image 1 without image 0 beneath";
    EXPECT_EQ(m_sounds.Take(), 149u);

    Press(m_button, 10, 10);
    EXPECT_EQ(Shown(), std::make_pair(kPressed, kPressed));
    EXPECT_EQ(m_sounds.Take(), 153u);
    EXPECT_TRUE(m_parent.notes.empty());
    Release(m_button, 10, 10);
    ASSERT_EQ(m_parent.notes.size(), 1u);
    EXPECT_EQ(m_parent.notes[0].wParam, MAKEWPARAM(191, BN_CLICKED));

    MoveTo(m_button, 11, 10);
    EXPECT_TRUE(m_button.m_bHover);
    EXPECT_EQ(m_sounds.Take(), 0u) << "the first hover after a click is silent";

    // Leaving: the focused button shows image 1 over image 0.
    MoveTo(m_parent, 5, 5);
    EXPECT_FALSE(m_button.m_bHover);
    EXPECT_EQ(Shown(), std::make_pair(kNormal, kHover));
    EXPECT_EQ(DrawnOnWhite(ODS_FOCUS), std::make_pair(kNormal, kHover));
    EXPECT_EQ(DrawnOnWhite(ODS_DISABLED), std::make_pair(kDisabled, kDisabled));
    EXPECT_EQ(DrawnOnWhite(ODS_SELECTED | ODS_DISABLED), std::make_pair(kPressed, kPressed));
    MoveTo(m_button, 10, 10);
    EXPECT_EQ(m_sounds.Take(), 149u);
    MoveTo(m_parent, 5, 5);

    m_button.SetState(1);
    EXPECT_EQ(Shown(), std::make_pair(kPressed, kPressed)) << "checked draws the pressed image alone";
    m_button.SetState(0);
    m_parent.SetFocus();
    m_button.EnableWindow(FALSE);
    EXPECT_EQ(Shown(), std::make_pair(kDisabled, kDisabled));
}

TEST_F(ButtonTest, SoundOffSilencesBothSounds)
{
    ToolkitSetSoundOff(TRUE);
    MoveTo(m_button, 10, 10);
    Press(m_button, 10, 10);
    Release(m_button, 10, 10);
    EXPECT_EQ(m_sounds.Take(), 0u);
    EXPECT_EQ(m_parent.notes.size(), 1u);
}

TEST_F(ButtonTest, OwnedPicturesGoWithTheButtonAndBorrowedOnesStay)
{
    m_button.DestroyWindow();
    BITMAP info{};
    EXPECT_TRUE(GetObjectA(m_picture, sizeof info, &info)) << "a skin's picture outlives the button";
    CSkinButton other;
    EXPECT_FALSE(other.LoadBitmap("/no/such/picture.bmp"));
    EXPECT_FALSE(other.SetBitmap(nullptr));
    EXPECT_EQ(other.m_nStateWidth, 0);
}

TEST(TabButton, ClicksSelectOtherTabsOnlyAndTellTheParent)
{
    HeardSounds sounds;
    // 100 pixels wide, three variants of 10 rows stacked: variant i is the strip with tab i chosen.
    BmpSpec strip;
    strip.width = 100;
    strip.height = 30;
    strip.pixel = [](int, int y) {
        constexpr uint32_t colours[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        return colours[y / 10];
    };
    const yonda::testing::TempFolder folder("yonda-tabs");
    const CString path(folder.Write("tabs.bmp", MakeBmp(strip)).string().c_str());

    RecordingWnd parent(UM_TAB_SELECT, UM_TAB_SELECT);
    CTabButton tabs;
    ASSERT_EQ(tabs.Create(&parent, 3, path, true, CRect(10, 10, 110, 30), 77), 1);
    EXPECT_EQ(tabs.m_nStep, 33);
    Pump();
    EXPECT_EQ(Pixel(tabs, 50, 10), 0xFF0000u);

    YondaInjectClick(tabs, 66, 5);
    Pump();
    ASSERT_EQ(parent.notes.size(), 1u);
    EXPECT_EQ(parent.notes[0].wParam, 2u);
    EXPECT_EQ(parent.notes[0].lParam, reinterpret_cast<LPARAM>(&tabs));
    EXPECT_EQ(sounds.Take(), 153u);
    Pump();
    EXPECT_EQ(Pixel(tabs, 50, 10), 0x0000FFu) << "variant 2 stretched over the whole button";

    YondaInjectClick(tabs, 70, 5);
    YondaInjectClick(tabs, 99, 5);
    Pump();
    EXPECT_EQ(parent.notes.size(), 1u) << "the chosen tab and the space past the last tab send nothing";
    EXPECT_EQ(sounds.Take(), 0u);
    EXPECT_EQ(tabs.GetCurSel(), 2);

    tabs.SetCurSel(0);
    EXPECT_EQ(parent.notes.size(), 1u);
    CTabButton none;
    EXPECT_EQ(none.Create(&parent, 0, path, true, CRect(0, 0, 10, 10), 78), -1);
    tabs.DestroyWindow();
}
