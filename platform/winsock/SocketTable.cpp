// Sockets on the host: creation, the non-blocking connect, sending and receiving, and the
// translation of the host's errors into the platform's.
#include "SocketTable.h"
#include "Sockets.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace yonda::winsock {

namespace {

thread_local int t_lastError = 0;
std::atomic<int> g_startups{0};

// Winsock error numbers, kept here rather than shared with the platform header.
enum : int {
    kNotInitialised = 10093,
    kNotSocket = 10038,
    kWouldBlock = 10035,
    kInvalid = 10022,
    kFault = 10014,
    kHostNotFound = 11001,
};

bool Fd(int64_t socket, int* fd)
{
    if (socket < 0 || socket > INT32_MAX)
        return false;
    *fd = static_cast<int>(socket);
    return true;
}

} // namespace

void SetLastError(int wsaError)
{
    t_lastError = wsaError;
}

int LastError()
{
    return t_lastError;
}

bool Startup()
{
    ++g_startups;
    return true;
}

bool Cleanup()
{
    int count = g_startups.load();
    while (count > 0 && !g_startups.compare_exchange_weak(count, count - 1)) {
    }
    if (count <= 0) {
        SetLastError(kNotInitialised);
        return false;
    }
    return true;
}

bool Started()
{
    if (g_startups.load() > 0)
        return true;
    SetLastError(kNotInitialised);
    return false;
}

int WsaErrorFromErrno(int error)
{
    switch (error) {
    case EAGAIN: return kWouldBlock;
    case EINPROGRESS: return kWouldBlock;
    case EALREADY: return 10037;
    case EINTR: return 10004;
    case EBADF: return kNotSocket;
    case ENOTSOCK: return kNotSocket;
    case EACCES: return 10013;
    case EFAULT: return kFault;
    case EINVAL: return kInvalid;
    case EMFILE: return 10024;
    case ENFILE: return 10024;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return 10053;
    case ECONNRESET: return 10054;
    case EPIPE: return 10058;
    case ENOBUFS: return 10055;
    case ENOMEM: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case ESHUTDOWN: return 10058;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return 10061;
    case EHOSTUNREACH: return 10065;
    default: return kInvalid;
    }
}

SocketTable& Sockets()
{
    static SocketTable table;
    return table;
}

SocketState* Find(int64_t socket)
{
    int fd = -1;
    auto& sockets = Sockets().sockets;
    auto found = Fd(socket, &fd) ? sockets.find(fd) : sockets.end();
    if (found == sockets.end()) {
        SetLastError(kNotSocket);
        return nullptr;
    }
    return &found->second;
}

int64_t OpenSocket(int family, int type, int protocol)
{
    if (!Started())
        return -1;
    // The platform's numbers for these happen to be the host's; anything else is refused.
    if (family != AF_INET) {
        SetLastError(10047);
        return -1;
    }
    if (type != SOCK_STREAM && type != SOCK_DGRAM) {
        SetLastError(10044);
        return -1;
    }
    int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        SetLastError(WsaErrorFromErrno(errno));
        return -1;
    }
    std::lock_guard lock(Sockets().mutex);
    SocketState state;
    state.fd = fd;
    Sockets().sockets[fd] = state;
    return fd;
}

int ConnectIPv4(int64_t socket, uint32_t addressNetworkOrder, uint16_t portNetworkOrder)
{
    int fd = WithSocket(socket, [](SocketState& state) { return state.fd; });
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = portNetworkOrder;
    address.sin_addr.s_addr = addressNetworkOrder;
    int result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    int error = result == 0 ? 0 : errno;
    return WithSocket(socket, [&](SocketState& state) {
        state.connecting = error == EINPROGRESS;
        if (result == 0)
            return 0;
        SetLastError(WsaErrorFromErrno(error));
        return -1;
    });
}

static int SendLocked(SocketState& state, const char* bytes, int length, int flags)
{
    if (length < 0 || (!bytes && length > 0)) {
        SetLastError(kFault);
        return -1;
    }
    if (state.connecting) {
        // Still connecting: the caller hears FD_WRITE once the connection stands.
        state.writeArmed = true;
        SetLastError(kWouldBlock);
        return -1;
    }
    ssize_t sent = ::send(state.fd, bytes, static_cast<size_t>(length), (flags & MSG_OOB) | MSG_NOSIGNAL);
    if (sent < 0) {
        int error = errno;
        if (error == EAGAIN || error == EWOULDBLOCK)
            state.writeArmed = true;
        // The host says "broken pipe" both for a socket never connected and for one shut down.
        sockaddr_in peer{};
        socklen_t peerLength = sizeof peer;
        if (error == EPIPE && ::getpeername(state.fd, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0)
            error = ENOTCONN;
        SetLastError(WsaErrorFromErrno(error));
        return -1;
    }
    return static_cast<int>(sent);
}

int Send(int64_t socket, const char* bytes, int length, int flags)
{
    return WithSocket(socket, [&](SocketState& state) { return SendLocked(state, bytes, length, flags); });
}

int Receive(int64_t socket, char* bytes, int length, int flags)
{
    // Receiving is what lets the next arrival be reported.
    int fd = WithSocket(socket, [](SocketState& state) {
        state.readArmed = true;
        return state.fd;
    });
    if (fd < 0)
        return -1;
    if (length < 0 || (!bytes && length > 0)) {
        SetLastError(kFault);
        return -1;
    }
    ssize_t got = ::recv(fd, bytes, static_cast<size_t>(length), flags & MSG_PEEK);
    if (got < 0) {
        SetLastError(WsaErrorFromErrno(errno));
        return -1;
    }
    return static_cast<int>(got);
}

int Shutdown(int64_t socket, int how)
{
    static_assert(SHUT_RD == 0 && SHUT_WR == 1 && SHUT_RDWR == 2, "shutdown modes");
    return WithSocket(socket, [how](SocketState& state) {
        if (how < 0 || how > 2) {
            SetLastError(kInvalid);
            return -1;
        }
        if (::shutdown(state.fd, how) != 0) {
            SetLastError(WsaErrorFromErrno(errno));
            return -1;
        }
        return 0;
    });
}

int Close(int64_t socket)
{
    int fd = WithSocket(socket, [](SocketState& state) {
        int closing = state.fd;
        Sockets().sockets.erase(closing);
        return closing;
    });
    if (fd < 0)
        return -1;
    ::close(fd);
    return 0;
}

int SetNonBlocking(int64_t socket, bool nonBlocking)
{
    return WithSocket(socket,
                      [nonBlocking](SocketState& state) { return SetHostNonBlocking(state.fd, nonBlocking) ? 0 : -1; });
}

bool SetHostNonBlocking(int fd, bool nonBlocking)
{
    int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, nonBlocking ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) < 0) {
        SetLastError(WsaErrorFromErrno(errno));
        return false;
    }
    return true;
}

bool ParseIPv4(const char* text, uint32_t* addressNetworkOrder)
{
    in_addr address{};
    if (!text || ::inet_aton(text, &address) == 0)
        return false;
    *addressNetworkOrder = address.s_addr;
    return true;
}

bool ResolveIPv4(const char* name, std::string* canonicalName, std::vector<uint32_t>* addresses)
{
    if (!Started())
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* list = nullptr;
    if (!name || ::getaddrinfo(name, nullptr, &hints, &list) != 0 || !list) {
        SetLastError(kHostNotFound);
        return false;
    }
    *canonicalName = list->ai_canonname ? list->ai_canonname : name;
    addresses->clear();
    for (addrinfo* entry = list; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in))
            continue;
        sockaddr_in address{};
        std::memcpy(&address, entry->ai_addr, sizeof address);
        bool seen = false;
        for (uint32_t known : *addresses)
            seen = seen || known == address.sin_addr.s_addr;
        if (!seen)
            addresses->push_back(address.sin_addr.s_addr);
    }
    ::freeaddrinfo(list);
    if (addresses->empty()) {
        SetLastError(kHostNotFound);
        return false;
    }
    return true;
}

} // namespace yonda::winsock
