// A recording Direct3D device for unit tests that check what the engine asks of the device
// (transforms, states, buffers, draws) without drawing a pixel.
#pragma once

#include <d3d8.h>
#include <d3dx8.h>

#include "KRAObjectFormat.h"

#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace kratest {

// The reference counting every fake object shares: it goes with its last reference.
template <class Interface>
class FakeCom : public Interface {
public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++m_nRef; }
    ULONG Release() override
    {
        ULONG n = --m_nRef;
        if (n == 0)
            delete this;
        return n;
    }

private:
    ULONG m_nRef = 1;
};

class FakeVertexBuffer : public FakeCom<IDirect3DVertexBuffer8> {
public:
    FakeVertexBuffer(UINT length, int* live) : m_vData(length), m_pLive(live) { ++*m_pLive; }
    ~FakeVertexBuffer() override { --*m_pLive; }
    HRESULT GetDevice(IDirect3DDevice8**) override { return E_NOTIMPL; }
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT, UINT, BYTE** pp, DWORD) override
    {
        if (m_bFailLock)
            return D3DERR_INVALIDCALL;
        *pp = m_vData.data();
        return D3D_OK;
    }
    HRESULT Unlock() override { return D3D_OK; }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* p) override
    {
        std::memset(p, 0, sizeof(*p));
        p->Size = UINT(m_vData.size());
        return D3D_OK;
    }
    std::vector<BYTE, KRADefaultInitAllocator<BYTE>> m_vData;
    bool m_bFailLock = false;

private:
    int* m_pLive;
};

class FakeSurface : public FakeCom<IDirect3DSurface8> {
public:
    FakeSurface(UINT w, UINT h) : m_w(w), m_h(h) {}
    HRESULT GetDevice(IDirect3DDevice8**) override { return E_NOTIMPL; }
    HRESULT GetDesc(D3DSURFACE_DESC* p) override
    {
        std::memset(p, 0, sizeof(*p));
        p->Width = m_w;
        p->Height = m_h;
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return E_NOTIMPL; }
    HRESULT UnlockRect() override { return E_NOTIMPL; }

private:
    UINT m_w, m_h;
};

struct Draw {
    IDirect3DVertexBuffer8* pStream;
    std::vector<BYTE, KRADefaultInitAllocator<BYTE>> vStreamData;
    D3DMATRIX mWorld;
    std::map<DWORD, DWORD> renderStates;
    std::map<DWORD, DWORD> stage0;
    std::map<DWORD, DWORD> stage1;
    IDirect3DBaseTexture8* pTexture0;
    UINT nPrimitives;
};

class FakeDevice : public IDirect3DDevice8 {
public:
    FakeDevice(UINT w = 640, UINT h = 480) : m_w(w), m_h(h)
    {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        m_world = m_projection = m_view = identity;
    }
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    HRESULT GetDirect3D(IDirect3D8**) override { return E_NOTIMPL; }
    HRESULT GetDisplayMode(D3DDISPLAYMODE*) override { return E_NOTIMPL; }
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS*, IDirect3DSwapChain8**) override { return E_NOTIMPL; }
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override { return E_NOTIMPL; }
    HRESULT Present(const RECT*, const RECT*, HWND, const _RGNDATA*) override { return E_NOTIMPL; }
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8** pp) override
    {
        if (m_bNoBackBuffer) {
            *pp = nullptr;
            return D3DERR_INVALIDCALL;
        }
        *pp = new FakeSurface(m_w, m_h);
        return D3D_OK;
    }
    HRESULT CreateTexture(UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture8**) override
    {
        return E_NOTIMPL;
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8** pp) override
    {
        if (m_bFailBuffers) {
            *pp = nullptr;
            return D3DERR_OUTOFVIDEOMEMORY;
        }
        *pp = new FakeVertexBuffer(length, &m_nLiveBuffers);
        ++m_nBuffersCreated;
        return D3D_OK;
    }
    HRESULT CreateIndexBuffer(UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DIndexBuffer8**) override { return E_NOTIMPL; }
    HRESULT CreateImageSurface(UINT, UINT, D3DFORMAT, IDirect3DSurface8**) override { return E_NOTIMPL; }
    HRESULT GetFrontBuffer(IDirect3DSurface8*) override { return E_NOTIMPL; }
    HRESULT SetRenderTarget(IDirect3DSurface8*, IDirect3DSurface8*) override { return E_NOTIMPL; }
    HRESULT GetRenderTarget(IDirect3DSurface8**) override { return E_NOTIMPL; }
    HRESULT GetDepthStencilSurface(IDirect3DSurface8**) override { return E_NOTIMPL; }
    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return D3D_OK; }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE s, const D3DMATRIX* m) override
    {
        if (m_bFailTransforms)
            return D3DERR_INVALIDCALL;
        Slot(s) = *m;
        return D3D_OK;
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE s, D3DMATRIX* m) override
    {
        *m = Slot(s);
        return D3D_OK;
    }
    HRESULT SetViewport(const D3DVIEWPORT8*) override { return D3D_OK; }
    HRESULT GetViewport(D3DVIEWPORT8*) override { return E_NOTIMPL; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE s, DWORD v) override
    {
        m_renderStates[DWORD(s)] = v;
        return D3D_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE s, DWORD* v) override
    {
        *v = m_renderStates[DWORD(s)];
        return D3D_OK;
    }
    HRESULT GetTexture(DWORD, IDirect3DBaseTexture8**) override { return E_NOTIMPL; }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* t) override
    {
        m_textures[stage] = t;
        return D3D_OK;
    }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE t, DWORD v) override
    {
        (stage == 0 ? m_stage0 : m_stage1)[DWORD(t)] = v;
        return D3D_OK;
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT count) override
    {
        Draw d;
        d.pStream = m_pStream;
        if (auto* p = static_cast<FakeVertexBuffer*>(m_pStream))
            d.vStreamData = p->m_vData;
        d.mWorld = m_world;
        d.renderStates = m_renderStates;
        d.stage0 = m_stage0;
        d.stage1 = m_stage1;
        d.pTexture0 = m_textures[0];
        d.nPrimitives = count;
        m_vDraws.push_back(d);
        return D3D_OK;
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, UINT, UINT, UINT, UINT) override { return D3D_OK; }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE, UINT, const void*, UINT) override { return D3D_OK; }
    HRESULT CreateVertexShader(const DWORD*, const DWORD*, DWORD*, DWORD) override { return E_NOTIMPL; }
    HRESULT SetVertexShader(DWORD h) override
    {
        m_dwShader = h;
        return D3D_OK;
    }
    HRESULT GetVertexShader(DWORD*) override { return E_NOTIMPL; }
    HRESULT DeleteVertexShader(DWORD) override { return E_NOTIMPL; }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer8* p, UINT) override
    {
        m_pStream = p;
        return D3D_OK;
    }
    HRESULT SetIndices(IDirect3DIndexBuffer8*, UINT) override { return E_NOTIMPL; }

    D3DMATRIX& Slot(D3DTRANSFORMSTATETYPE s)
    {
        if (s == D3DTS_PROJECTION)
            return m_projection;
        if (s == D3DTS_VIEW)
            return m_view;
        return m_world;
    }

    UINT m_w, m_h;
    bool m_bNoBackBuffer = false;
    bool m_bFailBuffers = false;
    bool m_bFailTransforms = false;
    int m_nLiveBuffers = 0;
    int m_nBuffersCreated = 0;
    D3DMATRIX m_world, m_projection, m_view;
    std::map<DWORD, DWORD> m_renderStates, m_stage0, m_stage1;
    std::map<DWORD, IDirect3DBaseTexture8*> m_textures;
    IDirect3DVertexBuffer8* m_pStream = nullptr;
    DWORD m_dwShader = 0;
    std::vector<Draw> m_vDraws;
};

} // namespace kratest
