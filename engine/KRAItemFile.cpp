#include "KRAItemFile.h"

#include "KRAFile.h"
#include "KRAManager.h"
#include "KRATextureManager.h"

#include <windows.h>

LONG CKRAItemFile::Read(const std::string& strPath, DWORD dwKind, CKRATextureManager* pTextures)
{
    std::vector<uint8_t> vBytes;
    if (!KRAReadWholeFile(strPath, vBytes))
        return KRA_E_FAILED;
    m_dwKind = dwKind;
    KRA_ITEM_FILE_DATA file;
    // The code is read first: a file under another item's name is refused before anything else.
    if (vBytes.size() >= 12) {
        DWORD dwCode = DWORD(vBytes[8]) | DWORD(vBytes[9]) << 8 | DWORD(vBytes[10]) << 16 | DWORD(vBytes[11]) << 24;
        if (strPath.find(std::to_string(dwCode)) == std::string::npos)
            return KRA_E_MISSING_PART;
    }
    if (KRAParseItemFile(vBytes.data(), vBytes.size(), dwKind, file) != KRA_OK)
        return KRA_E_FAILED;
    for (int i = 0; i < 3; ++i)
        m_adwHeader[i] = file.adwHeader[i];

    m_vMaterials.resize(file.vMaterials.size());
    for (size_t i = 0; i < file.vMaterials.size(); ++i) {
        for (const KRA_ITEM_TEXTURE_DATA& in : file.vMaterials[i].vTextures) {
            CKRAMaterialTexture texture;
            texture.strName = in.strName;
            texture.bAlpha = in.bAlpha;
            if (pTextures)
                pTextures->LoadAvatarTexture(in.strName.c_str(), &texture.hTexture);
            m_bHasAlpha |= in.bAlpha;
            m_vMaterials[i].vTextures.push_back(std::move(texture));
        }
    }

    m_vMeshes.resize(file.vMeshes.size());
    int nHeldBone = KRAHeldItemBone(strPath);
    for (size_t i = 0; i < file.vMeshes.size(); ++i) {
        CKRAAtomObject& mesh = m_vMeshes[i];
        mesh.cData = std::move(file.vMeshes[i]);
        mesh.vColors.assign(mesh.cData.vPositions.size(), 1.f);
        if (dwKind == KRA_ITEM_HELD)
            mesh.nRigidBone = nHeldBone;
        if (KRAIsSkinnedItem(dwKind) && mesh.cData.strName != "shadow")
            KRABuildSkinPlan(mesh.cData.vBindings, mesh.cData.VertexCount(), mesh.cSkin);
    }
    m_nFaceMesh = file.nFaceMesh;
    m_vFaceSet = std::move(file.vFaceSet);

    // A missing or broken companion leaves the item without breast animation.
    if (dwKind == KRA_ITEM_UPPER_BODY && !m_vMeshes.empty()) {
        std::vector<uint8_t> vCompanion;
        if (KRAReadWholeFile(KRAItemCompanionPath(strPath), vCompanion))
            KRAParseItemCompanion(vCompanion.data(), vCompanion.size(), m_vMeshes[0].cData.VertexCount(),
                                  m_vMeshes[0].vSwell, m_vMeshes[0].vBounce);
    }
    m_strPath = strPath;
    CreateDeviceObject(CKRAManager::GetD3DDevice());
    return KRA_OK;
}

void CKRAItemFile::CreateDeviceObject(IDirect3DDevice8* pDevice)
{
    for (CKRAAtomObject& mesh : m_vMeshes)
        mesh.cDevice.Create(pDevice, mesh.cData);
}

void CKRAItemFile::DestroyDeviceObject()
{
    for (CKRAAtomObject& mesh : m_vMeshes)
        mesh.cDevice.Destroy();
}

void CKRAItemFile::Release(CKRATextureManager* pTextures)
{
    for (CKRAMaterial& material : m_vMaterials) {
        for (CKRAMaterialTexture& texture : material.vTextures) {
            if (pTextures && texture.hTexture.m_hHandle)
                pTextures->ReleaseTexture(texture.hTexture);
            texture.hTexture = CKRAHandle<tagKRADS>();
        }
    }
    m_vMaterials.clear();
    DestroyDeviceObject();
    m_vMeshes.clear();
    m_vFaceSet.clear();
}

CKRAHandle<tagKRADS> CKRAItemFile::MeshTexture(const CKRAAtomObject& mesh) const
{
    if (mesh.cData.dwMaterial >= m_vMaterials.size() || m_vMaterials[mesh.cData.dwMaterial].vTextures.empty())
        return CKRAHandle<tagKRADS>();
    return m_vMaterials[mesh.cData.dwMaterial].vTextures[0].hTexture;
}
