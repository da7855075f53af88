#pragma once
// A BMP file taken apart field by field and checked against its own size before any pixel is
// touched: every header value that would lead outside the file refuses the whole picture.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

enum class BmpError {
    None,
    ReadError,        // the file ends before what its headers promise
    NotBmp,           // no "BM" signature
    Compressed,       // run-length or other packed encodings
    CorruptPalette,   // the pixel offset points into the headers or the colour table
    BadHeader,        // header size or planes make no sense
    BadSize,          // zero, negative or huge dimensions
    UnsupportedDepth, // bits per pixel other than 1, 4, 8, 16, 24, 32
};

struct BmpPicture {
    int width = 0;
    int height = 0; // always positive; topDown says which row comes first
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = BI_RGB;
    std::vector<RGBQUAD> colours;  // at most 2^bitCount entries
    DWORD masks[3] = {0, 0, 0};    // for 16 and 32 bits
    size_t stride = 0;             // bytes per stored row, padded to 4
    std::span<const uint8_t> bits; // stride * height bytes inside the file's bytes

    // The pixel at (x, y), y counted from the top, as 0x00RRGGBB. An index beyond the colour
    // table is black.
    uint32_t PixelAt(int x, int y) const;
};

// The largest picture accepted, in pixels: far beyond any skin or screenshot, small enough that
// a lying header cannot ask for gigabytes.
constexpr long long kBmpMaxPixels = 64ll * 1024 * 1024;
constexpr int kBmpMaxSide = 32768;

BmpError ParseBmp(std::span<const uint8_t> file, BmpPicture* picture);
const char* BmpErrorText(BmpError error);

// The whole file read into memory; false when it cannot be opened or read.
bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes);
