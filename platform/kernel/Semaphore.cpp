// Semaphores: a count that each satisfied wait takes one from.
#include "KernelObject.h"

namespace yonda::kernel {
namespace {

class SemaphoreObject : public Waitable {
public:
    SemaphoreObject(LONG count, LONG maximum) : m_count(count), m_maximum(maximum) {}

    bool IsSignalled(DWORD) const override { return m_count > 0; }
    bool Acquire(DWORD) override
    {
        --m_count;
        return false;
    }

    // Under the dispatcher lock.
    bool Release(LONG count, LONG* previous)
    {
        if (count <= 0 || count > m_maximum - m_count)
            return false;
        if (previous)
            *previous = m_count;
        m_count += count;
        return true;
    }

private:
    LONG m_count;
    const LONG m_maximum;
};

} // namespace
} // namespace yonda::kernel

using namespace yonda::kernel;

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES lpSemaphoreAttributes, LONG lInitialCount, LONG lMaximumCount,
                        LPCSTR lpName)
{
    if (lMaximumCount <= 0 || lInitialCount < 0 || lInitialCount > lMaximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateKernelObject<SemaphoreObject>(
        lpName, [&] { return std::make_shared<SemaphoreObject>(lInitialCount, lMaximumCount); });
}

BOOL ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount, LPLONG lpPreviousCount)
{
    auto semaphore = LookupHandleAs<SemaphoreObject>(hSemaphore);
    if (!semaphore)
        return FALSE;
    bool released;
    {
        std::lock_guard lock(DispatcherLock());
        released = semaphore->Release(lReleaseCount, lpPreviousCount);
    }
    if (!released) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    NotifyWaiters();
    return TRUE;
}
