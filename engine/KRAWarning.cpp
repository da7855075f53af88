#include "KRAWarning.h"

#include <windows.h>

#if __has_include(<yonda_platform.h>)
void KRAShowWarning(const char* text)
{
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONWARNING);
}

void KRATrace(const char* text)
{
    OutputDebugStringA(text);
}
#else
#include <cstdio>
void KRAShowWarning(const char* text) { std::fputs(text, stderr); }
void KRATrace(const char* text) { std::fputs(text, stderr); }
#endif
