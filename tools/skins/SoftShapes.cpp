#include "SoftShapes.h"

#include <algorithm>
#include <cmath>

namespace {

double SegmentDistance(PointD p, PointD a, PointD b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    double t = length > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = a.x + t * dx - p.x;
    const double ey = a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

bool InPolygon(const std::vector<PointD>& points, double x, double y)
{
    bool inside = false;
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const PointD& a = points[i];
        const PointD& b = points[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

double Channel(uint32_t colour, int shift)
{
    return static_cast<double>((colour >> shift) & 0xFF) / 255.0;
}

uint32_t Byte(double value)
{
    return static_cast<uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

} // namespace

Inside Polygon(std::vector<PointD> points)
{
    return [points = std::move(points)](double x, double y) { return InPolygon(points, x, y); };
}

Inside Disc(double cx, double cy, double radius)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius; };
}

Inside Ring(double cx, double cy, double inner, double outer)
{
    return [=](double x, double y) {
        const double d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d >= inner * inner && d <= outer * outer;
    };
}

Inside Stroke(PointD a, PointD b, double width)
{
    return [=](double x, double y) { return SegmentDistance({x, y}, a, b) <= width / 2; };
}

Inside RoundRect(double left, double top, double right, double bottom, double radius)
{
    return [=](double x, double y) {
        const double cx = std::clamp(x, left + radius, right - radius);
        const double cy = std::clamp(y, top + radius, bottom - radius);
        return x >= left && x <= right && y >= top && y <= bottom &&
               (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

Inside Grown(const std::vector<PointD>& polygon, double width)
{
    return [polygon, width](double x, double y) {
        if (InPolygon(polygon, x, y)) {
            return true;
        }
        for (size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
            if (SegmentDistance({x, y}, polygon[j], polygon[i]) <= width) {
                return true;
            }
        }
        return false;
    };
}

Inside Both(Inside a, Inside b)
{
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && b(x, y); };
}

Inside Without(Inside a, Inside b)
{
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

uint32_t Mix(uint32_t a, uint32_t b, double t)
{
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        out |= Byte(Channel(a, shift) + (Channel(b, shift) - Channel(a, shift)) * t) << shift;
    }
    return out;
}

Canvas::Canvas(int width, int height) : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height)
{}

Canvas::Canvas(const SkinPicture& picture) : Canvas(picture.width, picture.height)
{
    for (size_t i = 0; i < m_pixels.size(); ++i) {
        const uint32_t p = picture.pixels[i];
        m_pixels[i] = {Channel(p, 16), Channel(p, 8), Channel(p, 0), 1.0};
    }
}

void Canvas::Paint(const Inside& inside, uint32_t colour, double alpha, Bounds bounds)
{
    Paint(
        inside, [colour](double, double) { return colour; }, alpha, bounds);
}

void Canvas::Paint(const Inside& inside, const Shade& shade, double alpha, Bounds bounds)
{
    constexpr int kSamples = 4;
    for (int y = std::max(bounds.top, 0); y < std::min(bounds.bottom, m_height); ++y) {
        for (int x = std::max(bounds.left, 0); x < std::min(bounds.right, m_width); ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples) ? 1 : 0;
                }
            }
            if (!hits) {
                continue;
            }
            const double a = alpha * hits / (kSamples * kSamples);
            const uint32_t colour = shade(x + 0.5, y + 0.5);
            Pixel& d = m_pixels[static_cast<size_t>(y) * m_width + x];
            const double outA = a + d.a * (1 - a);
            auto blend = [&](double source, double dest) { return (source * a + dest * d.a * (1 - a)) / outA; };
            d = {blend(Channel(colour, 16), d.r), blend(Channel(colour, 8), d.g), blend(Channel(colour, 0), d.b), outA};
        }
    }
}

std::vector<uint32_t> Canvas::Argb() const
{
    std::vector<uint32_t> out(m_pixels.size());
    for (size_t i = 0; i < m_pixels.size(); ++i) {
        const Pixel& p = m_pixels[i];
        const uint32_t a = Byte(p.a);
        out[i] = a ? (a << 24) | (Byte(p.r) << 16) | (Byte(p.g) << 8) | Byte(p.b) : 0;
    }
    return out;
}

void Canvas::Onto(SkinPicture& picture) const
{
    for (size_t i = 0; i < m_pixels.size() && i < picture.pixels.size(); ++i) {
        const Pixel& p = m_pixels[i];
        const uint32_t under = picture.pixels[i];
        uint32_t out = 0;
        const double channels[3] = {p.r, p.g, p.b};
        const int shifts[3] = {16, 8, 0};
        for (int c = 0; c < 3; ++c) {
            out |= Byte(channels[c] * p.a + Channel(under, shifts[c]) * (1 - p.a)) << shifts[c];
        }
        picture.pixels[i] = out;
    }
}
