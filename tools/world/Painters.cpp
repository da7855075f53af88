#include "Painters.h"

#include <algorithm>
#include <cmath>

namespace world {

std::uint32_t Random::Next()
{
    // xorshift32: small, fast and the same on every machine.
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

static float Hash(std::uint32_t seed, int x, int y)
{
    std::uint32_t h =
        seed * 0x9E3779B1u ^ static_cast<std::uint32_t>(x) * 0x85EBCA77u ^ static_cast<std::uint32_t>(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return (h & 0xFFFF) / 65535.0f;
}

void FillRect(Image& image, int x0, int y0, int x1, int y1, Rgba c)
{
    for (int y = std::max(0, y0); y < std::min(image.Height(), y1); ++y)
        for (int x = std::max(0, x0); x < std::min(image.Width(), x1); ++x)
            image.At(x, y) = c;
}

void Checker(Image& image, int cell, Rgba a, Rgba b)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            image.At(x, y) = ((x / cell + y / cell) % 2) ? b : a;
}

void Stripes(Image& image, int width, Rgba a, Rgba b, bool vertical)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            image.At(x, y) = (((vertical ? x : y) / width) % 2) ? b : a;
}

void VerticalGradient(Image& image, Rgba top, Rgba bottom)
{
    for (int y = 0; y < image.Height(); ++y) {
        Rgba c = Mix(top, bottom, image.Height() > 1 ? y / float(image.Height() - 1) : 0);
        for (int x = 0; x < image.Width(); ++x)
            image.At(x, y) = c;
    }
}

void RadialGradient(Image& image, float cx, float cy, float radius, Rgba inner, Rgba outer)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            image.At(x, y) = Mix(inner, outer, std::min(d, 1.0f));
        }
}

void Grain(Image& image, std::uint32_t seed, float amount, int scale)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float n = Hash(seed, x / scale, y / scale) * 2 - 1;
            image.At(x, y) = Shade(image.At(x, y), 1 + n * amount);
        }
}

void Planks(Image& image, int plankHeight, Rgba wood, std::uint32_t seed)
{
    for (int y = 0; y < image.Height(); ++y) {
        int plank = y / plankHeight;
        float tone = 0.85f + 0.3f * Hash(seed, plank, 7);
        int offset = static_cast<int>(Hash(seed, plank, 3) * image.Width());
        for (int x = 0; x < image.Width(); ++x) {
            float grain = 0.08f * std::sin((x + offset) * 0.15f + 3 * std::sin(y * 0.4f + plank));
            Rgba c = Shade(wood, tone + grain);
            bool seam = (y % plankHeight) == 0 || ((x + offset) % image.Width()) == 0;
            image.At(x, y) = seam ? Shade(wood, 0.45f) : c;
        }
    }
}

void Bricks(Image& image, int bw, int bh, Rgba brick, Rgba mortar)
{
    for (int y = 0; y < image.Height(); ++y) {
        int row = y / bh;
        int shift = (row % 2) ? bw / 2 : 0;
        for (int x = 0; x < image.Width(); ++x) {
            int column = (x + shift) / bw;
            bool joint = (y % bh) < 2 || ((x + shift) % bw) < 2;
            image.At(x, y) = joint ? mortar : Shade(brick, 0.85f + 0.3f * Hash(11, column, row));
        }
    }
}

void Tiles(Image& image, int tile, Rgba a, Rgba b, Rgba grout)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            bool joint = (x % tile) < 1 || (y % tile) < 1;
            image.At(x, y) = joint ? grout : (((x / tile + y / tile) % 2) ? b : a);
        }
}

// Coverage of a pixel by a shape given as a signed distance (negative inside), one pixel of
// smoothing so edges are not jagged.
static float Coverage(float distance)
{
    return std::clamp(0.5f - distance, 0.0f, 1.0f);
}

void Disc(Image& image, float cx, float cy, float radius, Rgba c)
{
    for (int y = std::max(0, int(cy - radius - 2)); y < std::min(image.Height(), int(cy + radius + 2)); ++y)
        for (int x = std::max(0, int(cx - radius - 2)); x < std::min(image.Width(), int(cx + radius + 2)); ++x)
            image.Blend(x, y, c, Coverage(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius));
}

void Ring(Image& image, float cx, float cy, float radius, float width, Rgba c)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius) - width / 2;
            image.Blend(x, y, c, Coverage(d));
        }
}

void RoundedRect(Image& image, float x0, float y0, float x1, float y1, float r, Rgba c)
{
    for (int y = std::max(0, int(y0) - 1); y < std::min(image.Height(), int(y1) + 2); ++y)
        for (int x = std::max(0, int(x0) - 1); x < std::min(image.Width(), int(x1) + 2); ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float qx = std::max(std::max(x0 + r - px, px - (x1 - r)), 0.0f);
            float qy = std::max(std::max(y0 + r - py, py - (y1 - r)), 0.0f);
            float outside = std::hypot(qx, qy) - r;
            float inside = std::max(std::min(px - x0, x1 - px), 0.0f);
            float d = (qx > 0 || qy > 0) ? outside : -std::min(inside, std::min(py - y0, y1 - py));
            image.Blend(x, y, c, Coverage(d));
        }
}

void Line(Image& image, float x0, float y0, float x1, float y1, float width, Rgba c)
{
    float dx = x1 - x0, dy = y1 - y0;
    float length2 = dx * dx + dy * dy;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f) : 0;
            float d = std::hypot(px - t * dx, py - t * dy) - width / 2;
            image.Blend(x, y, c, Coverage(d));
        }
}

void Triangle(Image& image, float ax, float ay, float bx, float by, float cx, float cy, Rgba c)
{
    auto edge = [](float x0, float y0, float x1, float y1, float px, float py) {
        float nx = y1 - y0, ny = x0 - x1;
        float length = std::hypot(nx, ny);
        return ((px - x0) * nx + (py - y0) * ny) / length;
    };
    float orient = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
    float sign = orient > 0 ? 1.0f : -1.0f;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = std::max({sign * edge(ax, ay, bx, by, px, py), sign * edge(bx, by, cx, cy, px, py),
                                sign * edge(cx, cy, ax, ay, px, py)});
            image.Blend(x, y, c, Coverage(d));
        }
}

void Arrow(Image& image, float dx, float dy, Rgba c)
{
    float length = std::hypot(dx, dy);
    if (length == 0)
        return;
    dx /= length;
    dy /= length;
    float cx = image.Width() / 2.0f, cy = image.Height() / 2.0f;
    float size = std::min(image.Width(), image.Height()) * 0.38f;
    float px = -dy, py = dx;
    Line(image, cx - dx * size, cy - dy * size, cx + dx * size * 0.2f, cy + dy * size * 0.2f, size * 0.35f, c);
    Triangle(image, cx + dx * size, cy + dy * size, cx + px * size * 0.6f, cy + py * size * 0.6f, cx - px * size * 0.6f,
             cy - py * size * 0.6f, c);
}

} // namespace world
