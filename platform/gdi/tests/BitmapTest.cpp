#include "GdiTestUtil.h"

#include "../Surface.h"

#include <cstring>
#include <vector>

namespace {

// A BITMAPINFO with room for a 256-entry colour table.
struct Info {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256]{};
    BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
};

Info MakeInfo(int width, int height, int bits)
{
    Info info;
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bits);
    info.header.biCompression = BI_RGB;
    return info;
}

TEST(CreateDIBitmap, TwentyFourBitBottomUpRowsWithPadding)
{
    MemDC screen(1, 1);
    Info info = MakeInfo(3, 2, 24);
    // Bottom row first: blue, green, red; then the top row: white, black, grey. 9 bytes + 3 padding.
    const BYTE bits[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};
    HBITMAP bitmap = CreateDIBitmap(screen.dc, &info.header, CBM_INIT, bits, info.Get(), DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(screen.dc);
    SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(255, 0, 0));
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(CreateDIBitmap, PalettedPicturesReadTheirColourTable)
{
    MemDC screen(1, 1);
    Info info = MakeInfo(4, 1, 4);
    info.header.biClrUsed = 2;
    info.colors[0] = RGBQUAD{0, 0, 255, 0}; // red
    info.colors[1] = RGBQUAD{255, 0, 0, 0}; // blue
    const BYTE bits[] = {0x01, 0x05, 0, 0}; // indices 0, 1, 0, 5 (beyond the table: black)
    HBITMAP bitmap = CreateDIBitmap(screen.dc, &info.header, CBM_INIT, bits, info.Get(), DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(screen.dc);
    SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 2, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 0), RGB(0, 0, 0));
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST(CreateDIBitmap, RejectsBadHeaders)
{
    MemDC screen(1, 1);
    const BYTE bits[64] = {};
    for (auto mutate : std::vector<void (*)(Info&)>{
             [](Info& i) { i.header.biSize = 12; },
             [](Info& i) { i.header.biBitCount = 7; },
             [](Info& i) { i.header.biCompression = BI_RLE8; },
             [](Info& i) { i.header.biWidth = -4; },
             [](Info& i) { i.header.biWidth = 100000; },
             [](Info& i) { i.header.biHeight = 0; },
         }) {
        Info info = MakeInfo(2, 2, 24);
        mutate(info);
        EXPECT_EQ(CreateDIBitmap(screen.dc, &info.header, CBM_INIT, bits, info.Get(), DIB_RGB_COLORS), nullptr);
    }
    Info info = MakeInfo(2, 2, 24);
    EXPECT_EQ(CreateDIBitmap(screen.dc, &info.header, CBM_INIT, nullptr, info.Get(), DIB_RGB_COLORS), nullptr);
}

TEST(GetDIBits, RoundTripsThroughThirtyTwoAndOneBit)
{
    MemDC mem(3, 2);
    mem.Fill(kWhite);
    SetPixel(mem.dc, 0, 0, RGB(10, 20, 30));
    SetPixel(mem.dc, 2, 1, kBlack);
    SelectObject(mem.dc, mem.old); // bitmaps are read out of any DC

    Info info = MakeInfo(0, 0, 0);
    ASSERT_NE(GetDIBits(mem.dc, mem.bitmap, 0, 0, nullptr, info.Get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.header.biWidth, 3);
    EXPECT_EQ(info.header.biHeight, 2);
    EXPECT_EQ(info.header.biBitCount, 32);

    info = MakeInfo(3, -2, 32); // top-down
    std::vector<BYTE> bits(3 * 4 * 2);
    ASSERT_EQ(GetDIBits(mem.dc, mem.bitmap, 0, 2, bits.data(), info.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits[0], 30);
    EXPECT_EQ(bits[1], 20);
    EXPECT_EQ(bits[2], 10);
    EXPECT_EQ(bits[3], 0);
    EXPECT_EQ(bits[4 * 5], 0); // (2, 1) black

    Info mono = MakeInfo(3, 2, 1);
    std::vector<BYTE> monoBits(8);
    ASSERT_EQ(GetDIBits(mem.dc, mem.bitmap, 0, 2, monoBits.data(), mono.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(monoBits[0], 0xC0); // bottom row: white, white, black
    EXPECT_EQ(monoBits[4], 0x60); // top row: (10, 20, 30) is nearer black than white
    SelectObject(mem.dc, mem.bitmap);
}

TEST(SetDIBits, WritesRowsIntoAMonochromeBitmap)
{
    HBITMAP mask = CreateBitmap(8, 1, 1, 1, nullptr);
    Info info = MakeInfo(8, 1, 1);
    info.colors[0] = RGBQUAD{0, 0, 0, 0};
    info.colors[1] = RGBQUAD{255, 255, 255, 0};
    const BYTE bits[4] = {0xA5, 0, 0, 0};
    ASSERT_EQ(SetDIBits(nullptr, mask, 0, 1, bits, info.Get(), DIB_RGB_COLORS), 1);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, mask);
    std::string got;
    for (int x = 0; x < 8; ++x)
        got += GetPixel(dc, x, 0) == kWhite ? '1' : '0';
    EXPECT_EQ(got, "10100101");
    DeleteDC(dc);
    DeleteObject(mask);
}

TEST(CreateDIBSection, SharesItsBitsWithDrawing)
{
    Info info = MakeInfo(2, 2, 32); // bottom-up: the first row in memory is the bottom one
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, section);
    SetPixel(dc, 1, 1, RGB(1, 2, 3)); // bottom-right
    const auto* px = static_cast<const uint32_t*>(bits);
    EXPECT_EQ(px[1] & 0xFFFFFF, 0x010203u);
    DIBSECTION ds{};
    ASSERT_EQ(GetObject(section, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBmih.biHeight, 2);
    DeleteDC(dc);
    DeleteObject(section);

    Info eight = MakeInfo(2, 2, 8);
    EXPECT_EQ(CreateDIBSection(nullptr, eight.Get(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
}

// The fourth byte of a 32-bit DIB section is data to the raster operations: copies keep it,
// the operations combine it bit by bit, GDI colours put 0 there, and GetDIBits hands it back.
// Device bitmaps stay opaque whatever they are given.
TEST(CreateDIBSection, RasterOperationsKeepTheFourthByte)
{
    Info info = MakeInfo(2, 1, 32);
    void* sourceBits = nullptr;
    void* targetBits = nullptr;
    HBITMAP source = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &sourceBits, nullptr, 0);
    HBITMAP target = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &targetBits, nullptr, 0);
    ASSERT_TRUE(source && target);
    auto* in = static_cast<uint32_t*>(sourceBits);
    auto* out = static_cast<uint32_t*>(targetBits);
    in[0] = 0x80112233u;
    in[1] = 0x01000000u;
    HDC from = CreateCompatibleDC(nullptr);
    HDC to = CreateCompatibleDC(nullptr);
    SelectObject(from, source);
    SelectObject(to, target);
    ASSERT_TRUE(BitBlt(to, 0, 0, 2, 1, from, 0, 0, SRCCOPY));
    EXPECT_EQ(out[0], 0x80112233u);
    EXPECT_EQ(out[1], 0x01000000u);
    ASSERT_TRUE(BitBlt(to, 0, 0, 2, 1, from, 1, 0, SRCINVERT)); // XOR with 0x01000000
    EXPECT_EQ(out[0], 0x81112233u);
    ASSERT_TRUE(PatBlt(to, 1, 0, 1, 1, DSTINVERT));
    EXPECT_EQ(out[1], 0xFEFFFFFFu);
    ASSERT_TRUE(StretchBlt(to, 0, 0, 2, 1, from, 0, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(out[1], 0x80112233u);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    RECT left{0, 0, 1, 1};
    FillRect(to, &left, brush);
    EXPECT_EQ(out[0], 0x00010203u) << "a GDI colour has no fourth byte";
    DeleteObject(brush);

    Info readBack = MakeInfo(2, 1, 32);
    uint32_t read[2] = {};
    ASSERT_EQ(GetDIBits(to, target, 0, 1, read, readBack.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(read[1], 0x80112233u);

    // Into a device bitmap the same copy lands opaque, and its DIB copy carries no fourth byte.
    MemDC device(2, 1);
    ASSERT_TRUE(BitBlt(device.dc, 0, 0, 2, 1, from, 0, 0, SRCCOPY));
    EXPECT_EQ(device.At(0, 0), RGB(0x11, 0x22, 0x33));
    ASSERT_EQ(GetDIBits(device.dc, device.bitmap, 0, 1, read, readBack.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(read[0], 0x00112233u);

    // A 32-bit picture drawn straight into the section keeps its fourth byte too.
    const uint32_t picture[2] = {0x7F0000FFu, 0x00FF0000u};
    ASSERT_EQ(SetDIBitsToDevice(to, 0, 0, 2, 1, 0, 0, 0, 1, picture, info.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(out[0], 0x7F0000FFu);
    DeleteDC(from);
    DeleteDC(to);
    DeleteObject(source);
    DeleteObject(target);
}

// A colour drawn into a monochrome bitmap becomes the nearer of black and white.
TEST(CreateBitmap, AColourInAMonochromeBitmapIsTheNearerOfBlackAndWhite)
{
    MemDC mono(4, 1, true);
    const COLORREF colours[] = {RGB(0, 255, 0), RGB(100, 100, 200), RGB(127, 127, 128), RGB(128, 128, 127)};
    const COLORREF nearer[] = {kBlack, kWhite, kBlack, kWhite};
    for (int x = 0; x < 4; ++x) {
        HBRUSH brush = CreateSolidBrush(colours[x]);
        RECT one{x, 0, x + 1, 1};
        FillRect(mono.dc, &one, brush);
        DeleteObject(brush);
        EXPECT_EQ(mono.At(x, 0), nearer[x]) << "brush " << std::hex << colours[x];
        SetPixel(mono.dc, x, 0, colours[x] ^ 0xFFFFFF);
        EXPECT_NE(mono.At(x, 0), nearer[x]) << "pixel " << std::hex << (colours[x] ^ 0xFFFFFF);
    }
    // A colour picture set into it maps the same way.
    Info info = MakeInfo(4, 1, 32);
    const uint32_t picture[4] = {0x0000FF00u, 0x006464C8u, 0x007F7F80u, 0x0080807Fu};
    ASSERT_EQ(SetDIBits(mono.dc, mono.bitmap, 0, 1, picture, info.Get(), DIB_RGB_COLORS), 1);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(mono.At(x, 0), nearer[x]) << "picture pixel " << x;
}

TEST(CreateBitmap, MonochromeRowsArePaddedToSixteenBits)
{
    const BYTE bits[] = {0x80, 0x00, 0x40, 0x00}; // 9 wide: 2 bytes a row
    HBITMAP mask = CreateBitmap(9, 2, 1, 1, bits);
    BITMAP bm{};
    GetObject(mask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidthBytes, 2);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, mask);
    EXPECT_EQ(GetPixel(dc, 0, 0), kWhite);
    EXPECT_EQ(GetPixel(dc, 1, 0), kBlack);
    EXPECT_EQ(GetPixel(dc, 1, 1), kWhite);
    DeleteDC(dc);
    DeleteObject(mask);
    EXPECT_EQ(CreateBitmap(-1, 5, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(100000, 100000, 1, 32, nullptr), nullptr);
}

} // namespace
