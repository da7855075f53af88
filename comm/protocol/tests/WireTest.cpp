#include <gtest/gtest.h>

#include "protocol/Wire.h"

using namespace yonda::wire;

TEST(Wire, WriterFramesWithBigEndianLengthAndLittleEndianFields)
{
    Writer writer(0x33);
    writer.i16(-2).u32(0x01020304).text("ab", 22);
    auto frame = writer.finish();
    std::vector<uint8_t> expected = {0, 0x33, 0, 14, 0xFE, 0xFF, 4, 3, 2, 1, 2, 0, 'a', 'b'};
    EXPECT_EQ(frame, expected);
    Reader reader(frame.data() + kHeaderSize, frame.size() - kHeaderSize);
    EXPECT_EQ(reader.i16(), -2);
    EXPECT_EQ(reader.u32(), 0x01020304u);
    EXPECT_EQ(reader.text(22), "ab");
    EXPECT_TRUE(reader.done());
}

TEST(Wire, TextsAreCutToTheirFieldAndAtAZero)
{
    Writer writer(1);
    writer.text(std::string("abcdef"), 4).text(std::string("x\0y", 3), 10);
    auto frame = writer.finish();
    Reader reader(frame.data() + kHeaderSize, frame.size() - kHeaderSize);
    EXPECT_EQ(reader.text(4), "abc");
    EXPECT_EQ(reader.text(10), "x");
    EXPECT_TRUE(reader.done());
}

TEST(Wire, ReaderRefusesWhatDoesNotFit)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        size_t width;
    };
    const Case cases[] = {
        {"length beyond the payload", {5, 0, 'a', 'b'}, 22},
        {"text as long as its field", {3, 0, 'a', 'b', 'c'}, 3},
        {"zero inside a text", {3, 0, 'a', 0, 'c'}, 22},
        {"no length at all", {1}, 22},
    };
    for (const Case& c : cases) {
        Reader reader(c.bytes);
        EXPECT_EQ(reader.text(c.width), "") << c.name;
        EXPECT_FALSE(reader.ok()) << c.name;
        EXPECT_EQ(reader.u32(), 0u) << c.name; // stays failed, reads nothing more
    }
    std::vector<uint8_t> three = {1, 2, 3};
    Reader reader(three);
    reader.u16();
    EXPECT_TRUE(reader.ok());
    reader.u16();
    EXPECT_FALSE(reader.ok());
}

TEST(Wire, ReaderReportsLeftOverBytes)
{
    std::vector<uint8_t> bytes = {1, 2, 3};
    Reader reader(bytes);
    reader.u16();
    EXPECT_TRUE(reader.ok());
    EXPECT_FALSE(reader.done());
}

TEST(Wire, WriterRefusesFramesBeyondTheLimit)
{
    Writer writer(1);
    std::vector<uint8_t> big(kMaxFrameSize, 7);
    writer.bytes(big);
    EXPECT_TRUE(writer.finish().empty());
}

TEST(Wire, AssemblerCutsAStreamGivenByteByByte)
{
    Writer first(0x40);
    first.u32(9);
    Writer second(0x07);
    auto a = first.finish();
    auto b = second.finish();
    std::vector<uint8_t> stream = a;
    stream.insert(stream.end(), b.begin(), b.end());
    FrameAssembler assembler;
    std::vector<std::vector<uint8_t>> frames;
    for (uint8_t byte : stream) {
        assembler.append(&byte, 1);
        while (auto frame = assembler.next())
            frames.push_back(*frame);
    }
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], a);
    EXPECT_EQ(frames[1], b);
    EXPECT_EQ(assembler.pending(), 0u);
    EXPECT_FALSE(assembler.failed());
}

TEST(Wire, AssemblerFailsOnHeadersThatCannotStartAFrame)
{
    const std::vector<uint8_t> bad[] = {
        {1, 7, 0, 4},       // first byte not zero
        {0, 7, 0, 3},       // shorter than its own header
        {0, 7, 0xFF, 0xFF}, // longer than this assembler accepts
    };
    for (const auto& bytes : bad) {
        FrameAssembler assembler(1024);
        assembler.append(bytes.data(), bytes.size());
        EXPECT_FALSE(assembler.next());
        EXPECT_TRUE(assembler.failed());
    }
}

TEST(Wire, ProbeRequestIsTheFourKnownBytes)
{
    auto frame = Writer(7).finish();
    EXPECT_EQ(frame, (std::vector<uint8_t>{0, 7, 0, 4}));
    auto header = parseHeader(frame.data(), frame.size());
    ASSERT_TRUE(header);
    EXPECT_EQ(header->command, 7);
    EXPECT_EQ(header->totalLength, 4);
}
