#pragma once
// A one-connection TCP server on 127.0.0.1 for probe tests: it reads the request and runs a
// script on the connection. Kept apart from the platform's socket header.
#include <functional>
#include <thread>
#include <vector>

class ScriptedServer {
public:
    class Peer {
    public:
        explicit Peer(int socket) : m_socket(socket) {}
        void Send(const std::vector<unsigned char>& bytes);

    private:
        int m_socket;
    };
    using Reply = std::function<void(Peer&)>;

    explicit ScriptedServer(Reply reply);
    ~ScriptedServer();
    int port() const { return m_port; }
    std::vector<unsigned char> request() const { return m_request; }
    // A loopback port that nothing listens on (a connect there is refused).
    static int UnusedPort();

private:
    void Serve();
    Reply m_reply;
    int m_listener = -1;
    int m_port = 0;
    std::thread m_thread;
    std::vector<unsigned char> m_request;
};
