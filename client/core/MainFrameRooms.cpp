// The main frame's room services: the room dialogs it runs, the conversation subject and the
// subject board's picture.
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "MainFrame.h"

#include <MainSkin.h>
#include <MakeGameRoomDlg.h>
#include <ModifyRoomDlg.h>
#include <QuestionDlg.h>
#include <RoomInfoDlg.h>

#include <YondaComm.h>

namespace {
constexpr int kGameLobby = 4;
} // namespace

void CMainFrame::OnRoomDialog(int type)
{
    if (!g_pMainSkin || !m_pSession || m_bModal) {
        return;
    }
    // Whatever the dialog, the frame's bars take no clicks while it runs.
    struct ModalScope {
        BOOL& flag;
        explicit ModalScope(BOOL& f) : flag(f) { flag = TRUE; }
        ~ModalScope() { flag = FALSE; }
    } modal(m_bModal);
    switch (type) {
    case 0:
        if (m_pSession->m_nChosenLobby == kGameLobby || m_pSession->m_nCurrentLobby == kGameLobby) {
            CMakeGameRoomDlg dialog(g_pMainSkin->Element("DLG_GAME_ROOM_MAKE"), this);
            if (dialog.DoModal() == IDOK) {
                OnRoomCreated(dialog.GetRoomName());
            }
        } else {
            CMakeRoomDlg dialog(g_pMainSkin->Element("DLG_ROOM_MAKE"), this);
            if (dialog.DoModal() == IDOK) {
                OnRoomCreated(dialog.GetRoomName());
            }
        }
        break;
    case 1: {
        CRoomInfoDlg dialog(g_pMainSkin->Element("DLG_ROOM_VIEW"), this);
        dialog.DoModal();
        break;
    }
    case 2: {
        CModifyRoomDlg dialog(g_pMainSkin->Element("DLG_ROOM_EDIT"), this);
        dialog.DoModal();
        break;
    }
    default: break;
    }
}

void CMainFrame::OpenQuestionDlg()
{
    if (!g_pMainSkin || !m_pSession || m_bModal) {
        return;
    }
    CQuestionDlg dialog(g_pMainSkin->Element("DLG_PUT_QUESION"), this);
    m_bModal = TRUE;
    const INT_PTR answer = dialog.DoModal();
    m_bModal = FALSE;
    if (answer != IDOK) {
        return;
    }
    m_wndView.SetRoomSubject(dialog.GetResult());
    if (CYondaComm* comm = m_pSession->GetComm()) {
        comm->QueryChatSetThemeString(m_pSession->m_nCurrentLobby, dialog.GetResult());
    }
}

void CMainFrame::ChangeBackground(int number)
{
    m_wndView.FadeOutBackground();
    m_wndView.FadeInBackground(number & 0xFFFF);
}
