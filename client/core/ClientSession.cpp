#include "ClientSession.h"

#include "ClientGlobals.h"
#include "MainFrame.h"
#include "SceneSink.h"
#include "ServerProbeSocket.h"

#include <cstring>

namespace {
constexpr int kProbeWaitSeconds = 5;

short LobbyOf(long param)
{
    return static_cast<short>(param & 0xFFFF);
}

short RoomOf(long param)
{
    return static_cast<short>((param >> 16) & 0xFFFF);
}
} // namespace

void CopyField(char* field, size_t fieldSize, const char* text, size_t textSize)
{
    if (!field || fieldSize == 0) {
        return;
    }
    size_t length = 0;
    if (text) {
        while (length < textSize && text[length]) {
            ++length;
        }
    }
    if (length > fieldSize - 1) {
        // Cut before a lead byte whose trail byte would not fit.
        size_t cut = 0;
        while (cut < fieldSize - 1) {
            const size_t step = IsDBCSLeadByte(static_cast<BYTE>(text[cut])) ? 2 : 1;
            if (cut + step > fieldSize - 1) {
                break;
            }
            cut += step;
        }
        length = cut;
    }
    if (length > 0) {
        std::memcpy(field, text, length);
    }
    field[length] = 0;
}

CClientSession::CClientSession() : m_pComm(std::make_unique<CYondaComm>())
{
    g_pComm = m_pComm.get();
}

CClientSession::~CClientSession()
{
    // The library's thread ends before the records it could still be posting about go away.
    if (m_pComm) {
        m_pComm->Disconnect();
    }
    ClearRoomUsers();
    if (g_pComm == m_pComm.get()) {
        g_pComm = nullptr;
    }
    m_pComm.reset();
}

BOOL CClientSession::IsConnected()
{
    return m_pComm && m_pComm->IsConnected();
}

// ---- Connection ---------------------------------------------------------------------------

BOOL CClientSession::ProbeServer(LPCSTR host, int port, int waitSeconds, CString* address)
{
    CServerProbeSocket probe;
    BOOL ok = probe.Startup() && probe.Connect(host, port) &&
              probe.Exchange(waitSeconds, CServerProbeSocket::kCommandProbe, 0, nullptr);
    if (ok && address) {
        *address = probe.GetReply();
    }
    probe.Close();
    probe.Cleanup();
    return ok;
}

BOOL CClientSession::ConnectToServer(CStringList& servers)
{
    POSITION position = servers.GetHeadPosition();
    while (position) {
        CString listed = servers.GetNext(position);
        listed.Trim();
        if (listed.IsEmpty()) {
            continue;
        }
        CString address;
        if (!ProbeServer(listed, m_nServerPort, kProbeWaitSeconds, &address)) {
            continue;
        }
        if (address.IsEmpty()) {
            address = listed;
        }
        if (m_pComm->Connect(address, m_nServerPort)) {
            return TRUE;
        }
    }
    return FALSE;
}

// ---- Commands -----------------------------------------------------------------------------

void CClientSession::SetClassCursor(HCURSOR cursor)
{
    if (cursor && m_pMainFrame && ::IsWindow(m_pMainFrame->GetSafeHwnd())) {
        ::SetClassLongPtrA(m_pMainFrame->GetSafeHwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    }
}

int CClientSession::ExecuteCommand(int code, long param, LPARAM value)
{
    m_nLastCommand = code;
    SetClassCursor(m_hWaitCursor);
    int result;
    if (!CheckConnection()) {
        result = kCommandFailed;
    } else if (code < CMD_LOGIN_DONE || code > CMD_QUIT_SCENE) {
        result = kNoSuchCode;
    } else {
        result = RunCommand(code, param, value) ? kCommandDone : kCommandFailed;
    }
    SetClassCursor(m_hDefaultCursor);
    return result;
}

int CClientSession::RunCommand(int code, long param, LPARAM value)
{
    switch (code) {
    case CMD_LOGIN_DONE: return OnLoginDone(param, value);
    case CMD_VIEW_READY: return OnViewReady(param, value);
    case CMD_SELECT_LOBBY: return OnSelectLobby(param, value);
    case CMD_MAP_PATH_A: return OnMapPathA(param, value);
    case CMD_MAP_PATH_B: return OnMapPathB(param, value);
    case CMD_ROOM_OPEN: return OnRoomOpen(param, value);
    case CMD_ENTER_MINIMAP: return OnEnterMinimap(param, value);
    case CMD_ENTER_LOBBY: return OnEnterLobby(param, value);
    case CMD_ENTER_ROOM: return OnEnterRoom(param, value);
    case CMD_MOVE_TO_ROOM: return OnMoveToRoom(param, value);
    case CMD_MOVE_TO_LOBBY: return OnMoveToLobby(param, value);
    case CMD_MOVE_TO_ROOM_2: return OnMoveToRoom2(param, value);
    case CMD_RETURN_TO_LOBBY: return OnReturnToLobby(param, value);
    case CMD_EXIT_TO_MINIMAP:
    case CMD_EXIT_TO_MINIMAP + 1: return OnExitToMinimap(param, value);
    case CMD_QUIT_SCENE: return OnQuitScene(param, value);
    default: return 0;
    }
}

void CClientSession::SetLocation(int location)
{
    if (!IsConnected() || location == m_nLocation) {
        return;
    }
    m_nLocation = location;
    if (m_pMainFrame) {
        m_pMainFrame->OnLocationChanged(location);
    }
}

int CClientSession::OnLoginDone(long, LPARAM)
{
    // The skin has five lobby entrances and the scene tables five entries.
    if (m_nLobbyCount < 1 || m_nLobbyCount > 5) {
        m_nLobbyCount = 5;
    }
    m_nCurrentLobby = -1;
    m_arrLobbyUserCount.assign(static_cast<size_t>(m_nLobbyCount), 0);
    long points = 0;
    if (!m_pComm->QueryPointGetUserPoint(points)) {
        return 0;
    }
    m_lPoints = points;
    return 1;
}

int CClientSession::OnViewReady(long, LPARAM)
{
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_VIEW_READY, 2);
    }
    return 1;
}

int CClientSession::OnSelectLobby(long param, LPARAM)
{
    m_nChosenLobby = LobbyOf(param);
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_SELECT_LOBBY, 2);
    }
    SetLocation(LOC_LOBBY_SELECTED);
    return 1;
}

int CClientSession::OnMapPathA(long param, LPARAM)
{
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_MAP_PATH_A, 2);
    }
    SetLocation(LOC_NONE);
    return GetLobbyUserCount(LobbyOf(param)) >= 0;
}

int CClientSession::OnMapPathB(long, LPARAM)
{
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_MAP_PATH_B, 2);
    }
    SetLocation(LOC_NONE);
    return 1;
}

int CClientSession::OnEnterMinimap(long, LPARAM)
{
    m_nChosenLobby = -1;
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_ENTER_MINIMAP, 2);
    }
    SetLocation(LOC_MINIMAP);
    return 1;
}

int CClientSession::OnRoomOpen(long param, LPARAM value)
{
    const short lobby = LobbyOf(param);
    CGlobalLock lock;
    if (!OpenRoom(reinterpret_cast<const YONDA_BODY_Q_ROOM_OPEN*>(value))) {
        return 0;
    }
    float position[3] = {0, 0, 0};
    if (m_pScene) {
        const int state = m_pScene->GetViewState();
        if (state == 12 || state == 13) {
            m_pScene->OnSceneAction(CMD_ENTER_ROOM, lobby);
        } else if (state == 14) {
            m_pScene->OnSceneAction(CMD_MOVE_TO_ROOM, lobby);
        }
        m_pScene->GetInitPosition(position);
    }
    SendRequest(REQ_MY_AVATAR_INFO, 0, 0);
    m_OwnAvatar.byState = 0;
    SetLocation(LOC_ROOM_HOST);
    if (m_pScene) {
        m_pScene->AddUserAvatar(&m_OwnAvatar, position);
    }
    return 1;
}

int CClientSession::OnEnterLobby(long param, LPARAM)
{
    const BOOL joined = JoinPlace(LobbyOf(param), -1, nullptr);
    m_nChosenLobby = -1;
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_ENTER_LOBBY, param);
    }
    SetLocation(LOC_LOBBY);
    return joined;
}

int CClientSession::OnEnterRoom(long param, LPARAM value)
{
    const short lobby = LobbyOf(param);
    if (JoinPlace(lobby, RoomOf(param), reinterpret_cast<LPCSTR>(value))) {
        if (m_pScene) {
            m_pScene->OnSceneAction(CMD_ENTER_ROOM, param);
        }
        SetLocation(LOC_ROOM);
        return 1;
    }
    // A refused room always leaves the member in the lobby's common area.
    JoinPlace(lobby, -1, nullptr);
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_ENTER_LOBBY, param);
    }
    SetLocation(LOC_LOBBY);
    return 0;
}

int CClientSession::MoveToRoom(long param, LPARAM value, int sceneCode)
{
    if (!LeavePlace()) {
        return 0;
    }
    const short lobby = LobbyOf(param);
    if (JoinPlace(lobby, RoomOf(param), reinterpret_cast<LPCSTR>(value))) {
        if (m_pScene) {
            m_pScene->OnSceneAction(sceneCode, param);
        }
        SetLocation(LOC_ROOM);
        return 1;
    }
    // A refused room always leaves the member in the lobby's common area.
    JoinPlace(lobby, -1, nullptr);
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_MOVE_TO_LOBBY, param);
    }
    SetLocation(LOC_LOBBY);
    return 0;
}

int CClientSession::OnMoveToRoom(long param, LPARAM value)
{
    return MoveToRoom(param, value, CMD_MOVE_TO_ROOM);
}

int CClientSession::OnMoveToRoom2(long param, LPARAM value)
{
    return MoveToRoom(param, value, CMD_MOVE_TO_ROOM_2);
}

int CClientSession::OnMoveToLobby(long param, LPARAM)
{
    if (!LeavePlace()) {
        return 0;
    }
    const BOOL joined = JoinPlace(LobbyOf(param), RoomOf(param), nullptr);
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_MOVE_TO_LOBBY, param);
    }
    SetLocation(LOC_LOBBY);
    return joined;
}

int CClientSession::OnReturnToLobby(long param, LPARAM)
{
    LeavePlace();
    const BOOL joined = JoinPlace(LobbyOf(param), -1, nullptr);
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_RETURN_TO_LOBBY, param);
    }
    SetLocation(LOC_LOBBY);
    return joined;
}

int CClientSession::OnExitToMinimap(long, LPARAM)
{
    if (!LeavePlace()) {
        return 0;
    }
    m_nChosenLobby = -1;
    if (m_pScene) {
        m_pScene->OnSceneAction(114, 2);
    }
    SetLocation(LOC_MINIMAP);
    return 1;
}

int CClientSession::OnQuitScene(long, LPARAM)
{
    BOOL left = TRUE;
    if (m_nLocation > LOC_LOBBY_SELECTED) {
        left = LeavePlace();
    }
    if (m_pScene) {
        m_pScene->OnSceneAction(CMD_QUIT_SCENE, 2);
    }
    return left;
}

// ---- Places -------------------------------------------------------------------------------

BOOL CClientSession::JoinPlace(short lobby, short room, LPCSTR password)
{
    {
        CGlobalLock lock;
        ClearRoomUsers();
    }
    SendRequest(REQ_MY_AVATAR_INFO, 0, 0);
    if (lobby == 4 && room >= 0) {
        EX_YONDA_BODY_R_ROOM_INFO info{};
        if (SendRequest(REQ_ROOM_INFO, (static_cast<long>(room) << 16) | static_cast<unsigned short>(lobby),
                        reinterpret_cast<LPARAM>(&info)) != kRequestAccepted) {
            return FALSE;
        }
        char subject[sizeof(info.szSubject) + 1] = {};
        CopyField(subject, info.szSubject, sizeof(info.szSubject));
        if (m_pScene) {
            m_pScene->SetRoomInfo(subject, info.byMaxUsers);
        }
    }
    CPtrList worn;
    for (WORN_ITEM& item : m_OwnAvatar.wornItems) {
        worn.AddTail(&item);
    }
    short joinedLobby = 0, joinedRoom = 0, third = 0;
    const BOOL joined = m_pComm->QueryRoomJoin(
        lobby, room, password ? password : "", m_OwnAvatar.cLetter[0], m_OwnAvatar.cLetter[1], m_OwnAvatar.cLetter[2],
        m_OwnAvatar.cLetter[3], m_OwnAvatar.cLetter5, m_OwnAvatar.cLetter6, static_cast<char>(m_OwnAvatar.byState),
        worn, joinedLobby, joinedRoom, third);
    worn.RemoveAll(); // the items belong to the own record
    if (!joined || !SetUserLocation(lobby, room)) {
        return FALSE;
    }
    if (m_pMainFrame && ::IsWindow(m_pMainFrame->GetSafeHwnd())) {
        m_pMainFrame->PostMessage(
            UM_ROOM_JOINED,
            (static_cast<WPARAM>(static_cast<unsigned short>(room)) << 16) | static_cast<unsigned short>(lobby), 0);
    }
    return TRUE;
}

BOOL CClientSession::SetUserLocation(short lobby, short room)
{
    if (!m_pComm->QuerySendUserLocation(lobby, room)) {
        return FALSE;
    }
    m_nCurrentRoom = room;
    m_nCurrentLobby = lobby;
    return TRUE;
}

BOOL CClientSession::LeavePlace()
{
    if (m_nLocation == LOC_LOBBY_SELECTED) {
        return TRUE;
    }
    if (!IsConnected()) {
        return FALSE;
    }
    HandOverHost();
    if (!m_pComm->QueryRoomExit(m_nCurrentLobby)) {
        return FALSE;
    }
    {
        CGlobalLock lock;
        ClearRoomUsers();
    }
    const BOOL placed =
        m_nLastCommand <= CMD_RETURN_TO_LOBBY ? SetUserLocation(m_nCurrentLobby, -1) : SetUserLocation(-1, -1);
    if (placed) {
        SetLocation(LOC_NONE);
    }
    return TRUE;
}

void CClientSession::HandOverHost()
{
    if (m_nLocation != LOC_ROOM_HOST) {
        return;
    }
    long target = 0;
    {
        CGlobalLock lock;
        if (m_listRoomUsers.IsEmpty()) {
            return;
        }
        POSITION position = m_listRoomUsers.GetHeadPosition();
        auto* first = static_cast<OWN_AVATAR_INFO*>(m_listRoomUsers.GetNext(position));
        if (first->lUser == m_OwnUser.lUser) {
            if (!position) {
                return;
            }
            first = static_cast<OWN_AVATAR_INFO*>(m_listRoomUsers.GetNext(position));
        }
        target = first->lUser;
    }
    ChangeRoomHost(target);
}

BOOL CClientSession::ChangeRoomHost(long user)
{
    if (!m_pComm->QueryModRoomHost(m_nCurrentLobby, user)) {
        return FALSE;
    }
    SetLocation(LOC_ROOM);
    return TRUE;
}

BOOL CClientSession::KickUser(long user)
{
    return m_pComm->QueryRoomUserOut(m_nCurrentLobby, user);
}

BOOL CClientSession::OpenRoom(const YONDA_BODY_Q_ROOM_OPEN* record)
{
    if (!record || !IsConnected()) {
        return FALSE;
    }
    YONDA_BODY_Q_ROOM_OPEN copy{};
    copy.nLobby = record->nLobby;
    CopyField(copy.szName, record->szName, sizeof(record->szName));
    CopyField(copy.szSubject, record->szSubject, sizeof(record->szSubject));
    copy.byMaxUsers = record->byMaxUsers;
    CopyField(copy.szPassword, record->szPassword, sizeof(record->szPassword));
    ClearRoomUsers();
    short room = -1, lobby = -1;
    if (!m_pComm->RoomOpen(&copy, room, lobby)) {
        return FALSE;
    }
    m_nCurrentRoom = room;
    m_nCurrentLobby = lobby;
    m_strRoomPassword = copy.szPassword;
    return SetUserLocation(lobby, room);
}
