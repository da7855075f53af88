// The walking half of the avatar manager: shifts and turns at once, walks to a point over many
// updates (turning toward it at 360 degrees per second while walking at the avatar's speed), and
// moves-and-rotates (turn toward a point, step there a unit per update, turn to a direction).
// Each avatar's camera follows it.
#include "KRAAvatarManager.h"

#include "KRAManager.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float KRA_RADIANS_PER_DEGREE = 0.017453292f;
constexpr float KRA_DEGREES_PER_RADIAN = 57.295776f;
constexpr float KRA_WALK_TURN_RATE = 360.f;  // degrees per second
constexpr float KRA_FINAL_TURN_RATE = 300.f; // degrees per second
constexpr float KRA_MOVE_STEP = 1.f;         // units per update of a move-and-rotate
constexpr DWORD KRA_STUCK_LIMIT = 100;

// A walk carries the avatar's camera along: eye and look-at by the same displacement.
void CarryCamera(CKRAAvatar& avatar, const D3DXVECTOR3& vShift)
{
    CKRALocalCamera* pCamera = avatar.m_pcLocalCamera.get();
    if (!pCamera)
        return;
    pCamera->GetEyePosition() += vShift;
    pCamera->GetLookAtPosition() += vShift;
    pCamera->UpdateViewMatrix();
}

// Other moves take the look-at along, and the eye only where the camera limits let it go.
void FollowCamera(CKRAAvatar& avatar, const D3DXVECTOR3& vShift)
{
    CKRALocalCamera* pCamera = avatar.m_pcLocalCamera.get();
    if (!pCamera)
        return;
    D3DXVECTOR3 vEye = pCamera->GetEyePosition() + vShift, vLookAt = pCamera->GetLookAtPosition() + vShift;
    if (CKRACamera::CheckLimits(vEye, vLookAt))
        pCamera->GetEyePosition() = vEye;
    pCamera->GetLookAtPosition() = vLookAt;
    pCamera->UpdateViewMatrix();
}

// The matrix's translation row and the position become vNew; the camera follows as it should.
void PlaceAt(CKRAAvatar& avatar, const D3DXVECTOR3& vNew, void (*follow)(CKRAAvatar&, const D3DXVECTOR3&))
{
    D3DXVECTOR3 vShift = vNew - avatar.m_vPosition;
    avatar.m_mWorld._41 = vNew.x;
    avatar.m_mWorld._42 = vNew.y;
    avatar.m_mWorld._43 = vNew.z;
    avatar.m_vPosition = vNew;
    follow(avatar, vShift);
}

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

// The angle toward a normalised direction for a move-and-rotate, in degrees; 0 inside the
// dead zone of 0.2 degrees.
float MoveTurnToward(const D3DXVECTOR3& d, const D3DXVECTOR3& vFront)
{
    float fDot = D3DXVec3Dot(&d, &vFront);
    if (fDot > -0.001f && fDot < 0.001f)
        fDot = 0;
    float a = std::acos(std::clamp(fDot, -1.f, 1.f));
    if (std::fabs(a) < 0.001f)
        a = 0;
    float fCross = d.x * vFront.z - d.z * vFront.x;
    float fAngle = a * KRA_DEGREES_PER_RADIAN;
    if (!(fCross > 0))
        fAngle = -fAngle;
    if (fAngle > -0.2f && fAngle < 0.2f)
        fAngle = 0;
    return fAngle;
}

// One step of a turn toward fAngle at fRate degrees per second: the last step is the remainder.
void TurnStep(CKRAAvatar& avatar, float fAngle, float& fTurned, bool& bDone, float fRate, float dt)
{
    float fSign = fAngle < 0 ? -1.f : 1.f;
    float fStep = dt * fRate * fSign;
    if (std::fabs(fTurned + fStep) >= std::fabs(fAngle)) {
        fStep = fAngle - fTurned;
        bDone = true;
    }
    fTurned += fStep;
    Turn(avatar, fStep);
}

void ClearMoveRotate(CKRAAvatar& avatar)
{
    avatar.m_bMoveRotate = false;
    avatar.m_bFinalTurnDone = false;
    avatar.m_bFinalTurnPending = true;
    avatar.m_fFinalAngle = 0;
    avatar.m_fFinalTurned = 0;
    avatar.m_vFinalDirection = D3DXVECTOR3(0, 0, 0);
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

// Ends a walk and a move-and-rotate where the avatar stands. A stop clears the target that the
// two share, so a move-and-rotate left running would set off for the cleared point, the world's
// origin: it ends with the walk.
void StopMoves(CKRAAvatar& avatar)
{
    ClearWalk(avatar);
    ClearMoveRotate(avatar);
}

// One update of a walk: true when it has arrived and turned.
bool AdvanceWalk(CKRAAvatar& avatar)
{
    double fNow = KRAAvatarClock();
    float dt = float(fNow - avatar.m_fLastStep);
    avatar.m_fLastStep = fNow;
    if (!avatar.m_bTurnDone)
        TurnStep(avatar, avatar.m_fTurnAngle, avatar.m_fTurned, avatar.m_bTurnDone, KRA_WALK_TURN_RATE, dt);
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
        PlaceAt(avatar, avatar.m_bArrived ? avatar.m_vTarget : avatar.m_vPosition + vMove, CarryCamera);
    }
    return avatar.m_bArrived && avatar.m_bTurnDone;
}

// The final direction's angle from the front, worked out once the target is reached. A direction
// straight behind has no side for the cross product to tell, yet it is a half turn, not none:
// otherwise the avatar would end facing away from the one direction it was asked to face. A zero
// direction asks for no turn.
void StartFinalTurn(CKRAAvatar& avatar)
{
    avatar.m_bFinalTurnPending = false;
    avatar.m_fFinalAngle = 0;
    avatar.m_fFinalTurned = 0;
    D3DXVECTOR3 vDirection = avatar.m_vFinalDirection;
    const D3DXVECTOR3& vFront = avatar.m_vFront;
    if (D3DXVec3Length(&vDirection) > 0)
        D3DXVec3Normalize(&vDirection, &vDirection);
    else
        vDirection = vFront;
    float fDot = D3DXVec3Dot(&vFront, &vDirection);
    float fCross = vFront.z * vDirection.x - vDirection.z * vFront.x;
    if (fDot != 1.0f) {
        if (fCross >= -0.0001f && fCross <= 0.0001f)
            avatar.m_fFinalAngle = fDot < 0 ? 180.f : 0.f;
        else
            avatar.m_fFinalAngle =
                std::acos(std::clamp(fDot, -1.f, 1.f)) * KRA_DEGREES_PER_RADIAN * (fCross < -0.0001f ? -1.f : 1.f);
    }
    avatar.m_bFinalTurnDone = avatar.m_fFinalAngle == 0;
}

// One update of a move-and-rotate: true when it has turned, stepped and made its final turn.
// The three run one after the other; an update that finishes one goes on with the next.
bool AdvanceMoveRotate(CKRAAvatar& avatar)
{
    OutputDebugStringA("UpdateMoveAndRotate");
    double fNow = KRAAvatarClock();
    float dt = float(fNow - avatar.m_fLastStep);
    avatar.m_fLastStep = fNow;
    if (!avatar.m_bTurnDone) {
        TurnStep(avatar, avatar.m_fTurnAngle, avatar.m_fTurned, avatar.m_bTurnDone, KRA_WALK_TURN_RATE, dt);
        if (!avatar.m_bTurnDone)
            return false;
    }
    if (!avatar.m_bArrived) {
        if (avatar.m_vPosition == avatar.m_vTarget) {
            avatar.m_bArrived = true;
        } else {
            D3DXVECTOR3 vToTarget = avatar.m_vPosition - avatar.m_vTarget;
            float fDistance = D3DXVec3Length(&vToTarget);
            float fStep = KRA_MOVE_STEP;
            if (fDistance <= fStep) {
                fStep = fDistance;
                avatar.m_bArrived = true;
            } else if (fDistance > avatar.m_fNearest) {
                // Past the nearest point of a straight line (a target at another height): the
                // distance would only grow from here, so the avatar is placed on the target.
                avatar.m_bArrived = true;
            }
            avatar.m_fNearest = std::min(avatar.m_fNearest, fDistance);
            D3DXVECTOR3 vNew = avatar.m_vTarget;
            if (!avatar.m_bArrived) {
                D3DXMATRIX mStep, m;
                D3DXMatrixTranslation(&mStep, 0, 0, -fStep);
                D3DXMatrixMultiply(&m, &mStep, &avatar.m_mWorld);
                vNew = D3DXVECTOR3(m._41, m._42, m._43);
            }
            PlaceAt(avatar, vNew, FollowCamera);
        }
        if (!avatar.m_bArrived)
            return false;
    }
    if (avatar.m_bFinalTurnPending) {
        StartFinalTurn(avatar);
        avatar.m_fLastStep = fNow;
        return avatar.m_bFinalTurnDone;
    }
    if (!avatar.m_bFinalTurnDone)
        TurnStep(avatar, avatar.m_fFinalAngle, avatar.m_fFinalTurned, avatar.m_bFinalTurnDone, KRA_FINAL_TURN_RATE, dt);
    return avatar.m_bFinalTurnDone;
}

} // namespace

LONG CKRAAvatarManager::MoveAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& v)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        D3DXMATRIX mShift, m;
        D3DXMatrixTranslation(&mShift, v.x, v.y, v.z);
        D3DXMatrixMultiply(&m, &mShift, &avatar.m_mWorld);
        PlaceAt(avatar, D3DXVECTOR3(m._41, m._42, m._43), FollowCamera);
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
    // A walk takes the place of a move-and-rotate under way, as a stop would: the two share the
    // target, and the end of the walk would leave the other heading for a cleared one.
    if (avatar.m_bMoveRotate)
        StopMoves(avatar);
    // A walk on a walking avatar keeps its arrival and turn state (the host stops it first).
    avatar.m_vTarget = vTarget;
    avatar.m_bWalking = true;
    avatar.m_dwStuck = 0;
    D3DXVECTOR3 d = vTarget - avatar.m_vPosition;
    avatar.m_fNearest = D3DXVec3Length(&d);
    avatar.m_fTurnAngle = 0;
    if (avatar.m_fNearest > 0) {
        D3DXVec3Normalize(&d, &d);
        avatar.m_fTurnAngle = TurnToward(d, avatar.m_vFront, 0.5f);
    }
    if (avatar.m_fTurnAngle == 0)
        avatar.m_bTurnDone = true;
    D3DXMATRIX mRotation = avatar.m_mWorld, mTurn;
    mRotation._41 = mRotation._42 = mRotation._43 = 0;
    D3DXMatrixRotationYawPitchRoll(&mTurn, avatar.m_fTurnAngle * KRA_RADIANS_PER_DEGREE, 0, 0);
    D3DXMatrixMultiply(&avatar.m_mWalkOrientation, &mRotation, &mTurn);
    avatar.m_fLastStep = KRAAvatarClock();
    return KRA_OK;
}

LONG CKRAAvatarManager::MoveAndRotateAvatar(_KRA_HANDLE hAvatar, const D3DXVECTOR3& vPosition,
                                            const D3DXVECTOR3& vDirection)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return KRA_E_INVALID_AVATAR;
    CKRAAvatar& avatar = *pAvatar;
    OutputDebugStringA("StartMoveAndRotate");
    // It takes the place of a walk under way, for the same reason as the other way round; one
    // started on a moving-and-rotating avatar keeps its arrival and turn state.
    if (avatar.m_bWalking)
        StopMoves(avatar);
    avatar.m_vTarget = vPosition;
    avatar.m_vFinalDirection = vDirection;
    avatar.m_bMoveRotate = true;
    D3DXVECTOR3 d = vPosition - avatar.m_vPosition;
    avatar.m_fNearest = D3DXVec3Length(&d);
    avatar.m_fTurnAngle = 0;
    if (avatar.m_fNearest > 0) {
        D3DXVec3Normalize(&d, &d);
        avatar.m_fTurnAngle = MoveTurnToward(d, avatar.m_vFront);
    }
    if (avatar.m_fTurnAngle == 0)
        avatar.m_bTurnDone = true;
    avatar.m_fLastStep = KRAAvatarClock();
    return KRA_OK;
}

LONG CKRAAvatarManager::StopAvatar(_KRA_HANDLE hAvatar)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        StopMoves(avatar);
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
    auto report = [](LONG lCode, _KRA_HANDLE h) {
        if (KRA_MESSAGE_PROC pfProc = CKRAManager::GetMessageProc()) {
            _KRA_HANDLE hCopy = h;
            pfProc(lCode, 0, &hCopy);
        }
    };
    for (_KRA_HANDLE h : vHandles) {
        CKRAAvatar* pAvatar = m_cAvatars.Lookup(h);
        if (pAvatar && pAvatar->m_bWalking && AdvanceWalk(*pAvatar)) {
            ClearWalk(*pAvatar);
            report(KRA_MSG_MOVE_END, h);
            pAvatar = m_cAvatars.Lookup(h);
        }
        if (pAvatar && pAvatar->m_bMoveRotate && AdvanceMoveRotate(*pAvatar)) {
            StopMoves(*pAvatar);
            report(KRA_MSG_MOVE_ROTATE_END, h);
        }
    }
    return KRA_OK;
}
