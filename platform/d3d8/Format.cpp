#include "Format.h"

#include <algorithm>
#include <cstring>

namespace yonda::d3d8 {
namespace {

uint32_t Expand(uint32_t value, int bits)
{
    // Replicate the high bits so that full scale maps to 255.
    uint32_t v = value << (8 - bits);
    return v | (v >> bits);
}

uint32_t From565(uint16_t c)
{
    return 0xff000000u | (Expand((c >> 11) & 31, 5) << 16) | (Expand((c >> 5) & 63, 6) << 8) | Expand(c & 31, 5);
}

uint16_t Read16(const BYTE* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t Read32(const BYTE* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void Write16(BYTE* p, uint16_t v)
{
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}

// The four colours of a DXT colour block; DXT1 blocks with c0 <= c1 have three and transparent black.
void BlockColors(const BYTE* block, bool dxt1, uint32_t colors[4])
{
    uint16_t c0 = Read16(block), c1 = Read16(block + 2);
    colors[0] = From565(c0);
    colors[1] = From565(c1);
    auto mix = [&](int w0, int w1, int div) {
        uint32_t r = 0xff000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            uint32_t a = (colors[0] >> shift) & 255, b = (colors[1] >> shift) & 255;
            r |= ((a * w0 + b * w1) / div) << shift;
        }
        return r;
    };
    if (!dxt1 || c0 > c1) {
        colors[2] = mix(2, 1, 3);
        colors[3] = mix(1, 2, 3);
    } else {
        colors[2] = mix(1, 1, 2);
        colors[3] = 0;
    }
}

void DecodeBlock(D3DFORMAT format, const BYTE* block, uint32_t out[16])
{
    bool dxt1 = format == D3DFMT_DXT1;
    const BYTE* colorBlock = dxt1 ? block : block + 8;
    uint32_t colors[4];
    BlockColors(colorBlock, dxt1, colors);
    uint32_t indices = Read32(colorBlock + 4);
    for (int i = 0; i < 16; ++i)
        out[i] = colors[(indices >> (2 * i)) & 3];
    if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
        for (int i = 0; i < 16; ++i) {
            uint32_t alpha = (block[i / 2] >> ((i & 1) * 4)) & 15;
            out[i] = (out[i] & 0x00ffffffu) | (Expand(alpha, 4) << 24);
        }
    } else if (format == D3DFMT_DXT4 || format == D3DFMT_DXT5) {
        uint32_t a[8];
        a[0] = block[0];
        a[1] = block[1];
        if (a[0] > a[1]) {
            for (int i = 1; i < 7; ++i)
                a[i + 1] = ((7 - i) * a[0] + i * a[1]) / 7;
        } else {
            for (int i = 1; i < 5; ++i)
                a[i + 1] = ((5 - i) * a[0] + i * a[1]) / 5;
            a[6] = 0;
            a[7] = 255;
        }
        uint64_t bits = 0;
        for (int i = 0; i < 6; ++i)
            bits |= uint64_t(block[2 + i]) << (8 * i);
        for (int i = 0; i < 16; ++i)
            out[i] = (out[i] & 0x00ffffffu) | (a[(bits >> (3 * i)) & 7] << 24);
    }
}

} // namespace

bool IsCompressedFormat(D3DFORMAT format)
{
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
           format == D3DFMT_DXT5;
}

bool IsColorFormat(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4: return true;
    default: return IsCompressedFormat(format);
    }
}

bool HasAlpha(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5 || format == D3DFMT_A4R4G4B4 ||
           format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
           format == D3DFMT_DXT5;
}

bool IsDepthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D16 || format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D32 ||
           format == D3DFMT_D16_LOCKABLE || format == D3DFMT_D15S1 || format == D3DFMT_D24X4S4;
}

UINT RowPitch(D3DFORMAT format, UINT width)
{
    if (IsCompressedFormat(format))
        return std::max(1u, (width + 3) / 4) * (format == D3DFMT_DXT1 ? 8 : 16);
    switch (format) {
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4: return width * 2;
    default: return width * 4;
    }
}

UINT RowCount(D3DFORMAT format, UINT height)
{
    return IsCompressedFormat(format) ? std::max(1u, (height + 3) / 4) : height;
}

size_t LevelSize(D3DFORMAT format, UINT width, UINT height)
{
    return size_t(RowPitch(format, width)) * RowCount(format, height);
}

void ConvertToArgb(D3DFORMAT format, const BYTE* source, UINT pitch, UINT width, UINT height, uint32_t* target)
{
    if (IsCompressedFormat(format)) {
        uint32_t block[16];
        for (UINT by = 0; by < (height + 3) / 4; ++by) {
            for (UINT bx = 0; bx < (width + 3) / 4; ++bx) {
                DecodeBlock(format, source + size_t(by) * pitch + bx * (format == D3DFMT_DXT1 ? 8 : 16), block);
                for (UINT i = 0; i < 16; ++i) {
                    UINT x = bx * 4 + i % 4, y = by * 4 + i / 4;
                    if (x < width && y < height)
                        target[size_t(y) * width + x] = block[i];
                }
            }
        }
        return;
    }
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = source + size_t(y) * pitch;
        uint32_t* out = target + size_t(y) * width;
        for (UINT x = 0; x < width; ++x) {
            switch (format) {
            case D3DFMT_A8R8G8B8: out[x] = Read32(row + 4 * x); break;
            case D3DFMT_X8R8G8B8: out[x] = Read32(row + 4 * x) | 0xff000000u; break;
            case D3DFMT_R5G6B5: out[x] = From565(Read16(row + 2 * x)); break;
            case D3DFMT_X1R5G5B5:
            case D3DFMT_A1R5G5B5: {
                uint16_t c = Read16(row + 2 * x);
                uint32_t a = (format == D3DFMT_X1R5G5B5 || (c & 0x8000)) ? 255 : 0;
                out[x] =
                    (a << 24) | (Expand((c >> 10) & 31, 5) << 16) | (Expand((c >> 5) & 31, 5) << 8) | Expand(c & 31, 5);
                break;
            }
            case D3DFMT_A4R4G4B4: {
                uint16_t c = Read16(row + 2 * x);
                out[x] = (Expand(c >> 12, 4) << 24) | (Expand((c >> 8) & 15, 4) << 16) |
                         (Expand((c >> 4) & 15, 4) << 8) | Expand(c & 15, 4);
                break;
            }
            default: out[x] = 0; break;
            }
        }
    }
}

void ConvertFromArgb(D3DFORMAT format, const uint32_t* source, UINT width, UINT height, BYTE* target, UINT pitch)
{
    for (UINT y = 0; y < height; ++y) {
        const uint32_t* in = source + size_t(y) * width;
        BYTE* row = target + size_t(y) * pitch;
        for (UINT x = 0; x < width; ++x) {
            uint32_t c = in[x];
            uint32_t a = c >> 24, r = (c >> 16) & 255, g = (c >> 8) & 255, b = c & 255;
            switch (format) {
            case D3DFMT_A8R8G8B8:
            case D3DFMT_X8R8G8B8: std::memcpy(row + 4 * x, &c, 4); break;
            case D3DFMT_R5G6B5: Write16(row + 2 * x, uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))); break;
            case D3DFMT_X1R5G5B5:
            case D3DFMT_A1R5G5B5:
                Write16(row + 2 * x, uint16_t((a >= 128 ? 0x8000 : 0) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3)));
                break;
            case D3DFMT_A4R4G4B4:
                Write16(row + 2 * x, uint16_t(((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4)));
                break;
            default: break;
            }
        }
    }
}

} // namespace yonda::d3d8
