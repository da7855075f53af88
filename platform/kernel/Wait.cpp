// Waiting for one or several objects. All objects are examined and taken under the one
// dispatcher lock, so "wait for all" takes them together or not at all.
#include "KernelObject.h"
#include "Thread.h"

#include <vector>

using namespace yonda::kernel;

namespace {

DWORD WaitForObjects(const HANDLE* handles, DWORD count, bool waitAll, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    // The objects stay alive for the wait even if another thread closes their handles.
    std::vector<std::shared_ptr<Waitable>> objects;
    objects.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto object = std::dynamic_pointer_cast<Waitable>(LookupHandle(handles[i]));
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        for (const auto& earlier : objects) {
            if (waitAll && earlier == object) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return WAIT_FAILED;
            }
        }
        objects.push_back(std::move(object));
    }

    DWORD self = CurrentThreadId();
    Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    const Deadline* limit = milliseconds == INFINITE ? nullptr : &deadline;
    std::unique_lock lock(DispatcherLock());
    for (;;) {
        if (waitAll) {
            bool all = true;
            for (const auto& object : objects)
                all = all && object->IsSignalled(self);
            if (all) {
                DWORD result = WAIT_OBJECT_0;
                for (DWORD i = 0; i < count; ++i)
                    if (objects[i]->Acquire(self) && result == WAIT_OBJECT_0)
                        result = WAIT_ABANDONED_0 + i;
                return result;
            }
        } else {
            for (DWORD i = 0; i < count; ++i) {
                if (objects[i]->IsSignalled(self))
                    return (objects[i]->Acquire(self) ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + i;
            }
        }
        if (milliseconds == 0 || (limit && std::chrono::steady_clock::now() >= deadline))
            return WAIT_TIMEOUT;
        WaitForChange(lock, limit);
    }
}

} // namespace

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    return WaitForObjects(&hHandle, 1, false, dwMilliseconds);
}

DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds)
{
    return WaitForObjects(lpHandles, nCount, bWaitAll != FALSE, dwMilliseconds);
}
