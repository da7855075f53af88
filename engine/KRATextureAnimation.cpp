#include "KRATextureAnimation.h"

#include "KRAFile.h"
#include "KRAManager.h"
#include "KRATextureManager.h"

#include <string>

CKRATextureAnimation::CKRATextureAnimation()
    : m_dwFrameCount(0), m_dwCurrentFrame(0), m_fAccumulatedTime(0), m_fTotalTime(0), m_dwFrameTime(0),
      m_bStarted(false)
{}

CKRATextureAnimation::~CKRATextureAnimation()
{
    Release();
}

LONG CKRATextureAnimation::Load(const char* szListName, bool bColorKeyed)
{
    Release();
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    if (!szListName || !pTextures)
        return KRA_E_INVALID_ARGUMENT;
    std::vector<std::string> vLines;
    if (!KRAReadTextLines(std::string(CKRAManager::GetInstalledPath()) + "WORLD\\" + szListName, vLines))
        return KRA_E_INVALID_ARGUMENT;
    for (const std::string& strLine : vLines) {
        if (strLine.empty())
            continue;
        CKRAHandle<tagKRADS> hFrame;
        if (bColorKeyed)
            pTextures->LoadWorldTextureColorKeyed(strLine.c_str(), &hFrame);
        else
            pTextures->LoadWorldTexture(strLine.c_str(), &hFrame);
        // A frame that does not load stays in its place and draws without texture.
        m_vFrames.push_back(hFrame);
    }
    m_dwFrameCount = DWORD(m_vFrames.size());
    m_fTotalTime = float(m_dwFrameTime) * float(m_dwFrameCount);
    return KRA_OK;
}

void CKRATextureAnimation::Release()
{
    if (CKRATextureManager* pTextures = CKRAManager::GetTextureManager()) {
        for (CKRAHandle<tagKRADS> hFrame : m_vFrames)
            if (hFrame.m_hHandle)
                pTextures->ReleaseTexture(hFrame);
    }
    m_vFrames.clear();
    m_dwFrameCount = 0;
    m_dwCurrentFrame = 0;
    m_fAccumulatedTime = 0;
    m_bStarted = false;
}

CKRAHandle<tagKRADS> CKRATextureAnimation::Advance(float fDelta)
{
    if (m_vFrames.empty())
        return CKRAHandle<tagKRADS>();
    // The first draw shows the first frame; every later one moves on once its time is spent.
    if (m_bStarted) {
        m_fAccumulatedTime += fDelta;
        if (m_fAccumulatedTime >= float(m_dwFrameTime)) {
            m_dwCurrentFrame = (m_dwCurrentFrame + 1) % m_dwFrameCount;
            m_fAccumulatedTime = 0;
        }
    }
    m_bStarted = true;
    return m_vFrames[m_dwCurrentFrame];
}
