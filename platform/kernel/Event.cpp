// Events: manual-reset events stay signalled until reset; auto-reset events release one waiter
// and reset themselves.
#include "KernelObject.h"

namespace yonda::kernel {
namespace {

class EventObject : public Waitable {
public:
    EventObject(bool manualReset, bool signalled) : m_manualReset(manualReset), m_signalled(signalled) {}

    bool IsSignalled(DWORD) const override { return m_signalled; }
    bool Acquire(DWORD) override
    {
        if (!m_manualReset)
            m_signalled = false;
        return false;
    }

    void Set(bool signalled) { m_signalled = signalled; }

private:
    const bool m_manualReset;
    bool m_signalled; // under the dispatcher lock
};

} // namespace
} // namespace yonda::kernel

using namespace yonda::kernel;

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName)
{
    return CreateKernelObject<EventObject>(
        lpName, [&] { return std::make_shared<EventObject>(bManualReset != FALSE, bInitialState != FALSE); });
}

BOOL SetEvent(HANDLE hEvent)
{
    auto event = LookupHandleAs<EventObject>(hEvent);
    if (!event)
        return FALSE;
    {
        std::lock_guard lock(DispatcherLock());
        event->Set(true);
    }
    NotifyWaiters();
    return TRUE;
}

BOOL ResetEvent(HANDLE hEvent)
{
    auto event = LookupHandleAs<EventObject>(hEvent);
    if (!event)
        return FALSE;
    std::lock_guard lock(DispatcherLock());
    event->Set(false);
    return TRUE;
}
