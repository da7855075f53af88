// The engine started on a real Direct3D device over a data folder of its own, with the host's
// usual baseline states, and the back buffer read back as pixels.
#pragma once

#include "KRAManager.h"
#include "KRATestFiles.h"
#include "PixelExpect.h"
#include "TempFolder.h"

#include <d3dx8.h>
#include <gtest/gtest.h>
#include <yonda_d3d8.h>

#include <filesystem>
#include <string>

namespace kratest {

// Where the tests look from: a view from an eye to a point, and the projection every engine camera
// sets on the device (a quarter turn of field of view over the back buffer, from 1 to 5000).
class TestCamera {
public:
    void CreateAt(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vLookAt, const D3DXVECTOR3& vUp)
    {
        m_vEye = vEye;
        D3DXMatrixLookAtLH(&m_matView, &vEye, &vLookAt, &vUp);
        tagSIZE size = CKRAManager::KraMan_GetWindowSize();
        float fAspect = (size.cx > 0 && size.cy > 0) ? float(size.cx) / float(size.cy) : 1.0f;
        D3DXMatrixPerspectiveFovLH(&m_matProjection, D3DX_PI / 4, fAspect, 1.0f, 5000.0f);
        if (IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice())
            pDevice->SetTransform(D3DTS_PROJECTION, &m_matProjection);
    }
    D3DXMATRIX& GetViewMatrix() { return m_matView; }
    D3DXMATRIX& GetProjectionMatrix() { return m_matProjection; }
    D3DXVECTOR3& GetEyePosition() { return m_vEye; }

private:
    D3DXVECTOR3 m_vEye;
    D3DXMATRIX m_matView, m_matProjection;
};

class RenderFixture : public ::testing::Test {
protected:
    static constexpr UINT kSize = 64;
    // A test that needs a larger back buffer sets this in its constructor.
    UINT m_nSize = kSize;

    static void Ignore(LONG, LONG, void*) {}

    void SetUp() override
    {
        m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr) << "no renderer";
        D3DPRESENT_PARAMETERS pp = PresentParameters();
        ASSERT_EQ(m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, pp.hDeviceWindow, 0x24, &pp, &m_pDevice),
                  D3D_OK);
        Baseline();

        m_root = m_temp.Path();
        m_temp.MakeFolder("Data/WORLD");
        m_strData = (m_root / "Data").string() + "/";
        CKRAManager* pManager = nullptr;
        ASSERT_EQ(KRACreate(m_pDevice, m_strData.c_str(), &Ignore, &pManager), KRA_OK);

        // A camera 10 units in front of the origin looking at it, as a scene pass sets it up.
        m_cCamera.CreateAt(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
        m_pDevice->SetTransform(D3DTS_WORLD, &m_cCamera.GetViewMatrix());
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        m_pDevice->BeginScene();
    }

    D3DPRESENT_PARAMETERS PresentParameters() const
    {
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = m_nSize;
        pp.BackBufferHeight = m_nSize;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = reinterpret_cast<HWND>(uintptr_t(0x6000));
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        return pp;
    }

    // The host's baseline states, set on a new or reset device.
    void Baseline()
    {
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    }

    void TearDown() override
    {
        KRADestroy();
        if (m_pDevice) {
            EXPECT_EQ(m_pDevice->Release(), 0u);
        }
        if (m_pD3D)
            m_pD3D->Release();
    }

    void WriteWorld(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        Write(m_root / "Data" / "WORLD" / name, bytes);
    }

    // The back buffer after the scene so far, as 0xAARRGGBB rows.
    YondaPicture Picture()
    {
        m_pDevice->EndScene();
        YondaPicture picture;
        IDirect3DSurface8* pSurface = nullptr;
        EXPECT_EQ(m_pDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &pSurface), D3D_OK);
        if (!pSurface)
            return picture;
        // The back buffer has no alpha of its own: its pixels read as opaque.
        picture = yonda::testing::ReadSurface(pSurface);
        for (DWORD& pixel : picture.pixels)
            pixel |= 0xFF000000u;
        pSurface->Release();
        m_pDevice->BeginScene();
        return picture;
    }

    // Where a world point lands on the back buffer.
    POINT Project(float x, float y, float z)
    {
        D3DXMATRIX mIdentity;
        D3DXMatrixIdentity(&mIdentity);
        D3DVIEWPORT8 viewport = {0, 0, m_nSize, m_nSize, 0, 1};
        D3DXVECTOR3 v(x, y, z), out;
        D3DXVec3Project(&out, &v, &viewport, &m_cCamera.GetProjectionMatrix(), &mIdentity, &m_cCamera.GetViewMatrix());
        return POINT{LONG(out.x), LONG(out.y)};
    }

    static bool Near(DWORD actual, DWORD expected, int tolerance)
    {
        return yonda::testing::ColourNear(actual | 0xFF000000u, expected | 0xFF000000u, tolerance);
    }

    // Keeps a failing picture beside the test run, for a person to look at.
    static void ExpectPixel(const YondaPicture& picture, POINT p, DWORD expected, int tolerance = 4)
    {
        yonda::testing::ExpectPixel(picture, p.x, p.y, expected, tolerance, "kravex");
    }

    yonda::testing::TempFolder m_temp{"kravex-render"};
    IDirect3D8* m_pD3D = nullptr;
    IDirect3DDevice8* m_pDevice = nullptr;
    std::filesystem::path m_root;
    std::string m_strData;
    TestCamera m_cCamera;
};

} // namespace kratest
