// What members say in the 3D view: their chat as balloons over their avatars for a while, and the
// motions their chat carries.
#include "AvatarScene.h"
#include "ChatWnd.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "D3DViewer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kBalloonFormat = 0x1A111;

// How many frames a balloon stays: longer when more avatars share the view.
int BalloonFrames(const AVATAR_SLOT* slots)
{
    const int present = static_cast<int>(
        std::count_if(slots, slots + kAvatarSlotCount, [](const AVATAR_SLOT& slot) { return slot.byInUse != 0; }));
    return present <= 10 ? 150 : present <= 20 ? 225 : 300;
}

} // namespace

void CD3DViewer::SetBalloon(long user, LPCSTR text, int colour)
{
    if ((m_nState != STATE_LOBBY && m_nState != STATE_ROOM) || !text) {
        return;
    }
    CString trimmed(text);
    trimmed.Trim();
    if (trimmed.IsEmpty()) {
        return;
    }
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount) {
        return;
    }
    AVATAR_SLOT& slot = m_slots[index];
    // Cut to the slot's field, never inside a double-byte character.
    CopyField(slot.szBalloon, trimmed, static_cast<size_t>(trimmed.GetLength()));
    slot.byColour = static_cast<BYTE>(colour);
    slot.nBalloonFrames = BalloonFrames(m_slots);
}

void CD3DViewer::PlayUserEmotion(long user, int emotion)
{
    CGlobalLock lock;
    const int index = FindSlot(user);
    if (index >= kAvatarSlotCount || !g_pAvatarScene) {
        return;
    }
    AVATAR_SLOT& slot = m_slots[index];
    if (slot.byPose == AVATAR_SLOT::POSE_WALKING || slot.byPose == AVATAR_SLOT::POSE_SEATED) {
        return;
    }
    char trace[96];
    std::snprintf(trace, sizeof(trace), "== CD3DViewer::PlayUserEmotion : user %ld emotion %d\n", user, emotion);
    ::OutputDebugStringA(trace);
    g_pAvatarScene->PlayEmotion(&slot.hAvatar, slot.nGender ? 'F' : 'M', emotion);
    slot.byPose = AVATAR_SLOT::POSE_IDLE;
}

void CD3DViewer::DrawBalloons()
{
    // Runs inside the frame, under the lock.
    const D3DXVECTOR3 eye = m_pScene->GetEyePosition();
    const D3DXVECTOR3 look = m_pScene->GetLookAtPosition() - eye;
    struct Shown {
        int index;
        float distance;
    };
    Shown shown[kAvatarSlotCount];
    int count = 0;
    for (int i = 0; i < kAvatarSlotCount; ++i) {
        AVATAR_SLOT& slot = m_slots[i];
        if (slot.nBalloonFrames > 0) {
            --slot.nBalloonFrames;
        }
        if (!slot.byInUse || slot.nBalloonFrames <= 0 || !slot.szBalloon[0]) {
            continue;
        }
        D3DXMATRIX place;
        m_pScene->GetAvatarMatrix(slot.hAvatar, place);
        const D3DXVECTOR3 toAvatar = D3DXVECTOR3(place._41, place._42, place._43) - eye;
        if (D3DXVec3Dot(&toAvatar, &look) <= 0.0f) {
            continue; // behind the eye
        }
        shown[count++] = {i, D3DXVec3Length(&toAvatar)};
    }
    // The farthest first, so nearer balloons lie over farther ones.
    std::sort(shown, shown + count, [](const Shown& a, const Shown& b) { return a.distance > b.distance; });
    for (int n = 0; n < count; ++n) {
        AVATAR_SLOT& slot = m_slots[shown[n].index];
        D3DXVECTOR3 screen;
        if (m_pScene->GetAvatar2DPosition(slot.hAvatar, 0.0f, 6.0f, 0.0f, screen) < 0) {
            continue;
        }
        const LONG x = static_cast<LONG>(screen.x);
        const LONG y = static_cast<LONG>(screen.y);
        RECT box{x - 100, y - 100, x + 100, y - 10};
        // The table's 0x00BBGGRR as the engine's 0xAARRGGBB.
        const COLORREF colour = CChatWnd::ChatColour(slot.byColour);
        const DWORD argb = 0xFF000000 | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        char text[sizeof(slot.szBalloon)];
        std::memcpy(text, slot.szBalloon, sizeof(text));
        m_pScene->DrawID(text, &box, kBalloonFormat, argb, true,
                         shown[n].index == 0 ? &m_hOwnBalloon : &m_hOtherBalloon, 0);
    }
}
