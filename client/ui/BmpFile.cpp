#include "BmpFile.h"

#include <cstdio>

namespace {

uint16_t U16(std::span<const uint8_t> b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

uint32_t U32(std::span<const uint8_t> b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// An n-bit channel widened to 8 bits.
uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (!mask) {
        return 0;
    }
    int shift = 0;
    while (!((mask >> shift) & 1)) {
        ++shift;
    }
    const uint32_t top = mask >> shift;
    const uint32_t v = (value & mask) >> shift;
    if (top == 0xFF) {
        return v;
    }
    return static_cast<uint32_t>((static_cast<uint64_t>(v) * 255 + top / 2) / top);
}

constexpr size_t kFileHeader = 14;

} // namespace

const char* BmpErrorText(BmpError error)
{
    switch (error) {
    case BmpError::None: return "OK";
    case BmpError::ReadError: return "Read Error!";
    case BmpError::NotBmp: return "Not a valid BMP File";
    case BmpError::Compressed: return "This is a compressed file.";
    case BmpError::CorruptPalette: return "Corrupt palette";
    case BmpError::BadHeader: return "Bad BMP header";
    case BmpError::BadSize: return "Memory alloc Failed";
    case BmpError::UnsupportedDepth: return "Unsupported bit count";
    }
    return "Read Error!";
}

BmpError ParseBmp(std::span<const uint8_t> file, BmpPicture* picture)
{
    if (file.size() < 2) {
        return BmpError::ReadError;
    }
    if (file[0] != 'B' || file[1] != 'M') {
        return BmpError::NotBmp;
    }
    if (file.size() < kFileHeader + 40) {
        return BmpError::ReadError;
    }
    const uint32_t offBits = U32(file, 10);
    const uint32_t headerSize = U32(file, 14);
    if (headerSize < 40 || headerSize > file.size() - kFileHeader) {
        return headerSize < 40 ? BmpError::BadHeader : BmpError::ReadError;
    }
    const int32_t width = static_cast<int32_t>(U32(file, 18));
    const int32_t rawHeight = static_cast<int32_t>(U32(file, 22));
    const uint16_t planes = U16(file, 26);
    const uint16_t bitCount = U16(file, 28);
    const uint32_t compression = U32(file, 30);
    const uint32_t used = U32(file, 46);
    if (planes != 1) {
        return BmpError::BadHeader;
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return BmpError::UnsupportedDepth;
    }
    if (compression != BI_RGB && !(compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32))) {
        return BmpError::Compressed;
    }
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > kBmpMaxSide || rawHeight > kBmpMaxSide ||
        rawHeight < -kBmpMaxSide ||
        static_cast<long long>(width) * (rawHeight < 0 ? -rawHeight : rawHeight) > kBmpMaxPixels) {
        return BmpError::BadSize;
    }
    BmpPicture p;
    p.width = width;
    p.topDown = rawHeight < 0;
    p.height = rawHeight < 0 ? -rawHeight : rawHeight;
    p.bitCount = bitCount;
    p.compression = compression;
    p.stride = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;

    size_t tableEnd = kFileHeader + headerSize;
    if (bitCount <= 8) {
        // More entries than the depth can index are never read: the pixels start at the offset.
        const uint32_t most = 1u << bitCount;
        const uint32_t count = used == 0 || used > most ? most : used;
        if (tableEnd + count * 4ull > file.size()) {
            return BmpError::ReadError;
        }
        p.colours.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            const size_t at = tableEnd + i * 4;
            p.colours[i] = RGBQUAD{file[at], file[at + 1], file[at + 2], 0};
        }
        tableEnd += count * 4;
    } else if (compression == BI_BITFIELDS) {
        // The masks sit inside a longer header, or follow a 40-byte one.
        size_t at = tableEnd;
        if (headerSize >= 52) {
            at = kFileHeader + 40;
        } else {
            tableEnd += 12;
        }
        if (at + 12 > file.size()) {
            return BmpError::ReadError;
        }
        for (int i = 0; i < 3; ++i) {
            p.masks[i] = U32(file, at + i * 4);
        }
    } else if (bitCount == 16) {
        p.masks[0] = 0x7C00;
        p.masks[1] = 0x03E0;
        p.masks[2] = 0x001F;
    } else {
        p.masks[0] = 0xFF0000;
        p.masks[1] = 0x00FF00;
        p.masks[2] = 0x0000FF;
    }

    // Writers may leave gaps before the pixels, so the offset is honoured; an offset of 0 is left
    // by some writers and means "right after the table".
    size_t bitsAt = offBits == 0 ? tableEnd : offBits;
    if (bitsAt < tableEnd) {
        return BmpError::CorruptPalette;
    }
    const unsigned long long bitsSize = static_cast<unsigned long long>(p.stride) * p.height;
    if (bitsAt > file.size() || bitsSize > file.size() - bitsAt) {
        return BmpError::ReadError;
    }
    p.bits = file.subspan(bitsAt, static_cast<size_t>(bitsSize));
    if (picture) {
        *picture = std::move(p);
    }
    return BmpError::None;
}

uint32_t BmpPicture::PixelAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    const size_t row = static_cast<size_t>(topDown ? y : height - 1 - y);
    const uint8_t* p = bits.data() + row * stride;
    auto colour = [&](uint32_t index) -> uint32_t {
        if (index >= colours.size()) {
            return 0;
        }
        const RGBQUAD& q = colours[index];
        return (static_cast<uint32_t>(q.rgbRed) << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    };
    switch (bitCount) {
    case 1: return colour((p[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return colour((p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case 8: return colour(p[x]);
    case 24: return (static_cast<uint32_t>(p[x * 3 + 2]) << 16) | (p[x * 3 + 1] << 8) | p[x * 3];
    default: {
        const uint32_t v = bitCount == 16 ? static_cast<uint32_t>(p[x * 2] | (p[x * 2 + 1] << 8))
                                          : p[x * 4] | (p[x * 4 + 1] << 8) | (p[x * 4 + 2] << 16) |
                                                (static_cast<uint32_t>(p[x * 4 + 3]) << 24);
        return (Channel(v, masks[0]) << 16) | (Channel(v, masks[1]) << 8) | Channel(v, masks[2]);
    }
    }
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>* bytes)
{
    bytes->clear();
    if (!path) {
        return false;
    }
    FILE* file = YondaOpenFile(path, "rb");
    if (!file) {
        return false;
    }
    uint8_t buffer[65536];
    size_t got = 0;
    bool ok = true;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes->insert(bytes->end(), buffer, buffer + got);
    }
    ok = !ferror(file);
    fclose(file);
    return ok;
}
