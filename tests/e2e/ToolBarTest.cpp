// The tool bar in the real program against the real service: the member's points from the
// database written in the bar, a screenshot from the bar that an outside decoder reads, and an
// emotion from the bar seen on the member's avatar by another member.
#include "EndToEndTest.h"
#include "LobbySteps.h"
#include "ToolBarPoints.h"
#include "WindowSteps.h"

#include <afxwin.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

using namespace yonda::testing;
namespace fs = std::filesystem;

namespace {


// Runs a command line and gives back what it wrote.
std::string ShellOutput(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe.get())) {
        out += buffer;
    }
    return out;
}

// Until the view shows the square (ground below, sky above): its picture.
std::optional<Picture> SquareShown(DrivenProgram& program)
{
    std::optional<Picture> view;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    while (std::chrono::steady_clock::now() < deadline) {
        view = program.Capture(kFrameClass);
        if (!view || view->At(310, 400) != view->At(310, 60)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return view;
}

// Skin-coloured pixels of the avatar's shoulders and hands (the own avatar is seen from behind,
// so at rest only its neck shows skin there).
int SkinPixels(const Picture& view)
{
    int skin = 0;
    for (int y = 34 + 200; y < 34 + 290; ++y) {
        for (int x = 10 + 180; x < 10 + 420; ++x) {
            const uint32_t p = view.At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            skin += r > 200 && g > 170 && b > 140 && r > g && g > b && r - b > 25;
        }
    }
    return skin;
}

class ToolBar : public EndToEndTest {
protected:
    // A member logged in and standing in the square, the square drawn in the view.
    DrivenProgram& MemberInTheSquare(const std::string& id)
    {
        Service().AddMember(id, "pw", id);
        DrivenProgram& program = Launch(id);
        LogInToFrame(program, id);
        JoinLobby(program, kSquareEntrance);
        EXPECT_TRUE(SquareShown(program));
        return program;
    }
};

} // namespace

TEST_F(ToolBar, ScreenshotWritesPicturesAnOutsideDecoderReads)
{
    DrivenProgram& kim = MemberInTheSquare("kim");
    ASSERT_FALSE(HasFailure());
    std::vector<fs::path> before;
    if (fs::is_directory(kim.Home().Folder() / "ScreenShot")) {
        for (const auto& entry : fs::directory_iterator(kim.Home().Folder() / "ScreenShot")) {
            before.push_back(entry.path());
        }
    }
    auto view = kim.Capture(kFrameClass);
    ASSERT_TRUE(view);
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    ASSERT_TRUE(IsOk(kim.Click("#4004", 20, 12)));
    const std::string box = WaitForClass(kim, kDialogClass);
    ASSERT_FALSE(box.empty()) << "no notice of the saved picture";
    ASSERT_TRUE(IsOk(kim.Key(box, "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(box)));

    // The pictures the click made (the folder may hold older ones of the same home).
    const fs::path folder = kim.Home().Folder() / "ScreenShot";
    std::vector<fs::path> jpegs, bmps;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (std::find(before.begin(), before.end(), entry.path()) == before.end()) {
            (entry.path().extension() == ".jpg" ? jpegs : bmps).push_back(entry.path());
        }
    }
    ASSERT_EQ(jpegs.size(), 1u);
    ASSERT_EQ(bmps.size(), 1u);
    EXPECT_EQ(jpegs[0].stem(), bmps[0].stem());
    EXPECT_EQ(jpegs[0].stem().string().size(), 14u) << "year, month, day, hour, minute, second";
    for (const fs::path& file : {jpegs[0], bmps[0]}) {
        EXPECT_EQ(ShellOutput("identify -format '%m %w %h' '" + file.string() + "' 2>/dev/null"),
                  (file == jpegs[0] ? "JPEG" : "BMP3") + std::string(" 600 390"))
            << file;
    }
    const fs::path png = WorkFolder() / "shot.png";
    ShellOutput("convert '" + jpegs[0].string() + "' '" + png.string() + "'");
    auto shot = ReadPng(png.string());
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->width, 600);
    // The picture is what the view showed: the same sky and ground, give or take the member's
    // breathing and the JPEG's rounding.
    long long difference = 0;
    for (int y = 0; y < 390; ++y) {
        for (int x = 0; x < 600; ++x) {
            const uint32_t a = shot->At(x, y), b = view->At(10 + x, 34 + y);
            for (int shift : {0, 8, 16}) {
                difference += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            }
        }
    }
    EXPECT_LT(difference / (600 * 390 * 3), 12);
    EXPECT_NE(shot->At(300, 10), shot->At(300, 380)) << "a picture of one colour";
}

TEST_F(ToolBar, AnEmotionFromTheBarPlaysOnTheMembersAvatar)
{
    DrivenProgram& kim = MemberInTheSquare("kim");
    ASSERT_FALSE(HasFailure());
    std::this_thread::sleep_for(std::chrono::seconds(2));
    // At rest the skin the view shows of the member (seen from behind) hardly changes.
    int least = 1 << 30, most = 0;
    for (int i = 0; i < 4; ++i) {
        auto still = kim.Capture(kFrameClass);
        ASSERT_TRUE(still);
        least = std::min(least, SkinPixels(*still));
        most = std::max(most, SkinPixels(*still));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ASSERT_GT(least, 200) << "the member is not where the view should show it";
    ASSERT_LT(most - least, 60);
    // The emotion button opens the menu; a second click while it is open opens no second one.
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    ASSERT_TRUE(IsOk(kim.Click("#4003", 20, 12)));
    const std::string menu = WaitForClass(kim, "Afx:0:0:0:0");
    ASSERT_FALSE(menu.empty()) << "no emotion menu";
    // Laughing: the second item (under the menu's top band, 19 pixels an item).
    ASSERT_TRUE(IsOk(kim.Click(menu, 60, 37)));
    ASSERT_TRUE(IsOk(kim.WaitGone(menu)));
    bool played = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!played && std::chrono::steady_clock::now() < deadline) {
        auto after = kim.Capture(kFrameClass);
        ASSERT_TRUE(after);
        const int skin = SkinPixels(*after);
        played = skin < least - 150 || skin > most + 150;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(played) << "the member's avatar did not laugh";
}

// The points in the bar, drawn as the bar draws them.
TEST_F(ToolBar, ThePointsAreTheMembersPointsFromTheDatabase)
{
    MemberOptions rich;
    rich.points = 1234567;
    Service().AddMember("kim", "pw", "Kim", rich);
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    EXPECT_EQ(Service().QueryValue("SELECT points FROM accounts WHERE login = 'kim'"), "1234567");
    auto frame = kim.Capture(kFrameClass);
    ASSERT_TRUE(frame);
    auto drawn = [&](const char* text) { return PointsDrawnWrong(*frame, text); };
    EXPECT_EQ(drawn("1,234,567"), 0);
    EXPECT_GT(drawn("1,234,568"), 0) << "the comparison tells digits apart";
    EXPECT_GT(drawn("10,000"), 0);
}
