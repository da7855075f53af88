// The room search of the real program against the real service: rooms are made by other members
// over the network library's own wire (a test client logged in as them), and the program's member
// lists the lobby's rooms, finds one by a word of its name, is refused with a wrong password,
// joins with the right one, and is told why when a room is full or gone.
#include "EndToEndTest.h"
#include "LobbySteps.h"
#include "WindowSteps.h"

#include <ServiceHarness.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace yonda::testing;
using namespace yonda;

namespace {

constexpr char kRoomFull[] =
    "\xEB\xB0\xA9\xEC\x9D\xB4 \xEA\xBD\x89 \xEC\xB0\xBC\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4."; // "방이 꽉 찼습니다."
constexpr char kCantJoin[] = "\xEB\xB0\xA9\xEC\x97\x90 \xEB\x93\xA4\xEC\x96\xB4\xEA\xB0\x88 \xEC\x88\x98 "
                             "\xEC\x97\x86\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4."; // "방에 들어갈 수 없습니다."

// The search window's places (the default skin's): the tab strip, the key button for room names,
// and the lists with their rows of 20 pixels and their name column.
constexpr char kTabs[] = "#3140";
constexpr int kLobbyListTop = 82;
constexpr int kSearchListTop = 186;
constexpr int kNameLeft = 12 + 250;
constexpr int kNameRight = 12 + 376;

// A member of the service who makes rooms: the wire the network library speaks, logged in.
struct RoomMaker {
    TestClient client;
    RoomMaker(ServiceUnderTest& service, const std::string& login)
    {
        client.host = service.Address();
        EXPECT_GT(client.login(ServiceUnderTest::kPort, login), 0) << login;
    }
    // Opens a room in lobby 0 and stands the maker in it; its number, or -1.
    int16_t Open(const std::string& name, const std::string& subject, uint8_t limit, const std::string& password)
    {
        return client.openRoom(0, name, subject, limit, password);
    }
    void Leave()
    {
        auto request = client.begin(proto::Command::RoomExit);
        request.writer.i16(0);
        client.status(request);
    }
};

// The rows of a list that show a name: the slots from the top whose name column has ink.
int NamedRows(DrivenProgram& program, int listTop, int slots)
{
    auto shot = program.Capture(kRoomSearchWindow);
    if (!shot) {
        ADD_FAILURE() << "no capture of the search window";
        return -1;
    }
    int rows = 0;
    for (int slot = 0; slot < slots; ++slot) {
        int ink = 0;
        for (int y = listTop + slot * 20 + 3; y < listTop + slot * 20 + 18; ++y) {
            for (int x = kNameLeft; x < kNameRight; ++x) {
                ink += shot->At(x, y) != 0xFFFFFF;
            }
        }
        rows += ink > 8;
    }
    return rows;
}

class RoomSearch : public EndToEndTest {
protected:
    // `member`'s program, logged in, on its way to the square, its room search on the lobby tab.
    DrivenProgram& ListTheSquare(const std::string& member)
    {
        DrivenProgram& program = Launch(member);
        LogInToFrame(program, member);
        OpenRoomSearch(program);
        EXPECT_TRUE(IsOk(program.Click(kTabs, 50, 12)));
        return program;
    }
};

} // namespace

TEST_F(RoomSearch, AMemberListsTheLobbyFindsARoomByNameAndJoinsItWithItsPassword)
{
    Service().AddMember("ann", "pw", "Ann");
    Service().AddMember("cid", "pw", "Cid");
    const int32_t ben = Service().AddMember("ben", "pw", "Ben");
    RoomMaker ann(Service(), "ann");
    RoomMaker cid(Service(), "cid");
    ASSERT_GT(ann.Open("Garden party", "flowers", 8, "rose"), 0);
    ASSERT_GT(cid.Open("Chess corner", "games", 4, ""), 0);

    // The lobby's rooms: both, and nothing below them.
    DrivenProgram& program = ListTheSquare("ben");
    EXPECT_EQ(NamedRows(program, kLobbyListTop, 4), 2);

    // Searching room names for "Garden" finds Ann's room alone.
    SearchRoomNames(program, "Garden");
    EXPECT_EQ(NamedRows(program, kSearchListTop, 3), 1);

    // Its Go button asks for the password; a wrong one is refused with the table's message and
    // the member stays in the lobby.
    ann.client.clearEvents();
    GoWithPassword(program, 1, "tulip");
    EXPECT_THAT(AnswerBox(program, kPasswordDialog), ::testing::StartsWith(kPasswordFail));
    EXPECT_FALSE(ann.client.waitFor(proto::EvEntered, false, 500)) << "nobody entered Ann's room";

    // The right one takes the member in: Ann sees Ben enter, and the search window closes.
    GoWithPassword(program, 1, "rose");
    auto entered = ann.client.waitFor(proto::EvEntered, false, 10000);
    ASSERT_TRUE(entered);
    EXPECT_EQ(proto::Block(entered->block.data(), entered->block.size()).getI32(8), ben);
    EXPECT_TRUE(IsOk(program.WaitGone(kRoomSearchWindow)));
}

TEST_F(RoomSearch, AFullRoomAndARoomThatClosedSinceTheListAreToldWithoutAskingAPassword)
{
    Service().AddMember("ann", "pw", "Ann");
    Service().AddMember("cid", "pw", "Cid");
    Service().AddMember("dan", "pw", "Dan");
    Service().AddMember("ben", "pw", "Ben");
    RoomMaker ann(Service(), "ann");
    RoomMaker cid(Service(), "cid");
    RoomMaker dan(Service(), "dan");
    const int16_t pair = ann.Open("A pair", "two", 2, "secret");
    ASSERT_GT(pair, 0);
    ASSERT_GT(cid.Open("Short lived", "soon gone", 6, ""), 0);

    DrivenProgram& program = ListTheSquare("ben");
    ASSERT_EQ(NamedRows(program, kLobbyListTop, 3), 2);

    // The pair fills up after the list was read: the room is full, and no password is asked.
    ASSERT_EQ(dan.client.join(0, pair, "secret"), proto::Ok);
    ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#1", 10, 8)));
    EXPECT_THAT(AnswerBox(program, kPasswordDialog), ::testing::StartsWith(kRoomFull));

    // The second room closes when its only member leaves.
    cid.Leave();
    ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#2", 10, 8)));
    EXPECT_THAT(AnswerBox(program, kPasswordDialog), ::testing::StartsWith(kCantJoin));
    // The program goes on: the list read again shows the one room left.
    ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click(kTabs, 150, 12)));
    ASSERT_TRUE(IsOk(program.Click(kTabs, 50, 12)));
    EXPECT_EQ(NamedRows(program, kLobbyListTop, 3), 1);
}
