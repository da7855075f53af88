// The system move loop (internal).
#pragma once

#include <windows.h>

namespace yonda::user {

// Moves a window with the mouse until the left button is released: the loop owns the mouse
// meanwhile, so the window never sees the moves or the button-up; other messages are dispatched.
void RunMoveLoop(HWND hwnd);

} // namespace yonda::user
