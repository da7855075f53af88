#pragma once
// The vertices of one world-object mesh: a plain triangle list, front faces counter-clockwise as
// the viewer sees them (the side the camera culls away is the clockwise one).

#include "Math3D.h"

#include <cstdint>
#include <vector>

namespace world {

struct ObjectVertex {
    Vec3 position;
    Vec3 normal;
    std::uint32_t diffuse = 0xFFFFFFFF; // ARGB
    Vec2 uv0;
    Vec2 uv1;
};

struct Bounds {
    Vec3 min{1e30f, 1e30f, 1e30f};
    Vec3 max{-1e30f, -1e30f, -1e30f};

    void Add(const Vec3& p);
    void Add(const Bounds& b);
    bool Empty() const { return min.x > max.x; }
    Bounds Transformed(const Mat4& m) const; // box of the eight transformed corners
};

// The normal a front face has for the winding the engine draws: cross(c - a, b - a).
Vec3 FaceNormal(const Vec3& a, const Vec3& b, const Vec3& c);

class TriangleList {
public:
    // Adds the triangle so that its front faces `outward`, swapping two corners when needed.
    void AddFacing(ObjectVertex a, ObjectVertex b, ObjectVertex c, const Vec3& outward);
    void Append(const TriangleList& other);
    void Transform(const Mat4& m); // positions as points, normals as directions
    void SetColour(std::uint32_t argb);

    const std::vector<ObjectVertex>& Vertices() const { return m_vertices; }
    std::size_t TriangleCount() const { return m_vertices.size() / 3; }
    Bounds GetBounds() const;

private:
    std::vector<ObjectVertex> m_vertices;
};

} // namespace world
