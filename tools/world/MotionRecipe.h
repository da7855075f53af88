#pragma once
// A motion as a content author describes it: a few poses at points of its course (0 = start,
// 1 = end), eased between, sampled into evenly spaced keys for the motion file.

#include "MotionWriter.h"
#include "Skeleton.h"

#include <string>
#include <vector>

namespace world {

struct MotionKey {
    float phase; // 0..1
    Pose pose;
};

struct MotionRecipe {
    std::string name; // "Wave": the file is "<kind>_<name>.mot"
    std::uint32_t durationMs = 1000;
    int keyCount = 10;
    std::vector<MotionKey> keys; // ascending phases, the first at 0
};

// The pose at `phase`, eased between the authored keys; past the last key it holds.
Pose PoseAt(const MotionRecipe& recipe, float phase);

// Samples key k at phase k / keyCount: the engine blends the last key toward the next motion's
// first key, so phase 1 itself is never written, it is where the next motion begins.
MotionClip SampleMotion(const MotionRecipe& recipe, const Skeleton& skeleton);

} // namespace world
