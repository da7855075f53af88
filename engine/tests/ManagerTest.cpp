#include "KRAEngineFixture.h"
#include "KRAFrustum.h"
#include "KRAObjectManager.h"
#include "KRATextureManager.h"
#include "Kravex.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

using namespace kratest;

namespace {

void Proc(LONG, LONG, void*) {}

} // namespace

TEST(Manager, RefusesEachMissingArgumentWithItsBoxInOrder)
{
    YondaMessageBoxCapture boxes;
    FakeDevice device;
    CKRAManager* pManager = nullptr;
    EXPECT_EQ(KRACreate(nullptr, nullptr, nullptr, &pManager), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(pManager, CKRAManager::GetKRA()); // the address is written in every case
    EXPECT_EQ(KRACreate(&device, nullptr, &Proc, &pManager), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(KRACreate(&device, "/tmp/", nullptr, &pManager), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(KRACreate(&device, std::string(300, 'a').c_str(), &Proc, &pManager), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Invalid Direct3D device pointer\n", "Invalid installed path\n",
                                                       "Invalid message procedure\n", "Invalid installed path\n"}));
    for (const auto& box : boxes.Boxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.hWnd, nullptr);
        EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONWARNING));
    }
    EXPECT_EQ(CKRAManager::GetObjectManager(), nullptr);
    EXPECT_EQ(CKRAManager::GetTextureManager(), nullptr);
    EXPECT_EQ(CKRAManager::GetFrustum(), nullptr);
    EXPECT_EQ(KRADestroy(), KRA_OK);
}

TEST(Manager, CreateBuildsEveryPartAndASecondCreateStartsAfresh)
{
    FakeDevice device;
    CKRAManager* pManager = nullptr;
    ASSERT_EQ(KRACreate(&device, "/tmp/data/", &Proc, &pManager), KRA_OK);
    EXPECT_EQ(CKRAManager::GetD3DDevice(), &device);
    EXPECT_STREQ(CKRAManager::GetInstalledPath(), "/tmp/data/");
    EXPECT_EQ(CKRAManager::GetMessageProc(), &Proc);
    EXPECT_NE(CKRAManager::GetObjectManager(), nullptr);
    EXPECT_NE(CKRAManager::GetTextureManager(), nullptr);
    EXPECT_NE(CKRAManager::GetFrustum(), nullptr);
    CKRAHandle<tagKRADS> hTexture;
    CKRAManager::GetTextureManager()->LoadWorldTexture("absent.KRT", &hTexture);
    EXPECT_EQ(CKRAManager::GetTextureManager()->GetTextureCount(), 1u);
    // Started again without a stop: the first set is taken down, not stranded.
    ASSERT_EQ(KRACreate(&device, "/tmp/other/", &Proc, &pManager), KRA_OK);
    EXPECT_EQ(CKRAManager::GetTextureManager()->GetTextureCount(), 0u);
    EXPECT_STREQ(CKRAManager::GetInstalledPath(), "/tmp/other/");
    EXPECT_EQ(KRADestroy(), KRA_OK);
    EXPECT_EQ(CKRAManager::GetObjectManager(), nullptr);
    EXPECT_EQ(CKRAManager::GetTextureManager(), nullptr);
    EXPECT_EQ(CKRAManager::GetFrustum(), nullptr);
}

TEST(Manager, RenderingOptionsAreTwoBits)
{
    CKRAManager* pManager = CKRAManager::GetKRA();
    CKRAManager::GetRenderingOption() = 0;
    EXPECT_EQ(pManager->SetRenderingOption(KRA_RENDERING_OPTION_MIPMAP, 1), KRA_OK);
    EXPECT_EQ(pManager->SetRenderingOption(KRA_RENDERING_OPTION_SECOND_TEXTURE, 1), KRA_OK);
    EXPECT_EQ(CKRAManager::GetRenderingOption(), 3u);
    EXPECT_EQ(pManager->SetRenderingOption(KRA_RENDERING_OPTION_SECOND_TEXTURE, 0), KRA_OK);
    EXPECT_EQ(CKRAManager::GetRenderingOption(), 1u);
    EXPECT_EQ(pManager->SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE(3), 1), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(CKRAManager::GetRenderingOption(), 1u);
    CKRAManager::GetRenderingOption() = 0;
}

TEST(Manager, AccentColourIsWrittenDirectlyOrThroughItsSetter)
{
    CKRAManager::m_dwAccentedColor = 0xFF00FF00;
    EXPECT_EQ(CKRAManager::GetAccentedColor(), 0xFF00FF00u);
    CKRAManager::GetKRA()->SetAccentedColor(0xFF123456);
    EXPECT_EQ(CKRAManager::m_dwAccentedColor, 0xFF123456u);
    CKRAManager::m_dwAccentedColor = 0;
}

TEST(Manager, SceneHandleZeroIsRefusedWithItsBox)
{
    YondaMessageBoxCapture boxes;
    _KRA_HANDLE h = 0;
    CKRAScene* pScene = nullptr;
    EXPECT_EQ(CKRAManager::GetKRA()->UnloadScene(h), KRA_E_INVALID_HANDLE);
    EXPECT_EQ(CKRAManager::GetKRA()->KraMan_GetScene(h, &pScene), KRA_E_INVALID_HANDLE);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Invalid handle\n", "Invalid handle\n"}));
}

TEST(Manager, WindowSizeIsTheBackBuffersOrZeroWithoutOne)
{
    FakeDevice device(320, 200);
    CKRAManager* pManager = nullptr;
    ASSERT_EQ(KRACreate(&device, "/tmp/", &Proc, &pManager), KRA_OK);
    tagSIZE size = CKRAManager::KraMan_GetWindowSize();
    EXPECT_EQ(size.cx, 320);
    EXPECT_EQ(size.cy, 200);
    device.m_bNoBackBuffer = true;
    size = CKRAManager::KraMan_GetWindowSize();
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, 0);
    KRADestroy();
}

class ManagerDeviceObjects : public EngineFixture {};

TEST_F(ManagerDeviceObjects, DestroyAndCreateRebuildEveryWorldBuffer)
{
    Mesh mesh;
    mesh.vVertices = Quad(0, 0, 1, 0);
    WriteWorld("A.KRO", KRO(1, {mesh, mesh}));
    _KRA_HANDLE h = 0;
    ASSERT_EQ(CKRAManager::GetObjectManager()->LoadObjectFile("A.KRO", &h), KRA_OK);
    EXPECT_EQ(m_device.m_nLiveBuffers, 2);
    EXPECT_EQ(m_pManager->KraMan_DestroyDeviceObject(), KRA_OK);
    EXPECT_EQ(m_device.m_nLiveBuffers, 0);
    EXPECT_EQ(m_pManager->KraMan_CreateDeviceObject(), KRA_OK);
    EXPECT_EQ(m_device.m_nLiveBuffers, 2);
    m_device.m_bFailBuffers = true;
    m_pManager->KraMan_DestroyDeviceObject();
    YondaMessageBoxCapture boxes;
    EXPECT_EQ(m_pManager->KraMan_CreateDeviceObject(), KRA_E_FAILED);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed create vertex buffer"});
}
