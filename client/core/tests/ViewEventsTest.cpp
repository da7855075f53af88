// The place's events as they reach the 3D view through the session: joins and exits, walks,
// seats and places of other members, and what a network can get wrong: members nobody knows,
// positions that are not numbers, joins told twice, records that cannot be dressed, and
// leftovers of a place the member has already left. None of them may crash the program, end it,
// or leave a stray avatar in the scene.
#include "LobbyViewFixture.h"

#include "ClientGlobals.h"
#include "EventBlocks.h"

#include <cmath>
#include <limits>

using namespace lobbyview;
using namespace eventblocks;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class ViewEvents : public LobbyViewFixture {
protected:
    static bool Same(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return a == b; }
};

// A member's own program beside the fixture's: logged in through the library's link.
struct OtherMember {
    yonda::comm::Link link;
    int32_t user = 0;
    OtherMember(uint16_t port, const char* login)
    {
        EXPECT_TRUE(link.connect("127.0.0.1", port));
        auto request = link.begin(yonda::proto::Login);
        request.writer.text(login, yonda::proto::kIdWidth).text("pw", yonda::proto::kLoginPasswordWidth);
        auto reply = link.call(request);
        EXPECT_TRUE(reply && reply->ok());
        if (reply && reply->ok()) {
            user = reply->fields().i32();
        }
    }
    bool Join(int16_t lobby)
    {
        auto join = link.begin(yonda::proto::RoomJoin);
        join.writer.i16(lobby).i16(-1).text("", yonda::proto::kRoomPasswordWidth);
        join.writer.ch('M').ch('0').ch('0').ch('0').ch('0').ch('0').u8(0).u8(0);
        auto reply = link.call(join);
        return reply && reply->ok();
    }
    void Walk(int16_t lobby, float x, float z)
    {
        auto move = link.begin(yonda::proto::MoveStart);
        move.writer.i16(lobby).i32(0).f32(0).f32(0).f32(0).f32(x).f32(0).f32(z);
        link.call(move);
    }
};

} // namespace

TEST_F(ViewEvents, JoinsAndExitsAddAndRemoveEachMemberOnce)
{
    Receive(EV_USER_ENTERED, EntryEvent(0, -1, 900, "Ann", 'F'));
    Receive(EV_USER_ENTERED, EntryEvent(0, -1, 900, "Ann", 'F'));
    Receive(EV_USER_AVATAR_INFO, AvatarInfoEvent(900, "Ann", 'F', 5, 0, 5));
    EXPECT_EQ(SlotsInUse(), 2) << "a join told twice made a second avatar";
    AVATAR_SLOT ann;
    ASSERT_TRUE(HasSlot(900, &ann));
    EXPECT_EQ(ann.nGender, 1);
    EXPECT_STREQ(ann.szNickname, "Ann");
    // A member already present answers with its avatar: it stands where it says.
    Receive(EV_USER_AVATAR_INFO, AvatarInfoEvent(901, "Bob", 'M', 12, 0, -7));
    EXPECT_TRUE(Same(AvatarPosition(901), D3DXVECTOR3(12, 0, -7)));
    // A record that cannot be dressed leaves that member out, and the program goes on.
    Receive(EV_USER_ENTERED, EntryEvent(0, -1, 902, "Odd", 'X'));
    Receive(EV_USER_AVATAR_INFO, AvatarInfoEvent(903, "Odd", '?', 0, 0, 0));
    EXPECT_FALSE(HasSlot(902));
    EXPECT_FALSE(HasSlot(903));
    {
        CGlobalLock lock;
        EXPECT_EQ(m_session.FindUser(902), nullptr);
        EXPECT_EQ(m_session.FindUser(903), nullptr);
    }
    EXPECT_EQ(SlotsInUse(), 3);
    // Exits free the slot once; a second exit and the exit of a stranger change nothing.
    Receive(EV_USER_LEFT, Block(Bytes(4, 900)));
    Receive(EV_USER_LEFT, Block(Bytes(4, 900)));
    Receive(EV_USER_LEFT, Block(Bytes(4, 4242)));
    EXPECT_FALSE(HasSlot(900));
    EXPECT_EQ(SlotsInUse(), 2);
    // The place holds 30 avatars: the 31st member is listed but not drawn.
    for (long user = 1000; user < 1030; ++user) {
        Receive(EV_USER_ENTERED, EntryEvent(0, -1, user, "Many", user % 2 ? 'M' : 'F'));
    }
    EXPECT_EQ(SlotsInUse(), kAvatarSlotCount);
    {
        CGlobalLock lock;
        EXPECT_NE(m_session.FindUser(1029), nullptr);
    }
    EXPECT_TRUE(NextPicture()) << "the full square is still drawn";
    EXPECT_FALSE(m_quitPosted);
}

TEST_F(ViewEvents, AMemberWhoAnswersWithItsGroundPlaceStandsThere)
{
    // As the program answers a newcomer: the ground place alone, not the middle of the square.
    Receive(EV_USER_AVATAR_INFO, AvatarInfoEvent(905, "Cy", 'M', 25, 0, -70, false));
    ASSERT_TRUE(HasSlot(905));
    EXPECT_TRUE(Same(AvatarPosition(905), D3DXVECTOR3(25, 0, -70)));
}

TEST_F(ViewEvents, StrangersAndPositionsThatAreNotNumbersChangeNothing)
{
    Receive(EV_USER_AVATAR_INFO, AvatarInfoEvent(900, "Ann", 'F', 10, 0, 10));
    ASSERT_TRUE(HasSlot(900));
    const D3DXVECTOR3 standing = AvatarPosition(900);
    // Walks, seats and places with a value that is not a finite number are dropped.
    Receive(EV_AVATAR_MOVE, MoveEvent(900, kNaN, 3));
    Receive(EV_AVATAR_MOVE, MoveEvent(900, 3, -kInf));
    float seat[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 20, 0, 20, 1};
    seat[13] = kNaN;
    Receive(EV_AVATAR_SIT_DOWN, SitEvent(900, seat));
    const float place[6] = {kInf, 0, 0, 0, 0, 1};
    Receive(EV_USER_PLACE, PlaceEvent(900, place));
    Receive(EV_USER_AVATAR_INFO, AvatarInfoEvent(904, "Nan", 'M', kNaN, 0, 0));
    EXPECT_FALSE(HasSlot(904));
    PumpFor(200); // frames run meanwhile
    AVATAR_SLOT ann;
    ASSERT_TRUE(HasSlot(900, &ann));
    EXPECT_EQ(ann.byPose, AVATAR_SLOT::POSE_IDLE);
    EXPECT_TRUE(Same(AvatarPosition(900), standing));
    // Members nobody knows: every per-member event is ignored, and no avatar appears.
    Receive(EV_AVATAR_MOVE, MoveEvent(777, 3, 3));
    seat[13] = 0;
    Receive(EV_AVATAR_SIT_DOWN, SitEvent(777, seat));
    Receive(EV_AVATAR_STAND_UP, Block(Bytes(4, 777)));
    const float there[6] = {1, 0, 1, 0, 0, 1};
    Receive(EV_USER_PLACE, PlaceEvent(777, there));
    std::vector<BYTE> face = Bytes(8, 777);
    face[4] = 'C';
    Receive(EV_USER_FACE_SET, Block(face));
    std::vector<BYTE> name = Bytes(40, 777);
    std::strcpy(reinterpret_cast<char*>(name.data() + 4), "Ghost");
    Receive(EV_USER_NICKNAME_CHANGED, Block(name));
    std::vector<BYTE> item = Bytes(16, 777);
    std::memcpy(item.data() + 4,
                "M2001"
                "0"
                "00Y",
                9);
    Receive(EV_USER_ITEM_CHANGE, Block(item));
    Receive(EV_USER_KICKED, Block(Bytes(4, 777)));
    EXPECT_EQ(SlotsInUse(), 2);
    EXPECT_FALSE(HasSlot(777));
    // A good walk of the known member still plays.
    Receive(EV_AVATAR_MOVE, MoveEvent(900, standing.x + 20, standing.z));
    ASSERT_TRUE(HasSlot(900, &ann));
    EXPECT_EQ(ann.byPose, AVATAR_SLOT::POSE_WALKING);
    EXPECT_TRUE(PumpUntil([&] { return AvatarPosition(900).x > standing.x + 1; })) << "the walk was not replayed";
    EXPECT_FALSE(m_quitPosted);
}

TEST_F(ViewEvents, LeftoversOfAPlaceLeftBehindAddNoStrayAvatar)
{
    OtherMember lee(m_service.port(), "lee");
    ASSERT_TRUE(lee.Join(0));
    ASSERT_TRUE(PumpUntil([&] { return HasSlot(lee.user); })) << "the member who came in was not shown";
    // The member goes on to the garden; what the square still sends about lee comes late.
    ASSERT_EQ(m_session.ExecuteCommand(CMD_MOVE_TO_LOBBY, static_cast<long>(0xFFFF0001), 0), kCommandDone);
    ASSERT_TRUE(PumpUntil([&] { return HasSlot(m_kim); }));
    EXPECT_FALSE(HasSlot(lee.user));
    lee.Walk(0, 10, 10); // the real square goes on without the member
    Receive(EV_USER_ENTERED, EntryEvent(0, -1, lee.user, "Lee", 'M'));
    Receive(EV_AVATAR_MOVE, MoveEvent(lee.user, 4, 4));
    const float seat[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 20, 0, 20, 1};
    Receive(EV_AVATAR_SIT_DOWN, SitEvent(lee.user, seat));
    Receive(EV_AVATAR_STAND_UP, Block(Bytes(4, lee.user)));
    const float there[6] = {1, 0, 1, 0, 0, 1};
    Receive(EV_USER_PLACE, PlaceEvent(lee.user, there));
    PumpFor(300);
    EXPECT_FALSE(HasSlot(lee.user)) << "a member of the square stands in the garden";
    EXPECT_EQ(SlotsInUse(), 1);
    {
        CGlobalLock lock;
        EXPECT_EQ(m_session.FindUser(lee.user), nullptr);
    }
    EXPECT_EQ(View().m_nPlaceType, 1);
    EXPECT_TRUE(NextPicture()) << "the garden is drawn";
    // And a member of the garden is shown there.
    OtherMember park(m_service.port(), "park");
    ASSERT_TRUE(park.Join(1));
    EXPECT_TRUE(PumpUntil([&] { return HasSlot(park.user); }));
    EXPECT_FALSE(m_quitPosted);
}
