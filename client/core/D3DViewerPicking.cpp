// The input half of the 3D view: what lies under the mouse in each frame, walking the own avatar
// where the member clicks the ground, and the mouse handlers that hand the clicks to the frame.
#include "AvatarScene.h"
#include "ClientApp.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "D3DViewer.h"
#include "MainFrame.h"

#include <cmath>
#include <cstring>

namespace {
constexpr float kFar = 50000.0f;
constexpr float kTurnOnly = 0.001f; // a shift-click turns the avatar without walking
} // namespace

BOOL CD3DViewer::OwnPosition(D3DXVECTOR3* position, D3DXVECTOR3* front)
{
    if (!m_slots[0].byInUse || !m_pScene) {
        return FALSE;
    }
    D3DXMATRIX placed;
    m_pScene->GetAvatarMatrix(m_slots[0].hAvatar, placed);
    *position = D3DXVECTOR3(placed._41, placed._42, placed._43);
    if (front) {
        m_pScene->GetAvatarFrontVector(m_slots[0].hAvatar, *front);
    }
    return TRUE;
}

void CD3DViewer::PostMoveRequest(int code, const float* values, int count)
{
    if (!m_pParent || !::IsWindow(m_pParent->GetSafeHwnd())) {
        return;
    }
    // The frame owns the copy once it is posted: this thread makes the next one meanwhile.
    auto* copy = new float[16]();
    std::memcpy(copy, values, sizeof(float) * static_cast<size_t>(count));
    if (!m_pParent->PostMessage(UM_SESSION_REQUEST, static_cast<WPARAM>(code), reinterpret_cast<LPARAM>(copy))) {
        delete[] copy;
    }
}

void CD3DViewer::MoveAvatarTo(int index, const D3DXVECTOR3& target)
{
    AVATAR_SLOT& slot = m_slots[index];
    if (!slot.byInUse || !m_pScene || !g_pAvatarScene) {
        return;
    }
    if (slot.byStopped) {
        slot.byStopped = 0;
        slot.byPose = AVATAR_SLOT::POSE_WALKING;
        const int walk = g_pAvatarScene->m_nWalkMotion[slot.nGender];
        m_pScene->SetMotion(slot.hAvatar, walk, walk);
        m_pScene->StartMotion(slot.hAvatar);
    } else {
        m_pScene->StopAvatar(slot.hAvatar);
    }
    D3DXVECTOR3 to = target;
    m_pScene->MoveToAvatar(slot.hAvatar, to);
}

void CD3DViewer::UpdatePicking()
{
    D3DXVECTOR3 own, front;
    if (!OwnPosition(&own, &front)) {
        m_bClickPending = 0;
        return;
    }
    if (g_pSession) {
        // Published for the frame's zoom and the session's own record.
        g_pSession->m_OwnAvatar.fGroundX = own.x;
        g_pSession->m_OwnAvatar.fGroundZ = own.z;
    }
    m_pScene->CheckProximity(own);
    POINT mouse{m_nMouseX, m_nMouseY};
    _KRA_HANDLE ground = 0;
    float groundDistance = kFar;
    D3DXVECTOR3 target(0.0f, 0.0f, 0.0f);
    const bool groundHit = m_pScene->TestGroundPicking(mouse, ground, groundDistance, target) >= 0;
    m_bWalkable = groundHit ? 1 : 0;
    if (!groundHit || !m_bClickPending) {
        m_bClickPending = 0;
        return;
    }
    m_bClickPending = 0;
    AVATAR_SLOT& mine = m_slots[0];
    if (mine.byPose == AVATAR_SLOT::POSE_SEATED) {
        const float nothing[1] = {0.0f};
        PostMoveRequest(REQ_MOVE_SITUP, nothing, 0);
        StandUpAvatar(mine.nUserKey);
        return;
    }
    if (mine.byPose == AVATAR_SLOT::POSE_SITTING_DOWN || mine.byPose == AVATAR_SLOT::POSE_WALKING_TO_SEAT) {
        return;
    }
    if (!GameAllowsWalk(&target)) {
        return;
    }
    D3DXVECTOR3 allowed = target;
    m_pScene->CheckCollision(own, target, allowed);
    if (allowed == m_vLastTarget) {
        return;
    }
    m_vLastTarget = allowed;
    if (m_bDragWalk) {
        D3DXVECTOR3 direction = allowed - own;
        if (D3DXVec3Length(&direction) > 0.0f) {
            D3DXVec3Normalize(&direction, &direction);
        }
        allowed = own + direction * kTurnOnly;
    }
    const float request[6] = {own.x, own.y, own.z, allowed.x, allowed.y, allowed.z};
    PostMoveRequest(REQ_MOVE_START, request, 6);
    MoveAvatarTo(0, allowed);
}

void CD3DViewer::OnLButtonDown(UINT flags, CPoint point)
{
    m_nMouseX = point.x;
    m_nMouseY = point.y;
    SetCapture();
    SetFocus();
    if (m_nState == STATE_LOBBY || m_nState == STATE_ROOM) {
        m_bClickPending = 1;
        m_bButtonHeld = 1;
        m_bDragWalk = flags == (MK_LBUTTON | MK_SHIFT) ? 1 : 0;
    }
}

void CD3DViewer::OnLButtonUp(UINT, CPoint)
{
    if (::GetCapture() == GetSafeHwnd()) {
        m_bButtonHeld = 0;
        ::ReleaseCapture();
    }
    if (m_pParent) {
        m_pParent->SetFocus();
    }
}

void CD3DViewer::OnMouseMove(UINT, CPoint point)
{
    m_nMouseX = point.x;
    m_nMouseY = point.y;
}

BOOL CD3DViewer::OnSetCursor(CWnd*, UINT, UINT)
{
    CClientApp* app = ClientApp();
    if (!app) {
        return FALSE;
    }
    const bool place = m_nState == STATE_LOBBY || m_nState == STATE_ROOM;
    HCURSOR cursor = place && !m_bWalkable && app->m_hNotMoveCursor ? app->m_hNotMoveCursor : app->m_hDefaultCursor;
    if (cursor) {
        ::SetCursor(cursor);
    }
    return TRUE;
}

void CD3DViewer::WalkToSeat(long user, const float seat[16])
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount || !m_pScene || !g_pAvatarScene) {
        return;
    }
    AVATAR_SLOT& slot = m_slots[index];
    D3DXMATRIX matrix(seat);
    slot.byPose = AVATAR_SLOT::POSE_WALKING_TO_SEAT;
    slot.nSeat[0] = static_cast<int>(matrix._41);
    slot.nSeat[1] = static_cast<int>(matrix._42);
    slot.nSeat[2] = static_cast<int>(matrix._43);
    D3DXVECTOR3 ahead(0.0f, 0.0f, 15.0f), target, direction(matrix._31, matrix._32, matrix._33);
    D3DXVec3TransformCoord(&target, &ahead, &matrix);
    const int walk = g_pAvatarScene->m_nWalkMotion[slot.nGender];
    m_pScene->SetMotion(slot.hAvatar, walk, walk);
    m_pScene->StartMotion(slot.hAvatar);
    m_pScene->MoveAndRotateAvatar(slot.hAvatar, target, direction);
}

void CD3DViewer::StandUpAvatar(long user)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount || !m_pScene || !g_pAvatarScene) {
        return;
    }
    AVATAR_SLOT& slot = m_slots[index];
    const int g = slot.nGender;
    m_pScene->SetMotion(slot.hAvatar, g_pAvatarScene->m_nStandUpMotion[g], g_pAvatarScene->m_nIdleMotion[g]);
    m_pScene->StartMotion(slot.hAvatar);
    slot.byPose = AVATAR_SLOT::POSE_STANDING_UP;
}
