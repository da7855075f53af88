#include "ModifyRoomDlg.h"

#include <ClientGlobals.h>
#include <ClientSession.h>

#include <YondaComm.h>

CModifyRoomDlg::CModifyRoomDlg(CSkinElement* element, CWnd* parent) : CRoomDialog(element, parent) {}

int CModifyRoomDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CRoomDialog::OnCreate(cs) == -1) {
        return -1;
    }
    CreateEdit(&m_editName, CRoomDlgSkin::ROOM_NAME_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, kNameLimit);
    CreateEdit(&m_editSubject, CRoomDlgSkin::ROOM_SUBJECT_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, kSubjectLimit);
    // The host sees the password it set.
    CreateEdit(&m_editPassword, CRoomDlgSkin::PASS_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, kPasswordLimit);
    CreateCommonButtons();
    CreateSelector(&m_listCount, "ComboCountMakeRoom");
    return 0;
}

BOOL CModifyRoomDlg::OnInitDialog()
{
    CRoomDialog::OnInitDialog();
    EX_YONDA_BODY_R_ROOM_INFO info{};
    if (!g_pSession ||
        g_pSession->SendRequest(REQ_CURRENT_ROOM_INFO, 0, reinterpret_cast<LPARAM>(&info)) != kRequestAccepted) {
        return TRUE;
    }
    char name[sizeof(info.szName) + 1] = {};
    char subject[sizeof(info.szSubject) + 1] = {};
    CopyField(name, info.szName, sizeof(info.szName));
    CopyField(subject, info.szSubject, sizeof(info.szSubject));
    m_nUsers = info.byUsers;
    m_nMaxUsers = info.byMaxUsers;
    m_bClosed = info.cClosed == 'C';
    m_strName = name;
    m_strSubject = subject;
    m_editName.SetWindowText(m_strName);
    m_editSubject.SetWindowText(m_strSubject);
    if (m_bClosed) {
        m_editPassword.SetWindowText(g_pSession->m_strRoomPassword);
    }
    m_listCount.SetSelection(m_nMaxUsers - 1);
    return TRUE;
}

void CModifyRoomDlg::OnSkinOk()
{
    const CString name = CutText(WindowText(m_editName), kNameLimit);
    const CString subject = CutText(WindowText(m_editSubject), kSubjectLimit);
    const CString password = CutText(WindowText(m_editPassword), kPasswordLimit);
    if (name.IsEmpty()) {
        ShowTableMessage("ERROR_ROOMNAME_EMPTY");
        return;
    }
    const int limit = SelectedNumber(m_listCount);
    if (limit < m_nUsers) {
        ShowTableMessage("EditRoomMaxUserError");
        return;
    }
    const CString oldPassword = g_pSession ? g_pSession->m_strRoomPassword : CString();
    const char nameChanged = name != m_strName ? 'Y' : 'N';
    const char subjectChanged = subject != m_strSubject ? 'Y' : 'N';
    const char limitChanged = limit != m_nMaxUsers ? 'Y' : 'N';
    const char passwordChanged = password != oldPassword ? 'Y' : 'N';
    if (nameChanged == 'N' && subjectChanged == 'N' && limitChanged == 'N' && passwordChanged == 'N') {
        EndDialog(IDOK);
        return;
    }
    CYondaComm* comm = g_pSession ? g_pSession->GetComm() : nullptr;
    if (comm && comm->QueryRoomModInfo(g_pSession->m_nCurrentLobby, nameChanged, name, subjectChanged, subject,
                                       limitChanged, static_cast<unsigned char>(limit), passwordChanged, password)) {
        EndDialog(IDOK);
        return;
    }
    ShowTableMessage("EditRoomError");
}
