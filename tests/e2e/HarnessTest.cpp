// The end-to-end harness with a program of its own (HarnessProbe.cpp) and the real service: the
// program runs in its own home with its own settings and reaches the service on the test's
// address, sees it go and come back, writes its settings back at its end; two programs run side
// by side; and on an X server of the test's own the same driving works through the display,
// where a message box is a window to see and answer.
#include "EndToEndTest.h"

#include <memory>

using namespace yonda::testing;

TEST_F(EndToEndTest, AProgramInItsOwnHomeReachesTheServiceOnItsOwnAddress)
{
    int32_t kim = Service().AddMember("kim", "pw", "Kim");
    ASSERT_GT(kim, 0);
    EXPECT_EQ(Service().QueryValue("SELECT nickname FROM accounts WHERE login = 'kim'"), "Kim");
    EXPECT_EQ(Service().QueryValue("SELECT COUNT(*) FROM items WHERE user = " + std::to_string(kim) + " AND worn"),
              "4");

    DrivenProgram& one = Launch("one");
    ASSERT_TRUE(IsOk(one.WaitWindow("Yonda Alpha", 30000)));
    EXPECT_EQ(one.Text("#1002"), "ServerIp=" + Service().Address());
    EXPECT_EQ(one.Text("#1003"), "skin: yes");
    ASSERT_TRUE(IsOk(one.Click("#1004", 5, 5)));
    EXPECT_EQ(one.Text("#1005"), "probe: 5 bytes");

    // The connection is lost while the program runs, and comes back on the same address.
    Service().Kill();
    ASSERT_TRUE(IsOk(one.Click("#1004", 5, 5)));
    EXPECT_EQ(one.Text("#1005"), "probe: refused");
    std::string why;
    ASSERT_TRUE(Service().Start(&why)) << why;
    ASSERT_TRUE(IsOk(one.Click("#1004", 5, 5)));
    EXPECT_EQ(one.Text("#1005"), "probe: 5 bytes");

    auto picture = one.Capture("Yonda Alpha");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 320);
    EXPECT_EQ(picture->height, 180);

    // What the program writes back at its end is read in UTF-8.
    ASSERT_TRUE(IsOk(one.Type("#1001", "김민수")));
    EXPECT_EQ(one.End(), 0) << one.Process().Output();
    EXPECT_EQ(one.Home().ReadSetting("Option", "SavedID"), "김민수");
    EXPECT_EQ(one.Home().ReadSetting("Server", "LobbyCount"), "5");
}

TEST_F(EndToEndTest, TwoProgramsRunSideBySideWithTheirOwnSettings)
{
    DrivenProgram& one = Launch("one");
    DrivenProgram& two = Launch(
        "two",
        {{"Window", "Title", "Yonda Beta"}, {"Option", "SoundOff", std::nullopt}, {"Option", "RememberMe", "1"}});
    ASSERT_TRUE(IsOk(one.WaitWindow("Yonda Alpha", 30000)));
    ASSERT_TRUE(IsOk(two.WaitWindow("Yonda Beta", 30000)));
    // Each program shows its own window only.
    ASSERT_EQ(one.Windows().size(), 1u);
    EXPECT_EQ(two.Windows().at(0).className, "Yonda Alpha");
    EXPECT_EQ(two.Windows().at(0).title, "Yonda Beta");
    EXPECT_EQ(two.Home().ReadSetting("Option", "SoundOff"), std::nullopt);
    EXPECT_EQ(two.Home().ReadSetting("Option", "RememberMe"), "1");
    EXPECT_EQ(one.Home().ReadSetting("Option", "RememberMe"), "0");
    ASSERT_TRUE(IsOk(one.Type("#1001", "one")));
    ASSERT_TRUE(IsOk(two.Type("#1001", "two")));
    EXPECT_EQ(one.Text("#1001"), "one");
    EXPECT_EQ(two.Text("#1001"), "two");
    ASSERT_TRUE(IsOk(two.Click("#1004", 5, 5)));
    EXPECT_EQ(two.Text("#1005"), "probe: 5 bytes");
}

TEST_F(EndToEndTest, OnAnXServerTheProgramIsDrivenThroughTheDisplay)
{
    LaunchOptions options;
    options.display = XDisplay();
    // No service: the settings name an address of their own.
    DrivenProgram& shown = Launch("shown", {{"Server", "ServerIp", "127.0.0.1"}}, options);
    ASSERT_TRUE(IsOk(shown.WaitWindow("Yonda Alpha", 30000)));
    ASSERT_TRUE(IsOk(shown.Type("#1001", "보기")));
    EXPECT_EQ(shown.Text("#1001"), "보기");

    // With a display a message box is a window: seen, read and answered like any other.
    ASSERT_TRUE(IsOk(shown.Click("#1006", 5, 5)));
    ASSERT_TRUE(IsOk(shown.WaitWindow("YondaMessageBox")));
    bool listed = false;
    for (const WindowInfo& window : shown.Windows())
        listed |= window.className == "YondaMessageBox" && window.title == "Yonda Alpha box";
    EXPECT_TRUE(listed);
    ASSERT_TRUE(IsOk(shown.Key("YondaMessageBox", "RETURN")));
    ASSERT_TRUE(IsOk(shown.WaitGone("YondaMessageBox")));
    ASSERT_TRUE(IsOk(shown.WaitWindow("Yonda Alpha")));
    EXPECT_EQ(shown.Text("#1007"), "box ok");
    auto picture = shown.Capture("#1001");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 200);
}

TEST_F(EndToEndTest, AProgramWhoseXServerGoesAwayEndsWithoutAborting)
{
    auto server = std::make_unique<XServer>();
    std::string why;
    ASSERT_TRUE(server->Start(&why)) << why;
    LaunchOptions options;
    options.display = server->Display();
    DrivenProgram& shown = Launch("shown", {{"Server", "ServerIp", "127.0.0.1"}}, options);
    ASSERT_TRUE(IsOk(shown.WaitWindow("Yonda Alpha", 30000)));
    server.reset();
    // A broken display connection ends the program at once, saying so.
    EXPECT_EQ(shown.Process().Wait(std::chrono::seconds(20)), 1) << shown.Process().Output();
    EXPECT_NE(shown.Process().Stderr().find("the connection to the display is gone"), std::string::npos);
    shown.End();
}
