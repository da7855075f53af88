// Where presented pictures go: the window system's present target when one is registered, and
// always the record of the last picture of each window (GetFrontBuffer and tests read it).
#pragma once

#include "yonda_d3d8.h"

namespace yonda::d3d8 {

// Hands the picture to the window and keeps it as the window's last; the buffer of the picture
// before comes back through SpareBuffer, so presenting allocates nothing once it runs.
void DeliverPicture(HWND window, YondaPicture&& picture);
std::vector<DWORD> SpareBuffer(HWND window);
bool LastPicture(HWND window, YondaPicture* picture);
// The window's client size and screen origin, when the window system knows the window.
bool WindowClientSize(HWND window, SIZE* size);
bool WindowClientOrigin(HWND window, POINT* origin);
D3DDISPLAYMODE DisplayMode();

} // namespace yonda::d3d8
