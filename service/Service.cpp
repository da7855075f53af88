#include "Service.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Log.h"
#include "protocol/Protocol.h"

namespace yonda::service {

using namespace yonda::proto;

Service::Service(Store& store, const Catalogue& catalogue)
    : m_store(store), m_catalogue(catalogue), m_passwords(std::make_unique<PasswordWorker>(2))
{
    for (int16_t lobby = 0; lobby < kLobbyCount; ++lobby) {
        Room& area = m_lobbies[static_cast<size_t>(lobby)].area;
        area.lobby = lobby;
        area.number = -1;
        area.name = "Lobby " + std::to_string(lobby + 1);
        area.limit = kLobbyAreaCapacity;
    }
}

Service::~Service()
{
    *m_alive = false;
    m_passwords.reset();
}

const std::map<uint8_t, Service::Handler>& Service::handlers()
{
    static const std::map<uint8_t, Handler> table = {
        {Hello, &Service::onHello},
        {Login, &Service::onLogin},
        {Logout, &Service::onLogout},
        {UserInfo, &Service::onUserInfo},
        {AvatarInfo, &Service::onAvatarInfo},
        {UserLocation, &Service::onUserLocation},
        {SendUserLocation, &Service::onSendUserLocation},
        {SendMyAvatar, &Service::onSendMyAvatar},
        {FaceSet, &Service::onFaceSet},
        {AvatarCreate, &Service::onAvatarCreate},
        {SetOwnNickname, &Service::onSetOwnNickname},
        {AnnounceNickname, &Service::onAnnounceNickname},
        {SetIntro, &Service::onSetIntro},
        {UploadImage, &Service::onUploadImage},
        {SearchUser, &Service::onSearchUser},
        {Points, &Service::onPoints},
        {BuyItem, &Service::onBuyItem},
        {MyItems, &Service::onMyItems},
        {WearItem, &Service::onWearItem},
        {AnnounceItemChange, &Service::onAnnounceItemChange},
        {RoomJoin, &Service::onRoomJoin},
        {RoomExit, &Service::onRoomExit},
        {Command::RoomOpen, &Service::onRoomOpen},
        {RoomInfo, &Service::onRoomInfo},
        {SetRoomHost, &Service::onSetRoomHost},
        {KickUser, &Service::onKickUser},
        {ModifyRoom, &Service::onModifyRoom},
        {LobbyTotal, &Service::onLobbyTotal},
        {LobbyRooms, &Service::onLobbyRooms},
        {SearchRoom, &Service::onSearchRoom},
        {RoomUsers, &Service::onRoomUsers},
        {ListFriends, &Service::onListFriends},
        {Chat, &Service::onChat},
        {InstantMessage, &Service::onInstantMessage},
        {AddFriend, &Service::onAddFriend},
        {DeleteFriend, &Service::onDeleteFriend},
        {MoveStart, &Service::onMove},
        {MoveEnd, &Service::onMove},
        {MoveSit, &Service::onSit},
        {MoveStand, &Service::onStand},
        {GameJumpToStart, &Service::onGame},
        {GameBoard, &Service::onGame},
        {GameTime, &Service::onGame},
        {GameRetire, &Service::onGame},
        {GameReady, &Service::onGame},
        {RoomTheme, &Service::onRoomTheme},
        {RoomThemeTo, &Service::onRoomThemeTo},
    };
    return table;
}

void Service::onFrame(ConnectionId id, const std::vector<uint8_t>& frame)
{
    uint8_t command = frame[1];
    if (command == Probe) {
        // The probe wants one packet: an empty address text tells it to use the address it probed.
        wire::Writer probeReply(Probe);
        probeReply.u8(0);
        m_server->send(id, probeReply.finish());
        return;
    }
    auto handler = handlers().find(command);
    if (handler == handlers().end()) {
        m_server->close(id, "sent an unknown command");
        return;
    }
    Session& session = m_sessions[id];
    wire::Reader reader(frame.data() + wire::kHeaderSize, frame.size() - wire::kHeaderSize);
    uint32_t requestId = reader.u32();
    if (!reader.ok()) {
        m_server->close(id, "sent a frame without a request number");
        return;
    }
    if (command != Hello && !session.greeted) {
        m_server->close(id, "did not greet first");
        return;
    }
    Member* member = session.user ? online(session.user) : nullptr;
    Request request{id, command, requestId, session, member};
    if (!member && command != Hello && command != Login) {
        answer(request, NotLoggedIn);
        return;
    }
    (this->*handler->second)(request, reader);
}

void Service::onClosed(ConnectionId id)
{
    auto found = m_sessions.find(id);
    if (found == m_sessions.end())
        return;
    if (Member* member = found->second.user ? online(found->second.user) : nullptr) {
        if (member->connection == id)
            logout(*member);
    }
    m_sessions.erase(found);
}

Service::Member* Service::online(int32_t user)
{
    auto found = m_members.find(user);
    return found == m_members.end() ? nullptr : &found->second;
}

bool Service::complete(const Request& request, const wire::Reader& reader)
{
    if (reader.done())
        return true;
    char reason[64];
    std::snprintf(reason, sizeof reason, "sent a malformed request 0x%02X", request.command);
    m_server->close(request.connection, reason);
    return false;
}

wire::Writer Service::reply(const Request& request, uint8_t status) const
{
    wire::Writer writer(request.command);
    writer.u32(request.id).u8(status);
    return writer;
}

void Service::answer(const Request& request, uint8_t status)
{
    wire::Writer writer = reply(request, status);
    m_server->send(request.connection, writer.finish());
}

void Service::answer(const Request& request, wire::Writer& fields)
{
    m_server->send(request.connection, fields.finish());
}

void Service::sendTo(int32_t user, const std::vector<uint8_t>& frame)
{
    if (Member* member = online(user))
        m_server->send(member->connection, frame);
}

void Service::toPlace(const Room& place, const std::vector<uint8_t>& frame, int32_t except)
{
    for (int32_t user : place.members) {
        if (user != except)
            sendTo(user, frame);
    }
}

std::vector<uint8_t> Service::placeEvent(uint8_t type, const Block& block)
{
    wire::Writer writer(PlaceEvent);
    writer.u8(type).bytes(block.bytes());
    return writer.finish();
}

std::vector<uint8_t> Service::messageEvent(uint8_t type, const Block& block)
{
    wire::Writer writer(MessageEvent);
    writer.u8(type).bytes(block.bytes());
    return writer.finish();
}

void Service::friendState(const Member& member, char state)
{
    Block block(*messageEventLayout(MsgFriendState));
    block.i32(0, member.user).ch(4, state);
    auto frame = messageEvent(MsgFriendState, block);
    for (int32_t user : m_store.listedAsFriendBy(member.user))
        sendTo(user, frame);
}

void Service::logout(Member& member)
{
    leavePlace(member, true);
    friendState(member, 'N');
    int32_t user = member.user;
    for (auto& [connection, session] : m_sessions) {
        if (session.user == user && connection == member.connection)
            session.user = 0;
    }
    m_members.erase(user);
}

// ---- Account ----------------------------------------------------------------------------------

void Service::onHello(Request& request, wire::Reader& reader)
{
    uint16_t version = reader.u16();
    if (!complete(request, reader))
        return;
    wire::Writer writer = reply(request, version == kVersion ? Ok : VersionMismatch);
    writer.u16(kVersion);
    answer(request, writer);
    if (version == kVersion)
        request.session.greeted = true;
    else
        m_server->closeAfterSend(request.connection);
}

void Service::onLogin(Request& request, wire::Reader& reader)
{
    std::string login = reader.text(kIdWidth);
    std::string password = reader.text(kLoginPasswordWidth);
    if (!complete(request, reader))
        return;
    if (request.session.user || request.session.loginRunning) {
        answer(request, Refused);
        return;
    }
    auto account = m_store.accountByLogin(login);
    if (!account) {
        answer(request, NotFound);
        return;
    }
    request.session.loginRunning = true;
    ConnectionId connection = request.connection;
    uint32_t requestId = request.id;
    std::weak_ptr<bool> alive = m_alive;
    Server* server = m_server;
    m_passwords->submit([=, this, stored = account->hash] {
        bool verified = PasswordWorker::verify(stored, password);
        server->post([=, this] {
            if (alive.expired())
                return;
            auto found = m_sessions.find(connection);
            if (found == m_sessions.end())
                return; // the connection went away meanwhile
            Session& session = found->second;
            session.loginRunning = false;
            Request done{connection, Login, requestId, session, nullptr};
            auto current = m_store.accountByLogin(login);
            if (!verified || !current) {
                answer(done, Refused);
                return;
            }
            // A second login replaces the first: a member whose program died must not wait for
            // the old connection to time out.
            if (Member* previous = online(current->user)) {
                ConnectionId old = previous->connection;
                logout(*previous);
                m_server->close(old, "replaced by a new login of the same member");
            }
            Member& member = m_members[current->user];
            member.user = current->user;
            member.connection = connection;
            member.login = current->login;
            member.nickname = current->nickname;
            member.area = current->area;
            member.gender = current->gender;
            member.age = current->age;
            member.face = current->face;
            member.letters = {current->gender, current->face, '0', '0', '0', '0'};
            session.user = current->user;
            m_server->setAuthenticated(connection);
            wire::Writer writer = reply(done);
            writer.i32(current->user).ch(current->hasAvatar ? 'Y' : 'N');
            answer(done, writer);
            friendState(member, 'Y');
        });
    });
}

void Service::onLogout(Request& request, wire::Reader& reader)
{
    if (!complete(request, reader))
        return;
    answer(request, Ok);
    logout(*request.member);
}

} // namespace yonda::service
