#pragma once
// The avatar skeleton: 25 bones whose matrices the engine rebuilds from motion tracks. Bone 6 is
// the head (face and head items follow it) and bone 10 the right hand (hand items follow it).
// Avatars face -z, so their right side is -x.

#include "Math3D.h"

#include <array>
#include <cstdint>

namespace world {

enum Bone : int {
    kPelvis = 0,
    kSpine = 1,
    kChest = 2,
    kNeck = 3,
    kLeftUpperArm = 4,
    kLeftForearm = 5,
    kHead = 6,
    kLeftHand = 7,
    kRightUpperArm = 8,
    kRightForearm = 9,
    kRightHand = 10,
    kLeftThigh = 11,
    kLeftCalf = 12,
    kLeftFoot = 13,
    kLeftToe = 14,
    kRightThigh = 15,
    kRightCalf = 16,
    kRightFoot = 17,
    kRightToe = 18,
    kLeftBreast = 19,
    kRightBreast = 20,
    kHairTail = 21,
    kSkirtFront = 22,
    kSkirtBack = 23,
    kJaw = 24,
};
constexpr int kBoneCount = 25;
constexpr std::uint32_t kFirstBoneNumber = 0x100101; // bone i is numbered kFirstBoneNumber + i

int ParentOf(int bone); // -1 for the pelvis

// Body proportions of one avatar kind.
struct BodyShape {
    float height = 50; // top of the head
    float shoulderHalf = 6.2f;
    float hipHalf = 2.8f;
    float waistHalf = 4.6f; // half width of the trunk at the waist
    float chestDepth = 3.6f;
    bool breasts = false;
};

BodyShape MaleBody();
BodyShape FemaleBody();

// Joint positions in the bind pose (model space, feet at y = 0).
struct Skeleton {
    BodyShape shape;
    std::array<Vec3, kBoneCount> joints{};

    static Skeleton Build(const BodyShape& shape);
    // Where the hand ends and the head's centre and size lie, for building parts around them.
    Vec3 HeadCentre() const;
    float HeadRadius() const;
};

// A pose: each bone turned in its parent's frame (degrees about x, y and z) and the whole body
// moved; bones not named keep the bind pose.
struct BoneTurn {
    int bone;
    float pitch = 0, yaw = 0, roll = 0;
};

struct Pose {
    Vec3 offset;                          // the pelvis moved from its bind position
    float bodyYaw = 0;                    // the whole body turned about y (degrees)
    std::array<Vec3, kBoneCount> turns{}; // per bone: pitch, yaw, roll in degrees

    Pose& Turn(int bone, float pitch, float yaw = 0, float roll = 0);
    Pose& Add(const Pose& other); // adds turns and offsets, for layering a gesture on a stance
};

Pose Blend(const Pose& a, const Pose& b, float t);

// Bone transforms in model space: rotation and the joint's position, as a motion track stores them.
struct BoneTransform {
    Mat4 rotation;
    Vec3 position;
};

std::array<BoneTransform, kBoneCount> SolvePose(const Skeleton& skeleton, const Pose& pose);

} // namespace world
