// One connection to the community service, without any window: connecting and greeting, blocking
// requests matched to their answers by request number, and a receive thread that hands events to
// a sink. The library's classes and the simulated members are built on it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "protocol/Events.h"
#include "protocol/Wire.h"

namespace yonda::comm {

inline constexpr int kQueryTimeoutMs = 10000;

struct Reply {
    uint8_t status = 0xFF;
    std::vector<uint8_t> frame;
    bool ok() const { return status == 0; }
    // The answer's fields, after the request number and the status.
    wire::Reader fields() const;
};

class Link {
public:
    using EventSink = std::function<void(proto::DecodedEvent&&)>;
    using LossSink = std::function<void()>;

    Link() = default;
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Sinks run on the receive thread; set them before connect().
    void setEventSink(EventSink sink) { m_eventSink = std::move(sink); }
    void setLossSink(LossSink sink) { m_lossSink = std::move(sink); }

    // Connections start from this local address (dotted, no port) instead of the one the system
    // picks; for load tools and tests that play members at many addresses.
    void setSourceAddress(std::string address) { m_source = std::move(address); }
    // Opens the connection (a host name or dotted address) and greets the service; false when
    // either fails within the timeout, with failure() saying why.
    bool connect(const std::string& host, uint16_t port, int timeoutMs = kQueryTimeoutMs);
    const std::string& failure() const { return m_failure; }
    // Closes the connection from this side: no loss is reported.
    void disconnect();
    bool isConnected() const { return m_connected; }
    bool isValid() const { return m_valid; }

    // A request: the frame is started with its command and a fresh request number.
    struct Request {
        uint8_t command;
        uint32_t id;
        wire::Writer writer;
    };
    Request begin(uint8_t command);
    // Sends the request and waits for its answer; nothing on timeout or a lost connection.
    std::optional<Reply> call(Request& request, int timeoutMs = kQueryTimeoutMs);

private:
    void receive();
    bool sendAll(const std::vector<uint8_t>& frame);
    void lost();

    int m_socket = -1;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_valid{false};
    std::atomic<bool> m_closingByUs{false};
    std::atomic<uint32_t> m_nextId{1};
    std::thread m_receiver;
    std::mutex m_sendLock;
    std::mutex m_lock;
    std::condition_variable m_answered;
    std::map<uint32_t, std::optional<Reply>> m_waiting; // request number -> answer once arrived
    EventSink m_eventSink;
    LossSink m_lossSink;
    std::string m_source;
    std::string m_failure;
};

} // namespace yonda::comm
