// A real device on the real renderer, and helpers to read its pixels back.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PixelExpect.h"
#include "d3dx8.h"
#include "yonda_d3d8.h"

namespace yonda::d3d8::testing {

// Pre-transformed, coloured, one texture set: FVF 0x144.
struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kScreenFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

constexpr D3DCOLOR kBlack = 0xff000000u;
constexpr D3DCOLOR kRed = 0xffff0000u;
constexpr D3DCOLOR kGreen = 0xff00ff00u;
constexpr D3DCOLOR kBlue = 0xff0000ffu;
constexpr D3DCOLOR kWhite = 0xffffffffu;
constexpr D3DCOLOR kGrey = 0xff808080u;

inline HWND FakeWindow(uintptr_t id)
{
    return reinterpret_cast<HWND>(id);
}

using yonda::testing::ColourNear;

class RenderTest : public ::testing::Test {
protected:
    static constexpr UINT kWidth = 64;
    static constexpr UINT kHeight = 64;

    void SetUp() override
    {
        m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(m_d3d, nullptr) << "no renderer";
        D3DPRESENT_PARAMETERS pp = Params(kWidth, kHeight);
        ASSERT_EQ(m_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_window, 0x24, &pp, &m_device), D3D_OK);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        // A new depth buffer holds anything, as on the platform.
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff000000u, 1.0f, 0);
    }

    void TearDown() override
    {
        if (m_device) {
            EXPECT_EQ(m_device->Release(), 0u);
        }
        if (m_d3d)
            m_d3d->Release();
        YondaD3D8ForgetPresentedPictures();
    }

    D3DPRESENT_PARAMETERS Params(UINT width, UINT height, HWND window = nullptr)
    {
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = width;
        pp.BackBufferHeight = height;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = window ? window : m_window;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        return pp;
    }

    // The back buffer as 0xAARRGGBB rows.
    YondaPicture ReadBackBuffer()
    {
        YondaPicture picture;
        IDirect3DSurface8* surface = nullptr;
        EXPECT_EQ(m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface), D3D_OK);
        if (!surface)
            return picture;
        picture = ReadSurface(surface);
        surface->Release();
        return picture;
    }

    static YondaPicture ReadSurface(IDirect3DSurface8* surface) { return yonda::testing::ReadSurface(surface); }

    static void ExpectPixel(const YondaPicture& picture, UINT x, UINT y, D3DCOLOR expected, int tolerance = 2)
    {
        yonda::testing::ExpectPixel(picture, x, y, expected, tolerance, "d3d8");
    }

    // A rectangle of pre-transformed vertices as a strip (left, top, right, bottom in pixels).
    void DrawScreenRect(float l, float t, float r, float b, D3DCOLOR color, float z = 0.5f, float u0 = 0, float v0 = 0,
                        float u1 = 1, float v1 = 1)
    {
        ScreenVertex quad[4] = {
            {l, t, z, 1, color, u0, v0},
            {r, t, z, 1, color, u1, v0},
            {l, b, z, 1, color, u0, v1},
            {r, b, z, 1, color, u1, v1},
        };
        ASSERT_EQ(m_device->SetVertexShader(kScreenFvf), D3D_OK);
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(ScreenVertex)), D3D_OK);
    }

    // A texture whose level 0 is filled with the given colours, row by row.
    IDirect3DTexture8* MakeTexture(UINT width, UINT height, const std::vector<D3DCOLOR>& texels, UINT levels = 1)
    {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(m_device->CreateTexture(width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
                  D3D_OK);
        if (!texture)
            return nullptr;
        FillLevel(texture, 0, texels);
        return texture;
    }

    static void FillLevel(IDirect3DTexture8* texture, UINT level, const std::vector<D3DCOLOR>& texels)
    {
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + size_t(y) * UINT(locked.Pitch));
            for (UINT x = 0; x < desc.Width; ++x) {
                row[x] = texels.size() == 1 ? texels[0] : texels[size_t(y) * desc.Width + x];
            }
        }
        texture->UnlockRect(level);
    }

    HWND m_window = FakeWindow(0x1000);
    IDirect3D8* m_d3d = nullptr;
    IDirect3DDevice8* m_device = nullptr;
};

} // namespace yonda::d3d8::testing
