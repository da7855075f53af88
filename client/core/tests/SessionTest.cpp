// The session against the real service on loopback, with the real skins and a main frame whose
// services record what they were told: commands move the member between places, requests fill
// the records, events change the room-user list, the string table falls back.
#include <gtest/gtest.h>

#include "ClientGlobals.h"
#include "ClientSession.h"
#include "EventBlocks.h"
#include "ProgramGlobals.h"
#include "SessionMember.h"
#include "MainFrame.h"
#include "SceneSink.h"
#include "ServiceHarness.h"

#include <DialogSkin.h>
#include <MainSkin.h>
#include <ProgramResources.h>
#include <ToolkitShared.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

// The frame's services, recorded.
class RecordingFrame : public CMainFrame {
public:
    void OnLocationChanged(int location) override { locations.push_back(location); }
    void ShowNotice(const CString& text) override { notices.push_back(std::string(text)); }
    void OnRoomModified(int kind, const CString& text, long user) override
    {
        roomNotices.push_back(kind);
        CMainFrame::OnRoomModified(kind, text, user);
    }
    void OnChatLine(long user, int kind, int, LPCSTR text, LPCSTR) override
    {
        chat.push_back(std::to_string(user) + ":" + std::to_string(kind) + ":" + text);
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == UM_SESSION_COMMAND) {
            postedCommands.push_back(static_cast<int>(wParam));
            return 0;
        }
        return CMainFrame::WindowProc(message, wParam, lParam);
    }
    std::vector<int> locations;
    std::vector<std::string> notices;
    std::vector<int> roomNotices;
    std::vector<std::string> chat;
    std::vector<int> postedCommands;
};

using sessionmember::PumpUntil;
using Member = sessionmember::Member<RecordingFrame>;

class Session : public ::testing::Test {
protected:
    static void SetUpTestSuite() { programglobals::Make(); }
    static void TearDownTestSuite() { programglobals::Free(); }
    void TearDown() override { g_bGermanText = FALSE; }

    yonda::testing::ServiceHarness service{"session"};
    int kim = service.addMember("kim", "Kim", 750);
    int lee = service.addMember("lee", "Lee");
};

YONDA_ROOM_LIST_ELEMENT OpenRoomOf(Member& host, const char* name, const char* password)
{
    YONDA_BODY_Q_ROOM_OPEN room{};
    room.nLobby = 1;
    std::strcpy(room.szName, name);
    std::strcpy(room.szSubject, "tea");
    room.byMaxUsers = 6;
    std::strcpy(room.szPassword, password);
    EXPECT_EQ(host.session.ExecuteCommand(CMD_ROOM_OPEN, 1, reinterpret_cast<LPARAM>(&room)), kCommandDone);
    YONDA_ROOM_LIST_ELEMENT made{};
    made.room.nLobby = host.session.m_nCurrentLobby;
    made.room.nRoom = host.session.m_nCurrentRoom;
    return made;
}

} // namespace

TEST_F(Session, LoginDoneReadsThePointsAndUnknownCodesAreRefused)
{
    Member member(service.port(), "kim");
    EXPECT_EQ(member.session.m_lPoints, 750);
    EXPECT_EQ(member.session.m_arrLobbyUserCount.size(), 5u);
    EXPECT_EQ(member.session.ExecuteCommand(99, 0, 0), kNoSuchCode);
    EXPECT_EQ(member.session.ExecuteCommand(116, 0, 0), kNoSuchCode);
    EXPECT_EQ(member.session.SendRequest(199, 0, 0), kNoSuchCode);
    EXPECT_EQ(member.session.SendRequest(REQ_PFGAME_UNUSED, 0, 0), kRequestNoConnection);
    EXPECT_EQ(member.session.GetLocation(), LOC_NONE);
    // More lobbies than the skin has entrances fall back to its five.
    member.session.m_nLobbyCount = 9;
    EXPECT_EQ(member.session.ExecuteCommand(CMD_LOGIN_DONE, 0, 0), kCommandDone);
    EXPECT_EQ(member.session.m_nLobbyCount, 5);
    EXPECT_EQ(member.session.GetLobbyUserCount(6), -1);
}

TEST_F(Session, RequestsFillTheOwnRecords)
{
    Member member(service.port(), "kim");
    EXPECT_EQ(member.session.SendRequest(REQ_MY_USER_INFO, 0, 0), kRequestAccepted);
    EXPECT_STREQ(member.session.m_OwnUser.szNickname, "Kim");
    EXPECT_EQ(member.session.SendRequest(REQ_MY_AVATAR_INFO, 0, 0), kRequestAccepted);
    EXPECT_STREQ(member.session.m_OwnAvatar.szNickname, "Kim");
    EXPECT_EQ(member.session.m_OwnAvatar.cLetter[0], 'M');
    EXPECT_EQ(static_cast<int>(member.session.m_OwnAvatar.wornItems.size()), member.session.m_OwnAvatar.nWornCount);
    // The face request answers "nothing sent" even when it sent the face.
    EXPECT_EQ(member.session.SendRequest(REQ_FACE_SET, '3', 0), kRequestNoConnection);
    EXPECT_EQ(member.session.m_OwnAvatar.cLetter[1], '3');
    // Lobby counts outside the lobbies ask nothing.
    EXPECT_EQ(member.session.GetLobbyUserCount(-1), -1);
    EXPECT_EQ(member.session.GetLobbyUserCount(5), -1);
    EXPECT_EQ(member.session.GetLobbyUserCount(0), 0);
    // The place of a member comes back apart from the status.
    short lobby = 7, room = 7;
    EXPECT_EQ(member.session.QueryUserLocation(kim, &lobby, &room), kRequestAccepted);
    EXPECT_EQ(lobby, -1);
}

TEST_F(Session, TwoMembersInALobbySeeEachOther)
{
    Member a(service.port(), "kim");
    Member b(service.port(), "lee");
    EXPECT_EQ(a.session.ExecuteCommand(CMD_ENTER_LOBBY, 2, 0), kCommandDone);
    EXPECT_EQ(a.session.GetLocation(), LOC_LOBBY);
    EXPECT_EQ(a.session.m_nCurrentLobby, 2);
    ASSERT_TRUE(PumpUntil([&] { return a.RoomUserCount() == 1; }));
    EXPECT_EQ(b.session.ExecuteCommand(CMD_ENTER_LOBBY, 2, 0), kCommandDone);
    // Each sees the other: the newcomer through the others' avatars, the first through the entry.
    ASSERT_TRUE(PumpUntil([&] { return a.RoomUserCount() == 2 && b.RoomUserCount() == 2; }));
    {
        CGlobalLock lock;
        EXPECT_STREQ(a.session.FindUserName(lee), "Lee");
        EXPECT_STREQ(b.session.FindUserName(kim), "Kim");
    }
    ASSERT_TRUE(PumpUntil([&] { return !a.frame->notices.empty(); }));
    // Chat reaches both frames.
    CString text = "hello";
    EXPECT_EQ(b.session.SendRequest(REQ_CHAT_SEND, (3 << 16) | 1, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(text))),
              kRequestAccepted);
    ASSERT_TRUE(PumpUntil([&] { return !a.frame->chat.empty(); }));
    EXPECT_EQ(a.frame->chat.front(), std::to_string(lee) + ":1:hello");
    // The frame's own chat (as a motion key sends it): a kind with no text.
    ASSERT_TRUE(a.frame->SendChat("", 7, 2));
    ASSERT_TRUE(PumpUntil([&] {
        return std::find(b.frame->chat.begin(), b.frame->chat.end(), std::to_string(kim) + ":7:") !=
               b.frame->chat.end();
    }));
    // Leaving removes the member from the other's list.
    EXPECT_EQ(b.session.ExecuteCommand(CMD_EXIT_TO_MINIMAP, 0, 0), kCommandDone);
    EXPECT_EQ(b.session.GetLocation(), LOC_MINIMAP);
    ASSERT_TRUE(PumpUntil([&] { return a.RoomUserCount() == 1; }));
}

TEST_F(Session, AWrongRoomPasswordLeavesTheMemberInTheLobby)
{
    Member host(service.port(), "kim");
    Member guest(service.port(), "lee");
    const YONDA_ROOM_LIST_ELEMENT room = OpenRoomOf(host, "secret", "1234");
    EXPECT_EQ(host.session.GetLocation(), LOC_ROOM_HOST);
    const long where = (static_cast<long>(room.room.nRoom) << 16) | room.room.nLobby;
    EXPECT_EQ(guest.session.ExecuteCommand(CMD_ENTER_ROOM, where, reinterpret_cast<LPARAM>("9999")), kCommandFailed);
    EXPECT_EQ(guest.session.GetLocation(), LOC_LOBBY);
    EXPECT_EQ(guest.session.m_nCurrentRoom, -1);
    EXPECT_EQ(guest.session.m_nCurrentLobby, room.room.nLobby);
    // The right one lets the guest in; the host leaving hands the room over.
    EXPECT_EQ(guest.session.ExecuteCommand(CMD_MOVE_TO_ROOM, where, reinterpret_cast<LPARAM>("1234")), kCommandDone);
    EXPECT_EQ(guest.session.GetLocation(), LOC_ROOM);
    ASSERT_TRUE(PumpUntil([&] { return host.RoomUserCount() == 2; }));
    EXPECT_EQ(host.session.ExecuteCommand(CMD_RETURN_TO_LOBBY, room.room.nLobby, 0), kCommandDone);
    ASSERT_TRUE(PumpUntil([&] { return guest.session.GetLocation() == LOC_ROOM_HOST; }));
}

TEST_F(Session, LeavingWhileALobbyIsChosenSendsNothing)
{
    Member member(service.port(), "kim");
    EXPECT_EQ(member.session.ExecuteCommand(CMD_SELECT_LOBBY, 3, 0), kCommandDone);
    EXPECT_EQ(member.session.GetLocation(), LOC_LOBBY_SELECTED);
    EXPECT_EQ(member.session.m_nChosenLobby, 3);
    // Even without a connection nothing needs to be left.
    member.session.GetComm()->Disconnect();
    EXPECT_TRUE(member.session.LeavePlace());
}

using eventblocks::Block;
using eventblocks::Bytes;
using eventblocks::EntryEvent;

TEST_F(Session, EventsChangeTheListOnlyWhereTheyBelong)
{
    Member member(service.port(), "kim");
    ASSERT_EQ(member.session.ExecuteCommand(CMD_ENTER_LOBBY, 1, 0), kCommandDone);
    ASSERT_TRUE(PumpUntil([&] { return member.RoomUserCount() == 1; }));
    // An entry of another place adds nothing; one of this place adds the member once.
    member.session.OnReceive(EV_USER_ENTERED, EntryEvent(2, -1, 900, "Far"));
    EXPECT_EQ(member.RoomUserCount(), 1);
    member.session.OnReceive(EV_USER_ENTERED, EntryEvent(1, -1, 900, "Near"));
    member.session.OnReceive(EV_USER_ENTERED, EntryEvent(1, -1, 900, "Near"));
    EXPECT_EQ(member.RoomUserCount(), 2);
    {
        CGlobalLock lock;
        OWN_AVATAR_INFO* near = member.session.FindUser(900);
        ASSERT_NE(near, nullptr);
        EXPECT_EQ(near->cLetter[0], 'F');
        EXPECT_EQ(near->nWornCount, 1);
    }
    // A move with a target that is not a number is dropped; a good one is kept for the view.
    std::vector<BYTE> move = Bytes(32, 900);
    const float nan = std::numeric_limits<float>::quiet_NaN(), x = 12.5f, z = -3.0f;
    std::memcpy(move.data() + 20, &nan, 4);
    member.session.OnReceive(EV_AVATAR_MOVE, Block(move));
    std::memcpy(move.data() + 20, &x, 4);
    std::memcpy(move.data() + 28, &z, 4);
    member.session.OnReceive(EV_AVATAR_MOVE, Block(move));
    {
        CGlobalLock lock;
        EXPECT_FLOAT_EQ(member.session.FindUser(900)->fGroundX, 12.5f);
    }
    // Kicking another member tells the log and removes the member; the own kick asks to go back
    // to the lobby without a notice.
    ASSERT_TRUE(PumpUntil([&] { return member.frame->notices.size() >= 2; })); // both entries told
    const size_t before = member.frame->notices.size();
    member.session.OnReceive(EV_USER_KICKED, Block(Bytes(4, 900)));
    EXPECT_EQ(member.RoomUserCount(), 1);
    member.session.OnReceive(EV_USER_KICKED, Block(Bytes(4, kim)));
    const int backToLobby = (1 << 16) | CMD_RETURN_TO_LOBBY;
    ASSERT_TRUE(PumpUntil([&] {
        const auto& posted = member.frame->postedCommands;
        return std::find(posted.begin(), posted.end(), backToLobby) != posted.end();
    }));
    EXPECT_EQ(member.frame->notices.size(), before + 2); // the kick notice and the leave notice
    // Room changes reach the frame as notices by kind.
    std::vector<BYTE> limit(2, 0);
    limit[1] = 9;
    member.session.OnReceive(EV_ROOM_MAXUSER_CHANGED, Block(limit));
    EXPECT_EQ(member.frame->roomNotices.back(), 3);
}

TEST_F(Session, TheStringTableFallsBackAndFormatsSafely)
{
    CClientSession session;
    ASSERT_TRUE(session.LoadStringTable("StringTable.ini"));
    CString missing;
    missing.LoadString(61230);
    EXPECT_FALSE(missing.IsEmpty());
    EXPECT_STREQ(session.GetTableString("NoSuchKey"), missing);
    EXPECT_STRNE(session.GetTableString("E_CONNECT_FAIL"), missing);
    ASSERT_TRUE(session.LoadQuestions("SubjectQuestion.ini"));
    EXPECT_STREQ(session.GetQuestion(session.GetQuestionCount()), missing);
    EXPECT_STREQ(session.GetQuestion(-1), missing);
    // A table text with more directives than arguments never reads what is not there.
    session.m_iniStringTable.SetString("VelmoraStringTable", "Broken", "%s took %s and %n %d");
    EXPECT_STREQ(session.FormatTableString("Broken", "Kim"), "Kim took %s and %n %d");
}

TEST(SessionText, EntitiesTurnIntoLettersOnlyInGermanMode)
{
    g_bGermanText = FALSE;
    EXPECT_STREQ(CClientSession::ConvertEntities("M&uuml;ller"), "M&uuml;ller");
    g_bGermanText = TRUE;
    EXPECT_STREQ(CClientSession::ConvertEntities("M&uuml;ller &AUML; \xA9\xAC"), "M\xFCller &AUML; \xDF");
    g_bGermanText = FALSE;
}

TEST(SessionText, FieldsAreCutWholeCharactersAndTerminated)
{
    char field[5];
    std::memset(field, 'x', sizeof(field));
    // Four bytes fit: "ab" and one double-byte character; the second would be split.
    const char text[] = "ab\xB0\xA1\xB0\xA1";
    CopyField(field, text, sizeof(text));
    EXPECT_STREQ(field, "ab\xB0\xA1");
    CopyField(field, "abcdefgh", 3);
    EXPECT_STREQ(field, "abc");
}

namespace {

int g_messageWindowsDeleted = 0;

class CountedWindow : public CWnd {
public:
    ~CountedWindow() override { ++g_messageWindowsDeleted; }
};

} // namespace

TEST_F(Session, AMessageWindowClosedTwiceIsDeletedOnce)
{
    auto* frame = new CMainFrame;
    ASSERT_TRUE(frame->CreateFrame(0, 0));
    auto* window = new CountedWindow;
    ASSERT_TRUE(
        window->CreateEx(0, AfxRegisterWndClass(0), "message", WS_POPUP, 0, 0, 50, 50, frame->GetSafeHwnd(), nullptr));
    frame->AddMessageWindow(window);
    g_messageWindowsDeleted = 0;
    // Its close button and Escape both post the close.
    frame->PostMessage(CMainFrame::kChildClosed, 0, reinterpret_cast<LPARAM>(window));
    frame->PostMessage(CMainFrame::kChildClosed, 0, reinterpret_cast<LPARAM>(window));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(g_messageWindowsDeleted, 1);
    EXPECT_FALSE(frame->HasMessageWindow(window));
    frame->DestroyWindow();
}

TEST_F(Session, AreaCodesReadAsTheSkinShowsThem)
{
    auto* frame = new CMainFrame;
    ASSERT_TRUE(frame->CreateFrame(0, 0));
    EXPECT_FALSE(frame->LookupComboText("1").IsEmpty());
    EXPECT_NE(frame->LookupComboText("1"), frame->LookupComboText("2"));
    EXPECT_TRUE(frame->LookupComboText("no-such-code").IsEmpty());
    frame->DestroyWindow();
}
