// One loaded item file: its meshes with bind positions, bone bindings, face set and breast lists,
// its materials with their textures, shared by every avatar that wears it.
#pragma once

#include "KRAAtomDevice.h"
#include "KRAAvatarSkin.h"
#include "KRADefs.h"
#include "KRAItemFormat.h"
#include "KRATexture.h"

#include <d3d8.h>

#include <string>
#include <vector>

class CKRATextureManager;

struct CKRAMaterialTexture {
    std::string strName;
    bool bAlpha = false;
    CKRAHandle<tagKRADS> hTexture;
};

struct CKRAMaterial {
    std::vector<CKRAMaterialTexture> vTextures; // only the first is drawn
};

struct CKRAAtomObject {
    KRA_ITEM_MESH_DATA cData;
    std::vector<float> vColors; // 3 per vertex, white after loading
    int nRigidBone = -1;        // held items: the bone matrix the mesh follows
    std::vector<DWORD> vSwell;  // breast animation lists (first mesh of an upper-body item)
    std::vector<DWORD> vBounce;
    KRA_SKIN_PLAN cSkin;    // skinned kinds: the bindings per vertex
    CKRAAtomDevice cDevice; // the buffers drawing rewrites and draws from
};

class CKRAItemFile {
public:
    LONG IncrementRefCount() { return ++m_lRefCount; }
    LONG DecrementRefCount() { return --m_lRefCount; }
    LONG RefCount() const { return m_lRefCount; }

    // Reads the file at strPath as an item of dwKind: 0, 0x80000007 for a missing, short or
    // inconsistent file, 0x80000000 when the item code does not occur in the path.
    LONG Read(const std::string& strPath, DWORD dwKind, CKRATextureManager* pTextures);
    // Gives the material textures back to the texture manager.
    void Release(CKRATextureManager* pTextures);
    // Device buffers of every mesh, made again after a device reset; the meshes stay in memory.
    void CreateDeviceObject(IDirect3DDevice8* pDevice);
    void DestroyDeviceObject();

    DWORD Kind() const { return m_dwKind; }
    DWORD ItemCode() const { return m_adwHeader[2]; }
    bool HasAlpha() const { return m_bHasAlpha; }
    int FaceMesh() const { return m_nFaceMesh; }
    const std::string& Path() const { return m_strPath; }
    const std::vector<CKRAAtomObject>& Meshes() const { return m_vMeshes; }
    std::vector<CKRAAtomObject>& Meshes() { return m_vMeshes; }
    const std::vector<CKRAMaterial>& Materials() const { return m_vMaterials; }
    const std::vector<KRA_MORPH_TARGET_DATA>& FaceSet() const { return m_vFaceSet; }
    // The first texture of a mesh's material, or an empty handle (untextured).
    CKRAHandle<tagKRADS> MeshTexture(const CKRAAtomObject& mesh) const;

private:
    LONG m_lRefCount = 0;
    DWORD m_dwKind = 0;
    DWORD m_adwHeader[3] = {};
    bool m_bHasAlpha = false;
    int m_nFaceMesh = -1;
    std::string m_strPath;
    std::vector<CKRAMaterial> m_vMaterials;
    std::vector<CKRAAtomObject> m_vMeshes;
    std::vector<KRA_MORPH_TARGET_DATA> m_vFaceSet;
};
