#pragma once
// The Direct3D 8 device the client creates for its 3D view and hands to the engine.
#include <d3d8.h>

class CD3DDevice {
public:
    CD3DDevice() = default;
    ~CD3DDevice();
    CD3DDevice(const CD3DDevice&) = delete;
    CD3DDevice& operator=(const CD3DDevice&) = delete;

    // S_OK, or E_FAIL when neither a 24-bit depth with stencil nor a 16-bit depth works.
    HRESULT Create(HWND window);
    void Release();

    IDirect3DDevice8* m_pDevice = nullptr;
    HWND m_hWnd = nullptr;
    IDirect3D8* m_pD3D = nullptr;
    D3DFORMAT m_fmtDisplay = D3DFMT_UNKNOWN;
    D3DPRESENT_PARAMETERS m_d3dpp{};
};
