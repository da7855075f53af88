// Bad input and greedy peers: each is closed on its own, and everyone else is still served.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <random>
#include <sys/socket.h>
#include <unistd.h>

#include "ServiceHarness.h"

using namespace yonda;
using namespace yonda::proto;
using yonda::testing::ServiceHarness;
using yonda::testing::TestClient;

namespace {

int rawConnection(uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// True once the service closed the connection (reads drain whatever it answered first).
bool closedByPeer(int fd)
{
    timeval wait{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    uint8_t buffer[4096];
    for (;;) {
        ssize_t count = recv(fd, buffer, sizeof buffer, 0);
        if (count == 0 || (count < 0 && errno == ECONNRESET))
            return true;
        if (count < 0)
            return false;
    }
}

bool chatEchoes(TestClient& client)
{
    auto chat = client.begin(Chat);
    chat.writer.i16(0).u8(0).u8(0).text("still here", kChatWidth);
    return client.status(chat) == Ok && client.waitFor(EvChat).has_value();
}

} // namespace

TEST(Robustness, ThousandsOfRandomFramesNeverDisturbTheOthers)
{
    ServiceHarness service("random");
    service.addMember("kim", "Kim");
    TestClient kim;
    ASSERT_GT(kim.login(service.port(), "kim"), 0);
    ASSERT_EQ(kim.join(0, -1), Ok);

    std::mt19937 random(1234);
    int sent = 0;
    for (int connection = 0; connection < 40; ++connection) {
        int fd = rawConnection(service.port());
        ASSERT_GE(fd, 0);
        std::vector<uint8_t> stream;
        // Start some connections with a proper greeting, so the frames reach the handlers.
        if (connection % 2 == 0) {
            wire::Writer hello(Hello);
            hello.u32(1).u16(kVersion);
            stream = hello.finish();
        }
        for (int i = 0; i < 100; ++i, ++sent) {
            std::vector<uint8_t> payload(random() % 64);
            for (auto& byte : payload)
                byte = static_cast<uint8_t>(random());
            wire::Writer frame(static_cast<uint8_t>(connection % 4 == 0 ? random() : 0x10 + random() % 0x40));
            frame.bytes(payload);
            auto bytes = frame.finish();
            if (connection % 5 == 1)
                bytes[random() % bytes.size()] ^= static_cast<uint8_t>(1 + random() % 255);
            stream.insert(stream.end(), bytes.begin(), bytes.end());
        }
        send(fd, stream.data(), stream.size(), MSG_NOSIGNAL);
        EXPECT_TRUE(closedByPeer(fd)) << "connection " << connection;
        close(fd);
    }
    EXPECT_EQ(sent, 4000);
    EXPECT_TRUE(chatEchoes(kim));
}

TEST(Robustness, AMalformedRequestClosesOnlyItsConnection)
{
    ServiceHarness service("malformed");
    service.addMember("kim", "Kim");
    service.addMember("bad", "Bad");
    TestClient kim, bad;
    ASSERT_GT(kim.login(service.port(), "kim"), 0);
    ASSERT_GT(bad.login(service.port(), "bad"), 0);
    ASSERT_EQ(kim.join(0, -1), Ok);
    const std::vector<std::pair<const char*, std::function<void(wire::Writer&)>>> cases = {
        {"chat text longer than its field",
         [](wire::Writer& w) { w.i16(0).u8(0).u8(0).u16(300).bytes(std::vector<uint8_t>(300, 'a')); }},
        {"room join cut short", [](wire::Writer& w) { w.i16(0); }},
        {"bytes after the fields", [](wire::Writer& w) { w.i32(1).u8(9); }},
    };
    for (const auto& [name, fill] : cases) {
        TestClient offender;
        ASSERT_GT(offender.login(service.port(), "bad"), 0) << name;
        auto request = offender.begin(name[0] == 'b' ? UserInfo : name[0] == 'r' ? RoomJoin : Chat);
        fill(request.writer);
        EXPECT_FALSE(offender.ask(request)) << name;
        EXPECT_TRUE(offender.waitLost()) << name;
        EXPECT_TRUE(chatEchoes(kim)) << name;
    }
}

TEST(Robustness, FloodsIdlersAndCrowdsAreTurnedAway)
{
    service::Limits limits;
    limits.framesPerSecond = 20;
    limits.frameBurst = 50;
    limits.loginTimeoutMs = 200;
    limits.maxConnections = 4;
    ServiceHarness service("limits", limits);
    service.addMember("kim", "Kim");
    TestClient kim;
    ASSERT_GT(kim.login(service.port(), "kim"), 0);
    ASSERT_EQ(kim.join(0, -1), Ok);

    int flooder = rawConnection(service.port());
    std::vector<uint8_t> stream;
    for (uint32_t i = 0; i < 500; ++i) {
        wire::Writer hello(Hello);
        hello.u32(i).u16(kVersion);
        auto bytes = hello.finish();
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    send(flooder, stream.data(), stream.size(), MSG_NOSIGNAL);
    EXPECT_TRUE(closedByPeer(flooder));
    close(flooder);

    int idler = rawConnection(service.port());
    EXPECT_TRUE(closedByPeer(idler)); // never logged in
    close(idler);

    std::vector<int> crowd;
    for (int i = 0; i < 3; ++i)
        crowd.push_back(rawConnection(service.port()));
    int oneTooMany = rawConnection(service.port());
    EXPECT_TRUE(closedByPeer(oneTooMany));
    for (int fd : crowd)
        close(fd);
    close(oneTooMany);
    EXPECT_TRUE(chatEchoes(kim));
}

TEST(Robustness, HalfAFrameIsNotKeptForever)
{
    service::Limits limits;
    limits.partialFrameTimeoutMs = 200;
    ServiceHarness service("partial", limits);
    int fd = rawConnection(service.port());
    uint8_t half[] = {0, 0x10, 0, 40, 1, 2};
    send(fd, half, sizeof half, MSG_NOSIGNAL);
    EXPECT_TRUE(closedByPeer(fd));
    close(fd);
}
