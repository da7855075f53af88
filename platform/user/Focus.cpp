// Keyboard focus, activation of top-level windows and mouse capture.
#include "Rendezvous.h"
#include "Display.h"
#include "Input.h"
#include "Queue.h"
#include "Window.h"

namespace yonda::user {

InputState& Input()
{
    static InputState state;
    return state;
}

static bool InSubtree(HWND root, HWND hwnd)
{
    return hwnd && (hwnd == root || IsChild(root, hwnd));
}

// Whether a top-level window already stands above every other shown window of its layer, so
// activating it needs no change of z-order.
static bool OnTopOfItsLayer(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return true;
    // Windows it owns stand above it by right.
    auto ownedBy = [](const Window* t, HWND owner) {
        for (int depth = 0; t && t->owner && depth < 64; ++depth) {
            if (t->owner == owner)
                return true;
            t = FindWindowPtr(t->owner).get();
        }
        return false;
    };
    for (HWND top : TopLevelOrder()) {
        if (top == hwnd)
            return true;
        auto t = FindWindowPtr(top);
        if (t && ownedBy(t.get(), hwnd))
            continue;
        bool sameLayer = t && ((t->exStyle & WS_EX_TOPMOST) == (w->exStyle & WS_EX_TOPMOST));
        if (t && sameLayer && (t->style & WS_VISIBLE))
            return false;
    }
    return true;
}

// The program gains or loses activation: every one of its top-level windows hears of it, those of
// other threads without this one waiting for them.
static void SendActivateApp(BOOL active)
{
    std::vector<HWND> tops;
    {
        std::lock_guard lock(UserLock());
        tops = TopLevelOrder();
    }
    for (HWND top : tops)
        if (IsWindow(top))
            SendNotifyMessageA(top, WM_ACTIVATEAPP, active, 0);
}

HWND Activate(HWND hwnd, UINT how)
{
    HWND old;
    {
        std::lock_guard lock(UserLock());
        old = Input().active;
        if (old == hwnd)
            return old;
        Input().active = hwnd;
        if (auto o = FindWindowPtr(old))
            o->active = false;
        if (auto w = FindWindowPtr(hwnd))
            w->active = true;
    }
    const bool wasActive = old && IsWindow(old);
    if (wasActive) {
        SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(hwnd));
    }
    if (!hwnd) {
        if (wasActive)
            SendActivateApp(FALSE);
        HWND focus = GetFocus();
        if (focus)
            SetFocus(nullptr);
        return old;
    }
    // A show or a raise that activates has already put the window on top.
    if (!OnTopOfItsLayer(hwnd))
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!wasActive)
        SendActivateApp(TRUE);
    SendMessageA(hwnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(hwnd) ? 1 : 0), reinterpret_cast<LPARAM>(old));
    HWND focus = GetFocus();
    if (GetActiveWindow() == hwnd && (!focus || RootOf(focus) != hwnd))
        SetFocus(hwnd);
    DisplayRaise(hwnd);
    return old;
}

// Picks the window that becomes active when the active one goes: its owner when that can take
// it, else the topmost other visible and enabled top-level window.
static HWND NextActive(HWND leaving)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(leaving);
    if (w && w->owner) {
        auto o = FindWindowPtr(w->owner);
        if (o && (o->style & WS_VISIBLE) && !(o->style & WS_DISABLED) && !o->destroying)
            return o->handle;
    }
    for (HWND top : TopLevelOrder()) {
        if (top == leaving)
            continue;
        auto t = FindWindowPtr(top);
        if (t && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED) && !t->destroying && !t->messageOnly)
            return top;
    }
    return nullptr;
}

void ForgetWindowInput(HWND hwnd, bool destroying)
{
    HWND capture, focus, active, parent;
    bool dying = destroying;
    {
        std::lock_guard lock(UserLock());
        capture = Input().capture;
        focus = Input().focus;
        active = Input().active;
        auto w = FindWindowPtr(hwnd);
        parent = w ? w->parent : nullptr;
        dying = dying || (w && w->destroying);
    }
    // A dying window keeps the capture until its WM_DESTROY was handled (DestroyWindow lets it go).
    if (!dying && InSubtree(hwnd, capture))
        ReleaseCapture();
    if (parent) {
        // Hidden, a window passes the focus it has to its parent; a focused window inside it
        // keeps the focus. A window going away takes its descendants' focus along.
        if (destroying ? InSubtree(hwnd, focus) : focus == hwnd)
            SetFocus(parent);
        return;
    }
    if (active == hwnd) {
        HWND next = NextActive(hwnd);
        Activate(next, WA_ACTIVE);
    } else if (InSubtree(hwnd, focus)) {
        SetFocus(nullptr);
    }
    if (destroying) {
        std::lock_guard lock(UserLock());
        if (Input().active == hwnd)
            Input().active = nullptr;
        if (InSubtree(hwnd, Input().focus))
            Input().focus = nullptr;
    }
}

} // namespace yonda::user

using namespace yonda::user;

HWND SetFocus(HWND hwnd)
{
    HWND old;
    if (hwnd) {
        {
            std::lock_guard lock(UserLock());
            auto w = FindWindowPtr(hwnd);
            if (!w || w->destroying || !IsEnabledChain(*w))
                return nullptr;
        }
        HWND root = RootOf(hwnd);
        if (GetActiveWindow() != root) {
            Activate(root, WA_ACTIVE);
            if (!IsWindow(hwnd))
                return nullptr;
        }
    }
    {
        std::lock_guard lock(UserLock());
        old = Input().focus;
        if (old == hwnd)
            return old;
        Input().focus = hwnd;
    }
    if (old && IsWindow(old))
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && GetFocus() == hwnd)
        SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND GetFocus()
{
    std::lock_guard lock(UserLock());
    HWND focus = Input().focus;
    if (focus && !FindWindowPtr(focus))
        Input().focus = focus = nullptr;
    return focus;
}

HWND SetActiveWindow(HWND hwnd)
{
    if (hwnd) {
        hwnd = RootOf(hwnd);
        if (!hwnd)
            return nullptr;
    }
    return Activate(hwnd, WA_ACTIVE);
}

HWND GetActiveWindow()
{
    std::lock_guard lock(UserLock());
    HWND active = Input().active;
    if (active && !FindWindowPtr(active))
        Input().active = active = nullptr;
    return active;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    BOOL raised = FALSE;
    if (yonda::user::RaisePeerWindow(hwnd, &raised))
        return raised;
    if (!IsWindow(hwnd))
        return FALSE;
    SetActiveWindow(hwnd);
    return TRUE;
}

HWND GetForegroundWindow()
{
    return GetActiveWindow();
}

HWND SetCapture(HWND hwnd)
{
    HWND old;
    {
        std::lock_guard lock(UserLock());
        if (hwnd && !FindWindowPtr(hwnd))
            return nullptr;
        old = Input().capture;
        Input().capture = hwnd;
    }
    if (old && old != hwnd && IsWindow(old))
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

BOOL ReleaseCapture()
{
    HWND old;
    {
        std::lock_guard lock(UserLock());
        old = Input().capture;
        Input().capture = nullptr;
    }
    if (old && IsWindow(old))
        SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    std::lock_guard lock(UserLock());
    HWND capture = Input().capture;
    if (capture && !FindWindowPtr(capture))
        Input().capture = capture = nullptr;
    return capture;
}

SHORT GetKeyState(int vk)
{
    std::lock_guard lock(UserLock());
    BYTE state = Input().keys[vk & 0xFF];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

SHORT GetAsyncKeyState(int vk)
{
    std::lock_guard lock(UserLock());
    return (Input().asyncKeys[vk & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL GetKeyboardState(PBYTE keys)
{
    if (!keys)
        return FALSE;
    std::lock_guard lock(UserLock());
    std::copy(std::begin(Input().keys), std::end(Input().keys), keys);
    return TRUE;
}

BOOL GetCursorPos(LPPOINT pt)
{
    if (!pt)
        return FALSE;
    std::lock_guard lock(UserLock());
    *pt = Input().cursor;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    {
        std::lock_guard lock(UserLock());
        Input().cursor = POINT{x, y};
    }
    DisplayWarpCursor(x, y);
    return TRUE;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR old;
    {
        std::lock_guard lock(UserLock());
        old = Input().shownCursor;
        Input().shownCursor = cursor;
    }
    if (old != cursor)
        DisplaySetCursor(cursor);
    return old;
}

HCURSOR GetCursor()
{
    std::lock_guard lock(UserLock());
    return Input().shownCursor;
}

int ShowCursor(BOOL show)
{
    std::lock_guard lock(UserLock());
    return show ? ++Input().cursorCount : --Input().cursorCount;
}

BOOL ClipCursor(const RECT*)
{
    return TRUE;
}

UINT GetDoubleClickTime()
{
    return 500;
}

// Input state is shared by every thread here, as if every thread were attached.
BOOL AttachThreadInput(DWORD, DWORD, BOOL)
{
    return TRUE;
}

BOOL MessageBeep(UINT)
{
    return TRUE;
}
