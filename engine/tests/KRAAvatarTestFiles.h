// Writers of small avatar files for the tests: avatar lists, item files with their companions and
// motion files, in the layouts the engine reads, written field by field.
#pragma once

#include "KRAItemFormat.h"
#include "KRAMotionFormat.h"
#include "KRATestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace kratest {

struct ItemBinding {
    uint32_t dwBone;
    std::vector<uint32_t> vVertices;
    std::vector<float> vWeights;
};

struct ItemMesh {
    std::string strName = "BODY";
    uint32_t dwMaterial = 0;
    std::vector<float> vPositions; // 3 per vertex
    std::vector<uint16_t> vIndices;
    bool bTexCoords = false;
    std::vector<ItemBinding> vBindings; // skinned kinds only
};

struct ItemTarget {
    std::vector<uint32_t> vVertices;
    std::vector<float> vOffsets;
};

struct Item {
    uint32_t dwCode = 0;
    std::vector<std::pair<std::string, bool>> vTextures; // one material per texture
    std::vector<ItemMesh> vMeshes;
    std::vector<ItemTarget> vFaceSet; // written for face items
};

// A triangle of three vertices, the smallest mesh a binding can point into.
inline ItemMesh Triangle(const std::string& strName = "BODY")
{
    ItemMesh mesh;
    mesh.strName = strName;
    mesh.vPositions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    mesh.vIndices = {0, 1, 2};
    return mesh;
}

// A square of side 2h facing a camera at -z, centred on (cx, cy) in the plane z, textured.
inline ItemMesh Square(float cx, float cy, float h, const std::string& strName = "BODY", float z = 0)
{
    ItemMesh mesh;
    mesh.strName = strName;
    mesh.vPositions = {cx - h, cy - h, z, cx + h, cy - h, z, cx + h, cy + h, z, cx - h, cy + h, z};
    mesh.vIndices = {0, 1, 2, 0, 2, 3};
    mesh.bTexCoords = true;
    return mesh;
}

inline std::vector<uint8_t> KRI(const Item& item, uint32_t dwKind)
{
    Bytes b;
    b.U32(1).U32(2).U32(item.dwCode).U32(uint32_t(item.vTextures.size()));
    for (const auto& [strTexture, bAlpha] : item.vTextures) {
        b.U32(0).Name("", 48).U32(1).U32(0);
        b.Name(strTexture, 48).U8(bAlpha ? 1 : 0).U8(0).U8(0).U8(0);
    }
    b.U32(uint32_t(item.vMeshes.size()));
    for (const ItemMesh& m : item.vMeshes) {
        b.U32(uint32_t(m.strName.size()));
        for (char c : m.strName)
            b.U8(uint8_t(c));
        uint32_t dwVertices = uint32_t(m.vPositions.size() / 3);
        b.U32(m.dwMaterial).U8(m.bTexCoords ? 1 : 0).U32(dwVertices);
        for (float f : m.vPositions)
            b.F32(f);
        b.U32(uint32_t(m.vIndices.size() / 3));
        for (uint16_t w : m.vIndices)
            b.U16(w);
        if (m.bTexCoords) {
            b.U32(0);
            for (uint32_t i = 0; i < dwVertices * 2; ++i)
                b.F32(0.5f);
        }
        if (dwKind == KRA_ITEM_HELD) {
            b.U32(0);
        } else if (KRAIsSkinnedItem(dwKind) && m.strName != "shadow") {
            b.U32(uint32_t(m.vBindings.size()));
            for (const ItemBinding& binding : m.vBindings) {
                b.U32(binding.dwBone).U32(uint32_t(binding.vVertices.size()));
                for (uint32_t v : binding.vVertices)
                    b.U32(v);
                for (float w : binding.vWeights)
                    b.F32(w);
            }
        }
    }
    if (dwKind == KRA_ITEM_FACE) {
        b.U32(uint32_t(item.vFaceSet.size()));
        for (const ItemTarget& target : item.vFaceSet) {
            b.U32(uint32_t(target.vVertices.size()));
            for (uint32_t v : target.vVertices)
                b.U32(v);
            for (float f : target.vOffsets)
                b.F32(f);
        }
    }
    return b.Data();
}

inline std::vector<uint8_t> Companion(const std::vector<uint32_t>& vSwell, const std::vector<uint32_t>& vBounce)
{
    Bytes b;
    b.U32(uint32_t(vSwell.size())).U32(uint32_t(vBounce.size()));
    for (uint32_t v : vSwell)
        b.U32(v);
    for (uint32_t v : vBounce)
        b.U32(v);
    return b.Data();
}

inline std::vector<uint8_t> KRA(uint32_t dwKey, const std::vector<std::pair<uint32_t, std::string>>& vItems)
{
    Bytes b;
    b.U32(7).U32(8).U32(dwKey).U32(uint32_t(vItems.size()));
    for (const auto& [dwKind, strName] : vItems) {
        b.U32(dwKind).U32(uint32_t(strName.size()));
        for (char c : strName)
            b.U8(uint8_t(c));
    }
    return b.Data();
}

// A motion of the given keys: every track t carries bone 0x100101 + t, and the caller's function
// gives the position and the yaw, pitch and roll of each track at each key.
template <class KeyFn>
std::vector<uint8_t> Motion(uint32_t dwKeys, uint32_t dwTracks, uint32_t dwDuration, KeyFn key)
{
    Bytes b;
    b.Name("", 68).U32(dwKeys).U32(0).U32(dwTracks).U32(0).U32(dwDuration);
    for (uint32_t t = 0; t < dwTracks; ++t) {
        b.U32(KRA_BONE_FIRST + t).U32(0);
        std::vector<float> vPos, vAngles;
        for (uint32_t k = 0; k < dwKeys; ++k) {
            float af[6];
            key(t, k, af);
            vPos.insert(vPos.end(), af, af + 3);
            vAngles.insert(vAngles.end(), af + 3, af + 6);
        }
        for (float f : vPos)
            b.F32(f);
        for (float f : vAngles)
            b.F32(f);
    }
    return b.Data();
}

inline std::filesystem::path AvatarFolder()
{
    const char* szBinary = std::getenv("YONDA_BINARY_DIR");
    return std::filesystem::path(szBinary ? szBinary : ".") / "yonda" / "Data" / "AVATAR";
}

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace kratest
