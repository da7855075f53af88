#include "KRAManager.h"

#include "KRAAvatarManager.h"
#include "KRACamera.h"
#include "KRAFrustum.h"
#include "KRAObjectManager.h"
#include "KRASceneRegistry.h"
#include "KRATextureManager.h"
#include "KRAWarning.h"

#include <cstring>
#include <new>
#include <string>

CKRAManager* CKRAManager::m_pcKRAManager = nullptr;
IDirect3DDevice8* CKRAManager::m_pDevice = nullptr;
KRA_MESSAGE_PROC CKRAManager::m_pfMsgProc = nullptr;
char CKRAManager::m_szInstalledKRAPath[256] = {};
_KRA_RENDERING_OPTION_TYPE CKRAManager::m_sRenderingOption = 0;
DWORD CKRAManager::m_dwAccentedColor = 0;
CKRAObjectManager* CKRAManager::m_pcObjectManager = nullptr;
CKRAAvatarManager* CKRAManager::m_pcAvatarManager = nullptr;
CKRATextureManager* CKRAManager::m_pcTextureManager = nullptr;
CKRAFrustum* CKRAManager::m_pcFrustum = nullptr;

// The one manager, alive while the library is loaded.
static CKRAManager g_cKRAManager;

namespace {

// Room for the longest folder the engine adds ("AVATAR\KRI\") and a file name.
constexpr size_t kMaxInstalledPath = 255;

} // namespace

CKRAManager::CKRAManager() : m_pcSceneRegistry(nullptr)
{
    m_sRenderingOption = 0;
    std::memset(m_szInstalledKRAPath, 0, sizeof(m_szInstalledKRAPath));
    m_pcKRAManager = this;
}

CKRAManager::~CKRAManager() = default;

CKRAManager* CKRAManager::GetKRA()
{
    return m_pcKRAManager;
}

IDirect3DDevice8* CKRAManager::GetD3DDevice()
{
    return m_pDevice;
}

KRA_MESSAGE_PROC CKRAManager::GetMessageProc()
{
    return m_pfMsgProc;
}

char* CKRAManager::GetInstalledPath()
{
    return m_szInstalledKRAPath;
}

_KRA_RENDERING_OPTION_TYPE& CKRAManager::GetRenderingOption()
{
    return m_sRenderingOption;
}

DWORD& CKRAManager::GetAccentedColor()
{
    return m_dwAccentedColor;
}

CKRAObjectManager* CKRAManager::GetObjectManager()
{
    return m_pcObjectManager;
}

CKRAAvatarManager* CKRAManager::GetAvatarManager()
{
    return m_pcAvatarManager;
}

CKRATextureManager* CKRAManager::GetTextureManager()
{
    return m_pcTextureManager;
}

CKRAFrustum* CKRAManager::GetFrustum()
{
    return m_pcFrustum;
}

CKRAManager& CKRAManager::operator=(const CKRAManager& other)
{
    m_pcSceneRegistry = other.m_pcSceneRegistry;
    return *this;
}

LONG CKRAManager::KraMan_Create(IDirect3DDevice8* pDevice, const char* szInstalledPath, KRA_MESSAGE_PROC pfMsgProc)
{
    if (!pDevice) {
        KRAShowWarning("Invalid Direct3D device pointer\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    // A path that leaves no room for the engine's folders and file names is refused whole.
    if (!szInstalledPath || std::strlen(szInstalledPath) >= kMaxInstalledPath) {
        KRAShowWarning("Invalid installed path\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    if (!pfMsgProc) {
        KRAShowWarning("Invalid message procedure\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    // A second start without a stop would strand the first set of managers.
    KraMan_Destroy();

    m_pDevice = pDevice;
    m_pfMsgProc = pfMsgProc;
    std::memset(m_szInstalledKRAPath, 0, sizeof(m_szInstalledKRAPath));
    std::memcpy(m_szInstalledKRAPath, szInstalledPath, std::strlen(szInstalledPath));
    std::string strWorldPath = std::string(szInstalledPath) + "WORLD\\";

    m_pcSceneRegistry = new (std::nothrow) CKRASceneRegistry();
    if (!m_pcSceneRegistry) {
        KRAShowWarning("Failed memory allocation\n");
        KraMan_Destroy();
        return KRA_E_ALLOCATION;
    }
    m_pcSceneRegistry->Create();
    m_pcObjectManager = new (std::nothrow) CKRAObjectManager();
    if (!m_pcObjectManager) {
        KRAShowWarning("Failed memory allocation\n");
        KraMan_Destroy();
        return KRA_E_ALLOCATION;
    }
    LONG lStatus = m_pcObjectManager->Create(strWorldPath.c_str());
    if (lStatus < 0) {
        KraMan_Destroy();
        return lStatus;
    }
    m_pcTextureManager = new (std::nothrow) CKRATextureManager();
    if (!m_pcTextureManager) {
        KraMan_Destroy();
        return KRA_E_ALLOCATION;
    }
    lStatus = m_pcTextureManager->Initialize(pDevice, szInstalledPath);
    if (lStatus < 0) {
        KraMan_Destroy();
        return lStatus;
    }
    m_pcFrustum = new (std::nothrow) CKRAFrustum();
    if (!m_pcFrustum) {
        KraMan_Destroy();
        return KRA_E_ALLOCATION;
    }
    m_pcAvatarManager = new (std::nothrow) CKRAAvatarManager();
    if (!m_pcAvatarManager) {
        KraMan_Destroy();
        return KRA_E_ALLOCATION;
    }
    lStatus = m_pcAvatarManager->Create((std::string(szInstalledPath) + "AVATAR\\").c_str(), 2, 60);
    if (lStatus < 0) {
        KraMan_Destroy();
        return lStatus;
    }
    return KRA_OK;
}

LONG CKRAManager::KraMan_Destroy()
{
    // Scenes go first: their objects give their files back to the object manager.
    if (m_pcSceneRegistry) {
        m_pcSceneRegistry->Cleanup();
        m_pcSceneRegistry->Destroy();
        delete m_pcSceneRegistry;
        m_pcSceneRegistry = nullptr;
    }
    // Avatars next: their item files give textures back to the texture manager.
    if (m_pcAvatarManager) {
        m_pcAvatarManager->Destroy();
        delete m_pcAvatarManager;
        m_pcAvatarManager = nullptr;
    }
    if (m_pcObjectManager) {
        m_pcObjectManager->Cleanup();
        m_pcObjectManager->Destroy();
        delete m_pcObjectManager;
        m_pcObjectManager = nullptr;
    }
    if (m_pcTextureManager) {
        m_pcTextureManager->Cleanup();
        delete m_pcTextureManager;
        m_pcTextureManager = nullptr;
    }
    delete m_pcFrustum;
    m_pcFrustum = nullptr;
    CKRACamera::ResetSettings();
    return KRA_OK;
}

LONG CKRAManager::KraMan_CreateDeviceObject()
{
    if (m_pcAvatarManager) {
        LONG lStatus = m_pcAvatarManager->CreateDeviceObject();
        if (lStatus < 0)
            return lStatus;
    }
    if (m_pcObjectManager) {
        LONG lStatus = m_pcObjectManager->CreateDeviceObject();
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

LONG CKRAManager::KraMan_DestroyDeviceObject()
{
    if (m_pcAvatarManager) {
        LONG lStatus = m_pcAvatarManager->DestroyDeviceObject();
        if (lStatus < 0)
            return lStatus;
    }
    if (m_pcObjectManager) {
        LONG lStatus = m_pcObjectManager->DestroyDeviceObject();
        if (lStatus < 0)
            return lStatus;
    }
    return KRA_OK;
}

LONG CKRAManager::SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE eOption, int nOn)
{
    DWORD dwBit;
    if (eOption == KRA_RENDERING_OPTION_MIPMAP)
        dwBit = 1;
    else if (eOption == KRA_RENDERING_OPTION_SECOND_TEXTURE)
        dwBit = 2;
    else
        return KRA_E_INVALID_ARGUMENT;
    if (nOn)
        m_sRenderingOption |= dwBit;
    else
        m_sRenderingOption &= ~dwBit;
    return KRA_OK;
}

tagSIZE CKRAManager::KraMan_GetWindowSize()
{
    tagSIZE size = {0, 0};
    if (!m_pDevice)
        return size;
    IDirect3DSurface8* pSurface = nullptr;
    // Without a back buffer the size is 0 x 0, and callers treat that as nothing to aim at.
    if (FAILED(m_pDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &pSurface)) || !pSurface)
        return size;
    D3DSURFACE_DESC desc = {};
    if (SUCCEEDED(pSurface->GetDesc(&desc))) {
        size.cx = LONG(desc.Width);
        size.cy = LONG(desc.Height);
    }
    pSurface->Release();
    return size;
}

LONG CKRAManager::LoadScene(const char* szSceneFile, _KRA_HANDLE& hScene)
{
    if (!m_pcSceneRegistry)
        return KRA_E_MISSING_PART;
    return m_pcSceneRegistry->LoadScene(m_szInstalledKRAPath, szSceneFile, hScene);
}

LONG CKRAManager::UnloadScene(_KRA_HANDLE& hScene)
{
    if (hScene == 0) {
        KRAShowWarning("Invalid handle\n");
        return KRA_E_INVALID_HANDLE;
    }
    if (!m_pcSceneRegistry)
        return KRA_E_MISSING_PART;
    return m_pcSceneRegistry->UnloadScene(hScene);
}

LONG CKRAManager::KraMan_GetScene(_KRA_HANDLE& hScene, CKRAScene** ppScene)
{
    if (hScene == 0) {
        KRAShowWarning("Invalid handle\n");
        return KRA_E_INVALID_HANDLE;
    }
    if (!m_pcSceneRegistry)
        return KRA_E_MISSING_PART;
    return m_pcSceneRegistry->GetScene(hScene, ppScene);
}

void CKRAManager::SetAccentedColor(DWORD dwColor)
{
    m_dwAccentedColor = dwColor;
}

LONG KRACreate(IDirect3DDevice8* pDevice, const char* szInstalledPath, KRA_MESSAGE_PROC pfMsgProc,
               CKRAManager** ppManager)
{
    LONG lStatus = g_cKRAManager.KraMan_Create(pDevice, szInstalledPath, pfMsgProc);
    if (ppManager)
        *ppManager = &g_cKRAManager;
    return lStatus;
}

LONG KRADestroy()
{
    return g_cKRAManager.KraMan_Destroy();
}
