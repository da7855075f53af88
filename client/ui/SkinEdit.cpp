#include "SkinEdit.h"

#include "ToolkitShared.h"

namespace {

// A key counts as held when the high bit of its state is set.
int KeyHeld(int vk)
{
    return (static_cast<unsigned short>(::GetKeyState(vk)) & 0x8000) != 0 ? 1 : 0;
}

bool GoesToMainWindow(const MSG& msg)
{
    if (msg.message == WM_MOUSEWHEEL || msg.message == WM_SYSKEYDOWN) {
        return true;
    }
    if (msg.message != WM_KEYDOWN) {
        return false;
    }
    return msg.wParam == VK_PRIOR || msg.wParam == VK_NEXT || (msg.wParam >= VK_F1 && msg.wParam <= VK_F24);
}

} // namespace

CSkinEdit::CSkinEdit() : m_crFrame(::GetSysColor(COLOR_WINDOWFRAME))
{
    m_brBack.CreateSolidBrush(m_crBack);
    m_brFrame.CreateSolidBrush(m_crFrame);
}

int CSkinEdit::OnCreate(LPCREATESTRUCT cs)
{
    if (CEdit::OnCreate(cs) == -1) {
        return -1;
    }
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(ToolkitGuiFont()), FALSE);
    SetMargins(2, 2);
    if (m_bInputLine) {
        LimitText(kInputLineLimit);
    }
    return 0;
}

BOOL CSkinEdit::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FrameRect(&client, &m_brFrame);
    client.DeflateRect(1, 1);
    dc->FillRect(&client, &m_brBack);
    return CEdit::OnEraseBkgnd(dc);
}

HBRUSH CSkinEdit::CtlColor(CDC* dc, UINT)
{
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_crText);
    dc->SetBkColor(m_crBack);
    return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}

BOOL CSkinEdit::OnReflectedCommand(UINT code)
{
    if (code != EN_UPDATE) {
        return FALSE;
    }
    OnUpdate();
    return TRUE;
}

void CSkinEdit::OnUpdate()
{
    if (!m_bInputLine) {
        return;
    }
    if (m_bCtrlDown) {
        m_bNewLinePending = 1;
        return;
    }
    CString text;
    GetWindowText(text);
    if (text.IsEmpty()) {
        return;
    }
    // The line break the control itself puts in for the Enter that already sent the line.
    if (text == "\r\n") {
        SetWindowText("");
    } else {
        Invalidate(TRUE);
    }
}

void CSkinEdit::OnKeyDown(UINT ch, UINT repeat, UINT flags)
{
    if (m_bTrackModifiers) {
        m_bCtrlDown = KeyHeld(VK_CONTROL);
        m_bShiftDown = KeyHeld(VK_SHIFT);
    }
    if (ch == VK_RETURN) {
        CString text;
        GetWindowText(text);
        SendLine(text + "\r\n");
        return;
    }
    CEdit::OnKeyDown(ch, repeat, flags);
}

void CSkinEdit::SendLine(CString text)
{
    const int lastReturn = text.ReverseFind('\r');
    m_strSent = lastReturn >= 0 ? text.Left(lastReturn) : text;
    if (m_bInputLine) {
        SetWindowText("");
    }
    HWND parent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
    if (parent && !m_strSent.IsEmpty()) {
        // A copy, so a parent that sets the edit's text in its handler cannot pull the line away.
        const CString line = m_strSent;
        ::SendMessageA(parent, UM_EDIT_ENTER, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(line)));
        m_bNewLinePending = 0;
    }
}

BOOL CSkinEdit::PreTranslateMessage(MSG* msg)
{
    if (GoesToMainWindow(*msg)) {
        // Before the main frame exists (the login dialog) the keys stay with the edit.
        CWnd* main = AfxGetMainWnd();
        if (main && main->m_hWnd) {
            ::PostMessageA(main->m_hWnd, msg->message, msg->wParam, msg->lParam);
            return TRUE;
        }
    } else if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
        HWND parent = ::GetParent(m_hWnd);
        if (parent) {
            ::PostMessageA(parent, msg->message, msg->wParam, msg->lParam);
            return TRUE;
        }
    }
    return CEdit::PreTranslateMessage(msg);
}
