// The default window procedure: what a window gets for every message it does not handle itself.
#include "Input.h"
#include "MoveLoop.h"
#include "Queue.h"
#include "Window.h"
#include "WindowDC.h"

#include <algorithm>
#include <cstring>

using namespace yonda::user;

static LRESULT AskParent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND parent = nullptr;
    {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (w && (w->style & WS_CHILD))
            parent = w->parent;
    }
    return parent ? SendMessageA(parent, message, wParam, lParam) : 0;
}

LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: return TRUE;
    case WM_SETTEXT: {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (!w)
            return FALSE;
        w->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        return TRUE;
    }
    case WM_GETTEXT: {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!w || !buffer || wParam == 0)
            return 0;
        size_t n = std::min<size_t>(w->text.size(), wParam - 1);
        std::memcpy(buffer, w->text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        return w ? static_cast<LRESULT>(w->text.size()) : 0;
    }
    case WM_WINDOWPOSCHANGED: {
        auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!wp)
            return 0;
        RECT rc;
        {
            std::lock_guard lock(UserLock());
            auto w = FindWindowPtr(hwnd);
            if (!w)
                return 0;
            rc = w->rect;
        }
        if (!(wp->flags & YONDA_SWP_NOCLIENTMOVE))
            SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(rc.left, rc.top));
        if (!(wp->flags & YONDA_SWP_NOCLIENTSIZE))
            SendMessageA(hwnd, WM_SIZE, IsIconic(hwnd) ? SIZE_MINIMIZED : SIZE_RESTORED,
                         MAKELPARAM(rc.right - rc.left, rc.bottom - rc.top));
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(hwnd, GCL_HBRBACKGROUND));
        if (!brush || !wParam)
            return 0;
        RECT rc;
        GetClientRect(hwnd, &rc);
        return FillWindowBackground(reinterpret_cast<HDC>(wParam), rc, brush) ? 1 : 0;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_SETCURSOR: {
        if (AskParent(hwnd, message, wParam, lParam))
            return TRUE;
        if (LOWORD(lParam) != HTCLIENT)
            return FALSE;
        HCURSOR cursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(hwnd, GCL_HCURSOR));
        if (!cursor)
            return FALSE;
        SetCursor(cursor);
        return TRUE;
    }
    case WM_MOUSEACTIVATE: {
        LRESULT answer = AskParent(hwnd, message, wParam, lParam);
        return answer ? answer : MA_ACTIVATE;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd))
            SetFocus(hwnd);
        return 0;
    case WM_NCACTIVATE: return TRUE;
    case WM_SETFONT: {
        {
            std::lock_guard lock(UserLock());
            auto w = FindWindowPtr(hwnd);
            if (!w)
                return 0;
            w->font = reinterpret_cast<HFONT>(wParam);
        }
        if (LOWORD(lParam))
            InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    }
    case WM_GETFONT: {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        return w ? reinterpret_cast<LRESULT>(w->font) : 0;
    }
    case WM_SETREDRAW: {
        std::lock_guard lock(UserLock());
        auto w = FindWindowPtr(hwnd);
        if (w)
            w->redraw = wParam != 0;
        return 0;
    }
    case WM_NCHITTEST: return HTCLIENT;
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION)
            SendMessageA(hwnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, lParam);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE: SendMessageA(hwnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
        case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
        case SC_MOVE: RunMoveLoop(hwnd); break;
        default: break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN)) {
            HWND root = GetAncestor(hwnd, GA_ROOT);
            if (root)
                PostMessageA(root, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_MOUSEWHEEL:
    case WM_CONTEXTMENU:
    case WM_HELP: return AskParent(hwnd, message, wParam, lParam);
    case WM_CANCELMODE:
        if (GetCapture() == hwnd)
            ReleaseCapture();
        return 0;
    case WM_IME_CHAR:
        if (wParam & 0xFF00)
            SendMessageA(hwnd, WM_CHAR, (wParam >> 8) & 0xFF, lParam);
        SendMessageA(hwnd, WM_CHAR, wParam & 0xFF, lParam);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(DefaultControlColor(message, reinterpret_cast<HDC>(wParam)));
    case WM_QUERYENDSESSION: return TRUE;
    default: return 0;
    }
}
