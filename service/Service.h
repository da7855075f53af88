// The community service's logic: sessions and presence, lobbies and rooms, and every query of
// the protocol with its answer and the events it causes (who receives them, the sender or not).
// Runs on the event loop's thread; password checks and changes to the database run on threads of
// their own and hand their outcome back to it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "Catalogue.h"
#include "Limits.h"
#include "LoginGuard.h"
#include "PasswordWorker.h"
#include "Server.h"
#include "Store.h"
#include "StoreWriter.h"
#include "Timing.h"
#include "protocol/Layouts.h"
#include "protocol/Wire.h"

namespace yonda::service {

class Service : public Server::Handler {
public:
    // `store` is read on the event loop; changes go through a second connection to its file.
    Service(Store& store, const Catalogue& catalogue, const Limits& limits = {});
    ~Service() override;
    void attach(Server& server) { m_server = &server; }

    void onFrame(ConnectionId id, const std::vector<uint8_t>& frame) override;
    void onClosed(ConnectionId id) override;
    void onStopped() override;

    size_t onlineCount() const { return m_members.size(); }

private:
    struct Member {
        int32_t user = 0;
        ConnectionId connection = 0;
        std::string login, nickname, area;
        char gender = 'M';
        uint8_t age = 0;
        char face = '0';
        int16_t lobby = -1, room = -1;                 // the place the member stands in
        int16_t reportedLobby = -1, reportedRoom = -1; // what the member announced
        bool kickedOut = false;                        // its next exit is answered quietly
        std::array<char, 6> letters{'M', '0', '0', '0', '0', '0'};
        uint8_t state = 0;
        float position[3] = {0, 0, 0};
        std::vector<proto::WornItem> worn;
        std::set<std::tuple<char, int, int>> owned; // gender, category, number of what it owns
        TokenBucket chat, messages;
        int64_t toldTooFast = 0; // when it was last told that its lines go too fast
    };
    struct Room {
        int16_t lobby = 0, number = -1;
        std::string name, subject, password, theme;
        uint8_t limit = 0;
        int32_t host = 0;
        std::vector<int32_t> members; // in the order they came
        int themes = 0;               // subjects set so far: each brings the next background
    };
    struct Session {
        int32_t user = 0; // 0 until logged in
        bool greeted = false;
        bool loginRunning = false;
        std::string uploadFor;
        std::vector<uint8_t> upload;
        uint32_t uploadTotal = 0;
    };
    struct Request {
        ConnectionId connection;
        uint8_t command;
        uint32_t id;
        Session& session;
        Member* member; // null before login
    };

    using Handler = void (Service::*)(Request&, wire::Reader&);
    static const std::map<uint8_t, Handler>& handlers();

    // Closes the connection (with a log line) unless the request was read exactly to its end.
    bool complete(const Request& request, const wire::Reader& reader);

    // Answers and events.
    void answer(const Request& request, uint8_t status);
    void answer(const Request& request, wire::Writer& fields);
    wire::Writer reply(const Request& request, uint8_t status = 0) const;
    void sendTo(int32_t user, const std::vector<uint8_t>& frame);
    void toPlace(const Room& place, const std::vector<uint8_t>& frame, int32_t except = 0);
    static std::vector<uint8_t> placeEvent(uint8_t type, const proto::Block& block);
    static std::vector<uint8_t> messageEvent(uint8_t type, const proto::Block& block);
    std::vector<uint8_t> enteredEvent(const Member& member, const Room& place) const;

    // Places.
    Room* place(int16_t lobby, int16_t room);
    Room* placeOf(const Member& member) { return place(member.lobby, member.room); }
    void leavePlace(Member& member, bool announce);
    void enter(Member& member, Room& place);
    static int16_t thirdValue(const Room& place) { return place.number < 0 ? -1 : place.lobby; }
    proto::Block roomRecord(const Room& place, size_t size) const;
    void logout(Member& member);
    void friendState(const Member& member, char state);
    Member* online(int32_t user);

    // The prologues the handlers share: each finds what the request needs, or answers the
    // refusal itself and gives nothing.
    Room* placeOrRefuse(const Request& request);      // where the member stands: Refused
    Room* roomOrRefuse(const Request& request);       // a room, not a lobby's area: Refused
    Room* hostedRoomOrRefuse(const Request& request); // the room it hosts: NotHost
    Room* placeOrNotFound(const Request& request, int16_t lobby, int16_t room);
    bool lobbyOrNotFound(const Request& request, int16_t lobby);
    std::optional<Account> accountOrNotFound(const Request& request, int32_t user);
    Member* inRoomOrNotFound(const Request& request, const Room& room, int32_t user);

    // Runs `change` on the writer's thread; `done` runs on the loop afterwards, with the request
    // to answer while its connection is open (else null: nobody waits for the answer any more;
    // its member, if still needed, is found by user number). A change that cannot be queued is
    // refused at once.
    void write(const Request& request, std::function<void(Store&)> change, std::function<void(Request*)> done);
    static uint8_t statusOf(Change change, uint8_t refused);

    // Logins: the check on a worker, then the answer (a refusal held back as the guard says).
    void finishLogin(ConnectionId connection, uint32_t requestId, const std::string& login, bool verified);
    void admit(Session& session, ConnectionId connection, uint32_t requestId, const Account& account);

    // Items announced as worn are relayed only when the member owns them.
    bool owns(const Member& member, const proto::WornItem& item) const;
    std::vector<proto::WornItem> ownedOnly(const Member& member, const std::vector<proto::WornItem>& items) const;
    // A member typing faster than a person does: now and then a log line and, for chat, a notice
    // line in its own chat saying so.
    void tellTooFast(Member& member, bool chatNotice);

    // Handlers, one per query.
    void onHello(Request&, wire::Reader&);
    void onLogin(Request&, wire::Reader&);
    void onLogout(Request&, wire::Reader&);
    void onUserInfo(Request&, wire::Reader&);
    void onAvatarInfo(Request&, wire::Reader&);
    void onUserLocation(Request&, wire::Reader&);
    void onSendUserLocation(Request&, wire::Reader&);
    void onSendMyAvatar(Request&, wire::Reader&);
    void onFaceSet(Request&, wire::Reader&);
    void onAvatarCreate(Request&, wire::Reader&);
    void onSetOwnNickname(Request&, wire::Reader&);
    void onAnnounceNickname(Request&, wire::Reader&);
    void onSetIntro(Request&, wire::Reader&);
    void onUploadImage(Request&, wire::Reader&);
    void onAvatarImage(Request&, wire::Reader&);
    void onSearchUser(Request&, wire::Reader&);
    void onPoints(Request&, wire::Reader&);
    void onBuyItem(Request&, wire::Reader&);
    void onMyItems(Request&, wire::Reader&);
    void onWearItem(Request&, wire::Reader&);
    void onAnnounceItemChange(Request&, wire::Reader&);
    void onRoomJoin(Request&, wire::Reader&);
    void onRoomExit(Request&, wire::Reader&);
    void onRoomOpen(Request&, wire::Reader&);
    void onRoomInfo(Request&, wire::Reader&);
    void onSetRoomHost(Request&, wire::Reader&);
    void onKickUser(Request&, wire::Reader&);
    void onModifyRoom(Request&, wire::Reader&);
    void onLobbyTotal(Request&, wire::Reader&);
    void onLobbyRooms(Request&, wire::Reader&);
    void onSearchRoom(Request&, wire::Reader&);
    void onRoomUsers(Request&, wire::Reader&);
    void onListFriends(Request&, wire::Reader&);
    void onChat(Request&, wire::Reader&);
    void onInstantMessage(Request&, wire::Reader&);
    void onAddFriend(Request&, wire::Reader&);
    void onDeleteFriend(Request&, wire::Reader&);
    void onMove(Request&, wire::Reader&);
    void onSit(Request&, wire::Reader&);
    void onStand(Request&, wire::Reader&);
    void onGame(Request&, wire::Reader&);
    void onRoomTheme(Request&, wire::Reader&);
    void onRoomThemeTo(Request&, wire::Reader&);

    Store& m_store;
    const Catalogue& m_catalogue;
    Limits m_limits;
    Server* m_server = nullptr;
    LoginGuard m_guard;
    std::unordered_map<ConnectionId, Session> m_sessions;
    std::map<int32_t, Member> m_members; // online members by user number, ascending
    struct Lobby {
        Room area;
        std::map<int16_t, Room> rooms;
        int total = 0;
    };
    std::array<Lobby, 5> m_lobbies;
    // Declared last: their threads finish before anything they call back into is destroyed.
    std::unique_ptr<StoreWriter> m_writer;
    std::unique_ptr<PasswordWorker> m_passwords;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace yonda::service
