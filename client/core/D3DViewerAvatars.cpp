// The members' avatars in the 3D view: the 30 slots, adding and removing avatars, their walks
// and faces, and the engine's messages about them.
#include "AvatarScene.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "D3DViewer.h"
#include "MainFrame.h"

#include <NotifyDlg.h>

#include <cstring>

namespace {
constexpr UINT kWalkSpeed = 44;
constexpr LONG kMotionEnded = 0x12001;
constexpr LONG kMoveEnded = 0x12002;
constexpr LONG kMoveAndRotateEnded = 0x12003;
} // namespace

int CD3DViewer::FindSlot(long user) const
{
    for (int i = 0; i < kAvatarSlotCount; ++i) {
        if (m_slots[i].byInUse && m_slots[i].nUserKey == user) {
            return i;
        }
    }
    return kAvatarSlotCount;
}

int CD3DViewer::GetAvatarSlot(long user, AVATAR_SLOT* copy)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index < kAvatarSlotCount && copy) {
        *copy = m_slots[index];
    }
    return index;
}

void CD3DViewer::AddUserAvatar(OWN_AVATAR_INFO* record, const float position[3])
{
    if (!record || !m_pScene || !g_pAvatarScene) {
        return;
    }
    const bool own = g_pSession && record->lUser == g_pSession->m_OwnUser.lUser;
    CString failure;
    {
        CGlobalLock lock;
        if (FindSlot(record->lUser) < kAvatarSlotCount) {
            return; // already present
        }
        int index = own ? 0 : 1;
        while (index < kAvatarSlotCount && m_slots[index].byInUse) {
            index = own ? kAvatarSlotCount : index + 1;
        }
        if (index >= kAvatarSlotCount) {
            return;
        }
        const char gender = record->cLetter[0];
        if (gender != 'M' && gender != 'F') {
            // One bad record of another member never ends the program; the own one does.
            if (own) {
                failure = "\xC7\xD1\xB1\xDB_\xC0\xDF\xB8\xF8\xB5\xC8 \xBC\xBA\xBA\xB0 \xC1\xA4\xBA\xB8\xB0\xA1 "
                          "\xB3\xD1\xBE\xEE\xBF\xD4\xBD\xC0\xB4\xCF\xB4\xD9";
            }
        } else {
            AVATAR_SLOT& slot = m_slots[index];
            slot = AVATAR_SLOT{};
            slot.nGender = gender == 'M' ? 0 : 1;
            CopyField(slot.szID, record->szID, sizeof(record->szID));
            CopyField(slot.szNickname, record->szNickname, sizeof(record->szNickname));
            if (!g_pAvatarScene->LoadAvatar(static_cast<DWORD>(record->lUser), &slot.hAvatar, gender,
                                            record->wornItems)) {
                slot = AVATAR_SLOT{};
                if (own) {
                    failure = "\xC7\xD1\xB1\xDB_\xBE\xC6\xB9\xD9\xC5\xB8 \xBB\xFD\xBC\xBA\xBF\xA1 "
                              "\xBD\xC7\xC6\xD0\xC7\xCF\xBF\xB4\xBD\xC0\xB4\xCF\xB4\xD9";
                }
            } else {
                slot.nUserKey = record->lUser;
                slot.byInUse = 1;
                slot.byPose = record->byState == AVATAR_SLOT::POSE_SEATED && !own ? AVATAR_SLOT::POSE_SEATED
                                                                                  : AVATAR_SLOT::POSE_IDLE;
                // A newcomer faces into the scene (+z), away from the camera that follows it.
                D3DXMATRIX turn, move, place;
                D3DXMatrixRotationY(&turn, D3DX_PI);
                D3DXMatrixTranslation(&move, position[0], position[1], position[2]);
                D3DXMatrixMultiply(&place, &turn, &move);
                m_pScene->SetAvatarMatrix(slot.hAvatar, place);
                m_pScene->SetMotionType(slot.hAvatar, slot.nGender);
                m_pScene->SetWalkSpeedOfAvatar(slot.hAvatar, kWalkSpeed);
                const int motion = slot.byPose == AVATAR_SLOT::POSE_SEATED
                                       ? g_pAvatarScene->m_nSeatedMotion[slot.nGender]
                                       : g_pAvatarScene->m_nIdleMotion[slot.nGender];
                m_pScene->SetMotion(slot.hAvatar, motion, motion);
                m_pScene->StartMotion(slot.hAvatar);
                m_pScene->StopAvatar(slot.hAvatar);
                slot.byFace = static_cast<BYTE>(record->cLetter[1]);
                g_pAvatarScene->SetFaceByLetter(&slot.hAvatar, gender, record->cLetter[1]);
                const bool gameRoom = m_nState == STATE_ROOM && m_nPlaceType == 4;
                if (own) {
                    if (gameRoom) {
                        m_pScene->ChangeLocalCameraToGlobalCamera();
                    } else {
                        m_pScene->ChangeGlobalCameraToLocalCamera(slot.hAvatar);
                    }
                    m_pScene->SetAvatarSoftPicking(true);
                    D3DXVECTOR3 at(position[0], 45.0f, position[2]);
                    D3DXVECTOR3 eye(position[0], m_nState == STATE_LOBBY && m_nPlaceType == 4 ? 45.0f : 60.0f,
                                    position[2] - 80.0f);
                    if (gameRoom) {
                        // The whole board from above its near edge.
                        const int board = GameBoardSize();
                        at = D3DXVECTOR3(0.0f, 0.0f, -5.0f);
                        eye = board == 7   ? D3DXVECTOR3(0.0f, 450.0f, -130.0f)
                              : board == 6 ? D3DXVECTOR3(0.0f, 400.0f, -130.0f)
                                           : D3DXVECTOR3(0.0f, 350.0f, -110.0f);
                    }
                    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
                    m_pScene->SetCameraPosition(eye, at, up);
                    m_bOwnAvatarPlaced = 1;
                }
                if (gameRoom) {
                    AnnounceGamePlayer(index);
                }
            }
        }
    }
    if (!failure.IsEmpty()) {
        ShowNotifyBox(failure, 0, 13);
        ::PostQuitMessage(0);
    }
}

void CD3DViewer::RemoveUserAvatar(long user)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount) {
        return;
    }
    if (m_pScene && m_slots[index].hAvatar) {
        m_pScene->UnloadAvatar(m_slots[index].hAvatar);
    }
    m_slots[index] = AVATAR_SLOT{};
    ForgetGamePlayer(index);
}

void CD3DViewer::RemoveAllAvatars()
{
    CGlobalLock lock;
    for (AVATAR_SLOT& slot : m_slots) {
        if (m_pScene && slot.hAvatar) {
            m_pScene->UnloadAvatar(slot.hAvatar);
        }
        slot = AVATAR_SLOT{};
    }
    m_bOwnAvatarPlaced = 0;
}

void CD3DViewer::MoveUserTo(long user, float x, float z)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount || !m_pScene || !g_pAvatarScene) {
        return;
    }
    AVATAR_SLOT& slot = m_slots[index];
    D3DXMATRIX now;
    m_pScene->GetAvatarMatrix(slot.hAvatar, now);
    D3DXVECTOR3 target(x, now._42, z);
    m_pScene->StopAvatar(slot.hAvatar);
    const int walk = g_pAvatarScene->m_nWalkMotion[slot.nGender];
    m_pScene->SetMotion(slot.hAvatar, walk, walk);
    m_pScene->StartMotion(slot.hAvatar);
    m_pScene->MoveToAvatar(slot.hAvatar, target);
    slot.byPose = AVATAR_SLOT::POSE_WALKING;
    slot.byStopped = 0;
}

void CD3DViewer::PlaceUser(long user, const float values[6])
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount || !m_pScene) {
        return;
    }
    // Where the member's walk ended, facing the way it ended.
    AVATAR_SLOT& slot = m_slots[index];
    m_pScene->StopAvatar(slot.hAvatar);
    TurnUser(user, values);
    slot.byPose = AVATAR_SLOT::POSE_IDLE;
    slot.byStopped = 1;
}

void CD3DViewer::SetUserFace(long user, char face)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount || !g_pAvatarScene) {
        return;
    }
    m_slots[index].byFace = static_cast<BYTE>(face);
    g_pAvatarScene->SetFaceByLetter(&m_slots[index].hAvatar, m_slots[index].nGender ? 'F' : 'M', face);
}

void CD3DViewer::RenameUser(long user, LPCSTR nickname)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index < kAvatarSlotCount && nickname) {
        CopyField(m_slots[index].szNickname, nickname, std::strlen(nickname));
    }
}

void CD3DViewer::ChangeUserItem(long user, char gender, char category, LPCSTR number, LPCSTR texture, BOOL putOn)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount || !g_pAvatarScene || category < '0' || category > '6') {
        return;
    }
    if (putOn) {
        g_pAvatarScene->PutOnItem(&m_slots[index].hAvatar, gender, category - '0', std::atoi(number), texture);
    } else {
        g_pAvatarScene->ChangeItem(&m_slots[index].hAvatar, gender, category - '0');
    }
}

void CD3DViewer::OnMoveEnded(_KRA_HANDLE avatar)
{
    // The own walk's end goes to the service with where the avatar stands and faces.
    D3DXVECTOR3 own, front;
    if (m_slots[0].byInUse && m_slots[0].hAvatar == avatar && OwnPosition(&own, &front)) {
        const float record[6] = {own.x, own.y, own.z, front.x, front.y, front.z};
        PostMoveRequest(REQ_MOVE_END, record, 6);
        // The game checks the step on the GUI thread: a finish there stops the game's thread,
        // which this worker must never wait for.
        if (m_pPFGame && m_pParent) {
            auto* copy = new float[3]{own.x, own.y, own.z};
            if (!m_pParent->PostMessage(UM_PFGAME_MOVED, 0, reinterpret_cast<LPARAM>(copy))) {
                delete[] copy;
            }
        }
    }
    for (AVATAR_SLOT& slot : m_slots) {
        if (slot.byInUse && slot.hAvatar == avatar && m_pScene && g_pAvatarScene) {
            m_pScene->StopAvatar(slot.hAvatar);
            const int idle = g_pAvatarScene->m_nIdleMotion[slot.nGender];
            m_pScene->SetMotion(slot.hAvatar, idle, idle);
            m_pScene->StartMotion(slot.hAvatar);
            slot.byPose = AVATAR_SLOT::POSE_IDLE;
            slot.byStopped = 1;
        }
    }
}

void CD3DViewer::OnMotionEnded(_KRA_HANDLE avatar)
{
    // Motions of avatars in no slot (previews) are not the view's.
    if (!g_pSession || !g_pSession->m_OwnUser.bHasAvatar || !m_pScene || !g_pAvatarScene) {
        return;
    }
    for (AVATAR_SLOT& slot : m_slots) {
        if (!slot.byInUse || slot.hAvatar != avatar) {
            continue;
        }
        const int g = slot.nGender;
        if (slot.byPose == AVATAR_SLOT::POSE_STANDING_UP) {
            slot.byPose = AVATAR_SLOT::POSE_IDLE;
        } else if (slot.byPose == AVATAR_SLOT::POSE_SITTING_DOWN) {
            m_pScene->SetMotion(slot.hAvatar, g_pAvatarScene->m_nSeatedMotion[g], g_pAvatarScene->m_nSeatedMotion[g]);
            m_pScene->StartMotion(slot.hAvatar);
            slot.byPose = AVATAR_SLOT::POSE_SEATED;
        }
        if (slot.byPose == AVATAR_SLOT::POSE_IDLE) {
            m_pScene->SetMotion(slot.hAvatar, g_pAvatarScene->m_nIdleMotion[g], g_pAvatarScene->m_nIdleMotion[g]);
            m_pScene->StartMotion(slot.hAvatar);
        }
        g_pAvatarScene->SetFaceByLetter(&slot.hAvatar, g ? 'F' : 'M', static_cast<char>(slot.byFace));
        return;
    }
}

void CD3DViewer::OnSeatReached(_KRA_HANDLE avatar)
{
    if (!m_pScene || !g_pAvatarScene) {
        return;
    }
    for (AVATAR_SLOT& slot : m_slots) {
        if (slot.byInUse && slot.hAvatar == avatar) {
            const int g = slot.nGender;
            m_pScene->SetMotion(slot.hAvatar, g_pAvatarScene->m_nSitDownMotion[g], g_pAvatarScene->m_nSeatedMotion[g]);
            m_pScene->StartMotion(slot.hAvatar);
            slot.byPose = AVATAR_SLOT::POSE_SITTING_DOWN;
            slot.byStopped = 1;
            return;
        }
    }
}

void CD3DViewer::EngineCallback(LONG code, LONG value, void* data)
{
    (void)value;
    if (code == 0) {
        g_pD3DViewer = static_cast<CD3DViewer*>(data);
        return;
    }
    CD3DViewer* view = g_pD3DViewer;
    if (!view || !data) {
        return;
    }
    // The data begins with the avatar's handle, valid during the call; engine calls run under the
    // lock.
    const _KRA_HANDLE avatar = *static_cast<const _KRA_HANDLE*>(data);
    if (code == kMoveEnded) {
        view->OnMoveEnded(avatar);
    } else if (code == kMotionEnded) {
        view->OnMotionEnded(avatar);
    } else if (code == kMoveAndRotateEnded) {
        view->OnSeatReached(avatar);
    }
}
