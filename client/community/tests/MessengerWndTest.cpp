// The messenger windows as the main frame keeps them, over the generated skins and a session on
// the real service: one window per partner, the partner's new nickname in the title, the own
// and the failed lines of the log with their sounds, the way to the partner's room, the close
// through the frame; and the rules the avatar creation dialog holds a nickname and a message to.
#include "ControlTestSupport.h"
#include "SoundSupport.h"

#include <AvatarCreateDlg.h>
#include <ClientApp.h>
#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <MessengerWnd.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace yonda::uitest;

namespace {

// The main frame, keeping what the messengers post to it besides their close.
class RecordingFrame : public CMainFrame {
public:
    std::vector<Note> posted;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_SESSION_COMMAND && LOWORD(wParam) == CMD_VIEW_READY) {
            return 0;
        }
        if (message == UM_ROOM_JOIN_RESULT) {
            posted.push_back({message, wParam, lParam});
            return 0;
        }
        return CMainFrame::WindowProc(message, wParam, lParam);
    }
};

class MessengerWnd : public testing::TestWithParam<const char*> {
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
        ASSERT_TRUE(m_session.LoadStringTable("StringTable.ini"));
        g_pSession = &m_session;
        m_frame = new RecordingFrame; // deletes itself with its window
        ASSERT_TRUE(m_frame->CreateFrame(0, 0));
        m_frame->ShowWindow(SW_SHOW);
        m_app.m_pMainWnd = m_frame;
        Pump();
    }
    void TearDown() override
    {
        m_app.m_pMainWnd = nullptr;
        m_frame->DestroyWindow();
        Pump();
        g_pSession = nullptr;
        g_pMainSkin = nullptr;
        ToolkitSetSoundOff(FALSE);
        ToolkitSetSkinFolder(CString());
        GlobalLockDelete();
    }
    // Logs the session in as kim on the service.
    void LogIn(yonda::testing::ServiceHarness& service)
    {
        ASSERT_TRUE(m_session.GetComm()->Connect("127.0.0.1", service.port()));
        long user = 0;
        char flag = 0;
        ASSERT_TRUE(m_session.GetComm()->QueryLogin("kim", "pw", user, flag));
        m_session.m_OwnUser.lUser = user;
        ASSERT_EQ(m_session.SendRequest(REQ_MY_USER_INFO, 0, 0), kRequestAccepted);
    }
    CString LogText(CMessengerWnd* window)
    {
        CString text;
        window->m_logMessages.GetWindowText(text);
        return text;
    }

    HeardSounds m_sounds;
    CClientApp m_app;
    CMainSkin m_skin;
    CClientSession m_session;
    RecordingFrame* m_frame = nullptr;
};

} // namespace

TEST_P(MessengerWnd, OneWindowPerPartnerTakesItsMessagesAndItsNewNickname)
{
    m_frame->OpenMessageWindow(7, "lee", "Lee", "hello", TRUE);
    CMessengerWnd* window = m_frame->FindMessageWindow(7, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(m_sounds.Take(), 151u) << "a window opens with its sound";
    EXPECT_TRUE(window->IsWindowVisible());
    EXPECT_EQ(window->GetTitleText(), "lee (Lee)");
    // The partner's line carries the nickname with its colon at opening.
    EXPECT_NE(LogText(window).Find("Lee:"), -1);
    EXPECT_NE(LogText(window).Find("hello"), -1);
    // The window lies where the skin puts it, centred on the frame.
    CRect rect;
    window->GetWindowRect(&rect);
    RECT skin{};
    ASSERT_TRUE(m_skin.GetRect("WND_MESSENGER", "Rect", &skin));
    EXPECT_EQ(rect.Width(), skin.right - skin.left);
    EXPECT_EQ(rect.Height(), skin.bottom - skin.top);

    // The same partner, by number or by name, reuses the window; a new nickname retitles it.
    m_frame->OpenMessageWindow(7, "lee", "Leeloo", "again", TRUE);
    EXPECT_EQ(m_frame->FindMessageWindow(7, nullptr), window);
    EXPECT_EQ(m_frame->FindMessageWindow(0, "lee"), window);
    EXPECT_EQ(m_frame->FindMessageWindow(0, "Leeloo"), window);
    EXPECT_EQ(window->GetTitleText(), "lee (Leeloo)");
    EXPECT_NE(LogText(window).Find("again"), -1);
    EXPECT_EQ(m_sounds.Take(), 150u) << "a received message chimes";
    m_frame->OpenMessageWindow(8, "park", "Park", nullptr, FALSE);
    CMessengerWnd* second = m_frame->FindMessageWindow(8, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, window);

    // Its close button and Escape both close it through the frame, once.
    window->SendMessage(WM_COMMAND, CMessengerWnd::ID_CLOSE2, 0);
    window->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    Pump();
    EXPECT_EQ(m_frame->FindMessageWindow(7, nullptr), nullptr);
    EXPECT_FALSE(m_frame->HasMessageWindow(window));
    EXPECT_EQ(m_frame->FindMessageWindow(8, nullptr), second);
}

TEST_P(MessengerWnd, LinesToAnAbsentPartnerAreLoggedAsFailedAndBlanksSendNothing)
{
    yonda::testing::ServiceHarness service{"messenger-window"};
    service.addMember("kim", "Kim");
    const int32_t lee = service.addMember("lee", "Lee");
    LogIn(service);
    m_frame->OpenMessageWindow(lee, "lee", "Lee", nullptr, FALSE);
    CMessengerWnd* window = m_frame->FindMessageWindow(lee, nullptr);
    ASSERT_NE(window, nullptr);
    m_sounds.Take();
    const CString empty = LogText(window);

    window->SendText("   ");
    EXPECT_EQ(LogText(window), empty) << "blanks alone are not sent";
    EXPECT_EQ(m_sounds.Take(), 0u);

    // Lee is not online: the line is logged under the failure text, with the failure's sound.
    window->SendText("  are you there  ");
    const CString log = LogText(window);
    EXPECT_NE(log.Find(m_session.GetTableString("E_FAILED_INSTANT_MESSAGE")), -1) << log.GetString();
    EXPECT_NE(log.Find("are you there"), -1);
    EXPECT_EQ(m_sounds.Take(), 152u);
    // With the sound off no message sound plays at all.
    ToolkitSetSoundOff(TRUE);
    window->SendText("again");
    window->AddReceivedMessage("lee", "late", "Lee");
    EXPECT_EQ(m_sounds.Take(), 0u);

    // Lee comes online: Kim's own line shows Kim's nickname with its colon, and Lee has it.
    yonda::testing::TestClient online;
    ASSERT_GT(online.login(service.port(), "lee"), 0);
    window->SendText("hi");
    EXPECT_NE(LogText(window).Find("Kim:"), -1) << LogText(window).GetString();
    EXPECT_TRUE(online.waitFor(yonda::proto::MsgReceived, true));
}

TEST_P(MessengerWnd, GoingToThePartnerAsksTheFrameToJoinThePartnersRoomAndThePartnerBecomesAFriend)
{
    yonda::testing::ServiceHarness service{"messenger-goto"};
    service.addMember("kim", "Kim");
    const int32_t lee = service.addMember("lee", "Lee");
    LogIn(service);
    yonda::testing::TestClient online;
    ASSERT_GT(online.login(service.port(), "lee"), 0);
    auto report = online.begin(yonda::proto::SendUserLocation);
    report.writer.i16(2).i16(5);
    ASSERT_EQ(online.status(report), yonda::proto::Ok);

    m_frame->OpenMessageWindow(lee, "lee", "Lee", nullptr, FALSE);
    CMessengerWnd* window = m_frame->FindMessageWindow(lee, nullptr);
    ASSERT_NE(window, nullptr);
    window->SendMessage(WM_COMMAND, CMessengerWnd::ID_GOTO_FRIEND, 0);
    Pump();
    const std::vector<Note> expected{{UM_ROOM_JOIN_RESULT, (5u << 16) | 2u, 0}};
    EXPECT_EQ(m_frame->posted, expected);

    // The partner becomes a friend, on the service and in the frame's list.
    EXPECT_EQ(m_frame->m_friends.Find(lee), nullptr);
    window->SendMessage(WM_COMMAND, CMessengerWnd::ID_ADD_FRIEND, 0);
    EXPECT_NE(m_frame->m_friends.Find(lee), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Skins, MessengerWnd, testing::Values("Orange", "Orange_Do"));

TEST(MessageRules, MessagesAreCutOnCharactersAndNicknamesFollowTheSkinsRules)
{
    EXPECT_EQ(CMessengerWnd::CleanMessage("ab\xC7\xD1\xC7"), "ab\xC7\xD1") << "a lone lead byte at the end goes";
    EXPECT_EQ(CMessengerWnd::CleanMessage(CString('x', 300)).GetLength(), 255);
    CString doubled;
    for (int i = 0; i < 130; ++i) {
        doubled += "\xC7\xD1";
    }
    EXPECT_EQ(CMessengerWnd::CleanMessage(doubled).GetLength(), 254) << "never half a character at the limit";

    struct Case {
        CString nickname;
        BOOL korean;
        BOOL german;
        const char* refusal;
    };
    const CString six = CString("\xC7\xD1\xC7\xD1\xC7\xD1\xC7\xD1\xC7\xD1\xC7\xD1");
    const Case cases[] = {
        {"", FALSE, FALSE, "M_NICKNAME_TO_BAD"},
        {"two words", FALSE, FALSE, "M_NICKNAME_TO_BAD"},
        {"Stella", TRUE, FALSE, nullptr},
        {"Stellar", TRUE, FALSE, "M_NICKNAME_TO_BAD"},
        {six, TRUE, FALSE, nullptr},
        {six + "\xC7\xD1", TRUE, FALSE, "M_NICKNAME_TO_BAD"},
        {"A", FALSE, TRUE, "M_NICKNAME_TO_BAD"},
        {"Abcdefghijkl", FALSE, TRUE, nullptr},
        {"Abcdefghijklm", FALSE, TRUE, "M_NICKNAME_TO_BAD"},
        {"abcdefghijklmnopqrstuvwxyz01234", FALSE, FALSE, nullptr},
        {"abcdefghijklmnopqrstuvwxyz012345", FALSE, FALSE, "M_NICKNAME_TO_BAD"},
        {"ab\xC7", FALSE, FALSE, "M_NICKNAME_TO_BAD"},
    };
    for (const Case& c : cases) {
        LPCSTR refusal = CAvatarCreateDlg::CheckNickname(c.nickname, c.korean, c.german);
        EXPECT_STREQ(refusal ? refusal : "", c.refusal ? c.refusal : "") << c.nickname.GetString();
    }
    ITEM_RECORD hair{};
    hair.nItemNumber = 7;
    EXPECT_EQ(CAvatarCreateDlg::ItemCode(&hair), "007");
    EXPECT_EQ(CAvatarCreateDlg::ItemCode(nullptr), "000");
}
