#include "KRAAtomDevice.h"

#include "KRAItemFormat.h"

#include <cstring>
#include <vector>

namespace {

constexpr UINT kPositionStride = 12;
constexpr UINT kColorStride = 4;
constexpr UINT kTexCoordStride = 8;
constexpr DWORD kWhite = 0xFFFFFFFF;

template <class T>
void ReleaseInterface(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

template <class Buffer>
bool Fill(Buffer* pBuffer, const void* pData, size_t nBytes)
{
    BYTE* p = nullptr;
    if (!pBuffer || FAILED(pBuffer->Lock(0, 0, &p, 0)) || !p)
        return false;
    std::memcpy(p, pData, nBytes);
    pBuffer->Unlock();
    return true;
}

} // namespace

CKRAAtomDevice& CKRAAtomDevice::operator=(CKRAAtomDevice&& other) noexcept
{
    if (this != &other) {
        Destroy();
        m_pDevice = other.m_pDevice;
        m_pIndices = other.m_pIndices;
        m_pPositions = other.m_pPositions;
        m_pColors = other.m_pColors;
        m_pTexCoords = other.m_pTexCoords;
        m_dwShader = other.m_dwShader;
        m_nVertices = other.m_nVertices;
        m_nFaces = other.m_nFaces;
        m_bPositionsMoved = other.m_bPositionsMoved;
        m_bColorsTinted = other.m_bColorsTinted;
        other.m_pDevice = nullptr;
        other.m_pIndices = nullptr;
        other.m_pPositions = other.m_pColors = other.m_pTexCoords = nullptr;
        other.m_dwShader = 0;
    }
    return *this;
}

bool CKRAAtomDevice::Create(IDirect3DDevice8* pDevice, const KRA_ITEM_MESH_DATA& mesh)
{
    Destroy();
    m_nVertices = mesh.VertexCount();
    m_nFaces = unsigned(mesh.vIndices.size() / 3);
    if (!pDevice || m_nVertices == 0 || m_nFaces == 0)
        return false;
    m_pDevice = pDevice;
    bool bOk = SUCCEEDED(pDevice->CreateIndexBuffer(m_nFaces * 6, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT,
                                                    &m_pIndices)) &&
               SUCCEEDED(pDevice->CreateVertexBuffer(m_nVertices * kPositionStride, D3DUSAGE_WRITEONLY, D3DFVF_XYZ,
                                                     D3DPOOL_DEFAULT, &m_pPositions)) &&
               SUCCEEDED(pDevice->CreateVertexBuffer(m_nVertices * kColorStride, D3DUSAGE_WRITEONLY, D3DFVF_DIFFUSE,
                                                     D3DPOOL_DEFAULT, &m_pColors)) &&
               SUCCEEDED(pDevice->CreateVertexBuffer(m_nVertices * kTexCoordStride, D3DUSAGE_WRITEONLY, 0,
                                                     D3DPOOL_DEFAULT, &m_pTexCoords));
    bOk = bOk && Fill(m_pIndices, mesh.vIndices.data(), size_t(m_nFaces) * 6) &&
          Fill(m_pPositions, mesh.vPositions.data(), size_t(m_nVertices) * kPositionStride) && RestoreColors();
    if (bOk) {
        std::vector<float> vZeros;
        const float* pTexCoords = mesh.vTexCoords.data();
        if (mesh.vTexCoords.size() < size_t(m_nVertices) * 2) {
            vZeros.assign(size_t(m_nVertices) * 2, 0.f);
            pTexCoords = vZeros.data();
        }
        bOk = Fill(m_pTexCoords, pTexCoords, size_t(m_nVertices) * kTexCoordStride);
    }
    if (bOk) {
        const DWORD adwDeclaration[] = {
            D3DVSD_STREAM(0), D3DVSD_REG(D3DVSDE_POSITION, D3DVSDT_FLOAT3),
            D3DVSD_STREAM(1), D3DVSD_REG(D3DVSDE_DIFFUSE, D3DVSDT_D3DCOLOR),
            D3DVSD_STREAM(2), D3DVSD_REG(D3DVSDE_TEXCOORD0, D3DVSDT_FLOAT2),
            D3DVSD_END(),
        };
        bOk = SUCCEEDED(pDevice->CreateVertexShader(adwDeclaration, nullptr, &m_dwShader, 0)) && m_dwShader != 0;
    }
    if (!bOk)
        Destroy();
    m_bPositionsMoved = false;
    return bOk;
}

void CKRAAtomDevice::Destroy()
{
    ReleaseInterface(m_pIndices);
    ReleaseInterface(m_pPositions);
    ReleaseInterface(m_pColors);
    ReleaseInterface(m_pTexCoords);
    if (m_dwShader && m_pDevice)
        m_pDevice->DeleteVertexShader(m_dwShader);
    m_dwShader = 0;
    m_pDevice = nullptr;
    m_bPositionsMoved = false;
    m_bColorsTinted = false;
}

bool CKRAAtomDevice::UploadPositions(const float* pPositions, bool bMoved)
{
    if (!Fill(m_pPositions, pPositions, size_t(m_nVertices) * kPositionStride))
        return false;
    m_bPositionsMoved = bMoved;
    return true;
}

bool CKRAAtomDevice::RestorePositions(const KRA_ITEM_MESH_DATA& mesh)
{
    if (!m_bPositionsMoved)
        return true;
    return UploadPositions(mesh.vPositions.data(), false);
}

bool CKRAAtomDevice::FillColors(DWORD dwArgb)
{
    BYTE* p = nullptr;
    if (!m_pColors || FAILED(m_pColors->Lock(0, 0, &p, 0)) || !p)
        return false;
    for (unsigned i = 0; i < m_nVertices; ++i)
        std::memcpy(p + size_t(i) * kColorStride, &dwArgb, kColorStride);
    m_pColors->Unlock();
    m_bColorsTinted = dwArgb != kWhite;
    return true;
}

bool CKRAAtomDevice::RestoreColors()
{
    return FillColors(kWhite);
}

HRESULT CKRAAtomDevice::Draw(IDirect3DDevice8* pDevice) const
{
    if (!Ready() || !pDevice)
        return D3DERR_INVALIDCALL;
    pDevice->SetStreamSource(0, m_pPositions, kPositionStride);
    pDevice->SetStreamSource(1, m_pColors, kColorStride);
    pDevice->SetStreamSource(2, m_pTexCoords, kTexCoordStride);
    pDevice->SetVertexShader(m_dwShader);
    pDevice->SetIndices(m_pIndices, 0);
    return pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, m_nVertices, 0, m_nFaces);
}
