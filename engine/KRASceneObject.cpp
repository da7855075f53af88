#include "KRASceneObject.h"

#include "KRAGeometry.h"
#include "KRAManager.h"
#include "KRAObjectFile.h"
#include "KRAObjectManager.h"

#include <cstdlib>
#include <cstring>

CKRASceneObject::CKRASceneObject(_KRA_HANDLE hHandle, _KRA_HANDLE hObjectFile, const CKRASceneObjectDesc& desc)
    : m_dwState(KRA_SCENE_OBJECT_NORMAL), m_hHandle(hHandle), m_hObjectFile(hObjectFile), m_sDesc(desc),
      m_dwAccentColor(0), m_llStart(0), m_llFrequency(0), m_llLastDraw(0), m_fFadeStart(0), m_fFadeDuration(0)
{
    std::memcpy(m_afPosition, desc.afWorld, sizeof(m_afPosition));
    // Objects of one file placed side by side do not animate in step.
    m_fPhase = -float(std::rand() % 5000);
    LARGE_INTEGER frequency = {}, now = {};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    m_llFrequency = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    m_llStart = m_llLastDraw = now.QuadPart;
}

LONGLONG CKRASceneObject::Now() const
{
    LARGE_INTEGER now = {};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double CKRASceneObject::MillisecondsSince(LONGLONG llCount) const
{
    return double(Now() - llCount) * 1000.0 / double(m_llFrequency);
}

void CKRASceneObject::EndFade()
{
    if (m_dwState != KRA_SCENE_OBJECT_FADING_IN && m_dwState != KRA_SCENE_OBJECT_FADING_OUT)
        return;
    CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
    if (CKRAObjectFile* pFile = pObjects ? pObjects->Find(m_hObjectFile) : nullptr)
        pFile->RestoreAlphaValue();
}

void CKRASceneObject::Show()
{
    EndFade();
    m_dwState = KRA_SCENE_OBJECT_NORMAL;
}

void CKRASceneObject::Hide()
{
    EndFade();
    m_dwState = KRA_SCENE_OBJECT_HIDDEN;
}

void CKRASceneObject::SetAccented(bool bAccented)
{
    EndFade();
    if (bAccented) {
        m_dwState = KRA_SCENE_OBJECT_ACCENTED;
        m_dwAccentColor = CKRAManager::GetAccentedColor();
    } else {
        m_dwState = KRA_SCENE_OBJECT_NORMAL;
    }
}

void CKRASceneObject::FadeIn(float fMilliseconds)
{
    m_dwState = KRA_SCENE_OBJECT_FADING_IN;
    m_fFadeStart = float(MillisecondsSince(m_llStart));
    m_fFadeDuration = fMilliseconds;
}

void CKRASceneObject::FadeOut(float fMilliseconds)
{
    m_dwState = KRA_SCENE_OBJECT_FADING_OUT;
    m_fFadeStart = float(MillisecondsSince(m_llStart));
    m_fFadeDuration = fMilliseconds;
}

LONG CKRASceneObject::Draw(int nPass, D3DXVECTOR3* pEye)
{
    CKRAObjectManager* pObjects = CKRAManager::GetObjectManager();
    if (!pObjects)
        return KRA_E_MISSING_PART;
    CKRAObjectFile* pFile = nullptr;
    LONG lStatus = pObjects->GetObjectFile(&m_hObjectFile, &pFile);
    if (lStatus < 0)
        return lStatus;

    LONGLONG llNow = Now();
    float fElapsed = float(double(llNow - m_llStart) * 1000.0 / double(m_llFrequency));
    float fDelta = float(double(llNow - m_llLastDraw) * 1000.0 / double(m_llFrequency));
    m_llLastDraw = llNow;
    float fTime = fElapsed - m_fPhase;
    D3DXMATRIX mWorld(m_sDesc.afWorld);

    auto drawWhole = [&](DWORD dwColor) {
        if (nPass == KRA_PASS_ALPHA && pEye)
            pFile->SortObject(&mWorld, pEye);
        return pFile->RenderObjectFile(&mWorld, fTime, fDelta, dwColor);
    };
    // The alpha step of a running fade; at its very end the last step, never a jump back to 0.
    auto fadeStep = [&](float t) {
        if (t >= m_fFadeDuration)
            return DWORD(KRA_FADE_STEPS - 1);
        return DWORD(KRAFrameIndex(KRA_FADE_STEPS, m_fFadeDuration, t).nFrame);
    };

    switch (m_dwState) {
    case KRA_SCENE_OBJECT_NORMAL: return drawWhole(0);
    case KRA_SCENE_OBJECT_ACCENTED: return drawWhole(m_dwAccentColor);
    case KRA_SCENE_OBJECT_FADING_IN: {
        float t = fElapsed - m_fFadeStart;
        if (t > m_fFadeDuration) {
            EndFade();
            m_dwState = KRA_SCENE_OBJECT_NORMAL;
            return drawWhole(0);
        }
        return pFile->FadeObjectFile(&mWorld, fTime, fDelta, fadeStep(t));
    }
    case KRA_SCENE_OBJECT_FADING_OUT: {
        float t = fElapsed - m_fFadeStart;
        if (t > m_fFadeDuration) {
            EndFade();
            m_dwState = KRA_SCENE_OBJECT_HIDDEN;
            return KRA_OK;
        }
        return pFile->FadeObjectFile(&mWorld, fTime, fDelta, KRA_FADE_STEPS - fadeStep(t));
    }
    case KRA_SCENE_OBJECT_HIDDEN:
    case 2: return KRA_OK;
    default: return KRA_E_FAILED;
    }
}
