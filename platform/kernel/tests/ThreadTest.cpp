#include <windows.h>
#include <process.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>

namespace {

std::atomic<int> gRuns{0};

DWORD WINAPI CountRun(LPVOID parameter)
{
    ++gRuns;
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
}

TEST(Threads, ASuspendedThreadRunsOnlyWhenResumed)
{
    gRuns = 0;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, CountRun, reinterpret_cast<LPVOID>(uintptr_t(42)), CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    EXPECT_EQ(WaitForSingleObject(thread, 30), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(gRuns.load(), 0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(gRuns.load(), 1);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(ResumeThread(thread), 0u);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_EQ(ResumeThread(thread), static_cast<DWORD>(-1));
}

struct SetOnDestroy {
    std::atomic<bool>* flag;
    ~SetOnDestroy() { *flag = true; }
};

std::atomic<bool> gUnwound{false};
std::atomic<unsigned> gSeenId{0};

void EndFromDeepInside()
{
    SetOnDestroy guard{&gUnwound};
    _endthreadex(7);
}

unsigned __stdcall RuntimeThread(void*)
{
    gSeenId = GetCurrentThreadId();
    EndFromDeepInside();
    return 1; // never reached
}

TEST(Threads, RuntimeThreadsRunAtOnceAndEndWithTheirCodeUnwindingTheStack)
{
    gUnwound = false;
    unsigned id = 0;
    // Flag 1 is not CREATE_SUSPENDED: the thread runs at once.
    uintptr_t handle = _beginthreadex(nullptr, 0, RuntimeThread, nullptr, 1, &id);
    ASSERT_NE(handle, 0u);
    HANDLE thread = reinterpret_cast<HANDLE>(handle);
    ASSERT_EQ(WaitForSingleObject(thread, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(gUnwound.load());
    EXPECT_EQ(gSeenId.load(), id);
    CloseHandle(thread);
}

TEST(Threads, AThreadOutlivesItsClosedHandle)
{
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Events {
        HANDLE go, done;
    } events{go, done};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            auto* e = static_cast<Events*>(parameter);
            WaitForSingleObject(e->go, INFINITE);
            SetEvent(e->done);
            return 0;
        },
        &events, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(CloseHandle(thread));
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(done, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(go);
    CloseHandle(done);
    Sleep(0);
}

TEST(Threads, PseudoHandlesAndPriorities)
{
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL));
    EXPECT_TRUE(CloseHandle(GetCurrentThread()));
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetThreadPriority(nullptr), THREAD_PRIORITY_ERROR_RETURN);
}

TEST(CriticalSections, AreReentrantAndExcludeOtherThreadsUntilTheLastLeave)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section); // the same thread enters again without blocking

    auto otherCanEnter = [&] {
        BOOL entered = FALSE;
        std::thread([&] {
            entered = TryEnterCriticalSection(&section);
            if (entered)
                LeaveCriticalSection(&section);
        }).join();
        return entered != FALSE;
    };
    EXPECT_FALSE(otherCanEnter());
    LeaveCriticalSection(&section);
    EXPECT_FALSE(otherCanEnter());
    LeaveCriticalSection(&section);
    EXPECT_TRUE(otherCanEnter());
    // A leave too many is ignored rather than corrupting the section.
    LeaveCriticalSection(&section);
    EXPECT_TRUE(otherCanEnter());

    // Nested entries from several threads still exclude each other.
    long total = 0;
    std::thread workers[4];
    for (auto& worker : workers)
        worker = std::thread([&] {
            for (int i = 0; i < 2000; ++i) {
                EnterCriticalSection(&section);
                EnterCriticalSection(&section);
                long seen = total;
                LeaveCriticalSection(&section);
                total = seen + 1;
                LeaveCriticalSection(&section);
            }
        });
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(total, 8000);
    DeleteCriticalSection(&section);
}

} // namespace
