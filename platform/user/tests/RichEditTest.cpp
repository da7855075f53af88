// The rich edit as a log: its line queries count the wrapped lines it shows, double-byte text is
// never split, every range keeps its colour in the captured picture, scrolling moves by those
// lines, and with redrawing off the text changes without repainting.
#include "MessageLog.h"

#include <richedit.h>
#include <windows.h>
#include <yonda_platform.h>
#include <yonda_user.h>

#include <string>
#include <vector>

using yonda::test::MessageLog;
using yonda::test::PumpPending;

namespace {

const DWORD kLogStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY; // 0x50000844

std::string Cp949(const char* utf8)
{
    return YondaUtf8ToCodePage(utf8, 949);
}

struct LogFixture {
    MessageLog log{{}};
    HWND parent = nullptr;
    HWND rich = nullptr;
    HFONT font = nullptr;
    explicit LogFixture(int width = 200, int height = 120, DWORD style = kLogStyle)
    {
        YondaSetActiveCodePage(949);
        parent = CreateWindowExA(0, "LoggedWindow", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
        rich = CreateWindowExA(0, "RICHEDIT", "", style, 10, 10, width, height, parent, reinterpret_cast<HMENU>(300),
                               nullptr, nullptr);
        font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGUL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, VARIABLE_PITCH, "\xB1\xBC\xB8\xB2");
        SendMessageA(rich, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        PumpPending();
    }
    ~LogFixture()
    {
        DestroyWindow(parent);
        DeleteObject(font);
    }
    int Width(const std::string& text) const
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        DeleteDC(dc);
        return size.cx;
    }
    int LineHeight() const
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        DeleteDC(dc);
        return tm.tmHeight;
    }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageA(rich, msg, wp, lp); }
    int Lines() const { return static_cast<int>(Send(EM_GETLINECOUNT)); }
    int LineIndex(int line) const { return static_cast<int>(Send(EM_LINEINDEX, line)); }
    int FirstVisible() const { return static_cast<int>(Send(EM_GETFIRSTVISIBLELINE)); }
    // Appends a line in a colour the way a log does: insert at the end, select it, colour it.
    void Append(const std::string& text, COLORREF color)
    {
        LONG start = static_cast<LONG>(LineIndex(Lines() - 1));
        Send(EM_SETSEL, static_cast<WPARAM>(-1), -1);
        Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
        CHARRANGE range{start, start + static_cast<LONG>(text.size())};
        Send(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATA cf{};
        cf.cbSize = sizeof cf;
        Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        cf.dwMask = CFM_COLOR;
        cf.dwEffects &= ~CFE_AUTOCOLOR;
        cf.crTextColor = color;
        Send(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        Send(EM_SETSEL, static_cast<WPARAM>(-1), -1);
        Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\r\n"));
    }
    // Counts pixels of a window's picture row band [top, bottom) close to a colour.
    int CountColor(int top, int bottom, COLORREF color) const
    {
        RECT rc;
        GetClientRect(rich, &rc);
        std::vector<DWORD> pixels(static_cast<size_t>(rc.right) * rc.bottom);
        if (!YondaGetWindowPixels(rich, pixels.data(), rc.right, rc.bottom))
            return -1;
        int n = 0;
        for (int y = std::max(0, top); y < std::min<int>(bottom, rc.bottom); ++y)
            for (int x = 0; x < rc.right; ++x) {
                DWORD p = pixels[static_cast<size_t>(y) * rc.right + x];
                COLORREF c = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
                if (std::abs(GetRValue(c) - GetRValue(color)) < 60 && std::abs(GetGValue(c) - GetGValue(color)) < 60 &&
                    std::abs(GetBValue(c) - GetBValue(color)) < 60)
                    ++n;
            }
        return n;
    }
};

TEST(RichEdit, LineQueriesCountTheWrappedLines)
{
    std::string words = "alpha beta gamma delta";
    LogFixture probe;
    // Wide enough for "alpha beta " and not for "alpha beta gamma".
    int width = probe.Width("alpha beta gam") + 2;
    LogFixture f(width);
    f.Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(words.c_str()));
    ASSERT_EQ(f.Lines(), 2);
    EXPECT_EQ(f.LineIndex(0), 0);
    EXPECT_EQ(f.LineIndex(1), 11); // "gamma delta" after the hanging blank
    EXPECT_EQ(f.LineIndex(2), -1);
    EXPECT_EQ(f.Send(EM_EXLINEFROMCHAR, 0, 12), 1);
    EXPECT_EQ(f.Send(EM_LINEFROMCHAR, 10), 0);
    EXPECT_EQ(f.Send(EM_LINELENGTH, 12), 11);
    char line[32] = {};
    *reinterpret_cast<WORD*>(line) = sizeof line;
    ASSERT_EQ(f.Send(EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 11);
    EXPECT_EQ(std::string(line, 11), "gamma delta");

    // Each break starts a line, and text that ends with one has an empty last line.
    std::string paragraphs = words + "\r\nx\ny\r";
    f.Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(paragraphs.c_str()));
    EXPECT_EQ(f.Lines(), 5);
    EXPECT_EQ(f.LineIndex(2), static_cast<int>(words.size()) + 2);
    EXPECT_EQ(f.LineIndex(3), static_cast<int>(words.size()) + 4);
    EXPECT_EQ(f.LineIndex(4), static_cast<int>(paragraphs.size()));

    // One word wider than the control breaks between characters; a wider control joins the lines.
    std::string word(20, 'w');
    f.Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word.c_str()));
    int narrow = f.Lines();
    EXPECT_GT(narrow, 1);
    ASSERT_LT(f.Width(word) + 2, 380);
    MoveWindow(f.rich, 10, 10, 380, 120, TRUE);
    EXPECT_EQ(f.Lines(), 1);
}

TEST(RichEdit, DoubleByteTextIsNeverSplit)
{
    std::string han = Cp949("한글");
    std::string text = "a";
    for (int i = 0; i < 30; ++i)
        text += han;
    LogFixture f(60);
    f.Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    ASSERT_GT(f.Lines(), 3);
    // Every line after the first starts one byte past an even offset ("a" then two-byte characters).
    for (int line = 1; line < f.Lines(); ++line)
        EXPECT_EQ(f.LineIndex(line) % 2, 1) << "line " << line;
    // Selections snap to character starts.
    f.Send(EM_SETSEL, 2, 4);
    CHARRANGE sel{};
    f.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(sel.cpMin, 1);
    EXPECT_EQ(sel.cpMax, 3);
    // The limit counts bytes and keeps characters whole.
    f.Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    f.Send(EM_EXLIMITTEXT, 0, 5);
    f.Send(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text.c_str()));
    EXPECT_EQ(f.Send(WM_GETTEXTLENGTH), 5);
    char out[8] = {};
    GetWindowTextA(f.rich, out, sizeof out);
    EXPECT_EQ(std::string(out), "a" + han);
}

TEST(RichEdit, EachRangeKeepsItsColourInThePicture)
{
    LogFixture f(300, 60);
    const COLORREF red = RGB(237, 23, 36), blue = RGB(0, 0, 255);
    f.Append("RRRRRRRRRR", red);
    f.Append("BBBBBBBBBB", blue);
    YondaFlushPainting();
    int h = f.LineHeight();
    EXPECT_GT(f.CountColor(0, h, red), 10);
    EXPECT_EQ(f.CountColor(0, h, blue), 0);
    EXPECT_GT(f.CountColor(h, 2 * h, blue), 10);
    EXPECT_EQ(f.CountColor(h, 2 * h, red), 0);

    // The format of a selection reports a colour only when the whole selection has one.
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    f.Send(EM_SETSEL, 0, 5);
    f.Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwMask & CFM_COLOR);
    EXPECT_FALSE(cf.dwEffects & CFE_AUTOCOLOR);
    EXPECT_EQ(cf.crTextColor, red);
    f.Send(EM_SETSEL, 5, 15);
    f.Send(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    EXPECT_FALSE(cf.dwMask & CFM_COLOR);
    f.Send(EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_TRUE(cf.dwEffects & CFE_AUTOCOLOR);
    // A format of the wrong size is refused.
    cf.cbSize = 8;
    EXPECT_EQ(f.Send(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf)), 0);
    EXPECT_EQ(f.Send(EM_GETCHARFORMAT, SCF_SELECTION, 0), 0);
    // Everything in one colour.
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.dwEffects = 0;
    cf.crTextColor = blue;
    EXPECT_TRUE(f.Send(EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf)));
    YondaFlushPainting();
    EXPECT_EQ(f.CountColor(0, h, red), 0);
    EXPECT_GT(f.CountColor(0, h, blue), 10);
}

TEST(RichEdit, ScrollingMovesByShownLinesAndTheLogFollowsItsEnd)
{
    LogFixture probe;
    int h = probe.LineHeight();
    LogFixture f(300, 5 * h);
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    for (int i = 0; i < 20; ++i)
        f.Append("line " + std::to_string(i), i == 17 ? blue : red);
    // 20 lines and the empty one after the last break; the caret's line stays in view.
    EXPECT_EQ(f.Lines(), 21);
    EXPECT_EQ(f.FirstVisible(), 21 - 5);
    YondaFlushPainting();
    EXPECT_GT(f.CountColor(h, 2 * h, blue), 5); // line 17 is the second shown

    EXPECT_TRUE(f.Send(EM_LINESCROLL, 0, -6));
    EXPECT_EQ(f.FirstVisible(), 10);
    f.Send(EM_LINESCROLL, 0, -100);
    EXPECT_EQ(f.FirstVisible(), 0);
    f.Send(EM_LINESCROLL, 0, 100);
    EXPECT_EQ(f.FirstVisible(), 20);
    EXPECT_EQ(LOWORD(f.Send(EM_SCROLL, SB_PAGEUP)), static_cast<WORD>(-5));
    EXPECT_EQ(f.FirstVisible(), 15);
    EXPECT_EQ(f.Send(EM_SCROLL, SB_LINEDOWN), MAKELRESULT(1, TRUE));
    YondaFlushPainting();
    EXPECT_GT(f.CountColor(h, 2 * h, blue), 5);
    EXPECT_EQ(f.CountColor(0, 5 * h, blue), f.CountColor(h, 2 * h, blue));
}

TEST(RichEdit, WithRedrawOffTheTextChangesWithoutRepainting)
{
    LogFixture f(300, 60);
    const COLORREF red = RGB(255, 0, 0);
    YondaFlushPainting();
    f.Send(WM_SETREDRAW, FALSE);
    f.Append("RRRRRRRRRR", red);
    EXPECT_EQ(f.Lines(), 2);
    YondaFlushPainting();
    EXPECT_EQ(f.CountColor(0, 60, red), 0);
    f.Send(WM_SETREDRAW, TRUE);
    InvalidateRect(f.rich, nullptr, FALSE);
    YondaFlushPainting();
    EXPECT_GT(f.CountColor(0, 60, red), 10);
}

TEST(RichEdit, ReadOnlyTakesNoTypingButSelectsAndCopies)
{
    LogFixture f(300, 60);
    f.Append("hello world", RGB(0, 0, 0));
    SetFocus(f.rich);
    PumpPending();
    YondaInjectChars("xyz", 3);
    PumpPending();
    EXPECT_EQ(f.Send(WM_GETTEXTLENGTH), 13);
    // A drag over the first word selects it; Ctrl+C puts it on the clipboard.
    int w = f.Width("hello");
    POINT from{11, 12}, to{10 + 1 + w, 12};
    ClientToScreen(f.parent, &from);
    ClientToScreen(f.parent, &to);
    YondaInjectMouseMove(from.x, from.y);
    YondaInjectMouseButton(0, TRUE, from.x, from.y);
    YondaInjectMouseMove(to.x, to.y);
    YondaInjectMouseButton(0, FALSE, to.x, to.y);
    PumpPending();
    CHARRANGE sel{};
    f.Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(sel.cpMin, 0);
    EXPECT_EQ(sel.cpMax, 5);
    f.Send(WM_CHAR, 0x03);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE block = GetClipboardData(CF_TEXT);
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(block)), "hello");
    GlobalUnlock(block);
    CloseClipboard();
    // Read-only is a style the program may turn off again.
    f.Send(EM_SETREADONLY, FALSE);
    f.Send(EM_SETSEL, 0, 5);
    f.Send(WM_CHAR, 'H');
    char out[32] = {};
    GetWindowTextA(f.rich, out, sizeof out);
    EXPECT_STREQ(out, "H world\r\n");
}

} // namespace
