// The room search window and its room lists as the program makes them: real windows from the
// generated skins over the real main frame, the real session against the real service on
// loopback with rooms other members opened, clicks and scrolls sent as a user sends them, and
// the rows read back from the pixels the lists show.
#include "ControlTestSupport.h"
#include "RoomSearchWnd.h"

#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <DialogSkin.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <NotifyDlg.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <TextInputDlg.h>
#include <ToolkitShared.h>

#include <yonda_capture.h>

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

// The main frame, keeping the joins the lists ask of it instead of making them.
class RecordingFrame : public CMainFrame {
public:
    std::vector<Note> joins;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_SESSION_COMMAND && LOWORD(wParam) == CMD_VIEW_READY) {
            return 0;
        }
        if (message == UM_ROOM_JOIN_RESULT) {
            joins.push_back({message, wParam, lParam});
            return 0;
        }
        return CMainFrame::WindowProc(message, wParam, lParam);
    }
};

// The search window, keeping its lists' popup requests.
class RecordingSearch : public CRoomSearchWnd {
public:
    std::vector<Note> popups;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_LIST_POPUP) {
            popups.push_back({message, wParam, lParam});
            return 0;
        }
        return CRoomSearchWnd::WindowProc(message, wParam, lParam);
    }
};

// A member who opened a room and stands in it (the room lasts as long as it).
struct Host {
    TestClient client;
    int16_t room = -1;
};

ROOM_ROW Row(int room, int lobby, const char* name, int users, int maximum, char state = 'O')
{
    ROOM_ROW row{};
    row.nRoom = static_cast<SHORT>(room);
    row.nLobby = static_cast<SHORT>(lobby);
    CopyField(row.szName, name, std::strlen(name));
    CopyField(row.szSubject, "talk", 4);
    CopyField(row.szText, "Host", 4);
    row.nUsers = static_cast<signed char>(users);
    row.nMaxUsers = static_cast<signed char>(maximum);
    row.cState = state;
    return row;
}

class RoomSearchWindow : public testing::TestWithParam<const char*> {
protected:
    static void SetUpTestSuite() { RegisterProgramResources(); }

    void SetUp() override
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        YondaSetActiveCodePage(std::string(GetParam()) == "Orange" ? 949 : 1252);
        g_strInstallPath = CString(binary) + "/yonda";
        GlobalLockInit();
        g_pMainSkin = &m_skin;
        ASSERT_EQ(m_skin.LoadSkin(g_strInstallPath, GetParam()), 1);
        ToolkitSetSkinFolder(m_skin.m_strSkinFolder);
        m_messageSkin.SetSkinPath(m_skin.m_strSkinFolder);
        ASSERT_EQ(m_messageSkin.LoadIni(m_skin.m_strSkinFolder + "\\" + m_skin.m_strMsgDlgIni), 1);
        ToolkitSetMessageSkin(&m_messageSkin);
        g_pSession = &m_session;
        ASSERT_TRUE(m_session.LoadStringTable("StringTable.ini"));
        m_session.m_nLobbyCount = 5;
        m_frame = new RecordingFrame; // deletes itself with its window
        ASSERT_TRUE(m_frame->CreateFrame(0, 0));
        m_frame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = m_frame;
        m_session.SetMainFrame(m_frame);
        Pump();
    }
    void TearDown() override
    {
        m_search.reset();
        m_app.m_pMainWnd = nullptr;
        m_session.SetMainFrame(nullptr);
        m_frame->DestroyWindow();
        Pump();
        g_pSession = nullptr;
        g_pMainSkin = nullptr;
        ToolkitSetTableStrings(nullptr);
        ToolkitSetMessageSkin(nullptr);
        ToolkitSetSkinFolder(CString());
        GlobalLockDelete();
    }

    // The member `kim` logged in through the session, standing in lobby 0's common area.
    void LogIn()
    {
        m_service.addMember("kim", "Kim");
        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", m_service.port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
        m_session.SetLocation(LOC_LOBBY);
        m_session.m_nCurrentLobby = 0;
    }
    // `count` rooms in lobby 0, each opened by a member of its own: "Room 01" onward, the subject
    // "even" or "odd" by its number.
    void OpenRooms(int count)
    {
        for (int i = 1; i <= count; ++i) {
            const std::string login = "host" + std::to_string(i);
            m_service.addMember(login, "Host " + std::to_string(i));
            auto host = std::make_unique<Host>();
            ASSERT_GT(host->client.login(m_service.port(), login), 0);
            char name[16];
            std::snprintf(name, sizeof name, "Room %02d", i);
            host->room = host->client.openRoom(0, name, i % 2 ? "odd" : "even", 8);
            ASSERT_GT(host->room, 0);
            m_hosts.push_back(std::move(host));
        }
    }
    // The search window over the frame, made as the frame makes it.
    RecordingSearch& Search()
    {
        if (!m_search) {
            m_search = std::make_unique<RecordingSearch>();
            EXPECT_TRUE(m_search->Create(m_frame, m_skin.Element("WND_SEARCH_ROOM")));
            Pump();
        }
        return *m_search;
    }
    static std::vector<int> Rooms(const CRoomListPanel& list)
    {
        std::vector<int> rooms;
        for (int i = 0; i < list.GetCount(); ++i) {
            rooms.push_back(list.Room(i)->nRoom);
        }
        return rooms;
    }
    static std::vector<int> Range(int first, int last, int step = 1)
    {
        std::vector<int> out;
        for (int i = first; i <= last; i += step) {
            out.push_back(i);
        }
        return out;
    }
    // Answers the next notify box with Enter and keeps its text.
    void AnswerNextBox()
    {
        SoonInLoop([this] {
            if (auto* box = dynamic_cast<CNotifyDlg*>(CWnd::GetActiveWindow())) {
                CString text;
                box->GetWindowText(text);
                m_told.emplace_back(text.GetString());
                Key(VK_RETURN);
            }
        });
    }
    std::string Table(LPCSTR key)
    {
        CString text = m_session.GetTableString(key);
        text.Replace(';', ' ');
        return text.GetString();
    }

    ServiceHarness m_service{"room-search"};
    std::vector<std::unique_ptr<Host>> m_hosts;
    CClientApp m_app;
    CMainSkin m_skin;
    CDialogSkin m_messageSkin;
    CClientSession m_session;
    RecordingFrame* m_frame = nullptr;
    std::unique_ptr<RecordingSearch> m_search;
    std::vector<std::string> m_told;
};

} // namespace

TEST_P(RoomSearchWindow, TheSearchTabShowsItsChoicesAndTheLobbyTabOnlyItsList)
{
    RecordingSearch& search = Search();
    EXPECT_EQ(search.m_nCurrentTab, CRoomSearchWnd::TAB_SEARCH);
    EXPECT_TRUE(search.IsWindowVisible());
    EXPECT_TRUE(search.m_searchList.IsWindowVisible());
    EXPECT_FALSE(search.m_lobbyList.IsWindowVisible());
    EXPECT_TRUE(search.m_btnSearch.IsWindowVisible());
    EXPECT_TRUE(search.m_editKeyword.IsWindowVisible());
    for (int i = 0; i < CRoomSearchWnd::SELECTOR_COUNT; ++i) {
        EXPECT_TRUE(search.m_selectors[i].IsWindowVisible()) << CRoomSearchWnd::kSelectorSections[i];
    }
    EXPECT_EQ(search.m_searchList.GetVisibleCount(), 10);
    // The member limit starts at "any"; the other selectors at their first item, "any" too.
    EXPECT_EQ(search.m_selectors[CRoomSearchWnd::COMBO_COUNT].GetSelectedTag(), "0");
    EXPECT_EQ(search.m_selectors[CRoomSearchWnd::COMBO_AREA].GetSelectedTag(), "-1");
    const ROOM_SEARCH_QUERY first = search.CurrentQuery();
    EXPECT_EQ(first.byCount, 0);
    EXPECT_STREQ(first.szArea, "");
    EXPECT_EQ(first.cFull, 'E');
    EXPECT_EQ(first.cSecret, 'O');

    // The key buttons choose one at a time; the switches toggle.
    Press(search.m_btnOptions[CRoomSearchWnd::KEY_NAME].GetSafeHwnd(), 6, 9);
    Release(search.m_btnOptions[CRoomSearchWnd::KEY_NAME].GetSafeHwnd(), 6, 9);
    EXPECT_EQ(search.m_nSelectedKeyButton, static_cast<UINT>(SEARCH_KEY_TEXT1));
    for (int i = CRoomSearchWnd::KEY_SUBJECT; i <= CRoomSearchWnd::KEY_USER_NICK; ++i) {
        EXPECT_EQ(search.m_btnOptions[i].m_bChecked, i == CRoomSearchWnd::KEY_NAME) << i;
    }
    Press(search.m_btnOptions[CRoomSearchWnd::FULL_ROOM].GetSafeHwnd(), 6, 9);
    Release(search.m_btnOptions[CRoomSearchWnd::FULL_ROOM].GetSafeHwnd(), 6, 9);
    EXPECT_EQ(search.CurrentQuery().cFull, 'F');
    EXPECT_EQ(search.CurrentQuery().cSecret, 'O');

    // The lobby tab: its list in its place with 15 slots, no choices, no Search button.
    Press(search.m_tabButton.GetSafeHwnd(), 30, 10);
    Release(search.m_tabButton.GetSafeHwnd(), 30, 10);
    EXPECT_EQ(search.m_nCurrentTab, CRoomSearchWnd::TAB_LOBBY);
    YondaFlushPainting();
    EXPECT_TRUE(search.m_lobbyList.IsWindowVisible());
    EXPECT_FALSE(search.m_searchList.IsWindowVisible());
    EXPECT_FALSE(search.m_btnSearch.IsWindowVisible());
    EXPECT_FALSE(search.m_editKeyword.IsWindowVisible());
    EXPECT_FALSE(search.m_selectors[CRoomSearchWnd::COMBO_SEX].IsWindowVisible());
    EXPECT_FALSE(search.m_btnOptions[CRoomSearchWnd::SECRET_ROOM].IsWindowVisible());
    EXPECT_EQ(search.m_lobbyList.GetVisibleCount(), 15);
    // The tab's picture: the column headings where the list begins.
    CRect list;
    search.m_lobbyList.GetWindowRect(&list);
    search.ScreenToClient(&list);
    EXPECT_EQ(search.m_tabPicture.Area().bottom, list.top);
}

TEST_P(RoomSearchWindow, TheLobbyListPagesByThirtyAndPrevComesBackToTheFirstRoomOfThePage)
{
    LogIn();
    OpenRooms(35);
    RecordingSearch& search = Search();
    search.SetTab(CRoomSearchWnd::TAB_LOBBY);
    EXPECT_EQ(Rooms(search.m_lobbyList), Range(1, 30));
    EXPECT_TRUE(search.m_btnNext.IsWindowVisible());
    EXPECT_FALSE(search.m_btnPrev.IsWindowVisible());

    search.NextPage();
    EXPECT_EQ(Rooms(search.m_lobbyList), Range(31, 35));
    EXPECT_TRUE(search.m_btnPrev.IsWindowVisible());
    EXPECT_FALSE(search.m_btnNext.IsWindowVisible()) << "fewer than 30 rows: no further page";
    search.NextPage();
    EXPECT_EQ(Rooms(search.m_lobbyList), Range(31, 35)) << "and Next does nothing";

    search.PrevPage();
    EXPECT_EQ(Rooms(search.m_lobbyList), Range(1, 30)) << "the page starts with its first room again";
    EXPECT_FALSE(search.m_btnPrev.IsWindowVisible());
    search.PrevPage();
    EXPECT_EQ(Rooms(search.m_lobbyList), Range(1, 30));

    // The scroll bar reaches the rows beyond the fifteen slots.
    EXPECT_TRUE(search.m_lobbyList.ScrollBar().IsWindowVisible());
    search.m_lobbyList.SendMessage(UM_SCROLL_POS, 40, 0);
    EXPECT_EQ(search.m_lobbyList.GetTop(), 15) << "past the end shows the last fifteen";
}

TEST_P(RoomSearchWindow, TheSearchPagesByTenAndARefusedPageLeavesTheWindowWhereItWas)
{
    LogIn();
    OpenRooms(25);
    RecordingSearch& search = Search();
    // Subjects: "even" rooms are 2, 4, ... 24.
    search.m_editKeyword.SetWindowText("even");
    search.m_editKeyword.SendMessage(WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(Rooms(search.m_searchList), Range(2, 20, 2));
    EXPECT_TRUE(search.m_btnNext.IsWindowVisible());
    EXPECT_FALSE(search.m_btnPrev.IsWindowVisible());
    search.NextPage();
    EXPECT_EQ(Rooms(search.m_searchList), Range(22, 24, 2));
    EXPECT_TRUE(search.m_btnPrev.IsWindowVisible());
    EXPECT_FALSE(search.m_btnNext.IsWindowVisible());
    search.PrevPage();
    EXPECT_EQ(Rooms(search.m_searchList), Range(2, 20, 2));

    // Without the connection the next page is refused: the same rows, key and stack.
    const short key = search.m_nPageKey;
    const size_t depth = search.m_pageStack[CRoomSearchWnd::TAB_SEARCH].size();
    m_session.GetComm()->Disconnect();
    search.NextPage();
    EXPECT_EQ(search.m_nPageKey, key);
    EXPECT_EQ(search.m_pageStack[CRoomSearchWnd::TAB_SEARCH].size(), depth);
    EXPECT_EQ(Rooms(search.m_searchList), Range(2, 20, 2));
}

TEST_P(RoomSearchWindow, AOneRowPageDoesNotPageForwardAndANewSearchStartsAtTheTop)
{
    LogIn();
    OpenRooms(12);
    RecordingSearch& search = Search();
    search.m_nSelectedKeyButton = SEARCH_KEY_TEXT1;
    search.m_editKeyword.SetWindowText("Room 07");
    search.NewSearch();
    EXPECT_EQ(Rooms(search.m_searchList), std::vector<int>{7});
    search.NextPage();
    EXPECT_TRUE(search.m_pageStack[CRoomSearchWnd::TAB_SEARCH].empty());
    EXPECT_EQ(Rooms(search.m_searchList), std::vector<int>{7});

    search.m_editKeyword.SetWindowText("Room");
    search.NewSearch();
    search.NextPage();
    EXPECT_EQ(Rooms(search.m_searchList), Range(11, 12));
    search.NewSearch();
    EXPECT_EQ(Rooms(search.m_searchList), Range(1, 10));
    EXPECT_TRUE(search.m_pageStack[CRoomSearchWnd::TAB_SEARCH].empty());
    EXPECT_FALSE(search.m_btnPrev.IsWindowVisible());
}

TEST_P(RoomSearchWindow, RowsShowTheirLockTextsAndAGoButtonThatAFullRoomDisables)
{
    RecordingSearch& search = Search();
    CRoomListPanel& list = search.m_searchList;
    list.AddItem(new ROOM_ROW(Row(3, 0, "Open one", 2, 8)));
    list.AddItem(new ROOM_ROW(Row(4, 0, "Closed and full", 8, 8, 'C')));
    YondaFlushPainting();
    ASSERT_EQ(list.GetGoButtonCount(), 10);
    EXPECT_TRUE(list.GoButton(0)->IsWindowVisible());
    EXPECT_TRUE(list.GoButton(0)->IsWindowEnabled());
    EXPECT_TRUE(list.GoButton(1)->IsWindowVisible());
    EXPECT_FALSE(list.GoButton(1)->IsWindowEnabled());
    EXPECT_FALSE(list.GoButton(2)->IsWindowVisible()) << "no row, no button";
    // Go buttons stand a row apart.
    CRect first, second;
    list.GoButton(0)->GetWindowRect(&first);
    list.GoButton(1)->GetWindowRect(&second);
    EXPECT_EQ(second.top - first.top, list.GetRowHeight());

    // The lock column shows the picture's open and closed halves; the name has ink; an empty
    // slot is white.
    const HWND panel = list.GetSafeHwnd();
    const RECT lock0 = list.ColumnRect(0, 0);
    const RECT lock1 = list.ColumnRect(0, 1);
    EXPECT_NE(Pixel(panel, lock0.left + 4, lock0.top + 10), Pixel(panel, lock1.left + 4, lock1.top + 10));
    auto ink = [&](const RECT& r) {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                count += Pixel(panel, x, y) != 0xFFFFFF;
            }
        }
        return count;
    };
    EXPECT_GT(ink(list.ColumnRect(4, 0)), 20);
    EXPECT_GT(ink(list.ColumnRect(2, 1)), 10) << "8/8";
    EXPECT_EQ(ink(list.ColumnRect(4, 2)), 0);
}

TEST_P(RoomSearchWindow, GoPostsTheJoinOrTellsWhyTheMemberCannotGo)
{
    LogIn();
    m_session.m_nCurrentRoom = 9;
    RecordingSearch& search = Search();
    CRoomListPanel& list = search.m_searchList;
    list.AddItem(new ROOM_ROW(Row(12, 2, "Elsewhere", 1, 8)));
    list.AddItem(new ROOM_ROW(Row(9, 0, "Here", 1, 8)));
    list.AddItem(new ROOM_ROW(Row(5, -1, "On the map", 1, 8)));
    YondaFlushPainting();
    list.SendMessage(WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    Pump();
    ASSERT_EQ(m_frame->joins.size(), 1u);
    EXPECT_EQ(m_frame->joins[0].wParam, (static_cast<WPARAM>(12) << 16) | 2);
    EXPECT_EQ(reinterpret_cast<HWND>(m_frame->joins[0].lParam), search.GetSafeHwnd()) << "the window to close";

    AnswerNextBox();
    list.SendMessage(WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0);
    AnswerNextBox();
    list.SendMessage(WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ(m_told, (std::vector<std::string>{Table("AlreadyJoinedRoom"), Table("HeisJoinedMinimap")}));
    EXPECT_EQ(m_frame->joins.size(), 1u);
    // A button beyond the rows does nothing.
    list.SendMessage(WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ(m_frame->joins.size(), 1u);
}

TEST_P(RoomSearchWindow, ScrollingAndRightClicksCountFromTheTopRow)
{
    RecordingSearch& search = Search();
    CRoomListPanel& list = search.m_searchList;
    for (int i = 1; i <= 25; ++i) {
        list.AddItem(new ROOM_ROW(Row(i, 0, "Room", 1, 8)));
    }
    EXPECT_TRUE(list.ScrollBar().IsWindowVisible());
    list.SendMessage(UM_SCROLL_POS, 5, 0);
    EXPECT_EQ(list.GetTop(), 5);
    // A right click on the third slot asks for the seventh row's menu, at the screen point.
    const RECT slot2 = list.SlotRect(2);
    const POINT at{slot2.left + 40, slot2.top + 8};
    const HWND panel = list.GetSafeHwnd();
    YondaInjectMouseMove(ScreenPoint(panel, at.x, at.y).x, ScreenPoint(panel, at.x, at.y).y);
    YondaInjectMouseButton(1, TRUE, ScreenPoint(panel, at.x, at.y).x, ScreenPoint(panel, at.x, at.y).y);
    YondaInjectMouseButton(1, FALSE, ScreenPoint(panel, at.x, at.y).x, ScreenPoint(panel, at.x, at.y).y);
    Pump();
    ASSERT_EQ(search.popups.size(), 1u);
    EXPECT_EQ(search.popups[0].lParam, 7);
    const POINT screen = ScreenPoint(panel, at.x, at.y);
    EXPECT_EQ(search.popups[0].wParam, (static_cast<WPARAM>(screen.y) << 16) | static_cast<WPARAM>(screen.x));

    // Past the end shows the last ten; before the start the first.
    list.SendMessage(UM_SCROLL_POS, 99, 0);
    EXPECT_EQ(list.GetTop(), 15);
    list.SendMessage(UM_SCROLL_POS, static_cast<WPARAM>(-4), 0);
    EXPECT_EQ(list.GetTop(), 0);

    // Three rows: a click below the last one asks for nothing, and scrolling stays at the top.
    list.ClearItems();
    for (int i = 1; i <= 3; ++i) {
        list.AddItem(new ROOM_ROW(Row(i, 0, "Room", 1, 8)));
    }
    list.SendMessage(UM_SCROLL_POS, 2, 0);
    EXPECT_EQ(list.GetTop(), 0);
    const RECT slot5 = list.SlotRect(5);
    const POINT below = ScreenPoint(panel, slot5.left + 40, slot5.top + 8);
    YondaInjectMouseMove(below.x, below.y);
    YondaInjectMouseButton(1, TRUE, below.x, below.y);
    YondaInjectMouseButton(1, FALSE, below.x, below.y);
    Pump();
    EXPECT_EQ(search.popups.size(), 1u);
}

TEST_P(RoomSearchWindow, DeletingRowsPullsTheTopBackAndAShortSkinDrawsWhatItHas)
{
    RecordingSearch& search = Search();
    CRoomListPanel& list = search.m_searchList;
    for (int i = 1; i <= 12; ++i) {
        list.AddItem(new ROOM_ROW(Row(i, 0, "Room", 1, 8)));
    }
    list.SendMessage(UM_SCROLL_POS, 2, 0);
    ASSERT_EQ(list.GetTop(), 2);
    // A room row's number for these look-ups is its room and lobby together.
    list.DeleteItem(12);
    EXPECT_EQ(list.GetTop(), 1);
    list.DeleteItem(11);
    list.DeleteItem(10);
    EXPECT_EQ(list.GetTop(), 0);
    EXPECT_FALSE(list.ScrollBar().IsWindowVisible());
    EXPECT_EQ(list.GetCount(), 9);

    // A skin with two columns and twenty slots: the rest of the columns are left out and the Go
    // buttons stop at sixteen.
    CIniFile& ini = search.m_pSkin->m_Ini;
    ini.SetString("ShortList", "LockImage", "room_lock.bmp");
    ini.SetString("ShortList", "GoBtnImage", "btn_go.bmp");
    ini.SetInt("ShortList", "VisibleCount", 20);
    ini.SetInt("ShortList", "ColumnCount", 2);
    ini.SetString("ShortList", "ColRect0", "RECT(4,2,20,18)");
    ini.SetString("ShortList", "ColRect1", "RECT(24,3,124,19)");
    ini.SetString("ShortList", "BtnGoRect", "RECT(300,1,336,19)");
    CRoomListPanel shortList;
    shortList.SetFirstRowRect(0, 0, 400, 20);
    ASSERT_TRUE(shortList.Create("ShortList", CRect(10, 40, 440, 440), &search, 3199));
    EXPECT_EQ(shortList.GetColumnCount(), 2);
    EXPECT_EQ(shortList.GetGoButtonCount(), CListPanel::kMaxGoButtons);
    for (int i = 1; i <= 20; ++i) {
        shortList.AddItem(new ROOM_ROW(Row(i, 0, "Room", 1, 8)));
    }
    YondaFlushPainting();
    EXPECT_TRUE(shortList.GoButton(15)->IsWindowVisible());
    shortList.SendMessage(WM_COMMAND, MAKEWPARAM(17, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(m_frame->joins.empty());
}

TEST_P(RoomSearchWindow, TheTextInputGivesWhatWasTypedOnEnterAndNothingOnCancel)
{
    std::string typed = std::string(20, 'p');
    SoonInLoop([&] {
        auto* dialog = dynamic_cast<CTextInputDlg*>(CWnd::GetActiveWindow());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(::GetFocus(), dialog->m_editText.GetSafeHwnd());
        for (char c : typed) {
            dialog->m_editText.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 0);
        }
        Key(VK_RETURN);
    });
    CString text;
    EXPECT_TRUE(m_frame->AskText(&text));
    EXPECT_EQ(std::string(text.GetString()), std::string(CTextInputDlg::kTextLimit, 'p')) << "a password's length";
    EXPECT_FALSE(m_frame->IsModal());

    SoonInLoop([] {
        auto* dialog = dynamic_cast<CTextInputDlg*>(CWnd::GetActiveWindow());
        ASSERT_NE(dialog, nullptr);
        dialog->m_editText.SetWindowText("nope");
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(kDialogCancel, BN_CLICKED), 0);
    });
    text = "kept";
    EXPECT_FALSE(m_frame->AskText(&text));
    EXPECT_EQ(text, "kept");
}

TEST_P(RoomSearchWindow, JoiningAFullOrGoneRoomTellsWhyAndAWrongPasswordLeavesTheMemberInTheLobby)
{
    LogIn();
    OpenRooms(1);
    m_service.addMember("lee", "Lee");
    TestClient lee;
    ASSERT_GT(lee.login(m_service.port(), "lee"), 0);
    // Room 2: Lee's, closed, with room for one more.
    const int16_t closed = lee.openRoom(0, "Lee's", "secret", 2, "pass");
    ASSERT_GT(closed, 0);

    EXPECT_FALSE(m_frame->JoinRoom(-1, 1)) << "no lobby";
    AnswerNextBox();
    EXPECT_FALSE(m_frame->JoinRoom(0, 77));
    ASSERT_EQ(m_told.size(), 1u);
    EXPECT_EQ(m_told[0], Table("CantJoinRoom"));

    // A wrong password: refused, the member back in the lobby's common area.
    SoonInLoop([this] {
        auto* dialog = dynamic_cast<CTextInputDlg*>(CWnd::GetActiveWindow());
        ASSERT_NE(dialog, nullptr);
        dialog->m_editText.SetWindowText("wrong");
        AnswerNextBox();
        Key(VK_RETURN);
    });
    EXPECT_FALSE(m_frame->JoinRoom(0, closed));
    ASSERT_EQ(m_told.size(), 2u);
    EXPECT_EQ(m_told[1], Table("PasswordFail"));
    EXPECT_EQ(m_session.GetLocation(), LOC_LOBBY);
    EXPECT_EQ(m_session.m_nCurrentRoom, -1);
    EXPECT_EQ(m_frame->m_wndToolBar.GetText(), "");

    // The right one: in the room.
    SoonInLoop([] {
        auto* dialog = dynamic_cast<CTextInputDlg*>(CWnd::GetActiveWindow());
        ASSERT_NE(dialog, nullptr);
        dialog->m_editText.SetWindowText("pass");
        Key(VK_RETURN);
    });
    EXPECT_TRUE(m_frame->JoinRoom(0, closed));
    EXPECT_EQ(m_session.GetLocation(), LOC_ROOM);
    EXPECT_EQ(m_session.m_nCurrentRoom, closed);
    EXPECT_EQ(m_frame->m_wndToolBar.GetText(), "Lee's") << "the tool bar names the room";

    // Now full (Lee and the member): the next one hears so before any password is asked.
    m_session.m_nCurrentRoom = -1;
    AnswerNextBox();
    EXPECT_FALSE(m_frame->JoinRoom(0, closed));
    ASSERT_EQ(m_told.size(), 3u);
    EXPECT_EQ(m_told[2], Table("RoomFull"));
}

INSTANTIATE_TEST_SUITE_P(BothSkins, RoomSearchWindow, testing::Values("Orange", "Orange_Do"));
