// The avatar scene over the real engine: a headless Direct3D device of the platform, the engine
// created over the program's generated data folder, the map scene and the motion lists loaded as
// start-up loads them; avatars drawn and read back.
#pragma once

#include "AvatarScene.h"
#include "ClientGlobals.h"
#include "ItemCatalog.h"
#include "PixelExpect.h"

#include <DialogSkin.h>
#include <MainSkin.h>
#include <ProgramResources.h>

#include <Kravex.h>
#include <ToolkitShared.h>
#include <d3dx8.h>
#include <gtest/gtest.h>
#include <yonda_d3d8.h>
#include <yonda_platform.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace avatartest {

// The engine's ended-motion messages, as {avatar, motion}.
inline std::vector<std::pair<DWORD, DWORD>> g_endedMotions;

inline void RecordMessage(LONG code, LONG, void* data)
{
    if (code == KRA_MSG_MOTION_END && data) {
        const DWORD* values = static_cast<const DWORD*>(data);
        g_endedMotions.emplace_back(values[0], values[1]);
    }
}

// A worn-item text as the network carries it: category digit, three digits, a zero, the texture
// digit.
inline WORN_ITEM Worn(const char text[8])
{
    WORN_ITEM item;
    std::memcpy(item.dwValue, text, sizeof(item.dwValue));
    return item;
}

class AvatarSceneFixture : public ::testing::Test {
protected:
    static constexpr UINT kSize = 128;

    static void SetUpTestSuite()
    {
        const char* binary = std::getenv("YONDA_BINARY_DIR");
        ASSERT_NE(binary, nullptr);
        g_strInstallPath = CString(binary) + "/yonda";
        GlobalLockInit();
        RegisterProgramResources();
        g_pMainSkin = new CMainSkin;
        g_pDialogSkin = new CDialogSkin;
        ASSERT_TRUE(g_pMainSkin->LoadSkin(g_strInstallPath, "Orange"));
        g_pDialogSkin->SetSkinPath(g_pMainSkin->m_strSkinFolder);
        g_pDialogSkin->LoadIni(g_pMainSkin->m_strSkinFolder + "\\" + g_pMainSkin->m_strMsgDlgIni);
        ToolkitSetMessageSkin(g_pDialogSkin);
    }

    static void TearDownTestSuite()
    {
        ToolkitSetMessageSkin(nullptr);
        delete g_pMainSkin;
        g_pMainSkin = nullptr;
        delete g_pDialogSkin;
        g_pDialogSkin = nullptr;
        GlobalLockDelete();
    }

    void SetUp() override
    {
        ToolkitSetSkinFolder(SkinFolderOf("Orange"));
        YondaClockSetManual(TRUE);
        g_endedMotions.clear();
        m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = kSize;
        pp.BackBufferHeight = kSize;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = reinterpret_cast<HWND>(uintptr_t(0x6000));
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        ASSERT_EQ(m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, pp.hDeviceWindow,
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &pp, &m_pDevice),
                  D3D_OK);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
        m_strData = std::string(static_cast<LPCSTR>(g_strInstallPath)) + "\\Data\\";
        CKRAManager* manager = nullptr;
        ASSERT_EQ(KRACreate(m_pDevice, m_strData.c_str(), &RecordMessage, &manager), KRA_OK);
        g_pItemCatalog = new CItemCatalog;
        m_scene = std::make_unique<CAvatarScene>();
        ASSERT_EQ(m_scene->InitScene(), 1);
        ASSERT_NE(m_scene->GetScene(), nullptr);
    }

    void TearDown() override
    {
        for (_KRA_HANDLE& avatar : m_avatars) {
            if (m_scene && m_scene->GetScene()) {
                m_scene->GetScene()->UnloadAvatar(avatar);
            }
        }
        if (m_scene) {
            m_scene->UnloadScene();
            m_scene.reset();
        }
        KRADestroy();
        delete g_pItemCatalog;
        g_pItemCatalog = nullptr;
        if (m_pDevice) {
            m_pDevice->Release();
        }
        if (m_pD3D) {
            m_pD3D->Release();
        }
        YondaClockSetManual(FALSE);
    }

    CKRAScene* Scene() { return m_scene->GetScene(); }

    // Every record of the program's catalogue, both genders.
    static std::vector<const ITEM_RECORD*> CatalogueItems()
    {
        std::vector<const ITEM_RECORD*> items;
        for (int gender = 1; gender <= 2; ++gender) {
            for (int category = 0; category < kAvatarCategoryCount; ++category) {
                for (int i = 0; i < g_pItemCatalog->GetItemCount(gender, category); ++i) {
                    items.push_back(g_pItemCatalog->GetItem(gender, category, i, nullptr, nullptr, nullptr));
                }
            }
        }
        return items;
    }

    // The catalogue's item of that gender, category and number: its texture variant or its
    // plain self.
    static const ITEM_RECORD* CatalogueItem(int gender, int category, int number, bool variant)
    {
        for (const ITEM_RECORD* item : CatalogueItems()) {
            if (item && item->byGender == gender && item->byCategory == category && item->nItemNumber == number &&
                (item->szTexture[0] != '0') == variant) {
                return item;
            }
        }
        return nullptr;
    }

    // Keeps the avatar for the tear-down; its blinking is off so that two frames compare.
    _KRA_HANDLE Keep(_KRA_HANDLE avatar)
    {
        m_avatars.push_back(avatar);
        Scene()->TurnOffAutoAnimation(avatar);
        return avatar;
    }

    _KRA_HANDLE Build(char gender, const std::vector<WORN_ITEM>& items, DWORD key)
    {
        _KRA_HANDLE avatar = 0;
        EXPECT_NE(m_scene->LoadAvatar(key, &avatar, gender, items), 0);
        EXPECT_NE(avatar, 0u);
        return avatar ? Keep(avatar) : 0;
    }

    // The avatar's items as the engine reads them back: category -> item file name, and the
    // texture override where one is set.
    struct Dress {
        std::map<int, std::string> items;
        std::map<int, std::string> textures;
        size_t count = 0;
    };
    Dress ReadBack(_KRA_HANDLE avatar)
    {
        KRA_AVATAR_STRUCTURE structure{};
        Dress dress;
        EXPECT_EQ(Scene()->GetAvatarStructure(avatar, &structure), KRA_OK);
        dress.count = structure.dwItemCount;
        for (DWORD i = 0; i < structure.dwItemCount; ++i) {
            const KRA_AVATAR_ITEM& item = structure.pItems[i];
            const int category = item.szItemFile[2] - '0';
            EXPECT_EQ(dress.items.count(category), 0u) << "two items of category " << category;
            dress.items[category] = item.szItemFile;
            if (item.bTextureOverride) {
                dress.textures[category] = item.szTextureFile;
            }
        }
        delete[] structure.pItems;
        return dress;
    }

    // A frame of the given avatars from an eye, on black.
    YondaPicture Draw(std::vector<_KRA_HANDLE> avatars, D3DXVECTOR3 eye = D3DXVECTOR3(0, 25, -70),
                      D3DXVECTOR3 at = D3DXVECTOR3(0, 25, 0))
    {
        D3DXVECTOR3 up(0, 1, 0);
        D3DXMATRIX view, projection;
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1.0f, 1.0f, 5000.0f);
        m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
        m_pDevice->SetTransform(D3DTS_WORLD, &view);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        m_pDevice->BeginScene();
        EXPECT_EQ(Scene()->RenderAvatars(static_cast<unsigned>(avatars.size()), avatars.data()), KRA_OK);
        m_pDevice->EndScene();
        return BackBuffer();
    }

    YondaPicture BackBuffer()
    {
        IDirect3DSurface8* surface = nullptr;
        EXPECT_EQ(m_pDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface), D3D_OK);
        if (!surface) {
            return YondaPicture();
        }
        YondaPicture picture = yonda::testing::ReadSurface(surface);
        surface->Release();
        // The back buffer has no alpha: only the colour counts.
        for (DWORD& pixel : picture.pixels) {
            pixel &= 0xFFFFFF;
        }
        return picture;
    }

    static size_t Covered(const YondaPicture& picture)
    {
        size_t covered = 0;
        for (DWORD pixel : picture.pixels) {
            covered += pixel != 0;
        }
        return covered;
    }

    // Pixels that differ between two frames, and the rows they lie in.
    struct Difference {
        size_t count = 0;
        UINT top = kSize;
        UINT bottom = 0;
    };
    static Difference Compare(const YondaPicture& a, const YondaPicture& b)
    {
        Difference d;
        for (UINT y = 0; y < kSize; ++y) {
            for (UINT x = 0; x < kSize; ++x) {
                if (a.At(x, y) != b.At(x, y)) {
                    ++d.count;
                    d.top = std::min(d.top, y);
                    d.bottom = std::max(d.bottom, y);
                }
            }
        }
        return d;
    }

    IDirect3D8* m_pD3D = nullptr;
    IDirect3DDevice8* m_pDevice = nullptr;
    std::string m_strData;
    std::unique_ptr<CAvatarScene> m_scene;
    std::vector<_KRA_HANDLE> m_avatars;
};

} // namespace avatartest
