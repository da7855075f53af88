// The service's network side: one epoll loop that accepts connections, cuts their bytes into
// frames, writes queued answers, enforces the limits (connections, frame sizes, message rates,
// queued output, idle and half-open connections) and runs work handed back from other threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/Wire.h"

namespace yonda::service {

using ConnectionId = uint64_t;

struct Limits {
    size_t maxConnections = 4096;
    size_t maxFrame = wire::kMaxFrameSize;
    double framesPerSecond = 100.0; // sustained rate of one connection
    double frameBurst = 300.0;      // frames a connection may send at once
    size_t maxQueuedOutput = 4u << 20;
    int loginTimeoutMs = 30000;     // a connection must log in (or probe) within this
    int idleTimeoutMs = 600000;     // nothing received for this long closes a logged-in connection
    int partialFrameTimeoutMs = 15000; // a frame begun must be complete within this
};

class Server {
public:
    struct Handler {
        virtual ~Handler() = default;
        virtual void onFrame(ConnectionId id, const std::vector<uint8_t>& frame) = 0;
        virtual void onClosed(ConnectionId id) = 0;
    };

    Server(Handler& handler, Limits limits = {});
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds "ADDRESS:PORT"; false with a log line when it cannot.
    bool listen(const std::string& addressAndPort);
    uint16_t port() const { return m_port; }

    // Runs until stop(); stop() may be called from any thread and from a signal handler.
    void run();
    void stop();

    // Queues a frame for a connection; unknown (closed) connections are ignored.
    void send(ConnectionId id, const std::vector<uint8_t>& frame);
    // Closes a connection after what is queued for it was written.
    void closeAfterSend(ConnectionId id);
    void close(ConnectionId id, const char* reason);
    // Marks a connection as logged in, which lifts the login timeout.
    void setAuthenticated(ConnectionId id);
    // Runs `work` on the loop's thread at its next turn; callable from any thread.
    void post(std::function<void()> work);

    size_t connectionCount() const { return m_connections.size(); }

private:
    struct Connection;
    void accept();
    void readFrom(Connection& connection);
    void writeTo(Connection& connection);
    void flush();
    void finishTurn();
    void updateInterest(Connection& connection);
    void sweep(int64_t now);
    void drainPosted();
    void destroy(ConnectionId id);

    Handler& m_handler;
    Limits m_limits;
    int m_epoll = -1;
    int m_listener = -1;
    int m_wake = -1;
    int m_spare = -1; // held back for refusing connections when descriptors run out
    uint16_t m_port = 0;
    std::atomic<bool> m_stopRequested{false};
    ConnectionId m_nextId = 1;
    std::map<ConnectionId, std::unique_ptr<Connection>> m_connections;
    std::vector<ConnectionId> m_doomed;
    std::vector<ConnectionId> m_dirty;
    std::mutex m_postedLock;
    std::vector<std::function<void()>> m_posted;
};

} // namespace yonda::service
