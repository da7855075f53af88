// What the window manager asks of the display backend (internal). Without a backend (headless,
// or before the display starts) every call is a no-op and the screen has a fixed size.
#pragma once

#include <windows.h>

#include <string>

namespace yonda::user {

class DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    virtual SIZE ScreenSize() = 0;
    // The screen less the desktop's panels.
    virtual RECT WorkArea()
    {
        SIZE size = ScreenSize();
        return RECT{0, 0, size.cx, size.cy};
    }
    // A top-level window was shown, hidden, moved, resized or restacked.
    virtual void WindowChanged(HWND top) = 0;
    // A top-level window's surface holds new pixels.
    virtual void WindowPainted(HWND top) = 0;
    virtual void Raise(HWND top) = 0;
    virtual void SetCursor(HCURSOR cursor) = 0;
    virtual void WarpCursor(int x, int y) = 0;
    virtual void SetClipboardText(const std::string& utf8) = 0;
    virtual std::string ClipboardText() = 0;
};

void SetDisplayBackend(DisplayBackend* backend);
// The first time the window system asks for the display, the starter (registered by the display
// backend) decides whether there is one; it answers null for headless.
void SetDisplayStarter(DisplayBackend* (*starter)());
DisplayBackend* CurrentDisplay();

void DisplayWindowChanged(HWND hwnd); // any window: forwarded for its top-level
void DisplayWindowPainted(HWND hwnd);
void DisplayRaise(HWND hwnd);
void DisplaySetCursor(HCURSOR cursor);
void DisplayWarpCursor(int x, int y);

} // namespace yonda::user
