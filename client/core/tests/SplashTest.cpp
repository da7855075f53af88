// The splash on its own thread with the real loading picture and the real opening music: its
// window, its bar, its ready signal when the music has played, and its end only when start-up
// ends it.
#include <gtest/gtest.h>

#include "ClientGlobals.h"
#include "SplashThread.h"

#include <ToolkitShared.h>

#include <chrono>
#include <cstdlib>

namespace {

struct Splash : ::testing::Test {
    void SetUp() override
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        g_strInstallPath = CString(binary) + "/yonda";
    }
    void TearDown() override { g_bSoundOff = FALSE; }

    CSplashThread* Start()
    {
        auto* thread = static_cast<CSplashThread*>(
            AfxBeginThread(RUNTIME_CLASS(CSplashThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
        EXPECT_NE(thread, nullptr);
        thread->SetPicturePath(g_strInstallPath + "\\Skin\\Orange\\Loading.bmp");
        thread->ResumeThread();
        return thread;
    }
};

} // namespace

TEST_F(Splash, ShowsThePictureWithItsBarAndIsReadyWhenTheMusicHasPlayed)
{
    CSplashThread* splash = Start();
    ASSERT_TRUE(splash->WaitUntilCreated(10000));
    HWND window = splash->m_wndSplash.GetSafeHwnd();
    ASSERT_TRUE(::IsWindowVisible(window));
    RECT rect{};
    ::GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, splash->m_wndSplash.m_nWidth);
    EXPECT_EQ(rect.bottom - rect.top, splash->m_wndSplash.m_nHeight);
    EXPECT_TRUE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(::IsWindow(::GetDlgItem(window, CSplashWnd::kProgressId)));
    // Alt+F4 does nothing while start-up still needs the splash.
    ::SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(window));
    // The opening music is a few seconds long; the ready signal follows its end.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(::WaitForSingleObject(splash->m_hReadyEvent, 10000), WAIT_OBJECT_0);
    EXPECT_GT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    splash->EndSplash();
    EXPECT_FALSE(::IsWindow(window));
    delete splash;
}

TEST_F(Splash, WithSoundOffNothingSignalsReady)
{
    g_bSoundOff = TRUE;
    CSplashThread* splash = Start();
    ASSERT_TRUE(splash->WaitUntilCreated(10000));
    EXPECT_EQ(::WaitForSingleObject(splash->m_hReadyEvent, 1500), static_cast<DWORD>(WAIT_TIMEOUT));
    splash->ShowSplash(FALSE);
    EXPECT_FALSE(::IsWindowVisible(splash->m_wndSplash.GetSafeHwnd()));
    splash->ShowSplash(TRUE);
    EXPECT_TRUE(::IsWindowVisible(splash->m_wndSplash.GetSafeHwnd()));
    splash->EndSplash();
    delete splash;
}

TEST_F(Splash, APictureThatDoesNotLoadFailsTheThreadCleanly)
{
    auto* thread = static_cast<CSplashThread*>(
        AfxBeginThread(RUNTIME_CLASS(CSplashThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(thread, nullptr);
    thread->SetPicturePath(g_strInstallPath + "\\Skin\\Orange\\NoSuchPicture.bmp");
    thread->ResumeThread();
    EXPECT_FALSE(thread->WaitUntilCreated(10000));
    EXPECT_EQ(::WaitForSingleObject(thread->m_hThread, 10000), WAIT_OBJECT_0);
    delete thread;
}
