// The geometry and rotation helpers the content is built with.
#include "Math3D.h"
#include "Shapes.h"

#include <gtest/gtest.h>

namespace world {
namespace {

void ExpectSameRotation(const Mat4& a, const Mat4& b)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(a.m[i][j], b.m[i][j], 1e-4f) << i << "," << j;
}

TEST(Rotations, YawPitchRollComeBackFromTheirMatrix)
{
    const float cases[][3] = {{0, 0, 0},           {0.5f, 0.2f, -0.3f},      {-2.5f, 1.2f, 0.7f},
                              {3.0f, -1.0f, 2.0f}, {0.3f, 1.5707963f, 0.2f}, {-0.4f, -1.5707963f, 0.9f}};
    for (const auto& c : cases) {
        Mat4 m = RotationYawPitchRoll(c[0], c[1], c[2]);
        YawPitchRoll r = DecomposeYawPitchRoll(m);
        ExpectSameRotation(RotationYawPitchRoll(r.yaw, r.pitch, r.roll), m);
    }
}

TEST(Rotations, TurnsMatchTheLeftHandedHelpers)
{
    // A quarter turn about y takes +z to +x; about x it takes +y to +z.
    Vec3 v = TransformDirection({0, 0, 1}, RotationY(Radians(90)));
    EXPECT_NEAR(v.x, 1, 1e-6f);
    EXPECT_NEAR(v.z, 0, 1e-6f);
    Vec3 w = TransformDirection({0, 1, 0}, RotationX(Radians(90)));
    EXPECT_NEAR(w.z, 1, 1e-6f);
}

TEST(Shapes, FacesPointOutwardOrInward)
{
    TriangleList outside, inside;
    AddBox(outside, {-1, -1, -1}, {1, 1, 1});
    AddBox(inside, {-1, -1, -1}, {1, 1, 1}, {}, kBoxAll, true);
    ASSERT_EQ(outside.TriangleCount(), 12u);
    for (const TriangleList* list : {&outside, &inside}) {
        const auto& v = list->Vertices();
        for (std::size_t i = 0; i < v.size(); i += 3) {
            Vec3 centre = (v[i].position + v[i + 1].position + v[i + 2].position) * (1.0f / 3);
            Vec3 n = FaceNormal(v[i].position, v[i + 1].position, v[i + 2].position);
            float away = Dot(n, centre);
            EXPECT_EQ(away > 0, list == &outside);
            EXPECT_GT(Dot(n, v[i].normal), 0.99f);
        }
    }
}

TEST(Shapes, AFloorSeenFromAboveIsCounterClockwise)
{
    TriangleList floor;
    AddQuad(floor, {-1, 0, -1}, {1, 0, -1}, {1, 0, 1}, {-1, 0, 1}, {0, 1, 0});
    const auto& v = floor.Vertices();
    // Looking down with +z up the screen and +x to the right, the turn a->b->c is to the left.
    for (std::size_t i = 0; i < v.size(); i += 3) {
        float turn = (v[i + 1].position.x - v[i].position.x) * (v[i + 2].position.z - v[i].position.z) -
                     (v[i + 1].position.z - v[i].position.z) * (v[i + 2].position.x - v[i].position.x);
        EXPECT_GT(turn, 0);
    }
}

TEST(Shapes, CylinderAndExtrusionAreClosedOutward)
{
    TriangleList list;
    AddCylinder(list, {0, 0, 0}, 2, 1, 3, 8, true);
    AddExtrusion(list, {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, 4, 5);
    for (std::size_t i = 0; i < list.Vertices().size(); i += 3) {
        const auto& v = list.Vertices();
        Vec3 n = FaceNormal(v[i].position, v[i + 1].position, v[i + 2].position);
        EXPECT_GT(Dot(n, v[i].normal), 0.3f) << "triangle " << i / 3;
    }
}

} // namespace
} // namespace world
