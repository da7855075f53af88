#pragma once
// KRI: avatar item files (materials, meshes, bone bindings, the face set) and the upper body's
// companion file of breast-animation vertex lists.

#include "ByteWriter.h"
#include "SkinMesh.h"

#include <cstdint>
#include <string>
#include <vector>

namespace world {

enum ItemKind : std::uint32_t {
    kFaceItem = 0x20801,
    kSkinnedItem = 0x20802,   // hair
    kUpperBodyItem = 0x20803, // with the breast animation's companion file
    kLowerBodyItem = 0x20804,
    kFootwearItem = 0x20805,
    kHeldItem = 0x20806, // follows one bone rigidly: hand items and hair items
};

struct ItemMaterial {
    std::string texture; // in the avatar item folder
    bool alpha = false;
};

// Offsets of some vertices of the face mesh; the engine moves each by minus weight x offset.
struct MorphTarget {
    std::vector<std::pair<std::uint32_t, Vec3>> offsets; // ascending vertex indices
};

struct ItemFile {
    std::uint32_t code = 0; // its decimal text is part of the file name
    ItemKind kind = kSkinnedItem;
    std::vector<ItemMaterial> materials;
    std::vector<SkinMesh> meshes;
    std::vector<MorphTarget> faceSet;         // face items: targets of the mesh named "FACE"
    std::vector<std::uint32_t> swell, bounce; // upper body: vertices of the first mesh
};

constexpr std::size_t kKriMaterialSize = 56;
constexpr std::size_t kKriMaterialTextureSize = 52;
constexpr std::size_t kKriTextureNameSize = 48;
inline const std::string kShadowMeshName = "shadow";
inline const std::string kFaceMeshName = "FACE";

Bytes WriteKri(const ItemFile& item);
Bytes WriteItemCompanion(const ItemFile& item);
// The companion's name: the item's name with its last letter replaced by 'e'.
std::string CompanionName(const std::string& itemFile);

} // namespace world
