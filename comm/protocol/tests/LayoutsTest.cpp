#include <gtest/gtest.h>

#include "protocol/Events.h"
#include "protocol/Layouts.h"
#include "protocol/Protocol.h"
#include "protocol/Wire.h"

using namespace yonda;
using namespace yonda::proto;

TEST(Layouts, RecordSizesAreTheOffsetsTheClientReads)
{
    struct Expect {
        const Layout* layout;
        size_t size;
    };
    const Expect table[] = {
        {&kUserInfoLayout, 515},       {&kFriendLayout, 60},  {&kRoomUserLayout, 61},
        {&kSearchUserLayout, 74},      {&kRoomLayout, 90},    {&kRoomListLayout, 122},
        {&kRoomOpenLayout, 96},        {&kItemBuyLayout, 11}, {&kMyItemLayout, 29},
        {&kAvatarHeadLayout, 36},      {&kWornItemLayout, 8}, {&kEnteredHeadLayout, 72},
        {&kAvatarEventHeadLayout, 84},
    };
    for (const Expect& e : table) {
        EXPECT_EQ(e.layout->size, e.size) << e.layout->name;
        for (const TextField& field : e.layout->texts)
            EXPECT_LE(field.offset + field.width, e.layout->size) << e.layout->name;
    }
}

TEST(Layouts, EveryEventTextEndsWithinItsBlock)
{
    for (int type = 0; type < 256; ++type) {
        for (const Layout* layout :
             {placeEventLayout(static_cast<uint8_t>(type)), messageEventLayout(static_cast<uint8_t>(type))}) {
            if (!layout)
                continue;
            for (const TextField& field : layout->texts)
                EXPECT_LE(field.offset + field.width, layout->size) << layout->name;
        }
    }
}

TEST(Layouts, BlockIgnoresWritesOutsideAndReadsZeroThere)
{
    Block block(8);
    block.i32(6, -1).text(4, 10, "too long").i32(0, 0x11223344);
    EXPECT_EQ(block.getI32(0), 0x11223344);
    EXPECT_EQ(block.getU8(6), 0);
    EXPECT_EQ(block.getI32(100), 0);
    block.text(4, 4, "abcdef");
    EXPECT_EQ(block.getText(4, 4), "abc");
    EXPECT_EQ(block.getU8(7), 0);
}

TEST(Layouts, WornItemTextReadsAsTheClientParsesIt)
{
    Block item = makeWornItem({2, 12, 1});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(item.bytes().data())), "2012");
    EXPECT_EQ(item.getCh(5), '1');
    WornItem back = readWornItem(item.bytes().data());
    EXPECT_EQ(back.category, 2);
    EXPECT_EQ(back.number, 12);
    EXPECT_EQ(back.texture, 1);
}

TEST(Events, DecodesAChatEventAndEndsItsText)
{
    Block chat(*placeEventLayout(EvChat));
    chat.i32(0, 42).u8(4, 3).u8(5, 7).text(6, 256, "hello");
    std::vector<uint8_t> bytes = chat.bytes();
    std::fill(bytes.begin() + 6 + 5, bytes.end(), 'x'); // no zero anywhere in the text field
    wire::Writer writer(PlaceEvent);
    writer.u8(EvChat).bytes(bytes);
    auto frame = writer.finish();
    auto event = decodeEvent(frame.data(), frame.size());
    ASSERT_TRUE(event);
    EXPECT_FALSE(event->message);
    EXPECT_EQ(event->type, EvChat);
    ASSERT_EQ(event->block.size(), 262u);
    EXPECT_EQ(event->block.back(), 0);
}

TEST(Events, RefusesBlocksOfTheWrongSizeAndUnknownTypes)
{
    auto frameOf = [](uint8_t command, uint8_t type, size_t size) {
        wire::Writer writer(command);
        writer.u8(type).bytes(std::vector<uint8_t>(size, 0));
        return writer.finish();
    };
    const struct {
        const char* name;
        std::vector<uint8_t> frame;
        bool good;
    } cases[] = {
        {"left, exact", frameOf(PlaceEvent, EvLeft, 4), true},
        {"left, short", frameOf(PlaceEvent, EvLeft, 3), false},
        {"left, long", frameOf(PlaceEvent, EvLeft, 5), false},
        {"unknown type", frameOf(PlaceEvent, 131, 4), false},
        {"friend state", frameOf(MessageEvent, MsgFriendState, 5), true},
        {"entered without item count", frameOf(PlaceEvent, EvEntered, 72), false},
        {"entered with no items", frameOf(PlaceEvent, EvEntered, 73), true},
        {"not an event", frameOf(Chat, EvLeft, 4), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeEvent(c.frame.data(), c.frame.size()).has_value(), c.good) << c.name;
}

TEST(Events, ListEventCarriesItsWornItems)
{
    Block head(kEnteredHeadLayout);
    head.i16(0, 1).i16(2, -1).i32(8, 5).text(12, 22, "kim");
    wire::Writer writer(PlaceEvent);
    writer.u8(EvEntered)
        .bytes(head.bytes())
        .u8(2)
        .bytes(makeWornItem({0, 1, 0}).bytes())
        .bytes(makeWornItem({3, 4, 1}).bytes());
    auto frame = writer.finish();
    auto event = decodeEvent(frame.data(), frame.size());
    ASSERT_TRUE(event);
    ASSERT_EQ(event->items.size(), 2u);
    EXPECT_EQ(readWornItem(event->items[1].data()).number, 4);
    // More items announced than sent.
    frame[wire::kHeaderSize + 1 + 72] = 3;
    EXPECT_FALSE(decodeEvent(frame.data(), frame.size()));
}
