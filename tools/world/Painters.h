#pragma once
// Procedural texture painting: patterns, gradients and shapes a content author combines into a
// texture. Everything is a pure function of its arguments, so every run paints the same pixels.

#include "Image.h"

#include <cstdint>

namespace world {

void FillRect(Image& image, int x0, int y0, int x1, int y1, Rgba c);
void Checker(Image& image, int cell, Rgba a, Rgba b);
void Stripes(Image& image, int width, Rgba a, Rgba b, bool vertical);
void VerticalGradient(Image& image, Rgba top, Rgba bottom);
void RadialGradient(Image& image, float cx, float cy, float radius, Rgba inner, Rgba outer);
// Value noise darkening/lightening each pixel by up to `amount`, from a fixed seed.
void Grain(Image& image, std::uint32_t seed, float amount, int scale = 1);
void Planks(Image& image, int plankHeight, Rgba wood, std::uint32_t seed);
void Bricks(Image& image, int brickWidth, int brickHeight, Rgba brick, Rgba mortar);
void Tiles(Image& image, int tile, Rgba a, Rgba b, Rgba grout);
void Disc(Image& image, float cx, float cy, float radius, Rgba c);
void Ring(Image& image, float cx, float cy, float radius, float width, Rgba c);
void RoundedRect(Image& image, float x0, float y0, float x1, float y1, float radius, Rgba c);
void Line(Image& image, float x0, float y0, float x1, float y1, float width, Rgba c);
void Triangle(Image& image, float ax, float ay, float bx, float by, float cx, float cy, Rgba c);
// An arrow pointing from the picture's centre in the direction (dx, dy).
void Arrow(Image& image, float dx, float dy, Rgba c);

// A small deterministic generator for content choices (never seeded from the clock).
class Random {
public:
    explicit Random(std::uint32_t seed) : m_state(seed ? seed : 1) {}
    std::uint32_t Next();
    float Unit() { return (Next() >> 8) * (1.0f / 16777216.0f); }
    float Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

private:
    std::uint32_t m_state;
};

} // namespace world
