#include "LobbySteps.h"

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

}  // namespace yonda::testing
