// One slot of the texture table: a Direct3D texture shared by every user of its path.
#pragma once

#include "KRADefs.h"

#include <d3d8.h>

#include <atomic>
#include <string>

class CKRATexture {
public:
    CKRATexture();
    ~CKRATexture();
    CKRATexture(const CKRATexture&) = delete;
    CKRATexture& operator=(const CKRATexture&) = delete;

    LONG Load(IDirect3DDevice8* pDevice, const char* szPath);
    // Opaque black becomes transparent black.
    LONG LoadColorKeyed(IDirect3DDevice8* pDevice, const char* szPath);
    // 0x80000004 when the entry holds no texture (a KRT file that was missing).
    LONG Release();

    LONG IncrementRefCount() { return ++m_lRefCount; }
    LONG DecrementRefCount() { return --m_lRefCount; }
    LONG GetRefCount() const { return m_lRefCount; }
    const std::string& GetPath() const { return m_strPath; }
    IDirect3DTexture8* GetTexture() const { return m_pTexture; }

private:
    LONG LoadWith(IDirect3DDevice8* pDevice, const char* szPath, bool bColorKeyed);

    std::atomic<LONG> m_lRefCount;
    std::string m_strPath;
    IDirect3DTexture8* m_pTexture;
};
