// The real program makes rooms through its dialogs and plays the party game against the real
// service; the second member is a client of the service's own protocol on the same loopback
// address, which checks what the service holds and hears what the first member's program sends.
#include "LobbySteps.h"
#include "WindowSteps.h"

#include <ServiceHarness.h>
#include <protocol/Protocol.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

using namespace yonda::testing;
using namespace yonda::proto;

namespace {

// Where a board cell's centre shows in the frame: the game room's camera over a 5 x 5 board
// (eye (0, 350, -110), looking at (0, 0, -5), 25 degrees high) in the 600 x 390 view at (10, 34).
std::pair<int, int> CellOnScreen(int row, int column)
{
    const double eye[3] = {0, 350, -110}, at[3] = {0, 0, -5};
    const double p[3] = {(row - 2) * 30.0, 0.0, (column - 2) * 30.0};
    double z[3] = {at[0] - eye[0], at[1] - eye[1], at[2] - eye[2]};
    const double zl = std::sqrt(z[0] * z[0] + z[1] * z[1] + z[2] * z[2]);
    for (double& v : z) {
        v /= zl;
    }
    // x = up x z with up (0, 1, 0), y = z x x (a left-handed look-at).
    double x[3] = {z[2], 0.0, -z[0]};
    const double xl = std::sqrt(x[0] * x[0] + x[2] * x[2]);
    x[0] /= xl;
    x[2] /= xl;
    const double y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    const double d[3] = {p[0] - eye[0], p[1] - eye[1], p[2] - eye[2]};
    const double vx = d[0] * x[0] + d[1] * x[1] + d[2] * x[2];
    const double vy = d[0] * y[0] + d[1] * y[1] + d[2] * y[2];
    const double vz = d[0] * z[0] + d[1] * z[1] + d[2] * z[2];
    const double yScale = 1.0 / std::tan(0.43633232 / 2.0);
    const double xScale = yScale / (600.0 / 390.0);
    const double sx = (vx * xScale / vz + 1.0) / 2.0 * 600.0;
    const double sy = (1.0 - vy * yScale / vz) / 2.0 * 390.0;
    return {10 + static_cast<int>(std::lround(sx)), 34 + static_cast<int>(std::lround(sy))};
}

// The next game event of a sub-code (others before it are dropped).
std::optional<DecodedEvent> WaitForGame(TestClient& client, uint8_t code, int ms = 20000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        auto event = client.waitFor(EvGame, false, 500);
        if (event && event->block.size() > 7 && event->block[4] == code) {
            return event;
        }
    }
    return std::nullopt;
}

class RoomDialog : public EndToEndTest {};

} // namespace

TEST_F(RoomDialog, AMemberMakesAClosedRoomThroughTheDialogAndOthersNeedItsPassword)
{
    Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee");
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    const std::string dialog = OpenMakeDialog(kim, kSquareEntrance);
    ASSERT_FALSE(dialog.empty()) << "no room-making dialog";
    ASSERT_TRUE(IsOk(kim.Click("#301", 20, 8)));
    ASSERT_TRUE(IsOk(kim.Type("#301", "Tea Room")));
    ASSERT_TRUE(IsOk(kim.Click("#302", 20, 8)));
    ASSERT_TRUE(IsOk(kim.Type("#302", "green tea")));
    ASSERT_TRUE(IsOk(kim.Click("#304", 20, 8)));
    ASSERT_TRUE(IsOk(kim.Type("#304", "secret")));
    // The password shows as stars; the edit keeps what was typed.
    EXPECT_EQ(kim.Text("#304").value_or("?"), "secret");
    ASSERT_TRUE(IsOk(kim.Key("#304", "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(dialog, 20000)));

    // The service lists the room in the square, closed, with the skin's default limit.
    TestClient lee;
    lee.host = Service().Address();
    ASSERT_GT(lee.login(ServiceUnderTest::kPort, "lee"), 0);
    auto list = lee.begin(LobbyRooms);
    list.writer.i16(0).i16(0);
    auto rooms = lee.ask(list);
    ASSERT_TRUE(rooms && rooms->ok());
    auto fields = rooms->fields();
    ASSERT_EQ(fields.u16(), 1);
    std::vector<uint8_t> bytes(kRoomListLayout.size);
    fields.bytesInto(bytes.data(), bytes.size());
    Block room(bytes.data(), bytes.size());
    EXPECT_EQ(room.getText(4, 51), "Tea Room");
    EXPECT_EQ(room.getText(55, 31), "green tea");
    EXPECT_EQ(room.getU8(86), 1);
    EXPECT_EQ(room.getU8(87), 5);
    EXPECT_EQ(room.getCh(88), 'C');
    const int16_t number = room.getI16(2);
    // Without the password the room stays shut; with it the second member is in.
    EXPECT_EQ(lee.join(0, number, "wrong"), WrongPassword);
    ASSERT_EQ(lee.join(0, number, "secret"), Ok);
    auto entered = lee.waitFor(EvEntered);
    ASSERT_TRUE(entered);
}

TEST_F(RoomDialog, TwoMembersPlayThePartyGameToItsFinish)
{
    const int32_t kimUser = Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee");
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    const std::string dialog = OpenMakeDialog(kim, "\xEA\xB2\x8C\xEC\x9E\x84 \xED\x99\x80"); // "게임 홀"
    ASSERT_FALSE(dialog.empty()) << "no game-room dialog";
    ASSERT_TRUE(IsOk(kim.Click("#301", 20, 8)));
    ASSERT_TRUE(IsOk(kim.Type("#301", "Race")));
    ASSERT_TRUE(IsOk(kim.Key("#301", "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(dialog, 20000)));
    // The host's game buttons show.
    const char start[] = "\xEC\x8B\x9C\xEC\x9E\x91"; // "시작"
    ASSERT_TRUE(IsOk(kim.WaitWindow(start, 20000)));

    TestClient lee;
    lee.host = Service().Address();
    ASSERT_GT(lee.login(ServiceUnderTest::kPort, "lee"), 0);
    ASSERT_EQ(lee.join(4, 1), Ok);
    // Lee is ready: Kim's program lets its host start.
    auto ready = lee.begin(GameReady);
    ready.writer.i16(4);
    ASSERT_EQ(lee.status(ready), Ok);
    ASSERT_TRUE(WaitForGame(lee, GameReadyCode));
    std::optional<DecodedEvent> board;
    for (int attempt = 0; attempt < 40 && !board; ++attempt) {
        ASSERT_TRUE(IsOk(kim.Click(start, 30, 12)));
        board = WaitForGame(lee, GameBoardCode, 500);
    }
    ASSERT_TRUE(board) << "Kim's program never sent its board";
    const auto boardSent = std::chrono::steady_clock::now();
    EXPECT_EQ(Block(board->block.data(), board->block.size()).getI32(0), kimUser);
    // The path as the board holds it.
    const uint8_t* cells = board->block.data() + 7;
    std::vector<std::pair<int, int>> path{{0, 0}};
    for (int guard = 0; guard < 49 && cells[path.back().first * 7 + path.back().second] != 10; ++guard) {
        const int d = cells[path.back().first * 7 + path.back().second];
        const int dc = d == 1 || d == 2 || d == 3 ? 1 : d == 7 || d == 8 || d == 9 ? -1 : 0;
        const int dr = d == 3 || d == 6 || d == 9 ? 1 : d == 1 || d == 4 || d == 7 ? -1 : 0;
        ASSERT_TRUE(dr != 0 || dc != 0) << "a standing arrow on the path";
        path.push_back({path.back().first + dr, path.back().second + dc});
        ASSERT_TRUE(path.back().first >= 0 && path.back().first < 5 && path.back().second >= 0 &&
                    path.back().second < 5)
            << "the path leaves the 5 x 5 board";
    }
    ASSERT_EQ(cells[path.back().first * 7 + path.back().second], 10) << "no goal";
    // Shown three times, a tenth of a second a cell; clicks before that are refused.
    std::this_thread::sleep_for(std::chrono::milliseconds(300 * (static_cast<int>(path.size()) + 2)));
    for (size_t step = 1; step < path.size(); ++step) {
        SCOPED_TRACE(step);
        const auto [x, y] = CellOnScreen(path[step].first, path[step].second);
        lee.clearEvents();
        bool arrived = false;
        for (int attempt = 0; attempt < 20 && !arrived; ++attempt) {
            ASSERT_TRUE(IsOk(kim.Click(kFrameClass, x, y)));
            // The walk's start and end reach the other member.
            if (lee.waitFor(EvMoveStart, false, 1000)) {
                arrived = static_cast<bool>(lee.waitFor(EvPlace, false, 10000));
            }
        }
        ASSERT_TRUE(arrived) << "Kim never walked to (" << path[step].first << ", " << path[step].second << ")";
    }
    // At the goal Kim's time goes to everyone, and Kim's program congratulates its member.
    auto finish = WaitForGame(lee, GameTimeCode);
    ASSERT_TRUE(finish) << "no finish time";
    int32_t tenths = 0;
    std::memcpy(&tenths, finish->block.data() + 7, sizeof(tenths));
    // Kim's clock ran from the end of the showing to the goal: within the time since the board.
    const auto played =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - boardSent);
    EXPECT_GT(tenths, 0);
    EXPECT_LE(tenths, played.count() / 100 + 1);
    const std::string box = WaitForClass(kim, kDialogClass, 20000);
    ASSERT_FALSE(box.empty()) << "no congratulations";
    ASSERT_TRUE(IsOk(kim.Key(box, "RETURN")));
}
