// The item file (KRI) as it stands on disk, and its upper-body companion file. The item kind is not
// in the file; the avatar list or the caller gives it and decides what follows each mesh. Every
// index the skinning, morphing and drawing will follow is checked here, so a file that passes can
// never make them read or write outside a mesh.
#pragma once

#include "KRADefs.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr DWORD KRA_ITEM_FACE = 0x20801;
constexpr DWORD KRA_ITEM_BODY = 0x20802;
constexpr DWORD KRA_ITEM_UPPER_BODY = 0x20803; // skinned, with the breast animation lists
constexpr DWORD KRA_ITEM_BODY_B = 0x20804;
constexpr DWORD KRA_ITEM_BODY_C = 0x20805;
constexpr DWORD KRA_ITEM_HELD = 0x20806;

constexpr DWORD KRA_BONE_FIRST = 0x100101; // bone number of bone matrix 0
constexpr DWORD KRA_BONE_COUNT = 25;
constexpr DWORD KRA_BONE_HEAD = KRA_BONE_FIRST + 6;
constexpr size_t KRA_FACE_TARGET_MAX = 10;
constexpr size_t KRA_ITEM_MESH_NAME_MAX = 31;
constexpr size_t KRA_ITEM_MATERIAL_SIZE = 56;
constexpr size_t KRA_ITEM_TEXTURE_SIZE = 52;
constexpr size_t KRA_ITEM_TEXTURE_NAME_SIZE = 48;

inline bool KRAIsSkinnedItem(DWORD dwKind)
{
    return dwKind >= KRA_ITEM_BODY && dwKind <= KRA_ITEM_BODY_C;
}

struct KRA_ITEM_TEXTURE_DATA {
    std::string strName;
    bool bAlpha = false;
};

struct KRA_ITEM_MATERIAL_DATA {
    std::vector<KRA_ITEM_TEXTURE_DATA> vTextures; // only the first is drawn
};

struct KRA_BONE_BINDING_DATA {
    DWORD dwBone = 0; // a bone matrix index below KRA_BONE_COUNT
    std::vector<DWORD> vVertices;
    std::vector<float> vWeights;
};

struct KRA_MORPH_TARGET_DATA {
    std::vector<DWORD> vVertices;
    std::vector<float> vOffsets; // 3 per vertex
};

struct KRA_ITEM_MESH_DATA {
    std::string strName;
    DWORD dwMaterial = 0; // may lie past the materials: such a mesh is drawn untextured
    bool bHasTexCoords = false;
    std::vector<float> vPositions; // 3 per vertex
    std::vector<WORD> vIndices;    // 3 per face
    std::vector<float> vTexCoords; // 2 per vertex, when present
    std::vector<KRA_BONE_BINDING_DATA> vBindings;
    DWORD VertexCount() const { return DWORD(vPositions.size() / 3); }
};

struct KRA_ITEM_FILE_DATA {
    DWORD adwHeader[3] = {}; // the third word is the item code
    std::vector<KRA_ITEM_MATERIAL_DATA> vMaterials;
    std::vector<KRA_ITEM_MESH_DATA> vMeshes;
    int nFaceMesh = -1; // face items: the mesh the face set moves
    std::vector<KRA_MORPH_TARGET_DATA> vFaceSet;
};

// 0, or 0x80000007 for a file that ends early, announces more than it holds, names a mesh longer
// than 31 characters, or holds an index past its mesh (faces, bindings, face targets), or more
// than 10 face targets. Bindings to a bone outside the 25 bone matrices are left out.
LONG KRAParseItemFile(const uint8_t* pData, size_t nSize, DWORD dwKind, KRA_ITEM_FILE_DATA& out);

// The companion of an upper-body item: the swell and bounce vertex lists of its first mesh.
// 0, or 0x80000007 for a file that ends early or lists a vertex at or past dwVertexCount.
LONG KRAParseItemCompanion(const uint8_t* pData, size_t nSize, DWORD dwVertexCount, std::vector<DWORD>& vSwell,
                           std::vector<DWORD>& vBounce);

// The companion's path: the item's path with its last character replaced by 'e'.
std::string KRAItemCompanionPath(const std::string& strItemPath);

// The bone matrix a held item follows: 10 when the ninth character from the end of its path is '5'
// (left-hand items), else 6.
int KRAHeldItemBone(const std::string& strItemPath);
