// Two real programs in one room through the real service: one member makes a closed room through
// the room-making dialog, the other finds it by a word of its name in the room search, is refused
// with a wrong password and comes in with the right one; the host then renames the room and
// lowers its member limit through the modify-room dialog, and the guest's program tells its
// member in the chat log and names the room anew in the tool bar.
#include "LobbySteps.h"
#include "WindowSteps.h"

#include <ServiceHarness.h>

#include <gmock/gmock.h>

using namespace yonda::testing;
using namespace yonda;

namespace {

// The tool bar (its text is where the bar says the member is) and the friends and room-users
// window's button that changes the room.
constexpr char kToolBar[] = "#1006";
constexpr char kRoomEditButton[] = "#3005";
// The room dialogs' name edit, subject edit, password edit and member-limit selector, whose
// drop button is at its right end.
constexpr char kNameEdit[] = "#301";
constexpr char kSubjectEdit[] = "#302";
constexpr char kPasswordEdit[] = "#304";
constexpr char kLimitSelector[] = "#311";
constexpr int kDropButtonX = 112;
// The default skin's string table (code page 949, shown as UTF-8): "%s님이 들어왔습니다.",
// "방 이름이 '%s'(으)로 바뀌었습니다." and "방 정원이 %s명으로 바뀌었습니다.".
constexpr char kJoined[] =
    "\xEB\x8B\x98\xEC\x9D\xB4 \xEB\x93\xA4\xEC\x96\xB4\xEC\x99\x94\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4.";
constexpr char kRenamedBefore[] = "\xEB\xB0\xA9 \xEC\x9D\xB4\xEB\xA6\x84\xEC\x9D\xB4 '";
constexpr char kRenamedAfter[] =
    "'(\xEC\x9C\xBC)\xEB\xA1\x9C \xEB\xB0\x94\xEB\x80\x8C\xEC\x97\x88\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4.";
constexpr char kLimitBefore[] = "\xEB\xB0\xA9 \xEC\xA0\x95\xEC\x9B\x90\xEC\x9D\xB4 ";
constexpr char kLimitAfter[] =
    "\xEB\xAA\x85\xEC\x9C\xBC\xEB\xA1\x9C \xEB\xB0\x94\xEB\x80\x8C\xEC\x97\x88\xEC\x8A\xB5\xEB\x8B\x88\xEB\x8B\xA4.";
// "대화방 - ": the tool bar's word for a room before the room's name.
constexpr char kInRoom[] = "\xEB\x8C\x80\xED\x99\x94\xEB\xB0\xA9 - ";

// Empties an edit of the dialog found last from its end.
void ClearEdit(DrivenProgram& program, const std::string& edit)
{
    ASSERT_TRUE(IsOk(program.Click(edit, 20, 8)));
    ASSERT_TRUE(IsOk(program.Key(edit, "END")));
    for (int guard = 0; guard < 60 && !program.Text(edit).value_or("").empty(); ++guard) {
        ASSERT_TRUE(IsOk(program.Key(edit, "BACK")));
    }
    ASSERT_EQ(program.Text(edit).value_or("?"), "");
}

// The tool bar's text once it holds `text`, or what it holds then.
std::string WaitForToolBar(DrivenProgram& program, const std::string& text)
{
    EXPECT_TRUE(IsOk(program.WaitWindow(kFrameClass)));
    if (IsOk(program.WaitText(kToolBar, text, 10000))) {
        return text;
    }
    return program.Text(kToolBar).value_or("(no tool bar)");
}

class RoomVisit : public EndToEndTest {};

} // namespace

TEST_F(RoomVisit, AGuestFindsAClosedRoomJoinsWithItsPasswordAndHearsTheHostChangeIt)
{
    Service().AddMember("kim", "pw", "Kim");
    Service().AddMember("lee", "pw", "Lee");
    Service().AddMember("ann", "pw", "Ann");
    // An open room made first, so a search that ignored its word would list it first.
    TestClient ann;
    ann.host = Service().Address();
    ASSERT_GT(ann.login(ServiceUnderTest::kPort, "ann"), 0);
    ASSERT_GT(ann.openRoom(0, "Chess corner", "games", 4, ""), 0);
    DrivenProgram& kim = Launch("kim");
    DrivenProgram& lee = Launch("lee");
    LogInToFrame(kim, "kim");
    LogInToFrame(lee, "lee");

    // Kim makes a closed room from the square's title bar and stands in it.
    const std::string dialog = OpenMakeDialog(kim, kSquareEntrance);
    ASSERT_FALSE(dialog.empty()) << "no room-making dialog";
    ASSERT_TRUE(IsOk(kim.Click(kNameEdit, 20, 8)));
    ASSERT_TRUE(IsOk(kim.Type(kNameEdit, "Tea Room")));
    ASSERT_TRUE(IsOk(kim.Click(kSubjectEdit, 20, 8)));
    ASSERT_TRUE(IsOk(kim.Type(kSubjectEdit, "green tea")));
    ASSERT_TRUE(IsOk(kim.Click(kPasswordEdit, 20, 8)));
    ASSERT_TRUE(IsOk(kim.Type(kPasswordEdit, "secret")));
    ASSERT_TRUE(IsOk(kim.Key(kPasswordEdit, "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(dialog, 20000)));
    EXPECT_EQ(WaitForToolBar(kim, std::string(kInRoom) + "Tea Room"), std::string(kInRoom) + "Tea Room");

    // Lee searches the room names for "Tea": Kim's room comes first and asks for its password.
    OpenRoomSearch(lee);
    SearchRoomNames(lee, "Tea");
    GoWithPassword(lee, 1, "tulip");
    EXPECT_THAT(AnswerBox(lee, kPasswordDialog), ::testing::StartsWith(kPasswordFail));
    EXPECT_EQ(WaitForLog(kim, std::string("Lee") + kJoined, 500), "") << "Lee came in without the password";

    // The right password takes Lee in: Kim's log tells it, Lee's tool bar names the room.
    GoWithPassword(lee, 1, "secret");
    ASSERT_TRUE(IsOk(lee.WaitGone(kRoomSearchWindow, 20000)));
    EXPECT_NE(WaitForLog(kim, std::string("Lee") + kJoined), "") << kim.Text("#2003").value_or("");
    EXPECT_EQ(WaitForToolBar(lee, std::string(kInRoom) + "Tea Room"), std::string(kInRoom) + "Tea Room");

    // Kim renames the room and lowers its limit to three through the modify-room dialog.
    ASSERT_TRUE(IsOk(kim.WaitWindow(kFrameClass)));
    ASSERT_TRUE(IsOk(kim.Click(kRoomEditButton, 20, 8)));
    const std::string modify = WaitForClass(kim, kDialogClass);
    ASSERT_FALSE(modify.empty()) << "no modify-room dialog";
    ASSERT_TRUE(IsOk(kim.WaitWindow(modify)));
    EXPECT_EQ(kim.Text(kNameEdit).value_or("?"), "Tea Room") << "the dialog shows the room as it is";
    EXPECT_EQ(kim.Text(kPasswordEdit).value_or("?"), "secret");
    ClearEdit(kim, kNameEdit);
    ASSERT_TRUE(IsOk(kim.Type(kNameEdit, "Coffee House")));
    ASSERT_TRUE(IsOk(kim.Click(kLimitSelector, kDropButtonX, 8)));
    const std::string menu = WaitForClass(kim, kMenuClass);
    ASSERT_FALSE(menu.empty()) << "no menu of member limits";
    ASSERT_TRUE(IsOk(kim.Click(menu, 40, MenuItemY(2))));
    ASSERT_TRUE(IsOk(kim.WaitWindow(modify)));
    ASSERT_TRUE(IsOk(kim.Key(kNameEdit, "RETURN")));
    ASSERT_TRUE(IsOk(kim.WaitGone(modify, 20000)));

    // Lee's log tells both changes, and Lee's tool bar names the room anew, as Kim's does.
    const std::string renamed = std::string(kRenamedBefore) + "Coffee House" + kRenamedAfter;
    const std::string limited = std::string(kLimitBefore) + "3" + kLimitAfter;
    EXPECT_NE(WaitForLog(lee, renamed), "") << lee.Text("#2003").value_or("");
    EXPECT_NE(WaitForLog(lee, limited), "") << lee.Text("#2003").value_or("");
    EXPECT_EQ(WaitForToolBar(lee, std::string(kInRoom) + "Coffee House"), std::string(kInRoom) + "Coffee House");
    EXPECT_EQ(WaitForToolBar(kim, std::string(kInRoom) + "Coffee House"), std::string(kInRoom) + "Coffee House");
}
