// The steps every test of the program takes to bring a member into a lobby: the login dialog, and
// an entrance with its flight and the title bar's Join.
#pragma once

#include "MemberSteps.h"

#include <functional>

namespace yonda::testing {

// Clicks an entrance (named by its title), waits for the flight's end and joins the lobby.
void JoinLobby(DrivenProgram& program, const std::string& entrance);

// Walks the member a few steps ahead, away from where another may stand, until `seen` says the
// other sees it (asked every 200 ms); false when no walk brought it into sight. Where the square
// put the two decides what lies ahead-left: open ground, or the bench beside a start place at the
// edge of the other's view, where the member sits down facing back. A click low on the ground
// then stands it up, and the next ones walk it right and left in front of the bench.
bool WalkIntoSight(DrivenProgram& walker, const std::function<bool()>& seen);

}  // namespace yonda::testing
