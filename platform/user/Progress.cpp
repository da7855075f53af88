// The progress bar: range, position (kept in the range), step and colours. Programs usually paint
// it themselves; the default painting is a plain bar.
#include "ControlState.h"

#include <commctrl.h>

#include <algorithm>

namespace yonda::user {
namespace {

struct ProgressState {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
    COLORREF bar = CLR_DEFAULT;
    COLORREF back = CLR_DEFAULT;
};

void SetPos(HWND hwnd, ProgressState* s, int pos)
{
    pos = std::clamp(pos, std::min(s->low, s->high), std::max(s->low, s->high));
    if (pos == s->pos)
        return;
    s->pos = pos;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void Paint(HWND hwnd, ProgressState* s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        HBRUSH back = CreateSolidBrush(s->back == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : s->back);
        FillRect(dc, &rc, back);
        DeleteObject(back);
        int span = s->high - s->low;
        if (span > 0) {
            RECT bar = rc;
            bool vertical = (GetWindowLongA(hwnd, GWL_STYLE) & PBS_VERTICAL) != 0;
            long long done = static_cast<long long>(s->pos - s->low);
            if (vertical)
                bar.top = rc.bottom - static_cast<LONG>(done * (rc.bottom - rc.top) / span);
            else
                bar.right = rc.left + static_cast<LONG>(done * (rc.right - rc.left) / span);
            HBRUSH fill = CreateSolidBrush(s->bar == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : s->bar);
            FillRect(dc, &bar, fill);
            DeleteObject(fill);
        }
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK ProgressProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ProgressState* s = ControlState<ProgressState>(hwnd, message);
    if (!s)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY: FreeControlState<ProgressState>(hwnd); return 0;
    case WM_PAINT: Paint(hwnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case PBM_SETRANGE: {
        LRESULT old = MAKELRESULT(s->low, s->high);
        s->low = LOWORD(lParam);
        s->high = HIWORD(lParam);
        SetPos(hwnd, s, s->pos);
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    case PBM_SETRANGE32: {
        LRESULT old = MAKELRESULT(s->low, s->high);
        s->low = static_cast<int>(wParam);
        s->high = static_cast<int>(lParam);
        SetPos(hwnd, s, s->pos);
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    case PBM_GETRANGE:
        if (lParam) {
            auto* range = reinterpret_cast<PBRANGE*>(lParam);
            range->iLow = s->low;
            range->iHigh = s->high;
        }
        return wParam ? s->low : s->high;
    case PBM_SETPOS: {
        int old = s->pos;
        SetPos(hwnd, s, static_cast<int>(wParam));
        return old;
    }
    case PBM_DELTAPOS: {
        int old = s->pos;
        SetPos(hwnd, s, s->pos + static_cast<int>(wParam));
        return old;
    }
    case PBM_SETSTEP: {
        int old = s->step;
        s->step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT: {
        int old = s->pos;
        int pos = s->pos + s->step;
        int span = s->high - s->low;
        // Past the end it starts over from the beginning.
        if (span > 0 && pos > s->high)
            pos = s->low + (pos - s->high) % span;
        if (span > 0 && pos < s->low)
            pos = s->high - (s->low - pos) % span;
        SetPos(hwnd, s, pos);
        return old;
    }
    case PBM_GETPOS: return s->pos;
    case PBM_SETBARCOLOR: {
        COLORREF old = s->bar;
        s->bar = static_cast<COLORREF>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    case PBM_SETBKCOLOR: {
        COLORREF old = s->back;
        s->back = static_cast<COLORREF>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterProgressClass()
{
    RegisterControlClass(PROGRESS_CLASSA, &ProgressProc, CS_HREDRAW | CS_VREDRAW);
}

} // namespace yonda::user
