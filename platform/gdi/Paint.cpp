// Rectangles, pixels and lines: FillRect, FrameRect, SetPixel, LineTo and their kin.
#include "Paint.h"

#include "RasterOp.h"
#include "RectList.h"

#include <cstdlib>

namespace yonda::gdi {

RECT SurfaceRect(const DeviceContext& dc, const RECT& logical)
{
    POINT a = dc.ToSurface(logical.left, logical.top);
    POINT b = dc.ToSurface(logical.right, logical.bottom);
    return RectFromCorners(a.x, a.y, b.x, b.y);
}

void PaintSurfaceRect(const DeviceContext& dc, const RECT& surfaceRect, uint8_t ropIndex, uint32_t pattern)
{
    Surface* s = dc.Target();
    if (!s || RectEmpty(surfaceRect))
        return;
    uint32_t opaque = s->OpaqueMask();
    for (const RECT& clip : dc.ClipRects()) {
        RECT r = RectIntersection(surfaceRect, clip);
        if (RectEmpty(r))
            continue;
        for (int y = r.top; y < r.bottom; ++y)
            RopRow(ropIndex, s->Row(y) + r.left, nullptr, pattern, r.right - r.left, opaque);
    }
}

void FillLogicalRect(const DeviceContext& dc, const RECT& logical, COLORREF color)
{
    if (const Surface* s = dc.Target())
        PaintSurfaceRect(dc, SurfaceRect(dc, logical), 0xF0, PixelFor(*s, color));
}

namespace {

// The pixel a pen of `color` leaves on `d` under the DC's binary raster operation.
uint32_t PenResult(int rop2, uint32_t pen, uint32_t d, uint32_t opaque)
{
    switch (rop2) {
    case R2_BLACK: return opaque;
    case R2_WHITE: return 0xFFFFFFFFu;
    case R2_NOT: return ~d | opaque;
    case R2_XORPEN: return (d ^ pen) | opaque;
    case R2_NOP: return d;
    default: return pen | opaque;
    }
}

void Plot(const DeviceContext& dc, const std::vector<RECT>& clips, int sx, int sy, uint32_t pen)
{
    if (!RectListContains(clips, sx, sy))
        return;
    Surface* s = dc.Target();
    uint32_t& p = s->Row(sy)[sx];
    p = PenResult(dc.state.rop2, pen, p, s->OpaqueMask());
}

// A one-pixel line from (x0, y0) up to, not including, (x1, y1), in surface coordinates.
void DrawLine(const DeviceContext& dc, POINT a, POINT b, uint32_t pen)
{
    std::vector<RECT> clips = dc.ClipRects();
    int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
    int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    int x = a.x, y = a.y;
    while (x != b.x || y != b.y) {
        Plot(dc, clips, x, y, pen);
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

std::optional<uint32_t> PenPixel(const DeviceContext& dc)
{
    const Surface* s = dc.Target();
    const PenObject* pen = dc.state.pen.get();
    if (!s || !pen || pen->IsNull())
        return std::nullopt;
    return PixelFor(*s, pen->dcPen ? dc.state.dcPenColor : pen->log.lopnColor);
}

} // namespace

} // namespace yonda::gdi

using namespace yonda::gdi;

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    auto dc = LookupDC(hDC);
    auto brush = LookupBrush(hbr);
    if (!dc || !lprc || !brush)
        return 0;
    if (auto pattern = dc->BrushPixel(brush.get()))
        PaintSurfaceRect(*dc, SurfaceRect(*dc, *lprc), 0xF0, *pattern);
    return 1;
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    auto dc = LookupDC(hDC);
    auto brush = LookupBrush(hbr);
    if (!dc || !lprc || !brush)
        return 0;
    RECT r = SurfaceRect(*dc, *lprc);
    auto pattern = dc->BrushPixel(brush.get());
    if (RectEmpty(r) || !pattern)
        return 1;
    PaintSurfaceRect(*dc, RECT{r.left, r.top, r.right, r.top + 1}, 0xF0, *pattern);
    PaintSurfaceRect(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, 0xF0, *pattern);
    PaintSurfaceRect(*dc, RECT{r.left, r.top, r.left + 1, r.bottom}, 0xF0, *pattern);
    PaintSurfaceRect(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, 0xF0, *pattern);
    return 1;
}

BOOL InvertRect(HDC hDC, const RECT* lprc)
{
    auto dc = LookupDC(hDC);
    if (!dc || !lprc)
        return FALSE;
    PaintSurfaceRect(*dc, SurfaceRect(*dc, *lprc), 0x55, 0);
    return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc)
{
    auto dc = LookupDC(hDC);
    if (!dc || !lprc || !dc->Target())
        return FALSE;
    // A dotted frame drawn by inverting every other pixel, so drawing it twice removes it.
    RECT r = SurfaceRect(*dc, *lprc);
    std::vector<RECT> clips = dc->ClipRects();
    Surface* s = dc->Target();
    uint32_t opaque = s->OpaqueMask();
    auto flip = [&](int x, int y) {
        if (((x + y) & 1) == 0 && RectListContains(clips, x, y))
            s->Row(y)[x] = ~s->Row(y)[x] | opaque;
    };
    for (int x = r.left; x < r.right; ++x) {
        flip(x, r.top);
        if (r.bottom - 1 > r.top)
            flip(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        flip(r.left, y);
        if (r.right - 1 > r.left)
            flip(r.right - 1, y);
    }
    return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    auto dc = LookupDC(hdc);
    if (!dc || !dc->Target())
        return CLR_INVALID;
    POINT p = dc->ToSurface(x, y);
    if (!RectListContains(dc->ClipRects(), p.x, p.y))
        return CLR_INVALID;
    Surface* s = dc->Target();
    uint32_t pixel = PixelFor(*s, color);
    s->Row(p.y)[p.x] = pixel;
    return s->Monochrome() ? (pixel ? RGB(255, 255, 255) : RGB(0, 0, 0)) : (color & 0xFFFFFFu);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color)
{
    return SetPixel(hdc, x, y, color) != CLR_INVALID;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    auto dc = LookupDC(hdc);
    if (!dc || !dc->Target())
        return CLR_INVALID;
    POINT p = dc->ToSurface(x, y);
    if (!RectListContains(dc->ClipRects(), p.x, p.y))
        return CLR_INVALID;
    const Surface* s = dc->Target();
    uint32_t pixel = s->Row(p.y)[p.x];
    return s->Monochrome() ? (pixel ? RGB(255, 255, 255) : RGB(0, 0, 0)) : ColorFromPixel(pixel);
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return FALSE;
    if (lppt)
        *lppt = dc->state.currentPos;
    dc->state.currentPos = POINT{x, y};
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt)
{
    auto dc = LookupDC(hdc);
    if (!dc || !lppt)
        return FALSE;
    *lppt = dc->state.currentPos;
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return FALSE;
    if (auto pen = PenPixel(*dc))
        DrawLine(*dc, dc->ToSurface(dc->state.currentPos.x, dc->state.currentPos.y), dc->ToSurface(x, y), *pen);
    dc->state.currentPos = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt)
{
    auto dc = LookupDC(hdc);
    if (!dc || !apt || cpt < 2)
        return FALSE;
    if (auto pen = PenPixel(*dc))
        for (int i = 1; i < cpt; ++i)
            DrawLine(*dc, dc->ToSurface(apt[i - 1].x, apt[i - 1].y), dc->ToSurface(apt[i].x, apt[i].y), *pen);
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return FALSE;
    RECT r = SurfaceRect(*dc, RECT{left, top, right, bottom});
    auto pen = PenPixel(*dc);
    RECT inside = pen ? RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1} : r;
    if (auto pattern = dc->BrushPixel(dc->state.brush.get()))
        PaintSurfaceRect(*dc, inside, 0xF0, *pattern);
    if (pen && !RectEmpty(r)) {
        DrawLine(*dc, POINT{r.left, r.top}, POINT{r.right - 1, r.top}, *pen);
        DrawLine(*dc, POINT{r.right - 1, r.top}, POINT{r.right - 1, r.bottom - 1}, *pen);
        DrawLine(*dc, POINT{r.right - 1, r.bottom - 1}, POINT{r.left, r.bottom - 1}, *pen);
        DrawLine(*dc, POINT{r.left, r.bottom - 1}, POINT{r.left, r.top}, *pen);
    }
    return TRUE;
}
