// Kernel: processes, modules, threads, synchronisation, time, files, debugging output.
#pragma once

#include "windef.h"

// Returns the program file's path in the platform's form (backslashes), e.g. "\opt\yonda\bin\Yonda".
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
#define GetModuleFileName GetModuleFileNameA
