// Saving a surface, or a rectangle of it, as a 24-bit BMP file.
#include "FileAccess.h"
#include "Device.h"
#include "IndexBuffer.h"
#include "Texture.h"
#include "VertexBuffer.h"
#include "Surface.h"
#include "d3dx8.h"

using namespace yonda::d3d8;

namespace {

void Put16(std::vector<BYTE>& out, uint32_t v)
{
    out.push_back(BYTE(v));
    out.push_back(BYTE(v >> 8));
}

void Put32(std::vector<BYTE>& out, uint32_t v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

} // namespace

HRESULT WINAPI D3DXSaveSurfaceToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat, IDirect3DSurface8* pSrcSurface,
                                      const tagPALETTEENTRY*, const RECT* pSrcRect)
{
    auto* surface = pSrcSurface ? dynamic_cast<Surface*>(pSrcSurface) : nullptr;
    if (!pDestFile || !surface)
        return D3DERR_INVALIDCALL;
    if (DestFormat != D3DXIFF_BMP && DestFormat != D3DXIFF_DIB)
        return D3DERR_INVALIDCALL;
    RECT rect{0, 0, LONG(surface->Width()), LONG(surface->Height())};
    if (pSrcRect) {
        if (pSrcRect->left < 0 || pSrcRect->top < 0 || pSrcRect->right <= pSrcRect->left ||
            pSrcRect->bottom <= pSrcRect->top || pSrcRect->right > rect.right || pSrcRect->bottom > rect.bottom) {
            return D3DERR_INVALIDCALL;
        }
        rect = *pSrcRect;
    }
    std::vector<uint32_t> pixels;
    HRESULT hr;
    if (Device* device = surface->Owner()) {
        std::lock_guard lock(device->Mutex());
        hr = surface->ReadArgb(&pixels);
    } else {
        hr = surface->ReadArgb(&pixels);
    }
    if (FAILED(hr))
        return hr;

    uint32_t width = uint32_t(rect.right - rect.left), height = uint32_t(rect.bottom - rect.top);
    uint32_t stride = (width * 3 + 3) & ~3u;
    uint32_t imageSize = stride * height;
    std::vector<BYTE> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + imageSize);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height); // positive: rows from the bottom up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (uint32_t row = 0; row < height; ++row) {
        uint32_t y = uint32_t(rect.bottom) - 1 - row;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t pixel = pixels[size_t(y) * surface->Width() + uint32_t(rect.left) + x];
            out.push_back(BYTE(pixel));
            out.push_back(BYTE(pixel >> 8));
            out.push_back(BYTE(pixel >> 16));
        }
        for (uint32_t pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return WriteWholeFile(pDestFile, out) ? D3D_OK : D3DERR_INVALIDCALL;
}
