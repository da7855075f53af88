// The skinned progress bar as a real child window, read back from what the window shows: bands of
// the gradient, the bar's growth in every direction, the moving segment's bounce and the text in
// two colours. The buffered DC is checked on a window of its own.
#include "BufferDC.h"
#include "ControlTestSupport.h"
#include "SkinProgressCtrl.h"

#include <commctrl.h>

using namespace yonda::uitest;

namespace {

// What Pixel reads (0x00RRGGBB) for a COLORREF.
constexpr COLORREF kBack = RGB(200, 200, 200);
constexpr COLORREF kOrange = RGB(255, 140, 30);

struct Bar {
    RecordingWnd parent{WM_APP, WM_APP};
    CSkinProgressCtrl bar;

    explicit Bar(DWORD style = 0, const CRect& rect = CRect(10, 10, 210, 30))
    {
        EXPECT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | style, rect, &parent, 11));
        bar.SetRange32(0, 100);
        bar.SetBkColor(kBack);
    }
    unsigned At(int x, int y)
    {
        bar.Invalidate(FALSE);
        bar.UpdateWindow();
        return Pixel(bar.m_hWnd, x, y);
    }
};

} // namespace

TEST(SkinProgressCtrl, BlackToDarkBlueOverTwoHundredPixelsIsTenBands)
{
    Bar b;
    // The colour message takes the start in lParam and the end in wParam.
    EXPECT_EQ(b.bar.SendMessage(PBM_SETBARCOLOR, RGB(0, 0, 10), RGB(0, 0, 0)), static_cast<LRESULT>(0xFF000000));
    b.bar.SetPos(100);
    for (int band = 0; band < 10; ++band) {
        EXPECT_EQ(b.At(band * 20, 10), static_cast<unsigned>(band)) << band;
        EXPECT_EQ(b.At(band * 20 + 19, 10), static_cast<unsigned>(band)) << band;
    }
    // One colour in wParam 0 is a plain bar.
    b.bar.SetBarColor(kOrange);
    EXPECT_EQ(b.At(0, 5), Rgb(kOrange));
    EXPECT_EQ(b.At(199, 15), Rgb(kOrange));
}

TEST(SkinProgressCtrl, ThreeColoursMakeTwoGradientsMeetingAtTheMiddleColour)
{
    Bar b;
    const COLORREF colours[3] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
    b.bar.SetGradientColors(colours, 3);
    EXPECT_EQ(b.bar.GetGradientColorCount(), 3);
    b.bar.SetPos(100);
    EXPECT_EQ(b.At(0, 10), 0xFF0000u);
    EXPECT_EQ(b.At(100, 10), 0x00FF00u);
    // 100 one-pixel bands from green to blue, 2.55 per band, truncated.
    EXPECT_EQ(b.At(199, 10), 0x0003FCu);
    EXPECT_EQ(b.At(99, 10), 0x03FC00u);
    // Fewer than two colours leave the gradient alone.
    b.bar.SetGradientColors(colours, 1);
    EXPECT_EQ(b.bar.GetGradientColorCount(), 3);
}

TEST(SkinProgressCtrl, TheGradientSpansTheWholeLengthOrOnlyTheBar)
{
    Bar b;
    b.bar.SendMessage(PBM_SETBARCOLOR, RGB(0, 0, 200), RGB(0, 0, 0));
    b.bar.SetPos(50);
    EXPECT_EQ(b.At(99, 10), 99u);
    EXPECT_EQ(b.At(100, 10), Rgb(kBack));
    b.bar.ModifyStyle(0, PBS_GRADIENT_ON_BAR);
    EXPECT_EQ(b.At(99, 10), 198u);
    EXPECT_EQ(b.At(0, 10), 0u);
    EXPECT_EQ(b.At(100, 10), Rgb(kBack));
}

TEST(SkinProgressCtrl, BarsGrowFromTheirOrigin)
{
    struct Case {
        DWORD style;
        CRect rect;
        POINT onBar;
        POINT offBar;
    } cases[] = {
        {0, CRect(10, 10, 210, 30), {5, 10}, {60, 10}},
        {PBS_MIRRORED, CRect(10, 10, 210, 30), {195, 10}, {140, 10}},
        {PBS_VERTICAL, CRect(10, 10, 30, 210), {10, 195}, {10, 140}},
        {PBS_VERTICAL | PBS_MIRRORED, CRect(10, 10, 30, 210), {10, 5}, {10, 60}},
    };
    for (const Case& c : cases) {
        Bar b(c.style, c.rect);
        b.bar.SetBarColor(kOrange);
        b.bar.SetPos(25);
        EXPECT_EQ(b.At(c.onBar.x, c.onBar.y), Rgb(kOrange)) << c.style;
        EXPECT_EQ(b.At(c.offBar.x, c.offBar.y), Rgb(kBack)) << c.style;
    }
}

TEST(SkinProgressCtrl, BordersBrushesAndAPositionOutsideTheRange)
{
    Bar b;
    b.bar.SetBarColor(kOrange);
    b.bar.SetBorders(CRect(3, 4, 5, 6));
    b.bar.SetPos(100);
    EXPECT_EQ(b.At(1, 10), Rgb(kBack));
    EXPECT_EQ(b.At(3, 4), Rgb(kOrange));
    EXPECT_EQ(b.At(194, 13), Rgb(kOrange));
    EXPECT_EQ(b.At(195, 10), Rgb(kBack));
    EXPECT_EQ(b.At(100, 3), Rgb(kBack));
    EXPECT_EQ(b.At(100, 14), Rgb(kBack));

    CBrush green(RGB(0, 160, 0));
    CBrush blue(RGB(0, 0, 160));
    b.bar.SetBackBrush(green);
    b.bar.SetBarBrush(blue);
    EXPECT_EQ(b.At(1, 10), 0x00A000u);
    EXPECT_EQ(b.At(100, 10), 0x0000A0u);
    b.bar.SetBackBrush(nullptr);
    b.bar.SetBarBrush(nullptr);

    // A range running backwards leaves every position outside it: only the background shows.
    b.bar.SetRange32(100, 0);
    EXPECT_EQ(b.At(50, 10), Rgb(kBack));
    EXPECT_EQ(b.At(3, 4), Rgb(kBack));
}

TEST(SkinProgressCtrl, StepSetPosAndDeltaPosStayTheSystemsWithoutAMovingSegment)
{
    Bar b;
    b.bar.SetPos(20);
    EXPECT_EQ(b.bar.SetStep(5), 10);
    EXPECT_EQ(b.bar.GetStepSize(), 5);
    EXPECT_EQ(b.bar.StepIt(), 20);
    EXPECT_EQ(b.bar.GetPos(), 25);
    EXPECT_EQ(b.bar.OffsetPos(10), 25);
    EXPECT_EQ(b.bar.SetPos(300), 35);
    EXPECT_EQ(b.bar.GetPos(), 100);
    EXPECT_EQ(b.bar.GetTail(), 0);
}

TEST(SkinProgressCtrl, AMovingSegmentRunsOutPastTheEndAndBouncesBack)
{
    Bar b(PBS_MOVING_SEGMENT);
    b.bar.SetBarColor(kOrange);
    EXPECT_EQ(b.bar.GetSegmentLength(), 40);
    struct Step {
        int pos;
        int tail;
    } expected[] = {{10, 0},  {20, 0},   {30, 0},   {40, 0},   {50, 10},  {60, 20},   {70, 30}, {80, 40},
                    {90, 50}, {100, 60}, {100, 70}, {100, 80}, {100, 90}, {100, 100}, {10, 0},  {20, 0}};
    int step = 0;
    for (const Step& e : expected) {
        ++step;
        b.bar.StepIt();
        EXPECT_EQ(b.bar.GetPos(), e.pos) << step;
        EXPECT_EQ(b.bar.GetTail(), e.tail) << step;
        EXPECT_EQ((b.bar.GetStyle() & PBS_MIRRORED) != 0, step >= 15) << step;
        if (step == 6) {
            // Tail 20, head 60 of 100 on 200 pixels: the segment covers 40..120.
            EXPECT_EQ(b.At(30, 10), Rgb(kBack));
            EXPECT_EQ(b.At(40, 10), Rgb(kOrange));
            EXPECT_EQ(b.At(119, 10), Rgb(kOrange));
            EXPECT_EQ(b.At(120, 10), Rgb(kBack));
        }
        if (step == 13) {
            // The head runs past the end while the tail follows it in.
            EXPECT_EQ(b.At(170, 10), Rgb(kBack));
            EXPECT_EQ(b.At(190, 10), Rgb(kOrange));
        }
        if (step == 15) {
            // Mirrored: it comes back in from the other end.
            EXPECT_EQ(b.At(190, 10), Rgb(kOrange));
            EXPECT_EQ(b.At(170, 10), Rgb(kBack));
            EXPECT_EQ(b.At(10, 10), Rgb(kBack));
        }
    }
    // A position set outright moves the head; one far past the end restarts it near the start.
    EXPECT_EQ(b.bar.SetPos(70), 20);
    EXPECT_EQ(b.bar.GetTail(), 30);
    b.bar.SetPos(175);
    EXPECT_EQ(b.bar.GetPos(), 35);
    EXPECT_EQ(b.bar.GetTail(), 0);
    EXPECT_EQ(b.bar.GetStyle() & PBS_MIRRORED, 0u);
    // Steps of either sign move it forward.
    b.bar.OffsetPos(-5);
    EXPECT_EQ(b.bar.GetPos(), 40);
}

TEST(SkinProgressCtrl, PercentageTextChangesColourWhereTheBarEnds)
{
    Bar b(PBS_TEXT_PERCENT);
    CFont font;
    ASSERT_TRUE(font.CreateFont(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, ""));
    b.bar.SetFont(&font);
    b.bar.SetBarColor(RGB(0, 0, 255));
    b.bar.SetTextColors(RGB(255, 255, 255), RGB(255, 0, 0));
    b.bar.SetPos(50);
    b.At(0, 0);
    int whiteOnBar = 0;
    int redOffBar = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 200; ++x) {
            const unsigned p = Pixel(b.bar.m_hWnd, x, y);
            const unsigned r = p >> 16, g = (p >> 8) & 0xFF, bl = p & 0xFF;
            if (x < 100) {
                // Blue bar, white text and what lies between.
                ASSERT_EQ(bl, 255u) << x << "," << y;
                ASSERT_EQ(r, g) << x << "," << y;
                whiteOnBar += p == 0xFFFFFF;
            } else {
                // Grey background, red text and what lies between.
                ASSERT_EQ(g, bl) << x << "," << y;
                ASSERT_GE(r, 200u) << x << "," << y;
                redOffBar += p == 0xFF0000;
            }
        }
    }
    EXPECT_GT(whiteOnBar, 3);
    EXPECT_GT(redOffBar, 3);

    // Text on the bar shows only once the bar is as long as the text.
    b.bar.ModifyStyle(0, PBS_TEXT_ON_BAR);
    b.bar.SetPos(5);
    b.At(0, 0);
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 20; ++y) {
            const unsigned p = Pixel(b.bar.m_hWnd, x, y);
            ASSERT_TRUE(p == 0x0000FF || p == Rgb(kBack)) << x << "," << y;
        }
    }
    b.bar.SetPos(80);
    b.At(0, 0);
    int white = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 20; ++y) {
            const unsigned p = Pixel(b.bar.m_hWnd, x, y);
            white += p == 0xFFFFFF;
            ASSERT_FALSE(x >= 160 && p != Rgb(kBack)) << x << "," << y;
        }
    }
    EXPECT_GT(white, 3);
}

TEST(SkinProgressCtrl, WindowTextIsAFormatOfOneNumberOnly)
{
    EXPECT_EQ(CSkinProgressCtrl::FormatText("%d%%", 50), CString("50%"));
    EXPECT_EQ(CSkinProgressCtrl::FormatText("Loading %d of 9", 3), CString("Loading 3 of 9"));
    EXPECT_EQ(CSkinProgressCtrl::FormatText("%s%s%n %x %5d %", 7), CString("%s%s%n %x %5d %"));
    EXPECT_EQ(CSkinProgressCtrl::FormatText("%d/%d", -4), CString("-4/-4"));
    EXPECT_EQ(CSkinProgressCtrl::Percentage(50, 0, 200), 25);
    EXPECT_EQ(CSkinProgressCtrl::Percentage(5, 5, 5), 100);
    EXPECT_EQ(CSkinProgressCtrl::Percentage(4, 5, 5), 0);

    // Painting an empty range with a hostile text neither divides by zero nor reads arguments.
    for (DWORD style : {PBS_TEXT_PERCENT, PBS_TEXT_VALUE, PBS_TEXT_WINDOW | PBS_TEXT_ON_BAR}) {
        Bar b(style);
        b.bar.SetWindowText("%s%s%s%n");
        b.bar.SetRange32(7, 7);
        b.bar.SetPos(7);
        b.bar.SetBarColor(kOrange);
        EXPECT_EQ(b.At(2, 2), Rgb(kBack)) << style;
    }
}

TEST(BufferDC, DrawingReachesTheTargetInOneCopyOfTheClipBox)
{
    RecordingWnd window(WM_APP, WM_APP, 50, 50, 120, 120);
    Pump();
    CClientDC target(&window);
    target.FillSolidRect(0, 0, 120, 120, RGB(0, 0, 0));
    target.IntersectClipRect(10, 20, 60, 70);
    {
        CBufferDC buffer(&target);
        ASSERT_TRUE(buffer.IsBuffering());
        EXPECT_EQ(buffer.Bounds(), CRect(10, 20, 60, 70));
        buffer.FillSolidRect(0, 0, 120, 120, RGB(255, 0, 0));
        buffer.FillSolidRect(10, 20, 5, 5, RGB(0, 255, 0));
        EXPECT_EQ(target.GetPixel(30, 30), RGB(0, 0, 0)) << "nothing shows before the copy";
        EXPECT_EQ(buffer.GetPixel(12, 22), RGB(0, 255, 0)) << "drawn in the target's coordinates";
    }
    EXPECT_EQ(target.GetPixel(12, 22), RGB(0, 255, 0));
    EXPECT_EQ(target.GetPixel(30, 30), RGB(255, 0, 0));
    EXPECT_EQ(target.GetPixel(59, 69), RGB(255, 0, 0));
    // Outside the clip box the target is as it was (read from the window: the DC clips reads too).
    EXPECT_EQ(Pixel(window.m_hWnd, 5, 30), 0u);
    EXPECT_EQ(Pixel(window.m_hWnd, 30, 75), 0u);
    EXPECT_EQ(Pixel(window.m_hWnd, 30, 30), 0xFF0000u);

    // Nothing visible to draw on: it draws on the target itself.
    target.IntersectClipRect(0, 0, 0, 0);
    CBufferDC empty(&target);
    EXPECT_FALSE(empty.IsBuffering());
    EXPECT_EQ(empty.GetSafeHdc(), target.GetSafeHdc());
}
