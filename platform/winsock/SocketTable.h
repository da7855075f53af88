// The state the platform keeps per socket beyond the host's: which network events are
// selected, which have been recorded, and which may be recorded again.
#pragma once

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
// With the table locked: records what poll reported for the socket and signals its event.
void Record(SocketState& state, short revents);
// With the table locked: the poll events that could still record something.
short Wanted(const SocketState& state);
int WsaErrorFromErrno(int error);

} // namespace yonda::winsock
