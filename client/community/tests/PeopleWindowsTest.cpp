// The friends and room-users window and the user search window as the program makes them: the
// real main frame over the generated skins, the real session logged in at the real service on
// loopback, menus picked and boxes answered as a member would.
#include "ControlTestSupport.h"

#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <RoomUserWnd.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>
#include <UserSearchQuery.h>
#include <UserSearchWnd.h>
#include <resource.h>

#include <IniFile.h>
#include <protocol/AreaCodes.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace yonda::uitest;
using yonda::testing::ServiceHarness;
using yonda::testing::TestClient;

namespace {

// The main frame without the 3D view's start-up command, which would move the member on its own.
class QuietFrame : public CMainFrame {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_SESSION_COMMAND && LOWORD(wParam) == CMD_VIEW_READY) {
            return 0;
        }
        return CMainFrame::WindowProc(message, wParam, lParam);
    }
};

class PeopleWindows : public testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }

    void SetUp() override
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        g_strInstallPath = CString(binary) + "/yonda";
        GlobalLockInit();
        g_pMainSkin = &m_skin;
        ASSERT_EQ(m_skin.LoadSkin(g_strInstallPath, GetParam()), 1);
        g_bGermanText = std::strcmp(GetParam(), "Orange_Do") == 0;
        YondaSetActiveCodePage(g_bGermanText ? 1252 : 949);
        ToolkitSetSkinFolder(m_skin.m_strSkinFolder);
        g_pSession = &m_session;
        ASSERT_TRUE(m_session.LoadStringTable("StringTable.ini"));
        m_session.m_nLobbyCount = 5;
        m_kim = m_service.addMember("kim", "Kim");
        m_lee = m_service.addMember("lee", "Lee", 1000, true, 'F', "3");
        m_moe = m_service.addMember("moe", "Moe", 1000, true, 'M', "5");
        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", m_service.port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
        m_frame = new QuietFrame; // deletes itself with its window
        m_session.SetMainFrame(m_frame);
        ASSERT_TRUE(m_frame->CreateFrame(0, 0));
        m_frame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(Window().GetSafeHwnd());
        Pump();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_session.SetMainFrame(nullptr);
        m_frame->DestroyWindow();
        Pump();
        g_pSession = nullptr;
        g_pMainSkin = nullptr;
        g_bGermanText = FALSE;
        YondaSetActiveCodePage(949);
        ToolkitSetSkinFolder(CString());
        GlobalLockDelete();
    }

    CRoomUserWnd& Window() { return m_frame->m_wndRoomUser; }
    BOOL Shown(int button) { return Window().m_btnButtons[button].IsWindowVisible(); }
    BOOL Enabled(int button) { return Window().m_btnButtons[button].IsWindowEnabled(); }
    std::string Table(LPCSTR key, LPCSTR name) { return m_session.FormatTableString(key, name).Str(); }
    static FRIEND_ROW Row(long user, const char* nickname)
    {
        FRIEND_ROW row{};
        row.lUser = user;
        std::strcpy(row.szNickname, nickname);
        row.cRole = 'G';
        return row;
    }
    // A right click on a row of the current tab, then a pick of the menu that opened.
    std::vector<std::string> Pick(int row, int item, bool no = false)
    {
        Window().SendMessage(UM_LIST_POPUP, MAKEWPARAM(100, 100), row);
        EXPECT_TRUE(Window().PopupMenu().GetSafeHwnd()) << "no menu for row " << row;
        Window().PopupMenu().DestroyWindow();
        return AnswerNotifyBoxes([&] { Window().SendMessage(UM_POPUP_PICK, MAKEWPARAM(item, row), 0); }, no);
    }
    int16_t OpenRoom()
    {
        YONDA_BODY_Q_ROOM_OPEN record{};
        std::strcpy(record.szName, "Tea");
        record.byMaxUsers = 8;
        short room = -1, lobby = -1;
        EXPECT_TRUE(m_session.GetComm()->RoomOpen(&record, room, lobby));
        m_session.m_nCurrentLobby = lobby;
        m_session.m_nCurrentRoom = room;
        return room;
    }
    static uint8_t Leave(TestClient& client)
    {
        auto request = client.begin(yonda::proto::Command::RoomExit);
        request.writer.i16(0);
        return client.status(request);
    }

    ServiceHarness m_service{"people-windows"};
    CClientApp m_app;
    CMainSkin m_skin;
    CClientSession m_session;
    CMainFrame* m_frame = nullptr;
    int32_t m_kim = 0, m_lee = 0, m_moe = 0;
};

// The buttons and tab of each place: shown, enabled, and the tab in front.
struct ModeRow {
    int location;
    int lobby;
    BOOL userSearch, roomSearch, makeShown, makeEnabled, viewShown, viewEnabled, editShown, editEnabled, tabEnabled;
    int tab;
};

} // namespace

TEST_P(PeopleWindows, EachPlaceShowsItsButtonsAndItsTab)
{
    using W = CRoomUserWnd;
    const ModeRow rows[] = {
        {LOC_NONE, 0, FALSE, FALSE, TRUE, FALSE, FALSE, TRUE, FALSE, TRUE, FALSE, W::TAB_FRIENDS},
        {LOC_MINIMAP, 0, TRUE, FALSE, TRUE, FALSE, FALSE, TRUE, FALSE, TRUE, FALSE, W::TAB_FRIENDS},
        {LOC_LOBBY_SELECTED, 0, TRUE, TRUE, TRUE, TRUE, FALSE, TRUE, FALSE, TRUE, FALSE, W::TAB_FRIENDS},
        {LOC_LOBBY, 0, TRUE, TRUE, TRUE, TRUE, FALSE, TRUE, FALSE, TRUE, TRUE, W::TAB_USERS},
        {LOC_ROOM_HOST, 0, TRUE, TRUE, FALSE, TRUE, FALSE, TRUE, TRUE, TRUE, TRUE, W::TAB_USERS},
        {LOC_ROOM, 0, TRUE, TRUE, FALSE, TRUE, TRUE, TRUE, FALSE, TRUE, TRUE, W::TAB_USERS},
        // The party game's rooms have no information buttons to press.
        {LOC_ROOM_HOST, 4, TRUE, TRUE, FALSE, TRUE, FALSE, FALSE, TRUE, FALSE, TRUE, W::TAB_USERS},
        {LOC_ROOM, 4, TRUE, TRUE, FALSE, TRUE, TRUE, FALSE, FALSE, FALSE, TRUE, W::TAB_USERS},
    };
    for (const ModeRow& row : rows) {
        m_session.m_nCurrentLobby = static_cast<short>(row.lobby);
        Window().SetMode(row.location);
        SCOPED_TRACE(testing::Message() << "location " << row.location << " lobby " << row.lobby);
        EXPECT_EQ(Enabled(W::USER_SEARCH_BTN), row.userSearch);
        EXPECT_EQ(Enabled(W::GO_UPPER_BTN), row.userSearch);
        EXPECT_EQ(Enabled(W::ROOM_SEARCH_BTN), row.roomSearch);
        EXPECT_EQ(Shown(W::MAKE_ROOM_BTN), row.makeShown);
        EXPECT_EQ(Enabled(W::MAKE_ROOM_BTN), row.makeEnabled);
        EXPECT_EQ(Shown(W::ROOM_VIEW_BTN), row.viewShown);
        EXPECT_EQ(Enabled(W::ROOM_VIEW_BTN), row.viewEnabled);
        EXPECT_EQ(Shown(W::ROOM_EDIT_BTN), row.editShown);
        EXPECT_EQ(Enabled(W::ROOM_EDIT_BTN), row.editEnabled);
        EXPECT_EQ(Window().m_tabButton.IsWindowEnabled(), row.tabEnabled);
        EXPECT_EQ(Window().m_nCurrentTab, row.tab);
        EXPECT_EQ(Window().m_userList.IsWindowVisible(), row.tab == W::TAB_USERS);
        EXPECT_EQ(Window().m_friendList.IsWindowVisible(), row.tab == W::TAB_FRIENDS);
    }
    // Before the lobby a tab click only records the tab.
    Window().SetMode(LOC_MINIMAP);
    Window().SendMessage(UM_TAB_SELECT, W::TAB_USERS, 0);
    EXPECT_FALSE(Window().m_userList.IsWindowVisible());
}

TEST_P(PeopleWindows, ARowsMenuFollowsTheMembersRoleAndTheRowsRelation)
{
    EX_YONDA_BODY_R_FRIEND_REG record{};
    ASSERT_TRUE(m_session.GetComm()->QueryRegFriend(m_lee, record));
    Window().UpdateUser(1, 0);
    ASSERT_EQ(Window().m_friendList.GetCount(), 1);
    for (auto [user, name] : {std::pair{m_kim, "Kim"}, {m_lee, "Lee"}, {m_moe, "Moe"}}) {
        Window().m_userList.AddItem(new FRIEND_ROW(Row(user, name)));
    }
    m_session.SetLocation(LOC_ROOM_HOST);
    ASSERT_EQ(Window().m_nCurrentTab, CRoomUserWnd::TAB_USERS);
    EXPECT_EQ(Window().MenuFor(0), "") << "no menu on the own row";
    EXPECT_EQ(Window().MenuFor(1), "MenuFriendHost");
    EXPECT_EQ(Window().MenuFor(2), "MenuHost");
    m_session.SetLocation(LOC_ROOM);
    EXPECT_EQ(Window().MenuFor(1), "MenuFriend");
    EXPECT_EQ(Window().MenuFor(2), "MenuGuest");
    // A right click on the own row is told there is no menu; one on another row opens its
    // menu, and a second click while it is open opens nothing more.
    CString none;
    none.LoadString(IDS_NO_USER_MENU);
    EXPECT_EQ(AnswerNotifyBoxes([&] { Window().SendMessage(UM_LIST_POPUP, MAKEWPARAM(100, 100), 0); }),
              std::vector<std::string>{none.Str()});
    Window().SendMessage(UM_LIST_POPUP, MAKEWPARAM(100, 100), 2);
    const HWND menu = Window().PopupMenu().GetSafeHwnd();
    ASSERT_TRUE(menu);
    EXPECT_TRUE(AnswerNotifyBoxes([&] { Window().SendMessage(UM_LIST_POPUP, MAKEWPARAM(100, 100), 0); }).empty());
    EXPECT_EQ(Window().PopupMenu().GetSafeHwnd(), menu);
    Window().PopupMenu().DestroyWindow();

    // On the members' tab a friend's pick 1 deletes the friend, a stranger's adds one; the
    // frame's list and the window's follow the service.
    EXPECT_TRUE(Pick(1, CRoomUserWnd::PICK_FRIEND).empty());
    EXPECT_FALSE(Window().m_friendList.HasItem(m_lee));
    EXPECT_FALSE(m_frame->m_friends.Find(m_lee));
    EXPECT_TRUE(Pick(2, CRoomUserWnd::PICK_FRIEND).empty());
    EXPECT_TRUE(Window().m_friendList.HasItem(m_moe));
    EXPECT_TRUE(m_frame->m_friends.Find(m_moe));
    // A message pick opens the member's messenger.
    EXPECT_TRUE(Pick(2, CRoomUserWnd::PICK_MESSAGE).empty());
    EXPECT_TRUE(m_frame->FindMessageWindow(m_moe, nullptr));
    // The friend's state from the library reaches the window's row.
    auto* block = new BYTE[8]();
    std::memcpy(block, &m_moe, 4);
    block[4] = 'Y';
    m_frame->SendMessage(UM_COMM_MESSAGE, 129, reinterpret_cast<LPARAM>(block));
    EXPECT_EQ(static_cast<const FRIEND_ROW*>(Window().m_friendList.FindItem(m_moe))->cOnline, 'Y');
    // A nickname at the field's limit renames the listed member whole.
    const std::string longest(30, 'N');
    EXPECT_EQ(Window().SetUserNickname(m_moe, longest.c_str()), 0);
    EXPECT_EQ(std::string(Window().m_userList.GetNicknameText(m_moe)), longest);
    EXPECT_EQ(Window().SetUserNickname(m_moe + 100, "Nobody"), 1);
}

TEST_P(PeopleWindows, TheHostHandsOverAndPutsOutThroughTheServiceAndAGoneMemberIsToldNotActedOn)
{
    const int16_t room = OpenRoom();
    ASSERT_GT(room, 0);
    TestClient lee;
    ASSERT_GT(lee.login(m_service.port(), "lee"), 0);
    ASSERT_EQ(lee.join(0, room), yonda::proto::Ok);
    m_session.SetLocation(LOC_ROOM_HOST);
    Window().UpdateUser(0, (static_cast<long>(room) << 16));
    ASSERT_EQ(Window().m_userList.GetCount(), 2);
    ASSERT_EQ(Window().m_userList.GetItemId(1), m_lee);

    // Declined: nothing changes. Accepted: Lee is the host and Kim a guest.
    EXPECT_EQ(Pick(1, CRoomUserWnd::PICK_HOST, true), std::vector<std::string>{Table("ModifyRoomHost", "Lee")});
    EXPECT_EQ(m_session.GetLocation(), LOC_ROOM_HOST);
    EXPECT_TRUE(lee.quietAbout(yonda::proto::EvHostChanged));
    EXPECT_EQ(Pick(1, CRoomUserWnd::PICK_HOST), std::vector<std::string>{Table("ModifyRoomHost", "Lee")});
    EXPECT_EQ(m_session.GetLocation(), LOC_ROOM);
    auto host = lee.waitFor(yonda::proto::EvHostChanged);
    ASSERT_TRUE(host);
    // A guest's pick of the host's items does nothing (the menu would not offer them).
    lee.clearEvents();
    EXPECT_TRUE(Pick(1, CRoomUserWnd::PICK_KICK).empty());
    EXPECT_TRUE(lee.quietAbout(yonda::proto::EvKicked));

    // Lee hands it back. Moe comes and goes while Kim's menu on him is open: told, not sent.
    auto back = lee.begin(yonda::proto::Command::SetRoomHost);
    back.writer.i16(0).i32(m_kim);
    ASSERT_EQ(lee.status(back), yonda::proto::Ok);
    m_session.SetLocation(LOC_ROOM_HOST);
    TestClient moe;
    ASSERT_GT(moe.login(m_service.port(), "moe"), 0);
    ASSERT_EQ(moe.join(0, room), yonda::proto::Ok);
    Window().AddUser(m_moe);
    ASSERT_EQ(Window().m_userList.GetItemId(2), m_moe);
    Window().SendMessage(UM_LIST_POPUP, MAKEWPARAM(100, 100), 2);
    Window().PopupMenu().DestroyWindow();
    ASSERT_EQ(Leave(moe), yonda::proto::Ok);
    Window().RemoveUser(m_moe);
    lee.clearEvents();
    EXPECT_EQ(
        AnswerNotifyBoxes([&] { Window().SendMessage(UM_POPUP_PICK, MAKEWPARAM(CRoomUserWnd::PICK_KICK, 2), 0); }),
        std::vector<std::string>{Table("E_KICK_USER", "Moe")});
    EXPECT_TRUE(lee.quietAbout(yonda::proto::EvKicked));

    // Lee is put out for real.
    EXPECT_EQ(Pick(1, CRoomUserWnd::PICK_KICK), std::vector<std::string>{Table("KickUser", "Lee")});
    auto kicked = lee.waitFor(yonda::proto::EvKicked);
    ASSERT_TRUE(kicked);
    EXPECT_EQ(yonda::proto::Block(kicked->block.data(), kicked->block.size()).getI32(0), m_lee);
    // A second kick of the member who is gone is refused by the service and told.
    EXPECT_EQ(Pick(1, CRoomUserWnd::PICK_KICK),
              (std::vector<std::string>{Table("KickUser", "Lee"), Table("E_KICK_USER", "Lee")}));
}

TEST_P(PeopleWindows, TheUserSearchPagesTenAtATimeAndShowsEachAreasText)
{
    std::vector<std::unique_ptr<TestClient>> online;
    for (int i = 0; i < 12; ++i) {
        const std::string login = "pal" + std::to_string(i);
        m_service.addMember(login, "Pal " + std::to_string(i), 1000, true, 'F', i == 0 ? "9" : "2");
        online.push_back(std::make_unique<TestClient>());
        ASSERT_GT(online.back()->login(m_service.port(), login), 0);
    }
    m_frame->OpenSearchWindow(CMainFrame::kUserSearchWindow);
    CUserSearchWnd& search = m_frame->m_wndUserSearch;
    ASSERT_TRUE(search.GetSafeHwnd());
    search.m_editKeyword.SetWindowText("pal");
    search.SendMessage(WM_COMMAND, MAKEWPARAM(CSearchPanel::kCommandSearch, BN_CLICKED), 0);
    CUserInfoPanel& list = search.m_resultList;
    ASSERT_EQ(list.GetCount(), 10);
    const long first = list.GetFirstItemId();
    EXPECT_TRUE(search.m_btnNext.IsWindowVisible());
    EXPECT_FALSE(search.m_btnPrev.IsWindowVisible());
    // An area code no selector item names shows the hidden word; a known one its item's text.
    const auto* firstRow = static_cast<const SEARCH_ROW*>(list.GetRow(0));
    EXPECT_EQ(std::string(firstRow->szArea), HiddenAreaText().Str());
    EXPECT_EQ(std::string(static_cast<const SEARCH_ROW*>(list.GetRow(1))->szArea), m_frame->LookupComboText("2").Str());
    EXPECT_FALSE(m_frame->LookupComboText("2").IsEmpty());

    search.SendMessage(WM_COMMAND, MAKEWPARAM(CSearchPanel::kCommandNext, BN_CLICKED), 0);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_TRUE(search.m_btnPrev.IsWindowVisible());
    EXPECT_FALSE(search.m_btnNext.IsWindowVisible());
    // Fewer than ten rows: no further page.
    const long second = list.GetFirstItemId();
    search.SendMessage(WM_COMMAND, MAKEWPARAM(CSearchPanel::kCommandNext, BN_CLICKED), 0);
    EXPECT_EQ(list.GetFirstItemId(), second);
    search.SendMessage(WM_COMMAND, MAKEWPARAM(CSearchPanel::kCommandPrev, BN_CLICKED), 0);
    EXPECT_EQ(list.GetFirstItemId(), first) << "back to the first page";
    EXPECT_EQ(list.GetCount(), 10);

    // A pick on a row that a new search took away adds nobody and says nothing.
    search.m_editKeyword.SetWindowText("pal11");
    search.SendMessage(WM_COMMAND, MAKEWPARAM(CSearchPanel::kCommandSearch, BN_CLICKED), 0);
    ASSERT_EQ(list.GetCount(), 1);
    EXPECT_TRUE(AnswerNotifyBoxes([&] {
                    search.SendMessage(UM_POPUP_PICK, MAKEWPARAM(CUserSearchWnd::PICK_ADD_FRIEND, 5), 0);
                }).empty());
    EXPECT_EQ(m_frame->m_friends.GetCount(), 0);
    // Row 0's pick adds that member as a friend.
    EXPECT_TRUE(AnswerNotifyBoxes([&] {
                    search.SendMessage(UM_POPUP_PICK, MAKEWPARAM(CUserSearchWnd::PICK_ADD_FRIEND, 0), 0);
                }).empty());
    EXPECT_EQ(m_frame->m_friends.GetCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(BothSkins, PeopleWindows, testing::Values("Orange", "Orange_Do"));

TEST(UserSearchQuery, TheKeywordGoesAsOneNameTheAreaAsItStandsAndAgesAsBands)
{
    USER_SEARCH_QUERY byId = BuildUserSearchQuery("kim", SEARCH_BY_NAME, "M", "20", "3");
    EXPECT_STREQ(byId.szByName, "kim");
    EXPECT_STREQ(byId.szByNick, "");
    EXPECT_EQ(byId.cSex, 'M');
    EXPECT_STREQ(byId.szArea, "3");
    EXPECT_EQ(byId.byAgeFrom, 20);
    EXPECT_EQ(byId.byAgeTo, 24);
    USER_SEARCH_QUERY byNick = BuildUserSearchQuery("Kimchi", SEARCH_BY_NICK, "0", "51", "-1");
    EXPECT_STREQ(byNick.szByName, "");
    EXPECT_STREQ(byNick.szByNick, "Kimchi");
    EXPECT_STREQ(byNick.szArea, "-1") << "any area goes as the selector names it";
    EXPECT_EQ(byNick.byAgeFrom, 51);
    EXPECT_EQ(byNick.byAgeTo, 100);
    // An ID longer than its field is cut to it; an area code to three characters.
    const std::string longId(40, 'x');
    USER_SEARCH_QUERY cut = BuildUserSearchQuery(longId.c_str(), SEARCH_BY_NAME, "", "1", "12345");
    EXPECT_EQ(std::strlen(cut.szByName), sizeof(cut.szByName) - 1);
    EXPECT_STREQ(cut.szArea, "123");
    EXPECT_EQ(cut.byAgeFrom, 0);
    EXPECT_EQ(cut.byAgeTo, 15);
}

TEST(UserSearchQuery, AFoundMembersRowKeepsEveryFieldWithinItsWidth)
{
    YONDA_SEARCH_USER_ELEMENT element{};
    element.lUser = 77;
    std::memset(element.szNickname, 'N', sizeof(element.szNickname)); // no terminator at all
    std::memset(element.szID, 'i', sizeof(element.szID));
    element.cGender = 'F';
    element.byAge = 33;
    std::memcpy(element.szFlags, "Y", 2);
    const std::string longArea(40, 'a');
    const SEARCH_ROW row = SearchRowFromElement(element, longArea.c_str());
    EXPECT_EQ(row.lUser, 77);
    EXPECT_EQ(strnlen(row.szNickname, sizeof(row.szNickname)), sizeof(row.szNickname) - 1);
    EXPECT_EQ(strnlen(row.szID, sizeof(row.szID)), sizeof(row.szID) - 1);
    EXPECT_EQ(strnlen(row.szArea, sizeof(row.szArea)), sizeof(row.szArea) - 1);
    EXPECT_EQ(row.cGender, 'F');
    EXPECT_EQ(row.cNumber, 33);
    EXPECT_EQ(row.cOnline, 'Y');
    g_bGermanText = TRUE;
    EXPECT_STREQ(SearchRowFromElement(element, "").szArea, "verborgen");
    g_bGermanText = FALSE;
    EXPECT_STREQ(SearchRowFromElement(element, "").szArea, "\xBA\xF1\xB0\xF8\xB0\xB3");
}

// The skins' area selectors offer the service's areas, in its order, each with a text.
TEST(AreaCodes, EverySkinsSelectorOffersExactlyTheSharedAreas)
{
    for (const char* skin : {"Orange", "Orange_Do"}) {
        CIniFile menu;
        ASSERT_TRUE(menu.Load(SkinFolder(skin) + "\\PopupMenu.ini")) << skin;
        int count = 0;
        ASSERT_TRUE(menu.GetInt("ComboArea", "Count", &count));
        ASSERT_EQ(count, static_cast<int>(yonda::proto::kAreaCount) + 2) << skin;
        CString entry;
        ASSERT_TRUE(menu.GetString("ComboArea", "Text0", &entry));
        EXPECT_EQ(entry.Mid(entry.Find(';') + 1), CString(yonda::proto::kAnyArea.data()));
        for (size_t i = 0; i < yonda::proto::kAreaCount; ++i) {
            CString key;
            key.Format("Text%d", static_cast<int>(i) + 2);
            ASSERT_TRUE(menu.GetString("ComboArea", key, &entry)) << skin << " " << key.Str();
            const int split = entry.Find(';');
            EXPECT_GT(split, 0) << "a text for area " << yonda::proto::kAreaCodes[i].code;
            EXPECT_EQ(entry.Mid(split + 1), CString(yonda::proto::kAreaCodes[i].code));
            EXPECT_TRUE(yonda::proto::IsAreaCode(entry.Mid(split + 1).Str()));
        }
    }
    EXPECT_FALSE(yonda::proto::IsAreaCode("02")) << "the codes of old are none of ours";
}
