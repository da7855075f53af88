// Device contexts: creation, deletion, the state stack, coordinates and device capabilities.
#include "DeviceContext.h"

#include "RectList.h"

namespace yonda::gdi {

namespace {

template <class T>
void Swap(HGDIOBJ& handleSlot, std::shared_ptr<T>& slot, HGDIOBJ handle, std::shared_ptr<T> next)
{
    if (next)
        next->selected.fetch_add(1);
    if (slot)
        slot->selected.fetch_sub(1);
    slot = std::move(next);
    handleSlot = handle;
}

} // namespace

DeviceContext::~DeviceContext()
{
    ReleaseSelections();
}

Surface* DeviceContext::Target() const
{
    return TargetShared().get();
}

std::shared_ptr<Surface> DeviceContext::TargetShared() const
{
    if (!memory)
        return fixedSurface;
    return state.bitmap ? state.bitmap->surface : nullptr;
}

std::vector<RECT> DeviceContext::VisibleDeviceRects() const
{
    const Surface* s = Target();
    if (!s)
        return {};
    RectList area = memory ? RectList{RECT{0, 0, s->Width(), s->Height()}}
                           : RectListIntersect(visible, RECT{0, 0, s->Width(), s->Height()});
    RectListOffset(area, -surfaceOrigin.x, -surfaceOrigin.y);
    return area;
}

std::vector<RECT> DeviceContext::ClipRects() const
{
    RectList area = VisibleDeviceRects();
    if (state.clip)
        area = RectListIntersect(area, *state.clip);
    RectListOffset(area, surfaceOrigin.x, surfaceOrigin.y);
    return area;
}

void DeviceContext::SelectBrush(HGDIOBJ handle, std::shared_ptr<BrushObject> brush)
{
    Swap(state.brushHandle, state.brush, handle, std::move(brush));
}
void DeviceContext::SelectPen(HGDIOBJ handle, std::shared_ptr<PenObject> pen)
{
    Swap(state.penHandle, state.pen, handle, std::move(pen));
}
void DeviceContext::SelectFont(HGDIOBJ handle, std::shared_ptr<FontObject> font)
{
    Swap(state.fontHandle, state.font, handle, std::move(font));
}
void DeviceContext::SelectBitmap(HGDIOBJ handle, std::shared_ptr<BitmapObject> bitmap)
{
    Swap(state.bitmapHandle, state.bitmap, handle, std::move(bitmap));
}

void DeviceContext::ReplaceState(DcState next)
{
    DcState old = state;
    // Count the incoming selections before dropping the outgoing ones so that an object kept
    // across the restore never looks unselected.
    if (next.brush)
        next.brush->selected.fetch_add(1);
    if (next.pen)
        next.pen->selected.fetch_add(1);
    if (next.font)
        next.font->selected.fetch_add(1);
    if (next.bitmap)
        next.bitmap->selected.fetch_add(1);
    if (next.palette)
        next.palette->selected.fetch_add(1);
    if (old.brush)
        old.brush->selected.fetch_sub(1);
    if (old.pen)
        old.pen->selected.fetch_sub(1);
    if (old.font)
        old.font->selected.fetch_sub(1);
    if (old.bitmap)
        old.bitmap->selected.fetch_sub(1);
    if (old.palette)
        old.palette->selected.fetch_sub(1);
    state = std::move(next);
}

void DeviceContext::ReleaseSelections()
{
    SelectBrush(nullptr, nullptr);
    SelectPen(nullptr, nullptr);
    SelectFont(nullptr, nullptr);
    SelectBitmap(nullptr, nullptr);
    Swap(state.paletteHandle, state.palette, nullptr, std::shared_ptr<PaletteObject>());
}

std::optional<uint32_t> DeviceContext::BrushPixel(const BrushObject* brush) const
{
    const Surface* s = Target();
    if (!brush || brush->IsNull() || !s)
        return std::nullopt;
    COLORREF c = brush->dcBrush ? state.dcBrushColor : brush->log.lbColor;
    return PixelFor(*s, c);
}

std::shared_ptr<DeviceContext> LookupDC(HDC hdc)
{
    return Lookup<DeviceContext>(reinterpret_cast<HGDIOBJ>(hdc), ObjectKind::DC);
}

namespace {

// A new DC's state: the stock white brush, black pen and system font.
void InitDefaults(DeviceContext& dc)
{
    HGDIOBJ brush = GetStockObject(WHITE_BRUSH);
    HGDIOBJ pen = GetStockObject(BLACK_PEN);
    HGDIOBJ font = GetStockObject(SYSTEM_FONT);
    dc.SelectBrush(brush, LookupBrush(brush));
    dc.SelectPen(pen, LookupPen(pen));
    dc.SelectFont(font, LookupFont(font));
}

} // namespace

HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const RECT& clip)
{
    if (!surface)
        return nullptr;
    auto dc = std::make_shared<DeviceContext>();
    dc->fixedSurface = std::move(surface);
    dc->surfaceOrigin = origin;
    dc->visible = {clip};
    InitDefaults(*dc);
    return reinterpret_cast<HDC>(RegisterObject(dc));
}

BOOL SetSurfaceDCVisibleRects(HDC hdc, const std::vector<RECT>& visible)
{
    auto dc = LookupDC(hdc);
    if (!dc || dc->memory)
        return FALSE;
    dc->visible = visible;
    return TRUE;
}

std::shared_ptr<Surface> GetDCSurface(HDC hdc)
{
    auto dc = LookupDC(hdc);
    return dc ? dc->TargetShared() : nullptr;
}

std::shared_ptr<Surface> GetBitmapSurface(HBITMAP bitmap)
{
    auto b = LookupBitmap(bitmap);
    return b ? b->surface : nullptr;
}

} // namespace yonda::gdi

using namespace yonda::gdi;

HDC CreateCompatibleDC(HDC hdc)
{
    if (hdc && !LookupDC(hdc))
        return nullptr;
    auto dc = std::make_shared<DeviceContext>();
    dc->memory = true;
    InitDefaults(*dc);
    HGDIOBJ bitmap = DefaultBitmap();
    dc->SelectBitmap(bitmap, LookupBitmap(bitmap));
    return reinterpret_cast<HDC>(RegisterObject(dc));
}

BOOL DeleteDC(HDC hdc)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return FALSE;
    dc->ReleaseSelections();
    dc->saved.clear();
    return UnregisterObject(reinterpret_cast<HGDIOBJ>(hdc)) ? TRUE : FALSE;
}

int SaveDC(HDC hdc)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return FALSE;
    int count = static_cast<int>(dc->saved.size());
    // Negative: relative to the newest save (-1 the newest); positive: that save's number.
    int index = nSavedDC < 0 ? count + nSavedDC : nSavedDC - 1;
    if (nSavedDC == 0 || index < 0 || index >= count)
        return FALSE;
    DcState next = dc->saved[index];
    dc->saved.resize(index);
    dc->ReplaceState(std::move(next));
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return 0;
    const Surface* s = dc->Target();
    switch (index) {
    case DRIVERVERSION: return 0x400;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES: return s ? s->Width() : 0;
    case VERTRES: return s ? s->Height() : 0;
    case DESKTOPHORZRES: return s ? s->Width() : 0;
    case DESKTOPVERTRES: return s ? s->Height() : 0;
    case HORZSIZE: return s ? s->Width() * 254 / 960 : 0;
    case VERTSIZE: return s ? s->Height() * 254 / 960 : 0;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES: return -1;
    case NUMPENS: return -1;
    case NUMFONTS: return 0;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;
    case ASPECTX: return 36;
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX: return 96;
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 0;
    case COLORRES: return 24;
    case VREFRESH: return 60;
    case CLIPCAPS: return 1;
    default: return 0;
    }
}

BOOL GdiFlush()
{
    return TRUE;
}

namespace {

BOOL SetPoint(HDC hdc, POINT DcState::*field, int x, int y, LPPOINT old, bool relative)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return FALSE;
    POINT& p = dc->state.*field;
    if (old)
        *old = p;
    if (relative) {
        p.x += x;
        p.y += y;
    } else {
        p = POINT{x, y};
    }
    return TRUE;
}

BOOL GetPoint(HDC hdc, POINT DcState::*field, LPPOINT out)
{
    auto dc = LookupDC(hdc);
    if (!dc || !out)
        return FALSE;
    *out = dc->state.*field;
    return TRUE;
}

} // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, false);
}
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, true);
}
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppoint)
{
    return GetPoint(hdc, &DcState::windowOrg, lppoint);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, false);
}
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, true);
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint)
{
    return GetPoint(hdc, &DcState::viewportOrg, lppoint);
}

BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c)
{
    auto dc = LookupDC(hdc);
    if (!dc || (c > 0 && !lppt))
        return FALSE;
    for (int i = 0; i < c; ++i)
        lppt[i] = dc->ToDevice(lppt[i].x, lppt[i].y);
    return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c)
{
    auto dc = LookupDC(hdc);
    if (!dc || (c > 0 && !lppt))
        return FALSE;
    for (int i = 0; i < c; ++i) {
        lppt[i].x += dc->state.windowOrg.x - dc->state.viewportOrg.x;
        lppt[i].y += dc->state.windowOrg.y - dc->state.viewportOrg.y;
    }
    return TRUE;
}

int SetMapMode(HDC hdc, int iMode)
{
    auto dc = LookupDC(hdc);
    if (!dc || iMode != MM_TEXT)
        return 0;
    int old = dc->state.mapMode;
    dc->state.mapMode = iMode;
    return old;
}

int GetMapMode(HDC hdc)
{
    auto dc = LookupDC(hdc);
    return dc ? dc->state.mapMode : 0;
}

namespace {

template <class T>
T SetField(HDC hdc, T DcState::*field, T value, T failure)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return failure;
    T old = dc->state.*field;
    dc->state.*field = value;
    return old;
}

template <class T>
T GetField(HDC hdc, T DcState::*field, T failure)
{
    auto dc = LookupDC(hdc);
    return dc ? dc->state.*field : failure;
}

} // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color)
{
    return SetField(hdc, &DcState::textColor, color & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetTextColor(HDC hdc)
{
    return GetField(hdc, &DcState::textColor, CLR_INVALID);
}
COLORREF SetBkColor(HDC hdc, COLORREF color)
{
    return SetField(hdc, &DcState::bkColor, color & 0xFFFFFFu, CLR_INVALID);
}
COLORREF GetBkColor(HDC hdc)
{
    return GetField(hdc, &DcState::bkColor, CLR_INVALID);
}
COLORREF SetDCBrushColor(HDC hdc, COLORREF color)
{
    return SetField(hdc, &DcState::dcBrushColor, color & 0xFFFFFFu, CLR_INVALID);
}
COLORREF SetDCPenColor(HDC hdc, COLORREF color)
{
    return SetField(hdc, &DcState::dcPenColor, color & 0xFFFFFFu, CLR_INVALID);
}
UINT GetTextAlign(HDC hdc)
{
    return GetField(hdc, &DcState::textAlign, GDI_ERROR);
}
int GetBkMode(HDC hdc)
{
    return GetField(hdc, &DcState::bkMode, 0);
}
int GetStretchBltMode(HDC hdc)
{
    return GetField(hdc, &DcState::stretchMode, 0);
}
int GetROP2(HDC hdc)
{
    return GetField(hdc, &DcState::rop2, 0);
}

UINT SetTextAlign(HDC hdc, UINT align)
{
    return SetField(hdc, &DcState::textAlign, align, GDI_ERROR);
}

int SetBkMode(HDC hdc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return SetField(hdc, &DcState::bkMode, mode, 0);
}

int SetStretchBltMode(HDC hdc, int mode)
{
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    return SetField(hdc, &DcState::stretchMode, mode, 0);
}

int SetROP2(HDC hdc, int rop2)
{
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        return 0;
    return SetField(hdc, &DcState::rop2, rop2, 0);
}
