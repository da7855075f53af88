// A real service on a loopback port of its own, with a temporary database, and clients that
// talk to it through the library's connection and collect the events they receive.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "Catalogue.h"
#include "Server.h"
#include "Service.h"
#include "Store.h"
#include "link/Link.h"
#include "protocol/Layouts.h"
#include "protocol/Protocol.h"

namespace yonda::testing {

// Catalogue bytes as stored: every record complemented and ended by a zero byte.
std::vector<uint8_t> encodeCatalogue(const std::vector<std::string>& rows);
// A small catalogue: man hair 001 (100 points) and its texture variant (150), man upper 001
// (300) and 002 (5000), lady upper 001 (200); free for a new avatar: man lower 001, lady hair
// 003, lady upper 005, lady lower 002 and lady hair item 004.
std::vector<std::string> sampleCatalogueRows();

std::filesystem::path freshFolder(const std::string& name);

// A plain TCP connection to HOST:PORT from SOURCE (any loopback address), or -1.
int rawConnection(const std::string& host, uint16_t port, const std::string& source = {});

class ServiceHarness {
public:
    // Serves on HOST (a loopback address of the test's own) at a free port.
    explicit ServiceHarness(const std::string& name, service::Limits limits = {}, std::string host = "127.0.0.1");
    ~ServiceHarness();

    uint16_t port() const { return m_port; }
    const std::string& host() const { return m_host; }
    const std::filesystem::path& folder() const { return m_folder; }
    std::string database() const { return (m_folder / "service.db").string(); }
    // A member with a cheap password hash; dressed members have an avatar.
    // Members live in the first area unless told.
    int32_t addMember(const std::string& login, const std::string& nickname, int32_t points = 1000, bool dressed = true,
                      char gender = 'M', const std::string& area = "1");
    // Members added from now on get the cost of hashing real members have.
    void useStrongHashes() { m_strongHashes = true; }
    void start();
    void stop();
    service::Store& store() { return m_setup; }

private:
    std::filesystem::path m_folder;
    service::Limits m_limits;
    service::Store m_setup;
    service::Catalogue m_catalogue;
    std::unique_ptr<service::Store> m_store;
    std::unique_ptr<service::Service> m_service;
    std::unique_ptr<service::Server> m_server;
    std::thread m_thread;
    std::string m_host;
    uint16_t m_port = 0;
    bool m_strongHashes = false;
};

class TestClient {
public:
    TestClient();
    // The receive thread stops before the events it fills go away.
    ~TestClient() { link.disconnect(); }
    bool connect(uint16_t port);
    // Connects and logs in; the user number, or 0 when refused.
    int32_t login(uint16_t port, const std::string& login, const std::string& password = "pw");

    std::optional<comm::Reply> ask(comm::Link::Request& request) { return link.call(request, 5000); }
    uint8_t status(comm::Link::Request& request);
    comm::Link::Request begin(uint8_t command) { return link.begin(command); }

    // Enters a lobby area (room -1) or a room, as the session does.
    uint8_t join(int16_t lobby, int16_t room, const std::string& password = "");
    // Opens a room, as the room-making dialog does, and stands in it: its number, or -1.
    int16_t openRoom(int16_t lobby, const std::string& name, const std::string& subject, uint8_t limit,
                     const std::string& password = "");

    // The next event of that type (others before it are dropped), or nothing within the wait.
    std::optional<proto::DecodedEvent> waitFor(uint8_t type, bool message = false, int timeoutMs = 3000);
    // True when no event of that type is due to this client from anything done so far by
    // anyone whose answer has arrived (events are kept).
    bool quietAbout(uint8_t type);
    void clearEvents();
    bool waitLost(int timeoutMs = 3000);

    comm::Link link;
    int32_t user = 0;
    std::string host = "127.0.0.1"; // where the service listens

private:
    std::mutex m_lock;
    std::condition_variable m_arrived;
    std::deque<proto::DecodedEvent> m_events;
    bool m_lost = false;
};

} // namespace yonda::testing
