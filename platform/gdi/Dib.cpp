#include "Dib.h"

#include "GdiObject.h"

#include <cstdint>
#include <cstring>

namespace yonda::gdi {

namespace {

uint32_t ReadU32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t ReadU16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// Extracts a channel from a packed pixel by its mask, scaled to eight bits.
uint32_t Channel(uint32_t value, uint32_t mask)
{
    if (!mask)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    const uint64_t bits = mask >> shift;
    const uint64_t v = (value & mask) >> shift;
    if (bits == 0xFF)
        return static_cast<uint32_t>(v);
    return static_cast<uint32_t>((v * 255 + bits / 2) / bits);
}

// One stored row as 0xAARRGGBB pixels: opaque, or with the alpha of the alpha mask.
void DecodeRow(const DibFormat& f, const uint8_t* p, int width, bool withAlpha, uint32_t* out)
{
    auto colorAt = [&](uint32_t index) -> uint32_t {
        if (index >= f.colors.size())
            return 0xFF000000u;
        const RGBQUAD& q = f.colors[index];
        return 0xFF000000u | (q.rgbRed << 16) | (q.rgbGreen << 8) | q.rgbBlue;
    };
    auto packed = [&](uint32_t v) -> uint32_t {
        const uint32_t alpha = withAlpha && f.alphaMask ? Channel(v, f.alphaMask) : 0xFFu;
        return (alpha << 24) | (Channel(v, f.masks[0]) << 16) | (Channel(v, f.masks[1]) << 8) | Channel(v, f.masks[2]);
    };
    for (int x = 0; x < width; ++x) {
        switch (f.bitCount) {
        case 1: out[x] = colorAt((p[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: out[x] = colorAt((p[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF); break;
        case 8: out[x] = colorAt(p[x]); break;
        case 16: out[x] = packed(ReadU16(p + x * 2)); break;
        case 24: out[x] = 0xFF000000u | (p[x * 3 + 2] << 16) | (p[x * 3 + 1] << 8) | p[x * 3]; break;
        default: out[x] = packed(ReadU32(p + x * 4)); break;
        }
    }
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
    return ReadDibFormat(info, SIZE_MAX, f);
}

bool ReadDibFormat(const void* info, size_t available, DibFormat& f)
{
    f = DibFormat{};
    if (!info || available < 4)
        return false;
    const auto* bytes = static_cast<const uint8_t*>(info);
    const uint32_t size = ReadU32(bytes);
    // The header versions there are; the size also says where the colour table starts.
    const bool core = size == 12;
    if (!core && size != 40 && size != 52 && size != 56 && size != 108 && size != 124)
        return false;
    if (available < size)
        return false;
    int32_t width, height;
    uint32_t used = 0;
    if (core) {
        // The old header: 16-bit sizes, always bottom-up, a table of three-byte entries.
        width = ReadU16(bytes + 4);
        height = ReadU16(bytes + 6);
        f.bitCount = ReadU16(bytes + 10);
        f.compression = BI_RGB;
    } else {
        width = static_cast<int32_t>(ReadU32(bytes + 4));
        height = static_cast<int32_t>(ReadU32(bytes + 8));
        f.bitCount = ReadU16(bytes + 14);
        f.compression = ReadU32(bytes + 16);
        used = ReadU32(bytes + 32);
    }
    if (width <= 0 || height == 0 || height == INT32_MIN || width > 65535 || height > 65535 || height < -65535)
        return false;
    f.width = width;
    f.topDown = height < 0;
    f.height = height < 0 ? -height : height;
    if (static_cast<long long>(f.width) * f.height > kMaxDibPixels)
        return false;
    switch (f.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default: return false;
    }
    if (f.compression != BI_RGB && !(f.compression == BI_BITFIELDS && (f.bitCount == 16 || f.bitCount == 32)))
        return false;
    f.stride = ((static_cast<size_t>(f.width) * f.bitCount + 31) / 32) * 4;
    const uint8_t* table = bytes + size;
    const size_t tableBytes = available - size;
    if (f.bitCount <= 8) {
        const uint32_t max = 1u << f.bitCount;
        const uint32_t n = used == 0 || used > max ? max : used;
        const size_t entry = core ? 3 : 4;
        if (tableBytes / entry < n)
            return false;
        f.colors.resize(n);
        for (uint32_t i = 0; i < n; ++i)
            f.colors[i] = RGBQUAD{table[i * entry], table[i * entry + 1], table[i * entry + 2], 0};
    } else if (f.compression == BI_BITFIELDS) {
        // Masks follow a 40-byte header, or sit inside a longer one (with the alpha mask).
        if (size < 52 && tableBytes < 12)
            return false;
        const uint8_t* m = size >= 52 ? bytes + 40 : table;
        for (int i = 0; i < 3; ++i)
            f.masks[i] = ReadU32(m + i * 4);
        if (size >= 56)
            f.alphaMask = ReadU32(bytes + 52);
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

bool ReadBmpFile(const void* data, size_t size, DibFormat& f, const uint8_t** bits)
{
    constexpr size_t kFileHeader = 14;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!data || size < kFileHeader || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    // The file's own size field is often wrong in the wild and is not relied on.
    const uint32_t offset = ReadU32(bytes + 10);
    if (!ReadDibFormat(bytes + kFileHeader, size - kFileHeader, f))
        return false;
    if (offset > size || static_cast<uint64_t>(f.stride) * f.height > size - offset)
        return false;
    *bits = bytes + offset;
    return true;
}

void DecodeDibRows(const DibFormat& f, const void* bits, int first, int count, Surface& into)
{
    const auto* base = static_cast<const uint8_t*>(bits);
    int width = f.width < into.Width() ? f.width : into.Width();
    for (int i = 0; i < count; ++i) {
        int y = SurfaceRowOfDibRow(f, first + i);
        if (y < 0 || y >= into.Height())
            continue;
        uint32_t* out = into.Row(y);
        const uint8_t* p = base + static_cast<size_t>(i) * f.stride;
        DecodeRow(f, p, width, false, out);
        if (into.Monochrome()) {
            for (int x = 0; x < width; ++x)
                out[x] = MonoFromColor(ColorFromPixel(out[x]));
        } else if (into.AlphaIsData()) {
            for (int x = 0; x < width; ++x)
                out[x] = (out[x] & 0x00FFFFFFu) | FourthByte(f, p, x);
        }
    }
}

void DecodeDibPixels(const DibFormat& f, const void* bits, uint32_t* argb)
{
    const auto* base = static_cast<const uint8_t*>(bits);
    for (int row = 0; row < f.height; ++row) {
        const int y = SurfaceRowOfDibRow(f, row);
        DecodeRow(f, base + static_cast<size_t>(row) * f.stride, f.width, true,
                  argb + static_cast<size_t>(y) * f.width);
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
        if (y < 0 || y >= from.Height())
            continue;
        const uint32_t* in = from.Row(y);
        int width = f.width < from.Width() ? f.width : from.Width();
        for (int x = 0; x < width; ++x) {
            uint32_t px = from.Monochrome() ? (in[x] ? 0xFFFFFFu : 0u) : in[x];
            switch (f.bitCount) {
            case 1: {
                bool white = from.Monochrome() ? in[x] != 0 : MonoFromColor(ColorFromPixel(px)) != 0;
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
                if (from.AlphaIsData())
                    p[x * 4 + 3] = static_cast<uint8_t>(px >> 24);
                break;
            }
        }
    }
    return true;
}

} // namespace yonda::gdi
