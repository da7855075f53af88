#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

namespace {

struct Readings {
    LONGLONG counter;
    DWORD ticks;
    DWORD multimedia;
    LONGLONG wallMillis;
};

Readings Read()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    _timeb now;
    _ftime(&now);
    return {counter.QuadPart, GetTickCount(), timeGetTime(), LONGLONG(now.time) * 1000 + now.millitm};
}

class ManualClock : public ::testing::Test {
protected:
    void SetUp() override { YondaClockSetManual(TRUE); }
    void TearDown() override { YondaClockSetManual(FALSE); }
};

TEST_F(ManualClock, StandsStillUntilAdvancedThenEveryCounterMovesTogether)
{
    LARGE_INTEGER frequency;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_GT(frequency.QuadPart, 0);

    Readings before = Read();
    Sleep(5);
    Readings still = Read();
    EXPECT_EQ(still.counter, before.counter);
    EXPECT_EQ(still.ticks, before.ticks);
    EXPECT_EQ(still.wallMillis, before.wallMillis);

    YondaClockAdvance(1500);
    Readings after = Read();
    EXPECT_EQ(after.counter - before.counter, frequency.QuadPart * 3 / 2);
    EXPECT_EQ(after.ticks - before.ticks, 1500u);
    EXPECT_EQ(after.multimedia - before.multimedia, 1500u);
    EXPECT_EQ(after.wallMillis - before.wallMillis, 1500);
}

TEST_F(ManualClock, LeavingManualModeNeverGoesBack)
{
    YondaClockAdvance(60000);
    DWORD manual = GetTickCount();
    YondaClockSetManual(FALSE);
    DWORD real = GetTickCount();
    EXPECT_GE(real - manual, 0u);
    EXPECT_LT(real - manual, 1000u);
}

TEST(Clock, LocalTimeIsAPlausibleDate)
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    EXPECT_GE(local.wYear, 2024);
    EXPECT_GE(local.wMonth, 1);
    EXPECT_LE(local.wMonth, 12);
    EXPECT_LE(local.wDayOfWeek, 6);
    EXPECT_LT(local.wMilliseconds, 1000);
}

} // namespace
