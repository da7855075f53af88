// Two members in the square, each in a program of its own against the real service: what one does
// with the mouse in the 3D view, the other sees in its own view. Kim is dressed in yellow and Lee
// in red, so each avatar is found in a view by its colours.
#include "EndToEndTest.h"
#include "LobbySteps.h"

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

using namespace yonda::testing;

namespace {

constexpr char kFrameClass[] = "VelmoraMain";
constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84";  // "로비"
constexpr char kSquare[] = "\xEA\xB4\x91\xEC\x9E\xA5";    // "광장"
constexpr char kGarden[] = "\xEC\xA0\x95\xEC\x9B\x90";    // "정원"
// The 3D view's place in the frame.
constexpr int kViewLeft = 10, kViewTop = 34, kViewRight = 610, kViewBottom = 424;

struct Spot {
    int x = -1, y = -1;
};

struct Blob {
    int count = 0;
    double x = 0, y = 0;
};

// The pixels of the view that match, and where their middle lies.
Blob Find(const Picture& frame, const std::function<bool(int r, int g, int b)>& match, int left = kViewLeft,
          int right = kViewRight)
{
    Blob blob;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = left; x < right; ++x) {
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

// Kim's yellow sweater.
bool Yellow(int r, int g, int b)
{
    return r > 190 && g > 150 && b < 120 && r - g < 60 && g - b > 80;
}

// Lee's red sweater.
bool Red(int r, int g, int b)
{
    return r > 140 && g < 70 && b < 70;
}

// A bench's wood.
bool Wood(int r, int g, int b)
{
    return r >= 110 && r <= 170 && g >= 65 && g <= 110 && b >= 30 && b <= 70 && r - g > 35;
}

// Lawn: the garden's ground.
bool Grass(int r, int g, int b)
{
    return g > r + 20 && g > b + 10;
}

// The square's paving.
bool Paving(int r, int g, int b)
{
    return r >= 90 && r <= 200 && std::abs(r - g) < 12 && std::abs(g - b) < 12;
}

bool Around(const Picture& p, int x, int y, int reach, bool (*match)(int, int, int))
{
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const uint32_t c = p.At(x + dx, y + dy);
            if (match((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)) {
                return true;
            }
        }
    }
    return false;
}

// The nearest point of open paving beside the middle of the view (where the avatars stand), away
// from benches and Kim; x < 0 when there is none.
Spot OpenGround(const Picture& p)
{
    auto all = [&](int x, int y) {
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                const uint32_t c = p.At(x + dx, y + dy);
                if (!Paving((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF)) {
                    return false;
                }
            }
        }
        return true;
    };
    for (int y = kViewBottom - 30; y > kViewTop + 30; y -= 3) {
        for (int x = kViewLeft + 30; x < kViewRight - 30; x += 3) {
            if ((x < 200 || x > 420) && all(x, y) && !Around(p, x, y, 25, Wood) && !Around(p, x, y, 25, Yellow) &&
                !Around(p, x, y, 40, Red)) {
                return Spot{x, y + 8};
            }
        }
    }
    return Spot{};
}

// Further than this (pixels) is a walk, not a motion in place.
constexpr double kStep = 15.0;

double Distance(const Blob& a, const Blob& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool Around(const Picture& p, int x, int y, int reach, bool (*match)(int, int, int));

// The matching pixel nearest to the middle of a blob, well away from Lee.
Spot Nearest(const Picture& p, bool (*match)(int, int, int), const Blob& blob)
{
    Spot best;
    double nearest = 1e9;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = kViewLeft; x < kViewRight; ++x) {
            const uint32_t c = p.At(x, y);
            const double d = std::hypot(x - blob.x, y - blob.y);
            if (d < nearest && match((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF) && !Around(p, x, y, 60, Red)) {
                nearest = d;
                best = Spot{x, y};
            }
        }
    }
    return best;
}

class LobbyWalk : public EndToEndTest {
protected:
    DrivenProgram& LogIn(const std::string& home, const std::string& login)
    {
        DrivenProgram& program = Launch(home);
        LogInToFrame(program, login);
        return program;
    }

    // Captures the frame until the condition holds; the last capture.
    static Picture WaitView(DrivenProgram& program, const std::function<bool(const Picture&)>& done, int seconds,
                            bool* held)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        Picture last;
        *held = false;
        while (std::chrono::steady_clock::now() < deadline) {
            auto picture = program.Capture(kFrameClass);
            if (!picture) {
                return last;
            }
            last = *picture;
            if (done(last)) {
                *held = true;
                return last;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        return last;
    }

    // Kim's place in Lee's view once it has stopped changing, after it first left `from` (when
    // given) by more than a step.
    static Blob SettledKim(DrivenProgram& lee, int seconds, const Blob* from = nullptr)
    {
        Blob before{-1, 0, 0};
        bool moved = from == nullptr;
        bool held = false;
        const Picture last = WaitView(
            lee,
            [&](const Picture& p) {
                const Blob now = Find(p, Yellow);
                moved = moved || (now.count > 0 && Distance(now, *from) > kStep);
                const bool still = moved && before.count > 0 && now.count > 0 && Distance(now, before) < 1.0;
                std::this_thread::sleep_for(std::chrono::milliseconds(400));
                before = now;
                return still;
            },
            seconds, &held);
        return Find(last, Yellow);
    }
};

} // namespace

TEST_F(LobbyWalk, TheOtherMemberSeesTheWalkTheSeatTheLeaveAndTheLobbyChange)
{
    Service().AddMember("kim", "pw", "Kim", {10000, true, 'F'});
    Service().AddMember("lee", "pw", "Lee", {10000, true, 'M'});
    DrivenProgram& kim = LogIn("kim", "kim");
    JoinLobby(kim, kSquare);
    DrivenProgram& lee = LogIn("lee", "lee");
    JoinLobby(lee, kSquare);
    bool held = false;
    const Picture ready = WaitView(kim, [](const Picture& p) { return Find(p, Wood).count > 200; }, 40, &held);
    ASSERT_TRUE(held) << "the square's benches never showed in Kim's view";
    const Blob start = SettledKim(lee, 20);

    // A bench: Kim walks to it and sits, and Lee sees Kim go there.
    const Blob left = Find(ready, Wood, kViewLeft, 230), right = Find(ready, Wood, 390, kViewRight);
    // The bench on the side where Lee does not stand in the way.
    const bool leftFree = Find(ready, Red, kViewLeft, 230).count < Find(ready, Red, 390, kViewRight).count;
    const Blob bench = left.count > 100 && (leftFree || right.count <= 100) ? left : right;
    ASSERT_GT(bench.count, 100) << "no bench beside Kim";
    const Spot seat = Nearest(ready, Wood, bench);
    ASSERT_GE(seat.x, 0) << "every bench is behind Lee";
    ASSERT_TRUE(IsOk(kim.Click(kFrameClass, seat.x, seat.y)));
    const Blob seated = SettledKim(lee, 20, &start);
    EXPECT_GT(seated.count, 20);
    EXPECT_GT(Distance(seated, start), kStep) << "Lee did not see Kim walk to the bench";

    // Seated, a click on the ground stands Kim up by the bench (a seat puts its sitter a step behind
    // where it stood, so the standing-up is seen as a short move).
    // The sitting motion ends (a click while sitting down does nothing); slow builds take longer.
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const Spot up = OpenGround(*kim.Capture(kFrameClass));
    ASSERT_GE(up.x, 0) << "no open ground in Kim's view";
    ASSERT_TRUE(IsOk(kim.Click(kFrameClass, up.x, up.y)));
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const Blob stood = SettledKim(lee, 10);

    // A click on the ground walks Kim there: Kim's own view follows the walk, and Lee's shows
    // Kim's yellow at the new place once the walk has ended.
    const Picture standing = *kim.Capture(kFrameClass);
    const Spot ahead = OpenGround(standing);
    ASSERT_GE(ahead.x, 0) << "no open ground in Kim's view";
    ASSERT_TRUE(IsOk(kim.Click(kFrameClass, ahead.x, ahead.y)));
    WaitView(
        kim,
        [&](const Picture& p) {
            int changed = 0;
            for (int y = kViewTop; y < kViewBottom; y += 8) {
                for (int x = kViewLeft; x < kViewRight; x += 8) {
                    changed += p.At(x, y) != standing.At(x, y);
                }
            }
            return changed > 600;
        },
        20, &held);
    EXPECT_TRUE(held) << "Kim's view did not follow Kim's walk";
    const Blob there = SettledKim(lee, 20, &stood);
    EXPECT_GT(there.count, 40) << "Lee's view does not show Kim after the walk";
    EXPECT_GT(Distance(there, stood), kStep) << "Kim stands where Kim stood before the walk in Lee's view";
    EXPECT_GT(Distance(there, seated), kStep) << "Kim never got up from the bench";

    // Lee points at Kim (a click on another member does not walk) and opens Kim's menu with the
    // right button; its second item makes Kim Lee's friend, which the service keeps.
    const Picture leeSees = *lee.Capture(kFrameClass);
    const Blob kimThere = Find(leeSees, Yellow);
    const Spot onKim = Nearest(leeSees, Yellow, kimThere);
    ASSERT_GE(onKim.x, 0);
    const auto before = lee.Windows().size();
    ASSERT_TRUE(IsOk(lee.Click(kFrameClass, onKim.x, onKim.y)));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_LT(Distance(Find(*lee.Capture(kFrameClass), Yellow), kimThere), 2.0) << "a click on Kim moved the view";
    ASSERT_TRUE(IsOk(lee.RightClick(kFrameClass, onKim.x, onKim.y)));
    std::string menu;
    for (int i = 0; i < 100 && menu.empty(); ++i) {
        const auto windows = lee.Windows();
        if (windows.size() > before) {
            for (const WindowInfo& w : windows) {
                if (w.className != kFrameClass && w.right - w.left > 100 && w.right - w.left < 200) {
                    menu = w.handle;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(menu.empty()) << "no menu over Kim";
    ASSERT_TRUE(IsOk(lee.WaitWindow(menu)));
    ASSERT_TRUE(IsOk(lee.Click("#1", 20, 8)));
    const std::string friends = "SELECT COUNT(*) FROM friends f JOIN accounts a ON a.user = f.user "
                                "JOIN accounts b ON b.user = f.friend WHERE a.login = 'lee' AND b.login = 'kim'";
    for (int i = 0; i < 100 && Service().QueryValue(friends) != "1"; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_EQ(Service().QueryValue(friends), "1");

    // Kim leaves: Lee's view no longer has Kim.
    ASSERT_TRUE(IsOk(kim.Click("#111", 8, 8)));
    std::string box;
    for (int i = 0; i < 100 && box.empty(); ++i) {
        for (const WindowInfo& w : kim.Windows()) {
            if (w.className == "#32770") {
                box = w.handle;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(box.empty()) << "no ExitConfirmDlg";
    kim.Key(box, "RETURN");
    EXPECT_EQ(kim.End(), 0);
    WaitView(lee, [](const Picture& p) { return Find(p, Yellow).count == 0; }, 20, &held);
    EXPECT_TRUE(held) << "Kim's avatar stayed in Lee's view after Kim left";

    // Kim again: to the square's title bar, back to the map, and through the garden's entrance;
    // the flight ends in the garden, whose lawn Kim's view shows, and Lee never sees Kim.
    DrivenProgram& again = LogIn("kim-again", "kim");
    ASSERT_TRUE(IsOk(again.Click(kSquare, 80, 14)));
    ASSERT_TRUE(IsOk(again.WaitWindow(kLobbyBar, 30000)));
    ASSERT_TRUE(IsOk(again.Click(kLobbyBar, 542, 30)));
    ASSERT_TRUE(IsOk(again.WaitGone(kLobbyBar, 30000)));
    ASSERT_TRUE(IsOk(again.WaitWindow(kGarden, 30000)));
    JoinLobby(again, kGarden);
    WaitView(again,
             [](const Picture& p) {
                 // The lawn below the horizon, at both sides of Kim.
                 return Find(p, Grass, kViewLeft, 200).count > 3000 && Find(p, Grass, 420, kViewRight).count > 3000;
             },
             40, &held);
    EXPECT_TRUE(held) << "the flight did not end in the garden";
    const Picture leeView = *lee.Capture(kFrameClass);
    EXPECT_EQ(Find(leeView, Yellow).count, 0) << "Kim in the garden shows in Lee's square";
}
