// Top-level windows are composited in software: each owns a 32-bit surface the size of its window,
// and every window of its tree paints into it through a DC with the window's origin, clipped to
// what of the window is visible (ancestors' client areas, WS_CLIPSIBLINGS, WS_CLIPCHILDREN).
// Direct3D's presented pictures are copied into the same surfaces.
#include "Compositor.h"

#include "../gdi/RectList.h"
#include "Display.h"
#include "Window.h"
#include "WindowDC.h"
#include "yonda_present.h"
#include "yonda_user.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace yonda::user {
namespace {

struct Surfaces {
    std::mutex mutex; // the map and the pixels copied by other threads' presents
    std::map<HWND, std::shared_ptr<gdi::Surface>> byTop;
    std::map<HDC, HWND> dcs;
    std::shared_ptr<gdi::Surface> screen = std::make_shared<gdi::Surface>(1, 1);
};

Surfaces& State()
{
    static Surfaces* state = new Surfaces; // used until the last thread ends
    return *state;
}

using gdi::RectList;

RECT SizeRect(const RECT& r)
{
    return RECT{0, 0, r.right - r.left, r.bottom - r.top};
}

// The visible part of a window's client area in its top-level surface's coordinates.
RectList VisibleRects(const Window& w)
{
    POINT rootOrigin{0, 0};
    HWND root = RootOf(w.handle);
    if (auto r = FindWindowPtr(root))
        rootOrigin = ClientOrigin(*r);
    POINT o = ClientOrigin(w);
    RECT client = SizeRect(w.rect);
    OffsetRect(&client, o.x - rootOrigin.x, o.y - rootOrigin.y);
    RectList visible{client};
    if (w.style & WS_CLIPCHILDREN) {
        RectList kids;
        for (HWND child : w.children) {
            auto c = FindWindowPtr(child);
            if (!c || !(c->style & WS_VISIBLE))
                continue;
            RECT r = c->rect;
            OffsetRect(&r, o.x - rootOrigin.x, o.y - rootOrigin.y);
            kids.push_back(r);
        }
        visible = gdi::RectListSubtract(visible, kids);
    }
    // Ancestors clip, and siblings above clip windows that ask for it.
    const Window* cur = &w;
    while (cur->parent) {
        auto p = FindWindowPtr(cur->parent);
        if (!p)
            break;
        POINT po = ClientOrigin(*p);
        RECT pc = SizeRect(p->rect);
        OffsetRect(&pc, po.x - rootOrigin.x, po.y - rootOrigin.y);
        visible = gdi::RectListIntersect(visible, pc);
        if (cur->style & WS_CLIPSIBLINGS) {
            RectList above;
            for (HWND sib : p->children) {
                if (sib == cur->handle)
                    break;
                auto s = FindWindowPtr(sib);
                if (!s || !(s->style & WS_VISIBLE))
                    continue;
                RECT r = s->rect;
                OffsetRect(&r, po.x - rootOrigin.x, po.y - rootOrigin.y);
                above.push_back(r);
            }
            visible = gdi::RectListSubtract(visible, above);
        }
        cur = p.get();
    }
    return visible;
}

} // namespace

std::shared_ptr<gdi::Surface> SurfaceOf(HWND top)
{
    SIZE size{0, 0};
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(top);
        if (!w)
            return nullptr;
        size = SIZE{w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
    }
    size.cx = std::max<LONG>(size.cx, 1);
    size.cy = std::max<LONG>(size.cy, 1);
    std::lock_guard lock(State().mutex);
    auto& surface = State().byTop[top];
    if (!surface)
        surface = std::make_shared<gdi::Surface>(size.cx, size.cy);
    else if (surface->Width() != size.cx || surface->Height() != size.cy)
        surface->Resize(size.cx, size.cy);
    return surface;
}

std::shared_ptr<gdi::Surface> ExistingSurfaceOf(HWND top)
{
    std::lock_guard lock(State().mutex);
    auto it = State().byTop.find(top);
    return it == State().byTop.end() ? nullptr : it->second;
}

void DropSurface(HWND top)
{
    std::lock_guard lock(State().mutex);
    State().byTop.erase(top);
}

std::mutex& SurfaceMutex()
{
    return State().mutex;
}

bool CaptureWindowPixels(HWND hwnd, std::vector<uint32_t>* pixels, int* width, int* height)
{
    HWND root = RootOf(hwnd);
    if (!root || !pixels)
        return false;
    RECT area;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        auto r = FindWindowPtr(root);
        if (!w || !r)
            return false;
        POINT o = ClientOrigin(*w), ro = ClientOrigin(*r);
        area = SizeRect(w->rect);
        OffsetRect(&area, o.x - ro.x, o.y - ro.y);
    }
    auto surface = SurfaceOf(root);
    if (!surface)
        return false;
    std::lock_guard lock(State().mutex);
    int w = area.right - area.left, h = area.bottom - area.top;
    pixels->assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u);
    for (int y = 0; y < h; ++y) {
        int sy = area.top + y;
        if (sy < 0 || sy >= surface->Height())
            continue;
        for (int x = 0; x < w; ++x) {
            int sx = area.left + x;
            if (sx < 0 || sx >= surface->Width())
                continue;
            (*pixels)[static_cast<size_t>(y) * w + x] = surface->Row(sy)[sx];
        }
    }
    *width = w;
    *height = h;
    return true;
}

HDC OpenWindowDC(HWND hwnd, const RECT* clipClient, bool)
{
    if (hwnd == YONDA_DESKTOP_HWND) {
        HDC dc = gdi::CreateSurfaceDC(State().screen, POINT{0, 0}, RECT{0, 0, 1, 1});
        std::lock_guard lock(State().mutex);
        if (dc)
            State().dcs[dc] = hwnd;
        return dc;
    }
    HWND root = RootOf(hwnd);
    auto surface = SurfaceOf(root);
    if (!surface)
        return nullptr;
    RectList visible;
    POINT origin;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        auto r = FindWindowPtr(root);
        if (!w || !r)
            return nullptr;
        POINT o = ClientOrigin(*w), ro = ClientOrigin(*r);
        origin = POINT{o.x - ro.x, o.y - ro.y};
        visible = VisibleRects(*w);
        if (clipClient) {
            RECT c = *clipClient;
            OffsetRect(&c, origin.x, origin.y);
            visible = gdi::RectListIntersect(visible, c);
        }
    }
    HDC dc = gdi::CreateSurfaceDC(surface, origin, gdi::RectListBounds(visible));
    if (!dc)
        return nullptr;
    gdi::SetSurfaceDCVisibleRects(dc, visible);
    std::lock_guard lock(State().mutex);
    State().dcs[dc] = hwnd;
    return dc;
}

void CloseWindowDC(HDC dc)
{
    {
        std::lock_guard lock(State().mutex);
        State().dcs.erase(dc);
    }
    DeleteDC(dc);
}

HWND WindowOfDC(HDC dc)
{
    std::lock_guard lock(State().mutex);
    auto it = State().dcs.find(dc);
    return it == State().dcs.end() ? nullptr : it->second;
}

bool RegionBox(HRGN region, RECT* box)
{
    return region && box && GetRgnBox(region, box) != 0;
}

bool FillWindowBackground(HDC dc, const RECT& rect, HBRUSH brush)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value > 0 && value <= 32)
        brush = GetSysColorBrush(static_cast<int>(value) - 1);
    return FillRect(dc, &rect, brush) != 0;
}

HBRUSH DefaultControlColor(UINT message, HDC dc)
{
    if (dc) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    return GetSysColorBrush(message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW : COLOR_BTNFACE);
}

namespace {

// Direct3D's pictures land in the window's client area of its top-level surface.
class PresentTarget : public YondaPresentTarget {
public:
    void PresentToWindow(HWND hwnd, const DWORD* pixels, int width, int height, int stride) override
    {
        if (!pixels || width <= 0 || height <= 0 || stride < width * 4)
            return;
        HWND root = RootOf(hwnd);
        auto surface = SurfaceOf(root);
        if (!surface)
            return;
        RectList visible;
        POINT origin;
        {
            std::lock_guard lock(UserLock());
            auto w = FindWindowPtr(hwnd);
            auto r = FindWindowPtr(root);
            if (!w || !r)
                return;
            POINT o = ClientOrigin(*w), ro = ClientOrigin(*r);
            origin = POINT{o.x - ro.x, o.y - ro.y};
            visible = VisibleRects(*w);
        }
        {
            std::lock_guard lock(State().mutex);
            RECT bounds{0, 0, surface->Width(), surface->Height()};
            visible = gdi::RectListIntersect(visible, bounds);
            for (const RECT& r : visible) {
                for (int y = r.top; y < r.bottom; ++y) {
                    int sy = y - origin.y;
                    if (sy < 0 || sy >= height)
                        continue;
                    const auto* src = reinterpret_cast<const uint32_t*>(reinterpret_cast<const BYTE*>(pixels) +
                                                                        static_cast<size_t>(sy) * stride);
                    for (int x = r.left; x < r.right; ++x) {
                        int sx = x - origin.x;
                        if (sx >= 0 && sx < width)
                            surface->Row(y)[x] = src[sx] | 0xFF000000u;
                    }
                }
            }
        }
        DisplayWindowPainted(root);
    }
    BOOL GetClientSize(HWND hwnd, SIZE* size) override
    {
        RECT r;
        if (!size || !GetClientRect(hwnd, &r))
            return FALSE;
        *size = SIZE{r.right, r.bottom};
        return TRUE;
    }
    BOOL GetClientOrigin(HWND hwnd, POINT* origin) override
    {
        if (!origin || !IsWindow(hwnd))
            return FALSE;
        *origin = POINT{0, 0};
        return ClientToScreen(hwnd, origin);
    }
};

struct RegisterPresentTarget {
    RegisterPresentTarget() { YondaSetPresentTarget(&target); }
    PresentTarget target;
};

} // namespace

void EnsurePresentTarget()
{
    static RegisterPresentTarget* registration = new RegisterPresentTarget;
    (void)registration;
}

} // namespace yonda::user

using namespace yonda::user;

HBRUSH GetSysColorBrush(int index)
{
    static std::mutex mutex;
    static std::map<int, HBRUSH> brushes;
    if (index < 0 || index > COLOR_INFOBK)
        return nullptr;
    std::lock_guard lock(mutex);
    HBRUSH& brush = brushes[index];
    if (!brush)
        brush = CreateSolidBrush(GetSysColor(index));
    return brush;
}

BOOL YondaGetWindowPixels(HWND hwnd, DWORD* pixels, int width, int height)
{
    std::vector<uint32_t> all;
    int w = 0, h = 0;
    if (!pixels || !CaptureWindowPixels(hwnd, &all, &w, &h) || w != width || h != height)
        return FALSE;
    std::copy(all.begin(), all.end(), pixels);
    return TRUE;
}

COLORREF YondaGetWindowPixel(HWND hwnd, int x, int y)
{
    std::vector<uint32_t> all;
    int w = 0, h = 0;
    if (!CaptureWindowPixels(hwnd, &all, &w, &h) || x < 0 || y < 0 || x >= w || y >= h)
        return CLR_INVALID;
    return yonda::gdi::ColorFromPixel(all[static_cast<size_t>(y) * w + x]);
}
