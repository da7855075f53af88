// The motion half of the avatar manager: the per-kind motion library and each avatar's playing.
#include "KRAAvatarManager.h"

#include "KRAFile.h"
#include "KRAManager.h"

#include <algorithm>

#include <windows.h>

LONG CKRAAvatarManager::ReadMotion(const char* szFile, int nKind, KRA_MOTION_FILE_DATA& file)
{
    std::vector<uint8_t> vBytes;
    if (!szFile || !KRAReadWholeFile(szFile, vBytes))
        return KRA_E_MISSING_PART;
    if (nKind < 0 || size_t(nKind) >= m_vKinds.size())
        return KRA_E_INVALID_ARGUMENT;
    LONG l = KRAParseMotionFile(vBytes.data(), vBytes.size(), file);
    if (l != KRA_OK)
        return l;
    MotionKind& kind = m_vKinds[size_t(nKind)];
    if (!kind.pInverseBindPose) {
        CKRAMotion motion;
        motion.Load(file);
        kind.pInverseBindPose.reset(new D3DXMATRIX[KRA_MOTION_TRACK_MAX]);
        D3DXMATRIX amInverse[KRA_MOTION_TRACK_MAX];
        motion.InverseBindPose(amInverse);
        std::copy(amInverse, amInverse + KRA_MOTION_TRACK_MAX, kind.pInverseBindPose.get());
    }
    return KRA_OK;
}

LONG CKRAAvatarManager::LoadInitMotion(const char* szFile, int nKind)
{
    KRA_MOTION_FILE_DATA file;
    return ReadMotion(szFile, nKind, file);
}

LONG CKRAAvatarManager::LoadMotion(const char* szFile, int nKind)
{
    if (nKind >= 0 && size_t(nKind) < m_vKinds.size() && m_vKinds[size_t(nKind)].vMotions.size() >= m_nMotionCapacity)
        return KRA_E_INVALID_ARGUMENT;
    KRA_MOTION_FILE_DATA file;
    LONG l = ReadMotion(szFile, nKind, file);
    if (l != KRA_OK)
        return l;
    std::vector<CKRAMotion>& vMotions = m_vKinds[size_t(nKind)].vMotions;
    vMotions.emplace_back();
    vMotions.back().Load(file);
    return LONG(vMotions.size() - 1);
}

const D3DXMATRIX* CKRAAvatarManager::InverseBindPose(int nKind) const
{
    if (nKind < 0 || size_t(nKind) >= m_vKinds.size())
        return nullptr;
    return m_vKinds[size_t(nKind)].pInverseBindPose.get();
}

const CKRAMotion* CKRAAvatarManager::Motion(int nKind, int nMotion) const
{
    if (nKind < 0 || size_t(nKind) >= m_vKinds.size() || nMotion < 0 ||
        size_t(nMotion) >= m_vKinds[size_t(nKind)].vMotions.size())
        return nullptr;
    return &m_vKinds[size_t(nKind)].vMotions[size_t(nMotion)];
}

LONG CKRAAvatarManager::SetMotionType(_KRA_HANDLE hAvatar, int nKind)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        avatar.m_nMotionKind = nKind;
        return KRA_OK;
    });
}

int CKRAAvatarManager::GetMotionType(_KRA_HANDLE hAvatar) const
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    return pAvatar ? pAvatar->m_nMotionKind : -1;
}

LONG CKRAAvatarManager::SetMotion(_KRA_HANDLE hAvatar, int nMotion, int nNextMotion)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        avatar.m_nMotion = nMotion;
        avatar.m_nNextMotion = nNextMotion;
        return KRA_OK;
    });
}

int CKRAAvatarManager::GetCurrentMotion(_KRA_HANDLE hAvatar) const
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    return pAvatar ? pAvatar->m_nMotion : -1;
}

LONG CKRAAvatarManager::StartMotion(_KRA_HANDLE hAvatar)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        if (avatar.m_nMotionKind >= 0 && size_t(avatar.m_nMotionKind) < m_vKinds.size() &&
            !m_vKinds[size_t(avatar.m_nMotionKind)].vMotions.empty()) {
            avatar.m_fMotionStart = KRAAvatarClock() - avatar.m_fClockBase;
            avatar.m_bPlaying = true;
        }
        return KRA_OK;
    });
}

LONG CKRAAvatarManager::SetLoopMotion(_KRA_HANDLE hAvatar, bool bLoop)
{
    return WithAvatar(hAvatar, [&](CKRAAvatar& avatar) {
        avatar.m_bLoop = bLoop;
        return KRA_OK;
    });
}

const D3DXMATRIX* CKRAAvatarManager::SampleMotion(_KRA_HANDLE hAvatar)
{
    CKRAAvatar* pAvatar = m_cAvatars.Lookup(hAvatar);
    if (!pAvatar)
        return nullptr;
    const CKRAMotion* pMotion = Motion(pAvatar->m_nMotionKind, pAvatar->m_nMotion);
    // Without a motion to play there is no pose but the bind pose.
    if (!pMotion)
        return pAvatar->m_amBones;
    double fElapsed = (KRAAvatarClock() - pAvatar->m_fClockBase - pAvatar->m_fMotionStart) * 1000.0;
    int nMotion = pAvatar->m_nMotion;
    if (double(pMotion->Duration()) <= fElapsed) {
        pAvatar->m_bPlaying = false;
        pAvatar->m_fMotionStart = 0;
        pAvatar->m_nKey = 0;
        pAvatar->m_fKeyFraction = 0;
        if (KRA_MESSAGE_PROC pfProc = CKRAManager::GetMessageProc()) {
            DWORD adwData[2] = {hAvatar, DWORD(nMotion)};
            pfProc(KRA_MSG_MOTION_END, 0, adwData);
            // The callback may have unloaded the avatar or changed what it plays.
            pAvatar = m_cAvatars.Lookup(hAvatar);
            if (!pAvatar)
                return nullptr;
            pMotion = Motion(pAvatar->m_nMotionKind, pAvatar->m_nMotion);
            // A motion started by the callback is sampled from its own start.
            fElapsed = (KRAAvatarClock() - pAvatar->m_fClockBase - pAvatar->m_fMotionStart) * 1000.0;
        }
    }
    if (pAvatar->m_bPlaying && pMotion) {
        KRA_MOTION_KEY_POSITION at = pMotion->KeyAt(fElapsed);
        pAvatar->m_nKey = at.nKey;
        pAvatar->m_fKeyFraction = at.fFraction;
        pMotion->Sample(at, Motion(pAvatar->m_nMotionKind, pAvatar->m_nNextMotion), pAvatar->m_amBones,
                        &pAvatar->m_vHead);
    }
    if (pAvatar->m_bLoop && !pAvatar->m_bPlaying) {
        pAvatar->m_nKey = 0;
        pAvatar->m_fKeyFraction = 0;
        pAvatar->m_bPlaying = true;
        pAvatar->m_fMotionStart = KRAAvatarClock() - pAvatar->m_fClockBase;
    }
    return pAvatar->m_amBones;
}
