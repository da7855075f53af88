#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Closes a handle when the test leaves, whatever happened.
struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle()
    {
        if (h)
            CloseHandle(h);
    }
    operator HANDLE() const { return h; }
};

TEST(Events, AutoResetReleasesOneWaitManualResetReleasesAllUntilReset)
{
    Handle autoEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    Handle manualEvent(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    ASSERT_NE(autoEvent.h, nullptr);
    ASSERT_NE(manualEvent.h, nullptr);

    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    ASSERT_TRUE(SetEvent(autoEvent));
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_EQ(WaitForSingleObject(manualEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(manualEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    ASSERT_TRUE(ResetEvent(manualEvent));
    EXPECT_EQ(WaitForSingleObject(manualEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(Events, OneSignalOfAnAutoResetEventWakesExactlyOneOfTwoWaiters)
{
    Handle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    std::atomic<int> woken{0};
    auto waiter = [&] {
        if (WaitForSingleObject(event, 200) == WAIT_OBJECT_0)
            ++woken;
    };
    std::thread a(waiter), b(waiter);
    SetEvent(event);
    a.join();
    b.join();
    EXPECT_EQ(woken.load(), 1);
}

TEST(Waits, ATimeoutWaitsAboutAsLongAsAsked)
{
    Handle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    auto start = Clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 60), static_cast<DWORD>(WAIT_TIMEOUT));
    auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(59));
    EXPECT_LT(waited, std::chrono::milliseconds(2000));
}

TEST(Waits, AnotherThreadsSignalEndsAnInfiniteWait)
{
    Handle event(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    std::thread setter([&] { SetEvent(event); });
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    setter.join();
}

TEST(Waits, WaitForAnyAnswersTheFirstSignalledIndex)
{
    Handle first(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    Handle second(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    Handle third(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    HANDLE handles[] = {first, second, third};
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), static_cast<DWORD>(WAIT_OBJECT_0 + 1));
    // The auto-reset event was taken; the manual one is next.
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 0), static_cast<DWORD>(WAIT_OBJECT_0 + 2));
    ResetEvent(third);
    EXPECT_EQ(WaitForMultipleObjects(3, handles, FALSE, 10), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(Waits, WaitForAllTakesNothingUntilEverythingIsSignalled)
{
    Handle autoEvent(CreateEventA(nullptr, FALSE, TRUE, nullptr));
    Handle manualEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE handles[] = {autoEvent, manualEvent};
    EXPECT_EQ(WaitForMultipleObjects(2, handles, TRUE, 20), static_cast<DWORD>(WAIT_TIMEOUT));
    // The auto-reset event kept its signal through the failed wait.
    SetEvent(manualEvent);
    EXPECT_EQ(WaitForMultipleObjects(2, handles, TRUE, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(manualEvent, 0), static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(Waits, WaitForAllLeavesAFreeMutexUntakenWhileAnotherObjectIsNotReady)
{
    Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    Handle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE handles[] = {mutex, event};
    EXPECT_EQ(WaitForMultipleObjects(2, handles, TRUE, 10), static_cast<DWORD>(WAIT_TIMEOUT));
    // Had the failed wait taken the mutex, another thread could not have it now.
    DWORD other = WAIT_FAILED;
    std::thread([&] {
        other = WaitForSingleObject(mutex, 0);
        ReleaseMutex(mutex);
    }).join();
    EXPECT_EQ(other, static_cast<DWORD>(WAIT_OBJECT_0));
}

TEST(Waits, WaitForAllThreadsToEnd)
{
    HANDLE threads[3];
    for (HANDLE& thread : threads) {
        thread = CreateThread(
            nullptr, 0,
            [](LPVOID) -> DWORD {
                Sleep(1);
                return 0;
            },
            nullptr, 0, nullptr);
        ASSERT_NE(thread, nullptr);
    }
    EXPECT_EQ(WaitForMultipleObjects(3, threads, TRUE, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    for (HANDLE thread : threads) {
        DWORD code = STILL_ACTIVE;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(thread);
    }
}

TEST(Waits, BadArgumentsFailWithoutWaiting)
{
    Handle event(CreateEventA(nullptr, TRUE, TRUE, nullptr));
    HANDLE same[] = {event, event};
    EXPECT_EQ(WaitForMultipleObjects(2, same, TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WaitForMultipleObjects(0, same, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, same, FALSE, 0), WAIT_FAILED);
}

TEST(Handles, StaleForeignAndMadeUpHandlesFailWithoutCrashing)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    // The slot is reused by the next object; the old handle must not reach it.
    Handle reuse(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    const HANDLE bad[] = {event, nullptr, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x1234),
                          reinterpret_cast<HANDLE>(&reuse)};
    for (HANDLE h : bad) {
        SetLastError(0);
        EXPECT_FALSE(SetEvent(h));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(WaitForSingleObject(reuse, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // A handle of another kind answers failure too.
    Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    EXPECT_FALSE(SetEvent(mutex));
    EXPECT_FALSE(ReleaseSemaphore(mutex, 1, nullptr));
    EXPECT_FALSE(ResumeThread(mutex) != static_cast<DWORD>(-1));
}

TEST(NamedObjects, ASecondCreateOpensTheSameObject)
{
    Handle first(CreateEventA(nullptr, TRUE, FALSE, "YondaKernelTestEvent"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Handle second(CreateEventA(nullptr, FALSE, TRUE, "YondaKernelTestEvent"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_NE(second.h, nullptr);
    EXPECT_NE(second.h, first.h);
    SetEvent(second);
    EXPECT_EQ(WaitForSingleObject(first, 0), static_cast<DWORD>(WAIT_OBJECT_0));

    // Names are one space for every kind of object.
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "YondaKernelTestEvent"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Semaphores, CountAndMaximum)
{
    Handle semaphore(CreateSemaphoreA(nullptr, 1, 2, nullptr));
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
    EXPECT_EQ(previous, 0);
    EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
    EXPECT_EQ(CreateSemaphoreA(nullptr, 3, 2, nullptr), nullptr);
}

TEST(Mutexes, TheOwnerEntersAgainOthersWaitAndAnEndedOwnerAbandonsIt)
{
    Handle mutex(CreateMutexA(nullptr, TRUE, nullptr));
    EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_OBJECT_0)); // owned twice now
    DWORD other = 0;
    std::thread([&] {
        other = WaitForSingleObject(mutex, 0);
        EXPECT_FALSE(ReleaseMutex(mutex));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    }).join();
    EXPECT_EQ(other, static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));

    // A kernel thread that ends while owning the mutex leaves it abandoned.
    HANDLE thread = CreateThread(
        nullptr, 0, [](LPVOID parameter) -> DWORD { return WaitForSingleObject(static_cast<HANDLE>(parameter), 0); },
        mutex.h, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_ABANDONED));
    EXPECT_EQ(WaitForSingleObject(mutex, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
}

TEST(Interlocked, AnswersTheNewCountAndCountsEveryIncrement)
{
    LONG volatile count = 0;
    EXPECT_EQ(InterlockedIncrement(&count), 1);
    EXPECT_EQ(InterlockedDecrement(&count), 0);
    EXPECT_EQ(InterlockedExchange(&count, 5), 0);
    EXPECT_EQ(InterlockedCompareExchange(&count, 9, 4), 5);
    EXPECT_EQ(InterlockedCompareExchange(&count, 9, 5), 5);
    EXPECT_EQ(InterlockedExchangeAdd(&count, 1), 9);
    count = 0;
    std::thread threads[4];
    for (auto& t : threads)
        t = std::thread([&] {
            for (int i = 0; i < 10000; ++i)
                InterlockedIncrement(&count);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(count, 40000);
}

} // namespace
