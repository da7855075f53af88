// Every Direct3D texture of the engine, loaded once per full path and shared by reference count.
#pragma once

#include "KRADefs.h"
#include "KRAHandleTable.h"
#include "KRATexture.h"

#include <string>

class CKRATextureManager {
public:
    CKRATextureManager();
    ~CKRATextureManager();

    LONG Initialize(IDirect3DDevice8* pDevice, const char* szInstalledPath);
    LONG Cleanup();

    LONG LoadWorldTexture(const char* szName, CKRAHandle<tagKRADS>* pOut);
    LONG LoadWorldTextureColorKeyed(const char* szName, CKRAHandle<tagKRADS>* pOut);
    LONG LoadAvatarTexture(const char* szName, CKRAHandle<tagKRADS>* pOut);
    LONG LoadAvatarTextureColorKeyed(const char* szName, CKRAHandle<tagKRADS>* pOut);
    LONG ReleaseTexture(CKRAHandle<tagKRADS> hTexture);
    LONG ReleaseAllTextures();
    // One more reference to a loaded texture, for a user that will release it on its own.
    LONG AddReference(CKRAHandle<tagKRADS> hTexture);

    IDirect3DTexture8* GetTexture(CKRAHandle<tagKRADS> hTexture) const;
    const char* GetTextureName(CKRAHandle<tagKRADS> hTexture) const;
    LONG GetRefCount(CKRAHandle<tagKRADS> hTexture) const;
    size_t GetTextureCount() const { return m_cTable.LiveCount(); }

private:
    LONG Load(const char* szFolder, const char* szName, bool bColorKeyed, CKRAHandle<tagKRADS>* pOut);

    CKRAHandleTable<CKRATexture> m_cTable;
    IDirect3DDevice8* m_pDevice;
    std::string m_strInstalledPath;
};
