#include "Bots.h"
#include "SceneMap.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "link/Link.h"
#include "protocol/Layouts.h"
#include "protocol/Protocol.h"

namespace yonda::bots {

namespace {

using Clock = std::chrono::steady_clock;
using namespace yonda::proto;

// Each thread rolls its own dice.
std::mt19937& dice()
{
    thread_local std::mt19937 generator(std::random_device{}());
    return generator;
}

uint32_t roll(uint32_t sides)
{
    return sides ? static_cast<uint32_t>(dice()() % sides) : 0;
}

int64_t nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

const char* const kLines[] = {"안녕하세요!",        "hello everyone", "누구 게임할 사람?", "nice room",   "ㅋㅋㅋ",
                              "where is the shop?", "반가워요",       "good evening",      "같이 놀아요", "brb"};

// Send times of each member's last move and chat, read by the receivers to measure delivery.
struct Clocks {
    std::map<int32_t, size_t> index; // user -> member index, filled before traffic starts
    std::vector<std::atomic<int64_t>> lastMove, lastChat;
    explicit Clocks(size_t count) : lastMove(count), lastChat(count) {}
};

struct Latencies {
    std::mutex lock;
    std::vector<uint32_t> micros;
    void add(int64_t us)
    {
        std::lock_guard guard(lock);
        if (micros.size() < 4'000'000)
            micros.push_back(static_cast<uint32_t>(std::max<int64_t>(0, us)));
    }
};

struct Member {
    int number = 0;
    std::string login;
    comm::Link link;
    int32_t user = 0;
    int16_t lobby = -1, room = -1;
    std::atomic<bool> lost{false};
    std::atomic<float> x{0}, z{0};
    int64_t nextMove = 0, nextChat = 0;
    // Walking and sitting, touched by one job at a time (the next is queued only after it ran).
    const SceneMap* scene = nullptr; // none: the member stands still
    std::atomic<int64_t> arriveAt{0};
    Point target;
    int seat = -1, seatedTurns = 0;
};

// The seats the members hold, by place and seat index.
class SeatBook {
public:
    bool take(int16_t lobby, int16_t room, int seat)
    {
        std::lock_guard guard(m_lock);
        return m_taken[{lobby, room}].insert(seat).second;
    }
    void give(int16_t lobby, int16_t room, int seat)
    {
        std::lock_guard guard(m_lock);
        m_taken[{lobby, room}].erase(seat);
    }

private:
    std::mutex m_lock;
    std::map<std::pair<int16_t, int16_t>, std::set<int>> m_taken;
};

// Work for the driver threads: requests must never be sent from a receive thread, which has to
// stay free to read the answers.
class WorkQueue {
public:
    void push(std::function<void()> job)
    {
        {
            std::lock_guard guard(m_lock);
            m_jobs.push_back(std::move(job));
        }
        m_ready.notify_one();
    }
    bool pop(std::function<void()>& job, int waitMs)
    {
        std::unique_lock guard(m_lock);
        if (!m_ready.wait_for(guard, std::chrono::milliseconds(waitMs), [this] { return !m_jobs.empty(); }))
            return false;
        job = std::move(m_jobs.front());
        m_jobs.pop_front();
        return true;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_ready;
    std::deque<std::function<void()>> m_jobs;
};

struct Counts {
    std::atomic<uint64_t> requests{0}, failures{0}, deliveries{0};
    std::atomic<uint64_t> byStatus[256] = {};
};

uint8_t call(comm::Link& link, comm::Link::Request& request, Counts& counts)
{
    ++counts.requests;
    auto reply = link.call(request);
    uint8_t status = reply ? reply->status : 0xFF;
    if (status != Ok) {
        ++counts.failures;
        ++counts.byStatus[status];
    }
    return status;
}

// Why a login was refused, in words a person running the tool understands.
std::string loginRefusal(const std::optional<comm::Reply>& reply)
{
    if (!reply)
        return "no answer to the login";
    switch (reply->status) {
    case Refused: return "wrong password or unknown ID";
    case TryLater: return "refused for now (too many failed logins, or too many at once from this address)";
    default: return "login refused with status " + std::to_string(reply->status);
    }
}

} // namespace

Report run(const Options& options, const std::atomic<bool>& stop)
{
    Report report;
    std::vector<std::unique_ptr<Member>> members;
    Clocks clocks(static_cast<size_t>(std::max(0, options.members)));
    Latencies latencies;
    WorkQueue work;
    Counts counts;
    auto notLoggedIn = [&](const Member& member, const std::string& why) {
        if (options.verbose)
            std::fprintf(stderr, "yonda-bots: %s: %s\n", member.login.c_str(), why.c_str());
        if (report.notLoggedIn.empty())
            report.firstNotLoggedIn = member.login;
        ++report.notLoggedIn[why];
    };

    for (int i = 0; i < options.members; ++i) {
        auto member = std::make_unique<Member>();
        member->number = options.first + i;
        char login[32];
        std::snprintf(login, sizeof login, "%s%04d", options.prefix.c_str(), member->number);
        member->login = login;
        members.push_back(std::move(member));
    }

    // Log in and place everyone before any traffic, so the receivers know every sender.
    for (auto& memberPtr : members) {
        Member& member = *memberPtr;
        Member* self = &member;
        member.link.setLossSink([self] { self->lost = true; });
        member.link.setEventSink([&, self](DecodedEvent&& event) {
            if (event.message || event.block.size() < 4)
                return;
            Block block(event.block.data(), event.block.size());
            int32_t sender = event.type == EvEntered ? block.getI32(8) : block.getI32(0);
            if (event.type == EvEntered && sender != self->user && self->user) {
                // Answer a newcomer with one's own avatar, as the client does.
                work.push([&, self, sender] {
                    auto request = self->link.begin(SendMyAvatar);
                    float x = self->x, z = self->z;
                    request.writer.i16(self->lobby).i32(sender).ch('M').u8(0).f32(x).f32(z);
                    request.writer.f32(x).f32(0).f32(z).ch('0').ch('0').ch('0').u8(0);
                    call(self->link, request, counts);
                });
                return;
            }
            if (event.type != EvMoveStart && event.type != EvChat)
                return;
            auto found = clocks.index.find(sender);
            if (found == clocks.index.end() || sender == self->user)
                return;
            auto& sent = event.type == EvChat ? clocks.lastChat[found->second] : clocks.lastMove[found->second];
            int64_t at = sent.load();
            if (at > 0) {
                latencies.add(nowUs() - at);
                ++counts.deliveries;
            }
        });
        if (!member.link.connect(options.host, options.port)) {
            notLoggedIn(member, "cannot connect to " + options.host + ":" + std::to_string(options.port) + ": " +
                                    member.link.failure());
            continue;
        }
        auto login = member.link.begin(Login);
        login.writer.text(member.login, kIdWidth).text(options.password, kLoginPasswordWidth);
        auto reply = member.link.call(login);
        if (!reply || !reply->ok()) {
            notLoggedIn(member, loginRefusal(reply));
            member.link.disconnect();
            continue;
        }
        member.user = reply->fields().i32();
        clocks.index[member.user] = static_cast<size_t>(&memberPtr - &members[0]);
        ++report.loggedIn;
    }

    // The scenes the clients show, read once; a member whose scene cannot be read stands still.
    std::map<std::string, std::unique_ptr<SceneMap>> scenes;
    auto sceneFor = [&](int16_t lobby, int16_t room) -> const SceneMap* {
        const std::string file = sceneOfPlace(lobby, room);
        if (file.empty() || options.world.empty())
            return nullptr;
        auto found = scenes.find(file);
        if (found == scenes.end()) {
            auto map = std::make_unique<SceneMap>();
            std::string why;
            if (!map->load(options.world, file, &why)) {
                report.stillScenes.push_back(file + ": " + why);
                map.reset();
            }
            found = scenes.emplace(file, std::move(map)).first;
        }
        return found->second.get();
    };
    SeatBook seats;
    // Where a member stands: the client's own start places, told to everyone already there (they
    // placed the newcomer at a start of their choosing).
    auto placeOnScene = [&](Member& member) {
        member.scene = sceneFor(member.lobby, member.room);
        if (!member.scene)
            return;
        auto start = member.scene->pickStart(dice());
        if (!start) {
            member.scene = nullptr;
            return;
        }
        member.x = start->x;
        member.z = start->z;
        auto place = member.link.begin(MoveEnd);
        place.writer.i16(member.lobby).i32(0).f32(start->x).f32(0).f32(start->z).f32(0).f32(0).f32(1);
        call(member.link, place, counts);
    };
    std::atomic<uint64_t> walks{0}, sits{0};

    std::map<int16_t, int16_t> openRoom; // lobby -> the room its current group gathers in
    std::map<int16_t, int> joinedLobby;
    for (auto& memberPtr : members) {
        Member& member = *memberPtr;
        if (!member.user)
            continue;
        int16_t lobby = static_cast<int16_t>(member.number % std::max(1, options.lobbies));
        int slot = joinedLobby[lobby]++;
        int16_t target = -1;
        if (options.roomEvery > 0 && slot % options.roomEvery == 0) {
            Block record(kRoomOpenLayout);
            char name[48];
            std::snprintf(name, sizeof name, "%s's room", member.login.c_str());
            // Texts travel in the service's code page (949): "모두 환영".
            record.i16(0, lobby)
                .text(2, 50, name)
                .text(52, 30, "\xB8\xF0\xB5\xCE \xC8\xAF\xBF\xB5")
                .u8(82, static_cast<uint8_t>(options.roomEvery));
            auto open = member.link.begin(Command::RoomOpen);
            open.writer.bytes(record.bytes());
            auto reply = member.link.call(open);
            if (reply && reply->ok()) {
                member.lobby = lobby;
                member.room = reply->fields().i16();
                openRoom[lobby] = member.room;
            }
        } else if (options.roomEvery > 0 && openRoom.count(lobby)) {
            target = openRoom[lobby];
        }
        // The group's room, or the lobby's common area when there is none or it is full.
        for (int16_t room : {target, int16_t(-1)}) {
            if (member.lobby >= 0)
                break;
            auto join = member.link.begin(RoomJoin);
            join.writer.i16(lobby).i16(room).text("", kRoomPasswordWidth);
            join.writer.ch('M').ch('0').ch('0').ch('0').ch('0').ch('0').u8(0).u8(0);
            if (call(member.link, join, counts) == Ok) {
                member.lobby = lobby;
                member.room = room;
            }
        }
        if (member.lobby >= 0) {
            ++report.placed;
            auto where = member.link.begin(SendUserLocation);
            where.writer.i16(member.lobby).i16(member.room);
            call(member.link, where, counts);
            placeOnScene(member);
        }
    }

    // One step of a member: stand up after a while, walk to a free seat now and then, else walk
    // a little way over walkable ground in a straight line, as a click on the ground would.
    auto step = [&](Member& member, size_t index) {
        const SceneMap& scene = *member.scene;
        int64_t arriveAt = 0;
        if (member.seat >= 0) {
            if (--member.seatedTurns <= 0) {
                auto request = member.link.begin(MoveStand);
                request.writer.i16(member.lobby).i32(1);
                call(member.link, request, counts);
                seats.give(member.lobby, member.room, member.seat);
                member.seat = -1;
            }
            member.arriveAt = 0;
            return;
        }
        const Point from{member.x, member.z};
        if (!scene.seats().empty() && roll(4) == 0) {
            const int seat = static_cast<int>(roll(static_cast<uint32_t>(scene.seats().size())));
            const Seat& chosen = scene.seats()[static_cast<size_t>(seat)];
            if (scene.clearWalk(from, chosen.approach) && seats.take(member.lobby, member.room, seat)) {
                auto request = member.link.begin(MoveSit);
                request.writer.i16(member.lobby);
                for (float value : chosen.matrix)
                    request.writer.f32(value);
                clocks.lastMove[index] = nowUs();
                call(member.link, request, counts);
                ++sits;
                member.seat = seat;
                member.seatedTurns = 2 + static_cast<int>(roll(3));
                member.x = chosen.approach.x;
                member.z = chosen.approach.z;
                member.arriveAt = 0;
                return;
            }
        }
        if (auto to = scene.pickTarget(from, 20.0f, dice())) {
            auto request = member.link.begin(MoveStart);
            request.writer.i16(member.lobby).i32(0).f32(from.x).f32(0).f32(from.z).f32(to->x).f32(0).f32(to->z);
            clocks.lastMove[index] = nowUs();
            call(member.link, request, counts);
            ++walks;
            member.x = to->x;
            member.z = to->z;
            const float seconds = std::hypot(to->x - from.x, to->z - from.z) / kWalkSpeed;
            arriveAt = nowUs() + static_cast<int64_t>(seconds * 1e6) + 1;
        }
        member.arriveAt = arriveAt;
    };

    // Traffic: each member on its own schedule, spread so the load is even.
    int64_t start = nowUs();
    int64_t moveUs = static_cast<int64_t>(options.moveSeconds * 1e6);
    int64_t chatUs = static_cast<int64_t>(options.chatSeconds * 1e6);
    for (auto& member : members) {
        member->nextMove = start + static_cast<int64_t>(roll(static_cast<uint32_t>(std::max<int64_t>(moveUs, 0))));
        member->nextChat = start + static_cast<int64_t>(roll(static_cast<uint32_t>(std::max<int64_t>(chatUs, 0))));
    }
    std::atomic<bool> driving{true};
    std::vector<std::thread> drivers;
    for (int i = 0; i < std::max(1, options.drivers); ++i) {
        drivers.emplace_back([&] {
            std::function<void()> job;
            while (driving) {
                if (work.pop(job, 50))
                    job();
            }
        });
    }
    int64_t end = options.durationSeconds > 0 ? start + static_cast<int64_t>(options.durationSeconds * 1e6) : INT64_MAX;
    while (!stop && nowUs() < end) {
        int64_t now = nowUs();
        int64_t next = now + 20000;
        for (size_t i = 0; i < members.size(); ++i) {
            Member* member = members[i].get();
            if (!member->user || member->lobby < 0 || member->lost)
                continue;
            const int64_t arrival = member->arriveAt;
            if (arrival > 0 && now >= arrival) {
                // The walk has ended where the clients' replay ends it: tell them where it stands.
                member->arriveAt = -1; // no next step before this is sent
                work.push([&, member] {
                    auto request = member->link.begin(MoveEnd);
                    float x = member->x, z = member->z;
                    request.writer.i16(member->lobby).i32(0).f32(x).f32(0).f32(z).f32(0).f32(0).f32(1);
                    call(member->link, request, counts);
                    member->arriveAt = 0;
                });
            }
            if (moveUs > 0 && now >= member->nextMove) {
                member->nextMove += moveUs;
                if (member->scene && member->arriveAt == 0) {
                    member->arriveAt = -1; // busy until the job has chosen
                    work.push([&, member, i] { step(*member, i); });
                }
            }
            if (chatUs > 0 && now >= member->nextChat) {
                member->nextChat += chatUs;
                work.push([&, member, i] {
                    auto request = member->link.begin(Chat);
                    uint8_t kind = roll(4) == 0 ? static_cast<uint8_t>(1 + roll(20)) : 0;
                    request.writer.i16(member->lobby).u8(kind).u8(static_cast<uint8_t>(roll(15)));
                    request.writer.text(kLines[roll(sizeof kLines / sizeof kLines[0])], kChatWidth);
                    clocks.lastChat[i] = nowUs();
                    call(member->link, request, counts);
                });
            }
            next = std::min({next, member->nextMove, member->nextChat});
        }
        int64_t wait = std::clamp<int64_t>(next - nowUs(), 1000, 20000);
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
    }
    driving = false;
    for (auto& driver : drivers)
        driver.join();
    for (auto& member : members) {
        if (member->lost)
            ++report.lost;
        member->link.disconnect();
    }

    report.walks = walks;
    report.sits = sits;
    report.requests = counts.requests;
    report.failures = counts.failures;
    report.deliveries = counts.deliveries;
    for (int status = 0; status < 256; ++status) {
        if (uint64_t count = counts.byStatus[status])
            report.refusedBy[static_cast<uint8_t>(status)] = count;
    }
    auto& micros = latencies.micros;
    if (!micros.empty()) {
        std::sort(micros.begin(), micros.end());
        auto at = [&](double q) {
            return micros[std::min(micros.size() - 1, static_cast<size_t>(q * static_cast<double>(micros.size())))] /
                   1000.0;
        };
        report.p50Ms = at(0.50);
        report.p99Ms = at(0.99);
        report.maxMs = micros.back() / 1000.0;
    }
    return report;
}

} // namespace yonda::bots
