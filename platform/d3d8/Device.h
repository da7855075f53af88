// The Direct3D 8 device: the state (kept once, applied at draw), resource creation, drawing
// through the fixed-function program, presentation and the lost-device cycle. Every entry point
// takes the device lock, as a device created multithreaded does.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "DeviceState.h"
#include "GlContext.h"
#include "VertexLayout.h"

namespace yonda::d3d8 {

class Direct3D;
class SwapChain;
class Surface;

// A draw as the program asked for it, with the state it draws with: what a tool watching the
// draws sees (the frame benchmark records a frame this way to replay it).
struct DrawCall {
    const DeviceState& state;
    const VertexLayout& layout;
    GLenum mode;
    UINT count; // vertices, or indices of an indexed draw
    UINT firstVertex;
    bool indexed;
    UINT firstIndex;
    const void* userVertices; // DrawPrimitiveUP's vertices, else null
    UINT userStride;
};
using DrawWatcher = std::function<void(const DrawCall&)>;

class Device final : public ComObject<IDirect3DDevice8> {
public:
    static HRESULT Create(Direct3D* d3d, HWND focusWindow, DWORD behaviour, D3DPRESENT_PARAMETERS* params,
                          IDirect3DDevice8** device);
    ~Device() override;

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDirect3D(IDirect3D8** ppD3D8) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) override;
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* pPresentationParameters,
                                      IDirect3DSwapChain8** pSwapChain) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* pPresentationParameters) override;
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const _RGNDATA* pDirtyRegion) override;
    HRESULT GetBackBuffer(UINT BackBuffer, D3DBACKBUFFER_TYPE Type, IDirect3DSurface8** ppBackBuffer) override;
    HRESULT CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                          IDirect3DTexture8** ppTexture) override;
    HRESULT CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                               IDirect3DVertexBuffer8** ppVertexBuffer) override;
    HRESULT CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DIndexBuffer8** ppIndexBuffer) override;
    HRESULT CreateImageSurface(UINT Width, UINT Height, D3DFORMAT Format, IDirect3DSurface8** ppSurface) override;
    HRESULT GetFrontBuffer(IDirect3DSurface8* pDestSurface) override;
    HRESULT SetRenderTarget(IDirect3DSurface8* pRenderTarget, IDirect3DSurface8* pNewZStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8** ppRenderTarget) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE State, const D3DMATRIX* pMatrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE State, D3DMATRIX* pMatrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* pViewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* pViewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE State, DWORD Value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE State, DWORD* pValue) override;
    HRESULT GetTexture(DWORD Stage, IDirect3DBaseTexture8** ppTexture) override;
    HRESULT SetTexture(DWORD Stage, IDirect3DBaseTexture8* pTexture) override;
    HRESULT GetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD* pValue) override;
    HRESULT SetTextureStageState(DWORD Stage, D3DTEXTURESTAGESTATETYPE Type, DWORD Value) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT StartVertex, UINT PrimitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE PrimitiveType, UINT minIndex, UINT NumVertices, UINT startIndex,
                                 UINT primCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE PrimitiveType, UINT PrimitiveCount, const void* pVertexStreamZeroData,
                            UINT VertexStreamZeroStride) override;
    HRESULT CreateVertexShader(const DWORD* pDeclaration, const DWORD* pFunction, DWORD* pHandle, DWORD Usage) override;
    HRESULT SetVertexShader(DWORD Handle) override;
    HRESULT GetVertexShader(DWORD* pHandle) override;
    HRESULT DeleteVertexShader(DWORD Handle) override;
    HRESULT SetStreamSource(UINT StreamNumber, IDirect3DVertexBuffer8* pStreamData, UINT Stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT BaseVertexIndex) override;

    // For the layer's other parts. One lock serves every device: they share the GL program and
    // its uniforms, whichever thread's context draws.
    std::recursive_mutex& Mutex() { return m_mutex; }
    void Track(RefCounted* resource, bool add);
    UINT CountDefaultPool();
    HRESULT ReadTarget(Surface* target, std::vector<uint32_t>* pixels);
    HRESULT WriteTarget(Surface* target, const std::vector<uint32_t>& pixels);
    HRESULT PresentChain(SwapChain* chain, const RECT* sourceRect, const RECT* destRect, HWND window);
    HRESULT Lose(UINT lostAnswers);
    HRESULT RefuseResets(UINT count);
    // The whole state, to put back after drawing on the program's behalf (the text font does).
    DeviceState CaptureState();
    void RestoreState(const DeviceState& state);
    // Called for every draw, under the device lock, before it is drawn; empty stops watching.
    void WatchDraws(DrawWatcher watcher);

protected:
    void OnPublicReleased() override;

private:
    enum class Health { Operational, Lost, NotReset };

    Device(Direct3D* d3d, HWND focusWindow, DWORD behaviour);
    HRESULT BuildPresentation(D3DPRESENT_PARAMETERS* params);
    void ResetViewportToTarget();
    // Makes this thread's context current; marks everything dirty when GL last served another
    // device or context.
    bool BeginGl();
    bool BindTarget();
    HRESULT Draw(D3DPRIMITIVETYPE type, UINT primitives, UINT firstVertex, bool indexed, UINT firstIndex, UINT minIndex,
                 UINT vertexCount, const void* userVertices, UINT userStride);
    const VertexLayout* CurrentLayout();

    Ref<Direct3D> m_d3d;
    HWND m_focusWindow;
    DWORD m_behaviour;
    std::recursive_mutex& m_mutex;
    D3DPRESENT_PARAMETERS m_params{};
    Ref<SwapChain> m_implicitChain;
    Ref<Surface> m_autoDepth;
    DeviceState m_state;
    std::array<D3DMATRIX, 8> m_textureTransforms{};
    uint32_t m_dirty = kDirtyAll;
    bool m_lastPretransformed = false;
    Health m_health = Health::Operational;
    UINT m_lostAnswers = 0;
    UINT m_refusedResets = 0;
    std::map<DWORD, VertexLayout> m_declarations;
    DWORD m_nextDeclaration = 1;
    std::optional<VertexLayout> m_fvfLayout;
    DrawWatcher m_drawWatcher;
    std::mutex m_poolMutex;
    std::set<RefCounted*> m_defaultPool;
    GLuint m_userBuffer = 0;
    // What the vertex array points at, to skip setting it up again.
    struct InputKey {
        const VertexLayout* layout = nullptr;
        std::array<GLuint, kStreams> buffers{};
        std::array<UINT, kStreams> strides{};
        bool operator==(const InputKey&) const = default;
    } m_inputKey;
};

} // namespace yonda::d3d8
