// Bitmaps: 32-bit colour and 1-bit monochrome device bitmaps, DIB sections, and the DIB calls.
#include "DeviceContext.h"
#include "Dib.h"

#include <algorithm>
#include <cstring>

namespace yonda::gdi {

namespace {

constexpr int kMaxSide = 32767;

HBITMAP NewBitmap(int width, int height, Surface::Format format)
{
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        static_cast<long long>(width) * height > kMaxDibPixels)
        return nullptr;
    auto bitmap = std::make_shared<BitmapObject>();
    bitmap->surface = std::make_shared<Surface>(width, height, format);
    return reinterpret_cast<HBITMAP>(RegisterObject(bitmap));
}

// A new bitmap for `hdc` takes the format of what the DC draws into: a memory DC's selected
// bitmap (monochrome in a fresh memory DC), otherwise colour.
Surface::Format CompatibleFormat(HDC hdc)
{
    auto dc = LookupDC(hdc);
    if (dc && dc->memory && dc->Target() && dc->Target()->Monochrome())
        return Surface::Format::Mono1;
    return Surface::Format::Color32;
}

} // namespace

} // namespace yonda::gdi

using namespace yonda::gdi;

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits)
{
    UINT depth = nPlanes * nBitCount;
    if (nPlanes == 0 || depth == 0 || depth > 32)
        return nullptr;
    if (nWidth == 0 || nHeight == 0)
        return reinterpret_cast<HBITMAP>(DefaultBitmap());
    Surface::Format format = depth == 1 ? Surface::Format::Mono1 : Surface::Format::Color32;
    HBITMAP handle = NewBitmap(nWidth, nHeight, format);
    if (!handle || !lpBits)
        return handle;
    Surface& s = *LookupBitmap(handle)->surface;
    const auto* bytes = static_cast<const uint8_t*>(lpBits);
    // Device bitmap rows are padded to 16 bits.
    size_t rowBytes = ((static_cast<size_t>(nWidth) * depth + 15) / 16) * 2;
    for (int y = 0; y < nHeight; ++y) {
        const uint8_t* p = bytes + rowBytes * y;
        uint32_t* out = s.Row(y);
        for (int x = 0; x < nWidth; ++x) {
            if (depth == 1)
                out[x] = ((p[x >> 3] >> (7 - (x & 7))) & 1) ? 0xFFFFFFFFu : 0u;
            else if (depth == 24)
                out[x] = 0xFF000000u | (p[x * 3 + 2] << 16) | (p[x * 3 + 1] << 8) | p[x * 3];
            else if (depth == 32)
                out[x] = 0xFF000000u | (p[x * 4 + 2] << 16) | (p[x * 4 + 1] << 8) | p[x * 4];
        }
    }
    return handle;
}

HBITMAP CreateBitmapIndirect(const BITMAP* pbm)
{
    if (!pbm)
        return nullptr;
    return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    if (!LookupDC(hdc))
        return nullptr;
    if (cx == 0 || cy == 0)
        return reinterpret_cast<HBITMAP>(DefaultBitmap());
    return NewBitmap(cx, cy, CompatibleFormat(hdc));
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits, const BITMAPINFO* pbmi,
                       UINT iUsage)
{
    if (!pbmih || (hdc && !LookupDC(hdc)))
        return nullptr;
    LONG width = pbmih->biWidth;
    LONG height = pbmih->biHeight < 0 ? -pbmih->biHeight : pbmih->biHeight;
    Surface::Format format = hdc ? CompatibleFormat(hdc) : Surface::Format::Color32;
    HBITMAP handle = NewBitmap(width, height, format);
    if (!handle || !(flInit & CBM_INIT))
        return handle;
    DibFormat dib;
    if (!pjBits || iUsage != DIB_RGB_COLORS || !ReadDibFormat(pbmi, dib)) {
        DeleteObject(handle);
        return nullptr;
    }
    DecodeDibRows(dib, pjBits, 0, dib.height, *LookupBitmap(handle)->surface);
    return handle;
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD offset)
{
    if (ppvBits)
        *ppvBits = nullptr;
    DibFormat dib;
    if (usage != DIB_RGB_COLORS || hSection || !ReadDibFormat(pbmi, dib))
        return nullptr;
    // Only the 32-bit layout is the surface's own, so only it can share its bits with the caller.
    if (dib.bitCount != 32 || (dib.compression == BI_BITFIELDS &&
                               (dib.masks[0] != 0xFF0000 || dib.masks[1] != 0xFF00 || dib.masks[2] != 0xFF)))
        return nullptr;
    auto bitmap = std::make_shared<BitmapObject>();
    bitmap->dibStorage.assign(static_cast<size_t>(dib.width) * dib.height, 0u);
    uint32_t* first = bitmap->dibStorage.data();
    ptrdiff_t stride = dib.width;
    if (!dib.topDown) {
        first += static_cast<size_t>(dib.width) * (dib.height - 1);
        stride = -stride;
    }
    bitmap->surface = std::make_shared<Surface>(first, dib.width, dib.height, stride);
    bitmap->surface->KeepAlphaAsData();
    bitmap->dibBits = bitmap->dibStorage.data();
    std::memcpy(&bitmap->dibHeader, pbmi, sizeof(BITMAPINFOHEADER));
    bitmap->dibHeader.biSizeImage = static_cast<DWORD>(dib.stride * dib.height);
    if (ppvBits)
        *ppvBits = bitmap->dibBits;
    return reinterpret_cast<HBITMAP>(RegisterObject(bitmap));
}

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage)
{
    auto bitmap = LookupBitmap(hbm);
    if (!LookupDC(hdc) || !bitmap || !lpbmi || usage != DIB_RGB_COLORS)
        return 0;
    const Surface& s = *bitmap->surface;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    if (h.biBitCount == 0) {
        // Only the description is asked for.
        h.biWidth = s.Width();
        h.biHeight = s.Height();
        h.biPlanes = 1;
        h.biBitCount = s.Monochrome() ? 1 : 32;
        h.biCompression = BI_RGB;
        h.biSizeImage =
            static_cast<DWORD>(((static_cast<size_t>(s.Width()) * h.biBitCount + 31) / 32) * 4 * s.Height());
        h.biClrUsed = 0;
        return s.Height();
    }
    bool topDown = h.biHeight < 0;
    h.biWidth = s.Width();
    h.biHeight = topDown ? -s.Height() : s.Height();
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    if (h.biBitCount != 1 && h.biBitCount != 24 && h.biBitCount != 32)
        return 0;
    DibFormat dib;
    if (!ReadDibFormat(lpbmi, dib))
        return 0;
    h.biSizeImage = static_cast<DWORD>(dib.stride * dib.height);
    if (h.biBitCount == 1) {
        lpbmi->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
        (&lpbmi->bmiColors[0])[1] = RGBQUAD{255, 255, 255, 0};
        h.biClrUsed = 0;
    }
    if (!lpvBits)
        return s.Height();
    if (start >= static_cast<UINT>(dib.height))
        return 0;
    int count = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(dib.height) - start));
    return EncodeDibRows(s, dib, static_cast<int>(start), count, lpvBits) ? count : 0;
}

int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi, UINT ColorUse)
{
    auto bitmap = LookupBitmap(hbm);
    DibFormat dib;
    if ((hdc && !LookupDC(hdc)) || !bitmap || !lpBits || ColorUse != DIB_RGB_COLORS || !ReadDibFormat(lpbmi, dib))
        return 0;
    if (start >= static_cast<UINT>(dib.height))
        return 0;
    int count = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(dib.height) - start));
    DecodeDibRows(dib, lpBits, static_cast<int>(start), count, *bitmap->surface);
    return count;
}

namespace {

// Decodes a DIB into a temporary memory DC for the blits that draw DIBs directly.
struct DibDC {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    DibFormat format;
    DibDC(const void* bits, const BITMAPINFO* info)
    {
        if (!bits || !ReadDibFormat(info, format))
            return;
        bitmap = NewBitmap(format.width, format.height, Surface::Format::Color32);
        if (!bitmap)
            return;
        // The picture's own fourth byte goes on to the destination, which keeps it or not.
        LookupBitmap(bitmap)->surface->KeepAlphaAsData();
        DecodeDibRows(format, bits, 0, format.height, *LookupBitmap(bitmap)->surface);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~DibDC()
    {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bitmap)
            DeleteObject(bitmap);
    }
};

} // namespace

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop)
{
    if (!LookupDC(hdc) || iUsage != DIB_RGB_COLORS)
        return 0;
    DibDC source(lpBits, lpbmi);
    if (!source.dc)
        return 0;
    // Source coordinates count rows from the picture's bottom for bottom-up DIBs.
    int top = source.format.topDown ? ySrc : source.format.height - ySrc - SrcHeight;
    if (!StretchBlt(hdc, xDest, yDest, DestWidth, DestHeight, source.dc, xSrc, top, SrcWidth, SrcHeight, rop))
        return 0;
    return SrcHeight < 0 ? -SrcHeight : SrcHeight;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan, UINT cLines,
                      const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse)
{
    if (!LookupDC(hdc) || ColorUse != DIB_RGB_COLORS || StartScan != 0)
        return 0;
    DibDC source(lpvBits, lpbmi);
    if (!source.dc)
        return 0;
    int height = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(source.format.height)));
    int top = source.format.topDown ? ySrc : source.format.height - ySrc - static_cast<int>(h);
    if (!BitBlt(hdc, xDest, yDest, static_cast<int>(w), static_cast<int>(h), source.dc, xSrc, top, SRCCOPY))
        return 0;
    return height;
}
