// Image files decoded for textures: BMP, TGA and DDS by our own parsers (field by field, every
// length checked), PNG and JPEG through their libraries with their errors caught.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "d3dx8.h"

namespace yonda::d3d8 {

struct DecodedImage {
    UINT width = 0;
    UINT height = 0;
    // The format the file's pixels have, as a texture format.
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    // Pixels as 0xAARRGGBB, top row first (every kind but DDS).
    std::vector<uint32_t> argb;
    // DDS keeps its levels in the file's format, largest first.
    std::vector<std::vector<BYTE>> levels;
};

// Images beyond these are refused rather than allocated.
constexpr UINT kMaxImageSide = 16384;
constexpr uint64_t kMaxImagePixels = uint64_t(32) << 20;

// D3D_OK, or D3DXERR_INVALIDDATA with `image` left empty.
HRESULT DecodeImage(const BYTE* data, size_t size, DecodedImage* image);

HRESULT DecodeBmp(const BYTE* data, size_t size, DecodedImage* image);
HRESULT DecodeTga(const BYTE* data, size_t size, DecodedImage* image);
HRESULT DecodeDds(const BYTE* data, size_t size, DecodedImage* image);
HRESULT DecodePng(const BYTE* data, size_t size, DecodedImage* image);
HRESULT DecodeJpeg(const BYTE* data, size_t size, DecodedImage* image);

// Little-endian fields read one by one; reading past the end sets failed() and yields zeros.
class ByteReader {
public:
    ByteReader(const BYTE* data, size_t size, size_t position = 0) : m_data(data), m_size(size), m_position(position)
    {
        if (position > size)
            m_failed = true;
    }
    uint8_t U8() { return Has(1) ? m_data[m_position++] : 0; }
    uint16_t U16()
    {
        if (!Has(2))
            return 0;
        uint16_t v = uint16_t(m_data[m_position] | (m_data[m_position + 1] << 8));
        m_position += 2;
        return v;
    }
    uint32_t U32()
    {
        if (!Has(4))
            return 0;
        uint32_t v = uint32_t(m_data[m_position]) | (uint32_t(m_data[m_position + 1]) << 8) |
                     (uint32_t(m_data[m_position + 2]) << 16) | (uint32_t(m_data[m_position + 3]) << 24);
        m_position += 4;
        return v;
    }
    int32_t I32() { return int32_t(U32()); }
    const BYTE* Take(size_t count)
    {
        if (!Has(count))
            return nullptr;
        const BYTE* p = m_data + m_position;
        m_position += count;
        return p;
    }
    bool Has(size_t count)
    {
        if (m_failed || count > m_size - m_position) {
            m_failed = true;
            return false;
        }
        return true;
    }
    size_t Position() const { return m_position; }
    size_t Remaining() const { return m_failed ? 0 : m_size - m_position; }
    bool Failed() const { return m_failed; }

private:
    const BYTE* m_data;
    size_t m_size;
    size_t m_position;
    bool m_failed = false;
};

inline bool SaneSize(uint64_t width, uint64_t height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

} // namespace yonda::d3d8
