// The scene's camera operations: every move is asked of the current camera first, against the
// engine-wide limits and the camera map.
#include "KRAScene.h"

#include "KRACamera.h"
#include "KRAAvatarManager.h"
#include "KRAGlobalCamera.h"
#include "KRALocalCamera.h"
#include "KRAManager.h"

namespace {

// What the accessors answer for a scene without a camera (not created, or destroyed).
D3DXVECTOR3 g_vNoCamera(0, 0, 0);

} // namespace

CKRACamera* CKRAScene::GetCurrentCamera()
{
    // The avatar's camera is looked up through its handle every time: once the avatar is
    // unloaded the scene is back on its own camera instead of one that was freed.
    if (m_hCameraAvatar) {
        CKRAAvatarManager* pAvatars = CKRAManager::GetAvatarManager();
        if (CKRALocalCamera* pLocal = pAvatars ? pAvatars->ChangeGlobalCameraToLocalCamera(m_hCameraAvatar) : nullptr)
            return pLocal;
        m_hCameraAvatar = 0;
    }
    return m_pcOwnCamera;
}

LONG CKRAScene::MoveCamera(float dx, float dy, float dz)
{
    CKRACamera* pCamera = GetCurrentCamera();
    if (pCamera && pCamera->CanMove(dx, dy, dz))
        pCamera->Move(dx, dy, dz);
    return KRA_OK;
}

LONG CKRAScene::Forward(float fDistance)
{
    return MoveCamera(0, 0, fDistance);
}

LONG CKRAScene::Backward(float fDistance)
{
    return MoveCamera(0, 0, -fDistance);
}

LONG CKRAScene::Left(float fDistance)
{
    return MoveCamera(-fDistance, 0, 0);
}

LONG CKRAScene::Right(float fDistance)
{
    return MoveCamera(fDistance, 0, 0);
}

LONG CKRAScene::Rotate(float fFirst, float fSecond)
{
    CKRACamera* pCamera = GetCurrentCamera();
    if (!pCamera)
        return KRA_OK;
    if (pCamera->CanRotateFirst(fFirst))
        pCamera->RotateFirst(fFirst);
    if (pCamera->CanRotateSecond(fSecond))
        pCamera->RotateSecond(fSecond);
    return KRA_OK;
}

LONG CKRAScene::SetProjectionMatrix(float fFov, float fAspect, float fNear, float fFar)
{
    CKRACamera* pCamera = GetCurrentCamera();
    if (!pCamera)
        return KRA_E_MISSING_PART;
    return pCamera->SetProjection(fFov, fAspect, fNear, fFar);
}

LONG CKRAScene::SetCameraPosition(D3DXVECTOR3& vEye, D3DXVECTOR3& vLookAt, D3DXVECTOR3& vUp)
{
    CKRACamera* pCamera = GetCurrentCamera();
    if (!pCamera)
        return KRA_E_MISSING_PART;
    pCamera->SetPosition(vEye, vLookAt, vUp);
    return KRA_OK;
}

void CKRAScene::SetCameraLimits(float fMinHeight, float fMaxDistance, float fMinusXLimit, float fPlusXLimit)
{
    CKRACamera::SetCameraLimits(fMinHeight, fMaxDistance, fMinusXLimit, fPlusXLimit);
}

D3DXVECTOR3& CKRAScene::GetEyePosition()
{
    CKRACamera* pCamera = GetCurrentCamera();
    return pCamera ? pCamera->GetEyePosition() : g_vNoCamera;
}

D3DXVECTOR3& CKRAScene::GetLookAtPosition()
{
    CKRACamera* pCamera = GetCurrentCamera();
    return pCamera ? pCamera->GetLookAtPosition() : g_vNoCamera;
}

D3DXVECTOR3& CKRAScene::GetUpVector()
{
    CKRACamera* pCamera = GetCurrentCamera();
    return pCamera ? pCamera->GetUpVector() : g_vNoCamera;
}

LONG CKRAScene::ChangeGlobalCameraToLocalCamera(_KRA_HANDLE& hAvatar)
{
    CKRAAvatarManager* pAvatars = CKRAManager::GetAvatarManager();
    if (!pAvatars)
        return KRA_E_MISSING_PART;
    CKRALocalCamera* pLocal = pAvatars->ChangeGlobalCameraToLocalCamera(hAvatar);
    // An invalid avatar leaves the scene on the camera it had.
    if (!pLocal)
        return KRA_E_INVALID_AVATAR;
    m_hCameraAvatar = hAvatar;
    pLocal->UpdateViewMatrix();
    return KRA_OK;
}

LONG CKRAScene::ChangeLocalCameraToGlobalCamera()
{
    m_hCameraAvatar = 0;
    if (m_pcOwnCamera)
        m_pcOwnCamera->UpdateViewMatrix();
    return KRA_OK;
}
