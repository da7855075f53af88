// Edit fields typed into with injected keys: the line handed to the parent on Enter, the input
// line that empties itself, its length limit, and the keys that go on to the main window and the
// parent while the user types.
#include "ControlTestSupport.h"
#include "SkinEdit.h"

#include <set>

using namespace yonda::uitest;

namespace {

// A top-level window that keeps the messages of a given set it receives.
class KeptWnd : public CWnd {
public:
    KeptWnd(std::set<UINT> kept, int x, int y) : m_kept(std::move(kept))
    {
        CreateEx(0, AfxRegisterWndClass(0), "kept", WS_POPUP | WS_VISIBLE, x, y, 300, 120, nullptr, nullptr);
    }
    ~KeptWnd() override { DestroyWindow(); }
    std::vector<Note> notes;
    std::vector<std::string> lines;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (m_kept.count(message)) {
            notes.push_back({message, wParam, lParam});
            if (message == UM_EDIT_ENTER && lParam) {
                lines.emplace_back(reinterpret_cast<const char*>(lParam));
            }
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    std::set<UINT> m_kept;
};

// The application's own loop: every message passes the windows' pre-translation first.
void PumpAsTheApp()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void Type(const char* utf8)
{
    YondaInjectTextUtf8(utf8);
    PumpAsTheApp();
}

void Press(UINT vk)
{
    Key(vk);
    PumpAsTheApp();
}

class SkinEditTest : public ::testing::Test {
protected:
    void Make(int inputLine, DWORD style)
    {
        edit.m_bInputLine = inputLine;
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 290, 34), &parent, 7));
        edit.SetFocus();
        PumpAsTheApp();
    }
    CString Text() const
    {
        CString text;
        edit.GetWindowText(text);
        return text;
    }

    KeptWnd parent{{UM_EDIT_ENTER, WM_KEYDOWN}, 100, 100};
    CSkinEdit edit;
};

} // namespace

TEST_F(SkinEditTest, EnterOnAnInputLineHandsOnTheWordAndEmptiesTheLine)
{
    Make(1, ES_MULTILINE | ES_AUTOVSCROLL);
    Type("hello");
    ASSERT_EQ(Text(), "hello");
    Press(VK_RETURN);
    EXPECT_EQ(parent.lines, (std::vector<std::string>{"hello"}));
    EXPECT_EQ(parent.notes.at(0).wParam, 0u);
    EXPECT_EQ(edit.m_strSent, "hello");
    // The control put its own line break in for the same key; the update handler took it out.
    EXPECT_EQ(Text(), "");

    Press(VK_RETURN);
    EXPECT_EQ(parent.lines.size(), 1u) << "an empty line is not handed on";
    EXPECT_EQ(Text(), "");

    Type("second line");
    Press(VK_RETURN);
    EXPECT_EQ(parent.lines, (std::vector<std::string>{"hello", "second line"}));
}

// The skinned edit's picture: its one-pixel frame in the window-frame colour around its white
// background, kept through the control's own painting of the text (which stays inside its margins
// and its line) also after a caret move that repaints without erasing.
TEST_F(SkinEditTest, TheFrameShowsAroundTheTextAfterTypingAndMovingTheCaret)
{
    Make(0, ES_AUTOHSCROLL);
    Type("framed");
    Press(VK_LEFT);
    Pump();
    CRect client;
    edit.GetClientRect(&client);
    ASSERT_EQ(client.Size(), CSize(280, 24));
    const unsigned frame = ::GetSysColor(COLOR_WINDOWFRAME);
    std::vector<CPoint> wrong;
    for (int x = 0; x < client.right; ++x) {
        for (int y : {0, static_cast<int>(client.bottom) - 1}) {
            if (Pixel(edit, x, y) != frame) {
                wrong.emplace_back(x, y);
            }
        }
    }
    for (int y = 0; y < client.bottom; ++y) {
        for (int x : {0, static_cast<int>(client.right) - 1}) {
            if (Pixel(edit, x, y) != frame) {
                wrong.emplace_back(x, y);
            }
        }
    }
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " frame pixels covered, first at " << wrong.front().x << ","
                               << wrong.front().y;
    EXPECT_EQ(Pixel(edit, 1, 1), 0xFFFFFFu) << "the background inside the frame";
    EXPECT_EQ(Pixel(edit, 278, 22), 0xFFFFFFu);
    int ink = 0;
    for (int x = 2; x < 60; ++x) {
        for (int y = 1; y < 23; ++y) {
            ink += Pixel(edit, x, y) != 0xFFFFFFu ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20) << "the text is drawn";
}

TEST_F(SkinEditTest, APlainEditKeepsItsTextAndStillHandsItOn)
{
    Make(0, ES_AUTOHSCROLL);
    Type("word");
    Press(VK_RETURN);
    EXPECT_EQ(parent.lines, (std::vector<std::string>{"word"}));
    EXPECT_EQ(Text(), "word");
    Press(VK_RETURN);
    EXPECT_EQ(parent.lines, (std::vector<std::string>{"word", "word"}));
}

TEST_F(SkinEditTest, AnEmptyEditSendsNothing)
{
    Make(0, ES_AUTOHSCROLL);
    Press(VK_RETURN);
    EXPECT_TRUE(parent.lines.empty());
    edit.SendLine("\r\n");
    EXPECT_TRUE(parent.lines.empty());
    // A line without a carriage return is handed on whole.
    edit.SendLine("no return");
    EXPECT_EQ(parent.lines, (std::vector<std::string>{"no return"}));
}

TEST_F(SkinEditTest, AnInputLineTakesAtMost150BytesOfWholeCharacters)
{
    YondaSetActiveCodePage(949);
    Make(1, ES_MULTILINE | ES_AUTOVSCROLL);
    std::string many;
    for (int i = 0; i < 80; ++i) {
        many += "가";
    }
    Type(many.c_str());
    EXPECT_EQ(edit.GetWindowTextLength(), 150);
    Type("a");
    EXPECT_EQ(edit.GetWindowTextLength(), 150);
}

TEST_F(SkinEditTest, CtrlHeldWhileTheTextChangesMarksANewLinePending)
{
    edit.m_bTrackModifiers = 1;
    Make(1, ES_MULTILINE | ES_AUTOVSCROLL);
    Type("a");
    EXPECT_EQ(edit.m_bNewLinePending, 0);
    YondaInjectKey(VK_CONTROL, TRUE);
    Press(VK_RETURN);
    YondaInjectKey(VK_CONTROL, FALSE);
    PumpAsTheApp();
    EXPECT_EQ(edit.m_bCtrlDown, 1);
    EXPECT_EQ(parent.lines, (std::vector<std::string>{"a"}));
    EXPECT_EQ(edit.m_bNewLinePending, 1) << "the line break typed with Ctrl";
    YondaInjectKey(VK_SHIFT, TRUE);
    Press('B');
    YondaInjectKey(VK_SHIFT, FALSE);
    EXPECT_EQ(edit.m_bCtrlDown, 0);
    EXPECT_EQ(edit.m_bShiftDown, 1);
    Press(VK_RETURN);
    EXPECT_EQ(edit.m_bNewLinePending, 0) << "cleared by the line handed on";
}

TEST_F(SkinEditTest, ViewKeysGoToTheMainWindowAndEscapeToTheParent)
{
    KeptWnd main({WM_KEYDOWN, WM_SYSKEYDOWN, WM_MOUSEWHEEL}, 500, 100);
    Make(1, ES_MULTILINE | ES_AUTOVSCROLL);

    // Before the main window exists the keys stay with the edit.
    Press(VK_F5);
    Press(VK_NEXT);
    EXPECT_TRUE(main.notes.empty());
    EXPECT_TRUE(parent.notes.empty());

    CWinApp app("edit test");
    app.m_pMainWnd = &main;
    for (UINT vk : {VK_F1, VK_F12, VK_F24, VK_PRIOR, VK_NEXT}) {
        Press(vk);
    }
    Press('A');
    Type("a");
    const POINT at = ScreenPoint(edit, 5, 5);
    YondaInjectMouseWheel(120, at.x, at.y);
    PumpAsTheApp();
    YondaInjectKey(VK_MENU, TRUE);
    YondaInjectKey(VK_MENU, FALSE);
    PumpAsTheApp();
    EXPECT_EQ(main.notes, (std::vector<Note>{{WM_KEYDOWN, VK_F1, 0},
                                             {WM_KEYDOWN, VK_F12, 0},
                                             {WM_KEYDOWN, VK_F24, 0},
                                             {WM_KEYDOWN, VK_PRIOR, 0},
                                             {WM_KEYDOWN, VK_NEXT, 0},
                                             {WM_MOUSEWHEEL, static_cast<WPARAM>(MAKEWPARAM(0, 120)), 0},
                                             {WM_SYSKEYDOWN, VK_MENU, 0}}));
    EXPECT_EQ(Text(), "a") << "other keys type as usual";
    EXPECT_TRUE(parent.notes.empty());

    Press(VK_ESCAPE);
    EXPECT_EQ(parent.notes, (std::vector<Note>{{WM_KEYDOWN, VK_ESCAPE, 0}}));
    EXPECT_EQ(main.notes.size(), 7u);
    app.m_pMainWnd = nullptr;
}

TEST_F(SkinEditTest, DrawsItsTextInItsOwnColourOnItsOwnWhite)
{
    edit.SetTextColor(RGB(0x20, 0x40, 0xE0));
    Make(0, ES_AUTOHSCROLL);
    Type("WWWW MMMM");
    edit.Invalidate(TRUE);
    YondaFlushPainting();
    CRect client;
    edit.GetClientRect(&client);
    int blue = 0;
    int other = 0;
    for (int y = 2; y < client.bottom - 2; ++y) {
        for (int x = 2; x < client.right - 2; ++x) {
            const unsigned p = Pixel(edit, x, y);
            const int r = static_cast<int>(p >> 16), g = static_cast<int>((p >> 8) & 0xFF),
                      b = static_cast<int>(p & 0xFF);
            if (p == 0xFFFFFF) {
                continue;
            }
            // Smoothed blue on white keeps blue the strongest channel and red below green.
            (b > g && g >= r - 8 && b > 0xC0 ? blue : other) += 1;
        }
    }
    EXPECT_GT(blue, 20);
    EXPECT_LT(other * 10, blue);
    EXPECT_EQ(Pixel(edit, client.right / 2, client.bottom - 2), 0xFFFFFFu) << "the background is the edit's white";
}
