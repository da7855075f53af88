#include "Surface.h"

#include <cstring>
#include <mutex>

#include "Device.h"
#include "Format.h"
#include "Texture.h"

namespace yonda::d3d8 {

Surface::Surface(Kind kind, Device* device, UINT width, UINT height, D3DFORMAT format)
    : m_kind(kind), m_device(device), m_width(width), m_height(height), m_format(format)
{}

Surface::~Surface()
{
    if (m_kind == Kind::ColorTarget)
        GlContext::DeleteTexture(m_gl);
    if (m_kind == Kind::DepthStencil)
        GlContext::DeleteRenderbuffer(m_gl);
}

Surface* Surface::ForTextureLevel(Texture* texture, UINT level)
{
    const Texture::Level& l = texture->LevelAt(level);
    auto* surface = new Surface(Kind::TextureLevel, texture->Owner(), l.width, l.height, texture->Format());
    surface->m_texture = Ref<Texture>(texture);
    surface->m_level = level;
    return surface;
}

Surface* Surface::NewImage(Device* device, UINT width, UINT height, D3DFORMAT format)
{
    auto* surface = new Surface(Kind::Image, device, width, height, format);
    surface->m_bytes.assign(LevelSize(format, width, height), 0);
    return surface;
}

Surface* Surface::NewColorTarget(Device* device, UINT width, UINT height, D3DFORMAT format)
{
    return new Surface(Kind::ColorTarget, device, width, height, format);
}

Surface* Surface::NewDepthStencil(Device* device, UINT width, UINT height, D3DFORMAT format)
{
    return new Surface(Kind::DepthStencil, device, width, height, format);
}

HRESULT Surface::GetDevice(IDirect3DDevice8** ppDevice)
{
    if (!ppDevice)
        return D3DERR_INVALIDCALL;
    m_device->AddRef();
    *ppDevice = m_device.Get();
    return D3D_OK;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    if (m_kind == Kind::TextureLevel) {
        D3DSURFACE_DESC desc;
        m_texture->GetLevelDesc(m_level, &desc);
        *pDesc = desc;
        return D3D_OK;
    }
    DWORD usage = m_kind == Kind::ColorTarget    ? D3DUSAGE_RENDERTARGET
                  : m_kind == Kind::DepthStencil ? D3DUSAGE_DEPTHSTENCIL
                                                 : 0;
    D3DPOOL pool = m_kind == Kind::Image ? D3DPOOL_SYSTEMMEM : D3DPOOL_DEFAULT;
    UINT size = m_kind == Kind::DepthStencil ? m_width * m_height * (m_format == D3DFMT_D16 ? 2 : 4)
                                             : UINT(LevelSize(m_format, m_width, m_height));
    *pDesc = D3DSURFACE_DESC{m_format, D3DRTYPE_SURFACE, usage, pool, size, D3DMULTISAMPLE_NONE, m_width, m_height};
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD flags)
{
    if (!pLockedRect)
        return D3DERR_INVALIDCALL;
    pLockedRect->pBits = nullptr;
    pLockedRect->Pitch = 0;
    if (m_kind == Kind::TextureLevel)
        return m_texture->LockRect(m_level, pLockedRect, pRect, flags);
    if (m_kind == Kind::DepthStencil)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_device->Mutex());
    if (m_locked)
        return D3DERR_INVALIDCALL;
    if (pRect && (pRect->left < 0 || pRect->top < 0 || pRect->right <= pRect->left || pRect->bottom <= pRect->top ||
                  UINT(pRect->right) > m_width || UINT(pRect->bottom) > m_height)) {
        return D3DERR_INVALIDCALL;
    }
    UINT pitch = RowPitch(m_format, m_width);
    if (m_kind == Kind::ColorTarget) {
        // The picture lives in GL; a lock reads it back into memory the program can touch.
        std::vector<uint32_t> pixels;
        HRESULT hr = m_device->ReadTarget(this, &pixels);
        if (FAILED(hr))
            return hr;
        m_bytes.resize(size_t(pitch) * m_height);
        ConvertFromArgb(m_format, pixels.data(), m_width, m_height, m_bytes.data(), pitch);
    }
    size_t offset = pRect ? size_t(pRect->top) * pitch + size_t(pRect->left) * RowPitch(m_format, 1) : 0;
    m_locked = true;
    m_lockFlags = flags;
    pLockedRect->Pitch = INT(pitch);
    pLockedRect->pBits = m_bytes.data() + offset;
    return D3D_OK;
}

HRESULT Surface::UnlockRect()
{
    if (m_kind == Kind::TextureLevel)
        return m_texture->UnlockRect(m_level);
    std::lock_guard lock(m_device->Mutex());
    if (!m_locked)
        return D3DERR_INVALIDCALL;
    m_locked = false;
    if (m_kind == Kind::ColorTarget && !(m_lockFlags & D3DLOCK_READONLY)) {
        std::vector<uint32_t> pixels(size_t(m_width) * m_height);
        ConvertToArgb(m_format, m_bytes.data(), RowPitch(m_format, m_width), m_width, m_height, pixels.data());
        return m_device->WriteTarget(this, pixels);
    }
    return D3D_OK;
}

GLuint Surface::GlName()
{
    if (m_gl)
        return m_gl;
    if (m_kind == Kind::ColorTarget) {
        glGenTextures(1, &m_gl);
        glBindTexture(GL_TEXTURE_2D, m_gl);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(m_width), GLsizei(m_height), 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    } else if (m_kind == Kind::DepthStencil) {
        glGenRenderbuffers(1, &m_gl);
        glBindRenderbuffer(GL_RENDERBUFFER, m_gl);
        GLenum format = m_format == D3DFMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8;
        glRenderbufferStorage(GL_RENDERBUFFER, format, GLsizei(m_width), GLsizei(m_height));
    }
    return m_gl;
}

HRESULT Surface::ReadArgb(std::vector<uint32_t>* pixels)
{
    switch (m_kind) {
    case Kind::ColorTarget: return m_device->ReadTarget(this, pixels);
    case Kind::Image:
        pixels->resize(size_t(m_width) * m_height);
        ConvertToArgb(m_format, m_bytes.data(), RowPitch(m_format, m_width), m_width, m_height, pixels->data());
        return D3D_OK;
    case Kind::TextureLevel: {
        Texture::Level& l = m_texture->LevelAt(m_level);
        pixels->resize(size_t(m_width) * m_height);
        ConvertToArgb(m_format, l.bytes.data(), l.pitch, m_width, m_height, pixels->data());
        return D3D_OK;
    }
    default: return D3DERR_INVALIDCALL;
    }
}

} // namespace yonda::d3d8
