// One avatar: what it wears, where it stands, and the state of its motion. The manager owns it.
#pragma once

#include "KRADefs.h"
#include "KRALocalCamera.h"
#include "KRAMotionFormat.h"

#include <d3dx8.h>

#include <memory>
#include <vector>

constexpr size_t KRA_AVATAR_ITEM_MAX = 360;
constexpr size_t KRA_FACE_WEIGHT_COUNT = 10;
constexpr size_t KRA_TEXTURE_OVERRIDE_MAX = 360;

// A texture an avatar wears on one of its items in place of the item's own.
struct CKRAItemTextureOverride {
    char szName[32] = {};
    _KRA_HANDLE hItem = 0;
    CKRAHandle<tagKRADS> hTexture;
};

class CKRAAvatar {
public:
    CKRAAvatar();

    LONG IncrementRefCount() { return ++m_lRefCount; }
    LONG DecrementRefCount() { return --m_lRefCount; }
    LONG RefCount() const { return m_lRefCount; }

    LONG m_lRefCount = 0;
    DWORD m_adwHeader[3] = {}; // the third word is the avatar key
    std::vector<_KRA_HANDLE> m_vItems;
    std::vector<_KRA_HANDLE> m_vItemOutput; // what GetItemHandle hands out
    D3DXVECTOR3 m_vFront;
    D3DXMATRIX m_mWorld;
    D3DXVECTOR3 m_vPosition;
    double m_fClockBase = 0; // seconds on the engine clock when the avatar was made
    float m_afFaceWeights[KRA_FACE_WEIGHT_COUNT] = {};
    bool m_bAutoAnimation = true;

    // Motion state.
    int m_nMotion = -1;
    int m_nNextMotion = -1;
    int m_nMotionKind = -1;
    int m_nKey = 0;
    float m_fKeyFraction = 0;
    double m_fMotionStart = 0; // seconds since the clock base
    bool m_bPlaying = false;
    bool m_bLoop = true;
    D3DXMATRIX m_amBones[KRA_MOTION_TRACK_MAX];
    D3DXVECTOR3 m_vHead;

    // Walk state.
    bool m_bWalking = false;
    bool m_bArrived = false;
    bool m_bTurnDone = false;
    D3DXVECTOR3 m_vTarget;
    float m_fTurnAngle = 0;   // degrees, signed
    float m_fTurned = 0;      // degrees turned so far
    DWORD m_dwWalkSpeed = 30; // units per second
    D3DXMATRIX m_mWalkOrientation;
    float m_fNearest = 0;
    DWORD m_dwStuck = 0;
    double m_fLastStep = 0; // engine clock seconds

    // Move-and-rotate state: turn toward the target, step to it, then turn to the final
    // direction. The target, arrival and first turn are the walk's fields above.
    bool m_bMoveRotate = false;
    bool m_bFinalTurnDone = false;
    bool m_bFinalTurnPending = true; // the final angle is worked out once the target is reached
    float m_fFinalAngle = 0;         // degrees, signed
    float m_fFinalTurned = 0;
    D3DXVECTOR3 m_vFinalDirection;

    // The camera that follows this avatar; a scene may draw through it.
    std::unique_ptr<CKRALocalCamera> m_pcLocalCamera;

    D3DXVECTOR3 m_vColor;
    bool m_bTint = false;

    // Texture overrides, in the order they were set.
    std::vector<CKRAItemTextureOverride> m_vTextureOverrides;
    // The first override of an item; null when it wears its own textures.
    const CKRAItemTextureOverride* FindTextureOverride(_KRA_HANDLE hItem) const
    {
        for (const CKRAItemTextureOverride& o : m_vTextureOverrides)
            if (o.hItem == hItem)
                return &o;
        return nullptr;
    }

    // Drawing state kept between frames: the blink and the breast bounce timers (engine clock
    // seconds), and whether the bone matrices hold a sampled pose yet.
    bool m_bBlinking = false;
    double m_fBlinkStart = 0;
    bool m_bBreastAnimation = false;
    double m_fBreastStart = 0;
    bool m_bPosed = false;
};

// Seconds on the engine's performance counter: the one clock of motions and walking.
double KRAAvatarClock();
