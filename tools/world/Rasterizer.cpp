#include "Rasterizer.h"

#include <algorithm>
#include <cmath>

namespace world {

namespace {

constexpr float kNear = 1.0f;

Rgba Sample(const Image& texture, Vec2 uv)
{
    float u = uv.x - std::floor(uv.x), v = uv.y - std::floor(uv.y);
    int x = std::min(texture.Width() - 1, static_cast<int>(u * texture.Width()));
    int y = std::min(texture.Height() - 1, static_cast<int>(v * texture.Height()));
    return texture.At(x, y);
}

} // namespace

float SoftLight(const Vec3& normal)
{
    return 0.55f + 0.45f * std::max(0.0f, Dot(Normalize(normal), Normalize(Vec3{0.4f, 1, -0.6f})));
}

Rasterizer::Rasterizer(int width, int height, Rgba clear)
    : m_picture(width, height, clear), m_depth(static_cast<std::size_t>(width) * height, 1e30f)
{}

void Rasterizer::LookAt(const Vec3& eye, const Vec3& at, float fovDegrees)
{
    m_eye = eye;
    m_z = Normalize(at - eye);
    // Looking straight down or up, north stands for the world's up.
    Vec3 side = Cross({0, 1, 0}, m_z);
    m_x = Normalize(Dot(side, side) > 1e-12f ? side : Cross({0, 0, 1}, m_z));
    m_y = Cross(m_z, m_x);
    m_focal = 1.0f / std::tan(Radians(fovDegrees) / 2);
}

void Rasterizer::Draw(const PreviewVertex& a, const PreviewVertex& b, const PreviewVertex& c, const Image* texture,
                      Blending blending)
{
    auto toView = [&](const PreviewVertex& v) {
        Vec3 d = v.position - m_eye;
        return Clip{{Dot(d, m_x), Dot(d, m_y), Dot(d, m_z)}, v.uv, v.light};
    };
    std::vector<Clip> polygon = {toView(a), toView(b), toView(c)};
    // Clip against the near plane, keeping the corners' order.
    std::vector<Clip> clipped;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Clip& p = polygon[i];
        const Clip& q = polygon[(i + 1) % polygon.size()];
        bool pin = p.view.z >= kNear, qin = q.view.z >= kNear;
        if (pin)
            clipped.push_back(p);
        if (pin != qin) {
            float t = (kNear - p.view.z) / (q.view.z - p.view.z);
            clipped.push_back({Lerp(p.view, q.view, t),
                               {p.uv.x + (q.uv.x - p.uv.x) * t, p.uv.y + (q.uv.y - p.uv.y) * t},
                               p.light + (q.light - p.light) * t});
        }
    }
    for (std::size_t i = 1; i + 1 < clipped.size(); ++i)
        Fill(clipped[0], clipped[i], clipped[i + 1], texture, blending);
}

void Rasterizer::Fill(const Clip& a, const Clip& b, const Clip& c, const Image* texture, Blending blending)
{
    float w = static_cast<float>(m_picture.Width()), h = static_cast<float>(m_picture.Height());
    float aspect = w / h;
    auto project = [&](const Clip& v) {
        return Vec3{(v.view.x / v.view.z * m_focal / aspect * 0.5f + 0.5f) * w,
                    (0.5f - v.view.y / v.view.z * m_focal * 0.5f) * h, 1.0f / v.view.z};
    };
    Vec3 pa = project(a), pb = project(b), pc = project(c);
    float area = (pb.x - pa.x) * (pc.y - pa.y) - (pb.y - pa.y) * (pc.x - pa.x);
    if (area >= 0)
        return; // clockwise on the screen: culled as the engine's host culls it
    ++m_drawn;
    int x0 = std::max(0, static_cast<int>(std::floor(std::min({pa.x, pb.x, pc.x}))));
    int x1 = std::min(m_picture.Width() - 1, static_cast<int>(std::ceil(std::max({pa.x, pb.x, pc.x}))));
    int y0 = std::max(0, static_cast<int>(std::floor(std::min({pa.y, pb.y, pc.y}))));
    int y1 = std::min(m_picture.Height() - 1, static_cast<int>(std::ceil(std::max({pa.y, pb.y, pc.y}))));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float wa = ((pb.x - px) * (pc.y - py) - (pb.y - py) * (pc.x - px)) / area;
            float wb = ((pc.x - px) * (pa.y - py) - (pc.y - py) * (pa.x - px)) / area;
            float wc = 1 - wa - wb;
            if (wa < 0 || wb < 0 || wc < 0)
                continue;
            float inverseZ = wa * pa.z + wb * pb.z + wc * pc.z;
            float depth = 1 / inverseZ;
            float& stored = m_depth[static_cast<std::size_t>(y) * m_picture.Width() + x];
            if (depth >= stored)
                continue;
            auto perspective = [&](float qa, float qb, float qc) {
                return (wa * qa * pa.z + wb * qb * pb.z + wc * qc * pc.z) / inverseZ;
            };
            Vec2 uv{perspective(a.uv.x, b.uv.x, c.uv.x), perspective(a.uv.y, b.uv.y, c.uv.y)};
            float light = perspective(a.light, b.light, c.light);
            Rgba colour = texture && texture->Width() > 0 ? Sample(*texture, uv) : Rgba{200, 200, 200, 255};
            if (blending == Blending::AlphaTest && colour.a < 128)
                continue;
            colour = Shade(colour, light);
            if (blending == Blending::Blend) {
                m_picture.Blend(x, y, colour);
                continue;
            }
            colour.a = 255;
            m_picture.At(x, y) = colour;
            stored = depth;
        }
}

} // namespace world
