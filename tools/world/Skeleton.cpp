#include "Skeleton.h"

namespace world {

namespace {

constexpr std::array<int, kBoneCount> kParents = {
    -1,           kPelvis, kSpine,         kChest,        kChest,     kLeftUpperArm, kNeck,
    kLeftForearm, kChest,  kRightUpperArm, kRightForearm, kPelvis,    kLeftThigh,    kLeftCalf,
    kLeftFoot,    kPelvis, kRightThigh,    kRightCalf,    kRightFoot, kChest,        kChest,
    kHead,        kPelvis, kPelvis,        kHead,
};

} // namespace

int ParentOf(int bone)
{
    return kParents.at(static_cast<std::size_t>(bone));
}

BodyShape MaleBody()
{
    return {};
}

BodyShape FemaleBody()
{
    BodyShape s;
    s.height = 47.5f;
    s.shoulderHalf = 5.3f;
    s.hipHalf = 2.9f;
    s.waistHalf = 4.0f;
    s.chestDepth = 3.3f;
    s.breasts = true;
    return s;
}

Skeleton Skeleton::Build(const BodyShape& s)
{
    Skeleton k;
    k.shape = s;
    float h = s.height / 50.0f; // every height scales with the body
    auto& j = k.joints;
    j[kPelvis] = {0, 26 * h, 0};
    j[kSpine] = {0, 31 * h, 0};
    j[kChest] = {0, 36.5f * h, 0};
    j[kNeck] = {0, 41.5f * h, 0};
    j[kHead] = {0, 43.5f * h, 0};
    j[kJaw] = {0, 44.5f * h, -2 * h};
    j[kHairTail] = {0, 47.5f * h, 3 * h};
    for (int side = 0; side < 2; ++side) {
        float sx = side == 0 ? 1.0f : -1.0f; // left is +x
        int upper = side == 0 ? kLeftUpperArm : kRightUpperArm;
        int fore = side == 0 ? kLeftForearm : kRightForearm;
        int hand = side == 0 ? kLeftHand : kRightHand;
        j[upper] = {sx * s.shoulderHalf, 40 * h, 0};
        j[fore] = {sx * (s.shoulderHalf + 0.6f), 32.5f * h, 0.3f};
        j[hand] = {sx * (s.shoulderHalf + 1.0f), 25.5f * h, 0};
        int thigh = side == 0 ? kLeftThigh : kRightThigh;
        int calf = side == 0 ? kLeftCalf : kRightCalf;
        int foot = side == 0 ? kLeftFoot : kRightFoot;
        int toe = side == 0 ? kLeftToe : kRightToe;
        j[thigh] = {sx * s.hipHalf, 25 * h, 0};
        j[calf] = {sx * s.hipHalf, 13.5f * h, -0.3f};
        j[foot] = {sx * s.hipHalf, 2.5f * h, 0.3f};
        j[toe] = {sx * s.hipHalf, 0.8f, -3.3f * h};
        int breast = side == 0 ? kLeftBreast : kRightBreast;
        j[breast] = {sx * 2.1f * h, 35.5f * h, -s.chestDepth * 0.7f};
    }
    j[kSkirtFront] = {0, 24 * h, -2 * h};
    j[kSkirtBack] = {0, 24 * h, 2 * h};
    return k;
}

Vec3 Skeleton::HeadCentre() const
{
    return joints[kHead] + Vec3{0, 3.0f * shape.height / 50.0f, -0.2f};
}
float Skeleton::HeadRadius() const
{
    return 3.7f * shape.height / 50.0f;
}

Pose& Pose::Turn(int bone, float pitch, float yaw, float roll)
{
    turns[static_cast<std::size_t>(bone)] = {pitch, yaw, roll};
    return *this;
}

Pose& Pose::Add(const Pose& o)
{
    offset += o.offset;
    bodyYaw += o.bodyYaw;
    for (int b = 0; b < kBoneCount; ++b)
        turns[b] += o.turns[b];
    return *this;
}

Pose Blend(const Pose& a, const Pose& b, float t)
{
    Pose p;
    p.offset = Lerp(a.offset, b.offset, t);
    p.bodyYaw = a.bodyYaw + (b.bodyYaw - a.bodyYaw) * t;
    for (int i = 0; i < kBoneCount; ++i)
        p.turns[i] = Lerp(a.turns[i], b.turns[i], t);
    return p;
}

std::array<BoneTransform, kBoneCount> SolvePose(const Skeleton& skeleton, const Pose& pose)
{
    std::array<BoneTransform, kBoneCount> out{};
    Mat4 body = RotationY(Radians(pose.bodyYaw));
    // Parents always come before their children in bone order except the head's children
    // (hair tail, jaw), so solve in an order that respects the hierarchy.
    constexpr std::array<int, kBoneCount> order = {
        kPelvis,   kSpine,         kChest,        kNeck,      kHead,      kLeftUpperArm, kLeftForearm,
        kLeftHand, kRightUpperArm, kRightForearm, kRightHand, kLeftThigh, kLeftCalf,     kLeftFoot,
        kLeftToe,  kRightThigh,    kRightCalf,    kRightFoot, kRightToe,  kLeftBreast,   kRightBreast,
        kHairTail, kSkirtFront,    kSkirtBack,    kJaw,
    };
    for (int bone : order) {
        const Vec3& t = pose.turns[bone];
        Mat4 local = RotationYawPitchRoll(Radians(t.y), Radians(t.x), Radians(t.z));
        int parent = ParentOf(bone);
        if (parent < 0) {
            out[bone].rotation = local * body;
            out[bone].position = TransformPoint(skeleton.joints[bone] + pose.offset, body);
        } else {
            out[bone].rotation = local * out[parent].rotation;
            out[bone].position =
                TransformDirection(skeleton.joints[bone] - skeleton.joints[parent], out[parent].rotation) +
                out[parent].position;
        }
    }
    return out;
}

} // namespace world
