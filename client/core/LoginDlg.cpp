#include "LoginDlg.h"

#include "ClientApp.h"
#include "ClientGlobals.h"
#include "ClientSession.h"

#include <NotifyDlg.h>
#include <ToolkitShared.h>

#include <YondaComm.h>
#include <shellapi.h>

CLoginDlg::CLoginDlg(CSkinElement* element, CWnd* owner) : CSkinDialog(element, kTemplate, owner)
{
    m_pSkin = new CLoginSkin;
}

CLoginDlg::~CLoginDlg() = default;

void CLoginDlg::SetLoginInfo(LPCSTR id, LPCSTR password)
{
    m_strUserID = id ? id : "";
    m_strPassword = password ? password : "";
}

void CLoginDlg::ClearLoginInfo()
{
    m_strUserID.Empty();
    m_strPassword.Empty();
}

void CLoginDlg::SetCheckButtonState(BOOL state)
{
    m_bRememberMe = state ? TRUE : FALSE;
    if (m_btnRememberMe.GetSafeHwnd()) {
        m_btnRememberMe.SetState(m_bRememberMe);
    }
}

void CLoginDlg::DoDataExchange(CDataExchange* dx)
{
    CSkinDialog::DoDataExchange(dx);
    DDX_Text(dx, kIdEdit, m_strUserID);
    DDX_Text(dx, kPassEdit, m_strPassword);
}

int CLoginDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1) {
        return -1;
    }
    ModifyStyle(0, WS_SYSMENU);
    if (CClientApp* app = ClientApp()) {
        SetWindowText(app->m_strTitle);
    }
    ::SetClassLongPtrA(GetSafeHwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(ToolkitNormalCursor()));
    CLoginSkin* skin = LoginSkin();
    CreateSkinButton(&m_btnRememberMe, &skin->m_elLogin[CLoginSkin::REMEMBER_ME_BTN], this, TRUE);
    CreateSkinButton(&m_btnForgotPass, &skin->m_elLogin[CLoginSkin::FORGOT_PASS], this, TRUE);
    CreateSkinButton(&m_btnJoin, &skin->m_elLogin[CLoginSkin::JOIN], this, TRUE);
    CreateSkinButton(&m_btnOK, skin->Element("OKBTN"), this, TRUE);
    CreateSkinButton(&m_btnClose, skin->Element("CloseBtn"), this, FALSE);
    return 0;
}

void CLoginDlg::EnsureEdits()
{
    // The dialog's template holds both edits; a template that lost them still gives a usable login.
    const struct {
        int id;
        DWORD style;
    } edits[] = {{kIdEdit, ES_AUTOHSCROLL}, {kPassEdit, ES_AUTOHSCROLL | ES_PASSWORD}};
    for (const auto& edit : edits) {
        if (!Edit(edit.id)) {
            ::CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | edit.style, 0, 0, 120,
                              20, GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(edit.id)),
                              AfxGetInstanceHandle(), nullptr);
        }
    }
}

void CLoginDlg::PlaceEdit(int id, int element)
{
    CWnd* edit = Edit(id);
    const RECT& rect = LoginSkin()->m_elLogin[element].rcRect;
    if (edit && !::IsRectEmpty(&rect)) {
        edit->MoveWindow(&rect);
    }
}

BOOL CLoginDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    // The title by which a second start finds the running program (the template has none).
    if (CClientApp* app = ClientApp()) {
        SetWindowText(app->m_strTitle);
    }
    EnsureEdits();
    if (CWnd* id = Edit(kIdEdit)) {
        id->SendMessage(EM_LIMITTEXT, kIdLimit, 0);
        if (g_pGuiFont) {
            id->SetFont(g_pGuiFont);
        }
    }
    if (CWnd* password = Edit(kPassEdit)) {
        password->SendMessage(EM_LIMITTEXT, kPasswordLimit, 0);
        if (g_pGuiFont) {
            password->SetFont(g_pGuiFont);
        }
    }
    UpdateData(FALSE);
    SetCheckButtonState(m_bRememberMe);
    PlaceEdit(kIdEdit, CLoginSkin::ID_EDIT);
    if (CWnd* id = Edit(kIdEdit)) {
        id->SendMessage(EM_SETSEL, 0, -1);
    }
    PlaceEdit(kPassEdit, CLoginSkin::PASS_EDIT);
    SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return FALSE; // the focus is placed when the dialog shows
}

void CLoginDlg::FocusEdit(int id, BOOL selectAll)
{
    CWnd* edit = Edit(id);
    if (!edit) {
        return;
    }
    GotoDlgCtrl(edit);
    if (selectAll) {
        edit->SendMessage(EM_SETSEL, 0, -1);
    } else {
        const int end = edit->GetWindowTextLength();
        edit->SendMessage(EM_SETSEL, end, end);
    }
}

void CLoginDlg::OnShowWindow(BOOL show, UINT status)
{
    CSkinDialog::OnShowWindow(show, status);
    if (!show) {
        return;
    }
    PlaceEdit(kPassEdit, CLoginSkin::PASS_EDIT);
    if (m_strUserID.IsEmpty()) {
        FocusEdit(kIdEdit, FALSE);
    } else {
        FocusEdit(kPassEdit, TRUE);
    }
}

BOOL CLoginDlg::PreTranslateMessage(MSG* msg)
{
    // Only keys meant for this dialog: a box opened over it handles its own Enter.
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
        (msg->hwnd == GetSafeHwnd() || ::IsChild(GetSafeHwnd(), msg->hwnd))) {
        OnSkinOk();
        return TRUE;
    }
    return CSkinDialog::PreTranslateMessage(msg);
}

void CLoginDlg::OnSkinOk()
{
    UpdateData(TRUE);
    if (m_strUserID.IsEmpty()) {
        CNotifyDlg(CString("LoginFailDlg"), this).DoModal();
        ClearLoginInfo();
        UpdateData(FALSE);
        FocusEdit(kIdEdit, FALSE);
        return;
    }
    if (m_strPassword.IsEmpty()) {
        CNotifyDlg(CString("LoginFailDlg"), this).DoModal();
        m_strPassword.Empty();
        UpdateData(FALSE);
        FocusEdit(kPassEdit, FALSE);
        return;
    }
    if (!g_pComm || !g_pComm->IsConnected()) {
        EndDialog(kResultDisconnected);
        return;
    }
    long user = 0;
    char flag = 0;
    if (g_pComm->QueryLogin(m_strUserID, m_strPassword, user, flag)) {
        m_lUser = user;
        m_cFlag = flag;
        EndDialog(IDOK);
        return;
    }
    if (!g_pComm->IsConnected()) {
        EndDialog(kResultDisconnected);
        return;
    }
    m_strPassword.Empty();
    UpdateData(FALSE);
    FocusEdit(kPassEdit, FALSE);
    CNotifyDlg(CString("LoginFailDlg"), this).DoModal();
}

void CLoginDlg::OpenUrl(const CString& url)
{
    if (!url.IsEmpty()) {
        ::ShellExecuteA(GetSafeHwnd(), "open", url, nullptr, nullptr, SW_SHOWNORMAL);
    }
}

BOOL CLoginDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    CClientApp* app = ClientApp();
    switch (LOWORD(wParam)) {
    case kCommandRememberMe: SetCheckButtonState(!m_bRememberMe); return TRUE;
    case kCommandForgotPass:
        if (app) {
            OpenUrl(app->m_strPasswordUrl);
        }
        return TRUE;
    case kCommandJoin:
        if (app) {
            OpenUrl(app->m_strJoinUrl);
        }
        return TRUE;
    default: return CSkinDialog::OnCommand(wParam, lParam);
    }
}
