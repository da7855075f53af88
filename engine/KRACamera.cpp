#include "KRACamera.h"

#include "KRAGridMap.h"
#include "KRAManager.h"

#include <algorithm>
#include <cmath>

namespace {

struct CameraSettings {
    CKRAGridMap* pMap = nullptr;
    bool bMapEnabled = false;
    // Limits that let the host's zoom and drag work until it sets its own: the camera map
    // still applies. Zero limits would refuse every move once a scene has a camera map.
    float fMinHeight = 0.5f;
    float fMaxDistance = 1000.0f;
    float fMinusXLimit = 180.0f;
    float fPlusXLimit = -180.0f;
};

CameraSettings g_cSettings;

constexpr float kRadiansPerDegree = 0.017453292f;
constexpr float kDegreesPerRadian = 57.295776f;

} // namespace

CKRACamera::CKRACamera() : m_vEye(0, 40, -30), m_vLookAt(0, 40, 0), m_vUp(0, 1, 0)
{
    D3DXMatrixIdentity(&m_matView);
    D3DXMatrixIdentity(&m_matProjection);
}

CKRACamera::~CKRACamera() = default;

LONG CKRACamera::Create()
{
    return CreateAt(D3DXVECTOR3(0, 40, -30), D3DXVECTOR3(0, 40, 0), D3DXVECTOR3(0, 1, 0));
}

LONG CKRACamera::CreateAt(D3DXVECTOR3 vEye, D3DXVECTOR3 vLookAt, D3DXVECTOR3 vUp)
{
    m_vEye = vEye;
    m_vLookAt = vLookAt;
    m_vUp = vUp;
    UpdateViewMatrix();
    return SetProjection(0, 0, 1.0f, 5000.0f);
}

void CKRACamera::UpdateViewMatrix()
{
    D3DXMatrixLookAtLH(&m_matView, &m_vEye, &m_vLookAt, &m_vUp);
}

LONG CKRACamera::SetProjection(float, float, float fNear, float fFar)
{
    tagSIZE size = CKRAManager::KraMan_GetWindowSize();
    float fAspect = (size.cx > 0 && size.cy > 0) ? float(size.cx) / float(size.cy) : 1.0f;
    D3DXMatrixPerspectiveFovLH(&m_matProjection, D3DX_PI / 4, fAspect, fNear, fFar);
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pDevice)
        return KRA_OK;
    HRESULT hr = pDevice->SetTransform(D3DTS_PROJECTION, &m_matProjection);
    return hr < 0 ? hr : KRA_OK;
}

void CKRACamera::SetPosition(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vLookAt, const D3DXVECTOR3& vUp)
{
    m_vEye = vEye;
    m_vLookAt = vLookAt;
    m_vUp = vUp;
    UpdateViewMatrix();
}

bool CKRACamera::CanMove(float dx, float dy, float dz)
{
    return CheckLimits(m_vEye + ToWorld(dx, dy, dz), m_vLookAt);
}

D3DXVECTOR3 CKRACamera::ToWorld(float dx, float dy, float dz) const
{
    const D3DXMATRIX& m = m_matView;
    return D3DXVECTOR3(dx * m._11 + dy * m._12 + dz * m._13, dx * m._21 + dy * m._22 + dz * m._23,
                       dx * m._31 + dy * m._32 + dz * m._33);
}

D3DXVECTOR3 CKRACamera::Rotate(const D3DXVECTOR3& v, const D3DXVECTOR3& vAxis, float fDegrees)
{
    D3DXMATRIX r;
    D3DXMatrixRotationAxis(&r, &vAxis, fDegrees * kRadiansPerDegree);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &v, &r);
    return out;
}

void CKRACamera::SetCameraMap(CKRAGridMap* pMap)
{
    g_cSettings.pMap = pMap;
    g_cSettings.bMapEnabled = true;
}

void CKRACamera::EnableCameraMap(bool bEnable)
{
    g_cSettings.bMapEnabled = bEnable;
}

void CKRACamera::SetCameraLimits(float fMinHeight, float fMaxDistance, float fMinusXLimit, float fPlusXLimit)
{
    g_cSettings.fMinHeight = fMinHeight;
    g_cSettings.fMaxDistance = fMaxDistance;
    g_cSettings.fMinusXLimit = fMinusXLimit;
    g_cSettings.fPlusXLimit = fPlusXLimit;
}

void CKRACamera::ForgetCameraMap(const CKRAGridMap* pMap)
{
    if (g_cSettings.pMap == pMap && pMap) {
        g_cSettings.pMap = nullptr;
        g_cSettings.bMapEnabled = false;
    }
}

CKRAGridMap* CKRACamera::GetCameraMap()
{
    return g_cSettings.pMap;
}

void CKRACamera::ResetSettings()
{
    g_cSettings = CameraSettings();
}

bool CKRACamera::CheckLimits(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vLookAt)
{
    const CameraSettings& s = g_cSettings;
    if (!s.bMapEnabled || !s.pMap)
        return vEye.y > 0.5f;
    if (vLookAt.x - 5 < vEye.x && vEye.x < vLookAt.x + 5 && vLookAt.z - 5 < vEye.z && vEye.z < vLookAt.z + 5)
        return false;
    D3DXVECTOR3 vDistance = vEye - vLookAt;
    if (D3DXVec3Length(&vDistance) > s.fMaxDistance)
        return false;
    if (vEye.y < s.fMinHeight)
        return false;
    if (s.pMap->IsBlocked(vEye.x, vEye.z, nullptr))
        return false;
    D3DXVECTOR3 vFlat(vEye.x - vLookAt.x, 0, vEye.z - vLookAt.z);
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, &vFlat);
    // Rounding can push the cosine just past 1; acos would answer NaN and refuse every turn.
    float fAngle = std::acos(std::clamp(-n.z, -1.0f, 1.0f)) * kDegreesPerRadian;
    if (-n.x > 0)
        return fAngle <= s.fMinusXLimit;
    return -fAngle >= s.fPlusXLimit;
}
