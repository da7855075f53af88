// The item shop, its grid and its avatar preview as the program makes them: the real main frame
// with its 3D view and engine, the generated skin and catalogue, the member logged in to the real
// service on loopback (which prices from its own small catalogue, so some of the program's items
// are unknown to it). Boxes are answered by the test instead of a person; purchases are checked
// in the service's database.
#include "ControlTestSupport.h"
#include "ItemShopDlg.h"

#include <AvatarScene.h>
#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <ItemCatalog.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <NotifyDlg.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>

#include <yonda_user.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace yonda::uitest;

namespace {

// Every box the shop opens: its lines (for boxes by text, the text), answered as told.
struct Box {
    std::string layout;
    std::vector<std::string> lines;
};

class TestShop : public CItemShopDlg {
public:
    using CItemShopDlg::CItemShopDlg;
    std::vector<Box> boxes;
    INT_PTR answer = IDOK;

protected:
    INT_PTR RunBox(CNotifyDlg& box) override
    {
        Box seen{static_cast<LPCSTR>(box.m_strSection), {}};
        if (box.m_bByText) {
            seen.lines.emplace_back(static_cast<LPCSTR>(box.m_strText));
        }
        for (POSITION at = box.m_lines.GetHeadPosition(); at;) {
            seen.lines.emplace_back(static_cast<LPCSTR>(box.m_lines.GetNext(at)));
        }
        boxes.push_back(seen);
        return answer;
    }
};

class ItemShop : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }

    void SetUp() override
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        g_strInstallPath = CString(binary) + "/yonda";
        GlobalLockInit();
        g_pMainSkin = &m_skin;
        ASSERT_EQ(m_skin.LoadSkin(g_strInstallPath, "Orange"), 1);
        ToolkitSetSkinFolder(m_skin.m_strSkinFolder);
        g_pSession = &m_session;
        ASSERT_TRUE(m_session.LoadStringTable("StringTable.ini"));
        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", m_service.port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
        std::strcpy(m_session.m_OwnUser.szID, "kim");
        m_session.m_OwnAvatar.cLetter[0] = 'M';
        g_pComm = m_session.GetComm();
        m_frame = new CMainFrame; // deletes itself with its window
        ASSERT_TRUE(m_frame->CreateFrame(0, 0));
        m_app.m_pMainWnd = m_frame;
        g_pItemCatalog = &m_catalog;
        ASSERT_EQ(m_scene.InitScene(), 1);
        Pump();
    }
    void TearDown() override
    {
        if (m_shop.GetSafeHwnd()) {
            m_shop.DestroyWindow();
        }
        m_scene.UnloadScene();
        m_app.m_pMainWnd = nullptr;
        m_frame->DestroyWindow();
        Pump();
        g_pItemCatalog = nullptr;
        m_session.GetComm()->Disconnect();
        g_pComm = nullptr;
        g_pSession = nullptr;
        g_pMainSkin = nullptr;
        ToolkitSetSkinFolder(CString());
        ToolkitSetTableStrings(nullptr);
        GlobalLockDelete();
    }

    void OpenShop()
    {
        ASSERT_TRUE(m_shop.Create(CItemShopDlg::kTemplate, m_frame));
        m_shop.ShowWindow(SW_SHOWNA);
        Pump();
    }
    ITEM_RECORD* Item(int category, int index)
    {
        return m_catalog.GetItem(1, category, index, nullptr, nullptr, nullptr);
    }
    std::vector<std::string> Owned()
    {
        std::vector<std::string> items;
        for (const auto& item : m_service.store().items(m_kim)) {
            items.push_back(std::string(1, item.gender) + std::to_string(item.category) + ":" +
                            std::to_string(item.number) + ":" + std::to_string(item.texture));
        }
        std::sort(items.begin(), items.end());
        return items;
    }

    yonda::testing::ServiceHarness m_service{"item-shop"};
    int32_t m_kim = m_service.addMember("kim", "Kim", 1000);
    CClientApp m_app;
    CMainSkin m_skin;
    CClientSession m_session;
    CItemCatalog m_catalog;
    CAvatarScene m_scene;
    CMainFrame* m_frame = nullptr;
    TestShop m_shop{nullptr, &m_catalog, nullptr};
};

} // namespace

TEST_F(ItemShop, TheGridPagesItsCellsAndTheHandItemsPageListsTheHairItemsAfterThem)
{
    m_shop.m_pElement = &m_skin.Element(CMainSkin::DLG_TRADEITEM);
    OpenShop();
    CItemGridWnd& grid = m_shop.m_wndGrid;
    CItemList& list = grid.List();
    // 250 pixels of 48-pixel cells: five of them, and the grid shrinks to fit them exactly.
    EXPECT_EQ(list.m_nPageSize, 5);
    CRect rect;
    grid.GetClientRect(&rect);
    EXPECT_EQ(rect.Height(), 5 * 49 + 1);
    ASSERT_EQ(list.GetCount(), m_catalog.GetItemCount(1, ITEM_HAIR));
    EXPECT_TRUE(grid.m_scrollBar.IsWindowVisible());
    // Scrolled near the end: the last page shows, never past it.
    list.ShowPage(list.GetCount() - 2);
    EXPECT_EQ(list.m_nTop, list.GetCount() - 5);
    EXPECT_TRUE(list.GetCell(list.GetCount() - 1)->IsWindowVisible());
    EXPECT_FALSE(list.GetCell(0)->IsWindowVisible());
    // The tab after the first shows the upper body; the fifth the hand items, then the hair items.
    m_shop.ChangeCategory(1);
    EXPECT_EQ(m_shop.m_nCategory, ITEM_UPPER);
    EXPECT_EQ(m_shop.m_tabMyItem.GetCurSel(), 1);
    m_shop.ChangeCategory(4);
    const int hands = m_catalog.GetItemCount(1, ITEM_HAND);
    ASSERT_EQ(list.GetCount(), hands + m_catalog.GetItemCount(1, ITEM_HAIR_ITEM));
    EXPECT_EQ(list.GetCell(hands)->GetItem()->byCategory, ITEM_HAIR_ITEM);
    EXPECT_EQ(list.GetCell(hands)->GetCommandId(), static_cast<UINT>(hands + 1));
    // Fewer cells than a page: all shown from the first, whatever is asked.
    list.m_nPageSize = list.GetCount() + 3;
    list.ShowPage(3);
    EXPECT_EQ(list.m_nTop, 0);
    EXPECT_TRUE(list.GetCell(0)->IsWindowVisible());
    list.m_nPageSize = 5;

    // A click on a cell selects it; its buy button does not.
    m_shop.ChangeCategory(0);
    CItemCellWnd* second = list.GetCell(1);
    YondaInjectClick(second->GetSafeHwnd(), 100, 20);
    Pump();
    EXPECT_EQ(second->BackgroundColumn(), CItemCellWnd::COLUMN_SELECTED);
    EXPECT_EQ(m_shop.m_nSelection[ITEM_HAIR], 1);
    CItemCellWnd* third = list.GetCell(2);
    m_shop.answer = IDCANCEL;
    YondaInjectClick(third->m_btnBuy.GetSafeHwnd(), 10, 10);
    Pump();
    EXPECT_EQ(third->m_bSelected, 0);
    ASSERT_FALSE(m_shop.boxes.empty()) << "the buy button asked nothing";
    EXPECT_EQ(m_shop.boxes.back().layout, "CONFIRM_BUY_ITEM_DLG");
    EXPECT_EQ(m_shop.boxes.back().lines.front(), third->GetItem()->szName);
}

TEST_F(ItemShop, TheBasketKeepsOneItemPerCategoryAndItsConfirmationListsPricesAndTotal)
{
    m_shop.m_pElement = &m_skin.Element(CMainSkin::DLG_TRADEITEM);
    OpenShop();
    ITEM_RECORD* first = Item(ITEM_UPPER, 4);
    ITEM_RECORD* second = Item(ITEM_UPPER, 6);
    ITEM_RECORD* hair = Item(ITEM_HAIR, 1);
    m_shop.AddToBasket(first);
    m_shop.AddToBasket(second);
    ASSERT_EQ(m_shop.m_basket.size(), 1u);
    EXPECT_EQ(m_shop.m_llBasketTotal, second->nPrice);
    m_shop.AddToBasket(hair);
    // An owned item is tried on, not put into the basket; it takes its category's place there.
    hair->byOwned = 1;
    m_shop.AddToBasket(hair);
    EXPECT_EQ(m_shop.m_basket.size(), 1u);
    hair->byOwned = 0;
    m_shop.AddToBasket(hair);

    // The purchase record: gender letter, category digit, three digits, the variant mark.
    EX_YONDA_BODY_Q_MYITEM_ADD record;
    CItemShopDlg::MakeRecord(*hair, &record);
    const unsigned char want[11] = {'M', '0', '0', '0', '0', 0, '1', '0', 0, 1, 'N'};
    EXPECT_EQ(std::memcmp(&record, want, sizeof want), 0);

    m_shop.answer = IDCANCEL;
    EXPECT_FALSE(m_shop.BuyBasket());
    ASSERT_EQ(m_shop.boxes.size(), 1u);
    const std::string total = std::string("\xC3\xD1\xBA\xF1\xBF\xEB : ") +
                              static_cast<LPCSTR>(FormatNumber(static_cast<int>(second->nPrice + hair->nPrice)));
    std::vector<std::string> lines = m_shop.boxes[0].lines;
    lines.resize(5);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         std::string(second->szName) + " : " + static_cast<LPCSTR>(FormatNumber(second->nPrice)),
                         std::string(hair->szName) + " : " + static_cast<LPCSTR>(FormatNumber(hair->nPrice)), " ",
                         total, " "}));
    EXPECT_EQ(m_shop.m_basket.size(), 2u) << "a cancelled confirmation keeps the basket";
}

TEST_F(ItemShop, APurchaseChargesTheServicesPriceAndARefusedBasketItemStaysUnbought)
{
    m_shop.m_pElement = &m_skin.Element(CMainSkin::DLG_TRADEITEM);
    OpenShop();
    const auto before = Owned();
    // Hair 001 (the service's price: 100) and its variant (150); upper 000 the service does not sell.
    ITEM_RECORD* plain = m_catalog.FindItem(1, ITEM_HAIR, 1, FALSE);
    ITEM_RECORD* variant = m_catalog.FindItem(1, ITEM_HAIR, 1, TRUE);
    ITEM_RECORD* unknown = m_catalog.FindItem(1, ITEM_UPPER, 0, FALSE);
    ASSERT_TRUE(plain && variant && unknown);
    EXPECT_TRUE(m_shop.BuyItem(plain));
    EXPECT_EQ(m_service.store().accountByUser(m_kim)->points, 900);
    EXPECT_EQ(m_session.m_lPoints, 900) << "the frame heard of the new balance";
    EXPECT_TRUE(plain->byOwned);
    // Owned now: a second purchase is refused before anything is asked.
    m_shop.boxes.clear();
    EXPECT_FALSE(m_shop.BuyItem(plain));
    ASSERT_EQ(m_shop.boxes.size(), 1u);
    EXPECT_EQ(m_shop.boxes[0].lines[0],
              static_cast<LPCSTR>(m_session.FormatTableString("ITEM_ALREADY_EXIST", plain->szName)));

    m_shop.EmptyBasket();
    m_shop.AddToBasket(variant);
    m_shop.AddToBasket(unknown);
    m_shop.boxes.clear();
    EXPECT_FALSE(m_shop.BuyBasket());
    // The variant is bought; the refused item stays in the basket, unowned, and the member is told.
    EXPECT_TRUE(variant->byOwned);
    EXPECT_FALSE(unknown->byOwned);
    ASSERT_EQ(m_shop.m_basket.size(), 1u);
    EXPECT_EQ(m_shop.m_basket[0].cCategory, '2');
    EXPECT_EQ(m_shop.m_llBasketTotal, unknown->nPrice);
    ASSERT_EQ(m_shop.boxes.size(), 2u);
    EXPECT_EQ(m_shop.boxes[1].lines[0], static_cast<LPCSTR>(m_session.GetTableString("M_BUY_SINGLE_ITEM") +
                                                            m_session.GetTableString("E_GENERAL_MSG")));
    EXPECT_EQ(m_service.store().accountByUser(m_kim)->points, 750);
    EXPECT_EQ(m_shop.m_lPoints, 750);
    auto after = Owned();
    EXPECT_EQ(after.size(), before.size() + 2);
    EXPECT_NE(std::find(after.begin(), after.end(), "M0:1:1"), after.end());

    // One point short: refused with the item's name, nothing asked of the service.
    ITEM_RECORD* dear = m_catalog.FindItem(1, ITEM_UPPER, 2, FALSE);
    m_shop.m_lPoints = dear->nPrice - 1;
    m_shop.boxes.clear();
    EXPECT_FALSE(m_shop.BuyItem(dear));
    ASSERT_EQ(m_shop.boxes.size(), 1u);
    EXPECT_EQ(m_shop.boxes[0].lines[0],
              static_cast<LPCSTR>(m_session.FormatTableString("NOT_ENOUGH_POINT", dear->szName)));
    EXPECT_EQ(Owned(), after);
}

TEST_F(ItemShop, ThePreviewDrawsTheMemberOnWhiteAndTurnsWithTheRightButton)
{
    m_shop.m_pElement = &m_skin.Element(CMainSkin::DLG_TRADEITEM);
    OpenShop();
    CAvatarViewWnd& preview = m_shop.m_wndAvatar;
    ASSERT_TRUE(preview.HasSwapChain());
    ASSERT_NE(preview.GetAvatar(), 0u);
    ASSERT_TRUE(preview.RenderFrame());
    YondaFlushPainting();
    CRect client;
    preview.GetClientRect(&client);
    auto count = [&] {
        int white = 0;
        int other = 0;
        for (int y = 0; y < client.Height(); y += 2) {
            for (int x = 0; x < client.Width(); x += 2) {
                (Pixel(preview.GetSafeHwnd(), x, y) == 0xFFFFFF ? white : other) += 1;
            }
        }
        return std::pair{white, other};
    };
    const auto [white, avatar] = count();
    EXPECT_GT(white, avatar) << "the ground is white";
    EXPECT_GT(avatar, 100) << "the member is drawn";
    // A right drag of 90 pixels turns it by 90 degrees.
    const POINT from = ScreenPoint(preview.GetSafeHwnd(), 100, 100);
    YondaInjectMouseMove(from.x, from.y);
    YondaInjectMouseButton(1, TRUE, from.x, from.y);
    Pump();
    YondaInjectMouseMove(from.x - 90, from.y);
    Pump();
    YondaInjectMouseButton(1, FALSE, from.x - 90, from.y);
    Pump();
    EXPECT_NEAR(preview.GetTurnAngle(), 90 * CAvatarViewWnd::kRadiansPerPixel, 1e-4);
    // Around a reset of the device the avatar and its turn stay, and drawing goes on.
    const _KRA_HANDLE avatarHandle = preview.GetAvatar();
    m_shop.SendMessage(CAvatarViewWnd::kDeviceLost);
    EXPECT_FALSE(preview.HasSwapChain());
    EXPECT_FALSE(preview.RenderFrame());
    m_shop.SendMessage(CAvatarViewWnd::kDeviceRestored);
    EXPECT_TRUE(preview.HasSwapChain());
    EXPECT_TRUE(preview.IsRunning());
    EXPECT_EQ(preview.GetAvatar(), avatarHandle);
    EXPECT_TRUE(preview.RenderFrame());
}
