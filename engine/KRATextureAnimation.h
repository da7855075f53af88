// A texture list: frames loaded from a text file of texture names, one per line, shown in turn.
#pragma once

#include "KRADefs.h"

#include <vector>

class CKRATextureAnimation {
public:
    CKRATextureAnimation();
    ~CKRATextureAnimation();
    CKRATextureAnimation(const CKRATextureAnimation&) = delete;
    CKRATextureAnimation& operator=(const CKRATextureAnimation&) = delete;

    // Loads every named texture of the list file in the world folder; 0x80000003 when the
    // file cannot be opened. Empty lines name nothing and are skipped.
    LONG Load(const char* szListName, bool bColorKeyed);
    // Releases every frame texture.
    void Release();
    // Advances by fDelta milliseconds and gives the frame to draw (0 when the list is empty).
    CKRAHandle<tagKRADS> Advance(float fDelta);

    DWORD GetFrameCount() const { return m_dwFrameCount; }
    DWORD GetCurrentFrame() const { return m_dwCurrentFrame; }

private:
    DWORD m_dwFrameCount;
    DWORD m_dwCurrentFrame;
    float m_fAccumulatedTime;
    float m_fTotalTime;
    DWORD m_dwFrameTime;
    std::vector<CKRAHandle<tagKRADS>> m_vFrames;
    bool m_bStarted;
};
