// The server probe against servers that answer well and badly: a loopback listener scripted per
// case, and the real service.
#include <gtest/gtest.h>

#include "ServerProbeSocket.h"
#include "ServiceHarness.h"
#include "ClientSession.h"
#include "ScriptedServer.h"

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

namespace {

ScriptedServer::Reply Send(std::vector<unsigned char> bytes, int holdMs = 0)
{
    return [bytes, holdMs](ScriptedServer::Peer& peer) {
        peer.Send(bytes);
        if (holdMs) {
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        }
    };
}

struct ProbeResult {
    BOOL ok;
    int status;
    CString reply;
};

ProbeResult Probe(int port, int waitSeconds = 2)
{
    CServerProbeSocket probe;
    EXPECT_TRUE(probe.Startup());
    EXPECT_TRUE(probe.Connect("127.0.0.1", port));
    ProbeResult result;
    result.ok = probe.Exchange(waitSeconds, CServerProbeSocket::kCommandProbe, 0, nullptr);
    result.status = probe.GetStatus();
    result.reply = probe.GetReply();
    probe.Close();
    probe.Cleanup();
    return result;
}

} // namespace

TEST(ServerProbe, SendsTheFourByteRequestAndReadsTheAddress)
{
    ScriptedServer server(Send({0, 7, 0, 14, '1', '2', '7', '.', '0', '.', '0', '.', '5', 0}, 200));
    const ProbeResult result = Probe(server.port());
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.status, CServerProbeSocket::STATUS_COMPLETE);
    EXPECT_STREQ(result.reply, "127.0.0.5");
    EXPECT_EQ(server.request(), (std::vector<unsigned char>{0, 7, 0, 4}));
}

TEST(ServerProbe, RepliesThatDoNotCompleteFail)
{
    // The header alone never completes: only silence ends it.
    ScriptedServer headerOnly(Send({0, 7, 0, 4}, 2500));
    EXPECT_EQ(Probe(headerOnly.port(), 1).status, CServerProbeSocket::STATUS_TIMEOUT);
    // More bytes than announced.
    ScriptedServer overlong(Send({0, 7, 0, 3, 0}, 500));
    EXPECT_EQ(Probe(overlong.port()).status, CServerProbeSocket::STATUS_OVERLONG);
    // A whole packet whose text lacks its end is not an address to connect to.
    ScriptedServer unterminated(Send({0, 7, 0, 7, 'a', 'b', 'c'}, 500));
    const ProbeResult malformed = Probe(unterminated.port());
    EXPECT_FALSE(malformed.ok);
    EXPECT_TRUE(malformed.reply.IsEmpty());
    // The server hangs up without a word.
    ScriptedServer closes(Send({}));
    EXPECT_EQ(Probe(closes.port()).status, CServerProbeSocket::STATUS_CLOSED);
}

TEST(ServerProbe, AReplyInPiecesIsPutTogether)
{
    ScriptedServer server([](ScriptedServer::Peer& peer) {
        peer.Send({0, 7, 0});
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        peer.Send({6, 'x', 0});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
    const ProbeResult result = Probe(server.port());
    EXPECT_TRUE(result.ok);
    EXPECT_STREQ(result.reply, "x");
}

TEST(ServerProbe, ARefusedConnectionFailsAtOnce)
{
    // A port nobody listens on: the connect is refused, nothing waits for the timeout.
    const int port = ScriptedServer::UnusedPort();
    const auto start = std::chrono::steady_clock::now();
    CServerProbeSocket probe;
    ASSERT_TRUE(probe.Startup());
    if (probe.Connect("127.0.0.1", port)) {
        EXPECT_FALSE(probe.Exchange(5, CServerProbeSocket::kCommandProbe, 0, nullptr));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

TEST(ServerProbe, TheServiceAnswersWithAnEmptyAddress)
{
    yonda::testing::ServiceHarness service("probe");
    CClientSession session;
    CString address = "unchanged";
    ASSERT_TRUE(session.ProbeServer("127.0.0.1", service.port(), 5, &address));
    EXPECT_TRUE(address.IsEmpty());
}

TEST(ServerProbe, ConnectToServerSkipsServersThatDoNotAnswer)
{
    yonda::testing::ServiceHarness service("walk");
    CClientSession session;
    session.SetServerPort(service.port());
    CStringList servers;
    servers.AddTail("no-such-host.invalid");
    servers.AddTail("127.0.0.1");
    EXPECT_TRUE(session.ConnectToServer(servers));
    EXPECT_TRUE(session.IsConnected());

    CClientSession nowhere;
    nowhere.SetServerPort(service.port());
    CStringList none;
    none.AddTail("no-such-host.invalid");
    EXPECT_FALSE(nowhere.ConnectToServer(none));
}
