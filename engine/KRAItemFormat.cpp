#include "KRAItemFormat.h"

#include "KRAByteReader.h"

namespace {

bool ReadIndexList(CKRAByteReader& reader, DWORD dwCount, DWORD dwVertexCount, std::vector<DWORD>& vOut)
{
    if (!reader.Has(dwCount, 4))
        return false;
    vOut.resize(dwCount);
    for (DWORD& dw : vOut) {
        dw = reader.U32();
        if (dw >= dwVertexCount)
            return false;
    }
    return reader.Ok();
}

bool ReadFloats(CKRAByteReader& reader, uint64_t nCount, std::vector<float>& vOut)
{
    if (!reader.Has(nCount, 4))
        return false;
    vOut.resize(size_t(nCount));
    reader.F32s(vOut.data(), vOut.size());
    return reader.Ok();
}

bool ReadMaterials(CKRAByteReader& reader, std::vector<KRA_ITEM_MATERIAL_DATA>& vOut)
{
    DWORD dwCount = reader.U32();
    if (!reader.Has(dwCount, 4 + KRA_ITEM_MATERIAL_SIZE))
        return false;
    vOut.resize(dwCount);
    for (KRA_ITEM_MATERIAL_DATA& material : vOut) {
        reader.U32();
        reader.Skip(48);
        int32_t nTextures = reader.I32();
        reader.Skip(4);
        if (nTextures < 0 || !reader.Has(uint32_t(nTextures), KRA_ITEM_TEXTURE_SIZE))
            return false;
        material.vTextures.resize(size_t(nTextures));
        for (KRA_ITEM_TEXTURE_DATA& texture : material.vTextures) {
            texture.strName = reader.Name(KRA_ITEM_TEXTURE_NAME_SIZE);
            texture.bAlpha = reader.U8() != 0;
            reader.Skip(3);
        }
    }
    return reader.Ok();
}

bool ReadBindings(CKRAByteReader& reader, KRA_ITEM_MESH_DATA& mesh)
{
    DWORD dwCount = reader.U32();
    if (!reader.Has(dwCount, 8))
        return false;
    for (DWORD b = 0; b < dwCount; ++b) {
        KRA_BONE_BINDING_DATA binding;
        DWORD dwBone = reader.U32();
        DWORD dwVertices = reader.U32();
        if (!reader.Has(dwVertices, 8) || !ReadIndexList(reader, dwVertices, mesh.VertexCount(), binding.vVertices) ||
            !ReadFloats(reader, dwVertices, binding.vWeights))
            return false;
        // A binding to no bone matrix moves nothing, as those below the first bone always did.
        if (dwBone < KRA_BONE_FIRST || dwBone - KRA_BONE_FIRST >= KRA_BONE_COUNT)
            continue;
        binding.dwBone = dwBone - KRA_BONE_FIRST;
        mesh.vBindings.push_back(std::move(binding));
    }
    return reader.Ok();
}

bool ReadMesh(CKRAByteReader& reader, DWORD dwKind, KRA_ITEM_MESH_DATA& mesh)
{
    DWORD dwNameLength = reader.U32();
    if (!reader.Ok() || dwNameLength > KRA_ITEM_MESH_NAME_MAX || !reader.Has(dwNameLength, 1))
        return false;
    mesh.strName.assign(reinterpret_cast<const char*>(reader.Here()), dwNameLength);
    reader.Skip(dwNameLength);
    mesh.dwMaterial = reader.U32();
    mesh.bHasTexCoords = reader.U8() != 0;
    DWORD dwVertices = reader.U32();
    if (!ReadFloats(reader, uint64_t(dwVertices) * 3, mesh.vPositions))
        return false;
    DWORD dwFaces = reader.U32();
    if (!reader.Has(dwFaces, 6))
        return false;
    mesh.vIndices.resize(size_t(dwFaces) * 3);
    for (WORD& w : mesh.vIndices) {
        w = reader.U16();
        if (w >= dwVertices)
            return false;
    }
    if (mesh.bHasTexCoords) {
        reader.U32();
        if (!ReadFloats(reader, uint64_t(dwVertices) * 2, mesh.vTexCoords))
            return false;
    }
    if (dwKind == KRA_ITEM_HELD)
        reader.U32();
    else if (KRAIsSkinnedItem(dwKind) && mesh.strName != "shadow" && !ReadBindings(reader, mesh))
        return false;
    return reader.Ok();
}

bool ReadFaceSet(CKRAByteReader& reader, KRA_ITEM_FILE_DATA& file)
{
    DWORD dwTargets = reader.U32();
    if (!reader.Ok() || dwTargets > KRA_FACE_TARGET_MAX)
        return false;
    if (dwTargets == 0)
        return true;
    if (file.vMeshes.empty())
        return false;
    DWORD dwVertices = file.vMeshes[size_t(file.nFaceMesh)].VertexCount();
    file.vFaceSet.resize(dwTargets);
    for (KRA_MORPH_TARGET_DATA& target : file.vFaceSet) {
        DWORD dwCount = reader.U32();
        if (!reader.Has(dwCount, 16) || !ReadIndexList(reader, dwCount, dwVertices, target.vVertices) ||
            !ReadFloats(reader, uint64_t(dwCount) * 3, target.vOffsets))
            return false;
    }
    return true;
}

LONG Parse(CKRAByteReader& reader, DWORD dwKind, KRA_ITEM_FILE_DATA& out)
{
    for (DWORD& dw : out.adwHeader)
        dw = reader.U32();
    if (!ReadMaterials(reader, out.vMaterials))
        return KRA_E_FAILED;
    DWORD dwMeshes = reader.U32();
    // The smallest mesh is its name length, material, flag and two counts.
    if (!reader.Has(dwMeshes, 17))
        return KRA_E_FAILED;
    out.vMeshes.resize(dwMeshes);
    for (KRA_ITEM_MESH_DATA& mesh : out.vMeshes) {
        if (!ReadMesh(reader, dwKind, mesh))
            return KRA_E_FAILED;
    }
    if (dwKind == KRA_ITEM_FACE) {
        out.nFaceMesh = 0;
        for (size_t i = 0; i < out.vMeshes.size(); ++i) {
            if (out.vMeshes[i].strName == "FACE") {
                out.nFaceMesh = int(i);
                break;
            }
        }
        if (!ReadFaceSet(reader, out))
            return KRA_E_FAILED;
    }
    return KRA_OK;
}

} // namespace

LONG KRAParseItemFile(const uint8_t* pData, size_t nSize, DWORD dwKind, KRA_ITEM_FILE_DATA& out)
{
    out = KRA_ITEM_FILE_DATA();
    CKRAByteReader reader(pData, nSize);
    LONG lResult = Parse(reader, dwKind, out);
    if (lResult != KRA_OK)
        out = KRA_ITEM_FILE_DATA();
    return lResult;
}

LONG KRAParseItemCompanion(const uint8_t* pData, size_t nSize, DWORD dwVertexCount, std::vector<DWORD>& vSwell,
                           std::vector<DWORD>& vBounce)
{
    CKRAByteReader reader(pData, nSize);
    DWORD dwSwell = reader.U32();
    DWORD dwBounce = reader.U32();
    if (!reader.Ok() || !ReadIndexList(reader, dwSwell, dwVertexCount, vSwell) ||
        !ReadIndexList(reader, dwBounce, dwVertexCount, vBounce)) {
        vSwell.clear();
        vBounce.clear();
        return KRA_E_FAILED;
    }
    return KRA_OK;
}

std::string KRAItemCompanionPath(const std::string& strItemPath)
{
    std::string str = strItemPath;
    if (!str.empty())
        str.back() = 'e';
    return str;
}

int KRAHeldItemBone(const std::string& strItemPath)
{
    // A path too short to have a ninth character from the end holds no hand digit.
    if (strItemPath.size() >= 9 && strItemPath[strItemPath.size() - 9] == '5')
        return 10;
    return 6;
}
