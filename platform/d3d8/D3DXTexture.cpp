// Textures from image files: the file's size and format (or the caller's), a full mip chain made
// with a box filter, the colour key applied exactly, the managed pool by default.
#include <algorithm>
#include <cstring>

#include "FileAccess.h"
#include "Format.h"
#include "ImageDecoder.h"
#include "Texture.h"

namespace yonda::d3d8 {
namespace {

bool IsDefault(UINT value)
{
    return value == 0 || value == D3DX_DEFAULT;
}

std::vector<uint32_t> Resize(const std::vector<uint32_t>& source, UINT width, UINT height, UINT newWidth,
                             UINT newHeight)
{
    std::vector<uint32_t> out(size_t(newWidth) * newHeight);
    for (UINT y = 0; y < newHeight; ++y) {
        UINT sy = UINT(uint64_t(y) * height / newHeight);
        for (UINT x = 0; x < newWidth; ++x) {
            out[size_t(y) * newWidth + x] = source[size_t(sy) * width + UINT(uint64_t(x) * width / newWidth)];
        }
    }
    return out;
}

// The next smaller level: each texel the average of the (up to) four it covers.
std::vector<uint32_t> HalfSize(const std::vector<uint32_t>& source, UINT width, UINT height)
{
    UINT w = std::max(1u, width / 2), h = std::max(1u, height / 2);
    std::vector<uint32_t> out(size_t(w) * h);
    for (UINT y = 0; y < h; ++y) {
        for (UINT x = 0; x < w; ++x) {
            UINT x0 = std::min(2 * x, width - 1), x1 = std::min(2 * x + 1, width - 1);
            UINT y0 = std::min(2 * y, height - 1), y1 = std::min(2 * y + 1, height - 1);
            uint32_t texels[4] = {source[size_t(y0) * width + x0], source[size_t(y0) * width + x1],
                                  source[size_t(y1) * width + x0], source[size_t(y1) * width + x1]};
            uint32_t result = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                uint32_t sum = 0;
                for (uint32_t t : texels)
                    sum += (t >> shift) & 255;
                result |= ((sum + 2) / 4) << shift;
            }
            out[size_t(y) * w + x] = result;
        }
    }
    return out;
}

void WriteLevel(IDirect3DTexture8* texture, UINT level, D3DFORMAT format, const std::vector<uint32_t>& argb, UINT width,
                UINT height)
{
    D3DLOCKED_RECT locked;
    if (FAILED(texture->LockRect(level, &locked, nullptr, 0)))
        return;
    ConvertFromArgb(format, argb.data(), width, height, static_cast<BYTE*>(locked.pBits), UINT(locked.Pitch));
    texture->UnlockRect(level);
}

D3DFORMAT WithAlpha(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4: return format;
    case D3DFMT_X1R5G5B5: return D3DFMT_A1R5G5B5;
    default: return D3DFMT_A8R8G8B8;
    }
}

HRESULT CreateFromMemory(IDirect3DDevice8* device, const BYTE* data, size_t size, UINT width, UINT height,
                         UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, D3DCOLOR colorKey,
                         D3DXIMAGE_INFO* info, IDirect3DTexture8** ppTexture)
{
    if (!ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    if (!device || !data || size == 0)
        return D3DERR_INVALIDCALL;
    if (format != D3DFMT_UNKNOWN && !IsColorFormat(format))
        return D3DERR_INVALIDCALL;
    DecodedImage image;
    HRESULT hr = DecodeImage(data, size, &image);
    if (FAILED(hr))
        return hr;
    if (info) {
        *info = D3DXIMAGE_INFO{
            image.width,      image.height,    1, image.levels.empty() ? 1u : UINT(image.levels.size()), image.format,
            D3DRTYPE_TEXTURE, image.fileFormat};
    }
    UINT targetWidth = IsDefault(width) ? image.width : width;
    UINT targetHeight = IsDefault(height) ? image.height : height;
    if (!SaneSize(targetWidth, targetHeight) || targetWidth > 8192 || targetHeight > 8192)
        return D3DERR_INVALIDCALL;
    UINT fullChain = Texture::FullChainLength(targetWidth, targetHeight);
    UINT levels = IsDefault(mipLevels) ? fullChain : std::min(mipLevels, fullChain);

    // Compressed files go in as they are when nothing asks for a change.
    bool keepBlocks = !image.levels.empty() && colorKey == 0 && targetWidth == image.width &&
                      targetHeight == image.height && (format == D3DFMT_UNKNOWN || format == image.format);
    if (keepBlocks && IsCompressedFormat(image.format))
        levels = std::min(levels, UINT(image.levels.size()));
    if (keepBlocks && (IsCompressedFormat(image.format) || image.levels.size() >= levels)) {
        IDirect3DTexture8* texture = nullptr;
        hr = device->CreateTexture(targetWidth, targetHeight, levels, usage, image.format, pool, &texture);
        if (FAILED(hr))
            return hr;
        for (UINT level = 0; level < levels; ++level) {
            D3DLOCKED_RECT locked;
            if (FAILED(texture->LockRect(level, &locked, nullptr, 0)))
                continue;
            D3DSURFACE_DESC desc;
            texture->GetLevelDesc(level, &desc);
            std::memcpy(locked.pBits, image.levels[level].data(),
                        std::min<size_t>(desc.Size, image.levels[level].size()));
            texture->UnlockRect(level);
        }
        *ppTexture = texture;
        return D3D_OK;
    }

    if (!image.levels.empty()) {
        // Decode the file's first level to colours; the chain is made again below.
        image.argb.resize(size_t(image.width) * image.height);
        ConvertToArgb(image.format, image.levels[0].data(), RowPitch(image.format, image.width), image.width,
                      image.height, image.argb.data());
    }
    std::vector<uint32_t> argb = targetWidth == image.width && targetHeight == image.height
                                     ? std::move(image.argb)
                                     : Resize(image.argb, image.width, image.height, targetWidth, targetHeight);
    D3DFORMAT chosen = format != D3DFMT_UNKNOWN ? format : image.format;
    if (colorKey != 0) {
        // Exact: only texels equal to the key turn transparent, never their near neighbours.
        for (uint32_t& texel : argb) {
            if (texel == colorKey)
                texel = 0;
        }
        if (format == D3DFMT_UNKNOWN)
            chosen = WithAlpha(chosen);
    }
    // Block compression is not redone here: such a target stores its colours plainly.
    if (IsCompressedFormat(chosen))
        chosen = HasAlpha(image.format) || colorKey ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    IDirect3DTexture8* texture = nullptr;
    hr = device->CreateTexture(targetWidth, targetHeight, levels, usage, chosen, pool, &texture);
    if (FAILED(hr))
        return hr;
    UINT w = targetWidth, h = targetHeight;
    for (UINT level = 0; level < levels; ++level) {
        if (level > 0) {
            argb = HalfSize(argb, w, h);
            w = std::max(1u, w / 2);
            h = std::max(1u, h / 2);
        }
        WriteLevel(texture, level, chosen, argb, w, h);
    }
    *ppTexture = texture;
    return D3D_OK;
}

} // namespace
} // namespace yonda::d3d8

using namespace yonda::d3d8;

HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                   UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                                   D3DFORMAT Format, D3DPOOL Pool, DWORD, DWORD, D3DCOLOR ColorKey,
                                                   D3DXIMAGE_INFO* pSrcInfo, tagPALETTEENTRY*,
                                                   IDirect3DTexture8** ppTexture)
{
    return CreateFromMemory(pDevice, static_cast<const BYTE*>(pSrcData), SrcDataSize, Width, Height, MipLevels, Usage,
                            Format, Pool, ColorKey, pSrcInfo, ppTexture);
}

HRESULT WINAPI D3DXCreateTextureFromFileInMemory(IDirect3DDevice8* pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                 IDirect3DTexture8** ppTexture)
{
    return CreateFromMemory(pDevice, static_cast<const BYTE*>(pSrcData), SrcDataSize, D3DX_DEFAULT, D3DX_DEFAULT,
                            D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, nullptr, ppTexture);
}

HRESULT WINAPI D3DXCreateTextureFromFileExA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD, DWORD,
                                            D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, tagPALETTEENTRY*,
                                            IDirect3DTexture8** ppTexture)
{
    if (ppTexture)
        *ppTexture = nullptr;
    if (!pDevice || !pSrcFile || !ppTexture)
        return D3DERR_INVALIDCALL;
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(pSrcFile, &bytes) || bytes.empty())
        return D3DERR_NOTFOUND;
    return CreateFromMemory(pDevice, bytes.data(), bytes.size(), Width, Height, MipLevels, Usage, Format, Pool,
                            ColorKey, pSrcInfo, ppTexture);
}

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice8* pDevice, LPCSTR pSrcFile, IDirect3DTexture8** ppTexture)
{
    return D3DXCreateTextureFromFileExA(pDevice, pSrcFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, ppTexture);
}

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo)
{
    if (!pSrcFile || !pSrcInfo)
        return D3DERR_INVALIDCALL;
    std::vector<BYTE> bytes;
    if (!ReadWholeFile(pSrcFile, &bytes))
        return D3DERR_NOTFOUND;
    DecodedImage image;
    HRESULT hr = DecodeImage(bytes.data(), bytes.size(), &image);
    if (FAILED(hr))
        return hr;
    *pSrcInfo = D3DXIMAGE_INFO{
        image.width,      image.height,    1, image.levels.empty() ? 1u : UINT(image.levels.size()), image.format,
        D3DRTYPE_TEXTURE, image.fileFormat};
    return D3D_OK;
}
