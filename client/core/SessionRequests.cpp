#include "ClientGlobals.h"
#include "ClientSession.h"
#include "MainFrame.h"
#include "SceneSink.h"

#include <DialogSkin.h>
#include <NotifyDlg.h>

#include <cstring>

namespace {

// The avatar head and the worn items of QueryAvataInfo.
constexpr size_t kWornItemSize = 8;

template <size_t N>
void CopyText(char (&field)[N], const char* text, size_t textSize)
{
    CopyField(field, text, textSize);
}

} // namespace

int CClientSession::SendRequest(int code, long param, LPARAM value)
{
    if (!m_pComm) {
        return kRequestNoConnection;
    }
    if (!CheckConnection()) {
        return kRequestRefused;
    }
    if (!m_pComm->IsConnected()) {
        return kRequestNoConnection;
    }
    auto answer = [](BOOL ok) { return ok ? kRequestAccepted : kRequestRefused; };
    const short lobby = m_nCurrentLobby;
    switch (code) {
    case REQ_MY_AVATAR_INFO: {
        m_OwnAvatar.wornItems.clear();
        m_OwnAvatar.nWornCount = 0;
        CPtrList list;
        if (!m_pComm->QueryAvataInfo(m_OwnUser.lUser, list)) {
            return kRequestRefused;
        }
        if (list.IsEmpty()) {
            return kRequestRefused;
        }
        POSITION position = list.GetHeadPosition();
        const auto* head = static_cast<const YONDA_AVATAR_HEAD*>(list.GetNext(position));
        CopyText(m_OwnAvatar.szNickname, head->szNickname, sizeof(head->szNickname));
        ConvertEntitiesInPlace(m_OwnAvatar.szNickname, sizeof(m_OwnAvatar.szNickname));
        m_OwnAvatar.cLetter[0] = head->cGender;
        m_OwnAvatar.cLetter[1] = head->cFace;
        m_OwnAvatar.cLetter[2] = head->cLetter3;
        m_OwnAvatar.nWornCount = head->byWornCount;
        while (position) {
            const void* element = list.GetNext(position);
            WORN_ITEM item;
            std::memcpy(item.dwValue, element, kWornItemSize);
            m_OwnAvatar.wornItems.push_back(item);
        }
        m_OwnAvatar.lUser = m_OwnUser.lUser;
        CopyText(m_OwnAvatar.szID, m_OwnUser.szID, sizeof(m_OwnUser.szID));
        m_pComm->Release(&list);
        return kRequestAccepted;
    }
    case REQ_MY_USER_INFO: {
        EX_YONDA_BODY_R_USER_INFO info{};
        if (!m_pComm->QueryUserInfo(m_OwnUser.lUser, info)) {
            return kRequestRefused;
        }
        m_OwnUser.cLetter[0] = info.cGender;
        m_OwnUser.cLetter[1] = static_cast<char>(info.byAge);
        CopyText(m_OwnUser.szID, info.szID, sizeof(info.szID));
        CopyText(m_OwnUser.szNickname, info.szNickname, sizeof(info.szNickname));
        ConvertEntitiesInPlace(m_OwnUser.szNickname, sizeof(m_OwnUser.szNickname));
        CopyText(m_OwnUser.szText[0], info.szArea, sizeof(info.szArea));
        CopyText(m_OwnUser.szText[1], info.szJob, sizeof(info.szJob));
        CopyText(m_OwnUser.szText[2], info.szHobby, sizeof(info.szHobby));
        CopyText(m_OwnUser.szText[3], info.szTel, sizeof(info.szTel));
        CopyText(m_OwnUser.szText[4], info.szEmail, sizeof(info.szEmail));
        CopyText(m_OwnUser.szText[5], info.szIntro, sizeof(info.szIntro));
        return kRequestAccepted;
    }
    case REQ_SEND_MY_AVATAR: {
        CPtrList worn;
        for (WORN_ITEM& item : m_OwnAvatar.wornItems) {
            worn.AddTail(&item);
        }
        const BOOL ok = m_pComm->QuerySendMyAvataInfo(
            lobby, param, m_OwnAvatar.cLetter[0], static_cast<char>(m_OwnAvatar.byState), m_OwnAvatar.fGroundX,
            m_OwnAvatar.fGroundZ, m_OwnAvatar.fPosition[0], m_OwnAvatar.fPosition[1], m_OwnAvatar.fPosition[2],
            m_OwnAvatar.cLetter[1], m_OwnAvatar.cLetter5, m_OwnAvatar.cLetter6, worn);
        worn.RemoveAll();
        return answer(ok);
    }
    case REQ_USER_LOCATION: {
        // The place comes back through QueryUserLocation; this door answers only the status.
        short placeLobby = -1, placeRoom = -1;
        return QueryUserLocation(param, &placeLobby, &placeRoom);
    }
    case REQ_ROOM_INFO: {
        auto* info = reinterpret_cast<EX_YONDA_BODY_R_ROOM_INFO*>(value);
        if (!info) {
            return kRequestRefused;
        }
        return answer(m_pComm->QueryRoomInfo(static_cast<short>(param & 0xFFFF),
                                             static_cast<short>((param >> 16) & 0xFFFF), *info));
    }
    case REQ_CURRENT_ROOM_INFO: {
        auto* info = reinterpret_cast<EX_YONDA_BODY_R_ROOM_INFO*>(value);
        if (!info) {
            return kRequestRefused;
        }
        return answer(m_pComm->QueryRoomInfo(m_nCurrentLobby, m_nCurrentRoom, *info));
    }
    case REQ_ADD_FRIEND: {
        EX_YONDA_BODY_R_FRIEND_REG record{};
        if (!m_pComm->QueryRegFriend(param, record)) {
            return kRequestRefused;
        }
        if (auto* row = reinterpret_cast<BYTE*>(value)) {
            // The friend row: +0 user, +4 the record's byte at +59, +5 ID, +26 nickname, +57 gender.
            std::memset(row, 0, 60);
            std::memcpy(row, &record.lUser, 4);
            row[4] = static_cast<BYTE>(record.cGender);
            CopyField(reinterpret_cast<char*>(row + 5), 21, record.szID, sizeof(record.szID));
            char nickname[31] = {};
            CopyField(nickname, record.szNickname, sizeof(record.szNickname));
            ConvertEntitiesInPlace(nickname, sizeof(nickname));
            std::memcpy(row + 26, nickname, sizeof(nickname));
            row[57] = static_cast<BYTE>(record.cOnline);
        }
        return kRequestAccepted;
    }
    case REQ_DELETE_FRIEND: return answer(m_pComm->QueryDelFriend(param));
    case REQ_CHAT_SEND:
        return answer(m_pComm->QueryChatSend(lobby, static_cast<char>(param & 0xFF),
                                             static_cast<char>((param >> 16) & 0xFF),
                                             reinterpret_cast<const char*>(value)));
    case REQ_INSTANT_MESSAGE: {
        EX_YONDA_BODY_R_USER_INFO info{};
        if (!m_pComm->QueryUserInfo(param, info)) {
            return kRequestRefused;
        }
        char id[sizeof(info.szID) + 1] = {};
        CopyField(id, info.szID, sizeof(info.szID));
        return answer(m_pComm->QuerySendInstantMessage(id, reinterpret_cast<const char*>(value)));
    }
    case REQ_MOVE_START: return answer(m_pComm->QueryAvataMoveStart(lobby, 0, reinterpret_cast<const float*>(value)));
    case REQ_MOVE_END: return answer(m_pComm->QueryAvataMoveEnd(lobby, 0, reinterpret_cast<const float*>(value)));
    case REQ_MOVE_ROTATE: return answer(m_pComm->QueryAvataMoveRotate(lobby, reinterpret_cast<const float*>(value)));
    case REQ_MOVE_SITUP: return answer(m_pComm->QueryAvataMoveSitup(lobby, 1));
    case REQ_JUMP_TO_LANDING: return answer(m_pComm->QueryJumpAvatart2LandingPos(static_cast<long>(value)));
    case REQ_PFGAME_DATA:
        return answer(m_pComm->QuerySendPFGameData(lobby, static_cast<short>(param & 0xFFFF),
                                                   reinterpret_cast<const BYTE*>(value)));
    case REQ_PFGAME_TIME: return answer(m_pComm->QuerySendTime(lobby, static_cast<long>(value)));
    case REQ_PFGAME_UNUSED: return kRequestNoConnection;
    case REQ_PFGAME_RETIRE: return answer(m_pComm->QueryBroadPFGameRetire(lobby));
    case REQ_PFGAME_READY: return answer(m_pComm->QueryBroadPFGameReady(lobby));
    case REQ_FACE_SET: SetFaceSet(static_cast<char>(param)); return kRequestNoConnection;
    default: return kNoSuchCode;
    }
}

int CClientSession::QueryUserLocation(long user, short* lobby, short* room)
{
    short placeLobby = -1, placeRoom = -1;
    if (!m_pComm || !m_pComm->QueryUserLocation(user, placeLobby, placeRoom)) {
        return kRequestRefused;
    }
    if (lobby) {
        *lobby = placeLobby;
    }
    if (room) {
        *room = placeRoom;
    }
    return kRequestAccepted;
}

void CClientSession::SetFaceSet(char face)
{
    if (face == m_OwnAvatar.cLetter[1]) {
        return;
    }
    if (!m_pComm->QueryUserFaceSet(m_nCurrentLobby, face)) {
        ShowNotifyBox(GetTableString("NetWorkError") + " QueryUserFaceSet", 0, 13);
    }
    m_OwnAvatar.cLetter[1] = face;
    if (m_pScene) {
        CGlobalLock lock;
        m_pScene->SetUserFace(m_OwnUser.lUser, face);
    }
}

BOOL CClientSession::CheckConnection()
{
    if (m_pComm && m_pComm->IsValidSocket()) {
        return TRUE;
    }
    // One box at a time: a check made from inside the box's own loop fails quietly, and so does
    // one made once the frame is closing (the lost connection has been told already).
    if (!m_bNetworkFailShown && !(m_pMainFrame && m_pMainFrame->IsClosing())) {
        m_bNetworkFailShown = TRUE;
        CNotifyDlg box(CString("NetworkFailDlg"), m_pMainFrame);
        box.DoModal();
        m_bNetworkFailShown = FALSE;
    }
    return FALSE;
}

int CClientSession::GetLobbyUserCount(short lobby)
{
    if (lobby < 0 || lobby >= m_nLobbyCount) {
        return -1;
    }
    int count = 0;
    if (!m_pComm->QueryLobbyTotalUser(lobby, count)) {
        return -1;
    }
    if (static_cast<size_t>(lobby) < m_arrLobbyUserCount.size()) {
        m_arrLobbyUserCount[static_cast<size_t>(lobby)] = count;
    }
    return count;
}

BOOL CClientSession::GetUserNickname(long user, CString* nickname)
{
    EX_YONDA_BODY_R_USER_INFO info{};
    if (!m_pComm->QueryUserInfo(user, info)) {
        return FALSE;
    }
    char text[sizeof(info.szNickname) + 1] = {};
    CopyField(text, info.szNickname, sizeof(info.szNickname));
    if (!text[0]) {
        return FALSE;
    }
    ConvertEntitiesInPlace(text, sizeof(text));
    if (nickname) {
        *nickname = text;
    }
    return TRUE;
}

BOOL CClientSession::GetUserNames(long user, CString* id, CString* nickname)
{
    EX_YONDA_BODY_R_USER_INFO info{};
    if (!m_pComm->QueryUserInfo(user, info)) {
        return FALSE;
    }
    char idText[sizeof(info.szID) + 1] = {};
    char nickText[sizeof(info.szNickname) + 1] = {};
    CopyField(idText, info.szID, sizeof(info.szID));
    CopyField(nickText, info.szNickname, sizeof(info.szNickname));
    if (!idText[0] || !nickText[0]) {
        return FALSE;
    }
    ConvertEntitiesInPlace(nickText, sizeof(nickText));
    if (id) {
        *id = idText;
    }
    if (nickname) {
        *nickname = nickText;
    }
    return TRUE;
}

OWN_AVATAR_INFO* CClientSession::FindUser(long user)
{
    POSITION position = m_listRoomUsers.GetHeadPosition();
    while (position) {
        auto* record = static_cast<OWN_AVATAR_INFO*>(m_listRoomUsers.GetNext(position));
        if (record->lUser == user) {
            return record;
        }
    }
    return nullptr;
}

CString CClientSession::FindUserName(long user)
{
    const OWN_AVATAR_INFO* record = FindUser(user);
    return record ? CString(record->szNickname) : CString();
}

void CClientSession::RemoveUserRecord(long user)
{
    POSITION position = m_listRoomUsers.GetHeadPosition();
    while (position) {
        const POSITION current = position;
        auto* record = static_cast<OWN_AVATAR_INFO*>(m_listRoomUsers.GetNext(position));
        if (record->lUser == user) {
            m_listRoomUsers.RemoveAt(current);
            delete record;
            return;
        }
    }
}

void CClientSession::ClearRoomUsers()
{
    POSITION position = m_listRoomUsers.GetHeadPosition();
    while (position) {
        delete static_cast<OWN_AVATAR_INFO*>(m_listRoomUsers.GetNext(position));
    }
    m_listRoomUsers.RemoveAll();
}

void CClientSession::ClearUserList(CPtrList& list)
{
    POSITION position = list.GetHeadPosition();
    while (position) {
        CComm::FreeElement(list.GetNext(position));
    }
    list.RemoveAll();
}

void CClientSession::Logout()
{
    if (IsConnected()) {
        m_pComm->QueryLogout();
        m_pComm->Disconnect();
    }
}

BOOL CClientSession::SetChatTheme(long user)
{
    if (m_nCurrentLobby != 3 || m_nLocation != LOC_ROOM_HOST) {
        return TRUE;
    }
    if (m_strRoomTheme.IsEmpty()) {
        return FALSE;
    }
    return m_pComm->QueryChatSetThemeStringTo(3, user, m_strRoomTheme);
}

void CClientSession::ConvertEntitiesInPlace(char* text, size_t size)
{
    if (!g_bGermanText || !text || size == 0) {
        return;
    }
    static const struct {
        const char* entity;
        char letter;
    } kEntities[] = {{"&auml;", static_cast<char>(228)},
                     {"&ouml;", static_cast<char>(246)},
                     {"&uuml;", static_cast<char>(252)},
                     {"&szlig;", static_cast<char>(223)}};
    size_t out = 0;
    size_t in = 0;
    const size_t length = strnlen(text, size);
    while (in < length) {
        bool replaced = false;
        for (const auto& entry : kEntities) {
            const size_t n = std::strlen(entry.entity);
            if (in + n <= length && std::memcmp(text + in, entry.entity, n) == 0) {
                text[out++] = entry.letter;
                in += n;
                replaced = true;
                break;
            }
        }
        if (replaced) {
            continue;
        }
        if (in + 1 < length && static_cast<BYTE>(text[in]) == 169 && static_cast<BYTE>(text[in + 1]) == 172) {
            text[out++] = static_cast<char>(223);
            in += 2;
            continue;
        }
        text[out++] = text[in++];
    }
    if (out < size) {
        text[out] = 0;
    }
}

CString CClientSession::ConvertEntities(const CString& text)
{
    std::string buffer(static_cast<LPCSTR>(text), static_cast<size_t>(text.GetLength()));
    buffer.push_back('\0');
    ConvertEntitiesInPlace(buffer.data(), buffer.size());
    return CString(buffer.c_str());
}
