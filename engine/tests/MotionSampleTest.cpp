// Motion sampling: positions between keys are linear, rotations slerped, and the last key blends
// into the next motion's first key.
#include "KRAAvatarTestFiles.h"
#include "KRAMotion.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kratest;

namespace {

// Track t moves along x by 10 per key and turns about y (yaw) by 0.2 rad per key; the next
// motion starts every track at x = 500 with no turn.
CKRAMotion Build(uint32_t dwKeys, uint32_t dwTracks, uint32_t dwDuration, float fStartX, float fYawStep)
{
    std::vector<uint8_t> bytes = Motion(dwKeys, dwTracks, dwDuration, [&](uint32_t t, uint32_t k, float* af) {
        af[0] = fStartX + 10.f * float(k);
        af[1] = float(t);
        af[2] = 0;
        af[3] = fYawStep * float(k);
        af[4] = 0;
        af[5] = 0;
    });
    KRA_MOTION_FILE_DATA file;
    EXPECT_EQ(KRAParseMotionFile(bytes.data(), bytes.size(), file), KRA_OK);
    CKRAMotion motion;
    motion.Load(file);
    return motion;
}

// The yaw of a bone matrix built from a rotation about y followed by a translation.
float Yaw(const D3DXMATRIX& m)
{
    return std::atan2(m._31, m._11);
}

} // namespace

TEST(MotionSample, BetweenKeysPositionIsLinearAndRotationSlerped)
{
    CKRAMotion motion = Build(10, 25, 1000, 0, 0.2f);
    KRA_MOTION_KEY_POSITION at = motion.KeyAt(250);
    EXPECT_EQ(at.nKey, 2);
    EXPECT_NEAR(at.fFraction, 0.5f, 1e-5f);

    D3DXMATRIX amBones[KRA_MOTION_TRACK_MAX];
    D3DXVECTOR3 head(0, 0, 0);
    motion.Sample(at, nullptr, amBones, &head);
    EXPECT_NEAR(amBones[3]._41, 25.f, 1e-4f);
    EXPECT_NEAR(amBones[3]._42, 3.f, 1e-4f);
    EXPECT_NEAR(Yaw(amBones[3]), 0.5f, 1e-4f);
    EXPECT_NEAR(head.x, 25.f, 1e-4f);
    EXPECT_NEAR(head.y, 6.f, 1e-4f);
}

TEST(MotionSample, LastKeyBlendsIntoTheNextMotion)
{
    CKRAMotion motion = Build(10, 25, 1000, 0, 0.2f);
    CKRAMotion next = Build(4, 25, 400, 500, 0);
    KRA_MOTION_KEY_POSITION at = motion.KeyAt(950);
    EXPECT_EQ(at.nKey, 9);
    EXPECT_NEAR(at.fFraction, 0.5f, 1e-5f);
    D3DXMATRIX amBones[KRA_MOTION_TRACK_MAX];
    motion.Sample(at, &next, amBones, nullptr);
    EXPECT_NEAR(amBones[0]._41, (90.f + 500.f) / 2, 1e-3f);
    EXPECT_NEAR(Yaw(amBones[0]), 0.9f, 1e-4f);

    // Without a next motion, or with one lacking the track, the pose heads back to key 0.
    motion.Sample(at, nullptr, amBones, nullptr);
    EXPECT_NEAR(amBones[0]._41, 45.f, 1e-3f);
    CKRAMotion shortNext = Build(4, 2, 400, 500, 0);
    motion.Sample(at, &shortNext, amBones, nullptr);
    EXPECT_NEAR(amBones[1]._41, 295.f, 1e-3f);
    EXPECT_NEAR(amBones[5]._41, 45.f, 1e-3f);
}

TEST(MotionSample, KeyPositionStaysInsideTheMotion)
{
    CKRAMotion motion = Build(3, 1, 100, 0, 0);
    EXPECT_EQ(motion.KeyAt(-5).nKey, 0);
    EXPECT_EQ(motion.KeyAt(99.9999999).nKey, 2);
    EXPECT_LE(motion.KeyAt(100).fFraction, 1.f);
    EXPECT_EQ(motion.KeyAt(1e9).nKey, 2);
    CKRAMotion still = Build(1, 1, 0, 0, 0);
    EXPECT_EQ(still.KeyAt(50).nKey, 0);
}

TEST(MotionSample, InverseBindPoseUndoesKeyZero)
{
    CKRAMotion motion = Build(2, 25, 100, 7, 0.3f);
    D3DXMATRIX amInverse[KRA_MOTION_TRACK_MAX], amBones[KRA_MOTION_TRACK_MAX];
    motion.InverseBindPose(amInverse);
    motion.Sample(KRA_MOTION_KEY_POSITION{0, 0}, nullptr, amBones, nullptr);
    for (int t : {0, 6, 24}) {
        D3DXMATRIX m;
        D3DXMatrixMultiply(&m, &amInverse[t], &amBones[t]);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                EXPECT_NEAR(m(r, c), r == c ? 1.f : 0.f, 1e-4f) << t;
    }
}
