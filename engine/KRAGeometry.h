// The small geometry of world objects: the frame-index rule shared by key animation and fades,
// the one-sided ray-triangle test, and affine vector transforms.
#pragma once

#include <d3dx8.h>

struct KRA_FRAME_INDEX {
    int nFrame = 0;
    int nNext = 0;
    float fFraction = 0;
};

// Frame of time t among nFrames equal steps of fDuration. A zero duration or no frames is a
// still pose (frame 0), never a loop that cannot end.
KRA_FRAME_INDEX KRAFrameIndex(DWORD nFrames, float fDuration, float t);

// One-sided: a triangle hit only from its front; vertices in the order given.
bool KRAIntersectTriangle(const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDirection, const D3DXVECTOR3& p0,
                          const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, D3DXVECTOR3* pHit);

// Point by rows 0-3 (no perspective division) and direction by rows 0-2.
inline D3DXVECTOR3 KRATransformPoint(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    return D3DXVECTOR3(v.x * m._11 + v.y * m._21 + v.z * m._31 + m._41, v.x * m._12 + v.y * m._22 + v.z * m._32 + m._42,
                       v.x * m._13 + v.y * m._23 + v.z * m._33 + m._43);
}
inline D3DXVECTOR3 KRATransformDirection(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    return D3DXVECTOR3(v.x * m._11 + v.y * m._21 + v.z * m._31, v.x * m._12 + v.y * m._22 + v.z * m._32,
                       v.x * m._13 + v.y * m._23 + v.z * m._33);
}

// The picking ray of a back-buffer point: direction from the projection, origin and turn from
// the inverse of the view held in the device's world transform. False when it cannot be built
// (no back buffer, a singular view or a degenerate projection).
bool KRAPickingRay(IDirect3DDevice8* pDevice, LONG x, LONG y, D3DXVECTOR3* pOrigin, D3DXVECTOR3* pDirection);
