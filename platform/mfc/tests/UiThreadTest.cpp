// Threads and the window system: a UI thread created suspended owns a window that gets sends from
// the main thread and ends with it; a worker's posts reach a dialog while its modal loop runs.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::atomic<HWND> g_splash{nullptr};
std::atomic<DWORD> g_handledOn{0};

class SplashWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 40) {
            g_handledOn = ::GetCurrentThreadId();
            return static_cast<LRESULT>(wParam + 1);
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }
};

class SplashThread : public CWinThread {
    DECLARE_DYNCREATE(SplashThread)
public:
    BOOL InitInstance() override
    {
        auto* wnd = new SplashWnd;
        if (!wnd->CreateEx(0, AfxRegisterWndClass(0), "splash", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = wnd;
        g_splash = wnd->m_hWnd;
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(SplashThread, CWinThread)

TEST(CWinThread, AUiThreadOwnsAWindowThatGetsSendsAndEndsWithIt)
{
    g_splash = nullptr;
    CWinThread* thread = AfxBeginThread(RUNTIME_CLASS(SplashThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    thread->m_bAutoDelete = FALSE;
    DWORD id = thread->m_nThreadID;
    // Suspended, it has made nothing yet.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(g_splash.load(), nullptr);
    thread->ResumeThread();
    while (!g_splash)
        std::this_thread::yield();
    HWND splash = g_splash;
    EXPECT_EQ(::GetWindowThreadProcessId(splash, nullptr), id);
    EXPECT_EQ(::SendMessageA(splash, WM_USER + 40, 41, 0), 42);
    EXPECT_EQ(g_handledOn.load(), id);
    // Closing its main window ends the thread's loop.
    ::SendMessageA(splash, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(::IsWindow(splash));
    EXPECT_FALSE(::PostMessageA(splash, WM_USER, 0, 0));
    delete thread;
}

class WaitingDialog : public CDialog {
public:
    std::atomic<int> received{0};
    std::thread worker;
    BOOL OnInitDialog() override
    {
        HWND self = m_hWnd;
        worker = std::thread([self] {
            for (int i = 0; i < 50; ++i)
                ::PostMessageA(self, WM_USER + 50, i, 0);
        });
        return CDialog::OnInitDialog();
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 50 && ++received == 50)
            EndDialog(IDOK);
        return CDialog::WindowProc(message, wParam, lParam);
    }
};

TEST(CDialog, AWorkersPostsReachTheDialogWhileItsModalLoopRuns)
{
    WaitingDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    dialog.worker.join();
    EXPECT_EQ(dialog.received.load(), 50);
}

} // namespace
