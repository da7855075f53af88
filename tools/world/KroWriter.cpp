#include "KroWriter.h"

#include <stdexcept>

namespace world {

namespace {

void WriteMaterial(ByteWriter& w, const ObjectMesh& mesh)
{
    w.Zeros(32);
    w.U32(mesh.texture.empty() ? 0 : 1);
    w.Zeros(4);
    w.FixedText(mesh.texture, kKroTextureNameSize);
    w.U32(mesh.secondTexture.empty() ? 0 : 1);
    w.Zeros(4);
    w.FixedText(mesh.secondTexture, kKroTextureNameSize);
}

void WriteKeys(ByteWriter& w, const KeyTrack& keys)
{
    std::size_t count = keys.KeyCount();
    for (std::size_t n : {keys.positions.size(), keys.rotations.size(), keys.scales.size()})
        if (n != 0 && n != count)
            throw std::invalid_argument("every key array of a mesh needs the same count");
    w.U32(keys.startMs);
    w.U32(keys.endMs);
    w.U32(0);
    w.U32(static_cast<std::uint32_t>(count));
    for (const Vec3& p : keys.positions)
        w.Vector(p);
    for (const Quaternion& q : keys.rotations) {
        w.F32(q.x);
        w.F32(q.y);
        w.F32(q.z);
        w.F32(q.w);
    }
    for (const Vec3& s : keys.scales)
        w.Vector(s);
}

} // namespace

Bytes WriteKro(const ObjectModel& model)
{
    ByteWriter w;
    w.U32(0);
    w.U32(model.code);
    w.U32(static_cast<std::uint32_t>(model.meshes.size()));
    for (const ObjectMesh& mesh : model.meshes) {
        const auto& vertices = mesh.triangles.Vertices();
        w.U16(mesh.KindFlags());
        w.U16(mesh.TextureFlags());
        w.U32(static_cast<std::uint32_t>(vertices.size()));
        for (float f : mesh.matrix.RowMajor())
            w.F32(f);
        WriteMaterial(w, mesh);
        for (const ObjectVertex& v : vertices) {
            w.Vector(v.position);
            w.Vector(v.normal);
            w.U32(v.diffuse);
            w.F32(v.uv0.x);
            w.F32(v.uv0.y);
            w.F32(v.uv1.x);
            w.F32(v.uv1.y);
        }
        if (mesh.keys)
            WriteKeys(w, *mesh.keys);
    }
    return w.Take();
}

} // namespace world
