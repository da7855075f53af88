#include "KRAWarning.h"

#include <windows.h>

void KRAShowWarning(const char* text)
{
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONWARNING);
}

void KRATrace(const char* text)
{
    OutputDebugStringA(text);
}

void KRATraceFile(const std::string& strPath, const char* szWhy)
{
    KRATrace(("Kravex = " + strPath + " " + szWhy + "\n").c_str());
}
