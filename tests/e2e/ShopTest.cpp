// The item shop in the real program against the real service: a member opens the shop from the
// main frame, buys one item with its own button, fills a basket of three and buys it at once, and
// is refused when the points do not reach. What was bought is checked in the service's database.
#include "EndToEndTest.h"
#include "ToolBarPoints.h"
#include "MemberSteps.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

using namespace yonda::testing;

namespace {

constexpr char kFrameClass[] = "VelmoraMain";
constexpr char kDialogClass[] = "#32770";
constexpr char kGarden[] = "\xEC\xA0\x95\xEC\x9B\x90";   // the entrance of lobby 1, the one with the shop, "정원"
constexpr char kLobbyBar[] = "\xEB\xA1\x9C\xEB\xB9\x84"; // the lobby title bar, "로비"
constexpr char kShopTitle[] = "\xEC\x95\x84\xEC\x9D\xB4\xED\x85\x9C \xEC\x83\x81\xEC\xA0\x90"; // "아이템 상점"

// Where the default skin puts the shop's parts (dialog client coordinates).
constexpr int kGridLeft = 16 + 1;
constexpr int kGridTop = 62 + 1;
constexpr int kCellStep = 48 + 1;
constexpr int kTabLeft = 16;
constexpr int kTabWidth = 68;
constexpr int kTabY = 47;

int Dialogs(DrivenProgram& program)
{
    const auto windows = program.Windows();
    return static_cast<int>(
        std::count_if(windows.begin(), windows.end(), [](const WindowInfo& w) { return w.className == kDialogClass; }));
}

// The topmost box once the program shows `count` dialogs (the shop and a box over it make two).
std::string WaitForBox(DrivenProgram& program, int count, int ms = 10000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto windows = program.Windows();
        if (Dialogs(program) >= count) {
            for (const WindowInfo& w : windows) {
                if (w.className == kDialogClass && w.title != kShopTitle) {
                    return w.handle;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

// Answers the box that the last action opened over the shop with Enter (OK).
void Confirm(DrivenProgram& program)
{
    const std::string box = WaitForBox(program, 2);
    ASSERT_FALSE(box.empty()) << "no box over the shop";
    ASSERT_TRUE(IsOk(program.Key(box, "RETURN")));
    ASSERT_TRUE(IsOk(program.WaitGone(box)));
}

// The member flies to the garden and joins it (the tool bar's shop button is on only there), and
// opens the shop with it.
void OpenShop(DrivenProgram& program)
{
    ASSERT_TRUE(IsOk(program.Click(kGarden, 80, 14)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kLobbyBar, 20000)));
    ASSERT_TRUE(IsOk(program.Click(kLobbyBar, 220, 30)));
    ASSERT_TRUE(IsOk(program.WaitGone(kLobbyBar, 20000)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
    ASSERT_TRUE(IsOk(program.Click("#4008", 10, 10)));
    ASSERT_TRUE(IsOk(program.WaitWindow(kShopTitle, 20000)));
}

void ClickTab(DrivenProgram& program, int tab)
{
    ASSERT_TRUE(IsOk(program.Click(kShopTitle, kTabLeft + kTabWidth * tab + kTabWidth / 2, kTabY)));
}

// A click on the cell's name: selects it, tries it on and puts it into the basket.
void ClickCell(DrivenProgram& program, int cell)
{
    ASSERT_TRUE(IsOk(program.Click(kShopTitle, kGridLeft + 120, kGridTop + kCellStep * cell + 20)));
}

void ClickBuy(DrivenProgram& program, int cell)
{
    ASSERT_TRUE(IsOk(program.Click(kShopTitle, kGridLeft + 258 + 27, kGridTop + kCellStep * cell + 24)));
}

class ShopTest : public EndToEndTest {
protected:
    std::string Points(const std::string& login)
    {
        return Service().QueryValue("SELECT points FROM accounts WHERE login = '" + login + "'");
    }
    // "gender category number texture worn" of the member's items, sorted.
    std::vector<std::string> Items(const std::string& login)
    {
        std::vector<std::string> items;
        for (const auto& row : Service().Query("SELECT i.gender, i.category, i.number, i.texture, i.worn FROM items i "
                                               "JOIN accounts a ON a.user = i.user WHERE a.login = '" +
                                               login + "'")) {
            std::string line;
            for (const std::string& column : row) {
                line += (line.empty() ? "" : " ") + column;
            }
            items.push_back(line);
        }
        std::sort(items.begin(), items.end());
        return items;
    }
};

} // namespace

TEST_F(ShopTest, AMemberBuysOneItemAndItsPriceLeavesThePoints)
{
    Service().AddMember("kim", "pw", "Kim");
    const auto before = Items("kim");
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    OpenShop(kim);
    // The preview shows the member before a white ground.
    bool drawn = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!drawn && std::chrono::steady_clock::now() < deadline) {
        auto shop = kim.Capture(kShopTitle);
        ASSERT_TRUE(shop);
        int white = 0;
        int other = 0;
        for (int y = 40; y < 280; y += 4) {
            for (int x = 376; x < 540; x += 4) {
                (shop->At(x, y) == 0xFFFFFF ? white : other) += 1;
            }
        }
        drawn = white > 500 && other > 40;
        if (!drawn) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    EXPECT_TRUE(drawn) << "the preview never showed the avatar";

    // The man's second hair style costs 300.
    ClickBuy(kim, 1);
    Confirm(kim);
    EXPECT_EQ(Points("kim"), "9700");
    // The tool bar shows what is left.
    bool shown = false;
    for (int i = 0; i < 50 && !shown; ++i) {
        const auto frame = kim.Capture(kFrameClass);
        ASSERT_TRUE(frame);
        shown = PointsDrawnWrong(*frame, "9,700") == 0;
        if (!shown) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    EXPECT_TRUE(shown) << "the tool bar does not show the points left after the purchase";
    auto after = Items("kim");
    ASSERT_EQ(after.size(), before.size() + 1);
    EXPECT_NE(std::find(after.begin(), after.end(), "M 0 0 1 0"), after.end()) << "bought, not worn";
    // Bought once: a second press finds it owned and buys nothing.
    ClickBuy(kim, 1);
    Confirm(kim);
    EXPECT_EQ(Points("kim"), "9700");
    EXPECT_EQ(Items("kim").size(), after.size());
    ASSERT_TRUE(IsOk(kim.Key(kShopTitle, "ESCAPE")));
    ASSERT_TRUE(IsOk(kim.WaitGone(kShopTitle)));
}

TEST_F(ShopTest, ABasketOfThreeIsBoughtAtOnce)
{
    Service().AddMember("kim", "pw", "Kim");
    const size_t owned = Items("kim").size();
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    OpenShop(kim);
    ClickCell(kim, 1); // hair: Short Crop (Wine Red), 300
    ClickTab(kim, 1);
    ClickCell(kim, 4); // upper: Logo Tee (White), 800
    ClickTab(kim, 2);
    ClickCell(kim, 3); // lower: Chino Shorts (Rust), 200
    ClickCell(kim, 4); // Slacks (Charcoal), 800, in its place: one item per category
    ASSERT_TRUE(IsOk(kim.Click(kShopTitle, 372 + 86, 300 + 14)));
    Confirm(kim);
    EXPECT_EQ(Points("kim"), std::to_string(10000 - 300 - 800 - 800));
    const auto items = Items("kim");
    EXPECT_EQ(items.size(), owned + 3);
    for (const char* bought : {"M 0 0 1 0", "M 2 2 0 0", "M 3 2 0 0"}) {
        EXPECT_NE(std::find(items.begin(), items.end(), bought), items.end()) << bought;
    }
    // The basket went with the purchase: pressing again only says it is empty.
    ASSERT_TRUE(IsOk(kim.Click(kShopTitle, 372 + 86, 300 + 14)));
    Confirm(kim);
    EXPECT_EQ(Items("kim").size(), owned + 3);
}

TEST_F(ShopTest, TooFewPointsAreRefusedAndNothingChanges)
{
    MemberOptions poor;
    poor.points = 250;
    Service().AddMember("kim", "pw", "Kim", poor);
    const auto before = Items("kim");
    DrivenProgram& kim = Launch("kim");
    LogInToFrame(kim, "kim");
    OpenShop(kim);
    ClickBuy(kim, 1); // 300 of 250: the shop says so and asks nothing
    Confirm(kim);
    EXPECT_EQ(Dialogs(kim), 1);
    ClickCell(kim, 1);
    ClickTab(kim, 1);
    ClickCell(kim, 1); // upper: the green variant, 200; together 500
    ASSERT_TRUE(IsOk(kim.Click(kShopTitle, 372 + 86, 300 + 14)));
    Confirm(kim); // the list of the basket with its total
    Confirm(kim); // not enough for the basket
    EXPECT_EQ(Dialogs(kim), 1);
    EXPECT_EQ(Points("kim"), "250");
    EXPECT_EQ(Items("kim"), before);
}
