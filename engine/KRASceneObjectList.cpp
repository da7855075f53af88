#include "KRASceneObjectList.h"

#include "KRAAlphaOrder.h"
#include "KRAFrustum.h"
#include "KRAGeometry.h"
#include "KRAManager.h"
#include "KRAObjectFile.h"
#include "KRAObjectManager.h"
#include "KRAWarning.h"

#include <new>

namespace {

constexpr float kNothingHit = 50000.0f;

} // namespace

CKRASceneObjectList::CKRASceneObjectList() : m_dwWorldCount(0), m_dwAlphaCount(0) {}

CKRASceneObjectList::~CKRASceneObjectList()
{
    Destroy();
}

LONG CKRASceneObjectList::AddObject(_KRA_HANDLE hObjectFile, const CKRASceneObjectDesc& desc, _KRA_HANDLE& hOut)
{
    if (desc.lKind != KRA_SCENE_OBJECT_WORLD && desc.lKind != KRA_SCENE_OBJECT_GROUND &&
        desc.lKind != KRA_SCENE_OBJECT_DESC_ONLY)
        return KRA_E_INVALID_ARGUMENT;
    auto pSlot = std::unique_ptr<KRA_SCENE_OBJECT_SLOT>(new (std::nothrow) KRA_SCENE_OBJECT_SLOT());
    if (!pSlot)
        return KRA_E_ALLOCATION;
    pSlot->desc = desc;
    _KRA_HANDLE h = 0;
    if (desc.lKind == KRA_SCENE_OBJECT_DESC_ONLY) {
        pSlot->hHeldFile = hObjectFile;
        LONG lStatus = m_cDescriptors.Add(std::move(pSlot), h);
        if (lStatus < 0)
            return lStatus;
        hOut = h;
        return KRA_OK;
    }
    LONG lStatus = m_cDescriptors.Add(std::move(pSlot), h);
    if (lStatus < 0)
        return lStatus;
    auto pObject = std::unique_ptr<CKRASceneObject>(new (std::nothrow) CKRASceneObject(h, hObjectFile, desc));
    if (!pObject) {
        m_cDescriptors.Free(h);
        return KRA_E_ALLOCATION;
    }
    if (desc.lKind == KRA_SCENE_OBJECT_GROUND) {
        m_lstKindOne.push_back(std::move(pObject));
    } else {
        CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
        CKRAObjectFile* pFile = pObjects ? pObjects->Find(hObjectFile) : nullptr;
        if (pFile && pFile->IsAlphaObjectFile()) {
            m_lstAlpha.push_back(std::move(pObject));
            ++m_dwAlphaCount;
        } else {
            m_lstOpaque.push_back(std::move(pObject));
        }
        ++m_dwWorldCount;
    }
    hOut = h;
    return KRA_OK;
}

CKRASceneObject* CKRASceneObjectList::FindWorldObject(_KRA_HANDLE h) const
{
    for (const ObjectList* pList : {&m_lstOpaque, &m_lstAlpha})
        for (const auto& pObject : *pList)
            if (pObject->GetHandle() == h)
                return pObject.get();
    return nullptr;
}

CKRASceneObject* CKRASceneObjectList::FindAny(_KRA_HANDLE h) const
{
    if (CKRASceneObject* pObject = FindWorldObject(h))
        return pObject;
    for (const auto& pObject : m_lstKindOne)
        if (pObject->GetHandle() == h)
            return pObject.get();
    return nullptr;
}

template <class Change>
LONG CKRASceneObjectList::WithWorldObject(_KRA_HANDLE h, Change&& change)
{
    CKRASceneObject* pObject = FindWorldObject(h);
    if (!pObject)
        return KRA_E_INVALID_HANDLE;
    change(*pObject);
    return KRA_OK;
}

LONG CKRASceneObjectList::Show(_KRA_HANDLE h)
{
    return WithWorldObject(h, [](CKRASceneObject& o) { o.Show(); });
}

LONG CKRASceneObjectList::Hide(_KRA_HANDLE h)
{
    return WithWorldObject(h, [](CKRASceneObject& o) { o.Hide(); });
}

LONG CKRASceneObjectList::FadeIn(_KRA_HANDLE h, float fMilliseconds)
{
    return WithWorldObject(h, [&](CKRASceneObject& o) { o.FadeIn(fMilliseconds); });
}

LONG CKRASceneObjectList::FadeOut(_KRA_HANDLE h, float fMilliseconds)
{
    return WithWorldObject(h, [&](CKRASceneObject& o) { o.FadeOut(fMilliseconds); });
}

LONG CKRASceneObjectList::SetAccented(_KRA_HANDLE h, bool bAccented)
{
    return WithWorldObject(h, [&](CKRASceneObject& o) { o.SetAccented(bAccented); });
}

LONG CKRASceneObjectList::GetPivotMatrix(_KRA_HANDLE h, D3DXMATRIX& m)
{
    return WithWorldObject(h, [&](CKRASceneObject& o) { m = o.GetWorldMatrix(); });
}

LONG CKRASceneObjectList::ChangeTexture(_KRA_HANDLE h, CKRAHandle<tagKRADS>& hTexture)
{
    CKRASceneObject* pObject = FindWorldObject(h);
    if (!pObject)
        return KRA_E_INVALID_HANDLE;
    CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
    _KRA_HANDLE hFile = pObject->GetObjectFile();
    CKRAObjectFile* pFile = nullptr;
    LONG lStatus = pObjects ? pObjects->GetObjectFile(&hFile, &pFile) : KRA_E_MISSING_PART;
    if (lStatus < 0)
        return lStatus;
    pFile->SetDiffuseMap(hTexture);
    return KRA_OK;
}

bool CKRASceneObjectList::IsVisible(const CKRASceneObject& object) const
{
    const KRA_SCENE_OBJECT_SLOT* pSlot = m_cDescriptors.Lookup(object.GetHandle());
    if (!pSlot)
        return false;
    const CKRAFrustum* pFrustum = CKRAManager::GetFrustum();
    if (!pFrustum)
        return true;
    const CKRASceneObjectDesc& d = pSlot->desc;
    return pFrustum->IsBoxVisible(d.afBoxMin[0], d.afBoxMin[1], d.afBoxMin[2], d.afBoxMax[0], d.afBoxMax[1],
                                  d.afBoxMax[2]);
}

LONG CKRASceneObjectList::RenderKindOne()
{
    for (const auto& pObject : m_lstKindOne) {
        LONG lStatus = pObject->Draw(KRA_PASS_OPAQUE, nullptr);
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

LONG CKRASceneObjectList::RenderOpaque()
{
    for (const auto& pObject : m_lstOpaque) {
        if (!IsVisible(*pObject))
            continue;
        LONG lStatus = pObject->Draw(KRA_PASS_OPAQUE, nullptr);
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

LONG CKRASceneObjectList::RenderAlpha(D3DXVECTOR3* pEye)
{
    D3DXVECTOR3 vEye = pEye ? *pEye : D3DXVECTOR3(0, 0, 0);
    m_vVisibleAlpha.clear();
    m_vAlphaPositions.clear();
    for (const auto& pObject : m_lstAlpha) {
        if (!IsVisible(*pObject))
            continue;
        m_vVisibleAlpha.push_back(pObject.get());
        m_vAlphaPositions.push_back(pObject->GetPosition());
    }
    KRAOrderFarthestFirst(m_vAlphaPositions, vEye, m_vAlphaOrder);
    for (size_t i : m_vAlphaOrder) {
        LONG lStatus = m_vVisibleAlpha[i]->Draw(KRA_PASS_ALPHA, &vEye);
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

LONG CKRASceneObjectList::RenderAccented(_KRA_HANDLE, DWORD)
{
    return KRA_E_FAILED;
}

LONG CKRASceneObjectList::PickAmong(std::initializer_list<const ObjectList*> lists, const D3DXVECTOR3& vOrigin,
                                    const D3DXVECTOR3& vDirection, _KRA_HANDLE& hOut, float& fBest,
                                    D3DXVECTOR3& vPosition)
{
    CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
    for (const ObjectList* pList : lists) {
        for (const auto& pObject : *pList) {
            if (!m_cDescriptors.Lookup(pObject->GetHandle()))
                continue;
            CKRAObjectFile* pFile = pObjects ? pObjects->Find(pObject->GetObjectFile()) : nullptr;
            if (!pFile) {
                KRAShowWarning("Failed initialize scene object\n");
                return KRA_E_INVALID_HANDLE;
            }
            D3DXVECTOR3 vRayOrigin = vOrigin, vRayDirection = vDirection, vHit;
            D3DXMATRIX mWorld = pObject->GetWorldMatrix();
            float fDistance = kNothingHit;
            if (pFile->Picking(&vRayOrigin, &vRayDirection, &fDistance, &mWorld, &vHit) && fDistance < fBest) {
                fBest = fDistance;
                hOut = pObject->GetHandle();
                vPosition = vHit;
            }
        }
    }
    return KRA_OK;
}

LONG CKRASceneObjectList::PickGround(const POINT& pt, _KRA_HANDLE& hOut, float& fDistance, D3DXVECTOR3& vPosition)
{
    float fBest = kNothingHit;
    D3DXVECTOR3 vOrigin, vDirection;
    LONG lStatus = KRA_OK;
    // A ray that cannot be built (no back buffer, a singular view) hits nothing.
    if (KRAPickingRay(CKRAManager::GetD3DDevice(), pt.x, pt.y, &vOrigin, &vDirection))
        lStatus = PickAmong({&m_lstKindOne}, vOrigin, vDirection, hOut, fBest, vPosition);
    fDistance = fBest;
    return lStatus;
}

LONG CKRASceneObjectList::PickObject(const POINT& pt, D3DXVECTOR3* pEye, _KRA_HANDLE& hOut, float& fDistance,
                                     D3DXVECTOR3& vPosition)
{
    float fBest = kNothingHit;
    D3DXVECTOR3 vOrigin, vDirection;
    LONG lStatus = KRA_OK;
    if (KRAPickingRay(CKRAManager::GetD3DDevice(), pt.x, pt.y, &vOrigin, &vDirection)) {
        if (pEye)
            vOrigin = *pEye;
        lStatus = PickAmong({&m_lstOpaque, &m_lstAlpha}, vOrigin, vDirection, hOut, fBest, vPosition);
    }
    fDistance = fBest;
    return lStatus;
}

void CKRASceneObjectList::Destroy()
{
    CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
    auto giveBack = [&](_KRA_HANDLE hFile) {
        if (pObjects && hFile)
            pObjects->UnloadObjectFile(&hFile);
    };
    for (ObjectList* pList : {&m_lstKindOne, &m_lstOpaque, &m_lstAlpha}) {
        for (auto& pObject : *pList) {
            giveBack(pObject->GetObjectFile());
            m_cDescriptors.Free(pObject->GetHandle());
        }
        pList->clear();
    }
    m_cDescriptors.Destroy([&](KRA_SCENE_OBJECT_SLOT& slot) { giveBack(slot.hHeldFile); });
    m_dwWorldCount = m_dwAlphaCount = 0;
    m_vVisibleAlpha.clear();
    m_vAlphaPositions.clear();
    m_vAlphaOrder.clear();
}
