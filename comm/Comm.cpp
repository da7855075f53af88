#include "Comm.h"

#include <afxwin.h>
#include <cstring>
#include <string>

#include "EventPoster.h"
#include "link/Link.h"
#include "protocol/Layouts.h"
#include "protocol/Protocol.h"

using namespace yonda;
using namespace yonda::proto;

namespace {

std::string textOf(const char* text)
{
    return text ? std::string(text) : std::string();
}

// Copies `count` elements of a layout from the answer into library-made blocks.
bool readElements(wire::Reader& fields, size_t count, const Layout& layout, CPtrList& list)
{
    CPtrList made;
    for (size_t i = 0; i < count; ++i) {
        std::vector<uint8_t> bytes = fields.bytes(layout.size);
        if (!fields.ok())
            break;
        BYTE* element = new BYTE[layout.size];
        std::memcpy(element, bytes.data(), layout.size);
        terminateTexts(element, layout);
        made.AddTail(element);
    }
    if (!fields.done()) {
        POSITION position = made.GetHeadPosition();
        while (position)
            CComm::FreeElement(made.GetNext(position));
        return false;
    }
    while (!made.IsEmpty())
        list.AddTail(made.RemoveHead());
    return true;
}

// Copies a record of a layout from the answer into the caller's structure.
bool readRecord(wire::Reader& fields, const Layout& layout, void* record)
{
    std::vector<uint8_t> bytes = fields.bytes(layout.size);
    if (!fields.done())
        return false;
    terminateTexts(bytes.data(), layout);
    std::memcpy(record, bytes.data(), layout.size);
    return true;
}

// A list whose first element is a record of its own layout: the head, then the elements.
bool readHeadedList(const std::vector<uint8_t>& head, const Layout& headLayout, wire::Reader& fields, size_t count,
                    const Layout& layout, CPtrList& list)
{
    CPtrList elements;
    if (head.size() != headLayout.size || !readElements(fields, count, layout, elements))
        return false;
    BYTE* first = new BYTE[headLayout.size];
    std::memcpy(first, head.data(), headLayout.size);
    terminateTexts(first, headLayout);
    list.AddTail(first);
    while (!elements.IsEmpty())
        list.AddTail(elements.RemoveHead());
    return true;
}

void writeFloats(wire::Writer& writer, const float* values, int count)
{
    for (int i = 0; i < count; ++i)
        writer.f32(values[i]);
}

void writeWornItems(wire::Writer& writer, CPtrList& items)
{
    uint8_t count = 0;
    std::vector<uint8_t> bytes;
    POSITION position = items.GetHeadPosition();
    while (position && count < kMaxWornItems) {
        const void* item = items.GetNext(position);
        if (!item)
            continue;
        const auto* text = static_cast<const uint8_t*>(item);
        bytes.insert(bytes.end(), text, text + kWornItemLayout.size);
        ++count;
    }
    writer.u8(count).bytes(bytes);
}

} // namespace

CComm::CComm() : m_link(std::make_unique<comm::Link>()), m_poster(std::make_unique<comm::EventPoster>())
{
    comm::EventPoster* poster = m_poster.get();
    m_link->setEventSink([poster](DecodedEvent&& event) { poster->post(std::move(event)); });
    m_link->setLossSink([poster] { poster->postLoss(); });
}

CComm::~CComm()
{
    m_link->disconnect();
}

BOOL CComm::Connect(CString address, int port)
{
    if (port <= 0 || port > 65535)
        return FALSE;
    return m_link->connect(address.GetString(), static_cast<uint16_t>(port)) ? TRUE : FALSE;
}

void CComm::Disconnect()
{
    m_link->disconnect();
}

bool CComm::IsConnected()
{
    return m_link->isConnected();
}

bool CComm::IsValidSocket()
{
    return m_link->isValid();
}

void CComm::SetNotifyWindow(CWnd* pWnd)
{
    SetNotifyHwnd(pWnd ? pWnd->GetSafeHwnd() : nullptr);
}

void CComm::SetNotifyHwnd(HWND window)
{
    m_poster->setWindow(window);
}

void CComm::FreeElement(void* pElement)
{
    delete[] static_cast<BYTE*>(pElement);
}

void CComm::Release(CPtrList* pList)
{
    if (!pList)
        return;
    while (!pList->IsEmpty())
        FreeElement(pList->RemoveHead());
}

BOOL CComm::QueryFields(unsigned char command, const Fill& fill, const std::function<bool(wire::Reader&)>& read)
{
    auto request = m_link->begin(command);
    fill(request.writer);
    auto reply = m_link->call(request);
    if (!reply || !reply->ok())
        return FALSE;
    auto fields = reply->fields();
    return read(fields) ? TRUE : FALSE;
}

BOOL CComm::Simple(unsigned char command, const Fill& fill)
{
    return QueryFields(command, fill, [](wire::Reader& fields) { return fields.done(); });
}

BOOL CComm::QueryElements(unsigned char command, const Fill& fill, const Layout& layout, CPtrList& list)
{
    return QueryFields(command, fill, [&](wire::Reader& fields) {
        uint16_t count = fields.u16();
        return fields.ok() && readElements(fields, count, layout, list);
    });
}

BOOL CComm::QueryLogin(CString id, CString password, long& user, char& flag)
{
    return QueryFields(
        Login,
        [&](wire::Writer& w) { w.text(id.GetString(), kIdWidth).text(password.GetString(), kLoginPasswordWidth); },
        [&](wire::Reader& fields) {
            int32_t number = fields.i32();
            char letter = fields.ch();
            if (!fields.done())
                return false;
            user = number;
            flag = letter;
            m_poster->setOwnUser(number);
            return true;
        });
}

BOOL CComm::QueryLogout()
{
    return Simple(Logout, [](wire::Writer&) {});
}

BOOL CComm::QueryUserInfo(long user, EX_YONDA_BODY_R_USER_INFO& info)
{
    return QueryFields(
        UserInfo, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(user)); },
        [&](wire::Reader& fields) { return readRecord(fields, kUserInfoLayout, &info); });
}

BOOL CComm::QueryAvataInfo(long user, CPtrList& list)
{
    return QueryFields(
        AvatarInfo, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(user)); },
        [&](wire::Reader& fields) {
            std::vector<uint8_t> head = fields.bytes(kAvatarHeadLayout.size);
            uint8_t count = fields.u8();
            return fields.ok() && count <= kMaxWornItems &&
                   readHeadedList(head, kAvatarHeadLayout, fields, count, kWornItemLayout, list);
        });
}

BOOL CComm::QuerySendUserLocation(short lobby, short room)
{
    return Simple(SendUserLocation, [&](wire::Writer& w) { w.i16(lobby).i16(room); });
}

BOOL CComm::QuerySendMyAvataInfo(short lobby, long targetUser, char letter1, char state, float groundX, float groundZ,
                                 float posX, float posY, float posZ, char letter2, char letter5, char letter6,
                                 CPtrList& wornItems)
{
    return Simple(SendMyAvatar, [&](wire::Writer& w) {
        w.i16(lobby).i32(static_cast<int32_t>(targetUser)).ch(letter1).u8(static_cast<uint8_t>(state));
        w.f32(groundX).f32(groundZ).f32(posX).f32(posY).f32(posZ).ch(letter2).ch(letter5).ch(letter6);
        writeWornItems(w, wornItems);
    });
}

BOOL CComm::QueryUserFaceSet(short lobby, char face)
{
    return Simple(FaceSet, [&](wire::Writer& w) { w.i16(lobby).u8(static_cast<uint8_t>(face)); });
}

BOOL CComm::QueryAvataCreate(char gender, char letter2, char letter3, const char* hair, const char* face,
                             const char* top, const char* bottom, const char* footwear, const char* handItem,
                             const char* hairItem)
{
    return Simple(AvatarCreate, [&](wire::Writer& w) {
        w.ch(gender).ch(letter2).ch(letter3);
        for (const char* code : {hair, face, top, bottom, footwear, handItem, hairItem})
            w.text(textOf(code), kItemCodeWidth);
    });
}

BOOL CComm::QueryUserModNickName(const char* nickname)
{
    return Simple(SetOwnNickname, [&](wire::Writer& w) { w.text(textOf(nickname), kNicknameWidth); });
}

BOOL CComm::QueryModNickName(short lobby, const char* nickname)
{
    return Simple(AnnounceNickname, [&](wire::Writer& w) { w.i16(lobby).text(textOf(nickname), kNicknameWidth); });
}

BOOL CComm::QueryUserModIntro(const char* introduction)
{
    return Simple(SetIntro, [&](wire::Writer& w) { w.text(textOf(introduction), kIntroWidth); });
}

BOOL CComm::QuerySearchUser(long pageKey, const char* byName, const char* byNick, char sex, const char* area,
                            unsigned char ageFrom, unsigned char ageTo, const char* text1, const char* text2, char flag,
                            CPtrList& list)
{
    auto fill = [&](wire::Writer& w) {
        w.i32(static_cast<int32_t>(pageKey)).text(textOf(byName), kIdWidth).text(textOf(byNick), kNicknameWidth);
        w.ch(sex).text(textOf(area), kAreaWidth).u8(ageFrom).u8(ageTo);
        w.text(textOf(text1), kSearchTextWidth).text(textOf(text2), kSearchTextWidth).ch(flag);
    };
    return QueryElements(SearchUser, fill, kSearchUserLayout, list);
}

BOOL CComm::QueryMyItemList(CPtrList& list)
{
    return QueryElements(
        MyItems, [](wire::Writer&) {}, kMyItemLayout, list);
}

BOOL CComm::QueryUserItemChange(const char* ownedItemKey, char wear)
{
    uint8_t key[kItemKeyWidth] = {};
    if (ownedItemKey)
        std::memcpy(key, ownedItemKey, strnlen(ownedItemKey, kItemKeyWidth));
    return Simple(WearItem, [&](wire::Writer& w) { w.bytes(key, sizeof key).ch(wear); });
}

BOOL CComm::QuerySendUserItemChange(long ownUser, char gender, int category, const char* itemNumber,
                                    const char* textureFlag, char wear)
{
    if (category < 0 || category > 6)
        return FALSE;
    return Simple(AnnounceItemChange, [&](wire::Writer& w) {
        w.i32(static_cast<int32_t>(ownUser)).ch(gender).u8(static_cast<uint8_t>(category));
        w.text(textOf(itemNumber), kItemCodeWidth).text(textOf(textureFlag), 3).ch(wear);
    });
}

BOOL CComm::QueryRoomJoin(short lobby, short room, const char* password, char letter1, char letter2, char letter3,
                          char letter4, char letter5, char letter6, char state, CPtrList& wornItems, short& joinedLobby,
                          short& joinedRoom, short& third)
{
    auto fill = [&](wire::Writer& w) {
        w.i16(lobby).i16(room).text(textOf(password), kRoomPasswordWidth);
        for (char letter : {letter1, letter2, letter3, letter4, letter5, letter6})
            w.ch(letter);
        w.u8(static_cast<uint8_t>(state));
        writeWornItems(w, wornItems);
    };
    return QueryFields(RoomJoin, fill, [&](wire::Reader& fields) {
        short a = fields.i16(), b = fields.i16(), c = fields.i16();
        if (!fields.done())
            return false;
        joinedLobby = a;
        joinedRoom = b;
        third = c;
        return true;
    });
}

BOOL CComm::QueryRoomExit(short lobby)
{
    return Simple(RoomExit, [&](wire::Writer& w) { w.i16(lobby); });
}

BOOL CComm::QueryRoomInfo(short lobby, short room, EX_YONDA_BODY_R_ROOM_INFO& info)
{
    return QueryFields(
        RoomInfo, [&](wire::Writer& w) { w.i16(lobby).i16(room); },
        [&](wire::Reader& fields) { return readRecord(fields, kRoomLayout, &info); });
}

BOOL CComm::QueryModRoomHost(short lobby, long user)
{
    return Simple(SetRoomHost, [&](wire::Writer& w) { w.i16(lobby).i32(static_cast<int32_t>(user)); });
}

BOOL CComm::QueryRoomUserOut(short lobby, long user)
{
    return Simple(KickUser, [&](wire::Writer& w) { w.i16(lobby).i32(static_cast<int32_t>(user)); });
}

BOOL CComm::QueryRoomModInfo(short lobby, char nameChanged, const char* name, char subjectChanged, const char* subject,
                             char limitChanged, unsigned char limit, char passwordChanged, const char* password)
{
    return Simple(ModifyRoom, [&](wire::Writer& w) {
        w.i16(lobby).ch(nameChanged).text(textOf(name), kRoomNameWidth).ch(subjectChanged);
        w.text(textOf(subject), kRoomSubjectWidth).ch(limitChanged).u8(limit).ch(passwordChanged);
        w.text(textOf(password), kRoomPasswordWidth);
    });
}

BOOL CComm::QueryLobbyTotalUser(short lobby, int& count)
{
    return QueryFields(
        LobbyTotal, [&](wire::Writer& w) { w.i16(lobby); },
        [&](wire::Reader& fields) {
            int32_t total = fields.i32();
            if (!fields.done())
                return false;
            count = total;
            return true;
        });
}

BOOL CComm::QueryLobbyRoomList(short lobby, short pageKey, CPtrList& list)
{
    return QueryElements(
        LobbyRooms, [&](wire::Writer& w) { w.i16(lobby).i16(pageKey); }, kRoomListLayout, list);
}

BOOL CComm::QuerySearchRoom(short lobby, short pageKey, const char* text1, const char* text2, const char* text3,
                            const char* text4, char sex, unsigned char ageFrom, unsigned char ageTo, const char* area,
                            unsigned char count, char fullFlag, char secretFlag, CPtrList& list)
{
    auto fill = [&](wire::Writer& w) {
        w.i16(lobby).i16(pageKey).text(textOf(text1), kSearchTextWidth).text(textOf(text2), 32);
        w.text(textOf(text3), 24).text(textOf(text4), 32).ch(sex).u8(ageFrom).u8(ageTo);
        w.text(textOf(area), kAreaWidth).u8(count).ch(fullFlag).ch(secretFlag);
    };
    return QueryElements(SearchRoom, fill, kRoomListLayout, list);
}

BOOL CComm::QueryRoomUsers(short lobby, short room, CPtrList& list)
{
    return QueryFields(
        RoomUsers, [&](wire::Writer& w) { w.i16(lobby).i16(room); },
        [&](wire::Reader& fields) {
            std::vector<uint8_t> header = fields.bytes(kRoomLayout.size);
            uint16_t count = fields.u16();
            return fields.ok() && readHeadedList(header, kRoomLayout, fields, count, kRoomUserLayout, list);
        });
}

BOOL CComm::QueryListFriends(long after, CPtrList& list)
{
    return QueryElements(
        ListFriends, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(after)); }, kFriendLayout, list);
}

BOOL CComm::QueryChatSend(short lobby, char kind, char colour, const char* text)
{
    return Simple(Chat, [&](wire::Writer& w) {
        w.i16(lobby).u8(static_cast<uint8_t>(kind)).u8(static_cast<uint8_t>(colour)).text(textOf(text), kChatWidth);
    });
}

BOOL CComm::QuerySendInstantMessage(const char* id, const char* text)
{
    return Simple(InstantMessage,
                  [&](wire::Writer& w) { w.text(textOf(id), kIdWidth).text(textOf(text), kMessageWidth); });
}

BOOL CComm::QueryRegFriend(long user, EX_YONDA_BODY_R_FRIEND_REG& record)
{
    return QueryFields(
        AddFriend, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(user)); },
        [&](wire::Reader& fields) { return readRecord(fields, kFriendLayout, &record); });
}

BOOL CComm::QueryDelFriend(long user)
{
    return Simple(DeleteFriend, [&](wire::Writer& w) { w.i32(static_cast<int32_t>(user)); });
}

BOOL CComm::QueryAvataMoveStart(short lobby, int unused, const float* positionAndTarget)
{
    return positionAndTarget
               ? Simple(MoveStart,
                        [&](wire::Writer& w) { writeFloats(w.i16(lobby).i32(unused), positionAndTarget, 6); })
               : FALSE;
}

BOOL CComm::QueryAvataMoveEnd(short lobby, int unused, const float* positionAndFacing)
{
    return positionAndFacing
               ? Simple(MoveEnd, [&](wire::Writer& w) { writeFloats(w.i16(lobby).i32(unused), positionAndFacing, 6); })
               : FALSE;
}

BOOL CComm::QueryAvataMoveRotate(short lobby, const float* seatMatrix)
{
    return seatMatrix ? Simple(MoveSit, [&](wire::Writer& w) { writeFloats(w.i16(lobby), seatMatrix, 16); }) : FALSE;
}

BOOL CComm::QueryAvataMoveSitup(short lobby, int unused)
{
    return Simple(MoveStand, [&](wire::Writer& w) { w.i16(lobby).i32(unused); });
}
