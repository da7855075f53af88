#pragma once
// The splash window: the loading picture with a moving progress bar and the opening music,
// owned by the splash thread. It closes only when start-up allows it.
#include "MusicChannel.h"

#include <SkinProgressCtrl.h>

#include <afxwin.h>

class CSplashThread;

class CSplashWnd : public CWnd {
public:
    static constexpr UINT kProgressId = 11;
    static constexpr UINT_PTR kStepTimer = 1;
    static constexpr UINT kStepMs = 55;

    CSplashWnd() = default;
    ~CSplashWnd() override;

    BOOL Create(const CString& picturePath, CSplashThread* thread);
    void AllowClose() { m_bCloseAllowed = TRUE; }

    CBitmap m_bmpPicture;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CSplashThread* m_pThread = nullptr;
    CSkinProgressCtrl m_progress;
    CMusicChannel m_channel;
    BOOL m_bCloseAllowed = FALSE;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnClose() override;
    void OnDestroy() override;

private:
    BOOL m_bReadySignalled = FALSE;
};
