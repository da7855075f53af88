// The camera's view volume, rebuilt by every scene render and asked whether boxes can be seen.
#pragma once

#include "KRADefs.h"

#include <d3dx8.h>

class CKRAFrustum {
public:
    CKRAFrustum();

    LONG Build(const D3DXMATRIX* pView, const D3DXMATRIX* pProjection);
    bool TestSphere(float x, float y, float z, float fRadius) const;
    bool TestBoxSphere(float fMinX, float fMinY, float fMinZ, float fMaxX, float fMaxY, float fMaxZ) const;
    bool IsBoxVisible(float fMinX, float fMinY, float fMinZ, float fMaxX, float fMaxY, float fMaxZ) const;
    bool TestBoxCorners(float fMinX, float fMinY, float fMinZ, float fMaxX, float fMaxY, float fMaxZ) const;

    const D3DXVECTOR3& GetCorner(int i) const { return m_vCorners[i]; }
    const D3DXPLANE& GetPlane(int i) const { return m_cPlanes[i]; }

private:
    D3DXVECTOR3 m_vCorners[8];
    D3DXPLANE m_cPlanes[6];
};
