// A loaded world object file: its meshes in file order, shared by name and reference count among
// every scene object that shows it.
#pragma once

#include "KRADefs.h"

#include <d3dx8.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CKRAObject;
struct KRA_OBJECT_FILE_DATA;

// The comparison of CKRAObjectFile::SortSelection: a combined matrix and a reference vector.
struct _SORT_ALPHA_OBJECT {
    D3DXMATRIX m_matCombined;
    D3DXVECTOR3 m_vReference;
};

class KRAVEX_API CKRAObjectFile {
public:
    CKRAObjectFile();
    ~CKRAObjectFile();
    // Member-wise: a copy shares the meshes of its original; only one of them may be destroyed.
    CKRAObjectFile(const CKRAObjectFile&) = default;
    CKRAObjectFile& operator=(const CKRAObjectFile&) = default;

    LONG Create();
    LONG Destroy();
    // Builds the meshes from the bytes of a KRO file. A file that does not hold what it says
    // fails with 0x80000003 and leaves the object file empty.
    LONG LoadObjectFile(const char* szName, const uint8_t* pData, size_t nSize);
    LONG CreateDeviceObject();
    LONG DestroyDeviceObject();
    LONG IncrementRefCount();
    LONG DecrementRefCount();
    _KRA_OBJECT_FILE_CODE GetObjectFileCode();
    const char* GetObjectFileName();
    BOOL IsAlphaObjectFile();
    void SetDiffuseMap(CKRAHandle<tagKRADS>& hTexture);
    LONG SetObjectFileColor(_KRA_HANDLE& hHandle, DWORD dwColor);

    LONG SortObject(D3DXMATRIX* pWorld, D3DXVECTOR3* pEye);
    LONG RenderObjectFile(D3DXMATRIX* pWorld, float fTime, float fDelta, DWORD dwColor);
    LONG FadeObjectFile(D3DXMATRIX* pWorld, float fTime, float fDelta, unsigned int dwAlpha);
    LONG RestoreAlphaValue();
    BOOL Picking(D3DXVECTOR3* pOrigin, D3DXVECTOR3* pDirection, float* pDistance, D3DXMATRIX* pWorld,
                 D3DXVECTOR3* pHit);
    // Orders the meshes [nFirst, nLast) farthest-facing first by the comparison's key.
    void SortSelection(int nFirst, int nLast, _SORT_ALPHA_OBJECT& sCompare);

    LONG GetRefCount() const { return m_lRefCount; }
    DWORD GetMeshCount() const { return m_dwMeshCount; }
    CKRAObject* GetMesh(DWORD dwIndex) const { return dwIndex < m_lstObjects.size() ? m_lstObjects[dwIndex] : nullptr; }

private:
    friend class CKRAObjectManager;
    // Builds the meshes from a checked file; on failure the object file is left empty.
    __attribute__((visibility("hidden"))) LONG Build(const char* szName, KRA_OBJECT_FILE_DATA& data);
    template <class Draw>
    LONG DrawMeshes(D3DXMATRIX* pWorld, Draw&& draw);

    LONG m_lRefCount;
    DWORD m_dwHeaderA;
    DWORD m_dwCode;
    DWORD m_dwMeshCount;
    std::vector<CKRAObject*> m_lstObjects;
    std::string m_strName;
};
