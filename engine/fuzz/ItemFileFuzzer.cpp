// Any bytes as an item file of every kind and as an upper-body companion: the parsers must refuse
// or accept without reading past the end, and what they accept never points outside a mesh.
#include "KRAItemFormat.h"

#include <cstdlib>

namespace {

void CheckIndices(const KRA_ITEM_FILE_DATA& file)
{
    for (const KRA_ITEM_MESH_DATA& mesh : file.vMeshes) {
        DWORD dwVertices = mesh.VertexCount();
        for (WORD w : mesh.vIndices)
            if (w >= dwVertices)
                std::abort();
        for (const KRA_BONE_BINDING_DATA& binding : mesh.vBindings) {
            if (binding.dwBone >= KRA_BONE_COUNT || binding.vWeights.size() != binding.vVertices.size())
                std::abort();
            for (DWORD dw : binding.vVertices)
                if (dw >= dwVertices)
                    std::abort();
        }
    }
    for (const KRA_MORPH_TARGET_DATA& target : file.vFaceSet)
        for (DWORD dw : target.vVertices)
            if (dw >= file.vMeshes.at(size_t(file.nFaceMesh)).VertexCount())
                std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (DWORD dwKind = KRA_ITEM_FACE; dwKind <= KRA_ITEM_HELD + 1; ++dwKind) {
        KRA_ITEM_FILE_DATA file;
        if (KRAParseItemFile(data, size, dwKind, file) == KRA_OK)
            CheckIndices(file);
    }
    std::vector<DWORD> vSwell, vBounce;
    KRAParseItemCompanion(data, size, 1000, vSwell, vBounce);
    return 0;
}
