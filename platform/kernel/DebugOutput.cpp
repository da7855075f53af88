// Debugger output: to the capture hook, and to stderr when YONDA_DEBUG_OUTPUT is set (there is
// no debugger to listen otherwise, and the engine traces every frame).
#include <windows.h>

#include <cstdlib>
#include <mutex>

namespace {

struct DebugOutputHook {
    std::mutex mutex;
    YondaDebugOutputHook function = nullptr;
    void* context = nullptr;
};

DebugOutputHook& Hook()
{
    static DebugOutputHook& hook = *new DebugOutputHook;
    return hook;
}

bool StderrWanted()
{
    const char* value = getenv("YONDA_DEBUG_OUTPUT");
    return value && *value && strcmp(value, "0") != 0;
}

} // namespace

void YondaSetDebugOutputHook(YondaDebugOutputHook hook, void* context)
{
    std::lock_guard lock(Hook().mutex);
    Hook().function = hook;
    Hook().context = hook ? context : nullptr;
}

void OutputDebugStringA(LPCSTR lpOutputString)
{
    if (!lpOutputString)
        return;
    YondaDebugOutputHook function;
    void* context;
    {
        std::lock_guard lock(Hook().mutex);
        function = Hook().function;
        context = Hook().context;
    }
    if (function)
        function(context, lpOutputString);
    if (StderrWanted()) {
        fputs(YondaCodePageToUtf8(lpOutputString, CP_ACP).c_str(), stderr);
        fflush(stderr);
    }
}
