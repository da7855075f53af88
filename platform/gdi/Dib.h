// Device-independent bitmaps (the packed rows of BMP files and of GetDIBits/SetDIBits) to and
// from surfaces, and BMP files themselves (for Direct3D's textures too). Headers are read field by
// field; nothing is read past what the header describes, or past the bytes there are.
#pragma once

#include "Surface.h"

#include <wingdi.h>

#include <vector>

namespace yonda::gdi {

struct DibFormat {
    int width = 0;
    int height = 0; // rows, positive
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD masks[3] = {0, 0, 0};
    DWORD alphaMask = 0; // a bit-field header's alpha: GDI's own pictures stay opaque regardless
    std::vector<RGBQUAD> colors;
    size_t stride = 0; // bytes per row, padded to 32 bits
};

// Reads and checks a header (the 12-byte core header or one of the info headers, with its colour
// table or masks); false for anything unsupported or out of bounds. Compressed (run-length)
// pictures are not supported. The first form trusts the caller that the whole header and table
// are there, as GDI's calls do; the second reads nothing past `available` bytes.
bool ReadDibFormat(const BITMAPINFO* info, DibFormat& format);
bool ReadDibFormat(const void* info, size_t available, DibFormat& format);
// A BMP file of `size` bytes: the file header, a DIB header with its table, and every row inside
// the file. `bits` is where the first stored row starts.
bool ReadBmpFile(const void* data, size_t size, DibFormat& format, const uint8_t** bits);
// The largest picture accepted, so a header cannot ask for gigabytes.
constexpr long long kMaxDibPixels = 64ll * 1024 * 1024;

// DIB rows [first, first + count) (row 0 = the first row stored) into the surface's rows, opaque.
void DecodeDibRows(const DibFormat& format, const void* bits, int first, int count, Surface& into);
// The whole picture as width * height 0xAARRGGBB pixels, top row first, with the alpha of its
// alpha mask (opaque without one).
void DecodeDibPixels(const DibFormat& format, const void* bits, uint32_t* argb);
// Surface rows to DIB rows of 1, 24 or 32 bits (the others: false).
bool EncodeDibRows(const Surface& from, const DibFormat& format, int first, int count, void* bits);

// The surface row a stored DIB row lands on.
inline int SurfaceRowOfDibRow(const DibFormat& f, int dibRow)
{
    return f.topDown ? dibRow : f.height - 1 - dibRow;
}

} // namespace yonda::gdi
