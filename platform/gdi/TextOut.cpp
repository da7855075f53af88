// Text through a DC: fonts, metrics, extents, TextOut/ExtTextOut, DrawText and tabbed text. The
// layout is the shared text layout; this file only places it and paints the glyphs.
#include "Paint.h"
#include "RectList.h"
#include "TextLayout.h"

#include <yonda_platform.h>

#include <algorithm>
#include <cstring>

using namespace yonda::gdi;
using yonda::text::FontFace;
using yonda::text::Glyph;
using yonda::text::LayoutParams;
using yonda::text::TextLayout;

namespace {

std::shared_ptr<const FontFace> FaceOf(const DeviceContext& dc)
{
    if (dc.state.font)
        return FontFace::ForLogFont(dc.state.font->log);
    auto stock = LookupFont(GetStockObject(SYSTEM_FONT));
    return FontFace::ForLogFont(stock->log);
}

std::string_view Bytes(LPCSTR text, int count)
{
    if (!text)
        return {};
    if (count < 0)
        return std::string_view(text);
    return std::string_view(text, static_cast<size_t>(count));
}

// Blends a glyph's coverage in `pixel` at pen (penX, baseline), surface coordinates, inside `clip`.
void PaintGlyph(Surface& s, const Glyph& g, int penX, int baseline, uint32_t pixel, const RECT& clip)
{
    RECT box{penX + g.left, baseline - g.top, penX + g.left + g.width, baseline - g.top + g.height};
    RECT r = RectIntersection(box, clip);
    if (RectEmpty(r))
        return;
    const bool mono = s.Monochrome();
    const uint32_t sr = (pixel >> 16) & 0xFF, sg = (pixel >> 8) & 0xFF, sb = pixel & 0xFF;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint8_t* cov = g.coverage.data() + static_cast<size_t>(y - box.top) * g.width - box.left;
        uint32_t* out = s.Row(y);
        for (int x = r.left; x < r.right; ++x) {
            uint32_t a = cov[x];
            if (a == 0)
                continue;
            if (a == 255 || mono) {
                if (a >= 128 || !mono)
                    out[x] = pixel;
                continue;
            }
            uint32_t d = out[x];
            uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
            dr += ((sr - dr) * a + 127) / 255;
            dg += ((sg - dg) * a + 127) / 255;
            db += ((sb - db) * a + 127) / 255;
            out[x] = s.OpaqueMask() | ((dr & 0xFF) << 16) | ((dg & 0xFF) << 8) | (db & 0xFF);
        }
    }
}

// Paints a laid-out text with its top-left at logical (x, y): background when opaque, glyphs,
// the font's underline and strike-out, and '&' underlines, all inside `clip` (logical; none =
// the DC's clip only).
void PaintLayout(const DeviceContext& dc, const FontFace& font, const TextLayout& layout, int x, int y,
                 const RECT* clip, bool opaqueLines)
{
    Surface* s = dc.Target();
    if (!s)
        return;
    std::vector<RECT> clips = dc.ClipRects();
    if (clip)
        clips = RectListIntersect(clips, SurfaceRect(dc, *clip));
    if (clips.empty())
        return;
    if (opaqueLines)
        for (const auto& line : layout.lines)
            for (const RECT& c : clips)
                PaintSurfaceRect(
                    dc,
                    RectIntersection(SurfaceRect(dc, RECT{x + line.left, y + line.top, x + line.left + line.width,
                                                          y + line.top + layout.lineHeight}),
                                     c),
                    0xF0, PixelFor(*s, dc.state.bkColor));
    uint32_t pixel = PixelFor(*s, dc.state.textColor);
    const LOGFONTA& log = font.LogFont();
    for (const auto& line : layout.lines) {
        POINT origin = dc.ToSurface(x, y + line.top);
        int baseline = origin.y + font.Ascent();
        for (const auto& g : line.glyphs) {
            const Glyph& glyph = font.GetGlyph(g.code);
            if (glyph.coverage.empty())
                continue;
            for (const RECT& c : clips)
                PaintGlyph(*s, glyph, origin.x + g.x, baseline, pixel, c);
        }
        auto rule = [&](int from, int to, int top, int thickness) {
            RECT r{origin.x + from, top, origin.x + to, top + thickness};
            for (const RECT& c : clips)
                PaintSurfaceRect(dc, RectIntersection(r, c), 0xF0, pixel);
        };
        int thickness = font.UnderlineThickness();
        if (log.lfUnderline)
            rule(line.left, line.left + line.width, baseline + font.UnderlinePosition(), thickness);
        if (log.lfStrikeOut)
            rule(line.left, line.left + line.width, baseline - font.StrikeoutPosition(), thickness);
        for (const auto& u : line.underlines)
            rule(u.first, u.second, baseline + font.UnderlinePosition(), thickness);
    }
}

// A single line laid out with no breaking (TextOut and the tabbed calls).
TextLayout LayoutLine(const FontFace& font, std::string_view bytes, bool expandTabs, const yonda::text::TabStops& tabs)
{
    LayoutParams params;
    params.format = DT_SINGLELINE | DT_NOPREFIX;
    params.expandTabs = expandTabs;
    params.tabs = tabs;
    TextLayout layout = yonda::text::LayoutText(font, bytes, params);
    return layout;
}

yonda::text::TabStops TabsFor(const FontFace& font, int count, const INT* positions, int origin, int lineStart)
{
    yonda::text::TabStops tabs;
    tabs.origin = lineStart - origin;
    if (count <= 0 || !positions) {
        tabs.interval = 8 * font.AveCharWidth();
    } else if (count == 1) {
        tabs.interval = std::max(1, positions[0]);
    } else {
        tabs.positions = std::span<const int>(positions, static_cast<size_t>(count));
        tabs.interval = 8 * font.AveCharWidth();
    }
    return tabs;
}

} // namespace

HFONT CreateFontIndirectA(const LOGFONTA* lplf)
{
    if (!lplf)
        return nullptr;
    auto font = std::make_shared<FontObject>();
    font->log = *lplf;
    font->log.lfFaceName[LF_FACESIZE - 1] = 0;
    return reinterpret_cast<HFONT>(RegisterObject(font));
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName)
{
    LOGFONTA log{};
    log.lfHeight = cHeight;
    log.lfWidth = cWidth;
    log.lfEscapement = cEscapement;
    log.lfOrientation = cOrientation;
    log.lfWeight = cWeight;
    log.lfItalic = static_cast<BYTE>(bItalic ? 1 : 0);
    log.lfUnderline = static_cast<BYTE>(bUnderline ? 1 : 0);
    log.lfStrikeOut = static_cast<BYTE>(bStrikeOut ? 1 : 0);
    log.lfCharSet = static_cast<BYTE>(iCharSet);
    log.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    log.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    log.lfQuality = static_cast<BYTE>(iQuality);
    log.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName)
        std::strncpy(log.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&log);
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm)
{
    auto dc = LookupDC(hdc);
    if (!dc || !lptm)
        return FALSE;
    auto font = FaceOf(*dc);
    const LOGFONTA& log = font->LogFont();
    TEXTMETRICA tm{};
    tm.tmHeight = font->Height();
    tm.tmAscent = font->Ascent();
    tm.tmDescent = font->Descent();
    tm.tmInternalLeading = font->InternalLeading();
    tm.tmExternalLeading = 0;
    tm.tmAveCharWidth = font->AveCharWidth();
    tm.tmMaxCharWidth = font->MaxCharWidth();
    tm.tmWeight = log.lfWeight <= 0 ? FW_NORMAL : log.lfWeight;
    tm.tmOverhang = font->Overhang();
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = '?';
    tm.tmBreakChar = ' ';
    tm.tmItalic = log.lfItalic ? 255 : 0;
    tm.tmUnderlined = log.lfUnderline ? 255 : 0;
    tm.tmStruckOut = log.lfStrikeOut ? 255 : 0;
    // The pitch bit is set for variable-pitch fonts, as the platform does it.
    tm.tmPitchAndFamily = static_cast<BYTE>((font->FixedPitch() ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                            (log.lfPitchAndFamily & 0xF0));
    tm.tmCharSet = static_cast<BYTE>(GetTextCharset(hdc));
    *lptm = tm;
    return TRUE;
}

int GetTextCharset(HDC hdc)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return DEFAULT_CHARSET;
    switch (FaceOf(*dc)->CodePage()) {
    case 949: return HANGUL_CHARSET;
    case 932: return SHIFTJIS_CHARSET;
    default: return ANSI_CHARSET;
    }
}

int GetTextFaceA(HDC hdc, int c, LPSTR lpName)
{
    auto dc = LookupDC(hdc);
    if (!dc)
        return 0;
    auto font = FaceOf(*dc);
    std::string name(font->LogFont().lfFaceName);
    if (name.empty())
        name = font->Family();
    if (!lpName)
        return static_cast<int>(name.size()) + 1;
    if (c <= 0)
        return 0;
    size_t n = std::min(name.size(), static_cast<size_t>(c - 1));
    std::memcpy(lpName, name.data(), n);
    lpName[n] = 0;
    return static_cast<int>(n);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl)
{
    auto dc = LookupDC(hdc);
    if (!dc || !psizl || (c > 0 && !lpString) || c < 0)
        return FALSE;
    auto font = FaceOf(*dc);
    auto chars = yonda::text::SplitCharacters(Bytes(lpString, c), font->CodePage());
    // No characters have no extent either way, not even a line's height.
    psizl->cx = chars.empty() ? 0 : yonda::text::MeasureCharacters(*font, chars) + font->Overhang();
    psizl->cy = chars.empty() ? 0 : font->Height();
    return TRUE;
}

BOOL GetTextExtentPointA(HDC hdc, LPCSTR lpString, int c, LPSIZE lpsz)
{
    return GetTextExtentPoint32A(hdc, lpString, c, lpsz);
}

BOOL GetTextExtentExPointA(HDC hdc, LPCSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit, LPINT lpnDx,
                           LPSIZE lpSize)
{
    auto dc = LookupDC(hdc);
    if (!dc || !lpSize || cchString < 0 || (cchString > 0 && !lpszString))
        return FALSE;
    auto font = FaceOf(*dc);
    auto chars = yonda::text::SplitCharacters(Bytes(lpszString, cchString), font->CodePage());
    int x = 0;
    int fit = 0;
    bool fitting = true;
    for (const auto& ch : chars) {
        x += font->Advance(ch.code);
        if (fitting && (nMaxExtent < 0 || x <= nMaxExtent))
            fit = static_cast<int>(ch.offset + ch.length);
        else
            fitting = false;
        if (lpnDx)
            for (int b = 0; b < ch.length; ++b)
                lpnDx[ch.offset + b] = x;
    }
    if (lpnFit)
        *lpnFit = fit;
    lpSize->cx = x;
    lpSize->cy = chars.empty() ? 0 : font->Height();
    return TRUE;
}

BOOL GetCharWidth32A(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer)
{
    auto dc = LookupDC(hdc);
    if (!dc || !lpBuffer || iLast < iFirst || iLast - iFirst > 0xFFFF)
        return FALSE;
    auto font = FaceOf(*dc);
    for (UINT code = iFirst; code <= iLast; ++code) {
        char bytes[2];
        size_t n = 0;
        if (code > 0xFF)
            bytes[n++] = static_cast<char>((code >> 8) & 0xFF);
        bytes[n++] = static_cast<char>(code & 0xFF);
        auto chars = yonda::text::SplitCharacters(std::string_view(bytes, n), font->CodePage());
        lpBuffer[code - iFirst] = yonda::text::MeasureCharacters(*font, chars);
    }
    return TRUE;
}

BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c, const INT* lpDx)
{
    auto dc = LookupDC(hdc);
    if (!dc || (c > 0 && !lpString) || c > 0x7FFFFFFF)
        return FALSE;
    if ((options & ETO_OPAQUE) && lprect)
        FillLogicalRect(*dc, *lprect, dc->state.bkColor);
    if (c == 0)
        return TRUE;
    auto font = FaceOf(*dc);
    std::string_view bytes = Bytes(lpString, static_cast<int>(c));
    TextLayout layout = LayoutLine(*font, bytes, false, {});
    if (lpDx && !layout.lines.empty()) {
        // Explicit advances, one per byte; a double-byte character moves by both of its bytes'.
        auto chars = yonda::text::SplitCharacters(bytes, font->CodePage());
        auto& glyphs = layout.lines.front().glyphs;
        int pen = 0;
        for (size_t i = 0; i < chars.size() && i < glyphs.size(); ++i) {
            glyphs[i].x = pen;
            for (int b = 0; b < chars[i].length; ++b)
                pen += lpDx[chars[i].offset + b];
        }
        layout.lines.front().width = pen;
        layout.width = pen;
    }
    int width = layout.width;
    UINT align = dc->state.textAlign;
    if (align & TA_UPDATECP) {
        x = dc->state.currentPos.x;
        y = dc->state.currentPos.y;
    }
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (align & TA_RIGHT)
        left = x - width;
    int top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = y - font->Ascent();
    else if (align & TA_BOTTOM)
        top = y - font->Height();
    if (dc->state.bkMode == OPAQUE && !(options & ETO_OPAQUE))
        FillLogicalRect(*dc, RECT{left, top, left + width, top + font->Height()}, dc->state.bkColor);
    PaintLayout(*dc, *font, layout, left, top, (options & ETO_CLIPPED) ? lprect : nullptr, false);
    if (align & TA_UPDATECP) {
        if ((align & TA_CENTER) != TA_CENTER)
            dc->state.currentPos.x = (align & TA_RIGHT) ? x - width : x + width;
    }
    return TRUE;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c)
{
    if (c < 0)
        return FALSE;
    return ExtTextOutA(hdc, x, y, 0, nullptr, lpString, static_cast<UINT>(c), nullptr);
}

int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format)
{
    auto dc = LookupDC(hdc);
    if (!dc || !lprc || (!lpchText && cchText > 0))
        return 0;
    // A count of 0 is no text at all: nothing to measure, the rectangle stays.
    if (cchText == 0)
        return 0;
    auto font = FaceOf(*dc);
    LayoutParams params;
    params.format = format;
    params.rect = *lprc;
    params.expandTabs = format & DT_EXPANDTABS;
    TextLayout layout = yonda::text::LayoutText(*font, Bytes(lpchText, cchText), params);
    if (format & DT_CALCRECT) {
        *lprc = layout.bounds;
        return layout.result;
    }
    const RECT* clip = (format & DT_NOCLIP) ? nullptr : lprc;
    PaintLayout(*dc, *font, layout, lprc->left, lprc->top, clip, dc->state.bkMode == OPAQUE);
    return layout.result;
}

LONG TabbedTextOutA(HDC hdc, int x, int y, LPCSTR lpString, int chCount, int nTabPositions,
                    const INT* lpnTabStopPositions, int nTabOrigin)
{
    auto dc = LookupDC(hdc);
    if (!dc || chCount < 0 || (chCount > 0 && !lpString))
        return 0;
    auto font = FaceOf(*dc);
    TextLayout layout = LayoutLine(*font, Bytes(lpString, chCount), true,
                                   TabsFor(*font, nTabPositions, lpnTabStopPositions, nTabOrigin, x));
    PaintLayout(*dc, *font, layout, x, y, nullptr, dc->state.bkMode == OPAQUE);
    return MAKELONG(layout.width, font->Height());
}

DWORD GetTabbedTextExtentA(HDC hdc, LPCSTR lpString, int chCount, int nTabPositions, const INT* lpnTabStopPositions)
{
    auto dc = LookupDC(hdc);
    if (!dc || chCount < 0 || (chCount > 0 && !lpString))
        return 0;
    auto font = FaceOf(*dc);
    TextLayout layout =
        LayoutLine(*font, Bytes(lpString, chCount), true, TabsFor(*font, nTabPositions, lpnTabStopPositions, 0, 0));
    return static_cast<DWORD>(MAKELONG(layout.width, font->Height()));
}
