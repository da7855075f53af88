#include "ItemPainters.h"

#include "AvatarParts.h"
#include "Painters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace world {

namespace {

int Px(float u, const Image& image)
{
    return static_cast<int>(u * image.Width());
}
int Py(float v, const Image& image)
{
    return static_cast<int>(v * image.Height());
}

void FillUv(Image& image, const UvRect& r, Rgba c)
{
    FillRect(image, Px(r.u0, image), Py(r.v0, image), Px(r.u1, image) + 1, Py(r.v1, image) + 1, c);
}

} // namespace

// The layout every item texture shares: the main area, the skin, trim and accent swatches and the
// soft shadow that the lower body lays under the feet.
void PaintAtlas(Image& image, Studio& studio, const Palette& p, Pattern pattern, std::uint32_t seed)
{
    int h = Py(kAtlas.main.v1, image) + 1;
    FillRect(image, 0, 0, image.Width(), image.Height(), Shade(p.main, 0.8f));
    FillRect(image, 0, 0, image.Width(), h, p.main);
    switch (pattern) {
    case Pattern::Plain: break;
    case Pattern::Stripes:
        for (int y = 0; y < h; ++y)
            if ((y / 6) % 3 == 0)
                FillRect(image, 0, y, image.Width(), y + 1, p.trim);
        break;
    case Pattern::Checker:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x)
                if (((x / 10) + (y / 10)) % 2)
                    image.At(x, y) = Mix(p.main, p.trim, 0.5f);
        break;
    case Pattern::Denim:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x)
                if ((x + y) % 4 == 0)
                    image.At(x, y) = Shade(p.main, 1.15f);
        break;
    case Pattern::Dots:
        for (int y = 6; y < h; y += 14)
            for (int x = 6 + (y / 14 % 2) * 7; x < image.Width(); x += 14)
                Disc(image, static_cast<float>(x), static_cast<float>(y), 3, p.accent);
        break;
    case Pattern::Plaid:
        // Tartan: broad bands of the trim both ways, darker where they cross, thin accent lines.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x) {
                bool across = y % 24 < 7, down = x % 24 < 7;
                Rgba c = p.main;
                if (across || down)
                    c = Mix(p.main, p.trim, across && down ? 0.85f : 0.5f);
                if (y % 24 == 15 || x % 24 == 15)
                    c = Mix(c, p.accent, 0.6f);
                image.At(x, y) = c;
            }
        break;
    case Pattern::Zigzag:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x) {
                int d = (y + std::abs(x % 20 - 10)) % 20;
                if (d < 4)
                    image.At(x, y) = p.trim;
                else if (d < 6)
                    image.At(x, y) = p.accent;
            }
        break;
    case Pattern::Band: {
        // One broad band across the chest (or the thighs), edged with the accent.
        int top = h * 2 / 5, bottom = h * 3 / 5;
        FillRect(image, 0, top, image.Width(), bottom, p.trim);
        FillRect(image, 0, top - 3, image.Width(), top - 1, p.accent);
        FillRect(image, 0, bottom + 1, image.Width(), bottom + 3, p.accent);
        break;
    }
    case Pattern::Logo: studio.Text().DrawCentred(image, "YONDA", 18, image.Width() / 2.0f, h * 0.55f, p.accent); break;
    }
    if (pattern != Pattern::Logo) {
        // A little cloth grain, the same on every run.
        Image grain(image.Width(), h, {128, 128, 128, 255});
        Grain(grain, seed, 0.06f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x)
                image.At(x, y) = Shade(image.At(x, y), grain.At(x, y).r / 128.0f);
    }
    FillUv(image, kAtlas.skin, kSkin);
    FillUv(image, kAtlas.trim, p.trim);
    FillUv(image, kAtlas.accent, p.accent);
    int x0 = Px(kAtlas.shadow.u0, image), y0 = Py(kAtlas.shadow.v0, image);
    int x1 = Px(kAtlas.shadow.u1, image), y1 = Py(kAtlas.shadow.v1, image);
    float cx = (x0 + x1) / 2.0f, cy = (y0 + y1) / 2.0f, radius = (x1 - x0) / 2.0f;
    // A clear margin round the shadow: filtering at the panel's edges reads a texel beyond them,
    // and an opaque one there would draw the panel's outline on the floor.
    constexpr int kMargin = 2;
    for (int y = std::max(y0 - kMargin, 0); y < std::min(y1 + kMargin, image.Height()); ++y)
        for (int x = std::max(x0 - kMargin, 0); x < std::min(x1 + kMargin, image.Width()); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            float a = std::clamp(1 - d, 0.0f, 1.0f);
            image.At(x, y) = {0, 0, 0, static_cast<std::uint8_t>(150 * a * a)};
        }
}

std::function<void(Image&, Studio&)> Atlas(Palette p, Pattern pattern, std::uint32_t seed)
{
    return [p, pattern, seed](Image& image, Studio& studio) { PaintAtlas(image, studio, p, pattern, seed); };
}

Palette Recolour(Palette p, Rgba main)
{
    p.main = main;
    return p;
}

// The face wrapped on its sphere: every pixel is turned back into a point of the head and the
// eyes, cheeks and nose shade are painted where the geometry puts them.
void PaintFace(Image& image, const Skeleton& k, Rgba eyes, Rgba brows, Rgba lips, bool lashes)
{
    float s = k.shape.height / 50.0f;
    float r = k.HeadRadius();
    Vec3 radii{r * 0.9f, r * 1.05f, r};
    float eyeX = 1.25f * s, eyeY = 0.35f * s, eyeH = 0.95f * s, eyeW = 0.75f * s;
    FillRect(image, 0, 0, image.Width(), image.Height(), kSkin);
    for (int y = 0; y < Py(0.7f, image); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float lon = ((x + 0.5f) / image.Width() - 0.5f) * 2 * kPi;
            float lat = (y + 0.5f) / image.Height() / 0.7f * kPi;
            Vec3 p{std::sin(lat) * std::sin(lon) * radii.x, std::cos(lat) * radii.y,
                   -std::sin(lat) * std::cos(lon) * radii.z};
            if (p.z > 0)
                continue;
            Rgba c = kSkin;
            for (float side : {-1.0f, 1.0f}) {
                float ex = (p.x - side * eyeX) / eyeW, ey = (p.y - eyeY) / (eyeH / 2);
                float e = ex * ex + ey * ey;
                if (e < 1) {
                    c = {250, 250, 250, 255};
                    float ix = (p.x - side * eyeX) / (eyeH * 0.42f), iy = (p.y - eyeY) / (eyeH * 0.42f);
                    float i = ix * ix + iy * iy;
                    if (i < 1)
                        c = i < 0.3f ? Rgba{20, 20, 25, 255} : eyes;
                } else if (lashes && e < 1.35f && p.y > eyeY) {
                    c = Shade(brows, 0.6f);
                }
                float bx = (p.x - side * 1.7f * s) / (0.8f * s), by = (p.y + 0.55f * s) / (0.55f * s);
                float b = bx * bx + by * by;
                if (b < 1)
                    c = Mix(c, {240, 150, 150, 255}, 0.35f * (1 - b));
            }
            float nx = p.x / (0.35f * s), ny = (p.y + 0.75f * s) / (0.3f * s);
            if (nx * nx + ny * ny < 1)
                c = Shade(c, 0.88f);
            image.At(x, y) = c;
        }
    FillUv(image, kAtlas.skin, kSkin);
    FillUv(image, kAtlas.trim, brows);
    FillUv(image, kAtlas.accent, lips);
}

void PaintHair(Image& image, Rgba colour, std::uint32_t seed)
{
    Random random(seed);
    FillRect(image, 0, 0, image.Width(), image.Height(), colour);
    for (int x = 0; x < image.Width(); ++x) {
        float tone = random.Range(0.8f, 1.15f);
        for (int y = 0; y < image.Height(); ++y)
            image.At(x, y) = Shade(colour, tone + 0.05f * std::sin(y * 0.3f));
    }
    FillUv(image, kAtlas.skin, kSkin);
    FillUv(image, kAtlas.trim, Shade(colour, 0.7f));
    FillUv(image, kAtlas.accent, Shade(colour, 1.2f));
}

} // namespace world
