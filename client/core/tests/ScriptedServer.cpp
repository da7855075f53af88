#include "ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int ListenOnLoopback(int* port)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    ::listen(listener, 4);
    socklen_t length = sizeof(address);
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return listener;
}
} // namespace

void ScriptedServer::Peer::Send(const std::vector<unsigned char>& bytes)
{
    if (!bytes.empty()) {
        ::send(m_socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
}

ScriptedServer::ScriptedServer(Reply reply) : m_reply(std::move(reply))
{
    m_listener = ListenOnLoopback(&m_port);
    m_thread = std::thread([this] { Serve(); });
}

ScriptedServer::~ScriptedServer()
{
    ::shutdown(m_listener, SHUT_RDWR);
    ::close(m_listener);
    m_thread.join();
}

void ScriptedServer::Serve()
{
    const int client = ::accept(m_listener, nullptr, nullptr);
    if (client < 0) {
        return;
    }
    unsigned char buffer[16];
    const ssize_t got = ::recv(client, buffer, sizeof(buffer), 0);
    if (got > 0) {
        m_request.assign(buffer, buffer + got);
    }
    Peer peer(client);
    m_reply(peer);
    ::close(client);
}

int ScriptedServer::UnusedPort()
{
    int port = 0;
    const int listener = ListenOnLoopback(&port);
    ::close(listener); // bound and closed: nothing listens there now
    return port;
}
