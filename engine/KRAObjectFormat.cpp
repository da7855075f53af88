#include "KRAObjectFormat.h"

#include "KRAByteReader.h"
#include "KRADefs.h"

#include <bit>
#include <cstring>

namespace {

bool ParseKeys(CKRAByteReader& reader, DWORD dwCount, size_t nFloats, std::vector<float>& vOut)
{
    if (!reader.Has(dwCount, nFloats * 4))
        return false;
    vOut.resize(size_t(dwCount) * nFloats);
    reader.F32s(vOut.data(), vOut.size());
    return reader.Ok();
}

bool ParseKeyBlock(CKRAByteReader& reader, KRA_OBJECT_MESH_DATA& mesh);

bool ParseMesh(CKRAByteReader& reader, KRA_OBJECT_MESH_DATA& mesh)
{
    mesh.wKindFlags = reader.U16();
    mesh.wTextureFlags = reader.U16();
    mesh.dwVertexCount = reader.U32();
    reader.F32s(mesh.afMatrix, 16);
    if (!reader.Bytes(mesh.abMaterial, KRA_MATERIAL_SIZE))
        return false;

    CKRAByteReader material(mesh.abMaterial, KRA_MATERIAL_SIZE);
    material.Skip(32);
    mesh.bHasFirstTexture = material.U32() != 0;
    material.Skip(4);
    mesh.strFirstTexture = material.Name(KRA_TEXTURE_NAME_SIZE);
    mesh.bHasSecondTexture = material.U32() != 0;
    material.Skip(4);
    mesh.strSecondTexture = material.Name(KRA_TEXTURE_NAME_SIZE);

    if (!reader.Has(mesh.dwVertexCount, sizeof(KRA_OBJECT_VERTEX)))
        return false;
    mesh.vVertices.resize(mesh.dwVertexCount);
    if constexpr (std::endian::native == std::endian::little) {
        // The stored vertex is eleven little-endian 32-bit fields, exactly the in-memory record on
        // this host: one bounded copy reads them all.
        return reader.Bytes(mesh.vVertices.data(), mesh.vVertices.size() * sizeof(KRA_OBJECT_VERTEX)) &&
               ParseKeyBlock(reader, mesh);
    }
    for (KRA_OBJECT_VERTEX& v : mesh.vVertices) {
        v.x = reader.F32();
        v.y = reader.F32();
        v.z = reader.F32();
        v.nx = reader.F32();
        v.ny = reader.F32();
        v.nz = reader.F32();
        v.dwDiffuse = reader.U32();
        v.u0 = reader.F32();
        v.v0 = reader.F32();
        v.u1 = reader.F32();
        v.v1 = reader.F32();
    }
    return reader.Ok() && ParseKeyBlock(reader, mesh);
}

bool ParseKeyBlock(CKRAByteReader& reader, KRA_OBJECT_MESH_DATA& mesh)
{
    if (mesh.wKindFlags & KRA_MESH_ANIMATED) {
        for (DWORD& dw : mesh.adwKeyBlock)
            dw = reader.U32();
        if (!reader.Ok())
            return false;
        DWORD dwKeys = mesh.adwKeyBlock[3];
        if ((mesh.wTextureFlags & KRA_TEX_POSITION_KEYS) && !ParseKeys(reader, dwKeys, 3, mesh.vPositionKeys))
            return false;
        if ((mesh.wTextureFlags & KRA_TEX_ROTATION_KEYS) && !ParseKeys(reader, dwKeys, 4, mesh.vRotationKeys))
            return false;
        if ((mesh.wTextureFlags & KRA_TEX_SCALE_KEYS) && !ParseKeys(reader, dwKeys, 3, mesh.vScaleKeys))
            return false;
    }
    return reader.Ok();
}

} // namespace

LONG KRAParseObjectFile(const uint8_t* pData, size_t nSize, KRA_OBJECT_FILE_DATA& out)
{
    out = KRA_OBJECT_FILE_DATA();
    CKRAByteReader reader(pData, nSize);
    out.dwHeaderA = reader.U32();
    out.dwCode = reader.U32();
    DWORD dwMeshes = reader.U32();
    // Every mesh needs at least its head and material, so a count beyond that is a lie.
    if (!reader.Has(dwMeshes, KRA_MESH_HEAD_SIZE + KRA_MATERIAL_SIZE))
        return KRA_E_INVALID_ARGUMENT;
    out.vMeshes.resize(dwMeshes);
    for (KRA_OBJECT_MESH_DATA& mesh : out.vMeshes) {
        if (!ParseMesh(reader, mesh)) {
            out = KRA_OBJECT_FILE_DATA();
            return KRA_E_INVALID_ARGUMENT;
        }
    }
    return KRA_OK;
}
