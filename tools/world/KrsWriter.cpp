#include "KrsWriter.h"

namespace world {

namespace {

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
                w.Vector(v);
    }
    for (const SceneObjectRecord& o : scene.objects) {
        w.FixedText(o.objectFile, kKrsObjectNameSize);
        w.I32(static_cast<std::int32_t>(o.kind));
        w.Vector(o.box.min);
        w.Vector(o.box.max);
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
            w.Vector(t.centre);
            w.F32(t.radius);
        }
        for (const SceneBox& b : o.boxes) {
            w.I32(1);
            w.I32(b.action);
            w.I32(b.value);
            WriteMatrix(w, b.matrix);
            w.Vector(b.box.min);
            w.Vector(b.box.max);
        }
    }
    return w.Take();
}

} // namespace world
