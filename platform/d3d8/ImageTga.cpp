// Targa images: colour-mapped, true-colour and grey, plain or run-length encoded, 8 to 32 bits.
#include "ImageDecoder.h"

namespace yonda::d3d8 {
namespace {

uint32_t Expand5(uint32_t v)
{
    return (v << 3) | (v >> 2);
}

// One pixel of `bytes` bytes (1 grey or index, 2, 3 or 4 colour) as 0xAARRGGBB.
uint32_t ReadColor(const BYTE* p, int bytes, bool alpha16)
{
    switch (bytes) {
    case 1: return 0xff000000u | (uint32_t(p[0]) * 0x010101u);
    case 2: {
        uint32_t c = uint32_t(p[0] | (p[1] << 8));
        uint32_t a = (!alpha16 || (c & 0x8000)) ? 255 : 0;
        return (a << 24) | (Expand5((c >> 10) & 31) << 16) | (Expand5((c >> 5) & 31) << 8) | Expand5(c & 31);
    }
    case 3: return 0xff000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    default: return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
    }
}

} // namespace

HRESULT DecodeTga(const BYTE* data, size_t size, DecodedImage* image)
{
    ByteReader in(data, size);
    uint8_t idLength = in.U8();
    uint8_t mapType = in.U8();
    uint8_t type = in.U8();
    uint16_t mapFirst = in.U16();
    uint16_t mapLength = in.U16();
    uint8_t mapEntryBits = in.U8();
    in.U16();
    in.U16();
    uint16_t width = in.U16();
    uint16_t height = in.U16();
    uint8_t depth = in.U8();
    uint8_t descriptor = in.U8();
    if (in.Failed() || mapType > 1)
        return D3DXERR_INVALIDDATA;
    bool rle = type >= 9;
    uint8_t kind = rle ? uint8_t(type - 8) : type;
    if (kind < 1 || kind > 3 || !SaneSize(width, height))
        return D3DXERR_INVALIDDATA;
    if (kind == 1 && (mapType != 1 || depth != 8))
        return D3DXERR_INVALIDDATA;
    if (kind == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32)
        return D3DXERR_INVALIDDATA;
    if (kind == 3 && depth != 8)
        return D3DXERR_INVALIDDATA;
    int alphaBits = descriptor & 15;
    in.Take(idLength);

    std::vector<uint32_t> palette;
    if (mapType == 1) {
        int entryBytes = (mapEntryBits + 7) / 8;
        if (entryBytes < 2 || entryBytes > 4)
            return D3DXERR_INVALIDDATA;
        for (uint32_t i = 0; i < mapLength; ++i) {
            const BYTE* entry = in.Take(size_t(entryBytes));
            if (!entry)
                return D3DXERR_INVALIDDATA;
            palette.push_back(ReadColor(entry, entryBytes, mapEntryBits == 16 && alphaBits > 0));
        }
    }
    int bytes = (depth + 7) / 8;
    bool alpha16 = depth == 16 && alphaBits > 0;
    size_t count = size_t(width) * height;
    std::vector<uint32_t> pixels(count);
    auto decode = [&](const BYTE* p) -> uint32_t {
        if (kind == 1) {
            uint32_t index = p[0];
            return index >= mapFirst && index - mapFirst < palette.size() ? palette[index - mapFirst] : 0xff000000u;
        }
        return ReadColor(p, bytes, alpha16);
    };
    size_t done = 0;
    while (done < count) {
        if (!rle) {
            const BYTE* p = in.Take(size_t(bytes));
            if (!p)
                return D3DXERR_INVALIDDATA;
            pixels[done++] = decode(p);
            continue;
        }
        uint8_t header = in.U8();
        if (in.Failed())
            return D3DXERR_INVALIDDATA;
        size_t run = size_t(header & 0x7f) + 1;
        if (run > count - done)
            run = count - done; // a run past the last pixel is cut
        if (header & 0x80) {
            const BYTE* p = in.Take(size_t(bytes));
            if (!p)
                return D3DXERR_INVALIDDATA;
            uint32_t color = decode(p);
            for (size_t i = 0; i < run; ++i)
                pixels[done++] = color;
        } else {
            for (size_t i = 0; i < run; ++i) {
                const BYTE* p = in.Take(size_t(bytes));
                if (!p)
                    return D3DXERR_INVALIDDATA;
                pixels[done++] = decode(p);
            }
        }
    }
    // Rows are stored from the bottom unless the descriptor says top; columns may run right to left.
    bool topFirst = (descriptor & 0x20) != 0;
    bool rightFirst = (descriptor & 0x10) != 0;
    image->width = width;
    image->height = height;
    image->argb.resize(count);
    for (UINT y = 0; y < height; ++y) {
        UINT sourceRow = topFirst ? y : height - 1 - y;
        for (UINT x = 0; x < width; ++x) {
            UINT sourceColumn = rightFirst ? width - 1 - x : x;
            image->argb[size_t(y) * width + x] = pixels[size_t(sourceRow) * width + sourceColumn];
        }
    }
    bool hasAlpha = (depth == 32 && alphaBits > 0) || alpha16 || (kind == 1 && mapEntryBits == 32);
    if (depth == 16 || depth == 15) {
        image->format = alpha16 ? D3DFMT_A1R5G5B5 : D3DFMT_X1R5G5B5;
    } else {
        image->format = hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    }
    image->fileFormat = D3DXIFF_TGA;
    return D3D_OK;
}

} // namespace yonda::d3d8
