#pragma once
// Motion files: key-framed tracks of all 25 bones in model space, each key a position and the
// yaw, pitch and roll that rebuild the bone's rotation.

#include "ByteWriter.h"
#include "Skeleton.h"

#include <vector>

namespace world {

struct MotionClip {
    std::uint32_t durationMs = 1000;
    std::vector<std::array<BoneTransform, kBoneCount>> keys; // evenly spaced over the duration
};

constexpr std::size_t kMotionHeaderSize = 88;

Bytes WriteMotion(const MotionClip& clip);

} // namespace world
