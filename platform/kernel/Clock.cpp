// One clock behind every time function, so fades, motions and walks that read different
// counters stay in step, and tests can stop and step it.
#include "Clock.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <mutex>

namespace {

constexpr int64_t kNanosPerSecond = 1'000'000'000;
constexpr int64_t kCounterFrequency = 10'000'000; // 100 ns ticks

int64_t HostNanos(clockid_t id)
{
    timespec ts{};
    clock_gettime(id, &ts);
    return int64_t(ts.tv_sec) * kNanosPerSecond + ts.tv_nsec;
}

class Clock {
public:
    Clock() : m_wallAtStart(HostNanos(CLOCK_REALTIME)), m_monoAtStart(HostNanos(CLOCK_MONOTONIC)) {}

    // Nanoseconds on a monotonic scale.
    int64_t Now() const
    {
        if (!m_manual.load(std::memory_order_acquire))
            return HostNanos(CLOCK_MONOTONIC) + m_offset.load(std::memory_order_relaxed);
        std::lock_guard lock(m_mutex);
        return m_frozen;
    }

    // Wall-clock nanoseconds since 1970, moving with Now().
    int64_t Wall() const { return m_wallAtStart + (Now() - m_monoAtStart); }

    void SetManual(bool manual)
    {
        std::lock_guard lock(m_mutex);
        bool was = m_manual.load(std::memory_order_relaxed);
        if (manual && !was) {
            m_frozen = HostNanos(CLOCK_MONOTONIC) + m_offset.load(std::memory_order_relaxed);
            m_manual.store(true, std::memory_order_release);
        } else if (!manual && was) {
            m_offset.store(m_frozen - HostNanos(CLOCK_MONOTONIC), std::memory_order_relaxed);
            m_manual.store(false, std::memory_order_release);
        }
    }

    void Advance(DWORD milliseconds)
    {
        std::lock_guard lock(m_mutex);
        int64_t step = int64_t(milliseconds) * 1'000'000;
        if (m_manual.load(std::memory_order_relaxed))
            m_frozen += step;
        else
            m_offset.fetch_add(step, std::memory_order_relaxed);
    }

private:
    const int64_t m_wallAtStart;
    const int64_t m_monoAtStart;
    mutable std::mutex m_mutex;
    std::atomic<bool> m_manual{false};
    std::atomic<int64_t> m_offset{0};
    int64_t m_frozen = 0;
};

Clock& TheClock()
{
    static Clock& clock = *new Clock;
    return clock;
}

std::atomic<void (*)()> g_advanceListener{nullptr};

// The clock's wall time, broken down locally or in UTC; also answers the nanoseconds.
tm WallTime(bool local, int64_t& wallNanos)
{
    wallNanos = TheClock().Wall();
    time_t seconds = static_cast<time_t>(wallNanos / kNanosPerSecond);
    tm t{};
    if (local)
        localtime_r(&seconds, &t);
    else
        gmtime_r(&seconds, &t);
    return t;
}

void FillSystemTime(bool local, LPSYSTEMTIME st)
{
    if (!st)
        return;
    int64_t wallNanos;
    tm t = WallTime(local, wallNanos);
    st->wYear = static_cast<WORD>(t.tm_year + 1900);
    st->wMonth = static_cast<WORD>(t.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(t.tm_wday);
    st->wDay = static_cast<WORD>(t.tm_mday);
    st->wHour = static_cast<WORD>(t.tm_hour);
    st->wMinute = static_cast<WORD>(t.tm_min);
    st->wSecond = static_cast<WORD>(t.tm_sec);
    st->wMilliseconds = static_cast<WORD>((wallNanos % kNanosPerSecond) / 1'000'000);
}

} // namespace

void YondaClockSetManual(BOOL manual)
{
    TheClock().SetManual(manual != FALSE);
}

void YondaClockAdvance(DWORD milliseconds)
{
    TheClock().Advance(milliseconds);
    if (auto listener = g_advanceListener.load())
        listener();
}

namespace yonda::kernel {

uint64_t ClockMilliseconds()
{
    return static_cast<uint64_t>(TheClock().Now() / 1'000'000);
}

void SetClockAdvanceListener(void (*listener)())
{
    g_advanceListener = listener;
}

} // namespace yonda::kernel

BOOL QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount)
{
    if (!lpPerformanceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpPerformanceCount->QuadPart = TheClock().Now() / (kNanosPerSecond / kCounterFrequency);
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency)
{
    if (!lpFrequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = kCounterFrequency;
    return TRUE;
}

DWORD GetTickCount()
{
    return static_cast<DWORD>(TheClock().Now() / 1'000'000);
}

DWORD timeGetTime()
{
    return GetTickCount();
}

MMRESULT timeBeginPeriod(UINT uPeriod)
{
    return uPeriod == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

MMRESULT timeEndPeriod(UINT uPeriod)
{
    return uPeriod == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR;
}

void GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    FillSystemTime(true, lpSystemTime);
}

void GetSystemTime(LPSYSTEMTIME lpSystemTime)
{
    FillSystemTime(false, lpSystemTime);
}

void _ftime(struct _timeb* timeptr)
{
    if (!timeptr)
        return;
    int64_t wall;
    tm t = WallTime(true, wall);
    timeptr->time = static_cast<time_t>(wall / kNanosPerSecond);
    timeptr->millitm = static_cast<unsigned short>((wall % kNanosPerSecond) / 1'000'000);
    timeptr->timezone = static_cast<short>(-t.tm_gmtoff / 60);
    timeptr->dstflag = static_cast<short>(t.tm_isdst > 0 ? 1 : 0);
}
