#include "KRASceneRegistry.h"

#include "KRAWarning.h"

#include <string>

CKRASceneRegistry::~CKRASceneRegistry()
{
    Destroy();
}

LONG CKRASceneRegistry::LoadScene(const char* szInstalledPath, const char* szSceneFile, _KRA_HANDLE& hScene)
{
    if (!szSceneFile) {
        KRAShowWarning("Invalid scene file name\n");
        return KRA_E_INVALID_ARGUMENT;
    }
    std::string strPath = std::string(szInstalledPath ? szInstalledPath : "") + "WORLD\\" + szSceneFile;
    _KRA_HANDLE h = 0;
    LONG lStatus = m_cTable.Load(szSceneFile, h, [&](CKRAScene& scene) {
        LONG l = scene.Create(szSceneFile);
        if (l >= 0)
            l = scene.LoadScene(strPath.c_str());
        // Whatever was built so far goes: objects give their files back, maps are forgotten.
        if (l < 0)
            scene.Destroy();
        return l;
    });
    if (lStatus < 0)
        return lStatus;
    hScene = h;
    return KRA_OK;
}

LONG CKRASceneRegistry::UnloadScene(_KRA_HANDLE hScene)
{
    LONG lStatus = m_cTable.Unload(hScene, [](CKRAScene& scene) { return scene.Destroy(); });
    if (lStatus == KRA_E_INVALID_HANDLE)
        KRAShowWarning("Invalid handle\n");
    return lStatus;
}

LONG CKRASceneRegistry::GetScene(_KRA_HANDLE hScene, CKRAScene** ppScene)
{
    CKRAScene* pScene = m_cTable.Lookup(hScene);
    if (!pScene) {
        KRAShowWarning("Invalid handle\n");
        return KRA_E_INVALID_HANDLE;
    }
    if (ppScene)
        *ppScene = pScene;
    return KRA_OK;
}

void CKRASceneRegistry::Destroy()
{
    m_cTable.Destroy([](CKRAScene& scene) { scene.Destroy(); });
}
