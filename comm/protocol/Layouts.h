// The records and event blocks the client reads at fixed byte offsets: their sizes, the fixed
// text fields in each (so a receiver can guarantee every text ends within its field), and a small
// block type to build and read them field by field, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yonda::proto {

struct TextField {
    uint16_t offset;
    uint16_t width;
};

struct Layout {
    const char* name;
    size_t size;
    std::span<const TextField> texts;
};

// Records answered by queries and list elements.
extern const Layout kUserInfoLayout;        // 515: the profile record
extern const Layout kFriendLayout;          // 60: friend list element and the friend registration answer
extern const Layout kRoomUserLayout;        // 61: room member element
extern const Layout kSearchUserLayout;      // 74: user search element
extern const Layout kRoomLayout;            // 90: room record (also the first element of a member list)
extern const Layout kRoomListLayout;        // 122: room list element (the room record and the host)
extern const Layout kRoomOpenLayout;        // 96: the room-making record the client fills
extern const Layout kItemBuyLayout;         // 11: the purchase record the client fills
extern const Layout kMyItemLayout;          // 29: owned item element
extern const Layout kAvatarHeadLayout;      // 36: first element of the avatar information list
extern const Layout kWornItemLayout;        // 8: a worn item text "CNNN\0T\0\0"
extern const Layout kEnteredHeadLayout;     // 72: first element of the member-entered event
extern const Layout kAvatarEventHeadLayout; // 84: first element of the avatar information event

// Place events (delivered as the community event message) and message events.
enum PlaceEventType : uint8_t {
    EvRoomName = 128,
    EvRoomSubject = 129,
    EvRoomLimit = 130,
    EvRoomPassword = 132,
    EvHostChanged = 133,
    EvKicked = 134,
    EvEntered = 135,
    EvLeft = 136,
    EvChat = 137,
    EvChatNotice = 138,
    EvAvatarInfo = 141,
    EvMoveStart = 142,
    EvSit = 144,
    EvStand = 145,
    EvItemChange = 146,
    EvGame = 147,
    EvFace = 149,
    EvNickname = 150,
    EvPlace = 159,
};
enum MessageEventType : uint8_t {
    MsgReceived = 128,
    MsgFriendState = 129,
    MsgNotDelivered = 130,
};

// The layout of a plain event block; nothing for an unknown type or for the two list events
// (entered, avatar information), which travel as a head element and worn items.
const Layout* placeEventLayout(uint8_t type);
const Layout* messageEventLayout(uint8_t type);
inline bool isListEvent(uint8_t type)
{
    return type == EvEntered || type == EvAvatarInfo;
}
inline constexpr size_t kMaxWornItems = 16;

// Makes every text field of a block end within its width (the last byte of each field becomes 0).
void terminateTexts(uint8_t* block, const Layout& layout);

// A fixed-size block built or read at byte offsets. Reads outside the block answer zero and
// writes outside are ignored, so a wrong offset can never touch other memory.
class Block {
public:
    explicit Block(const Layout& layout) : m_bytes(layout.size, 0) {}
    explicit Block(size_t size) : m_bytes(size, 0) {}
    Block(const uint8_t* data, size_t size) : m_bytes(data, data + size) {}

    Block& u8(size_t offset, uint8_t value);
    Block& ch(size_t offset, char value) { return u8(offset, static_cast<uint8_t>(value)); }
    Block& i16(size_t offset, int16_t value);
    Block& i32(size_t offset, int32_t value);
    Block& f32(size_t offset, float value);
    Block& text(size_t offset, size_t width, std::string_view value);
    Block& raw(size_t offset, const uint8_t* data, size_t count);

    uint8_t getU8(size_t offset) const;
    char getCh(size_t offset) const { return static_cast<char>(getU8(offset)); }
    int16_t getI16(size_t offset) const;
    int32_t getI32(size_t offset) const;
    float getF32(size_t offset) const;
    std::string getText(size_t offset, size_t width) const;

    const std::vector<uint8_t>& bytes() const { return m_bytes; }
    size_t size() const { return m_bytes.size(); }

private:
    std::vector<uint8_t> m_bytes;
};

// A worn item as it travels: category digit, three-digit number, zero, texture digit.
struct WornItem {
    int category = 0;
    int number = 0;
    int texture = 0;
};
Block makeWornItem(const WornItem& item);
WornItem readWornItem(const uint8_t* bytes); // 8 bytes

} // namespace yonda::proto
