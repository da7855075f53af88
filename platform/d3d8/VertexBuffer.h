#pragma once

#include "Buffer.h"
#include "Resource.h"

namespace yonda::d3d8 {

class VertexBuffer final : public Resource<IDirect3DVertexBuffer8> {
public:
    VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~VertexBuffer() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override
    {
        return m_bytes.Lock(OffsetToLock, SizeToLock, ppbData, Flags);
    }
    HRESULT Unlock() override { return m_bytes.Unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;

    BufferBytes& Bytes() { return m_bytes; }

private:
    BufferBytes m_bytes;
    DWORD m_usage;
    DWORD m_fvf;
};

} // namespace yonda::d3d8
