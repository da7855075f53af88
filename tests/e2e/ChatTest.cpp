// Chat between two real programs through the real service: a line typed by one member shows in
// the other's log in the speaker's colour and as a balloon over the speaker's avatar in the
// other's view, carries the motion its words call for, keeps up when it floods, and the room
// command goes to the frame without becoming chat.
#include "LobbySteps.h"
#include "WindowSteps.h"

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <thread>

using namespace yonda::testing;

namespace {

constexpr char kChatEdit[] = "#2004";
constexpr char kChatLog[] = "#2003";
// The 3D view in the frame's client area, and the chat log.
constexpr int kViewLeft = 12, kViewTop = 36, kViewRight = 608, kViewBottom = 422;
constexpr int kLogLeft = 18, kLogTop = 462, kLogRight = 602, kLogBottom = 556;

using Clock = std::chrono::steady_clock;

// Through the square's entrance into the square, until its ground is drawn.
void EnterSquare(DrivenProgram& program)
{
    JoinLobby(program, kSquareEntrance);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(40);
    while (Clock::now() < deadline) {
        auto view = program.Capture(kFrameClass);
        ASSERT_TRUE(view);
        if (view->At(310, 400) != view->At(310, 60)) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    FAIL() << "the square was never drawn";
}

void Say(DrivenProgram& program, const std::string& line)
{
    ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
    ASSERT_TRUE(IsOk(program.Click(kChatEdit, 40, 10)));
    ASSERT_TRUE(IsOk(program.Type(kChatEdit, line)));
    ASSERT_TRUE(IsOk(program.Key(kChatEdit, "RETURN")));
}

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int count = 0;
    void Add(int x, int y)
    {
        left = std::min(left, x), top = std::min(top, y), right = std::max(right, x), bottom = std::max(bottom, y);
        ++count;
    }
};

// Pixels of the view that differ between two pictures, leaving out those in `noise`.
Box Changed(const Picture& a, const Picture& b, const std::vector<bool>* noise = nullptr)
{
    Box box;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = kViewLeft; x < kViewRight; ++x) {
            if (a.At(x, y) != b.At(x, y) && !(noise && (*noise)[static_cast<size_t>(y) * a.width + x])) {
                box.Add(x, y);
            }
        }
    }
    return box;
}

class Chat : public EndToEndTest {};

} // namespace

TEST_F(Chat, ALineShowsInTheOthersLogInItsColourAsABalloonOverTheSpeakerWithItsMotion)
{
    Service().AddMember("kim", "pw", "Kim", MemberOptions{10000, true, 'F'});
    Service().AddMember("lee", "pw", "Lee");
    LaunchOptions traced;
    traced.environment["YONDA_DEBUG_OUTPUT"] = "1";
    DrivenProgram& kim = Launch("kim", {{"Option", "TextColor", "1"}});
    DrivenProgram& lee = Launch("lee", {}, traced);
    LogInToFrame(kim, "kim");
    LogInToFrame(lee, "lee");
    EnterSquare(lee);
    ASSERT_FALSE(WaitForLog(lee, "Lee").empty()) << "Lee never arrived in the square";
    // Lee's camera steps back (Page Down), so whichever place the square gives Kim, Kim stands
    // well inside Lee's view.
    ASSERT_TRUE(IsOk(lee.Click(kChatEdit, 40, 10)));
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(IsOk(lee.Key(kChatEdit, "NEXT")));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    // Lee alone: what changes by itself in the view (Lee's own idle motion) is noise.
    auto alone = lee.Capture(kFrameClass);
    ASSERT_TRUE(alone);
    std::vector<bool> noise(alone->pixels.size(), false);
    // Over a few seconds: the idle motion is slow, and a short look misses some of its poses.
    for (int i = 0; i < 12; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        auto again = lee.Capture(kFrameClass);
        ASSERT_TRUE(again);
        for (size_t p = 0; p < noise.size(); ++p) {
            noise[p] = noise[p] || again->pixels[p] != alone->pixels[p];
        }
    }
    // Kim comes in and walks a few steps ahead (the square may have put Kim where Lee stands):
    // where Lee's view changes is Kim's avatar.
    EnterSquare(kim);
    ASSERT_FALSE(WaitForLog(lee, "Kim").empty()) << "no notice of Kim's arrival";
    // Kim's own arrival: Kim's avatar stands in Kim's square, and clicks on the ground walk it.
    ASSERT_FALSE(WaitForLog(kim, "Kim").empty()) << "Kim never arrived in Kim's square";
    const bool walkedIntoSight = WalkIntoSight(kim, [&] {
        auto now = lee.Capture(kFrameClass);
        return now && Changed(*alone, *now, &noise).count >= 300;
    });
    ASSERT_TRUE(walkedIntoSight) << "Kim's avatar never showed in Lee's view";
    // Kim's walk ends where Lee sees Kim stand.
    std::this_thread::sleep_for(std::chrono::seconds(3));
    Box avatar;
    const auto seen = Clock::now() + std::chrono::seconds(10);
    while (avatar.count < 300 && Clock::now() < seen) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        auto now = lee.Capture(kFrameClass);
        ASSERT_TRUE(now);
        avatar = Changed(*alone, *now, &noise);
    }
    ASSERT_GE(avatar.count, 300) << "Kim's avatar never showed in Lee's view";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    auto beforeLine = lee.Capture(kFrameClass);
    ASSERT_TRUE(beforeLine);
    avatar = Changed(*alone, *beforeLine, &noise);

    // Kim greets: Lee's log shows the line under Kim's name, in Kim's red.
    // A line as wide as the balloon's box, so the balloon stands centred over the head.
    Say(kim, "hello everyone, how are you all doing today");
    const std::string log = WaitForLog(lee, "hello everyone, how");
    ASSERT_FALSE(log.empty()) << lee.Text(kChatLog).value_or("");
    EXPECT_NE(log.find("Kim\thello everyone, how"), std::string::npos) << log;
    // The next frames draw the balloon.
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    auto afterLine = lee.Capture(kFrameClass);
    ASSERT_TRUE(afterLine);
    int red = 0;
    for (int y = kLogTop; y < kLogBottom; ++y) {
        for (int x = kLogLeft; x < kLogRight; ++x) {
            // Text is drawn smoothed: its core pixels carry the colour, its edges blend it.
            const uint32_t p = afterLine->At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            red += r > 180 && g < 110 && b < 110 && std::abs(r - 0xEE) < 40;
        }
    }
    EXPECT_GT(red, 20) << "the line is not in Kim's colour";

    // A balloon over Kim's avatar: its light face appears just above the avatar, nowhere else
    // (Kim's motion moves the arms, but they are not of the balloon's colour).
    auto balloonLight = [](uint32_t p) {
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        return r > 200 && g > 200 && b > 225;
    };
    Box balloon;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = kViewLeft; x < kViewRight; ++x) {
            const size_t p = static_cast<size_t>(y) * afterLine->width + x;
            if (!noise[p] && balloonLight(afterLine->pixels[p]) && !balloonLight(beforeLine->pixels[p])) {
                balloon.Add(x, y);
            }
        }
    }
    const std::string where = "balloon (" + std::to_string(balloon.left) + "," + std::to_string(balloon.top) + ")-(" +
                              std::to_string(balloon.right) + "," + std::to_string(balloon.bottom) + ") avatar (" +
                              std::to_string(avatar.left) + "," + std::to_string(avatar.top) + ")-(" +
                              std::to_string(avatar.right) + "," + std::to_string(avatar.bottom) + ")";
    ASSERT_GT(balloon.count, 400) << "no balloon: " << where;
    // One block of a line's size, not pixels all over the view.
    EXPECT_LT(balloon.bottom - balloon.top, 90) << where;
    EXPECT_LT(balloon.right - balloon.left, 260) << where;
    // Over the avatar: across its width, in its upper half or above it.
    const int middle = (balloon.left + balloon.right) / 2;
    EXPECT_GE(middle, avatar.left - 40) << where;
    EXPECT_LE(middle, avatar.right + 40) << where;
    EXPECT_LT(balloon.bottom, (avatar.top + avatar.bottom) / 2) << where;

    // "hello" is a greeting: Lee's view plays one of the female greetings on Kim's avatar.
    const auto played = Clock::now() + std::chrono::seconds(10);
    bool greeted = false;
    while (!greeted && Clock::now() < played) {
        const std::string output = lee.Process().Output();
        for (int motion = 1; motion <= 4 && !greeted; ++motion) {
            greeted = output.find("PlayUserEmotion : user") != std::string::npos &&
                      output.find(" emotion " + std::to_string(motion) + "\n") != std::string::npos;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(greeted) << lee.Process().Output();

    // A burst of lines: Lee's log keeps up with every one the service let through, and Lee's
    // program answers at once all the while.
    for (int i = 0; i < 6; ++i) {
        Say(kim, "line " + std::to_string(i));
    }
    const auto asked = Clock::now();
    EXPECT_TRUE(IsOk(lee.Send("windows", std::chrono::milliseconds(2000))));
    EXPECT_LT(Clock::now() - asked, std::chrono::milliseconds(2000));
    EXPECT_FALSE(WaitForLog(lee, "line 5").empty()) << lee.Text(kChatLog).value_or("");

    // The room command goes to the frame and is never chat: it opens the room-making dialog, which
    // Lee cancels; a command with a type that does not exist opens nothing.
    const auto dialog = [&lee]() -> std::string {
        for (const WindowInfo& w : lee.Windows()) {
            if (w.className == "#32770") {
                return w.handle;
            }
        }
        return {};
    };
    Say(lee, "/roommake 2");
    std::string making;
    for (int i = 0; i < 100 && making.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        making = dialog();
    }
    ASSERT_FALSE(making.empty()) << "no room-making dialog";
    ASSERT_TRUE(IsOk(lee.Key(making, "ESCAPE")));
    ASSERT_TRUE(IsOk(lee.WaitGone(making)));
    Say(lee, "/roommake 6");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_TRUE(dialog().empty()) << "the invalid room command opened a dialog";
    Say(lee, "after the command");
    const std::string kimLog = WaitForLog(kim, "after the command");
    ASSERT_FALSE(kimLog.empty());
    EXPECT_EQ(kimLog.find("roommake"), std::string::npos) << kimLog;
    const std::string leeOutput = lee.Process().Output();
    const size_t asked1 = leeOutput.find("OnChatCommand : room dialog");
    EXPECT_NE(asked1, std::string::npos);
    EXPECT_EQ(leeOutput.find("OnChatCommand : room dialog", asked1 + 1), std::string::npos)
        << "the invalid room command was not ignored";
}

TEST_F(Chat, TheInputLineTakesAtMostItsBytesAndAnEmptyLineSendsNothing)
{
    Service().AddMember("kim", "pw", "Kim");
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    EnterSquare(kim);
    // Korean letters are two bytes each in the chat's code page: 100 of them are 200 bytes.
    std::string hangul;
    for (int i = 0; i < 100; ++i) {
        hangul += "\xEA\xB0\x80"; // "가"
    }
    ASSERT_TRUE(IsOk(kim.Click(kChatEdit, 40, 10)));
    ASSERT_TRUE(IsOk(kim.Type(kChatEdit, hangul)));
    const std::string typed = kim.Text(kChatEdit).value_or("");
    EXPECT_EQ(typed.size(), 75u * 3) << "150 bytes are 75 whole letters";
    ASSERT_TRUE(IsOk(kim.Key(kChatEdit, "RETURN")));
    // The log wraps a long line: its start is on the first of them.
    EXPECT_FALSE(WaitForLog(kim, "Kim\t" + typed.substr(0, 30)).empty()) << kim.Text(kChatLog).value_or("");
    EXPECT_EQ(kim.Text(kChatEdit).value_or("?"), "");
    // Blanks only: nothing is sent, the log stays as it was.
    const std::string before = kim.Text(kChatLog).value_or("");
    Say(kim, "     ");
    Say(kim, "%s%n%x");
    const std::string after = WaitForLog(kim, "%s%n%x");
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_EQ(std::count(after.begin(), after.end(), '\n'), std::count(before.begin(), before.end(), '\n') + 1);
}
