// The edit control with Korean text: typed through the input method, the caret and backspace move
// by whole characters and the limit counts bytes; what the limit, the change notices and the
// clipboard apply to.
#include "MessageLog.h"

#include <windows.h>
#include <yonda_platform.h>
#include <yonda_user.h>

using yonda::test::MessageLog;
using yonda::test::PumpPending;

namespace {

std::string Cp949(const char* utf8)
{
    return YondaUtf8ToCodePage(utf8, 949);
}

std::string TextOf(HWND edit)
{
    char buffer[256];
    int n = GetWindowTextA(edit, buffer, sizeof buffer);
    return std::string(buffer, n);
}

struct EditFixture {
    MessageLog log{{}};
    std::vector<WORD> notifications;
    HWND parent = nullptr;
    HWND edit = nullptr;
    explicit EditFixture(DWORD style = 0)
    {
        YondaSetActiveCodePage(949);
        log.react = [this](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT*) {
            if (msg == WM_COMMAND)
                notifications.push_back(HIWORD(wp));
            return false;
        };
        parent = CreateWindowExA(0, "LoggedWindow", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 24, parent,
                               reinterpret_cast<HMENU>(202), nullptr, nullptr);
        SetFocus(edit);
        PumpPending();
    }
    ~EditFixture() { DestroyWindow(parent); }
    void Type(const std::string& bytes)
    {
        YondaInjectChars(bytes.data(), bytes.size());
        PumpPending();
    }
    void Key(UINT vk)
    {
        YondaInjectKey(vk, TRUE);
        YondaInjectKey(vk, FALSE);
        PumpPending();
    }
};

TEST(Edit, HangulThroughTheInputMethodKeepsCharactersWhole)
{
    EditFixture f;
    std::string han = Cp949("한"), geul = Cp949("글");
    ASSERT_EQ(han.size(), 2u);
    // Composition shows at the caret without entering the text; the commit enters it.
    std::string composing = Cp949("하");
    YondaInjectComposition(composing.data(), composing.size());
    PumpPending();
    EXPECT_EQ(TextOf(f.edit), "");
    YondaInjectComposition("", 0);
    f.Type(han + "A" + geul);
    EXPECT_EQ(TextOf(f.edit), han + "A" + geul);
    EXPECT_EQ(LOWORD(SendMessageA(f.edit, EM_GETSEL, 0, 0)), 5);
    // Left over a double-byte character moves two bytes; backspace deletes a whole character.
    f.Key(VK_LEFT);
    EXPECT_EQ(LOWORD(SendMessageA(f.edit, EM_GETSEL, 0, 0)), 3);
    f.Type("\b");
    EXPECT_EQ(TextOf(f.edit), han + geul);
    f.Key(VK_END);
    f.Type("\b");
    EXPECT_EQ(TextOf(f.edit), han);
    // A selection set in the middle of a character snaps to its start.
    SendMessageA(f.edit, EM_SETSEL, 1, 2);
    EXPECT_EQ(SendMessageA(f.edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 2));
    EXPECT_NE(std::find(f.notifications.begin(), f.notifications.end(), EN_UPDATE), f.notifications.end());
    EXPECT_NE(std::find(f.notifications.begin(), f.notifications.end(), EN_CHANGE), f.notifications.end());
}

TEST(Edit, TheLimitCountsBytesAndNeverSplitsACharacter)
{
    EditFixture f;
    SendMessageA(f.edit, EM_LIMITTEXT, 5, 0);
    std::string han = Cp949("한");
    f.Type(han + han + han);
    EXPECT_EQ(TextOf(f.edit), han + han); // a third would need 6 bytes
    f.Type("x");
    EXPECT_EQ(TextOf(f.edit), han + han + "x");
    f.Type("y");
    EXPECT_EQ(TextOf(f.edit).size(), 5u);
    EXPECT_NE(std::find(f.notifications.begin(), f.notifications.end(), EN_MAXTEXT), f.notifications.end());
}

TEST(Edit, MultiLineReturnPasswordAndClipboardKeys)
{
    EditFixture multi(ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN);
    multi.Type("ab\rcd");
    EXPECT_EQ(TextOf(multi.edit), "ab\r\ncd");
    EXPECT_EQ(SendMessageA(multi.edit, EM_GETLINECOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(multi.edit, EM_LINEINDEX, 1, 0), 4);
    SendMessageA(multi.edit, EM_SETSEL, 0, 2);
    SendMessageA(multi.edit, WM_COPY, 0, 0);
    SendMessageA(multi.edit, EM_SETSEL, 3, 3);
    multi.Key(VK_DOWN); // to the same column of the next line
    multi.Key(VK_END);
    SendMessageA(multi.edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(multi.edit), "ab\r\ncdab");

    EditFixture single(ES_PASSWORD);
    single.Type("secret\rmore");
    EXPECT_EQ(TextOf(single.edit), "secretmore"); // Enter inserts nothing in a single line
    SendMessageA(single.edit, EM_SETSEL, 0, -1);
    SendMessageA(single.edit, WM_COPY, 0, 0); // a password is never copied
    SendMessageA(multi.edit, EM_SETSEL, 0, -1);
    SendMessageA(multi.edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(multi.edit), "ab");
}

// A multi-line edit wraps its paragraphs at its width (never inside a Korean character), its line
// queries count the wrapped lines, and with ES_AUTOVSCROLL typing on scrolls the caret's line into
// view; with ES_AUTOHSCROLL a paragraph stays one line.
TEST(Edit, MultiLineTextWrapsAndScrollsToTheCaret)
{
    EditFixture wrapped(ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN);
    const std::string word = Cp949("안녕하세요 ");
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += word;
    wrapped.Type(text);
    EXPECT_EQ(TextOf(wrapped.edit), text);
    const auto lines = static_cast<int>(SendMessageA(wrapped.edit, EM_GETLINECOUNT, 0, 0));
    EXPECT_GT(lines, 2);
    for (int line = 1; line < lines; ++line) {
        const auto start = static_cast<size_t>(SendMessageA(wrapped.edit, EM_LINEINDEX, line, 0));
        // Wrapping happens after a blank, so every line begins a word.
        EXPECT_EQ(text.compare(start, word.size(), word), 0) << "line " << line << " starts at " << start;
        EXPECT_EQ(SendMessageA(wrapped.edit, EM_LINEFROMCHAR, start, 0), line);
    }
    // The caret's line, the last, is among the lines shown; going up to the first line scrolls
    // back to the top.
    const auto first = static_cast<int>(SendMessageA(wrapped.edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(first, 0);
    EXPECT_LE(first, lines - 1);
    for (int line = lines - 1; line > 0; --line)
        wrapped.Key(VK_UP);
    DWORD caret = 0;
    SendMessageA(wrapped.edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(SendMessageA(wrapped.edit, EM_LINEFROMCHAR, caret, 0), 0);
    EXPECT_EQ(SendMessageA(wrapped.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    wrapped.Key(VK_HOME);
    SendMessageA(wrapped.edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret, 0u);

    EditFixture unwrapped(ES_MULTILINE | ES_AUTOHSCROLL);
    unwrapped.Type(text);
    EXPECT_EQ(SendMessageA(unwrapped.edit, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(unwrapped.edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

// A single line longer than the control slides so the caret stays in view: a click near the
// right edge after typing lands near the end of the text, and after Home near the left edge at
// its start.
TEST(Edit, ALongSingleLineSlidesToKeepTheCaretInView)
{
    EditFixture edit(ES_AUTOHSCROLL);
    const std::string text(80, 'W');
    edit.Type(text);
    YondaInjectClick(edit.edit, 195, 12);
    PumpPending();
    DWORD caret = 0;
    SendMessageA(edit.edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_GT(caret, 70u);
    edit.Key(VK_HOME);
    YondaInjectClick(edit.edit, 2, 12);
    PumpPending();
    SendMessageA(edit.edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_EQ(caret, 0u);
    YondaInjectClick(edit.edit, 195, 12);
    PumpPending();
    SendMessageA(edit.edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    EXPECT_LT(caret, 40u);
}

// The program's own text (WM_SETTEXT) is not held to the limit, which is for what the user types
// or pastes, and a multi-line edit announces only the user's changes; a single line announces both.
TEST(Edit, TheLimitAndTheChangeNoticesAreForTheUsersText)
{
    {
        EditFixture multi(ES_MULTILINE);
        multi.notifications.clear();
        SetWindowTextA(multi.edit, "program\r\ntext");
        EXPECT_TRUE(multi.notifications.empty());
        multi.Type("x");
        EXPECT_EQ(multi.notifications, (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    }
    EditFixture single;
    SetWindowTextA(single.edit, "123456");
    SendMessageA(single.edit, EM_SETSEL, 0, -1);
    SendMessageA(single.edit, WM_COPY, 0, 0);
    single.notifications.clear();
    SendMessageA(single.edit, EM_LIMITTEXT, 5, 0);
    SetWindowTextA(single.edit, "abcdefgh");
    EXPECT_EQ(single.notifications, (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(TextOf(single.edit), "abcdefgh");
    single.notifications.clear();
    single.Key(VK_END);
    single.Type("x");
    EXPECT_EQ(TextOf(single.edit), "abcdefgh") << "no room to type";
    EXPECT_EQ(single.notifications, (std::vector<WORD>{EN_MAXTEXT}));
    // Pasting over "cdefgh" leaves room for three bytes of the clipboard's six.
    SendMessageA(single.edit, EM_SETSEL, 2, -1);
    SendMessageA(single.edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(single.edit), "ab123");
    // Deleting is always allowed.
    single.Type("\b\b");
    EXPECT_EQ(TextOf(single.edit), "ab1");
}

// Neither the clipboard messages nor the keys put a password on the clipboard or take it away.
TEST(Edit, APasswordIsNeitherCopiedNorCut)
{
    EditFixture reader(ES_MULTILINE);
    SetWindowTextA(reader.edit, "before");
    SendMessageA(reader.edit, EM_SETSEL, 0, -1);
    SendMessageA(reader.edit, WM_COPY, 0, 0);

    EditFixture password(ES_PASSWORD);
    password.Type("secret");
    auto selectAll = [&] { SendMessageA(password.edit, EM_SETSEL, 0, -1); };
    selectAll();
    SendMessageA(password.edit, WM_COPY, 0, 0);
    SendMessageA(password.edit, WM_CUT, 0, 0);
    password.Type("\x03\x18"); // Ctrl+C, Ctrl+X
    YondaInjectKey(VK_SHIFT, TRUE);
    password.Key(VK_DELETE);
    YondaInjectKey(VK_SHIFT, FALSE);
    YondaInjectKey(VK_CONTROL, TRUE);
    password.Key(VK_INSERT);
    YondaInjectKey(VK_CONTROL, FALSE);
    PumpPending();
    EXPECT_EQ(TextOf(password.edit), "secret");
    SetWindowTextA(reader.edit, "");
    SendMessageA(reader.edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(reader.edit), "before");
    // Clearing and typing over the selection still work.
    selectAll();
    SendMessageA(password.edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(TextOf(password.edit), "");
}

// The formatting rectangle is the client inside the margins and, for one line, the band of that
// line in the middle: the control paints there and leaves the rest to whoever erased it.
TEST(Edit, TheFormattingRectangleIsInsideTheMarginsAroundTheLine)
{
    EditFixture single;
    SendMessageA(single.edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 4));
    RECT r{};
    SendMessageA(single.edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.right, 200 - 4);
    EXPECT_GT(r.top, 0);
    EXPECT_LT(r.bottom, 24);
    EXPECT_EQ(r.top, 24 - r.bottom) << "centred";
    EXPECT_EQ(SendMessageA(single.edit, WM_ERASEBKGND, 0, 0), 1) << "erased with the text";

    EditFixture multi(ES_MULTILINE);
    SendMessageA(multi.edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 24);
}

} // namespace
