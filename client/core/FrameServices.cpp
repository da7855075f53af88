// What the main frame does for the community windows: the tool bar and the switch of its
// children while a modal frame shows, friends, going up one place, rooms made, members coming
// and going, help, and the instant-message events of the network library.
#include "ClientApp.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "MainFrame.h"

#include <MainSkin.h>
#include <MessengerWnd.h>
#include <NotifyDlg.h>
#include <SoundButton.h>
#include <ToolkitShared.h>
#include <UserInfoWnd.h>

#include <YondaCommRecords.h>

#include <shellapi.h>

#include <cstring>

namespace {

// The instant-message events (low byte of UM_COMM_MESSAGE's wParam).
enum { IM_RECEIVED = 128, IM_FRIEND_STATE = 129, IM_NOT_DELIVERED = 130 };

CString BlockText(const BYTE* block, size_t offset, size_t size)
{
    std::string text(size + 1, '\0');
    CopyField(text.data(), text.size(), reinterpret_cast<const char*>(block + offset), size);
    return CString(text.c_str());
}

// Every '%' doubled: the text is shown as it stands when it becomes part of a format.
CString AsLiteral(const CString& text)
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        out += text[i];
        if (text[i] == '%') {
            out += '%';
        }
    }
    return out;
}

// How many directives a table text holds and whether they are exactly one "%s" ("%%" is none).
bool HasOnlyOneStringDirective(const CString& text)
{
    int strings = 0;
    for (int i = 0; i + 1 < text.GetLength(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        if (text[i + 1] == 's') {
            ++strings;
        } else if (text[i + 1] != '%') {
            return false;
        }
        ++i;
    }
    return strings == 1;
}

} // namespace

// ---- The tool bar and the children's switch ------------------------------------------------

BOOL CMainFrame::CreateServiceWindows()
{
    ToolkitSetChildEnabler([this](CWnd* except, BOOL enable) { EnableChildren(except, enable); });
    // The program runs on without these windows rather than not at all.
    if (g_pMainSkin && m_wndRoomUser.Create(this, g_pMainSkin->Element("InfoWindow"))) {
        ReloadFriends();
        m_wndRoomUser.SetMode(m_pSession ? m_pSession->GetLocation() : LOC_NONE);
    }
    CSkinElement* element = g_pMainSkin ? g_pMainSkin->Element("WND_MENU") : nullptr;
    return m_wndToolBar.CreateBar(this, element);
}

void CMainFrame::ReleaseServiceWindows()
{
    if (m_pUserInfoWnd && m_pUserInfoWnd->GetSafeHwnd()) {
        m_pUserInfoWnd->DestroyWindow();
    }
    ToolkitSetChildEnabler(nullptr);
}

void CMainFrame::EnableChildren(CWnd* except, BOOL enable)
{
    for (HWND child = ::GetWindow(GetSafeHwnd(), GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((except && child == except->GetSafeHwnd()) || child == m_btnClose.GetSafeHwnd() ||
            child == m_btnMinimise.GetSafeHwnd()) {
            continue;
        }
        ::EnableWindow(child, enable);
    }
    m_bModal = enable ? FALSE : TRUE;
    m_lobbyBars.EnableTitleBar(enable);
}

int CMainFrame::AskMember(LPCSTR key)
{
    const BOOL wasModal = m_bModal;
    m_bModal = TRUE;
    const int answer = ShowNotifyBox(m_pSession ? m_pSession->GetTableString(key) : CString(), kNotifyYesNo, 13);
    m_bModal = wasModal;
    return answer;
}

// ---- Friends -----------------------------------------------------------------------------

BOOL CMainFrame::RequestAddFriend(long user)
{
    if (!m_pSession) {
        return FALSE;
    }
    if (m_friends.Find(user)) {
        ShowNotifyBox(m_pSession->GetTableString("FriendAddError2"), 0, 13);
        return FALSE;
    }
    if (user == m_pSession->m_OwnUser.lUser) {
        ShowNotifyBox(m_pSession->GetTableString("FriendAddError3"), 0, 13);
        return FALSE;
    }
    FRIEND_ROW row{};
    if (m_pSession->SendRequest(REQ_ADD_FRIEND, user, reinterpret_cast<LPARAM>(&row)) != kRequestAccepted) {
        ShowNotifyBox(m_pSession->GetTableString("FriendAddError1"), 0, 13);
        return FALSE;
    }
    m_friends.Add(row);
    m_wndRoomUser.AddFriend(row);
    return TRUE;
}

void CMainFrame::ReloadFriends()
{
    m_wndRoomUser.UpdateUser(1, 0);
    const CFriendListPanel& panel = m_wndRoomUser.m_friendList;
    m_friends.RemoveAll();
    for (int i = 0; i < panel.GetCount(); ++i) {
        m_friends.Add(*static_cast<const FRIEND_ROW*>(panel.GetRow(i)));
    }
}

const FRIEND_ROW* CMainFrame::FindFriend(LPCSTR nickname) const
{
    return m_friends.FindByNickname(nickname);
}

BOOL CMainFrame::DeleteFriend(long user)
{
    if (!m_pSession || m_pSession->SendRequest(REQ_DELETE_FRIEND, user, 0) != kRequestAccepted) {
        return FALSE;
    }
    m_friends.Remove(user);
    m_wndRoomUser.RemoveFriend(user);
    return TRUE;
}

// ---- Places --------------------------------------------------------------------------------

void CMainFrame::OnLocationChanged(int location)
{
    const BOOL partyGame = m_wndView.GetViewState() == CD3DViewer::STATE_ROOM && m_wndView.m_nPlaceType == 4;
    m_lobbyBars.ShowForLocation(location, partyGame);
    m_wndRoomUser.SetMode(location);
    m_wndToolBar.EnableButtons(location);
    m_wndChat.EnableInput(location);
    Invalidate(FALSE);
}

void CMainFrame::ExitToLocation()
{
    if (!m_pSession) {
        return;
    }
    switch (m_pSession->GetLocation()) {
    case LOC_MINIMAP: ExitProgram(); break;
    case LOC_LOBBY_SELECTED: m_pSession->ExecuteCommand(CMD_MAP_PATH_B, 0, 0); break;
    case LOC_LOBBY:
        if (AskMember("ExitToMinimap") == IDOK) {
            m_pSession->ExecuteCommand(CMD_EXIT_TO_MINIMAP + 1, 0, 0);
        }
        break;
    case LOC_ROOM_HOST:
    case LOC_ROOM:
        if (AskMember("ExitToLobby") == IDOK) {
            m_pSession->ExecuteCommand(CMD_RETURN_TO_LOBBY, m_pSession->m_nCurrentLobby, 0);
            m_wndToolBar.SetText("");
        }
        break;
    default: break;
    }
}

void CMainFrame::OnRoomCreated(LPCSTR name)
{
    m_wndToolBar.SetText(name);
    if (m_pSession) {
        ShowNotice(m_pSession->FormatTableString("MakeRoomNotice", name));
    }
    if (m_pSession) {
        m_wndRoomUser.UpdateUser(0, (static_cast<long>(static_cast<unsigned short>(m_pSession->m_nCurrentRoom)) << 16) |
                                        static_cast<unsigned short>(m_pSession->m_nCurrentLobby));
    }
    Invalidate(FALSE);
}

void CMainFrame::OnUserJoined(long user, CString* nickname)
{
    if (m_pSession && nickname) {
        ShowNotice(m_pSession->FormatTableString("UserRoomJoin", *nickname));
        if (user != m_pSession->m_OwnUser.lUser) {
            m_pSession->SetChatTheme(user);
        }
        m_wndRoomUser.AddUser(user);
    }
    // The session posted a copy of the name: the record may be gone by now.
    delete nickname;
}

void CMainFrame::OnUserExited(long user, LPCSTR nickname)
{
    if (!m_pSession) {
        return;
    }
    CString name = nickname && *nickname ? CString(nickname) : m_pSession->GetTableString("UnnamedUser");
    ShowNotice(m_pSession->FormatTableString("UserRoomExit", name));
    m_wndRoomUser.RemoveUser(user);
}

// ---- Windows -------------------------------------------------------------------------------

void CMainFrame::OpenHelp()
{
    CClientApp* app = ClientApp();
    if (app && !app->m_strHelpUrl.IsEmpty()) {
        ::ShellExecuteA(GetSafeHwnd(), "open", app->m_strHelpUrl, nullptr, nullptr, SW_SHOWNORMAL);
    }
}

void CMainFrame::ShowAvatarInfoWnd(long user)
{
    if (!m_pUserInfoWnd) {
        CSkinElement* element = g_pMainSkin ? g_pMainSkin->Element("WND_AVATAR_INFO") : nullptr;
        auto window = std::make_unique<CUserInfoWnd>();
        if (!window->CreateWnd(this, element)) {
            return;
        }
        m_pUserInfoWnd = std::move(window);
    }
    m_pUserInfoWnd->QueryAvatarInfo(user);
}

// ---- Instant messages ----------------------------------------------------------------------

void CMainFrame::OnCommMessage(WPARAM wParam, LPARAM lParam)
{
    const auto* block = reinterpret_cast<const BYTE*>(lParam);
    if (block) {
        switch (wParam & 0xFF) {
        case IM_RECEIVED: OnMessageReceived(block); break;
        case IM_FRIEND_STATE: {
            int32_t user = 0;
            std::memcpy(&user, block, sizeof user);
            m_friends.SetOnline(user, static_cast<char>(block[4]));
            m_wndRoomUser.SetFriendOnline(user, static_cast<char>(block[4]));
            break;
        }
        case IM_NOT_DELIVERED: OnMessageNotDelivered(block); break;
        default: break;
        }
    }
    YondaFreeEventBlock(UM_COMM_MESSAGE, wParam, lParam);
}

void CMainFrame::OnMessageReceived(const BYTE* block)
{
    int32_t user = 0;
    std::memcpy(&user, block, sizeof user);
    const CString nickname = CClientSession::ConvertEntities(BlockText(block, 26, 32));
    OpenMessageWindow(user, BlockText(block, 4, 22), nickname, BlockText(block, 58, 256), TRUE);
}

void CMainFrame::OnMessageNotDelivered(const BYTE* block)
{
    int16_t code = 0;
    std::memcpy(&code, block, sizeof code);
    const CString nickname = BlockText(block, 2, 22);
    const CString message = BlockText(block, 24, 256);
    if (CMessengerWnd* window = nickname.IsEmpty() ? nullptr : FindMessageWindow(0, nickname)) {
        window->OnSendFailed(message);
        window->SetActiveWindow();
        return;
    }
    // The table text is data: it may name the message with one "%s"; anything else in it is
    // shown as it stands, and then the message follows on a line of its own.
    CString text = m_pSession ? m_pSession->GetTableString("E_FAILED_INSTANT_MESSAGE") : CString();
    text = HasOnlyOneStringDirective(text) ? ToolkitFormatText(text, message) : text + ";" + message;
    // "zu <name>" or "<name>님에게" (code page 949) heads the box.
    const CString frame = g_bGermanText ? "zu %s;" : "%s\xB4\xD4\xBF\xA1\xB0\xD4;";
    CString shown;
    shown.Format(frame + AsLiteral(text) + ";ErrorCode = 0x%X", nickname.GetString(),
                 static_cast<unsigned>(static_cast<uint16_t>(code)));
    ShowNotifyBox(shown, 0, 13);
}
