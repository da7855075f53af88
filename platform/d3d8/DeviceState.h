// The whole Direct3D state of a device, kept on the CPU. Setters write a value and mark its group
// dirty; the draw applies only the dirty groups to GL.
#pragma once

#include <array>
#include <cstdint>

#include "ComObject.h"
#include "d3d8.h"

namespace yonda::d3d8 {

class Texture;
class VertexBuffer;
class IndexBuffer;
class Surface;

// Stages that sample and combine; later stages keep their values but do not draw.
constexpr UINT kDrawnStages = 2;
constexpr UINT kStages = 8;
constexpr UINT kStageStates = 32;
constexpr UINT kRenderStates = 256;
constexpr UINT kStreams = 16;

enum DirtyGroup : uint32_t {
    kDirtyMatrices = 1u << 0,
    kDirtyViewport = 1u << 1,
    kDirtyStages = 1u << 2,
    kDirtyFog = 1u << 3,
    kDirtyAlphaTest = 1u << 4,
    kDirtyBlend = 1u << 5,
    kDirtyDepth = 1u << 6,
    kDirtyCull = 1u << 7,
    kDirtyTextures = 1u << 8,
    kDirtySamplers = 1u << 9,
    kDirtyVertexInput = 1u << 10,
    kDirtyTarget = 1u << 11,
    kDirtyFactor = 1u << 12,
    kDirtyProgram = 1u << 13,
    kDirtyAll = 0xffffffffu,
};

struct StreamBinding {
    Ref<VertexBuffer> buffer;
    UINT stride = 0;
};

struct DeviceState {
    std::array<DWORD, kRenderStates> renderStates{};
    std::array<std::array<DWORD, kStageStates>, kStages> stageStates{};
    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection{};
    D3DVIEWPORT8 viewport{};
    std::array<Ref<Texture>, kStages> textures;
    std::array<StreamBinding, kStreams> streams;
    Ref<IndexBuffer> indices;
    UINT baseVertexIndex = 0;
    DWORD vertexShader = 0;
    Ref<Surface> renderTarget;
    Ref<Surface> depthStencil;

    // Direct3D's values for a new (or reset) device.
    void SetDefaults(bool autoDepthStencil);
};

// Which group a render state belongs to (0 for states that do not change drawing here).
uint32_t DirtyGroupOfRenderState(D3DRENDERSTATETYPE state);
uint32_t DirtyGroupOfStageState(D3DTEXTURESTAGESTATETYPE state);

} // namespace yonda::d3d8
