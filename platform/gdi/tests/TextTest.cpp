#include "GdiTestUtil.h"

#include <array>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const char kHangul[] = "\xB0\xA1\xB3\xAA\xB4\xD9"; // 가나다 in CP949

HFONT KoreanFont(LONG height, LONG weight = FW_NORMAL)
{
    return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, HANGUL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, VARIABLE_PITCH, "\xB1\xBC\xB8\xB2");
}

// A white bitmap with a selected font; counts dark pixels by area.
struct Canvas : MemDC {
    HFONT font;
    HGDIOBJ oldFont;
    explicit Canvas(HFONT f, int w = 120, int h = 40) : MemDC(w, h), font(f)
    {
        Fill(kWhite);
        oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
    }
    ~Canvas()
    {
        SelectObject(dc, oldFont);
        DeleteObject(font);
    }
    int Dark(RECT r) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (GetRValue(At(x, y)) < 128)
                    ++n;
        return n;
    }
};

TEST(TextMetrics, HeightsAndExtentsOfHangulAndLatin)
{
    Canvas c(KoreanFont(-12));
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(c.dc, &tm));
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 12);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_EQ(tm.tmCharSet, HANGUL_CHARSET);
    SIZE hangul{}, one{}, latin{};
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, kHangul, 6, &hangul));
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, kHangul, 2, &one));
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "Hello", 5, &latin));
    EXPECT_EQ(hangul.cy, tm.tmHeight);
    EXPECT_GE(hangul.cx, 3 * 10);
    EXPECT_LE(hangul.cx, 3 * 13);
    EXPECT_GT(latin.cx, 5 * 4);
    EXPECT_LT(latin.cx, hangul.cx * 2);
    SIZE empty{};
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "", 0, &empty));
    EXPECT_EQ(empty.cx, 0);

    Canvas cell(KoreanFont(16));
    GetTextMetricsA(cell.dc, &tm);
    EXPECT_EQ(tm.tmHeight, 16);
}

TEST(TextMetrics, ExtentExFitsWholeCharacters)
{
    Canvas c(KoreanFont(-12));
    SIZE one{};
    GetTextExtentPoint32A(c.dc, kHangul, 2, &one);
    int fit = -1;
    int dx[6] = {};
    SIZE all{};
    ASSERT_TRUE(GetTextExtentExPointA(c.dc, kHangul, 6, one.cx * 2 - 1, &fit, dx, &all));
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(dx[0], one.cx);
    EXPECT_EQ(dx[1], one.cx);
    EXPECT_EQ(dx[5], all.cx);
}

TEST(DrawText, PutsGlyphPixelsInsideTheRectangleOnly)
{
    Canvas c(KoreanFont(-12));
    SetTextColor(c.dc, kBlack);
    RECT r{10, 10, 60, 30};
    int h = DrawTextA(c.dc, kHangul, -1, &r, DT_SINGLELINE | DT_LEFT | DT_TOP);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    EXPECT_EQ(h, tm.tmHeight);
    SIZE size{};
    GetTextExtentPoint32A(c.dc, kHangul, 6, &size);
    EXPECT_GT(c.Dark(RECT{10, 10, 10 + size.cx, 10 + tm.tmHeight}), 20);
    EXPECT_EQ(c.Dark(RECT{0, 0, 120, 10}), 0);
    EXPECT_EQ(c.Dark(RECT{0, 0, 10, 40}), 0);
    EXPECT_EQ(c.Dark(RECT{10 + size.cx + 1, 0, 120, 40}), 0);
}

TEST(DrawText, ClipsToTheRectangleUnlessNoClip)
{
    Canvas c(KoreanFont(-12));
    RECT r{0, 0, 8, 20};
    DrawTextA(c.dc, kHangul, 6, &r, DT_SINGLELINE);
    EXPECT_EQ(c.Dark(RECT{8, 0, 120, 40}), 0);
    RECT r2{0, 20, 8, 40};
    DrawTextA(c.dc, kHangul, 6, &r2, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(c.Dark(RECT{8, 20, 120, 40}), 0);
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing)
{
    Canvas c(KoreanFont(-12));
    SIZE one{};
    GetTextExtentPoint32A(c.dc, kHangul, 2, &one);
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    RECT r{5, 7, 5 + one.cx * 2 + 1, 100};
    int h = DrawTextA(c.dc, kHangul, 6, &r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(h, 2 * tm.tmHeight);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 7);
    EXPECT_EQ(r.right, 5 + one.cx * 2);
    EXPECT_EQ(r.bottom, 7 + 2 * tm.tmHeight);
    EXPECT_EQ(c.Dark(RECT{0, 0, 120, 40}), 0);
}

TEST(DrawText, EndEllipsisStaysInsideTheRectangle)
{
    Canvas c(KoreanFont(-12));
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += kHangul;
    RECT r{0, 0, 60, 20};
    RECT measured = r;
    DrawTextA(c.dc, text.c_str(), -1, &measured, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(measured.right, 60);
    EXPECT_GT(measured.right, 40);
    DrawTextA(c.dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
    EXPECT_EQ(c.Dark(RECT{60, 0, 120, 40}), 0);
    EXPECT_GT(c.Dark(RECT{measured.right - 8, 0, measured.right, 20}), 0); // the dots
}

TEST(DrawText, SeveralThreadsDrawWithOneFontAtOnce)
{
    HFONT font = KoreanFont(-13);
    std::vector<std::thread> threads;
    std::vector<int> dark(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            MemDC canvas(200, 20);
            canvas.Fill(kWhite);
            SelectObject(canvas.dc, font);
            RECT r{0, 0, 200, 20};
            for (int i = 0; i < 50; ++i)
                DrawTextA(canvas.dc, kHangul, -1, &r, DT_SINGLELINE);
            SelectObject(canvas.dc, GetStockObject(SYSTEM_FONT));
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 200; ++x)
                    dark[t] += GetRValue(canvas.At(x, y)) < 128;
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_GT(dark[0], 0);
    for (int t = 1; t < 4; ++t)
        EXPECT_EQ(dark[t], dark[0]);
}

TEST(DrawText, OpaqueModeFillsBehindTheText)
{
    Canvas c(KoreanFont(-12));
    SetBkMode(c.dc, OPAQUE);
    SetBkColor(c.dc, RGB(0, 0, 255));
    SetTextColor(c.dc, kWhite);
    RECT r{0, 0, 120, 40};
    DrawTextA(c.dc, "ab", 2, &r, DT_SINGLELINE);
    EXPECT_EQ(c.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(c.At(100, 0), kWhite);
}

TEST(TextOut, AlignmentPlacesTheTextAroundThePoint)
{
    Canvas c(KoreanFont(-12));
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    SIZE size{};
    GetTextExtentPoint32A(c.dc, "HH", 2, &size);
    SetTextAlign(c.dc, TA_CENTER | TA_BOTTOM);
    ASSERT_TRUE(TextOutA(c.dc, 60, 30, "HH", 2));
    // Everything is left of 60 + half the width and above y 30.
    EXPECT_GT(c.Dark(RECT{60 - size.cx / 2, 30 - tm.tmHeight, 60 + size.cx / 2 + 1, 30}), 10);
    EXPECT_EQ(c.Dark(RECT{0, 30, 120, 40}), 0);
    EXPECT_EQ(c.Dark(RECT{60 + size.cx / 2 + 2, 0, 120, 40}), 0);

    Canvas base(KoreanFont(-12));
    SetTextAlign(base.dc, TA_BASELINE);
    TextOutA(base.dc, 5, 20, "HH", 2);
    EXPECT_GT(base.Dark(RECT{0, 20 - tm.tmAscent, 40, 20}), 10);
    EXPECT_EQ(base.Dark(RECT{0, 20, 40, 40}), 0); // H has no descender
}

TEST(TextOut, UpdateCurrentPositionAndClippedOpaqueRectangle)
{
    Canvas c(KoreanFont(-12));
    SIZE size{};
    GetTextExtentPoint32A(c.dc, "ab", 2, &size);
    SetTextAlign(c.dc, TA_UPDATECP);
    MoveToEx(c.dc, 3, 0, nullptr);
    TextOutA(c.dc, 100, 100, "ab", 2);
    POINT p{};
    GetCurrentPositionEx(c.dc, &p);
    EXPECT_EQ(p.x, 3 + size.cx);
    SetTextAlign(c.dc, TA_LEFT);
    SetBkColor(c.dc, RGB(255, 0, 0));
    RECT box{0, 20, 4, 40};
    ExtTextOutA(c.dc, 0, 20, ETO_OPAQUE | ETO_CLIPPED, &box, "WWWW", 4, nullptr);
    EXPECT_EQ(c.At(0, 39), RGB(255, 0, 0));
    EXPECT_EQ(c.Dark(RECT{4, 20, 120, 40}), 0);
}

TEST(TabbedText, DefaultAndGivenTabStops)
{
    Canvas c(KoreanFont(-12));
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    SIZE b{};
    GetTextExtentPoint32A(c.dc, "b", 1, &b);
    DWORD extent = GetTabbedTextExtentA(c.dc, "a\tb", 3, 0, nullptr);
    EXPECT_EQ(LOWORD(extent), 8 * tm.tmAveCharWidth + b.cx);
    EXPECT_EQ(HIWORD(extent), tm.tmHeight);
    int stop = 50;
    extent = GetTabbedTextExtentA(c.dc, "a\tb", 3, 1, &stop);
    EXPECT_EQ(LOWORD(extent), 50 + b.cx);
    LONG drawn = TabbedTextOutA(c.dc, 0, 0, "a\tb", 3, 1, &stop, 0);
    EXPECT_EQ(LOWORD(drawn), 50 + b.cx);
    EXPECT_EQ(c.Dark(RECT{20, 0, 50, 20}), 0);
    EXPECT_GT(c.Dark(RECT{50, 0, 50 + b.cx + 1, 20}), 0);
}

TEST(Fonts, LogFontRoundTripsAndTheGuiFontIsShared)
{
    HFONT font = KoreanFont(-12, FW_BOLD);
    LOGFONTA log{};
    ASSERT_EQ(GetObject(font, sizeof(log), &log), static_cast<int>(sizeof(log)));
    EXPECT_EQ(log.lfHeight, -12);
    EXPECT_EQ(log.lfWeight, FW_BOLD);
    EXPECT_STREQ(log.lfFaceName, "\xB1\xBC\xB8\xB2");
    log.lfUnderline = 1;
    HFONT underlined = CreateFontIndirectA(&log);
    ASSERT_NE(underlined, nullptr);
    DeleteObject(underlined);
    DeleteObject(font);
    EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), GetStockObject(DEFAULT_GUI_FONT));
    ASSERT_GT(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof(log), &log), 0);
    EXPECT_LT(log.lfHeight, 0);
}

TEST(Fonts, BoldIsWiderAndUnderlineDrawsARule)
{
    Canvas normal(KoreanFont(-12));
    Canvas bold(KoreanFont(-12, FW_BOLD));
    SIZE n{}, b{};
    GetTextExtentPoint32A(normal.dc, "Hello", 5, &n);
    GetTextExtentPoint32A(bold.dc, "Hello", 5, &b);
    EXPECT_GE(b.cx, n.cx);
    RECT r{0, 0, 120, 40};
    DrawTextA(normal.dc, "Hello", 5, &r, DT_SINGLELINE);
    DrawTextA(bold.dc, "Hello", 5, &r, DT_SINGLELINE);
    EXPECT_GT(bold.Dark(r), normal.Dark(r));

    HFONT underlinedFont = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 1, 0, HANGUL_CHARSET, 0, 0, 0, 0, "Gulim");
    Canvas underlined(underlinedFont);
    TEXTMETRICA tm{};
    GetTextMetricsA(underlined.dc, &tm);
    DrawTextA(underlined.dc, "____", 0, &r, DT_SINGLELINE);
    DrawTextA(underlined.dc, "ii", 2, &r, DT_SINGLELINE);
    EXPECT_GT(underlined.Dark(RECT{0, tm.tmAscent + 1, 120, tm.tmHeight + 1}), 3);
}

std::array<LONG, 4> Sides(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

// With a count of -1 an empty text is one empty line: DrawText answers a line's height and
// DT_CALCRECT gives a rectangle of no width, one line high only on a single line. A count of 0 is
// no text at all: nothing is measured and the rectangle stays as it was.
TEST(DrawText, AnEmptyTextIsOneEmptyLine)
{
    Canvas c(KoreanFont(-12));
    TEXTMETRICA tm{};
    GetTextMetricsA(c.dc, &tm);
    RECT r{10, 10, 100, 100};
    EXPECT_EQ(DrawTextA(c.dc, "", -1, &r, DT_CALCRECT), tm.tmHeight);
    EXPECT_EQ(Sides(r), Sides({10, 10, 10, 10}));
    r = RECT{10, 10, 100, 100};
    EXPECT_EQ(DrawTextA(c.dc, "", -1, &r, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    EXPECT_EQ(Sides(r), Sides({10, 10, 10, 10 + tm.tmHeight}));
    r = RECT{10, 10, 100, 100};
    EXPECT_EQ(DrawTextA(c.dc, "abc", 0, &r, DT_CALCRECT), 0);
    EXPECT_EQ(DrawTextA(c.dc, nullptr, 0, &r, DT_CALCRECT | DT_SINGLELINE), 0);
    EXPECT_EQ(Sides(r), Sides({10, 10, 100, 100}));
    EXPECT_EQ(DrawTextA(c.dc, "", -1, &r, DT_LEFT), tm.tmHeight);
    EXPECT_EQ(DrawTextA(c.dc, nullptr, -1, &r, DT_LEFT), tm.tmHeight);
    EXPECT_EQ(c.Dark(RECT{0, 0, 120, 40}), 0);
}

TEST(TextMetrics, AZeroLengthTextExtendsNeitherWayAndControlCharactersTakeNoRoom)
{
    Canvas c(KoreanFont(-12));
    SIZE size{1, 1};
    ASSERT_TRUE(GetTextExtentPoint32A(c.dc, "abc", 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    size = SIZE{1, 1};
    int fit = 7;
    ASSERT_TRUE(GetTextExtentExPointA(c.dc, "abc", 0, 100, &fit, nullptr, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    EXPECT_EQ(fit, 0);
    // A line break inside one line of text adds nothing to its width.
    SIZE joined{}, broken{};
    GetTextExtentPoint32A(c.dc, "ab", 2, &joined);
    GetTextExtentPoint32A(c.dc, "a\r\nb", 4, &broken);
    EXPECT_EQ(broken.cx, joined.cx);
    RECT single{0, 0, 200, 40};
    DrawTextA(c.dc, "a\r\nb", -1, &single, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(single.right, joined.cx);
    RECT tabbed{0, 0, 200, 40};
    DrawTextA(c.dc, "a\tb", -1, &tabbed, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(tabbed.right, joined.cx) << "a tab is a control character unless tabs are expanded";
}

TEST(Text, BadInputFails)
{
    Canvas c(KoreanFont(-12));
    RECT r{0, 0, 10, 10};
    EXPECT_EQ(DrawTextA(nullptr, "a", 1, &r, 0), 0);
    EXPECT_EQ(DrawTextA(c.dc, nullptr, 5, &r, 0), 0);
    EXPECT_EQ(DrawTextA(c.dc, "a", 1, nullptr, 0), 0);
    EXPECT_FALSE(TextOutA(c.dc, 0, 0, nullptr, 3));
    SIZE s{};
    EXPECT_FALSE(GetTextExtentPoint32A(c.dc, "a", -1, &s));
    EXPECT_FALSE(GetTextMetricsA(nullptr, nullptr));
    // A lone lead byte at the end is one character, drawn without reading further.
    const char stray[] = {'\xB0', '\xA1', '\xB0'};
    EXPECT_TRUE(TextOutA(c.dc, 0, 0, stray, 3));
    EXPECT_EQ(GetTabbedTextExtentA(c.dc, nullptr, 3, 0, nullptr), 0u);
}

} // namespace
