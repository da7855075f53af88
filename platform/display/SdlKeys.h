// The virtual key of a key the desktop reports (internal).
#pragma once

#include <SDL.h>
#include <windows.h>

namespace yonda::display {

// 0 for keys the program's keyboard has no virtual key for. Letters and digits follow the key's
// place on the keyboard when the layout gives them no Latin character.
UINT VirtualKeyOf(SDL_Keycode key, SDL_Scancode scancode);

} // namespace yonda::display
