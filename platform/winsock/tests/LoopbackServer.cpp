#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace yonda::winsock::test {

LoopbackServer::LoopbackServer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 4);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer()
{
    CloseConnection();
    StopListening();
}

bool LoopbackServer::Accept(int timeoutMs)
{
    pollfd entry{m_listener, POLLIN, 0};
    if (::poll(&entry, 1, timeoutMs) <= 0)
        return false;
    m_connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    return m_connection >= 0;
}

std::string LoopbackServer::Receive(size_t count, int timeoutMs)
{
    std::string bytes;
    while (bytes.size() < count) {
        pollfd entry{m_connection, POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0)
            break;
        char chunk[65536];
        size_t want = std::min(sizeof chunk, count - bytes.size());
        ssize_t got = ::recv(m_connection, chunk, want, 0);
        if (got <= 0)
            break;
        bytes.append(chunk, static_cast<size_t>(got));
    }
    return bytes;
}

bool LoopbackServer::Send(const std::string& bytes)
{
    return ::send(m_connection, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

void LoopbackServer::CloseConnection()
{
    if (m_connection >= 0)
        ::close(m_connection);
    m_connection = -1;
}

void LoopbackServer::StopListening()
{
    if (m_listener >= 0)
        ::close(m_listener);
    m_listener = -1;
}

} // namespace yonda::winsock::test
