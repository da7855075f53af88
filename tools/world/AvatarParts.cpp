#include "AvatarParts.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace world {

namespace {

float Scale(const Skeleton& k)
{
    return k.shape.height / 50.0f;
}

Vec3 Y(const Vec3& v, float dy)
{
    return v + Vec3{0, dy, 0};
}

UvRect Band(const UvRect& r, float from, float to)
{
    return {r.u0, r.v0 + (r.v1 - r.v0) * from, r.u1, r.v0 + (r.v1 - r.v0) * to};
}

// Head sphere proportions shared by the face and everything worn on the head.
Vec3 HeadRadii(const Skeleton& k)
{
    float r = k.HeadRadius();
    return {r * 0.9f, r * 1.05f, r};
}

// A point on the head's surface seen from the front at (x, y) about its centre, pushed out a little.
Vec3 OnFace(const Skeleton& k, float x, float y, float out)
{
    Vec3 c = k.HeadCentre();
    Vec3 r = HeadRadii(k);
    float inside = 1 - (x * x) / (r.x * r.x) - (y * y) / (r.y * r.y);
    float z = -r.z * std::sqrt(std::max(inside, 0.0f));
    return c + Vec3{x, y, z - out};
}

} // namespace

Vec2 HeadUv(float longitude, float latitude)
{
    return {longitude / (2 * kPi) + 0.5f, latitude / kPi * 0.7f};
}

SkinMesh UpperBody(const Skeleton& k, SleeveLength sleeves, float bulk)
{
    float s = Scale(k);
    const auto& j = k.joints;
    SkinMesh m;
    m.name = "BODY";
    float w = k.shape.waistHalf * bulk, d = k.shape.chestDepth / k.shape.waistHalf;
    // The trunk in three pieces, each bending with the bone below it.
    AddTube(m, {Y(j[kPelvis], -3 * s), Y(j[kSpine], 0), w * 0.95f, w, d, kSpine, kPelvis, -1, 12, 2, false, false,
                Band(kAtlas.main, 0.7f, 1)});
    AddTube(m, {j[kSpine], Y(j[kChest], 0), w, w * 1.15f, d, kChest, kSpine, -1, 12, 2, false, false,
                Band(kAtlas.main, 0.35f, 0.7f)});
    AddTube(m, {j[kChest], Y(j[kNeck], -0.5f * s), w * 1.15f, w * 0.8f, d, kChest, -1, -1, 12, 2, false, true,
                Band(kAtlas.main, 0, 0.35f)});
    AddTube(m, {Y(j[kNeck], -1.2f * s), Y(j[kHead], 0.8f * s), 1.25f * s, 1.15f * s, 1, kNeck, kChest, -1, 8, 1, false,
                false, kAtlas.skin});
    if (k.shape.breasts)
        for (int side = 0; side < 2; ++side) {
            int bone = side ? kRightBreast : kLeftBreast;
            AddEllipsoid(m, {j[bone] + Vec3{0, 0, 0.2f},
                             Vec3{1.7f, 1.6f, 1.3f} * s,
                             bone,
                             {kChest, 0.5f},
                             10,
                             7,
                             0,
                             180,
                             Band(kAtlas.main, 0.2f, 0.45f)});
        }
    for (int side = 0; side < 2; ++side) {
        int upper = side ? kRightUpperArm : kLeftUpperArm;
        int fore = side ? kRightForearm : kLeftForearm;
        int hand = side ? kRightHand : kLeftHand;
        bool bare = sleeves == SleeveLength::None;
        AddEllipsoid(m, {j[upper],
                         Vec3{1.9f, 1.7f, 1.7f} * s * bulk,
                         upper,
                         {kChest, 0.4f},
                         10,
                         6,
                         0,
                         180,
                         bare ? kAtlas.skin : Band(kAtlas.main, 0, 0.2f)});
        AddTube(m, {j[upper], j[fore], 1.45f * s * bulk, 1.2f * s, 1, upper, kChest, -1, 10, 3, false, false,
                    bare ? kAtlas.skin : Band(kAtlas.main, 0, 0.3f)});
        UvRect foreUv = sleeves == SleeveLength::Long ? Band(kAtlas.main, 0, 0.3f) : kAtlas.skin;
        AddTube(m, {j[fore], j[hand], 1.15f * s, 0.9f * s, 1, fore, upper, -1, 10, 3, false, true, foreUv});
        if (sleeves == SleeveLength::Short) // the cuff of a short sleeve
            AddTube(m, {Y(j[fore], 1.2f * s), Y(j[fore], -0.2f * s), 1.3f * s, 1.25f * s, 1, upper, fore, -1, 10, 1,
                        false, false, kAtlas.trim});
        Vec3 palm = j[hand] + Vec3{(side ? -0.15f : 0.15f) * s, -1.7f * s, 0};
        AddEllipsoid(m, {palm, Vec3{0.75f, 1.8f, 0.95f} * s, hand, {}, 8, 6, 0, 180, kAtlas.skin});
    }
    return m;
}

SkinMesh LowerBody(const Skeleton& k, LegWear wear)
{
    float s = Scale(k);
    const auto& j = k.joints;
    SkinMesh m;
    m.name = "LEGS";
    float w = k.shape.waistHalf, d = k.shape.chestDepth / k.shape.waistHalf;
    AddTube(m, {Y(j[kPelvis], -2.5f * s), Y(j[kPelvis], 0), w * 1.05f, w * 0.97f, d, kPelvis, -1, -1, 12, 1, true,
                false, Band(kAtlas.main, 0, 0.2f)});
    for (int side = 0; side < 2; ++side) {
        int thigh = side ? kRightThigh : kLeftThigh;
        int calf = side ? kRightCalf : kLeftCalf;
        int foot = side ? kRightFoot : kLeftFoot;
        Vec3 hip = j[thigh] + Vec3{0, 0.6f * s, 0};
        UvRect thighUv = wear == LegWear::Skirt ? kAtlas.skin : Band(kAtlas.main, 0.2f, 0.6f);
        UvRect calfUv = wear == LegWear::Trousers ? Band(kAtlas.main, 0.6f, 1) : kAtlas.skin;
        AddTube(m, {hip, j[calf], 1.9f * s, 1.35f * s, 1, thigh, kPelvis, -1, 10, 3, false, false, thighUv});
        AddTube(m,
                {j[calf], Y(j[foot], 0.5f * s), 1.3f * s, 0.85f * s, 1, calf, thigh, -1, 10, 3, false, true, calfUv});
        if (wear == LegWear::Shorts)
            AddTube(m, {Y(j[calf], 3.5f * s), Y(j[calf], 2.5f * s), 1.65f * s, 1.6f * s, 1, thigh, -1, -1, 10, 1, false,
                        false, kAtlas.trim});
    }
    if (wear == LegWear::Skirt) {
        // A flared skirt hanging from the waist, carried by the hip and the skirt bones.
        TubeSpec skirt{Y(j[kPelvis], 0.5f * s),
                       Y(j[kPelvis], -11 * s),
                       w * 1.05f,
                       w * 1.75f,
                       d * 1.1f,
                       kPelvis,
                       -1,
                       -1,
                       14,
                       3,
                       false,
                       false,
                       Band(kAtlas.main, 0.2f, 1)};
        AddTube(m, skirt);
    }
    return m;
}

SkinMesh ShadowMesh()
{
    SkinMesh m;
    m.name = kShadowMeshName;
    m.material = 1;
    AddPanel(m, {-9, 0.15f, -9}, {9, 0.15f, -9}, {9, 0.15f, 9}, {-9, 0.15f, 9}, {0, 1, 0}, kAtlas.shadow, {kPelvis, 1});
    return m;
}

SkinMesh Shoes(const Skeleton& k, float height)
{
    float s = Scale(k);
    const auto& j = k.joints;
    SkinMesh m;
    m.name = "SHOES";
    for (int side = 0; side < 2; ++side) {
        int foot = side ? kRightFoot : kLeftFoot;
        int toe = side ? kRightToe : kLeftToe;
        int calf = side ? kRightCalf : kLeftCalf;
        Vec3 middle = Lerp(j[foot], j[toe], 0.45f);
        middle.y = 1.1f * s;
        AddEllipsoid(m, {middle, Vec3{1.35f, 1.25f, 3.3f} * s, foot, {toe, 0.3f}, 12, 7, 0, 180, kAtlas.main});
        AddEllipsoid(m, {Vec3{middle.x, 0.45f * s, middle.z},
                         Vec3{1.5f, 0.5f, 3.5f} * s,
                         foot,
                         {toe, 0.3f},
                         12,
                         4,
                         0,
                         180,
                         kAtlas.trim});
        AddTube(m, {Y(j[foot], -1.2f * s), Y(j[foot], height * s), 1.25f * s, 1.05f * s, 1, foot, -1, calf, 10, 2,
                    false, true, Band(kAtlas.main, 0, 0.5f)});
    }
    return m;
}

SkinMesh Hair(const Skeleton& k, HairStyle style)
{
    float s = Scale(k);
    SkinMesh m;
    m.name = "HAIR";
    Vec3 c = k.HeadCentre() + Vec3{0, 0.25f * s, 0.2f * s};
    Vec3 r = HeadRadii(k) * 1.1f;
    // A cap whose edge runs high over the forehead and low at the nape.
    bool longBack = style == HairStyle::Long || style == HairStyle::Bob;
    int segments = 18, rings = 8;
    std::vector<std::uint16_t> grid;
    for (int ring = 0; ring <= rings; ++ring)
        for (int col = 0; col <= segments; ++col) {
            float lon = 2 * kPi * col / segments - kPi;
            float front = 0.5f + 0.5f * std::cos(lon); // 1 at the face, 0 at the nape
            float edge = (longBack ? 128.0f : 112.0f) - (longBack ? 66.0f : 52.0f) * front;
            if (style == HairStyle::Bob)
                edge = std::max(edge, 78.0f + 10 * std::fabs(std::sin(lon)));
            float lat = Radians(edge * ring / rings);
            float spike = style == HairStyle::Spiky && ring == rings / 2 && col % 2 == 0 ? 1.25f : 1.0f;
            if (style == HairStyle::Curly) // tight curls: a knobbly, fuller cap
                spike = 1.05f + 0.06f * std::sin(col * 2.1f + ring * 2.7f);
            if (style == HairStyle::Mohawk && ring > 0 && ring < rings - 2) // a crest from brow to nape
                spike = 1.0f + 0.4f * std::max(0.0f, 1 - 3.5f * std::fabs(std::sin(lon)));
            Vec3 unit{std::sin(lat) * std::sin(lon), std::cos(lat), -std::sin(lat) * std::cos(lon)};
            Vec3 p = c + Vec3{unit.x * r.x, unit.y * r.y, unit.z * r.z} * spike;
            BoneWeight tail{};
            if (style == HairStyle::Long && unit.y < -0.2f)
                tail = {kHairTail, 0.5f};
            grid.push_back(
                m.AddVertex(p, {static_cast<float>(col) / segments, 0.72f * ring / rings}, {kHead, 1}, tail));
        }
    int row = segments + 1;
    for (int ring = 0; ring < rings; ++ring)
        for (int col = 0; col < segments; ++col) {
            std::uint16_t a = grid[ring * row + col], b = grid[ring * row + col + 1];
            std::uint16_t cc = grid[(ring + 1) * row + col + 1], d = grid[(ring + 1) * row + col];
            Vec3 out = (m.Positions()[a] + m.Positions()[cc]) * 0.5f - c;
            m.AddTriangle(a, b, cc, out);
            m.AddTriangle(a, cc, d, out);
        }
    const Vec3& tailJoint = k.joints[kHairTail];
    if (style == HairStyle::Ponytail)
        AddTube(m, {tailJoint + Vec3{0, 0, 0.6f * s}, tailJoint + Vec3{0, -9 * s, 2.6f * s}, 1.3f * s, 0.4f * s, 1,
                    kHairTail, kHead, -1, 8, 4, true, true, kAtlas.main});
    if (style == HairStyle::Twintails)
        for (float side : {-1.0f, 1.0f})
            AddTube(m, {c + Vec3{side * 3.3f * s, 0.6f * s, 1.4f * s}, c + Vec3{side * 4.4f * s, -8.5f * s, 2.2f * s},
                        1.1f * s, 0.35f * s, 1, kHead, -1, -1, 8, 4, true, true, kAtlas.main});
    if (style == HairStyle::Buns)
        for (float side : {-1.0f, 1.0f})
            AddEllipsoid(m, {c + Vec3{side * 2.8f * s, 2.6f * s, 0.8f * s},
                             Vec3{1.5f, 1.5f, 1.5f} * s,
                             kHead,
                             {},
                             10,
                             6,
                             0,
                             180,
                             kAtlas.main});
    return m;
}

SkinMesh Head(const Skeleton& k, std::vector<MorphTarget>& targets)
{
    float s = Scale(k);
    SkinMesh m;
    m.name = kFaceMeshName;
    Vec3 c = k.HeadCentre();
    Vec3 r = HeadRadii(k);
    // The sphere, its texture wrapped around with the face at u = 0.5.
    int segments = 20, rings = 12;
    std::vector<std::uint16_t> grid;
    for (int ring = 0; ring <= rings; ++ring)
        for (int col = 0; col <= segments; ++col) {
            float lat = kPi * ring / rings, lon = 2 * kPi * col / segments - kPi;
            Vec3 unit{std::sin(lat) * std::sin(lon), std::cos(lat), -std::sin(lat) * std::cos(lon)};
            grid.push_back(
                m.AddVertex(c + Vec3{unit.x * r.x, unit.y * r.y, unit.z * r.z}, HeadUv(lon, lat), {kHead, 1}));
        }
    int row = segments + 1;
    for (int ring = 0; ring < rings; ++ring)
        for (int col = 0; col < segments; ++col) {
            std::uint16_t a = grid[ring * row + col], b = grid[ring * row + col + 1];
            std::uint16_t cc = grid[(ring + 1) * row + col + 1], d = grid[(ring + 1) * row + col];
            Vec3 out = (m.Positions()[a] + m.Positions()[cc]) * 0.5f - c;
            m.AddTriangle(a, b, cc, out);
            m.AddTriangle(a, cc, d, out);
        }
    // Ears and nose.
    for (float side : {-1.0f, 1.0f})
        AddEllipsoid(m, {c + Vec3{side * r.x * 0.97f, -0.2f * s, 0.2f * s},
                         Vec3{0.35f, 0.8f, 0.55f} * s,
                         kHead,
                         {},
                         8,
                         5,
                         0,
                         180,
                         kAtlas.skin});
    AddEllipsoid(
        m, {OnFace(k, 0, -0.5f * s, -0.1f * s), Vec3{0.38f, 0.6f, 0.45f} * s, kHead, {}, 8, 5, 0, 180, kAtlas.skin});

    // Features: strips of columns laid on the face's curve, whose corners the face set slides
    // along the surface. Columns keep a wide strip from sinking into the cheeks between its ends.
    struct Corner {
        std::uint16_t vertex;
        float x, y, out;
    };
    struct Feature {
        std::vector<Corner> bottom, top; // left to right as the avatar sees it: +x first
    };
    constexpr int kColumns = 4;
    auto strip = [&](float xa, float xb, float y0, float y1, const UvRect& uv, float out) {
        Feature f;
        for (int i = 0; i <= kColumns; ++i) {
            float t = static_cast<float>(i) / kColumns;
            float x = xa + (xb - xa) * t, u = uv.u0 + (uv.u1 - uv.u0) * t;
            f.bottom.push_back({m.AddVertex(OnFace(k, x, y0, out), {u, uv.v1}, {kHead, 1}), x, y0, out});
            f.top.push_back({m.AddVertex(OnFace(k, x, y1, out), {u, uv.v0}, {kHead, 1}), x, y1, out});
        }
        for (int i = 0; i < kColumns; ++i) {
            Vec3 front{0, 0, -1};
            m.AddTriangle(f.bottom[i].vertex, f.bottom[i + 1].vertex, f.top[i + 1].vertex, front);
            m.AddTriangle(f.bottom[i].vertex, f.top[i + 1].vertex, f.top[i].vertex, front);
        }
        return f;
    };
    float eyeX = 1.25f * s, eyeY = 0.35f * s, eyeH = 0.95f * s, eyeW = 0.8f * s;
    float lidBottom = eyeY + eyeH / 2, lidTop = lidBottom + 0.35f * s;
    // Each pair runs from the outer end to the inner end, so "inner" is the last column for both.
    Feature lidL = strip(eyeX + eyeW, eyeX - eyeW, lidBottom, lidTop, kAtlas.skin, 0.06f * s);
    Feature lidR = strip(-eyeX - eyeW, -eyeX + eyeW, lidBottom, lidTop, kAtlas.skin, 0.06f * s);
    float browY = lidTop + 0.15f * s;
    Feature browL = strip(eyeX + 0.85f * s, eyeX - 0.85f * s, browY, browY + 0.28f * s, kAtlas.trim, 0.1f * s);
    Feature browR = strip(-eyeX - 0.85f * s, -eyeX + 0.85f * s, browY, browY + 0.28f * s, kAtlas.trim, 0.1f * s);
    float mouthY = -1.55f * s;
    Feature mouth = strip(0.9f * s, -0.9f * s, mouthY - 0.16f * s, mouthY + 0.16f * s, kAtlas.accent, 0.06f * s);

    // A corner slid by (dx, dy) across the face stays on its surface. Offsets are stored negated:
    // the engine subtracts weight x offset.
    struct Move {
        Corner corner;
        float dx, dy, forward = 0;
    };
    auto target = [&](std::vector<Move> moves) {
        std::sort(moves.begin(), moves.end(),
                  [](const Move& a, const Move& b) { return a.corner.vertex < b.corner.vertex; });
        MorphTarget t;
        for (const Move& mv : moves) {
            const Corner& c = mv.corner;
            Vec3 delta =
                OnFace(k, c.x + mv.dx * s, c.y + mv.dy * s, c.out + mv.forward * s) - OnFace(k, c.x, c.y, c.out);
            t.offsets.push_back({c.vertex, -delta});
        }
        return t;
    };
    // Moves every corner of some rows by a shape across the columns: f(t) for t from the first
    // column (0) to the last (1) gives (dx, dy, forward); dx is toward the strip's first end.
    auto shape = [&](std::vector<Move>& moves, const Feature& f, bool bottom, bool top, auto fn) {
        for (int i = 0; i <= kColumns; ++i) {
            float t = static_cast<float>(i) / kColumns;
            Vec3 d = fn(t);
            float outward = f.bottom.front().x > f.bottom.back().x ? 1.0f : -1.0f;
            if (bottom)
                moves.push_back({f.bottom[i], d.x * outward, d.y, d.z});
            if (top)
                moves.push_back({f.top[i], d.x * outward, d.y, d.z});
        }
    };
    auto build = [&](std::initializer_list<std::function<void(std::vector<Move>&)>> parts) {
        std::vector<Move> moves;
        for (const auto& part : parts)
            part(moves);
        return target(moves);
    };
    auto both = [&](const Feature& a, const Feature& b, bool bottom, bool top, auto fn) {
        return [&, bottom, top, fn](std::vector<Move>& moves) {
            shape(moves, a, bottom, top, fn);
            shape(moves, b, bottom, top, fn);
        };
    };
    auto one = [&](const Feature& a, bool bottom, bool top, auto fn) {
        return [&, bottom, top, fn](std::vector<Move>& moves) { shape(moves, a, bottom, top, fn); };
    };
    float close = (eyeH + 0.08f * s) / s;
    targets.clear();
    // 0 brows raised
    targets.push_back(build({both(browL, browR, true, true, [](float) { return Vec3{0, 0.5f, 0}; })}));
    // 1 frown: the inner ends of the brows down
    targets.push_back(build({both(browL, browR, true, true, [](float t) { return Vec3{0, -0.45f * t, 0}; })}));
    // 2 mouth open, most in the middle
    targets.push_back(build({one(mouth, true, false, [](float t) {
        return Vec3{0, -0.75f * std::sin(t * kPi) - 0.1f, 0};
    })}));
    // 3 smile: the corners up and out
    targets.push_back(build({one(mouth, true, true, [](float t) {
        float e = std::fabs(2 * t - 1);
        return Vec3{(t < 0.5f ? 0.15f : -0.15f) * e, 0.35f * e * e, 0};
    })}));
    // 4 eyes closed: the lids come down over the eyes (also the blink)
    targets.push_back(build({both(lidL, lidR, true, false, [close](float) { return Vec3{0, -close, 0}; })}));
    // 5 happy eyes: the lids half down
    targets.push_back(build({both(lidL, lidR, true, false, [](float) { return Vec3{0, -0.45f, 0}; })}));
    // 6 sad mouth: the corners down
    targets.push_back(build({one(mouth, true, true, [](float t) {
        float e = std::fabs(2 * t - 1);
        return Vec3{0, -0.35f * e * e, 0};
    })}));
    // 7 wide mouth
    targets.push_back(build({one(mouth, true, true, [](float t) {
        return Vec3{(t < 0.5f ? 0.4f : -0.4f) * std::fabs(2 * t - 1), 0, 0};
    })}));
    // 8 angry brows: inner ends down, outer ends up
    targets.push_back(build({both(browL, browR, true, true, [](float t) { return Vec3{0, 0.3f - 0.7f * t, 0}; })}));
    // 9 pout: the mouth narrows and pushes forward
    targets.push_back(build({one(mouth, true, true, [](float t) {
        return Vec3{(t < 0.5f ? -0.3f : 0.3f) * std::fabs(2 * t - 1), 0, 0.2f};
    })}));
    return m;
}

SkinMesh HandItem(const Skeleton& k, HeldThing thing)
{
    float s = Scale(k);
    // Held in the right fist, which hangs at the right side (-x).
    Vec3 fist = k.joints[kRightHand] + Vec3{-0.1f * s, -2.2f * s, -0.4f * s};
    SkinMesh m;
    m.name = "ITEM";
    switch (thing) {
    case HeldThing::Flower: {
        Vec3 top = fist + Vec3{0, 2.5f * s, -6 * s};
        AddTube(m, {fist + Vec3{0, -1 * s, 0.8f * s}, top, 0.2f * s, 0.2f * s, 1, kRightHand, -1, -1, 6, 2, true, true,
                    kAtlas.trim});
        for (int i = 0; i < 5; ++i) {
            float a = 2 * kPi * i / 5;
            Vec3 petal = top + Vec3{std::cos(a) * 0.9f, std::sin(a) * 0.9f, -0.3f} * s;
            AddEllipsoid(m, {petal, Vec3{0.75f, 0.75f, 0.3f} * s, kRightHand, {}, 8, 5, 0, 180, kAtlas.main});
        }
        AddEllipsoid(
            m, {top + Vec3{0, 0, -0.5f * s}, Vec3{0.5f, 0.5f, 0.4f} * s, kRightHand, {}, 8, 5, 0, 180, kAtlas.accent});
        break;
    }
    case HeldThing::IceCream: {
        Vec3 rim = fist + Vec3{0, 3.2f * s, -1.5f * s};
        AddTube(m, {fist + Vec3{0, -0.6f * s, 0.4f * s}, rim, 0.05f * s, 1.1f * s, 1, kRightHand, -1, -1, 10, 2, true,
                    true, kAtlas.trim});
        AddEllipsoid(
            m, {rim + Vec3{0, 0.9f * s, 0}, Vec3{1.25f, 1.15f, 1.25f} * s, kRightHand, {}, 10, 7, 0, 180, kAtlas.main});
        AddEllipsoid(
            m, {rim + Vec3{0, 2.3f * s, 0}, Vec3{0.9f, 0.85f, 0.9f} * s, kRightHand, {}, 10, 6, 0, 180, kAtlas.accent});
        break;
    }
    case HeldThing::Lollipop: {
        Vec3 top = fist + Vec3{0, 6.5f * s, -1.5f * s};
        AddTube(m, {fist + Vec3{0, -0.8f * s, 0.2f * s}, top, 0.18f * s, 0.18f * s, 1, kRightHand, -1, -1, 6, 2, true,
                    true, kAtlas.trim});
        AddEllipsoid(
            m, {top + Vec3{0, 1.9f * s, 0}, Vec3{2.1f, 2.1f, 0.55f} * s, kRightHand, {}, 14, 7, 0, 180, kAtlas.main});
        AddEllipsoid(m, {top + Vec3{0, 1.9f * s, -0.45f * s},
                         Vec3{0.9f, 0.9f, 0.2f} * s,
                         kRightHand,
                         {},
                         10,
                         5,
                         0,
                         180,
                         kAtlas.accent});
        break;
    }
    case HeldThing::StarWand: {
        Vec3 top = fist + Vec3{0, 7 * s, -2.5f * s};
        AddTube(m, {fist + Vec3{0, -1 * s, 0.4f * s}, top, 0.2f * s, 0.15f * s, 1, kRightHand, -1, -1, 6, 2, true, true,
                    kAtlas.trim});
        Vec3 centre = top + Vec3{0, 1.6f * s, 0};
        AddEllipsoid(m, {centre, Vec3{0.9f, 0.9f, 0.5f} * s, kRightHand, {}, 10, 6, 0, 180, kAtlas.main});
        for (int i = 0; i < 5; ++i) {
            float a = 2 * kPi * i / 5;
            Vec3 tip = centre + Vec3{std::sin(a) * 2.1f, std::cos(a) * 2.1f, 0} * s;
            AddTube(m, {centre, tip, 0.7f * s, 0.05f * s, 0.5f, kRightHand, -1, -1, 6, 1, false, true, kAtlas.main});
        }
        AddEllipsoid(m, {centre + Vec3{0, 0, -0.4f * s},
                         Vec3{0.35f, 0.35f, 0.2f} * s,
                         kRightHand,
                         {},
                         8,
                         4,
                         0,
                         180,
                         kAtlas.accent});
        break;
    }
    case HeldThing::Balloon: {
        Vec3 knot = fist + Vec3{0, 20 * s, 1.5f * s};
        AddTube(m, {fist, knot, 0.08f * s, 0.08f * s, 1, kRightHand, -1, -1, 4, 4, false, false, kAtlas.trim});
        AddEllipsoid(
            m, {knot + Vec3{0, 3.4f * s, 0}, Vec3{2.8f, 3.4f, 2.8f} * s, kRightHand, {}, 14, 9, 0, 180, kAtlas.main});
        break;
    }
    }
    return m;
}

SkinMesh HairItem(const Skeleton& k, HeadThing thing)
{
    float s = Scale(k);
    Vec3 c = k.HeadCentre();
    Vec3 r = HeadRadii(k);
    SkinMesh m;
    m.name = "ITEM";
    switch (thing) {
    case HeadThing::Cap:
        AddEllipsoid(m, {c + Vec3{0, 0.9f * s, 0.15f * s}, r * 1.22f, kHead, {}, 16, 6, 0, 75, kAtlas.main});
        AddEllipsoid(
            m,
            {c + Vec3{0, 1.35f * s, -r.z * 1.05f}, Vec3{2.6f, 0.22f, 2.2f} * s, kHead, {}, 12, 4, 0, 180, kAtlas.trim});
        break;
    case HeadThing::Ribbon:
        for (float side : {-1.0f, 1.0f})
            AddEllipsoid(m, {c + Vec3{side * 1.5f * s, r.y * 1.08f, 0.8f * s},
                             Vec3{1.5f, 0.95f, 0.5f} * s,
                             kHead,
                             {},
                             10,
                             6,
                             0,
                             180,
                             kAtlas.main});
        AddEllipsoid(m, {c + Vec3{0, r.y * 1.08f, 0.8f * s},
                         Vec3{0.55f, 0.55f, 0.55f} * s,
                         kHead,
                         {},
                         8,
                         5,
                         0,
                         180,
                         kAtlas.accent});
        break;
    case HeadThing::Beanie:
        AddEllipsoid(m, {c + Vec3{0, 0.7f * s, 0.15f * s}, r * 1.17f, kHead, {}, 16, 7, 0, 82, kAtlas.main});
        AddTube(m, {c + Vec3{0, 0.2f * s, 0.15f * s}, c + Vec3{0, 1.6f * s, 0.15f * s}, r.x * 1.22f, r.x * 1.2f,
                    r.z / r.x, kHead, -1, -1, 16, 1, false, false, kAtlas.trim});
        AddEllipsoid(m, {c + Vec3{0, r.y * 1.22f + 0.8f * s, 0.15f * s},
                         Vec3{1.1f, 1.0f, 1.1f} * s,
                         kHead,
                         {},
                         10,
                         6,
                         0,
                         180,
                         kAtlas.accent});
        break;
    case HeadThing::Headband:
        AddTube(m, {c + Vec3{0, 1.2f * s, 0.1f * s}, c + Vec3{0, 2.1f * s, 0.3f * s}, r.x * 1.06f, r.x * 0.98f,
                    r.z / r.x * 1.02f, kHead, -1, -1, 16, 1, false, false, kAtlas.main});
        AddEllipsoid(m, {c + Vec3{r.x * 0.75f, 2.0f * s, -r.z * 0.6f},
                         Vec3{0.9f, 0.9f, 0.5f} * s,
                         kHead,
                         {},
                         10,
                         6,
                         0,
                         180,
                         kAtlas.accent});
        break;
    case HeadThing::SunHat: {
        Vec3 crown = c + Vec3{0, 1.1f * s, 0.15f * s};
        AddEllipsoid(m, {crown, r * 1.18f, kHead, {}, 16, 6, 0, 80, kAtlas.main});
        AddTube(m, {crown + Vec3{0, -0.1f * s, 0}, crown + Vec3{0, 1.1f * s, 0}, r.x * 1.2f, r.x * 1.14f, r.z / r.x,
                    kHead, -1, -1, 16, 1, false, false, kAtlas.trim});
        AddEllipsoid(m, {crown + Vec3{0, -0.2f * s, 0},
                         Vec3{r.x * 2.3f, 0.25f * s, r.z * 2.3f},
                         kHead,
                         {},
                         20,
                         4,
                         0,
                         180,
                         kAtlas.main});
        break;
    }
    case HeadThing::Crown: {
        Vec3 base = c + Vec3{0, r.y * 0.7f, 0.2f * s};
        AddTube(m, {base, base + Vec3{0, 1.6f * s, 0}, r.x * 0.95f, r.x, 1, kHead, -1, -1, 16, 1, false, false,
                    kAtlas.main});
        for (int i = 0; i < 6; ++i) {
            float a = 2 * kPi * i / 6;
            Vec3 p = base + Vec3{std::sin(a) * r.x, 1.6f * s, -std::cos(a) * r.z * 0.95f};
            AddTube(m, {p, p + Vec3{0, 1.3f * s, 0}, 0.45f * s, 0.02f * s, 1, kHead, -1, -1, 6, 1, true, false,
                        kAtlas.accent});
        }
        break;
    }
    }
    return m;
}

} // namespace world
