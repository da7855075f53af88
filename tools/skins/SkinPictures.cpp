#include "SkinPictures.h"

#include "ControlPictures.h"

#include <algorithm>

namespace {

using namespace SkinTheme;

// A window or dialog background: an orange title band over a cream body in an orange frame.
SkinPicture Background(int width, int height)
{
    SkinPicture p(width, height, kCream);
    p.Gradient(0, 0, width, 28, kOrangeLight, kOrange);
    p.Frame(0, 0, width, height, kOrangeDark);
    p.Frame(1, 1, width - 1, height - 1, kOrangeLight);
    return p;
}

} // namespace

uint32_t BlendColour(uint32_t a, uint32_t b, int step, int steps)
{
    auto channel = [&](int shift) {
        const int ca = (a >> shift) & 0xFF;
        const int cb = (b >> shift) & 0xFF;
        return static_cast<uint32_t>(ca + (cb - ca) * step / (steps > 0 ? steps : 1)) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

void SkinPicture::Fill(int left, int top, int right, int bottom, uint32_t colour)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            pixels[static_cast<size_t>(y) * width + x] = colour;
        }
    }
}

void SkinPicture::Frame(int left, int top, int right, int bottom, uint32_t colour)
{
    Fill(left, top, right, top + 1, colour);
    Fill(left, bottom - 1, right, bottom, colour);
    Fill(left, top, left + 1, bottom, colour);
    Fill(right - 1, top, right, bottom, colour);
}

void SkinPicture::Gradient(int left, int top, int right, int bottom, uint32_t from, uint32_t to)
{
    for (int y = top; y < bottom; ++y) {
        Fill(left, y, right, y + 1, BlendColour(from, to, y - top, bottom - top - 1));
    }
}

std::vector<uint8_t> SkinPicture::Bmp() const
{
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t bitsSize = static_cast<uint32_t>(stride * height);
    std::vector<uint8_t> out;
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
    };
    out.push_back('B');
    out.push_back('M');
    put(54 + bitsSize, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(static_cast<uint32_t>(width), 4);
    put(static_cast<uint32_t>(height), 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(bitsSize, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            put(pixels[static_cast<size_t>(y) * width + x], 3);
        }
        out.insert(out.end(), stride - static_cast<size_t>(width) * 3, 0);
    }
    return out;
}

std::vector<std::pair<std::string, SkinPicture>> DefaultSkinPictures()
{
    std::vector<std::pair<std::string, SkinPicture>> pictures;
    // The message box's background carries no text: the box draws its title and lines itself.
    pictures.emplace_back("msg_back.bmp", Background(320, 340));
    pictures.emplace_back("msg_shop_back.bmp", Background(320, 340));
    for (auto& control : ControlSkinPictures()) {
        pictures.push_back(std::move(control));
    }
    return pictures;
}
