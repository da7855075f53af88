// The state the platform keeps per socket beyond the host's: which network events are
// selected, which have been recorded, and which may be recorded again.
#pragma once

#include "Sockets.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace yonda::winsock {

struct EventObject;

struct SocketState {
    int fd = -1;
    long mask = 0;
    EventObject* event = nullptr;
    long recorded = 0;
    int errors[10] = {};
    bool connecting = false;
    // FD_WRITE is recorded once when sending becomes possible, and again only after a send
    // was refused for want of room; FD_READ once per arrival until the data is received.
    bool writeArmed = true;
    bool readArmed = true;
    bool closeRecorded = false;
};

struct SocketTable {
    std::mutex mutex;
    std::map<int, SocketState> sockets;
};

SocketTable& Sockets();
// With the table locked: the socket or null (and WSAENOTSOCK).
SocketState* Find(int64_t socket);
// Runs action(state) with the table locked and answers what it answers; -1 (with the error
// set) when Winsock is not started or the socket is none of ours.
template <typename Action>
int WithSocket(int64_t socket, Action action)
{
    if (!Started())
        return -1;
    std::lock_guard lock(Sockets().mutex);
    SocketState* state = Find(socket);
    return state ? action(*state) : -1;
}
bool SetHostNonBlocking(int fd, bool nonBlocking);
// With the table locked: records what poll reported for the socket and signals its event.
void Record(SocketState& state, short revents);
// With the table locked: the poll events that could still record something.
short Wanted(const SocketState& state);
int WsaErrorFromErrno(int error);

} // namespace yonda::winsock
