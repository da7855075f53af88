#include "MakeGameRoomDlg.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <SceneSink.h>

CMakeGameRoomDlg::CMakeGameRoomDlg(CSkinElement* element, CWnd* parent) : CMakeRoomDlg(element, parent) {}

int CMakeGameRoomDlg::OnCreate(LPCREATESTRUCT cs)
{
    // The room layout's edits, without the plain room's subject edit and list.
    if (CRoomDialog::OnCreate(cs) == -1) {
        return -1;
    }
    CreateEdit(&m_editName, CRoomDlgSkin::ROOM_NAME_EDIT, WS_TABSTOP | ES_AUTOHSCROLL, kNameLimit);
    CreateEdit(&m_editPassword, CRoomDlgSkin::PASS_EDIT, WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, kPasswordLimit);
    CreateCommonButtons();
    CreateSelector(&m_listSubject, "ComboGameRoomSubject");
    CreateSelector(&m_listCount, "ComboCountGameRoom");
    return 0;
}

void CMakeGameRoomDlg::OnSkinOk()
{
    const int limit = SelectedNumber(m_listCount);
    const CString name = CutText(WindowText(m_editName), kNameLimit);
    const CString subject = CutText(m_listSubject.GetSelectedTag(), kSubjectLimit);
    const CString password = CutText(WindowText(m_editPassword), kPasswordLimit);
    if (name.IsEmpty()) {
        ShowTableMessage("RoomNameEmpty");
        return;
    }
    if (g_pSession && g_pSession->GetSceneSink()) {
        g_pSession->GetSceneSink()->SetRoomInfo(subject, limit);
    }
    OpenRoom(name, subject, limit, password);
}
