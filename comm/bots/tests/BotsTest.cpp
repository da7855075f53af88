// The simulated members against the real service, watched by members of their own in each lobby:
// what they send is what a client replays on the generated world. Every walk starts where the
// member stands and crosses only walkable cells of the scene's ground map, every seat is one of
// the scene's seats and held by one member at a time, and every place told is walkable ground.
#include "Bots.h"
#include "SceneMap.h"

#include "ServiceHarness.h"

#include <KRASceneFormat.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

using namespace yonda;

namespace {

std::string WorldFolder()
{
    const char* binary = std::getenv("YONDA_BINARY_DIR");
    return binary ? std::string(binary) + "/yonda/Data/WORLD" : std::string();
}

// The ground map's cells as the file holds them, read here on their own.
struct Ground {
    uint32_t cell = 0, width = 0, height = 0;
    float originX = 0, originZ = 0;
    std::vector<uint8_t> cells;

    explicit Ground(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (bytes.size() < 20)
            return;
        std::memcpy(&cell, &bytes[0], 4);
        std::memcpy(&width, &bytes[4], 4);
        std::memcpy(&height, &bytes[8], 4);
        std::memcpy(&originX, &bytes[12], 4);
        std::memcpy(&originZ, &bytes[16], 4);
        cells.assign(bytes.begin() + 20, bytes.end());
    }
    bool Free(float x, float z) const
    {
        const double ix = std::floor((x - originX) / cell), iz = std::floor((z - originZ) / cell);
        if (!(ix >= 0 && iz >= 0 && ix < width && iz < height))
            return false;
        return (cells[static_cast<size_t>(ix + iz * width)] & 1) == 0;
    }
    bool FreeWay(float x0, float z0, float x1, float z1) const
    {
        const float length = std::hypot(x1 - x0, z1 - z0);
        const int steps = static_cast<int>(std::ceil(length / 0.25f));
        for (int i = 0; i <= steps; ++i) {
            const float t = steps ? float(i) / float(steps) : 0.0f;
            if (!Free(x0 + (x1 - x0) * t, z0 + (z1 - z0) * t))
                return false;
        }
        return true;
    }
};

std::vector<std::array<float, 16>> SeatsOf(const std::string& path)
{
    KRA_SCENE_FILE_DATA scene;
    EXPECT_EQ(KRALoadSceneFile(path, scene), 0) << path;
    std::vector<std::array<float, 16>> seats;
    for (const KRA_SCENE_OBJECT_RECORD& record : scene.vObjects)
        for (const KRA_EVENT_BOX& box : record.vBoxes)
            if (record.head.bEventFlag && box.lType == KRA_EVENT_RECORD_BOX && box.lAction == 0) {
                std::array<float, 16> matrix;
                std::copy(std::begin(box.afMatrix), std::end(box.afMatrix), matrix.begin());
                seats.push_back(matrix);
            }
    return seats;
}

float F32(const std::vector<uint8_t>& block, size_t offset)
{
    float value = 0;
    std::memcpy(&value, block.data() + offset, 4);
    return value;
}

int32_t I32(const std::vector<uint8_t>& block, size_t offset)
{
    int32_t value = 0;
    std::memcpy(&value, block.data() + offset, 4);
    return value;
}

// A member standing in a lobby and keeping what the others there send.
struct Watcher {
    std::mutex lock;
    std::vector<proto::DecodedEvent> events;
    // Last, so it goes first: its receiving thread ends before the events it fills are gone.
    comm::Link link;

    Watcher(uint16_t port, const std::string& login, int16_t lobby)
    {
        link.setEventSink([this](proto::DecodedEvent&& event) {
            std::lock_guard guard(lock);
            events.push_back(std::move(event));
        });
        EXPECT_TRUE(link.connect("127.0.0.1", port));
        auto request = link.begin(proto::Login);
        request.writer.text(login, proto::kIdWidth).text("pw", proto::kLoginPasswordWidth);
        auto reply = link.call(request);
        EXPECT_TRUE(reply && reply->ok());
        auto join = link.begin(proto::RoomJoin);
        join.writer.i16(lobby).i16(-1).text("", proto::kRoomPasswordWidth);
        join.writer.ch('M').ch('0').ch('0').ch('0').ch('0').ch('0').u8(0).u8(0);
        reply = link.call(join);
        EXPECT_TRUE(reply && reply->ok());
    }
};

} // namespace

TEST(SceneMap, ReadsTheGroundAndTheSeatsTheClientLoads)
{
    bots::SceneMap square;
    std::string why;
    ASSERT_TRUE(square.load(WorldFolder(), "LB_MA.KRS", &why)) << why;
    const Ground ground(WorldFolder() + "/LB_MA.KRP");
    ASSERT_FALSE(ground.cells.empty());
    // Walkable exactly where the file says a cell is free; never outside the grid.
    int free = 0, blocked = 0;
    for (float x = -200; x <= 200; x += 3.7f) {
        for (float z = -200; z <= 200; z += 3.3f) {
            EXPECT_EQ(square.walkable({x, z}), ground.Free(x, z)) << x << "," << z;
            (ground.Free(x, z) ? free : blocked) += 1;
        }
    }
    EXPECT_GT(free, 100);
    EXPECT_GT(blocked, 100);
    EXPECT_FALSE(square.walkable({NAN, 0}));
    EXPECT_FALSE(square.walkable({1e30f, 0}));
    // The start places a newcomer appears at are walkable, and so is every target picked.
    std::mt19937 dice(3);
    ASSERT_FALSE(square.starts().empty());
    auto start = square.pickStart(dice);
    ASSERT_TRUE(start);
    for (int i = 0; i < 50; ++i) {
        auto to = square.pickTarget(*start, 20.0f, dice);
        ASSERT_TRUE(to);
        EXPECT_TRUE(ground.FreeWay(start->x, start->z, to->x, to->z));
        start = to;
    }
    // The seats are the scene's seats, each with a walkable place in front of it.
    const auto seats = SeatsOf(WorldFolder() + "/RM_03.KRS");
    bots::SceneMap room;
    ASSERT_TRUE(room.load(WorldFolder(), "RM_03.KRS", &why)) << why;
    ASSERT_EQ(room.seats().size(), seats.size());
    ASSERT_FALSE(seats.empty());
    for (size_t i = 0; i < seats.size(); ++i) {
        EXPECT_EQ(room.seats()[i].matrix, seats[i]);
        EXPECT_TRUE(room.walkable(room.seats()[i].approach)) << "seat " << i;
    }
    // A scene that is not there is said so; the game lobby has no scene to walk on.
    bots::SceneMap missing;
    EXPECT_FALSE(missing.load(WorldFolder(), "NONE.KRS", &why));
    EXPECT_NE(why.find("NONE.KRS"), std::string::npos);
    EXPECT_EQ(bots::sceneOfPlace(4, -1), "");
    EXPECT_EQ(bots::sceneOfPlace(2, 7), "RM_ILD02.KRS");
}

TEST(Bots, WalkAndSitOnlyWhereTheClientCanFollow)
{
    yonda::testing::ServiceHarness service("bots-walks");
    for (int i = 1; i <= 12; ++i) {
        char login[16];
        std::snprintf(login, sizeof login, "bot%04d", i);
        service.addMember(login, login);
    }
    const char* watchers[4] = {"w0", "w1", "w2", "w3"};
    for (const char* login : watchers)
        service.addMember(login, login);
    std::vector<std::unique_ptr<Watcher>> watching;
    for (int16_t lobby = 0; lobby < 4; ++lobby)
        watching.push_back(std::make_unique<Watcher>(service.port(), watchers[lobby], lobby));

    bots::Options options;
    options.port = service.port();
    options.members = 12;
    options.password = "pw";
    options.lobbies = 4;
    options.moveSeconds = 0.1;
    options.chatSeconds = 0;
    options.durationSeconds = 4;
    options.world = WorldFolder();
    std::atomic<bool> stop{false};
    const bots::Report report = bots::run(options, stop);
    EXPECT_EQ(report.placed, 12);
    EXPECT_TRUE(report.stillScenes.empty());
    EXPECT_GT(report.walks, 40u);
    EXPECT_GT(report.sits, 0u);

    size_t walks = 0, sits = 0, places = 0;
    for (int lobby = 0; lobby < 4; ++lobby) {
        const std::string scene = bots::sceneOfPlace(lobby, -1);
        const Ground ground(WorldFolder() + "/" + scene.substr(0, scene.size() - 3) + "KRP");
        const auto seats = SeatsOf(WorldFolder() + "/" + scene);
        std::map<int32_t, std::pair<float, float>> where; // as the watcher's client would have them
        std::map<int32_t, size_t> seatOf;
        std::lock_guard guard(watching[lobby]->lock);
        for (const proto::DecodedEvent& event : watching[lobby]->events) {
            const auto& b = event.block;
            if (event.message || b.size() < 4)
                continue;
            const int32_t user = I32(b, 0);
            SCOPED_TRACE(scene + " user " + std::to_string(user) + " event " + std::to_string(event.type));
            if (event.type == proto::EvPlace) {
                ++places;
                EXPECT_TRUE(ground.Free(F32(b, 8), F32(b, 16)));
                where[user] = {F32(b, 8), F32(b, 16)};
            } else if (event.type == proto::EvMoveStart) {
                ++walks;
                ASSERT_TRUE(where.count(user)) << "a walk before the member was placed";
                EXPECT_FLOAT_EQ(F32(b, 8), where[user].first);
                EXPECT_FLOAT_EQ(F32(b, 16), where[user].second);
                EXPECT_TRUE(ground.FreeWay(F32(b, 8), F32(b, 16), F32(b, 20), F32(b, 28)));
                EXPECT_FALSE(seatOf.count(user)) << "walked off while seated";
                where[user] = {F32(b, 20), F32(b, 28)};
            } else if (event.type == proto::EvSit) {
                ++sits;
                std::array<float, 16> matrix;
                std::memcpy(matrix.data(), b.data() + 4, 64);
                const auto seat = std::find(seats.begin(), seats.end(), matrix);
                ASSERT_NE(seat, seats.end()) << "a seat the scene does not have";
                const size_t index = static_cast<size_t>(seat - seats.begin());
                for (const auto& [other, held] : seatOf)
                    EXPECT_NE(held, index) << "two members on one seat";
                seatOf[user] = index;
                // The client walks the avatar to 15 units in front of the seat.
                const float ax = 15 * matrix[8] + matrix[12], az = 15 * matrix[10] + matrix[14];
                ASSERT_TRUE(where.count(user));
                EXPECT_TRUE(ground.FreeWay(where[user].first, where[user].second, ax, az));
                where[user] = {ax, az};
            } else if (event.type == proto::EvStand) {
                EXPECT_EQ(seatOf.erase(user), 1u) << "stood up without sitting";
            }
        }
    }
    EXPECT_GT(walks, 40u);
    EXPECT_GT(sits, 0u);
    EXPECT_GE(places, 12u);
}
