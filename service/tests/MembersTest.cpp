// Accounts, items and points, friends and messages against the real service, and what survives
// a restart.
#include <arpa/inet.h>
#include <cstring>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "ServiceHarness.h"

using namespace yonda;
using namespace yonda::proto;
using yonda::testing::ServiceHarness;
using yonda::testing::TestClient;

namespace {

comm::Link::Request buy(TestClient& client, char gender, char category, const char* number, bool variant)
{
    Block record(kItemBuyLayout);
    record.ch(0, gender).ch(1, category).text(2, 4, number).text(6, 3, variant ? "10" : "00").u8(9, 1).ch(10, 'N');
    auto request = client.begin(BuyItem);
    request.writer.bytes(record.bytes()).i32(1000000);
    return request;
}

struct OwnedRow {
    std::string key;
    char category;
    std::string number;
    char texture;
    char worn;
};

std::vector<OwnedRow> myItems(TestClient& client)
{
    auto request = client.begin(MyItems);
    auto reply = client.ask(request);
    std::vector<OwnedRow> rows;
    if (!reply || !reply->ok())
        return rows;
    auto fields = reply->fields();
    uint16_t count = fields.u16();
    for (uint16_t i = 0; i < count; ++i) {
        auto bytes = fields.bytes(kMyItemLayout.size);
        Block element(bytes.data(), bytes.size());
        rows.push_back(
            {element.getText(0, 17), element.getCh(19), element.getText(20, 4), element.getCh(24), element.getCh(28)});
    }
    return rows;
}

int32_t points(TestClient& client)
{
    auto request = client.begin(Points);
    auto reply = client.ask(request);
    return reply && reply->ok() ? reply->fields().i32() : -1;
}

} // namespace

TEST(Members, ProbeIsAnsweredWithAnEmptyAddress)
{
    ServiceHarness service("probe");
    auto probe = wire::Writer(Probe).finish();
    // A probe on a fresh connection: the reply is the one packet 00 07 00 05 00.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(service.port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(send(fd, probe.data(), probe.size(), 0), 4);
    uint8_t reply[16];
    size_t got = 0;
    while (got < 5) {
        ssize_t count = recv(fd, reply + got, sizeof reply - got, 0);
        ASSERT_GT(count, 0);
        got += static_cast<size_t>(count);
    }
    EXPECT_EQ(got, 5u);
    EXPECT_EQ(std::vector<uint8_t>(reply, reply + 5), (std::vector<uint8_t>{0, 7, 0, 5, 0}));
    close(fd);
}

TEST(Members, LoginAnswersTheUserAndWhetherAnAvatarExists)
{
    ServiceHarness service("login");
    int32_t dressed = service.addMember("kim", "Kim");
    service.addMember("new", "Newbie", 0, false);
    TestClient kim, newbie, wrong, nobody;
    EXPECT_EQ(kim.login(service.port(), "kim"), dressed);
    EXPECT_EQ(wrong.login(service.port(), "kim", "bad"), 0);
    EXPECT_EQ(nobody.login(service.port(), "ghost"), 0);

    ASSERT_TRUE(newbie.connect(service.port()));
    auto request = newbie.begin(Login);
    request.writer.text("new", kIdWidth).text("pw", kLoginPasswordWidth);
    auto reply = newbie.ask(request);
    ASSERT_TRUE(reply && reply->ok());
    auto fields = reply->fields();
    fields.i32();
    EXPECT_EQ(fields.ch(), 'N');

    // Nothing but a login before logging in.
    auto early = wrong.begin(Points);
    EXPECT_EQ(wrong.status(early), NotLoggedIn);
}

TEST(Members, AvatarCreationDressesTheMemberOnce)
{
    ServiceHarness service("create");
    service.addMember("new", "Newbie", 0, false);
    TestClient client;
    ASSERT_GT(client.login(service.port(), "new"), 0);
    auto create = [&] {
        auto request = client.begin(AvatarCreate);
        request.writer.ch('F').ch('0').ch('0');
        for (const char* code : {"003", "000", "005", "002", "000", "000", "004"}) // free for a lady
            request.writer.text(code, kItemCodeWidth);
        return request;
    };
    auto first = create();
    ASSERT_EQ(client.status(first), Ok);
    auto second = create();
    EXPECT_EQ(client.status(second), AlreadyExists);

    auto info = client.begin(AvatarInfo);
    info.writer.i32(client.user);
    auto reply = client.ask(info);
    ASSERT_TRUE(reply && reply->ok());
    auto fields = reply->fields();
    auto head = fields.bytes(kAvatarHeadLayout.size);
    EXPECT_EQ(head[32], 'F');
    uint8_t count = fields.u8();
    EXPECT_EQ(count, 4); // hair, upper, lower, hair item: the face and empty slots are not items
    EXPECT_EQ(head[35], count);
    std::vector<int> categories;
    for (uint8_t i = 0; i < count; ++i)
        categories.push_back(readWornItem(fields.bytes(8).data()).category);
    EXPECT_EQ(categories, (std::vector<int>{0, 2, 3, 6}));
    EXPECT_TRUE(fields.done());
}

TEST(Members, PurchasesArePricedByTheServiceAndCheckedAgainstTheBalance)
{
    ServiceHarness service("buy");
    service.addMember("kim", "Kim", 450);
    TestClient kim;
    ASSERT_GT(kim.login(service.port(), "kim"), 0);
    size_t before = myItems(kim).size();

    auto shirt = buy(kim, 'M', '2', "001", false);
    auto reply = kim.ask(shirt);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->status, Ok);
    EXPECT_EQ(reply->fields().i32(), 150);
    auto again = buy(kim, 'M', '2', "001", false);
    EXPECT_EQ(kim.status(again), AlreadyExists);
    auto coat = buy(kim, 'M', '2', "002", false);
    EXPECT_EQ(kim.status(coat), TooFewPoints);
    auto unknown = buy(kim, 'M', '4', "009", false);
    EXPECT_EQ(kim.status(unknown), NotFound);
    auto variant = buy(kim, 'M', '0', "001", true); // the texture variant's own price
    reply = kim.ask(variant);
    ASSERT_TRUE(reply && reply->ok());
    EXPECT_EQ(reply->fields().i32(), 0);
    EXPECT_EQ(points(kim), 0);

    auto items = myItems(kim);
    ASSERT_EQ(items.size(), before + 2);
    const OwnedRow* bought = nullptr;
    for (const auto& row : items) {
        if (row.category == '2' && row.number == "001" && row.worn == 'N')
            bought = &row;
    }
    ASSERT_TRUE(bought);
    EXPECT_EQ(bought->key.size(), 16u);
    EXPECT_EQ(bought->texture, '0');

    uint8_t key[kItemKeyWidth] = {};
    std::memcpy(key, bought->key.data(), bought->key.size());
    auto wear = kim.begin(WearItem);
    wear.writer.bytes(key, sizeof key).ch('Y');
    ASSERT_EQ(kim.status(wear), Ok);
    for (const auto& row : myItems(kim)) {
        if (row.key == bought->key) {
            EXPECT_EQ(row.worn, 'Y');
        }
    }
}

TEST(Members, FriendsPageAndHearOfEachOthersPresence)
{
    ServiceHarness service("friends");
    int32_t kimUser = service.addMember("kim", "Kim");
    std::vector<int32_t> others;
    for (int i = 0; i < 32; ++i)
        others.push_back(service.addMember("f" + std::to_string(i), "F" + std::to_string(i)));
    TestClient kim;
    ASSERT_GT(kim.login(service.port(), "kim"), 0);
    for (int32_t user : others) {
        auto add = kim.begin(AddFriend);
        add.writer.i32(user);
        auto reply = kim.ask(add);
        ASSERT_TRUE(reply && reply->ok());
        auto record = reply->fields().bytes(kFriendLayout.size);
        EXPECT_EQ(Block(record.data(), record.size()).getI32(0), user);
        EXPECT_EQ(record[58], 'N');
    }
    auto twice = kim.begin(AddFriend);
    twice.writer.i32(others[0]);
    EXPECT_EQ(kim.status(twice), AlreadyExists);
    auto ghost = kim.begin(AddFriend);
    ghost.writer.i32(99999);
    EXPECT_EQ(kim.status(ghost), NotFound);

    auto page = [&](int32_t after) {
        auto list = kim.begin(ListFriends);
        list.writer.i32(after);
        auto reply = kim.ask(list);
        std::vector<int32_t> users;
        auto fields = reply->fields();
        uint16_t count = fields.u16();
        for (uint16_t i = 0; i < count; ++i) {
            auto bytes = fields.bytes(kFriendLayout.size);
            users.push_back(Block(bytes.data(), bytes.size()).getI32(0));
        }
        return users;
    };
    auto first = page(0);
    ASSERT_EQ(first.size(), 30u);
    auto second = page(first.back());
    EXPECT_EQ(second.size(), 2u);

    // Kim lists f0: when f0 comes and goes, Kim hears of it.
    TestClient f0;
    ASSERT_GT(f0.login(service.port(), "f0"), 0);
    auto online = kim.waitFor(MsgFriendState, true);
    ASSERT_TRUE(online);
    EXPECT_EQ(Block(online->block.data(), online->block.size()).getI32(0), others[0]);
    EXPECT_EQ(online->block[4], 'Y');
    f0.link.disconnect();
    auto offline = kim.waitFor(MsgFriendState, true);
    ASSERT_TRUE(offline);
    EXPECT_EQ(offline->block[4], 'N');

    auto remove = kim.begin(DeleteFriend);
    remove.writer.i32(others[0]);
    EXPECT_EQ(kim.status(remove), Ok);
    EXPECT_EQ(page(0).size(), 30u);
    EXPECT_EQ(page(0).front(), others[1]);
    (void)kimUser;
}

TEST(Members, InstantMessagesReachOnlineMembersByTheirId)
{
    ServiceHarness service("messages");
    service.addMember("kim", "Kim");
    service.addMember("lee", "Lee");
    service.addMember("away", "Away");
    TestClient kim, lee;
    ASSERT_GT(kim.login(service.port(), "kim"), 0);
    ASSERT_GT(lee.login(service.port(), "lee"), 0);
    auto message = kim.begin(InstantMessage);
    message.writer.text("lee", kIdWidth).text("hi there", kMessageWidth);
    ASSERT_EQ(kim.status(message), Ok);
    auto received = lee.waitFor(MsgReceived, true);
    ASSERT_TRUE(received);
    Block block(received->block.data(), received->block.size());
    EXPECT_EQ(block.getI32(0), kim.user);
    EXPECT_EQ(block.getText(4, 22), "kim");
    EXPECT_EQ(block.getText(26, 32), "Kim");
    EXPECT_EQ(block.getText(58, 256), "hi there");
    auto toAway = kim.begin(InstantMessage);
    toAway.writer.text("away", kIdWidth).text("hello?", kMessageWidth);
    EXPECT_EQ(kim.status(toAway), Offline);

    auto report = lee.begin(SendUserLocation);
    report.writer.i16(2).i16(5);
    ASSERT_EQ(lee.status(report), Ok);
    auto where = kim.begin(UserLocation);
    where.writer.i32(lee.user);
    auto reply = kim.ask(where);
    ASSERT_TRUE(reply && reply->ok());
    auto fields = reply->fields();
    EXPECT_EQ(fields.i16(), 2);
    EXPECT_EQ(fields.i16(), 5);
    lee.link.disconnect();
    // The service may not have seen the close yet; a later look-up must refuse.
    auto locate = [&] {
        auto request = kim.begin(UserLocation);
        request.writer.i32(lee.user);
        return kim.status(request);
    };
    uint8_t status = Ok;
    for (int i = 0; i < 200 && status == Ok; ++i)
        status = locate();
    EXPECT_EQ(status, Offline);
}

TEST(Members, SearchFindsOnlineMembersPageByPage)
{
    ServiceHarness service("search");
    std::vector<std::unique_ptr<TestClient>> clients;
    for (int i = 0; i < 12; ++i) {
        service.addMember("s" + std::to_string(i), "Seeker" + std::to_string(i), 0, true, i % 2 ? 'F' : 'M');
        clients.push_back(std::make_unique<TestClient>());
        ASSERT_GT(clients.back()->login(service.port(), "s" + std::to_string(i)), 0);
    }
    auto search = [&](int32_t key, const std::string& nick, char sex) {
        auto request = clients[0]->begin(SearchUser);
        request.writer.i32(key)
            .text("", kIdWidth)
            .text(nick, kNicknameWidth)
            .ch(sex)
            .text("-1", kAreaWidth)
            .u8(0)
            .u8(0);
        request.writer.text("", kSearchTextWidth).text("", kSearchTextWidth).ch('Y');
        auto reply = clients[0]->ask(request);
        std::vector<int32_t> users;
        auto fields = reply->fields();
        uint16_t count = fields.u16();
        for (uint16_t i = 0; i < count; ++i) {
            auto bytes = fields.bytes(kSearchUserLayout.size);
            users.push_back(Block(bytes.data(), bytes.size()).getI32(0));
        }
        return users;
    };
    auto first = search(0, "Seeker", 0);
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(search(first.back(), "Seeker", 0).size(), 2u);
    EXPECT_EQ(search(0, "Seeker", 'F').size(), 6u);
    EXPECT_EQ(search(0, "Seeker11", 0).size(), 1u);
}

TEST(Members, WhatWasCommittedSurvivesARestart)
{
    ServiceHarness service("restart");
    service.addMember("kim", "Kim", 1000);
    int32_t lee = service.addMember("lee", "Lee");
    {
        TestClient kim;
        ASSERT_GT(kim.login(service.port(), "kim"), 0);
        auto shirt = buy(kim, 'M', '2', "001", false);
        ASSERT_EQ(kim.status(shirt), Ok);
        auto add = kim.begin(AddFriend);
        add.writer.i32(lee);
        ASSERT_EQ(kim.status(add), Ok);
        auto intro = kim.begin(SetIntro);
        intro.writer.text("hello, I am Kim", kIntroWidth);
        ASSERT_EQ(kim.status(intro), Ok);
    }
    service.stop();
    service.start();
    TestClient kim;
    ASSERT_GT(kim.login(service.port(), "kim"), 0);
    EXPECT_EQ(points(kim), 700);
    EXPECT_EQ(myItems(kim).size(), 3u);
    auto list = kim.begin(ListFriends);
    list.writer.i32(0);
    auto reply = kim.ask(list);
    ASSERT_TRUE(reply && reply->ok());
    EXPECT_EQ(reply->fields().u16(), 1);
    auto info = kim.begin(UserInfo);
    info.writer.i32(kim.user);
    reply = kim.ask(info);
    ASSERT_TRUE(reply && reply->ok());
    auto record = reply->fields().bytes(kUserInfoLayout.size);
    EXPECT_EQ(Block(record.data(), record.size()).getText(259, 256), "hello, I am Kim");
}
