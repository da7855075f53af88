#include "KRATexture.h"

#include "KRAFile.h"
#include "KRATextureFormat.h"

#include <d3dx8.h>

#include <vector>

CKRATexture::CKRATexture() : m_lRefCount(0), m_pTexture(nullptr) {}

CKRATexture::~CKRATexture()
{
    if (m_pTexture)
        m_pTexture->Release();
}

LONG CKRATexture::Load(IDirect3DDevice8* pDevice, const char* szPath)
{
    return LoadWith(pDevice, szPath, false);
}

LONG CKRATexture::LoadColorKeyed(IDirect3DDevice8* pDevice, const char* szPath)
{
    return LoadWith(pDevice, szPath, true);
}

LONG CKRATexture::LoadWith(IDirect3DDevice8* pDevice, const char* szPath, bool bColorKeyed)
{
    if (!szPath)
        return KRA_E_INVALID_ARGUMENT;
    // Both kinds are read here and decoded from memory, so every engine file goes through the
    // same path resolution.
    std::vector<uint8_t> vFile;
    bool bRead = KRAReadWholeFile(szPath, vFile);
    const uint8_t* pImage = vFile.data();
    size_t nImage = vFile.size();
    if (KRAIsTextureFileName(szPath)) {
        if (!bRead) {
            // A missing KRT file is an entry without texture: drawing with it uses none.
            m_strPath = szPath;
            return KRA_OK;
        }
        if (!KRAParseTextureFile(vFile.data(), vFile.size(), pImage, nImage))
            return KRA_E_FAILED;
    } else if (!bRead) {
        return KRA_E_FAILED;
    }
    if (!pDevice || nImage == 0)
        return KRA_E_FAILED;
    IDirect3DTexture8* pTexture = nullptr;
    HRESULT hr;
    if (bColorKeyed)
        hr = D3DXCreateTextureFromFileInMemoryEx(pDevice, pImage, UINT(nImage), D3DX_DEFAULT, D3DX_DEFAULT,
                                                 D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0x70004, 0x70004,
                                                 0xFF000000, nullptr, nullptr, &pTexture);
    else
        hr = D3DXCreateTextureFromFileInMemory(pDevice, pImage, UINT(nImage), &pTexture);
    if (FAILED(hr) || !pTexture)
        return KRA_E_FAILED;
    m_pTexture = pTexture;
    m_strPath = szPath;
    return KRA_OK;
}

LONG CKRATexture::Release()
{
    if (!m_pTexture)
        return KRA_E_NOTHING_TO_RELEASE;
    m_pTexture->Release();
    m_pTexture = nullptr;
    m_strPath.clear();
    return KRA_OK;
}
