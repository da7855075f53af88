#include "LobbySteps.h"

#include <chrono>
#include <thread>

namespace yonda::testing {
namespace {

constexpr char kFrameClass[] = "VelmoraMain";
constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84";  // the lobby title bar, "로비"

}  // namespace

void JoinLobby(DrivenProgram& program, const std::string& entrance) {
    ASSERT_TRUE(IsOk(program.Click(entrance, 80, 14)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kLobbyBar, 30000)));
    ASSERT_TRUE(IsOk(program.Click(kLobbyBar, 220, 30)));
    ASSERT_TRUE(IsOk(program.WaitGone(kLobbyBar, 30000)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
}

bool WalkIntoSight(DrivenProgram& walker, const std::function<bool()>& seen) {
    struct Walk {
        int x, y, seconds;
    };
    constexpr Walk kWalks[] = {{200, 330, 15}, {470, 400, 5}, {470, 400, 8}, {150, 400, 8}, {470, 400, 8}};
    for (const Walk& walk : kWalks) {
        if (!IsOk(walker.Click(kFrameClass, walk.x, walk.y))) return false;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(walk.seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            if (seen()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
    return false;
}

}  // namespace yonda::testing
