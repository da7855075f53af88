#include "Dib.h"

#include "GdiObject.h"

#include <cstring>

namespace yonda::gdi {

namespace {

uint32_t ReadU32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Extracts an 8-bit channel from a packed pixel by its mask.
uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    uint32_t bits = mask >> shift;
    uint32_t v = (value & mask) >> shift;
    if (bits == 0xFF)
        return v;
    return bits ? (v * 255 + bits / 2) / bits : 0;
}

// What a picture holds in a pixel's fourth byte: only a 32-bit one with the usual channel places
// has one; every other pixel has none.
uint32_t FourthByte(const DibFormat& f, const uint8_t* row, int x)
{
    if (f.bitCount != 32 || f.masks[0] != 0xFF0000u || f.masks[1] != 0xFF00u || f.masks[2] != 0xFFu)
        return 0;
    return static_cast<uint32_t>(row[x * 4 + 3]) << 24;
}

} // namespace

bool ReadDibFormat(const BITMAPINFO* info, DibFormat& f)
{
    if (!info)
        return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(info);
    uint32_t size = ReadU32(bytes);
    // The header versions there are; the size also says where the colour table starts.
    if (size != 40 && size != 52 && size != 56 && size != 108 && size != 124)
        return false;
    int32_t width = static_cast<int32_t>(ReadU32(bytes + 4));
    int32_t height = static_cast<int32_t>(ReadU32(bytes + 8));
    f.bitCount = ReadU16(bytes + 14);
    f.compression = ReadU32(bytes + 16);
    uint32_t used = ReadU32(bytes + 32);
    if (width <= 0 || height == 0 || height == INT32_MIN || width > 65535 || height > 65535 || height < -65535)
        return false;
    f.width = width;
    f.topDown = height < 0;
    f.height = height < 0 ? -height : height;
    if (static_cast<long long>(f.width) * f.height > kMaxDibPixels)
        return false;
    switch (f.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if (f.compression != BI_RGB && !(f.compression == BI_BITFIELDS && (f.bitCount == 16 || f.bitCount == 32)))
        return false;
    f.stride = ((static_cast<size_t>(f.width) * f.bitCount + 31) / 32) * 4;
    const uint8_t* table = bytes + size;
    f.colors.clear();
    if (f.bitCount <= 8) {
        uint32_t max = 1u << f.bitCount;
        uint32_t n = used == 0 || used > max ? max : used;
        f.colors.resize(n);
        for (uint32_t i = 0; i < n; ++i)
            f.colors[i] = RGBQUAD{table[i * 4], table[i * 4 + 1], table[i * 4 + 2], 0};
    } else if (f.compression == BI_BITFIELDS) {
        // Masks follow a 40-byte header, or sit inside a longer one.
        const uint8_t* m = size >= 52 ? bytes + 40 : table;
        for (int i = 0; i < 3; ++i)
            f.masks[i] = ReadU32(m + i * 4);
    } else if (f.bitCount == 16) {
        f.masks[0] = 0x7C00;
        f.masks[1] = 0x03E0;
        f.masks[2] = 0x001F;
    } else {
        f.masks[0] = 0xFF0000;
        f.masks[1] = 0x00FF00;
        f.masks[2] = 0x0000FF;
    }
    return true;
}

void DecodeDibRows(const DibFormat& f, const void* bits, int first, int count, Surface& into)
{
    const auto* base = static_cast<const uint8_t*>(bits);
    auto colorAt = [&](uint32_t index) -> uint32_t {
        if (index >= f.colors.size())
            return 0xFF000000u;
        const RGBQUAD& q = f.colors[index];
        return 0xFF000000u | (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    };
    int width = f.width < into.width() ? f.width : into.width();
    for (int i = 0; i < count; ++i) {
        int dibRow = first + i;
        int y = SurfaceRowOfDibRow(f, dibRow);
        if (y < 0 || y >= into.height())
            continue;
        const uint8_t* p = base + static_cast<size_t>(i) * f.stride;
        uint32_t* out = into.row(y);
        for (int x = 0; x < width; ++x) {
            uint32_t pixel;
            switch (f.bitCount) {
            case 1: pixel = colorAt((p[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 4: pixel = colorAt((p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF); break;
            case 8: pixel = colorAt(p[x]); break;
            case 16: {
                uint32_t v = ReadU16(p + x * 2);
                pixel = 0xFF000000u | (Channel(v, f.masks[0]) << 16) | (Channel(v, f.masks[1]) << 8) |
                        Channel(v, f.masks[2]);
                break;
            }
            case 24: pixel = 0xFF000000u | (p[x * 3 + 2] << 16) | (p[x * 3 + 1] << 8) | p[x * 3]; break;
            default: {
                uint32_t v = ReadU32(p + x * 4);
                pixel = 0xFF000000u | (Channel(v, f.masks[0]) << 16) | (Channel(v, f.masks[1]) << 8) |
                        Channel(v, f.masks[2]);
                break;
            }
            }
            if (into.monochrome())
                pixel = MonoFromColor(ColorFromPixel(pixel));
            else if (into.alphaIsData())
                pixel = (pixel & 0x00FFFFFFu) | FourthByte(f, p, x);
            out[x] = pixel;
        }
    }
}

bool EncodeDibRows(const Surface& from, const DibFormat& f, int first, int count, void* bits)
{
    if (f.bitCount != 1 && f.bitCount != 24 && f.bitCount != 32)
        return false;
    auto* base = static_cast<uint8_t*>(bits);
    for (int i = 0; i < count; ++i) {
        int y = SurfaceRowOfDibRow(f, first + i);
        uint8_t* p = base + static_cast<size_t>(i) * f.stride;
        std::memset(p, 0, f.stride);
        if (y < 0 || y >= from.height())
            continue;
        const uint32_t* in = from.row(y);
        int width = f.width < from.width() ? f.width : from.width();
        for (int x = 0; x < width; ++x) {
            uint32_t px = from.monochrome() ? (in[x] ? 0xFFFFFFu : 0u) : in[x];
            switch (f.bitCount) {
            case 1: {
                bool white = from.monochrome() ? in[x] != 0 : MonoFromColor(ColorFromPixel(px)) != 0;
                if (white)
                    p[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
                break;
            }
            case 24:
                p[x * 3] = px & 0xFF;
                p[x * 3 + 1] = (px >> 8) & 0xFF;
                p[x * 3 + 2] = (px >> 16) & 0xFF;
                break;
            default:
                // The fourth byte is left zero, as device bitmaps carry no alpha; a DIB section's
                // is its program's data and goes back as it is.
                p[x * 4] = px & 0xFF;
                p[x * 4 + 1] = (px >> 8) & 0xFF;
                p[x * 4 + 2] = (px >> 16) & 0xFF;
                if (from.alphaIsData())
                    p[x * 4 + 3] = static_cast<uint8_t>(px >> 24);
                break;
            }
        }
    }
    return true;
}

} // namespace yonda::gdi
