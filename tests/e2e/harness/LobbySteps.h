// The steps every test of the program takes to bring a member into a lobby: the login dialog, and
// an entrance with its flight and the title bar's Join.
#pragma once

#include "MemberSteps.h"

namespace yonda::testing {

// Clicks an entrance (named by its title), waits for the flight's end and joins the lobby.
void JoinLobby(DrivenProgram& program, const std::string& entrance);

}  // namespace yonda::testing
