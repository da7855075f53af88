// Window class registry (internal).
#pragma once

#include "Window.h"

namespace yonda::user {

std::shared_ptr<WindowClass> FindClass(LPCSTR name);
ATOM AddClass(const WindowClass& cls);
bool RemoveClass(LPCSTR name);

// Registers the standard controls and the dialog class once.
void EnsureSystemClasses();

} // namespace yonda::user
