#include "MotionWriter.h"

#include <stdexcept>

namespace world {

Bytes WriteMotion(const MotionClip& clip)
{
    if (clip.keys.empty())
        throw std::invalid_argument("a motion needs at least one key");
    ByteWriter w;
    w.Zeros(68);
    w.U32(static_cast<std::uint32_t>(clip.keys.size()));
    w.U32(0);
    w.U32(kBoneCount);
    w.U32(0);
    w.U32(clip.durationMs);
    for (int bone = 0; bone < kBoneCount; ++bone) {
        w.U32(kFirstBoneNumber + static_cast<std::uint32_t>(bone));
        w.U32(0);
        for (const auto& key : clip.keys)
            w.Vector(key[bone].position);
        for (const auto& key : clip.keys) {
            YawPitchRoll angles = DecomposeYawPitchRoll(key[bone].rotation);
            w.F32(angles.yaw);
            w.F32(angles.pitch);
            w.F32(angles.roll);
        }
    }
    return w.Take();
}

} // namespace world
