#include "Device.h"

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "Direct3D.h"
#include "FixedFunction.h"
#include "Format.h"
#include "IndexBuffer.h"
#include "Presentation.h"
#include "Surface.h"
#include "SwapChain.h"
#include "Texture.h"
#include "VertexBuffer.h"

namespace yonda::d3d8 {
namespace {

// Guards against allocations a bad size would make.
constexpr UINT kMaxBufferBytes = 256u << 20;
constexpr UINT kMaxTextureSize = 8192;

std::atomic<const void*> g_glUser{nullptr};

std::recursive_mutex& RendererMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}
std::atomic<uint64_t> g_glContext{0};

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

bool VertexCount(D3DPRIMITIVETYPE type, UINT primitives, UINT* vertices, GLenum* mode)
{
    uint64_t count;
    switch (type) {
    case D3DPT_POINTLIST:
        count = primitives;
        *mode = GL_POINTS;
        break;
    case D3DPT_LINELIST:
        count = uint64_t(primitives) * 2;
        *mode = GL_LINES;
        break;
    case D3DPT_LINESTRIP:
        count = uint64_t(primitives) + 1;
        *mode = GL_LINE_STRIP;
        break;
    case D3DPT_TRIANGLELIST:
        count = uint64_t(primitives) * 3;
        *mode = GL_TRIANGLES;
        break;
    case D3DPT_TRIANGLESTRIP:
        count = uint64_t(primitives) + 2;
        *mode = GL_TRIANGLE_STRIP;
        break;
    case D3DPT_TRIANGLEFAN:
        count = uint64_t(primitives) + 2;
        *mode = GL_TRIANGLE_FAN;
        break;
    default: return false;
    }
    if (count > 0x7fffffffu)
        return false;
    *vertices = UINT(count);
    return true;
}

UINT AttributeSize(const VertexAttribute& a)
{
    if (a.components == GL_BGRA)
        return 4;
    UINT size = a.type == GL_FLOAT ? 4 : a.type == GL_SHORT ? 2 : 1;
    return size * UINT(a.components);
}

bool SupportedBackBufferFormat(D3DFORMAT format)
{
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8 || format == D3DFMT_UNKNOWN;
}

bool SupportedDepthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D24S8 || format == D3DFMT_D16 || format == D3DFMT_D24X8 || format == D3DFMT_D32;
}

// A frame frees and takes back megabytes (the software renderer's bins and vertices, the
// program's own vertex arrays); handing them back to the system at every free and faulting them
// in again page by page the next frame costs the drawing thread more than a third of its time.
// Keep freed memory for reuse, as the platform's heap does.
void KeepFrameMemory()
{
    static std::once_flag once;
    std::call_once(once, [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
    });
}

template <class T>
T* Implementation(IUnknown* object)
{
    return object ? dynamic_cast<T*>(object) : nullptr;
}

} // namespace

void TrackDefaultPool(Device* device, RefCounted* resource, bool add)
{
    if (device)
        device->Track(resource, add);
}

HRESULT DeviceInterface(Device* device, IDirect3DDevice8** ppDevice)
{
    if (!ppDevice)
        return D3DERR_INVALIDCALL;
    device->AddRef();
    *ppDevice = device;
    return D3D_OK;
}

Device::Device(Direct3D* d3d, HWND focusWindow, DWORD behaviour)
    : m_d3d(d3d), m_focusWindow(focusWindow), m_behaviour(behaviour), m_mutex(RendererMutex())
{
    m_textureTransforms.fill(Identity());
}

Device::~Device()
{
    GlContext::DeleteBuffer(m_userBuffer);
}

HRESULT Device::Create(Direct3D* d3d, HWND focusWindow, DWORD behaviour, D3DPRESENT_PARAMETERS* params,
                       IDirect3DDevice8** device)
{
    KeepFrameMemory();
    auto* created = new Device(d3d, focusWindow, behaviour);
    HRESULT hr = created->BuildPresentation(params);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    *device = created;
    return D3D_OK;
}

HRESULT Device::BuildPresentation(D3DPRESENT_PARAMETERS* params)
{
    if (!params)
        return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS p = *params;
    if (!SupportedBackBufferFormat(p.BackBufferFormat))
        return D3DERR_NOTAVAILABLE;
    if (p.MultiSampleType != D3DMULTISAMPLE_NONE)
        return D3DERR_NOTAVAILABLE;
    if (p.EnableAutoDepthStencil && !SupportedDepthFormat(p.AutoDepthStencilFormat))
        return D3DERR_NOTAVAILABLE;
    if (p.BackBufferCount > 3)
        return D3DERR_INVALIDCALL;
    if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY_VSYNC)
        return D3DERR_INVALIDCALL;
    if (!p.hDeviceWindow)
        p.hDeviceWindow = m_focusWindow;
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
        // A windowed device takes its size from the window's client area.
        SIZE size{0, 0};
        if (!WindowClientSize(p.hDeviceWindow, &size) || size.cx <= 0 || size.cy <= 0)
            size = SIZE{640, 480};
        if (p.BackBufferWidth == 0)
            p.BackBufferWidth = UINT(size.cx);
        if (p.BackBufferHeight == 0)
            p.BackBufferHeight = UINT(size.cy);
    }
    if (p.BackBufferWidth > kMaxTextureSize || p.BackBufferHeight > kMaxTextureSize)
        return D3DERR_OUTOFVIDEOMEMORY;
    if (p.BackBufferFormat == D3DFMT_UNKNOWN)
        p.BackBufferFormat = DisplayMode().Format;
    if (p.BackBufferCount == 0)
        p.BackBufferCount = 1;

    Surface* backBuffer = Surface::NewColorTarget(this, p.BackBufferWidth, p.BackBufferHeight, p.BackBufferFormat);
    Ref<Surface> backBufferRef(backBuffer);
    backBuffer->Release(); // the chain holds it; the program gets its own references
    auto* chain = new SwapChain(this, p, backBuffer, false);
    m_implicitChain = Ref<SwapChain>(chain);
    chain->Release();
    m_autoDepth.Reset();
    if (p.EnableAutoDepthStencil) {
        Surface* depth =
            Surface::NewDepthStencil(this, p.BackBufferWidth, p.BackBufferHeight, p.AutoDepthStencilFormat);
        m_autoDepth = Ref<Surface>(depth);
        depth->Release();
    }
    m_params = p;
    *params = p;
    m_state.SetDefaults(p.EnableAutoDepthStencil != 0);
    m_textureTransforms.fill(Identity());
    m_state.renderTarget = backBufferRef;
    m_state.depthStencil = m_autoDepth;
    ResetViewportToTarget();
    m_fvfLayout.reset();
    m_dirty = kDirtyAll;
    return D3D_OK;
}

void Device::ResetViewportToTarget()
{
    Surface* target = m_state.renderTarget.Get();
    m_state.viewport = D3DVIEWPORT8{0, 0, target ? target->Width() : 1, target ? target->Height() : 1, 0.0f, 1.0f};
    m_dirty |= kDirtyViewport;
}

void Device::OnPublicReleased()
{
    // The program is done with the device: drop what the device holds, which holds the device.
    std::lock_guard lock(m_mutex);
    m_state.SetDefaults(false);
    m_state.renderTarget.Reset();
    m_state.depthStencil.Reset();
    m_implicitChain.Reset();
    m_autoDepth.Reset();
}

void Device::Track(RefCounted* resource, bool add)
{
    std::lock_guard lock(m_poolMutex);
    if (add) {
        m_defaultPool.insert(resource);
    } else {
        m_defaultPool.erase(resource);
    }
}

UINT Device::CountDefaultPool()
{
    std::lock_guard lock(m_poolMutex);
    UINT count = 0;
    for (RefCounted* resource : m_defaultPool) {
        if (resource->PublicReferences() > 0)
            ++count;
    }
    return count;
}

// ---------------------------------------------------------------------------------------------
// Device health and presentation

HRESULT Device::Lose(UINT lostAnswers)
{
    std::lock_guard lock(m_mutex);
    m_health = Health::Lost;
    m_lostAnswers = std::max(1u, lostAnswers);
    return D3D_OK;
}

HRESULT Device::RefuseResets(UINT count)
{
    std::lock_guard lock(m_mutex);
    m_refusedResets = count;
    return D3D_OK;
}

HRESULT Device::TestCooperativeLevel()
{
    std::lock_guard lock(m_mutex);
    switch (m_health) {
    case Health::Operational: return D3D_OK;
    case Health::Lost:
        if (m_lostAnswers > 1) {
            --m_lostAnswers;
        } else {
            m_health = Health::NotReset;
        }
        return D3DERR_DEVICELOST;
    default: return D3DERR_DEVICENOTRESET;
    }
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* params)
{
    std::lock_guard lock(m_mutex);
    if (!params)
        return D3DERR_INVALIDCALL;
    if (m_health == Health::Lost)
        return D3DERR_DEVICELOST;
    if (m_health == Health::NotReset && m_refusedResets > 0) {
        --m_refusedResets;
        return D3DERR_DEVICELOST;
    }
    // As on the platform: every default-pool resource and every reference to the device's own
    // surfaces must be gone first.
    if (CountDefaultPool() > 0)
        return D3DERR_INVALIDCALL;
    if (m_implicitChain && m_implicitChain->BackBuffer()->PublicReferences() > 0)
        return D3DERR_INVALIDCALL;
    if (m_autoDepth && m_autoDepth->PublicReferences() > 0)
        return D3DERR_INVALIDCALL;
    // Checks come before changes: a failed reset leaves the device as it was.
    HRESULT hr = BuildPresentation(params);
    if (FAILED(hr))
        return hr;
    m_health = Health::Operational;
    return D3D_OK;
}

HRESULT Device::GetDirect3D(IDirect3D8** ppD3D8)
{
    if (!ppD3D8)
        return D3DERR_INVALIDCALL;
    m_d3d->AddRef();
    *ppD3D8 = m_d3d.Get();
    return D3D_OK;
}

HRESULT Device::GetDisplayMode(D3DDISPLAYMODE* pMode)
{
    if (!pMode)
        return D3DERR_INVALIDCALL;
    *pMode = DisplayMode();
    return D3D_OK;
}

HRESULT Device::CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS* params, IDirect3DSwapChain8** ppSwapChain)
{
    if (!ppSwapChain || !params)
        return D3DERR_INVALIDCALL;
    *ppSwapChain = nullptr;
    std::lock_guard lock(m_mutex);
    D3DPRESENT_PARAMETERS p = *params;
    if (!SupportedBackBufferFormat(p.BackBufferFormat) || p.MultiSampleType != D3DMULTISAMPLE_NONE) {
        return D3DERR_NOTAVAILABLE;
    }
    if (!p.hDeviceWindow)
        p.hDeviceWindow = m_focusWindow;
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
        SIZE size{0, 0};
        if (!WindowClientSize(p.hDeviceWindow, &size) || size.cx <= 0 || size.cy <= 0)
            return D3DERR_INVALIDCALL;
        if (p.BackBufferWidth == 0)
            p.BackBufferWidth = UINT(size.cx);
        if (p.BackBufferHeight == 0)
            p.BackBufferHeight = UINT(size.cy);
    }
    if (p.BackBufferWidth > kMaxTextureSize || p.BackBufferHeight > kMaxTextureSize)
        return D3DERR_OUTOFVIDEOMEMORY;
    if (p.BackBufferFormat == D3DFMT_UNKNOWN)
        p.BackBufferFormat = m_params.BackBufferFormat;
    Surface* backBuffer = Surface::NewColorTarget(this, p.BackBufferWidth, p.BackBufferHeight, p.BackBufferFormat);
    *ppSwapChain = new SwapChain(this, p, backBuffer, true);
    backBuffer->Release();
    return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT backBuffer, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** ppBackBuffer)
{
    if (!ppBackBuffer)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    if (!m_implicitChain) {
        *ppBackBuffer = nullptr;
        return D3DERR_INVALIDCALL;
    }
    return m_implicitChain->GetBackBuffer(backBuffer, type, ppBackBuffer);
}

HRESULT Device::Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride, const _RGNDATA*)
{
    Ref<SwapChain> chain;
    {
        std::lock_guard lock(m_mutex);
        chain = m_implicitChain;
    }
    if (!chain)
        return D3DERR_INVALIDCALL;
    return PresentChain(chain.Get(), pSourceRect, pDestRect, hDestWindowOverride);
}

HRESULT Device::PresentChain(SwapChain* chain, const RECT* sourceRect, const RECT* destRect, HWND window)
{
    std::unique_lock lock(m_mutex);
    if (m_health != Health::Operational)
        return D3DERR_DEVICELOST;
    Surface* backBuffer = chain->BackBuffer();
    HWND target = window ? window : (chain->Window() ? chain->Window() : m_focusWindow);
    RECT source{0, 0, LONG(backBuffer->Width()), LONG(backBuffer->Height())};
    if (sourceRect) {
        source.left = std::clamp<LONG>(sourceRect->left, 0, source.right);
        source.top = std::clamp<LONG>(sourceRect->top, 0, source.bottom);
        source.right = std::clamp<LONG>(sourceRect->right, source.left, source.right);
        source.bottom = std::clamp<LONG>(sourceRect->bottom, source.top, source.bottom);
    }
    // A destination rectangle places the picture; the window is not scaled into.
    LONG offsetX = destRect ? std::max<LONG>(0, destRect->left) : 0;
    LONG offsetY = destRect ? std::max<LONG>(0, destRect->top) : 0;
    YondaPicture picture;
    picture.width = UINT(source.right - source.left + offsetX);
    picture.height = UINT(source.bottom - source.top + offsetY);
    // The frame goes into the buffer of the window's picture before last, straight from GL when
    // it fills the picture: one copy on the way, no memory taken per frame.
    picture.pixels = SpareBuffer(target);
    bool whole = offsetX == 0 && offsetY == 0 && source.left == 0 && source.top == 0 &&
                 UINT(source.right) == backBuffer->Width() && UINT(source.bottom) == backBuffer->Height();
    if (whole) {
        HRESULT hr = ReadTarget(backBuffer, &picture.pixels);
        if (FAILED(hr))
            return hr;
    } else {
        std::vector<uint32_t> pixels;
        HRESULT hr = ReadTarget(backBuffer, &pixels);
        if (FAILED(hr))
            return hr;
        picture.pixels.assign(size_t(picture.width) * picture.height, 0xff000000u);
        for (LONG y = source.top; y < source.bottom; ++y) {
            std::copy_n(pixels.begin() + (size_t(y) * backBuffer->Width() + size_t(source.left)),
                        source.right - source.left,
                        picture.pixels.begin() + (size_t(y - source.top + offsetY) * picture.width + size_t(offsetX)));
        }
    }
    // The window system takes the picture without the renderer's lock held, so its own locks
    // never wait on ours.
    lock.unlock();
    DeliverPicture(target, std::move(picture));
    return D3D_OK;
}

HRESULT Device::GetFrontBuffer(IDirect3DSurface8* pDestSurface)
{
    auto* dest = Implementation<Surface>(pDestSurface);
    if (!dest || dest->GetKind() != Surface::Kind::Image || dest->Format() != D3DFMT_A8R8G8B8) {
        return D3DERR_INVALIDCALL;
    }
    D3DDISPLAYMODE mode = DisplayMode();
    if (dest->Width() < mode.Width || dest->Height() < mode.Height)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    // The screen as far as this layer knows it: black, with the device window's last picture
    // where the window's client area sits.
    std::vector<BYTE>& bytes = dest->ImageBytes();
    UINT pitch = dest->Width() * 4;
    std::vector<uint32_t> screen(size_t(dest->Width()) * dest->Height(), 0xff000000u);
    YondaPicture picture;
    HWND window = m_params.hDeviceWindow ? m_params.hDeviceWindow : m_focusWindow;
    if (LastPicture(window, &picture)) {
        POINT origin{0, 0};
        WindowClientOrigin(window, &origin);
        for (UINT y = 0; y < picture.height; ++y) {
            LONG sy = origin.y + LONG(y);
            if (sy < 0 || sy >= LONG(dest->Height()))
                continue;
            for (UINT x = 0; x < picture.width; ++x) {
                LONG sx = origin.x + LONG(x);
                if (sx < 0 || sx >= LONG(dest->Width()))
                    continue;
                screen[size_t(sy) * dest->Width() + size_t(sx)] = picture.At(x, y) | 0xff000000u;
            }
        }
    }
    ConvertFromArgb(D3DFMT_A8R8G8B8, screen.data(), dest->Width(), dest->Height(), bytes.data(), pitch);
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Resources

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture8** ppTexture)
{
    if (!ppTexture)
        return D3DERR_INVALIDCALL;
    *ppTexture = nullptr;
    if (width == 0 || height == 0 || !IsColorFormat(format) || pool > D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    if (width > kMaxTextureSize || height > kMaxTextureSize)
        return D3DERR_INVALIDCALL;
    if (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL))
        return D3DERR_NOTAVAILABLE;
    *ppTexture = new Texture(this, width, height, levels, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer8** ppVertexBuffer)
{
    if (!ppVertexBuffer)
        return D3DERR_INVALIDCALL;
    *ppVertexBuffer = nullptr;
    if (length == 0 || pool > D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    if (length > kMaxBufferBytes)
        return D3DERR_OUTOFVIDEOMEMORY;
    *ppVertexBuffer = new VertexBuffer(this, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer8** ppIndexBuffer)
{
    if (!ppIndexBuffer)
        return D3DERR_INVALIDCALL;
    *ppIndexBuffer = nullptr;
    if (length == 0 || pool > D3DPOOL_SCRATCH || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
        return D3DERR_INVALIDCALL;
    }
    if (length > kMaxBufferBytes)
        return D3DERR_OUTOFVIDEOMEMORY;
    *ppIndexBuffer = new IndexBuffer(this, length, usage, format, pool);
    return D3D_OK;
}

HRESULT Device::CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** ppSurface)
{
    if (!ppSurface)
        return D3DERR_INVALIDCALL;
    *ppSurface = nullptr;
    if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize || !IsColorFormat(format)) {
        return D3DERR_INVALIDCALL;
    }
    *ppSurface = Surface::NewImage(this, width, height, format);
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Render targets

HRESULT Device::SetRenderTarget(IDirect3DSurface8* pRenderTarget, IDirect3DSurface8* pNewZStencil)
{
    std::lock_guard lock(m_mutex);
    auto* target = Implementation<Surface>(pRenderTarget);
    auto* depth = Implementation<Surface>(pNewZStencil);
    if (pRenderTarget && (!target || target->GetKind() != Surface::Kind::ColorTarget || target->Owner() != this)) {
        return D3DERR_INVALIDCALL;
    }
    if (pNewZStencil && (!depth || depth->GetKind() != Surface::Kind::DepthStencil || depth->Owner() != this)) {
        return D3DERR_INVALIDCALL;
    }
    Surface* newTarget = target ? target : m_state.renderTarget.Get();
    if (depth && newTarget && (depth->Width() < newTarget->Width() || depth->Height() < newTarget->Height())) {
        return D3DERR_INVALIDCALL;
    }
    if (target)
        m_state.renderTarget = Ref<Surface>(target);
    m_state.depthStencil = Ref<Surface>(depth);
    ResetViewportToTarget();
    m_dirty |= kDirtyTarget;
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(IDirect3DSurface8** ppRenderTarget)
{
    if (!ppRenderTarget)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    *ppRenderTarget = m_state.renderTarget.Get();
    if (!*ppRenderTarget)
        return D3DERR_NOTFOUND;
    (*ppRenderTarget)->AddRef();
    return D3D_OK;
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface8** ppZStencilSurface)
{
    if (!ppZStencilSurface)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    *ppZStencilSurface = m_state.depthStencil.Get();
    if (!*ppZStencilSurface)
        return D3DERR_NOTFOUND;
    (*ppZStencilSurface)->AddRef();
    return D3D_OK;
}

bool Device::BeginGl()
{
    if (!GlContext::MakeCurrent())
        return false;
    uint64_t context = GlContext::CurrentId();
    if (g_glUser.load() != this || g_glContext.load() != context) {
        g_glUser = this;
        g_glContext = context;
        m_dirty = kDirtyAll;
        m_inputKey = InputKey{};
        glBindVertexArray(GlContext::VertexArray());
    }
    return true;
}

bool Device::BindTarget()
{
    if (!(m_dirty & kDirtyTarget))
        return true;
    Surface* target = m_state.renderTarget.Get();
    if (!target)
        return false;
    glBindFramebuffer(GL_FRAMEBUFFER, GlContext::Framebuffer());
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target->GlName(), 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    if (Surface* depth = m_state.depthStencil.Get()) {
        GLenum attachment = depth->Format() == D3DFMT_D16 ? GL_DEPTH_ATTACHMENT : GL_DEPTH_STENCIL_ATTACHMENT;
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, depth->GlName());
    }
    // Creating the target's texture bound it to the active unit.
    m_dirty = (m_dirty & ~kDirtyTarget) | kDirtyTextures;
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

HRESULT Device::ReadTarget(Surface* target, std::vector<uint32_t>* pixels)
{
    std::lock_guard lock(m_mutex);
    if (!BeginGl())
        return D3DERR_NOTAVAILABLE;
    GLuint framebuffer = GlContext::Framebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target->GlName(), 0);
    m_dirty |= kDirtyTarget | kDirtyTextures;
    // Every pixel is read over: no need to clear what the buffer held.
    pixels->resize(size_t(target->Width()) * target->Height());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, GLsizei(target->Width()), GLsizei(target->Height()), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 pixels->data());
    if (!HasAlpha(target->Format())) {
        for (uint32_t& pixel : *pixels)
            pixel |= 0xff000000u;
    }
    return D3D_OK;
}

HRESULT Device::WriteTarget(Surface* target, const std::vector<uint32_t>& pixels)
{
    std::lock_guard lock(m_mutex);
    if (!BeginGl())
        return D3DERR_NOTAVAILABLE;
    glBindTexture(GL_TEXTURE_2D, target->GlName());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(target->Width()), GLsizei(target->Height()), GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, pixels.data());
    glFlush();
    m_dirty |= kDirtyTextures;
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Scenes and clearing

HRESULT Device::BeginScene()
{
    return D3D_OK;
}

HRESULT Device::EndScene()
{
    std::lock_guard lock(m_mutex);
    // Another thread's context may draw next: hand the work over.
    if (GlContext::CurrentId() != 0 && g_glUser.load() == this)
        glFlush();
    return D3D_OK;
}

HRESULT Device::Clear(DWORD count, const D3DRECT* pRects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    std::lock_guard lock(m_mutex);
    if (count > 0 && !pRects)
        return D3DERR_INVALIDCALL;
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !m_state.depthStencil)
        return D3DERR_INVALIDCALL;
    if (!(flags & (D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        return D3DERR_INVALIDCALL;
    if (m_health != Health::Operational)
        return D3D_OK;
    if (!BeginGl())
        return D3DERR_NOTAVAILABLE;
    if (!BindTarget())
        return D3DERR_INVALIDCALL;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xff);
    glClearColor(float((color >> 16) & 255) / 255.0f, float((color >> 8) & 255) / 255.0f, float(color & 255) / 255.0f,
                 float(color >> 24) / 255.0f);
    glClearDepth(std::clamp(z, 0.0f, 1.0f));
    glClearStencil(GLint(stencil));
    GLbitfield mask = ((flags & D3DCLEAR_TARGET) ? GL_COLOR_BUFFER_BIT : 0) |
                      ((flags & D3DCLEAR_ZBUFFER) ? GL_DEPTH_BUFFER_BIT : 0) |
                      ((flags & D3DCLEAR_STENCIL) ? GL_STENCIL_BUFFER_BIT : 0);
    // The viewport bounds what is cleared, and so do the rectangles when given.
    const D3DVIEWPORT8& v = m_state.viewport;
    glEnable(GL_SCISSOR_TEST);
    auto clearRect = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
        x1 = std::max<LONG>(x1, LONG(v.X));
        y1 = std::max<LONG>(y1, LONG(v.Y));
        x2 = std::min<LONG>(x2, LONG(v.X + v.Width));
        y2 = std::min<LONG>(y2, LONG(v.Y + v.Height));
        if (x2 <= x1 || y2 <= y1)
            return;
        glScissor(x1, y1, x2 - x1, y2 - y1);
        glClear(mask);
    };
    if (count == 0) {
        clearRect(LONG(v.X), LONG(v.Y), LONG(v.X + v.Width), LONG(v.Y + v.Height));
    } else {
        for (DWORD i = 0; i < count; ++i)
            clearRect(pRects[i].x1, pRects[i].y1, pRects[i].x2, pRects[i].y2);
    }
    glDisable(GL_SCISSOR_TEST);
    // Each context hands its work on before another thread's context touches the same target:
    // frames start with a clear and end with EndScene or Present, which flush too.
    glFlush();
    m_dirty |= kDirtyBlend | kDirtyDepth;
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// State

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* pMatrix)
{
    if (!pMatrix)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    switch (state) {
    case D3DTS_WORLD: m_state.world = *pMatrix; break;
    case D3DTS_VIEW: m_state.view = *pMatrix; break;
    case D3DTS_PROJECTION: m_state.projection = *pMatrix; break;
    default:
        if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + 8) {
            m_textureTransforms[state - D3DTS_TEXTURE0] = *pMatrix;
            return D3D_OK;
        }
        // Further world matrices serve vertex blending, which this layer does not do.
        return state > D3DTS_WORLD && state < D3DTS_WORLD + 256 ? D3D_OK : D3DERR_INVALIDCALL;
    }
    m_dirty |= kDirtyMatrices;
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* pMatrix)
{
    if (!pMatrix)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    switch (state) {
    case D3DTS_WORLD: *pMatrix = m_state.world; return D3D_OK;
    case D3DTS_VIEW: *pMatrix = m_state.view; return D3D_OK;
    case D3DTS_PROJECTION: *pMatrix = m_state.projection; return D3D_OK;
    default:
        if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + 8) {
            *pMatrix = m_textureTransforms[state - D3DTS_TEXTURE0];
            return D3D_OK;
        }
        if (state > D3DTS_WORLD && state < D3DTS_WORLD + 256) {
            *pMatrix = Identity();
            return D3D_OK;
        }
        return D3DERR_INVALIDCALL;
    }
}

HRESULT Device::SetViewport(const D3DVIEWPORT8* pViewport)
{
    if (!pViewport)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    Surface* target = m_state.renderTarget.Get();
    const D3DVIEWPORT8& v = *pViewport;
    if (v.Width == 0 || v.Height == 0 || !target || uint64_t(v.X) + v.Width > target->Width() ||
        uint64_t(v.Y) + v.Height > target->Height() || !(v.MinZ >= 0.0f && v.MinZ <= 1.0f) ||
        !(v.MaxZ >= 0.0f && v.MaxZ <= 1.0f)) {
        return D3DERR_INVALIDCALL;
    }
    m_state.viewport = v;
    m_dirty |= kDirtyViewport;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8* pViewport)
{
    if (!pViewport)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    *pViewport = m_state.viewport;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= kRenderStates)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    if (m_state.renderStates[state] != value) {
        m_state.renderStates[state] = value;
        m_dirty |= DirtyGroupOfRenderState(state);
    }
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* pValue)
{
    if (!pValue || state >= kRenderStates)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    *pValue = m_state.renderStates[state];
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture8** ppTexture)
{
    if (!ppTexture || stage >= kStages)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    *ppTexture = m_state.textures[stage].Get();
    if (*ppTexture)
        (*ppTexture)->AddRef();
    return D3D_OK;
}

HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture8* pTexture)
{
    if (stage >= kStages)
        return D3DERR_INVALIDCALL;
    auto* texture = Implementation<Texture>(pTexture);
    if (pTexture && !texture)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    if (m_state.textures[stage].Get() != texture) {
        bool hadTexture = bool(m_state.textures[stage]);
        m_state.textures[stage] = Ref<Texture>(texture);
        if (stage < kDrawnStages)
            m_dirty |= kDirtyTextures | (hadTexture != (texture != nullptr) ? uint32_t(kDirtyStages) : 0u);
    }
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* pValue)
{
    if (!pValue || stage >= kStages || type >= kStageStates)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    *pValue = m_state.stageStates[stage][type];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= kStages || type >= kStageStates)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    if (m_state.stageStates[stage][type] != value) {
        m_state.stageStates[stage][type] = value;
        if (stage < kDrawnStages)
            m_dirty |= DirtyGroupOfStageState(type);
    }
    return D3D_OK;
}

HRESULT Device::CreateVertexShader(const DWORD* pDeclaration, const DWORD* pFunction, DWORD* pHandle, DWORD)
{
    if (!pHandle)
        return D3DERR_INVALIDCALL;
    *pHandle = 0;
    // Only declarations for the fixed-function pipeline: programmable shaders are not part of it.
    if (pFunction)
        return D3DERR_INVALIDCALL;
    std::optional<VertexLayout> layout = LayoutFromDeclaration(pDeclaration);
    if (!layout)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    // Odd handles: an FVF code never has its lowest bit set.
    DWORD handle = (m_nextDeclaration++ << 1) | 1u;
    m_declarations[handle] = *layout;
    *pHandle = handle;
    return D3D_OK;
}

HRESULT Device::SetVertexShader(DWORD handle)
{
    std::lock_guard lock(m_mutex);
    if (handle & 1u) {
        if (!m_declarations.count(handle))
            return D3DERR_INVALIDCALL;
        m_fvfLayout.reset();
    } else {
        std::optional<VertexLayout> layout = LayoutFromFvf(handle);
        if (!layout)
            return D3DERR_INVALIDCALL;
        m_fvfLayout = layout;
    }
    m_state.vertexShader = handle;
    m_dirty |= kDirtyVertexInput;
    m_inputKey = InputKey{};
    return D3D_OK;
}

HRESULT Device::GetVertexShader(DWORD* pHandle)
{
    if (!pHandle)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    *pHandle = m_state.vertexShader;
    return D3D_OK;
}

HRESULT Device::DeleteVertexShader(DWORD handle)
{
    std::lock_guard lock(m_mutex);
    if (!(handle & 1u) || !m_declarations.erase(handle))
        return D3DERR_INVALIDCALL;
    if (m_state.vertexShader == handle) {
        m_state.vertexShader = 0;
        m_inputKey = InputKey{};
    }
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* pStreamData, UINT stride)
{
    if (streamNumber >= kStreams)
        return D3DERR_INVALIDCALL;
    auto* buffer = Implementation<VertexBuffer>(pStreamData);
    if (pStreamData && !buffer)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    m_state.streams[streamNumber] = StreamBinding{Ref<VertexBuffer>(buffer), stride};
    return D3D_OK;
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer8* pIndexData, UINT baseVertexIndex)
{
    auto* buffer = Implementation<IndexBuffer>(pIndexData);
    if (pIndexData && !buffer)
        return D3DERR_INVALIDCALL;
    std::lock_guard lock(m_mutex);
    m_state.indices = Ref<IndexBuffer>(buffer);
    m_state.baseVertexIndex = baseVertexIndex;
    return D3D_OK;
}

DeviceState Device::CaptureState()
{
    std::lock_guard lock(m_mutex);
    return m_state;
}

void Device::RestoreState(const DeviceState& state)
{
    std::lock_guard lock(m_mutex);
    m_state = state;
    if (m_state.vertexShader & 1u) {
        m_fvfLayout.reset();
    } else {
        m_fvfLayout = LayoutFromFvf(m_state.vertexShader);
    }
    m_dirty = kDirtyAll;
    m_inputKey = InputKey{};
}

void Device::WatchDraws(DrawWatcher watcher)
{
    std::lock_guard lock(m_mutex);
    m_drawWatcher = std::move(watcher);
}

// ---------------------------------------------------------------------------------------------
// Drawing

const VertexLayout* Device::CurrentLayout()
{
    if (m_state.vertexShader & 1u) {
        auto it = m_declarations.find(m_state.vertexShader);
        return it == m_declarations.end() ? nullptr : &it->second;
    }
    return m_fvfLayout ? &*m_fvfLayout : nullptr;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    return Draw(type, primitiveCount, startVertex, false, 0, 0, 0, nullptr, 0);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices, UINT startIndex,
                                     UINT primCount)
{
    return Draw(type, primCount, 0, true, startIndex, minIndex, numVertices, nullptr, 0);
}

HRESULT Device::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* pVertexStreamZeroData,
                                UINT vertexStreamZeroStride)
{
    if (!pVertexStreamZeroData || vertexStreamZeroStride == 0)
        return D3DERR_INVALIDCALL;
    return Draw(type, primitiveCount, 0, false, 0, 0, 0, pVertexStreamZeroData, vertexStreamZeroStride);
}

HRESULT Device::Draw(D3DPRIMITIVETYPE type, UINT primitives, UINT firstVertex, bool indexed, UINT firstIndex, UINT,
                     UINT, const void* userVertices, UINT userStride)
{
    std::lock_guard lock(m_mutex);
    UINT count = 0;
    GLenum mode = GL_TRIANGLES;
    if (!VertexCount(type, primitives, &count, &mode))
        return D3DERR_INVALIDCALL;
    const VertexLayout* layout = CurrentLayout();
    if (!layout)
        return D3DERR_INVALIDCALL;
    if (userVertices && (m_state.vertexShader & 1u))
        return D3DERR_INVALIDCALL;
    if (count == 0)
        return D3D_OK;

    // Every vertex a draw may read must lie inside its buffer.
    uint64_t lastVertex = 0;
    IndexBuffer* indices = m_state.indices.Get();
    if (indexed) {
        if (!indices)
            return D3DERR_INVALIDCALL;
        if ((uint64_t(firstIndex) + count) * indices->IndexSize() > indices->Bytes().Size())
            return D3DERR_INVALIDCALL;
        lastVertex = uint64_t(m_state.baseVertexIndex) + indices->MaxIndex(firstIndex, count);
    } else {
        lastVertex = uint64_t(firstVertex) + count - 1;
    }
    for (const VertexAttribute& input : layout->inputs) {
        if (!input.present)
            continue;
        if (userVertices) {
            if (input.offset + AttributeSize(input) > userStride)
                return D3DERR_INVALIDCALL;
            continue;
        }
        const StreamBinding& stream = m_state.streams[input.stream];
        if (!stream.buffer || stream.stride == 0)
            return D3DERR_INVALIDCALL;
        if (lastVertex * stream.stride + input.offset + AttributeSize(input) > stream.buffer->Bytes().Size()) {
            return D3DERR_INVALIDCALL;
        }
    }
    if (m_health != Health::Operational)
        return D3D_OK; // a lost device drops its draws
    if (m_drawWatcher) {
        m_drawWatcher(
            DrawCall{m_state, *layout, mode, count, firstVertex, indexed, firstIndex, userVertices, userStride});
    }
    if (!BeginGl())
        return D3DERR_NOTAVAILABLE;
    if (!BindTarget())
        return D3DERR_INVALIDCALL;
    FixedFunction* pipeline = FixedFunction::Get();
    if (!pipeline)
        return D3DERR_NOTAVAILABLE;

    for (UINT stage = 0; stage < kDrawnStages; ++stage) {
        if (m_state.textures[stage] && m_state.textures[stage]->PendingUpload())
            m_dirty |= kDirtyTextures;
    }
    if (layout->pretransformed != m_lastPretransformed)
        m_dirty |= kDirtyViewport;
    m_lastPretransformed = layout->pretransformed;
    if (!pipeline->Apply(m_state, m_dirty, layout->pretransformed))
        return D3DERR_NOTAVAILABLE;
    m_dirty = 0;

    // Vertex inputs: point the vertex array at the streams (or at the program's vertices).
    InputKey key;
    key.layout = layout;
    if (userVertices) {
        if (!m_userBuffer)
            glGenBuffers(1, &m_userBuffer);
        glBindBuffer(GL_ARRAY_BUFFER, m_userBuffer);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(size_t(count) * userStride), nullptr, GL_STREAM_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(size_t(count) * userStride), userVertices);
        key.buffers[0] = m_userBuffer;
        key.strides[0] = userStride;
        // The stream the program's vertices replaced is unset afterwards, as on the platform.
        m_state.streams[0] = StreamBinding{};
    } else {
        for (UINT s = 0; s < kStreams; ++s) {
            if (!layout->usesStream[s] || !m_state.streams[s].buffer)
                continue;
            key.buffers[s] = m_state.streams[s].buffer->Bytes().Upload();
            key.strides[s] = m_state.streams[s].stride;
        }
    }
    if (!(key == m_inputKey) || userVertices) {
        for (UINT i = 0; i < kInputCount; ++i) {
            const VertexAttribute& input = layout->inputs[i];
            if (!input.present) {
                glDisableVertexAttribArray(i);
                if (i == kInputDiffuse) {
                    glVertexAttrib4f(i, 1.0f, 1.0f, 1.0f, 1.0f); // no colour: opaque white
                } else {
                    glVertexAttrib4f(i, 0.0f, 0.0f, 0.0f, 1.0f);
                }
                continue;
            }
            glBindBuffer(GL_ARRAY_BUFFER, key.buffers[input.stream]);
            glEnableVertexAttribArray(i);
            glVertexAttribPointer(i, input.components, input.type, input.normalized, GLsizei(key.strides[input.stream]),
                                  reinterpret_cast<const void*>(uintptr_t(input.offset)));
        }
        m_inputKey = userVertices ? InputKey{} : key;
    }

    if (indexed) {
        GLuint indexBuffer = indices->Bytes().Upload();
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
        GLenum indexType = indices->IndexSize() == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        glDrawElementsBaseVertex(mode, GLsizei(count), indexType,
                                 reinterpret_cast<const void*>(uintptr_t(firstIndex) * indices->IndexSize()),
                                 GLint(m_state.baseVertexIndex));
    } else {
        glDrawArrays(mode, GLint(firstVertex), GLsizei(count));
    }
    return D3D_OK;
}

} // namespace yonda::d3d8

using namespace yonda::d3d8;

HRESULT YondaD3D8LoseDevice(IDirect3DDevice8* device, UINT lostAnswers)
{
    auto* implementation = device ? dynamic_cast<Device*>(device) : nullptr;
    return implementation ? implementation->Lose(lostAnswers) : D3DERR_INVALIDCALL;
}

HRESULT YondaD3D8RefuseResets(IDirect3DDevice8* device, UINT count)
{
    auto* implementation = device ? dynamic_cast<Device*>(device) : nullptr;
    return implementation ? implementation->RefuseResets(count) : D3DERR_INVALIDCALL;
}

UINT YondaD3D8CountDefaultPoolResources(IDirect3DDevice8* device)
{
    auto* implementation = device ? dynamic_cast<Device*>(device) : nullptr;
    return implementation ? implementation->CountDefaultPool() : 0;
}
