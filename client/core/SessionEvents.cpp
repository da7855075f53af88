#include "AvatarScene.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "MainFrame.h"
#include "SceneSink.h"

#include <SkinBase.h>
#include <ToolkitShared.h>

#include <cmath>
#include <cstring>

namespace {

const char kStringSection[] = "VelmoraStringTable";

long ReadLong(const BYTE* block, size_t offset)
{
    int32_t value = 0;
    std::memcpy(&value, block + offset, sizeof(value));
    return value;
}

short ReadShort(const BYTE* block, size_t offset)
{
    int16_t value = 0;
    std::memcpy(&value, block + offset, sizeof(value));
    return value;
}

float ReadFloat(const BYTE* block, size_t offset)
{
    float value = 0;
    std::memcpy(&value, block + offset, sizeof(value));
    return value;
}

// A text field of a block as a terminated string of at most `size` bytes.
CString FieldText(const BYTE* block, size_t offset, size_t size)
{
    std::string text(size + 1, '\0');
    CopyField(text.data(), text.size(), reinterpret_cast<const char*>(block + offset), size);
    return CString(text.c_str());
}

bool AllFinite(const float* values, int count)
{
    for (int i = 0; i < count; ++i) {
        if (!std::isfinite(values[i])) {
            return false;
        }
    }
    return true;
}

// Another member's record whose gender is neither letter cannot be dressed: the member is left
// out of the place (no record, no notice, no avatar) rather than shown half-made.
bool IsDressableGender(char letter)
{
    return letter == 'M' || letter == 'F';
}

// The worn items that follow the head of a list event.
void ReadWornItems(CPtrList* list, POSITION position, OWN_AVATAR_INFO* record)
{
    while (position) {
        const void* element = list->GetNext(position);
        if (!element) {
            continue;
        }
        WORN_ITEM item;
        std::memcpy(item.dwValue, element, sizeof(item.dwValue));
        record->wornItems.push_back(item);
    }
    record->nWornCount = static_cast<int>(record->wornItems.size());
}

} // namespace

// ---- Events -------------------------------------------------------------------------------

int CClientSession::OnReceive(WPARAM wParam, LPARAM block)
{
    const int type = static_cast<int>(wParam & 0xFF);
    int result = 0;
    if (CheckConnection() && block) {
        HandleEvent(type, block);
        result = 1;
    }
    YondaFreeEventBlock(UM_COMM_EVENT, wParam, block);
    return result;
}

void CClientSession::HandleEvent(int type, LPARAM lParam)
{
    const auto* block = reinterpret_cast<const BYTE*>(lParam);
    switch (type) {
    case EV_ROOM_NAME_CHANGED:
        if (m_pMainFrame) {
            m_pMainFrame->OnRoomModified(0, ConvertEntities(FieldText(block, 51, 51)), 0);
        }
        break;
    case EV_ROOM_SUBJECT_CHANGED:
        if (m_pMainFrame) {
            m_pMainFrame->OnRoomModified(1, ConvertEntities(FieldText(block, 31, 31)), 0);
        }
        break;
    case EV_ROOM_MAXUSER_CHANGED:
        if (m_pMainFrame) {
            CString limit;
            limit.Format("%d", block[1]);
            m_pMainFrame->OnRoomModified(3, limit, 0);
        }
        break;
    case EV_ROOM_PASSWORD_CHANGED:
        m_strRoomPassword = FieldText(block, 0, 13);
        if (m_pMainFrame) {
            m_pMainFrame->OnRoomModified(2, m_strRoomPassword, 0);
        }
        break;
    case EV_ROOM_HOST_CHANGED: OnHostChanged(block); break;
    case EV_USER_KICKED: OnUserKicked(ReadLong(block, 0)); break;
    case EV_USER_ENTERED: OnUserEntered(reinterpret_cast<CPtrList*>(lParam)); break;
    case EV_USER_LEFT: OnUserLeft(ReadLong(block, 0)); break;
    case EV_CHAT_MESSAGE:
        if (m_pMainFrame) {
            const CString text = ConvertEntities(FieldText(block, 6, 256));
            m_pMainFrame->OnChatLine(ReadLong(block, 0), block[4], block[5], text, "");
        }
        break;
    case EV_CHAT_MESSAGE_2:
        if (m_pMainFrame) {
            const CString second = ConvertEntities(FieldText(block, 4, 22));
            const CString text = ConvertEntities(FieldText(block, 26, 256));
            m_pMainFrame->OnChatLine(ReadLong(block, 0), -1, -1, text, second);
        }
        break;
    case EV_USER_AVATAR_INFO: OnUserAvatarInfo(reinterpret_cast<CPtrList*>(lParam)); break;
    case EV_AVATAR_MOVE: {
        const long user = ReadLong(block, 0);
        const float target[2] = {ReadFloat(block, 20), ReadFloat(block, 28)};
        if (user == m_OwnUser.lUser || !AllFinite(target, 2)) {
            break;
        }
        CGlobalLock lock;
        if (OWN_AVATAR_INFO* record = FindUser(user)) {
            // Kept so a view made later places the member where it walked to.
            record->fGroundX = target[0];
            record->fGroundZ = target[1];
        }
        if (m_pScene) {
            m_pScene->MoveUserTo(user, target[0], target[1]);
        }
        break;
    }
    case EV_AVATAR_SIT_DOWN: {
        const long user = ReadLong(block, 0);
        float seat[16];
        std::memcpy(seat, block + 4, sizeof(seat));
        if (user == m_OwnUser.lUser || !AllFinite(seat, 16)) {
            break;
        }
        CGlobalLock lock;
        if (m_pScene) {
            m_pScene->WalkToSeat(user, seat);
        }
        break;
    }
    case EV_AVATAR_STAND_UP: {
        const long user = ReadLong(block, 0);
        if (user == m_OwnUser.lUser) {
            break;
        }
        CGlobalLock lock;
        if (m_pScene) {
            m_pScene->StandUpAvatar(user);
        }
        break;
    }
    case EV_USER_ITEM_CHANGE: OnItemChange(block); break;
    case EV_PFGAME_DATA:
    case EV_PFGAME_DATA_2: OnGameData(block); break;
    case EV_USER_FACE_SET: {
        const long user = ReadLong(block, 0);
        const char face = static_cast<char>(block[4]);
        CGlobalLock lock;
        if (OWN_AVATAR_INFO* record = FindUser(user)) {
            record->cLetter[1] = face;
        }
        if (m_pScene && (m_pScene->GetViewState() == 14 || m_pScene->GetViewState() == 15)) {
            m_pScene->SetUserFace(user, face);
        }
        break;
    }
    case EV_USER_NICKNAME_CHANGED: {
        const long user = ReadLong(block, 0);
        const CString nickname = ConvertEntities(FieldText(block, 4, 32));
        if (m_pMainFrame) {
            m_pMainFrame->OnNicknameModified(user, nickname);
        }
        CGlobalLock lock;
        if (OWN_AVATAR_INFO* record = FindUser(user)) {
            CopyField(record->szNickname, nickname, static_cast<size_t>(nickname.GetLength()));
        }
        if (m_pScene && (m_pScene->GetViewState() == 14 || m_pScene->GetViewState() == 15)) {
            m_pScene->RenameUser(user, nickname);
        }
        break;
    }
    case EV_USER_PLACE: {
        const long user = ReadLong(block, 0);
        float values[6];
        std::memcpy(values, block + 8, sizeof(values));
        if (user == m_OwnUser.lUser || !AllFinite(values, 6)) {
            break;
        }
        CGlobalLock lock;
        if (OWN_AVATAR_INFO* record = FindUser(user)) {
            std::memcpy(record->fPosition, values, sizeof(record->fPosition));
            record->fGroundX = values[0];
            record->fGroundZ = values[2];
        }
        if (m_pScene) {
            m_pScene->PlaceUser(user, values);
        }
        break;
    }
    default: break; // 131, 139, 140, 143, 151-158: nothing to do
    }
}

void CClientSession::OnHostChanged(const BYTE* block)
{
    const long oldHost = ReadLong(block, 0);
    const long newHost = ReadLong(block, 4);
    if (newHost == m_OwnUser.lUser) {
        SetLocation(LOC_ROOM_HOST);
    }
    if (m_nLocation >= LOC_ROOM_HOST && m_pMainFrame) {
        CString nickname;
        {
            CGlobalLock lock;
            nickname = FindUserName(newHost);
        }
        m_pMainFrame->OnRoomModified(4, nickname, newHost);
    }
    if (m_pScene) {
        CGlobalLock lock;
        m_pScene->ChangeHost(oldHost, newHost);
    }
}

void CClientSession::OnUserKicked(long user)
{
    if (user == m_OwnUser.lUser) {
        if (m_pMainFrame && ::IsWindow(m_pMainFrame->GetSafeHwnd())) {
            m_pMainFrame->PostMessage(
                UM_SESSION_COMMAND,
                (static_cast<WPARAM>(static_cast<unsigned short>(m_nCurrentLobby)) << 16) | CMD_RETURN_TO_LOBBY, 0);
        }
        return;
    }
    CString nickname;
    {
        CGlobalLock lock;
        nickname = FindUserName(user);
    }
    ShowNotice(FormatTableString("KickedUser", nickname));
    OnUserLeft(user);
}

void CClientSession::OnUserEntered(CPtrList* list)
{
    if (!list || list->IsEmpty()) {
        return;
    }
    POSITION position = list->GetHeadPosition();
    const auto* head = static_cast<const BYTE*>(list->GetNext(position));
    const short lobby = ReadShort(head, 0);
    const short room = ReadShort(head, 2);
    const long user = ReadLong(head, 8);

    CString joinedName;
    // The own start place, told to the others present once the own avatar stands there: each
    // program puts a newcomer at a start place of its own choosing until it hears where it is.
    BOOL tellOwnPlace = FALSE;
    float ownPlace[6] = {0, 0, 0, 0, 0, 0};
    {
        CGlobalLock lock;
        if (user == m_OwnUser.lUser) {
            m_nCurrentLobby = lobby;
            m_nCurrentRoom = room;
            m_nCurrentThird = ReadShort(head, 4);
        }
        if (lobby != m_nCurrentLobby || room != m_nCurrentRoom) {
            return; // an entry of a place the member has already left
        }
        if (FindUser(user)) {
            return; // already present: no second record and no second notice
        }
        if (user != m_OwnUser.lUser && !IsDressableGender(static_cast<char>(head[66]))) {
            return;
        }
        auto* record = new OWN_AVATAR_INFO;
        record->lUser = user;
        CopyField(record->szID, reinterpret_cast<const char*>(head + 12), 22);
        CopyField(record->szNickname, reinterpret_cast<const char*>(head + 34), 32);
        ConvertEntitiesInPlace(record->szNickname, sizeof(record->szNickname));
        std::memcpy(record->cLetter, head + 66, 4);
        record->cLetter5 = static_cast<char>(head[70]);
        record->cLetter6 = static_cast<char>(head[71]);
        ReadWornItems(list, position, record);
        if (user == m_OwnUser.lUser) {
            // The own avatar is dressed as the service knows it.
            record->cLetter[1] = m_OwnAvatar.cLetter[1];
        }
        float start[3] = {0, 0, 0};
        if (m_pScene && m_pScene->GetInitPosition(start) && user == m_OwnUser.lUser) {
            tellOwnPlace = TRUE;
            std::memcpy(ownPlace, start, sizeof(start));
        }
        std::memcpy(record->fPosition, start, sizeof(start));
        record->fGroundX = start[0];
        record->fGroundZ = start[2];
        m_listRoomUsers.AddTail(record);
        if (m_pScene) {
            m_pScene->AddUserAvatar(record, start);
        }
        joinedName = record->szNickname;
    }
    if (user != m_OwnUser.lUser) {
        SendRequest(REQ_SEND_MY_AVATAR, user, 0);
    } else if (tellOwnPlace) {
        SendRequest(REQ_MOVE_END, 0, reinterpret_cast<LPARAM>(ownPlace));
    }
    if (m_pMainFrame && ::IsWindow(m_pMainFrame->GetSafeHwnd())) {
        // A copy: the record may be gone (a leave handled first) before the frame reads it.
        auto* copy = new CString(joinedName);
        if (!m_pMainFrame->PostMessage(UM_ROOM_USER_JOIN, static_cast<WPARAM>(user), reinterpret_cast<LPARAM>(copy))) {
            delete copy;
        }
    }
}

void CClientSession::OnUserAvatarInfo(CPtrList* list)
{
    if (!list || list->IsEmpty()) {
        return;
    }
    POSITION position = list->GetHeadPosition();
    const auto* head = static_cast<const BYTE*>(list->GetNext(position));
    const long user = ReadLong(head, 0);
    float values[5] = {ReadFloat(head, 60), ReadFloat(head, 64), ReadFloat(head, 69), ReadFloat(head, 73),
                       ReadFloat(head, 77)};
    if (user == m_OwnUser.lUser || !AllFinite(values, 5)) {
        return;
    }
    CGlobalLock lock;
    // A member already present was put at a start place of this program's choosing when the list
    // of those present came: the answer says where the member really stands.
    if (OWN_AVATAR_INFO* present = m_nCurrentLobby >= 0 ? FindUser(user) : nullptr) {
        present->fGroundX = values[0];
        present->fGroundZ = values[1];
        if (m_pScene && (m_pScene->GetViewState() == 14 || m_pScene->GetViewState() == 15)) {
            const float place[6] = {values[0], present->fPosition[1], values[1], 0, 0, 0};
            m_pScene->PlaceUser(user, place);
        }
        return;
    }
    // This answer carries no place: outside the area or room it was meant for it would add a
    // stranger.
    if (m_nCurrentLobby < 0 || !IsDressableGender(static_cast<char>(head[56]))) {
        return;
    }
    if (m_pScene && m_pScene->GetViewState() != 0 && m_pScene->GetViewState() < 12) {
        return;
    }
    auto* record = new OWN_AVATAR_INFO;
    record->lUser = user;
    CopyField(record->szID, reinterpret_cast<const char*>(head + 4), 21);
    CopyField(record->szNickname, reinterpret_cast<const char*>(head + 25), 31);
    ConvertEntitiesInPlace(record->szNickname, sizeof(record->szNickname));
    std::memcpy(record->cLetter, head + 56, 4);
    record->fGroundX = values[0];
    record->fGroundZ = values[1];
    record->byState = head[68];
    // The member stands on its ground place: a program leaves the answer's own position at zero.
    record->fPosition[0] = values[0];
    record->fPosition[1] = values[3];
    record->fPosition[2] = values[1];
    record->cLetter5 = static_cast<char>(head[82]);
    record->cLetter6 = static_cast<char>(head[83]);
    ReadWornItems(list, position, record);
    m_listRoomUsers.AddTail(record);
    if (m_pScene) {
        m_pScene->AddUserAvatar(record, record->fPosition);
    }
}

void CClientSession::OnUserLeft(long user)
{
    CString nickname;
    {
        CGlobalLock lock;
        nickname = FindUserName(user);
        if (m_pScene) {
            m_pScene->RemoveUserAvatar(user);
        }
        RemoveUserRecord(user);
    }
    // Sent after the lock is left: the frame's handler may show a notice with its own loop.
    if (m_pMainFrame && ::IsWindow(m_pMainFrame->GetSafeHwnd())) {
        m_pMainFrame->SendMessage(UM_ROOM_USER_EXIT, static_cast<WPARAM>(user),
                                  reinterpret_cast<LPARAM>(static_cast<LPCSTR>(nickname)));
    }
}

void CClientSession::OnItemChange(const BYTE* block)
{
    const long user = ReadLong(block, 0);
    const char gender = static_cast<char>(block[4]);
    const char category = static_cast<char>(block[5]);
    const CString number = FieldText(block, 6, 4);
    const bool needsTexture = block[10] == '1';
    const bool putOn = block[13] == 'Y';
    CString nickname;
    {
        CGlobalLock lock;
        OWN_AVATAR_INFO* record = FindUser(user);
        if (record) {
            nickname = record->szNickname;
        }
        if (m_pScene && (m_pScene->GetViewState() == 14 || m_pScene->GetViewState() == 15)) {
            CString texture = "0";
            if (putOn && needsTexture && category >= '0' && category <= '6') {
                char name[kItemFileNameSize] = {};
                if (CAvatarScene::MakeTextureFileName(name, gender == 'M' ? 1 : 2, category - '0', std::atoi(number),
                                                      1)) {
                    texture = name;
                }
            }
            m_pScene->ChangeUserItem(user, gender, category, number, texture, putOn);
        }
    }
    if (!nickname.IsEmpty()) {
        ShowNotice(FormatTableString("UserItemChange", nickname));
    }
}

void CClientSession::OnGameData(const BYTE* block)
{
    const long user = ReadLong(block, 0);
    const BYTE* data = block + 4;
    // A game block is 263 bytes: the user, then 259 bytes of data whose payload starts at +3.
    constexpr int kDataSize = 259;
    switch (data[0]) {
    case 17: {
        m_nGameValue = static_cast<short>((data[3] << 8) | data[4]);
        if (m_pMainFrame) {
            m_pMainFrame->ChangeBackground(m_nGameValue);
        }
        break;
    }
    case 18:
    case 19:
    case 20:
    case 21:
    case 22:
        if (m_pScene) {
            CGlobalLock lock;
            m_pScene->OnGameEvent(data[0], user, data + 3, kDataSize - 3);
        }
        break;
    case 23:
        if (m_pScene) {
            CGlobalLock lock;
            m_pScene->SetRoomSubject(FieldText(data, 3, kDataSize - 3));
        }
        break;
    default: break;
    }
}

void CClientSession::ShowNotice(const CString& text)
{
    if (m_pMainFrame) {
        m_pMainFrame->ShowNotice(text);
    }
}

// ---- String table and questions -----------------------------------------------------------

BOOL CClientSession::LoadSkinIni(LPCSTR name, CIniFile* ini)
{
    CString path = ToolkitSkinFolder() + "\\" + (name ? name : "");
    if (!name || !*name || !SkinFileExists(path)) {
        CString format;
        format.LoadString(61204);
        CString message;
        message.Format(format, static_cast<LPCSTR>(path));
        ::MessageBoxA(nullptr, message, nullptr, MB_OK);
        return FALSE;
    }
    return ini->Load(path) ? TRUE : FALSE;
}

BOOL CClientSession::LoadStringTable(LPCSTR name)
{
    if (!LoadSkinIni(name, &m_iniStringTable)) {
        return FALSE;
    }
    ToolkitSetTableStrings([this](LPCSTR key) { return GetTableString(key); });
    return TRUE;
}

BOOL CClientSession::LoadQuestions(LPCSTR name)
{
    if (!LoadSkinIni(name, &m_iniQuestions)) {
        return FALSE;
    }
    // Every line is one question; a section header a translator may have added is not.
    m_arrQuestions.RemoveAll();
    const CStringArray& lines = m_iniQuestions.Lines();
    for (INT_PTR i = 0; i < lines.GetSize(); ++i) {
        if (!m_iniQuestions.IsSectionLine(static_cast<int>(i))) {
            m_arrQuestions.Add(lines[i]);
        }
    }
    return TRUE;
}

CString CClientSession::GetTableString(LPCSTR key) const
{
    CString value;
    if (key && m_iniStringTable.GetString(kStringSection, key, &value)) {
        return value;
    }
    CString missing;
    missing.LoadString(61230);
    return missing;
}

CString CClientSession::GetQuestion(int index) const
{
    CString value;
    if (index < 0 || index >= m_arrQuestions.GetSize()) {
        value.LoadString(61230);
        return value;
    }
    return m_arrQuestions[index];
}

int CClientSession::GetQuestionCount() const
{
    return static_cast<int>(m_arrQuestions.GetSize());
}

CString CClientSession::FormatTableString(LPCSTR key, LPCSTR argument) const
{
    return ToolkitFormatText(GetTableString(key), argument);
}
