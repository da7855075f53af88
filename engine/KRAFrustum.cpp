#include "KRAFrustum.h"

#include "KRAWarning.h"

#include <cmath>

namespace {

const float kClipCorners[8][3] = {
    {-1, -1, 0}, {1, -1, 0}, {-1, 1, 0}, {1, 1, 0}, {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1},
};
// Near, far, left, right, top, bottom.
const int kPlaneCorners[6][3] = {{0, 2, 3}, {7, 6, 4}, {6, 2, 4}, {3, 7, 5}, {3, 2, 6}, {0, 1, 5}};

} // namespace

CKRAFrustum::CKRAFrustum()
{
    // Unbuilt, every plane is zero, so every test passes until the first Build.
    for (D3DXPLANE& plane : m_cPlanes)
        plane = D3DXPLANE(0, 0, 0, 0);
    for (D3DXVECTOR3& corner : m_vCorners)
        corner = D3DXVECTOR3(0, 0, 0);
}

LONG CKRAFrustum::Build(const D3DXMATRIX* pView, const D3DXMATRIX* pProjection)
{
    if (!pView) {
        KRAShowWarning("Invalid view matrix\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    if (!pProjection) {
        KRAShowWarning("Invalid projection matrix\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    D3DXMATRIX mViewProjection, mInverse;
    D3DXMatrixMultiply(&mViewProjection, pView, pProjection);
    // A singular view volume has no corners: keep the planes of the last good one.
    if (!D3DXMatrixInverse(&mInverse, nullptr, &mViewProjection))
        return KRA_OK;
    D3DXVECTOR3 vCorners[8];
    for (int i = 0; i < 8; ++i) {
        D3DXVECTOR3 v(kClipCorners[i][0], kClipCorners[i][1], kClipCorners[i][2]);
        D3DXVec3TransformCoord(&vCorners[i], &v, &mInverse);
    }
    for (int i = 0; i < 8; ++i)
        m_vCorners[i] = vCorners[i];
    for (int i = 0; i < 6; ++i)
        D3DXPlaneFromPoints(&m_cPlanes[i], &m_vCorners[kPlaneCorners[i][0]], &m_vCorners[kPlaneCorners[i][1]],
                            &m_vCorners[kPlaneCorners[i][2]]);
    return KRA_OK;
}

bool CKRAFrustum::TestSphere(float x, float y, float z, float fRadius) const
{
    for (const D3DXPLANE& p : m_cPlanes) {
        // A value that is not a number compares false: not outside.
        if (p.a * x + p.b * y + p.c * z + p.d - fRadius > 0)
            return false;
    }
    return true;
}

bool CKRAFrustum::TestBoxSphere(float fMinX, float fMinY, float fMinZ, float fMaxX, float fMaxY, float fMaxZ) const
{
    float cx = (fMinX + fMaxX) * 0.5f, cy = (fMinY + fMaxY) * 0.5f, cz = (fMinZ + fMaxZ) * 0.5f;
    float dx = fMaxX - cx, dy = fMaxY - cy, dz = fMaxZ - cz;
    return TestSphere(cx, cy, cz, std::sqrt(dx * dx + dy * dy + dz * dz));
}

bool CKRAFrustum::IsBoxVisible(float fMinX, float fMinY, float fMinZ, float fMaxX, float fMaxY, float fMaxZ) const
{
    return TestBoxSphere(fMinX, fMinY, fMinZ, fMaxX, fMaxY, fMaxZ);
}

bool CKRAFrustum::TestBoxCorners(float fMinX, float fMinY, float fMinZ, float fMaxX, float fMaxY, float fMaxZ) const
{
    for (int i = 0; i < 8; ++i) {
        if (TestSphere((i & 1) ? fMaxX : fMinX, (i & 2) ? fMaxY : fMinY, (i & 4) ? fMaxZ : fMinZ, 0))
            return true;
    }
    return false;
}
