// The vertex arithmetic of avatar drawing on its own: skinning plans and weights, morphs, the
// breast animation, and the blink and bounce timers.
#include "KRAAvatarAnimation.h"
#include "KRAAvatarSkin.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

D3DXMATRIX Translation(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

} // namespace

TEST(AvatarSkin, WeightsBlendBonesAndUnboundVerticesLandAtTheOrigin)
{
    // Vertex 0 half on bone 1 and half on bone 2; vertex 1 wholly on bone 2 twice at 0.5 (named
    // twice, it is counted twice); vertex 2 on no bone.
    std::vector<KRA_BONE_BINDING_DATA> vBindings = {{1, {0}, {0.5f}}, {2, {0, 1, 1}, {0.5f, 0.5f, 0.5f}}};
    KRA_SKIN_PLAN plan;
    KRABuildSkinPlan(vBindings, 3, plan);
    ASSERT_EQ(plan.vFirst.size(), 4u);
    EXPECT_EQ(plan.vFirst[3], 4u);

    D3DXMATRIX amInverse[3], amBones[3], amSkin[3];
    for (D3DXMATRIX& m : amInverse)
        D3DXMatrixIdentity(&m);
    amInverse[2] = Translation(0, -1, 0); // bone 2's bind place is one unit up
    amBones[0] = Translation(0, 0, 0);
    amBones[1] = Translation(2, 0, 0);
    D3DXMatrixRotationY(&amBones[2], D3DX_PI / 2); // a quarter turn about y, then up one
    amBones[2]._42 = 1;
    KRASkinMatrices(amInverse, amBones, amSkin, 3);

    const float afBind[9] = {1, 1, 0, 0, 1, 1, 5, 5, 5};
    float afOut[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
    KRASkinPositions(plan, afBind, amSkin, afOut);
    // Bone 1 moves (1,1,0) to (3,1,0); bone 2 turns (1,0,0) into (0,0,-1) and lifts it back up.
    EXPECT_NEAR(afOut[0], 0.5f * 3 + 0.5f * 0, 1e-5);
    EXPECT_NEAR(afOut[1], 0.5f * 1 + 0.5f * 1, 1e-5);
    EXPECT_NEAR(afOut[2], 0.5f * 0 + 0.5f * -1, 1e-5);
    // (0,1,1) under bone 2: (0,0,1) turned is (1,0,0), plus the lift.
    EXPECT_NEAR(afOut[3], 1, 1e-5);
    EXPECT_NEAR(afOut[4], 1, 1e-5);
    EXPECT_NEAR(afOut[5], 0, 1e-5);
    EXPECT_EQ(afOut[6], 0);
    EXPECT_EQ(afOut[7], 0);
    EXPECT_EQ(afOut[8], 0);
}

TEST(AvatarSkin, RigidTransformAndMorphs)
{
    const float afIn[6] = {1, 2, 3, 4, 5, 6};
    float afOut[6];
    KRATransformPositions(afIn, 2, Translation(1, 0, -1), afOut);
    EXPECT_EQ(afOut[0], 2);
    EXPECT_EQ(afOut[2], 2);
    EXPECT_EQ(afOut[5], 5);

    // p -= w x offset, for the listed vertices only.
    KRA_MORPH_TARGET_DATA target{{1}, {1, -2, 0}};
    KRAApplyMorph(target, 0.5f, afOut);
    EXPECT_EQ(afOut[0], 2);
    EXPECT_EQ(afOut[3], 4.5f);
    EXPECT_EQ(afOut[4], 6);
}

TEST(AvatarSkin, BreastSwellAndBounce)
{
    float af[6] = {10, 10, 10, 10, 10, 10};
    KRAApplySwell({1}, 1, af);
    EXPECT_EQ(af[0], 10);
    EXPECT_EQ(af[3], 10);
    EXPECT_FLOAT_EQ(af[4], 10.1f);
    EXPECT_FLOAT_EQ(af[5], 10.1f);

    float afGrow[3] = {100, 100, 100}, afShrink[3] = {100, 100, 100};
    KRAApplyBounce({0}, 0.75f, afGrow);
    KRAApplyBounce({0}, 0.25f, afShrink);
    EXPECT_FLOAT_EQ(afGrow[0], 100.75f);
    EXPECT_FLOAT_EQ(afShrink[2], 99.75f);

    EXPECT_FLOAT_EQ(KRABreastSwell(0), 0);
    EXPECT_NEAR(KRABreastSwell(0.72), 1, 1e-3); // 90 degrees
    EXPECT_EQ(KRABreastSwell(2.0), 0);          // 250 degrees: below zero, kept at 0
}

TEST(AvatarSkin, BlinkAndBounceRunTheirCourse)
{
    CKRAAvatar avatar;
    avatar.m_bBlinking = true;
    avatar.m_fBlinkStart = 100;
    EXPECT_FLOAT_EQ(KRABlinkValue(avatar, 100.1), 0.5f);
    EXPECT_TRUE(avatar.m_bBlinking);
    EXPECT_EQ(KRABlinkValue(avatar, 100.25), 0);
    EXPECT_FALSE(avatar.m_bBlinking);
    // Blinks start by chance, at the moment they are asked for, with a value of 0.
    int nStarts = 0;
    for (int i = 0; i < 20000 && nStarts == 0; ++i) {
        EXPECT_EQ(KRABlinkValue(avatar, 200), 0);
        nStarts += avatar.m_bBlinking ? 1 : 0;
    }
    EXPECT_EQ(nStarts, 1);
    EXPECT_EQ(avatar.m_fBlinkStart, 200);

    EXPECT_EQ(KRABreastBounceValue(avatar, 5), 0);
    avatar.m_bBreastAnimation = true;
    avatar.m_fBreastStart = 5;
    EXPECT_FLOAT_EQ(KRABreastBounceValue(avatar, 5.25), 0.5f);
    EXPECT_EQ(KRABreastBounceValue(avatar, 5.6), 0);
    EXPECT_FALSE(avatar.m_bBreastAnimation);
}
