// The message queue: posting from any thread, sends across threads, quit, filters and timers.
#include "MessageLog.h"

#include <windows.h>
#include <yonda_platform.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

using yonda::test::MessageLog;

namespace {

HWND MakeWindow(const char* name)
{
    return CreateWindowExA(0, "LoggedWindow", name, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(Queue, PostedMessagesComeInOrderBeforeTheQuit)
{
    MessageLog log({});
    HWND hwnd = MakeWindow("w");
    PostMessageA(hwnd, WM_USER + 1, 1, 0);
    PostQuitMessage(5);
    PostMessageA(nullptr, WM_USER + 2, 2, 0); // a thread message
    MSG msg;
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(msg.hwnd, hwnd);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(hwnd);
}

TEST(Queue, ThreadMessagesReachTheQueueOfTheKernelsThreadId)
{
    MessageLog log({});
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE); // makes this thread's queue
    ASSERT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_USER + 3, 3, 0));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 3));

    DWORD workerId = 0;
    std::atomic<bool> got{false};
    std::thread worker([&] {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
        workerId = GetCurrentThreadId();
        got = true;
        while (GetMessageA(&m, nullptr, 0, 0)) {
        }
    });
    while (!got)
        std::this_thread::yield();
    HWND hwnd = MakeWindow("owner");
    EXPECT_EQ(GetWindowThreadProcessId(hwnd, nullptr), GetCurrentThreadId());
    DestroyWindow(hwnd);
    EXPECT_TRUE(PostThreadMessageA(workerId, WM_QUIT, 0, 0));
    worker.join();
}

TEST(Queue, PeekFiltersByRangeAndWindowAndCanLeaveTheMessage)
{
    MessageLog log({});
    HWND a = MakeWindow("a");
    HWND b = MakeWindow("b");
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, b);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, a);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(a);
    DestroyWindow(b);
}

TEST(Queue, WorkersPostToTheGuiThreadWhileItPumps)
{
    MessageLog log({});
    std::atomic<int> received{0};
    log.react = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_USER + 7)
            ++received;
        return false;
    };
    HWND hwnd = MakeWindow("gui");
    constexpr int kPerThread = 2000;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([hwnd] {
            for (int i = 0; i < kPerThread; ++i)
                PostMessageA(hwnd, WM_USER + 7, i, 0);
        });
    MSG msg;
    while (received < 4 * kPerThread && GetMessageA(&msg, nullptr, 0, 0))
        DispatchMessageA(&msg);
    for (auto& w : workers)
        w.join();
    EXPECT_EQ(received, 4 * kPerThread);
    DestroyWindow(hwnd);
}

TEST(Queue, ASendAcrossThreadsRunsOnTheOwnersThreadWhileTheSenderWaits)
{
    MessageLog log({});
    std::thread::id handledOn;
    log.react = [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT* result) {
        if (msg != WM_USER + 3)
            return false;
        handledOn = std::this_thread::get_id();
        *result = static_cast<LRESULT>(wp * 2);
        return true;
    };
    // A second UI thread owns a window and pumps its messages.
    std::atomic<HWND> remote{nullptr};
    std::thread ui([&] {
        HWND hwnd = MakeWindow("remote");
        remote = hwnd;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0))
            DispatchMessageA(&msg);
        DestroyWindow(hwnd);
    });
    while (!remote)
        std::this_thread::yield();
    EXPECT_EQ(SendMessageA(remote, WM_USER + 3, 21, 0), 42);
    EXPECT_EQ(handledOn, ui.get_id());
    // Window functions on another thread's window run there too.
    EXPECT_FALSE(ShowWindow(remote, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(remote));
    PostThreadMessageA(GetWindowThreadProcessId(remote, nullptr), WM_QUIT, 0, 0);
    ui.join();
    // The thread is gone and its window with it: nothing is delivered, nothing crashes.
    EXPECT_FALSE(IsWindow(remote));
    EXPECT_FALSE(PostMessageA(remote, WM_USER, 0, 0));
    EXPECT_EQ(SendMessageA(remote, WM_USER + 3, 1, 0), 0);
}

TEST(Queue, TwoThreadsSendingToEachOtherDoNotDeadlock)
{
    MessageLog log({});
    HWND local = MakeWindow("local");
    std::atomic<HWND> remote{nullptr};
    log.react = [&](HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT* result) {
        if (msg == WM_USER + 4 && hwnd == remote) {
            // The remote thread calls back into the waiting sender.
            *result = SendMessageA(local, WM_USER + 5, 0, 0) + 1;
            return true;
        }
        if (msg == WM_USER + 5) {
            *result = 10;
            return true;
        }
        return false;
    };
    std::thread ui([&] {
        HWND hwnd = MakeWindow("remote");
        remote = hwnd;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0))
            DispatchMessageA(&msg);
        DestroyWindow(hwnd);
    });
    while (!remote)
        std::this_thread::yield();
    EXPECT_EQ(SendMessageA(remote, WM_USER + 4, 0, 0), 11);
    PostMessageA(remote, WM_QUIT, 0, 0);
    ui.join();
    DestroyWindow(local);
}

TEST(Queue, TimersFirePerWindowAndStopWhenKilled)
{
    MessageLog log({});
    std::vector<UINT_PTR> fired;
    log.react = [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT*) {
        if (msg == WM_TIMER)
            fired.push_back(wp);
        return false;
    };
    HWND hwnd = MakeWindow("timed");
    EXPECT_EQ(SetTimer(hwnd, 100, 10, nullptr), 100u);
    EXPECT_TRUE(SetTimer(hwnd, 101, 10, nullptr));
    MSG msg;
    while (fired.size() < 4 && GetMessageA(&msg, nullptr, 0, 0))
        DispatchMessageA(&msg);
    EXPECT_NE(std::find(fired.begin(), fired.end(), 100u), fired.end());
    EXPECT_NE(std::find(fired.begin(), fired.end(), 101u), fired.end());
    EXPECT_TRUE(KillTimer(hwnd, 100));
    EXPECT_FALSE(KillTimer(hwnd, 100));
    DestroyWindow(hwnd);
    // The window's other timer went with it.
    EXPECT_FALSE(KillTimer(hwnd, 101));
    EXPECT_FALSE(SetTimer(hwnd, 5, 10, nullptr));
}

TEST(Queue, TimersFollowTheKernelsClockWhenItIsSteppedByHand)
{
    MessageLog log({});
    int fired = 0;
    log.react = [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT*) {
        if (msg == WM_TIMER)
            ++fired;
        return false;
    };
    HWND hwnd = MakeWindow("stepped");
    YondaClockSetManual(TRUE);
    SetTimer(hwnd, 7, 500, nullptr);
    MSG msg;
    // However long real time passes, a stopped clock makes no timer due.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(fired, 0);
    YondaClockAdvance(499);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(fired, 0);
    // A thread asleep in GetMessage wakes when another thread steps the clock past the timer.
    std::thread stepper([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        YondaClockAdvance(1);
    });
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    stepper.join();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.time, GetTickCount());
    DispatchMessageA(&msg);
    EXPECT_EQ(fired, 1);
    // One WM_TIMER per due time, not one per period missed.
    YondaClockAdvance(5000);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(fired, 2);
    YondaClockSetManual(FALSE);
    DestroyWindow(hwnd);
}

TEST(Queue, RegisteredMessagesAreStablePerName)
{
    UINT a = RegisterWindowMessageA("Yonda.Test");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("Yonda.Test"), a);
    EXPECT_NE(RegisterWindowMessageA("Yonda.Other"), a);
}

TEST(Queue, OneQueueHoldsTenThousandPostsAndRefusesMore)
{
    MessageLog log({});
    HWND hwnd = MakeWindow("busy");
    // A poster on another thread, as a network library's receive thread is.
    int accepted = 0;
    DWORD refusal = 0;
    std::thread poster([&] {
        for (int i = 0; i < 10050; ++i) {
            if (PostMessageA(hwnd, WM_USER + 9, static_cast<WPARAM>(i), 0))
                ++accepted;
            else if (!refusal)
                refusal = GetLastError();
        }
    });
    poster.join();
    EXPECT_EQ(accepted, 10000);
    EXPECT_EQ(refusal, static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    // Thread messages share the limit of their queue.
    EXPECT_FALSE(PostMessageA(nullptr, WM_USER + 9, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    // One taken, one more fits; the order is kept.
    EXPECT_TRUE(PostMessageA(hwnd, WM_USER + 9, 77777, 0));
    int taken = 0;
    WPARAM last = 0;
    while (PeekMessageA(&msg, hwnd, 0, 0, PM_REMOVE)) {
        ++taken;
        last = msg.wParam;
    }
    EXPECT_EQ(taken, 10000);
    EXPECT_EQ(last, 77777u);
    DestroyWindow(hwnd);
}

} // namespace
