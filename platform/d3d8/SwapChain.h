// A swap chain: a back buffer and the window its pictures go to. The device's own chain and
// the additional chains of preview windows work alike.
#pragma once

#include "ComObject.h"
#include "d3d8.h"

namespace yonda::d3d8 {

class Device;
class Surface;

class SwapChain final : public ComObject<IDirect3DSwapChain8> {
public:
    // The device's implicit chain does not keep the device alive (the device owns it); an
    // additional chain does, and counts as a default-pool resource.
    SwapChain(Device* device, const D3DPRESENT_PARAMETERS& params, Surface* backBuffer, bool additional);
    ~SwapChain() override;

    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const _RGNDATA* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface8** ppBackBuffer) override;

    Surface* BackBuffer() const { return m_backBuffer.Get(); }
    HWND Window() const { return m_params.hDeviceWindow; }
    const D3DPRESENT_PARAMETERS& Params() const { return m_params; }

private:
    Device* m_device;
    Ref<Device> m_keepDevice;
    Ref<Surface> m_backBuffer;
    D3DPRESENT_PARAMETERS m_params;
    bool m_additional;
};

} // namespace yonda::d3d8
