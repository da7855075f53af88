// The fly-over curve: its ends, its symmetry, and a path long enough that its coefficients no
// longer fit 32-bit integers.
#include <gtest/gtest.h>

#include "BezierPath.h"

#include <cmath>
#include <vector>

TEST(BezierPath, StartsAndEndsOnItsEndPoints)
{
    const D3DXVECTOR3 points[] = {{0, 0, 0}, {10, 20, 0}, {20, 20, 0}, {30, 0, 0}};
    CBezierPath path(points, 4);
    EXPECT_EQ(path.Degree(), 3u);
    const D3DXVECTOR3 start = path.At(0.0), end = path.At(1.0), middle = path.At(0.5);
    EXPECT_FLOAT_EQ(start.x, 0.0f);
    EXPECT_FLOAT_EQ(end.x, 30.0f);
    // A symmetric polygon gives a symmetric curve: the middle lies over the middle.
    EXPECT_NEAR(middle.x, 15.0f, 1e-4);
    EXPECT_NEAR(middle.y, 15.0f, 1e-4); // (3*20 + 3*20) / 8
    // Outside [0, 1] the ends hold.
    EXPECT_FLOAT_EQ(path.At(-1.0).x, 0.0f);
    EXPECT_FLOAT_EQ(path.At(2.0).x, 30.0f);
}

TEST(BezierPath, ALongPathStaysOnItsLine)
{
    // Twelve path points of four control points each: degree 47, C(47, 23) is about 1.6e13.
    std::vector<D3DXVECTOR3> points;
    for (int i = 0; i < 48; ++i) {
        points.emplace_back(static_cast<float>(i), 5.0f, 0.0f);
    }
    CBezierPath path(points.data(), points.size());
    EXPECT_EQ(path.Degree(), 47u);
    for (double t = 0.0; t <= 1.0; t += 0.05) {
        const D3DXVECTOR3 p = path.At(t);
        EXPECT_NEAR(p.y, 5.0f, 1e-3) << t;
        // Points evenly spaced on a line give a curve that moves along it at an even pace.
        EXPECT_NEAR(p.x, 47.0 * t, 1e-3) << t;
    }
}

TEST(BezierPath, NoPointsGivesTheOrigin)
{
    CBezierPath path;
    EXPECT_TRUE(path.Empty());
    EXPECT_FLOAT_EQ(path.At(0.5).x, 0.0f);
}
