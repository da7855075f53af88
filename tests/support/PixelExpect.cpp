#include "PixelExpect.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace yonda::testing {

bool ColourNear(DWORD actual, DWORD expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((actual >> shift) & 255);
        const int e = int((expected >> shift) & 255);
        if (a - e > tolerance || e - a > tolerance)
            return false;
    }
    return true;
}

unsigned Rgb(COLORREF colour)
{
    return (unsigned(GetRValue(colour)) << 16) | (unsigned(GetGValue(colour)) << 8) | GetBValue(colour);
}

YondaPicture ReadSurface(IDirect3DSurface8* surface)
{
    YondaPicture picture;
    D3DSURFACE_DESC desc;
    surface->GetDesc(&desc);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    if (!locked.pBits)
        return picture;
    picture.width = desc.Width;
    picture.height = desc.Height;
    picture.pixels.resize(size_t(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
        const BYTE* row = static_cast<const BYTE*>(locked.pBits) + size_t(y) * UINT(locked.Pitch);
        for (UINT x = 0; x < desc.Width; ++x) {
            picture.pixels[size_t(y) * desc.Width + x] = DWORD(row[4 * x]) | (DWORD(row[4 * x + 1]) << 8) |
                                                         (DWORD(row[4 * x + 2]) << 16) | (DWORD(row[4 * x + 3]) << 24);
        }
    }
    surface->UnlockRect();
    return picture;
}

void KeepPicture(const YondaPicture& picture, const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return;
    std::fprintf(file, "P6\n%u %u\n255\n", picture.width, picture.height);
    for (DWORD pixel : picture.pixels) {
        const unsigned char rgb[3] = {BYTE(pixel >> 16), BYTE(pixel >> 8), BYTE(pixel)};
        std::fwrite(rgb, 1, 3, file);
    }
    std::fclose(file);
}

void ExpectPixel(const YondaPicture& picture, long x, long y, DWORD expected, int tolerance,
                 const std::string& keepPrefix)
{
    ASSERT_TRUE(x >= 0 && y >= 0 && UINT(x) < picture.width && UINT(y) < picture.height)
        << "pixel (" << x << ", " << y << ") is outside the " << picture.width << "x" << picture.height << " picture";
    const DWORD actual = picture.At(UINT(x), UINT(y)) | 0xFF000000u;
    expected |= 0xFF000000u;
    if (!ColourNear(actual, expected, tolerance)) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << actual << ", expected 0x" << expected;
        KeepPicture(picture,
                    keepPrefix + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ppm");
    }
}

} // namespace yonda::testing
