#include "SwapChain.h"

#include "Device.h"
#include "Resource.h"
#include "Surface.h"

namespace yonda::d3d8 {

SwapChain::SwapChain(Device* device, const D3DPRESENT_PARAMETERS& params, Surface* backBuffer, bool additional)
    : m_device(device), m_backBuffer(backBuffer), m_params(params), m_additional(additional)
{
    if (m_additional) {
        m_keepDevice = Ref<Device>(device);
        TrackDefaultPool(device, this, true);
    }
}

SwapChain::~SwapChain()
{
    if (m_additional)
        TrackDefaultPool(m_device, this, false);
}

HRESULT SwapChain::Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride, const _RGNDATA*)
{
    return m_device->PresentChain(this, pSourceRect, pDestRect, hDestWindowOverride);
}

HRESULT SwapChain::GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** ppBackBuffer)
{
    if (!ppBackBuffer)
        return D3DERR_INVALIDCALL;
    *ppBackBuffer = nullptr;
    if (backBuffer != 0 || type != D3DBACKBUFFER_TYPE_MONO)
        return D3DERR_INVALIDCALL;
    m_backBuffer->AddRef();
    *ppBackBuffer = m_backBuffer.Get();
    return D3D_OK;
}

} // namespace yonda::d3d8
