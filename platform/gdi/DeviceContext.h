// A device context: its target surface, its drawing state and the stack SaveDC pushes it on.
// Coordinates: logical (what callers pass) - window origin + viewport origin = device, and
// device + the DC's surface origin = surface.
#pragma once

#include "GdiObject.h"

#include <optional>

namespace yonda::gdi {

struct DcState {
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    // The selected clip region in device coordinates; none = no clip region.
    std::optional<std::vector<RECT>> clip;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    int stretchMode = BLACKONWHITE;
    int rop2 = R2_COPYPEN;
    int mapMode = MM_TEXT;
    POINT currentPos{0, 0};
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);

    HGDIOBJ brushHandle = nullptr;
    HGDIOBJ penHandle = nullptr;
    HGDIOBJ fontHandle = nullptr;
    HGDIOBJ bitmapHandle = nullptr; // memory DCs only
    HGDIOBJ paletteHandle = nullptr;
    std::shared_ptr<BrushObject> brush;
    std::shared_ptr<PenObject> pen;
    std::shared_ptr<FontObject> font;
    std::shared_ptr<BitmapObject> bitmap;
    std::shared_ptr<PaletteObject> palette;
};

class DeviceContext : public GdiObject {
public:
    DeviceContext() : GdiObject(ObjectKind::DC) {}
    ~DeviceContext() override;

    bool memory = false;
    // Surface DCs: their fixed target, origin and visible rectangles (surface coordinates).
    std::shared_ptr<Surface> fixedSurface;
    POINT surfaceOrigin{0, 0};
    std::vector<RECT> visible;

    DcState state;
    std::vector<DcState> saved;

    // The surface drawn into now (a memory DC's selected bitmap), never null for a live DC.
    Surface* Target() const;
    std::shared_ptr<Surface> TargetShared() const;

    POINT ToDevice(int x, int y) const
    {
        return {x - state.windowOrg.x + state.viewportOrg.x, y - state.windowOrg.y + state.viewportOrg.y};
    }
    POINT ToSurface(int x, int y) const
    {
        POINT d = ToDevice(x, y);
        return {d.x + surfaceOrigin.x, d.y + surfaceOrigin.y};
    }
    // The rectangles that may be drawn (surface coordinates): visible area, clip region and the
    // surface's bounds together.
    std::vector<RECT> ClipRects() const;
    // The visible area before any clip region, in device coordinates.
    std::vector<RECT> VisibleDeviceRects() const;

    // Selects into the current state, keeping the selection counts right.
    void SelectBrush(HGDIOBJ handle, std::shared_ptr<BrushObject> brush);
    void SelectPen(HGDIOBJ handle, std::shared_ptr<PenObject> pen);
    void SelectFont(HGDIOBJ handle, std::shared_ptr<FontObject> font);
    void SelectBitmap(HGDIOBJ handle, std::shared_ptr<BitmapObject> bitmap);
    // Replaces the whole state (RestoreDC), moving the selection counts to the new objects.
    void ReplaceState(DcState next);
    // Drops every selection (DeleteDC).
    void ReleaseSelections();

    // The selected brush's colour as a pattern pixel of the target; nullopt for a null brush.
    std::optional<uint32_t> BrushPixel(const BrushObject* brush) const;
};

std::shared_ptr<DeviceContext> LookupDC(HDC hdc);

} // namespace yonda::gdi
