// The user information window in the real program against the real service, with a second
// member's program watching: an item worn from the window shows on the member's avatar in the
// other member's view, a nickname changed there reaches the other member as a notice (and a
// name too long or taken is refused without touching the database), and the avatar picture
// captured and uploaded there is what the other member sees in the member's profile.
#include "EndToEndTest.h"
#include "LobbySteps.h"
#include "MemberSteps.h"

#include <ServiceHarness.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

using namespace yonda::testing;
namespace fs = std::filesystem;
namespace proto = yonda::proto;

namespace {

constexpr char kFrameClass[] = "VelmoraMain";
constexpr char kDialogClass[] = "#32770";
constexpr char kMessengerClass[] = "VelmoraMessenger";
constexpr char kSquare[] = "\xEA\xB4\x91\xEC\x9E\xA5";   // the first lobby's entrance, "광장"
constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84"; // the lobby title bar, "로비"
constexpr char kInfoTitle[] = "\xEC\x82\xAC\xEC\x9A\xA9\xEC\x9E\x90 \xEC\xA0\x95\xEB\xB3\xB4"; // "사용자 정보"
constexpr char kChatLog[] = "#2003";
// Where the default skin puts the window's parts (its client coordinates).
struct Spot {
    int x, y;
};
struct Box {
    int left, top, right, bottom;
};
constexpr Spot kItemsTab{147, 47};
constexpr Spot kUpperTab{327, 51};
constexpr Spot kSecondItem{289, 96};
constexpr Box kPicture{470, 66, 600, 282};
// The 3D view's place in the frame.
constexpr int kViewLeft = 10, kViewTop = 34, kViewRight = 610, kViewBottom = 424;

struct Blob {
    int count = 0;
    double x = 0, y = 0;
};

Blob Find(const Picture& frame, const std::function<bool(int r, int g, int b)>& match)
{
    Blob blob;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = kViewLeft; x < kViewRight; ++x) {
            const uint32_t p = frame.At(x, y);
            if (match((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF)) {
                ++blob.count;
                blob.x += x;
                blob.y += y;
            }
        }
    }
    if (blob.count) {
        blob.x /= blob.count;
        blob.y /= blob.count;
    }
    return blob;
}

// Kim's checked sweater, and the orange tank top Kim puts on.
bool Red(int r, int g, int b)
{
    return r > 140 && g < 70 && b < 70;
}

bool Orange(int r, int g, int b)
{
    return r > 170 && g > 80 && g < 170 && b < 90 && r - g > 50;
}

std::string WaitForClass(DrivenProgram& program, const std::string& className, const std::string& not_ = "",
                         int ms = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const WindowInfo& w : program.Windows()) {
            if (w.className == className && w.handle != not_) {
                return w.handle;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

// Answers the next box with Enter.
void Acknowledge(DrivenProgram& program)
{
    const std::string box = WaitForClass(program, kDialogClass);
    ASSERT_FALSE(box.empty()) << "no box";
    ASSERT_TRUE(IsOk(program.Key(box, "RETURN")));
    ASSERT_TRUE(IsOk(program.WaitGone(box)));
}

// The square's start places (0, -70), (-25, -70), (25, -70), (0, -45): Kim ahead in the middle,
// Lee behind to the left, so Lee sees Kim without either walking.
constexpr int kKimAhead = 3;
constexpr int kLeeBehind = 1;

class UserInfo : public EndToEndTest {
protected:
    // `startPlace`: where the member stands on entering a lobby, or -1 for one at random.
    DrivenProgram& LogIn(const std::string& id, int startPlace = -1)
    {
        DrivenProgram& program = Launch(id, {{"Debug", "StartPlace", std::to_string(startPlace)}});
        LogInAs(program, id, "pw");
        EXPECT_TRUE(IsOk(program.WaitWindow(kFrameClass, 30000)));
        return program;
    }
    static void JoinSquare(DrivenProgram& program)
    {
        ASSERT_TRUE(IsOk(program.Click(kSquare, 80, 14)));
        ASSERT_TRUE(IsOk(program.WaitWindow(kLobbyBar, 20000)));
        ASSERT_TRUE(IsOk(program.Click(kLobbyBar, 220, 30)));
        ASSERT_TRUE(IsOk(program.WaitGone(kLobbyBar, 20000)));
        ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
    }
    // The own member's window from the tool bar's own-avatar button.
    static void OpenOwnInfo(DrivenProgram& program)
    {
        ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
        ASSERT_TRUE(IsOk(program.Click("#4002", 20, 12)));
        ASSERT_TRUE(IsOk(program.WaitWindow(kInfoTitle, 20000)));
    }
    // A connection of the test's own as `id`, before that member's program logs in.
    std::unique_ptr<TestClient> Connect(const std::string& id)
    {
        auto client = std::make_unique<TestClient>();
        client->host = Service().Address();
        EXPECT_GT(client->login(ServiceUnderTest::kPort, id), 0);
        return client;
    }
    // Until `done` holds for a capture of the program's frame, at most `seconds`.
    static std::optional<Picture> WaitView(DrivenProgram& program, const std::function<bool(const Picture&)>& done,
                                           int seconds)
    {
        std::optional<Picture> last;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            last = program.Capture(kFrameClass);
            if (last && done(*last)) {
                return last;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        return std::nullopt;
    }
    std::string Nickname(const std::string& login)
    {
        return Service().QueryValue("SELECT nickname FROM accounts WHERE login = '" + login + "'");
    }
    // Kim's nickname edit emptied and typed into.
    static void TypeNickname(DrivenProgram& program, const std::string& nickname)
    {
        ASSERT_TRUE(IsOk(program.Click("#3215", 20, 8)));
        ASSERT_TRUE(IsOk(program.Key("#3215", "END")));
        ASSERT_TRUE(IsOk(program.Key("#3215", "SHIFT+HOME")));
        ASSERT_TRUE(IsOk(program.Key("#3215", "DELETE")));
        ASSERT_TRUE(IsOk(program.Type("#3215", nickname)));
    }
};

} // namespace

TEST_F(UserInfo, AnItemWornInTheWindowIsWhatTheOtherMemberSeesTheMemberWear)
{
    Service().AddMember("kim", "pw", "Kim", {10000, true, 'M'});
    Service().AddMember("lee", "pw", "Lee", {10000, true, 'F'});
    {
        // Kim owns an orange tank top besides the red sweater Kim wears.
        auto kim = Connect("kim");
        proto::Block record(proto::kItemBuyLayout);
        record.ch(0, 'M').ch(1, '2').text(2, 4, "004").text(6, 3, "00").u8(9, 1).ch(10, 'N');
        auto buy = kim->begin(proto::BuyItem);
        buy.writer.bytes(record.bytes()).i32(10000);
        ASSERT_EQ(kim->status(buy), proto::Ok);
    }
    DrivenProgram& kim = LogIn("kim", kKimAhead);
    JoinSquare(kim);
    DrivenProgram& lee = LogIn("lee", kLeeBehind);
    JoinSquare(lee);
    // Kim walks until Lee's view shows Kim's red sweater (the square may have put Kim behind Lee).
    const auto sweaterSeen = [&lee] {
        const auto view = lee.Capture(kFrameClass);
        return view && Find(*view, Red).count > 60;
    };
    ASSERT_TRUE(sweaterSeen() || WalkIntoSight(kim, sweaterSeen)) << "Lee's view never showed Kim's red sweater";
    // Where Kim stands once the walk has ended: the sweater in the same place in two captures.
    Blob last{};
    const auto before = WaitView(
        lee,
        [&last](const Picture& p) {
            const Blob now = Find(p, Red);
            const bool still =
                now.count > 60 && last.count > 60 && std::abs(now.x - last.x) < 1.0 && std::abs(now.y - last.y) < 1.0;
            last = now;
            return still;
        },
        40);
    ASSERT_TRUE(before) << "Kim's red sweater never stood still in Lee's view";
    const Blob sweater = Find(*before, Red);

    OpenOwnInfo(kim);
    ASSERT_TRUE(IsOk(kim.Click(kInfoTitle, kItemsTab.x, kItemsTab.y)));
    ASSERT_TRUE(IsOk(kim.Click(kInfoTitle, kUpperTab.x, kUpperTab.y)));
    ASSERT_TRUE(IsOk(kim.Click(kInfoTitle, kSecondItem.x, kSecondItem.y)));
    ASSERT_TRUE(IsOk(kim.Click("#3201", 20, 10)));
    ASSERT_TRUE(IsOk(kim.WaitGone(kInfoTitle)));

    const std::string worn = "SELECT i.number FROM items i JOIN accounts a ON a.user = i.user WHERE a.login = 'kim' "
                             "AND i.category = 2 AND i.worn = 1";
    for (int i = 0; i < 100 && Service().QueryValue(worn) != "4"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(Service().QueryValue(worn), "4");
    // Where Kim stands in Lee's view the red is gone and the orange is there.
    const auto after = WaitView(
        lee,
        [&](const Picture& p) {
            const Blob orange = Find(p, Orange);
            return Find(p, Red).count < sweater.count / 4 && orange.count > 40 && std::abs(orange.x - sweater.x) < 30 &&
                   std::abs(orange.y - sweater.y) < 40;
        },
        20);
    EXPECT_TRUE(after) << "Lee's view does not show Kim in the orange tank top where Kim stands";
}

TEST_F(UserInfo, ANewNicknameIsToldToTheOtherMemberAndBadOnesChangeNothing)
{
    Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee", {10000, true, 'F'});
    DrivenProgram& kim = LogIn("kim");
    JoinSquare(kim);
    DrivenProgram& lee = LogIn("lee");
    JoinSquare(lee);

    OpenOwnInfo(kim);
    EXPECT_EQ(kim.Text("#3215").value_or("?"), "Kim");
    // Seven letters are more than a nickname holds here: refused, the window stays.
    TypeNickname(kim, "Kimberly");
    ASSERT_TRUE(IsOk(kim.Click("#3201", 20, 10)));
    Acknowledge(kim);
    ASSERT_TRUE(IsOk(kim.WaitWindow(kInfoTitle)));
    EXPECT_EQ(Nickname("kim"), "Kim");
    // Lee's name is taken: the service refuses it and keeps Kim's.
    TypeNickname(kim, "Lee");
    ASSERT_TRUE(IsOk(kim.Click("#3201", 20, 10)));
    Acknowledge(kim);
    EXPECT_EQ(Nickname("kim"), "Kim");

    OpenOwnInfo(kim);
    TypeNickname(kim, "Kimmy");
    ASSERT_TRUE(IsOk(kim.Click("#3201", 20, 10)));
    ASSERT_TRUE(IsOk(kim.WaitGone(kInfoTitle)));
    EXPECT_EQ(Nickname("kim"), "Kimmy");
    // The notice in Lee's chat log names both the old and the new nickname.
    std::string log;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        log = lee.Text(kChatLog).value_or("");
        if (log.find("Kimmy") != std::string::npos) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    const size_t at = log.find("Kimmy");
    ASSERT_NE(at, std::string::npos) << "no notice in Lee's chat log: " << log;
    const size_t line = log.rfind('\n', at);
    EXPECT_NE(log.find("Kim", line == std::string::npos ? 0 : line), at) << "the old nickname is not in the notice";
}

TEST_F(UserInfo, TheUploadedAvatarPictureIsWhatTheOtherMemberSeesInTheProfile)
{
    Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee", {10000, true, 'F'});
    DrivenProgram& lee = LogIn("lee");
    {
        // Kim writes to Lee first (from another program, before this one logs in): Lee's
        // conversation with Kim is where Lee opens Kim's profile.
        auto kim = Connect("kim");
        auto message = kim->begin(proto::InstantMessage);
        message.writer.text("lee", proto::kIdWidth).text("hello", proto::kMessageWidth);
        ASSERT_EQ(kim->status(message), proto::Ok);
    }
    ASSERT_TRUE(IsOk(lee.WaitWindow(kMessengerClass, 15000)));
    DrivenProgram& kim = LogIn("kim");

    // Before Kim uploads: Kim's profile has no picture, its place stays blank.
    ASSERT_TRUE(IsOk(lee.WaitWindow(kMessengerClass)));
    ASSERT_TRUE(IsOk(lee.Click("#5004", 10, 10)));
    ASSERT_TRUE(IsOk(lee.WaitWindow(kInfoTitle, 20000)));
    auto blank = lee.Capture(kInfoTitle);
    ASSERT_TRUE(blank);
    int marked = 0;
    for (int y = kPicture.top; y < kPicture.bottom; ++y) {
        for (int x = kPicture.left; x < kPicture.right; ++x) {
            marked += (blank->At(x, y) & 0xFFFFFF) != 0xFFFFFF;
        }
    }
    EXPECT_EQ(marked, 0) << "a picture for a member who never uploaded one";
    ASSERT_TRUE(IsOk(lee.Click("#3201", 20, 10)));
    ASSERT_TRUE(IsOk(lee.WaitGone(kInfoTitle)));

    // Kim captures the avatar, looks at it and sends it.
    OpenOwnInfo(kim);
    std::this_thread::sleep_for(std::chrono::seconds(2)); // the preview's first frames
    ASSERT_TRUE(IsOk(kim.Click("#3205", 20, 10)));
    const std::string notice = WaitForClass(kim, kDialogClass);
    ASSERT_FALSE(notice.empty()) << "no picture to look at";
    ASSERT_TRUE(IsOk(kim.Key(notice, "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(notice)));
    Acknowledge(kim);
    const std::string stored = "SELECT hex(substr(jpeg, 1, 2)) || ':' || length(jpeg) FROM images WHERE login = 'kim'";
    const std::string value = Service().QueryValue(stored);
    ASSERT_EQ(value.substr(0, 5), "FFD8:") << value;
    // The JPEG stays in the member's folder; the BMP made on the way is gone.
    const fs::path folder = kim.Home().Folder() / "ScreenShot";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename(), "kim000.jpg");
    EXPECT_EQ(std::to_string(fs::file_size(files[0])), value.substr(5));

    // Lee opens Kim's profile again: the picture fills its place, the same as the uploaded JPEG.
    ASSERT_TRUE(IsOk(lee.WaitWindow(kMessengerClass)));
    ASSERT_TRUE(IsOk(lee.Click("#5004", 10, 10)));
    ASSERT_TRUE(IsOk(lee.WaitWindow(kInfoTitle, 20000)));
    auto shown = lee.Capture(kInfoTitle);
    ASSERT_TRUE(shown);
    // 120 x 200 drawn into 130 x 216 with its sides in proportion: 129 x 216, centred.
    const int width = 129, height = 216;
    const int left = kPicture.left + (130 - width) / 2, top = kPicture.top;
    const fs::path png = WorkFolder() / "uploaded.png";
    const std::string convert = "convert '" + files[0].string() + "' -filter point -resize " + std::to_string(width) +
                                "x" + std::to_string(height) + "! '" + png.string() + "' 2>&1";
    ASSERT_EQ(std::system(convert.c_str()), 0);
    auto expected = ReadPng(png.string());
    ASSERT_TRUE(expected);
    long long difference = 0;
    int avatar = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t a = shown->At(left + x, top + y), b = expected->At(x, y);
            for (int shift : {0, 8, 16}) {
                difference += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            }
            avatar += Red((a >> 16) & 0xFF, (a >> 8) & 0xFF, a & 0xFF);
        }
    }
    EXPECT_GT(avatar, 100) << "Kim's red sweater is not in the picture";
    EXPECT_LT(difference / (width * height * 3), 12);
}
