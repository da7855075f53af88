#include <windows.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>

DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize)
{
    if (!lpFilename || nSize == 0)
        return 0;
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return 0;
    path[n] = '\0';
    std::replace(path, path + n, '/', '\\');
    // As on Windows: a buffer too small gets the truncated, terminated path and nSize back.
    DWORD length = static_cast<DWORD>(n);
    if (length >= nSize) {
        std::memcpy(lpFilename, path, nSize - 1);
        lpFilename[nSize - 1] = '\0';
        return nSize;
    }
    std::memcpy(lpFilename, path, length + 1);
    return length;
}

HMODULE GetModuleHandleA(LPCSTR lpModuleName)
{
    // The program itself is the one module there is; its handle only identifies it.
    if (!lpModuleName)
        return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x400000));
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}
