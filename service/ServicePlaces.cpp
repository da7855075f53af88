// Lobbies and rooms: entering and leaving, hosts and their rights, lists, and the traffic that
// is relayed within a place (chat, moves, the party game, the subject).
#include <algorithm>

#include "Service.h"
#include "protocol/Protocol.h"

namespace yonda::service {

using namespace yonda::proto;

namespace {
// The subject board's pictures the world holds ("001.krt" onward).
constexpr int kBackgroundPictures = 10;
} // namespace

Service::Room* Service::place(int16_t lobby, int16_t room)
{
    if (lobby < 0 || lobby >= kLobbyCount)
        return nullptr;
    Lobby& hall = m_lobbies[static_cast<size_t>(lobby)];
    if (room < 0)
        return &hall.area;
    auto found = hall.rooms.find(room);
    return found == hall.rooms.end() ? nullptr : &found->second;
}

std::vector<uint8_t> Service::enteredEvent(const Member& member, const Room& place) const
{
    Block head(kEnteredHeadLayout);
    head.i16(0, place.lobby).i16(2, place.number).i16(4, thirdValue(place)).i32(8, member.user);
    head.text(12, 22, member.login).text(34, 32, member.nickname);
    for (size_t i = 0; i < member.letters.size(); ++i)
        head.ch(66 + i, member.letters[i]);
    wire::Writer event(PlaceEvent);
    event.u8(EvEntered).bytes(head.bytes()).u8(static_cast<uint8_t>(member.worn.size()));
    for (const WornItem& item : member.worn)
        event.bytes(makeWornItem(item).bytes());
    return event.finish();
}

void Service::enter(Member& member, Room& room)
{
    room.members.push_back(member.user);
    member.lobby = room.lobby;
    member.room = room.number;
    member.kickedOut = false;
    ++m_lobbies[static_cast<size_t>(room.lobby)].total;
    // Everyone, the newcomer included: its own avatar and place come only from this event.
    toPlace(room, enteredEvent(member, room));
}

void Service::leavePlace(Member& member, bool announce)
{
    Room* room = placeOf(member);
    member.lobby = member.room = -1;
    if (!room)
        return;
    std::erase(room->members, member.user);
    --m_lobbies[static_cast<size_t>(room->lobby)].total;
    if (announce) {
        Block left(*placeEventLayout(EvLeft));
        left.i32(0, member.user);
        toPlace(*room, placeEvent(EvLeft, left));
    }
    if (room->number < 0)
        return;
    if (room->members.empty()) {
        m_lobbies[static_cast<size_t>(room->lobby)].rooms.erase(room->number);
        return;
    }
    if (room->host == member.user) {
        // A host who leaves without handing over: the longest present member takes the room.
        room->host = room->members.front();
        Block host(*placeEventLayout(EvHostChanged));
        host.i32(0, member.user).i32(4, room->host);
        toPlace(*room, placeEvent(EvHostChanged, host));
    }
}

Block Service::roomRecord(const Room& room, size_t size) const
{
    Block record(size);
    record.i16(0, room.lobby).i16(2, room.number).text(4, 51, room.name).text(55, 31, room.subject);
    record.u8(86, static_cast<uint8_t>(std::min<size_t>(room.members.size(), 255))).u8(87, room.limit);
    record.ch(88, room.password.empty() ? 'O' : 'C').ch(89, room.number < 0 ? 'W' : 'R');
    if (size >= kRoomListLayout.size) {
        auto host = m_members.find(room.host);
        record.text(90, 32, host == m_members.end() ? std::string() : host->second.nickname);
    }
    return record;
}

void Service::onRoomJoin(Request& request, wire::Reader& reader)
{
    int16_t lobby = reader.i16();
    int16_t number = reader.i16();
    std::string password = reader.text(kRoomPasswordWidth);
    std::array<char, 6> letters{};
    for (char& letter : letters)
        letter = reader.ch();
    uint8_t state = reader.u8();
    uint8_t count = reader.u8();
    std::vector<WornItem> worn;
    for (uint8_t i = 0; i < count && reader.ok(); ++i) {
        uint8_t item[8];
        reader.bytesInto(item, sizeof item);
        worn.push_back(readWornItem(item));
    }
    if (!complete(request, reader))
        return;
    Member& self = *request.member;
    if (count > kMaxWornItems) {
        answer(request, BadRequest);
        return;
    }
    Room* room = placeOrNotFound(request, lobby, number);
    if (!room)
        return;
    if (room != placeOf(self)) {
        if (room->members.size() >= room->limit) {
            answer(request, Full);
            return;
        }
        if (room->number >= 0 && !room->password.empty() && room->password != password) {
            answer(request, WrongPassword);
            return;
        }
    }
    letters[0] = self.gender;
    self.letters = letters;
    self.state = state;
    self.worn = ownedOnly(self, worn);
    if (room != placeOf(self)) {
        leavePlace(self, true);
        enter(self, *room);
    }
    wire::Writer writer = reply(request);
    writer.i16(room->lobby).i16(room->number).i16(thirdValue(*room));
    answer(request, writer);
}

void Service::onRoomExit(Request& request, wire::Reader& reader)
{
    reader.i16();
    if (!complete(request, reader))
        return;
    // Also after a kick or with nothing to leave: the member is where it wanted to be.
    leavePlace(*request.member, true);
    request.member->kickedOut = false;
    answer(request, Ok);
}

void Service::onRoomOpen(Request& request, wire::Reader& reader)
{
    uint8_t bytes[96];
    reader.bytesInto(bytes, sizeof bytes);
    if (!complete(request, reader))
        return;
    terminateTexts(bytes, kRoomOpenLayout);
    Block record(bytes, sizeof bytes);
    int16_t lobby = record.getI16(0);
    if (lobby < 0 || lobby >= kLobbyCount) {
        answer(request, BadRequest);
        return;
    }
    Lobby& hall = m_lobbies[static_cast<size_t>(lobby)];
    int16_t number = 1;
    for (const auto& [taken, room] : hall.rooms) {
        if (taken != number)
            break;
        ++number;
    }
    if (hall.rooms.size() >= 1000) {
        answer(request, Full);
        return;
    }
    int maximum = lobby == kGameLobby ? kGameRoomCapacityLimit : kRoomCapacityLimit;
    Member& self = *request.member;
    leavePlace(self, true);
    Room& room = hall.rooms[number];
    room.lobby = lobby;
    room.number = number;
    room.name = record.getText(2, 50);
    room.subject = record.getText(52, 30);
    room.limit = static_cast<uint8_t>(std::clamp<int>(record.getU8(82), 1, maximum));
    room.password = record.getText(83, 13);
    room.host = self.user;
    enter(self, room);
    wire::Writer writer = reply(request);
    writer.i16(number).i16(lobby);
    answer(request, writer);
}

void Service::onRoomInfo(Request& request, wire::Reader& reader)
{
    int16_t lobby = reader.i16();
    int16_t number = reader.i16();
    if (!complete(request, reader))
        return;
    Room* room = placeOrNotFound(request, lobby, number);
    if (!room)
        return;
    wire::Writer writer = reply(request);
    writer.bytes(roomRecord(*room, kRoomLayout.size).bytes());
    answer(request, writer);
}

void Service::onSetRoomHost(Request& request, wire::Reader& reader)
{
    reader.i16();
    int32_t user = reader.i32();
    if (!complete(request, reader))
        return;
    Room* room = hostedRoomOrRefuse(request);
    if (!room || !inRoomOrNotFound(request, *room, user))
        return;
    Block block(*placeEventLayout(EvHostChanged));
    block.i32(0, room->host).i32(4, user);
    room->host = user;
    answer(request, Ok);
    toPlace(*room, placeEvent(EvHostChanged, block));
}

void Service::onKickUser(Request& request, wire::Reader& reader)
{
    reader.i16();
    int32_t user = reader.i32();
    if (!complete(request, reader))
        return;
    Room* room = hostedRoomOrRefuse(request);
    if (!room)
        return;
    if (user == request.member->user) {
        answer(request, NotFound);
        return;
    }
    Member* target = inRoomOrNotFound(request, *room, user);
    if (!target)
        return;
    Block block(*placeEventLayout(EvKicked));
    block.i32(0, user);
    // Everyone, the kicked member included; the others treat it as that member leaving, so no
    // separate leave event follows.
    toPlace(*room, placeEvent(EvKicked, block));
    leavePlace(*target, false);
    target->kickedOut = true;
    answer(request, Ok);
}

void Service::onModifyRoom(Request& request, wire::Reader& reader)
{
    reader.i16();
    char nameChanged = reader.ch();
    std::string name = reader.text(kRoomNameWidth);
    char subjectChanged = reader.ch();
    std::string subject = reader.text(kRoomSubjectWidth);
    char limitChanged = reader.ch();
    uint8_t limit = reader.u8();
    char passwordChanged = reader.ch();
    std::string password = reader.text(kRoomPasswordWidth);
    if (!complete(request, reader))
        return;
    Room* room = hostedRoomOrRefuse(request);
    if (!room)
        return;
    int maximum = room->lobby == kGameLobby ? kGameRoomCapacityLimit : kRoomCapacityLimit;
    if (limitChanged == 'Y' && (limit < room->members.size() || limit < 1 || limit > maximum)) {
        answer(request, BadRequest);
        return;
    }
    answer(request, Ok);
    if (nameChanged == 'Y') {
        Block block(*placeEventLayout(EvRoomName));
        block.text(0, 51, room->name).text(51, 51, name);
        room->name = name.substr(0, 50);
        toPlace(*room, placeEvent(EvRoomName, block));
    }
    if (subjectChanged == 'Y') {
        Block block(*placeEventLayout(EvRoomSubject));
        block.text(0, 31, room->subject).text(31, 31, subject);
        room->subject = subject;
        toPlace(*room, placeEvent(EvRoomSubject, block));
    }
    if (limitChanged == 'Y') {
        Block block(*placeEventLayout(EvRoomLimit));
        block.u8(0, room->limit).u8(1, limit);
        room->limit = limit;
        toPlace(*room, placeEvent(EvRoomLimit, block));
    }
    if (passwordChanged == 'Y') {
        Block block(*placeEventLayout(EvRoomPassword));
        block.text(0, 13, password);
        room->password = password;
        toPlace(*room, placeEvent(EvRoomPassword, block));
    }
}

void Service::onLobbyTotal(Request& request, wire::Reader& reader)
{
    int16_t lobby = reader.i16();
    if (!complete(request, reader))
        return;
    if (!lobbyOrNotFound(request, lobby))
        return;
    wire::Writer writer = reply(request);
    writer.i32(m_lobbies[static_cast<size_t>(lobby)].total);
    answer(request, writer);
}

void Service::onLobbyRooms(Request& request, wire::Reader& reader)
{
    int16_t lobby = reader.i16();
    int16_t pageKey = reader.i16();
    if (!complete(request, reader))
        return;
    if (!lobbyOrNotFound(request, lobby))
        return;
    const auto& rooms = m_lobbies[static_cast<size_t>(lobby)].rooms;
    std::vector<const Room*> page;
    for (auto it = rooms.upper_bound(pageKey); it != rooms.end() && page.size() < kRoomPage; ++it)
        page.push_back(&it->second);
    wire::Writer writer = reply(request);
    writer.u16(static_cast<uint16_t>(page.size()));
    for (const Room* room : page)
        writer.bytes(roomRecord(*room, kRoomListLayout.size).bytes());
    answer(request, writer);
}

void Service::onSearchRoom(Request& request, wire::Reader& reader)
{
    int16_t lobby = reader.i16();
    int16_t pageKey = reader.i16();
    std::string name = reader.text(kSearchTextWidth);
    std::string subject = reader.text(32);
    std::string hostNickname = reader.text(24);
    std::string hostLogin = reader.text(32);
    char sex = reader.ch();
    uint8_t ageFrom = reader.u8();
    uint8_t ageTo = reader.u8();
    std::string area = reader.text(kAreaWidth);
    uint8_t count = reader.u8();
    char full = reader.ch();
    char secret = reader.ch();
    if (!complete(request, reader))
        return;
    if (!lobbyOrNotFound(request, lobby))
        return;
    auto has = [](const std::string& text, const std::string& part) {
        return part.empty() || text.find(part) != std::string::npos;
    };
    const auto& rooms = m_lobbies[static_cast<size_t>(lobby)].rooms;
    std::vector<const Room*> page;
    for (auto it = rooms.upper_bound(pageKey); it != rooms.end() && page.size() < kSearchPage; ++it) {
        const Room& room = it->second;
        auto host = m_members.find(room.host);
        const Member* owner = host == m_members.end() ? nullptr : &host->second;
        if (!has(room.name, name) || !has(room.subject, subject))
            continue;
        if (!hostNickname.empty() && !(owner && has(owner->nickname, hostNickname)))
            continue;
        if (!hostLogin.empty() && !(owner && has(owner->login, hostLogin)))
            continue;
        if ((sex == 'M' || sex == 'F') && !(owner && owner->gender == sex))
            continue;
        if ((ageFrom || ageTo) && !(owner && owner->age >= ageFrom && owner->age <= ageTo))
            continue;
        if (!area.empty() && area != "-1" && !(owner && owner->area.compare(0, area.size(), area) == 0))
            continue;
        if (count && room.limit != count)
            continue;
        if (full != 'E' && room.members.size() >= room.limit)
            continue;
        if (secret != 'O' && !room.password.empty())
            continue;
        page.push_back(&room);
    }
    wire::Writer writer = reply(request);
    writer.u16(static_cast<uint16_t>(page.size()));
    for (const Room* room : page)
        writer.bytes(roomRecord(*room, kRoomListLayout.size).bytes());
    answer(request, writer);
}

void Service::onRoomUsers(Request& request, wire::Reader& reader)
{
    int16_t lobby = reader.i16();
    int16_t number = reader.i16();
    if (!complete(request, reader))
        return;
    Room* room = placeOrNotFound(request, lobby, number);
    if (!room)
        return;
    wire::Writer writer = reply(request);
    writer.bytes(roomRecord(*room, kRoomLayout.size).bytes());
    writer.u16(static_cast<uint16_t>(room->members.size()));
    for (int32_t user : room->members) {
        const Member& member = m_members.at(user);
        Block element(kRoomUserLayout);
        element.i32(0, user).text(4, 22, member.login).text(26, 32, member.nickname);
        element.u8(58, member.age).ch(59, member.gender).ch(60, room->number >= 0 && room->host == user ? 'H' : 'G');
        writer.bytes(element.bytes());
    }
    answer(request, writer);
}

void Service::onChat(Request& request, wire::Reader& reader)
{
    reader.i16();
    uint8_t kind = reader.u8();
    uint8_t colour = reader.u8();
    std::string text = reader.text(kChatWidth);
    if (!complete(request, reader))
        return;
    Member& self = *request.member;
    Room* room = placeOrRefuse(request);
    if (!room)
        return;
    if (!self.chat.take(nowMs())) {
        answer(request, TryLater);
        tellTooFast(self, true);
        return;
    }
    answer(request, Ok);
    Block block(*placeEventLayout(EvChat));
    block.i32(0, self.user).u8(4, kind).u8(5, colour).text(6, 256, text);
    // The sender too: its own line, balloon and motion appear only through this echo.
    toPlace(*room, placeEvent(EvChat, block));
}

void Service::onMove(Request& request, wire::Reader& reader)
{
    reader.i16();
    reader.i32();
    float values[6];
    for (float& value : values)
        value = reader.f32();
    if (!complete(request, reader))
        return;
    Member& self = *request.member;
    Room* room = placeOrRefuse(request);
    if (!room)
        return;
    answer(request, Ok);
    bool start = request.command == MoveStart;
    std::copy(values, values + 3, self.position);
    self.state = 0;
    uint8_t type = start ? EvMoveStart : EvPlace;
    Block block(*placeEventLayout(type));
    block.i32(0, self.user).i16(4, self.lobby).i16(6, self.room);
    for (int i = 0; i < 6; ++i)
        block.f32(8 + 4 * static_cast<size_t>(i), values[i]);
    toPlace(*room, placeEvent(type, block), self.user);
}

void Service::onSit(Request& request, wire::Reader& reader)
{
    reader.i16();
    float matrix[16];
    for (float& value : matrix)
        value = reader.f32();
    if (!complete(request, reader))
        return;
    Member& self = *request.member;
    Room* room = placeOrRefuse(request);
    if (!room)
        return;
    answer(request, Ok);
    self.state = 2;
    Block block(*placeEventLayout(EvSit));
    block.i32(0, self.user);
    for (int i = 0; i < 16; ++i)
        block.f32(4 + 4 * static_cast<size_t>(i), matrix[i]);
    toPlace(*room, placeEvent(EvSit, block), self.user);
}

void Service::onStand(Request& request, wire::Reader& reader)
{
    reader.i16();
    reader.i32();
    if (!complete(request, reader))
        return;
    Member& self = *request.member;
    Room* room = placeOrRefuse(request);
    if (!room)
        return;
    answer(request, Ok);
    self.state = 0;
    Block block(*placeEventLayout(EvStand));
    block.i32(0, self.user);
    toPlace(*room, placeEvent(EvStand, block), self.user);
}

void Service::onGame(Request& request, wire::Reader& reader)
{
    Block block(*placeEventLayout(EvGame));
    block.i32(0, request.member->user);
    uint8_t code = 0;
    bool toSender = false;
    switch (request.command) {
    case GameJumpToStart:
        reader.i32(); // the value names nothing the others need
        code = GameJumpCode;
        break;
    case GameBoard: {
        reader.i16();
        uint16_t length = reader.u16();
        std::vector<uint8_t> board = reader.bytes(length);
        if (length > kBoardSize)
            reader.fail();
        block.raw(7, board.data(), board.size());
        code = GameBoardCode;
        break;
    }
    case GameTime:
        reader.i16();
        block.i32(7, reader.i32());
        code = GameTimeCode;
        toSender = true; // the finisher's own congratulation comes from this echo
        break;
    case GameRetire:
        reader.i16();
        code = GameRetireCode; // never to the sender: its client would run the winner check
        break;
    case GameReady:
        reader.i16();
        code = GameReadyCode;
        toSender = true;
        break;
    default: break;
    }
    if (!complete(request, reader))
        return;
    Member& self = *request.member;
    Room* room = roomOrRefuse(request);
    if (!room)
        return;
    answer(request, Ok);
    block.u8(4, code);
    toPlace(*room, placeEvent(EvGame, block), toSender ? 0 : self.user);
}

void Service::onRoomTheme(Request& request, wire::Reader& reader)
{
    reader.i16();
    std::string text = reader.text(kChatWidth);
    if (!complete(request, reader))
        return;
    Room* room = hostedRoomOrRefuse(request);
    if (!room)
        return;
    room->theme = text;
    answer(request, Ok);
    Block block(*placeEventLayout(EvGame));
    block.i32(0, request.member->user).u8(4, GameThemeCode).text(7, 256, text);
    toPlace(*room, placeEvent(EvGame, block), request.member->user);
    // A new subject brings the next of the subject board's pictures, for everyone, the host too.
    const int picture = room->themes++ % kBackgroundPictures + 1;
    Block background(*placeEventLayout(EvGame));
    background.i32(0, request.member->user).u8(4, GameBackground);
    background.u8(7, static_cast<uint8_t>(picture >> 8)).u8(8, static_cast<uint8_t>(picture & 0xFF));
    toPlace(*room, placeEvent(EvGame, background));
}

void Service::onRoomThemeTo(Request& request, wire::Reader& reader)
{
    reader.i16();
    int32_t user = reader.i32();
    std::string text = reader.text(kChatWidth);
    if (!complete(request, reader))
        return;
    Room* room = hostedRoomOrRefuse(request);
    Member* target = room ? inRoomOrNotFound(request, *room, user) : nullptr;
    if (!target)
        return;
    answer(request, Ok);
    Block block(*placeEventLayout(EvGame));
    block.i32(0, request.member->user).u8(4, GameThemeCode).text(7, 256, text);
    m_server->send(target->connection, placeEvent(EvGame, block));
}

} // namespace yonda::service
