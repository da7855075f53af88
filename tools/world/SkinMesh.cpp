#include "SkinMesh.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

namespace world {

std::uint16_t SkinMesh::AddVertex(const Vec3& position, Vec2 uv, BoneWeight a, BoneWeight b)
{
    if (m_positions.size() >= 0xFFFF)
        throw std::length_error("mesh " + name + " has too many vertices for 16-bit indices");
    if (b.bone < 0 || b.weight <= 0)
        b = {};
    if (b.bone < 0)
        a.weight = 1;
    else
        a.weight = 1 - b.weight;
    m_positions.push_back(position);
    m_uvs.push_back(uv);
    m_weights.push_back({a, b});
    return static_cast<std::uint16_t>(m_positions.size() - 1);
}

void SkinMesh::AddTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c, const Vec3& outward)
{
    const Vec3 &pa = m_positions[a], &pb = m_positions[b], &pc = m_positions[c];
    Vec3 n = Cross(pc - pa, pb - pa);
    if (Length(n) < 1e-9f)
        return; // a sliver at a pole draws nothing
    if (Dot(n, outward) < 0)
        std::swap(b, c);
    m_faces.push_back({a, b, c});
}

std::vector<std::pair<std::uint32_t, float>> SkinMesh::Binding(int bone) const
{
    std::vector<std::pair<std::uint32_t, float>> out;
    for (std::uint32_t i = 0; i < m_weights.size(); ++i)
        for (const BoneWeight& w : m_weights[i])
            if (w.bone == bone && w.weight > 0)
                out.push_back({i, w.weight});
    return out;
}

std::vector<int> SkinMesh::BonesUsed() const
{
    std::set<int> bones;
    for (const auto& pair : m_weights)
        for (const BoneWeight& w : pair)
            if (w.bone >= 0 && w.weight > 0)
                bones.insert(w.bone);
    return {bones.begin(), bones.end()};
}

namespace {

// Two axes across a direction, the first as close to x as the direction allows.
void Frame(const Vec3& axis, Vec3& side, Vec3& depth)
{
    Vec3 reference = std::fabs(axis.x) > 0.9f ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    depth = Normalize(Cross(axis, reference));
    side = Normalize(Cross(depth, axis));
}

} // namespace

void AddTube(SkinMesh& mesh, const TubeSpec& s)
{
    Vec3 axis = Normalize(s.to - s.from);
    Vec3 side, depth;
    Frame(axis, side, depth);
    std::vector<std::uint16_t> grid;
    for (int r = 0; r <= s.rings; ++r) {
        float t = static_cast<float>(r) / s.rings;
        Vec3 centre = Lerp(s.from, s.to, t);
        float radius = s.radiusFrom + (s.radiusTo - s.radiusFrom) * t;
        BoneWeight blend{};
        if (r == 0 && s.startBlend >= 0)
            blend = {s.startBlend, 0.5f};
        if (r == s.rings && s.endBlend >= 0)
            blend = {s.endBlend, 0.5f};
        for (int k = 0; k <= s.segments; ++k) {
            float a = 2 * kPi * k / s.segments;
            Vec3 p = centre + side * (std::sin(a) * radius) - depth * (std::cos(a) * radius * s.depthScale);
            float u = s.uv.u0 + (s.uv.u1 - s.uv.u0) * k / s.segments;
            float v = s.uv.v0 + (s.uv.v1 - s.uv.v0) * t;
            grid.push_back(mesh.AddVertex(p, {u, v}, {s.bone, 1}, blend));
        }
    }
    int row = s.segments + 1;
    for (int r = 0; r < s.rings; ++r)
        for (int k = 0; k < s.segments; ++k) {
            std::uint16_t a = grid[r * row + k], b = grid[r * row + k + 1];
            std::uint16_t c = grid[(r + 1) * row + k + 1], d = grid[(r + 1) * row + k];
            Vec3 mid = Lerp(s.from, s.to, (r + 0.5f) / s.rings);
            Vec3 out = mesh.Positions()[a] + mesh.Positions()[c];
            out = out * 0.5f - mid;
            mesh.AddTriangle(a, b, c, out);
            mesh.AddTriangle(a, c, d, out);
        }
    auto cap = [&](bool atStart) {
        int r = atStart ? 0 : s.rings;
        Vec3 centre = atStart ? s.from : s.to;
        BoneWeight blend{};
        if (atStart && s.startBlend >= 0)
            blend = {s.startBlend, 0.5f};
        if (!atStart && s.endBlend >= 0)
            blend = {s.endBlend, 0.5f};
        std::uint16_t middle =
            mesh.AddVertex(centre, {(s.uv.u0 + s.uv.u1) / 2, atStart ? s.uv.v0 : s.uv.v1}, {s.bone, 1}, blend);
        Vec3 out = atStart ? -axis : axis;
        for (int k = 0; k < s.segments; ++k)
            mesh.AddTriangle(middle, grid[r * row + k], grid[r * row + k + 1], out);
    };
    if (s.capFrom)
        cap(true);
    if (s.capTo)
        cap(false);
}

void AddEllipsoid(SkinMesh& mesh, const EllipsoidSpec& s)
{
    std::vector<std::uint16_t> grid;
    int row = s.segments + 1;
    for (int r = 0; r <= s.rings; ++r) {
        float lat = Radians(s.latitudeFrom + (s.latitudeTo - s.latitudeFrom) * r / s.rings);
        for (int k = 0; k <= s.segments; ++k) {
            // k = segments / 2 is the front (-z); the seam is at the back.
            float lon = 2 * kPi * k / s.segments - kPi;
            Vec3 unit{std::sin(lat) * std::sin(lon), std::cos(lat), -std::sin(lat) * std::cos(lon)};
            Vec3 p = s.centre + Vec3{unit.x * s.radii.x, unit.y * s.radii.y, unit.z * s.radii.z};
            float u = s.uv.u0 + (s.uv.u1 - s.uv.u0) * k / s.segments;
            float v = s.uv.v0 + (s.uv.v1 - s.uv.v0) * r / s.rings;
            grid.push_back(mesh.AddVertex(p, {u, v}, {s.bone, 1}, s.second));
        }
    }
    for (int r = 0; r < s.rings; ++r)
        for (int k = 0; k < s.segments; ++k) {
            std::uint16_t a = grid[r * row + k], b = grid[r * row + k + 1];
            std::uint16_t c = grid[(r + 1) * row + k + 1], d = grid[(r + 1) * row + k];
            Vec3 out = (mesh.Positions()[a] + mesh.Positions()[c]) * 0.5f - s.centre;
            mesh.AddTriangle(a, b, c, out);
            mesh.AddTriangle(a, c, d, out);
        }
}

void AddPanel(SkinMesh& mesh, const Vec3& bl, const Vec3& br, const Vec3& tr, const Vec3& tl, const Vec3& normal,
              UvRect uv, BoneWeight a, BoneWeight b)
{
    std::uint16_t i0 = mesh.AddVertex(bl, {uv.u0, uv.v1}, a, b);
    std::uint16_t i1 = mesh.AddVertex(br, {uv.u1, uv.v1}, a, b);
    std::uint16_t i2 = mesh.AddVertex(tr, {uv.u1, uv.v0}, a, b);
    std::uint16_t i3 = mesh.AddVertex(tl, {uv.u0, uv.v0}, a, b);
    mesh.AddTriangle(i0, i1, i2, normal);
    mesh.AddTriangle(i0, i2, i3, normal);
}

} // namespace world
