// The walking half of the avatar manager: shifts and turns at once, and walks to a point over
// many updates (turning toward it at 360 degrees per second while walking at the avatar's speed).
#include "KRAAvatarManager.h"

#include "KRAManager.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float KRA_RADIANS_PER_DEGREE = 0.017453292f;
constexpr float KRA_DEGREES_PER_RADIAN = 57.295776f;
constexpr float KRA_WALK_TURN_RATE = 360.f; // degrees per second
constexpr DWORD KRA_STUCK_LIMIT = 100;

// Turns the avatar about y by fDegrees in its own space, front vector included.
void Turn(CKRAAvatar& avatar, float fDegrees)
{
    D3DXMATRIX mTurn, m;
    D3DXMatrixRotationYawPitchRoll(&mTurn, fDegrees * KRA_RADIANS_PER_DEGREE, 0, 0);
    D3DXMatrixMultiply(&m, &mTurn, &avatar.m_mWorld);
    avatar.m_mWorld = m;
    D3DXVECTOR3 vFront;
    D3DXVec3TransformNormal(&vFront, &avatar.m_vFront, &mTurn);
    D3DXVec3Normalize(&avatar.m_vFront, &vFront);
}

// The angle toward a normalised direction, in degrees; 0 inside the dead zone.
float TurnToward(const D3DXVECTOR3& d, const D3DXVECTOR3& vFront, float fDeadZone)
{
    float fDot = D3DXVec3Dot(&d, &vFront);
    if (fDot > -0.001f && fDot < 0.001f)
        fDot = 0;
    if (fDot == 1.0f)
        return 0;
    if (fDot <= -0.999999f)
        return 180.f;
    float fCross = d.x * vFront.z - d.z * vFront.x;
    // Rounding can push the dot a hair past 1.
    float a = std::acos(std::clamp(fDot, -1.f, 1.f));
    if (std::fabs(a) < 0.001f)
        a = 0;
    float fAngle = 0;
    if (fCross > 0.001f)
        fAngle = a * KRA_DEGREES_PER_RADIAN;
    else if (fCross < -0.001f)
        fAngle = -(a * KRA_DEGREES_PER_RADIAN);
    if (fAngle > -fDeadZone && fAngle < fDeadZone)
        fAngle = 0;
    return fAngle;
}

void ClearWalk(CKRAAvatar& avatar)
{
    avatar.m_bWalking = false;
    avatar.m_bArrived = false;
    avatar.m_bTurnDone = false;
    avatar.m_vTarget = D3DXVECTOR3(0, 0, 0);
    avatar.m_fTurnAngle = 0;
    avatar.m_fTurned = 0;
    avatar.m_dwStuck = 0;
}

// The avatar's camera follows it: the look-at always, the eye only where the camera may go.
void FollowWithCamera(CKRAAvatar& avatar, const D3DXVECTOR3& vMove, bool bEyeAlways)
{
    CKRALocalCamera* pCamera = avatar.m_pcLocalCamera.get();
    if (!pCamera)
        return;
    D3DXVECTOR3 vEye = pCamera->GetEyePosition() + vMove, vAt = pCamera->GetLookAtPosition() + vMove;
    if (bEyeAlways || CKRACamera::CheckLimits(vEye, vAt))
        pCamera->GetEyePosition() = vEye;
    pCamera->GetLookAtPosition() = vAt;
    pCamera->UpdateViewMatrix();
}

// One update of a walk: true when it has arrived and turned.
bool AdvanceWalk(CKRAAvatar& avatar)
{
    double fNow = KRAAvatarClock();
    float dt = float(fNow - avatar.m_fLastStep);
    avatar.m_fLastStep = fNow;
    if (!avatar.m_bTurnDone) {
        float fSign = avatar.m_fTurnAngle < 0 ? -1.f : 1.f;
        float fStep = dt * KRA_WALK_TURN_RATE * fSign;
        if (std::fabs(avatar.m_fTurned + fStep) >= std::fabs(avatar.m_fTurnAngle)) {
            fStep = avatar.m_fTurnAngle - avatar.m_fTurned;
            avatar.m_bTurnDone = true;
        }
        avatar.m_fTurned += fStep;
        Turn(avatar, fStep);
    }
    if (!avatar.m_bArrived) {
        D3DXVECTOR3 vToTarget = avatar.m_vPosition - avatar.m_vTarget;
        float fStep = 0;
        if (avatar.m_vPosition == avatar.m_vTarget) {
            avatar.m_bArrived = true;
        } else {
            fStep = float(avatar.m_dwWalkSpeed) * dt;
            float fDistance = D3DXVec3Length(&vToTarget);
            if (fDistance <= fStep) {
                avatar.m_bArrived = true;
                fStep = fDistance;
            }
            if (fDistance <= avatar.m_fNearest)
                avatar.m_fNearest = fDistance;
            else if (++avatar.m_dwStuck > KRA_STUCK_LIMIT)
                avatar.m_bArrived = true;
        }
        D3DXVECTOR3 vStep(0, 0, -fStep), vMove;
        D3DXVec3TransformNormal(&vMove, &vStep, &avatar.m_mWalkOrientation);
        D3DXVECTOR3 vNew = avatar.m_bArrived ? avatar.m_vTarget : avatar.m_vPosition + vMove;
        avatar.m_mWorld._41 = vNew.x;
        avatar.m_mWorld._42 = vNew.y;
        avatar.m_mWorld._43 = vNew.z;
        FollowWithCamera(avatar, vNew - avatar.m_vPosition, true);
        avatar.m_vPosition = vNew;
    }
    return avatar.m_bArrived && avatar.m_bTurnDone;
}

constexpr float KRA_FINAL_TURN_RATE = 300.f; // degrees per second


void ClearMoveRotate(CKRAAvatar& avatar)
{
    ClearWalk(avatar);
    avatar.m_bMoveRotate = false;
    avatar.m_bFinalTurnDone = false;
    avatar.m_bFinalTurnPending = true;
    avatar.m_fFinalAngle = 0;
    avatar.m_fFinalTurned = 0;
    avatar.m_vFinalDirection = D3DXVECTOR3(0, 0, 0);
}

// One turn step toward fAngle at fRate degrees per second; the last step takes the remainder.
void TurnStep(CKRAAvatar& avatar, float fAngle, float& fTurned, bool& bDone, float fRate, float dt)
{
    float fStep = dt * fRate * (fAngle < 0 ? -1.f : 1.f);
    if (std::fabs(fTurned + fStep) >= std::fabs(fAngle)) {
        fStep = fAngle - fTurned;
        bDone = true;
    }
    fTurned += fStep;
    Turn(avatar, fStep);
}

// One update of a move-and-rotate: the turn toward the target, then one unit of stepping per
// update, then the final turn. True when all three are done.
bool AdvanceMoveRotate(CKRAAvatar& avatar)
{
    OutputDebugStringA("UpdateMoveAndRotate");
    double fNow = KRAAvatarClock();
    float dt = float(fNow - avatar.m_fLastStep);
    avatar.m_fLastStep = fNow;
    if (!avatar.m_bTurnDone) {
        TurnStep(avatar, avatar.m_fTurnAngle, avatar.m_fTurned, avatar.m_bTurnDone, KRA_WALK_TURN_RATE, dt);
        return false;
    }
    if (!avatar.m_bArrived) {
        D3DXVECTOR3 vToTarget = avatar.m_vTarget - avatar.m_vPosition;
        float fDistance = D3DXVec3Length(&vToTarget);
        if (avatar.m_vPosition == avatar.m_vTarget) {
            avatar.m_bArrived = true;
            return false;
        }
        float fStep = 1.0f;
        if (fDistance <= fStep) {
            fStep = fDistance;
            avatar.m_bArrived = true;
        }
        D3DXVECTOR3 vBefore = avatar.m_vPosition;
        D3DXMATRIX mStep, m;
        D3DXMatrixTranslation(&mStep, 0, 0, -fStep);
        D3DXMatrixMultiply(&m, &mStep, &avatar.m_mWorld);
        avatar.m_mWorld = m;
        avatar.m_vPosition = D3DXVECTOR3(m._41, m._42, m._43);
        FollowWithCamera(avatar, avatar.m_vPosition - vBefore, false);
        return false;
    }
    if (avatar.m_bFinalTurnPending) {
        avatar.m_bFinalTurnPending = false;
        avatar.m_fFinalTurned = 0;
        const D3DXVECTOR3& f = avatar.m_vFront;
        D3DXVECTOR3 d = avatar.m_vFinalDirection;
        float fDot = D3DXVec3Dot(&f, &d);
        float fCross = f.z * d.x - d.z * f.x;
        if (fDot == 1.0f || (fCross >= -0.0001f && fCross <= 0.0001f)) {
            avatar.m_fFinalAngle = 0;
        } else {
            avatar.m_fFinalAngle = std::acos(std::clamp(fDot, -1.f, 1.f)) * KRA_DEGREES_PER_RADIAN;
            if (fCross < -0.0001f)
                avatar.m_fFinalAngle = -avatar.m_fFinalAngle;
        }
        avatar.m_bFinalTurnDone = avatar.m_fFinalAngle == 0;
        return avatar.m_bFinalTurnDone;
    }
    if (!avatar.m_bFinalTurnDone)
        TurnStep(avatar, avatar.m_fFinalAngle, avatar.m_fFinalTurned, avatar.m_bFinalTurnDone, KRA_FINAL_TURN_RATE, dt);
    return avatar.m_bFinalTurnDone;
}

} // namespace

LONG CKRAAvatarManager::MoveAndRotateAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vPosition,
                                            const D3DXVECTOR3& vDirection)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    CKRAAvatar& avatar = *pAvatar;
    OutputDebugStringA("StartMoveAndRotate");
    ClearMoveRotate(avatar);
    avatar.m_vTarget = vPosition;
    avatar.m_vFinalDirection = vDirection;
    avatar.m_bMoveRotate = true;
    D3DXVECTOR3 d = vPosition - avatar.m_vPosition;
    if (D3DXVec3Length(&d) > 0) {
        D3DXVec3Normalize(&d, &d);
        float fDot = D3DXVec3Dot(&d, &avatar.m_vFront);
        if (fDot > -0.001f && fDot < 0.001f)
            fDot = 0;
        float a = std::acos(std::clamp(fDot, -1.f, 1.f));
        if (std::fabs(a) < 0.001f)
            a = 0;
        float fAngle = a * KRA_DEGREES_PER_RADIAN;
        if (!(d.x * avatar.m_vFront.z - d.z * avatar.m_vFront.x > 0))
            fAngle = -fAngle;
        avatar.m_fTurnAngle = fAngle > -0.2f && fAngle < 0.2f ? 0 : fAngle;
    }
    avatar.m_bTurnDone = avatar.m_fTurnAngle == 0;
    avatar.m_fLastStep = KRAAvatarClock();
    return KRA_OK;
}

LONG CKRAAvatarManager::MoveAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& v)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        D3DXMATRIX mShift, m;
        D3DXMatrixTranslation(&mShift, v.x, v.y, v.z);
        D3DXMatrixMultiply(&m, &mShift, &avatar.m_mWorld);
        avatar.m_mWorld = m;
        D3DXVECTOR3 vNew(m._41, m._42, m._43);
        FollowWithCamera(avatar, vNew - avatar.m_vPosition, false);
        avatar.m_vPosition = vNew;
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::RotateAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vDegrees)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        D3DXMATRIX mTurn, m;
        D3DXMatrixRotationYawPitchRoll(&mTurn, vDegrees.y * KRA_RADIANS_PER_DEGREE, vDegrees.x * KRA_RADIANS_PER_DEGREE,
                                       vDegrees.z * KRA_RADIANS_PER_DEGREE);
        D3DXVECTOR3 vFront;
        D3DXVec3TransformNormal(&vFront, &avatar.m_vFront, &mTurn);
        D3DXVec3Normalize(&avatar.m_vFront, &vFront);
        D3DXMatrixMultiply(&m, &mTurn, &avatar.m_mWorld);
        avatar.m_mWorld = m;
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::MoveToAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vTarget)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    CKRAAvatar& avatar = *pAvatar;
    // Every walk starts from fresh turn state, whether or not the last one was stopped.
    ClearMoveRotate(avatar);
    avatar.m_vTarget = vTarget;
    avatar.m_bWalking = true;
    D3DXVECTOR3 d = vTarget - avatar.m_vPosition;
    avatar.m_fNearest = D3DXVec3Length(&d);
    if (avatar.m_fNearest > 0) {
        D3DXVec3Normalize(&d, &d);
        avatar.m_fTurnAngle = TurnToward(d, avatar.m_vFront, 0.5f);
    }
    avatar.m_bTurnDone = avatar.m_fTurnAngle == 0;
    D3DXMATRIX mRotation = avatar.m_mWorld, mTurn;
    mRotation._41 = mRotation._42 = mRotation._43 = 0;
    D3DXMatrixRotationYawPitchRoll(&mTurn, avatar.m_fTurnAngle * KRA_RADIANS_PER_DEGREE, 0, 0);
    D3DXMatrixMultiply(&avatar.m_mWalkOrientation, &mRotation, &mTurn);
    avatar.m_fLastStep = KRAAvatarClock();
    return KRA_OK;
}

LONG CKRAAvatarManager::StopAvatar(_KRA_HANDLE hAvatar)
{
    // A move-and-rotate ends the same way, where the avatar stands.
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        ClearMoveRotate(avatar);
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::SetWalkSpeedOfAvatar(_KRA_HANDLE hAvatar, DWORD dwSpeed)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        avatar.m_dwWalkSpeed = dwSpeed;
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::UpdateMoveAvatar(const _KRA_HANDLE* pHandles, int nCount)
{
    if (!pHandles || nCount <= 0)
        return KRA_OK;
    // The callback may load or unload avatars: the list is the caller's as it was, and each
    // handle is looked up again when its turn comes.
    std::vector<_KRA_HANDLE> vHandles(pHandles, pHandles + nCount);
    for (_KRA_HANDLE h : vHandles) {
        CKRAAvatar* pAvatar = m_cAvatars.Lookup(h);
        if (pAvatar && pAvatar->m_bWalking && !pAvatar->m_bMoveRotate && AdvanceWalk(*pAvatar)) {
            ClearWalk(*pAvatar);
            if (KRA_MESSAGE_PROC pfProc = CKRAManager::GetMessageProc()) {
                _KRA_HANDLE hCopy = h;
                pfProc(KRA_MSG_MOVE_END, 0, &hCopy);
            }
        }
        // The callback may have unloaded it.
        pAvatar = m_cAvatars.Lookup(h);
        if (pAvatar && pAvatar->m_bMoveRotate && AdvanceMoveRotate(*pAvatar)) {
            ClearMoveRotate(*pAvatar);
            if (KRA_MESSAGE_PROC pfProc = CKRAManager::GetMessageProc()) {
                _KRA_HANDLE hCopy = h;
                pfProc(KRA_MSG_MOVE_ROTATE_END, 0, &hCopy);
            }
        }
    }
    return KRA_OK;
}
