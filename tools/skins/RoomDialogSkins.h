#pragma once
// The room dialogs of the default skins: making a room and a game room, the room's information
// and settings, and the conversation subject, with their edits and drop-down selectors.
#include "WindowDescriptions.h"

// In the order their elements stand in "default.ini".
std::vector<WindowDescription> RoomDialogWindows();
