// A member the operator added with `yonda-service adduser` has no avatar: the real program meets
// the member with the avatar creation dialog right after the login, the member picks a nickname
// and parts on the turning preview, and the avatar is made on the real service, where another
// member's program sees it standing dressed in the lobby.
#include "EndToEndTest.h"
#include "LobbySteps.h"

#include <algorithm>
#include <chrono>
#include <thread>

using namespace yonda::testing;

namespace {

constexpr char kFrameClass[] = "VelmoraMain";
constexpr char kDialogClass[] = "#32770";
constexpr char kSquare[] = "\xEA\xB4\x91\xEC\x9E\xA5";   // "광장"
constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84"; // "로비"
constexpr char kChatLog[] = "#2003";

// The dialog's skin: the part tabs, the item list's cells and the preview's place.
constexpr int kTabLeft = 200, kTabTop = 40, kTabStep = 61;
constexpr int kListLeft = 200, kListTop = 68, kCell = 44;
constexpr int kPreviewLeft = 20, kPreviewTop = 40, kPreviewRight = 190, kPreviewBottom = 280;

// The handle of a shown dialog `width` pixels wide, or empty when none shows within the wait.
std::string WaitDialog(DrivenProgram& program, int width, int ms = 30000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const WindowInfo& w : program.Windows()) {
            if (w.className == kDialogClass && w.right - w.left == width) {
                return w.handle;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

// The notify box over the dialog (any other dialog), or empty.
std::string WaitBox(DrivenProgram& program, const std::string& besides, int ms = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const WindowInfo& w : program.Windows()) {
            if (w.className == kDialogClass && w.handle != besides) {
                return w.handle;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

// Pixels of the preview that are not its white background.
int DrawnPixels(const Picture& dialog)
{
    int drawn = 0;
    for (int y = kPreviewTop + 2; y < kPreviewBottom - 2; y += 2) {
        for (int x = kPreviewLeft + 2; x < kPreviewRight - 2; x += 2) {
            drawn += dialog.At(x, y) != 0xFFFFFF;
        }
    }
    return drawn;
}

int Differences(const Picture& a, const Picture& b, int left, int top, int right, int bottom)
{
    int changed = 0;
    for (int y = top; y < bottom; y += 2) {
        for (int x = left; x < right; x += 2) {
            changed += a.At(x, y) != b.At(x, y);
        }
    }
    return changed;
}

// Blue cloth: what the new member's striped tee shows and nothing of the square's own colours.
int BluePixels(const Picture& view)
{
    int blue = 0;
    for (int y = 40; y < 420; y += 2) {
        for (int x = 16; x < 610; x += 2) {
            const uint32_t p = view.At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            blue += b > 110 && b > r + 50 && b > g + 25;
        }
    }
    return blue;
}

// Into the square until the member's own avatar stands there (its arrival shows in the chat log):
// before that the camera is not yet the member's, and keys and clicks on the view go nowhere.
void EnterSquare(DrivenProgram& program, const std::string& nickname)
{
    ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass, 30000)));
    ASSERT_TRUE(IsOk(program.Click(kSquare, 80, 14)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kLobbyBar, 20000)));
    ASSERT_TRUE(IsOk(program.Click(kLobbyBar, 220, 30)));
    ASSERT_TRUE(IsOk(program.WaitGone(kLobbyBar, 20000)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string log;
    while (log.find(nickname) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        program.WaitWindow(kFrameClass); // the log is a child of the frame
        log = program.Text(kChatLog).value_or("");
    }
    ASSERT_NE(log.find(nickname), std::string::npos) << nickname << " never arrived in the square: " << log;
}

class AvatarCreation : public EndToEndTest {
protected:
    // `yonda-service adduser` on the test's database, as the operator runs it.
    void AddUser(const std::string& id, const std::string& password, const std::string& nickname)
    {
        ChildProcess adduser;
        ChildProcess::Options options;
        options.program = YONDA_SERVICE_PROGRAM;
        options.arguments = {"adduser", id, password, nickname, "--db", Service().Database()};
        std::string why;
        ASSERT_TRUE(adduser.Start(options, &why)) << why;
        ASSERT_EQ(adduser.Wait(std::chrono::seconds(20)).value_or(-1), 0) << adduser.Stderr();
    }
    std::string Value(const std::string& sql) { return Service().QueryValue(sql); }
};

} // namespace

TEST_F(AvatarCreation, ANewMemberMakesAnAvatarThatAnotherMemberSeesDressedInTheLobby)
{
    Service().AddMember("kim", "pw", "Kim");
    AddUser("nova", "pw", "Nova");
    ASSERT_EQ(Value("SELECT has_avatar FROM accounts WHERE login = 'nova'"), "0");

    // Kim stands in the square first, alone.
    DrivenProgram& kim = Launch("kim");
    LogInAs(kim, "kim", "pw");
    EnterSquare(kim, "Kim");
    // Kim's camera steps back from Kim's shoulders, as far as the square lets it, to see more of
    // the square around Kim.
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(IsOk(kim.Key(kFrameClass, "NEXT")));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto alone = kim.Capture(kFrameClass);
    ASSERT_TRUE(alone);

    DrivenProgram& nova = Launch("nova");
    LogInAs(nova, "nova", "pw");
    const std::string dialog = WaitDialog(nova, 520);
    ASSERT_FALSE(dialog.empty()) << "no avatar creation after the login";
    // The frame waits behind the dialog.
    EXPECT_FALSE(IsOk(nova.WaitWindow(kFrameClass, 200)));

    // The preview turns a dressed avatar on white.
    ASSERT_TRUE(IsOk(nova.WaitWindow(dialog)));
    std::optional<Picture> before;
    for (int i = 0; i < 100 && (!before || DrawnPixels(*before) < 50); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        before = nova.Capture(dialog);
        ASSERT_TRUE(before);
    }
    ASSERT_GE(DrawnPixels(*before), 50) << "the preview shows no avatar";

    // OK with nothing chosen names every missing part, one box after another, and stays.
    ASSERT_TRUE(IsOk(nova.WaitWindow(dialog)));
    ASSERT_TRUE(IsOk(nova.Click("#191", 20, 10)));
    for (int box = 0; box < 5; ++box) {
        const std::string shown = WaitBox(nova, dialog);
        ASSERT_FALSE(shown.empty()) << "box " << box;
        ASSERT_TRUE(IsOk(nova.Key(shown, "RETURN")));
        ASSERT_TRUE(IsOk(nova.WaitGone(shown)));
    }
    EXPECT_EQ(Value("SELECT has_avatar FROM accounts WHERE login = 'nova'"), "0");

    // The first of every part (the starting clothes), and the second hand item (a free one).
    ASSERT_TRUE(IsOk(nova.WaitWindow(dialog)));
    // The nickname starts as the operator gave it; at most six letters in the Korean skin.
    EXPECT_EQ(nova.Text("#222").value_or("?"), "Nova");
    ASSERT_TRUE(IsOk(nova.Click("#222", 60, 8)));
    ASSERT_TRUE(IsOk(nova.Key("#222", "END")));
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(IsOk(nova.Key("#222", "BACK")));
    }
    ASSERT_TRUE(IsOk(nova.Type("#222", "Stella")));
    for (int tab = 0; tab < 5; ++tab) {
        ASSERT_TRUE(IsOk(nova.WaitWindow(dialog)));
        ASSERT_TRUE(IsOk(nova.Click(dialog, kTabLeft + tab * kTabStep + 30, kTabTop + 12)));
        const int cell = tab == 4 ? 1 : 0;
        ASSERT_TRUE(IsOk(nova.Click(dialog, kListLeft + cell * kCell + kCell / 2, kListTop + kCell / 2)));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto dressed = nova.Capture(dialog);
    ASSERT_TRUE(dressed);
    EXPECT_GT(Differences(*before, *dressed, kPreviewLeft, kPreviewTop, kPreviewRight, kPreviewBottom), 20)
        << "the preview did not change with the parts";

    ASSERT_TRUE(IsOk(nova.WaitWindow(dialog)));
    ASSERT_TRUE(IsOk(nova.Click("#191", 20, 10)));
    const std::string confirm = WaitBox(nova, dialog);
    ASSERT_FALSE(confirm.empty()) << "no confirmation";
    ASSERT_TRUE(IsOk(nova.Key(confirm, "RETURN")));
    ASSERT_TRUE(IsOk(nova.WaitWindow(kFrameClass, 30000)));
    EXPECT_TRUE(IsOk(nova.WaitGone(dialog)));

    // Made once, with the chosen nickname and the one part that is not a default.
    EXPECT_EQ(Value("SELECT has_avatar FROM accounts WHERE login = 'nova'"), "1");
    EXPECT_EQ(Value("SELECT nickname FROM accounts WHERE login = 'nova'"), "Stella");
    EXPECT_EQ(Value("SELECT COUNT(*) FROM items i JOIN accounts a ON a.user = i.user WHERE a.login = 'nova'"), "1");
    EXPECT_EQ(Value("SELECT category || '-' || number || '-' || worn FROM items i JOIN accounts a ON a.user = i.user "
                    "WHERE a.login = 'nova'"),
              "5-1-1");

    // Nova joins the square: Kim's view shows the blue tee Kim does not wear.
    EnterSquare(nova, "Stella");
    // Nova walks until Kim's view shows the blue tee.
    const int blueAlone = BluePixels(*alone);
    const bool seen = WalkIntoSight(nova, [&] {
        const auto view = kim.Capture(kFrameClass);
        return view && BluePixels(*view) > blueAlone + 20;
    });
    EXPECT_TRUE(seen) << "Kim's view never showed the new member dressed";
}
