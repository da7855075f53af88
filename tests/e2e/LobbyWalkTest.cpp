// Two members in the square, each in a program of its own against the real service: what one does
// with the mouse in the 3D view, the other sees in its own view. Kim is dressed in yellow and Lee
// in red, so each avatar is found in a view by its colours.
//
// Each program puts itself at one of the square's start places, chosen at random, so Lee may stand
// anywhere around Kim, in front of a bench in Kim's view or hiding Kim in Lee's. Every test
// therefore waits until both views have settled and picks its targets from fresh captures, away
// from the other member, and follows outcomes by polling rather than by fixed waits.
#include "EndToEndTest.h"
#include "LobbySteps.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

using namespace yonda::testing;

namespace {

constexpr char kFrameClass[] = "VelmoraMain";
constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84"; // "로비"
constexpr char kSquare[] = "\xEA\xB4\x91\xEC\x9E\xA5";   // "광장"
constexpr char kGarden[] = "\xEC\xA0\x95\xEC\x9B\x90";   // "정원"
// The 3D view's place in the frame.
constexpr int kViewLeft = 10, kViewTop = 34, kViewRight = 610, kViewBottom = 424;

using Match = bool (*)(int r, int g, int b);

struct Spot {
    int x = -1, y = -1;
};

struct Blob {
    int count = 0;
    double x = 0, y = 0;
};

bool Matches(const Picture& p, int x, int y, Match match)
{
    const uint32_t c = p.At(x, y);
    return match((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
}

// The pixels of the view that match, and where their middle lies.
Blob Find(const Picture& frame, Match match, int left = kViewLeft, int right = kViewRight)
{
    Blob blob;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (Matches(frame, x, y, match)) {
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

// Where in the view a colour lies, answering "is there any within this square?" at once.
class ColourMap {
public:
    ColourMap(const Picture& p, Match match)
        : m_width(kViewRight - kViewLeft), m_height(kViewBottom - kViewTop),
          m_sums(static_cast<size_t>(m_width + 1) * (m_height + 1), 0)
    {
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const int here = Matches(p, kViewLeft + x, kViewTop + y, match) ? 1 : 0;
                Sum(x + 1, y + 1) = here + Sum(x, y + 1) + Sum(x + 1, y) - Sum(x, y);
            }
        }
    }

    // Matching pixels within `reach` of a frame point (the square clipped to the view).
    int Around(int x, int y, int reach) const
    {
        const int l = std::max(0, x - kViewLeft - reach), r = std::min(m_width, x - kViewLeft + reach + 1);
        const int t = std::max(0, y - kViewTop - reach), b = std::min(m_height, y - kViewTop + reach + 1);
        if (l >= r || t >= b) {
            return 0;
        }
        return Sum(r, b) - Sum(l, b) - Sum(r, t) + Sum(l, t);
    }

private:
    int& Sum(int x, int y) { return m_sums[static_cast<size_t>(y) * (m_width + 1) + x]; }
    int Sum(int x, int y) const { return m_sums[static_cast<size_t>(y) * (m_width + 1) + x]; }

    int m_width, m_height;
    std::vector<int> m_sums;
};

// An avatar's body, with room around it: a click there may land on the avatar.
constexpr int kClearOfLee = 60;

// The matching pixel nearest to a point, clear of Lee (or of another colour); x < 0 when there is none.
Spot Nearest(const Picture& p, Match match, double nearX, double nearY, int left = kViewLeft, int right = kViewRight,
             Match clearOf = Red)
{
    const ColourMap lee(p, clearOf);
    Spot best;
    double nearest = 1e9;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = left; x < right; ++x) {
            const double d = std::hypot(x - nearX, y - nearY);
            if (d < nearest && Matches(p, x, y, match) && lee.Around(x, y, kClearOfLee) == 0) {
                nearest = d;
                best = Spot{x, y};
            }
        }
    }
    return best;
}

// Which side of the view's middle: -1 left, 1 right, 0 either.
using Side = int;

// A point of open paving beside the middle of the view (where the own avatar stands), between
// `nearest` and `furthest` pixels to the side of it, away from benches and both members, as low in
// the view as there is one below `top`; x < 0 when there is none.
Spot OpenGround(const Picture& p, Side side = 0, int nearest = 110, int furthest = 270, int top = kViewTop + 30)
{
    const ColourMap paving(p, Paving), wood(p, Wood), kim(p, Yellow), lee(p, Red);
    constexpr int kMiddle = (kViewLeft + kViewRight) / 2;
    for (int y = kViewBottom - 30; y > top; y -= 3) {
        for (int offset = nearest; offset <= furthest; offset += 3) {
            for (const int s : {-1, 1}) {
                const int x = kMiddle + s * offset;
                if ((side == 0 || side == s) && paving.Around(x, y, 3) == 49 && wood.Around(x, y, 25) == 0 &&
                    kim.Around(x, y, 25) == 0 && lee.Around(x, y, 40) == 0) {
                    return Spot{x, y + 8};
                }
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

// Samples of the view that differ between two captures.
int Changed(const Picture& a, const Picture& b)
{
    int changed = 0;
    for (int y = kViewTop; y < kViewBottom; y += 8) {
        for (int x = kViewLeft; x < kViewRight; x += 8) {
            changed += a.At(x, y) != b.At(x, y);
        }
    }
    return changed;
}

// A view has moved (its camera went along with a walk) when this many samples differ.
constexpr int kViewMoved = 600;

// The square's start places by index: (0, -70), (-25, -70), (25, -70), (0, -45).
constexpr int kKimStart = 3;
constexpr int kLeeStart = 1;

// One of the two members: its program and the colour its avatar is found by.
struct Member {
    DrivenProgram* program = nullptr;
    Match colour = nullptr;
    std::string name;
};

class LobbyWalk : public EndToEndTest {
protected:
    // Each program stands its member at a start place of its settings' choosing: Kim in the middle
    // ahead (0, -45), Lee behind to the left (-25, -70), so Lee sees Kim ahead, both see the far
    // benches, and the layout is the same every run.
    DrivenProgram& LogIn(const std::string& home, const std::string& login, int startPlace)
    {
        DrivenProgram& program = Launch(home, {{"Debug", "StartPlace", std::to_string(startPlace)}});
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

    // A colour's place in a view once it has held still over three captures, after it first left
    // `from` (when given) by more than a step; none of the colour holds still too.
    static Blob Settled(DrivenProgram& program, Match match, int seconds, const Blob* from = nullptr,
                        bool* held = nullptr)
    {
        std::vector<Blob> seen;
        bool moved = from == nullptr;
        bool still = false;
        const Picture last = WaitView(
            program,
            [&](const Picture& p) {
                const Blob now = Find(p, match);
                moved = moved || (now.count > 0 && Distance(now, *from) > kStep);
                seen.push_back(now);
                auto same = [](const Blob& a, const Blob& b) {
                    return a.count == 0
                               ? b.count == 0
                               : b.count > 0 && Distance(a, b) < 1.0 && std::abs(a.count - b.count) <= a.count / 20 + 2;
                };
                const size_t n = seen.size();
                if (!moved || n < 3 || !same(seen[n - 1], seen[n - 2]) || !same(seen[n - 2], seen[n - 3])) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    return false;
                }
                return true;
            },
            seconds, &still);
        if (held) {
            *held = still;
        }
        return Find(last, match);
    }

    // Kim and Lee in the square; returns once each program shows the other where it stands.
    void EnterTheSquare()
    {
        Service().AddMember("kim", "pw", "Kim", {10000, true, 'F'});
        Service().AddMember("lee", "pw", "Lee", {10000, true, 'M'});
        m_kim = Member{&LogIn("kim", "kim", kKimStart), Yellow, "Kim"};
        JoinLobby(*m_kim.program, kSquare);
        m_lee = Member{&LogIn("lee", "lee", kLeeStart), Red, "Lee"};
        JoinLobby(*m_lee.program, kSquare);
        bool held = false;
        WaitView(
            *m_kim.program, [](const Picture& p) { return Find(p, Wood).count > 200; }, 40, &held);
        ASSERT_TRUE(held) << "the square's benches never showed in Kim's view";
        Settled(*m_lee.program, Yellow, 30, nullptr, &held);
        ASSERT_TRUE(held) << "Kim's avatar never held still in Lee's view";
        // Lee's avatar (where in sight) has come into Kim's view and stands at its start place.
        Settled(*m_kim.program, Red, 30, nullptr, &held);
        ASSERT_TRUE(held) << "Lee's avatar never held still in Kim's view";
    }

    // The member walks to open ground in its own view (see OpenGround); its view follows.
    static void WalkToOpenGround(const Member& walker, Side side = 0, int nearest = 110, int furthest = 270,
                                 int top = kViewTop + 30)
    {
        const Picture standing = *walker.program->Capture(kFrameClass);
        const Spot ahead = OpenGround(standing, side, nearest, furthest, top);
        ASSERT_GE(ahead.x, 0) << "no open ground in " << walker.name << "'s view";
        ASSERT_TRUE(IsOk(walker.program->Click(kFrameClass, ahead.x, ahead.y)));
        bool held = false;
        WaitView(
            *walker.program, [&](const Picture& p) { return Changed(p, standing) > kViewMoved; }, 20, &held);
        ASSERT_TRUE(held) << walker.name << "'s view did not follow " << walker.name << "'s walk";
    }

    // A point on Kim in Lee's view, clear of Lee. Both start facing the same way from places close
    // together, so where Lee hides Kim, Kim walks ahead and aside, away from Lee, into Lee's sight.
    Spot KimInLeesSight()
    {
        for (int tries = 0; tries < 3; ++tries) {
            const Picture view = *m_lee.program->Capture(kFrameClass);
            const Blob kim = Find(view, Yellow);
            const Spot on = kim.count > 40 ? Nearest(view, Yellow, kim.x, kim.y) : Spot{};
            if (on.x >= 0) {
                return on;
            }
            const Blob lee = Find(*m_kim.program->Capture(kFrameClass), Red);
            const Side away = lee.count == 0 ? 0 : lee.x < (kViewLeft + kViewRight) / 2 ? 1 : -1;
            const int ground = kViewBottom - 150; // ahead, short of the horizon
            WalkToOpenGround(m_kim, away, 60 + 50 * tries, 270, ground);
            bool held = false;
            Settled(*m_lee.program, Yellow, 20, nullptr, &held);
        }
        return Spot{};
    }

    Member m_kim, m_lee;
};

// The largest bench within [left, right) of the view, when `whole` one wholly in sight: its wood
// pixels (a bench cut by the view's edge may be one whose seats lie out of sight).
std::vector<Spot> WholeBench(const Picture& p, int left, int right, bool whole = true)
{
    const int w = kViewRight - kViewLeft, h = kViewBottom - kViewTop;
    // Hair is as brown as wood: what lies by a member's sweater is a member.
    const ColourMap kim(p, Yellow), lee(p, Red);
    std::vector<int> label(static_cast<size_t>(w) * h, 0);
    std::vector<Spot> best;
    int next = 0;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = left; x < right; ++x) {
            const size_t at = static_cast<size_t>(y - kViewTop) * w + (x - kViewLeft);
            if (label[at] || !Matches(p, x, y, Wood)) {
                continue;
            }
            std::vector<Spot> part{Spot{x, y}};
            label[at] = ++next;
            bool cut = false, member = false;
            for (size_t i = 0; i < part.size(); ++i) {
                const Spot s = part[i];
                cut = cut || s.x <= kViewLeft + 1 || s.x >= kViewRight - 2 || s.y >= kViewBottom - 2;
                member = member || kim.Around(s.x, s.y, 40) > 0 || lee.Around(s.x, s.y, 40) > 0;
                for (const auto& d : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                    const int nx = s.x + d.first, ny = s.y + d.second;
                    if (nx < left || nx >= right || ny < kViewTop || ny >= kViewBottom) {
                        continue;
                    }
                    const size_t n = static_cast<size_t>(ny - kViewTop) * w + (nx - kViewLeft);
                    if (!label[n] && Matches(p, nx, ny, Wood)) {
                        label[n] = next;
                        part.push_back(Spot{nx, ny});
                    }
                }
            }
            if (!(whole && cut) && !member && part.size() > best.size()) {
                best = std::move(part);
            }
        }
    }
    return best;
}

// A seat for the walker to click in its own view, on a bench wholly in sight on a side of the
// view where the watcher has a good part of a bench in sight (both start facing the same way, so a
// side of one view is that side of the other), clear of the watcher; x < 0 when there is none.
Spot SharedBench(const Picture& walkerView, Match walkerColour, Match watcherColour, const Picture& watcherView)
{
    const ColourMap watcher(walkerView, watcherColour);
    // The walker's own avatar (head and hair above its sweater) takes clicks in its columns too.
    int ownLeft = kViewRight, ownRight = kViewLeft;
    for (int y = kViewTop; y < kViewBottom; ++y) {
        for (int x = kViewLeft; x < kViewRight; ++x) {
            if (Matches(walkerView, x, y, walkerColour)) {
                ownLeft = std::min(ownLeft, x);
                ownRight = std::max(ownRight, x);
            }
        }
    }
    const int sides[2][2] = {{kViewLeft, 230}, {390, kViewRight}};
    for (const auto& side : sides) {
        if (WholeBench(watcherView, side[0], side[1], false).size() < 300) {
            continue;
        }
        const std::vector<Spot> bench = WholeBench(walkerView, side[0], side[1]);
        if (bench.size() < 300) {
            continue;
        }
        // A bench seats two, each half way from its middle to an end; between the two seats and
        // at the ends a click falls through to the ground behind.
        int left = kViewRight, right = kViewLeft;
        double middleY = 0;
        for (const Spot& s : bench) {
            left = std::min(left, s.x);
            right = std::max(right, s.x);
            middleY += s.y;
        }
        middleY /= static_cast<double>(bench.size());
        for (const double place : {0.25, 0.75}) {
            const double x = left + (right - left) * place;
            Spot seat;
            double nearest = 1e9;
            for (const Spot& s : bench) {
                const double d = std::hypot(s.x - x, s.y - middleY);
                const bool own = s.x > ownLeft - 30 && s.x < ownRight + 30;
                if (d < nearest && !own && watcher.Around(s.x, s.y, kClearOfLee) == 0) {
                    nearest = d;
                    seat = s;
                }
            }
            if (seat.x >= 0 && nearest < (right - left) * 0.15) {
                return seat;
            }
        }
    }
    return Spot{};
}

} // namespace

TEST_F(LobbyWalk, TheOtherSeesAWalkToABenchTheStandingUpAndAWalkAway)
{
    ASSERT_NO_FATAL_FAILURE(EnterTheSquare());
    // Whoever has a bench in sight that the other sees too walks; the other watches.
    Member walker = m_kim, watcher = m_lee;
    Picture ready = *walker.program->Capture(kFrameClass);
    Spot seat = SharedBench(ready, walker.colour, watcher.colour, *watcher.program->Capture(kFrameClass));
    if (seat.x < 0) {
        std::swap(walker, watcher);
        ready = *walker.program->Capture(kFrameClass);
        seat = SharedBench(ready, walker.colour, watcher.colour, *watcher.program->Capture(kFrameClass));
    }
    ASSERT_GE(seat.x, 0) << "no bench that one member can click and the other sees";
    DrivenProgram& watching = *watcher.program;
    const Blob start = Find(*watching.Capture(kFrameClass), walker.colour);

    // A bench: the walker walks to it and sits, its own view following, and the watcher sees the
    // walker go there.
    ASSERT_TRUE(IsOk(walker.program->Click(kFrameClass, seat.x, seat.y)));
    bool held = false;
    WaitView(
        *walker.program, [&](const Picture& p) { return Changed(p, ready) > kViewMoved; }, 20, &held);
    ASSERT_TRUE(held) << walker.name << "'s click on a bench did not walk " << walker.name
                      << " there (its own view stood still)";
    const Blob seated = Settled(watching, walker.colour, 30, &start, &held);
    EXPECT_TRUE(held) << walker.name << " never came to rest in " << watcher.name << "'s view";
    EXPECT_GT(seated.count, 20) << watcher.name << "'s view does not show " << walker.name << " on the bench";
    ASSERT_GT(Distance(seated, start), kStep) << watcher.name << " did not see " << walker.name << " walk to the bench";

    // Seated, a click on the ground stands the walker up by the bench. A click while still sitting
    // down does nothing, so the walker clicks until the watcher sees it leave the seat (the
    // standing-up is a short move, a step behind the seat; a later click walks on).
    Blob up = seated;
    for (int tries = 0; tries < 15 && !(up.count > 20 && Distance(up, seated) > kStep); ++tries) {
        const Spot ground = OpenGround(*walker.program->Capture(kFrameClass), 0, 60);
        ASSERT_GE(ground.x, 0) << "no open ground in " << walker.name << "'s view";
        ASSERT_TRUE(IsOk(walker.program->Click(kFrameClass, ground.x, ground.y)));
        std::this_thread::sleep_for(std::chrono::seconds(2));
        up = Find(*watching.Capture(kFrameClass), walker.colour);
    }
    ASSERT_GT(Distance(up, seated), kStep)
        << walker.name << " never got up from the bench in " << watcher.name << "'s view";
    const Blob stood = Settled(watching, walker.colour, 20, nullptr, &held);
    EXPECT_TRUE(held) << walker.name << " never came to rest in " << watcher.name << "'s view after getting up";

    // A click on the ground walks the walker there: its own view follows the walk, and the
    // watcher's shows it at the new place once the walk has ended. The walk is a short one beside
    // the bench; where the walker faces after getting up decides whether that ground lies in the
    // watcher's sight, so a walk that leaves it is followed by one to the other side.
    Blob there;
    for (int walk = 0; walk < 4; ++walk) {
        ASSERT_NO_FATAL_FAILURE(WalkToOpenGround(walker, walk % 2 ? 1 : -1, 60, 150));
        there = Settled(watching, walker.colour, 15, &stood, &held);
        if (held && there.count > 40) {
            break;
        }
    }
    EXPECT_TRUE(held) << watcher.name << " did not see " << walker.name << " walk away from the bench";
    EXPECT_GT(there.count, 40) << watcher.name << "'s view does not show " << walker.name << " after the walk";
    EXPECT_GT(Distance(there, stood), kStep)
        << walker.name << " stands where it stood before the walk in " << watcher.name << "'s view";
}

TEST_F(LobbyWalk, TheAvatarMenuMakesTheOtherMemberAFriend)
{
    ASSERT_NO_FATAL_FAILURE(EnterTheSquare());
    DrivenProgram& lee = *m_lee.program;
    const Spot onKim = KimInLeesSight();
    ASSERT_GE(onKim.x, 0) << "Kim never stood clear of Lee in Lee's view";

    // Lee points at Kim (a click on another member does not walk) and opens Kim's menu with the
    // right button; its second item makes Kim Lee's friend, which the service keeps.
    const Blob kimThere = Find(*lee.Capture(kFrameClass), Yellow);
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
}

TEST_F(LobbyWalk, LeavingTakesTheAvatarOutOfTheOthersView)
{
    ASSERT_NO_FATAL_FAILURE(EnterTheSquare());
    DrivenProgram& kim = *m_kim.program;
    ASSERT_GE(KimInLeesSight().x, 0) << "Kim never stood clear of Lee in Lee's view";

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
    bool held = false;
    WaitView(
        *m_lee.program, [](const Picture& p) { return Find(p, Yellow).count == 0; }, 20, &held);
    EXPECT_TRUE(held) << "Kim's avatar stayed in Lee's view after Kim left";
}

TEST_F(LobbyWalk, TheEntranceButtonsTakeAMemberToAnotherLobby)
{
    Service().AddMember("kim", "pw", "Kim", {10000, true, 'F'});
    Service().AddMember("lee", "pw", "Lee", {10000, true, 'M'});
    DrivenProgram& lee = LogIn("lee", "lee", kLeeStart);
    JoinLobby(lee, kSquare);
    bool held = false;
    WaitView(
        lee, [](const Picture& p) { return Find(p, Wood).count > 200; }, 40, &held);
    ASSERT_TRUE(held) << "the square's benches never showed in Lee's view";

    // Kim flies to the square's title bar, goes back to the map, and through the garden's
    // entrance; the flight ends in the garden, whose lawn Kim's view shows, and Lee never sees Kim.
    DrivenProgram& kim = LogIn("kim", "kim", kKimStart);
    ASSERT_TRUE(IsOk(kim.Click(kSquare, 80, 14)));
    ASSERT_TRUE(IsOk(kim.WaitWindow(kLobbyBar, 30000)));
    ASSERT_TRUE(IsOk(kim.Click(kLobbyBar, 542, 30)));
    ASSERT_TRUE(IsOk(kim.WaitGone(kLobbyBar, 30000)));
    ASSERT_TRUE(IsOk(kim.WaitWindow(kGarden, 30000)));
    JoinLobby(kim, kGarden);
    WaitView(
        kim,
        [](const Picture& p) {
            // The lawn below the horizon, at both sides of Kim.
            return Find(p, Grass, kViewLeft, 200).count > 3000 && Find(p, Grass, 420, kViewRight).count > 3000;
        },
        40, &held);
    EXPECT_TRUE(held) << "the flight did not end in the garden";
    EXPECT_EQ(Find(*lee.Capture(kFrameClass), Yellow).count, 0) << "Kim in the garden shows in Lee's square";
}
