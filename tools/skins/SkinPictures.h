#pragma once
// The skin's pictures, painted in code so every build writes the same bytes.
#include <cstdint>
#include <string>
#include <vector>

struct SkinPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, top row first

    SkinPicture(int w, int h, uint32_t fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    void Fill(int left, int top, int right, int bottom, uint32_t colour);
    void Frame(int left, int top, int right, int bottom, uint32_t colour);
    // A vertical blend from `from` at `top` to `to` at `bottom`.
    void Gradient(int left, int top, int right, int bottom, uint32_t from, uint32_t to);
    // 24 bits per pixel, bottom-up, 40-byte header.
    std::vector<uint8_t> Bmp() const;
};

// The theme's colours (0x00RRGGBB), shared by every painted picture of the skins.
namespace SkinTheme {
constexpr uint32_t kOrange = 0xF28C28;
constexpr uint32_t kOrangeLight = 0xFFC078;
constexpr uint32_t kOrangeDark = 0xB85A10;
constexpr uint32_t kCream = 0xFFF4E6;
} // namespace SkinTheme

// The colour `step` of `steps` along the way from `a` to `b`.
uint32_t BlendColour(uint32_t a, uint32_t b, int step, int steps);

// Every picture of the default skins by file name.
std::vector<std::pair<std::string, SkinPicture>> DefaultSkinPictures();
