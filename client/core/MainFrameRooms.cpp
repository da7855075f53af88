// The main frame's room services: the room dialogs it runs, the conversation subject and the
// subject board's picture; joining a room from a list, the text input that asks a closed room's
// password, and the search windows.
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "MainFrame.h"

#include <MainSkin.h>
#include <MakeGameRoomDlg.h>
#include <ModifyRoomDlg.h>
#include <NotifyDlg.h>
#include <QuestionDlg.h>
#include <RoomInfoDlg.h>
#include <TextInputDlg.h>

#include <YondaComm.h>

namespace {
constexpr int kGameLobby = 4;

// The command that takes the member from `location` into a room, or into a lobby's common area.
int JoinCommand(int location, BOOL lobbyArea)
{
    if (location == LOC_LOBBY) {
        return lobbyArea ? CMD_MOVE_TO_LOBBY : CMD_MOVE_TO_ROOM;
    }
    if (location == LOC_ROOM_HOST || location == LOC_ROOM) {
        return lobbyArea ? CMD_RETURN_TO_LOBBY : CMD_MOVE_TO_ROOM_2;
    }
    return lobbyArea ? CMD_ENTER_LOBBY : CMD_ENTER_ROOM;
}

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

BOOL CMainFrame::JoinRoom(int lobby, int room)
{
    if (lobby == -1 || !m_pSession) {
        return FALSE;
    }
    const long place =
        (static_cast<long>(static_cast<unsigned short>(room)) << 16) | static_cast<unsigned short>(lobby);
    EX_YONDA_BODY_R_ROOM_INFO info{};
    // A room that closed since it was listed cannot be joined.
    if (m_pSession->SendRequest(REQ_ROOM_INFO, place, reinterpret_cast<LPARAM>(&info)) != kRequestAccepted) {
        ShowNotifyBox(m_pSession->GetTableString("CantJoinRoom"), 0, 13);
        return FALSE;
    }
    const BOOL full = info.byUsers >= info.byMaxUsers;
    const BOOL closed = info.cClosed == 'C';
    const BOOL lobbyArea = info.cLobbyArea == 'W';
    if (full) {
        ShowNotifyBox(m_pSession->GetTableString("RoomFull"), 0, 13);
        return FALSE;
    }
    CString password;
    if (closed && !lobbyArea && !AskText(&password)) {
        return FALSE;
    }
    const int command = JoinCommand(m_pSession->GetLocation(), lobbyArea);
    if (m_pSession->ExecuteCommand(command, place, reinterpret_cast<LPARAM>(password.GetString())) == kCommandDone) {
        char name[sizeof(info.szName) + 1] = {};
        CopyField(name, info.szName, sizeof(info.szName));
        m_wndToolBar.SetText(name);
        return TRUE;
    }
    m_pSession->SetLocation(LOC_LOBBY);
    ShowNotifyBox(m_pSession->GetTableString(closed ? "PasswordFail" : "CantJoinRoom"), 0, 13);
    return FALSE;
}

BOOL CMainFrame::AskText(CString* text)
{
    CSkinElement* element = g_pMainSkin ? g_pMainSkin->Element("DLG_PASSWORD_CONFIRM") : nullptr;
    CTextInputDlg dialog(element, this);
    const BOOL wasModal = m_bModal;
    m_bModal = TRUE;
    const INT_PTR answer = dialog.DoModal();
    m_bModal = wasModal;
    if (answer != IDOK) {
        return FALSE;
    }
    if (text) {
        *text = dialog.m_strText;
    }
    return TRUE;
}

void CMainFrame::OpenSearchWindow(int id)
{
    if (!g_pMainSkin) {
        return;
    }
    if (id == kUserSearchWindow) {
        if (m_wndUserSearch.GetSafeHwnd()) {
            m_wndUserSearch.ShowWindow(SW_SHOW);
        } else {
            m_wndUserSearch.Create(this, g_pMainSkin->Element("WND_SEARCH_USER"));
        }
        return;
    }
    if (id != kRoomSearchWindow) {
        return;
    }
    if (m_wndRoomSearch.GetSafeHwnd()) {
        // Opened again: the lobby list shows the rooms as they are now.
        m_wndRoomSearch.SetTab(m_wndRoomSearch.m_nCurrentTab);
        m_wndRoomSearch.ShowWindow(SW_SHOW);
        return;
    }
    m_wndRoomSearch.Create(this, g_pMainSkin->Element("WND_SEARCH_ROOM"));
}

void CMainFrame::OnJoinRoomAsked(WPARAM place, HWND asker)
{
    const int lobby = static_cast<short>(LOWORD(place));
    const int room = static_cast<short>(HIWORD(place));
    if (!JoinRoom(lobby, room)) {
        return;
    }
    // The window the join came from is done; a window that has gone meanwhile is left alone.
    if (asker && ::IsWindow(asker)) {
        ::PostMessageA(asker, WM_CLOSE, 0, 0);
    }
    if (m_pSession) {
        OnLocationChanged(m_pSession->GetLocation());
    }
}
