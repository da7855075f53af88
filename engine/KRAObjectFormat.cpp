#include "KRAObjectFormat.h"

#include "KRAByteReader.h"

#include <bit>
#include <cstring>

namespace {

// The bytes of the file, read whole; nothing is read past their end.
class MemorySource {
public:
    MemorySource(const uint8_t* pData, size_t nSize) : m_cReader(pData, nSize) {}
    bool Read(void* pOut, size_t n) { return m_cReader.Bytes(pOut, n); }
    uint64_t Remaining() const { return m_cReader.Remaining(); }

private:
    CKRAByteReader m_cReader;
};

template <class Source>
bool Has(const Source& source, uint64_t count, uint64_t size)
{
    return count <= source.Remaining() / size;
}

// Little-endian 32-bit fields into their in-memory records: one copy on a little-endian host,
// field by field elsewhere.
template <class Source>
bool ReadWords(Source& source, void* pOut, size_t nWords)
{
    if constexpr (std::endian::native == std::endian::little) {
        return source.Read(pOut, nWords * 4);
    } else {
        std::vector<uint8_t> vBytes(nWords * 4);
        if (!source.Read(vBytes.data(), vBytes.size()))
            return false;
        CKRAByteReader reader(vBytes.data(), vBytes.size());
        auto* pWords = static_cast<uint32_t*>(pOut);
        for (size_t i = 0; i < nWords; ++i)
            pWords[i] = reader.U32();
        return true;
    }
}

template <class Source>
bool ReadKeys(Source& source, DWORD dwCount, size_t nFloats, std::vector<float>& vOut)
{
    if (!Has(source, dwCount, nFloats * 4))
        return false;
    vOut.resize(size_t(dwCount) * nFloats);
    return ReadWords(source, vOut.data(), vOut.size());
}

template <class Source>
bool ParseMesh(Source& source, KRA_OBJECT_MESH_DATA& mesh)
{
    uint8_t abHead[KRA_MESH_HEAD_SIZE];
    if (!source.Read(abHead, sizeof(abHead)) || !source.Read(mesh.abMaterial, KRA_MATERIAL_SIZE))
        return false;
    CKRAByteReader head(abHead, sizeof(abHead));
    mesh.wKindFlags = head.U16();
    mesh.wTextureFlags = head.U16();
    mesh.dwVertexCount = head.U32();
    head.F32s(mesh.afMatrix, 16);

    CKRAByteReader material(mesh.abMaterial, KRA_MATERIAL_SIZE);
    material.Skip(32);
    mesh.bHasFirstTexture = material.U32() != 0;
    material.Skip(4);
    mesh.strFirstTexture = material.Name(KRA_TEXTURE_NAME_SIZE);
    mesh.bHasSecondTexture = material.U32() != 0;
    material.Skip(4);
    mesh.strSecondTexture = material.Name(KRA_TEXTURE_NAME_SIZE);

    if (!Has(source, mesh.dwVertexCount, sizeof(KRA_OBJECT_VERTEX)))
        return false;
    static_assert(sizeof(KRA_OBJECT_VERTEX) == 11 * 4, "a vertex is eleven 32-bit fields");
    mesh.vVertices.resize(mesh.dwVertexCount);
    if (!ReadWords(source, mesh.vVertices.data(), mesh.vVertices.size() * 11))
        return false;

    if (mesh.wKindFlags & KRA_MESH_ANIMATED) {
        if (!ReadWords(source, mesh.adwKeyBlock, 4))
            return false;
        DWORD dwKeys = mesh.adwKeyBlock[3];
        if ((mesh.wTextureFlags & KRA_TEX_POSITION_KEYS) && !ReadKeys(source, dwKeys, 3, mesh.vPositionKeys))
            return false;
        if ((mesh.wTextureFlags & KRA_TEX_ROTATION_KEYS) && !ReadKeys(source, dwKeys, 4, mesh.vRotationKeys))
            return false;
        if ((mesh.wTextureFlags & KRA_TEX_SCALE_KEYS) && !ReadKeys(source, dwKeys, 3, mesh.vScaleKeys))
            return false;
    }
    return true;
}

template <class Source>
LONG Parse(Source& source, KRA_OBJECT_FILE_DATA& out)
{
    out = KRA_OBJECT_FILE_DATA();
    DWORD adwHeader[3];
    // Every mesh needs at least its head and material, so a count beyond that is a lie.
    if (!ReadWords(source, adwHeader, 3) || !Has(source, adwHeader[2], KRA_MESH_HEAD_SIZE + KRA_MATERIAL_SIZE))
        return KRA_E_INVALID_ARGUMENT;
    out.dwHeaderA = adwHeader[0];
    out.dwCode = adwHeader[1];
    out.vMeshes.resize(adwHeader[2]);
    for (KRA_OBJECT_MESH_DATA& mesh : out.vMeshes) {
        if (!ParseMesh(source, mesh)) {
            out = KRA_OBJECT_FILE_DATA();
            return KRA_E_INVALID_ARGUMENT;
        }
    }
    return KRA_OK;
}

} // namespace

LONG KRAParseObjectFile(const uint8_t* pData, size_t nSize, KRA_OBJECT_FILE_DATA& out)
{
    MemorySource source(pData, nSize);
    return Parse(source, out);
}
