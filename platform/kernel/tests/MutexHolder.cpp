// A second program instance for the single-instance test: creates the named mutex, says
// whether it was first ("held") or not ("exists"), and keeps the mutex until its input closes.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    HANDLE mutex = CreateMutexA(nullptr, TRUE, argv[1]);
    if (!mutex)
        return 1;
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    printf("%s\n", existed ? "exists" : "held");
    fflush(stdout);
    char buffer[64];
    while (fread(buffer, 1, sizeof(buffer), stdin) > 0) {
    }
    if (!existed)
        ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
}
