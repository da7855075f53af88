// The real program against the real service: start, login, the main frame, the settings written
// at exit, a second start, no service, a lost connection. Each test drives its own programs on a
// loopback address of its own.
#include "EndToEndTest.h"

#include <algorithm>
#include <chrono>
#include <thread>

using namespace yonda::testing;

namespace {

constexpr char kTitle[] = "Yonda Alpha";
constexpr char kFrameClass[] = "VelmoraMain";
constexpr char kDialogClass[] = "#32770";

int CountClass(DrivenProgram& program, const std::string& className)
{
    const auto windows = program.Windows();
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(), [&](const WindowInfo& w) { return w.className == className; }));
}

// Types into the login dialog and presses Enter.
void LogIn(DrivenProgram& program, const std::string& id, const std::string& password)
{
    ASSERT_TRUE(IsOk(program.WaitWindow(kTitle)));
    ASSERT_TRUE(IsOk(program.Click("#202", 20, 8)));
    ASSERT_TRUE(IsOk(program.Type("#202", id)));
    ASSERT_TRUE(IsOk(program.Click("#203", 20, 8)));
    ASSERT_TRUE(IsOk(program.Type("#203", password)));
    ASSERT_TRUE(IsOk(program.Key("#203", "RETURN")));
}

// Until the program shows `dialogs` dialogs (a notify box over the login makes two): the handle
// of the topmost, or empty. Dialogs are named by handle: their class begins like a control id.
std::string WaitForBox(DrivenProgram& program, int dialogs, int ms = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto windows = program.Windows();
        const int count = static_cast<int>(std::count_if(
            windows.begin(), windows.end(), [](const WindowInfo& w) { return w.className == kDialogClass; }));
        if (count >= dialogs) {
            for (const WindowInfo& w : windows) {
                if (w.className == kDialogClass) {
                    return w.handle;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

class ClientStart : public EndToEndTest {};

} // namespace

TEST_F(ClientStart, AMemberLogsInAndSeesTheSkinnedMainFrame)
{
    Service().AddMember("kim", "pw", "Kim");
    DrivenProgram& kim = Launch("kim");
    LogIn(kim, "kim", "pw");
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    auto frame = kim.Capture(kFrameClass);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 800);
    EXPECT_EQ(frame->height, 600);
    // The skin's background: its title band at the top and its light body below the view.
    EXPECT_NE(frame->At(400, 10), frame->At(700, 500));
    EXPECT_NE(frame->At(700, 500), 0u);
    EXPECT_EQ(CountClass(kim, kDialogClass), 0);
    // The 3D view shows the map: green grounds and plants where the view sits, within a while.
    bool mapShown = false;
    // The first frame waits for the renderer to build its programs, long on a busy machine.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (!mapShown && std::chrono::steady_clock::now() < deadline) {
        auto view = kim.Capture(kFrameClass);
        ASSERT_TRUE(view);
        int greenish = 0;
        for (int y = 40; y < 420; y += 10) {
            for (int x = 20; x < 600; x += 10) {
                const uint32_t p = view->At(x, y);
                const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                greenish += g > r + 20 && g > b + 10;
            }
        }
        mapShown = greenish > 50;
        if (!mapShown) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    EXPECT_TRUE(mapShown) << "the map scene never showed in the 3D view";
}

TEST_F(ClientStart, AWrongPasswordIsRefusedAndASecondTryGetsIn)
{
    Service().AddMember("kim", "pw", "Kim");
    DrivenProgram& kim = Launch("kim");
    LogIn(kim, "kim", "wrong");
    const std::string box = WaitForBox(kim, 2);
    ASSERT_FALSE(box.empty()) << "no LoginFailDlg over the login";
    ASSERT_TRUE(IsOk(kim.Key(box, "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(box)));
    ASSERT_TRUE(IsOk(kim.WaitWindow(kTitle)));
    // The ID stays, the password is gone.
    EXPECT_EQ(kim.Text("#202").value_or("?"), "kim");
    EXPECT_EQ(kim.Text("#203").value_or("?"), "");
    ASSERT_TRUE(IsOk(kim.Type("#203", "pw")));
    ASSERT_TRUE(IsOk(kim.Key("#203", "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
}

TEST_F(ClientStart, AnEmptyIdSendsNothing)
{
    DrivenProgram& kim = Launch("kim");
    ASSERT_TRUE(IsOk(kim.WaitWindow(kTitle)));
    ASSERT_TRUE(IsOk(kim.Key("#203", "RETURN")));
    const std::string box = WaitForBox(kim, 2);
    ASSERT_FALSE(box.empty()) << "no LoginFailDlg over the login";
    ASSERT_TRUE(IsOk(kim.Key(box, "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(box)));
    // The ID edit holds no more than the login record carries.
    ASSERT_TRUE(IsOk(kim.WaitWindow(kTitle)));
    ASSERT_TRUE(IsOk(kim.Type("#202", "abcdefghijklmnopqrstuvwxyz0123")));
    EXPECT_EQ(kim.Text("#202").value_or(""), "abcdefghijklmnopqrstu");
}

TEST_F(ClientStart, RememberMeKeepsTheIdForTheNextStart)
{
    Service().AddMember("kim", "pw", "Kim");
    DrivenProgram& first = Launch("kim");
    ASSERT_TRUE(IsOk(first.WaitWindow(kTitle)));
    ASSERT_TRUE(IsOk(first.Click("#204", 6, 8)));
    LogIn(first, "kim", "pw");
    ASSERT_TRUE(IsOk(first.WaitWindow(kFrameClass)));
    // The close button asks; OK logs out and ends the program, which writes its settings.
    ASSERT_TRUE(IsOk(first.Click("#111", 8, 8)));
    const std::string confirm = WaitForBox(first, 1);
    ASSERT_FALSE(confirm.empty()) << "no ExitConfirmDlg";
    first.Key(confirm, "RETURN"); // the program may end before it answers
    EXPECT_EQ(first.End(), 0);
    // The program said goodbye to the service before it ended.
    EXPECT_NE(Service().Output().find("kim (user"), std::string::npos);
    EXPECT_NE(Service().Output().find("logged out"), std::string::npos) << Service().Output();
    EXPECT_EQ(first.Home().ReadSetting("Option", "RememberMe").value_or("?"), "1");
    EXPECT_EQ(first.Home().ReadSetting("Option", "SavedID").value_or("?"), "kim");
    // The password never reaches the file.
    EXPECT_FALSE(first.Home().ReadSetting("Option", "Password"));

    DrivenProgram& second = Launch("kim-again", {{"Option", "RememberMe", "1"}, {"Option", "SavedID", "kim"}});
    ASSERT_TRUE(IsOk(second.WaitWindow(kTitle)));
    EXPECT_EQ(second.Text("#202").value_or("?"), "kim");
}

TEST_F(ClientStart, ASecondStartRaisesTheFirstAndEnds)
{
    DrivenProgram& first = Launch("first");
    ASSERT_TRUE(IsOk(first.WaitWindow(kTitle)));
    // The second start runs in the same desktop session as the first.
    LaunchOptions options;
    options.connect = false;
    options.environment["YONDA_RUNTIME_DIR"] = ScratchFolder() + "/first.run";
    DrivenProgram& second = Launch("second", {}, options);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (second.Process().Running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(second.End(), 0);
    // It found the first: no "already running" box was needed.
    EXPECT_EQ(second.Process().Output().find("\xEC\x9A\x98\xEB\x8B\xA4"), std::string::npos);
    EXPECT_TRUE(IsOk(first.WaitWindow(kTitle)));
}

TEST_F(ClientStart, WithNoServiceTheConnectFailureIsShownAndTheProgramEnds)
{
    // An address no test's service takes (they use 127.0.0.2 to 127.0.0.254).
    DrivenProgram& kim = Launch("kim", {{"Server", "ServerIp", "127.0.1.254"}});
    const std::string box = WaitForBox(kim, 1);
    ASSERT_FALSE(box.empty()) << "no E_CONNECT_FAIL box";
    kim.Key(box, "RETURN"); // the program may end before it answers
    EXPECT_EQ(kim.End(), 1);
}

TEST_F(ClientStart, ALostConnectionIsToldOnceAndTheProgramEnds)
{
    Service().AddMember("kim", "pw", "Kim");
    DrivenProgram& kim = Launch("kim");
    LogIn(kim, "kim", "pw");
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    Service().Kill();
    const std::string box = WaitForBox(kim, 1);
    ASSERT_FALSE(box.empty()) << "no SocketDisonnected box";
    // Told once: no second box follows the first.
    EXPECT_EQ(CountClass(kim, kDialogClass), 1);
    kim.Key(box, "RETURN"); // the program may end before it answers
    EXPECT_EQ(kim.End(), 0);
}

TEST_F(ClientStart, TwoMembersLogInSideBySide)
{
    Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee");
    DrivenProgram& kim = Launch("kim");
    DrivenProgram& lee = Launch("lee");
    LogIn(kim, "kim", "pw");
    LogIn(lee, "lee", "pw");
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    ASSERT_TRUE(IsOk(lee.WaitWindow(kFrameClass)));
}

TEST_F(ClientStart, TheLoginShowsOnARealXServer)
{
    LaunchOptions options;
    options.display = XDisplay();
    DrivenProgram& kim = Launch("kim", {}, options);
    ASSERT_TRUE(IsOk(kim.WaitWindow(kTitle)));
    auto login = kim.Capture(kTitle);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->width, 380);
}

TEST_F(ClientStart, TheFrameMinimisesAndASecondStartRestoresIt)
{
    Service().AddMember("kim", "pw", "Kim");
    DrivenProgram& kim = Launch("kim");
    LogIn(kim, "kim", "pw");
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    ASSERT_TRUE(IsOk(kim.Click("#112", 8, 8)));
    ASSERT_TRUE(IsOk(kim.WaitGone(kFrameClass)));
    // The member starts the program again: the running one comes back instead.
    LaunchOptions options;
    options.connect = false;
    options.environment["YONDA_RUNTIME_DIR"] = ScratchFolder() + "/kim.run";
    DrivenProgram& again = Launch("again", {}, options);
    EXPECT_EQ(again.End(), 0);
    EXPECT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
}

TEST_F(ClientStart, TheEntranceFliesIntoALobbyAndJoinStandsTheMemberThere)
{
    Service().AddMember("kim", "pw", "Kim");
    DrivenProgram& kim = Launch("kim");
    LogIn(kim, "kim", "pw");
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    // The square's entrance: the flight ends with the lobby's title bar.
    ASSERT_TRUE(IsOk(kim.Click("\xEA\xB4\x91\xEC\x9E\xA5", 80, 14)));     // "광장"
    ASSERT_TRUE(IsOk(kim.WaitWindow("\xEB\xA1\x9C\xEB\xB9\x84", 20000))); // "로비"
    // Join: the member stands in the square, the title bar goes.
    ASSERT_TRUE(IsOk(kim.Click("\xEB\xA1\x9C\xEB\xB9\x84", 220, 30)));
    EXPECT_TRUE(IsOk(kim.WaitGone("\xEB\xA1\x9C\xEB\xB9\x84", 20000)));
    // A click on the ground walks the member there: the camera that follows it sees the square
    // change around it.
    std::optional<Picture> before;
    const auto settled = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (std::chrono::steady_clock::now() < settled) {
        before = kim.Capture(kFrameClass);
        ASSERT_TRUE(before);
        if (before->At(310, 400) != before->At(310, 60)) {
            break; // the square is drawn: ground below, sky above
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(IsOk(kim.Click(kFrameClass, 150, 330)));
    bool walked = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!walked && std::chrono::steady_clock::now() < deadline) {
        auto after = kim.Capture(kFrameClass);
        ASSERT_TRUE(after);
        int changed = 0;
        for (int y = 40; y < 420; y += 8) {
            for (int x = 16; x < 600; x += 8) {
                changed += after->At(x, y) != before->At(x, y);
            }
        }
        walked = changed > 600; // about a sixth of the view
        if (!walked) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    EXPECT_TRUE(walked) << "the view did not follow a walk";
}
