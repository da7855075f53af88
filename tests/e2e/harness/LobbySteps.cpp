#include "LobbySteps.h"

#include "WindowSteps.h"

#include <chrono>
#include <thread>

namespace yonda::testing {
namespace {

constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84"; // the lobby title bar, "로비"
// The title bar's buttons: join the lobby, make a room, search the rooms.
constexpr int kJoinX = 220;
constexpr int kMakeX = 330;
constexpr int kSearchX = 430;
// The room search's tab strip, its key button for room names and its keyword edit; the password
// dialog's edit.
constexpr char kSearchTabs[] = "#3140";
constexpr char kByRoomName[] = "#3116";
constexpr char kKeyword[] = "#3110";
constexpr char kPasswordEdit[] = "#301";

void FlyTo(DrivenProgram& program, const std::string& entrance)
{
    ASSERT_TRUE(IsOk(program.Click(entrance, 80, 14)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kLobbyBar, 30000)));
}

} // namespace

void JoinLobby(DrivenProgram& program, const std::string& entrance)
{
    FlyTo(program, entrance);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    ASSERT_TRUE(IsOk(program.Click(kLobbyBar, kJoinX, 30)));
    ASSERT_TRUE(IsOk(program.WaitGone(kLobbyBar, 30000)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
}

std::string OpenMakeDialog(DrivenProgram& program, const std::string& entrance)
{
    FlyTo(program, entrance);
    if (::testing::Test::HasFatalFailure()) {
        return {};
    }
    EXPECT_TRUE(IsOk(program.Click(kLobbyBar, kMakeX, 30)));
    const std::string dialog = WaitForClass(program, kDialogClass, 20000);
    EXPECT_TRUE(dialog.empty() || IsOk(program.WaitWindow(dialog)));
    return dialog;
}

void OpenRoomSearch(DrivenProgram& program, const std::string& entrance)
{
    FlyTo(program, entrance);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    ASSERT_TRUE(IsOk(program.Click(kLobbyBar, kSearchX, 30)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
}

void SearchRoomNames(DrivenProgram& program, const std::string& word)
{
    ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
    ASSERT_TRUE(IsOk(program.Click(kSearchTabs, 150, 12)));
    ASSERT_TRUE(IsOk(program.Click(kByRoomName, 6, 9)));
    ASSERT_TRUE(IsOk(program.Type(kKeyword, word)));
    ASSERT_TRUE(IsOk(program.Key(kKeyword, "RETURN")));
}

void GoWithPassword(DrivenProgram& program, int row, const std::string& password)
{
    // The list shows a row's Go button once the row is painted, after the service answered.
    const std::string go = "#" + std::to_string(row);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    AutomationAnswer clicked;
    for (;;) {
        ASSERT_TRUE(IsOk(program.WaitWindow(kRoomSearchWindow)));
        clicked = program.Click(go, 10, 8);
        if (clicked.ok || std::chrono::steady_clock::now() > deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(IsOk(clicked));
    ASSERT_TRUE(IsOk(program.WaitWindow(kPasswordDialog)));
    ASSERT_TRUE(IsOk(program.Type(kPasswordEdit, password)));
    ASSERT_TRUE(IsOk(program.Key(kPasswordEdit, "RETURN")));
}

bool WalkIntoSight(DrivenProgram& walker, const std::function<bool()>& seen)
{
    struct Walk {
        int x, y, seconds;
    };
    constexpr Walk kWalks[] = {{200, 330, 15}, {470, 400, 5}, {470, 400, 8}, {150, 400, 8}, {470, 400, 8}};
    for (const Walk& walk : kWalks) {
        if (!IsOk(walker.Click(kFrameClass, walk.x, walk.y)))
            return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(walk.seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            if (seen())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    return false;
}

} // namespace yonda::testing
