// CDialog over the dialog manager: the object is attached before WM_CREATE, so OnCreate runs
// before OnInitDialog; DoModal disables the owner and runs a loop that keeps dispatching posted
// messages and timers until EndDialog, and loops nest.
#include <afxwin.h>
#include <yonda_user.h>

namespace yonda::user {
bool FindDialogTemplate(LPCSTR name, YondaDialogTemplate* out);
HWND CreateDialogFromTemplate(const YondaDialogTemplate& t, HWND owner, DLGPROC proc, LPARAM param);
} // namespace yonda::user

namespace {

void AttachDialog(HWND hwnd, void* context)
{
    static_cast<CWnd*>(context)->SubclassWindow(hwnd);
}

// Templates nobody registered still make a dialog: an empty popup sized at run time.
const YondaDialogTemplate kEmptyTemplate{WS_POPUP, 0, 0, 0, 100, 100, "", nullptr, 0};

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCE(templateId)), m_nIDHelp(templateId), m_pParentWnd(parent)
{}

CDialog::CDialog(LPCSTR templateName, CWnd* parent) : m_lpszTemplateName(templateName), m_pParentWnd(parent) {}

BOOL CDialog::CreateFromTemplate(CWnd* owner, BOOL modal)
{
    YondaDialogTemplate t;
    if (!yonda::user::FindDialogTemplate(m_lpszTemplateName, &t))
        t = kEmptyTemplate;
    if (modal)
        t.style &= ~WS_VISIBLE;
    m_bModal = modal;
    YondaSetCreateHook(&AttachDialog, this);
    HWND hwnd = yonda::user::CreateDialogFromTemplate(t, HwndOf(owner), nullptr, 0);
    YondaSetCreateHook(nullptr, nullptr);
    return hwnd != nullptr;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    return Create(MAKEINTRESOURCE(templateId), parent);
}

BOOL CDialog::Create(LPCSTR templateName, CWnd* parent)
{
    m_lpszTemplateName = templateName;
    m_pParentWnd = parent;
    return CreateFromTemplate(parent ? parent : AfxGetMainWnd(), FALSE);
}

INT_PTR CDialog::DoModal()
{
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    HWND ownerHwnd = HwndOf(owner);
    if (ownerHwnd && !::IsWindow(ownerHwnd))
        ownerHwnd = nullptr;
    if (ownerHwnd)
        ownerHwnd = ::GetAncestor(ownerHwnd, GA_ROOT);
    bool reenable = ownerHwnd && ::IsWindowEnabled(ownerHwnd);
    if (reenable)
        ::EnableWindow(ownerHwnd, FALSE);
    m_nModalResult = -1;
    m_bContinueModal = TRUE;
    if (CreateFromTemplate(CWnd::FromHandle(ownerHwnd), TRUE) && m_bContinueModal) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        RunModalLoop();
    }
    if (reenable)
        ::EnableWindow(ownerHwnd, TRUE);
    if (m_hWnd) {
        if (ownerHwnd && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(ownerHwnd);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    m_bModal = FALSE;
    return m_nModalResult;
}

int CDialog::RunModalLoop()
{
    CWinThread* thread = AfxGetThread();
    MSG msg;
    while (m_bContinueModal && m_hWnd) {
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam)); // leave it for the outer loop
            break;
        }
        BOOL handled = thread ? thread->PreTranslateMessage(&msg) : CWnd::WalkPreTranslateTree(m_hWnd, &msg);
        if (!handled) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int result)
{
    m_nModalResult = result;
    if (m_bModal) {
        m_bContinueModal = FALSE;
        if (m_hWnd)
            ::PostMessageA(m_hWnd, WM_NULL, 0, 0); // wakes the modal loop
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_INITDIALOG) {
        Default();
        *result = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        return ::IsDialogMessageA(m_hWnd, msg);
    return FALSE;
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* ctl)
{
    if (ctl)
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl->m_hWnd), 1);
}
