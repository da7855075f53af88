#include "TextInputDlg.h"

CTextInputDlg::CTextInputDlg(CSkinElement* element, CWnd* parent) : CSkinDialog(element, kTemplate, parent)
{
    m_pSkin = new CRoomDlgSkin;
}

int CTextInputDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1) {
        return -1;
    }
    auto* skin = static_cast<CRoomDlgSkin*>(m_pSkin);
    const CSkinElement& place = skin->m_elEdits[CRoomDlgSkin::PASS_EDIT];
    m_editText.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, place.rcRect, this,
                      static_cast<UINT>(place.nID));
    m_editText.SetLimitText(kTextLimit);
    CreateSkinButton(&m_btnClose, &skin->m_elCloseBtn, this, 0);
    CreateSkinButton(&m_btnOK, &skin->m_elButtons[CDialogSkin::OKBTN], this, 1);
    CreateSkinButton(&m_btnCancel, &skin->m_elButtons[CDialogSkin::CANCELBTN], this, 1);
    return 0;
}

BOOL CTextInputDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    if (m_pElement) {
        SetWindowText(m_pElement->strTitle);
    }
    m_editText.SetFocus();
    return FALSE; // the focus is set
}

BOOL CTextInputDlg::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
        OnSkinOk();
        return TRUE;
    }
    return CSkinDialog::PreTranslateMessage(msg);
}

void CTextInputDlg::OnSkinOk()
{
    if (m_editText.GetSafeHwnd()) {
        m_editText.GetWindowText(m_strText);
    }
    EndDialog(IDOK);
}
