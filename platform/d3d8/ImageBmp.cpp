// Windows bitmaps: 1, 4, 8 bits with a palette, 16 (5-5-5 or bit fields), 24 and 32 bits,
// bottom-up or top-down. Run-length compressed bitmaps are refused.
#include <bit>

#include "ImageDecoder.h"

namespace yonda::d3d8 {
namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

// Extracts a field by its mask and scales it to eight bits.
uint32_t Channel(uint32_t pixel, uint32_t mask)
{
    if (!mask) return 0;
    int shift = std::countr_zero(mask);
    int bits = std::popcount(mask);
    uint32_t value = (pixel & mask) >> shift;
    uint32_t max = bits >= 32 ? 0xffffffffu : (1u << bits) - 1;
    return uint32_t((uint64_t(value) * 255 + max / 2) / max);
}

}  // namespace

HRESULT DecodeBmp(const BYTE* data, size_t size, DecodedImage* image)
{
    ByteReader file(data, size);
    if (file.U8() != 'B' || file.U8() != 'M') return D3DXERR_INVALIDDATA;
    file.U32();  // file size: often wrong in the wild, not relied on
    file.U32();
    uint32_t pixelOffset = file.U32();
    size_t headerStart = file.Position();
    uint32_t headerSize = file.U32();
    int64_t width, height;
    uint32_t bitCount, compression = kRgb, colorsUsed = 0;
    bool core = headerSize == 12;
    if (core) {
        width = file.U16();
        height = file.U16();
        file.U16();
        bitCount = file.U16();
    } else if (headerSize >= 40 && headerSize <= 4096) {
        width = file.I32();
        height = file.I32();
        file.U16();
        bitCount = file.U16();
        compression = file.U32();
        file.U32();
        file.I32();
        file.I32();
        colorsUsed = file.U32();
        file.U32();
    } else {
        return D3DXERR_INVALIDDATA;
    }
    if (file.failed()) return D3DXERR_INVALIDDATA;
    bool topDown = height < 0;
    if (topDown) height = -height;
    if (!SaneSize(uint64_t(width < 0 ? 0 : width), uint64_t(height))) return D3DXERR_INVALIDDATA;

    uint32_t redMask = 0, greenMask = 0, blueMask = 0, alphaMask = 0;
    if (compression == kBitFields) {
        if (bitCount != 16 && bitCount != 32) return D3DXERR_INVALIDDATA;
        // Masks follow the 40-byte header, or sit inside a longer one at the same place.
        ByteReader masks(data, size, headerStart + 40);
        redMask = masks.U32();
        greenMask = masks.U32();
        blueMask = masks.U32();
        if (headerSize >= 56) alphaMask = masks.U32();
        if (masks.failed()) return D3DXERR_INVALIDDATA;
    } else if (compression == kRgb) {
        if (bitCount == 16) {
            redMask = 0x7c00;
            greenMask = 0x03e0;
            blueMask = 0x001f;
        } else if (bitCount == 24 || bitCount == 32) {
            redMask = 0xff0000;
            greenMask = 0xff00;
            blueMask = 0xff;
        }
    } else {
        return D3DXERR_INVALIDDATA;
    }

    std::vector<uint32_t> palette;
    if (bitCount == 1 || bitCount == 4 || bitCount == 8) {
        uint32_t entries = colorsUsed ? colorsUsed : (1u << bitCount);
        if (entries > 256) return D3DXERR_INVALIDDATA;
        size_t paletteStart = headerStart + headerSize + (compression == kBitFields && headerSize == 40 ? 12 : 0);
        ByteReader table(data, size, paletteStart);
        for (uint32_t i = 0; i < entries; ++i) {
            uint32_t b = table.U8(), g = table.U8(), r = table.U8();
            if (!core) table.U8();
            palette.push_back(0xff000000u | (r << 16) | (g << 8) | b);
        }
        if (table.failed()) return D3DXERR_INVALIDDATA;
    } else if (bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return D3DXERR_INVALIDDATA;
    }

    uint64_t stride = ((uint64_t(width) * bitCount + 31) / 32) * 4;
    if (pixelOffset > size || stride * uint64_t(height) > size - pixelOffset) return D3DXERR_INVALIDDATA;
    image->width = UINT(width);
    image->height = UINT(height);
    image->argb.resize(size_t(width) * size_t(height));
    for (int64_t row = 0; row < height; ++row) {
        const BYTE* src = data + pixelOffset + size_t(stride) * size_t(row);
        int64_t y = topDown ? row : height - 1 - row;
        uint32_t* out = image->argb.data() + size_t(y) * size_t(width);
        for (int64_t x = 0; x < width; ++x) {
            uint32_t pixel;
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                uint64_t bit = uint64_t(x) * bitCount;
                uint32_t index = (src[bit / 8] >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
                out[x] = index < palette.size() ? palette[index] : 0xff000000u;
                continue;
            }
            case 16:
                pixel = uint32_t(src[2 * x] | (src[2 * x + 1] << 8));
                break;
            case 24:
                pixel = uint32_t(src[3 * x] | (src[3 * x + 1] << 8) | (src[3 * x + 2] << 16));
                break;
            default:
                pixel = uint32_t(src[4 * x]) | (uint32_t(src[4 * x + 1]) << 8) | (uint32_t(src[4 * x + 2]) << 16) |
                        (uint32_t(src[4 * x + 3]) << 24);
                break;
            }
            uint32_t alpha = alphaMask ? Channel(pixel, alphaMask) : 255;
            out[x] = (alpha << 24) | (Channel(pixel, redMask) << 16) | (Channel(pixel, greenMask) << 8) |
                     Channel(pixel, blueMask);
        }
    }
    if (alphaMask) {
        image->format = D3DFMT_A8R8G8B8;
    } else if (bitCount == 16) {
        image->format = greenMask == 0x07e0 ? D3DFMT_R5G6B5 : D3DFMT_X1R5G5B5;
    } else {
        image->format = D3DFMT_X8R8G8B8;
    }
    image->fileFormat = D3DXIFF_BMP;
    return D3D_OK;
}

}  // namespace yonda::d3d8
