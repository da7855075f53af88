// A one-connection TCP listener on 127.0.0.1 and a port of its own, played by the test as the
// service's side of the probe. Host sockets, kept apart from the platform's declarations.
#pragma once

#include <cstdint>
#include <string>

namespace yonda::winsock::test {

class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    uint16_t Port() const { return m_port; }
    bool Accept(int timeoutMs);
    // Exactly count bytes, or fewer when the time runs out or the peer closes.
    std::string Receive(size_t count, int timeoutMs);
    bool Send(const std::string& bytes);
    void CloseConnection();
    // Stops listening, so connecting to the port is refused.
    void StopListening();

private:
    int m_listener = -1;
    int m_connection = -1;
    uint16_t m_port = 0;
};

} // namespace yonda::winsock::test
