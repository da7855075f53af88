// Block transfers between device contexts: BitBlt, StretchBlt, MaskBlt and PatBlt, with the
// platform's rules between colour and monochrome surfaces: into a monochrome surface, pixels of
// the source DC's background colour become 1 and all others 0; out of one, 1 takes the
// destination DC's background colour and 0 its text colour.
#include "DeviceContext.h"
#include "RasterOp.h"
#include "RectList.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace yonda::gdi {

namespace {

// How source pixels turn into destination pixels.
struct Conversion {
    enum Kind { None, ToMono, FromMono } kind = None;
    uint32_t keyRgb = 0;        // ToMono: the source DC's background colour
    uint32_t one = 0, zero = 0; // FromMono: the destination's background and text colours

    static Conversion Between(const DeviceContext& dst, const Surface& d, const DeviceContext& src, const Surface& s)
    {
        Conversion c;
        if (s.Monochrome() && !d.Monochrome()) {
            c.kind = FromMono;
            c.one = PixelFor(d, dst.state.bkColor);
            c.zero = PixelFor(d, dst.state.textColor);
        } else if (!s.Monochrome() && d.Monochrome()) {
            c.kind = ToMono;
            c.keyRgb = PixelFromColor(src.state.bkColor) & 0xFFFFFFu;
        }
        return c;
    }

    uint32_t operator()(uint32_t p) const
    {
        switch (kind) {
        case ToMono: return (p & 0xFFFFFFu) == keyRgb ? 0xFFFFFFFFu : 0u;
        case FromMono: return p ? one : zero;
        default: return p;
        }
    }

    // A row in the destination's form: the source row itself when nothing changes.
    const uint32_t* Row(const uint32_t* src, int count, std::vector<uint32_t>& scratch) const
    {
        if (kind == None)
            return src;
        scratch.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            scratch[i] = (*this)(src[i]);
        return scratch.data();
    }
};

// A copy of a source area when the source and destination are the same surface, so that
// overlapping transfers read the pixels as they were before.
struct SourceView {
    const Surface* surface = nullptr;
    int offsetX = 0, offsetY = 0; // view coordinates = surface coordinates - offset
    std::unique_ptr<Surface> copy;

    const uint32_t* At(int x, int y) const { return surface->Row(y - offsetY) + (x - offsetX); }
};

SourceView ViewOf(const Surface& s, const Surface* d, const RECT& area)
{
    SourceView v;
    if (&s != d) {
        v.surface = &s;
        return v;
    }
    int w = area.right - area.left, h = area.bottom - area.top;
    v.copy = std::make_unique<Surface>(w, h, s.GetFormat());
    for (int y = 0; y < h; ++y)
        std::memcpy(v.copy->Row(y), s.Row(area.top + y) + area.left, static_cast<size_t>(w) * 4);
    v.surface = v.copy.get();
    v.offsetX = area.left;
    v.offsetY = area.top;
    return v;
}

// The destination area (surface coordinates) a transfer of cx x cy at logical (x, y) may touch.
RECT DestArea(const DeviceContext& dc, int x, int y, int cx, int cy)
{
    POINT p = dc.ToSurface(x, y);
    return RECT{p.x, p.y, p.x + cx, p.y + cy};
}

BOOL Transfer(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, HBITMAP hbmMask, int xMask, int yMask,
              uint8_t fore, uint8_t back)
{
    auto dst = LookupDC(hdc);
    if (!dst || !dst->Target())
        return FALSE;
    bool masked = hbmMask != nullptr && fore != back;
    bool needSource = RopUsesSource(fore) || (masked && RopUsesSource(back));
    bool needPattern = RopUsesPattern(fore) || (masked && RopUsesPattern(back));
    std::shared_ptr<DeviceContext> src;
    std::shared_ptr<Surface> srcSurface;
    if (needSource) {
        src = LookupDC(hdcSrc);
        if (!src || !(srcSurface = src->TargetShared()))
            return FALSE;
    }
    std::shared_ptr<BitmapObject> mask;
    if (masked) {
        mask = LookupBitmap(hbmMask);
        if (!mask || !mask->surface->Monochrome())
            return FALSE;
    }
    if (cx <= 0 || cy <= 0)
        return TRUE;
    std::shared_ptr<Surface> keepTarget = dst->TargetShared();
    Surface& d = *keepTarget;
    uint32_t pattern = 0;
    if (needPattern) {
        auto p = dst->BrushPixel(dst->state.brush.get());
        if (!p)
            return TRUE; // a hollow brush paints nothing
        pattern = *p;
    }

    RECT area = DestArea(*dst, x, y, cx, cy);
    // Where the source pixel of destination (X, Y) is: (X + shift.x, Y + shift.y).
    POINT shift{0, 0};
    if (needSource) {
        POINT sp = src->ToSurface(x1, y1);
        shift = POINT{sp.x - area.left, sp.y - area.top};
        area = RectIntersection(
            area, RECT{-shift.x, -shift.y, srcSurface->Width() - shift.x, srcSurface->Height() - shift.y});
    }
    POINT maskShift{0, 0};
    if (masked) {
        RECT whole = DestArea(*dst, x, y, cx, cy);
        maskShift = POINT{xMask - whole.left, yMask - whole.top};
        area = RectIntersection(area, RECT{-maskShift.x, -maskShift.y, mask->surface->Width() - maskShift.x,
                                           mask->surface->Height() - maskShift.y});
    }
    if (RectEmpty(area))
        return TRUE;

    Conversion convert;
    SourceView view;
    if (needSource) {
        convert = Conversion::Between(*dst, d, *src, *srcSurface);
        RECT srcArea{area.left + shift.x, area.top + shift.y, area.right + shift.x, area.bottom + shift.y};
        view = ViewOf(*srcSurface, &d, srcArea);
    }
    uint32_t opaque = d.OpaqueMask();
    std::vector<uint32_t> scratch;
    for (const RECT& clip : dst->ClipRects()) {
        RECT r = RectIntersection(area, clip);
        if (RectEmpty(r))
            continue;
        int count = r.right - r.left;
        for (int row = r.top; row < r.bottom; ++row) {
            uint32_t* out = d.Row(row) + r.left;
            const uint32_t* in =
                needSource ? convert.Row(view.At(r.left + shift.x, row + shift.y), count, scratch) : nullptr;
            if (!masked) {
                RopRow(fore, out, in, pattern, count, opaque);
                continue;
            }
            const uint32_t* m = mask->surface->Row(row + maskShift.y) + r.left + maskShift.x;
            if (fore == 0xAA && back == 0xCC) {
                // The transparent blit: mask 1 keeps the destination, mask 0 takes the source.
                for (int i = 0; i < count; ++i)
                    if (!m[i])
                        out[i] = in[i] | opaque;
                continue;
            }
            for (int i = 0; i < count; ++i)
                out[i] = RopApply(m[i] ? fore : back, pattern, in ? in[i] : 0u, out[i]) | opaque;
        }
    }
    return TRUE;
}

} // namespace

} // namespace yonda::gdi

using namespace yonda::gdi;

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    uint8_t index = RopIndex(rop);
    return Transfer(hdc, x, y, cx, cy, hdcSrc, x1, y1, nullptr, 0, 0, index, index);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    uint8_t index = RopIndex(rop);
    if (RopUsesSource(index))
        return FALSE;
    // A negative extent reaches back from the point, as a rectangle given by its corners.
    RECT r = RectFromCorners(x, y, x + w, y + h);
    return Transfer(hdc, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, 0, 0, nullptr, 0, 0, index, index);
}

BOOL MaskBlt(HDC hdcDest, int xDest, int yDest, int width, int height, HDC hdcSrc, int xSrc, int ySrc, HBITMAP hbmMask,
             int xMask, int yMask, DWORD rop)
{
    // Mask 1 takes the foreground operation (low code), mask 0 the background one (high byte).
    uint8_t fore = RopIndex(rop);
    uint8_t back = static_cast<uint8_t>((rop >> 24) & 0xFF);
    if (!hbmMask)
        return Transfer(hdcDest, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, nullptr, 0, 0, fore, fore);
    return Transfer(hdcDest, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, hbmMask, xMask, yMask, fore, back);
}

namespace {

// For each destination index 0..dn-1, the source range [first, last) it samples; a mirrored
// transfer reads the source from its far end.
void SampleRanges(int sn, int dn, bool mirror, std::vector<int>& first, std::vector<int>& last)
{
    first.resize(static_cast<size_t>(dn));
    last.resize(static_cast<size_t>(dn));
    for (int i = 0; i < dn; ++i) {
        int j = mirror ? dn - 1 - i : i;
        int a = static_cast<int>(static_cast<int64_t>(j) * sn / dn);
        int b = static_cast<int>(static_cast<int64_t>(j + 1) * sn / dn);
        first[i] = a;
        last[i] = std::max(b, a + 1);
    }
}

} // namespace

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop)
{
    uint8_t index = RopIndex(rop);
    if (wDest == wSrc && hDest == hSrc && wDest > 0 && hDest > 0)
        return BitBlt(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, rop);
    if (!RopUsesSource(index))
        return PatBlt(hdcDest, xDest, yDest, wDest, hDest, rop);
    auto dst = LookupDC(hdcDest);
    auto src = LookupDC(hdcSrc);
    if (!dst || !src || !dst->Target() || !src->Target())
        return FALSE;
    if (wDest == 0 || hDest == 0 || wSrc == 0 || hSrc == 0)
        return TRUE;
    bool mirrorX = (wDest < 0) != (wSrc < 0);
    bool mirrorY = (hDest < 0) != (hSrc < 0);
    if (wDest < 0) {
        xDest += wDest;
        wDest = -wDest;
    }
    if (hDest < 0) {
        yDest += hDest;
        hDest = -hDest;
    }
    if (wSrc < 0) {
        xSrc += wSrc;
        wSrc = -wSrc;
    }
    if (hSrc < 0) {
        ySrc += hSrc;
        hSrc = -hSrc;
    }

    std::shared_ptr<Surface> keepD = dst->TargetShared();
    std::shared_ptr<Surface> keepS = src->TargetShared();
    Surface& d = *keepD;
    uint32_t pattern = 0;
    if (RopUsesPattern(index)) {
        auto p = dst->BrushPixel(dst->state.brush.get());
        if (!p)
            return TRUE;
        pattern = *p;
    }
    RECT area = DestArea(*dst, xDest, yDest, wDest, hDest);
    POINT sp = src->ToSurface(xSrc, ySrc);
    RECT srcArea =
        RectIntersection(RECT{sp.x, sp.y, sp.x + wSrc, sp.y + hSrc}, RECT{0, 0, keepS->Width(), keepS->Height()});
    if (RectEmpty(srcArea))
        return TRUE;
    SourceView view = ViewOf(*keepS, &d, srcArea);

    std::vector<int> colFirst, colLast, rowFirst, rowLast;
    SampleRanges(wSrc, wDest, mirrorX, colFirst, colLast);
    SampleRanges(hSrc, hDest, mirrorY, rowFirst, rowLast);
    // Shrinking drops pixels: the default mode ANDs them into the kept one (black wins), the
    // white-on-black mode ORs them; the colour modes just drop them.
    int mode = dst->state.stretchMode;
    bool combine = mode == BLACKONWHITE || mode == WHITEONBLACK;
    bool useAnd = mode == BLACKONWHITE;
    Conversion convert = Conversion::Between(*dst, d, *src, *keepS);
    uint32_t opaque = d.OpaqueMask();

    auto sample = [&](int col, int row) -> std::optional<uint32_t> {
        int c0 = std::max(sp.x + colFirst[col], static_cast<int>(srcArea.left));
        int c1 = std::min(sp.x + (combine ? colLast[col] : colFirst[col] + 1), static_cast<int>(srcArea.right));
        int r0 = std::max(sp.y + rowFirst[row], static_cast<int>(srcArea.top));
        int r1 = std::min(sp.y + (combine ? rowLast[row] : rowFirst[row] + 1), static_cast<int>(srcArea.bottom));
        if (c0 >= c1 || r0 >= r1)
            return std::nullopt;
        uint32_t acc = useAnd ? 0xFFFFFFFFu : 0u;
        for (int r = r0; r < r1; ++r) {
            const uint32_t* p = view.At(c0, r);
            for (int c = 0; c < c1 - c0; ++c)
                acc = useAnd ? (acc & p[c]) : (acc | p[c]);
        }
        return acc;
    };

    for (const RECT& clip : dst->ClipRects()) {
        RECT r = RectIntersection(area, clip);
        if (RectEmpty(r))
            continue;
        for (int y = r.top; y < r.bottom; ++y) {
            uint32_t* out = d.Row(y);
            for (int x = r.left; x < r.right; ++x) {
                auto s = sample(x - area.left, y - area.top);
                if (!s)
                    continue;
                out[x] = RopApply(index, pattern, convert(*s), out[x]) | opaque;
            }
        }
    }
    return TRUE;
}
