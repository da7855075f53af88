// The service's network side: one epoll loop that accepts connections, cuts their bytes into
// frames, writes queued answers, enforces the limits (connections in all and per address, frame
// sizes, message rates, queued output, idle and half-open connections), runs work handed back
// from other threads and work due later.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <queue>
#include <string>
#include <unordered_map>
#include <vector>

#include "Limits.h"
#include "protocol/Wire.h"

namespace yonda::service {

using ConnectionId = uint64_t;

class Server {
public:
    struct Handler {
        virtual ~Handler() = default;
        virtual void onFrame(ConnectionId id, const std::vector<uint8_t>& frame) = 0;
        virtual void onClosed(ConnectionId id) = 0;
        // The loop has ended: threads that hand work back must finish now.
        virtual void onStopped() {}
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
    // Runs `work` on the loop's thread after `delayMs`; only from the loop's thread.
    void after(int delayMs, std::function<void()> work);

    size_t connectionCount() const { return m_connections.size(); }
    // The peer's IPv4 address (host order) and its printable "ADDRESS:PORT"; 0 and "" when closed.
    uint32_t address(ConnectionId id) const;
    std::string peer(ConnectionId id) const;

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
    void runDue(int64_t now);
    int waitMs(int64_t now) const;
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
    std::unordered_map<uint32_t, size_t> m_perAddress; // open connections per peer address
    std::vector<ConnectionId> m_doomed;
    std::vector<ConnectionId> m_dirty;
    std::mutex m_postedLock;
    std::vector<std::function<void()>> m_posted;
    struct Due {
        int64_t at;
        uint64_t order;
        std::function<void()> work;
        bool operator>(const Due& other) const { return at != other.at ? at > other.at : order > other.order; }
    };
    std::priority_queue<Due, std::vector<Due>, std::greater<Due>> m_due;
    uint64_t m_dueOrder = 0;
};

} // namespace yonda::service
