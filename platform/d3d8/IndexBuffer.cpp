#include "IndexBuffer.h"

#include <algorithm>

#include "Device.h"

namespace yonda::d3d8 {

IndexBuffer::IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : Resource(device, pool), m_bytes(length), m_usage(usage), m_format(format)
{}

IndexBuffer::~IndexBuffer() = default;

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    *pDesc = D3DINDEXBUFFER_DESC{m_format, D3DRTYPE_INDEXBUFFER, m_usage, m_pool, m_bytes.Size()};
    return D3D_OK;
}

UINT IndexBuffer::MaxIndex(UINT first, UINT count)
{
    if (m_cachedGeneration == m_bytes.Generation() && m_cachedFirst == first && m_cachedCount == count) {
        return m_cachedMax;
    }
    const BYTE* data = m_bytes.Data();
    UINT size = IndexSize(), result = 0;
    for (UINT i = first; i < first + count; ++i) {
        const BYTE* p = data + size_t(i) * size;
        UINT index =
            size == 2 ? UINT(p[0] | (p[1] << 8)) : UINT(p[0] | (p[1] << 8) | (p[2] << 16) | (UINT(p[3]) << 24));
        result = std::max(result, index);
    }
    m_cachedGeneration = m_bytes.Generation();
    m_cachedFirst = first;
    m_cachedCount = count;
    m_cachedMax = result;
    return result;
}

} // namespace yonda::d3d8
