#include "D3DDevice.h"

CD3DDevice::~CD3DDevice()
{
    Release();
}

void CD3DDevice::Release()
{
    if (m_pDevice) {
        m_pDevice->Release();
        m_pDevice = nullptr;
    }
    if (m_pD3D) {
        m_pD3D->Release();
        m_pD3D = nullptr;
    }
}

HRESULT CD3DDevice::Create(HWND window)
{
    Release();
    m_hWnd = window;
    m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!m_pD3D) {
        ::MessageBoxA(nullptr, "m_pD3D == NULL", nullptr, MB_OK);
        return E_FAIL;
    }
    D3DDISPLAYMODE mode{};
    if (FAILED(m_pD3D->GetAdapterDisplayMode(0, &mode))) {
        return E_FAIL;
    }
    m_fmtDisplay = mode.Format;
    RECT client{};
    ::GetClientRect(window, &client);
    m_d3dpp = D3DPRESENT_PARAMETERS{};
    m_d3dpp.BackBufferWidth = static_cast<UINT>(client.right - client.left);
    m_d3dpp.BackBufferHeight = static_cast<UINT>(client.bottom - client.top);
    m_d3dpp.BackBufferFormat = mode.Format;
    m_d3dpp.BackBufferCount = 1;
    m_d3dpp.MultiSampleType = D3DMULTISAMPLE_NONE;
    m_d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_d3dpp.hDeviceWindow = window;
    m_d3dpp.Windowed = TRUE;
    m_d3dpp.EnableAutoDepthStencil = TRUE;
    m_d3dpp.AutoDepthStencilFormat = D3DFMT_D24S8;
    constexpr DWORD kBehaviour = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED;
    if (SUCCEEDED(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, window, kBehaviour, &m_d3dpp, &m_pDevice))) {
        return S_OK;
    }
    m_d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
    if (SUCCEEDED(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, window, kBehaviour, &m_d3dpp, &m_pDevice))) {
        return S_OK;
    }
    m_pDevice = nullptr;
    return E_FAIL;
}
