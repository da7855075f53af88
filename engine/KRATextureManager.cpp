#include "KRATextureManager.h"

#include "KRAWarning.h"

CKRATextureManager::CKRATextureManager() : m_pDevice(nullptr) {}

CKRATextureManager::~CKRATextureManager()
{
    ReleaseAllTextures();
}

LONG CKRATextureManager::Initialize(IDirect3DDevice8* pDevice, const char* szInstalledPath)
{
    if (!pDevice) {
        KRAShowWarning("Invalid Direct3D device pointer\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    if (!szInstalledPath) {
        KRAShowWarning("Invalid texture path\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    m_pDevice = pDevice;
    m_strInstalledPath = szInstalledPath;
    return KRA_OK;
}

LONG CKRATextureManager::Cleanup()
{
    ReleaseAllTextures();
    return KRA_OK;
}

LONG CKRATextureManager::LoadWorldTexture(const char* szName, CKRAHandle<tagKRADS>* pOut)
{
    return Load("WORLD\\", szName, false, pOut);
}

LONG CKRATextureManager::LoadWorldTextureColorKeyed(const char* szName, CKRAHandle<tagKRADS>* pOut)
{
    return Load("WORLD\\", szName, true, pOut);
}

LONG CKRATextureManager::LoadAvatarTexture(const char* szName, CKRAHandle<tagKRADS>* pOut)
{
    return Load("AVATAR\\KRI\\", szName, false, pOut);
}

LONG CKRATextureManager::LoadAvatarTextureColorKeyed(const char* szName, CKRAHandle<tagKRADS>* pOut)
{
    return Load("AVATAR\\KRI\\", szName, true, pOut);
}

LONG CKRATextureManager::Load(const char* szFolder, const char* szName, bool bColorKeyed, CKRAHandle<tagKRADS>* pOut)
{
    if (!szName) {
        KRAShowWarning("Invalid texture path\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    if (!pOut)
        return KRA_E_INVALID_ARGUMENT;
    std::string strPath = m_strInstalledPath + szFolder + szName;
    _KRA_HANDLE h = 0;
    IDirect3DDevice8* pDevice = m_pDevice;
    LONG lStatus = m_cTable.Load(strPath.c_str(), h, [&](CKRATexture& texture) {
        return bColorKeyed ? texture.LoadColorKeyed(pDevice, strPath.c_str()) : texture.Load(pDevice, strPath.c_str());
    });
    if (lStatus < 0)
        return lStatus;
    pOut->m_hHandle = h;
    return KRA_OK;
}

LONG CKRATextureManager::ReleaseTexture(CKRAHandle<tagKRADS> hTexture)
{
    if (!m_cTable.Lookup(hTexture.m_hHandle))
        return KRA_E_INVALID_ARGUMENT;
    // An entry that never had a texture still reports that, but its slot and name are freed so a
    // later load tries the file again.
    return m_cTable.Unload(hTexture.m_hHandle, [](CKRATexture& texture) { return texture.Release(); });
}

LONG CKRATextureManager::ReleaseAllTextures()
{
    m_cTable.Destroy([](CKRATexture& texture) { return texture.Release(); });
    return KRA_OK;
}

LONG CKRATextureManager::AddReference(CKRAHandle<tagKRADS> hTexture)
{
    CKRATexture* pTexture = m_cTable.Lookup(hTexture.m_hHandle);
    if (!pTexture)
        return KRA_E_INVALID_ARGUMENT;
    pTexture->IncrementRefCount();
    return KRA_OK;
}

IDirect3DTexture8* CKRATextureManager::GetTexture(CKRAHandle<tagKRADS> hTexture) const
{
    CKRATexture* pTexture = m_cTable.Lookup(hTexture.m_hHandle);
    return pTexture ? pTexture->GetTexture() : nullptr;
}

const char* CKRATextureManager::GetTextureName(CKRAHandle<tagKRADS> hTexture) const
{
    const std::string* pName = m_cTable.NameOf(hTexture.m_hHandle);
    return pName ? pName->c_str() : nullptr;
}

LONG CKRATextureManager::GetRefCount(CKRAHandle<tagKRADS> hTexture) const
{
    CKRATexture* pTexture = m_cTable.Lookup(hTexture.m_hHandle);
    return pTexture ? pTexture->GetRefCount() : 0;
}
