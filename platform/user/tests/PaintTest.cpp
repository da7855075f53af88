// Painting and input: update regions decide WM_ERASEBKGND, children paint into their top-level's
// picture, clicks follow capture and the focus rules, double clicks follow the class style.
#include "MessageLog.h"

#include <windows.h>
#include <yonda_user.h>

#include <cstdio>

using yonda::test::Logged;
using yonda::test::MessageLog;
using yonda::test::PumpPending;

namespace {

HWND Make(const char* name, DWORD style, HWND parent, RECT r)
{
    return CreateWindowExA(0, "LoggedWindow", name, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                           nullptr, nullptr, nullptr);
}

// Paints each window in a colour named by its text's first letter.
bool PaintSolid(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* result)
{
    if (msg != WM_PAINT)
        return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    char name[8];
    GetWindowTextA(hwnd, name, sizeof name);
    HBRUSH brush = CreateSolidBrush(name[0] == 'r' ? RGB(255, 0, 0) : RGB(0, 0, 255));
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    *result = 0;
    return true;
}

TEST(Paint, EraseOnlyWhenTheInvalidationAskedForIt)
{
    MessageLog log({WM_PAINT, WM_ERASEBKGND});
    HWND hwnd = Make("w", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 50, 50});
    PumpPending();
    log.Clear();
    InvalidateRect(hwnd, nullptr, FALSE);
    PumpPending();
    EXPECT_EQ(log.Log(), (std::vector<Logged>{{"w", WM_PAINT}}));
    log.Clear();
    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);
    EXPECT_EQ(log.Log(), (std::vector<Logged>{{"w", WM_PAINT}, {"w", WM_ERASEBKGND}}));
    log.Clear();
    PumpPending(); // nothing is left pending
    EXPECT_TRUE(log.Log().empty());
    DestroyWindow(hwnd);
}

TEST(Paint, ChildrenPaintOverTheirParentInTheCapturedPicture)
{
    MessageLog log({});
    log.react = PaintSolid;
    HWND top = Make("blue", WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 160, 140});
    HWND child = Make("red", WS_CHILD | WS_VISIBLE, top, {10, 10, 30, 20});
    PumpPending();
    EXPECT_EQ(YondaGetWindowPixel(top, 5, 5), RGB(0, 0, 255));
    EXPECT_EQ(YondaGetWindowPixel(top, 15, 15), RGB(255, 0, 0));
    EXPECT_EQ(YondaGetWindowPixel(child, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(YondaGetWindowPixel(top, 60, 0), CLR_INVALID);
    // Moving the child uncovers the parent there, which repaints.
    MoveWindow(child, 40, 10, 20, 10, TRUE);
    PumpPending();
    EXPECT_EQ(YondaGetWindowPixel(top, 15, 15), RGB(0, 0, 255));
    EXPECT_EQ(YondaGetWindowPixel(top, 45, 15), RGB(255, 0, 0));
    std::string png =
        std::string(std::getenv("YONDA_BINARY_DIR") ? std::getenv("YONDA_BINARY_DIR") : ".") + "/paint_capture.png";
    ASSERT_TRUE(YondaCaptureWindowToPng(top, png.c_str()));
    FILE* f = std::fopen(png.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char magic[8] = {};
    EXPECT_EQ(std::fread(magic, 1, 8, f), 8u);
    std::fclose(f);
    EXPECT_EQ(magic[1], 'P');
    DestroyWindow(top);
}

TEST(Input, ClicksOnAWindowThatTakesNoFocusLeaveTheFocusWhereItWas)
{
    MessageLog log({WM_KILLFOCUS, WM_LBUTTONDOWN, WM_LBUTTONUP});
    HWND owner = Make("owner", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 300, 300});
    HWND popup = Make("popup", WS_POPUP | WS_VISIBLE, owner, {50, 50, 150, 150});
    HWND item = Make("item", WS_CHILD | WS_VISIBLE, popup, {0, 0, 100, 20});
    // The popup closes itself when it loses the focus, as a menu does.
    log.react = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_KILLFOCUS && hwnd == popup)
            DestroyWindow(popup);
        return false;
    };
    ASSERT_EQ(GetFocus(), popup);
    PumpPending();
    log.Clear();
    YondaInjectClick(item, 5, 5);
    PumpPending();
    EXPECT_EQ(log.Log(), (std::vector<Logged>{{"item", WM_LBUTTONDOWN}, {"item", WM_LBUTTONUP}}));
    EXPECT_TRUE(IsWindow(popup));
    // A click on the owner activates it: the popup loses the focus and goes.
    YondaInjectClick(owner, 250, 250);
    PumpPending();
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(GetFocus(), owner);
    DestroyWindow(owner);
}

TEST(Input, CaptureGetsButtonUpOutsideWithSignedCoordinates)
{
    MessageLog log({WM_LBUTTONUP});
    POINT up{};
    HWND top = Make("top", WS_POPUP | WS_VISIBLE, nullptr, {100, 100, 200, 200});
    HWND child = Make("child", WS_CHILD | WS_VISIBLE, top, {10, 10, 30, 30});
    log.react = [&](HWND hwnd, UINT msg, WPARAM, LPARAM lp, LRESULT*) {
        if (msg == WM_LBUTTONDOWN)
            SetCapture(hwnd);
        if (msg == WM_LBUTTONUP)
            up = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        return false;
    };
    YondaInjectMouseButton(0, TRUE, 115, 115);
    YondaInjectMouseButton(0, FALSE, 50, 60);
    PumpPending();
    ASSERT_EQ(log.Log().size(), 1u);
    EXPECT_EQ(log.Log()[0].window, "child");
    EXPECT_EQ(up.x, 50 - 110);
    EXPECT_EQ(up.y, 60 - 110);
    EXPECT_EQ(GetCapture(), child);
    ReleaseCapture();
    DestroyWindow(top);
}

TEST(Input, DoubleClicksOnlyForClassesThatAskForThem)
{
    MessageLog log({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
    WNDCLASSA plain{};
    plain.lpfnWndProc = &MessageLog::Proc;
    plain.lpszClassName = "PlainLogged";
    RegisterClassA(&plain);
    HWND dbl = Make("dbl", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 50, 50});
    HWND single = CreateWindowExA(0, "PlainLogged", "single", WS_POPUP | WS_VISIBLE, 100, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    PumpPending();
    log.Clear();
    YondaInjectClick(dbl, 5, 5);
    YondaInjectClick(dbl, 5, 5);
    YondaInjectClick(single, 5, 5);
    YondaInjectClick(single, 5, 5);
    PumpPending();
    EXPECT_EQ(log.Log(), (std::vector<Logged>{{"dbl", WM_LBUTTONDOWN},
                                              {"dbl", WM_LBUTTONDBLCLK},
                                              {"single", WM_LBUTTONDOWN},
                                              {"single", WM_LBUTTONDOWN}}));
    DestroyWindow(dbl);
    DestroyWindow(single);
}

TEST(Input, KeysGoToTheFocusWithScanCodesAndKeyState)
{
    MessageLog log({WM_KEYDOWN, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR});
    LPARAM keyLp = 0;
    bool shiftSeen = false;
    log.react = [&](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT*) {
        if (msg == WM_KEYDOWN && wp == VK_F5) {
            keyLp = lp;
            shiftSeen = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        }
        return false;
    };
    HWND hwnd = Make("keys", WS_POPUP | WS_VISIBLE, nullptr, {0, 0, 50, 50});
    PumpPending();
    log.Clear();
    YondaInjectKey(VK_SHIFT, TRUE);
    YondaInjectKey(VK_F5, TRUE);
    YondaInjectKey(VK_F5, FALSE);
    YondaInjectKey(VK_SHIFT, FALSE);
    YondaInjectKey(VK_RETURN, TRUE);
    YondaInjectKey(VK_RETURN, FALSE);
    YondaInjectKey(VK_MENU, TRUE);
    YondaInjectKey('X', TRUE);
    YondaInjectKey('X', FALSE);
    YondaInjectKey(VK_MENU, FALSE);
    PumpPending();
    EXPECT_EQ(HIWORD(keyLp) & 0xFF, 0x3F); // F5's scan code
    EXPECT_TRUE(shiftSeen);
    EXPECT_EQ(log.Log(), (std::vector<Logged>{{"keys", WM_KEYDOWN},
                                              {"keys", WM_KEYDOWN},
                                              {"keys", WM_KEYDOWN},
                                              {"keys", WM_CHAR},
                                              {"keys", WM_SYSKEYDOWN},
                                              {"keys", WM_SYSKEYDOWN},
                                              {"keys", WM_SYSCHAR}}));
    EXPECT_FALSE(GetKeyState(VK_SHIFT) & 0x8000);
    DestroyWindow(hwnd);
}

} // namespace
