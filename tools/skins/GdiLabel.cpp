#include "GdiLabel.h"

#include <cstring>

bool PaintWithGdi(SkinPicture& picture, const std::function<bool(HDC)>& draw)
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
    bool drawn = false;
    if (bitmap && bits && dc) {
        auto* pixels = static_cast<uint32_t*>(bits);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            pixels[i] = 0xFF000000u | picture.pixels[i];
        }
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        drawn = draw(dc);
        SelectObject(dc, oldBitmap);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            picture.pixels[i] = pixels[i] & 0xFFFFFFu;
        }
    }
    if (dc) {
        DeleteDC(dc);
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
    return drawn;
}

bool DrawLabel(SkinPicture& picture, int x, int y, const std::string& utf8, UINT codePage, const LabelStyle& style)
{
    HFONT font = CreateFontA(-style.height, 0, 0, 0, style.weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, "");
    if (!font) {
        return false;
    }
    const bool drawn = PaintWithGdi(picture, [&](HDC dc) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        // The text's bytes are in the skin's code page, as the skin's own windows keep them.
        const UINT previous = GetACP();
        YondaSetActiveCodePage(codePage);
        const std::string bytes = YondaUtf8ToCodePage(utf8, codePage);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB((style.colour >> 16) & 0xFF, (style.colour >> 8) & 0xFF, style.colour & 0xFF));
        SetTextAlign(dc, style.align);
        const bool done = TextOutA(dc, x, y, bytes.data(), static_cast<int>(bytes.size())) != FALSE;
        YondaSetActiveCodePage(previous);
        SelectObject(dc, oldFont);
        return done;
    });
    DeleteObject(font);
    return drawn;
}

void DrawBoxedText(SkinPicture& picture, RECT box, const std::string& bytes, const BoxTextStyle& style, UINT codePage)
{
    if (bytes.empty()) {
        return;
    }
    LOGFONTA log{};
    log.lfHeight = -style.height;
    log.lfWeight = style.weight;
    log.lfUnderline = style.underline ? 1 : 0;
    log.lfCharSet = codePage == 949 ? HANGUL_CHARSET : DEFAULT_CHARSET;
    HFONT font = CreateFontIndirectA(&log);
    PaintWithGdi(picture, [&](HDC dc) {
        HGDIOBJ oldFont = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(style.colour >> 16, (style.colour >> 8) & 0xFF, style.colour & 0xFF));
        DrawTextA(dc, bytes.c_str(), static_cast<int>(bytes.size()), &box, style.format | DT_NOPREFIX);
        SelectObject(dc, oldFont);
        return true;
    });
    DeleteObject(font);
}
