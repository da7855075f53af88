#include "MotionRecipe.h"

#include <cmath>
#include <stdexcept>

namespace world {

Pose PoseAt(const MotionRecipe& recipe, float phase)
{
    const auto& keys = recipe.keys;
    if (keys.empty())
        throw std::invalid_argument("motion " + recipe.name + " has no poses");
    if (phase <= keys.front().phase)
        return keys.front().pose;
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        const MotionKey &a = keys[i], &b = keys[i + 1];
        if (phase <= b.phase) {
            float t = (phase - a.phase) / std::max(b.phase - a.phase, 1e-6f);
            float eased = 0.5f - 0.5f * std::cos(t * kPi);
            return Blend(a.pose, b.pose, eased);
        }
    }
    return keys.back().pose;
}

MotionClip SampleMotion(const MotionRecipe& recipe, const Skeleton& skeleton)
{
    MotionClip clip;
    clip.durationMs = recipe.durationMs;
    for (int k = 0; k < recipe.keyCount; ++k)
        clip.keys.push_back(SolvePose(skeleton, PoseAt(recipe, static_cast<float>(k) / recipe.keyCount)));
    return clip;
}

} // namespace world
