#include "Screenshot.h"

#include <ImageFile.h>
#include <d3dx8.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace {

struct SurfaceRelease {
    void operator()(IDirect3DSurface8* surface) const { surface->Release(); }
};
using SurfacePtr = std::unique_ptr<IDirect3DSurface8, SurfaceRelease>;

// The area cut to the surface: a window partly off the screen, or a part beyond a preview,
// keeps only what the surface has.
bool ClipToSurface(IDirect3DSurface8* surface, RECT* area)
{
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc)))
        return false;
    area->left = std::max<LONG>(area->left, 0);
    area->top = std::max<LONG>(area->top, 0);
    area->right = std::min<LONG>(area->right, static_cast<LONG>(desc.Width));
    area->bottom = std::min<LONG>(area->bottom, static_cast<LONG>(desc.Height));
    return area->right > area->left && area->bottom > area->top;
}

// Step two of a capture: the BMP read back as RGB and written as the JPEG.
HRESULT ConvertToJpeg(LPCSTR bmpFile, LPCSTR jpegFile, int width, int height)
{
    CImageFile image;
    int bmpWidth = 0;
    int bmpHeight = 0;
    std::unique_ptr<unsigned char[]> rgb(image.LoadBmp(bmpFile, &bmpWidth, &bmpHeight));
    if (!rgb)
        return E_FAIL;
    if (width > 0 && height > 0) {
        // Only ever smaller: a larger size would leave the JPEG writer short of pixels.
        if (!CImageFile::Resample(rgb.get(), static_cast<unsigned>(bmpWidth), static_cast<unsigned>(bmpHeight),
                                  rgb.get(), static_cast<unsigned>(width), static_cast<unsigned>(height)))
            return E_FAIL;
        bmpWidth = width;
        bmpHeight = height;
    }
    const bool saved = image.SaveJpeg(jpegFile, rgb.get(), static_cast<unsigned>(bmpWidth),
                                      static_cast<unsigned>(bmpHeight), true, 75);
    return saved ? D3D_OK : E_FAIL;
}

} // namespace

bool FileExists(LPCSTR path)
{
    CFileStatus status;
    return CFile::GetStatus(path, status) != FALSE;
}

HRESULT SaveScreenshot(IDirect3DDevice8* device, HWND window, LPCSTR bmpFile, LPCSTR jpegFile, RECT* part, int width,
                       int height, IDirect3DSwapChain8* swapChain, BOOL deleteBmp)
{
    if (!device || !bmpFile || !jpegFile)
        return D3DERR_INVALIDCALL;
    D3DDISPLAYMODE mode{};
    HRESULT hr = device->GetDisplayMode(&mode);
    if (FAILED(hr))
        return hr;
    RECT screen{};
    if (!GetWindowRect(window, &screen))
        return D3DERR_INVALIDCALL;
    if (part) {
        screen = RECT{screen.left + part->left, screen.top + part->top, screen.left + part->right,
                      screen.top + part->bottom};
    }

    IDirect3DSurface8* captured = nullptr;
    RECT area;
    if (swapChain) {
        hr = swapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &captured);
        if (FAILED(hr))
            return hr;
        area = part ? *part : RECT{0, 0, std::numeric_limits<LONG>::max(), std::numeric_limits<LONG>::max()};
    } else {
        hr = device->CreateImageSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, &captured);
        if (FAILED(hr))
            return hr;
        area = screen;
    }
    SurfacePtr surface(captured);
    if (!swapChain) {
        hr = device->GetFrontBuffer(surface.get());
        if (FAILED(hr))
            return hr;
    }
    if (!ClipToSurface(surface.get(), &area))
        return D3DERR_INVALIDCALL;
    hr = D3DXSaveSurfaceToFileA(bmpFile, D3DXIFF_BMP, surface.get(), nullptr, &area);
    surface.reset();
    // Without the BMP just written, a file of an earlier capture could be read back in its place.
    if (FAILED(hr))
        return hr;

    const HRESULT converted = ConvertToJpeg(bmpFile, jpegFile, width, height);
    if (deleteBmp)
        DeleteFileA(bmpFile);
    return converted;
}
