// The clipboard without a display: text in the active code page kept in the process, one opener
// at a time, blocks owned by the clipboard once given, and the edit control's keys going through it.
#include "MessagePump.h"

#include <windows.h>
#include <yonda_platform.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace {

using yonda::testing::Pump;

HGLOBAL BlockOf(const std::string& bytes, bool terminate = true)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + (terminate ? 1 : 0));
    char* p = static_cast<char*>(GlobalLock(block));
    std::memcpy(p, bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

std::string ReadClipboard()
{
    if (!OpenClipboard(nullptr))
        return "<not open>";
    std::string text = "<none>";
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        const char* p = static_cast<const char*>(GlobalLock(block));
        text.assign(p, strnlen(p, GlobalSize(block)));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

void WriteClipboard(const std::string& bytes)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL block = BlockOf(bytes);
    ASSERT_EQ(SetClipboardData(CF_TEXT, block), block);
    ASSERT_TRUE(CloseClipboard());
}

TEST(Clipboard, TextRoundTripsInTheCodePageAndEmptyingClearsIt)
{
    YondaSetActiveCodePage(949);
    std::string korean = YondaUtf8ToCodePage("한글\r\nline", 949);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_EQ(ReadClipboard(), "<none>");
    WriteClipboard(korean);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(2));
    EXPECT_EQ(ReadClipboard(), korean);

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(2), nullptr); // only text is carried
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
}

TEST(Clipboard, OnlyTheOpeningThreadMayUseIt)
{
    EXPECT_FALSE(CloseClipboard());
    EXPECT_FALSE(EmptyClipboard());
    HGLOBAL loose = BlockOf("x");
    EXPECT_EQ(SetClipboardData(CF_TEXT, loose), nullptr);
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    GlobalFree(loose);

    ASSERT_TRUE(OpenClipboard(nullptr));
    BOOL otherOpened = TRUE, otherEmptied = TRUE;
    std::thread other([&] {
        otherOpened = OpenClipboard(nullptr);
        otherEmptied = EmptyClipboard();
    });
    other.join();
    EXPECT_FALSE(otherOpened);
    EXPECT_FALSE(otherEmptied);
    EXPECT_TRUE(CloseClipboard());
    std::thread after([&] {
        otherOpened = OpenClipboard(nullptr);
        if (otherOpened)
            CloseClipboard();
    });
    after.join();
    EXPECT_TRUE(otherOpened);
}

TEST(Clipboard, GivenBlocksBelongToTheClipboardAndUnterminatedTextStopsAtTheEnd)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = BlockOf("abcdef", false); // no terminating zero
    ASSERT_EQ(SetClipboardData(CF_TEXT, block), block);
    EXPECT_EQ(SetClipboardData(CF_TEXT, nullptr), nullptr); // no rendering on request
    HANDLE handed = GetClipboardData(CF_TEXT);
    ASSERT_NE(handed, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(handed)), "abcdef");
    GlobalUnlock(handed);
    EXPECT_TRUE(EmptyClipboard());
    // Emptying frees what was given and what was handed out.
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalSize(handed), 0u);
    CloseClipboard();
}

LRESULT CALLBACK Plain(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(hwnd, msg, wp, lp);
}

TEST(Clipboard, EditCutCopyAndPasteGoThroughIt)
{
    YondaSetActiveCodePage(949);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Plain;
    wc.lpszClassName = "ClipboardParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, "ClipboardParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 80, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 4, 4, 200, 24, parent, nullptr, nullptr, nullptr);
    std::string text = YondaUtf8ToCodePage("안녕 hello", 949);
    SetWindowTextA(edit, text.c_str());
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, 4); // the two Hangul characters
    SendMessageA(edit, WM_CUT, 0, 0);
    EXPECT_EQ(ReadClipboard(), text.substr(0, 4));
    char buffer[64];
    GetWindowTextA(edit, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), " hello");

    WriteClipboard("pasted");
    SendMessageA(edit, EM_SETSEL, 0, 0);
    // Ctrl+V as the keyboard gives it: the control character after the key.
    YondaInjectChars("\x16", 1);
    Pump();
    GetWindowTextA(edit, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), "pasted hello");
    DestroyWindow(parent);
}

} // namespace
