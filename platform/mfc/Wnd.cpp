// CWnd: a window object attached to a window by subclassing it at creation. Messages reach the
// object's virtual handlers through WindowProc/OnWndMsg; what a handler leaves to Default() goes to
// the window's own procedure (the class's, or a standard control's).
#include <afxwin.h>
#include <yonda_user.h>

#include <map>
#include <memory>
#include <mutex>

namespace {

struct HandleMaps {
    std::mutex mutex;
    std::map<HWND, CWnd*> permanent;
};

HandleMaps& Maps()
{
    static HandleMaps* maps = new HandleMaps;
    return *maps;
}

// Temporary objects for windows nobody attached: kept per thread for the thread's life.
struct TemporaryWnds {
    std::map<HWND, std::unique_ptr<CWnd>> wnds;
    // A temporary object only stands for its window: when the thread ends it leaves the window
    // alone (destroying it from here would call back into this map while it is torn down).
    ~TemporaryWnds()
    {
        for (auto& [hwnd, wnd] : wnds)
            wnd->m_hWnd = nullptr;
    }
};
thread_local TemporaryWnds t_temporary;

struct CurrentMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
thread_local CurrentMessage t_current;

void AttachHook(HWND hwnd, void* context)
{
    auto* wnd = static_cast<CWnd*>(context);
    wnd->SubclassWindow(hwnd);
}

} // namespace

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;
const CWnd CWnd::wndTopMost;
const CWnd CWnd::wndNoTopMost;

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    CurrentMessage saved = t_current;
    t_current = CurrentMessage{message, wParam, lParam};
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    t_current = saved;
    return result;
}

CWnd::~CWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        HWND hwnd = m_hWnd;
        ::DestroyWindow(hwnd);
    }
    if (m_hWnd)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    std::lock_guard lock(Maps().mutex);
    auto it = Maps().permanent.find(hwnd);
    return it == Maps().permanent.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hwnd))
        return wnd;
    auto& temp = t_temporary.wnds;
    // Drop temporaries of windows that are gone before adding one.
    for (auto it = temp.begin(); it != temp.end();) {
        if (!::IsWindow(it->first)) {
            it->second->m_hWnd = nullptr;
            it = temp.erase(it);
        } else {
            ++it;
        }
    }
    auto& slot = temp[hwnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hwnd;
    }
    return slot.get();
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (!hwnd || m_hWnd)
        return FALSE;
    std::lock_guard lock(Maps().mutex);
    Maps().permanent[hwnd] = this;
    m_hWnd = hwnd;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd) {
        std::lock_guard lock(Maps().mutex);
        auto it = Maps().permanent.find(hwnd);
        if (it != Maps().permanent.end() && it->second == this)
            Maps().permanent.erase(it);
    }
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!Attach(hwnd))
        return FALSE;
    WNDPROC old =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc)
        *GetSuperWndProcAddr() = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    HWND control = ::GetDlgItem(HwndOf(parent), static_cast<int>(id));
    return control ? SubclassWindow(control) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW));
    return TRUE;
}

BOOL CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id, void*)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                    UINT id, LPVOID param)
{
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, HwndOf(parent), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU idOrMenu, LPVOID param)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCT cs{param, AfxGetInstanceHandle(),   idOrMenu,   parent,    height, width, y,
                    x,     static_cast<LONG>(style), windowName, className, exStyle};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    YondaSetCreateHook(&AttachHook, this);
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    YondaSetCreateHook(nullptr, nullptr);
    return hwnd != nullptr;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(t_current.message, t_current.wParam, t_current.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (hwnd == stop)
            break;
    }
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    HWND control = reinterpret_cast<HWND>(lParam);
    if (!control)
        return FALSE;
    CWnd* child = FromHandlePermanent(control);
    LRESULT result = 0;
    return child && child->OnChildNotify(WM_COMMAND, wParam, lParam, &result);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || !header->hwndFrom)
        return FALSE;
    CWnd* child = FromHandlePermanent(header->hwndFrom);
    return child && child->OnChildNotify(WM_NOTIFY, 0, lParam, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        HBRUSH brush = CtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), message - WM_CTLCOLORMSGBOX);
        if (!brush)
            return FALSE;
        *result = reinterpret_cast<LRESULT>(brush);
        return TRUE;
    }
    if (message == WM_COMMAND)
        return OnReflectedCommand(HIWORD(wParam));
    (void)lParam;
    return FALSE;
}

HBRUSH CWnd::CtlColor(CDC*, UINT)
{
    return nullptr;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    auto point = [lParam] { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); };
    auto flags = static_cast<UINT>(wParam);
    *result = 0;
    switch (message) {
    case WM_COMMAND: return OnCommand(wParam, lParam);
    case WM_NOTIFY: return OnNotify(wParam, lParam, result);
    case WM_CREATE: *result = OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam)); return TRUE;
    case WM_DESTROY: OnDestroy(); return TRUE;
    case WM_NCDESTROY: OnNcDestroy(); return TRUE;
    case WM_PAINT: OnPaint(); return TRUE;
    case WM_ERASEBKGND: *result = OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam))); return TRUE;
    case WM_SIZE: OnSize(flags, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_MOVE: OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return TRUE;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam)); return TRUE;
    case WM_TIMER: OnTimer(wParam); return TRUE;
    case WM_CLOSE: OnClose(); return TRUE;
    case WM_LBUTTONDOWN: OnLButtonDown(flags, point()); return TRUE;
    case WM_LBUTTONUP: OnLButtonUp(flags, point()); return TRUE;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(flags, point()); return TRUE;
    case WM_RBUTTONDOWN: OnRButtonDown(flags, point()); return TRUE;
    case WM_RBUTTONUP: OnRButtonUp(flags, point()); return TRUE;
    case WM_RBUTTONDBLCLK: OnRButtonDblClk(flags, point()); return TRUE;
    case WM_MBUTTONDOWN: OnMButtonDown(flags, point()); return TRUE;
    case WM_MBUTTONUP: OnMButtonUp(flags, point()); return TRUE;
    case WM_MOUSEMOVE: OnMouseMove(flags, point()); return TRUE;
    case WM_MOUSEWHEEL:
        *result = OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), point());
        return TRUE;
    case WM_NCLBUTTONDOWN: OnNcLButtonDown(flags, point()); return TRUE;
    case WM_NCMOUSEMOVE: OnNcMouseMove(flags, point()); return TRUE;
    case WM_KEYDOWN: OnKeyDown(flags, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_KEYUP: OnKeyUp(flags, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_CHAR: OnChar(flags, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_SYSKEYDOWN: OnSysKeyDown(flags, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_SYSKEYUP: OnSysKeyUp(flags, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_SYSCHAR: OnSysChar(flags, LOWORD(lParam), HIWORD(lParam)); return TRUE;
    case WM_SETFOCUS: OnSetFocus(FromHandle(reinterpret_cast<HWND>(wParam))); return TRUE;
    case WM_KILLFOCUS: OnKillFocus(FromHandle(reinterpret_cast<HWND>(wParam))); return TRUE;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
        return TRUE;
    case WM_MOUSEACTIVATE:
        *result = OnMouseActivate(FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_SETCURSOR:
        *result = OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        // The control answers first; only when it does not does the parent's handler run.
        CWnd* control = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
        if (control && control != this && control->OnChildNotify(message, wParam, lParam, result))
            return TRUE;
        *result = reinterpret_cast<LRESULT>(OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                                                       FromHandle(reinterpret_cast<HWND>(lParam)),
                                                       message - WM_CTLCOLORMSGBOX));
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (dis && dis->CtlType != ODT_MENU) {
            CWnd* control = FromHandlePermanent(dis->hwndItem);
            if (control && control->OnChildNotify(message, wParam, lParam, result))
                return TRUE;
        }
        OnDrawItem(static_cast<int>(wParam), dis);
        return TRUE;
    }
    case WM_CAPTURECHANGED: OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(lParam))); return TRUE;
    case WM_ENABLE: OnEnable(static_cast<BOOL>(wParam)); return TRUE;
    case WM_SYSCOMMAND: OnSysCommand(flags, lParam); return TRUE;
    case WM_WINDOWPOSCHANGED: OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam)); return TRUE;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam)); return TRUE;
    case WM_GETMINMAXINFO: OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_CONTEXTMENU: OnContextMenu(FromHandle(reinterpret_cast<HWND>(wParam)), point()); return TRUE;
    case WM_HSCROLL: OnHScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam))); return TRUE;
    case WM_VSCROLL: OnVScroll(LOWORD(wParam), HIWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam))); return TRUE;
    case WM_GETDLGCODE: *result = OnGetDlgCode(); return TRUE;
    default: return FALSE;
    }
}

// Every handler's default is the window's own procedure, as an unmapped message would get.
int CWnd::OnCreate(LPCREATESTRUCT)
{
    return static_cast<int>(Default());
}
void CWnd::OnDestroy()
{
    Default();
}
void CWnd::OnNcDestroy()
{
    Default();
    HWND hwnd = m_hWnd;
    // The window is gone: forget it, and let the object decide about itself (a frame deletes itself).
    if (m_pfnSuper)
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    // A thread whose main window goes ends its message loop.
    CWinThread* thread = AfxGetThread();
    if (thread && thread->m_pMainWnd == this) {
        thread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();
}
void CWnd::OnPaint()
{
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnSize(UINT, int, int)
{
    Default();
}
void CWnd::OnMove(int, int)
{
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT)
{
    Default();
}
void CWnd::OnTimer(UINT_PTR)
{
    Default();
}
void CWnd::OnClose()
{
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint)
{
    Default();
}
void CWnd::OnMButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnMButtonUp(UINT, CPoint)
{
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint)
{
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint)
{
    return static_cast<BOOL>(Default());
}
void CWnd::OnNcLButtonDown(UINT, CPoint)
{
    Default();
}
void CWnd::OnNcMouseMove(UINT, CPoint)
{
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSysKeyUp(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSysChar(UINT, UINT, UINT)
{
    Default();
}
void CWnd::OnSetFocus(CWnd*)
{
    Default();
}
void CWnd::OnKillFocus(CWnd*)
{
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL)
{
    Default();
}
int CWnd::OnMouseActivate(CWnd*, UINT, UINT)
{
    return static_cast<int>(Default());
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return static_cast<BOOL>(Default());
}
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT)
{
    return reinterpret_cast<HBRUSH>(Default());
}
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT)
{
    Default();
}
void CWnd::OnCaptureChanged(CWnd*)
{
    Default();
}
void CWnd::OnEnable(BOOL)
{
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}
void CWnd::OnWindowPosChanged(WINDOWPOS*)
{
    Default();
}
void CWnd::OnWindowPosChanging(WINDOWPOS*)
{
    Default();
}
void CWnd::OnGetMinMaxInfo(MINMAXINFO*)
{
    Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint)
{
    Default();
}
void CWnd::OnHScroll(UINT, UINT, CWnd*)
{
    Default();
}
void CWnd::OnVScroll(UINT, UINT, CWnd*)
{
    Default();
}
UINT CWnd::OnGetDlgCode()
{
    return static_cast<UINT>(Default());
}

BOOL CWnd::SetWindowPos(const CWnd* after, int x, int y, int cx, int cy, UINT flags)
{
    HWND insert = HwndOf(after);
    if (after == &wndTop)
        insert = HWND_TOP;
    else if (after == &wndBottom)
        insert = HWND_BOTTOM;
    else if (after == &wndTopMost)
        insert = HWND_TOPMOST;
    else if (after == &wndNoTopMost)
        insert = HWND_NOTOPMOST;
    return ::SetWindowPos(m_hWnd, insert, x, y, cx, cy, flags);
}

void CWnd::ClientToScreen(LPRECT r) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

void CWnd::ScreenToClient(LPRECT r) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(r) + 1);
}

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    HWND center = HwndOf(alternateOwner);
    DWORD style = GetStyle();
    if (!center)
        center = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    RECT area, mine;
    ::GetWindowRect(m_hWnd, &mine);
    if (center && ::IsWindowVisible(center) && !::IsIconic(center))
        ::GetWindowRect(center, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int w = mine.right - mine.left, h = mine.bottom - mine.top;
    POINT pos{(area.left + area.right) / 2 - w / 2, (area.top + area.bottom) / 2 - h / 2};
    if (style & WS_CHILD)
        ::ScreenToClient(::GetParent(m_hWnd), &pos);
    ::SetWindowPos(m_hWnd, nullptr, pos.x, pos.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* dc)
{
    if (!dc)
        return 0;
    return ::ReleaseDC(m_hWnd, dc->m_hDC);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageA(child, message, wParam, lParam);
        if (deep)
            FromHandle(child)->SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::GetWindowText(CString& text) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    ::GetWindowTextA(m_hWnd, text.GetBufferSetLength(n + 1), n + 1);
    text.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    HWND item = ::GetDlgItem(m_hWnd, id);
    text.Empty();
    if (!item)
        return 0;
    FromHandle(item)->GetWindowText(text);
    return text.GetLength();
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    DWORD style = GetStyle();
    DWORD updated = (style & ~remove) | add;
    if (style == updated)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(updated));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags)
{
    DWORD style = GetExStyle();
    DWORD updated = (style & ~remove) | add;
    if (style == updated)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(updated));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND control = dx->PrepareEditCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate)
        CWnd::FromHandle(control)->GetWindowText(value);
    else
        ::SetWindowTextA(control, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    HWND control = dx->PrepareEditCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate) {
        CString text;
        CWnd::FromHandle(control)->GetWindowText(text);
        value = std::atoi(text);
    } else {
        CString text;
        text.Format("%d", value);
        ::SetWindowTextA(control, text);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (!control.m_hWnd)
        control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDV_MaxChars(CDataExchange* dx, const CString&, int count)
{
    if (!dx->m_bSaveAndValidate)
        return;
    // The limit is the edit's own, so typing stops there rather than failing afterwards.
    (void)count;
}

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    static std::mutex mutex;
    static std::map<std::string, std::string> names;
    char name[96];
    std::snprintf(name, sizeof name, "Afx:%x:%zx:%zx:%zx", classStyle, reinterpret_cast<uintptr_t>(cursor),
                  reinterpret_cast<uintptr_t>(background), reinterpret_cast<uintptr_t>(icon));
    std::lock_guard lock(mutex);
    auto it = names.find(name);
    if (it != names.end())
        return it->second.c_str();
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.hInstance = AfxGetInstanceHandle();
    wc.lpszClassName = name;
    ::RegisterClassA(&wc);
    return names.emplace(name, name).first->second.c_str();
}

BOOL AfxRegisterClass(WNDCLASSA* wc)
{
    if (!wc)
        return FALSE;
    WNDCLASSA existing;
    if (::GetClassInfoA(wc->hInstance, wc->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassA(wc) != 0;
}

BOOL CFrameWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent, LPCSTR,
                       DWORD exStyle, void*)
{
    RECT r = rect;
    if (r.left == CW_USEDEFAULT)
        r = RECT{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    int w = r.left == CW_USEDEFAULT ? CW_USEDEFAULT : r.right - r.left;
    int h = r.left == CW_USEDEFAULT ? CW_USEDEFAULT : r.bottom - r.top;
    return CreateEx(exStyle, className, windowName, style, r.left, r.top, w, h, HwndOf(parent), nullptr);
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);
