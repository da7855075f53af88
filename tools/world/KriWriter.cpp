#include "KriWriter.h"

#include <stdexcept>

namespace world {

namespace {

bool Skinned(ItemKind kind)
{
    return kind == kSkinnedItem || kind == kUpperBodyItem || kind == kLowerBodyItem || kind == kFootwearItem;
}

void WriteBindings(ByteWriter& w, const SkinMesh& mesh)
{
    std::vector<int> bones = mesh.BonesUsed();
    w.U32(static_cast<std::uint32_t>(bones.size()));
    for (int bone : bones) {
        auto binding = mesh.Binding(bone);
        w.U32(kFirstBoneNumber + static_cast<std::uint32_t>(bone));
        w.U32(static_cast<std::uint32_t>(binding.size()));
        for (const auto& [vertex, weight] : binding)
            w.U32(vertex);
        for (const auto& [vertex, weight] : binding)
            w.F32(weight);
    }
}

} // namespace

Bytes WriteKri(const ItemFile& item)
{
    ByteWriter w;
    w.U32(0);
    w.U32(0);
    w.U32(item.code);

    w.U32(static_cast<std::uint32_t>(item.materials.size()));
    for (const ItemMaterial& material : item.materials) {
        w.U32(0);
        w.Zeros(48);
        w.I32(1); // one texture: only the first of a material is drawn anyway
        w.U32(0);
        w.FixedText(material.texture, kKriTextureNameSize);
        w.U8(material.alpha ? 1 : 0);
        w.Zeros(3);
    }

    w.U32(static_cast<std::uint32_t>(item.meshes.size()));
    for (const SkinMesh& mesh : item.meshes) {
        if (mesh.name.size() >= 32)
            throw std::length_error("mesh name too long: " + mesh.name);
        if (mesh.material >= item.materials.size())
            throw std::out_of_range("mesh " + mesh.name + " names a missing material");
        w.CountedText(mesh.name);
        w.U32(mesh.material);
        w.U8(1);
        w.U32(static_cast<std::uint32_t>(mesh.Positions().size()));
        for (const Vec3& p : mesh.Positions())
            w.Vector(p);
        w.U32(static_cast<std::uint32_t>(mesh.Faces().size()));
        for (const auto& face : mesh.Faces())
            for (std::uint16_t index : face)
                w.U16(index);
        w.U32(static_cast<std::uint32_t>(mesh.Uvs().size())); // skipped by the reader
        for (const Vec2& uv : mesh.Uvs()) {
            w.F32(uv.x);
            w.F32(uv.y);
        }
        if (item.kind == kHeldItem)
            w.U32(0);
        else if (Skinned(item.kind) && mesh.name != kShadowMeshName)
            WriteBindings(w, mesh);
    }

    if (item.kind == kFaceItem) {
        if (item.faceSet.size() > 10)
            throw std::length_error("a face set holds at most 10 targets");
        w.U32(static_cast<std::uint32_t>(item.faceSet.size()));
        for (const MorphTarget& target : item.faceSet) {
            w.U32(static_cast<std::uint32_t>(target.offsets.size()));
            for (std::size_t i = 0; i < target.offsets.size(); ++i) {
                if (i > 0 && target.offsets[i].first <= target.offsets[i - 1].first)
                    throw std::invalid_argument("morph target vertices must ascend");
                w.U32(target.offsets[i].first);
            }
            for (const auto& [vertex, offset] : target.offsets)
                w.Vector(offset);
        }
    }
    return w.Take();
}

Bytes WriteItemCompanion(const ItemFile& item)
{
    ByteWriter w;
    w.U32(static_cast<std::uint32_t>(item.swell.size()));
    w.U32(static_cast<std::uint32_t>(item.bounce.size()));
    for (std::uint32_t v : item.swell)
        w.U32(v);
    for (std::uint32_t v : item.bounce)
        w.U32(v);
    return w.Take();
}

std::string CompanionName(const std::string& itemFile)
{
    std::string name = itemFile;
    if (!name.empty())
        name.back() = 'e';
    return name;
}

} // namespace world
