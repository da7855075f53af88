// The pixels every device context draws into, and the device contexts the window system builds on
// them. Platform-internal: the window system, the display backends and Direct3D's presentation
// include it; programs only see HDCs.
#pragma once

#include <windef.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace yonda::gdi {

// A 32-bit surface: one uint32_t per pixel, 0xAARRGGBB (bytes B, G, R, A in memory), rows `stride`
// pixels apart. GDI keeps colour surfaces opaque (alpha 0xFF), except a DIB section's: there the
// fourth byte belongs to the program, and drawing treats it as data like the other three. A
// monochrome surface (a 1-bit bitmap) uses the same storage with every pixel all zeros (0, black)
// or all ones (1, white).
class Surface {
public:
    enum class Format { Color32, Mono1 };

    // Owned pixels, black.
    Surface(int width, int height, Format format = Format::Color32);
    // Pixels owned by someone else (a DIB section's bits); `stridePixels` may be negative for
    // rows stored bottom-up.
    Surface(uint32_t* firstRow, int width, int height, ptrdiff_t stridePixels, Format format = Format::Color32);

    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    ptrdiff_t Stride() const { return m_stride; }         // in pixels
    ptrdiff_t PitchBytes() const { return m_stride * 4; } // in bytes
    Format GetFormat() const { return m_format; }
    bool Monochrome() const { return m_format == Format::Mono1; }
    // What every drawing result is OR-ed with: 0xFF000000 keeps an opaque colour surface opaque.
    uint32_t OpaqueMask() const { return m_format == Format::Color32 && !m_alphaIsData ? 0xFF000000u : 0u; }
    // Makes the fourth byte the program's (a DIB section's bits).
    void KeepAlphaAsData() { m_alphaIsData = true; }
    bool AlphaIsData() const { return m_alphaIsData; }

    uint32_t* Row(int y) { return m_first + m_stride * y; }
    const uint32_t* Row(int y) const { return m_first + m_stride * y; }
    uint32_t* Data() { return m_first; }
    const uint32_t* Data() const { return m_first; }

    // Every pixel to one value (already in this surface's form).
    void Fill(uint32_t pixel);
    // Grows or shrinks an owned surface; the kept area keeps its pixels, new area is black.
    bool Resize(int width, int height);

private:
    std::vector<uint32_t> m_storage;
    uint32_t* m_first = nullptr;
    int m_width = 0;
    int m_height = 0;
    ptrdiff_t m_stride = 0;
    Format m_format = Format::Color32;
    bool m_alphaIsData = false;
};

// COLORREF (0x00BBGGRR) to an opaque colour pixel and back.
inline uint32_t PixelFromColor(COLORREF c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF ColorFromPixel(uint32_t p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

// A device context drawing into `surface`: device point (0, 0) lands on surface point `origin`,
// and nothing is drawn outside `clip` (surface coordinates). The window system makes window DCs,
// BeginPaint's and GetDC's, this way and frees them with DeleteDC.
HDC CreateSurfaceDC(std::shared_ptr<Surface> surface, POINT origin, const RECT& clip);
// Replaces a surface DC's visible area (surface coordinates), e.g. by a paint's update rectangles.
BOOL SetSurfaceDCVisibleRects(HDC hdc, const std::vector<RECT>& visible);
// The surface a DC draws into (a memory DC's selected bitmap), or null for a bad handle.
std::shared_ptr<Surface> GetDCSurface(HDC hdc);
// A bitmap's pixels, shared (drawing through them changes the bitmap), or null.
std::shared_ptr<Surface> GetBitmapSurface(HBITMAP bitmap);

} // namespace yonda::gdi
