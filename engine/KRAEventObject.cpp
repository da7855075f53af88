#include "KRAEventObject.h"

#include "KRAGeometry.h"
#include "KRAManager.h"
#include "KRAWarning.h"

#include <new>

const WORD CKRAPickBox::s_awTriangles[12][3] = {
    {0, 2, 3}, {3, 1, 0}, {4, 5, 7}, {7, 6, 4}, {0, 1, 5}, {5, 4, 0},
    {1, 3, 7}, {7, 5, 1}, {3, 2, 6}, {6, 7, 3}, {2, 0, 4}, {4, 6, 2},
};

CKRAPickBox::CKRAPickBox(const KRA_EVENT_BOX& record)
    : m_lType(record.lType), m_lAction(record.lAction), m_lValue(record.lValue), m_matBox(record.afMatrix)
{
    const float* a = record.afMin;
    const float* b = record.afMax;
    // Top face first (y max), then the bottom; within each, the far (z max) edge before the near.
    m_vCorners[0] = D3DXVECTOR3(a[0], b[1], b[2]);
    m_vCorners[1] = D3DXVECTOR3(b[0], b[1], b[2]);
    m_vCorners[2] = D3DXVECTOR3(a[0], b[1], a[2]);
    m_vCorners[3] = D3DXVECTOR3(b[0], b[1], a[2]);
    m_vCorners[4] = D3DXVECTOR3(a[0], a[1], b[2]);
    m_vCorners[5] = D3DXVECTOR3(b[0], a[1], b[2]);
    m_vCorners[6] = D3DXVECTOR3(a[0], a[1], a[2]);
    m_vCorners[7] = D3DXVECTOR3(b[0], a[1], a[2]);
}

bool CKRAPickBox::Intersect(const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDirection, bool bHaveHit,
                            float& fBest) const
{
    bool bHit = false;
    for (const WORD* t : s_awTriangles) {
        D3DXVECTOR3 vPoint;
        if (!KRAIntersectTriangle(vOrigin, vDirection, m_vCorners[t[0]], m_vCorners[t[1]], m_vCorners[t[2]], &vPoint))
            continue;
        D3DXVECTOR3 d = vPoint - vOrigin;
        float fDistance = D3DXVec3Length(&d);
        if ((!bHaveHit && !bHit) || fDistance < fBest) {
            fBest = fDistance;
            bHit = true;
        }
    }
    return bHit;
}

LONG CKRAEventObjectList::AddEventObject(_KRA_HANDLE* pId, const KRA_EVENT_HEAD&,
                                         const std::vector<KRA_EVENT_TRIGGER>& vTriggers,
                                         const std::vector<KRA_EVENT_BOX>& vBoxes)
{
    auto pObject = std::unique_ptr<CKRAEventObject>(new (std::nothrow) CKRAEventObject(pId ? *pId : 0));
    if (!pObject) {
        KRAShowWarning("Failed memory allocation\n");
        return KRA_E_ALLOCATION;
    }
    for (const KRA_EVENT_TRIGGER& trigger : vTriggers)
        if (trigger.lType == KRA_EVENT_RECORD_TRIGGER)
            pObject->m_lstTriggers.push_back(trigger);
    for (const KRA_EVENT_BOX& box : vBoxes)
        if (box.lType == KRA_EVENT_RECORD_BOX)
            pObject->m_lstBoxes.emplace_back(box);
    m_lstObjects.push_back(std::move(pObject));
    return KRA_OK;
}

LONG CKRAEventObjectList::CheckProximity(const D3DXVECTOR3* pPosition)
{
    if (!pPosition)
        return KRA_OK;
    for (auto& pObject : m_lstObjects) {
        BOOL bInside = FALSE;
        for (const KRA_EVENT_TRIGGER& trigger : pObject->m_lstTriggers) {
            if (trigger.lKind != KRA_TRIGGER_PROXIMITY)
                continue;
            D3DXVECTOR3 d = *pPosition - D3DXVECTOR3(trigger.afCentre[0], trigger.afCentre[1], trigger.afCentre[2]);
            // On the surface is outside.
            if (D3DXVec3Length(&d) < trigger.fRadius) {
                bInside = TRUE;
                break;
            }
        }
        pObject->m_bActive = bInside;
    }
    return KRA_OK;
}

LONG CKRAEventObjectList::TestPicking(LONG x, LONG y, const D3DXVECTOR3* pEye, _KRA_HANDLE& hId, float& fDistance,
                                      _KRA_ACTION_PICKING* pAction, D3DXMATRIX* pMatrix)
{
    D3DXVECTOR3 vOrigin, vDirection;
    if (!KRAPickingRay(CKRAManager::GetD3DDevice(), x, y, &vOrigin, &vDirection))
        return KRA_OK;
    if (pEye)
        vOrigin = *pEye;
    const CKRAEventObject* pBestObject = nullptr;
    const CKRAPickBox* pBestBox = nullptr;
    float fBest = 0;
    for (const auto& pObject : m_lstObjects) {
        if (!pObject->m_bActive)
            continue;
        for (const CKRAPickBox& box : pObject->m_lstBoxes) {
            if (box.Intersect(vOrigin, vDirection, pBestBox != nullptr, fBest)) {
                pBestObject = pObject.get();
                pBestBox = &box;
            }
        }
    }
    if (!pBestBox)
        return KRA_OK;
    hId = pBestObject->m_hId;
    fDistance = fBest;
    if (pAction)
        pAction->m_nActionCode = pBestBox->m_lAction;
    if (pMatrix && pBestBox->m_lAction == 0)
        *pMatrix = pBestBox->m_matBox;
    return KRA_OK;
}
