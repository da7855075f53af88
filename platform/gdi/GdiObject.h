// GDI objects behind checked handles. A handle is a number that is never reused, so a stale or
// forged handle finds nothing and the call fails as the platform's does, instead of crashing.
#pragma once

#include <wingdi.h>

#include "Surface.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace yonda::gdi {

enum class ObjectKind : DWORD {
    Pen = OBJ_PEN,
    Brush = OBJ_BRUSH,
    DC = OBJ_DC,
    Palette = OBJ_PAL,
    Font = OBJ_FONT,
    Bitmap = OBJ_BITMAP,
    Region = OBJ_REGION,
};

struct GdiObject {
    explicit GdiObject(ObjectKind k) : kind(k) {}
    virtual ~GdiObject() = default;
    const ObjectKind kind;
    bool stock = false;
    // How many device contexts have it selected now; a selected object cannot be deleted.
    std::atomic<int> selected{0};
};

struct BitmapObject : GdiObject {
    BitmapObject() : GdiObject(ObjectKind::Bitmap) {}
    std::shared_ptr<Surface> surface;
    // A DIB section's description (bits shared with the caller); dibBits null otherwise.
    void* dibBits = nullptr;
    BITMAPINFOHEADER dibHeader{};
    std::vector<uint32_t> dibStorage;
};

struct BrushObject : GdiObject {
    BrushObject() : GdiObject(ObjectKind::Brush) {}
    LOGBRUSH log{};
    bool dcBrush = false; // DC_BRUSH: the DC's brush colour
    bool IsNull() const { return log.lbStyle == BS_NULL; }
};

struct PenObject : GdiObject {
    PenObject() : GdiObject(ObjectKind::Pen) {}
    LOGPEN log{};
    bool dcPen = false;
    bool IsNull() const { return log.lopnStyle == PS_NULL; }
};

struct PaletteObject : GdiObject {
    PaletteObject() : GdiObject(ObjectKind::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

// A logical font; the text code realizes it (cached by its description) when it draws.
struct FontObject : GdiObject {
    FontObject() : GdiObject(ObjectKind::Font) {}
    LOGFONTA log{};
};

// A region as disjoint rectangles (empty when it covers nothing).
struct RegionObject : GdiObject {
    RegionObject() : GdiObject(ObjectKind::Region) {}
    std::vector<RECT> rects;
};

// Registers an object and gives it a fresh handle.
HGDIOBJ RegisterObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> LookupObject(HGDIOBJ handle);
template <class T>
std::shared_ptr<T> Lookup(HGDIOBJ handle, ObjectKind kind)
{
    auto object = LookupObject(handle);
    if (!object || object->kind != kind)
        return nullptr;
    return std::static_pointer_cast<T>(object);
}
inline std::shared_ptr<BitmapObject> LookupBitmap(HGDIOBJ h)
{
    return Lookup<BitmapObject>(h, ObjectKind::Bitmap);
}
inline std::shared_ptr<BrushObject> LookupBrush(HGDIOBJ h)
{
    return Lookup<BrushObject>(h, ObjectKind::Brush);
}
inline std::shared_ptr<PenObject> LookupPen(HGDIOBJ h)
{
    return Lookup<PenObject>(h, ObjectKind::Pen);
}
inline std::shared_ptr<FontObject> LookupFont(HGDIOBJ h)
{
    return Lookup<FontObject>(h, ObjectKind::Font);
}
inline std::shared_ptr<RegionObject> LookupRegion(HGDIOBJ h)
{
    return Lookup<RegionObject>(h, ObjectKind::Region);
}
inline std::shared_ptr<PaletteObject> LookupPalette(HGDIOBJ h)
{
    return Lookup<PaletteObject>(h, ObjectKind::Palette);
}
// Removes the handle; fails (false) for unknown handles and for objects selected into a DC.
// Stock objects stay and answer true.
bool UnregisterObject(HGDIOBJ handle);

// The 1x1 monochrome bitmap every new memory DC starts with.
HBITMAP DefaultBitmap();

// Colour to a monochrome pixel: the nearer of black and white by the distance between colours,
// which puts white past the middle of the sum of the three channels.
inline uint32_t MonoFromColor(COLORREF c)
{
    unsigned sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
    return 2 * sum > 3 * 255u ? 0xFFFFFFFFu : 0u;
}
// A colour as a pixel of the given surface (a GDI colour has nothing in the fourth byte).
inline uint32_t PixelFor(const Surface& s, COLORREF c)
{
    return s.Monochrome() ? MonoFromColor(c) : (PixelFromColor(c) & 0x00FFFFFFu) | s.OpaqueMask();
}

} // namespace yonda::gdi
