// Kernel objects behind checked handles, and the one lock that every wait and every signal
// takes, so a wait on several objects sees them all in one consistent state.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace yonda::kernel {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

// An object a thread can wait for. Both calls run with the dispatcher lock held.
class Waitable : public KernelObject {
public:
    virtual bool IsSignalled(DWORD threadId) const = 0;
    // Takes what the satisfied wait consumes (an auto-reset event's signal, a mutex's ownership,
    // a semaphore's count). Answers true when a mutex was abandoned by its owner.
    virtual bool Acquire(DWORD threadId) { return false; }
};

std::mutex& DispatcherLock();
// Wakes every waiter to look again; call after a change made under the dispatcher lock.
void NotifyWaiters();
// Waits on the dispatcher lock (held by `lock`) until woken or the deadline passes.
using Deadline = std::chrono::steady_clock::time_point;
bool WaitForChange(std::unique_lock<std::mutex>& lock, const Deadline* deadline);

HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
bool RemoveHandle(HANDLE handle);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle)
{
    auto object = std::dynamic_pointer_cast<T>(LookupHandle(handle));
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

// The process's names of events, mutexes and semaphores (one name space, as on the platform). A
// name lives while a handle to its object is open. Answers the existing object (existed = true)
// or the one `make` creates; make may answer nullptr (creation failed; last error set).
std::shared_ptr<KernelObject> FindOrCreateNamedObject(const std::string& name,
                                                      const std::function<std::shared_ptr<KernelObject>()>& make,
                                                      bool& existed);

// Creates an event, mutex or semaphore behind a new handle, or opens the object of that name
// (last error ERROR_ALREADY_EXISTS; also when *existsElsewhere, set by make). A name taken by an
// object of another kind fails with ERROR_INVALID_HANDLE.
template <class T>
HANDLE CreateKernelObject(LPCSTR name, const std::function<std::shared_ptr<T>()>& make,
                          const bool* existsElsewhere = nullptr)
{
    std::shared_ptr<KernelObject> object;
    bool existed = false;
    if (name && *name)
        object = FindOrCreateNamedObject(
            name, [&]() -> std::shared_ptr<KernelObject> { return make(); }, existed);
    else
        object = make();
    if (existed && !std::dynamic_pointer_cast<T>(object)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HANDLE handle = InsertHandle(object);
    if (handle)
        SetLastError(existed || (existsElsewhere && *existsElsewhere) ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// Maps errno to the platform's error code and sets it as the thread's last error.
void SetLastErrorFromErrno(int error);

} // namespace yonda::kernel
