// Bitmap headers and pixel rows of any shape: the ones accepted must decode and read back.
#include "../Dib.h"

#include <windows.h>

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The header and a whole colour table are always there; the pixel rows must be too, as the
    // callers guarantee before handing bits over.
    const size_t infoSize = 124 + 256 * 4 + 12; // the longest header, a full table, masks
    if (size < infoSize)
        return 0;
    std::vector<uint8_t> info(data, data + infoSize);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    yonda::gdi::DibFormat format;
    if (!yonda::gdi::ReadDibFormat(bmi, format))
        return 0;
    if (format.stride * format.height > size - infoSize || format.stride * format.height > (1u << 22))
        return 0;
    std::vector<uint8_t> bits(data + infoSize, data + size);
    HDC screen = CreateCompatibleDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 1, 1);
    SelectObject(screen, colour); // bitmaps made for it are colour
    HBITMAP bitmap = CreateDIBitmap(screen, &bmi->bmiHeader, CBM_INIT, bits.data(), bmi, DIB_RGB_COLORS);
    if (bitmap) {
        std::vector<uint8_t> out(static_cast<size_t>(format.width) * 4 * format.height);
        BITMAPINFO read{};
        read.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        read.bmiHeader.biWidth = format.width;
        read.bmiHeader.biHeight = format.height;
        read.bmiHeader.biPlanes = 1;
        read.bmiHeader.biBitCount = 32;
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(format.height), out.data(), &read, DIB_RGB_COLORS);
        SetDIBits(screen, bitmap, 0, static_cast<UINT>(format.height), bits.data(), bmi, DIB_RGB_COLORS);
        StretchDIBits(screen, 0, 0, 1, 1, 0, 0, format.width, format.height, bits.data(), bmi, DIB_RGB_COLORS, SRCCOPY);
        DeleteObject(bitmap);
    }
    DeleteDC(screen);
    DeleteObject(colour);
    return 0;
}
