// One world object placed in a scene: which object file it shows, where (its descriptor), and
// its own state (normal, accented, fading, hidden) with the clock that drives its animation and
// fades. The scene object list owns it in one of its draw lists.
#pragma once

#include "KRADefs.h"
#include "KRASceneFormat.h"

#include <d3dx8.h>

// Scene object states.
constexpr DWORD KRA_SCENE_OBJECT_NORMAL = 0;
constexpr DWORD KRA_SCENE_OBJECT_ACCENTED = 1;
constexpr DWORD KRA_SCENE_OBJECT_FADING_IN = 3;
constexpr DWORD KRA_SCENE_OBJECT_FADING_OUT = 4;
constexpr DWORD KRA_SCENE_OBJECT_HIDDEN = 5;

// Draw passes: the ground and opaque passes draw as they are, the alpha pass orders meshes first.
constexpr int KRA_PASS_OPAQUE = 0;
constexpr int KRA_PASS_ALPHA = 1;

// The number of alpha steps a fade runs through, whatever its duration.
constexpr DWORD KRA_FADE_STEPS = 255;

class CKRASceneObject {
public:
    CKRASceneObject(_KRA_HANDLE hHandle, _KRA_HANDLE hObjectFile, const CKRASceneObjectDesc& desc);

    // Draws the object in a pass; an object file that is gone answers its status.
    LONG Draw(int nPass, D3DXVECTOR3* pEye);

    void Show();
    void Hide();
    void SetAccented(bool bAccented);
    void FadeIn(float fMilliseconds);
    void FadeOut(float fMilliseconds);

    _KRA_HANDLE GetHandle() const { return m_hHandle; }
    _KRA_HANDLE GetObjectFile() const { return m_hObjectFile; }
    DWORD GetState() const { return m_dwState; }
    const CKRASceneObjectDesc& GetDesc() const { return m_sDesc; }
    D3DXMATRIX GetWorldMatrix() const { return D3DXMATRIX(m_sDesc.afWorld); }
    // The translation of its position matrix: where the alpha order measures it from.
    D3DXVECTOR3 GetPosition() const { return D3DXVECTOR3(m_afPosition[12], m_afPosition[13], m_afPosition[14]); }
    float GetPhase() const { return m_fPhase; }

private:
    double MillisecondsSince(LONGLONG llCount) const;
    LONGLONG Now() const;
    // Leaving a fade by any route puts the file's own vertex alpha back.
    void EndFade();

    DWORD m_dwState;
    _KRA_HANDLE m_hHandle;
    _KRA_HANDLE m_hObjectFile;
    CKRASceneObjectDesc m_sDesc;
    float m_afPosition[16];
    DWORD m_dwAccentColor;
    LONGLONG m_llStart;
    LONGLONG m_llFrequency;
    LONGLONG m_llLastDraw;
    float m_fPhase;
    float m_fFadeStart;
    float m_fFadeDuration;
};
