// The input half of the 3D view: what lies under the mouse in each frame (the ground, seats and
// other event objects, avatars), walking the own avatar where the member clicks, taking a seat and
// standing up, turning avatars, turning the camera with right-button drags, the hovered avatar's
// name, and the mouse handlers that hand all this to the next frame.
#include "AvatarScene.h"
#include "AvatarTurn.h"
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
constexpr DWORD kRepeatMs = 201;    // a held, moving button clicks again this often
constexpr float kDragX = 0.0703125f;
constexpr float kDragY = 0.09375f;
constexpr float kDragTurn = 15.0f;
constexpr float kMinEyeHeight = 45.0f;
constexpr float kMinFlatCosine = 0.3f;
constexpr float kMinFrontCosine = 0.7f;
constexpr float kSeatLookHeight = 35.0f;
constexpr float kStandLookHeight = 45.0f;
constexpr float kNameAbove = 2.0f;
constexpr DWORD kNameFormat = 0x111;
constexpr DWORD kNameColour = 0xFF000001;
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

BOOL CD3DViewer::SeatTaken(const D3DXMATRIX& seat) const
{
    const int place[3] = {static_cast<int>(seat._41), static_cast<int>(seat._42), static_cast<int>(seat._43)};
    for (const AVATAR_SLOT& slot : m_slots) {
        const bool seated = slot.byPose == AVATAR_SLOT::POSE_SEATED || slot.byPose == AVATAR_SLOT::POSE_SITTING_DOWN ||
                            slot.byPose == AVATAR_SLOT::POSE_WALKING_TO_SEAT;
        if (slot.byInUse && seated && std::memcmp(slot.nSeat, place, sizeof(place)) == 0) {
            return TRUE;
        }
    }
    return FALSE;
}

void CD3DViewer::Unaccent()
{
    if (m_hAccented && m_pScene) {
        m_pScene->SetAccentedSceneObject(m_hAccented, false);
    }
    m_hAccented = 0;
}

void CD3DViewer::SetLookAtOwn(float height)
{
    D3DXVECTOR3 own;
    if (!OwnPosition(&own, nullptr)) {
        return;
    }
    D3DXVECTOR3 eye = m_pScene->GetEyePosition();
    D3DXVECTOR3 at(own.x, height, own.z);
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    m_pScene->SetCameraPosition(eye, at, up);
}

void CD3DViewer::RepeatHeldClick()
{
    // Holding the button down while moving the mouse keeps walking towards it.
    const DWORD now = ::GetTickCount();
    if (m_bButtonHeld && m_bMoved && now - m_dwButtonStamp.load() >= kRepeatMs) {
        m_bClickPending = 1;
        m_dwButtonStamp = now;
    }
}

void CD3DViewer::TurnCameraByDrag()
{
    const float dx = m_fRotateX.exchange(0.0f) * kDragTurn;
    const float dy = m_fRotateY.exchange(0.0f) * kDragTurn;
    if ((dx == 0.0f && dy == 0.0f) || !m_pScene) {
        return;
    }
    const D3DXVECTOR3 eye = m_pScene->GetEyePosition();
    const D3DXVECTOR3 at = m_pScene->GetLookAtPosition();
    const D3DXVECTOR3 up = m_pScene->GetUpVector();
    m_pScene->Rotate(dx, dy);
    // The camera neither dives under the ground nor looks straight down.
    const D3DXVECTOR3 turnedEye = m_pScene->GetEyePosition();
    D3DXVECTOR3 look = m_pScene->GetLookAtPosition() - turnedEye;
    D3DXVECTOR3 flat(look.x, 0.0f, look.z);
    const float lookLength = D3DXVec3Length(&look);
    const bool dropY =
        turnedEye.y < kMinEyeHeight || lookLength <= 0.0f || D3DXVec3Length(&flat) / lookLength < kMinFlatCosine;
    // Two lobbies are built to be seen from their front only.
    bool dropX = false;
    D3DXVECTOR3 own;
    if (m_nState == STATE_LOBBY && (m_nPlaceType == 1 || m_nPlaceType == 3) && !m_bFreeCamera &&
        OwnPosition(&own, nullptr)) {
        D3DXVECTOR3 side(turnedEye.x - own.x, 0.0f, turnedEye.z - own.z);
        const float length = D3DXVec3Length(&side);
        dropX = length > 0.0f && -side.z / length < kMinFrontCosine;
    }
    if (dropX || dropY) {
        D3DXVECTOR3 e = eye, a = at, u = up;
        m_pScene->SetCameraPosition(e, a, u);
        const float keptX = dropX ? 0.0f : dx, keptY = dropY ? 0.0f : dy;
        if (keptX != 0.0f || keptY != 0.0f) {
            m_pScene->Rotate(keptX, keptY);
        }
    }
}

void CD3DViewer::ClickGround(D3DXVECTOR3 own, const D3DXVECTOR3& target)
{
    AVATAR_SLOT& mine = m_slots[0];
    if (mine.byPose == AVATAR_SLOT::POSE_SEATED) {
        const float nothing[1] = {0.0f};
        PostMoveRequest(REQ_MOVE_SITUP, nothing, 0);
        StandUpAvatar(mine.nUserKey);
        SetLookAtOwn(kStandLookHeight);
        return;
    }
    if (mine.byPose == AVATAR_SLOT::POSE_SITTING_DOWN || mine.byPose == AVATAR_SLOT::POSE_WALKING_TO_SEAT) {
        return;
    }
    // In the party-game room the walk goes to the middle of the board cell clicked, or nowhere.
    D3DXVECTOR3 wanted = target;
    if (!GameAllowsWalk(&wanted)) {
        return;
    }
    D3DXVECTOR3 allowed = wanted;
    m_pScene->CheckCollision(own, wanted, allowed);
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

void CD3DViewer::UpdatePicking()
{
    RepeatHeldClick();
    TurnCameraByDrag();
    D3DXVECTOR3 own, front;
    if (!OwnPosition(&own, &front)) {
        m_bClickPending = 0;
        return;
    }
    if (g_pSession) {
        // Published for the frame's zoom and the session's own record (told to newcomers).
        g_pSession->m_OwnAvatar.fGroundX = own.x;
        g_pSession->m_OwnAvatar.fGroundZ = own.z;
        g_pSession->m_OwnAvatar.fPosition[0] = own.x;
        g_pSession->m_OwnAvatar.fPosition[1] = own.y;
        g_pSession->m_OwnAvatar.fPosition[2] = own.z;
    }
    m_pScene->CheckProximity(own);
    POINT mouse{m_nMouseX, m_nMouseY};
    _KRA_HANDLE ground = 0, object = 0;
    float groundDistance = kFar, objectDistance = kFar, avatarDistance = kFar;
    D3DXVECTOR3 target(0.0f, 0.0f, 0.0f);
    const bool groundHit = m_pScene->TestGroundPicking(mouse, ground, groundDistance, target) >= 0;
    _KRA_ACTION_PICKING action{-1, 0};
    D3DXMATRIX seat;
    D3DXMatrixIdentity(&seat);
    const bool objectHit =
        m_pScene->TestEventObjectPicking(mouse, object, objectDistance, &action, &seat) >= 0 && object;
    if (!objectHit) {
        objectDistance = kFar;
    }
    // The engine tests the avatars as it draws them, at the point given one frame before: after
    // the mouse has jumped, what it found lies under the old point, and a click waits a frame.
    const bool fresh = mouse.x == m_ptPicking.x && mouse.y == m_ptPicking.y;
    m_ptPicking = mouse;
    m_pScene->SetAvatarPickingPosition(mouse);
    // Taken whole: a click that arrives meanwhile waits for the next frame.
    bool click = m_bClickPending.exchange(0) != 0;
    const bool wait = click && !fresh && !m_bClickDeferred;
    m_bClickDeferred = wait;
    if (wait) {
        click = false; // this frame only looks
        m_bClickPending = 1;
    }
    int picked = kAvatarSlotCount;
    if (m_pScene->HasAvatarSoftPicking() >= 0) {
        _KRA_HANDLE avatar = 0, item = 0;
        float distance = kFar;
        m_pScene->GetPickedAvatarHandle(avatar, item, distance);
        m_pScene->ResetAvatarSoftPicking(false);
        for (int i = 0; i < kAvatarSlotCount && avatar; ++i) {
            if (m_slots[i].byInUse && m_slots[i].hAvatar == avatar) {
                picked = i;
                avatarDistance = distance;
            }
        }
    }
    m_bWalkable = groundHit && ground ? 1 : 0;

    // An event object in front of everything else: lit up, and a click there takes the seat.
    const bool objectNearest = objectHit && objectDistance < groundDistance && objectDistance < avatarDistance;
    if (objectNearest && !SeatTaken(seat)) {
        if (m_hAccented != object) {
            Unaccent();
            m_hAccented = object;
            m_pScene->SetAccentedSceneObject(m_hAccented, true);
        }
        m_nPickedKind = action.m_nActionCode;
        m_bWalkable = 1;
        const BYTE pose = m_slots[0].byPose;
        const bool busy = pose >= AVATAR_SLOT::POSE_SEATED && pose <= AVATAR_SLOT::POSE_WALKING_TO_SEAT;
        if (click && m_nPickedKind == 0 && !busy) {
            m_mSeatRequest = seat;
            PostMoveRequest(REQ_MOVE_ROTATE, static_cast<const float*>(m_mSeatRequest), 16);
            WalkToSeat(m_slots[0].nUserKey, static_cast<const float*>(m_mSeatRequest));
            SetLookAtOwn(kSeatLookHeight);
        }
    } else {
        Unaccent();
        m_nPickedKind = -1;
    }
    if (!objectHit && !groundHit && picked == kAvatarSlotCount) {
        m_nHoveredSlot = -1;
        m_bMenuEnabled = 0;
        DrawHoveredName();
        return;
    }

    // An avatar in front: its name shows; another member's avatar takes the right button and,
    // outside the party-game room, keeps a click from walking through it.
    float blocking = kFar;
    if (picked < kAvatarSlotCount && avatarDistance < groundDistance && avatarDistance < objectDistance) {
        m_nHoveredSlot = picked;
        const bool other = picked != 0;
        m_bMenuEnabled = other ? 1 : 0;
        if (other && !(m_nState == STATE_ROOM && m_nPlaceType == 4)) {
            blocking = avatarDistance;
        }
    } else {
        m_nHoveredSlot = -1;
        m_bMenuEnabled = 0;
    }

    if (groundHit && click && groundDistance < objectDistance && groundDistance < blocking) {
        ClickGround(own, target);
    }
    DrawHoveredName();
}

void CD3DViewer::DrawHoveredName()
{
    const int index = m_nHoveredSlot;
    if (index < 0 || index >= kAvatarSlotCount || !m_slots[index].byInUse || !m_bAvatarsShown) {
        return;
    }
    AVATAR_SLOT& slot = m_slots[index];
    D3DXVECTOR3 at;
    if (m_pScene->GetAvatar2DPosition(slot.hAvatar, 0.0f, kNameAbove, 0.0f, at) < 0) {
        return;
    }
    const LONG x = static_cast<LONG>(at.x), y = static_cast<LONG>(at.y);
    // A white outline first, then the name itself over it.
    RECT outline[4] = {{x - 100, y - 45, x + 100, y - 1},
                       {x - 100, y - 44, x + 100, y + 1},
                       {x - 101, y - 45, x + 99, y},
                       {x - 99, y - 45, x + 101, y}};
    for (RECT& box : outline) {
        m_pScene->DrawID(slot.szNickname, &box, kNameFormat, 0xFFFFFFFF, false, nullptr, 0);
    }
    RECT box{x - 100, y - 45, x + 100, y};
    m_pScene->DrawID(slot.szNickname, &box, kNameFormat, kNameColour, false, nullptr, 0);
}

void CD3DViewer::OnLButtonDown(UINT flags, CPoint point)
{
    m_nMouseX = point.x;
    m_nMouseY = point.y;
    SetCapture();
    SetFocus();
    if (m_nState == STATE_LOBBY || m_nState == STATE_ROOM) {
        m_bClickPending = 1;
        m_dwButtonStamp = ::GetTickCount();
        m_bMoved = 0;
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

void CD3DViewer::OnMouseMove(UINT flags, CPoint point)
{
    const int lastX = m_nMouseX.exchange(point.x);
    const int lastY = m_nMouseY.exchange(point.y);
    const bool captured = ::GetCapture() == GetSafeHwnd();
    m_bMoved = captured ? 1 : 0;
    const bool place = m_nState == STATE_LOBBY || (m_nState == STATE_ROOM && (m_nPlaceType != 4 || m_bFreeCamera));
    if (captured && place && (flags & MK_RBUTTON)) {
        m_bDragging = 1;
        m_fRotateX = m_fRotateX.load() + static_cast<float>(point.x - lastX) * kDragX;
        m_fRotateY = m_fRotateY.load() + static_cast<float>(point.y - lastY) * kDragY;
    }
}

void CD3DViewer::OnRButtonUp(UINT, CPoint)
{
    m_bDragging = 0;
    if (::GetCapture() == GetSafeHwnd()) {
        ::ReleaseCapture();
    }
    if (m_pParent) {
        m_pParent->SetFocus();
    }
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
    slot.byStopped = 0;
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

void CD3DViewer::TurnAvatar(int index, const D3DXVECTOR3& position, const D3DXVECTOR3& direction)
{
    AVATAR_SLOT& slot = m_slots[index];
    if (!slot.byInUse || !m_pScene) {
        return;
    }
    D3DXMATRIX placed;
    m_pScene->GetAvatarMatrix(slot.hAvatar, placed);
    placed._41 = position.x;
    placed._42 = position.y;
    placed._43 = position.z;
    m_pScene->SetAvatarMatrix(slot.hAvatar, placed);
    D3DXVECTOR3 front;
    m_pScene->GetAvatarFrontVector(slot.hAvatar, front);
    const float degrees = AvatarTurnDegrees(front, direction);
    if (degrees != 0.0f) {
        D3DXVECTOR3 turn(0.0f, degrees, 0.0f);
        m_pScene->RotateAvatar(slot.hAvatar, turn);
    }
}

void CD3DViewer::TurnUser(long user, const float values[6])
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index < kAvatarSlotCount) {
        TurnAvatar(index, D3DXVECTOR3(values[0], values[1], values[2]), D3DXVECTOR3(values[3], values[4], values[5]));
    }
}
