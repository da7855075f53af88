// The STATIC control: text or a solid rectangle, coloured by the parent's WM_CTLCOLORSTATIC answer.
#include "ControlState.h"

namespace yonda::user {
namespace {

struct StaticState {
    HICON image = nullptr;
};

void Paint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT rc;
    GetClientRect(hwnd, &rc);
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    DWORD type = style & SS_TYPEMASK;
    HWND parent = GetParent(hwnd);
    switch (type) {
    case SS_BLACKRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); break;
    case SS_GRAYRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW)); break;
    case SS_WHITERECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_WINDOW)); break;
    case SS_OWNERDRAW: {
        DRAWITEMSTRUCT dis{ODT_STATIC, static_cast<UINT>(GetDlgCtrlID(hwnd)), 0, ODA_DRAWENTIRE, 0, hwnd, dc, rc, 0};
        if (parent)
            SendMessageA(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        break;
    }
    default: {
        HBRUSH brush =
            parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(hwnd)))
                   : nullptr;
        FillRect(dc, &rc, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        char text[1024];
        int n = GetWindowTextA(hwnd, text, sizeof text);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        UINT format = DT_WORDBREAK | (type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT);
        if (type == SS_SIMPLE)
            format = DT_SINGLELINE;
        DrawTextA(dc, text, n, &rc, format);
        if (old)
            SelectObject(dc, old);
        break;
    }
    }
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    StaticState* s = ControlState<StaticState>(hwnd, message);
    if (!s)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY: FreeControlState<StaticState>(hwnd); return 0;
    case WM_PAINT: Paint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SETTEXT: {
        LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return r;
    }
    case WM_LBUTTONDOWN:
        if (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY)
            NotifyParent(hwnd, STN_CLICKED);
        return 0;
    case WM_GETDLGCODE: return DLGC_STATIC;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterStaticClass()
{
    RegisterControlClass("STATIC", &StaticProc, CS_DBLCLKS | CS_PARENTDC);
}

} // namespace yonda::user
