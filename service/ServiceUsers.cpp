// Queries about members: profiles, avatars, items and points, friends, messages, search.
#include <algorithm>
#include <cstdio>

#include "Log.h"
#include "Service.h"
#include "protocol/Protocol.h"

namespace yonda::service {

using namespace yonda::proto;

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return part.empty() || text.find(part) != std::string::npos;
}

int parseNumber(const std::string& text)
{
    if (text.empty() || text.size() > 3 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(text);
}

} // namespace

void Service::onUserInfo(Request& request, wire::Reader& reader)
{
    int32_t user = reader.i32();
    if (!complete(request, reader))
        return;
    auto account = accountOrNotFound(request, user);
    if (!account)
        return;
    Block record(kUserInfoLayout);
    record.i32(0, account->user).text(4, 22, account->login).text(26, 32, account->nickname);
    record.ch(58, account->gender).u8(59, account->age).text(60, 11, account->area).text(71, 21, account->job);
    record.text(92, 51, account->hobby).text(143, 15, account->tel).text(158, 101, account->email);
    record.text(259, 256, account->intro);
    wire::Writer writer = reply(request);
    writer.bytes(record.bytes());
    answer(request, writer);
}

void Service::onAvatarInfo(Request& request, wire::Reader& reader)
{
    int32_t user = reader.i32();
    if (!complete(request, reader))
        return;
    auto account = m_store.accountByUser(user);
    if (!account || !account->hasAvatar) {
        answer(request, NotFound);
        return;
    }
    std::vector<WornItem> worn;
    for (const OwnedItem& item : m_store.items(user)) {
        if (item.worn && item.category != 1 && worn.size() < kMaxWornItems)
            worn.push_back({item.category, item.number, item.texture});
    }
    Block head(kAvatarHeadLayout);
    head.text(0, 32, account->nickname).ch(32, account->gender).ch(33, account->face).ch(34, '0');
    head.u8(35, static_cast<uint8_t>(worn.size()));
    wire::Writer writer = reply(request);
    writer.bytes(head.bytes()).u8(static_cast<uint8_t>(worn.size()));
    for (const WornItem& item : worn)
        writer.bytes(makeWornItem(item).bytes());
    answer(request, writer);
}

void Service::onUserLocation(Request& request, wire::Reader& reader)
{
    int32_t user = reader.i32();
    if (!complete(request, reader))
        return;
    Member* member = online(user);
    if (!member) {
        answer(request, Offline);
        return;
    }
    wire::Writer writer = reply(request);
    writer.i16(member->reportedLobby).i16(member->reportedRoom);
    answer(request, writer);
}

void Service::onSendUserLocation(Request& request, wire::Reader& reader)
{
    int16_t lobby = reader.i16();
    int16_t room = reader.i16();
    if (!complete(request, reader))
        return;
    if (lobby < -1 || lobby >= kLobbyCount) {
        answer(request, BadRequest);
        return;
    }
    request.member->reportedLobby = lobby;
    request.member->reportedRoom = lobby < 0 ? -1 : room;
    answer(request, Ok);
}

void Service::onSendMyAvatar(Request& request, wire::Reader& reader)
{
    Member& self = *request.member;
    reader.i16(); // the lobby: the sender's own place decides
    int32_t target = reader.i32();
    char first = reader.ch();
    uint8_t state = reader.u8();
    float ground[2] = {reader.f32(), reader.f32()};
    float position[3] = {reader.f32(), reader.f32(), reader.f32()};
    char second = reader.ch();
    char fifth = reader.ch();
    char sixth = reader.ch();
    uint8_t count = reader.u8();
    std::vector<WornItem> items;
    for (uint8_t i = 0; i < count && reader.ok(); ++i) {
        uint8_t item[8];
        reader.bytesInto(item, sizeof item);
        items.push_back(readWornItem(item));
    }
    if (!complete(request, reader))
        return;
    if (count > kMaxWornItems) {
        answer(request, BadRequest);
        return;
    }
    answer(request, Ok);
    Member* other = online(target);
    // The target may have left meanwhile: then there is nobody to tell.
    if (!other || other->lobby != self.lobby || other->room != self.room || self.lobby < 0)
        return;
    self.state = state;
    std::copy(position, position + 3, self.position);
    Block head(kAvatarEventHeadLayout);
    head.i32(0, self.user).text(4, 21, self.login).text(25, 31, self.nickname);
    head.ch(56, first).ch(57, second).ch(58, self.letters[2]).ch(59, self.letters[3]);
    head.f32(60, ground[0]).f32(64, ground[1]).u8(68, state);
    head.f32(69, position[0]).f32(73, position[1]).f32(77, position[2]).ch(82, fifth).ch(83, sixth);
    items = ownedOnly(self, items);
    wire::Writer event(PlaceEvent);
    event.u8(EvAvatarInfo).bytes(head.bytes()).u8(static_cast<uint8_t>(items.size()));
    for (const WornItem& item : items)
        event.bytes(makeWornItem(item).bytes());
    m_server->send(other->connection, event.finish());
}

void Service::onFaceSet(Request& request, wire::Reader& reader)
{
    reader.i16();
    uint8_t face = reader.u8();
    if (!complete(request, reader))
        return;
    Member& self = *request.member;
    self.face = static_cast<char>(face);
    self.letters[1] = static_cast<char>(face);
    auto stored = std::make_shared<Change>(Change::Failed);
    write(
        request,
        [stored, user = self.user, face](Store& store) { *stored = store.setFace(user, static_cast<char>(face)); },
        [this, stored](Request* done) {
            if (done)
                answer(*done, statusOf(*stored, Refused));
        });
    if (Room* room = placeOf(self)) {
        Block block(*placeEventLayout(EvFace));
        block.i32(0, self.user).u8(4, face);
        toPlace(*room, placeEvent(EvFace, block), self.user);
    }
}

void Service::onAvatarCreate(Request& request, wire::Reader& reader)
{
    char gender = reader.ch();
    reader.ch();
    reader.ch();
    std::string codes[7];
    for (std::string& code : codes)
        code = reader.text(kItemCodeWidth);
    if (!complete(request, reader))
        return;
    if (gender != 'M' && gender != 'F') {
        answer(request, BadRequest);
        return;
    }
    // hair, face, upper, lower, footwear, hand item, hair item: the face is derived from the hair,
    // never owned; every other part must be one the catalogue gives a new avatar of that gender.
    std::vector<OwnedItem> items;
    for (int category = 0; category < 7; ++category) {
        int number = parseNumber(codes[category]);
        if (number < 0 || (category == 1 && number != 0)) {
            answer(request, BadRequest);
            return;
        }
        if (number == 0)
            continue;
        if (!m_catalogue.isFreeStartingItem(gender, category, number)) {
            logWarning("%s (user %d) asked for item %d-%03d, which no new avatar gets", request.member->login.c_str(),
                       request.member->user, category, number);
            answer(request, Refused);
            return;
        }
        items.push_back({"", gender, category, number, 0, true});
    }
    auto made = std::make_shared<Change>(Change::Failed);
    int32_t user = request.member->user;
    write(
        request, [made, user, gender, items](Store& store) { *made = store.createAvatar(user, gender, items); },
        [this, made, user, gender, items](Request* done) {
            Member* member = online(user);
            if (*made == Change::Done && member) {
                member->gender = gender;
                member->letters[0] = gender;
                for (const OwnedItem& item : items)
                    member->owned.insert({item.gender, item.category, item.number});
            }
            if (done)
                answer(*done, statusOf(*made, AlreadyExists));
        });
}

void Service::onSetOwnNickname(Request& request, wire::Reader& reader)
{
    std::string nickname = reader.text(kNicknameWidth);
    if (!complete(request, reader))
        return;
    if (nickname.empty() || nickname.find_first_not_of(' ') == std::string::npos) {
        answer(request, BadRequest);
        return;
    }
    if (nickname == request.member->nickname) {
        answer(request, Ok);
        return;
    }
    auto renamed = std::make_shared<Change>(Change::Failed);
    int32_t user = request.member->user;
    write(
        request, [renamed, user, nickname](Store& store) { *renamed = store.setNickname(user, nickname); },
        [this, renamed, user, nickname](Request* done) {
            Member* member = online(user);
            if (*renamed == Change::Done && member)
                member->nickname = nickname;
            if (done)
                answer(*done, statusOf(*renamed, AlreadyExists));
        });
}

void Service::onAnnounceNickname(Request& request, wire::Reader& reader)
{
    reader.i16();
    reader.text(kNicknameWidth); // the stored nickname is announced, never a claimed one
    if (!complete(request, reader))
        return;
    answer(request, Ok);
    Member& self = *request.member;
    if (Room* room = placeOf(self)) {
        Block block(*placeEventLayout(EvNickname));
        block.i32(0, self.user).text(4, 32, self.nickname);
        toPlace(*room, placeEvent(EvNickname, block));
    }
}

void Service::onSetIntro(Request& request, wire::Reader& reader)
{
    std::string intro = reader.text(kIntroWidth);
    if (!complete(request, reader))
        return;
    auto stored = std::make_shared<Change>(Change::Failed);
    write(
        request, [stored, user = request.member->user, intro](Store& store) { *stored = store.setIntro(user, intro); },
        [this, stored](Request* done) {
            if (done)
                answer(*done, statusOf(*stored, Refused));
        });
}

void Service::onUploadImage(Request& request, wire::Reader& reader)
{
    std::string login = reader.text(kIdWidth);
    uint32_t total = reader.u32();
    uint32_t offset = reader.u32();
    uint16_t count = reader.u16();
    std::vector<uint8_t> bytes = reader.bytes(count);
    if (!complete(request, reader))
        return;
    Session& session = request.session;
    if (login != request.member->login || total == 0 || total > kImageLimit ||
        count > total - std::min(total, offset)) {
        session.upload.clear();
        answer(request, BadRequest);
        return;
    }
    if (offset == 0) {
        session.upload.clear();
        session.uploadTotal = total;
    }
    if (offset != session.upload.size() || total != session.uploadTotal) {
        session.upload.clear();
        answer(request, BadRequest);
        return;
    }
    session.upload.insert(session.upload.end(), bytes.begin(), bytes.end());
    if (session.upload.size() == total) {
        auto saved = std::make_shared<Change>(Change::Failed);
        write(
            request,
            [saved, login, picture = std::move(session.upload)](Store& store) {
                *saved = store.saveImage(login, picture);
            },
            [this, saved](Request* done) {
                if (done)
                    answer(*done, statusOf(*saved, Refused));
            });
        session.upload.clear();
        return;
    }
    answer(request, Ok);
}

// A member's picture as the member last uploaded it, a piece at a time: any member may see it.
void Service::onAvatarImage(Request& request, wire::Reader& reader)
{
    int32_t user = reader.i32();
    uint32_t offset = reader.u32();
    if (!complete(request, reader))
        return;
    auto account = m_store.accountByUser(user);
    auto picture = account ? m_store.image(account->login) : std::nullopt;
    if (!picture || picture->empty()) {
        answer(request, NotFound);
        return;
    }
    if (offset >= picture->size()) {
        answer(request, BadRequest);
        return;
    }
    const uint32_t total = static_cast<uint32_t>(picture->size());
    const uint16_t count = static_cast<uint16_t>(std::min<uint32_t>(kImageChunk, total - offset));
    wire::Writer writer = reply(request);
    writer.u32(total).u16(count).bytes(picture->data() + offset, count);
    answer(request, writer);
}

void Service::onSearchUser(Request& request, wire::Reader& reader)
{
    int32_t pageKey = reader.i32();
    std::string byName = reader.text(kIdWidth);
    std::string byNick = reader.text(kNicknameWidth);
    char sex = reader.ch();
    std::string area = reader.text(kAreaWidth);
    uint8_t ageFrom = reader.u8();
    uint8_t ageTo = reader.u8();
    reader.text(kSearchTextWidth);
    reader.text(kSearchTextWidth);
    reader.ch();
    if (!complete(request, reader))
        return;
    bool anyArea = area.empty() || area == "-1";
    bool anyAge = ageFrom == 0 && ageTo == 0;
    std::vector<const Member*> found;
    for (auto it = m_members.upper_bound(pageKey); it != m_members.end() && found.size() < kSearchPage; ++it) {
        const Member& member = it->second;
        if (!contains(member.login, byName) || !contains(member.nickname, byNick))
            continue;
        if ((sex == 'M' || sex == 'F') && member.gender != sex)
            continue;
        // Areas are whole codes of the shared list (protocol/AreaCodes.h), never prefixes.
        if (!anyArea && member.area != area)
            continue;
        if (!anyAge && (member.age < ageFrom || member.age > ageTo))
            continue;
        found.push_back(&member);
    }
    wire::Writer writer = reply(request);
    writer.u16(static_cast<uint16_t>(found.size()));
    for (const Member* member : found) {
        Block element(kSearchUserLayout);
        element.i32(0, member->user).text(4, 22, member->login).text(26, 32, member->nickname);
        element.ch(58, member->gender).u8(59, member->age).ch(60, 'Y').text(63, 11, member->area);
        writer.bytes(element.bytes());
    }
    answer(request, writer);
}

void Service::onPoints(Request& request, wire::Reader& reader)
{
    if (!complete(request, reader))
        return;
    auto account = m_store.accountByUser(request.member->user);
    if (!account) {
        answer(request, Refused);
        return;
    }
    wire::Writer writer = reply(request);
    writer.i32(account->points);
    answer(request, writer);
}

void Service::onBuyItem(Request& request, wire::Reader& reader)
{
    uint8_t record[11];
    reader.bytesInto(record, sizeof record);
    reader.i32(); // the balance the buyer believes in; the stored one counts
    if (!complete(request, reader))
        return;
    char gender = static_cast<char>(record[0]);
    int category = record[1] >= '0' && record[1] <= '6' ? record[1] - '0' : -1;
    int number = parseNumber(std::string(reinterpret_cast<const char*>(record + 2), 3));
    bool variant = record[6] == '1';
    if ((gender != 'M' && gender != 'F') || category < 0 || number < 0) {
        answer(request, BadRequest);
        return;
    }
    auto price = m_catalogue.price(gender, category, number, variant);
    if (!price) {
        answer(request, NotFound);
        return;
    }
    struct Outcome {
        BuyResult result = BuyResult::Failed;
        int32_t balance = 0;
    };
    auto outcome = std::make_shared<Outcome>();
    int32_t user = request.member->user;
    OwnedItem item{"", gender, category, number, variant ? 1 : 0, false};
    write(
        request,
        [outcome, user, item, cost = *price](Store& store) {
            outcome->result = store.buy(user, item, cost, outcome->balance);
        },
        [this, outcome, user, item](Request* done) {
            Member* member = online(user);
            if (outcome->result == BuyResult::Bought && member)
                member->owned.insert({item.gender, item.category, item.number});
            if (!done)
                return;
            switch (outcome->result) {
            case BuyResult::Bought: {
                wire::Writer writer = reply(*done);
                writer.i32(outcome->balance);
                answer(*done, writer);
                return;
            }
            case BuyResult::TooFewPoints: answer(*done, TooFewPoints); return;
            case BuyResult::AlreadyOwned: answer(*done, AlreadyExists); return;
            case BuyResult::Failed: answer(*done, Refused); return;
            }
        });
}

void Service::onMyItems(Request& request, wire::Reader& reader)
{
    if (!complete(request, reader))
        return;
    auto items = m_store.items(request.member->user);
    if (items.size() > 1000)
        items.resize(1000);
    wire::Writer writer = reply(request);
    writer.u16(static_cast<uint16_t>(items.size()));
    for (const OwnedItem& item : items) {
        char number[8];
        std::snprintf(number, sizeof number, "%03d", item.number % 1000);
        Block element(kMyItemLayout);
        element.text(0, 18, item.key).ch(18, item.gender).ch(19, static_cast<char>('0' + item.category));
        element.text(20, 4, number).text(24, 3, item.texture ? "10" : "00").u8(27, 1).ch(28, item.worn ? 'Y' : 'N');
        writer.bytes(element.bytes());
    }
    answer(request, writer);
}

void Service::onWearItem(Request& request, wire::Reader& reader)
{
    uint8_t key[kItemKeyWidth];
    reader.bytesInto(key, sizeof key);
    char wear = reader.ch();
    if (!complete(request, reader))
        return;
    std::string text(reinterpret_cast<const char*>(key), sizeof key);
    text = text.substr(0, text.find('\0'));
    if (wear != 'Y' && wear != 'N') {
        answer(request, BadRequest);
        return;
    }
    auto worn = std::make_shared<Change>(Change::Failed);
    write(
        request,
        [worn, user = request.member->user, text, wear](Store& store) {
            *worn = store.setWorn(user, text, wear == 'Y');
        },
        [this, worn](Request* done) {
            if (done)
                answer(*done, statusOf(*worn, NotFound));
        });
}

void Service::onAnnounceItemChange(Request& request, wire::Reader& reader)
{
    reader.i32(); // the sender is the member of this connection, whatever number it names
    char gender = reader.ch();
    uint8_t category = reader.u8();
    std::string number = reader.text(kItemCodeWidth);
    std::string texture = reader.text(3);
    char wear = reader.ch();
    if (!complete(request, reader))
        return;
    if (category > 6 || (wear != 'Y' && wear != 'N')) {
        answer(request, BadRequest);
        return;
    }
    Member& self = *request.member;
    int itemNumber = std::max(0, parseNumber(number));
    // Putting on is relayed only for what the member owns (as bought or given at creation).
    if (wear == 'Y' && (gender != self.gender || !owns(self, {category, itemNumber, 0}))) {
        answer(request, NotFound);
        return;
    }
    // Keep the worn list of the place current for members who come later.
    std::erase_if(self.worn, [&](const WornItem& item) { return item.category == category; });
    if (wear == 'Y' && self.worn.size() < kMaxWornItems)
        self.worn.push_back({category, itemNumber, texture == "1" ? 1 : 0});
    answer(request, Ok);
    if (Room* room = placeOf(self)) {
        Block block(*placeEventLayout(EvItemChange));
        block.i32(0, self.user).ch(4, gender).ch(5, static_cast<char>('0' + category)).text(6, 4, number);
        block.text(10, 3, texture).ch(13, wear);
        toPlace(*room, placeEvent(EvItemChange, block));
    }
}

void Service::onListFriends(Request& request, wire::Reader& reader)
{
    int32_t after = reader.i32();
    if (!complete(request, reader))
        return;
    std::vector<Account> page;
    for (int32_t user : m_store.friendsOf(request.member->user)) {
        if (user <= after)
            continue;
        if (auto account = m_store.accountByUser(user))
            page.push_back(*account);
        if (page.size() == kFriendPage)
            break;
    }
    wire::Writer writer = reply(request);
    writer.u16(static_cast<uint16_t>(page.size()));
    for (const Account& account : page) {
        Block element(kFriendLayout);
        element.i32(0, account.user).text(4, 22, account.login).text(26, 32, account.nickname);
        element.ch(58, online(account.user) ? 'Y' : 'N').ch(59, account.gender);
        writer.bytes(element.bytes());
    }
    answer(request, writer);
}

void Service::onAddFriend(Request& request, wire::Reader& reader)
{
    int32_t user = reader.i32();
    if (!complete(request, reader))
        return;
    auto account = accountOrNotFound(request, user);
    if (!account)
        return;
    if (user == request.member->user) {
        answer(request, Refused);
        return;
    }
    auto added = std::make_shared<Change>(Change::Failed);
    write(
        request, [added, self = request.member->user, user](Store& store) { *added = store.addFriend(self, user); },
        [this, added, friendAccount = *account](Request* done) {
            if (!done)
                return;
            if (*added != Change::Done) {
                answer(*done, statusOf(*added, AlreadyExists));
                return;
            }
            Block record(kFriendLayout);
            record.i32(0, friendAccount.user).text(4, 22, friendAccount.login).text(26, 32, friendAccount.nickname);
            record.ch(58, online(friendAccount.user) ? 'Y' : 'N').ch(59, friendAccount.gender);
            wire::Writer writer = reply(*done);
            writer.bytes(record.bytes());
            answer(*done, writer);
        });
}

void Service::onDeleteFriend(Request& request, wire::Reader& reader)
{
    int32_t user = reader.i32();
    if (!complete(request, reader))
        return;
    auto removed = std::make_shared<Change>(Change::Failed);
    write(
        request,
        [removed, self = request.member->user, user](Store& store) { *removed = store.deleteFriend(self, user); },
        [this, removed](Request* done) {
            if (done)
                answer(*done, statusOf(*removed, NotFound));
        });
}

void Service::onInstantMessage(Request& request, wire::Reader& reader)
{
    std::string login = reader.text(kIdWidth);
    std::string text = reader.text(kMessageWidth);
    if (!complete(request, reader))
        return;
    Member* target = nullptr;
    for (auto& [user, member] : m_members) {
        if (member.login == login) {
            target = &member;
            break;
        }
    }
    Member& self = *request.member;
    if (!self.messages.take(nowMs())) {
        // Not delivered: the sender's window for that partner (found by nickname) says so.
        answer(request, TryLater);
        Block failed(*messageEventLayout(MsgNotDelivered));
        failed.i16(0, TryLater).text(2, 22, target ? target->nickname : login).text(24, 256, text);
        m_server->send(self.connection, messageEvent(MsgNotDelivered, failed));
        tellTooFast(self, false);
        return;
    }
    if (!target) {
        answer(request, Offline);
        return;
    }
    Block block(*messageEventLayout(MsgReceived));
    block.i32(0, self.user).text(4, 22, self.login).text(26, 32, self.nickname).text(58, 256, text);
    m_server->send(target->connection, messageEvent(MsgReceived, block));
    answer(request, Ok);
}

} // namespace yonda::service
