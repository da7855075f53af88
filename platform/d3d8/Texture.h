// A texture: its mip levels live on the CPU in their own format and are copied to GL when a draw
// samples them, so loaders and lockers on any thread never touch GL.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "GlContext.h"
#include "Resource.h"

namespace yonda::d3d8 {

class Texture final : public Resource<IDirect3DTexture8> {
public:
    struct Level {
        UINT width = 0;
        UINT height = 0;
        UINT pitch = 0;
        std::vector<BYTE> bytes;
    };

    // Levels 0 means the full chain down to 1 x 1.
    Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~Texture() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return DWORD(m_levels.size()); }
    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface8** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;

    D3DFORMAT Format() const { return m_format; }
    UINT LevelCount() const { return UINT(m_levels.size()); }
    Level& LevelAt(UINT level) { return m_levels[level]; }
    // Copies changed levels to GL and returns the GL texture; needs a current context.
    GLuint Upload();
    bool PendingUpload() const { return m_pending.load(); }
    static UINT FullChainLength(UINT width, UINT height);

private:
    D3DFORMAT m_format;
    DWORD m_usage;
    std::vector<Level> m_levels;
    std::vector<bool> m_dirty;
    std::vector<UINT> m_locks;
    std::atomic<GLuint> m_gl{0};
    bool m_glDefined = false;
    std::atomic<bool> m_pending{true};
    std::mutex m_mutex;
};

} // namespace yonda::d3d8
