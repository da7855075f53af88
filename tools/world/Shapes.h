#pragma once
// The geometry toolkit for world objects: quads, boxes, cylinders, discs and extruded outlines,
// each with its normals, texture coordinates and front faces turned outward (or inward for the
// inside of a room).

#include "TriangleList.h"

#include <vector>

namespace world {

// How texture coordinates are laid on a face: stretched once over it (`perUnit` 0), or repeated
// every 1 / perUnit scene units.
struct UvStyle {
    float perUnit = 0;
    float u0 = 0, v0 = 0, u1 = 1, v1 = 1; // sub-rectangle of the texture when stretched
};

// Corners in order around the face: bottom-left, bottom-right, top-right, top-left as the front
// side sees the texture.
void AddQuad(TriangleList& list, const Vec3& bl, const Vec3& br, const Vec3& tr, const Vec3& tl, const Vec3& outward,
             const UvStyle& uv = {});

enum BoxFace : unsigned {
    kBoxLeft = 1,
    kBoxRight = 2,
    kBoxBottom = 4,
    kBoxTop = 8,
    kBoxFront = 16,
    kBoxBack = 32,
    kBoxAll = 63,
};
// Front is the -z side. `inward` turns the faces to be seen from inside (a room's shell).
void AddBox(TriangleList& list, const Vec3& min, const Vec3& max, const UvStyle& uv = {}, unsigned faces = kBoxAll,
            bool inward = false);

// Upright cylinder (or cone when the radii differ) standing on `base`.
void AddCylinder(TriangleList& list, const Vec3& base, float bottomRadius, float topRadius, float height, int segments,
                 bool caps, const UvStyle& uv = {});

// Flat disc facing up (or down), as a fan.
void AddDisc(TriangleList& list, const Vec3& centre, float radius, int segments, bool facingUp, const UvStyle& uv = {});

// A convex outline in the x-z plane pushed up from y0 to y1, with caps.
void AddExtrusion(TriangleList& list, const std::vector<Vec2>& outline, float y0, float y1, const UvStyle& uv = {});

} // namespace world
