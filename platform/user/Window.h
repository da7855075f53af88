// The window tree as the window manager keeps it. Every field is guarded by UserLock(); window
// procedures are never called with that lock held, so a procedure may call back into anything.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace yonda::user {

struct ThreadQueue;

struct WindowClass {
    std::string name;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int cbWndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    ATOM atom = 0;
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> cls;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT rect{};                // window rectangle in the parent's client coordinates
    HWND parent = nullptr;      // for WS_CHILD windows
    HWND owner = nullptr;       // for top-level windows
    std::vector<HWND> children; // z-order, topmost first
    UINT_PTR id = 0;
    std::string text;
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    std::vector<LONG_PTR> extra; // cbWndExtra bytes, kept as pointer-sized slots
    std::unordered_map<std::string, HANDLE> props;
    HFONT font = nullptr;
    HICON icon = nullptr;
    std::shared_ptr<ThreadQueue> queue;

    // Painting.
    RECT invalid{}; // bounding box of the update region, client coordinates
    bool erase = false;
    bool redraw = true; // WM_SETREDRAW
    bool painting = false;
    unsigned paintSerial = 0; // counts BeginPaint and validations

    // Life.
    bool creating = true;
    bool destroying = false;
    bool destroyed = false;
    bool active = false;
    bool messageOnly = false; // made with HWND_MESSAGE: never shown, never hit
};

// The one lock that guards the window tree, the classes and the input state.
std::recursive_mutex& UserLock();

using WindowPtr = std::shared_ptr<Window>;

// Looks a handle up; stale and invalid handles give null, never a dangling window.
WindowPtr FindWindowPtr(HWND hwnd);
HWND AddWindow(WindowPtr window);
void RemoveWindow(HWND hwnd);
std::vector<WindowPtr> AllWindows(); // every live window, in creation order

// Window rectangle in screen coordinates (window and client are one area here).
RECT ScreenRect(const Window& window);
POINT ClientOrigin(const Window& window);
bool IsVisibleChain(const Window& window);
bool IsEnabledChain(const Window& window);
HWND RootOf(HWND hwnd);

// Top-level windows in z-order, topmost first.
std::vector<HWND>& TopLevelOrder();

} // namespace yonda::user

// Flags SetWindowPos adds for WM_WINDOWPOSCHANGED when the client area kept its size or place.
#define YONDA_SWP_NOCLIENTSIZE 0x0800
#define YONDA_SWP_NOCLIENTMOVE 0x1000
