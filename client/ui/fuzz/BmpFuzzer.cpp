// Any bytes as a BMP file: accepted pictures are read pixel by pixel and made into bitmaps.
#include "BmpFile.h"
#include "ImageFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BmpPicture picture;
    if (ParseBmp(std::span<const uint8_t>(data, size), &picture) != BmpError::None) {
        return 0;
    }
    if (static_cast<long long>(picture.width) * picture.height > 1 << 20) {
        return 0;
    }
    uint32_t sum = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            sum += picture.PixelAt(x, y);
        }
    }
    if (HBITMAP bitmap = LoadBitmapFromMemory(std::span<const uint8_t>(data, size))) {
        DeleteObject(bitmap);
    }
    return sum == 0x12345678 ? 0 : 0;
}
