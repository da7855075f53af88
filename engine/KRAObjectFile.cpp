#include "KRAObjectFile.h"

#include "KRAManager.h"
#include "KRAObject.h"
#include "KRAObjectFormat.h"
#include "KRATextureManager.h"

#include <algorithm>

CKRAObjectFile::CKRAObjectFile() : m_lRefCount(0), m_dwHeaderA(0), m_dwCode(0), m_dwMeshCount(0) {}

CKRAObjectFile::~CKRAObjectFile() = default;

LONG CKRAObjectFile::Create()
{
    return KRA_OK;
}

LONG CKRAObjectFile::Destroy()
{
    for (CKRAObject* pObject : m_lstObjects) {
        pObject->Destroy();
        delete pObject;
    }
    m_lstObjects.clear();
    m_dwMeshCount = 0;
    return KRA_OK;
}

LONG CKRAObjectFile::LoadObjectFile(const char* szName, const uint8_t* pData, size_t nSize)
{
    KRA_OBJECT_FILE_DATA data;
    LONG lStatus = KRAParseObjectFile(pData, nSize, data);
    if (lStatus < 0)
        return lStatus;
    return Build(szName, data);
}

LONG CKRAObjectFile::Build(const char* szName, KRA_OBJECT_FILE_DATA& data)
{
    LONG lStatus = KRA_OK;
    m_dwHeaderA = data.dwHeaderA;
    m_dwCode = data.dwCode;
    for (KRA_OBJECT_MESH_DATA& mesh : data.vMeshes) {
        auto* pObject = new CKRAObject();
        pObject->Create();
        m_lstObjects.push_back(pObject);
        lStatus = pObject->LoadObject(std::move(mesh));
        if (lStatus < 0) {
            Destroy();
            return lStatus;
        }
    }
    m_dwMeshCount = DWORD(m_lstObjects.size());
    m_strName = szName ? szName : "";
    return KRA_OK;
}

LONG CKRAObjectFile::CreateDeviceObject()
{
    for (CKRAObject* pObject : m_lstObjects) {
        LONG lStatus = pObject->CreateDeviceObject();
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

LONG CKRAObjectFile::DestroyDeviceObject()
{
    for (CKRAObject* pObject : m_lstObjects) {
        LONG lStatus = pObject->DestroyDeviceObject();
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

LONG CKRAObjectFile::IncrementRefCount()
{
    return __atomic_add_fetch(&m_lRefCount, 1, __ATOMIC_SEQ_CST);
}

LONG CKRAObjectFile::DecrementRefCount()
{
    return __atomic_sub_fetch(&m_lRefCount, 1, __ATOMIC_SEQ_CST);
}

_KRA_OBJECT_FILE_CODE CKRAObjectFile::GetObjectFileCode()
{
    return m_dwCode;
}

const char* CKRAObjectFile::GetObjectFileName()
{
    return m_strName.c_str();
}

BOOL CKRAObjectFile::IsAlphaObjectFile()
{
    return std::any_of(m_lstObjects.begin(), m_lstObjects.end(), [](CKRAObject* p) { return p->IsAlpha(); });
}

void CKRAObjectFile::SetDiffuseMap(CKRAHandle<tagKRADS>& hTexture)
{
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    for (CKRAObject* pObject : m_lstObjects) {
        if (!pObject->HasFirstTexture())
            continue;
        // Every mesh releases its first texture when it goes, so each takes its own reference;
        // the caller keeps the one it holds.
        if (pTextures && pTextures->AddReference(hTexture) < 0)
            continue;
        pObject->TakeFirstTexture(hTexture);
    }
}

LONG CKRAObjectFile::SetObjectFileColor(_KRA_HANDLE&, DWORD)
{
    return KRA_OK;
}

template <class Draw>
LONG CKRAObjectFile::DrawMeshes(D3DXMATRIX* pWorld, Draw&& draw)
{
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pDevice || !pWorld)
        return KRA_OK;
    D3DXMATRIX mSaved, mWorld;
    pDevice->GetTransform(D3DTS_WORLD, &mSaved);
    D3DXMatrixMultiply(&mWorld, pWorld, &mSaved);
    pDevice->SetTransform(D3DTS_WORLD, &mWorld);
    for (CKRAObject* pObject : m_lstObjects)
        draw(*pObject);
    pDevice->SetTransform(D3DTS_WORLD, &mSaved);
    return KRA_OK;
}

LONG CKRAObjectFile::RenderObjectFile(D3DXMATRIX* pWorld, float fTime, float fDelta, DWORD dwColor)
{
    return DrawMeshes(pWorld, [&](CKRAObject& o) { o.RenderObject(fTime, fDelta, dwColor); });
}

LONG CKRAObjectFile::FadeObjectFile(D3DXMATRIX* pWorld, float fTime, float fDelta, unsigned int dwAlpha)
{
    return DrawMeshes(pWorld, [&](CKRAObject& o) { o.FadeObject(fTime, fDelta, dwAlpha); });
}

LONG CKRAObjectFile::RestoreAlphaValue()
{
    for (CKRAObject* pObject : m_lstObjects) {
        LONG lStatus = pObject->RestoreAlphaValue();
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

void CKRAObjectFile::SortSelection(int nFirst, int nLast, _SORT_ALPHA_OBJECT& sCompare)
{
    nFirst = std::max(nFirst, 0);
    nLast = std::min(nLast, int(m_lstObjects.size()));
    if (nFirst >= nLast)
        return;
    std::vector<std::pair<float, CKRAObject*>> vKeyed;
    vKeyed.reserve(size_t(nLast - nFirst));
    for (int i = nFirst; i < nLast; ++i)
        vKeyed.emplace_back(m_lstObjects[size_t(i)]->SortKey(sCompare.m_matCombined, sCompare.m_vReference),
                            m_lstObjects[size_t(i)]);
    // Largest key first; equal keys keep their order.
    std::stable_sort(vKeyed.begin(), vKeyed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (int i = nFirst; i < nLast; ++i)
        m_lstObjects[size_t(i)] = vKeyed[size_t(i - nFirst)].second;
}

LONG CKRAObjectFile::SortObject(D3DXMATRIX* pWorld, D3DXVECTOR3* pEye)
{
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pWorld || !pEye)
        return KRA_OK;
    _SORT_ALPHA_OBJECT sCompare;
    D3DXMATRIX mCurrent;
    D3DXMatrixIdentity(&mCurrent);
    if (pDevice)
        pDevice->GetTransform(D3DTS_WORLD, &mCurrent);
    D3DXMatrixMultiply(&sCompare.m_matCombined, pWorld, &mCurrent);
    D3DXVec3Normalize(&sCompare.m_vReference, pEye);
    SortSelection(0, int(m_lstObjects.size()), sCompare);
    return KRA_OK;
}

BOOL CKRAObjectFile::Picking(D3DXVECTOR3* pOrigin, D3DXVECTOR3* pDirection, float* pDistance, D3DXMATRIX* pWorld,
                             D3DXVECTOR3* pHit)
{
    if (!pOrigin || !pDirection || !pWorld)
        return FALSE;
    float fBest = 50000.0f;
    D3DXVECTOR3 vHit(0, 0, 0);
    bool bHit = false;
    for (CKRAObject* pObject : m_lstObjects)
        bHit |= pObject->Pick(*pOrigin, *pDirection, *pWorld, fBest, vHit);
    if (!bHit)
        return FALSE;
    if (pDistance)
        *pDistance = fBest;
    if (pHit)
        *pHit = vHit;
    return TRUE;
}
