#pragma once
// Top-level windows of other programs of this desktop session. A program that holds a named
// mutex (the single-instance guard) answers, beside the mutex's lock file in the runtime folder,
// who asks for one of its windows by class or title, and raises it when asked; FindWindowA falls
// back to those programs, and SetForegroundWindow raises a window found there.
#include <windows.h>

namespace yonda::user {

// A top-level window of this program with that class and/or title, or null.
HWND FindOwnWindow(LPCSTR className, LPCSTR title);
// Starts answering for this program's windows (once; later calls do nothing).
void StartWindowRendezvous();
// A window of another program with that class and/or title, as a handle of this program that
// stands for it, or null.
HWND FindPeerWindow(LPCSTR className, LPCSTR title);
// True for a handle that stands for another program's window; raises that window.
bool RaisePeerWindow(HWND hwnd, BOOL* raised);

} // namespace yonda::user
