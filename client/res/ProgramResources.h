#pragma once
// The resources compiled into the program (resource.h numbers them). A Windows program file
// carries them in itself; here the program hands them to the window system and the sound system
// once at start, before anything loads or plays one.
#include <windows.h>

// Registers every resource under `module` (sounds are found from any module handle as well).
// Safe to call again: the entries are replaced, not added twice.
void RegisterProgramResources(HMODULE module = nullptr);
