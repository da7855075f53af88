#include "KRAAlphaOrder.h"
#include "KRAFrustum.h"
#include "KRAGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

TEST(FrameIndex, StepsOfTheDurationWithNextAndFraction)
{
    KRA_FRAME_INDEX f = KRAFrameIndex(255, 1000, 500);
    EXPECT_EQ(f.nFrame, 127); // a fade of 1000 ms at 500 ms
    EXPECT_EQ(f.nNext, 128);
    f = KRAFrameIndex(4, 1000, 600);
    EXPECT_EQ(f.nFrame, 2);
    EXPECT_EQ(f.nNext, 3);
    EXPECT_NEAR(f.fFraction, 0.4f, 1e-5);
    f = KRAFrameIndex(4, 1000, 900);
    EXPECT_EQ(f.nFrame, 3);
    EXPECT_EQ(f.nNext, 0);            // the last frame leads back to the first
    f = KRAFrameIndex(4, 1000, 1600); // past the duration: once around
    EXPECT_EQ(f.nFrame, 2);
}

TEST(FrameIndex, ZeroDurationOrNoFramesIsAStillPose)
{
    for (KRA_FRAME_INDEX f : {KRAFrameIndex(0, 1000, 10), KRAFrameIndex(10, 0, 10), KRAFrameIndex(10, -5, 10),
                              KRAFrameIndex(10, 1000, std::numeric_limits<float>::infinity()),
                              KRAFrameIndex(10, 1000, std::nanf("")), KRAFrameIndex(3, 1000, -50)}) {
        EXPECT_EQ(f.nFrame, 0);
        EXPECT_GE(f.nNext, 0);
    }
    EXPECT_EQ(KRAFrameIndex(3, 1000, 1e30f).nFrame, 0); // far past: frame 0, at once
}

namespace {

// A floor triangle, counter-clockwise seen from above, given in the order picking tests it.
const D3DXVECTOR3 kA(0, 0, 0), kB(0, 0, 10), kC(10, 0, 0);

} // namespace

TEST(IntersectTriangle, HitsFromTheFrontWithThePointOnThePlane)
{
    D3DXVECTOR3 hit;
    ASSERT_TRUE(KRAIntersectTriangle(D3DXVECTOR3(2, 5, 2), D3DXVECTOR3(0, -1, 0), kA, kB, kC, &hit));
    EXPECT_NEAR(hit.x, 2, 1e-5);
    EXPECT_NEAR(hit.y, 0, 1e-5);
    EXPECT_NEAR(hit.z, 2, 1e-5);
}

TEST(IntersectTriangle, MissesFromBehindParallelOutsideAndTooFar)
{
    EXPECT_FALSE(KRAIntersectTriangle(D3DXVECTOR3(2, -5, 2), D3DXVECTOR3(0, 1, 0), kA, kB, kC, nullptr));
    EXPECT_FALSE(KRAIntersectTriangle(D3DXVECTOR3(2, 5, 2), D3DXVECTOR3(1, 0, 0), kA, kB, kC, nullptr));
    EXPECT_FALSE(KRAIntersectTriangle(D3DXVECTOR3(9, 5, 9), D3DXVECTOR3(0, -1, 0), kA, kB, kC, nullptr));
    EXPECT_FALSE(KRAIntersectTriangle(D3DXVECTOR3(2, 10001, 2), D3DXVECTOR3(0, -1, 0), kA, kB, kC, nullptr));
    EXPECT_TRUE(KRAIntersectTriangle(D3DXVECTOR3(2, 9999, 2), D3DXVECTOR3(0, -1, 0), kA, kB, kC, nullptr));
}

namespace {

CKRAFrustum BuiltFrustum()
{
    D3DXMATRIX view, projection;
    D3DXVECTOR3 eye(0, 0, 0), at(0, 0, 1), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1.0f, 1.0f, 100.0f);
    CKRAFrustum frustum;
    EXPECT_EQ(frustum.Build(&view, &projection), KRA_OK);
    return frustum;
}

} // namespace

TEST(Frustum, BoxesInFrontAreVisibleAndBehindOrBeyondAreNot)
{
    CKRAFrustum f = BuiltFrustum();
    EXPECT_TRUE(f.IsBoxVisible(-1, -1, 10, 1, 1, 12));
    EXPECT_FALSE(f.IsBoxVisible(-1, -1, -12, 1, 1, -10));  // behind
    EXPECT_FALSE(f.IsBoxVisible(-1, -1, 200, 1, 1, 202));  // past the far plane
    EXPECT_FALSE(f.IsBoxVisible(100, -1, 10, 102, 1, 12)); // far to the right
    EXPECT_FALSE(f.IsBoxVisible(-102, -1, 10, -100, 1, 12));
    EXPECT_FALSE(f.IsBoxVisible(-1, 100, 10, 1, 102, 12)); // above
    // Centre behind the eye, but the bounding sphere reaches the near plane.
    EXPECT_TRUE(f.IsBoxVisible(-2, -2, -2, 2, 2, 1.5f));
    // A box of zero size is a point.
    EXPECT_TRUE(f.IsBoxVisible(0, 0, 50, 0, 0, 50));
    EXPECT_FALSE(f.IsBoxVisible(0, 0, -1, 0, 0, -1));
    EXPECT_TRUE(f.TestBoxCorners(-1, -1, 10, 1, 1, 12));
    EXPECT_FALSE(f.TestBoxCorners(-1, -1, -12, 1, 1, -10));
}

TEST(Frustum, NullOrSingularMatricesKeepThePreviousPlanes)
{
    CKRAFrustum f = BuiltFrustum();
    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    EXPECT_EQ(f.Build(&view, nullptr), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(f.Build(nullptr, &view), KRA_E_INVALID_ARGUMENT);
    D3DXMATRIX zero;
    std::memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(f.Build(&view, &zero), KRA_OK);
    EXPECT_FALSE(f.IsBoxVisible(-1, -1, -12, 1, 1, -10));
    EXPECT_TRUE(f.IsBoxVisible(-1, -1, 10, 1, 1, 12));
}

TEST(Frustum, NotANumberIsNotOutside)
{
    CKRAFrustum f = BuiltFrustum();
    EXPECT_TRUE(f.TestSphere(std::nanf(""), 0, 0, 1));
}

TEST(AlphaOrder, FarthestFirstAndEqualDistancesKeepListOrder)
{
    std::vector<D3DXVECTOR3> positions = {D3DXVECTOR3(0, 0, 5), D3DXVECTOR3(5, 0, 0), D3DXVECTOR3(0, 0, 9),
                                          D3DXVECTOR3(-5, 0, 0), D3DXVECTOR3(0, 0, 1)};
    std::vector<size_t> order;
    KRAOrderFarthestFirst(positions, D3DXVECTOR3(0, 0, 0), order);
    // Objects at the same distance are drawn in list order, every time. A selection sort that
    // swaps the farthest object into place would not keep that promise: swapping object 2 to the
    // front sends object 0 behind object 1, and the frame would draw them as {2, 1, 0, 3, 4}.
    EXPECT_EQ(order, (std::vector<size_t>{2, 0, 1, 3, 4}));
    KRAOrderFarthestFirst({}, D3DXVECTOR3(0, 0, 0), order);
    EXPECT_TRUE(order.empty());
}
