// The maths against values worked out by hand from the row-vector, left-handed conventions.
#include <gtest/gtest.h>

#include <cmath>

#include "d3dx8.h"

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectVector(const D3DXVECTOR3& v, float x, float y, float z, float tolerance = kTolerance)
{
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

void ExpectMatrix(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = kTolerance)
{
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "at _" << r + 1 << c + 1;
        }
    }
}

D3DXVECTOR3 Transform(D3DXVECTOR3 v, const D3DXMATRIX& m)
{
    D3DXVec3TransformCoord(&v, &v, &m);
    return v;
}

TEST(D3DXMath, RotationsTurnAxesLeftHanded)
{
    D3DXMATRIX m;
    const float quarter = D3DX_PI / 2;
    ExpectVector(Transform({1, 0, 0}, *D3DXMatrixRotationY(&m, quarter)), 0, 0, -1);
    ExpectVector(Transform({0, 1, 0}, *D3DXMatrixRotationX(&m, quarter)), 0, 0, 1);
    ExpectVector(Transform({1, 0, 0}, *D3DXMatrixRotationZ(&m, quarter)), 0, 1, 0);

    D3DXMATRIX axis, y;
    D3DXVECTOR3 up(0, 2, 0); // not unit length: the axis is normalised first
    D3DXMatrixRotationAxis(&axis, &up, 0.7f);
    ExpectMatrix(axis, *D3DXMatrixRotationY(&y, 0.7f));
}

TEST(D3DXMath, YawPitchRollAppliesRollThenPitchThenYaw)
{
    D3DXMATRIX m;
    const float quarter = D3DX_PI / 2;
    // roll: x -> y; pitch: y -> z; yaw: z -> x. The reverse order would end at -x.
    ExpectVector(Transform({1, 0, 0}, *D3DXMatrixRotationYawPitchRoll(&m, quarter, quarter, quarter)), 1, 0, 0);

    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, 0.3f);
    D3DXMatrixRotationX(&rx, -1.1f);
    D3DXMatrixRotationY(&ry, 2.5f);
    ExpectMatrix(*D3DXMatrixRotationYawPitchRoll(&m, 2.5f, -1.1f, 0.3f), rz * rx * ry);

    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, 2.5f, -1.1f, 0.3f);
    D3DXMATRIX fromQuaternion;
    ExpectMatrix(*D3DXMatrixRotationQuaternion(&fromQuaternion, &q), m);
}

TEST(D3DXMath, QuaternionsComposeLikeMatrices)
{
    D3DXQUATERNION a, b, ab;
    D3DXVECTOR3 axisA(1, 2, 3), axisB(-2, 0.5f, 1);
    D3DXQuaternionRotationAxis(&a, &axisA, 0.8f);
    D3DXQuaternionRotationAxis(&b, &axisB, -1.9f);
    D3DXQuaternionMultiply(&ab, &a, &b);
    D3DXMATRIX ma, mb, mab;
    D3DXMatrixRotationQuaternion(&ma, &a);
    D3DXMatrixRotationQuaternion(&mb, &b);
    ExpectMatrix(*D3DXMatrixRotationQuaternion(&mab, &ab), ma * mb);
    D3DXQUATERNION byOperator = a * b;
    ExpectMatrix(*D3DXMatrixRotationQuaternion(&mab, &byOperator), ma * mb);

    // Back from the matrix: the same rotation (up to sign).
    D3DXQUATERNION back;
    D3DXQuaternionRotationMatrix(&back, &ma);
    D3DXMATRIX again;
    ExpectMatrix(*D3DXMatrixRotationQuaternion(&again, &back), ma);

    // Quarter turn about Y: (0, sin 45, 0, cos 45).
    D3DXQUATERNION y;
    D3DXVECTOR3 up(0, 1, 0);
    D3DXQuaternionRotationAxis(&y, &up, D3DX_PI / 2);
    EXPECT_NEAR(y.y, 0.7071068f, kTolerance);
    EXPECT_NEAR(y.w, 0.7071068f, kTolerance);
}

TEST(D3DXMath, SlerpTakesTheShortestArc)
{
    D3DXQUATERNION identity, quarter, out;
    D3DXQuaternionIdentity(&identity);
    quarter = D3DXQUATERNION(0, 0.70710678f, 0, 0.70710678f); // 90 degrees about Y
    // Halfway is 45 degrees: (0, sin 22.5, 0, cos 22.5).
    D3DXQuaternionSlerp(&out, &identity, &quarter, 0.5f);
    EXPECT_NEAR(out.x, 0, kTolerance);
    EXPECT_NEAR(out.y, 0.3826834f, kTolerance);
    EXPECT_NEAR(out.w, 0.9238795f, kTolerance);
    // The negated quaternion is the same rotation; the shortest arc gives the same halfway point.
    D3DXQUATERNION negated = -quarter;
    D3DXQuaternionSlerp(&out, &identity, &negated, 0.5f);
    EXPECT_NEAR(out.y, 0.3826834f, kTolerance);
    EXPECT_NEAR(out.w, 0.9238795f, kTolerance);
    // Ends are exact, and nearly equal quaternions interpolate without dividing by a zero sine.
    D3DXQuaternionSlerp(&out, &identity, &quarter, 1.0f);
    EXPECT_NEAR(out.y, 0.70710678f, kTolerance);
    D3DXQUATERNION close(0, 1e-4f, 0, 1), mid;
    D3DXQuaternionSlerp(&mid, &identity, &close, 0.5f);
    EXPECT_NEAR(mid.y, 0.5e-4f, 1e-7f);
    EXPECT_TRUE(std::isfinite(mid.w));

    D3DXQUATERNION unnormalised(0, 3, 0, 4);
    D3DXQuaternionNormalize(&out, &unnormalised);
    EXPECT_NEAR(out.y, 0.6f, kTolerance);
    EXPECT_NEAR(out.w, 0.8f, kTolerance);
}

TEST(D3DXMath, LookAtBuildsTheViewBasis)
{
    D3DXMATRIX view;
    D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectMatrix(view, D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 10, 1));

    // The room camera: eye (150, 180, 0) looking at (20, 0, 0). Forward = (-130, -180, 0) / 222.0360,
    // right = up x forward = (0, 0, 1), up' = forward x right = (-0.8106800, 0.5854906, 0).
    eye = D3DXVECTOR3(150, 180, 0);
    at = D3DXVECTOR3(20, 0, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    const float fx = -130.0f / std::sqrt(49300.0f), fy = -180.0f / std::sqrt(49300.0f);
    ExpectMatrix(
        view, D3DXMATRIX(0, fy, fx, 0, 0, -fx, fy, 0, 1, 0, 0, 0, 0, -(fy * 150 - fx * 180), -(fx * 150 + fy * 180), 1),
        1e-4f);
    EXPECT_NEAR(view._43, 233.7460f, 1e-3f);
    // The eye lands on the origin and the target straight ahead on +z.
    ExpectVector(Transform(eye, view), 0, 0, 0, 1e-4f);
    ExpectVector(Transform(at, view), 0, 0, std::sqrt(49300.0f), 1e-3f);
}

TEST(D3DXMath, PerspectiveMapsNearToZeroAndFarToOne)
{
    D3DXMATRIX proj;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 5000.0f);
    EXPECT_NEAR(proj._11, 1.8106602f, kTolerance); // cot(22.5 degrees) / (4/3)
    EXPECT_NEAR(proj._22, 2.4142136f, kTolerance); // cot(22.5 degrees)
    EXPECT_NEAR(proj._33, 5000.0f / 4999.0f, kTolerance);
    EXPECT_EQ(proj._34, 1.0f);
    EXPECT_NEAR(proj._43, -5000.0f / 4999.0f, kTolerance);
    EXPECT_EQ(proj._44, 0.0f);
    ExpectVector(Transform({0, 0, 1}, proj), 0, 0, 0);
    ExpectVector(Transform({0, 0, 5000}, proj), 0, 0, 1);

    D3DXMATRIX ortho;
    D3DXMatrixOrthoOffCenterLH(&ortho, 0, 640, 480, 0, 0, 1);
    ExpectVector(Transform({0, 0, 0}, ortho), -1, 1, 0);
    ExpectVector(Transform({640, 480, 1}, ortho), 1, -1, 1);
}

TEST(D3DXMath, InverseAndSingularMatrices)
{
    D3DXMATRIX m(2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 1, 2, 3, 1), inverse;
    float det = 0;
    ASSERT_EQ(D3DXMatrixInverse(&inverse, &det, &m), &inverse);
    EXPECT_FLOAT_EQ(det, 64.0f);
    ExpectMatrix(inverse, D3DXMATRIX(0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.375f, 1));
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ExpectMatrix(m * inverse, identity);

    // In place, on a general matrix.
    D3DXMATRIX rotation, copy;
    D3DXMatrixRotationYawPitchRoll(&rotation, 0.4f, 1.2f, -0.5f);
    rotation._41 = 7;
    rotation._42 = -3;
    copy = rotation;
    ASSERT_NE(D3DXMatrixInverse(&rotation, nullptr, &rotation), nullptr);
    ExpectMatrix(copy * rotation, identity);

    // Singular: NULL and the output left as it was.
    D3DXMATRIX singular(1, 2, 3, 0, 2, 4, 6, 0, 0, 0, 1, 0, 0, 0, 0, 1), untouched;
    D3DXMatrixTranslation(&untouched, 9, 9, 9);
    D3DXMATRIX before = untouched;
    EXPECT_EQ(D3DXMatrixInverse(&untouched, &det, &singular), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_TRUE(untouched == before);
    D3DXMATRIX zero(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(D3DXMatrixInverse(&untouched, nullptr, &zero), nullptr);
}

TEST(D3DXMath, VectorFunctions)
{
    D3DXVECTOR3 out;
    D3DXVECTOR3 zero(0, 0, 0), v(3, 4, 0);
    ExpectVector(*D3DXVec3Normalize(&out, &zero), 0, 0, 0);
    ExpectVector(*D3DXVec3Normalize(&out, &v), 0.6f, 0.8f, 0);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&v), 5.0f);
    EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&v), 25.0f);
    D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    ExpectVector(*D3DXVec3Cross(&out, &x, &y), 0, 0, 1);
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&v, &x), 3.0f);
    D3DXVECTOR3 a(0, 10, 20), b(10, 30, 0);
    ExpectVector(*D3DXVec3Lerp(&out, &a, &b, 0.25f), 2.5f, 15, 15);

    ExpectVector(a + b, 10, 40, 20);
    ExpectVector(b - a, 10, 20, -20);
    ExpectVector(a * 2, 0, 20, 40);
    ExpectVector(0.5f * b, 5, 15, 0);
    ExpectVector(-a, 0, -10, -20);
    D3DXVECTOR3 c = a;
    c += b;
    c -= D3DXVECTOR3(1, 1, 1);
    c *= 2;
    ExpectVector(c, 18, 78, 38);

    // TransformNormal ignores translation; TransformCoord divides by w.
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, 5, 6, 7);
    ExpectVector(*D3DXVec3TransformNormal(&out, &x, &t), 1, 0, 0);
    ExpectVector(*D3DXVec3TransformCoord(&out, &x, &t), 6, 6, 7);
    D3DXMATRIX halve(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2);
    ExpectVector(*D3DXVec3TransformCoord(&out, &b, &halve), 5, 15, 0);
}

TEST(D3DXMath, ProjectToViewportPixels)
{
    D3DVIEWPORT8 viewport = {10, 20, 640, 480, 0.0f, 1.0f};
    D3DXVECTOR3 out, point(0.5f, 0.5f, 0.25f);
    ExpectVector(*D3DXVec3Project(&out, &point, &viewport, nullptr, nullptr, nullptr), 490, 140, 0.25f);

    // fov 90 degrees, aspect 1, near 1, far 100: (1, 1, 2) -> ndc (0.5, 0.5, 100/198) at w = 2.
    D3DXMATRIX proj, identity;
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 2, 1.0f, 1.0f, 100.0f);
    D3DXMatrixIdentity(&identity);
    D3DVIEWPORT8 square = {0, 0, 100, 100, 0.0f, 1.0f};
    D3DXVECTOR3 p(1, 1, 2);
    ExpectVector(*D3DXVec3Project(&out, &p, &square, &proj, &identity, &identity), 75, 25, 100.0f / 198.0f);
    D3DXVECTOR3 back;
    ExpectVector(*D3DXVec3Unproject(&back, &out, &square, &proj, &identity, &identity), 1, 1, 2, 1e-4f);

    // World, then view, then projection.
    D3DXMATRIX world, view;
    D3DXMatrixTranslation(&world, 1, 0, 0);
    D3DXMatrixTranslation(&view, 0, 1, 0);
    D3DXVECTOR3 origin(0, 0, 2);
    ExpectVector(*D3DXVec3Project(&out, &origin, &square, &proj, &view, &world), 75, 25, 100.0f / 198.0f);
}

TEST(D3DXMath, PlanesFromPoints)
{
    D3DXPLANE plane;
    D3DXVECTOR3 p1(0, 5, 0), p2(0, 5, 1), p3(1, 5, 0);
    D3DXPlaneFromPoints(&plane, &p1, &p2, &p3);
    EXPECT_NEAR(plane.a, 0, kTolerance);
    EXPECT_NEAR(plane.b, 1, kTolerance);
    EXPECT_NEAR(plane.c, 0, kTolerance);
    EXPECT_NEAR(plane.d, -5, kTolerance);
    D3DXVECTOR3 above(3, 8, -2);
    EXPECT_NEAR(D3DXPlaneDotCoord(&plane, &above), 3, kTolerance);

    D3DXVECTOR3 out, from(1, 0, 1), to(1, 10, 1);
    ExpectVector(*D3DXPlaneIntersectLine(&out, &plane, &from, &to), 1, 5, 1);
    D3DXVECTOR3 along(5, 0, 1);
    EXPECT_EQ(D3DXPlaneIntersectLine(&out, &plane, &from, &along), nullptr);

    D3DXPLANE unnormalised(0, 0, 2, 4), normalised;
    D3DXPlaneNormalize(&normalised, &unnormalised);
    EXPECT_FLOAT_EQ(normalised.c, 1);
    EXPECT_FLOAT_EQ(normalised.d, 2);
}

TEST(D3DXMath, MatrixOperatorsMultiplyLikeTheFunction)
{
    D3DXMATRIX s, t, product, manual;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixTranslation(&t, 1, 1, 1);
    D3DXMatrixMultiply(&product, &s, &t);
    // Scale first, then translate: (1, 1, 1) -> (3, 4, 5).
    ExpectVector(Transform({1, 1, 1}, product), 3, 4, 5);
    EXPECT_TRUE(s * t == product);
    manual = s;
    manual *= t;
    EXPECT_TRUE(manual == product);
    // The output may alias an input.
    D3DXMatrixMultiply(&s, &s, &t);
    EXPECT_TRUE(s == product);
    EXPECT_FLOAT_EQ(product(3, 0), 1.0f);
    EXPECT_TRUE(D3DXMatrixIsIdentity(D3DXMatrixIdentity(&manual)));
    EXPECT_FLOAT_EQ(D3DXMatrixDeterminant(&product), 24.0f);

    D3DXCOLOR colour(0x80FF4000u);
    EXPECT_FLOAT_EQ(colour.r, 1.0f);
    EXPECT_NEAR(colour.a, 128.0f / 255.0f, kTolerance);
    EXPECT_EQ(D3DCOLOR(colour), 0x80FF4000u);
}

} // namespace
