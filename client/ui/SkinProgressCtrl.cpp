#include "SkinProgressCtrl.h"

#include "BufferDC.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// What the control answers for a colour message: the system's "default colour".
constexpr LRESULT kColourAnswer = 0xFF000000;

int Channel(COLORREF colour, int shift)
{
    return static_cast<int>((colour >> shift) & 0xFF);
}

// Integer part of a product computed in floating point, kept inside int.
int Truncate(double value)
{
    return static_cast<int>(std::clamp(value, -2147483648.0, 2147483647.0));
}

} // namespace

CSkinProgressCtrl::CSkinProgressCtrl()
{
    m_colors.SetSize(2);
    m_colors.SetAt(0, ::GetSysColor(COLOR_ACTIVECAPTION));
    m_colors.SetAt(1, ::GetSysColor(COLOR_ACTIVECAPTION));
    m_crBack = ::GetSysColor(COLOR_BTNFACE);
    m_crTextOnBar = ::GetSysColor(COLOR_CAPTIONTEXT);
    m_crTextOnBack = ::GetSysColor(COLOR_BTNTEXT);
}

CSkinProgressCtrl::~CSkinProgressCtrl()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

void CSkinProgressCtrl::SetGradientColors(const COLORREF* colors, int count)
{
    if (!colors || count < 2) {
        return;
    }
    m_colors.SetSize(count);
    for (int i = 0; i < count; ++i) {
        m_colors.SetAt(i, colors[i]);
    }
}

void CSkinProgressCtrl::SetTextColors(COLORREF onBar, COLORREF onBack)
{
    m_crTextOnBar = onBar;
    m_crTextOnBack = onBack;
}

CRect CSkinProgressCtrl::ToClient(const DRAWINFO& info, const INTERVAL& interval)
{
    const CRect& area = info.rcBar;
    const bool mirrored = (info.dwStyle & PBS_MIRRORED) != 0;
    CRect rect = area;
    if (info.dwStyle & PBS_VERTICAL) {
        rect.top = area.top + (mirrored ? interval.nStart : area.Height() - interval.nEnd);
        rect.bottom = rect.top + interval.Length();
    } else {
        rect.left = area.left + (mirrored ? area.right - interval.nEnd - area.left : interval.nStart);
        rect.right = rect.left + interval.Length();
    }
    return rect;
}

CString CSkinProgressCtrl::FormatText(const CString& format, int value)
{
    CString out;
    const char* text = format;
    const int length = format.GetLength();
    for (int i = 0; i < length; ++i) {
        if (text[i] == '%' && i + 1 < length && text[i + 1] == 'd') {
            CString number;
            number.Format("%d", value);
            out += number;
            ++i;
        } else if (text[i] == '%' && i + 1 < length && text[i + 1] == '%') {
            out += '%';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

int CSkinProgressCtrl::Percentage(int pos, int lower, int upper)
{
    if (upper == lower) {
        return pos >= upper ? 100 : 0;
    }
    return Truncate((static_cast<double>(pos) - lower) * 100.0 / (static_cast<double>(upper) - lower));
}

LRESULT CSkinProgressCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (message) {
    case PBM_SETBARCOLOR:
        m_colors.SetSize(2);
        m_colors.SetAt(0, static_cast<COLORREF>(lParam));
        m_colors.SetAt(1, static_cast<COLORREF>(wParam ? wParam : lParam));
        return kColourAnswer;
    case CCM_SETBKCOLOR: m_crBack = static_cast<COLORREF>(lParam); return kColourAnswer;
    case PBM_SETSTEP: m_nStep = static_cast<int>(wParam); break;
    case PBM_SETPOS:
        if (SetSegmentPos(&result, static_cast<int>(wParam), false)) {
            return result;
        }
        break;
    case PBM_DELTAPOS:
        if (SetSegmentPos(&result, static_cast<int>(wParam), true)) {
            return result;
        }
        break;
    case PBM_STEPIT:
        if (SetSegmentPos(&result, m_nStep, true)) {
            return result;
        }
        break;
    default: break;
    }
    return CProgressCtrl::WindowProc(message, wParam, lParam);
}

BOOL CSkinProgressCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CSkinProgressCtrl::OnPaint()
{
    CPaintDC paint(this);
    CBufferDC dc(&paint);
    CRect client;
    GetClientRect(&client);
    DRAWINFO info;
    info.pDC = &dc;
    info.dwStyle = GetStyle();
    info.nPos = GetPos();
    GetRange(info.nLower, info.nUpper);

    if (m_hBackBrush) {
        ::FillRect(dc, &client, m_hBackBrush);
    } else {
        dc.FillSolidRect(&client, m_crBack);
    }
    info.rcBar = client;
    info.rcBar.DeflateRect(&m_rcBorders);
    if (info.nPos < info.nLower || info.nPos > info.nUpper) {
        return;
    }

    const int length = (info.dwStyle & PBS_VERTICAL) ? info.rcBar.Height() : info.rcBar.Width();
    const INTERVAL whole{0, length};
    INTERVAL bar{0, 0};
    // An empty range has no bar rather than a division by zero.
    if (info.nUpper != info.nLower) {
        const double span = static_cast<double>(info.nUpper) - info.nLower;
        bar.nEnd = Truncate(length * (static_cast<double>(info.nPos) - info.nLower) / span);
        if (info.dwStyle & PBS_MOVING_SEGMENT) {
            bar.nStart = Truncate(length * (static_cast<double>(m_nTail) - info.nLower) / span);
        }
    }
    if (m_hBarBrush) {
        const CRect rect = ToClient(info, bar);
        ::FillRect(dc, &rect, m_hBarBrush);
    } else {
        DrawGradientBar(info, (info.dwStyle & PBS_GRADIENT_ON_BAR) ? bar : whole, bar);
    }
    DrawText(info, whole, bar);
}

void CSkinProgressCtrl::DrawGradientBar(const DRAWINFO& info, const INTERVAL& gradient, const INTERVAL& clip)
{
    const INT_PTR count = m_colors.GetSize();
    if (count < 2) {
        return;
    }
    const double step = static_cast<double>(gradient.Length()) / static_cast<double>(count - 1);
    for (INT_PTR i = 0; i + 1 < count; ++i) {
        INTERVAL part{gradient.nStart + Truncate(static_cast<double>(i) * step),
                      gradient.nStart + Truncate(static_cast<double>(i + 1) * step)};
        if (i + 2 == count) {
            part.nEnd = gradient.nEnd;
        }
        if (part.nEnd < clip.nStart) {
            continue;
        }
        const INTERVAL clipped{std::max(part.nStart, clip.nStart), std::min(part.nEnd, clip.nEnd)};
        DrawGradient(info, part, clipped, m_colors.GetAt(i), m_colors.GetAt(i + 1));
        if (clipped.nEnd >= clip.nEnd) {
            break;
        }
    }
}

void CSkinProgressCtrl::DrawGradient(const DRAWINFO& info, const INTERVAL& part, const INTERVAL& clip, COLORREF from,
                                     COLORREF to)
{
    const int shifts[3] = {0, 8, 16};
    int difference[3];
    int bands = 0;
    for (int c = 0; c < 3; ++c) {
        difference[c] = Channel(to, shifts[c]) - Channel(from, shifts[c]);
        bands = std::max(bands, std::abs(difference[c]));
    }
    const int length = part.Length();
    bands = std::max(std::min(bands, length), 1);
    CDC* dc = info.pDC;
    const bool palette = (dc->GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0;
    if (!palette && dc->GetDeviceCaps(BITSPIXEL) * dc->GetDeviceCaps(PLANES) < 8) {
        bands = 1;
    }
    double steps[3];
    for (int c = 0; c < 3; ++c) {
        steps[c] = static_cast<double>(difference[c]) / bands;
    }
    for (int i = 0; i < bands; ++i) {
        INTERVAL band{part.nStart + Truncate(static_cast<double>(i) * length / bands),
                      part.nStart + Truncate(static_cast<double>(i + 1) * length / bands)};
        if (i + 1 == bands) {
            band.nEnd = part.nEnd;
        }
        if (band.nEnd < clip.nStart) {
            continue;
        }
        band.nStart = std::max(band.nStart, clip.nStart);
        band.nEnd = std::min(band.nEnd, clip.nEnd);
        COLORREF colour = 0;
        for (int c = 0; c < 3; ++c) {
            const int value = Channel(from, shifts[c]) + Truncate(steps[c] * i);
            colour |= static_cast<COLORREF>(value & 0xFF) << shifts[c];
        }
        if (palette) {
            const CRect rect = ToClient(info, band);
            CBrush brush(colour);
            dc->FillRect(&rect, &brush);
        } else {
            FillBand(info, band, colour);
        }
        if (band.nEnd >= clip.nEnd) {
            break;
        }
    }
}

void CSkinProgressCtrl::FillBand(const DRAWINFO& info, const INTERVAL& band, COLORREF colour)
{
    if (band.Length() <= 0) {
        return;
    }
    const CRect rect = ToClient(info, band);
    info.pDC->FillSolidRect(&rect, colour);
}

void CSkinProgressCtrl::DrawText(const DRAWINFO& info, const INTERVAL& whole, const INTERVAL& bar)
{
    const DWORD kind = info.dwStyle & PBS_TEXT_MASK;
    if (!kind) {
        return;
    }
    CString text;
    GetWindowText(text);
    if (kind == PBS_TEXT_PERCENT) {
        text = FormatText(text.IsEmpty() ? CString("%d%%") : text, Percentage(info.nPos, info.nLower, info.nUpper));
    } else if (kind == PBS_TEXT_VALUE) {
        text = FormatText(text.IsEmpty() ? CString("%d") : text, info.nPos);
    }
    if (text.IsEmpty()) {
        return;
    }

    CDC* dc = info.pDC;
    const int saved = dc->SaveDC();
    CFont* font = GetFont();
    if (font && font->GetSafeHandle()) {
        dc->SelectObject(font);
    }
    dc->SetTextColor(m_crTextOnBar);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextAlign(TA_CENTER | TA_BOTTOM);

    const CSize size = dc->GetTextExtent(text);
    int angle = 0;
    LOGFONTA log{};
    if (font && font->GetSafeHandle() && font->GetLogFont(&log)) {
        angle = log.lfEscapement / 10;
    }
    CSize extent(0, 0);
    CPoint offset(0, 0);
    switch (angle) {
    case 0:
        extent = CSize(size.cx, size.cy);
        offset = CPoint(0, size.cy);
        break;
    case 90:
        extent = CSize(size.cy, size.cx);
        offset = CPoint(size.cy, 0);
        break;
    case 180:
        extent = CSize(size.cx, size.cy);
        offset = CPoint(0, -size.cy);
        break;
    case 270:
        extent = CSize(size.cy, size.cx);
        offset = CPoint(-size.cy, 0);
        break;
    default: break;
    }
    auto centre = [&offset](const CRect& rect) {
        return CPoint(rect.left + (rect.Width() + offset.x) / 2, rect.top + (rect.Height() + offset.y) / 2);
    };

    const bool vertical = (info.dwStyle & PBS_VERTICAL) != 0;
    if (info.dwStyle & PBS_TEXT_ON_BAR) {
        if (bar.Length() >= (vertical ? extent.cy : extent.cx)) {
            DrawClippedText(info, bar, text, centre(ToClient(info, bar)));
        }
    } else {
        const CPoint origin = centre(info.rcBar);
        if (m_crTextOnBar == m_crTextOnBack) {
            DrawClippedText(info, whole, text, origin);
        } else {
            if (bar.Length() > 0) {
                DrawClippedText(info, bar, text, origin);
            }
            dc->SetTextColor(m_crTextOnBack);
            if (bar.nEnd < whole.nEnd) {
                DrawClippedText(info, INTERVAL{bar.nEnd, whole.nEnd}, text, origin);
            }
            if (bar.nStart > whole.nStart) {
                DrawClippedText(info, INTERVAL{whole.nStart, bar.nStart}, text, origin);
            }
        }
    }
    dc->RestoreDC(saved);
}

void CSkinProgressCtrl::DrawClippedText(const DRAWINFO& info, const INTERVAL& interval, const CString& text,
                                        const CPoint& origin)
{
    CDC* dc = info.pDC;
    // Clip regions are in device units; the buffer's origin is shifted to the painted area.
    CRect rect = ToClient(info, interval);
    dc->LPtoDP(reinterpret_cast<LPPOINT>(&rect), 2);
    CRgn region;
    if (!region.CreateRectRgnIndirect(&rect)) {
        return;
    }
    const int saved = dc->SaveDC();
    dc->SelectClipRgn(&region);
    dc->TextOut(origin.x, origin.y, text);
    dc->RestoreDC(saved);
    region.DeleteObject();
}

bool CSkinProgressCtrl::SetSegmentPos(LRESULT* result, int pos, bool relative)
{
    if (!(GetStyle() & PBS_MOVING_SEGMENT)) {
        return false;
    }
    int lower = 0;
    int upper = 0;
    GetRange(lower, upper);
    // Wide arithmetic: steps and positions come from callers and may sit near the int limits.
    long long target = pos;
    if (relative) {
        long long current = GetPos();
        // Past the end the system holds the position at the top while the head runs on.
        if (current == upper && current - m_nTail < m_nSegment) {
            current = static_cast<long long>(m_nTail) + m_nSegment;
        }
        target = std::llabs(static_cast<long long>(pos)) + current;
    }
    const long long limit = static_cast<long long>(upper) + m_nSegment;
    long long head = target;
    if (target > limit) {
        head = std::min(limit, target + lower - limit);
        const DWORD style = GetStyle();
        ModifyStyle(style & PBS_MIRRORED, ~style & PBS_MIRRORED);
    } else if (head >= upper) {
        Invalidate(TRUE);
    }
    head = std::clamp<long long>(head, INT_MIN, INT_MAX);
    m_nTail = static_cast<int>(std::max<long long>(lower, head - m_nSegment));
    const LRESULT answer = CProgressCtrl::WindowProc(PBM_SETPOS, static_cast<WPARAM>(head), 0);
    if (result) {
        *result = answer;
    }
    return true;
}
