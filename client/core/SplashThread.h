#pragma once
// The thread that shows the splash while start-up loads the scene and the first data. Its events
// exist before the thread runs, so start-up can wait on them, hide, show and end the splash from
// the moment it was started.
#include "SplashWnd.h"

#include <afxwin.h>

class CSplashThread : public CWinThread {
    DECLARE_DYNCREATE(CSplashThread)
public:
    CSplashThread();
    ~CSplashThread() override;

    BOOL InitInstance() override;

    void SetPicturePath(const CString& path) { m_strPicturePath = path; }
    // Until the window exists or its creation failed: TRUE when it exists.
    BOOL WaitUntilCreated(DWORD ms);
    void ShowSplash(BOOL show);
    // Allows the window to close, closes it and waits for the thread's end.
    void EndSplash();

    CString m_strPicturePath;
    CSplashWnd m_wndSplash;
    HANDLE m_hReadyEvent = nullptr; // set once the opening music has played
    HANDLE m_hEndEvent = nullptr;
    HANDLE m_hCreatedEvent = nullptr;
    BOOL m_bCreated = FALSE;
};
