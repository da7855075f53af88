#include "RoomInfoDlg.h"

#include <ClientGlobals.h>
#include <ClientSession.h>

CRoomInfoDlg::CRoomInfoDlg(CSkinElement* element, CWnd* parent) : CRoomDialog(element, parent) {}

int CRoomInfoDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CRoomDialog::OnCreate(cs) == -1) {
        return -1;
    }
    CreateEdit(&m_editName, CRoomDlgSkin::ROOM_NAME_EDIT, WS_DISABLED, 0);
    CreateEdit(&m_editSubject, CRoomDlgSkin::ROOM_SUBJECT_EDIT, WS_DISABLED, 0);
    CreateEdit(&m_editCount, CRoomDlgSkin::COUNT_EDIT, WS_DISABLED, 0);
    CreateEdit(&m_editPassword, CRoomDlgSkin::PASS_EDIT, WS_DISABLED | ES_PASSWORD, 0);
    CreateCommonButtons();
    return 0;
}

BOOL CRoomInfoDlg::OnInitDialog()
{
    CRoomDialog::OnInitDialog();
    EX_YONDA_BODY_R_ROOM_INFO info{};
    if (!g_pSession) {
        return TRUE;
    }
    const long place = (static_cast<long>(static_cast<unsigned short>(g_pSession->m_nCurrentRoom)) << 16) |
                       static_cast<unsigned short>(g_pSession->m_nCurrentLobby);
    if (g_pSession->SendRequest(REQ_ROOM_INFO, place, reinterpret_cast<LPARAM>(&info)) != kRequestAccepted) {
        return TRUE;
    }
    char name[sizeof(info.szName) + 1] = {};
    char subject[sizeof(info.szSubject) + 1] = {};
    CopyField(name, info.szName, sizeof(info.szName));
    CopyField(subject, info.szSubject, sizeof(info.szSubject));
    m_editName.SetWindowText(name);
    m_editSubject.SetWindowText(subject);
    CString count;
    count.Format("%d/%d", info.byUsers, info.byMaxUsers);
    m_editCount.SetWindowText(count);
    if (info.cClosed == 'C') {
        m_editPassword.SetWindowText("*******");
    }
    return TRUE;
}
