// One motion of the motion library: key-framed tracks, one per bone matrix, with the rotations
// made into quaternions once at load. Sampling turns a time into the 25 bone matrices skinning
// applies; the last key blends into the first key of the motion that follows.
#pragma once

#include "KRADefs.h"
#include "KRAMotionFormat.h"

#include <d3dx8.h>

#include <vector>

struct CKRAMotionTrack {
    DWORD dwBone = 0;
    std::vector<D3DXVECTOR3> vPositions;
    std::vector<D3DXQUATERNION> vRotations;
};

// Where a sampling time falls: between key nKey and the next, nFraction of the way.
struct KRA_MOTION_KEY_POSITION {
    int nKey = 0;
    float fFraction = 0;
};

class CKRAMotion {
public:
    void Load(const KRA_MOTION_FILE_DATA& file);

    DWORD KeyCount() const { return m_dwKeyCount; }
    DWORD TrackCount() const { return DWORD(m_vTracks.size()); }
    DWORD Duration() const { return m_dwDuration; }
    const std::vector<CKRAMotionTrack>& Tracks() const { return m_vTracks; }

    // Inverse of each track's key-0 pose (rotation, then translation); tracks past this motion's
    // last stay identity.
    void InverseBindPose(D3DXMATRIX (&amOut)[KRA_MOTION_TRACK_MAX]) const;

    // The key and fraction at fElapsed milliseconds (0 <= fElapsed < duration). Rounding can never
    // give a key past the last one.
    KRA_MOTION_KEY_POSITION KeyAt(double fElapsed) const;

    // The pose at a key position: bone matrix t from track t. After the last key a track blends
    // toward track t of pNext (or of this motion when pNext is null or has no track t). The animated
    // position of the head bone goes to *pHead. Bone matrices without a track are left as they are.
    void Sample(KRA_MOTION_KEY_POSITION at, const CKRAMotion* pNext, D3DXMATRIX (&amBones)[KRA_MOTION_TRACK_MAX],
                D3DXVECTOR3* pHead) const;

private:
    DWORD m_dwKeyCount = 0;
    DWORD m_dwDuration = 0;
    std::vector<CKRAMotionTrack> m_vTracks;
};
