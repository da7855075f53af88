#pragma once

#include "Buffer.h"
#include "Resource.h"

namespace yonda::d3d8 {

class IndexBuffer final : public Resource<IDirect3DIndexBuffer8> {
public:
    IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~IndexBuffer() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, BYTE** ppbData, DWORD Flags) override
    {
        return m_bytes.Lock(OffsetToLock, SizeToLock, ppbData, Flags);
    }
    HRESULT Unlock() override { return m_bytes.Unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;

    BufferBytes& Bytes() { return m_bytes; }
    UINT IndexSize() const { return m_format == D3DFMT_INDEX32 ? 4 : 2; }
    // The largest index among count indices from first; cached until the bytes change.
    UINT MaxIndex(UINT first, UINT count);

private:
    BufferBytes m_bytes;
    DWORD m_usage;
    D3DFORMAT m_format;
    uint64_t m_cachedGeneration = 0;
    UINT m_cachedFirst = 0;
    UINT m_cachedCount = 0;
    UINT m_cachedMax = 0;
};

} // namespace yonda::d3d8
