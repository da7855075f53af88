#include "KrsWriter.h"

namespace world {

namespace {

void WriteVec3(ByteWriter& w, const Vec3& v)
{
    w.F32(v.x);
    w.F32(v.y);
    w.F32(v.z);
}

void WriteMatrix(ByteWriter& w, const Mat4& m)
{
    for (float f : m.RowMajor())
        w.F32(f);
}

} // namespace

Bytes WriteKrs(const SceneFile& scene)
{
    ByteWriter w;
    w.U32(0);
    w.U32(static_cast<std::uint32_t>(scene.paths.size()));
    w.U32(static_cast<std::uint32_t>(scene.objects.size()));
    for (const ScenePath& path : scene.paths) {
        w.I32(path.id);
        w.U32(static_cast<std::uint32_t>(path.points.size()));
        for (const PathPoint& point : path.points)
            for (const Vec3& v : point)
                WriteVec3(w, v);
    }
    for (const SceneObjectRecord& o : scene.objects) {
        w.FixedText(o.objectFile, kKrsObjectNameSize);
        w.I32(static_cast<std::int32_t>(o.kind));
        WriteVec3(w, o.box.min);
        WriteVec3(w, o.box.max);
        WriteMatrix(w, o.matrix);
        // The event head counts boxes first although the triggers come first in the file.
        w.U8(o.eventFlag ? 1 : 0);
        w.Zeros(3);
        w.U32(static_cast<std::uint32_t>(o.boxes.size()));
        w.U32(static_cast<std::uint32_t>(o.triggers.size()));
        for (const SceneTrigger& t : o.triggers) {
            w.I32(0);
            w.I32(t.kind);
            w.I32(0);
            WriteVec3(w, t.centre);
            w.F32(t.radius);
        }
        for (const SceneBox& b : o.boxes) {
            w.I32(1);
            w.I32(b.action);
            w.I32(b.value);
            WriteMatrix(w, b.matrix);
            WriteVec3(w, b.box.min);
            WriteVec3(w, b.box.max);
        }
    }
    return w.Take();
}

} // namespace world
