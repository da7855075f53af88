#pragma once
// One mesh of an avatar item: indexed triangles in the bind pose, texture coordinates, and for
// each vertex the bones that carry it. Builders lay tubes and ellipsoids along the skeleton with
// their front faces outward and their joints blended between neighbouring bones.

#include "Math3D.h"
#include "Skeleton.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace world {

struct BoneWeight {
    int bone = -1;
    float weight = 0;
};

struct UvRect {
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

class SkinMesh {
public:
    std::string name;
    std::uint32_t material = 0;

    // Returns the new vertex's index.
    std::uint16_t AddVertex(const Vec3& position, Vec2 uv, BoneWeight a, BoneWeight b = {});
    // Adds the triangle with its front toward `outward`.
    void AddTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c, const Vec3& outward);

    const std::vector<Vec3>& Positions() const { return m_positions; }
    const std::vector<Vec2>& Uvs() const { return m_uvs; }
    const std::vector<std::array<std::uint16_t, 3>>& Faces() const { return m_faces; }
    const std::vector<std::array<BoneWeight, 2>>& Weights() const { return m_weights; }
    // Vertices in order with their weight on each bone, as the bindings store them.
    std::vector<std::pair<std::uint32_t, float>> Binding(int bone) const;
    std::vector<int> BonesUsed() const;

private:
    std::vector<Vec3> m_positions;
    std::vector<Vec2> m_uvs;
    std::vector<std::array<std::uint16_t, 3>> m_faces;
    std::vector<std::array<BoneWeight, 2>> m_weights;
};

// A tube from `from` to `to` with elliptical rings (radius across x and along z), carried by
// `bone`; the first ring is shared half and half with `startBlend` when given (a joint that bends).
struct TubeSpec {
    Vec3 from, to;
    float radiusFrom = 1, radiusTo = 1;
    float depthScale = 1; // ring depth relative to its width
    int bone = 0;
    int startBlend = -1;
    int endBlend = -1;
    int segments = 10;
    int rings = 3;
    bool capFrom = false, capTo = false;
    UvRect uv;
};
void AddTube(SkinMesh& mesh, const TubeSpec& spec);

// An ellipsoid about `centre`, carried by one bone (or shared with a second), mapped around its
// vertical axis with u = 0.5 at the front (-z); `vBottom` leaves the bottom of the texture free.
struct EllipsoidSpec {
    Vec3 centre;
    Vec3 radii{1, 1, 1};
    int bone = 0;
    BoneWeight second{};
    int segments = 14, rings = 9;
    float latitudeFrom = 0, latitudeTo = 180; // degrees from the top: a cap when the range is partial
    UvRect uv;
};
void AddEllipsoid(SkinMesh& mesh, const EllipsoidSpec& spec);

// A flat rectangle (both corners given in the bind pose) facing `normal`.
void AddPanel(SkinMesh& mesh, const Vec3& bl, const Vec3& br, const Vec3& tr, const Vec3& tl, const Vec3& normal,
              UvRect uv, BoneWeight a, BoneWeight b = {});

} // namespace world
