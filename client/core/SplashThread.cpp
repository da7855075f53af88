#include "SplashThread.h"

IMPLEMENT_DYNCREATE(CSplashThread, CWinThread)

CSplashThread::CSplashThread()
{
    m_bAutoDelete = FALSE; // start-up deletes it once the thread has ended
    m_hReadyEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hEndEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_hCreatedEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

CSplashThread::~CSplashThread()
{
    for (HANDLE* event : {&m_hReadyEvent, &m_hEndEvent, &m_hCreatedEvent}) {
        if (*event) {
            ::CloseHandle(*event);
            *event = nullptr;
        }
    }
}

BOOL CSplashThread::InitInstance()
{
    // Focus and activation stay consistent with the main thread's windows.
    if (CWinApp* app = AfxGetApp()) {
        ::AttachThreadInput(::GetCurrentThreadId(), app->m_nThreadID, TRUE);
    }
    m_bCreated = m_wndSplash.Create(m_strPicturePath, this);
    if (m_bCreated) {
        m_pMainWnd = &m_wndSplash;
    }
    ::SetEvent(m_hCreatedEvent);
    return m_bCreated;
}

BOOL CSplashThread::WaitUntilCreated(DWORD ms)
{
    return ::WaitForSingleObject(m_hCreatedEvent, ms) == WAIT_OBJECT_0 && m_bCreated;
}

void CSplashThread::ShowSplash(BOOL show)
{
    if (::IsWindow(m_wndSplash.GetSafeHwnd())) {
        ::ShowWindow(m_wndSplash.GetSafeHwnd(), show ? SW_SHOW : SW_HIDE);
    }
}

void CSplashThread::EndSplash()
{
    ::SetEvent(m_hEndEvent);
    if (::IsWindow(m_wndSplash.GetSafeHwnd())) {
        m_wndSplash.AllowClose();
        ::SendMessageA(m_wndSplash.GetSafeHwnd(), WM_CLOSE, 0, 0);
    }
    if (m_hThread) {
        ::WaitForSingleObject(m_hThread, INFINITE);
    }
}
