// Update regions and WM_PAINT. A window's update region grows by invalidation and is emptied by
// BeginPaint or validation; WM_PAINT comes from the queue when nothing else is waiting, parents
// before their children and lower siblings before upper ones, so upper windows paint last.
#include "Paint.h"

#include "Display.h"
#include "Input.h"
#include "Queue.h"
#include "WindowDC.h"
#include "yonda_user.h"

#include <algorithm>

namespace yonda::user {
namespace {

RECT ClientArea(const Window& w)
{
    return RECT{0, 0, w.rect.right - w.rect.left, w.rect.bottom - w.rect.top};
}

bool HasInvalid(const Window& w)
{
    return !IsRectEmpty(&w.invalid);
}

void SetInvalid(Window& w, const RECT& r)
{
    bool before = HasInvalid(w);
    w.invalid = r;
    bool after = HasInvalid(w);
    if (before != after && w.queue)
        w.queue->paintCount += after ? 1 : -1;
}

void ClearTree(Window& w)
{
    ClearInvalid(w);
    for (HWND child : w.children)
        if (auto c = FindWindowPtr(child))
            ClearTree(*c);
}

WindowPtr FindPaintIn(const WindowPtr& w, const ThreadQueue& queue, HWND filter, bool inFilter)
{
    if (!(w->style & WS_VISIBLE))
        return nullptr;
    inFilter = inFilter || filter == nullptr || w->handle == filter;
    if (inFilter && w->queue.get() == &queue && HasInvalid(*w))
        return w;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        auto c = FindWindowPtr(*it);
        if (!c)
            continue;
        if (auto found = FindPaintIn(c, queue, filter, inFilter))
            return found;
    }
    return nullptr;
}

void PaintNow(HWND hwnd, bool children)
{
    bool pending = false;
    std::vector<HWND> kids;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w || !IsVisibleChain(*w))
            return;
        pending = HasInvalid(*w) && w->queue == CurrentQueue();
        kids.assign(w->children.rbegin(), w->children.rend());
    }
    if (pending) {
        SendMessageA(hwnd, WM_PAINT, 0, 0);
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        // Same rule as for queued WM_PAINT: a handler that ignores it must not leave it pending.
        if (w && HasInvalid(*w) && !w->painting)
            ClearInvalid(*w);
    }
    if (children)
        for (HWND child : kids)
            PaintNow(child, true);
}

} // namespace

void AddInvalid(Window& w, const RECT* rect, bool erase, bool children)
{
    if (!IsVisibleChain(w) || !w.redraw || w.destroyed)
        return;
    RECT client = ClientArea(w);
    RECT r = client;
    if (rect && !IntersectRect(&r, rect, &client))
        return;
    if (IsRectEmpty(&r))
        return;
    RECT merged = r;
    if (HasInvalid(w))
        UnionRect(&merged, &w.invalid, &r);
    SetInvalid(w, merged);
    w.erase = w.erase || erase;
    if (!children || (w.style & WS_CLIPCHILDREN))
        return;
    for (HWND child : w.children) {
        auto c = FindWindowPtr(child);
        if (!c || !(c->style & WS_VISIBLE))
            continue;
        RECT part;
        if (!IntersectRect(&part, &r, &c->rect))
            continue;
        OffsetRect(&part, -c->rect.left, -c->rect.top);
        AddInvalid(*c, &part, erase, true);
    }
}

void ClearInvalid(Window& w)
{
    SetInvalid(w, RECT{});
    w.erase = false;
}

void ForgetPaint(Window& w)
{
    ClearInvalid(w);
}

void ClipInvalidToClient(Window& w)
{
    if (!HasInvalid(w))
        return;
    RECT client = ClientArea(w), r;
    if (IntersectRect(&r, &w.invalid, &client))
        SetInvalid(w, r);
    else
        SetInvalid(w, RECT{});
}

void HiddenTree(Window& w)
{
    ClearTree(w);
}

void ExposeArea(const Window& w, const RECT& screenRect)
{
    if (!w.parent) {
        DisplayWindowChanged(w.handle);
        return;
    }
    auto p = FindWindowPtr(w.parent);
    if (!p)
        return;
    POINT o = ClientOrigin(*p);
    RECT r = screenRect;
    OffsetRect(&r, -o.x, -o.y);
    AddInvalid(*p, &r, true, false);
    for (HWND child : p->children) {
        auto c = FindWindowPtr(child);
        if (!c || c->handle == w.handle)
            continue;
        RECT part;
        if (!IntersectRect(&part, &r, &c->rect))
            continue;
        OffsetRect(&part, -c->rect.left, -c->rect.top);
        AddInvalid(*c, &part, true, true);
    }
}

bool TakePaint(ThreadQueue& queue, HWND filter, MSG* msg)
{
    std::lock_guard lock(UserLock());
    if (queue.paintCount <= 0)
        return false;
    for (HWND top : TopLevelOrder()) {
        auto w = FindWindowPtr(top);
        if (!w)
            continue;
        if (auto found = FindPaintIn(w, queue, filter, false)) {
            *msg = MSG{found->handle, WM_PAINT, 0, 0, static_cast<DWORD>(NowMs()), Input().cursor};
            return true;
        }
    }
    // Only windows that cannot paint (hidden, detached) are left: drop them so nobody spins.
    for (auto& w : AllWindows())
        if (w->queue.get() == &queue && HasInvalid(*w) && !IsVisibleChain(*w))
            ClearInvalid(*w);
    return false;
}

} // namespace yonda::user

using namespace yonda::user;

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase)
{
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase)
{
    RECT box;
    const RECT* area = RegionBox(region, &box) ? &box : nullptr;
    return RedrawWindow(hwnd, area, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hwnd, const RECT* rect)
{
    return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE);
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase)
{
    bool pending;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        pending = HasInvalid(*w);
        if (rect)
            *rect = pending ? w->invalid : RECT{};
    }
    (void)erase;
    return pending ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return FALSE;
    PaintNow(hwnd, true);
    return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags)
{
    if (hwnd == nullptr || hwnd == YONDA_DESKTOP_HWND) {
        std::vector<HWND> tops;
        {
            std::lock_guard lock(UserLock());
            tops = TopLevelOrder();
        }
        for (HWND top : tops)
            RedrawWindow(top, nullptr, nullptr, flags | RDW_ALLCHILDREN);
        return TRUE;
    }
    RECT box;
    if (!rect && region && RegionBox(region, &box))
        rect = &box;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        bool children = !(flags & RDW_NOCHILDREN) && ((flags & RDW_ALLCHILDREN) || !(w->style & WS_CLIPCHILDREN));
        if (flags & RDW_INVALIDATE) {
            AddInvalid(*w, rect, (flags & RDW_ERASE) != 0, children);
            if (flags & RDW_ERASE)
                w->erase = HasInvalid(*w);
        }
        if (flags & RDW_VALIDATE) {
            ++w->paintSerial;
            if (!rect) {
                ClearInvalid(*w);
            } else if (HasInvalid(*w)) {
                // Only a rectangle that covers the pending box can shrink it; a box cannot have holes.
                RECT covered;
                SubtractRect(&covered, &w->invalid, rect);
                if (IsRectEmpty(&covered))
                    ClearInvalid(*w);
                else
                    SetInvalid(*w, covered);
            }
            if (flags & RDW_NOERASE)
                w->erase = false;
        }
    }
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        PaintNow(hwnd, (flags & RDW_NOCHILDREN) == 0);
    return TRUE;
}

BOOL LockWindowUpdate(HWND)
{
    return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps)
{
    if (!ps)
        return nullptr;
    *ps = PAINTSTRUCT{};
    RECT area;
    bool erase;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return nullptr;
        area = w->invalid;
        erase = w->erase;
        ClearInvalid(*w);
        ++w->paintSerial;
        w->painting = true;
    }
    HDC dc = OpenWindowDC(hwnd, IsRectEmpty(&area) ? nullptr : &area, true);
    ps->hdc = dc;
    ps->rcPaint = area;
    ps->fErase = TRUE;
    if (erase && dc)
        ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps)
{
    if (ps && ps->hdc)
        CloseWindowDC(ps->hdc);
    std::lock_guard lock(UserLock());
    auto w = FindWindowPtr(hwnd);
    if (!w)
        return FALSE;
    w->painting = false;
    DisplayWindowPainted(hwnd);
    return TRUE;
}

HDC GetDC(HWND hwnd)
{
    if (hwnd == nullptr)
        hwnd = YONDA_DESKTOP_HWND;
    if (hwnd != YONDA_DESKTOP_HWND && !IsWindow(hwnd))
        return nullptr;
    return OpenWindowDC(hwnd, nullptr, false);
}

HDC GetWindowDC(HWND hwnd)
{
    return GetDC(hwnd);
}

int ReleaseDC(HWND hwnd, HDC dc)
{
    if (!dc)
        return 0;
    CloseWindowDC(dc);
    if (hwnd && hwnd != YONDA_DESKTOP_HWND)
        DisplayWindowPainted(hwnd);
    return 1;
}

HWND WindowFromDC(HDC dc)
{
    return WindowOfDC(dc);
}

void YondaFlushPainting()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The quit belongs to the caller's loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
