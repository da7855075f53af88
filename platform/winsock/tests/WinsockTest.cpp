// The server probe's conversation, step by step, against a loopback listener: non-blocking
// connect, the first send, FD_WRITE, FD_READ, FD_CLOSE and the silent timeout.
#include "winsock2.h"

#include "LoopbackServer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using yonda::winsock::test::LoopbackServer;

namespace {

const std::string kProbeRequest("\x00\x07\x00\x04", 4);

std::string Reply(const std::string& text)
{
    std::string packet("\x00\x07", 2);
    size_t total = 4 + text.size() + 1;
    packet.push_back(static_cast<char>(total >> 8));
    packet.push_back(static_cast<char>(total & 0xFF));
    packet += text;
    packet.push_back('\0');
    return packet;
}

class Winsock : public testing::Test {
protected:
    void SetUp() override
    {
        WSADATA data{};
        ASSERT_EQ(WSAStartup(MAKEWORD(2, 0), &data), 0);
        EXPECT_EQ(data.wVersion, MAKEWORD(2, 0));
    }
    void TearDown() override { EXPECT_EQ(WSACleanup(), 0); }
};

// The probe's exchange, as the client runs it; the trace names each event in order.
constexpr int kConnectFailed = -2;

struct ProbeRun {
    int status = -1;
    std::string reply;
    std::vector<std::string> trace;
};

ProbeRun Probe(uint16_t port, DWORD waitMs)
{
    ProbeRun run;
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_NE(s, INVALID_SOCKET);
    WSAEVENT network = WSACreateEvent();
    WSAEVENT user = WSACreateEvent();
    u_long nonBlocking = 1;
    EXPECT_EQ(ioctlsocket(s, FIONBIO, &nonBlocking), 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == SOCKET_ERROR &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        // The probe gives up on this server at once.
        run.trace.push_back("connect " + std::to_string(WSAGetLastError()));
        run.status = kConnectFailed;
    }
    EXPECT_EQ(WSAEventSelect(s, network, FD_READ | FD_WRITE | FD_CLOSE), 0);

    std::string pending = kProbeRequest;
    std::string received;
    auto sendPending = [&] {
        while (!pending.empty()) {
            int sent = send(s, pending.data(), static_cast<int>(pending.size()), 0);
            if (sent == SOCKET_ERROR) {
                if (WSAGetLastError() != WSAEWOULDBLOCK)
                    run.status = 8;
                return;
            }
            if (sent == 0)
                return;
            pending.erase(0, static_cast<size_t>(sent));
        }
    };
    EXPECT_TRUE(WSASetEvent(user));
    WSAEVENT events[2] = {network, user};
    while (run.status == -1) {
        DWORD which = WSAWaitForMultipleEvents(2, events, FALSE, waitMs, FALSE);
        if (which == WSA_WAIT_TIMEOUT) {
            run.trace.push_back("timeout");
            run.status = 2;
        } else if (which == WSA_WAIT_EVENT_0) {
            WSANETWORKEVENTS happened{};
            if (WSAEnumNetworkEvents(s, network, &happened) != 0) {
                run.trace.push_back("enum failed");
                break;
            }
            if (happened.lNetworkEvents & FD_READ) {
                run.trace.push_back("read");
                char buffer[65535];
                int got = recv(s, buffer, sizeof buffer, 0);
                if (got > 0)
                    received.append(buffer, static_cast<size_t>(got));
                if (received.size() > 4) {
                    size_t announced = (static_cast<uint8_t>(received[2]) << 8) | static_cast<uint8_t>(received[3]);
                    if (received.size() == announced) {
                        run.status = 0;
                        run.reply = received.c_str() + 4;
                    } else if (received.size() > announced) {
                        run.status = 9;
                    }
                }
            }
            if (happened.lNetworkEvents & FD_WRITE) {
                run.trace.push_back("write");
                sendPending();
            }
            if ((happened.lNetworkEvents & FD_CLOSE) && run.status < 0) {
                run.trace.push_back("close " + std::to_string(happened.iErrorCode[FD_CLOSE_BIT]));
                run.status = 5;
            }
        } else if (which == WSA_WAIT_EVENT_0 + 1) {
            run.trace.push_back("user");
            WSAResetEvent(user);
            sendPending();
        } else {
            run.trace.push_back("wait failed");
            break;
        }
    }
    EXPECT_EQ(WSAEventSelect(s, nullptr, 0), 0);
    shutdown(s, SD_SEND);
    EXPECT_EQ(closesocket(s), 0);
    EXPECT_TRUE(WSACloseEvent(network));
    EXPECT_TRUE(WSACloseEvent(user));
    return run;
}

// Runs the probe on this thread while the server plays its part on another.
template <typename Server>
ProbeRun ProbeAgainst(LoopbackServer& server, DWORD waitMs, Server play)
{
    std::thread serverThread([&] { play(server); });
    ProbeRun run = Probe(server.Port(), waitMs);
    serverThread.join();
    return run;
}

std::vector<std::string> Without(std::vector<std::string> trace, const std::string& name)
{
    trace.erase(std::remove(trace.begin(), trace.end(), name), trace.end());
    return trace;
}

} // namespace

TEST_F(Winsock, ProbeSendsItsRequestAndReadsTheAddressReply)
{
    LoopbackServer server;
    ProbeRun run = ProbeAgainst(server, 5000, [](LoopbackServer& s) {
        ASSERT_TRUE(s.Accept(5000));
        EXPECT_EQ(s.Receive(4, 5000), kProbeRequest);
        s.Send(Reply("127.0.0.9"));
        s.Receive(1, 5000); // stays until the probe hangs up
    });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.reply, "127.0.0.9");
    // Whether the request leaves with the user event or with FD_WRITE (and whether the user
    // event is looked at at all before the reply) depends on how fast the connection stands,
    // but FD_WRITE is reported once either way, and then the reply.
    EXPECT_LE(std::count(run.trace.begin(), run.trace.end(), "user"), 1);
    EXPECT_EQ(Without(run.trace, "user"), (std::vector<std::string>{"write", "read"}));
}

TEST_F(Winsock, ReplyInPiecesIsReadOnEachArrival)
{
    LoopbackServer server;
    std::string reply = Reply("");
    ProbeRun run = ProbeAgainst(server, 5000, [&](LoopbackServer& s) {
        ASSERT_TRUE(s.Accept(5000));
        EXPECT_EQ(s.Receive(4, 5000), kProbeRequest);
        s.Send(reply.substr(0, 3));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        s.Send(reply.substr(3));
        s.Receive(1, 5000);
    });
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.reply, "");
    // Two reads unless the machine was too slow to look in between.
    auto trace = Without(run.trace, "user");
    ASSERT_GE(trace.size(), 2u);
    EXPECT_EQ(trace.front(), "write");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "read"), static_cast<long>(trace.size() - 1));
}

TEST_F(Winsock, ServerThatHangsUpIsAClose)
{
    LoopbackServer server;
    ProbeRun run = ProbeAgainst(server, 5000, [](LoopbackServer& s) {
        ASSERT_TRUE(s.Accept(5000));
        EXPECT_EQ(s.Receive(4, 5000), kProbeRequest);
        s.CloseConnection();
    });
    EXPECT_EQ(run.status, 5);
    EXPECT_EQ(run.trace.back(), "close 0");
}

TEST_F(Winsock, HeaderOnlyReplyEndsInSilenceAndTimesOut)
{
    LoopbackServer server;
    std::atomic<bool> probeDone{false};
    auto started = std::chrono::steady_clock::now();
    ProbeRun run = ProbeAgainst(server, 300, [&](LoopbackServer& s) {
        ASSERT_TRUE(s.Accept(5000));
        EXPECT_EQ(s.Receive(4, 5000), kProbeRequest);
        s.Send(std::string("\x00\x07\x00\x04", 4));
        s.Receive(1, 5000);
    });
    auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.trace.back(), "timeout");
    EXPECT_GE(took, std::chrono::milliseconds(300));
    EXPECT_LT(took, std::chrono::milliseconds(3000));
}

TEST_F(Winsock, MoreBytesThanAnnouncedIsAnOverlongReply)
{
    LoopbackServer server;
    ProbeRun run = ProbeAgainst(server, 5000, [](LoopbackServer& s) {
        ASSERT_TRUE(s.Accept(5000));
        EXPECT_EQ(s.Receive(4, 5000), kProbeRequest);
        s.Send(std::string("\x00\x07\x00\x03xy", 6));
        s.Receive(1, 5000);
    });
    EXPECT_EQ(run.status, 9);
}

TEST_F(Winsock, RefusedConnectionIsReportedAsACloseAtOnce)
{
    LoopbackServer server;
    server.StopListening();
    auto started = std::chrono::steady_clock::now();
    ProbeRun run = Probe(server.Port(), 5000);
    // Refused during connect or reported right after it, depending on the host's timing.
    if (run.status == kConnectFailed) {
        EXPECT_EQ(run.trace.back(), "connect " + std::to_string(WSAECONNREFUSED));
    } else {
        EXPECT_EQ(run.status, 5);
        EXPECT_EQ(run.trace.back(), "close " + std::to_string(WSAECONNREFUSED));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2000));
}

TEST_F(Winsock, ReadIsReportedAgainOnlyAfterReceiving)
{
    LoopbackServer server;
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.Port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << "blocking connect";
    ASSERT_TRUE(server.Accept(5000));
    WSAEVENT event = WSACreateEvent();
    ASSERT_EQ(WSAEventSelect(s, event, FD_READ | FD_CLOSE), 0);
    server.Send("ab");
    ASSERT_EQ(WSAWaitForMultipleEvents(1, &event, FALSE, 5000, FALSE), WSA_WAIT_EVENT_0);
    WSANETWORKEVENTS happened{};
    ASSERT_EQ(WSAEnumNetworkEvents(s, event, &happened), 0);
    EXPECT_EQ(happened.lNetworkEvents, FD_READ);
    server.Send("cd");
    EXPECT_EQ(WSAWaitForMultipleEvents(1, &event, FALSE, 100, FALSE), WSA_WAIT_TIMEOUT)
        << "no second FD_READ before the first data is received";
    char buffer[16];
    EXPECT_EQ(recv(s, buffer, 1, 0), 1);
    ASSERT_EQ(WSAWaitForMultipleEvents(1, &event, FALSE, 5000, FALSE), WSA_WAIT_EVENT_0);
    ASSERT_EQ(WSAEnumNetworkEvents(s, event, &happened), 0);
    EXPECT_EQ(happened.lNetworkEvents, FD_READ);
    server.CloseConnection();
    EXPECT_EQ(recv(s, buffer, sizeof buffer, 0), 3);
    ASSERT_EQ(WSAWaitForMultipleEvents(1, &event, FALSE, 5000, FALSE), WSA_WAIT_EVENT_0);
    ASSERT_EQ(WSAEnumNetworkEvents(s, event, &happened), 0);
    EXPECT_EQ(happened.lNetworkEvents, FD_CLOSE);
    EXPECT_EQ(recv(s, buffer, sizeof buffer, 0), 0);
    EXPECT_EQ(closesocket(s), 0);
    EXPECT_TRUE(WSACloseEvent(event));
}

TEST_F(Winsock, WriteIsReportedAgainAfterASendWasRefused)
{
    LoopbackServer server;
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.Port());
    address.sin_addr.s_addr = inet_addr("127.0.0.1");
    ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_TRUE(server.Accept(5000));
    WSAEVENT event = WSACreateEvent();
    ASSERT_EQ(WSAEventSelect(s, event, FD_WRITE), 0);
    WSANETWORKEVENTS happened{};
    ASSERT_EQ(WSAWaitForMultipleEvents(1, &event, FALSE, 5000, FALSE), WSA_WAIT_EVENT_0);
    ASSERT_EQ(WSAEnumNetworkEvents(s, event, &happened), 0);
    EXPECT_EQ(happened.lNetworkEvents, FD_WRITE);
    EXPECT_EQ(WSAWaitForMultipleEvents(1, &event, FALSE, 50, FALSE), WSA_WAIT_TIMEOUT) << "once, not on and on";

    std::string chunk(65536, 'x');
    size_t total = 0;
    for (int i = 0; i < 4096; ++i) {
        int sent = send(s, chunk.data(), static_cast<int>(chunk.size()), 0);
        if (sent == SOCKET_ERROR) {
            EXPECT_EQ(WSAGetLastError(), WSAEWOULDBLOCK);
            break;
        }
        total += static_cast<size_t>(sent);
    }
    EXPECT_EQ(server.Receive(total, 5000).size(), total);
    ASSERT_EQ(WSAWaitForMultipleEvents(1, &event, FALSE, 5000, FALSE), WSA_WAIT_EVENT_0);
    ASSERT_EQ(WSAEnumNetworkEvents(s, event, &happened), 0);
    EXPECT_EQ(happened.lNetworkEvents, FD_WRITE);
    EXPECT_EQ(closesocket(s), 0);
    EXPECT_TRUE(WSACloseEvent(event));
}

TEST_F(Winsock, EventsAreManualResetAndWakeAWaiterFromAnotherThread)
{
    WSAEVENT events[2] = {WSACreateEvent(), WSACreateEvent()};
    EXPECT_EQ(WSAWaitForMultipleEvents(2, events, FALSE, 0, FALSE), WSA_WAIT_TIMEOUT);
    EXPECT_TRUE(WSASetEvent(events[1]));
    EXPECT_EQ(WSAWaitForMultipleEvents(2, events, FALSE, 0, FALSE), WSA_WAIT_EVENT_0 + 1);
    EXPECT_EQ(WSAWaitForMultipleEvents(2, events, FALSE, 0, FALSE), WSA_WAIT_EVENT_0 + 1) << "still set";
    EXPECT_EQ(WSAWaitForMultipleEvents(2, events, TRUE, 0, FALSE), WSA_WAIT_TIMEOUT);
    EXPECT_TRUE(WSAResetEvent(events[1]));

    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WSASetEvent(events[0]);
    });
    EXPECT_EQ(WSAWaitForMultipleEvents(2, events, FALSE, WSA_INFINITE, FALSE), WSA_WAIT_EVENT_0);
    setter.join();

    EXPECT_TRUE(WSACloseEvent(events[0]));
    EXPECT_EQ(WSAWaitForMultipleEvents(2, events, FALSE, 0, FALSE), WSA_WAIT_FAILED);
    EXPECT_EQ(WSAGetLastError(), WSA_INVALID_HANDLE);
    EXPECT_FALSE(WSASetEvent(events[0]));
    EXPECT_EQ(WSAWaitForMultipleEvents(0, events, FALSE, 0, FALSE), WSA_WAIT_FAILED);
    EXPECT_TRUE(WSACloseEvent(events[1]));
}

TEST_F(Winsock, AddressesAndNames)
{
    EXPECT_EQ(inet_addr("127.0.0.1"), htonl(0x7F000001));
    EXPECT_EQ(inet_addr("10.1.2.3"), htonl(0x0A010203));
    EXPECT_EQ(inet_addr("yonda.example"), INADDR_NONE);
    EXPECT_EQ(inet_addr(nullptr), INADDR_NONE);
    EXPECT_EQ(htons(0x1B59), 0x591B);
    EXPECT_EQ(ntohl(htonl(0x01020304)), 0x01020304u);

    hostent* host = gethostbyname("localhost");
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->h_addrtype, AF_INET);
    EXPECT_EQ(host->h_length, 4);
    in_addr first{};
    std::memcpy(&first, host->h_addr, 4);
    EXPECT_EQ(first.s_addr, htonl(0x7F000001));
    EXPECT_EQ(gethostbyname(nullptr), nullptr);
}

TEST_F(Winsock, BadSocketsAreErrorsNotCrashes)
{
    char byte = 0;
    EXPECT_EQ(send(INVALID_SOCKET, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(recv(static_cast<SOCKET>(123456), &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTSOCK);
    EXPECT_EQ(closesocket(static_cast<SOCKET>(0)), SOCKET_ERROR) << "standard input is no socket of ours";
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_NE(s, INVALID_SOCKET);
    EXPECT_EQ(WSAEventSelect(s, reinterpret_cast<WSAEVENT>(&byte), FD_READ), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSA_INVALID_HANDLE);
    EXPECT_EQ(connect(s, nullptr, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAEFAULT);
    EXPECT_EQ(send(s, &byte, 1, 0), SOCKET_ERROR);
    EXPECT_EQ(WSAGetLastError(), WSAENOTCONN);
    EXPECT_EQ(closesocket(s), 0);
    EXPECT_EQ(closesocket(s), SOCKET_ERROR);
}

TEST(WinsockStartup, CallsBeforeStartupFailAsNotInitialised)
{
    EXPECT_EQ(socket(AF_INET, SOCK_STREAM, 0), INVALID_SOCKET);
    EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
    EXPECT_EQ(WSACleanup(), SOCKET_ERROR);
    WSADATA data{};
    EXPECT_EQ(WSAStartup(MAKEWORD(1, 0), &data), WSAVERNOTSUPPORTED);
    EXPECT_EQ(WSAStartup(MAKEWORD(2, 2), nullptr), WSAEFAULT);
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &data), 0);
    EXPECT_EQ(data.wVersion, MAKEWORD(2, 2));
    EXPECT_EQ(WSACleanup(), 0);
}
