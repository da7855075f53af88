// The standard controls: owner-drawn buttons, the progress bar and the tooltip.
#include "MessageLog.h"

#include <commctrl.h>
#include <windows.h>
#include <yonda_user.h>

using yonda::test::MessageLog;
using yonda::test::PumpPending;

namespace {

struct ButtonFixture {
    MessageLog log{{}};
    std::vector<UINT> drawStates;
    std::vector<WPARAM> commands;
    HWND parent = nullptr;
    HWND button = nullptr;
    ButtonFixture()
    {
        log.react = [this](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
            if (msg == WM_DRAWITEM) {
                drawStates.push_back(reinterpret_cast<DRAWITEMSTRUCT*>(lp)->itemState);
                *result = TRUE;
                return true;
            }
            if (msg == WM_COMMAND)
                commands.push_back(wp);
            return false;
        };
        parent = CreateWindowExA(0, "LoggedWindow", "parent", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10, 10, 40, 20, parent,
                                 reinterpret_cast<HMENU>(191), nullptr, nullptr);
        PumpPending();
        drawStates.clear();
    }
    ~ButtonFixture() { DestroyWindow(parent); }
    POINT Screen(int x, int y)
    {
        POINT p{x, y};
        ClientToScreen(button, &p);
        return p;
    }
};

TEST(Button, ClickTracksThePressAndNotifiesOnReleaseInside)
{
    ButtonFixture f;
    POINT in = f.Screen(5, 5), out = f.Screen(100, 50);
    YondaInjectMouseButton(0, TRUE, in.x, in.y);
    PumpPending();
    EXPECT_EQ(GetFocus(), f.button); // a native button takes the focus on a click
    ASSERT_FALSE(f.drawStates.empty());
    EXPECT_EQ(f.drawStates.back() & (ODS_SELECTED | ODS_FOCUS), static_cast<UINT>(ODS_SELECTED | ODS_FOCUS));
    YondaInjectMouseMove(out.x, out.y);
    PumpPending();
    EXPECT_EQ(f.drawStates.back() & ODS_SELECTED, 0u);
    YondaInjectMouseMove(in.x, in.y);
    YondaInjectMouseButton(0, FALSE, in.x, in.y);
    PumpPending();
    EXPECT_EQ(f.commands, (std::vector<WPARAM>{MAKEWPARAM(191, BN_CLICKED)}));
    EXPECT_EQ(f.drawStates.back() & ODS_SELECTED, 0u);
    EXPECT_EQ(GetCapture(), nullptr);

    // Released outside: no command. (Pressed away from the first click, which is not a double click.)
    f.commands.clear();
    POINT other = f.Screen(30, 15);
    YondaInjectMouseButton(0, TRUE, other.x, other.y);
    YondaInjectMouseMove(out.x, out.y);
    YondaInjectMouseButton(0, FALSE, out.x, out.y);
    PumpPending();
    EXPECT_TRUE(f.commands.empty());
}

TEST(Button, DoubleClickGivesOneClickThenDoubleClickedAndSpaceClicks)
{
    ButtonFixture f;
    YondaInjectClick(f.button, 5, 5);
    YondaInjectClick(f.button, 5, 5);
    PumpPending();
    EXPECT_EQ(f.commands, (std::vector<WPARAM>{MAKEWPARAM(191, BN_CLICKED), MAKEWPARAM(191, BN_DOUBLECLICKED)}));
    f.commands.clear();
    YondaInjectKey(VK_SPACE, TRUE);
    YondaInjectKey(VK_SPACE, FALSE);
    PumpPending();
    EXPECT_EQ(f.commands, (std::vector<WPARAM>{MAKEWPARAM(191, BN_CLICKED)}));
    EnableWindow(f.button, FALSE);
    PumpPending();
    EXPECT_NE(f.drawStates.back() & ODS_DISABLED, 0u);
}

TEST(Button, TakingTheCaptureAwayLetsThePressGo)
{
    ButtonFixture f;
    POINT in = f.Screen(5, 5);
    YondaInjectMouseButton(0, TRUE, in.x, in.y);
    PumpPending();
    SetCapture(f.parent);
    EXPECT_EQ(SendMessageA(f.button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    YondaInjectMouseButton(0, FALSE, in.x, in.y);
    PumpPending();
    EXPECT_TRUE(f.commands.empty());
    ReleaseCapture();
}

TEST(Progress, KeepsRangePositionAndStepAndWrapsPastTheEnd)
{
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(bar);
    SendMessageA(bar, PBM_SETRANGE32, 0, 100);
    EXPECT_EQ(SendMessageA(bar, PBM_SETPOS, 40, 0), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_DELTAPOS, 100, 0), 40);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 100); // clamped
    EXPECT_EQ(SendMessageA(bar, PBM_SETSTEP, 5, 0), 10);
    SendMessageA(bar, PBM_SETPOS, 98, 0);
    EXPECT_EQ(SendMessageA(bar, PBM_STEPIT, 0, 0), 98);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 3);
    PBRANGE range{};
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(SendMessageA(bar, PBM_SETBARCOLOR, 0, 0x1DC3FF), static_cast<LRESULT>(CLR_DEFAULT));
    DestroyWindow(bar);
}

TEST(ToolTip, ToolsTextAndRelayedMouse)
{
    MessageLog log({});
    HWND owner = CreateWindowExA(0, "LoggedWindow", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, owner, nullptr,
                               nullptr, nullptr);
    char text[] = "Hello";
    TOOLINFOA ti{sizeof ti, TTF_IDISHWND, owner, reinterpret_cast<UINT_PTR>(owner), {}, nullptr, text, 0};
    EXPECT_TRUE(SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_FALSE(SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    char updated[] = "Bye";
    ti.lpszText = updated;
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    char read[16] = {};
    ti.lpszText = read;
    SendMessageA(tip, TTM_GETTEXTA, sizeof read, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(read, "Bye");
    MSG move{owner, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), 0, {}};
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&move));
    MSG msg;
    for (int i = 0; i < 200 && !IsWindowVisible(tip); ++i) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        else
            WaitMessage();
    }
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_EQ(GetActiveWindow(), owner); // showing a tip activates nothing
    MSG down{owner, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10), 0, {}};
    SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&down));
    EXPECT_FALSE(IsWindowVisible(tip));
    DestroyWindow(owner);
    EXPECT_FALSE(IsWindow(tip)); // owned by the owner
}

} // namespace
