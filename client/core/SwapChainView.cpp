#include "SwapChainView.h"

CSwapChainView::~CSwapChainView()
{
    Release();
}

BOOL CSwapChainView::Create(HWND window, IDirect3DDevice8* device, D3DFORMAT format)
{
    if (!device || !window) {
        return FALSE;
    }
    RECT client{};
    ::GetClientRect(window, &client);
    m_d3dpp = D3DPRESENT_PARAMETERS{};
    m_d3dpp.BackBufferWidth = static_cast<UINT>(client.right - client.left);
    m_d3dpp.BackBufferHeight = static_cast<UINT>(client.bottom - client.top);
    m_d3dpp.BackBufferFormat = format;
    m_d3dpp.BackBufferCount = 1;
    m_d3dpp.SwapEffect = D3DSWAPEFFECT_COPY;
    m_d3dpp.hDeviceWindow = window;
    m_d3dpp.Windowed = TRUE;
    m_pOwner = device;
    return CreateSwapChain();
}

BOOL CSwapChainView::CreateSwapChain()
{
    if (!m_pOwner || m_pSwapChain) {
        return m_pSwapChain != nullptr;
    }
    if (FAILED(m_pOwner->CreateAdditionalSwapChain(&m_d3dpp, &m_pSwapChain))) {
        m_pSwapChain = nullptr;
        return FALSE;
    }
    m_pDevice = m_pOwner;
    return TRUE;
}

HRESULT CSwapChainView::Release()
{
    HRESULT result = S_OK;
    if (m_pBackBuffer) {
        m_pBackBuffer->Release();
        m_pBackBuffer = nullptr;
    }
    if (m_pDepthStencil) {
        m_pDepthStencil->Release();
        m_pDepthStencil = nullptr;
    }
    if (m_pSwapChain) {
        m_pSwapChain->Release();
        m_pSwapChain = nullptr;
    }
    m_pDevice = nullptr;
    return result;
}

HRESULT CSwapChainView::Restore()
{
    const HRESULT released = Release();
    if (FAILED(released)) {
        return released;
    }
    return CreateSwapChain() ? S_OK : E_FAIL;
}

BOOL CSwapChainView::BeginDraw()
{
    if (!m_pDevice || !m_pSwapChain) {
        return FALSE;
    }
    IDirect3DSurface8* depth = nullptr;
    IDirect3DSurface8* back = nullptr;
    m_pDevice->GetDepthStencilSurface(&depth);
    m_pSwapChain->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    m_pDevice->SetRenderTarget(back, depth);
    if (back) {
        back->Release();
    }
    if (depth) {
        depth->Release();
    }
    return TRUE;
}

BOOL CSwapChainView::EndDraw()
{
    if (m_pBackBuffer) {
        m_pBackBuffer->Release();
        m_pBackBuffer = nullptr;
    }
    return TRUE;
}

HRESULT CSwapChainView::Present()
{
    return m_pSwapChain ? m_pSwapChain->Present(nullptr, nullptr, nullptr, nullptr) : E_FAIL;
}
