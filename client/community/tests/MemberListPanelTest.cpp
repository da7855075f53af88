// The member lists (friends and the room's users) over a panel section of a window's skin, filled
// from the real service on loopback: paging through friends, online rows, the German letters of
// nicknames, the room's users with their master, who comes and goes.
#include "ControlTestSupport.h"
#include "FriendListPanel.h"
#include "UserListPanel.h"

#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>

#include <yonda_capture.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace yonda::uitest;
using yonda::testing::ServiceHarness;
using yonda::testing::TestClient;

namespace {

class MemberLists : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }

    void SetUp() override
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        YondaSetActiveCodePage(949);
        g_strInstallPath = CString(binary) + "/yonda";
        GlobalLockInit();
        ASSERT_EQ(m_skin.LoadSkin(g_strInstallPath, "Orange"), 1);
        ToolkitSetSkinFolder(m_skin.m_strSkinFolder);
        g_pSession = &m_session;
        // The owner: a skinned window whose ini holds the panels' sections.
        m_element.strImage = m_skin.m_strSkinFolder + "\\search_room_back.bmp";
        m_element.strIniFile = m_skin.m_strSkinFolder + "\\search_room.ini";
        m_element.rcRect = RECT{0, 0, 460, 440};
        ASSERT_TRUE(m_owner.CreatePopup(nullptr, &m_element, 0));
        for (const char* section : {"Friends", "Users"}) {
            CIniFile& ini = m_owner.m_pSkin->m_Ini;
            ini.SetString(section, "GenderImage", "gender.bmp");
            ini.SetString(section, "GoBtnImage", "btn_go.bmp");
            ini.SetInt(section, "ColumnCount", 4);
            ini.SetString(section, "ColRect0", "RECT(4,2,20,18)");
            ini.SetString(section, "ColRect1", "RECT(24,3,120,19)");
            ini.SetString(section, "ColRect2", "RECT(124,3,200,19)");
            ini.SetString(section, "ColRect3", "RECT(204,3,300,19)");
            ini.SetString(section, "BtnGoRect", "RECT(320,1,356,19)");
        }
        m_owner.ShowWindow(SW_SHOW);
        m_kim = m_service.addMember("kim", "Kim");
        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", m_service.port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
    }
    void TearDown() override
    {
        m_owner.DestroyWindow();
        g_bGermanText = FALSE;
        g_pSession = nullptr;
        ToolkitSetSkinFolder(CString());
        GlobalLockDelete();
    }
    // Members befriended by kim, user numbers ascending.
    std::vector<int32_t> Befriend(int count, const std::string& stem = "pal")
    {
        std::vector<int32_t> users;
        for (int i = 0; i < count; ++i) {
            const int32_t user = m_service.addMember(stem + std::to_string(i), "Pal " + std::to_string(i));
            EX_YONDA_BODY_R_FRIEND_REG record{};
            EXPECT_TRUE(m_session.GetComm()->QueryRegFriend(user, record));
            users.push_back(user);
        }
        return users;
    }
    static std::vector<int32_t> Users(const CListPanel& panel)
    {
        std::vector<int32_t> users;
        for (int i = 0; i < panel.GetCount(); ++i) {
            users.push_back(panel.GetItemId(i));
        }
        return users;
    }

    ServiceHarness m_service{"member-lists"};
    CClientApp m_app;
    CMainSkin m_skin;
    CClientSession m_session;
    CSkinElement m_element;
    CSkinWnd m_owner;
    int32_t m_kim = 0;
};

} // namespace

TEST_F(MemberLists, FriendsComeInPagesOfThirtyTheNextStartingAfterTheLastFriend)
{
    const std::vector<int32_t> friends = Befriend(31);
    TestClient online;
    ASSERT_GT(online.login(m_service.port(), "pal30"), 0);
    CFriendListPanel panel;
    panel.SetFirstRowRect(0, 0, 400, 20);
    ASSERT_TRUE(panel.Create("Friends", CRect(10, 40, 440, 200), &m_owner, 3300));
    EXPECT_EQ(Users(panel), friends) << "both pages, in order, the refresh ran at creation";
    EXPECT_EQ(panel.GetVisibleCount(), 6);
    // Go buttons stand 20 pixels apart whatever the row height.
    ASSERT_EQ(panel.GetGoButtonCount(), 6);
    CRect first, second;
    panel.GoButton(0)->GetWindowRect(&first);
    panel.GoButton(1)->GetWindowRect(&second);
    EXPECT_EQ(second.top - first.top, 20);
    // Only the online friend's Go works.
    panel.SendMessage(UM_SCROLL_POS, 30, 0);
    YondaFlushPainting();
    EXPECT_EQ(panel.GetTop(), 25);
    EXPECT_TRUE(panel.GoButton(5)->IsWindowEnabled()) << "the 31st, online";
    EXPECT_FALSE(panel.GoButton(4)->IsWindowEnabled());
    panel.SetOnline(friends[29], 'Y');
    YondaFlushPainting();
    EXPECT_TRUE(panel.GoButton(4)->IsWindowEnabled());

    // Exactly thirty: the second page comes back empty and nothing is left over.
    ASSERT_TRUE(m_session.GetComm()->QueryDelFriend(friends[30]));
    panel.Refresh();
    EXPECT_EQ(Users(panel), std::vector<int32_t>(friends.begin(), friends.begin() + 30));
    // Without the connection the list stays as it is.
    m_session.GetComm()->Disconnect();
    panel.Refresh();
    EXPECT_EQ(panel.GetCount(), 30);
}

TEST_F(MemberLists, NicknamesTurnEntitiesIntoLettersOnlyInGermanText)
{
    const int32_t jorg = m_service.addMember("jorg", "J&ouml;rg");
    EX_YONDA_BODY_R_FRIEND_REG record{};
    ASSERT_TRUE(m_session.GetComm()->QueryRegFriend(jorg, record));
    CFriendListPanel panel;
    ASSERT_TRUE(panel.Create("Friends", CRect(10, 40, 440, 200), &m_owner, 3300));
    EXPECT_STREQ(panel.GetNicknameText(jorg), "J&ouml;rg");
    g_bGermanText = TRUE;
    panel.Refresh();
    EXPECT_STREQ(panel.GetNicknameText(jorg), "J\xF6rg");
    EXPECT_STREQ(panel.GetIdText(jorg), "jorg");
    // A new nickname is cut to the row's field.
    EXPECT_TRUE(panel.SetNickname(jorg, std::string(40, 'n').c_str()));
    EXPECT_EQ(std::string(panel.GetNicknameText(jorg)), std::string(30, 'n'));
    EXPECT_FALSE(panel.SetNickname(12345, "nobody"));
}

TEST_F(MemberLists, TheRoomsUsersShowTheirMasterAndFollowWhoComesAndGoes)
{
    const int32_t lee = m_service.addMember("lee", "Lee", 1000, true, 'F');
    const int32_t park = m_service.addMember("park", "Park");
    TestClient leeClient, parkClient;
    ASSERT_GT(leeClient.login(m_service.port(), "lee"), 0);
    ASSERT_GT(parkClient.login(m_service.port(), "park"), 0);
    const int16_t room = leeClient.openRoom(1, "Tea", "green", 6);
    ASSERT_GT(room, 0);
    ASSERT_EQ(parkClient.join(1, room), yonda::proto::Ok);

    CUserListPanel panel;
    panel.SetFirstRowRect(0, 0, 400, 20);
    ASSERT_TRUE(panel.Create("Users", CRect(10, 40, 440, 300), &m_owner, 3301));
    EXPECT_EQ(panel.GetGoButtonCount(), 0) << "no Go buttons for the room's own members";
    panel.Refresh(1, room);
    EXPECT_EQ(Users(panel), (std::vector<int32_t>{lee, park}));
    EXPECT_EQ(panel.User(0)->cRole, 'H');
    EXPECT_EQ(panel.User(1)->cRole, 'G');
    // The master's row shows the master's picture column: Lee's differs from a guest's.
    YondaFlushPainting();
    const RECT masterPicture = panel.ColumnRect(0, 0);
    const unsigned masterTop = Pixel(panel.GetSafeHwnd(), masterPicture.left + 8, masterPicture.top + 1);
    panel.SetRoomMaster(park);
    EXPECT_EQ(panel.User(0)->cRole, 'G');
    EXPECT_EQ(panel.User(1)->cRole, 'H');
    YondaFlushPainting();
    EXPECT_NE(Pixel(panel.GetSafeHwnd(), masterPicture.left + 8, masterPicture.top + 1), masterTop);

    panel.AddUser(m_kim);
    EXPECT_EQ(panel.GetCount(), 3);
    EXPECT_EQ(panel.User(2)->cRole, 'G');
    panel.AddUser(m_kim);
    EXPECT_EQ(panel.GetCount(), 3) << "once";
    panel.RemoveUser(lee);
    EXPECT_EQ(Users(panel), (std::vector<int32_t>{park, m_kim}));
    // Both numbers negative: nothing is asked and the list is empty.
    panel.Refresh(-1, -1);
    EXPECT_EQ(panel.GetCount(), 0);
}

TEST(ListPanelNumber, ZeroShowsAStarAndOtherBytesTheirValue)
{
    struct Probe : CUserListPanel {
        static CString Of(char number) { return NumberText(number); }
    };
    EXPECT_EQ(Probe::Of(0), "*");
    EXPECT_EQ(Probe::Of('0'), "*");
    EXPECT_EQ(Probe::Of(5), "5");
    EXPECT_EQ(Probe::Of(static_cast<char>(200)), "-56");
}
