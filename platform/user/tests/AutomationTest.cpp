// The automation hook driving a real program of the platform (the probe, headless) from a script
// and through its socket: text typed in UTF-8 comes back from the edit, commands work while a
// modal dialog runs, quit ends the program from inside one, input is handled before its answer,
// and a command that cannot be done says why (and ends a script with a failing exit).
#include "AutomationClient.h"
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

using yonda::testing::AutomationClient;
using yonda::testing::ChildProcess;
using yonda::testing::IsOk;

namespace {

constexpr uint32_t kBackground = 0x1E3C5A; // the probe's main window
constexpr uint32_t kPad = 0xC87828;        // its pad
const auto kEnd = std::chrono::seconds(20);

// A short folder of the test's own (socket paths are limited to about 100 bytes).
class Folder {
public:
    explicit Folder(const std::string& name) : m_path("/tmp/yonda-auto-" + name + "-" + std::to_string(getpid()))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~Folder()
    {
        std::error_code error;
        std::filesystem::remove_all(m_path, error);
    }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

ChildProcess::Options Probe(const Folder& folder, std::vector<std::string> arguments = {})
{
    ChildProcess::Options options;
    options.program = YONDA_AUTOMATION_PROBE;
    options.arguments = std::move(arguments);
    options.environment = {{"YONDA_HEADLESS", "1"},
                           {"SDL_AUDIODRIVER", "dummy"},
                           {"YONDA_RUNTIME_DIR", folder / "run"},
                           {"YONDA_AUTOMATION", std::nullopt},
                           {"YONDA_AUTOMATION_SOCKET", std::nullopt}};
    return options;
}

// The probe started with a socket and connected to it.
struct Driven {
    ChildProcess probe;
    AutomationClient client;

    void Start(const Folder& folder, const std::string& socket, std::vector<std::string> arguments = {})
    {
        ChildProcess::Options options = Probe(folder, std::move(arguments));
        options.environment["YONDA_AUTOMATION_SOCKET"] = folder / socket;
        std::string why;
        ASSERT_TRUE(probe.Start(options, &why)) << why;
        ASSERT_TRUE(client.Connect(folder / socket, std::chrono::seconds(30), [&] { return probe.Running(); }))
            << probe.Output();
    }
};

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

} // namespace

TEST(AutomationScript, TypesTextInUtf8ReadsItBackCapturesAndQuits)
{
    Folder folder("script");
    std::string shot = folder / "shots/main.png";
    WriteFile(folder / "tour.txt", "# the probe's main window\n"
                                   "wait-window \"Probe Main\" 20000\n"
                                   "\n"
                                   "   type #101 안녕 Yonda!\n"
                                   "text #101\n"
                                   "capture \"Probe Main\" " +
                                       shot +
                                       "\n"
                                       "quit\n"
                                       "click \"Probe Main\" 1 1\n");
    ChildProcess probe;
    auto options = Probe(folder);
    options.environment["YONDA_AUTOMATION"] = folder / "tour.txt";
    std::string why;
    ASSERT_TRUE(probe.Start(options, &why)) << why;
    ASSERT_EQ(probe.Wait(kEnd), 0) << probe.Output();
    EXPECT_NE(probe.Stdout().find("안녕 Yonda!\n" + shot + "\n"), std::string::npos) << probe.Output();
    EXPECT_NE(probe.Stdout().find("probe: exit 0"), std::string::npos) << probe.Output();
    auto picture = yonda::testing::ReadPng(shot);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 400);
    EXPECT_EQ(picture->height, 200);
    EXPECT_EQ(picture->At(390, 190), kBackground);
    EXPECT_EQ(picture->At(50, 130), kPad);
}

TEST(AutomationScript, StopsAtTheFirstErrorAndEndsTheProgramWithAFailure)
{
    Folder folder("failing");
    WriteFile(folder / "tour.txt", "wait-window ProbeMain 20000\n"
                                   "click \"No Such Window\" 5 5\n"
                                   "capture \"Probe Main\" " +
                                       folder / "never.png" + "\n");
    ChildProcess probe;
    auto options = Probe(folder);
    options.environment["YONDA_AUTOMATION"] = folder / "tour.txt";
    std::string why;
    ASSERT_TRUE(probe.Start(options, &why)) << why;
    ASSERT_EQ(probe.Wait(kEnd), 1) << probe.Output();
    EXPECT_NE(probe.Stderr().find("automation: " + folder / "tour.txt" +
                                  ":2: click \"No Such Window\" 5 5: error no visible window \"No Such Window\""),
              std::string::npos)
        << probe.Output();
    EXPECT_FALSE(std::filesystem::exists(folder / "never.png"));

    // A script that cannot be read fails the same way.
    ChildProcess unread;
    options.environment["YONDA_AUTOMATION"] = folder / "missing.txt";
    ASSERT_TRUE(unread.Start(options, &why)) << why;
    ASSERT_EQ(unread.Wait(kEnd), 1) << unread.Output();
    EXPECT_NE(unread.Stderr().find("cannot read the script"), std::string::npos) << unread.Output();
}

TEST(AutomationSocket, DrivesAModalDialogStepByStep)
{
    Folder folder("modal");
    Driven driven;
    ASSERT_NO_FATAL_FAILURE(driven.Start(folder, "a.sock"));
    auto& [probe, client] = driven;
    ASSERT_TRUE(IsOk(client.WaitWindow("Probe Main", 20000)));
    auto windows = client.Windows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0].className, "ProbeMain");
    EXPECT_EQ(windows[0].title, "Probe Main");
    EXPECT_EQ(windows[0].left, 40);
    EXPECT_EQ(windows[0].bottom, 240);

    // The button's handler runs the dialog's modal loop; commands keep working inside it.
    ASSERT_TRUE(IsOk(client.Click("#102", 5, 5)));
    // "#32770" is no control of the main window: it names the dialogs' class.
    ASSERT_TRUE(IsOk(client.WaitWindow("#32770")));
    EXPECT_EQ(client.Windows().size(), 2u);
    EXPECT_EQ(client.Windows().at(0).className, "#32770");
    auto refused = client.Click("Probe Main", 5, 5);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.text.find("disabled"), std::string::npos) << refused.line;
    ASSERT_TRUE(IsOk(client.WaitWindow("Probe Dialog")));
    // Headless, a message box is no window: it is written to stderr and takes its default button.
    ASSERT_TRUE(IsOk(client.Click("#202", 5, 5)));
    EXPECT_EQ(client.Text("#201"), "box ok");
    EXPECT_TRUE(probe.WaitForOutput("[Probe Box] Box text\n", std::chrono::seconds(5), true)) << probe.Output();
    ASSERT_TRUE(IsOk(client.Key("#201", "CONTROL+A")));
    ASSERT_TRUE(IsOk(client.Type("#201", "예 ok")));
    EXPECT_EQ(client.Text("#201"), "예 ok");
    ASSERT_TRUE(IsOk(client.Click("#1", 5, 5)));
    ASSERT_TRUE(IsOk(client.WaitGone("#32770")));
    EXPECT_TRUE(IsOk(client.WaitGone("Probe Dialog", 0)));
    ASSERT_TRUE(IsOk(client.WaitWindow("Probe Main")));
    EXPECT_EQ(client.Text("#103"), "dialog: 예 ok");

    ASSERT_TRUE(IsOk(client.Quit()));
    ASSERT_EQ(probe.Wait(kEnd), 0) << probe.Output();
    EXPECT_NE(probe.Stdout().find("probe: exit 0"), std::string::npos) << probe.Output();
}

TEST(AutomationSocket, QuitEndsTheProgramFromInsideAModalDialog)
{
    Folder folder("quit");
    for (bool first : {true, false}) {
        SCOPED_TRACE(first ? "a dialog before the main window" : "a dialog over the main window");
        Driven driven;
        ASSERT_NO_FATAL_FAILURE(driven.Start(
            folder, "q.sock", first ? std::vector<std::string>{"--dialog-first"} : std::vector<std::string>{}));
        auto& [probe, client] = driven;
        if (!first) {
            ASSERT_TRUE(IsOk(client.WaitWindow("Probe Main", 20000)));
            ASSERT_TRUE(IsOk(client.Click("#102", 5, 5)));
        }
        ASSERT_TRUE(IsOk(client.WaitWindow("Probe Dialog", 20000)));
        ASSERT_TRUE(IsOk(client.Quit()));
        ASSERT_EQ(probe.Wait(kEnd), 0) << probe.Output();
        // Through the program's own exit, not the hook's bound.
        EXPECT_NE(probe.Stdout().find("probe: exit 0"), std::string::npos) << probe.Output();
        EXPECT_EQ(probe.Stderr().find("did not end"), std::string::npos) << probe.Output();
    }
}

TEST(AutomationSocket, InputIsHandledBeforeTheAnswer)
{
    Folder folder("input");
    Driven driven;
    ASSERT_NO_FATAL_FAILURE(driven.Start(folder, "i.sock"));
    auto& [probe, client] = driven;
    ASSERT_TRUE(IsOk(client.WaitWindow("ProbeMain", 20000)));
    // The handler posts a message; its effect is there when the click is answered.
    ASSERT_TRUE(IsOk(client.Click("#104", 5, 5)));
    EXPECT_EQ(client.Text("#103"), "posted");
    ASSERT_TRUE(IsOk(client.Click("#105", 7, 9)));
    EXPECT_EQ(client.Text("#103"), "click 7,9");
    ASSERT_TRUE(IsOk(client.DoubleClick("#105", 7, 9)));
    EXPECT_EQ(client.Text("#103"), "double");
    ASSERT_TRUE(IsOk(client.RightClick("#105", 7, 9)));
    EXPECT_EQ(client.Text("#103"), "right");
    ASSERT_TRUE(IsOk(client.Key("#105", "F5")));
    EXPECT_EQ(client.Text("#103"), "key 116");
    ASSERT_TRUE(IsOk(client.Key("#105", "CONTROL+A")));
    EXPECT_EQ(client.Text("#103"), "key ctrl+65");
    // Keys and text go to the control named, and lines come back escaped on one answer line.
    ASSERT_TRUE(IsOk(client.Type("#106", "one")));
    ASSERT_TRUE(IsOk(client.Key("#106", "RETURN")));
    ASSERT_TRUE(IsOk(client.Type("#106", "two \\ \"three\"")));
    EXPECT_EQ(client.Text("#106"), "one\r\ntwo \\ \"three\"");
    auto raw = client.Send("text #106");
    EXPECT_EQ(raw.line, "ok one\\r\\ntwo \\\\ \"three\"");
    // The rest of the line is the text when it is not quoted.
    ASSERT_TRUE(IsOk(client.Send("type #101 two  words ")));
    EXPECT_EQ(client.Text("#101"), "two  words ");
    auto shown = client.WaitText("#101", "two", 5000);
    ASSERT_TRUE(IsOk(shown));
    EXPECT_EQ(shown.text, "two  words ");
    auto picture = client.Capture("#105", folder / "pad.png");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 100);
    EXPECT_EQ(picture->At(50, 30), kPad);
}

TEST(AutomationSocket, CommandsThatCannotBeDoneSayWhy)
{
    Folder folder("errors");
    Driven driven;
    ASSERT_NO_FATAL_FAILURE(driven.Start(folder, "e.sock"));
    auto& client = driven.client;
    auto expectError = [&](const std::string& command, const std::string& why) {
        auto answer = client.Send(command);
        EXPECT_FALSE(answer.ok) << command;
        EXPECT_EQ(answer.line.rfind("error ", 0), 0u) << answer.line;
        EXPECT_NE(answer.text.find(why), std::string::npos) << command << " -> " << answer.line;
    };
    expectError("text #101", "no window found yet");
    ASSERT_TRUE(IsOk(client.WaitWindow("Probe Main", 20000)));
    expectError("bogus 1 2", "unknown command \"bogus\"");
    expectError("click #101", "usage: click");
    expectError("click \"Probe Main 1 1", "quote is not closed");
    expectError("text #999", "no control #999");
    expectError("text 0x1", "no window 0x1");
    expectError("click \"Probe Main\" 500 10", "lies outside");
    expectError("key #101 NOPE", "not a key: NOPE");
    expectError("type #101 \xF0\x9F\x98\x80", "cannot hold");
    expectError("type #101", "usage: type");
    expectError("wait-window Nothing 50", "no visible window \"Nothing\" after 50 ms");
    expectError("wait-gone \"Probe Main\" 50", "is still there");
    expectError("wait-text #103 never 50", "its text is \"ready\"");
    expectError("sleep soon", "not a time");
    expectError("quit now", "usage: quit");
    // The connection goes on after errors, and a new one is served after it closes.
    EXPECT_TRUE(IsOk(client.Send("sleep 1")));
    client.Close();
    ASSERT_TRUE(client.Connect(folder / "e.sock", std::chrono::seconds(5)));
    ASSERT_TRUE(IsOk(client.WaitWindow("Probe Main")));
    EXPECT_EQ(client.Text("#103"), "ready");
}

TEST(AutomationSocket, TwoProgramsAreDrivenSideBySide)
{
    Folder folder("two");
    Driven a, b;
    ASSERT_NO_FATAL_FAILURE(a.Start(folder, "1.sock"));
    ASSERT_NO_FATAL_FAILURE(b.Start(folder, "2.sock", {"--other-title"}));
    auto& [first, one] = a;
    auto& [second, two] = b;
    ASSERT_TRUE(IsOk(one.WaitWindow("Probe Main", 20000)));
    ASSERT_TRUE(IsOk(two.WaitWindow("Probe \"Other\" Main", 20000)));
    EXPECT_EQ(two.Windows().at(0).title, "Probe \"Other\" Main");
    ASSERT_TRUE(IsOk(one.Type("#101", "first")));
    ASSERT_TRUE(IsOk(two.Type("#101", "second")));
    EXPECT_EQ(one.Text("#101"), "first");
    EXPECT_EQ(two.Text("#101"), "second");
    ASSERT_TRUE(IsOk(two.Quit()));
    EXPECT_EQ(second.Wait(kEnd), 0) << second.Output();
    EXPECT_TRUE(first.Running());
    ASSERT_TRUE(IsOk(one.Quit()));
    EXPECT_EQ(first.Wait(kEnd), 0) << first.Output();
}
