// The room search of the real program against the real service: rooms are made by other members
// over the network library's own wire (a test client logged in as them), and the program's member
// lists the lobby's rooms, finds one by a word of its name, is refused with a wrong password,
// joins with the right one, and is told why when a room is full or gone.
#include "EndToEndTest.h"
#include "MemberSteps.h"

#include <ServiceHarness.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <thread>

using namespace yonda::testing;
using namespace yonda;

namespace {

constexpr char kSquare[] = "\xEA\xB4\x91\xEC\x9E\xA5";                     // "광장", lobby 0's entrance
constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84";                    // "로비"
constexpr char kSearchWindow[] = "\xEB\xB0\xA9 \xEC\xB0\xBE\xEA\xB8\xB0";   // "방 찾기"
constexpr char kPasswordDialog[] = "\xEB\xB9\x84\xEB\xB0\x80\xEB\xB2\x88\xED\x98\xB8 \xED\x99\x95\xEC\x9D\xB8"; // "비밀번호 확인"
constexpr char kPasswordFail[] = "\xEB\xB9\x84\xEB\xB0\x80\xEB\xB2\x88\xED\x98\xB8\xEA\xB0\x80 \xEB\xA7\x9E\xEC\xA7\x80 "
                                 "\xEC\x95\x8A\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4.";  // "비밀번호가 맞지 않습니다."
constexpr char kRoomFull[] = "\xEB\xB0\xA9\xEC\x9D\xB4 \xEA\xBD\x89 \xEC\xB0\xBC\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4."; // "방이 꽉 찼습니다."
constexpr char kCantJoin[] = "\xEB\xB0\xA9\xEC\x97\x90 \xEB\x93\xA4\xEC\x96\xB4\xEA\xB0\x88 \xEC\x88\x98 "
                             "\xEC\x97\x86\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4.";  // "방에 들어갈 수 없습니다."

// The search window's places (the default skin's): the tab strip, the key button for room names,
// the keyword edit, and the lists with their rows of 20 pixels and their name column.
constexpr char kTabs[] = "#3140";
constexpr char kByName[] = "#3116";
constexpr char kKeyword[] = "#3110";
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

// From the map to the square's title bar, and its room search button.
void OpenRoomSearch(DrivenProgram& program)
{
    ASSERT_TRUE(IsOk(program.Click(kSquare, 80, 14)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kLobbyBar, 20000)));
    ASSERT_TRUE(IsOk(program.Click(kLobbyBar, 430, 30)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kSearchWindow)));
}

// The rows of a list that show a name: the slots from the top whose name column has ink.
int NamedRows(DrivenProgram& program, int listTop, int slots)
{
    auto shot = program.Capture(kSearchWindow);
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

// The one-button box the program shows now: its text (the box is named by it), answered.
std::string AnswerBox(DrivenProgram& program)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const WindowInfo& w : program.Windows()) {
            if (w.className == "#32770" && w.title != kPasswordDialog) {
                EXPECT_TRUE(IsOk(program.Key(w.handle, "RETURN")));
                EXPECT_TRUE(IsOk(program.WaitGone(w.handle)));
                return w.title;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "(no box)";
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
    ASSERT_TRUE(IsOk(program.Click(kTabs, 150, 12)));
    ASSERT_TRUE(IsOk(program.Click(kByName, 6, 9)));
    ASSERT_TRUE(IsOk(program.Type(kKeyword, "Garden")));
    ASSERT_TRUE(IsOk(program.Key(kKeyword, "RETURN")));
    EXPECT_EQ(NamedRows(program, kSearchListTop, 3), 1);

    // Its Go button asks for the password; a wrong one is refused with the table's message and
    // the member stays in the lobby.
    ann.client.clearEvents();
    ASSERT_TRUE(IsOk(program.WaitWindow(kSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#1", 10, 8)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kPasswordDialog)));
    ASSERT_TRUE(IsOk(program.Type("#301", "tulip")));
    ASSERT_TRUE(IsOk(program.Key("#301", "RETURN")));
    EXPECT_THAT(AnswerBox(program), ::testing::StartsWith(kPasswordFail));
    EXPECT_FALSE(ann.client.waitFor(proto::EvEntered, false, 500)) << "nobody entered Ann's room";

    // The right one takes the member in: Ann sees Ben enter, and the search window closes.
    ASSERT_TRUE(IsOk(program.WaitWindow(kSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#1", 10, 8)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kPasswordDialog)));
    ASSERT_TRUE(IsOk(program.Type("#301", "rose")));
    ASSERT_TRUE(IsOk(program.Key("#301", "RETURN")));
    auto entered = ann.client.waitFor(proto::EvEntered, false, 10000);
    ASSERT_TRUE(entered);
    EXPECT_EQ(proto::Block(entered->block.data(), entered->block.size()).getI32(8), ben);
    EXPECT_TRUE(IsOk(program.WaitGone(kSearchWindow)));
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
    ASSERT_TRUE(IsOk(program.WaitWindow(kSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#1", 10, 8)));
    EXPECT_THAT(AnswerBox(program), ::testing::StartsWith(kRoomFull));

    // The second room closes when its only member leaves.
    cid.Leave();
    ASSERT_TRUE(IsOk(program.WaitWindow(kSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#2", 10, 8)));
    EXPECT_THAT(AnswerBox(program), ::testing::StartsWith(kCantJoin));
    // The program goes on: the list read again shows the one room left.
    ASSERT_TRUE(IsOk(program.WaitWindow(kSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click(kTabs, 150, 12)));
    ASSERT_TRUE(IsOk(program.Click(kTabs, 50, 12)));
    EXPECT_EQ(NamedRows(program, kLobbyListTop, 3), 1);
}
