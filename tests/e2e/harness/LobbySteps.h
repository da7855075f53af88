// The steps every test of the program takes to bring a member into a lobby: the login dialog, and
// an entrance with its flight and the title bar's Join; and the title bar's other doors, the
// room-making dialog and the room search.
#pragma once

#include "MemberSteps.h"

#include <functional>

namespace yonda::testing {

// The square's entrance (lobby 0), "광장".
inline constexpr char kSquareEntrance[] = "\xEA\xB4\x91\xEC\x9E\xA5";
// The room search window's title, "방 찾기".
inline constexpr char kRoomSearchWindow[] = "\xEB\xB0\xA9 \xEC\xB0\xBE\xEA\xB8\xB0";

// The password dialog's title, "비밀번호 확인", and the string table's refusal of a wrong
// password, "비밀번호가 맞지 않습니다.".
inline constexpr char kPasswordDialog[] = "\xEB\xB9\x84\xEB\xB0\x80\xEB\xB2\x88\xED\x98\xB8 \xED\x99\x95\xEC\x9D\xB8";
inline constexpr char kPasswordFail[] = "\xEB\xB9\x84\xEB\xB0\x80\xEB\xB2\x88\xED\x98\xB8\xEA\xB0\x80 "
                                        "\xEB\xA7\x9E\xEC\xA7\x80 \xEC\x95\x8A\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4.";

// Clicks an entrance (named by its title), waits for the flight's end and joins the lobby.
void JoinLobby(DrivenProgram& program, const std::string& entrance);

// Flies to the lobby behind an entrance and opens the room-making dialog from its title bar: the
// dialog's handle, its controls named from then on, or empty when none opened.
std::string OpenMakeDialog(DrivenProgram& program, const std::string& entrance);

// Flies to the lobby behind an entrance and opens the room search from its title bar.
void OpenRoomSearch(DrivenProgram& program, const std::string& entrance = kSquareEntrance);

// In the open room search: the search tab, room names as the key, `word` and Enter.
void SearchRoomNames(DrivenProgram& program, const std::string& word);

// In the open room search: the Go button of the shown list's row `row` (1 the first), then
// `password` in the password dialog it asks for, with Enter.
void GoWithPassword(DrivenProgram& program, int row, const std::string& password);
// Walks the member a few steps ahead, away from where another may stand, until `seen` says the
// other sees it (asked every 200 ms); false when no walk brought it into sight. Where the square
// put the two decides what lies ahead-left: open ground, or the bench beside a start place at the
// edge of the other's view, where the member sits down facing back. A click low on the ground
// then stands it up, and the next ones walk it right and left in front of the bench.
bool WalkIntoSight(DrivenProgram& walker, const std::function<bool()>& seen);

} // namespace yonda::testing
