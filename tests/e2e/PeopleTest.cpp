// The friends and room-users window and the user search of the real program against the real
// service: a member finds another by ID and adds it as a friend, sees it online and then offline
// when its program ends (the database holds the friendship once); the host of a room hands the
// room over and later puts a member out, whose program goes back to the lobby; a search by area
// finds the members of that area only.
#include "EndToEndTest.h"
#include "LobbySteps.h"
#include "WindowSteps.h"

#include <ServiceHarness.h>

#include <gmock/gmock.h>

#include <chrono>
#include <thread>

using namespace yonda::testing;
using namespace yonda;

namespace {

constexpr char kUserSearch[] = "\xEC\x82\xAC\xEC\x9A\xA9\xEC\x9E\x90 \xEC\xB0\xBE\xEA\xB8\xB0"; // "사용자 찾기"
// The string table's texts the boxes are named by (the default skin's, code page 949 shown as UTF-8).
constexpr char kAlreadyFriend[] = "\xEC\x9D\xB4\xEB\xAF\xB8 \xEC\xB9\x9C\xEA\xB5\xAC"; // "이미 친구..."
constexpr char kCouldNotKick[] =
    "\xEB\x8B\x98\xEC\x9D\x84 \xEB\x82\xB4\xEB\xB3\xB4\xEB\x82\xB4\xEC\xA7\x80 "
    "\xEB\xAA\xBB\xED\x96\x88\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4."; // "님을 내보내지 못했습니다."

// The friends window's place in the frame and its lists' rows (the default skin's description):
// the list under the tabs and headings, rows of 20 pixels, the ID column of a row.
constexpr int kSideLeft = 616 + 4;
constexpr int kSideListTop = 34 + 126;
constexpr int kIdLeft = 20;
constexpr int kIdRight = 68;
// The windows' ids: the buttons, the room's members' list, the search's list and its area selector.
constexpr char kUserSearchButton[] = "#3001";
constexpr char kRoomSearchButton[] = "#3002";
constexpr char kMakeRoomButton[] = "#3003";
constexpr char kRoomViewButton[] = "#3004";
constexpr char kRoomEditButton[] = "#3005";
constexpr char kRoomUsers[] = "#3201";
constexpr char kFound[] = "#3151";
constexpr char kAreaSelector[] = "#3132";
// Found rows: the nickname column of the search's list, 20 pixels a row, in the window.
constexpr int kFoundTop = 186;
constexpr int kFoundNickLeft = 12 + 4;
constexpr int kFoundNickRight = 12 + 124;

// The first room of the square's list, joined through the friends window's room search button.
void JoinFirstRoom(DrivenProgram& program)
{
    ASSERT_TRUE(IsOk(program.Click(kRoomSearchButton, 20, 8)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#3140", 50, 12)));
    // The rows' Go buttons show as the list paints.
    ASSERT_TRUE(program.Capture(kRoomSearchWindow));
    ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click("#1", 10, 8)));
    ASSERT_TRUE(IsOk(program.WaitGone(kRoomSearchWindow, 20000)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
}

// A right click on a row of a list, then item `item` of the menu it opens.
void PickFromRowMenu(DrivenProgram& program, const std::string& list, int row, int item)
{
    ASSERT_TRUE(IsOk(program.RightClick(list, 40, row * 20 + 10)));
    const std::string menu = WaitForClass(program, kMenuClass);
    ASSERT_FALSE(menu.empty()) << "no menu for row " << row;
    ASSERT_TRUE(IsOk(program.Click(menu, 40, MenuItemY(item))));
}

// The box the program shows now: its text (the box is named by it), answered with Enter (yes),
// and the frame named again.
std::string AnswerFrameBox(DrivenProgram& program)
{
    const std::string text = AnswerBox(program);
    EXPECT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
    return text;
}

enum class Ink { None, Grey, Dark };

// What the ID column of the friends window's first row is written in: the skin's dark text for
// an online friend, grey for one who is not.
Ink FirstFriendInk(DrivenProgram& program)
{
    auto shot = program.Capture(kFrameClass);
    if (!shot) {
        return Ink::None;
    }
    int dark = 0, grey = 0;
    for (int y = kSideListTop + 3; y < kSideListTop + 18; ++y) {
        for (int x = kSideLeft + kIdLeft; x < kSideLeft + kIdRight; ++x) {
            const uint32_t p = shot->At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            dark += r < 170;
            grey += r >= 170 && r < 245 && r == g && g == b;
        }
    }
    return dark > 4 ? Ink::Dark : grey > 4 ? Ink::Grey : Ink::None;
}

Ink WaitForInk(DrivenProgram& program, Ink wanted)
{
    Ink ink = Ink::None;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline && (ink = FirstFriendInk(program)) != wanted) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return ink;
}

// Whether a child of the frame shows (only a visible window can be captured).
bool Shows(DrivenProgram& program, const std::string& child)
{
    EXPECT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
    std::string error;
    return program.AutomationClient::Capture(child, (program.Home().Folder() / "probe.png").string(), &error)
        .has_value();
}

bool WaitShows(DrivenProgram& program, const std::string& child, bool shown)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Shows(program, child) != shown) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

// The rows of a list with ink in a column, counted from the top.
int RowsWithInk(const Picture& shot, int top, int left, int right, int slots)
{
    int rows = 0;
    for (int slot = 0; slot < slots; ++slot) {
        int ink = 0;
        for (int y = top + slot * 20 + 3; y < top + slot * 20 + 18; ++y) {
            for (int x = left; x < right; ++x) {
                ink += shot.At(x, y) != 0xFFFFFF;
            }
        }
        rows += ink > 8;
    }
    return rows;
}

int RoomUserRows(DrivenProgram& program)
{
    auto shot = program.Capture(kFrameClass);
    return shot ? RowsWithInk(*shot, kSideListTop, kSideLeft + kIdLeft, kSideLeft + kIdRight, 6) : -1;
}

int WaitRoomUserRows(DrivenProgram& program, int wanted)
{
    int rows = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline && (rows = RoomUserRows(program)) != wanted) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return rows;
}

int FoundRows(DrivenProgram& program)
{
    auto shot = program.Capture(kUserSearch);
    return shot ? RowsWithInk(*shot, kFoundTop, kFoundNickLeft, kFoundNickRight, 10) : -1;
}

// A member of the service over the network library's own wire, logged in.
struct Member {
    TestClient client;
    Member(ServiceUnderTest& service, const std::string& login)
    {
        client.host = service.Address();
        EXPECT_GT(client.login(ServiceUnderTest::kPort, login), 0) << login;
    }
    uint8_t Leave()
    {
        auto request = client.begin(proto::Command::RoomExit);
        request.writer.i16(0);
        return client.status(request);
    }
    uint8_t HandOver(int32_t user)
    {
        auto request = client.begin(proto::Command::SetRoomHost);
        request.writer.i16(0).i32(user);
        return client.status(request);
    }
};

class People : public EndToEndTest {
protected:
    DrivenProgram& LoggedIn(const std::string& id)
    {
        DrivenProgram& program = Launch(id);
        LogInToFrame(program, id);
        return program;
    }
    int Friendships(int32_t user, int32_t other)
    {
        return std::stoi(Service().QueryValue("SELECT COUNT(*) FROM friends WHERE user = " + std::to_string(user) +
                                              " AND friend = " + std::to_string(other)));
    }
};

} // namespace

TEST_F(People, AMemberAddsAFriendFoundByIdAndSeesItOnlineThenOfflineWhenItsProgramEnds)
{
    const int32_t ann = Service().AddMember("ann", "pw", "Ann");
    const int32_t ben = Service().AddMember("ben", "pw", "Ben");
    DrivenProgram& annProgram = LoggedIn("ann");
    DrivenProgram& benProgram = LoggedIn("ben");

    // Ann finds Ben by his ID from the friends window's search button and adds him from the row's menu.
    ASSERT_TRUE(IsOk(annProgram.Click(kUserSearchButton, 20, 8)));
    ASSERT_TRUE(IsOk(annProgram.WaitWindow(kUserSearch)));
    ASSERT_TRUE(IsOk(annProgram.Type("#3110", "ben")));
    ASSERT_TRUE(IsOk(annProgram.Key("#3110", "RETURN")));
    EXPECT_EQ(FoundRows(annProgram), 1);
    PickFromRowMenu(annProgram, kFound, 0, 1);
    ASSERT_TRUE(IsOk(annProgram.WaitWindow(kFrameClass)));
    EXPECT_EQ(WaitForInk(annProgram, Ink::Dark), Ink::Dark) << "Ben is listed online";
    EXPECT_EQ(Friendships(ann, ben), 1);

    // A second time is refused in the program and nothing is doubled in the database.
    ASSERT_TRUE(IsOk(annProgram.WaitWindow(kUserSearch)));
    PickFromRowMenu(annProgram, kFound, 0, 1);
    EXPECT_THAT(AnswerFrameBox(annProgram), ::testing::StartsWith(kAlreadyFriend));
    EXPECT_EQ(Friendships(ann, ben), 1);

    // Ben's program ends: his row turns grey, and he stays Ann's friend.
    EXPECT_EQ(benProgram.End(), 0);
    EXPECT_EQ(WaitForInk(annProgram, Ink::Grey), Ink::Grey) << "Ben is listed offline";
    EXPECT_EQ(Friendships(ann, ben), 1);
}

TEST_F(People, TheHostHandsTheRoomOverAndLaterPutsAMemberOutWhoseProgramGoesBackToTheLobby)
{
    Service().AddMember("mak", "pw", "Mak");
    const int32_t ann = Service().AddMember("ann", "pw", "Ann");
    const int32_t ben = Service().AddMember("ben", "pw", "Ben");
    const int32_t cid = Service().AddMember("cid", "pw", "Cid");
    Service().AddMember("dot", "pw", "Dot");
    Member maker(Service(), "mak");
    const int16_t room = maker.client.openRoom(0, "Tea room", "tea", 8, "");
    ASSERT_GT(room, 0);

    // Ann joins, and when the maker leaves the room is hers.
    DrivenProgram& annProgram = LoggedIn("ann");
    JoinLobby(annProgram, kSquareEntrance);
    JoinFirstRoom(annProgram);
    EXPECT_TRUE(WaitShows(annProgram, kRoomViewButton, true)) << "a guest sees the room's information";
    ASSERT_EQ(maker.Leave(), proto::Ok);
    EXPECT_TRUE(WaitShows(annProgram, kRoomEditButton, true)) << "the host edits the room";
    EXPECT_FALSE(Shows(annProgram, kRoomViewButton));

    // Cid's program joins, then Ben over the wire: three rows in Ann's list (Ann, Cid, Ben).
    DrivenProgram& cidProgram = LoggedIn("cid");
    JoinLobby(cidProgram, kSquareEntrance);
    JoinFirstRoom(cidProgram);
    Member benWire(Service(), "ben");
    ASSERT_EQ(benWire.client.join(0, room), proto::Ok);
    ASSERT_EQ(WaitRoomUserRows(annProgram, 3), 3);

    // Ann hands the room to Ben: the question names him, Ben is told he is the host, and Ann's
    // window turns to a guest's.
    benWire.client.clearEvents();
    PickFromRowMenu(annProgram, kRoomUsers, 2, 3);
    EXPECT_THAT(AnswerFrameBox(annProgram), ::testing::StartsWith("Ben"));
    auto host = benWire.client.waitFor(proto::EvHostChanged, false, 10000);
    ASSERT_TRUE(host);
    EXPECT_EQ(proto::Block(host->block.data(), host->block.size()).getI32(4), ben);
    EXPECT_TRUE(WaitShows(annProgram, kRoomViewButton, true));
    EXPECT_FALSE(Shows(annProgram, kRoomEditButton));

    // Ben hands it back; Ann puts Cid out. Cid's program goes back to the lobby.
    ASSERT_EQ(benWire.HandOver(ann), proto::Ok);
    ASSERT_TRUE(WaitShows(annProgram, kRoomEditButton, true));
    benWire.client.clearEvents();
    PickFromRowMenu(annProgram, kRoomUsers, 1, 4);
    EXPECT_THAT(AnswerFrameBox(annProgram), ::testing::StartsWith("Cid"));
    auto kicked = benWire.client.waitFor(proto::EvKicked, false, 10000);
    ASSERT_TRUE(kicked);
    EXPECT_EQ(proto::Block(kicked->block.data(), kicked->block.size()).getI32(0), cid);
    EXPECT_TRUE(WaitShows(cidProgram, kMakeRoomButton, true)) << "Cid is back in the lobby";
    EXPECT_FALSE(Shows(cidProgram, kRoomViewButton));
    EXPECT_EQ(WaitRoomUserRows(annProgram, 2), 2);

    // A member who leaves while Ann's menu is open cannot be put out, and Ann is told so.
    Member dot(Service(), "dot");
    ASSERT_EQ(dot.client.join(0, room), proto::Ok);
    ASSERT_EQ(WaitRoomUserRows(annProgram, 3), 3);
    ASSERT_TRUE(IsOk(annProgram.RightClick(kRoomUsers, 40, 2 * 20 + 10)));
    const std::string menu = WaitForClass(annProgram, kMenuClass);
    ASSERT_FALSE(menu.empty());
    ASSERT_EQ(dot.Leave(), proto::Ok);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(IsOk(annProgram.Click(menu, 40, MenuItemY(4))));
    EXPECT_THAT(AnswerFrameBox(annProgram), ::testing::HasSubstr(kCouldNotKick));
    EXPECT_EQ(WaitRoomUserRows(annProgram, 2), 2);
}

TEST_F(People, ASearchByAreaFindsTheMembersOfThatAreaOnly)
{
    Service().AddMember("ann", "pw", "Ann", {.area = "1"});
    Service().AddMember("ben", "pw", "Ben", {.area = "3"});
    Service().AddMember("cid", "pw", "Cid", {.area = "3"});
    Service().AddMember("dan", "pw", "Dan", {.area = "5"});
    Member ben(Service(), "ben");
    Member cid(Service(), "cid");
    Member dan(Service(), "dan");
    DrivenProgram& program = LoggedIn("ann");
    ASSERT_TRUE(IsOk(program.Click(kUserSearchButton, 20, 8)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kUserSearch)));

    // Any area: everyone online, Ann too.
    ASSERT_TRUE(IsOk(program.Click("#3103", 20, 8)));
    EXPECT_EQ(FoundRows(program), 4);

    // The area selector's fifth item is the third area (any, the heading, then the areas).
    ASSERT_TRUE(IsOk(program.Click(kAreaSelector, 90, 8)));
    std::string menu = WaitForClass(program, kMenuClass);
    ASSERT_FALSE(menu.empty());
    ASSERT_TRUE(IsOk(program.Click(menu, 40, MenuItemY(4))));
    ASSERT_TRUE(IsOk(program.WaitWindow(kUserSearch)));
    ASSERT_TRUE(IsOk(program.Click("#3103", 20, 8)));
    EXPECT_EQ(FoundRows(program), 2) << "Ben and Cid";

    ASSERT_TRUE(IsOk(program.Click(kAreaSelector, 90, 8)));
    menu = WaitForClass(program, kMenuClass);
    ASSERT_FALSE(menu.empty());
    ASSERT_TRUE(IsOk(program.Click(menu, 40, MenuItemY(6))));
    ASSERT_TRUE(IsOk(program.WaitWindow(kUserSearch)));
    ASSERT_TRUE(IsOk(program.Click("#3103", 20, 8)));
    EXPECT_EQ(FoundRows(program), 1) << "Dan";
}
