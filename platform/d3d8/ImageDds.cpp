// DirectDraw surface files: DXT1 to DXT5 and the uncompressed colour formats, with their mip levels.
#include <algorithm>

#include "Format.h"
#include "ImageDecoder.h"
#include "Texture.h"

namespace yonda::d3d8 {
namespace {

constexpr uint32_t kHeaderSize = 124;
constexpr uint32_t kFlagMipCount = 0x20000;
constexpr uint32_t kPixelAlpha = 0x1;
constexpr uint32_t kPixelFourCC = 0x4;
constexpr uint32_t kPixelRgb = 0x40;
constexpr uint32_t kCaps2CubeMap = 0x200;
constexpr uint32_t kCaps2Volume = 0x200000;

} // namespace

HRESULT DecodeDds(const BYTE* data, size_t size, DecodedImage* image)
{
    ByteReader in(data, size);
    if (in.U32() != MAKEFOURCC('D', 'D', 'S', ' ') || in.U32() != kHeaderSize)
        return D3DXERR_INVALIDDATA;
    uint32_t flags = in.U32();
    uint32_t height = in.U32();
    uint32_t width = in.U32();
    in.U32();
    in.U32();
    uint32_t mipCount = in.U32();
    in.Take(44);
    in.U32(); // pixel format size
    uint32_t pixelFlags = in.U32();
    uint32_t fourCC = in.U32();
    uint32_t bits = in.U32();
    uint32_t redMask = in.U32(), greenMask = in.U32(), blueMask = in.U32(), alphaMask = in.U32();
    in.U32();
    uint32_t caps2 = in.U32();
    in.Take(12);
    if (in.Failed() || !SaneSize(width, height))
        return D3DXERR_INVALIDDATA;
    if (caps2 & (kCaps2CubeMap | kCaps2Volume))
        return D3DXERR_INVALIDDATA;

    D3DFORMAT format = D3DFMT_UNKNOWN;
    bool expand24 = false;
    if (pixelFlags & kPixelFourCC) {
        switch (fourCC) {
        case MAKEFOURCC('D', 'X', 'T', '1'): format = D3DFMT_DXT1; break;
        case MAKEFOURCC('D', 'X', 'T', '2'): format = D3DFMT_DXT2; break;
        case MAKEFOURCC('D', 'X', 'T', '3'): format = D3DFMT_DXT3; break;
        case MAKEFOURCC('D', 'X', 'T', '4'): format = D3DFMT_DXT4; break;
        case MAKEFOURCC('D', 'X', 'T', '5'): format = D3DFMT_DXT5; break;
        default: return D3DXERR_INVALIDDATA;
        }
    } else if (pixelFlags & kPixelRgb) {
        bool alpha = (pixelFlags & kPixelAlpha) && alphaMask;
        if (bits == 32 && redMask == 0xff0000 && greenMask == 0xff00 && blueMask == 0xff) {
            format = alpha && alphaMask == 0xff000000u ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        } else if (bits == 24 && redMask == 0xff0000 && greenMask == 0xff00 && blueMask == 0xff) {
            format = D3DFMT_X8R8G8B8;
            expand24 = true;
        } else if (bits == 16 && redMask == 0xf800 && greenMask == 0x07e0 && blueMask == 0x1f) {
            format = D3DFMT_R5G6B5;
        } else if (bits == 16 && redMask == 0x7c00 && greenMask == 0x03e0 && blueMask == 0x1f) {
            format = alpha && alphaMask == 0x8000 ? D3DFMT_A1R5G5B5 : D3DFMT_X1R5G5B5;
        } else if (bits == 16 && redMask == 0x0f00 && greenMask == 0x00f0 && blueMask == 0x0f && alphaMask == 0xf000) {
            format = D3DFMT_A4R4G4B4;
        } else {
            return D3DXERR_INVALIDDATA;
        }
    } else {
        return D3DXERR_INVALIDDATA;
    }

    UINT levels =
        (flags & kFlagMipCount) && mipCount > 0 ? std::min<UINT>(mipCount, Texture::FullChainLength(width, height)) : 1;
    UINT w = width, h = height;
    for (UINT level = 0; level < levels; ++level) {
        std::vector<BYTE> bytes;
        if (expand24) {
            const BYTE* source = in.Take(size_t(w) * h * 3);
            if (!source)
                return D3DXERR_INVALIDDATA;
            bytes.resize(size_t(w) * h * 4);
            for (size_t i = 0; i < size_t(w) * h; ++i) {
                bytes[4 * i] = source[3 * i];
                bytes[4 * i + 1] = source[3 * i + 1];
                bytes[4 * i + 2] = source[3 * i + 2];
                bytes[4 * i + 3] = 0xff;
            }
        } else {
            size_t levelSize = LevelSize(format, w, h);
            const BYTE* source = in.Take(levelSize);
            if (!source) {
                // Missing smaller levels are made again by the loader; a missing first level is fatal.
                if (level == 0)
                    return D3DXERR_INVALIDDATA;
                break;
            }
            bytes.assign(source, source + levelSize);
        }
        image->levels.push_back(std::move(bytes));
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
    }
    image->width = width;
    image->height = height;
    image->format = format;
    image->fileFormat = D3DXIFF_DDS;
    return D3D_OK;
}

} // namespace yonda::d3d8
