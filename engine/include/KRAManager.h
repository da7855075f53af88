// The engine's one manager: it owns every other engine part and holds the engine-wide settings
// (device, message callback, data folder, rendering switches, accent colour).
#pragma once

#include "KRADefs.h"

#include <d3d8.h>

class CKRASceneRegistry;
class CKRAScene;
class CKRAObjectManager;
class CKRAAvatarManager;
class CKRATextureManager;
class CKRAFrustum;

class KRAVEX_API CKRAManager {
public:
    CKRAManager();
    ~CKRAManager();
    CKRAManager& operator=(const CKRAManager& other);

    LONG KraMan_Create(IDirect3DDevice8* pDevice, const char* szInstalledPath, KRA_MESSAGE_PROC pfMsgProc);
    LONG KraMan_Destroy();
    LONG KraMan_CreateDeviceObject();
    LONG KraMan_DestroyDeviceObject();
    LONG SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE eOption, int nOn);
    static tagSIZE KraMan_GetWindowSize();

    LONG LoadScene(const char* szSceneFile, _KRA_HANDLE& hScene);
    LONG UnloadScene(_KRA_HANDLE& hScene);
    LONG KraMan_GetScene(_KRA_HANDLE& hScene, CKRAScene** ppScene);
    void SetAccentedColor(DWORD dwColor);

    // The engine-wide members, for the host as for every engine part.
    static CKRAManager* GetKRA();
    static IDirect3DDevice8* GetD3DDevice();
    static KRA_MESSAGE_PROC GetMessageProc();
    static char* GetInstalledPath();
    static _KRA_RENDERING_OPTION_TYPE& GetRenderingOption();
    static DWORD& GetAccentedColor();
    static CKRAObjectManager* GetObjectManager();
    static CKRAAvatarManager* GetAvatarManager();
    static CKRATextureManager* GetTextureManager();
    static CKRAFrustum* GetFrustum();

    static CKRAManager* m_pcKRAManager;
    static IDirect3DDevice8* m_pDevice;
    static KRA_MESSAGE_PROC m_pfMsgProc;
    static char m_szInstalledKRAPath[256];
    static _KRA_RENDERING_OPTION_TYPE m_sRenderingOption;
    static DWORD m_dwAccentedColor;
    static CKRAObjectManager* m_pcObjectManager;
    static CKRAAvatarManager* m_pcAvatarManager;
    static CKRATextureManager* m_pcTextureManager;
    static CKRAFrustum* m_pcFrustum;

private:
    CKRASceneRegistry* m_pcSceneRegistry;
};

extern "C" {
KRAVEX_API LONG KRACreate(IDirect3DDevice8* pDevice, const char* szInstalledPath, KRA_MESSAGE_PROC pfMsgProc,
                          CKRAManager** ppManager);
KRAVEX_API LONG KRADestroy();
}
