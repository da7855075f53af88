// The engine on a real Direct3D device over the sample world the build generates, with a scene
// loaded by name through the manager as the host does it.
#pragma once

#include "KRARenderFixture.h"
#include "KRAScene.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kratest {

inline std::filesystem::path GeneratedDataFolder()
{
    const char* szBinary = std::getenv("YONDA_BINARY_DIR");
    return std::filesystem::path(szBinary ? szBinary : ".") / "yonda" / "Data";
}

class SceneFixture : public RenderFixture {
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        if (HasFatalFailure())
            return;
        if (!std::filesystem::is_directory(GeneratedDataFolder() / "WORLD"))
            GTEST_SKIP() << "no generated world at " << GeneratedDataFolder();
        m_strGenerated = GeneratedDataFolder().string() + "/";
        ASSERT_EQ(KRACreate(m_pDevice, m_strGenerated.c_str(), &Ignore, &m_pManager), KRA_OK);
    }

    void TearDown() override
    {
        if (m_hScene)
            m_pManager->UnloadScene(m_hScene);
        RenderFixture::TearDown();
    }

    CKRAScene* Load(const char* szName)
    {
        if (m_pManager->LoadScene(szName, m_hScene) != KRA_OK)
            return nullptr;
        CKRAScene* pScene = nullptr;
        m_pManager->KraMan_GetScene(m_hScene, &pScene);
        return pScene;
    }

    // Points the scene's camera and the fixture's projection helper the same way.
    void Look(CKRAScene* pScene, D3DXVECTOR3 vEye, D3DXVECTOR3 vLookAt)
    {
        D3DXVECTOR3 vUp(0, 1, 0);
        pScene->SetCameraPosition(vEye, vLookAt, vUp);
        pScene->SetProjectionMatrix(0, 0, 1.0f, 5000.0f);
        m_cCamera.CreateAt(vEye, vLookAt, vUp);
    }

    // Clears the back buffer before a scene frame.
    void Clear() { m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0); }

    CKRAManager* m_pManager = nullptr;
    std::string m_strGenerated;
    _KRA_HANDLE m_hScene = 0;
};

} // namespace kratest
