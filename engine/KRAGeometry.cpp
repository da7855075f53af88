#include "KRAGeometry.h"

#include "KRAManager.h"

#include <cmath>

KRA_FRAME_INDEX KRAFrameIndex(DWORD nFrames, float fDuration, float t)
{
    KRA_FRAME_INDEX result;
    if (nFrames == 0 || !(fDuration > 0) || !std::isfinite(fDuration) || !std::isfinite(t))
        return result;
    if (t > fDuration)
        t -= fDuration;
    float fStep = fDuration / float(nFrames);
    if (!(fStep > 0))
        return result;
    double dSteps = std::floor(double(t) / double(fStep));
    if (dSteps < 0)
        dSteps = 0;
    if (dSteps >= double(nFrames))
        return result;
    result.nFrame = int(dSteps);
    result.nNext = (DWORD(result.nFrame) + 1 >= nFrames) ? 0 : result.nFrame + 1;
    result.fFraction = (t - fStep * float(result.nFrame)) / fStep;
    return result;
}

bool KRAIntersectTriangle(const D3DXVECTOR3& o, const D3DXVECTOR3& d, const D3DXVECTOR3& p0, const D3DXVECTOR3& p1,
                          const D3DXVECTOR3& p2, D3DXVECTOR3* pHit)
{
    D3DXVECTOR3 e1 = p1 - p0;
    D3DXVECTOR3 e2 = p2 - p0;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &e1, &e2);
    D3DXVECTOR3 nUnit;
    D3DXVec3Normalize(&nUnit, &n);
    float fOffset = -D3DXVec3Dot(&nUnit, &p1);
    if (D3DXVec3Dot(&nUnit, &o) + fOffset < 0)
        return false;
    D3DXVECTOR3 vFar = o + d * 10000.0f;
    if (D3DXVec3Dot(&nUnit, &vFar) + fOffset > 0)
        return false;
    D3DXVECTOR3 p;
    D3DXVec3Cross(&p, &d, &e2);
    float fDet = D3DXVec3Dot(&e1, &p);
    if (fDet < 0.0001f)
        return false;
    D3DXVECTOR3 s = o - p0;
    float u = D3DXVec3Dot(&s, &p);
    if (u < 0 || u > fDet)
        return false;
    D3DXVECTOR3 q;
    D3DXVec3Cross(&q, &s, &e1);
    float v = D3DXVec3Dot(&q, &d);
    if (v < 0 || u + v > fDet)
        return false;
    if (pHit) {
        float fDen = D3DXVec3Dot(&d, &n);
        D3DXVECTOR3 toP0 = p0 - o;
        float t = fDen != 0 ? D3DXVec3Dot(&toP0, &n) / fDen : 0;
        *pHit = o + d * t;
    }
    return true;
}

bool KRAPickingRay(IDirect3DDevice8* pDevice, LONG x, LONG y, D3DXVECTOR3* pOrigin, D3DXVECTOR3* pDirection)
{
    if (!pDevice)
        return false;
    tagSIZE size = CKRAManager::KraMan_GetWindowSize();
    if (size.cx <= 0 || size.cy <= 0)
        return false;
    D3DXMATRIX mProjection, mView, mInverse;
    if (FAILED(pDevice->GetTransform(D3DTS_PROJECTION, &mProjection)) ||
        FAILED(pDevice->GetTransform(D3DTS_WORLD, &mView)))
        return false;
    if (mProjection._11 == 0 || mProjection._22 == 0 || !D3DXMatrixInverse(&mInverse, nullptr, &mView))
        return false;
    D3DXVECTOR3 v((2.0f * float(x) / float(size.cx) - 1 - mProjection._31) / mProjection._11,
                  -(2.0f * float(y) / float(size.cy) - 1 - mProjection._32) / mProjection._22, 1.0f);
    D3DXVECTOR3 vWorld = KRATransformDirection(v, mInverse);
    D3DXVec3Normalize(pDirection, &vWorld);
    *pOrigin = D3DXVECTOR3(mInverse._41, mInverse._42, mInverse._43);
    return true;
}
