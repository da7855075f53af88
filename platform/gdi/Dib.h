// Device-independent bitmaps (the packed rows of BMP files and of GetDIBits/SetDIBits) to and
// from surfaces. Headers are read field by field; nothing is read past what the header describes.
#pragma once

#include "Surface.h"

#include <wingdi.h>

#include <vector>

namespace yonda::gdi {

struct DibFormat {
    int width = 0;
    int height = 0;       // rows, positive
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = BI_RGB;
    DWORD masks[3] = {0, 0, 0};
    std::vector<RGBQUAD> colors;
    size_t stride = 0;    // bytes per row, padded to 32 bits
};

// Reads and checks a header (and its colour table or masks); false for anything unsupported or
// out of bounds. Compressed (run-length) pictures are not supported.
bool ReadDibFormat(const BITMAPINFO* info, DibFormat& format);
// The largest picture accepted, so a header cannot ask for gigabytes.
constexpr long long kMaxDibPixels = 64ll * 1024 * 1024;

// DIB rows [first, first + count) (row 0 = the first row stored) into the surface's rows.
void DecodeDibRows(const DibFormat& format, const void* bits, int first, int count, Surface& into);
// Surface rows to DIB rows of 1, 24 or 32 bits (the others: false).
bool EncodeDibRows(const Surface& from, const DibFormat& format, int first, int count, void* bits);

// The surface row a stored DIB row lands on.
inline int SurfaceRowOfDibRow(const DibFormat& f, int dibRow) { return f.topDown ? dibRow : f.height - 1 - dibRow; }

} // namespace yonda::gdi
