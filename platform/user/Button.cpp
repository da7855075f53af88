// The BUTTON control, push buttons as the program uses them (owner-drawn above all): press
// tracking with the capture, BN_CLICKED on a release inside, the space bar, focus on click, and
// WM_DRAWITEM with the ODS_* states. Losing the capture or the focus lets a pressed button go.
#include "ControlState.h"

namespace yonda::user {
namespace {

struct ButtonState {
    bool pushed = false;   // drawn pressed
    bool tracking = false; // the mouse holds it
    bool spaceDown = false;
    bool focused = false;
    int check = BST_UNCHECKED;
};

UINT Type(HWND hwnd)
{
    return static_cast<UINT>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

void Redraw(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void SetPushed(HWND hwnd, ButtonState* s, bool pushed)
{
    if (s->pushed == pushed)
        return;
    s->pushed = pushed;
    Redraw(hwnd);
}

void Paint(HWND hwnd, ButtonState* s)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (dc && Type(hwnd) == BS_OWNERDRAW) {
        UINT state = 0;
        if (s->pushed)
            state |= ODS_SELECTED;
        if (s->focused)
            state |= ODS_FOCUS;
        if (!IsWindowEnabled(hwnd))
            state |= ODS_DISABLED;
        DRAWITEMSTRUCT dis{ODT_BUTTON, static_cast<UINT>(GetDlgCtrlID(hwnd)), 0, ODA_DRAWENTIRE, state, hwnd, dc, rc,
                           0};
        HWND parent = GetParent(hwnd);
        if (parent)
            SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    } else if (dc) {
        HWND parent = GetParent(hwnd);
        HBRUSH brush = parent
                           ? reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                                                                   reinterpret_cast<LPARAM>(hwnd)))
                           : nullptr;
        FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(dc, &rc, GetSysColorBrush(s->pushed ? COLOR_BTNSHADOW : COLOR_WINDOWFRAME));
        char text[256];
        int n = GetWindowTextA(hwnd, text, sizeof text);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        if (s->pushed)
            OffsetRect(&rc, 1, 1);
        DrawTextA(dc, text, n, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (old)
            SelectObject(dc, old);
        if (s->focused) {
            InflateRect(&rc, -3, -3);
            DrawFocusRect(dc, &rc);
        }
    }
    EndPaint(hwnd, &ps);
}

void Click(HWND hwnd, ButtonState* s)
{
    if (Type(hwnd) == BS_AUTOCHECKBOX)
        s->check = s->check ? BST_UNCHECKED : BST_CHECKED;
    NotifyParent(hwnd, BN_CLICKED);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ButtonState* s = ControlState<ButtonState>(hwnd, message);
    if (!s)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY: FreeControlState<ButtonState>(hwnd); return 0;
    case WM_PAINT: Paint(hwnd, s); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDBLCLK:
        if (Type(hwnd) == BS_OWNERDRAW) {
            NotifyParent(hwnd, BN_DOUBLECLICKED);
            return 0;
        }
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        SetFocus(hwnd);
        SetCapture(hwnd);
        s->tracking = true;
        SetPushed(hwnd, s, true);
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking && GetCapture() == hwnd) {
            RECT rc;
            GetClientRect(hwnd, &rc);
            SetPushed(hwnd, s, PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE);
        }
        return 0;
    case WM_LBUTTONUP: {
        if (!s->tracking)
            return 0;
        bool inside = s->pushed;
        s->tracking = false;
        SetPushed(hwnd, s, false);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        if (inside && IsWindow(hwnd))
            Click(hwnd, s);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (s->tracking) {
            s->tracking = false;
            SetPushed(hwnd, s, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && !(lParam & (1 << 30))) {
            s->spaceDown = true;
            SetPushed(hwnd, s, true);
        }
        return 0;
    case WM_KEYUP:
        if (wParam == VK_SPACE && s->spaceDown) {
            s->spaceDown = false;
            SetPushed(hwnd, s, false);
            Click(hwnd, s);
        }
        return 0;
    case WM_SETFOCUS:
        s->focused = true;
        Redraw(hwnd);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        s->spaceDown = false;
        if (s->pushed && !s->tracking)
            s->pushed = false;
        if (GetCapture() == hwnd)
            ReleaseCapture();
        Redraw(hwnd);
        return 0;
    case WM_ENABLE: Redraw(hwnd); return 0;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_GETDLGCODE:
        return DLGC_BUTTON |
               ((GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON
                                                                                    : DLGC_UNDEFPUSHBUTTON);
    case BM_GETSTATE: return (s->pushed ? BST_PUSHED : 0) | (s->focused ? BST_FOCUS : 0) | s->check;
    case BM_SETSTATE: SetPushed(hwnd, s, wParam != 0); return 0;
    case BM_GETCHECK: return s->check;
    case BM_SETCHECK:
        s->check = static_cast<int>(wParam) & 3;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case BM_SETSTYLE:
        SetWindowLongA(hwnd, GWL_STYLE,
                       static_cast<LONG>((GetWindowLongA(hwnd, GWL_STYLE) & ~0xFFFF) | (wParam & 0xFFFF)));
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case BM_CLICK:
        if (IsWindowEnabled(hwnd))
            Click(hwnd, s);
        return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterButtonClass()
{
    RegisterControlClass("BUTTON", &ButtonProc, CS_DBLCLKS | CS_PARENTDC);
}

} // namespace yonda::user
