// The engine's scenes by name: a scene file loaded twice is one scene with two references, and
// it is destroyed when the last of them is unloaded.
#pragma once

#include "KRADefs.h"
#include "KRAHandleTable.h"
#include "KRAScene.h"

class CKRASceneRegistry {
public:
    ~CKRASceneRegistry();

    LONG Create() { return KRA_OK; }
    LONG Cleanup() { return KRA_OK; }
    // The scene file is read from the installed path's world folder. A scene that cannot be
    // built or read leaves nothing behind and writes no handle.
    LONG LoadScene(const char* szInstalledPath, const char* szSceneFile, _KRA_HANDLE& hScene);
    LONG UnloadScene(_KRA_HANDLE hScene);
    LONG GetScene(_KRA_HANDLE hScene, CKRAScene** ppScene);
    // Scenes the host left loaded are destroyed too.
    void Destroy();

    size_t GetSceneCount() const { return m_cTable.LiveCount(); }

private:
    CKRAHandleTable<CKRAScene> m_cTable;
};
