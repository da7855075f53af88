#include "GdiLabel.h"

#include <cstring>

bool DrawLabel(SkinPicture& picture, int x, int y, const std::string& utf8, UINT codePage, const LabelStyle& style)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height; // top row first, as the picture keeps it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(-style.height, 0, 0, 0, style.weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, "");
    bool drawn = false;
    if (bitmap && bits && dc && font) {
        auto* pixels = static_cast<uint32_t*>(bits);
        std::memcpy(pixels, picture.pixels.data(), picture.pixels.size() * sizeof(uint32_t));
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, font);
        // The text's bytes are in the skin's code page, as the skin's own windows keep them.
        const UINT previous = GetACP();
        YondaSetActiveCodePage(codePage);
        const std::string bytes = YondaUtf8ToCodePage(utf8, codePage);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB((style.colour >> 16) & 0xFF, (style.colour >> 8) & 0xFF, style.colour & 0xFF));
        SetTextAlign(dc, style.align);
        drawn = TextOutA(dc, x, y, bytes.data(), static_cast<int>(bytes.size())) != FALSE;
        YondaSetActiveCodePage(previous);
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            picture.pixels[i] = pixels[i] & 0xFFFFFF;
        }
    }
    if (font) {
        DeleteObject(font);
    }
    if (dc) {
        DeleteDC(dc);
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
    return drawn;
}
