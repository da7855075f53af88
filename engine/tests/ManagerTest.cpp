// The manager as a host sees it through libKravex: start and stop, the engine-wide settings, scene
// handles and the device-object cycle.
#include "KRAEngineFixture.h"
#include "KRAInterfaceValues.h"
#include "KRASceneTestFiles.h"
#include "Kravex.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

using namespace kratest;
using namespace kratest::values;

namespace {

void Proc(LONG, LONG, void*) {}

// A scene of one world object file with two meshes, and its two maps, in a data folder.
void WriteScene(const std::filesystem::path& data)
{
    Mesh mesh;
    mesh.vVertices = Quad(0, 0, 1, 0);
    Write(data / "WORLD" / "A.KRO", KRO(1, {mesh, mesh}));
    SceneRecord record;
    record.strName = "A.KRO";
    Write(data / "WORLD" / "Room.KRS", KRS({}, {record}));
    Write(data / "WORLD" / "Room.KRP", GridMap(10, 4, 4, 0, 0, std::vector<uint8_t>(16, 0)));
    Write(data / "WORLD" / "Room.KRC", GridMap(10, 4, 4, 0, 0, std::vector<uint8_t>(16, 0)));
}

void ExpectNoParts()
{
    EXPECT_EQ(CKRAManager::GetObjectManager(), nullptr);
    EXPECT_EQ(CKRAManager::GetAvatarManager(), nullptr);
    EXPECT_EQ(CKRAManager::GetTextureManager(), nullptr);
    EXPECT_EQ(CKRAManager::GetFrustum(), nullptr);
}

} // namespace

TEST(Manager, RefusesEachMissingArgumentWithItsBoxInOrder)
{
    YondaMessageBoxCapture boxes;
    FakeDevice device;
    CKRAManager* pManager = nullptr;
    EXPECT_EQ(KRACreate(nullptr, nullptr, nullptr, &pManager), kInvalidArgument);
    EXPECT_EQ(pManager, CKRAManager::GetKRA()); // the address is written in every case
    EXPECT_EQ(KRACreate(&device, nullptr, &Proc, &pManager), kInvalidArgument);
    EXPECT_EQ(KRACreate(&device, "/tmp/", nullptr, &pManager), kInvalidArgument);
    // A folder with no room left for the engine's folders and names is refused like a missing one.
    EXPECT_EQ(KRACreate(&device, std::string(300, 'a').c_str(), &Proc, &pManager), kInvalidArgument);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Invalid Direct3D device pointer\n", "Invalid installed path\n",
                                                       "Invalid message procedure\n", "Invalid installed path\n"}));
    for (const auto& box : boxes.Boxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.hWnd, nullptr);
        EXPECT_EQ(box.type, UINT(MB_OK | MB_ICONWARNING));
    }
    ExpectNoParts();
    EXPECT_EQ(KRADestroy(), kOk);
}

TEST(Manager, CreateBuildsEveryPartAndASecondCreateStartsAfresh)
{
    const yonda::testing::TempFolder temp("kravex-manager");
    const std::filesystem::path& root = temp.Path();
    WriteScene(root / "one");
    std::string strOne = (root / "one").string() + "/", strTwo = (root / "two").string() + "/";

    FakeDevice device;
    CKRAManager* pManager = nullptr;
    ASSERT_EQ(KRACreate(&device, strOne.c_str(), &Proc, &pManager), kOk);
    EXPECT_EQ(CKRAManager::GetD3DDevice(), &device);
    EXPECT_EQ(CKRAManager::GetInstalledPath(), strOne);
    EXPECT_EQ(CKRAManager::GetMessageProc(), &Proc);
    EXPECT_NE(CKRAManager::GetObjectManager(), nullptr);
    EXPECT_NE(CKRAManager::GetAvatarManager(), nullptr);
    EXPECT_NE(CKRAManager::GetTextureManager(), nullptr);
    EXPECT_NE(CKRAManager::GetFrustum(), nullptr);
    _KRA_HANDLE hScene = 0;
    ASSERT_EQ(pManager->LoadScene("Room.KRS", hScene), kOk);
    EXPECT_EQ(device.m_nLiveBuffers, 2);

    // Started again without a stop, the engine takes the first set down before it builds the
    // next, so nothing the first set loaded is left behind unreachable: its scene is gone.
    ASSERT_EQ(KRACreate(&device, strTwo.c_str(), &Proc, &pManager), kOk);
    EXPECT_EQ(device.m_nLiveBuffers, 0);
    EXPECT_EQ(CKRAManager::GetInstalledPath(), strTwo);
    YondaMessageBoxCapture boxes;
    CKRAScene* pScene = nullptr;
    EXPECT_EQ(pManager->KraMan_GetScene(hScene, &pScene), kInvalidHandle);
    EXPECT_EQ(KRADestroy(), kOk);
    ExpectNoParts();
    // A stop after a stop does nothing.
    EXPECT_EQ(KRADestroy(), kOk);
}

TEST(Manager, RenderingOptionsAreTwoBits)
{
    CKRAManager* pManager = CKRAManager::GetKRA();
    CKRAManager::GetRenderingOption() = 0;
    EXPECT_EQ(pManager->SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE(kOptionMipmap), 1), kOk);
    EXPECT_EQ(CKRAManager::GetRenderingOption(), 1u);
    EXPECT_EQ(pManager->SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE(kOptionSecondTexture), 1), kOk);
    EXPECT_EQ(CKRAManager::GetRenderingOption(), 3u);
    EXPECT_EQ(CKRAManager::m_sRenderingOption, 3u);
    EXPECT_EQ(pManager->SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE(kOptionSecondTexture), 0), kOk);
    EXPECT_EQ(CKRAManager::GetRenderingOption(), 1u);
    EXPECT_EQ(pManager->SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE(3), 1), kInvalidArgument);
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
    EXPECT_EQ(CKRAManager::GetKRA()->UnloadScene(h), kInvalidHandle);
    EXPECT_EQ(CKRAManager::GetKRA()->KraMan_GetScene(h, &pScene), kInvalidHandle);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Invalid handle\n", "Invalid handle\n"}));
}

TEST(Manager, WindowSizeIsTheBackBuffersOrZeroWithoutOne)
{
    FakeDevice device(320, 200);
    CKRAManager* pManager = nullptr;
    ASSERT_EQ(KRACreate(&device, "/tmp/", &Proc, &pManager), kOk);
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
    WriteScene(m_root / "Data");
    _KRA_HANDLE hScene = 0;
    ASSERT_EQ(m_pManager->LoadScene("Room.KRS", hScene), kOk);
    EXPECT_EQ(m_device.m_nLiveBuffers, 2);
    EXPECT_EQ(m_pManager->KraMan_DestroyDeviceObject(), kOk);
    EXPECT_EQ(m_device.m_nLiveBuffers, 0);
    EXPECT_EQ(m_pManager->KraMan_CreateDeviceObject(), kOk);
    EXPECT_EQ(m_device.m_nLiveBuffers, 2);
    m_device.m_bFailBuffers = true;
    m_pManager->KraMan_DestroyDeviceObject();
    YondaMessageBoxCapture boxes;
    EXPECT_EQ(m_pManager->KraMan_CreateDeviceObject(), kFailed);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed create vertex buffer"});
    m_device.m_bFailBuffers = false;
    EXPECT_EQ(m_pManager->UnloadScene(hScene), kOk);
}
