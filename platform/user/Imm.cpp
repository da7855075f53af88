// The input method context: one per process, holding the text being composed.
#include "Input.h"

#include <imm.h>

#include <cstring>

using namespace yonda::user;

HIMC ImmGetContext(HWND hwnd)
{
    return IsWindow(hwnd) ? reinterpret_cast<HIMC>(uintptr_t{1}) : nullptr;
}

BOOL ImmReleaseContext(HWND, HIMC)
{
    return TRUE;
}

LONG ImmGetCompositionStringA(HIMC imc, DWORD index, LPVOID buffer, DWORD size)
{
    if (!imc || index != GCS_COMPSTR)
        return 0;
    std::lock_guard lock(UserLock());
    const std::string& text = Input().composition;
    if (!buffer)
        return static_cast<LONG>(text.size());
    DWORD n = std::min<DWORD>(size, static_cast<DWORD>(text.size()));
    std::memcpy(buffer, text.data(), n);
    return static_cast<LONG>(n);
}
