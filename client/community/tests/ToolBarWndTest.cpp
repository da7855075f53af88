// The tool bar and the frame's services as the program makes them: the real main frame with its
// tool bar from the generated skins, the real session (with the real service on loopback where
// the service answers), notify boxes answered as a member would, and what the bar posts to the
// frame recorded.
#include "ControlTestSupport.h"
#include "SoundSupport.h"
#include "TempFolder.h"

#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <MessengerWnd.h>
#include <NotifyDlg.h>
#include <ProgramResources.h>
#include <Screenshot.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>
#include <ToolBarWnd.h>

#include <YondaCommRecords.h>
#include <yonda_capture.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace yonda::uitest;

namespace {

// The main frame, keeping the requests the bar posts to it instead of sending them.
class RecordingFrame : public CMainFrame {
public:
    std::vector<Note> posted;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_SESSION_COMMAND && LOWORD(wParam) == CMD_VIEW_READY) {
            return 0;
        }
        if (message == UM_SESSION_REQUEST || message == CToolBarWnd::kOpenTradeItem) {
            posted.push_back({message, wParam, lParam});
            return 0;
        }
        return CMainFrame::WindowProc(message, wParam, lParam);
    }
};

class ToolBarTest : public testing::TestWithParam<const char*> {
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
        ToolkitSetSkinFolder(m_skin.m_strSkinFolder);
        g_pSession = &m_session;
        ASSERT_TRUE(m_session.LoadStringTable("StringTable.ini"));
        m_session.m_nLobbyCount = 5;
        m_frame = new RecordingFrame; // deletes itself with its window
        ASSERT_TRUE(m_frame->CreateFrame(0, 0));
        m_frame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(Bar().GetSafeHwnd());
        Pump();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_frame->DestroyWindow();
        Pump();
        g_pSession = nullptr;
        g_pMainSkin = nullptr;
        g_bGermanText = FALSE;
        g_bSoundOff = FALSE;
        ToolkitSetSoundOff(FALSE);
        ToolkitSetSkinFolder(CString());
        GlobalLockDelete();
    }

    CToolBarWnd& Bar() { return m_frame->m_wndToolBar; }
    // The frame's newest notice: the chat log's last line written without a name, with the
    // pieces the log wrapped it into.
    std::string LastNotice()
    {
        CTabbedTextList& log = m_frame->m_wndChat.Log();
        std::string text;
        for (int i = log.GetLineCount() - 1; i >= 0; --i) {
            text = std::string(log.GetLine(i).strText.Str()) + (text.empty() ? "" : " ") + text;
            if (log.GetLine(i).strName == " ") {
                break;
            }
        }
        return text;
    }
    // Logs kim in at a service of the test's own (locations change only while connected).
    void Connect()
    {
        m_service = std::make_unique<yonda::testing::ServiceHarness>("toolbar");
        m_service->addMember("kim", "Kim");
        m_lee = m_service->addMember("lee", "Lee", 1000, true, 'F');
        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", m_service->port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
    }
    CString Table(LPCSTR key) { return m_session.GetTableString(key); }

    std::vector<std::string> Boxes(const std::function<void()>& run, bool no = false)
    {
        return AnswerNotifyBoxes(run, no);
    }

    // A block of an instant-message event as the network library hands it over.
    static LPARAM Block(const std::vector<std::pair<size_t, std::string>>& fields, size_t size)
    {
        auto* block = new BYTE[size]();
        for (const auto& [offset, bytes] : fields) {
            std::memcpy(block + offset, bytes.data(), bytes.size());
        }
        return reinterpret_cast<LPARAM>(block);
    }

    HeardSounds m_sounds;
    std::unique_ptr<yonda::testing::ServiceHarness> m_service;
    int32_t m_lee = 0;
    CClientApp m_app;
    CMainSkin m_skin;
    CClientSession m_session;
    RecordingFrame* m_frame = nullptr;
};

} // namespace

TEST(ScreenshotNames, StampTheMomentAndRepeatWithinASecond)
{
    SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 4;
    t.wHour = 5;
    t.wMinute = 6;
    t.wSecond = 7;
    EXPECT_EQ(ScreenshotFileName(t, ".bmp"), "20260304050607.bmp");
    t.wMilliseconds = 999;
    EXPECT_EQ(ScreenshotFileName(t, ".jpg"), "20260304050607.jpg") << "the same second, the same name";
    t.wSecond = 8;
    EXPECT_EQ(ScreenshotFileName(t, ".jpg"), "20260304050608.jpg");
}

TEST(ToolBarEmotions, EachItemPlaysAnEmotionOfTheAvatarsKind)
{
    EXPECT_EQ(ToolBarEmotionOf(0, FALSE), 0);
    EXPECT_EQ(ToolBarEmotionOf(1, FALSE), 11);
    EXPECT_EQ(ToolBarEmotionOf(1, TRUE), 8);
    EXPECT_EQ(ToolBarEmotionOf(8, FALSE), -1);
    EXPECT_EQ(ToolBarEmotionOf(-1, TRUE), -1);
}

TEST_P(ToolBarTest, ButtonsFollowTheLocationAndTheItemShopOnlyLobbyOne)
{
    auto enabled = [&](int element) { return Bar().Button(element).IsWindowEnabled() != FALSE; };
    EXPECT_FALSE(enabled(CToolBarLayout::ITEM_SHOP_BTN)) << "off until a place says otherwise";
    struct Row {
        int location, lobby;
        bool avatar, emotion, shot, shop;
    };
    const Row rows[] = {{LOC_NONE, -1, false, false, false, false},
                        {LOC_MINIMAP, -1, true, false, false, false},
                        {LOC_LOBBY_SELECTED, 1, false, false, false, false},
                        {LOC_LOBBY, 0, true, true, true, false},
                        {LOC_LOBBY, 1, true, true, true, true},
                        {LOC_ROOM_HOST, 1, true, true, true, true},
                        {LOC_ROOM, 2, true, true, true, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.location) + " in lobby " + std::to_string(row.lobby));
        m_session.m_nCurrentLobby = static_cast<short>(row.lobby);
        m_frame->OnLocationChanged(row.location);
        EXPECT_EQ(enabled(CToolBarLayout::MY_AVATAR_BTN), row.avatar);
        EXPECT_EQ(enabled(CToolBarLayout::EMOTION_BTN), row.emotion);
        EXPECT_EQ(enabled(CToolBarLayout::SCREENSHOT_BTN), row.shot);
        EXPECT_EQ(enabled(CToolBarLayout::ITEM_SHOP_BTN), row.shop);
        EXPECT_TRUE(enabled(CToolBarLayout::HELP_BTN));
    }
    // The shop button asks the frame for the shop.
    m_session.m_nCurrentLobby = 1;
    m_frame->OnLocationChanged(LOC_LOBBY);
    YondaInjectClick(Bar().Button(CToolBarLayout::ITEM_SHOP_BTN), 10, 10);
    Pump();
    EXPECT_EQ(m_frame->posted, (std::vector<Note>{{CToolBarWnd::kOpenTradeItem, 0, 0}}));
}

TEST_P(ToolBarTest, ThePositionTextSaysWhereTheMemberIs)
{
    const CToolBarLayout& layout = *Bar().GetLayout();
    ASSERT_EQ(layout.m_arrLobbyText.GetSize(), 5);
    const CString square = layout.GetLobbyText(0);
    Connect();
    m_session.SetLocation(LOC_MINIMAP);
    EXPECT_EQ(Bar().GetPositionText(), layout.m_strMinimap);
    m_session.SetLocation(LOC_NONE);
    EXPECT_EQ(Bar().GetPositionText(), layout.m_strMoving);
    // In a lobby's common area: the lobby, or the chosen one before the member stands in it.
    m_session.m_nCurrentLobby = -1;
    m_session.m_nChosenLobby = 0;
    m_session.SetLocation(LOC_LOBBY);
    EXPECT_EQ(Bar().GetPositionText(), square + "> " + layout.m_strWaitRoom);
    m_session.m_nChosenLobby = -1;
    EXPECT_EQ(Bar().GetPositionText(), layout.m_strMinimap);
    m_session.m_nCurrentLobby = 2;
    EXPECT_EQ(Bar().GetPositionText(), layout.GetLobbyText(2) + "> " + layout.m_strWaitRoom);
    // In a room: its name after it; a lobby beyond the words leaves the lobby out.
    Bar().SetText("Tea");
    m_session.SetLocation(LOC_ROOM);
    EXPECT_EQ(Bar().GetPositionText(), layout.GetLobbyText(2) + "> " + layout.m_strChatRoom + " - Tea");
    m_session.m_nCurrentLobby = 9;
    EXPECT_EQ(Bar().GetPositionText(), layout.m_strChatRoom + " - Tea");
    // Readers of the bar's window text read what it says; a room its host renames is named anew.
    CString shown;
    Bar().GetWindowText(shown);
    EXPECT_EQ(shown, layout.m_strChatRoom + " - Tea");
    m_frame->OnRoomModified(0, "Coffee House", 0);
    Bar().GetWindowText(shown);
    EXPECT_EQ(shown, layout.m_strChatRoom + " - Coffee House");
    EXPECT_EQ(LastNotice(), m_session.FormatTableString("ModifiedRoomName", "Coffee House").Str());
    // Other changes leave the name as it is.
    m_frame->OnRoomModified(1, "cakes", 0);
    EXPECT_EQ(Bar().GetPositionText(), layout.m_strChatRoom + " - Coffee House");
    // The points with thousands separators; the frame's points message repaints them.
    ::SendMessageA(m_frame->GetSafeHwnd(), CMainFrame::kSetShopPoints, 1234567, 0);
    EXPECT_EQ(m_session.m_lPoints, 1234567);
    EXPECT_EQ(Bar().GetPointsText(), "1,234,567");
}

TEST_P(ToolBarTest, TheMuteButtonSwitchesTheSoundOptionAndShowsIt)
{
    CSoundButton& mute = Bar().Button(CToolBarLayout::MUTE_BTN);
    EXPECT_EQ(mute.m_bChecked, 0);
    YondaInjectClick(mute, 10, 10);
    Pump();
    EXPECT_TRUE(g_bSoundOff);
    EXPECT_TRUE(ToolkitSoundOff());
    EXPECT_EQ(mute.m_bChecked, 1);
    // Muted, nothing starts playing.
    EXPECT_FALSE(m_frame->m_bgmPlayer.PlayFile("korea.wav", FALSE));
    YondaInjectClick(mute, 10, 10);
    Pump();
    EXPECT_FALSE(g_bSoundOff);
    EXPECT_EQ(mute.m_bChecked, 0);
}

TEST_P(ToolBarTest, TheEmotionMenuOpensOnceAndItsPickAsksForTheFaceAlone)
{
    m_session.m_nCurrentLobby = 0;
    m_frame->OnLocationChanged(LOC_LOBBY);
    CSoundButton& button = Bar().Button(CToolBarLayout::EMOTION_BTN);
    YondaInjectClick(button, 10, 10);
    Pump();
    CPopupMenuWnd& menu = Bar().EmotionMenu();
    ASSERT_TRUE(menu.GetSafeHwnd());
    const HWND first = menu.GetSafeHwnd();
    RECT at, under;
    menu.GetWindowRect(&at);
    button.GetWindowRect(&under);
    EXPECT_EQ(at.left, under.left - 8);
    EXPECT_EQ(at.top, under.top + 21);
    // A second click while it is open does nothing.
    YondaInjectClick(button, 10, 10);
    Pump();
    EXPECT_EQ(menu.GetSafeHwnd(), first);
    // A pick from a menu with an id in the high word asks for the item alone as the face.
    ::SendMessageA(Bar().GetSafeHwnd(), UM_POPUP_PICK, MAKEWPARAM(3, 7), 0);
    Pump();
    EXPECT_EQ(m_frame->posted, (std::vector<Note>{{UM_SESSION_REQUEST, MAKEWPARAM(REQ_FACE_SET, 3), 0}}));
}

// The view's picture goes into the folder under the installation folder (made when missing),
// and the notice names the folder and the JPEG; a folder that cannot be made is no picture.
TEST_P(ToolBarTest, AScreenshotIsSavedAndAnnouncedOnlyWhenItWasWritten)
{
    yonda::testing::TempFolder home{"toolbar-shots"};
    g_strInstallPath = CString(home.Path().string().c_str());
    CToolBarLayout& layout = *Bar().GetLayout();
    EXPECT_EQ(Bar().GetScreenshotFolder(), "ScreenShot");
    CString notice, jpeg;
    ASSERT_TRUE(Bar().SaveViewPicture(&notice, &jpeg));
    const std::filesystem::path folder = home.Path() / "ScreenShot";
    ASSERT_TRUE(std::filesystem::is_directory(folder));
    const std::string name = jpeg.Mid(jpeg.ReverseFind('\\') + 1).Str();
    EXPECT_TRUE(std::filesystem::exists(folder / name));
    EXPECT_TRUE(std::filesystem::exists(folder / (name.substr(0, name.size() - 4) + ".bmp"))) << "the BMP stays";
    EXPECT_EQ(notice, ToolkitFormatText(layout.m_strFstMsg, "ScreenShot") + ";" +
                          ToolkitFormatText(layout.m_strSecMsg, name.c_str()) + ";" + layout.m_strTrdMsg);

    home.Write("Blocked", "a file where the folder would go");
    layout.m_strShotPath = "Blocked";
    EXPECT_FALSE(Bar().SaveViewPicture(&notice, &jpeg));
    EXPECT_EQ(notice, layout.m_strFailMsg);
    EXPECT_FALSE(notice.IsEmpty());
}

TEST_P(ToolBarTest, EnableChildrenSwitchesEveryChildButTheTitleButtonsAndTheModalFlagFollows)
{
    m_frame->EnableChildren(nullptr, FALSE);
    EXPECT_TRUE(m_frame->IsModal());
    EXPECT_FALSE(Bar().IsWindowEnabled());
    EXPECT_FALSE(m_frame->m_wndView.IsWindowEnabled());
    EXPECT_TRUE(m_frame->m_btnClose.IsWindowEnabled());
    EXPECT_TRUE(m_frame->m_btnMinimise.IsWindowEnabled());
    m_frame->EnableChildren(nullptr, TRUE);
    EXPECT_FALSE(m_frame->IsModal());
    EXPECT_TRUE(Bar().IsWindowEnabled());
    // The toolkit's modal frames reach it: all but the one given.
    ToolkitEnableChildren(&Bar(), FALSE);
    EXPECT_TRUE(Bar().IsWindowEnabled());
    EXPECT_FALSE(m_frame->m_wndView.IsWindowEnabled());
    ToolkitEnableChildren(&Bar(), TRUE);
    EXPECT_TRUE(m_frame->m_wndView.IsWindowEnabled());
}

// Adding oneself is told to be impossible before anything is asked of the service.
TEST_P(ToolBarTest, AddingOneselfAsFriendSendsNothing)
{
    Connect();
    BOOL added = TRUE;
    auto boxes = Boxes([&] { added = m_frame->RequestAddFriend(m_session.m_OwnUser.lUser); });
    EXPECT_FALSE(added);
    EXPECT_EQ(boxes, std::vector<std::string>{Table("FriendAddError3").Str()});
    EXPECT_EQ(m_frame->m_friends.GetCount(), 0);
    // A member the service does not know is refused by it.
    boxes = Boxes([&] { added = m_frame->RequestAddFriend(m_lee + 100); });
    EXPECT_FALSE(added);
    EXPECT_EQ(boxes, std::vector<std::string>{Table("FriendAddError1").Str()});
    EXPECT_EQ(m_frame->m_friends.GetCount(), 0);
}

// With the real service: a friend is added once, found by nickname, told online, and deleted.
TEST_P(ToolBarTest, FriendsAreAddedOnceFoundAndDeletedThroughTheService)
{
    Connect();
    const int32_t lee = m_lee;
    EXPECT_TRUE(Boxes([&] { EXPECT_TRUE(m_frame->RequestAddFriend(lee)); }).empty());
    ASSERT_EQ(m_frame->m_friends.GetCount(), 1);
    const FRIEND_ROW* row = m_frame->FindFriend("Lee");
    ASSERT_TRUE(row);
    EXPECT_EQ(row->lUser, lee);
    EXPECT_STREQ(row->szID, "lee");
    EXPECT_EQ(row->cGender, 'F');
    EXPECT_EQ(Boxes([&] { EXPECT_FALSE(m_frame->RequestAddFriend(lee)); }),
              std::vector<std::string>{Table("FriendAddError2").Str()});
    EXPECT_EQ(m_frame->m_friends.GetCount(), 1);

    // The library's notice of a friend's state reaches the row, and its block is freed.
    std::string state(4, '\0');
    std::memcpy(state.data(), &lee, 4);
    state += 'Y';
    m_frame->SendMessage(UM_COMM_MESSAGE, 129, Block({{0, state}}, 5));
    EXPECT_EQ(m_frame->FindFriend("Lee")->cOnline, 'Y');

    EXPECT_TRUE(m_frame->DeleteFriend(lee));
    EXPECT_EQ(m_frame->m_friends.GetCount(), 0);
    EXPECT_FALSE(m_frame->FindFriend("Lee"));
}

TEST_P(ToolBarTest, AMessageNotDeliveredIsFramedInTheSkinsLanguage)
{
    const std::string code("\x0C\x00", 2);
    auto shown = [&] {
        return Boxes([&] {
            m_frame->SendMessage(UM_COMM_MESSAGE, 130, Block({{0, code}, {2, "lee"}, {24, "hello 100%"}}, 280));
        });
    };
    const std::string failed = Table("E_FAILED_INSTANT_MESSAGE").Str();
    g_bGermanText = FALSE;
    EXPECT_EQ(shown(),
              std::vector<std::string>{"lee\xB4\xD4\xBF\xA1\xB0\xD4;" + failed + ";hello 100%;ErrorCode = 0xC"});
    g_bGermanText = TRUE;
    EXPECT_EQ(shown(), std::vector<std::string>{"zu lee;" + failed + ";hello 100%;ErrorCode = 0xC"});
    // A table text with a place for the message gets it there; any other directive in it is
    // shown as it stands, never read as an argument.
    m_session.m_iniStringTable.SetString("VelmoraStringTable", "E_FAILED_INSTANT_MESSAGE", "'%s' failed");
    EXPECT_EQ(shown(), std::vector<std::string>{"zu lee;'hello 100%' failed;ErrorCode = 0xC"});
    m_session.m_iniStringTable.SetString("VelmoraStringTable", "E_FAILED_INSTANT_MESSAGE", "%n%s%d %X");
    EXPECT_EQ(shown(), std::vector<std::string>{"zu lee;%n%s%d %X;hello 100%;ErrorCode = 0xC"});
}

TEST_P(ToolBarTest, AMessageReceivedOpensTheSendersMessengerWithItsChime)
{
    m_frame->SendMessage(UM_COMM_MESSAGE, 128, Block({{4, "lee"}, {26, "Lee"}, {58, "see you at the fountain"}}, 314));
    CMessengerWnd* window = m_frame->FindMessageWindow(0, "Lee");
    ASSERT_NE(window, nullptr);
    CString log;
    window->m_logMessages.GetWindowText(log);
    EXPECT_NE(log.Find("see you at the fountain"), -1) << log.GetString();
    EXPECT_EQ(m_sounds.Take(), 151u) << "the messenger opens with its sound";
}

TEST_P(ToolBarTest, GoingUpFromARoomAsksAndStaysWhenTheMemberSaysNo)
{
    Connect();
    Bar().SetText("Tea");
    m_session.SetLocation(LOC_ROOM);
    auto boxes = Boxes([&] { m_frame->ExitToLocation(); }, true);
    EXPECT_EQ(boxes, std::vector<std::string>{Table("ExitToLobby").Str()});
    EXPECT_EQ(m_session.GetLocation(), LOC_ROOM);
    EXPECT_EQ(Bar().GetText(), "Tea");
    // A room made: its name in the bar and the notice in the log.
    m_frame->OnRoomCreated("Cafe");
    EXPECT_EQ(Bar().GetText(), "Cafe");
    EXPECT_EQ(LastNotice(), m_session.FormatTableString("MakeRoomNotice", "Cafe").Str());
}

INSTANTIATE_TEST_SUITE_P(BothSkins, ToolBarTest, testing::Values("Orange", "Orange_Do"));
