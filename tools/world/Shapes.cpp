#include "Shapes.h"

#include <cmath>

namespace world {

namespace {

ObjectVertex At(const Vec3& p, const Vec3& n, float u, float v)
{
    ObjectVertex vertex;
    vertex.position = p;
    vertex.normal = n;
    vertex.uv0 = {u, v};
    vertex.uv1 = {u, v};
    return vertex;
}

} // namespace

void AddQuad(TriangleList& list, const Vec3& bl, const Vec3& br, const Vec3& tr, const Vec3& tl, const Vec3& outward,
             const UvStyle& uv)
{
    Vec3 n = Normalize(outward);
    float u0 = uv.u0, u1 = uv.u1, vTop = uv.v0, vBottom = uv.v1;
    if (uv.perUnit > 0) {
        u0 = 0;
        u1 = Length(br - bl) * uv.perUnit;
        vTop = 0;
        vBottom = Length(tl - bl) * uv.perUnit;
    }
    ObjectVertex a = At(bl, n, u0, vBottom), b = At(br, n, u1, vBottom);
    ObjectVertex c = At(tr, n, u1, vTop), d = At(tl, n, u0, vTop);
    list.AddFacing(a, b, c, n);
    list.AddFacing(a, c, d, n);
}

void AddBox(TriangleList& list, const Vec3& lo, const Vec3& hi, const UvStyle& uv, unsigned faces, bool inward)
{
    float s = inward ? -1.0f : 1.0f;
    auto face = [&](unsigned bit, Vec3 bl, Vec3 br, Vec3 tr, Vec3 tl, Vec3 n) {
        if (!(faces & bit))
            return;
        if (inward) // seen from inside, the texture's left and right swap
            AddQuad(list, br, bl, tl, tr, n * s, uv);
        else
            AddQuad(list, bl, br, tr, tl, n, uv);
    };
    face(kBoxFront, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}, {0, 0, -1});
    face(kBoxBack, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z}, {hi.x, hi.y, hi.z}, {0, 0, 1});
    face(kBoxLeft, {lo.x, lo.y, hi.z}, {lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {-1, 0, 0});
    face(kBoxRight, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {hi.x, hi.y, lo.z}, {1, 0, 0});
    face(kBoxTop, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}, {0, 1, 0});
    face(kBoxBottom, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}, {0, -1, 0});
}

void AddCylinder(TriangleList& list, const Vec3& base, float r0, float r1, float height, int segments, bool caps,
                 const UvStyle& uv)
{
    for (int i = 0; i < segments; ++i) {
        float a0 = 2 * kPi * i / segments, a1 = 2 * kPi * (i + 1) / segments;
        Vec3 d0{std::cos(a0), 0, std::sin(a0)}, d1{std::cos(a1), 0, std::sin(a1)};
        float slope = (r0 - r1) / std::max(height, 1e-4f);
        Vec3 n0 = Normalize({d0.x, slope, d0.z}), n1 = Normalize({d1.x, slope, d1.z});
        Vec3 b0 = base + d0 * r0, b1 = base + d1 * r0;
        Vec3 t0 = base + d0 * r1 + Vec3{0, height, 0}, t1 = base + d1 * r1 + Vec3{0, height, 0};
        float u0 = uv.u0 + (uv.u1 - uv.u0) * i / segments, u1 = uv.u0 + (uv.u1 - uv.u0) * (i + 1) / segments;
        Vec3 out = Normalize(d0 + d1);
        list.AddFacing(At(b0, n0, u0, uv.v1), At(b1, n1, u1, uv.v1), At(t1, n1, u1, uv.v0), out);
        if (r1 > 0)
            list.AddFacing(At(b0, n0, u0, uv.v1), At(t1, n1, u1, uv.v0), At(t0, n0, u0, uv.v0), out);
    }
    if (caps) {
        if (r1 > 0)
            AddDisc(list, base + Vec3{0, height, 0}, r1, segments, true, uv);
        AddDisc(list, base, r0, segments, false, uv);
    }
}

void AddDisc(TriangleList& list, const Vec3& centre, float radius, int segments, bool facingUp, const UvStyle& uv)
{
    Vec3 n{0, facingUp ? 1.0f : -1.0f, 0};
    float cu = (uv.u0 + uv.u1) / 2, cv = (uv.v0 + uv.v1) / 2;
    float hu = (uv.u1 - uv.u0) / 2, hv = (uv.v1 - uv.v0) / 2;
    for (int i = 0; i < segments; ++i) {
        float a0 = 2 * kPi * i / segments, a1 = 2 * kPi * (i + 1) / segments;
        Vec3 p0 = centre + Vec3{std::cos(a0), 0, std::sin(a0)} * radius;
        Vec3 p1 = centre + Vec3{std::cos(a1), 0, std::sin(a1)} * radius;
        list.AddFacing(At(centre, n, cu, cv), At(p0, n, cu + std::cos(a0) * hu, cv - std::sin(a0) * hv),
                       At(p1, n, cu + std::cos(a1) * hu, cv - std::sin(a1) * hv), n);
    }
}

void AddExtrusion(TriangleList& list, const std::vector<Vec2>& outline, float y0, float y1, const UvStyle& uv)
{
    if (outline.size() < 3)
        return;
    Vec2 centre{};
    for (const Vec2& p : outline) {
        centre.x += p.x / outline.size();
        centre.y += p.y / outline.size();
    }
    float perimeter = 0;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vec2& a = outline[i];
        const Vec2& b = outline[(i + 1) % outline.size()];
        Vec3 bl{a.x, y0, a.y}, br{b.x, y0, b.y};
        Vec3 side = br - bl;
        Vec3 out = Normalize(Cross(Vec3{0, 1, 0}, side));
        Vec3 mid{(a.x + b.x) / 2 - centre.x, 0, (a.y + b.y) / 2 - centre.y};
        if (Dot(out, mid) < 0)
            out = -out;
        UvStyle faceUv = uv;
        if (uv.perUnit > 0) {
            faceUv.perUnit = 0;
            faceUv.u0 = perimeter * uv.perUnit;
            faceUv.u1 = (perimeter + Length(side)) * uv.perUnit;
            faceUv.v0 = 0;
            faceUv.v1 = (y1 - y0) * uv.perUnit;
        }
        perimeter += Length(side);
        AddQuad(list, bl, br, Vec3{b.x, y1, b.y}, Vec3{a.x, y1, a.y}, out, faceUv);
    }
    for (int up = 0; up < 2; ++up) {
        float y = up ? y1 : y0;
        Vec3 n{0, up ? 1.0f : -1.0f, 0};
        for (std::size_t i = 1; i + 1 < outline.size(); ++i) {
            const Vec2 &p0 = outline[0], &p1 = outline[i], &p2 = outline[i + 1];
            auto vertex = [&](const Vec2& p) {
                float s = uv.perUnit > 0 ? uv.perUnit : 0.02f;
                return At({p.x, y, p.y}, n, p.x * s, p.y * s);
            };
            list.AddFacing(vertex(p0), vertex(p1), vertex(p2), n);
        }
    }
}

} // namespace world
