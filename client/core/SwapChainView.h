#pragma once
// A preview window's own swap chain on the 3D view's device: the avatar previews draw through it
// with the same device while the view renders.
#include <d3d8.h>

class CSwapChainView {
public:
    CSwapChainView() = default;
    virtual ~CSwapChainView();
    CSwapChainView(const CSwapChainView&) = delete;
    CSwapChainView& operator=(const CSwapChainView&) = delete;

    BOOL Create(HWND window, IDirect3DDevice8* device, D3DFORMAT format);
    BOOL CreateSwapChain();
    HRESULT Restore();
    HRESULT Release();
    HRESULT Destroy() { return Release(); }
    BOOL BeginDraw();
    BOOL EndDraw();
    HRESULT Present();

    IDirect3DDevice8* m_pDevice = nullptr;
    IDirect3DSurface8* m_pDepthStencil = nullptr;
    D3DPRESENT_PARAMETERS m_d3dpp{};
    IDirect3DSwapChain8* m_pSwapChain = nullptr;
    IDirect3DSurface8* m_pBackBuffer = nullptr;

private:
    IDirect3DDevice8* m_pOwner = nullptr; // the device asked for at creation, kept for restores
};
