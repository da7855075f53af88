#include "Image.h"

#include <algorithm>
#include <cmath>

namespace world {

static std::uint8_t Channel(float v)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

Rgba Mix(Rgba a, Rgba b, float t)
{
    return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t), Channel(a.b + (b.b - a.b) * t),
            Channel(a.a + (b.a - a.a) * t)};
}

Rgba Shade(Rgba c, float f)
{
    return {Channel(c.r * f), Channel(c.g * f), Channel(c.b * f), c.a};
}

Image::Image(int width, int height, Rgba fill)
    : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width) * height, fill)
{}

void Image::Blend(int x, int y, Rgba c, float coverage)
{
    if (!Contains(x, y))
        return;
    Rgba& d = At(x, y);
    float sa = (c.a / 255.0f) * std::clamp(coverage, 0.0f, 1.0f);
    float da = d.a / 255.0f;
    float oa = sa + da * (1 - sa);
    if (oa <= 0) {
        d = {0, 0, 0, 0};
        return;
    }
    auto mixChannel = [&](std::uint8_t s, std::uint8_t t) { return Channel((s * sa + t * da * (1 - sa)) / oa); };
    d = {mixChannel(c.r, d.r), mixChannel(c.g, d.g), mixChannel(c.b, d.b), Channel(oa * 255)};
}

bool Image::HasTranslucency() const
{
    return std::any_of(m_pixels.begin(), m_pixels.end(), [](const Rgba& p) { return p.a != 255; });
}

} // namespace world
