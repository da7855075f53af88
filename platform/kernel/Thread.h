// What the kernel's other objects need to know about threads.
#pragma once

#include <windows.h>

#include <functional>

namespace yonda::kernel {

DWORD CurrentThreadId();
// Starts `body` on a new thread behind a handle (CREATE_SUSPENDED honoured).
HANDLE StartThread(std::function<DWORD()> body, DWORD creationFlags, DWORD* threadId);
// Called as a thread ends: mutexes it still owns become abandoned (Mutex.cpp).
void OnThreadEnded(DWORD threadId);

} // namespace yonda::kernel
