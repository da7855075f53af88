#include "Link.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "protocol/Protocol.h"

namespace yonda::comm {

wire::Reader Reply::fields() const
{
    constexpr size_t kHead = wire::kHeaderSize + 5;
    if (frame.size() < kHead)
        return wire::Reader(nullptr, 0);
    return wire::Reader(frame.data() + kHead, frame.size() - kHead);
}

Link::~Link()
{
    disconnect();
}

namespace {

int connectWithTimeout(const std::string& host, uint16_t port, const std::string& source, int timeoutMs,
                       std::string& failure)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found) {
        failure = "no such host";
        return -1;
    }
    int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd >= 0 && !source.empty()) {
        sockaddr_in local{};
        local.sin_family = AF_INET;
        if (inet_pton(AF_INET, source.c_str(), &local.sin_addr) != 1 ||
            bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
            failure = "cannot use the source address " + source;
            close(fd);
            freeaddrinfo(found);
            return -1;
        }
    }
    int result = fd < 0 ? -1 : ::connect(fd, found->ai_addr, found->ai_addrlen);
    int error = errno;
    freeaddrinfo(found);
    if (fd < 0) {
        failure = std::strerror(error);
        return -1;
    }
    if (result != 0 && error != EINPROGRESS) {
        failure = std::strerror(error);
        close(fd);
        return -1;
    }
    if (result != 0) {
        pollfd waiting{fd, POLLOUT, 0};
        socklen_t length = sizeof error;
        error = 0;
        int ready = poll(&waiting, 1, timeoutMs);
        if (ready != 1 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
            failure = ready == 0 ? "timed out" : std::strerror(error ? error : errno);
            close(fd);
            return -1;
        }
    }
    int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

} // namespace

bool Link::connect(const std::string& host, uint16_t port, int timeoutMs)
{
    disconnect();
    m_failure.clear();
    m_socket = connectWithTimeout(host, port, m_source, timeoutMs, m_failure);
    if (m_socket < 0)
        return false;
    m_closingByUs = false;
    m_valid = true;
    m_receiver = std::thread([this] { receive(); });
    Request hello = begin(proto::Hello);
    hello.writer.u16(proto::kVersion);
    auto reply = call(hello, timeoutMs);
    if (!reply || !reply->ok()) {
        // A service at its connection limits closes a newcomer at once, before any answer.
        m_failure = reply     ? "the service speaks another protocol version"
                    : m_valid ? "no greeting from the service in time"
                              : "closed by the service at once (its connection limits)";
        disconnect();
        return false;
    }
    m_connected = true;
    return true;
}

void Link::disconnect()
{
    m_closingByUs = true;
    m_connected = false;
    m_valid = false;
    if (m_socket >= 0)
        shutdown(m_socket, SHUT_RDWR);
    if (m_receiver.joinable())
        m_receiver.join();
    if (m_socket >= 0) {
        close(m_socket);
        m_socket = -1;
    }
    std::lock_guard lock(m_lock);
    m_waiting.clear();
    m_answered.notify_all();
}

Link::Request Link::begin(uint8_t command)
{
    uint32_t id = m_nextId++;
    Request request{command, id, wire::Writer(command)};
    request.writer.u32(id);
    return request;
}

bool Link::sendAll(const std::vector<uint8_t>& frame)
{
    std::lock_guard lock(m_sendLock);
    size_t sent = 0;
    while (sent < frame.size()) {
        ssize_t count = ::send(m_socket, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        sent += static_cast<size_t>(count);
    }
    return true;
}

std::optional<Reply> Link::call(Request& request, int timeoutMs)
{
    if (!m_valid || m_socket < 0)
        return std::nullopt;
    std::vector<uint8_t> frame = request.writer.finish();
    if (frame.empty())
        return std::nullopt;
    {
        std::lock_guard lock(m_lock);
        m_waiting[request.id];
    }
    if (!sendAll(frame)) {
        std::lock_guard lock(m_lock);
        m_waiting.erase(request.id);
        return std::nullopt;
    }
    std::unique_lock lock(m_lock);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    m_answered.wait_until(lock, deadline, [&] {
        auto found = m_waiting.find(request.id);
        return found == m_waiting.end() || found->second.has_value() || !m_valid;
    });
    auto found = m_waiting.find(request.id);
    if (found == m_waiting.end())
        return std::nullopt;
    if (!found->second) {
        m_waiting.erase(found);
        return std::nullopt;
    }
    Reply reply = std::move(*found->second);
    m_waiting.erase(found);
    if (reply.frame.size() < 2 || reply.frame[1] != request.command)
        return std::nullopt;
    return reply;
}

void Link::receive()
{
    wire::FrameAssembler assembler;
    uint8_t buffer[16384];
    bool broken = false;
    while (!broken) {
        ssize_t count = recv(m_socket, buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        assembler.append(buffer, static_cast<size_t>(count));
        while (auto frame = assembler.next()) {
            uint8_t command = (*frame)[1];
            if (command == proto::PlaceEvent || command == proto::MessageEvent) {
                auto event = proto::decodeEvent(frame->data(), frame->size());
                if (!event) {
                    broken = true; // a malformed event: nothing after it can be trusted
                    break;
                }
                if (m_eventSink)
                    m_eventSink(std::move(*event));
                continue;
            }
            auto head = proto::decodeReplyHead(frame->data(), frame->size());
            if (!head)
                continue;
            std::lock_guard lock(m_lock);
            auto found = m_waiting.find(head->id);
            if (found != m_waiting.end()) {
                found->second = Reply{head->status, std::move(*frame)};
                m_answered.notify_all();
            }
        }
        if (assembler.failed())
            break;
    }
    lost();
}

void Link::lost()
{
    m_valid = false;
    bool wasConnected = m_connected.exchange(false);
    {
        std::lock_guard lock(m_lock);
        m_answered.notify_all();
    }
    // A connection closed by this side, or one that never finished connecting, is no news.
    if (wasConnected && !m_closingByUs && m_lossSink)
        m_lossSink();
}

} // namespace yonda::comm
