#include "WorkerThread.h"

#include <process.h>

CWorkerThread::CWorkerThread()
{
    m_hStopRequest = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hThreadEnded = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

CWorkerThread::~CWorkerThread()
{
    // An owner that forgot to stop its worker would leave it stepping into a dead object.
    if (m_bRunning) {
        Stop();
    }
    if (m_hThread) {
        ::CloseHandle(m_hThread);
    }
    ::CloseHandle(m_hStopRequest);
    ::CloseHandle(m_hThreadEnded);
}

BOOL CWorkerThread::Start(void* security, unsigned stackSize, int priority)
{
    if (m_bRunning) {
        return TRUE;
    }
    m_bRunning = 1;
    m_bStop = 0;
    m_nPriority = priority; // kept, not applied
    ::ResetEvent(m_hThreadEnded);
    if (m_hThread) {
        ::CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    unsigned id = 0;
    m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(security, stackSize, &CWorkerThread::Body, this, 1, &id));
    if (!m_hThread) {
        m_bRunning = 0;
        ::SetEvent(m_hThreadEnded);
        return FALSE;
    }
    return TRUE;
}

unsigned __stdcall CWorkerThread::Body(void* self)
{
    auto* worker = static_cast<CWorkerThread*>(self);
    worker->OnThreadStart();
    while (!worker->m_bStop) {
        ::WaitForSingleObject(worker->m_hStopRequest, 0);
        if (!worker->m_bStop) {
            worker->OnThreadStep();
        }
        ::Sleep(kStepMs);
    }
    worker->OnThreadEnd();
    worker->m_bRunning = 0;
    ::SetEvent(worker->m_hThreadEnded);
    return 0;
}

void CWorkerThread::RequestStop()
{
    m_bStop = 1;
    ::SetEvent(m_hStopRequest);
}

void CWorkerThread::Stop()
{
    RequestStop();
    ::WaitForSingleObject(m_hThreadEnded, INFINITE);
}
