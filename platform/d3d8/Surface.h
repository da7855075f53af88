// A surface: a level of a texture, an image in system memory, a colour render target (a GL
// texture drawn through a framebuffer) or a depth-stencil buffer (a GL renderbuffer).
#pragma once

#include <vector>

#include "ComObject.h"
#include "GlContext.h"
#include "d3d8.h"

namespace yonda::d3d8 {

class Device;
class Texture;

class Surface final : public ComObject<IDirect3DSurface8> {
public:
    enum class Kind { Image, TextureLevel, ColorTarget, DepthStencil };

    // Each returns a new surface holding one program reference.
    static Surface* ForTextureLevel(Texture* texture, UINT level);
    static Surface* NewImage(Device* device, UINT width, UINT height, D3DFORMAT format);
    static Surface* NewColorTarget(Device* device, UINT width, UINT height, D3DFORMAT format);
    static Surface* NewDepthStencil(Device* device, UINT width, UINT height, D3DFORMAT format);
    ~Surface() override;

    HRESULT GetDevice(IDirect3DDevice8** ppDevice) override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;

    Kind GetKind() const { return m_kind; }
    UINT Width() const { return m_width; }
    UINT Height() const { return m_height; }
    D3DFORMAT Format() const { return m_format; }
    Device* Owner() const { return m_device.Get(); }
    // The GL texture (colour target) or renderbuffer (depth-stencil); needs a current context.
    GLuint GlName();
    // Image surfaces: their bytes (pitch = width x bytes per pixel).
    std::vector<BYTE>& ImageBytes() { return m_bytes; }
    // Reads every pixel as 0xAARRGGBB, whatever the kind; needs the device lock.
    HRESULT ReadArgb(std::vector<uint32_t>* pixels);

private:
    Surface(Kind kind, Device* device, UINT width, UINT height, D3DFORMAT format);

    Kind m_kind;
    Ref<Device> m_device;
    Ref<Texture> m_texture;
    UINT m_level = 0;
    UINT m_width;
    UINT m_height;
    D3DFORMAT m_format;
    std::vector<BYTE> m_bytes;
    GLuint m_gl = 0;
    bool m_locked = false;
    DWORD m_lockFlags = 0;
};

} // namespace yonda::d3d8
