#include "Service.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Log.h"
#include "Timing.h"
#include "protocol/Protocol.h"

namespace yonda::service {

using namespace yonda::proto;

Service::Service(Store& store, const Catalogue& catalogue, const Limits& limits)
    : m_store(store), m_catalogue(catalogue), m_limits(limits), m_guard(limits.accountFailures, limits.addressFailures),
      m_passwords(std::make_unique<PasswordWorker>(2, limits.passwordChecksPerAddress))
{
    // The event loop's reads must never wait long; in WAL mode a writer does not hold them up.
    m_store.setBusyTimeout(250);
    // Changes hand their outcome back through the server, once one is attached.
    m_writer = std::make_unique<StoreWriter>(limits.maxQueuedWrites, limits.writeTimeoutMs,
                                             [this](std::function<void()> then) { m_server->post(std::move(then)); });
    if (!m_writer->open(store.path()))
        logError("cannot open the database %s for changes: every change will be refused", store.path().c_str());
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
    onStopped();
}

void Service::onStopped()
{
    // Nothing may be handed back to a server whose loop has ended.
    m_passwords->stop();
    m_writer->stop();
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
        {AvatarImage, &Service::onAvatarImage},
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

Service::Room* Service::placeOrRefuse(const Request& request)
{
    Room* room = placeOf(*request.member);
    if (!room)
        answer(request, Refused);
    return room;
}

Service::Room* Service::roomOrRefuse(const Request& request)
{
    Room* room = placeOf(*request.member);
    if (!room || room->number < 0) {
        answer(request, Refused);
        return nullptr;
    }
    return room;
}

Service::Room* Service::hostedRoomOrRefuse(const Request& request)
{
    Room* room = placeOf(*request.member);
    if (!room || room->number < 0 || room->host != request.member->user) {
        answer(request, NotHost);
        return nullptr;
    }
    return room;
}

Service::Room* Service::placeOrNotFound(const Request& request, int16_t lobby, int16_t number)
{
    Room* room = place(lobby, number);
    if (!room)
        answer(request, NotFound);
    return room;
}

bool Service::lobbyOrNotFound(const Request& request, int16_t lobby)
{
    if (lobby >= 0 && lobby < kLobbyCount)
        return true;
    answer(request, NotFound);
    return false;
}

std::optional<Account> Service::accountOrNotFound(const Request& request, int32_t user)
{
    auto account = m_store.accountByUser(user);
    if (!account)
        answer(request, NotFound);
    return account;
}

Service::Member* Service::inRoomOrNotFound(const Request& request, const Room& room, int32_t user)
{
    Member* member = online(user);
    if (!member || member->lobby != room.lobby || member->room != room.number) {
        answer(request, NotFound);
        return nullptr;
    }
    return member;
}

void Service::write(const Request& request, std::function<void(Store&)> change, std::function<void(Request*)> done)
{
    ConnectionId connection = request.connection;
    uint8_t command = request.command;
    uint32_t id = request.id;
    int32_t user = request.session.user;
    std::weak_ptr<bool> alive = m_alive;
    bool queued = m_writer->submit(std::move(change), [=, this, done = std::move(done)] {
        if (alive.expired())
            return;
        auto found = m_sessions.find(connection);
        if (found == m_sessions.end()) {
            done(nullptr);
            return;
        }
        // Answered even when the member logged out meanwhile: its program waits for it.
        Request again{connection, command, id, found->second, found->second.user == user ? online(user) : nullptr};
        done(&again);
    });
    if (!queued) {
        logWarning("%s: a change was refused, %zu changes wait for the database already",
                   m_server->peer(connection).c_str(), m_limits.maxQueuedWrites);
        answer(request, Refused);
    }
}

uint8_t Service::statusOf(Change change, uint8_t refused)
{
    switch (change) {
    case Change::Done: return Ok;
    case Change::Refused: return refused;
    case Change::Failed: break;
    }
    return Status::Refused;
}

bool Service::owns(const Member& member, const WornItem& item) const
{
    return member.owned.count({member.gender, item.category, item.number}) > 0;
}

std::vector<WornItem> Service::ownedOnly(const Member& member, const std::vector<WornItem>& items) const
{
    std::vector<WornItem> kept;
    for (const WornItem& item : items) {
        if (owns(member, item))
            kept.push_back(item);
    }
    return kept;
}

void Service::tellTooFast(Member& member, bool chatNotice)
{
    int64_t now = nowMs();
    if (now - member.toldTooFast < 3000)
        return;
    member.toldTooFast = now;
    logWarning("%s (user %d) types faster than allowed", member.login.c_str(), member.user);
    if (!chatNotice)
        return;
    // A notice line in the sender's own chat, from nobody.
    Block block(*placeEventLayout(EvChatNotice));
    block.i32(0, 0).text(26, 256, "You are sending messages too fast. Please wait a moment.");
    m_server->send(member.connection, placeEvent(EvChatNotice, block));
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
    logInfo("%s (user %d) logged out", member.login.c_str(), user);
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
    ConnectionId connection = request.connection;
    uint32_t address = m_server->address(connection);
    std::string peer = m_server->peer(connection);
    if (!m_guard.mayTry(login, address, nowMs())) {
        logWarning("%s: login as \"%s\" refused: too many failed logins", peer.c_str(), login.c_str());
        answer(request, TryLater);
        return;
    }
    // An ID nobody has is checked against a decoy, so it is refused as slowly as a wrong password.
    auto account = m_store.accountByLogin(login);
    std::string stored = account ? account->hash : PasswordWorker::decoy();
    bool known = account.has_value();
    uint32_t requestId = request.id;
    std::weak_ptr<bool> alive = m_alive;
    Server* server = m_server;
    bool queued = m_passwords->submit(address, [=, this] {
        bool verified = PasswordWorker::verify(stored, password) && known;
        server->post([=, this] {
            if (!alive.expired())
                finishLogin(connection, requestId, login, verified);
        });
    });
    if (!queued) {
        logWarning("%s: login as \"%s\" refused: too many logins from that address at once", peer.c_str(),
                   login.c_str());
        answer(request, TryLater);
        return;
    }
    request.session.loginRunning = true;
}

void Service::finishLogin(ConnectionId connection, uint32_t requestId, const std::string& login, bool verified)
{
    auto found = m_sessions.find(connection);
    if (found == m_sessions.end())
        return; // the connection went away meanwhile
    uint32_t address = m_server->address(connection);
    auto current = verified ? m_store.accountByLogin(login) : std::nullopt;
    if (current) {
        m_guard.succeeded(login, address, nowMs());
        admit(found->second, connection, requestId, *current);
        return;
    }
    int delay = m_guard.failed(login, address, nowMs());
    logWarning("%s: login as \"%s\" refused: unknown ID or wrong password", m_server->peer(connection).c_str(),
               login.c_str());
    // Held back as the guard says; the connection may not try again before it is answered.
    std::weak_ptr<bool> alive = m_alive;
    m_server->after(delay, [=, this] {
        auto session = alive.expired() ? m_sessions.end() : m_sessions.find(connection);
        if (session == m_sessions.end())
            return;
        session->second.loginRunning = false;
        answer(Request{connection, Login, requestId, session->second, nullptr}, Refused);
    });
}

void Service::admit(Session& session, ConnectionId connection, uint32_t requestId, const Account& account)
{
    session.loginRunning = false;
    // A second login replaces the first: a member whose program died must not wait for the old
    // connection to time out.
    if (Member* previous = online(account.user)) {
        ConnectionId old = previous->connection;
        logout(*previous);
        m_server->close(old, "replaced by a new login of the same member");
    }
    int64_t now = nowMs();
    Member& member = m_members[account.user];
    member.user = account.user;
    member.connection = connection;
    member.login = account.login;
    member.nickname = account.nickname;
    member.area = account.area;
    member.gender = account.gender;
    member.age = account.age;
    member.face = account.face;
    member.letters = {account.gender, account.face, '0', '0', '0', '0'};
    member.chat = TokenBucket(m_limits.chatBurst, m_limits.chatPerSecond, now);
    member.messages = TokenBucket(m_limits.messageBurst, m_limits.messagesPerSecond, now);
    for (const OwnedItem& item : m_store.items(account.user))
        member.owned.insert({item.gender, item.category, item.number});
    session.user = account.user;
    m_server->setAuthenticated(connection);
    logInfo("%s: %s (user %d) logged in", m_server->peer(connection).c_str(), account.login.c_str(), account.user);
    Request done{connection, Login, requestId, session, &member};
    wire::Writer writer = reply(done);
    writer.i32(account.user).ch(account.hasAvatar ? 'Y' : 'N');
    answer(done, writer);
    friendState(member, 'Y');
}

void Service::onLogout(Request& request, wire::Reader& reader)
{
    if (!complete(request, reader))
        return;
    answer(request, Ok);
    logout(*request.member);
}

} // namespace yonda::service
