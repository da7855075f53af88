// Presentation, swap chains, the lost-device cycle, reference counts, threads and bad arguments.
#include <cstring>
#include <thread>

#include "RenderFixture.h"
#include "yonda_present.h"

namespace yonda::d3d8::testing {
namespace {

class DeviceLifecycle : public RenderTest {};

TEST_F(DeviceLifecycle, PresentHandsThePictureToTheWindow)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    D3DRECT corner = {0, 0, 1, 1};
    m_device->Clear(1, &corner, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    YondaPicture picture;
    ASSERT_TRUE(YondaD3D8GetPresentedPicture(m_window, &picture));
    EXPECT_EQ(picture.width, kWidth);
    EXPECT_EQ(picture.height, kHeight);
    EXPECT_EQ(picture.At(0, 0), kRed);
    EXPECT_EQ(picture.At(1, 0), kBlue);
    EXPECT_EQ(picture.At(63, 63), kBlue);

    // The front buffer: the screen with the window's last picture at its place (the origin here).
    D3DDISPLAYMODE mode;
    ASSERT_EQ(m_device->GetDisplayMode(&mode), D3D_OK);
    IDirect3DSurface8* screen = nullptr;
    ASSERT_EQ(m_device->CreateImageSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, &screen), D3D_OK);
    ASSERT_EQ(m_device->GetFrontBuffer(screen), D3D_OK);
    YondaPicture front = ReadSurface(screen);
    EXPECT_EQ(front.At(0, 0), kRed);
    EXPECT_EQ(front.At(10, 10), kBlue);
    EXPECT_EQ(front.At(100, 100), 0xff000000u);
    screen->Release();
    IDirect3DSurface8* small = nullptr;
    ASSERT_EQ(m_device->CreateImageSurface(16, 16, D3DFMT_A8R8G8B8, &small), D3D_OK);
    EXPECT_EQ(m_device->GetFrontBuffer(small), D3DERR_INVALIDCALL);
    small->Release();
}

// Presents reuse the memory of the window's picture before last: each picture read back stays as
// it was, and a present of part of the frame and a whole one after it both come out whole.
TEST_F(DeviceLifecycle, PresentedPicturesStayTheirOwn)
{
    std::vector<YondaPicture> pictures;
    for (D3DCOLOR colour : {kRed, kGreen, kBlue}) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
        ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        pictures.emplace_back();
        ASSERT_TRUE(YondaD3D8GetPresentedPicture(m_window, &pictures.back()));
    }
    EXPECT_EQ(pictures[0].At(5, 5), kRed);
    EXPECT_EQ(pictures[1].At(5, 5), kGreen);
    EXPECT_EQ(pictures[2].At(63, 63), kBlue);

    D3DRECT corner = {0, 0, 1, 1};
    m_device->Clear(1, &corner, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    RECT source = {0, 0, 8, 4};
    RECT destination = {2, 1, 10, 5};
    ASSERT_EQ(m_device->Present(&source, &destination, nullptr, nullptr), D3D_OK);
    YondaPicture part;
    ASSERT_TRUE(YondaD3D8GetPresentedPicture(m_window, &part));
    EXPECT_EQ(part.width, 10u);
    EXPECT_EQ(part.height, 5u);
    EXPECT_EQ(part.At(0, 0), kBlack);
    EXPECT_EQ(part.At(2, 1), kRed);
    EXPECT_EQ(part.At(9, 4), kBlue);

    ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    YondaPicture whole;
    ASSERT_TRUE(YondaD3D8GetPresentedPicture(m_window, &whole));
    EXPECT_EQ(whole.width, kWidth);
    EXPECT_EQ(whole.height, kHeight);
    EXPECT_EQ(whole.At(0, 0), kRed);
    EXPECT_EQ(whole.At(63, 63), kBlue);
    EXPECT_EQ(pictures[2].At(0, 0), kBlue);
}

// A window system that knows one window: 48 x 20 at (100, 50) on the screen.
class FakeWindowSystem : public YondaPresentTarget {
public:
    void PresentToWindow(HWND hwnd, const DWORD* pixels, int width, int height, int stride) override
    {
        window = hwnd;
        size = SIZE{width, height};
        firstPixel = pixels[0];
        lastPixel = pixels[size_t(height - 1) * size_t(stride / 4) + size_t(width - 1)];
        ++presents;
        // Reading pictures back from inside a present must not wait on the renderer.
        YondaPicture previous;
        YondaD3D8GetPresentedPicture(hwnd, &previous);
    }
    BOOL GetClientSize(HWND hwnd, SIZE* out) override
    {
        if (hwnd != known)
            return FALSE;
        *out = SIZE{48, 20};
        return TRUE;
    }
    BOOL GetClientOrigin(HWND hwnd, POINT* out) override
    {
        if (hwnd != known)
            return FALSE;
        *out = POINT{100, 50};
        return TRUE;
    }

    HWND known = FakeWindow(0x5000);
    HWND window = nullptr;
    SIZE size{};
    DWORD firstPixel = 0, lastPixel = 0;
    int presents = 0;
};

TEST_F(DeviceLifecycle, PresentGoesToTheWindowSystem)
{
    FakeWindowSystem windows;
    YondaSetPresentTarget(&windows);
    // A size of zero takes the window's client area.
    D3DPRESENT_PARAMETERS pp = Params(0, 0, windows.known);
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, windows.known, 0x24, &pp, &device), D3D_OK);
    EXPECT_EQ(pp.BackBufferWidth, 48u);
    EXPECT_EQ(pp.BackBufferHeight, 20u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kGreen, 1.0f, 0);
    D3DRECT corner = {47, 19, 48, 20};
    device->Clear(1, &corner, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(windows.presents, 1);
    EXPECT_EQ(windows.window, windows.known);
    EXPECT_EQ(windows.size.cx, 48);
    EXPECT_EQ(windows.firstPixel, kGreen);
    EXPECT_EQ(windows.lastPixel, kRed);

    // The front buffer puts the window's picture where the window is on the screen.
    D3DDISPLAYMODE mode;
    device->GetDisplayMode(&mode);
    IDirect3DSurface8* screen = nullptr;
    ASSERT_EQ(device->CreateImageSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8, &screen), D3D_OK);
    ASSERT_EQ(device->GetFrontBuffer(screen), D3D_OK);
    YondaPicture front = ReadSurface(screen);
    EXPECT_EQ(front.At(99, 50), 0xff000000u);
    EXPECT_EQ(front.At(100, 50), kGreen);
    EXPECT_EQ(front.At(147, 69), kRed);
    EXPECT_EQ(front.At(148, 69), 0xff000000u);
    screen->Release();
    YondaSetPresentTarget(nullptr);
    EXPECT_EQ(device->Release(), 0u);
}

// The adapter's mode is the screen the window system reports, unless a size is set for it.
TEST_F(DeviceLifecycle, DisplayModeFollowsTheScreen)
{
    D3DDISPLAYMODE adapter{}, device{};
    ASSERT_EQ(m_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &adapter), D3D_OK);
    ASSERT_EQ(m_device->GetDisplayMode(&device), D3D_OK);
    EXPECT_EQ(adapter.Width, UINT(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(adapter.Height, UINT(GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(adapter.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(device.Width, adapter.Width);
    EXPECT_EQ(device.Height, adapter.Height);

    YondaD3D8SetDisplayMode(1600, 1200);
    ASSERT_EQ(m_device->GetDisplayMode(&device), D3D_OK);
    EXPECT_EQ(device.Width, 1600u);
    EXPECT_EQ(device.Height, 1200u);
    YondaD3D8SetDisplayMode(0, 0);
    ASSERT_EQ(m_device->GetDisplayMode(&device), D3D_OK);
    EXPECT_EQ(device.Width, adapter.Width);
    EXPECT_EQ(device.Height, adapter.Height);
}

TEST_F(DeviceLifecycle, SwapChainPresentsIntoItsOwnWindow)
{
    HWND preview = FakeWindow(0x2000);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = 32;
    pp.BackBufferHeight = 24;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_COPY;
    pp.hDeviceWindow = preview;
    pp.Windowed = TRUE;
    IDirect3DSwapChain8* chain = nullptr;
    ASSERT_EQ(m_device->CreateAdditionalSwapChain(&pp, &chain), D3D_OK);

    // As the preview windows draw: the chain's back buffer with the device's depth surface.
    IDirect3DSurface8* depth = nullptr;
    IDirect3DSurface8* back = nullptr;
    ASSERT_EQ(m_device->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(m_device->SetRenderTarget(back, depth), D3D_OK);
    back->Release();
    depth->Release();
    D3DVIEWPORT8 viewport;
    m_device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);
    EXPECT_EQ(viewport.Height, 24u);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kGreen, 1.0f, 0);
    DrawScreenRect(0, 0, 4, 4, kRed);
    ASSERT_EQ(chain->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    YondaPicture picture;
    ASSERT_TRUE(YondaD3D8GetPresentedPicture(preview, &picture));
    EXPECT_EQ(picture.width, 32u);
    EXPECT_EQ(picture.height, 24u);
    EXPECT_EQ(picture.At(2, 2), kRed);
    EXPECT_EQ(picture.At(20, 20), kGreen);
    EXPECT_FALSE(YondaD3D8GetPresentedPicture(m_window, &picture));

    // Back to the device's own back buffer: the main window gets its own picture.
    IDirect3DSurface8* main = nullptr;
    m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &main);
    m_device->GetDepthStencilSurface(&depth);
    ASSERT_EQ(m_device->SetRenderTarget(main, depth), D3D_OK);
    main->Release();
    depth->Release();
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    m_device->Present(nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(YondaD3D8GetPresentedPicture(m_window, &picture));
    EXPECT_EQ(picture.At(2, 2), kBlue);
    ASSERT_TRUE(YondaD3D8GetPresentedPicture(preview, &picture));
    EXPECT_EQ(picture.At(2, 2), kRed);
    EXPECT_EQ(chain->Release(), 0u);
}

TEST_F(DeviceLifecycle, DepthSurfaceSmallerThanTheTargetIsRefused)
{
    D3DPRESENT_PARAMETERS pp = Params(128, 16, FakeWindow(0x3000));
    pp.EnableAutoDepthStencil = FALSE;
    IDirect3DSwapChain8* chain = nullptr;
    ASSERT_EQ(m_device->CreateAdditionalSwapChain(&pp, &chain), D3D_OK);
    IDirect3DSurface8* back = nullptr;
    IDirect3DSurface8* depth = nullptr;
    chain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    m_device->GetDepthStencilSurface(&depth);
    EXPECT_EQ(m_device->SetRenderTarget(back, depth), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderTarget(depth, nullptr), D3DERR_INVALIDCALL);
    back->Release();
    depth->Release();
    chain->Release();
}

TEST_F(DeviceLifecycle, LostDeviceCycleAsTheClientRunsIt)
{
    IDirect3DTexture8* managed = MakeTexture(1, 1, {kGreen});
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &vb), D3D_OK);
    IDirect3DSurface8* back = nullptr;
    m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);

    ASSERT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
    ASSERT_EQ(YondaD3D8LoseDevice(m_device, 2), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS pp = Params(kWidth, kHeight);
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_DEVICELOST);
    // Draws while lost are accepted and dropped.
    EXPECT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

    // Reset fails while the program holds default-pool resources or the device's surfaces.
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_device), 1u);
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL);
    vb->Release();
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_INVALIDCALL);
    back->Release();
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    ASSERT_EQ(m_device->Reset(&pp), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
    // State starts over as on a new device; the managed texture survived and still draws.
    DWORD cull = 0;
    m_device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD(D3DCULL_CCW));
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0);
    m_device->SetTexture(0, managed);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    DrawScreenRect(0, 0, 8, 8, 0xffffffffu);
    ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    YondaPicture picture;
    ASSERT_TRUE(YondaD3D8GetPresentedPicture(m_window, &picture));
    EXPECT_EQ(picture.At(4, 4), kGreen);
    EXPECT_EQ(picture.At(20, 20), kBlue);
    m_device->SetTexture(0, nullptr);
    managed->Release();
}

TEST_F(DeviceLifecycle, RefusedResetsKeepTheDeviceWaitingUntilOneSucceeds)
{
    D3DPRESENT_PARAMETERS pp = Params(kWidth, kHeight);
    ASSERT_EQ(YondaD3D8LoseDevice(m_device, 1), D3D_OK);
    ASSERT_EQ(YondaD3D8RefuseResets(m_device, 2), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
        EXPECT_EQ(m_device->Reset(&pp), D3DERR_DEVICELOST);
        EXPECT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    }
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(m_device->Reset(&pp), D3D_OK);
    EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
    // A refusal asked for while the device works waits for the next loss.
    ASSERT_EQ(YondaD3D8RefuseResets(m_device, 1), D3D_OK);
    EXPECT_EQ(m_device->Reset(&pp), D3D_OK);
}

TEST_F(DeviceLifecycle, ResetResizesTheBackBuffer)
{
    D3DPRESENT_PARAMETERS pp = Params(40, 30);
    ASSERT_EQ(m_device->Reset(&pp), D3D_OK);
    IDirect3DSurface8* back = nullptr;
    m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 40u);
    EXPECT_EQ(desc.Height, 30u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    back->Release();
    pp.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(m_device->Reset(&pp), D3DERR_NOTAVAILABLE);
}

TEST_F(DeviceLifecycle, WriteOnlyBuffersReadBack)
{
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(12 * 4, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, D3DPOOL_DEFAULT, &vb), D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    for (int i = 0; i < 48; ++i)
        data[i] = BYTE(i);
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    ASSERT_EQ(vb->Lock(12, 12, &data, 0), D3D_OK);
    EXPECT_EQ(data[0], 12);
    EXPECT_EQ(data[11], 23);
    vb->Unlock();
    EXPECT_EQ(vb->Lock(40, 12, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL);
    D3DVERTEXBUFFER_DESC desc;
    vb->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 48u);
    EXPECT_EQ(desc.FVF, DWORD(D3DFVF_XYZ));
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    vb->Release();
}

TEST_F(DeviceLifecycle, ReferenceCountsAndOverRelease)
{
    IDirect3DTexture8* texture = MakeTexture(4, 4, {kRed});
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    // The device's binding keeps it alive after the program's last release.
    m_device->SetTexture(0, texture);
    EXPECT_EQ(texture->Release(), 0u);
    IDirect3DBaseTexture8* bound = nullptr;
    ASSERT_EQ(m_device->GetTexture(0, &bound), D3D_OK);
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(bound->GetLevelCount(), 1u);
    EXPECT_EQ(bound->Release(), 0u);
    EXPECT_EQ(bound->Release(), 0u); // one release too many is ignored
    m_device->SetTexture(0, nullptr);

    IDirect3DDevice8* same = nullptr;
    IDirect3DSurface8* back = nullptr;
    m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    back->GetDevice(&same);
    EXPECT_EQ(same, m_device);
    same->Release();
    back->Release();
}

TEST_F(DeviceLifecycle, BadArgumentsAnswerInvalidCall)
{
    IDirect3DVertexBuffer8* vb = nullptr;
    EXPECT_EQ(m_device->CreateVertexBuffer(0, 0, 0, D3DPOOL_DEFAULT, &vb), D3DERR_INVALIDCALL);
    EXPECT_EQ(vb, nullptr);
    EXPECT_EQ(m_device->CreateVertexBuffer(16, 0, 0, D3DPOOL_DEFAULT, nullptr), D3DERR_INVALIDCALL);
    IDirect3DIndexBuffer8* ib = nullptr;
    EXPECT_EQ(m_device->CreateIndexBuffer(16, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &ib), D3DERR_INVALIDCALL);
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(m_device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetRenderState(D3DRENDERSTATETYPE(300), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_DISABLE), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetStreamSource(16, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetTransform(D3DTS_WORLD, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->SetVertexShader(0), D3DERR_INVALIDCALL);      // no position
    EXPECT_EQ(m_device->SetVertexShader(0x1235), D3DERR_INVALIDCALL); // not a declaration handle
    const DWORD function[] = {0xfffe0101, 0x0000ffff};
    const DWORD declaration[] = {D3DVSD_STREAM(0), D3DVSD_REG(D3DVSDE_POSITION, D3DVSDT_FLOAT3), D3DVSD_END()};
    DWORD handle = 0;
    EXPECT_EQ(m_device->CreateVertexShader(declaration, function, &handle, 0), D3DERR_INVALIDCALL);
    const DWORD noPosition[] = {D3DVSD_STREAM(0), D3DVSD_REG(D3DVSDE_DIFFUSE, D3DVSDT_D3DCOLOR), D3DVSD_END()};
    EXPECT_EQ(m_device->CreateVertexShader(noPosition, nullptr, &handle, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->CreateVertexShader(nullptr, nullptr, &handle, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    D3DVIEWPORT8 outside = {60, 0, 10, 10, 0, 1};
    EXPECT_EQ(m_device->SetViewport(&outside), D3DERR_INVALIDCALL);

    // Draws that would read past a buffer are refused.
    ASSERT_EQ(m_device->CreateVertexBuffer(3 * 16, 0, 0, D3DPOOL_MANAGED, &vb), D3D_OK);
    m_device->SetStreamSource(0, vb, 16);
    m_device->SetVertexShader(D3DFVF_XYZRHW);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 1, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0x7fffffff), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPRIMITIVETYPE(9), 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1), D3DERR_INVALIDCALL); // no indices
    m_device->SetStreamSource(0, vb, 0);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    m_device->SetStreamSource(0, nullptr, 0);
    EXPECT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 16), D3DERR_INVALIDCALL);
    vb->Release();

    D3DPRESENT_PARAMETERS pp = Params(16, 16);
    IDirect3DDevice8* other = nullptr;
    pp.Windowed = FALSE;
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, 0, &pp, &other), D3DERR_NOTAVAILABLE);
    pp.Windowed = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, 0, &pp, &other), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_window, 0, nullptr, &other), D3DERR_INVALIDCALL);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(Direct3DCreate8(120), nullptr);
}

TEST_F(DeviceLifecycle, DepthFormatsOfTheClientBothWork)
{
    for (D3DFORMAT format : {D3DFMT_D24S8, D3DFMT_D16}) {
        D3DPRESENT_PARAMETERS pp = Params(16, 16, FakeWindow(0x4000));
        pp.AutoDepthStencilFormat = format;
        IDirect3DDevice8* device = nullptr;
        ASSERT_EQ(m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, pp.hDeviceWindow, 0x24, &pp, &device), D3D_OK);
        EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kRed, 1.0f, 0), D3D_OK);
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        YondaPicture picture;
        ASSERT_TRUE(YondaD3D8GetPresentedPicture(pp.hDeviceWindow, &picture));
        EXPECT_EQ(picture.At(8, 8), kRed);
        EXPECT_EQ(device->Release(), 0u);
    }
}

TEST_F(DeviceLifecycle, ResourcesMadeOnOneThreadDrawOnAnother)
{
    // A loader thread makes and fills the texture; the render thread draws it.
    IDirect3DTexture8* texture = nullptr;
    std::thread loader([&] { texture = MakeTexture(2, 2, {kGreen}); });
    loader.join();
    ASSERT_NE(texture, nullptr);
    std::thread renderer([&] {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0);
        m_device->SetTexture(0, texture);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        DrawScreenRect(0, 0, 8, 8, 0xffffffffu);
        m_device->EndScene();
    });
    renderer.join();
    // And the picture reads back on the first thread.
    YondaPicture picture = ReadBackBuffer();
    EXPECT_EQ(picture.At(4, 4), kGreen);
    EXPECT_EQ(picture.At(10, 10), kBlue);
    m_device->SetTexture(0, nullptr);
    texture->Release();
}

} // namespace
} // namespace yonda::d3d8::testing
