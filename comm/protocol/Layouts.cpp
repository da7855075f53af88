#include "Layouts.h"

#include <cstring>

namespace yonda::proto {

namespace {

constexpr TextField kUserHeadTexts[] = {{4, 22}, {26, 32}};
constexpr TextField kUserInfoTexts[] = {{4, 22},  {26, 32},  {60, 11},   {71, 21},
                                        {92, 51}, {143, 15}, {158, 101}, {259, 256}};
constexpr TextField kSearchUserTexts[] = {{4, 22}, {26, 32}, {63, 11}};
constexpr TextField kRoomTexts[] = {{4, 51}, {55, 31}};
constexpr TextField kRoomListTexts[] = {{4, 51}, {55, 31}, {90, 32}};
constexpr TextField kRoomOpenTexts[] = {{2, 50}, {52, 30}, {83, 13}};
constexpr TextField kMyItemTexts[] = {{0, 18}};
constexpr TextField kAvatarHeadTexts[] = {{0, 32}};
constexpr TextField kEnteredHeadTexts[] = {{12, 22}, {34, 32}};
constexpr TextField kAvatarEventHeadTexts[] = {{4, 21}, {25, 31}};

constexpr TextField kRoomNameTexts[] = {{0, 51}, {51, 51}};
constexpr TextField kRoomSubjectTexts[] = {{0, 31}, {31, 31}};
constexpr TextField kRoomPasswordTexts[] = {{0, 13}};
constexpr TextField kChatTexts[] = {{6, 256}};
constexpr TextField kChatNoticeTexts[] = {{4, 22}, {26, 256}};
constexpr TextField kItemChangeTexts[] = {{6, 4}, {10, 3}};
constexpr TextField kGameTexts[] = {{7, 256}};
constexpr TextField kNicknameTexts[] = {{4, 32}};
constexpr TextField kReceivedTexts[] = {{4, 22}, {26, 32}, {58, 256}};
constexpr TextField kNotDeliveredTexts[] = {{2, 22}, {24, 256}};

constexpr Layout kRoomNameLayout{"room name", 102, kRoomNameTexts};
constexpr Layout kRoomSubjectLayout{"room subject", 62, kRoomSubjectTexts};
constexpr Layout kRoomLimitLayout{"room limit", 2, {}};
constexpr Layout kRoomPasswordLayout{"room password", 13, kRoomPasswordTexts};
constexpr Layout kHostLayout{"host changed", 8, {}};
constexpr Layout kUserOnlyLayout{"user", 4, {}};
constexpr Layout kChatLayout{"chat", 262, kChatTexts};
constexpr Layout kChatNoticeLayout{"chat notice", 282, kChatNoticeTexts};
constexpr Layout kMoveLayout{"move", 32, {}};
constexpr Layout kSitLayout{"sit", 68, {}};
constexpr Layout kItemChangeLayout{"item change", 14, kItemChangeTexts};
constexpr Layout kGameLayout{"game", 263, kGameTexts};
constexpr Layout kFaceLayout{"face", 5, {}};
constexpr Layout kNicknameLayout{"nickname", 36, kNicknameTexts};

constexpr Layout kReceivedLayout{"message", 314, kReceivedTexts};
constexpr Layout kFriendStateLayout{"friend state", 5, {}};
constexpr Layout kNotDeliveredLayout{"not delivered", 280, kNotDeliveredTexts};

} // namespace

const Layout kUserInfoLayout{"user info", 515, kUserInfoTexts};
const Layout kFriendLayout{"friend", 60, kUserHeadTexts};
const Layout kRoomUserLayout{"room user", 61, kUserHeadTexts};
const Layout kSearchUserLayout{"search user", 74, kSearchUserTexts};
const Layout kRoomLayout{"room", 90, kRoomTexts};
const Layout kRoomListLayout{"room list", 122, kRoomListTexts};
const Layout kRoomOpenLayout{"room open", 96, kRoomOpenTexts};
const Layout kItemBuyLayout{"item buy", 11, {}};
const Layout kMyItemLayout{"my item", 29, kMyItemTexts};
const Layout kAvatarHeadLayout{"avatar head", 36, kAvatarHeadTexts};
const Layout kWornItemLayout{"worn item", 8, {}};
const Layout kEnteredHeadLayout{"entered", 72, kEnteredHeadTexts};
const Layout kAvatarEventHeadLayout{"avatar info", 84, kAvatarEventHeadTexts};

const Layout* placeEventLayout(uint8_t type)
{
    switch (type) {
    case EvRoomName: return &kRoomNameLayout;
    case EvRoomSubject: return &kRoomSubjectLayout;
    case EvRoomLimit: return &kRoomLimitLayout;
    case EvRoomPassword: return &kRoomPasswordLayout;
    case EvHostChanged: return &kHostLayout;
    case EvKicked:
    case EvLeft:
    case EvStand: return &kUserOnlyLayout;
    case EvChat: return &kChatLayout;
    case EvChatNotice: return &kChatNoticeLayout;
    case EvMoveStart:
    case EvPlace: return &kMoveLayout;
    case EvSit: return &kSitLayout;
    case EvItemChange: return &kItemChangeLayout;
    case EvGame: return &kGameLayout;
    case EvFace: return &kFaceLayout;
    case EvNickname: return &kNicknameLayout;
    default: return nullptr;
    }
}

const Layout* messageEventLayout(uint8_t type)
{
    switch (type) {
    case MsgReceived: return &kReceivedLayout;
    case MsgFriendState: return &kFriendStateLayout;
    case MsgNotDelivered: return &kNotDeliveredLayout;
    default: return nullptr;
    }
}

void terminateTexts(uint8_t* block, const Layout& layout)
{
    for (const TextField& field : layout.texts) {
        if (field.width > 0 && field.offset + field.width <= layout.size)
            block[field.offset + field.width - 1] = 0;
    }
}

Block& Block::u8(size_t offset, uint8_t value)
{
    if (offset < m_bytes.size())
        m_bytes[offset] = value;
    return *this;
}

Block& Block::raw(size_t offset, const uint8_t* data, size_t count)
{
    if (offset <= m_bytes.size() && count <= m_bytes.size() - offset)
        std::memcpy(m_bytes.data() + offset, data, count);
    return *this;
}

Block& Block::i16(size_t offset, int16_t value)
{
    uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(static_cast<uint16_t>(value) >> 8)};
    return raw(offset, bytes, 2);
}

Block& Block::i32(size_t offset, int32_t value)
{
    uint32_t v = static_cast<uint32_t>(value);
    uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
    return raw(offset, bytes, 4);
}

Block& Block::f32(size_t offset, float value)
{
    int32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return i32(offset, bits);
}

Block& Block::text(size_t offset, size_t width, std::string_view value)
{
    if (width == 0 || offset > m_bytes.size() || width > m_bytes.size() - offset)
        return *this;
    size_t zero = value.find('\0');
    if (zero != std::string_view::npos)
        value = value.substr(0, zero);
    size_t count = value.size() < width - 1 ? value.size() : width - 1;
    std::memset(m_bytes.data() + offset, 0, width);
    std::memcpy(m_bytes.data() + offset, value.data(), count);
    return *this;
}

uint8_t Block::getU8(size_t offset) const
{
    return offset < m_bytes.size() ? m_bytes[offset] : 0;
}

int16_t Block::getI16(size_t offset) const
{
    return static_cast<int16_t>(getU8(offset) | (getU8(offset + 1) << 8));
}

int32_t Block::getI32(size_t offset) const
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | getU8(offset + static_cast<size_t>(i));
    return static_cast<int32_t>(v);
}

float Block::getF32(size_t offset) const
{
    int32_t bits = getI32(offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string Block::getText(size_t offset, size_t width) const
{
    std::string value;
    for (size_t i = 0; i < width && offset + i < m_bytes.size(); ++i) {
        char c = static_cast<char>(m_bytes[offset + i]);
        if (c == '\0')
            break;
        value.push_back(c);
    }
    return value;
}

Block makeWornItem(const WornItem& item)
{
    Block block(kWornItemLayout);
    int number = item.number < 0 ? 0 : item.number % 1000;
    block.ch(0, static_cast<char>('0' + (item.category < 0 ? 0 : item.category % 10)));
    block.ch(1, static_cast<char>('0' + number / 100));
    block.ch(2, static_cast<char>('0' + number / 10 % 10));
    block.ch(3, static_cast<char>('0' + number % 10));
    block.ch(5, static_cast<char>('0' + (item.texture ? 1 : 0)));
    return block;
}

WornItem readWornItem(const uint8_t* bytes)
{
    auto digit = [](uint8_t c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
    WornItem item;
    item.category = digit(bytes[0]);
    item.number = digit(bytes[1]) * 100 + digit(bytes[2]) * 10 + digit(bytes[3]);
    item.texture = digit(bytes[5]);
    return item;
}

} // namespace yonda::proto
