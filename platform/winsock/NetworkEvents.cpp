// Event objects and the network events they report. A socket's readiness is looked at with
// poll whenever someone waits or asks, recorded once per condition as the platform does, and
// the selected event object is signalled. Event objects are eventfds, so a wait can sleep in
// one poll on both sockets and events and still wake when another thread sets an event.
#include "SocketTable.h"
#include "Sockets.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace yonda::winsock {

struct EventObject {
    int fd = -1;
    bool signalled = false;
};

namespace {

enum : long {
    kRead = 1 << 0,
    kWrite = 1 << 1,
    kConnect = 1 << 4,
    kClose = 1 << 5,
};
enum : int {
    kReadBit = 0,
    kWriteBit = 1,
    kConnectBit = 4,
    kCloseBit = 5,
};
constexpr int kInvalidHandle = 6;
constexpr int kInvalidParameter = 87;
constexpr int kMaximumWaitEvents = 64;

// Live event objects, guarded by the socket table's mutex.
std::set<EventObject*>& Events()
{
    static std::set<EventObject*> events;
    return events;
}

EventObject* FindEvent(void* handle)
{
    auto* event = static_cast<EventObject*>(handle);
    return Events().count(event) ? event : nullptr;
}

void Signal(EventObject* event)
{
    if (!event || event->signalled)
        return;
    event->signalled = true;
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = ::write(event->fd, &one, sizeof one);
}

void Unsignal(EventObject* event)
{
    event->signalled = false;
    uint64_t count = 0;
    [[maybe_unused]] ssize_t got = ::read(event->fd, &count, sizeof count);
}

void Note(SocketState& state, long event, int bit, int error)
{
    if (!(state.mask & event))
        return;
    state.recorded |= event;
    state.errors[bit] = error;
}

// Brings the socket's record up to date without waiting.
void Refresh(SocketState& state)
{
    short wanted = Wanted(state);
    if (!wanted)
        return;
    pollfd entry{state.fd, wanted, 0};
    if (::poll(&entry, 1, 0) > 0)
        Record(state, entry.revents);
}

} // namespace

short Wanted(const SocketState& state)
{
    if (state.connecting)
        return POLLOUT;
    short wanted = 0;
    if (state.writeArmed && (state.mask & kWrite))
        wanted |= POLLOUT;
    if (state.readArmed && !state.closeRecorded && (state.mask & (kRead | kClose)))
        wanted |= POLLIN | POLLRDHUP;
    return wanted;
}

void Record(SocketState& state, short revents)
{
    const long before = state.recorded;
    if (state.connecting) {
        if (!(revents & (POLLOUT | POLLERR | POLLHUP)))
            return;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(state.fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        state.connecting = false;
        if (error == 0) {
            // Connected: sending is possible from now on, which FD_WRITE reports below.
            Note(state, kConnect, kConnectBit, 0);
        } else {
            int wsaError = WsaErrorFromErrno(error);
            Note(state, kConnect, kConnectBit, wsaError);
            // A refused connection also ends the socket for those who only listen for the
            // close, so they do not wait out their timeout.
            Note(state, kClose, kCloseBit, wsaError);
            state.closeRecorded = true;
            state.writeArmed = false;
        }
    }
    if (!state.connecting) {
        if ((revents & POLLOUT) && state.writeArmed && (state.mask & kWrite)) {
            Note(state, kWrite, kWriteBit, 0);
            state.writeArmed = false;
        }
        if ((revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) && state.readArmed && !state.closeRecorded) {
            // Data first, the close only once everything before it has been received.
            char byte = 0;
            ssize_t got = ::recv(state.fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
            if (got > 0) {
                Note(state, kRead, kReadBit, 0);
                // Until it is received, the data hides whether a close follows it.
                state.readArmed = false;
            } else if (got == 0) {
                Note(state, kClose, kCloseBit, 0);
                state.closeRecorded = true;
            } else if (errno != EAGAIN && errno != EWOULDBLOCK) {
                Note(state, kClose, kCloseBit, WsaErrorFromErrno(errno));
                state.closeRecorded = true;
            }
        }
    }
    if (state.recorded != before)
        Signal(state.event);
}

void* CreateEventObject()
{
    int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0) {
        SetLastError(WsaErrorFromErrno(errno));
        return nullptr;
    }
    auto* event = new EventObject{fd, false};
    std::lock_guard lock(Sockets().mutex);
    Events().insert(event);
    return event;
}

bool CloseEventObject(void* handle)
{
    std::lock_guard lock(Sockets().mutex);
    EventObject* event = FindEvent(handle);
    if (!event) {
        SetLastError(kInvalidHandle);
        return false;
    }
    Events().erase(event);
    for (auto& [fd, state] : Sockets().sockets) {
        if (state.event == event)
            state.event = nullptr;
    }
    ::close(event->fd);
    delete event;
    return true;
}

namespace {

bool WithEvent(void* handle, void (*action)(EventObject*))
{
    std::lock_guard lock(Sockets().mutex);
    EventObject* event = FindEvent(handle);
    if (!event) {
        SetLastError(kInvalidHandle);
        return false;
    }
    action(event);
    return true;
}

} // namespace

bool SetEventObject(void* handle)
{
    return WithEvent(handle, Signal);
}

bool ResetEventObject(void* handle)
{
    return WithEvent(handle, Unsignal);
}

int SelectEvents(int64_t socket, void* handle, long mask)
{
    return WithSocket(socket, [&](SocketState& state) {
        EventObject* event = handle ? FindEvent(handle) : nullptr;
        if (handle && !event) {
            SetLastError(kInvalidHandle);
            return -1;
        }
        if (mask && !event) {
            SetLastError(kInvalidParameter);
            return -1;
        }
        // Selecting makes the socket non-blocking for good, and starts a fresh record.
        if (!SetHostNonBlocking(state.fd, true))
            return -1;
        state.event = event;
        state.mask = mask;
        state.recorded = 0;
        std::fill(std::begin(state.errors), std::end(state.errors), 0);
        state.writeArmed = true;
        state.readArmed = true;
        return 0;
    });
}

int TakeNetworkEvents(int64_t socket, void* handle, long* events, int* errors)
{
    return WithSocket(socket, [&](SocketState& state) {
        EventObject* event = handle ? FindEvent(handle) : nullptr;
        if (handle && !event) {
            SetLastError(kInvalidHandle);
            return -1;
        }
        if (!events || !errors) {
            SetLastError(10014);
            return -1;
        }
        Refresh(state);
        *events = state.recorded;
        std::copy(std::begin(state.errors), std::end(state.errors), errors);
        state.recorded = 0;
        std::fill(std::begin(state.errors), std::end(state.errors), 0);
        if (event)
            Unsignal(event);
        return 0;
    });
}

uint32_t WaitForEvents(uint32_t count, void* const* handles, bool waitAll, uint32_t timeoutMs)
{
    if (count == 0 || count > kMaximumWaitEvents || !handles) {
        SetLastError(kInvalidParameter);
        return kWaitFailed;
    }
    using Clock = std::chrono::steady_clock;
    const bool forever = timeoutMs == 0xFFFFFFFF;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
    bool first = true;
    for (;;) {
        std::vector<pollfd> entries;
        {
            std::lock_guard lock(Sockets().mutex);
            std::vector<EventObject*> events;
            for (uint32_t i = 0; i < count; ++i) {
                EventObject* event = FindEvent(handles[i]);
                if (!event) {
                    SetLastError(kInvalidHandle);
                    return kWaitFailed;
                }
                events.push_back(event);
            }
            // What happened since the last look is recorded before anything is answered.
            for (auto& [fd, state] : Sockets().sockets) {
                if (std::find(events.begin(), events.end(), state.event) != events.end())
                    Refresh(state);
            }
            if (waitAll) {
                if (std::all_of(events.begin(), events.end(), [](EventObject* e) { return e->signalled; }))
                    return 0;
            } else {
                for (uint32_t i = 0; i < count; ++i) {
                    if (events[i]->signalled)
                        return i;
                }
            }
            for (EventObject* event : events) {
                if (!event->signalled)
                    entries.push_back(pollfd{event->fd, POLLIN, 0});
            }
            for (auto& [fd, state] : Sockets().sockets) {
                short wanted = Wanted(state);
                if (wanted && std::find(events.begin(), events.end(), state.event) != events.end()) {
                    entries.push_back(pollfd{fd, wanted, 0});
                }
            }
        }
        int waitMs = -1;
        if (!forever) {
            auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero() && !first)
                return kWaitTimeout;
            // Rounded up: poll must not wake before the deadline and end the wait early.
            waitMs = static_cast<int>(std::max<int64_t>(std::chrono::ceil<std::chrono::milliseconds>(left).count(), 0));
        }
        first = false;
        int ready = ::poll(entries.data(), entries.size(), waitMs);
        if (ready < 0 && errno != EINTR) {
            SetLastError(WsaErrorFromErrno(errno));
            return kWaitFailed;
        }
        if (ready == 0 && !forever && Clock::now() >= deadline) {
            // One last look, so an event that came with the deadline is not lost.
            std::lock_guard lock(Sockets().mutex);
            for (uint32_t i = 0; i < count && !waitAll; ++i) {
                EventObject* event = FindEvent(handles[i]);
                if (event && event->signalled)
                    return i;
            }
            return kWaitTimeout;
        }
    }
}

} // namespace yonda::winsock
