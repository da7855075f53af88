// Soft picking of avatars: while drawing, the ray through the picking point is tested against a
// box around each mesh's current pose, and the nearest hit names the avatar and item under the
// point. Also where an avatar's head lands on the screen, for labels and balloons.
#include "KRAAvatarManager.h"

#include "KRAGeometry.h"
#include "KRAManager.h"

#include <cfloat>

namespace {

// The 12 triangles of a box over its 8 corners (bit 0 maximum x, bit 1 maximum y, bit 2 maximum z).
constexpr WORD kPickBox[12][3] = {{0, 2, 3}, {3, 1, 0}, {4, 5, 7}, {7, 6, 4}, {0, 1, 5}, {5, 4, 0},
                                  {1, 3, 7}, {7, 5, 1}, {3, 2, 6}, {6, 7, 3}, {2, 0, 4}, {4, 6, 2}};
constexpr float kMinDeterminant = 0.0001f;

} // namespace

LONG CKRAAvatarManager::SetAvatarPickingPosition(POINT pt)
{
    m_ptPicking = pt;
    m_sizePicking = CKRAManager::KraMan_GetWindowSize();
    return KRA_OK;
}

LONG CKRAAvatarManager::SetAvatarSoftPicking(bool bOn)
{
    m_bSoftPicking = bOn;
    return KRA_OK;
}

LONG CKRAAvatarManager::HasAvatarSoftPicking() const
{
    return m_bSoftPicked ? KRA_OK : KRA_E_FAILED;
}

LONG CKRAAvatarManager::ResetAvatarSoftPicking(bool bHappened)
{
    m_bSoftPicked = bHappened;
    return KRA_OK;
}

LONG CKRAAvatarManager::GetPickedAvatarHandle(_KRA_HANDLE& hAvatar, _KRA_HANDLE& hItem, float& fDistance) const
{
    hAvatar = m_hPickedAvatar;
    hItem = m_hPickedItem;
    if (m_fPickedDistance != 0)
        fDistance = m_fPickedDistance;
    return KRA_OK;
}

void CKRAAvatarManager::BeginPicking()
{
    if (m_bSoftPicking)
        m_nPickHits = 0;
}

void CKRAAvatarManager::EndPicking()
{
    if (!m_bSoftPicking || m_nPickHits == 0)
        return;
    size_t nBest = 0;
    for (size_t i = 1; i < m_nPickHits; ++i)
        if (m_aPickHits[i].fDistance < m_aPickHits[nBest].fDistance)
            nBest = i;
    // Each drawing call answers for itself: its nearest hit (the first of equals) replaces
    // whatever an earlier call picked. A host drawing one avatar per call gets the last avatar
    // drawn under the point.
    const PickHit& best = m_aPickHits[nBest];
    m_hPickedAvatar = best.hAvatar;
    m_hPickedItem = best.hItem;
    m_fPickedDistance = best.fDistance;
    m_bSoftPicked = true;
}

bool CKRAAvatarManager::PickingRay(IDirect3DDevice8* pDevice, D3DXVECTOR3& vOrigin, D3DXVECTOR3& vDirection) const
{
    if (m_sizePicking.cx <= 0 || m_sizePicking.cy <= 0)
        return false;
    D3DXMATRIX mProjection, mWorld, mInverse;
    if (FAILED(pDevice->GetTransform(D3DTS_PROJECTION, &mProjection)) ||
        FAILED(pDevice->GetTransform(D3DTS_WORLD, &mWorld)))
        return false;
    if (mProjection._11 == 0 || mProjection._22 == 0 || !D3DXMatrixInverse(&mInverse, nullptr, &mWorld))
        return false;
    D3DXVECTOR3 v((2.0f * float(m_ptPicking.x) / float(m_sizePicking.cx) - 1) / mProjection._11,
                  -(2.0f * float(m_ptPicking.y) / float(m_sizePicking.cy) - 1) / mProjection._22, 1.0f);
    vDirection = KRATransformDirection(v, mInverse);
    vOrigin = D3DXVECTOR3(mInverse._41, mInverse._42, mInverse._43);
    return true;
}

void CKRAAvatarManager::PickItem(_KRA_HANDLE hItem, _KRA_HANDLE hAvatar, const float* pPositions, size_t nVertices,
                                 const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDirection)
{
    if (nVertices == 0)
        return;
    D3DXVECTOR3 vMin(FLT_MAX, FLT_MAX, FLT_MAX), vMax(-FLT_MAX, -FLT_MAX, -FLT_MAX);
    for (size_t v = 0; v < nVertices; ++v) {
        D3DXVECTOR3 p(pPositions[3 * v], pPositions[3 * v + 1], pPositions[3 * v + 2]);
        D3DXVec3Minimize(&vMin, &vMin, &p);
        D3DXVec3Maximize(&vMax, &vMax, &p);
    }
    D3DXVECTOR3 avCorners[8];
    for (int i = 0; i < 8; ++i)
        avCorners[i] = D3DXVECTOR3((i & 1) ? vMax.x : vMin.x, (i & 2) ? vMax.y : vMin.y, (i & 4) ? vMax.z : vMin.z);
    for (const WORD(&awTriangle)[3] : kPickBox) {
        if (m_nPickHits >= kPickHitMax)
            return;
        // Corners a, c, b, one-sided, without dividing by the determinant.
        const D3DXVECTOR3& vFirst = avCorners[awTriangle[0]];
        D3DXVECTOR3 vEdge1 = avCorners[awTriangle[2]] - vFirst, vEdge2 = avCorners[awTriangle[1]] - vFirst;
        D3DXVECTOR3 p, q;
        D3DXVec3Cross(&p, &vDirection, &vEdge2);
        float fDet = D3DXVec3Dot(&vEdge1, &p);
        if (!(fDet >= kMinDeterminant))
            continue;
        D3DXVECTOR3 s = vOrigin - vFirst;
        float u = D3DXVec3Dot(&s, &p);
        if (u < 0 || u > fDet)
            continue;
        D3DXVec3Cross(&q, &s, &vEdge1);
        float v = D3DXVec3Dot(&vDirection, &q);
        if (v < 0 || u + v > fDet)
            continue;
        // A box behind the eye is not under the pointer.
        if (D3DXVec3Dot(&vEdge2, &q) < 0)
            continue;
        PickHit& hit = m_aPickHits[m_nPickHits++];
        D3DXVECTOR3 vToFirst = vOrigin - vFirst;
        hit.fDistance = D3DXVec3Length(&vToFirst);
        for (int k = 0; k < 3; ++k)
            hit.awTriangle[k] = awTriangle[k];
        hit.hItem = hItem;
        hit.hAvatar = hAvatar;
    }
}

LONG CKRAAvatarManager::GetAvatar2DPosition(_KRA_HANDLE hAvatar, float dx, float dy, float dz, D3DXVECTOR3& vOut) const
{
    const CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pDevice)
        return KRA_E_MISSING_PART;
    D3DXVECTOR3 v =
        KRATransformDirection(pAvatar->m_vHead, pAvatar->m_mWorld) + pAvatar->m_vPosition + D3DXVECTOR3(dx, dy, dz);
    D3DVIEWPORT8 viewport;
    D3DXMATRIX mProjection, mView, mWorld;
    if (FAILED(pDevice->GetViewport(&viewport)) || FAILED(pDevice->GetTransform(D3DTS_PROJECTION, &mProjection)) ||
        FAILED(pDevice->GetTransform(D3DTS_VIEW, &mView)) || FAILED(pDevice->GetTransform(D3DTS_WORLD, &mWorld)))
        return KRA_E_FAILED;
    D3DXVec3Project(&vOut, &v, &viewport, &mProjection, &mView, &mWorld);
    return KRA_OK;
}
