#include "Server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <charconv>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Log.h"
#include "Timing.h"

namespace yonda::service {

namespace {

constexpr uint64_t kListenerTag = 0;
constexpr uint64_t kWakeTag = UINT64_MAX;

} // namespace

struct Server::Connection {
    ConnectionId id = 0;
    int fd = -1;
    uint32_t address = 0;
    std::string peer;
    wire::FrameAssembler input;
    std::vector<uint8_t> output; // frames waiting to be written, from outputOffset on
    size_t outputOffset = 0;
    bool wantWrite = false; // the socket is full: epoll says when it drains
    bool dirty = false;     // output was queued during this turn of the loop
    bool closing = false;   // close once the output is written
    bool authenticated = false;
    int64_t connectedAt = 0;
    int64_t lastReceived = 0;
    int64_t partialSince = 0; // when the bytes of an incomplete frame started to wait
    TokenBucket frames;

    explicit Connection(size_t maxFrame) : input(maxFrame) {}
};

Server::Server(Handler& handler, Limits limits) : m_handler(handler), m_limits(limits)
{
    // As many connections as the system lets this process have.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    m_spare = open("/dev/null", O_RDONLY | O_CLOEXEC);
    m_epoll = epoll_create1(EPOLL_CLOEXEC);
    m_wake = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kWakeTag;
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &event);
}

Server::~Server()
{
    for (auto& [id, connection] : m_connections)
        ::close(connection->fd);
    if (m_listener >= 0)
        ::close(m_listener);
    ::close(m_wake);
    ::close(m_epoll);
    if (m_spare >= 0)
        ::close(m_spare);
}

bool Server::listen(const std::string& addressAndPort)
{
    size_t colon = addressAndPort.rfind(':');
    std::string host = colon == std::string::npos ? addressAndPort : addressAndPort.substr(0, colon);
    int port = 7001;
    if (colon != std::string::npos) {
        const char* digits = addressAndPort.c_str() + colon + 1;
        auto [end, error] = std::from_chars(digits, addressAndPort.c_str() + addressAndPort.size(), port);
        if (error != std::errc() || *end || end == digits)
            port = -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (port < 0 || port > 65535 || inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        logError("cannot listen on \"%s\": not an IPv4 address and port", addressAndPort.c_str());
        return false;
    }
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 512) != 0) {
        logError("cannot listen on %s: %s", addressAndPort.c_str(), std::strerror(errno));
        ::close(m_listener);
        m_listener = -1;
        return false;
    }
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = kListenerTag;
    epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_listener, &event);
    return true;
}

void Server::run()
{
    epoll_event events[256];
    int64_t lastSweep = nowMs();
    while (!m_stopRequested) {
        int count = epoll_wait(m_epoll, events, 256, waitMs(nowMs()));
        if (count < 0 && errno != EINTR) {
            logError("event loop failed: %s", std::strerror(errno));
            break;
        }
        for (int i = 0; i < count; ++i) {
            uint64_t tag = events[i].data.u64;
            if (tag == kListenerTag) {
                accept();
                continue;
            }
            if (tag == kWakeTag) {
                uint64_t value;
                while (read(m_wake, &value, sizeof value) > 0) {
                }
                drainPosted();
                continue;
            }
            auto found = m_connections.find(tag);
            if (found == m_connections.end())
                continue;
            Connection& connection = *found->second;
            if (events[i].events & (EPOLLERR | EPOLLHUP)) {
                // Read what is left first: a peer may send its last frames and close at once.
                readFrom(connection);
                close(connection.id, nullptr);
            } else {
                if (events[i].events & EPOLLIN)
                    readFrom(connection);
                if (events[i].events & EPOLLOUT)
                    writeTo(connection);
            }
        }
        int64_t now = nowMs();
        runDue(now);
        if (now - lastSweep >= 500) {
            sweep(now);
            lastSweep = now;
        }
        finishTurn();
    }
    m_handler.onStopped();
}

void Server::after(int delayMs, std::function<void()> work)
{
    m_due.push({nowMs() + std::max(0, delayMs), m_dueOrder++, std::move(work)});
}

void Server::runDue(int64_t now)
{
    while (!m_due.empty() && m_due.top().at <= now) {
        auto work = std::move(const_cast<Due&>(m_due.top()).work);
        m_due.pop();
        work();
    }
}

int Server::waitMs(int64_t now) const
{
    if (m_due.empty())
        return 500;
    return static_cast<int>(std::clamp<int64_t>(m_due.top().at - now, 0, 500));
}

uint32_t Server::address(ConnectionId id) const
{
    auto found = m_connections.find(id);
    return found == m_connections.end() ? 0 : found->second->address;
}

std::string Server::peer(ConnectionId id) const
{
    auto found = m_connections.find(id);
    return found == m_connections.end() ? std::string() : found->second->peer;
}

void Server::stop()
{
    m_stopRequested = true;
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(m_wake, &one, sizeof one);
}

void Server::post(std::function<void()> work)
{
    {
        std::lock_guard lock(m_postedLock);
        m_posted.push_back(std::move(work));
    }
    uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(m_wake, &one, sizeof one);
}

void Server::drainPosted()
{
    std::vector<std::function<void()>> work;
    {
        std::lock_guard lock(m_postedLock);
        work.swap(m_posted);
    }
    for (auto& item : work)
        item();
}

void Server::accept()
{
    for (;;) {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        int fd = accept4(m_listener, reinterpret_cast<sockaddr*>(&address), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if ((errno == EMFILE || errno == ENFILE) && m_spare >= 0) {
                // Out of descriptors: take the waiting connection with the spare one and close it,
                // or the listener would report it again at once, forever.
                ::close(m_spare);
                int refused = ::accept(m_listener, nullptr, nullptr);
                m_spare = open("/dev/null", O_RDONLY | O_CLOEXEC);
                if (refused < 0)
                    return; // nobody was waiting after all
                ::close(refused);
                logWarning("refused a connection: %s", std::strerror(EMFILE));
                continue;
            }
            return;
        }
        char text[INET_ADDRSTRLEN] = "?";
        inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
        std::string peer = std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
        uint32_t from = ntohl(address.sin_addr.s_addr);
        // Refused before anything is read: the peer sees its connection closed at once.
        if (m_connections.size() >= m_limits.maxConnections) {
            logWarning("%s refused: %zu connections already", peer.c_str(), m_connections.size());
            ::close(fd);
            continue;
        }
        size_t& fromThere = m_perAddress[from];
        if (fromThere >= m_limits.perAddressConnections()) {
            logWarning("%s refused: %zu connections from that address already", peer.c_str(), fromThere);
            ::close(fd);
            continue;
        }
        ++fromThere;
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        // Keep-alive finds peers that vanished without closing (a half-open connection).
        setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
        int idle = 60, interval = 10, probes = 3;
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
        setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);

        auto connection = std::make_unique<Connection>(m_limits.maxFrame);
        connection->id = m_nextId++;
        connection->fd = fd;
        connection->address = from;
        connection->peer = std::move(peer);
        connection->connectedAt = connection->lastReceived = nowMs();
        connection->frames = TokenBucket(m_limits.frameBurst, m_limits.framesPerSecond, connection->connectedAt);
        logInfo("%s connected", connection->peer.c_str());
        epoll_event event{};
        event.events = EPOLLIN | EPOLLRDHUP;
        event.data.u64 = connection->id;
        epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
        m_connections.emplace(connection->id, std::move(connection));
    }
}

void Server::readFrom(Connection& connection)
{
    if (connection.closing)
        return;
    uint8_t buffer[16384];
    for (;;) {
        ssize_t count = recv(connection.fd, buffer, sizeof buffer, 0);
        if (count == 0) {
            close(connection.id, nullptr);
            return;
        }
        if (count < 0) {
            // A peer that vanished (keep-alive gave up, reset) is worth a line; a quiet socket is not.
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                close(connection.id, std::strerror(errno));
            break;
        }
        int64_t now = nowMs();
        connection.lastReceived = now;
        connection.input.append(buffer, static_cast<size_t>(count));
        while (auto frame = connection.input.next()) {
            if (!connection.frames.take(now)) {
                close(connection.id, "sends faster than allowed");
                return;
            }
            m_handler.onFrame(connection.id, *frame);
            // The handler may have closed this connection; the object lives until the turn ends.
            if (connection.closing)
                return;
        }
        if (connection.input.failed()) {
            close(connection.id, "sent a malformed or oversized frame");
            return;
        }
        connection.partialSince =
            connection.input.pending() > 0 ? (connection.partialSince ? connection.partialSince : now) : 0;
        if (static_cast<size_t>(count) < sizeof buffer)
            break;
    }
}

void Server::send(ConnectionId id, const std::vector<uint8_t>& frame)
{
    auto found = m_connections.find(id);
    if (found == m_connections.end() || frame.empty())
        return;
    Connection& connection = *found->second;
    if (connection.closing)
        return;
    if (connection.output.size() - connection.outputOffset + frame.size() > m_limits.maxQueuedOutput) {
        close(id, "does not read what it is sent");
        return;
    }
    connection.output.insert(connection.output.end(), frame.begin(), frame.end());
    // Written at the end of the loop's turn, so the frames of one turn go out in one write.
    if (!connection.dirty && !connection.wantWrite) {
        connection.dirty = true;
        m_dirty.push_back(id);
    }
}

void Server::finishTurn()
{
    // Closing a connection tells others (a member left), which queues output, which may find
    // another connection gone: repeat until nothing is left to write or close.
    while (!m_dirty.empty() || !m_doomed.empty()) {
        flush();
        std::vector<ConnectionId> doomed;
        doomed.swap(m_doomed);
        for (ConnectionId id : doomed)
            destroy(id);
    }
}

void Server::flush()
{
    for (size_t i = 0; i < m_dirty.size(); ++i) {
        auto found = m_connections.find(m_dirty[i]);
        if (found == m_connections.end())
            continue;
        found->second->dirty = false;
        writeTo(*found->second);
    }
    m_dirty.clear();
}

void Server::writeTo(Connection& connection)
{
    while (connection.outputOffset < connection.output.size()) {
        ssize_t count = ::send(connection.fd, connection.output.data() + connection.outputOffset,
                               connection.output.size() - connection.outputOffset, MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                break;
            if (errno == EINTR)
                continue;
            close(connection.id, nullptr);
            return;
        }
        connection.outputOffset += static_cast<size_t>(count);
    }
    if (connection.outputOffset == connection.output.size()) {
        connection.output.clear();
        connection.outputOffset = 0;
    } else if (connection.outputOffset > 65536) {
        connection.output.erase(connection.output.begin(),
                                connection.output.begin() + static_cast<std::ptrdiff_t>(connection.outputOffset));
        connection.outputOffset = 0;
    }
    bool want = !connection.output.empty();
    if (want != connection.wantWrite) {
        connection.wantWrite = want;
        updateInterest(connection);
    }
    if (!want && connection.closing)
        m_doomed.push_back(connection.id);
}

void Server::updateInterest(Connection& connection)
{
    epoll_event event{};
    event.events = EPOLLIN | EPOLLRDHUP | (connection.wantWrite ? EPOLLOUT : 0u);
    event.data.u64 = connection.id;
    epoll_ctl(m_epoll, EPOLL_CTL_MOD, connection.fd, &event);
}

void Server::setAuthenticated(ConnectionId id)
{
    auto found = m_connections.find(id);
    if (found != m_connections.end())
        found->second->authenticated = true;
}

void Server::closeAfterSend(ConnectionId id)
{
    auto found = m_connections.find(id);
    if (found == m_connections.end() || found->second->closing)
        return;
    Connection& connection = *found->second;
    connection.closing = true;
    shutdown(connection.fd, SHUT_RD);
    writeTo(connection);
}

void Server::close(ConnectionId id, const char* reason)
{
    auto found = m_connections.find(id);
    if (found == m_connections.end())
        return;
    Connection& connection = *found->second;
    if (reason)
        logWarning("%s closed: %s", connection.peer.c_str(), reason);
    if (!connection.closing || !connection.output.empty()) {
        connection.closing = true;
        connection.output.clear();
        m_doomed.push_back(id);
    }
}

void Server::destroy(ConnectionId id)
{
    auto found = m_connections.find(id);
    if (found == m_connections.end())
        return;
    Connection& connection = *found->second;
    epoll_ctl(m_epoll, EPOLL_CTL_DEL, connection.fd, nullptr);
    ::close(connection.fd);
    auto fromThere = m_perAddress.find(connection.address);
    if (fromThere != m_perAddress.end() && --fromThere->second == 0)
        m_perAddress.erase(fromThere);
    logInfo("%s disconnected", connection.peer.c_str());
    m_connections.erase(found);
    m_handler.onClosed(id);
}

void Server::sweep(int64_t now)
{
    for (auto& [id, connection] : m_connections) {
        if (connection->closing)
            continue;
        if (!connection->authenticated && now - connection->connectedAt > m_limits.loginTimeoutMs)
            close(id, "did not log in in time");
        else if (now - connection->lastReceived > m_limits.idleTimeoutMs)
            close(id, "silent for too long");
        else if (connection->partialSince && now - connection->partialSince > m_limits.partialFrameTimeoutMs)
            close(id, "left a frame unfinished");
    }
}

} // namespace yonda::service
