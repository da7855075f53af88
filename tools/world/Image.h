#pragma once
// An RGBA picture that the texture painters draw into and the codecs write out.

#include <cstdint>
#include <vector>

namespace world {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

Rgba Mix(Rgba a, Rgba b, float t);
Rgba Shade(Rgba c, float factor); // multiplies the colour channels, keeps alpha

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgba fill = {});

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgba& At(int x, int y) { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    const Rgba& At(int x, int y) const { return m_pixels[static_cast<std::size_t>(y) * m_width + x]; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // Source-over blending of `c` scaled by `coverage` (0..1).
    void Blend(int x, int y, Rgba c, float coverage = 1.0f);
    bool HasTranslucency() const;

private:
    int m_width = 0, m_height = 0;
    std::vector<Rgba> m_pixels;
};

} // namespace world
