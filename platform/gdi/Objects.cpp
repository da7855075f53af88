// Object handles: stock objects, selection into DCs, deletion and GetObject, brushes, pens and
// palettes.
#include "DeviceContext.h"
#include "StockFonts.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

namespace yonda::gdi {

namespace {

std::shared_ptr<GdiObject> MakeStock(int index)
{
    auto brush = [](COLORREF color, UINT style) {
        auto b = std::make_shared<BrushObject>();
        b->log = LOGBRUSH{style, color, 0};
        return b;
    };
    auto pen = [](COLORREF color, UINT style) {
        auto p = std::make_shared<PenObject>();
        p->log = LOGPEN{style, POINT{1, 0}, color};
        return p;
    };
    std::shared_ptr<GdiObject> object;
    switch (index) {
    case WHITE_BRUSH: object = brush(RGB(255, 255, 255), BS_SOLID); break;
    case LTGRAY_BRUSH: object = brush(RGB(192, 192, 192), BS_SOLID); break;
    case GRAY_BRUSH: object = brush(RGB(128, 128, 128), BS_SOLID); break;
    case DKGRAY_BRUSH: object = brush(RGB(64, 64, 64), BS_SOLID); break;
    case BLACK_BRUSH: object = brush(RGB(0, 0, 0), BS_SOLID); break;
    case NULL_BRUSH: object = brush(0, BS_NULL); break;
    case DC_BRUSH: {
        auto b = brush(RGB(255, 255, 255), BS_SOLID);
        b->dcBrush = true;
        object = b;
        break;
    }
    case WHITE_PEN: object = pen(RGB(255, 255, 255), PS_SOLID); break;
    case BLACK_PEN: object = pen(RGB(0, 0, 0), PS_SOLID); break;
    case NULL_PEN: object = pen(0, PS_NULL); break;
    case DC_PEN: {
        auto p = pen(RGB(0, 0, 0), PS_SOLID);
        p->dcPen = true;
        object = p;
        break;
    }
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT: {
        auto f = std::make_shared<FontObject>();
        f->log = StockFontLog(index);
        object = f;
        break;
    }
    case DEFAULT_PALETTE: {
        auto p = std::make_shared<PaletteObject>();
        p->entries = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        object = p;
        break;
    }
    default: return nullptr;
    }
    object->stock = true;
    return object;
}

constexpr int kStockCount = DC_PEN + 2; // the last slot holds the default bitmap

HGDIOBJ StockHandle(int index)
{
    static std::mutex mutex;
    static std::array<HGDIOBJ, kStockCount> handles{};
    std::lock_guard lock(mutex);
    if (!handles[index]) {
        std::shared_ptr<GdiObject> object;
        if (index == kStockCount - 1) {
            auto bitmap = std::make_shared<BitmapObject>();
            bitmap->surface = std::make_shared<Surface>(1, 1, Surface::Format::Mono1);
            bitmap->stock = true;
            object = bitmap;
        } else {
            object = MakeStock(index);
        }
        if (object)
            handles[index] = RegisterObject(object);
    }
    return handles[index];
}

} // namespace

HBITMAP DefaultBitmap()
{
    return reinterpret_cast<HBITMAP>(StockHandle(kStockCount - 1));
}

} // namespace yonda::gdi

using namespace yonda::gdi;

HGDIOBJ GetStockObject(int i)
{
    if (i < 0 || i > DC_PEN)
        return nullptr;
    return StockHandle(i);
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    auto dc = LookupDC(hdc);
    auto object = LookupObject(h);
    if (!dc || !object)
        return nullptr;
    HGDIOBJ old = nullptr;
    switch (object->kind) {
    case ObjectKind::Brush:
        old = dc->state.brushHandle;
        dc->SelectBrush(h, std::static_pointer_cast<BrushObject>(object));
        return old;
    case ObjectKind::Pen:
        old = dc->state.penHandle;
        dc->SelectPen(h, std::static_pointer_cast<PenObject>(object));
        return old;
    case ObjectKind::Font:
        old = dc->state.fontHandle;
        dc->SelectFont(h, std::static_pointer_cast<FontObject>(object));
        return old;
    case ObjectKind::Bitmap: {
        auto bitmap = std::static_pointer_cast<BitmapObject>(object);
        if (!dc->memory)
            return nullptr;
        if (dc->state.bitmap == bitmap)
            return h;
        // A bitmap lives in one memory DC at a time.
        if (!bitmap->stock && bitmap->selected.load() > 0)
            return nullptr;
        old = dc->state.bitmapHandle;
        dc->SelectBitmap(h, bitmap);
        return old;
    }
    case ObjectKind::Region:
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(hdc, reinterpret_cast<HRGN>(h))));
    default: return nullptr;
    }
}

BOOL DeleteObject(HGDIOBJ ho)
{
    auto object = LookupObject(ho);
    if (!object || object->kind == ObjectKind::DC)
        return FALSE;
    return UnregisterObject(ho) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ h)
{
    auto object = LookupObject(h);
    if (!object)
        return 0;
    if (object->kind == ObjectKind::DC)
        return std::static_pointer_cast<DeviceContext>(object)->memory ? OBJ_MEMDC : OBJ_DC;
    return static_cast<DWORD>(object->kind);
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_BRUSH: return dc->state.brushHandle;
    case OBJ_PEN: return dc->state.penHandle;
    case OBJ_FONT: return dc->state.fontHandle;
    case OBJ_BITMAP: return dc->state.bitmapHandle;
    case OBJ_PAL: return dc->state.paletteHandle ? dc->state.paletteHandle : GetStockObject(DEFAULT_PALETTE);
    default: return nullptr;
    }
}

namespace {

template <class T>
int CopyOut(const T& value, int c, LPVOID pv)
{
    if (!pv)
        return static_cast<int>(sizeof(T));
    if (c <= 0)
        return 0;
    int n = std::min(c, static_cast<int>(sizeof(T)));
    std::memcpy(pv, &value, static_cast<size_t>(n));
    return n;
}

} // namespace

int GetObjectA(HGDIOBJ h, int c, LPVOID pv)
{
    auto object = LookupObject(h);
    if (!object)
        return 0;
    switch (object->kind) {
    case ObjectKind::Bitmap: {
        auto b = std::static_pointer_cast<BitmapObject>(object);
        const Surface& s = *b->surface;
        BITMAP bm{};
        bm.bmType = 0;
        bm.bmWidth = s.Width();
        bm.bmHeight = s.Height();
        bm.bmPlanes = 1;
        bm.bmBitsPixel = s.Monochrome() ? 1 : 32;
        // Device bitmaps have rows padded to 16 bits, DIB sections to 32 bits.
        int bits = s.Width() * bm.bmBitsPixel;
        bm.bmWidthBytes = b->dibBits ? ((bits + 31) / 32) * 4 : ((bits + 15) / 16) * 2;
        bm.bmBits = b->dibBits;
        if (b->dibBits && (!pv || c >= static_cast<int>(sizeof(DIBSECTION)))) {
            DIBSECTION ds{};
            ds.dsBm = bm;
            ds.dsBmih = b->dibHeader;
            return CopyOut(ds, c, pv);
        }
        return CopyOut(bm, c, pv);
    }
    case ObjectKind::Brush: return CopyOut(std::static_pointer_cast<BrushObject>(object)->log, c, pv);
    case ObjectKind::Pen: return CopyOut(std::static_pointer_cast<PenObject>(object)->log, c, pv);
    case ObjectKind::Font: return CopyOut(std::static_pointer_cast<FontObject>(object)->log, c, pv);
    case ObjectKind::Palette: {
        WORD count = static_cast<WORD>(std::static_pointer_cast<PaletteObject>(object)->entries.size());
        return CopyOut(count, c, pv);
    }
    default: return 0;
    }
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    LOGBRUSH log{BS_SOLID, color & 0xFFFFFFu, 0};
    return CreateBrushIndirect(&log);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush)
{
    if (!plbrush)
        return nullptr;
    auto brush = std::make_shared<BrushObject>();
    brush->log = *plbrush;
    // Only solid and hollow brushes are drawn; any other style paints solid in its colour.
    if (brush->log.lbStyle != BS_NULL)
        brush->log.lbStyle = BS_SOLID;
    brush->log.lbColor &= 0xFFFFFFu;
    return reinterpret_cast<HBRUSH>(RegisterObject(brush));
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color)
{
    LOGPEN log{static_cast<UINT>(iStyle), POINT{cWidth, 0}, color & 0xFFFFFFu};
    return CreatePenIndirect(&log);
}

HPEN CreatePenIndirect(const LOGPEN* plpen)
{
    if (!plpen || plpen->lopnStyle > PS_INSIDEFRAME)
        return nullptr;
    auto pen = std::make_shared<PenObject>();
    pen->log = *plpen;
    if (pen->log.lopnWidth.x < 1)
        pen->log.lopnWidth.x = 1;
    return reinterpret_cast<HPEN>(RegisterObject(pen));
}

HPALETTE CreatePalette(const LOGPALETTE* plpal)
{
    if (!plpal || plpal->palNumEntries == 0 || plpal->palNumEntries > 256)
        return nullptr;
    auto palette = std::make_shared<PaletteObject>();
    palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return reinterpret_cast<HPALETTE>(RegisterObject(palette));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL)
{
    auto dc = LookupDC(hdc);
    auto palette = LookupPalette(hPal);
    if (!dc || !palette)
        return nullptr;
    HGDIOBJ old = dc->state.paletteHandle ? dc->state.paletteHandle : GetStockObject(DEFAULT_PALETTE);
    palette->selected.fetch_add(1);
    if (dc->state.palette)
        dc->state.palette->selected.fetch_sub(1);
    dc->state.palette = palette;
    dc->state.paletteHandle = hPal;
    return reinterpret_cast<HPALETTE>(old);
}

// True colour: there is nothing to realise.
UINT RealizePalette(HDC hdc)
{
    return LookupDC(hdc) ? 0 : GDI_ERROR;
}
