// BMP files read by the one bitmap reader that GDI and Direct3D's textures share: every header
// kind, alpha kept only where asked for, and nothing read past the file's end.
#include "../Dib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace yonda::gdi;

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(Bytes& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The file header in front of a DIB whose rows start `offset` bytes into the file.
Bytes FileHeader(uint32_t offset)
{
    Bytes out{'B', 'M'};
    Put32(out, 0); // the file's size, not relied on
    Put32(out, 0);
    Put32(out, offset);
    return out;
}

// A 2 x 2 picture with the old 12-byte header and a table of three-byte entries.
Bytes CoreBmp()
{
    Bytes out = FileHeader(14 + 12 + 2 * 3);
    Put32(out, 12);
    Put16(out, 2);
    Put16(out, 2);
    Put16(out, 1);
    Put16(out, 1);
    for (uint8_t c : {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}) // red, blue (B, G, R)
        out.push_back(c);
    for (uint8_t row : {0x80, 0x40}) { // stored bottom row first: blue red, then red blue
        out.push_back(row);
        out.insert(out.end(), 3, 0);
    }
    return out;
}

// A 2 x 1 picture of 32 bits with a 108-byte header carrying red, green, blue and alpha masks.
Bytes AlphaBmp()
{
    Bytes out = FileHeader(14 + 108);
    Put32(out, 108);
    Put32(out, 2);
    Put32(out, 1);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, BI_BITFIELDS);
    for (int i = 0; i < 5; ++i)
        Put32(out, 0);
    Put32(out, 0x00FF0000);
    Put32(out, 0x0000FF00);
    Put32(out, 0x000000FF);
    Put32(out, 0xFF000000);
    while (out.size() < 14 + 108)
        out.push_back(0);
    Put32(out, 0x80112233);
    Put32(out, 0x00445566);
    return out;
}

std::vector<uint32_t> Pixels(const Bytes& file)
{
    DibFormat format;
    const uint8_t* bits = nullptr;
    if (!ReadBmpFile(file.data(), file.size(), format, &bits))
        return {};
    std::vector<uint32_t> argb(size_t(format.width) * size_t(format.height));
    DecodeDibPixels(format, bits, argb.data());
    return argb;
}

} // namespace

TEST(DibFile, TheCoreHeaderReadsWithItsThreeByteTable)
{
    EXPECT_EQ(Pixels(CoreBmp()), (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFFFF0000}));
}

TEST(DibFile, AlphaIsKeptForTexturesAndDroppedForGdi)
{
    const Bytes file = AlphaBmp();
    EXPECT_EQ(Pixels(file), (std::vector<uint32_t>{0x80112233, 0x00445566}));
    DibFormat format;
    const uint8_t* bits = nullptr;
    ASSERT_TRUE(ReadBmpFile(file.data(), file.size(), format, &bits));
    Surface surface(2, 1);
    DecodeDibRows(format, bits, 0, 1, surface);
    EXPECT_EQ(surface.Row(0)[0], 0xFF112233u);
    EXPECT_EQ(surface.Row(0)[1], 0xFF445566u);
}

TEST(DibFile, NothingIsReadPastTheEndOfTheFile)
{
    const Bytes core = CoreBmp();
    // Cut inside the rows, the table and the header: each is refused.
    for (size_t size : {core.size() - 1, size_t(14 + 12 + 4), size_t(14 + 8), size_t(10)}) {
        DibFormat format;
        const uint8_t* bits = nullptr;
        EXPECT_FALSE(ReadBmpFile(core.data(), size, format, &bits)) << size;
    }
    // A table that says it has more colours than the file holds.
    Bytes palette = FileHeader(14 + 40 + 8);
    Put32(palette, 40);
    Put32(palette, 1);
    Put32(palette, 1);
    Put16(palette, 1);
    Put16(palette, 8);
    for (int i = 0; i < 4; ++i)
        Put32(palette, 0);
    Put32(palette, 200); // colours used
    Put32(palette, 0);
    Put32(palette, 0x00FF0000);
    Put32(palette, 0x0000FF00);
    Put32(palette, 0); // the single row
    DibFormat format;
    const uint8_t* bits = nullptr;
    EXPECT_FALSE(ReadBmpFile(palette.data(), palette.size(), format, &bits));
    // Rows said to start past the end.
    Bytes late = AlphaBmp();
    late[10] = 0xF0;
    EXPECT_FALSE(ReadBmpFile(late.data(), late.size(), format, &bits));
    // Not a bitmap at all.
    Bytes other = AlphaBmp();
    other[0] = 'X';
    EXPECT_FALSE(ReadBmpFile(other.data(), other.size(), format, &bits));
}
