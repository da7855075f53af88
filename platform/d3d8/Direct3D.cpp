#include "Direct3D.h"

#include "Device.h"
#include "Format.h"
#include "GlContext.h"
#include "Presentation.h"

namespace yonda::d3d8 {

HRESULT Direct3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* pMode)
{
    if (!pMode || adapter != D3DADAPTER_DEFAULT)
        return D3DERR_INVALIDCALL;
    *pMode = DisplayMode();
    return D3D_OK;
}

HRESULT Direct3D::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT, DWORD usage, D3DRESOURCETYPE type,
                                    D3DFORMAT checkFormat)
{
    if (adapter != D3DADAPTER_DEFAULT || deviceType != D3DDEVTYPE_HAL)
        return D3DERR_INVALIDCALL;
    if (usage & D3DUSAGE_DEPTHSTENCIL) {
        return checkFormat == D3DFMT_D24S8 || checkFormat == D3DFMT_D16 || checkFormat == D3DFMT_D24X8 ||
                       checkFormat == D3DFMT_D32
                   ? D3D_OK
                   : D3DERR_NOTAVAILABLE;
    }
    if (usage & D3DUSAGE_RENDERTARGET) {
        return type == D3DRTYPE_SURFACE && (checkFormat == D3DFMT_X8R8G8B8 || checkFormat == D3DFMT_A8R8G8B8)
                   ? D3D_OK
                   : D3DERR_NOTAVAILABLE;
    }
    return IsColorFormat(checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND hFocusWindow, DWORD behaviorFlags,
                               D3DPRESENT_PARAMETERS* params, IDirect3DDevice8** ppDevice)
{
    if (!ppDevice)
        return D3DERR_INVALIDCALL;
    *ppDevice = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || !params)
        return D3DERR_INVALIDCALL;
    if (deviceType != D3DDEVTYPE_HAL)
        return D3DERR_NOTAVAILABLE;
    if (!params->Windowed) {
        // Full screen is not offered: the window system composes every window itself.
        return D3DERR_NOTAVAILABLE;
    }
    return Device::Create(this, hFocusWindow, behaviorFlags, params, ppDevice);
}

} // namespace yonda::d3d8

IDirect3D8* WINAPI Direct3DCreate8(UINT SDKVersion)
{
    if (SDKVersion != D3D_SDK_VERSION || !yonda::d3d8::GlContext::Available())
        return nullptr;
    return new yonda::d3d8::Direct3D;
}
