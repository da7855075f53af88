// Rectangle regions and the DC's clip region. Clip regions are kept in device coordinates, as the
// platform does, so they do not move when the window origin changes afterwards.
#include "DeviceContext.h"
#include "Paint.h"
#include "RectList.h"

using namespace yonda::gdi;

namespace {

HRGN NewRegion(RectList rects)
{
    auto region = std::make_shared<RegionObject>();
    region->rects = std::move(rects);
    return reinterpret_cast<HRGN>(RegisterObject(region));
}

RectList Normalised(int x1, int y1, int x2, int y2)
{
    RECT r = RectFromCorners(x1, y1, x2, y2);
    return RectEmpty(r) ? RectList{} : RectList{r};
}

// A logical rectangle in device coordinates.
RECT DeviceRect(const DeviceContext& dc, int left, int top, int right, int bottom)
{
    POINT a = dc.ToDevice(left, top);
    POINT b = dc.ToDevice(right, bottom);
    return RectFromCorners(a.x, a.y, b.x, b.y);
}

// The clip region's result code: the complexity of what may be drawn.
int ClipComplexity(const DeviceContext& dc)
{
    RectList area = dc.VisibleDeviceRects();
    if (dc.state.clip)
        area = RectListIntersect(area, *dc.state.clip);
    return RectListComplexity(area);
}

} // namespace

HRGN CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return NewRegion(Normalised(x1, y1, x2, y2));
}

HRGN CreateRectRgnIndirect(const RECT* lprect)
{
    if (!lprect)
        return nullptr;
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom)
{
    auto region = LookupRegion(hrgn);
    if (!region)
        return FALSE;
    region->rects = Normalised(left, top, right, bottom);
    return TRUE;
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode)
{
    auto dst = LookupRegion(hrgnDst);
    auto a = LookupRegion(hrgnSrc1);
    auto b = iMode == RGN_COPY ? a : LookupRegion(hrgnSrc2);
    if (!dst || !a || !b)
        return ERROR;
    RectList result;
    switch (iMode) {
    case RGN_AND: result = RectListIntersect(a->rects, b->rects); break;
    case RGN_OR: result = RectListUnion(a->rects, b->rects); break;
    case RGN_XOR: result = RectListXor(a->rects, b->rects); break;
    case RGN_DIFF: result = RectListSubtract(a->rects, b->rects); break;
    case RGN_COPY: result = a->rects; break;
    default: return ERROR;
    }
    dst->rects = std::move(result);
    return RectListComplexity(dst->rects);
}

int OffsetRgn(HRGN hrgn, int x, int y)
{
    auto region = LookupRegion(hrgn);
    if (!region)
        return ERROR;
    RectListOffset(region->rects, x, y);
    return RectListComplexity(region->rects);
}

int GetRgnBox(HRGN hrgn, LPRECT lprc)
{
    auto region = LookupRegion(hrgn);
    if (!region || !lprc)
        return ERROR;
    *lprc = RectListBounds(region->rects);
    return RectListComplexity(region->rects);
}

BOOL PtInRegion(HRGN hrgn, int x, int y)
{
    auto region = LookupRegion(hrgn);
    return region && RectListContains(region->rects, x, y);
}

BOOL RectInRegion(HRGN hrgn, const RECT* lprect)
{
    auto region = LookupRegion(hrgn);
    if (!region || !lprect)
        return FALSE;
    RECT r = RectFromCorners(lprect->left, lprect->top, lprect->right, lprect->bottom);
    return !RectListIntersect(region->rects, r).empty();
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2)
{
    auto a = LookupRegion(hrgn1);
    auto b = LookupRegion(hrgn2);
    if (!a || !b)
        return ERROR;
    return RectListEqualArea(a->rects, b->rects);
}

BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr)
{
    auto dc = LookupDC(hdc);
    auto region = LookupRegion(hrgn);
    auto brush = LookupBrush(hbr);
    if (!dc || !region || !brush)
        return FALSE;
    if (auto pattern = dc->BrushPixel(brush.get()))
        for (const RECT& r : region->rects)
            PaintSurfaceRect(*dc, SurfaceRect(*dc, r), 0xF0, *pattern);
    return TRUE;
}

int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return ERROR;
    if (!hrgn) {
        if (mode != RGN_COPY)
            return ERROR;
        dc->state.clip.reset();
        return ClipComplexity(*dc);
    }
    auto region = LookupRegion(hrgn);
    if (!region)
        return ERROR;
    // Without a clip region the whole visible area counts as the current clip.
    RectList current = dc->state.clip ? *dc->state.clip : dc->VisibleDeviceRects();
    RectList next;
    switch (mode) {
    case RGN_COPY: next = region->rects; break;
    case RGN_AND: next = RectListIntersect(current, region->rects); break;
    case RGN_OR: next = RectListUnion(current, region->rects); break;
    case RGN_XOR: next = RectListXor(current, region->rects); break;
    case RGN_DIFF: next = RectListSubtract(current, region->rects); break;
    default: return ERROR;
    }
    dc->state.clip = std::move(next);
    return ClipComplexity(*dc);
}

int SelectClipRgn(HDC hdc, HRGN hrgn)
{
    return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return ERROR;
    RECT r = DeviceRect(*dc, left, top, right, bottom);
    RectList current = dc->state.clip ? *dc->state.clip : dc->VisibleDeviceRects();
    dc->state.clip = RectListIntersect(current, r);
    return ClipComplexity(*dc);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return ERROR;
    RECT r = DeviceRect(*dc, left, top, right, bottom);
    RectList current = dc->state.clip ? *dc->state.clip : dc->VisibleDeviceRects();
    dc->state.clip = RectListSubtract(current, RectList{r});
    return ClipComplexity(*dc);
}

int OffsetClipRgn(HDC hdc, int x, int y)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return ERROR;
    if (dc->state.clip)
        RectListOffset(*dc->state.clip, x, y);
    return ClipComplexity(*dc);
}

int GetClipBox(HDC hdc, LPRECT lprect)
{
    auto dc = LookupDC(hdc);
    if (!dc || !lprect)
        return ERROR;
    RectList area = dc->VisibleDeviceRects();
    if (dc->state.clip)
        area = RectListIntersect(area, *dc->state.clip);
    RECT box = RectListBounds(area);
    // Back to logical coordinates.
    LONG dx = dc->state.windowOrg.x - dc->state.viewportOrg.x;
    LONG dy = dc->state.windowOrg.y - dc->state.viewportOrg.y;
    if (!area.empty())
        box = RECT{box.left + dx, box.top + dy, box.right + dx, box.bottom + dy};
    *lprect = box;
    return RectListComplexity(area);
}

int GetClipRgn(HDC hdc, HRGN hrgn)
{
    auto dc = LookupDC(hdc);
    auto region = LookupRegion(hrgn);
    if (!dc || !region)
        return -1;
    if (!dc->state.clip)
        return 0;
    region->rects = *dc->state.clip;
    return 1;
}

BOOL PtVisible(HDC hdc, int x, int y)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return -1;
    POINT p = dc->ToSurface(x, y);
    return RectListContains(dc->ClipRects(), p.x, p.y);
}

BOOL RectVisible(HDC hdc, const RECT* lprect)
{
    auto dc = LookupDC(hdc);
    if (!dc || !lprect)
        return FALSE;
    return !RectListIntersect(dc->ClipRects(), SurfaceRect(*dc, *lprect)).empty();
}
