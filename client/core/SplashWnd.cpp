#include "SplashWnd.h"

#include "ClientApp.h"
#include "ClientGlobals.h"
#include "SplashThread.h"

#include <ImageFile.h>
#include <ToolkitShared.h>

namespace {
const RECT kProgressRect = {255, 165, 461, 184};
constexpr COLORREF kBarBack = 0xEEEEEE;
constexpr COLORREF kBarColours[2] = {0xEEEEEE, 0x1DC3FF};
constexpr DWORD kBarStyle = PBS_MOVING_SEGMENT | PBS_GRADIENT_ON_BAR; // 0xA000
} // namespace

CSplashWnd::~CSplashWnd()
{
    m_bmpPicture.DeleteObject();
}

BOOL CSplashWnd::Create(const CString& picturePath, CSplashThread* thread)
{
    m_pThread = thread;
    if (!LoadBitmapFile(picturePath, &m_bmpPicture, nullptr)) {
        return FALSE;
    }
    BITMAP info{};
    m_bmpPicture.GetBitmap(&info);
    m_nWidth = info.bmWidth;
    m_nHeight = info.bmHeight;
    CClientApp* app = ClientApp();
    LPCSTR windowClass = AfxRegisterWndClass(0, app ? app->m_hWaitCursor : nullptr, nullptr, nullptr);
    if (!CreateEx(0, windowClass, "", WS_POPUP | WS_VISIBLE, 0, 0, m_nWidth, m_nHeight, nullptr, nullptr)) {
        return FALSE;
    }
    ::ShowCursor(TRUE);
    return TRUE;
}

int CSplashWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    if (!g_bSoundOff && m_channel.Init(this)) {
        if (m_channel.Open(g_strInstallPath + "\\data\\bgm\\Yonda_Opening.wav")) {
            m_channel.Play(FALSE);
        }
    }
    m_progress.Create(WS_CHILD | WS_VISIBLE, kProgressRect, this, kProgressId);
    m_progress.SetBkColor(kBarBack);
    m_progress.SetGradientColors(kBarColours, 2);
    m_progress.SetPos(100);
    m_progress.ModifyStyle(0, kBarStyle, SWP_FRAMECHANGED);
    m_progress.SetStep(5);
    m_progress.Invalidate();
    SetTimer(kStepTimer, kStepMs, nullptr);
    CenterWindow();
    SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return 0;
}

void CSplashWnd::OnTimer(UINT_PTR id)
{
    if (id == kStepTimer) {
        m_progress.StepIt();
    } else if (id == CMusicChannel::kTimerId) {
        // The opening music has played: start-up need not wait any longer.
        if (!m_bReadySignalled && !m_channel.IsPlaying() && m_pThread) {
            m_bReadySignalled = TRUE;
            ::SetEvent(m_pThread->m_hReadyEvent);
        }
    }
    CWnd::OnTimer(id);
}

BOOL CSplashWnd::OnEraseBkgnd(CDC* dc)
{
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* old = memory.SelectObject(&m_bmpPicture);
    dc->BitBlt(0, 0, m_nWidth, m_nHeight, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    return TRUE;
}

void CSplashWnd::OnClose()
{
    // Alt+F4 and the like do nothing until start-up ends the splash.
    if (m_bCloseAllowed) {
        CWnd::OnClose();
    }
}

void CSplashWnd::OnDestroy()
{
    m_bmpPicture.DeleteObject();
    m_channel.Stop();
    m_channel.Release();
    if (ToolkitNormalCursor()) {
        ::SetClassLongPtrA(GetSafeHwnd(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(ToolkitNormalCursor()));
    }
    CWnd::OnDestroy();
    KillTimer(kStepTimer);
}
