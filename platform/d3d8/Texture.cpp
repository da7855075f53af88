#include "Texture.h"

#include <algorithm>

#include "Device.h"
#include "Format.h"
#include "Surface.h"

namespace yonda::d3d8 {

UINT Texture::FullChainLength(UINT width, UINT height)
{
    UINT levels = 1;
    while (width > 1 || height > 1) {
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        ++levels;
    }
    return levels;
}

Texture::Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : Resource(device, pool), m_format(format), m_usage(usage)
{
    UINT full = FullChainLength(width, height);
    levels = levels == 0 ? full : std::min(levels, full);
    for (UINT i = 0; i < levels; ++i) {
        Level level;
        level.width = width;
        level.height = height;
        level.pitch = RowPitch(format, width);
        level.bytes.assign(LevelSize(format, width, height), 0);
        m_levels.push_back(std::move(level));
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    m_dirty.assign(levels, true);
    m_locks.assign(levels, 0);
}

Texture::~Texture()
{
    GlContext::DeleteTexture(m_gl.load());
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* pDesc)
{
    if (!pDesc || level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    const Level& l = m_levels[level];
    *pDesc = D3DSURFACE_DESC{m_format, D3DRTYPE_SURFACE, m_usage, m_pool, UINT(l.bytes.size()), D3DMULTISAMPLE_NONE,
                             l.width,  l.height};
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface8** ppSurfaceLevel)
{
    if (!ppSurfaceLevel)
        return D3DERR_INVALIDCALL;
    *ppSurfaceLevel = nullptr;
    if (level >= m_levels.size())
        return D3DERR_INVALIDCALL;
    *ppSurfaceLevel = Surface::ForTextureLevel(this, level);
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD flags)
{
    if (!pLockedRect)
        return D3DERR_INVALIDCALL;
    pLockedRect->pBits = nullptr;
    pLockedRect->Pitch = 0;
    std::lock_guard lock(m_mutex);
    if (level >= m_levels.size() || m_locks[level] > 0)
        return D3DERR_INVALIDCALL;
    Level& l = m_levels[level];
    size_t offset = 0;
    if (pRect) {
        if (pRect->left < 0 || pRect->top < 0 || pRect->right <= pRect->left || pRect->bottom <= pRect->top ||
            UINT(pRect->right) > l.width || UINT(pRect->bottom) > l.height) {
            return D3DERR_INVALIDCALL;
        }
        if (IsCompressedFormat(m_format)) {
            if ((pRect->left | pRect->top) & 3)
                return D3DERR_INVALIDCALL;
            offset = size_t(pRect->top / 4) * l.pitch + size_t(pRect->left / 4) * (m_format == D3DFMT_DXT1 ? 8 : 16);
        } else {
            offset = size_t(pRect->top) * l.pitch + size_t(pRect->left) * (RowPitch(m_format, 1));
        }
    }
    ++m_locks[level];
    if (!(flags & D3DLOCK_READONLY)) {
        m_dirty[level] = true;
        m_pending = true;
    }
    pLockedRect->Pitch = INT(l.pitch);
    pLockedRect->pBits = l.bytes.data() + offset;
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level)
{
    std::lock_guard lock(m_mutex);
    if (level >= m_levels.size() || m_locks[level] == 0)
        return D3DERR_INVALIDCALL;
    --m_locks[level];
    return D3D_OK;
}

GLuint Texture::Upload()
{
    if (!m_pending.load() && m_gl)
        return m_gl;
    std::lock_guard lock(m_mutex);
    if (!m_gl) {
        GLuint name = 0;
        glGenTextures(1, &name);
        m_gl = name;
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(m_levels.size()) - 1);
        // Formats without alpha sample as opaque, whatever their spare bits hold.
        if (!HasAlpha(m_format))
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    } else {
        glBindTexture(GL_TEXTURE_2D, m_gl);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    std::vector<uint32_t> decoded;
    for (UINT i = 0; i < m_levels.size(); ++i) {
        if (!m_dirty[i] && m_glDefined)
            continue;
        const Level& l = m_levels[i];
        GLsizei w = GLsizei(l.width), h = GLsizei(l.height);
        switch (m_format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                         l.bytes.data());
            break;
        case D3DFMT_R5G6B5:
            glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGB8, w, h, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, l.bytes.data());
            break;
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
            glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGB5_A1, w, h, 0, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV,
                         l.bytes.data());
            break;
        case D3DFMT_A4R4G4B4:
            glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGBA4, w, h, 0, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV,
                         l.bytes.data());
            break;
        default:
            // Block-compressed levels are decoded here, which every GL can sample.
            decoded.resize(size_t(l.width) * l.height);
            ConvertToArgb(m_format, l.bytes.data(), l.pitch, l.width, l.height, decoded.data());
            glTexImage2D(GL_TEXTURE_2D, GLint(i), GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                         decoded.data());
            break;
        }
        m_dirty[i] = false;
    }
    m_glDefined = true;
    m_pending = std::any_of(m_locks.begin(), m_locks.end(), [](UINT locks) { return locks > 0; });
    return m_gl;
}

} // namespace yonda::d3d8
