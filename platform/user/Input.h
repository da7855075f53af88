// Focus, activation, capture and the keyboard and mouse state (internal). Guarded by UserLock().
#pragma once

#include "Window.h"

#include <memory>
#include <string>

namespace yonda::user {

struct InputState {
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    POINT cursor{};
    BYTE keys[256]{};        // as of the message being handled: 0x80 down, 0x01 toggled
    BYTE asyncKeys[256]{};   // as of the latest event
    std::string composition; // IME text being composed, in the active code page
    HCURSOR shownCursor = nullptr;
    int cursorCount = 0;
    HWND lastMouseTarget = nullptr;
    // Double-click detection.
    HWND lastClickWindow = nullptr;
    UINT lastClickButton = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPoint{};
};

InputState& Input();

// What happens to focus, capture and activation when a window goes away or is hidden.
void ForgetWindowInput(HWND hwnd, bool destroying);

// Makes a top-level window the active one, with the activation messages. Returns the previous.
HWND Activate(HWND hwnd, UINT how);

HWND HitTest(POINT screen);

// A marker that waits in a thread's input queue behind the input already there. The thread
// passes it once it has taken that input and found no posted message left, that is when the
// input and the messages it posted in turn have been handled; the queue's inputMarkersPassed
// then reaches the serial answered here (0: the thread has ended).
uint64_t PostInputMarker(ThreadQueue& queue);

} // namespace yonda::user
