#pragma once
// A thread that calls its owner's step every 20 ms until it is told to stop. The 3D view embeds
// one as its render worker.
#include <windows.h>

#include <atomic>

class CWorkerThread {
public:
    static constexpr DWORD kStepMs = 20;

    CWorkerThread();
    virtual ~CWorkerThread();
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    virtual void OnThreadStart() {}
    virtual void OnThreadStep() {}
    virtual void OnThreadEnd() {}

    BOOL Start(void* security, unsigned stackSize, int priority);
    // Asks the thread to stop and waits without limit for its end. Never call it from a thread
    // the worker could be waiting for, nor while holding the lock its step takes.
    void Stop();
    // Asks only; the owner waits on m_hThreadEnded itself.
    void RequestStop();
    BOOL IsRunning() const { return m_bRunning.load(); }

    HANDLE m_hStopRequest = nullptr; // auto-reset
    HANDLE m_hThreadEnded = nullptr; // manual reset, signalled while no thread runs
    int m_nPriority = 0;
    std::atomic<int> m_bStop{0};
    std::atomic<int> m_bRunning{0};
    HANDLE m_hThread = nullptr;

private:
    static unsigned __stdcall Body(void* self);
};
