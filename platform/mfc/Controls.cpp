// The MFC control classes: creation with the standard classes, and the owner-draw reflection that
// turns the parent's WM_DRAWITEM into the button's own DrawItem.
#include <afxcmn.h>
#include <afxwin.h>

BOOL CButton::Create(LPCSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("BUTTON", caption, style, rect, parent, id);
}

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *result = TRUE;
        return TRUE;
    }
    return CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("STATIC", text, style, rect, parent, id);
}

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create("EDIT", nullptr, style, rect, parent, id);
}

void CEdit::GetSel(int& start, int& end) const
{
    DWORD sel = static_cast<DWORD>(::SendMessageA(m_hWnd, EM_GETSEL, 0, 0));
    start = LOWORD(sel);
    end = HIWORD(sel);
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style)
{
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, 0, 0, 0, 0, HwndOf(parent), nullptr);
}

TOOLINFOA CToolTipCtrl::Info(CWnd* wnd, UINT_PTR toolId, LPCRECT rect) const
{
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = HwndOf(wnd);
    if (!rect && toolId == 0) {
        // The whole window is the tool.
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(ti.hwnd);
        ti.hwnd = ::GetParent(ti.hwnd) ? ::GetParent(ti.hwnd) : ti.hwnd;
    } else {
        ti.uId = toolId;
        if (rect)
            ti.rect = *rect;
    }
    return ti;
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, LPCSTR text, LPCRECT rect, UINT_PTR toolId)
{
    TOOLINFOA ti = Info(wnd, toolId, rect);
    ti.lpszText = const_cast<LPSTR>(text);
    return static_cast<BOOL>(::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* wnd, UINT textId, LPCRECT rect, UINT_PTR toolId)
{
    CString text;
    text.LoadString(textId);
    return AddTool(wnd, text, rect, toolId);
}

void CToolTipCtrl::DelTool(CWnd* wnd, UINT_PTR toolId)
{
    TOOLINFOA ti = Info(wnd, toolId, nullptr);
    ::SendMessageA(m_hWnd, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* wnd, UINT_PTR toolId)
{
    TOOLINFOA ti = Info(wnd, toolId, nullptr);
    ti.lpszText = const_cast<LPSTR>(text);
    ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::SetToolRect(CWnd* wnd, UINT_PTR toolId, LPCRECT rect)
{
    TOOLINFOA ti = Info(wnd, toolId, rect);
    ::SendMessageA(m_hWnd, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
}
