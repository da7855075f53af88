// The KRO world object file as it stands on disk, parsed and checked before anything is built
// from it: a file that does not hold what its counts announce is refused whole.
#pragma once

#include "KRADefs.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One vertex of a world mesh, laid out as the vertex buffers take it: position, normal, diffuse
// ARGB and two texture coordinate sets (44 bytes).
struct KRA_OBJECT_VERTEX {
    float x, y, z;
    float nx, ny, nz;
    DWORD dwDiffuse;
    float u0, v0;
    float u1, v1;
};
static_assert(sizeof(KRA_OBJECT_VERTEX) == 44, "vertex layout");

// Vertex arrays are filled right after they are sized, so sizing them leaves the records as they
// are instead of clearing megabytes that are overwritten at once.
template <class T>
struct KRADefaultInitAllocator : std::allocator<T> {
    template <class U>
    struct rebind {
        using other = KRADefaultInitAllocator<U>;
    };
    KRADefaultInitAllocator() = default;
    template <class U>
    KRADefaultInitAllocator(const KRADefaultInitAllocator<U>&) noexcept
    {}
    template <class U>
    void construct(U* p) noexcept
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
using KRA_VERTEX_ARRAY = std::vector<KRA_OBJECT_VERTEX, KRADefaultInitAllocator<KRA_OBJECT_VERTEX>>;

// Kind flags.
constexpr WORD KRA_MESH_ANIMATED = 0x2;
// Texture flags.
constexpr WORD KRA_TEX_POSITION_KEYS = 0x1;
constexpr WORD KRA_TEX_ROTATION_KEYS = 0x4;
constexpr WORD KRA_TEX_SCALE_KEYS = 0x8;
constexpr WORD KRA_TEX_LIST = 0x10;
constexpr WORD KRA_TEX_COLOR_KEYED = 0x40;
constexpr WORD KRA_TEX_ALPHA = 0x80;
// Any texture flag from bit 7 up makes an alpha mesh.
constexpr WORD KRA_TEX_ALPHA_BITS = 0xFF80;

constexpr size_t KRA_MESH_HEAD_SIZE = 72;
constexpr size_t KRA_MATERIAL_SIZE = 272;
constexpr size_t KRA_TEXTURE_NAME_SIZE = 112;

struct KRA_OBJECT_MESH_DATA {
    WORD wKindFlags = 0;
    WORD wTextureFlags = 0;
    DWORD dwVertexCount = 0;
    float afMatrix[16] = {};
    BYTE abMaterial[KRA_MATERIAL_SIZE] = {};
    bool bHasFirstTexture = false;
    std::string strFirstTexture;
    bool bHasSecondTexture = false;
    std::string strSecondTexture;
    KRA_VERTEX_ARRAY vVertices;
    // Animated meshes: start, end, unused, key count; then the keys their flags announce.
    DWORD adwKeyBlock[4] = {};
    std::vector<float> vPositionKeys; // 3 per key
    std::vector<float> vRotationKeys; // quaternion x, y, z, w per key
    std::vector<float> vScaleKeys;    // 3 per key
};

struct KRA_OBJECT_FILE_DATA {
    DWORD dwHeaderA = 0;
    DWORD dwCode = 0;
    std::vector<KRA_OBJECT_MESH_DATA> vMeshes;
};

// 0, or 0x80000003 for bytes that are not a whole KRO file.
LONG KRAParseObjectFile(const uint8_t* pData, size_t nSize, KRA_OBJECT_FILE_DATA& out);
