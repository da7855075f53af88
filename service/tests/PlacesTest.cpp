// Lobbies and rooms against the real service: who receives which event, hosts and their rights.
#include <functional>
#include <gtest/gtest.h>

#include "ServiceHarness.h"

using namespace yonda;
using namespace yonda::proto;
using yonda::testing::ServiceHarness;
using yonda::testing::TestClient;

namespace {

comm::Link::Request openRoom(TestClient& client, int16_t lobby, const std::string& name, uint8_t limit,
                             const std::string& password = "")
{
    Block record(kRoomOpenLayout);
    record.i16(0, lobby).text(2, 50, name).text(52, 30, "subject").u8(82, limit).text(83, 13, password);
    auto request = client.begin(Command::RoomOpen);
    request.writer.bytes(record.bytes());
    return request;
}

int16_t open(TestClient& client, int16_t lobby, const std::string& name, uint8_t limit,
             const std::string& password = "")
{
    auto request = openRoom(client, lobby, name, limit, password);
    auto reply = client.ask(request);
    if (!reply || !reply->ok())
        return -1;
    return reply->fields().i16();
}

struct Place : ::testing::Test {
    ServiceHarness service{"places"};
    TestClient kim, lee, park;
    void SetUp() override
    {
        service.addMember("kim", "Kim");
        service.addMember("lee", "Lee", 1000, true, 'F');
        service.addMember("park", "Park");
        ASSERT_GT(kim.login(service.port(), "kim"), 0);
        ASSERT_GT(lee.login(service.port(), "lee"), 0);
        ASSERT_GT(park.login(service.port(), "park"), 0);
    }
};

} // namespace

TEST_F(Place, EnteringALobbyIsAnnouncedToEveryoneThereTheNewcomerIncluded)
{
    ASSERT_EQ(kim.join(1, -1), Ok);
    auto own = kim.waitFor(EvEntered);
    ASSERT_TRUE(own);
    Block head(own->block.data(), own->block.size());
    EXPECT_EQ(head.getI16(0), 1);
    EXPECT_EQ(head.getI16(2), -1);
    EXPECT_EQ(head.getI16(4), -1);
    EXPECT_EQ(head.getI32(8), kim.user);
    EXPECT_EQ(head.getText(12, 22), "kim");
    EXPECT_EQ(head.getText(34, 32), "Kim");
    EXPECT_EQ(head.getCh(66), 'M');
    ASSERT_EQ(own->items.size(), 1u);
    EXPECT_EQ(readWornItem(own->items[0].data()).number, 9); // what the join carried

    ASSERT_EQ(lee.join(1, -1), Ok);
    auto seen = kim.waitFor(EvEntered);
    ASSERT_TRUE(seen);
    EXPECT_EQ(Block(seen->block.data(), seen->block.size()).getI32(8), lee.user);
    EXPECT_EQ(Block(seen->block.data(), seen->block.size()).getCh(66), 'F');
    EXPECT_TRUE(lee.waitFor(EvEntered));
    EXPECT_TRUE(park.quietAbout(EvEntered)); // not in that lobby
}

TEST_F(Place, LeavingIsAnnouncedToTheOthersOnly)
{
    ASSERT_EQ(kim.join(2, -1), Ok);
    ASSERT_EQ(lee.join(2, -1), Ok);
    auto exit = lee.begin(RoomExit);
    exit.writer.i16(2);
    ASSERT_EQ(lee.status(exit), Ok);
    auto left = kim.waitFor(EvLeft);
    ASSERT_TRUE(left);
    EXPECT_EQ(Block(left->block.data(), left->block.size()).getI32(0), lee.user);
    EXPECT_TRUE(lee.quietAbout(EvLeft));
}

TEST_F(Place, ChatEchoesToTheSenderAndMovesDoNot)
{
    ASSERT_EQ(kim.join(0, -1), Ok);
    ASSERT_EQ(lee.join(0, -1), Ok);
    kim.clearEvents();
    lee.clearEvents();
    auto chat = kim.begin(Chat);
    chat.writer.i16(0).u8(5).u8(3).text("안녕", kChatWidth);
    ASSERT_EQ(kim.status(chat), Ok);
    for (TestClient* client : {&kim, &lee}) {
        auto line = client->waitFor(EvChat);
        ASSERT_TRUE(line);
        Block block(line->block.data(), line->block.size());
        EXPECT_EQ(block.getI32(0), kim.user);
        EXPECT_EQ(block.getU8(4), 5);
        EXPECT_EQ(block.getU8(5), 3);
        EXPECT_EQ(block.getText(6, 256), "안녕");
    }
    auto move = kim.begin(MoveStart);
    move.writer.i16(0).i32(0);
    for (float value : {1.f, 0.f, 2.f, 10.f, 0.f, 20.f})
        move.writer.f32(value);
    ASSERT_EQ(kim.status(move), Ok);
    auto walk = lee.waitFor(EvMoveStart);
    ASSERT_TRUE(walk);
    Block block(walk->block.data(), walk->block.size());
    EXPECT_EQ(block.getF32(20), 10.f);
    EXPECT_EQ(block.getF32(28), 20.f);
    EXPECT_TRUE(kim.quietAbout(EvMoveStart));
}

TEST_F(Place, AvatarInformationGoesToItsTargetOnly)
{
    ASSERT_EQ(kim.join(0, -1), Ok);
    ASSERT_EQ(lee.join(0, -1), Ok);
    ASSERT_EQ(park.join(0, -1), Ok);
    auto send = kim.begin(SendMyAvatar);
    send.writer.i16(0).i32(lee.user).ch('M').u8(2).f32(1.5f).f32(2.5f).f32(3).f32(4).f32(5).ch('0').ch('0').ch('0');
    send.writer.u8(1).bytes(makeWornItem({2, 9, 1}).bytes());
    ASSERT_EQ(kim.status(send), Ok);
    auto info = lee.waitFor(EvAvatarInfo);
    ASSERT_TRUE(info);
    Block head(info->block.data(), info->block.size());
    EXPECT_EQ(head.getI32(0), kim.user);
    EXPECT_EQ(head.getText(25, 31), "Kim");
    EXPECT_EQ(head.getF32(60), 1.5f);
    EXPECT_EQ(head.getU8(68), 2);
    EXPECT_EQ(head.getF32(69), 3.f); // unaligned, as the client reads it
    EXPECT_EQ(head.getF32(77), 5.f);
    ASSERT_EQ(info->items.size(), 1u);
    EXPECT_EQ(readWornItem(info->items[0].data()).number, 9);
    EXPECT_TRUE(park.quietAbout(EvAvatarInfo));
}

TEST_F(Place, RoomsCheckPasswordAndCapacity)
{
    int16_t room = open(kim, 2, "Tea", 2, "secret");
    ASSERT_GE(room, 1);
    EXPECT_EQ(lee.join(2, room, "wrong"), WrongPassword);
    EXPECT_EQ(lee.join(2, room, "secret"), Ok);
    EXPECT_EQ(park.join(2, room, "secret"), Full);
    EXPECT_EQ(park.join(2, 77), NotFound);

    auto info = park.begin(RoomInfo);
    info.writer.i16(2).i16(room);
    auto reply = park.ask(info);
    ASSERT_TRUE(reply && reply->ok());
    std::vector<uint8_t> bytes = reply->fields().bytes(kRoomLayout.size);
    Block record(bytes.data(), bytes.size());
    EXPECT_EQ(record.getText(4, 51), "Tea");
    EXPECT_EQ(record.getU8(86), 2);
    EXPECT_EQ(record.getU8(87), 2);
    EXPECT_EQ(record.getCh(88), 'C');
    EXPECT_NE(record.getCh(89), 'W');

    auto area = park.begin(RoomInfo);
    area.writer.i16(2).i16(-1);
    reply = park.ask(area);
    ASSERT_TRUE(reply && reply->ok());
    bytes = reply->fields().bytes(kRoomLayout.size);
    Block lobby(bytes.data(), bytes.size());
    EXPECT_EQ(lobby.getCh(89), 'W');
    EXPECT_NE(lobby.getCh(88), 'C');
    EXPECT_LT(lobby.getU8(86), lobby.getU8(87));
}

TEST_F(Place, OnlyTheHostHandsOverKicksAndChangesTheRoom)
{
    int16_t room = open(kim, 0, "Hall", 5);
    ASSERT_EQ(lee.join(0, room), Ok);
    ASSERT_EQ(park.join(0, room), Ok);

    auto guestKick = lee.begin(KickUser);
    guestKick.writer.i16(0).i32(park.user);
    EXPECT_EQ(lee.status(guestKick), NotHost);
    auto guestHost = lee.begin(SetRoomHost);
    guestHost.writer.i16(0).i32(lee.user);
    EXPECT_EQ(lee.status(guestHost), NotHost);

    auto handOver = kim.begin(SetRoomHost);
    handOver.writer.i16(0).i32(lee.user);
    ASSERT_EQ(kim.status(handOver), Ok);
    for (TestClient* client : {&kim, &lee, &park}) {
        auto changed = client->waitFor(EvHostChanged);
        ASSERT_TRUE(changed);
        Block block(changed->block.data(), changed->block.size());
        EXPECT_EQ(block.getI32(0), kim.user);
        EXPECT_EQ(block.getI32(4), lee.user);
    }
    auto formerHostKick = kim.begin(KickUser);
    formerHostKick.writer.i16(0).i32(park.user);
    EXPECT_EQ(kim.status(formerHostKick), NotHost);

    auto kick = lee.begin(KickUser);
    kick.writer.i16(0).i32(park.user);
    ASSERT_EQ(lee.status(kick), Ok);
    for (TestClient* client : {&kim, &lee, &park}) {
        auto kicked = client->waitFor(EvKicked);
        ASSERT_TRUE(kicked);
        EXPECT_EQ(Block(kicked->block.data(), kicked->block.size()).getI32(0), park.user);
    }
    // The kicked member's own exit is answered quietly, and nobody hears of it again.
    auto exit = park.begin(RoomExit);
    exit.writer.i16(0);
    EXPECT_EQ(park.status(exit), Ok);
    EXPECT_TRUE(kim.quietAbout(EvLeft));
    EXPECT_TRUE(lee.quietAbout(EvLeft));
}

TEST_F(Place, RoomChangesReachEveryoneInTheRoomTheHostIncluded)
{
    int16_t room = open(kim, 1, "Old", 5, "pw1");
    ASSERT_EQ(lee.join(1, room, "pw1"), Ok);
    auto tooSmall = kim.begin(ModifyRoom);
    tooSmall.writer.i16(1).ch('N').text("", 51).ch('N').text("", 31).ch('Y').u8(1).ch('N').text("", 13);
    EXPECT_EQ(kim.status(tooSmall), BadRequest);

    auto modify = kim.begin(ModifyRoom);
    modify.writer.i16(1).ch('Y').text("New", 51).ch('Y').text("Topic", 31).ch('Y').u8(9).ch('Y').text("pw2", 13);
    ASSERT_EQ(kim.status(modify), Ok);
    for (TestClient* client : {&kim, &lee}) {
        auto name = client->waitFor(EvRoomName);
        ASSERT_TRUE(name);
        EXPECT_EQ(Block(name->block.data(), name->block.size()).getText(51, 51), "New");
        auto subject = client->waitFor(EvRoomSubject);
        ASSERT_TRUE(subject);
        EXPECT_EQ(Block(subject->block.data(), subject->block.size()).getText(31, 31), "Topic");
        auto limit = client->waitFor(EvRoomLimit);
        ASSERT_TRUE(limit);
        EXPECT_EQ(limit->block[0], 5);
        EXPECT_EQ(limit->block[1], 9);
        auto password = client->waitFor(EvRoomPassword);
        ASSERT_TRUE(password);
        EXPECT_EQ(Block(password->block.data(), password->block.size()).getText(0, 13), "pw2");
    }
    EXPECT_EQ(park.join(1, room, "pw1"), WrongPassword);
    EXPECT_EQ(park.join(1, room, "pw2"), Ok);
}

TEST_F(Place, AHostWhoLeavesPassesTheRoomOnAndAnEmptyRoomCloses)
{
    int16_t room = open(kim, 3, "Q", 5);
    ASSERT_EQ(lee.join(3, room), Ok);
    ASSERT_EQ(kim.join(3, -1), Ok); // leaves the room implicitly
    auto changed = lee.waitFor(EvHostChanged);
    ASSERT_TRUE(changed);
    EXPECT_EQ(Block(changed->block.data(), changed->block.size()).getI32(4), lee.user);
    auto exit = lee.begin(RoomExit);
    exit.writer.i16(3);
    ASSERT_EQ(lee.status(exit), Ok);
    EXPECT_EQ(park.join(3, room), NotFound);
}

TEST_F(Place, RoomListsPageByRoomNumber)
{
    // Rooms stay only while someone is in them: one member per room.
    std::vector<std::unique_ptr<TestClient>> hosts;
    for (int i = 0; i < 35; ++i) {
        std::string login = "host" + std::to_string(i);
        service.addMember(login, "H" + std::to_string(i));
        hosts.push_back(std::make_unique<TestClient>());
        ASSERT_GT(hosts.back()->login(service.port(), login), 0);
        ASSERT_EQ(open(*hosts.back(), 4, "Game " + std::to_string(i), 9), i + 1);
    }
    auto page = [&](int16_t key) {
        auto list = park.begin(LobbyRooms);
        list.writer.i16(4).i16(key);
        auto reply = park.ask(list);
        std::vector<int16_t> numbers;
        if (!reply || !reply->ok())
            return numbers;
        auto fields = reply->fields();
        uint16_t count = fields.u16();
        for (uint16_t i = 0; i < count; ++i) {
            auto bytes = fields.bytes(kRoomListLayout.size);
            Block element(bytes.data(), bytes.size());
            numbers.push_back(element.getI16(2));
            EXPECT_EQ(element.getU8(87), 4); // game rooms hold four at most
        }
        EXPECT_TRUE(fields.done());
        return numbers;
    };
    auto first = page(0);
    ASSERT_EQ(first.size(), 30u);
    EXPECT_EQ(first.front(), 1);
    auto second = page(first.back());
    ASSERT_EQ(second.size(), 5u);
    EXPECT_EQ(second.front(), 31);

    auto total = park.begin(LobbyTotal);
    total.writer.i16(4);
    auto reply = park.ask(total);
    ASSERT_TRUE(reply && reply->ok());
    EXPECT_EQ(reply->fields().i32(), 35);
}

TEST_F(Place, MembersOfARoomComeAfterAHeaderWithTheirRoles)
{
    int16_t room = open(kim, 2, "Den", 5);
    ASSERT_EQ(lee.join(2, room), Ok);
    auto users = park.begin(RoomUsers);
    users.writer.i16(2).i16(room);
    auto reply = park.ask(users);
    ASSERT_TRUE(reply && reply->ok());
    auto fields = reply->fields();
    fields.bytes(kRoomLayout.size);
    ASSERT_EQ(fields.u16(), 2);
    auto host = fields.bytes(kRoomUserLayout.size);
    auto guest = fields.bytes(kRoomUserLayout.size);
    EXPECT_TRUE(fields.done());
    EXPECT_EQ(Block(host.data(), host.size()).getCh(60), 'H');
    EXPECT_EQ(Block(guest.data(), guest.size()).getCh(60), 'G');
    EXPECT_EQ(Block(guest.data(), guest.size()).getCh(59), 'F');
}

TEST_F(Place, PartyGameEventsFollowTheirEchoRules)
{
    int16_t room = open(kim, 4, "Race", 3);
    ASSERT_EQ(lee.join(4, room), Ok);
    kim.clearEvents();
    lee.clearEvents();
    struct Case {
        uint8_t command;
        uint8_t code;
        bool echoed;
    };
    const Case cases[] = {
        {GameReady, GameReadyCode, true},  {GameTime, GameTimeCode, true},         {GameRetire, GameRetireCode, false},
        {GameBoard, GameBoardCode, false}, {GameJumpToStart, GameJumpCode, false},
    };
    for (const Case& c : cases) {
        auto request = kim.begin(c.command);
        if (c.command == GameJumpToStart)
            request.writer.i32(kim.user);
        else
            request.writer.i16(4);
        if (c.command == GameTime)
            request.writer.i32(1234);
        if (c.command == GameBoard)
            request.writer.u16(kBoardSize).bytes(std::vector<uint8_t>(kBoardSize, 6));
        ASSERT_EQ(kim.status(request), Ok) << int(c.code);
        auto event = lee.waitFor(EvGame);
        ASSERT_TRUE(event) << int(c.code);
        Block block(event->block.data(), event->block.size());
        EXPECT_EQ(block.getU8(4), c.code);
        if (c.code == GameTimeCode) {
            EXPECT_EQ(block.getI32(7), 1234);
        }
        if (c.code == GameBoardCode) {
            EXPECT_EQ(block.getU8(7 + 48), 6);
        }
        if (c.echoed)
            EXPECT_TRUE(kim.waitFor(EvGame)) << int(c.code);
        else
            EXPECT_TRUE(kim.quietAbout(EvGame)) << int(c.code);
    }
}

TEST_F(Place, ItemChangesAndNicknamesReachEveryoneTheSenderIncluded)
{
    ASSERT_EQ(kim.join(1, -1), Ok);
    ASSERT_EQ(lee.join(1, -1), Ok);
    auto change = kim.begin(AnnounceItemChange);
    change.writer.i32(999).ch('M').u8(2).text("009", kItemCodeWidth).text("1", 3).ch('Y');
    ASSERT_EQ(kim.status(change), Ok);
    for (TestClient* client : {&kim, &lee}) {
        auto event = client->waitFor(EvItemChange);
        ASSERT_TRUE(event);
        Block block(event->block.data(), event->block.size());
        EXPECT_EQ(block.getI32(0), kim.user); // never the number the sender claims
        EXPECT_EQ(block.getCh(5), '2');
        EXPECT_EQ(block.getText(6, 4), "009");
        EXPECT_EQ(block.getCh(10), '1');
        EXPECT_EQ(block.getCh(13), 'Y');
    }
    auto rename = kim.begin(SetOwnNickname);
    rename.writer.text("Lee", kNicknameWidth);
    EXPECT_EQ(kim.status(rename), AlreadyExists);
    rename = kim.begin(SetOwnNickname);
    rename.writer.text("Kimmy", kNicknameWidth);
    ASSERT_EQ(kim.status(rename), Ok);
    auto announce = kim.begin(AnnounceNickname);
    announce.writer.i16(1).text("Kimmy", kNicknameWidth);
    ASSERT_EQ(kim.status(announce), Ok);
    for (TestClient* client : {&kim, &lee}) {
        auto event = client->waitFor(EvNickname);
        ASSERT_TRUE(event);
        EXPECT_EQ(Block(event->block.data(), event->block.size()).getText(4, 32), "Kimmy");
    }
}

TEST_F(Place, RelayedActionsReachTheOthersOnly)
{
    int16_t room = open(kim, 3, "Quiz", 5);
    ASSERT_EQ(lee.join(3, room), Ok);
    ASSERT_EQ(park.join(3, -1), Ok); // elsewhere in the lobby: hears nothing of the room
    struct Case {
        const char* name;
        uint8_t command;
        std::function<void(wire::Writer&)> fill;
        uint8_t event;
        size_t checkOffset;
        int32_t checkValue;
    };
    const Case cases[] = {
        {"face", FaceSet, [](wire::Writer& w) { w.i16(3).u8('C'); }, EvFace, 4, 'C'},
        {"stop", MoveEnd, [](wire::Writer& w) { w.i16(3).i32(0).f32(1).f32(2).f32(3).f32(0).f32(0).f32(1); }, EvPlace,
         6, room},
        {"sit", MoveSit,
         [](wire::Writer& w) {
             w.i16(3);
             for (int i = 0; i < 16; ++i)
                 w.f32(static_cast<float>(i));
         },
         EvSit, 0, 0},
        {"stand", MoveStand, [](wire::Writer& w) { w.i16(3).i32(1); }, EvStand, 0, 0},
    };
    for (const Case& c : cases) {
        auto request = kim.begin(c.command);
        c.fill(request.writer);
        ASSERT_EQ(kim.status(request), Ok) << c.name;
        auto event = lee.waitFor(c.event);
        ASSERT_TRUE(event) << c.name;
        Block block(event->block.data(), event->block.size());
        EXPECT_EQ(block.getI32(0), kim.user) << c.name;
        if (c.checkOffset == 4) {
            EXPECT_EQ(block.getU8(4), c.checkValue) << c.name;
        } else if (c.checkOffset == 6) {
            EXPECT_EQ(block.getI16(6), c.checkValue) << c.name;
        }
        EXPECT_TRUE(kim.quietAbout(c.event)) << c.name;
        EXPECT_TRUE(park.quietAbout(c.event)) << c.name;
    }
    auto guestQuestion = lee.begin(RoomTheme);
    guestQuestion.writer.i16(3).text("mine?", kChatWidth);
    EXPECT_EQ(lee.status(guestQuestion), NotHost);
    auto toLee = kim.begin(RoomThemeTo);
    toLee.writer.i16(3).i32(lee.user).text("Welcome: what is 2+2?", kChatWidth);
    ASSERT_EQ(kim.status(toLee), Ok);
    auto question = lee.waitFor(EvGame);
    ASSERT_TRUE(question);
    EXPECT_EQ(Block(question->block.data(), question->block.size()).getText(7, 256), "Welcome: what is 2+2?");
    auto toPark = kim.begin(RoomThemeTo);
    toPark.writer.i16(3).i32(park.user).text("not in the room", kChatWidth);
    EXPECT_EQ(kim.status(toPark), NotFound);
}

TEST_F(Place, QueriesThatCannotBeDoneAreRefused)
{
    service.addMember("bare", "Bare", 0, false);
    struct Case {
        const char* name;
        uint8_t command;
        std::function<void(wire::Writer&)> fill;
        uint8_t status;
    };
    const Case cases[] = {
        {"chat outside any place", Chat, [](wire::Writer& w) { w.i16(0).u8(0).u8(0).text("hi", kChatWidth); }, Refused},
        {"move outside any place", MoveStart,
         [](wire::Writer& w) {
             w.i16(0).i32(0);
             for (int i = 0; i < 6; ++i)
                 w.f32(0);
         },
         Refused},
        {"game outside a room", GameReady, [](wire::Writer& w) { w.i16(4); }, Refused},
        {"unknown member", UserInfo, [](wire::Writer& w) { w.i32(424242); }, NotFound},
        {"member without avatar", AvatarInfo,
         [this](wire::Writer& w) { w.i32(service.store().accountByLogin("bare")->user); }, NotFound},
        {"empty nickname", SetOwnNickname, [](wire::Writer& w) { w.text("", kNicknameWidth); }, BadRequest},
        {"item not owned", WearItem, [](wire::Writer& w) { w.bytes(std::vector<uint8_t>(kItemKeyWidth, 'Z')).ch('Y'); },
         NotFound},
        {"not a friend", DeleteFriend, [this](wire::Writer& w) { w.i32(lee.user); }, NotFound},
        {"oneself as friend", AddFriend, [this](wire::Writer& w) { w.i32(kim.user); }, Refused},
        {"lobby beyond five", LobbyTotal, [](wire::Writer& w) { w.i16(5); }, NotFound},
        {"room list of no lobby", LobbyRooms, [](wire::Writer& w) { w.i16(-1).i16(0); }, NotFound},
        {"location beyond the lobbies", SendUserLocation, [](wire::Writer& w) { w.i16(9).i16(1); }, BadRequest},
        {"someone else's picture", UploadImage,
         [](wire::Writer& w) { w.text("lee", kIdWidth).u32(3).u32(0).u16(3).u8(1).u8(2).u8(3); }, BadRequest},
        {"kick as a guest", KickUser, [this](wire::Writer& w) { w.i16(0).i32(lee.user); }, NotHost},
        {"room change as a guest", ModifyRoom,
         [](wire::Writer& w) {
             w.i16(0).ch('Y').text("x", 51).ch('N').text("", 31).ch('N').u8(0).ch('N').text("", 13);
         },
         NotHost},
        {"second login on one connection", Login,
         [](wire::Writer& w) { w.text("kim", kIdWidth).text("pw", kLoginPasswordWidth); }, Refused},
    };
    for (const Case& c : cases) {
        auto request = kim.begin(c.command);
        c.fill(request.writer);
        EXPECT_EQ(kim.status(request), c.status) << c.name;
    }
    Block record(kRoomOpenLayout);
    record.i16(0, 7).text(2, 50, "Nowhere");
    auto badRoom = kim.begin(Command::RoomOpen);
    badRoom.writer.bytes(record.bytes());
    EXPECT_EQ(kim.status(badRoom), BadRequest);
}

TEST_F(Place, ASubjectGoesToTheOthersAndItsBackgroundToEveryone)
{
    int16_t room = open(kim, 3, "Quiz", 5);
    ASSERT_EQ(lee.join(3, room), Ok);
    ASSERT_EQ(park.join(3, -1), Ok); // elsewhere in the lobby: hears nothing of the room
    for (int picture = 1; picture <= 11; ++picture) {
        SCOPED_TRACE(picture);
        auto question = kim.begin(RoomTheme);
        question.writer.i16(3).text("What is 2+2?", kChatWidth);
        ASSERT_EQ(kim.status(question), Ok);
        auto subject = lee.waitFor(EvGame);
        ASSERT_TRUE(subject);
        Block text(subject->block.data(), subject->block.size());
        EXPECT_EQ(text.getI32(0), kim.user);
        EXPECT_EQ(text.getU8(4), GameThemeCode);
        EXPECT_EQ(text.getText(7, 256), "What is 2+2?");
        // The pictures go round the ten the world holds; the number is big-endian at +7.
        const int expected = (picture - 1) % 10 + 1;
        for (TestClient* member : {&lee, &kim}) {
            auto background = member->waitFor(EvGame);
            ASSERT_TRUE(background);
            Block block(background->block.data(), background->block.size());
            EXPECT_EQ(block.getU8(4), GameBackground);
            EXPECT_EQ((block.getU8(7) << 8) | block.getU8(8), expected);
        }
    }
    EXPECT_TRUE(kim.quietAbout(EvGame)) << "the host never hears its own subject";
    EXPECT_TRUE(park.quietAbout(EvGame));
}
