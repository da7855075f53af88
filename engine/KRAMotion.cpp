#include "KRAMotion.h"

#include "KRAItemFormat.h"

#include <cmath>

namespace {

D3DXMATRIX Pose(const D3DXQUATERNION& rotation, const D3DXVECTOR3& position)
{
    D3DXMATRIX mRotation, mTranslation, m;
    D3DXMatrixRotationQuaternion(&mRotation, &rotation);
    D3DXMatrixTranslation(&mTranslation, position.x, position.y, position.z);
    D3DXMatrixMultiply(&m, &mRotation, &mTranslation);
    return m;
}

} // namespace

void CKRAMotion::Load(const KRA_MOTION_FILE_DATA& file)
{
    m_dwKeyCount = file.dwKeyCount;
    m_dwDuration = file.dwDuration;
    m_vTracks.assign(file.vTracks.size(), CKRAMotionTrack());
    for (size_t t = 0; t < file.vTracks.size(); ++t) {
        const KRA_MOTION_TRACK_DATA& in = file.vTracks[t];
        CKRAMotionTrack& track = m_vTracks[t];
        track.dwBone = in.dwBone;
        track.vPositions.resize(m_dwKeyCount);
        track.vRotations.resize(m_dwKeyCount);
        for (DWORD k = 0; k < m_dwKeyCount; ++k) {
            const float* pPos = &in.vPositions[size_t(k) * 3];
            const float* pAngles = &in.vAngles[size_t(k) * 3];
            track.vPositions[k] = D3DXVECTOR3(pPos[0], pPos[1], pPos[2]);
            D3DXQuaternionRotationYawPitchRoll(&track.vRotations[k], pAngles[0], pAngles[1], pAngles[2]);
        }
    }
}

void CKRAMotion::InverseBindPose(D3DXMATRIX (&amOut)[KRA_MOTION_TRACK_MAX]) const
{
    for (D3DXMATRIX& m : amOut)
        D3DXMatrixIdentity(&m);
    for (size_t t = 0; t < m_vTracks.size() && t < KRA_MOTION_TRACK_MAX; ++t) {
        D3DXMATRIX m = Pose(m_vTracks[t].vRotations[0], m_vTracks[t].vPositions[0]);
        if (!D3DXMatrixInverse(&amOut[t], nullptr, &m))
            D3DXMatrixIdentity(&amOut[t]);
    }
}

KRA_MOTION_KEY_POSITION CKRAMotion::KeyAt(double fElapsed) const
{
    KRA_MOTION_KEY_POSITION at;
    if (m_dwKeyCount == 0 || m_dwDuration == 0 || !(fElapsed > 0))
        return at;
    double fKeyTime = double(m_dwDuration) / m_dwKeyCount;
    double x = fElapsed / fKeyTime;
    double fKey = std::floor(x);
    if (fKey >= double(m_dwKeyCount - 1)) {
        at.nKey = int(m_dwKeyCount - 1);
        at.fFraction = float(std::fmin(x - double(at.nKey), 1.0));
    } else {
        at.nKey = int(fKey);
        at.fFraction = float(x - fKey);
    }
    return at;
}

void CKRAMotion::Sample(KRA_MOTION_KEY_POSITION at, const CKRAMotion* pNext,
                        D3DXMATRIX (&amBones)[KRA_MOTION_TRACK_MAX], D3DXVECTOR3* pHead) const
{
    if (m_dwKeyCount == 0)
        return;
    size_t nFrom = size_t(at.nKey) < m_dwKeyCount ? size_t(at.nKey) : m_dwKeyCount - 1;
    bool bLast = nFrom + 1 == m_dwKeyCount;
    for (size_t t = 0; t < m_vTracks.size() && t < KRA_MOTION_TRACK_MAX; ++t) {
        const CKRAMotionTrack& track = m_vTracks[t];
        const D3DXVECTOR3* pToPos;
        const D3DXQUATERNION* pToRot;
        if (!bLast) {
            pToPos = &track.vPositions[nFrom + 1];
            pToRot = &track.vRotations[nFrom + 1];
        } else if (pNext && t < pNext->m_vTracks.size() && pNext->m_dwKeyCount > 0) {
            pToPos = &pNext->m_vTracks[t].vPositions[0];
            pToRot = &pNext->m_vTracks[t].vRotations[0];
        } else {
            // Nothing to blend into: the motion comes back to its own first key.
            pToPos = &track.vPositions[0];
            pToRot = &track.vRotations[0];
        }
        const D3DXVECTOR3& from = track.vPositions[nFrom];
        D3DXVECTOR3 position = from + (*pToPos - from) * at.fFraction;
        D3DXQUATERNION rotation;
        D3DXQuaternionSlerp(&rotation, &track.vRotations[nFrom], pToRot, at.fFraction);
        D3DXQuaternionNormalize(&rotation, &rotation);
        if (track.dwBone == KRA_BONE_HEAD && pHead)
            *pHead = position;
        amBones[t] = Pose(rotation, position);
    }
}
