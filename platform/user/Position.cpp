// Window geometry: showing, moving, sizing, z-order, enabling, coordinate mapping, hit testing.
// WM_WINDOWPOSCHANGED is sent for every change; the default procedure turns it into WM_MOVE and
// WM_SIZE, so a window that lets it through gets them synchronously, and only on a real change.
#include "Input.h"
#include "Paint.h"
#include "Queue.h"
#include "Window.h"
#include "yonda_user.h"
#include "Display.h"

#include <algorithm>

namespace yonda::user {
namespace {

bool OnOtherThread(HWND hwnd)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    return w && w->queue != CurrentQueue();
}

// Windows owned by a top-level window stay above it, in their own order, as do theirs.
void LiftOwnedWindows(HWND owner)
{
    auto& order = TopLevelOrder();
    std::vector<HWND> owned;
    for (HWND top : order) {
        auto o = FindWindowPtr(top);
        if (o && o->owner == owner)
            owned.push_back(top);
    }
    if (owned.empty())
        return;
    for (HWND h : owned)
        std::erase(order, h);
    auto at = std::find(order.begin(), order.end(), owner);
    order.insert(at, owned.begin(), owned.end());
    for (HWND h : owned)
        LiftOwnedWindows(h);
}

void Restack(Window& w, HWND after)
{
    std::vector<HWND>* siblings = &TopLevelOrder();
    if (w.parent) {
        auto p = FindWindowPtr(w.parent);
        if (!p)
            return;
        siblings = &p->children;
    } else if (w.messageOnly) {
        return;
    }
    std::erase(*siblings, w.handle);
    if (after == HWND_TOPMOST)
        w.exStyle |= WS_EX_TOPMOST;
    if (after == HWND_NOTOPMOST)
        w.exStyle &= ~WS_EX_TOPMOST;
    auto pos = siblings->begin();
    if (after == HWND_BOTTOM) {
        pos = siblings->end();
    } else if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        // Non-topmost top-level windows stay below the topmost ones.
        if (!w.parent && !(w.exStyle & WS_EX_TOPMOST)) {
            while (pos != siblings->end()) {
                auto o = FindWindowPtr(*pos);
                if (!o || !(o->exStyle & WS_EX_TOPMOST))
                    break;
                ++pos;
            }
        }
    } else {
        auto it = std::find(siblings->begin(), siblings->end(), after);
        pos = it == siblings->end() ? siblings->begin() : it + 1;
    }
    siblings->insert(pos, w.handle);
    if (!w.parent)
        LiftOwnedWindows(w.handle);
}

HWND HitTestIn(HWND parent, POINT screen)
{
    auto w = FindWindowPtr(parent);
    if (!w)
        return nullptr;
    for (HWND child : w->children) {
        auto c = FindWindowPtr(child);
        if (!c || !(c->style & WS_VISIBLE) || (c->exStyle & WS_EX_TRANSPARENT))
            continue;
        RECT r = ScreenRect(*c);
        if (!PtInRect(&r, screen))
            continue;
        if (c->style & WS_DISABLED)
            return parent; // a disabled child's clicks reach nobody below
        return HitTestIn(child, screen);
    }
    return parent;
}

} // namespace

HWND HitTest(POINT screen)
{
    std::lock_guard lock(UserLock());
    for (HWND top : TopLevelOrder()) {
        auto w = FindWindowPtr(top);
        if (!w || !(w->style & WS_VISIBLE))
            continue;
        RECT r = ScreenRect(*w);
        if (!PtInRect(&r, screen))
            continue;
        if (w->style & WS_DISABLED)
            return top;
        return HitTestIn(top, screen);
    }
    return nullptr;
}

} // namespace yonda::user

using namespace yonda::user;

BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags)
{
    if (OnOtherThread(hwnd))
        return static_cast<BOOL>(
            RunOnWindowThread(hwnd, [=] { return SetWindowPos(hwnd, after, x, y, cx, cy, flags); }));
    WINDOWPOS wp{hwnd, after, x, y, cx, cy, flags};
    bool child = false;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        child = (w->style & WS_CHILD) != 0;
        const RECT& r = w->rect;
        if (wp.flags & SWP_NOMOVE) {
            wp.x = r.left;
            wp.y = r.top;
        }
        if (wp.flags & SWP_NOSIZE) {
            wp.cx = r.right - r.left;
            wp.cy = r.bottom - r.top;
        }
        wp.cx = std::max(0, wp.cx);
        wp.cy = std::max(0, wp.cy);
        if (wp.cx == r.right - r.left && wp.cy == r.bottom - r.top)
            wp.flags |= SWP_NOSIZE;
        if (wp.x == r.left && wp.y == r.top)
            wp.flags |= SWP_NOMOVE;
        bool visible = (w->style & WS_VISIBLE) != 0;
        if (visible)
            wp.flags &= ~SWP_SHOWWINDOW;
        if (!visible)
            wp.flags &= ~SWP_HIDEWINDOW;
        if (child)
            wp.flags |= SWP_NOACTIVATE;
    }
    if (!(wp.flags & SWP_NOSENDCHANGING))
        SendMessageA(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));

    bool activate = false;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        RECT oldScreen = ScreenRect(*w);
        bool wasVisible = IsVisibleChain(*w);
        RECT old = w->rect;
        if (!(wp.flags & SWP_NOMOVE) || !(wp.flags & SWP_NOSIZE))
            w->rect = RECT{wp.x, wp.y, wp.x + wp.cx, wp.y + wp.cy};
        bool sized = old.right - old.left != w->rect.right - w->rect.left ||
                     old.bottom - old.top != w->rect.bottom - w->rect.top;
        bool moved = old.left != w->rect.left || old.top != w->rect.top;
        if (!sized)
            wp.flags |= YONDA_SWP_NOCLIENTSIZE;
        if (!moved)
            wp.flags |= YONDA_SWP_NOCLIENTMOVE;
        bool restacked = false;
        if (!(wp.flags & SWP_NOZORDER)) {
            Restack(*w, wp.hwndInsertAfter);
            restacked = true;
        }
        if (wp.flags & SWP_SHOWWINDOW)
            w->style |= WS_VISIBLE;
        if (wp.flags & SWP_HIDEWINDOW)
            w->style &= ~WS_VISIBLE;
        bool nowVisible = IsVisibleChain(*w);
        if (wasVisible && !nowVisible)
            HiddenTree(*w);
        if (!(wp.flags & SWP_NOREDRAW)) {
            bool changedArea = sized || (moved && child) || wasVisible != nowVisible || restacked;
            if (wasVisible && changedArea)
                ExposeArea(*w, oldScreen);
            if (nowVisible && changedArea)
                AddInvalid(*w, nullptr, true, true);
        }
        if (sized)
            ClipInvalidToClient(*w);
        if (!child && !w->messageOnly && !(wp.flags & SWP_NOACTIVATE) && nowVisible &&
            ((wp.flags & SWP_SHOWWINDOW) ||
             (restacked && (wp.hwndInsertAfter == HWND_TOP || wp.hwndInsertAfter == HWND_TOPMOST))))
            activate = true;
        DisplayWindowChanged(hwnd);
    }
    // A show or a raise that activates does it inside the change: WM_ACTIVATE and WM_SETFOCUS
    // come before WM_WINDOWPOSCHANGED. Hiding gives activation away after it.
    if (activate)
        SetActiveWindow(hwnd);
    if (!IsWindow(hwnd))
        return TRUE;
    SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    if (wp.flags & SWP_HIDEWINDOW)
        ForgetWindowInput(hwnd, false);
    return TRUE;
}

BOOL ShowWindow(HWND hwnd, int cmd)
{
    if (OnOtherThread(hwnd))
        return static_cast<BOOL>(RunOnWindowThread(hwnd, [=] { return ShowWindow(hwnd, cmd); }));
    bool wasVisible = false;
    bool child = false;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        wasVisible = (w->style & WS_VISIBLE) != 0;
        child = (w->style & WS_CHILD) != 0;
        if (cmd == SW_MINIMIZE || cmd == SW_SHOWMINIMIZED || cmd == SW_SHOWMINNOACTIVE)
            w->style |= WS_MINIMIZE;
        else if (cmd != SW_HIDE)
            w->style &= ~WS_MINIMIZE;
    }
    bool show = cmd != SW_HIDE;
    bool noActivate =
        child || cmd == SW_SHOWNA || cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWMINNOACTIVE || cmd == SW_MINIMIZE;
    if (show == wasVisible) {
        if (show && !noActivate)
            SetActiveWindow(hwnd);
        return wasVisible ? TRUE : FALSE;
    }
    SendMessageA(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    if (!IsWindow(hwnd))
        return wasVisible ? TRUE : FALSE;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (noActivate || !show)
        flags |= SWP_NOACTIVATE | SWP_NOZORDER;
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, flags);
    return wasVisible ? TRUE : FALSE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND hwnd)
{
    return SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

BOOL CloseWindow(HWND hwnd)
{
    return ShowWindow(hwnd, SW_MINIMIZE) || IsWindow(hwnd);
}

BOOL FlashWindow(HWND hwnd, BOOL)
{
    return IsWindow(hwnd);
}

BOOL GetWindowRect(HWND hwnd, LPRECT rect)
{
    if (!rect)
        return FALSE;
    if (hwnd == YONDA_DESKTOP_HWND) {
        *rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return TRUE;
    }
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return FALSE;
    *rect = ScreenRect(*w);
    return TRUE;
}

BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement)
{
    if (!placement || placement->length != sizeof(WINDOWPLACEMENT))
        return FALSE;
    RECT rect{};
    if (!GetWindowRect(hwnd, &rect))
        return FALSE;
    placement->flags = 0;
    placement->showCmd = IsIconic(hwnd) ? SW_SHOWMINIMIZED : IsWindowVisible(hwnd) ? SW_SHOWNORMAL : SW_HIDE;
    placement->ptMinPosition = POINT{-1, -1};
    placement->ptMaxPosition = POINT{-1, -1};
    placement->rcNormalPosition = rect;
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect)
{
    if (!rect)
        return FALSE;
    if (hwnd == YONDA_DESKTOP_HWND)
        return GetWindowRect(hwnd, rect);
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return FALSE;
    *rect = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    return TRUE;
}

static bool OriginOf(HWND hwnd, POINT* origin)
{
    if (hwnd == nullptr || hwnd == YONDA_DESKTOP_HWND) {
        *origin = POINT{0, 0};
        return true;
    }
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return false;
    *origin = ClientOrigin(*w);
    return true;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt)
{
    POINT o;
    if (!pt || !OriginOf(hwnd, &o))
        return FALSE;
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt)
{
    POINT o;
    if (!pt || !OriginOf(hwnd, &o))
        return FALSE;
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    POINT a, b;
    if (!OriginOf(from, &a) || !OriginOf(to, &b))
        return 0;
    LONG dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

// Windows here have no frame or caption drawn by the system: client and window rectangles agree.
BOOL AdjustWindowRect(LPRECT rect, DWORD, BOOL)
{
    return rect ? TRUE : FALSE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD, BOOL, DWORD)
{
    return rect ? TRUE : FALSE;
}

// Disabling sends WM_CANCELMODE first (its default handling lets a held capture go), takes the
// focus from the window itself only (a focused child keeps it) and the capture from the window
// and its children; WM_ENABLE comes last.
BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    if (OnOtherThread(hwnd))
        return static_cast<BOOL>(RunOnWindowThread(hwnd, [=] { return EnableWindow(hwnd, enable); }));
    bool wasDisabled;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        wasDisabled = (w->style & WS_DISABLED) != 0;
        if (wasDisabled == !enable)
            return wasDisabled ? TRUE : FALSE;
    }
    if (!enable) {
        SendMessageA(hwnd, WM_CANCELMODE, 0, 0);
        if (!IsWindow(hwnd))
            return FALSE;
    }
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        if (enable)
            w->style &= ~WS_DISABLED;
        else
            w->style |= WS_DISABLED;
    }
    if (!enable) {
        if (GetFocus() == hwnd)
            SetFocus(nullptr);
        HWND capture = GetCapture();
        if (capture && (capture == hwnd || IsChild(hwnd, capture)))
            ReleaseCapture();
    }
    SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

HWND WindowFromPoint(POINT pt)
{
    return HitTest(pt);
}

HWND ChildWindowFromPoint(HWND parent, POINT pt)
{
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(parent);
    if (!w)
        return nullptr;
    RECT client{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    if (!PtInRect(&client, pt))
        return nullptr;
    for (HWND child : w->children) {
        auto c = FindWindowPtr(child);
        if (c && (c->style & WS_VISIBLE) && PtInRect(&c->rect, pt))
            return child;
    }
    return parent;
}
