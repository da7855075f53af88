// The room dialogs as the program runs them: modal over the generated skins, driven with
// injected keys from inside their loops, making and changing rooms in the real service on
// loopback, where a second member's session hears the changes as notices.
#include "ControlTestSupport.h"
#include "ProgramGlobals.h"
#include "SessionMember.h"
#include "MakeGameRoomDlg.h"
#include "MakeRoomDlg.h"
#include "ModifyRoomDlg.h"
#include "QuestionDlg.h"
#include "RoomInfoDlg.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <DialogSkin.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <ServiceHarness.h>
#include <ToolkitShared.h>

#include <yonda_platform.h>
#include <yonda_user.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace yonda::uitest;

namespace {

// The frame's notices, kept.
class NoticeFrame : public CMainFrame {
public:
    void ShowNotice(const CString& text) override { notices.push_back(std::string(text)); }
    void OnLocationChanged(int) override {}
    std::vector<std::string> notices;
};

using sessionmember::PumpUntil;
using Member = sessionmember::Member<NoticeFrame>;

std::string TextOf(const CWnd& window)
{
    CString text;
    window.GetWindowText(text);
    return std::string(text);
}

std::string Korean(const char* utf8)
{
    return YondaUtf8ToCodePage(utf8, 949);
}

// Sets an edit's text, gives it the focus and presses Enter there.
void EnterWith(CEdit& edit, const std::string& text)
{
    edit.SetWindowText(text.c_str());
    edit.SetFocus();
    Key(VK_RETURN);
}

// What the active window is when the step runs: a box over the dialog, then closed with Enter.
void CloseBoxSoon(HWND dialog, bool* boxShown, std::function<void()> then)
{
    SoonInLoop([dialog, boxShown, then] {
        const HWND active = ::GetActiveWindow();
        *boxShown = active && active != dialog;
        Key(VK_RETURN);
        if (then) {
            SoonInLoop(then);
        }
    });
}

class RoomDialogs : public ::testing::Test {
protected:
    static void SetUpTestSuite() { programglobals::Make(); }
    static void TearDownTestSuite() { programglobals::Free(); }
    void SetUp() override
    {
        host = std::make_unique<Member>(service.port(), "kim");
        guest = std::make_unique<Member>(service.port(), "lee");
        // The dialogs reach the session of the member who runs them.
        g_pSession = &host->session;
        ASSERT_TRUE(host->session.LoadQuestions("SubjectQuestion.ini"));
    }
    void TearDown() override
    {
        g_pSession = nullptr;
        guest.reset();
        // The guest's leaving reaches the host, whose frame takes it before it goes.
        PumpUntil([&] {
            CGlobalLock lock;
            return host->session.FindUser(lee) == nullptr;
        });
        Pump();
        host.reset();
    }
    // Kim opens a room in lobby 1 (the dialog's own way is tested on its own); Lee walks in.
    void OpenRoomWithGuest(const char* password)
    {
        YONDA_BODY_Q_ROOM_OPEN record;
        CMakeRoomDlg::FillRecord(&record, "Tea", "green", 5, password);
        record.nLobby = 1;
        ASSERT_EQ(host->session.ExecuteCommand(CMD_ROOM_OPEN, 1, reinterpret_cast<LPARAM>(&record)), kCommandDone);
        host->session.m_strRoomPassword = password;
        ASSERT_TRUE(guest->session.JoinPlace(1, host->session.m_nCurrentRoom, password));
        Pump();
        guest->frame->notices.clear();
    }
    EX_YONDA_BODY_R_ROOM_INFO RoomAsTheGuestSeesIt()
    {
        EX_YONDA_BODY_R_ROOM_INFO info{};
        EXPECT_TRUE(
            guest->session.GetComm()->QueryRoomInfo(host->session.m_nCurrentLobby, host->session.m_nCurrentRoom, info));
        return info;
    }

    yonda::testing::ServiceHarness service{"room-dialogs"};
    int kim = service.addMember("kim", "Kim");
    int lee = service.addMember("lee", "Lee");
    std::unique_ptr<Member> host;
    std::unique_ptr<Member> guest;
};

} // namespace

TEST_F(RoomDialogs, MakingARoomRefusesAnEmptyNameAndCutsALongOneAtACharacter)
{
    // Chosen in the lobby's title bar: the room goes into the chosen lobby.
    host->session.m_nChosenLobby = 2;
    ASSERT_EQ(host->session.ExecuteCommand(CMD_SELECT_LOBBY, 2, 0), kCommandDone);
    CMakeRoomDlg dialog(g_pMainSkin->Element("DLG_ROOM_MAKE"), host->frame);
    bool boxShown = false;
    // 25 Hangul syllables: 50 bytes, one more than the record's name holds.
    std::string longName;
    for (int i = 0; i < 25; ++i) {
        longName += Korean("가");
    }
    SoonInLoop([&] {
        // The default member limit of the skin is the fifth item.
        EXPECT_EQ(CRoomDialog::SelectedNumber(dialog.m_listCount), 5);
        EnterWith(dialog.m_editName, "");
        CloseBoxSoon(dialog.GetSafeHwnd(), &boxShown, [&] {
            dialog.m_listCount.SetSelection(7);
            dialog.m_editSubject.SetWindowText("tea");
            dialog.m_editPassword.SetWindowText("secret");
            EnterWith(dialog.m_editName, longName);
        });
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(boxShown) << "no RoomNameEmpty box for the empty name";
    // The edit takes no more than the field; the record keeps whole characters.
    const std::string made = std::string(dialog.GetRoomName());
    EXPECT_EQ(made.size(), 48u);
    EXPECT_EQ(made, longName.substr(0, 48));
    EXPECT_EQ(host->session.GetLocation(), LOC_ROOM_HOST);
    EXPECT_EQ(host->session.m_nCurrentLobby, 2);
    EXPECT_STREQ(host->session.m_strRoomPassword, "secret");
    // The service has it: closed, with its limit, in the chosen lobby's list.
    CPtrList rooms;
    ASSERT_TRUE(guest->session.GetComm()->QueryLobbyRoomList(2, 0, rooms));
    ASSERT_EQ(rooms.GetCount(), 1);
    const auto* room = static_cast<const YONDA_ROOM_LIST_ELEMENT*>(rooms.GetHead());
    EXPECT_EQ(std::string(room->room.szName), made);
    EXPECT_STREQ(room->room.szSubject, "tea");
    EXPECT_EQ(room->room.byMaxUsers, 8);
    EXPECT_EQ(room->room.cClosed, 'C');
    guest->session.GetComm()->Release(&rooms);
    // A name of blanks is a name.
    YONDA_BODY_Q_ROOM_OPEN record;
    CMakeRoomDlg::FillRecord(&record, "   ", "", 3, "");
    EXPECT_STREQ(record.szName, "   ");
    EXPECT_EQ(record.nLobby, 2) << "the lobby the member stands in once it is in a room";
}

TEST_F(RoomDialogs, AGameRoomTakesItsBoardAndPlayersFromTheLists)
{
    host->session.m_nChosenLobby = 4;
    ASSERT_EQ(host->session.ExecuteCommand(CMD_SELECT_LOBBY, 4, 0), kCommandDone);
    CMakeGameRoomDlg dialog(g_pMainSkin->Element("DLG_GAME_ROOM_MAKE"), host->frame);
    SoonInLoop([&] {
        EXPECT_EQ(std::string(dialog.m_listSubject.GetSelectedTag()), "5");
        EXPECT_EQ(CRoomDialog::SelectedNumber(dialog.m_listCount), 2);
        dialog.m_listSubject.SetSelection(2);
        EnterWith(dialog.m_editName, "Race");
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    const EX_YONDA_BODY_R_ROOM_INFO info = RoomAsTheGuestSeesIt();
    EXPECT_EQ(info.nLobby, 4);
    EXPECT_STREQ(info.szName, "Race");
    EXPECT_STREQ(info.szSubject, "7") << "the board's size travels as the subject";
    EXPECT_EQ(info.byMaxUsers, 2);
    EXPECT_EQ(info.cClosed, 'O');
}

TEST_F(RoomDialogs, TheInformationShowsTheRoomAndHidesItsPassword)
{
    OpenRoomWithGuest("pw1");
    CRoomInfoDlg dialog(g_pMainSkin->Element("DLG_ROOM_VIEW"), host->frame);
    std::string name, count, password;
    BOOL enabled = TRUE;
    SoonInLoop([&] {
        name = TextOf(dialog.m_editName);
        count = TextOf(dialog.m_editCount);
        password = TextOf(dialog.m_editPassword);
        enabled = dialog.m_editName.IsWindowEnabled();
        Key(VK_RETURN);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(name, "Tea");
    EXPECT_EQ(count, "2/5");
    EXPECT_EQ(password, "*******");
    EXPECT_FALSE(enabled);
}

TEST_F(RoomDialogs, ChangesReachTheGuestAsNoticesAndAreCheckedFirst)
{
    OpenRoomWithGuest("pw1");
    {
        // Nothing changed: the dialog ends without asking the service.
        CModifyRoomDlg dialog(g_pMainSkin->Element("DLG_ROOM_EDIT"), host->frame);
        SoonInLoop([&] {
            EXPECT_EQ(TextOf(dialog.m_editPassword), "pw1");
            EXPECT_EQ(CRoomDialog::SelectedNumber(dialog.m_listCount), 5);
            Key(VK_RETURN);
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
    {
        // Below the two members present: refused with a box; exactly two is taken, with a new name.
        CModifyRoomDlg dialog(g_pMainSkin->Element("DLG_ROOM_EDIT"), host->frame);
        bool boxShown = false;
        SoonInLoop([&] {
            dialog.m_listCount.SetSelection(0);
            EnterWith(dialog.m_editName, "Coffee");
            CloseBoxSoon(dialog.GetSafeHwnd(), &boxShown, [&] {
                dialog.m_listCount.SetSelection(1);
                Key(VK_RETURN);
            });
        });
        EXPECT_EQ(dialog.DoModal(), IDOK);
        EXPECT_TRUE(boxShown) << "no EditRoomMaxUserError box";
    }
    const std::string renamed = std::string(host->session.FormatTableString("ModifiedRoomName", "Coffee"));
    const std::string limited = std::string(host->session.FormatTableString("ModifiedRoomMaxUser", "2"));
    ASSERT_TRUE(PumpUntil([&] { return guest->frame->notices.size() >= 2; }));
    EXPECT_EQ(guest->frame->notices, (std::vector<std::string>{renamed, limited}));
    EXPECT_STREQ(RoomAsTheGuestSeesIt().szName, "Coffee");
    EXPECT_EQ(RoomAsTheGuestSeesIt().byMaxUsers, 2);
    guest->frame->notices.clear();
    {
        // The password alone: only its notice follows.
        CModifyRoomDlg dialog(g_pMainSkin->Element("DLG_ROOM_EDIT"), host->frame);
        SoonInLoop([&] { EnterWith(dialog.m_editPassword, "pw2"); });
        EXPECT_EQ(dialog.DoModal(), IDOK);
    }
    ASSERT_TRUE(PumpUntil([&] { return !guest->frame->notices.empty(); }));
    Pump();
    EXPECT_EQ(guest->frame->notices,
              (std::vector<std::string>{std::string(host->session.FormatTableString("ModifiedRoomPassword", "pw2"))}));
    EXPECT_STREQ(guest->session.m_strRoomPassword, "pw2");
    {
        // The guest may not change the room: the service refuses and the dialog stays.
        g_pSession = &guest->session;
        CModifyRoomDlg dialog(g_pMainSkin->Element("DLG_ROOM_EDIT"), guest->frame);
        bool boxShown = false;
        SoonInLoop([&] {
            EnterWith(dialog.m_editName, "Mine");
            CloseBoxSoon(dialog.GetSafeHwnd(), &boxShown, [] { Key(VK_ESCAPE); });
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_TRUE(boxShown) << "no EditRoomError box";
        EXPECT_STREQ(RoomAsTheGuestSeesIt().szName, "Coffee");
    }
}

TEST_F(RoomDialogs, AQuestionIsDrawnOrTypedAndBlanksAreNoQuestion)
{
    CQuestionDlg dialog(g_pMainSkin->Element("DLG_PUT_QUESION"), host->frame);
    std::string drawn;
    SoonInLoop([&] {
        dialog.DrawQuestion();
        drawn = TextOf(dialog.m_editQuestion);
        // Blanks: the dialog stays with the focus in the edit.
        EnterWith(dialog.m_editQuestion, "   ");
        SoonInLoop([&] {
            EXPECT_EQ(::GetFocus(), dialog.m_editQuestion.GetSafeHwnd());
            EnterWith(dialog.m_editQuestion, "  What now?  ");
        });
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.IsRandom());
    bool listed = false;
    for (int i = 0; i < host->session.GetQuestionCount(); ++i) {
        listed |= std::string(host->session.GetQuestion(i)) == drawn;
    }
    EXPECT_TRUE(listed) << drawn;
    EXPECT_EQ(std::string(dialog.GetResult()), "What now?");
    // Without questions the draw shows the missing-text message.
    ASSERT_TRUE(guest->session.GetQuestionCount() == 0);
    g_pSession = &guest->session;
    CQuestionDlg empty(g_pMainSkin->Element("DLG_PUT_QUESION"), guest->frame);
    std::string missing;
    SoonInLoop([&] {
        empty.DrawQuestion();
        missing = TextOf(empty.m_editQuestion);
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(empty.DoModal(), IDCANCEL);
    CString expected;
    expected.LoadString(61230);
    EXPECT_EQ(missing, std::string(expected));
}
