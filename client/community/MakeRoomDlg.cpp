#include "MakeRoomDlg.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <NotifyDlg.h>

#include <cstring>

CMakeRoomDlg::CMakeRoomDlg(CSkinElement* element, CWnd* parent) : CRoomDialog(element, parent) {}

int CMakeRoomDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CRoomDialog::OnCreate(cs) == -1) {
        return -1;
    }
    CreateEdit(&m_editName, CRoomDlgSkin::ROOM_NAME_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, kNameLimit);
    CreateEdit(&m_editSubject, CRoomDlgSkin::ROOM_SUBJECT_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, kSubjectLimit);
    CreateEdit(&m_editPassword, CRoomDlgSkin::PASS_EDIT, WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, kPasswordLimit);
    CreateCommonButtons();
    CreateSelector(&m_listCount, "ComboCountMakeRoom");
    return 0;
}

void CMakeRoomDlg::FillRecord(YONDA_BODY_Q_ROOM_OPEN* record, LPCSTR name, LPCSTR subject, int limit, LPCSTR password)
{
    *record = YONDA_BODY_Q_ROOM_OPEN{};
    if (g_pSession) {
        record->nLobby =
            g_pSession->GetLocation() == LOC_LOBBY_SELECTED ? g_pSession->m_nChosenLobby : g_pSession->m_nCurrentLobby;
    }
    CopyField(record->szName, name, std::strlen(name));
    CopyField(record->szSubject, subject, std::strlen(subject));
    record->byMaxUsers = static_cast<BYTE>(limit);
    CopyField(record->szPassword, password, std::strlen(password));
}

void CMakeRoomDlg::OpenRoom(const CString& name, const CString& subject, int limit, const CString& password)
{
    YONDA_BODY_Q_ROOM_OPEN record;
    FillRecord(&record, name, subject, limit, password);
    const int result = g_pSession
                           ? g_pSession->ExecuteCommand(CMD_ROOM_OPEN, record.nLobby, reinterpret_cast<LPARAM>(&record))
                           : kCommandFailed;
    if (result == kCommandDone) {
        m_strRoomName = record.szName;
        g_pSession->m_strRoomPassword = record.szPassword;
        EndDialog(IDOK);
        return;
    }
    CNotifyDlg failed(CString("ErrorMakeRoom"), this);
    failed.DoModal();
}

void CMakeRoomDlg::OnSkinOk()
{
    const int limit = SelectedNumber(m_listCount);
    const CString name = CutText(WindowText(m_editName), kNameLimit);
    const CString subject = CutText(WindowText(m_editSubject), kSubjectLimit);
    const CString password = CutText(WindowText(m_editPassword), kPasswordLimit);
    // Only an empty name is refused: a name of blanks is a name.
    if (name.IsEmpty()) {
        ShowTableMessage("RoomNameEmpty");
        return;
    }
    OpenRoom(name, subject, limit, password);
}
