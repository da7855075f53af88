// Threads: host threads behind checked handles. A thread's handle is signalled when it ends
// and keeps its exit code; a suspended thread waits at its start until resumed.
#include "KernelObject.h"
#include "Thread.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <thread>

namespace yonda::kernel {
namespace {

// Thread ids are the platform's small multiples of four, assigned on a thread's first use.
std::atomic<DWORD> gNextThreadId{0x400};
thread_local DWORD tThreadId = 0;
thread_local bool tKernelThread = false;

DWORD NewThreadId()
{
    return gNextThreadId.fetch_add(4, std::memory_order_relaxed);
}

// Thrown by ExitThread to unwind the thread's stack up to its start routine.
struct ThreadExit {
    DWORD code;
};

class ThreadObject : public Waitable {
public:
    ThreadObject(std::function<DWORD()> body, DWORD suspendCount)
        : m_body(std::move(body)), m_id(NewThreadId()), m_suspendCount(suspendCount)
    {}

    DWORD Id() const { return m_id; }

    bool IsSignalled(DWORD) const override { return m_ended; }

    // Runs on the new thread.
    void Run()
    {
        tThreadId = m_id;
        tKernelThread = true;
        {
            std::unique_lock lock(DispatcherLock());
            while (m_suspendCount > 0)
                WaitForChange(lock, nullptr);
        }
        DWORD code = 0;
        try {
            code = m_body();
        } catch (const ThreadExit& exit) {
            code = exit.code;
        }
        OnThreadEnded(m_id);
        {
            std::lock_guard lock(DispatcherLock());
            m_exitCode = code;
            m_ended = true;
        }
        NotifyWaiters();
    }

    DWORD Resume()
    {
        DWORD previous;
        {
            std::lock_guard lock(DispatcherLock());
            previous = m_suspendCount;
            if (m_suspendCount > 0)
                --m_suspendCount;
        }
        if (previous == 1)
            NotifyWaiters();
        return previous;
    }

    DWORD ExitCode() const
    {
        std::lock_guard lock(DispatcherLock());
        return m_ended ? m_exitCode : static_cast<DWORD>(STILL_ACTIVE);
    }

    int Priority() const { return m_priority.load(); }
    void SetPriority(int priority) { m_priority.store(priority); }

private:
    std::function<DWORD()> m_body;
    DWORD m_id;
    DWORD m_suspendCount; // under the dispatcher lock
    bool m_ended = false; // under the dispatcher lock
    DWORD m_exitCode = 0;
    std::atomic<int> m_priority{THREAD_PRIORITY_NORMAL};
};

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
const HANDLE kCurrentThread = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));

} // namespace

DWORD CurrentThreadId()
{
    if (!tThreadId)
        tThreadId = NewThreadId();
    return tThreadId;
}

HANDLE StartThread(std::function<DWORD()> body, DWORD creationFlags, DWORD* threadId)
{
    auto thread = std::make_shared<ThreadObject>(std::move(body), (creationFlags & CREATE_SUSPENDED) ? 1u : 0u);
    HANDLE handle = InsertHandle(thread);
    if (!handle)
        return nullptr;
    try {
        // The thread keeps its object alive until it ends, whether or not the handle is closed.
        std::thread([thread] { thread->Run(); }).detach();
    } catch (const std::system_error&) {
        RemoveHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId)
        *threadId = thread->Id();
    return handle;
}

} // namespace yonda::kernel

using namespace yonda::kernel;

HANDLE CreateThread(LPSECURITY_ATTRIBUTES lpThreadAttributes, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                    LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId)
{
    if (!lpStartAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return StartThread([=] { return lpStartAddress(lpParameter); }, dwCreationFlags, lpThreadId);
}

DWORD ResumeThread(HANDLE hThread)
{
    auto thread = LookupHandleAs<ThreadObject>(hThread);
    if (!thread)
        return static_cast<DWORD>(-1);
    return thread->Resume();
}

void ExitThread(DWORD dwExitCode)
{
    if (tKernelThread)
        throw ThreadExit{dwExitCode};
    // A thread the kernel did not start (the main thread, a library's thread) just ends.
    OnThreadEnded(CurrentThreadId());
    pthread_exit(nullptr);
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    auto thread = LookupHandleAs<ThreadObject>(hThread);
    if (!thread)
        return FALSE;
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpExitCode = thread->ExitCode();
    return TRUE;
}

BOOL SetThreadPriority(HANDLE hThread, int nPriority)
{
    if (hThread == kCurrentThread)
        return TRUE;
    auto thread = LookupHandleAs<ThreadObject>(hThread);
    if (!thread)
        return FALSE;
    // Recorded only: raising a priority needs privileges the program does not have.
    thread->SetPriority(nPriority);
    return TRUE;
}

int GetThreadPriority(HANDLE hThread)
{
    if (hThread == kCurrentThread)
        return THREAD_PRIORITY_NORMAL;
    auto thread = LookupHandleAs<ThreadObject>(hThread);
    return thread ? thread->Priority() : THREAD_PRIORITY_ERROR_RETURN;
}

DWORD GetCurrentThreadId()
{
    return CurrentThreadId();
}

HANDLE GetCurrentThread()
{
    return kCurrentThread;
}

DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(getpid());
}

HANDLE GetCurrentProcess()
{
    return kCurrentProcess;
}

void Sleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (dwMilliseconds == INFINITE) {
        for (;;)
            pause();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

uintptr_t _beginthreadex(void* security, unsigned stack_size, unsigned(__stdcall* start_address)(void*), void* arglist,
                         unsigned initflag, unsigned* thrdaddr)
{
    if (!start_address) {
        SetLastError(ERROR_INVALID_PARAMETER);
        errno = EINVAL;
        return 0;
    }
    DWORD id = 0;
    HANDLE handle = StartThread([=] { return static_cast<DWORD>(start_address(arglist)); }, initflag, &id);
    if (handle && thrdaddr)
        *thrdaddr = id;
    return reinterpret_cast<uintptr_t>(handle);
}

void _endthreadex(unsigned retval)
{
    ExitThread(retval);
}
