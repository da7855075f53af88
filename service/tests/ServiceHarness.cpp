#include "ServiceHarness.h"

#include <arpa/inet.h>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "Log.h"
#include "PasswordWorker.h"

namespace yonda::testing {

std::vector<uint8_t> encodeCatalogue(const std::vector<std::string>& rows)
{
    std::vector<uint8_t> bytes;
    for (const std::string& row : rows) {
        for (char c : row)
            bytes.push_back(static_cast<uint8_t>(~static_cast<uint8_t>(c)));
        bytes.push_back(0);
    }
    return bytes;
}

std::vector<std::string> sampleCatalogueRows()
{
    return {
        "man_hair,2",
        "code,name,price,sale,text,file,texture,description",
        "1,Short,100,0,,1_0001,1,short hair",
        "2,Short dyed,150,0,,1_0001,0,the variant",
        "man_up,2",
        "code,name,price,sale,text,file,texture,description",
        "3,Shirt,300,0,,1_2001,0,a shirt",
        "4,Coat,5000,1,,1_2002,0,a coat",
        "man_low,1",
        "code,name,price,sale,text,file,texture,description",
        "9,Jeans,0,0,,1_3001,0,free jeans",
        "lady_hair,1",
        "code,name,price,sale,text,file,texture,description",
        "1,Bob,0,0,,2_0003,0,a free bob",
        "lady_up,2",
        "code,name,price,sale,text,file,texture,description",
        "5,Blouse,200,0,,2_2001,0,a blouse",
        "6,Tee,0,0,,2_2005,0,a free tee",
        "lady_low,1",
        "code,name,price,sale,text,file,texture,description",
        "7,Skirt,0,0,,2_3002,0,a free skirt",
        "lady_hairitem,1",
        "code,name,price,sale,text,file,texture,description",
        "8,Pin,0,0,,2_6004,0,a free pin",
    };
}

std::filesystem::path freshFolder(const std::string& name)
{
    auto folder = std::filesystem::temp_directory_path() / ("yonda-test-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

int rawConnection(const std::string& host, uint16_t port, const std::string& source)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (!source.empty() && (inet_pton(AF_INET, source.c_str(), &local.sin_addr) != 1 ||
                            bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)) {
        close(fd);
        return -1;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

ServiceHarness::ServiceHarness(const std::string& name, service::Limits limits, std::string host)
    : m_folder(freshFolder(name)), m_limits(limits), m_host(std::move(host))
{
    service::setLogLevel(service::LogLevel::Quiet);
    EXPECT_TRUE(m_setup.open(database()));
    m_catalogue.parse(encodeCatalogue(sampleCatalogueRows()));
    start();
}

ServiceHarness::~ServiceHarness()
{
    stop();
    std::error_code error;
    std::filesystem::remove_all(m_folder, error);
}

void ServiceHarness::start()
{
    m_store = std::make_unique<service::Store>();
    EXPECT_TRUE(m_store->open(database()));
    m_service = std::make_unique<service::Service>(*m_store, m_catalogue, m_limits);
    m_server = std::make_unique<service::Server>(*m_service, m_limits);
    m_service->attach(*m_server);
    // The first start takes a free port; a restart takes the same one again.
    EXPECT_TRUE(m_server->listen(m_host + ":" + std::to_string(m_port)));
    m_port = m_server->port();
    m_thread = std::thread([this] { m_server->run(); });
}

void ServiceHarness::stop()
{
    if (!m_server)
        return;
    m_server->stop();
    m_thread.join();
    m_server.reset();
    m_service.reset();
    m_store.reset();
}

int32_t ServiceHarness::addMember(const std::string& login, const std::string& nickname, int32_t points, bool dressed,
                                  char gender, const std::string& area)
{
    service::Account account;
    account.login = login;
    account.nickname = nickname;
    account.hash = service::PasswordWorker::hash("pw", m_strongHashes);
    account.points = points;
    account.gender = gender;
    account.age = 25;
    account.area = area;
    auto user = m_setup.addAccount(account);
    EXPECT_TRUE(user);
    if (user && dressed)
        m_setup.createAvatar(*user, gender, {{"", gender, 0, 9, 0, true}, {"", gender, 2, 9, 0, true}});
    return user.value_or(0);
}

TestClient::TestClient()
{
    link.setEventSink([this](proto::DecodedEvent&& event) {
        std::lock_guard lock(m_lock);
        m_events.push_back(std::move(event));
        m_arrived.notify_all();
    });
    link.setLossSink([this] {
        std::lock_guard lock(m_lock);
        m_lost = true;
        m_arrived.notify_all();
    });
}

bool TestClient::connect(uint16_t port)
{
    return link.connect(host, port, 5000);
}

int32_t TestClient::login(uint16_t port, const std::string& id, const std::string& password)
{
    if (!link.isConnected() && !connect(port))
        return 0;
    auto request = link.begin(proto::Login);
    request.writer.text(id, proto::kIdWidth).text(password, proto::kLoginPasswordWidth);
    auto reply = link.call(request, 10000);
    if (!reply || !reply->ok())
        return 0;
    user = reply->fields().i32();
    return user;
}

uint8_t TestClient::status(comm::Link::Request& request)
{
    auto reply = ask(request);
    return reply ? reply->status : 0xFF;
}

uint8_t TestClient::join(int16_t lobby, int16_t room, const std::string& password)
{
    auto request = begin(proto::RoomJoin);
    request.writer.i16(lobby).i16(room).text(password, proto::kRoomPasswordWidth);
    request.writer.ch('M').ch('0').ch('0').ch('0').ch('0').ch('0').u8(0).u8(1);
    request.writer.bytes(proto::makeWornItem({0, 9, 0}).bytes()); // a hair it owns
    return status(request);
}

int16_t TestClient::openRoom(int16_t lobby, const std::string& name, const std::string& subject, uint8_t limit,
                             const std::string& password)
{
    proto::Block record(proto::kRoomOpenLayout);
    record.i16(0, lobby).text(2, 50, name).text(52, 30, subject).u8(82, limit).text(83, 13, password);
    auto request = begin(proto::RoomOpen);
    request.writer.bytes(record.bytes());
    auto reply = ask(request);
    return reply && reply->ok() ? reply->fields().i16() : -1;
}

std::optional<proto::DecodedEvent> TestClient::waitFor(uint8_t type, bool message, int timeoutMs)
{
    std::unique_lock lock(m_lock);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        while (!m_events.empty()) {
            proto::DecodedEvent event = std::move(m_events.front());
            m_events.pop_front();
            if (event.type == type && event.message == message)
                return event;
        }
        if (m_arrived.wait_until(lock, deadline) == std::cv_status::timeout && m_events.empty())
            return std::nullopt;
    }
}

bool TestClient::quietAbout(uint8_t type)
{
    // The service handles a connection's frames in order and writes each connection's frames
    // in order: once the answer to a later query is here, every event due before it is here too.
    auto marker = begin(proto::LobbyTotal);
    marker.writer.i16(0);
    EXPECT_TRUE(ask(marker));
    std::lock_guard lock(m_lock);
    for (const auto& event : m_events) {
        if (event.type == type && !event.message)
            return false;
    }
    return true;
}

void TestClient::clearEvents()
{
    std::lock_guard lock(m_lock);
    m_events.clear();
}

bool TestClient::waitLost(int timeoutMs)
{
    std::unique_lock lock(m_lock);
    return m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_lost; });
}

} // namespace yonda::testing
