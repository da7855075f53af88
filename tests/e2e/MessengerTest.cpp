// Instant messages between members through the real program's messenger windows and the real
// service: a message opens the partner's window, the answer typed into it reaches the partner,
// a message to a member who has gone is logged as not delivered, and two programs talk back and
// forth. The first message of a conversation comes from a connection of the test's own, as a
// member's other program would send it.
#include "EndToEndTest.h"
#include "LobbySteps.h"

#include <ServiceHarness.h>

#include <chrono>
#include <thread>

using namespace yonda::testing;
namespace proto = yonda::proto;

namespace {

constexpr char kMessengerClass[] = "VelmoraMessenger";
constexpr char kEntry[] = "#5002";
constexpr char kLog[] = "#5003";
// E_FAILED_INSTANT_MESSAGE of the Korean skin: "쪽지를 보내지 못했습니다."
constexpr char kNotDelivered[] = "\xEC\xAA\xBD\xEC\xA7\x80\xEB\xA5\xBC \xEB\xB3\xB4\xEB\x82\xB4\xEC\xA7\x80 "
                                 "\xEB\xAA\xBB\xED\x96\x88\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4.";

int CountMessengers(DrivenProgram& program)
{
    int count = 0;
    for (const WindowInfo& w : program.Windows()) {
        count += w.className == kMessengerClass;
    }
    return count;
}

// Until the messenger's log holds `text`: the whole log, or what it held when the time ran out.
std::string WaitLog(DrivenProgram& program, const std::string& text, int ms = 15000)
{
    std::string log;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        if (IsOk(program.WaitWindow(kMessengerClass, 1000))) {
            log = program.Text(kLog).value_or("");
            if (log.find(text) != std::string::npos) {
                break;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return log;
}

// Types a line into the messenger's entry and sends it with Enter.
void Say(DrivenProgram& program, const std::string& text)
{
    ASSERT_TRUE(IsOk(program.WaitWindow(kMessengerClass)));
    ASSERT_TRUE(IsOk(program.Click(kEntry, 20, 10)));
    ASSERT_TRUE(IsOk(program.Type(kEntry, text)));
    ASSERT_TRUE(IsOk(program.Key(kEntry, "RETURN")));
}

std::string TextOf(const proto::DecodedEvent& event, size_t offset, size_t width)
{
    proto::Block block(event.block.data(), event.block.size());
    return block.getText(offset, width);
}

class Messenger : public EndToEndTest {
protected:
    // A connection of the test's own, logged in as `id`.
    std::unique_ptr<TestClient> Connect(const std::string& id)
    {
        auto client = std::make_unique<TestClient>();
        client->host = Service().Address();
        EXPECT_GT(client->login(ServiceUnderTest::kPort, id), 0);
        return client;
    }
    static uint8_t Send(TestClient& from, const std::string& to, const std::string& text)
    {
        auto message = from.begin(proto::InstantMessage);
        message.writer.text(to, proto::kIdWidth).text(text, proto::kMessageWidth);
        return from.status(message);
    }
};

} // namespace

TEST_F(Messenger, AMessageOpensTheWindowTheAnswersGoBackAndAMemberWhoLeftIsToldOf)
{
    Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee");
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    EXPECT_EQ(CountMessengers(kim), 0);

    // Lee, on a program of the test's own, writes to Kim: Kim's messenger opens with it.
    auto lee = Connect("lee");
    ASSERT_EQ(Send(*lee, "kim", "hello kim"), proto::Ok);
    std::string log = WaitLog(kim, "hello kim");
    ASSERT_NE(log.find("hello kim"), std::string::npos) << log;
    EXPECT_NE(log.find("Lee"), std::string::npos) << log;
    EXPECT_EQ(CountMessengers(kim), 1);

    // Kim answers in the window; Lee gets it from Kim.
    Say(kim, "hi lee");
    auto received = lee->waitFor(proto::MsgReceived, true, 10000);
    ASSERT_TRUE(received);
    EXPECT_EQ(TextOf(*received, 4, 22), "kim");
    EXPECT_EQ(TextOf(*received, 58, 256), "hi lee");
    log = WaitLog(kim, "hi lee");
    EXPECT_NE(log.find("Kim:"), std::string::npos) << "the own line carries the own nickname: " << log;
    EXPECT_EQ(kim.Text(kEntry).value_or("?"), "") << "the entry empties after a send";

    // A second message goes to the same window; blanks alone send nothing.
    ASSERT_EQ(Send(*lee, "kim", "still there?"), proto::Ok);
    WaitLog(kim, "still there?");
    EXPECT_EQ(CountMessengers(kim), 1);
    Say(kim, "   ");
    EXPECT_FALSE(lee->waitFor(proto::MsgReceived, true, 500));

    // Lee leaves; Kim's next message is logged as not delivered, and nothing is lost on the way.
    lee.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Say(kim, "are you there");
    log = WaitLog(kim, kNotDelivered);
    EXPECT_NE(log.find(kNotDelivered), std::string::npos) << log;
    EXPECT_NE(log.find("are you there"), std::string::npos) << log;

    // Lee comes back on the real program: Kim's window reaches Lee's, whose window opens with
    // the message, and Lee's answer comes back into Kim's window.
    DrivenProgram& leeProgram = Launch("lee");
    LogInToFrame(leeProgram, "lee");
    Say(kim, "welcome back");
    log = WaitLog(leeProgram, "welcome back");
    ASSERT_NE(log.find("welcome back"), std::string::npos) << log;
    EXPECT_NE(log.find("Kim"), std::string::npos) << log;
    Say(leeProgram, "thanks kim");
    log = WaitLog(kim, "thanks kim");
    EXPECT_NE(log.find("thanks kim"), std::string::npos) << log;

    // Escape closes the window; the next message opens a new one.
    ASSERT_TRUE(IsOk(leeProgram.WaitWindow(kMessengerClass)));
    ASSERT_TRUE(IsOk(leeProgram.Key(kEntry, "ESCAPE")));
    ASSERT_TRUE(IsOk(leeProgram.WaitGone(kMessengerClass)));
    Say(kim, "bye");
    EXPECT_NE(WaitLog(leeProgram, "bye").find("bye"), std::string::npos);
}

TEST_F(Messenger, LongAndBrokenDoubleByteMessagesArriveCutOnCharacters)
{
    Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee");
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    auto lee = Connect("lee");
    // A message ending in a lead byte without its trail byte, in code page 949.
    ASSERT_EQ(Send(*lee, "kim", "ab\xC7\xD1\xC7"), proto::Ok);
    std::string log = WaitLog(kim, "ab");
    ASSERT_NE(log.find("ab\xED\x95\x9C"), std::string::npos) << log; // "ab한", the lone byte gone
    EXPECT_EQ(log.find("\xEF\xBF\xBD"), std::string::npos) << "a broken character shows: " << log;

    // Kim types more than a message holds: the entry keeps 255 bytes, all of which arrive.
    const std::string longText(300, 'x');
    Say(kim, longText);
    auto received = lee->waitFor(proto::MsgReceived, true, 10000);
    ASSERT_TRUE(received);
    EXPECT_EQ(TextOf(*received, 58, 256), std::string(255, 'x'));
}
