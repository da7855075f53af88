#pragma once
// Anti-aliased shapes for the painted pictures that are not rectangles (cursors, the splash): a
// canvas with straight alpha that takes each shape by the share of a pixel's 4 x 4 sample points
// it covers. All arithmetic is on doubles in a fixed order, so every build paints the same pixels.
#include "SkinPictures.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

using Inside = std::function<bool(double x, double y)>;
using Shade = std::function<uint32_t(double x, double y)>; // 0x00RRGGBB at a point

struct PointD {
    double x = 0;
    double y = 0;
};

// Shapes as point tests, in pixel coordinates (pixel (0, 0) covers 0..1).
Inside Polygon(std::vector<PointD> points);
Inside Disc(double cx, double cy, double radius);
Inside Ring(double cx, double cy, double inner, double outer);
// A stroke of the given width from a to b with round ends.
Inside Stroke(PointD a, PointD b, double width);
Inside RoundRect(double left, double top, double right, double bottom, double radius);
// Everything within `width` of the shape's outline, inside or out, for outlines and halos.
Inside Grown(const std::vector<PointD>& polygon, double width);
Inside Both(Inside a, Inside b);
Inside Without(Inside a, Inside b);

uint32_t Mix(uint32_t a, uint32_t b, double t); // t 0: a, 1: b

struct PaintBounds {
    int left = 0, top = 0, right = 1 << 20, bottom = 1 << 20;
};

class Canvas {
public:
    Canvas(int width, int height);
    // Starts from an opaque picture.
    explicit Canvas(const SkinPicture& picture);

    // Only pixels inside `bounds` are tested; by default all.
    using Bounds = PaintBounds;
    void Paint(const Inside& inside, uint32_t colour, double alpha = 1.0, Bounds bounds = {});
    void Paint(const Inside& inside, const Shade& shade, double alpha = 1.0, Bounds bounds = {});

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 0xAARRGGBB, straight alpha.
    std::vector<uint32_t> Argb() const;
    // The canvas over an opaque picture (the canvas's transparent parts show the picture).
    void Onto(SkinPicture& picture) const;

private:
    struct Pixel {
        double r = 0, g = 0, b = 0, a = 0;
    };
    int m_width;
    int m_height;
    std::vector<Pixel> m_pixels;
};
