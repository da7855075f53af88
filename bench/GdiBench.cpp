// GDI speed goals: a screen-sized copy close to memcpy, the skins' transparent button blit, and
// a screenful of mixed Korean and Latin text with a warm glyph cache.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Bitmap {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    Bitmap(int w, int h)
    {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateBitmap(w, h, 1, 32, nullptr);
        old = SelectObject(dc, bitmap);
    }
    ~Bitmap()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

void BM_Memcpy1024x768(benchmark::State& state)
{
    std::vector<uint32_t> a(1024 * 768, 1), b(1024 * 768);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), a.size() * 4);
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(a.size()) * 4);
}
BENCHMARK(BM_Memcpy1024x768);

void BM_BitBltSrcCopy1024x768(benchmark::State& state)
{
    Bitmap src(1024, 768), dst(1024, 768);
    for (auto _ : state)
        benchmark::DoNotOptimize(BitBlt(dst.dc, 0, 0, 1024, 768, src.dc, 0, 0, SRCCOPY));
    state.SetBytesProcessed(state.iterations() * 1024 * 768 * 4);
}
BENCHMARK(BM_BitBltSrcCopy1024x768);

// The skinned windows' transparent blit of a 200x60 button picture keyed in magenta: temporary
// image and mask, key fill, copy, mask from the key colour, then the masked blit.
void BM_TransparentBlit200x60(benchmark::State& state)
{
    const int w = 200, h = 60;
    Bitmap picture(w, h), dest(400, 200);
    RECT key{0, 0, w, h};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(picture.dc, &key, magenta);
    RECT body{20, 10, 180, 50};
    FillRect(picture.dc, &body, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    for (auto _ : state) {
        HDC imageDC = CreateCompatibleDC(dest.dc);
        HDC maskDC = CreateCompatibleDC(dest.dc);
        HBITMAP image = CreateCompatibleBitmap(dest.dc, w, h);
        HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
        HGDIOBJ oldImage = SelectObject(imageDC, image);
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        COLORREF oldBk = SetBkColor(imageDC, RGB(255, 0, 255));
        ExtTextOutA(imageDC, 0, 0, ETO_OPAQUE, &key, nullptr, 0, nullptr);
        BitBlt(imageDC, 0, 0, w, h, picture.dc, 0, 0, SRCCOPY);
        BitBlt(maskDC, 0, 0, w, h, imageDC, 0, 0, SRCCOPY);
        SetBkColor(imageDC, oldBk);
        MaskBlt(dest.dc, 100, 70, w, h, imageDC, 0, 0, mask, 0, 0, 0xCCAA0020);
        SelectObject(imageDC, oldImage);
        SelectObject(maskDC, oldMask);
        DeleteObject(image);
        DeleteObject(mask);
        DeleteDC(imageDC);
        DeleteDC(maskDC);
    }
    DeleteObject(magenta);
}
BENCHMARK(BM_TransparentBlit200x60)->Unit(benchmark::kMicrosecond);

// Thirty lines of chat-like text, Hangul (CP949) and Latin mixed, laid out and drawn.
void BM_DrawText30Lines(benchmark::State& state)
{
    Bitmap dest(640, 480);
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, HANGUL_CHARSET, 0, 0, 0, 0, "\xB1\xBC\xB8\xB2");
    HGDIOBJ oldFont = SelectObject(dest.dc, font);
    SetBkMode(dest.dc, TRANSPARENT);
    std::vector<std::string> lines;
    for (int i = 0; i < 30; ++i)
        lines.push_back("[Member" + std::to_string(i) +
                        "] \xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4! Yonda \xB7\xEB\xBF\xA1 "
                        "\xBF\xC0\xBD\xC5 \xB0\xCD\xC0\xBB \xC8\xAF\xBF\xB5\xC7\xD5\xB4\xCF\xB4\xD9 :)");
    auto draw = [&] {
        for (int i = 0; i < 30; ++i) {
            RECT r{4, 4 + i * 15, 636, 19 + i * 15};
            DrawTextA(dest.dc, lines[i].c_str(), -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
    };
    draw(); // warm the glyph cache
    for (auto _ : state)
        draw();
    SelectObject(dest.dc, oldFont);
    DeleteObject(font);
}
BENCHMARK(BM_DrawText30Lines)->Unit(benchmark::kMicrosecond);

} // namespace
