// The desktop display. It starts by itself the first time the window system needs it (a screen
// metric, a window shown, the clipboard) when a desktop is there: DISPLAY or WAYLAND_DISPLAY set
// and YONDA_HEADLESS not set. Without one the same program runs headless: windows are pictures in
// memory, input comes from the injection calls of yonda_user.h.
#pragma once

#include "windef.h"

// Starts the display now whatever the environment says (the desktop driver may be chosen with
// SDL_VIDEODRIVER). TRUE when windows show on it. Called before the window system first asks.
BOOL YondaStartDisplay(void);
// Ends the display: windows close on the desktop and the window system runs headless from now on.
void YondaStopDisplay(void);
BOOL YondaDisplayActive(void);
// Waits until the display has shown everything the window system gave it and has handed on every
// event the desktop had delivered until now.
void YondaDisplayFlush(void);

// MessageBoxA shows a box made of the window system's own windows when a display is there. Tests
// without a display may ask for it too, and drive it with injected input.
void YondaUseMessageBoxWindow(BOOL use);
// The box itself: a modal window owned by hWnd (disabled meanwhile) with the text, the caption and
// the buttons of uType's MB_* kind. Answers IDOK, IDCANCEL, IDYES...
int YondaMessageBoxWindow(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
