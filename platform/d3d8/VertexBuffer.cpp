#include "VertexBuffer.h"

#include "Device.h"

namespace yonda::d3d8 {

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : Resource(device, pool), m_bytes(length), m_usage(usage), m_fvf(fvf)
{}

VertexBuffer::~VertexBuffer() = default;

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    *pDesc = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, m_usage, m_pool, m_bytes.Size(), m_fvf};
    return D3D_OK;
}

} // namespace yonda::d3d8
