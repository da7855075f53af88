// End to end on a real X server: a small skinned-looking window (a picture background, a caption
// strip and an owner-drawn button) is shown through the desktop display on its own Xvfb, the X
// server's screen is read back to see it there, and a click made by the X server's test extension
// (as a pointer would) reaches the button, which tells its owner.
#include "MessagePump.h"

#include <windows.h>
#include <yonda_display.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include "XServer.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

// Xlib's short macro names (None, Bool, Status) come last, after everything they could clash with.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace {

using yonda::testing::Pump;

constexpr COLORREF kBack = RGB(40, 90, 160);
constexpr COLORREF kStrip = RGB(250, 200, 40);
constexpr COLORREF kButton = RGB(220, 40, 60);
constexpr COLORREF kPressed = RGB(30, 160, 70);
constexpr int kButtonId = 191;

LRESULT CALLBACK SkinProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    static bool pressed = false;
    switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH back = CreateSolidBrush(kBack), strip = CreateSolidBrush(kStrip);
        FillRect(dc, &rc, back);
        RECT caption{0, 0, rc.right, 17};
        FillRect(dc, &caption, strip);
        DeleteObject(back);
        DeleteObject(strip);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        HBRUSH face = CreateSolidBrush(pressed ? kPressed : kButton);
        FillRect(dis->hDC, &dis->rcItem, face);
        DeleteObject(face);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == kButtonId && HIWORD(wp) == BN_CLICKED) {
            pressed = true;
            SetPropA(hwnd, "clicked", reinterpret_cast<HANDLE>(1));
            InvalidateRect(reinterpret_cast<HWND>(lp), nullptr, FALSE);
        }
        return 0;
    default: return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

// One pixel of the X server's screen.
COLORREF ScreenPixel(Display* x, int px, int py)
{
    XImage* image = XGetImage(x, DefaultRootWindow(x), px, py, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return CLR_INVALID;
    unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Pumps the program's messages until the screen shows `color` at a point, or a few seconds pass.
bool WaitForScreen(Display* x, int px, int py, COLORREF color)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
        Pump();
        YondaDisplayFlush();
        if (ScreenPixel(x, px, py) == color)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

TEST(Desktop, AClickMadeOnTheXServerReachesTheSkinnedButton)
{
    yonda::testing::XServer server;
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    setenv("DISPLAY", server.Display().c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("YONDA_HEADLESS");
    setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_TRUE(YondaStartDisplay());

    WNDCLASSA wc{};
    wc.lpfnWndProc = &SkinProc;
    wc.lpszClassName = "SkinnedLook";
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND top = CreateWindowExA(0, "SkinnedLook", "Yonda", WS_POPUP | WS_VISIBLE, 120, 80, 240, 160, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 80, 90, 80, 30, top,
                                  reinterpret_cast<HMENU>(kButtonId), nullptr, nullptr);
    ASSERT_NE(button, nullptr);

    Display* x = XOpenDisplay(server.Display().c_str());
    ASSERT_NE(x, nullptr);
    int eventBase, errorBase, major, minor;
    ASSERT_TRUE(XTestQueryExtension(x, &eventBase, &errorBase, &major, &minor));

    // The desktop shows the window where it is: background, caption strip and the button.
    EXPECT_TRUE(WaitForScreen(x, 120 + 5, 80 + 40, kBack));
    EXPECT_TRUE(WaitForScreen(x, 120 + 5, 80 + 5, kStrip));
    ASSERT_TRUE(WaitForScreen(x, 120 + 100, 80 + 100, kButton));

    // A real pointer click in the middle of the button.
    XTestFakeMotionEvent(x, 0, 120 + 120, 80 + 105, 0);
    XSync(x, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(x, 1, True, 0);
    XSync(x, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XTestFakeButtonEvent(x, 1, False, 0);
    XSync(x, False);

    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!GetPropA(top, "clicked") && std::chrono::steady_clock::now() < until) {
        YondaDisplayFlush();
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(GetPropA(top, "clicked"));
    POINT cursor;
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, 240);
    EXPECT_EQ(cursor.y, 185);
    // The button repainted itself, and the screen shows it.
    EXPECT_TRUE(WaitForScreen(x, 120 + 100, 80 + 100, kPressed));

    XCloseDisplay(x);
    DestroyWindow(top);
    YondaStopDisplay();
}

} // namespace
