#include "TriangleList.h"

#include <algorithm>

namespace world {

void Bounds::Add(const Vec3& p)
{
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
}

void Bounds::Add(const Bounds& b)
{
    if (!b.Empty()) {
        Add(b.min);
        Add(b.max);
    }
}

Bounds Bounds::Transformed(const Mat4& m) const
{
    Bounds out;
    if (Empty())
        return out;
    for (int i = 0; i < 8; ++i)
        out.Add(TransformPoint({i & 1 ? max.x : min.x, i & 2 ? max.y : min.y, i & 4 ? max.z : min.z}, m));
    return out;
}

Vec3 FaceNormal(const Vec3& a, const Vec3& b, const Vec3& c)
{
    return Normalize(Cross(c - a, b - a));
}

void TriangleList::AddFacing(ObjectVertex a, ObjectVertex b, ObjectVertex c, const Vec3& outward)
{
    if (Dot(Cross(c.position - a.position, b.position - a.position), outward) < 0)
        std::swap(b, c);
    m_vertices.push_back(a);
    m_vertices.push_back(b);
    m_vertices.push_back(c);
}

void TriangleList::Append(const TriangleList& other)
{
    m_vertices.insert(m_vertices.end(), other.m_vertices.begin(), other.m_vertices.end());
}

void TriangleList::Transform(const Mat4& m)
{
    for (ObjectVertex& v : m_vertices) {
        v.position = TransformPoint(v.position, m);
        v.normal = Normalize(TransformDirection(v.normal, m));
    }
}

void TriangleList::SetColour(std::uint32_t argb)
{
    for (ObjectVertex& v : m_vertices)
        v.diffuse = argb;
}

Bounds TriangleList::GetBounds() const
{
    Bounds b;
    for (const ObjectVertex& v : m_vertices)
        b.Add(v.position);
    return b;
}

} // namespace world
