#include "KRAObject.h"

#include "KRAGeometry.h"
#include "KRAManager.h"
#include "KRATextureAnimation.h"
#include "KRATextureManager.h"
#include "KRAWarning.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kObjectFVF = 0x252;
constexpr DWORD kObjectStride = sizeof(KRA_OBJECT_VERTEX);

template <class T>
void ReleaseInterface(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

D3DXMATRIX ToMatrix(const float* af)
{
    D3DXMATRIX m;
    std::memcpy(&m, af, sizeof(float) * 16);
    return m;
}

} // namespace

CKRAObject::CKRAObject()
    : m_wKindFlags(0), m_wTextureFlags(0), m_dwVertexCount(0), m_abMaterial(), m_dwColor(0), m_nColoredBuilds(0),
      m_adwKeyBlock(), m_pVertexBuffer(nullptr), m_pColoredVertexBuffer(nullptr), m_pFadedVertexBuffer(nullptr)
{
    D3DXMatrixIdentity(&m_matMesh);
}

CKRAObject::~CKRAObject()
{
    Destroy();
}

LONG CKRAObject::Create()
{
    m_vVertices.clear();
    m_vColoredVertices.clear();
    m_dwColor = 0;
    m_pVertexBuffer = m_pColoredVertexBuffer = m_pFadedVertexBuffer = nullptr;
    return KRA_OK;
}

LONG CKRAObject::Destroy()
{
    m_vVertices.clear();
    m_vColoredVertices.clear();
    ReleaseTextures();
    m_vPositionKeys.clear();
    m_vRotationKeys.clear();
    m_vScaleKeys.clear();
    return DestroyDeviceObject();
}

void CKRAObject::ReleaseTextures()
{
    TakeFirstTexture(CKRAHandle<tagKRADS>());
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    if (pTextures && m_hSecondTexture.m_hHandle)
        pTextures->ReleaseTexture(m_hSecondTexture);
    m_hSecondTexture = CKRAHandle<tagKRADS>();
}

void CKRAObject::TakeFirstTexture(CKRAHandle<tagKRADS> hTexture)
{
    if (m_pTextureAnimation) {
        m_pTextureAnimation->Release();
        m_pTextureAnimation.reset();
    }
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    if (pTextures && m_hFirstTexture.m_hHandle)
        pTextures->ReleaseTexture(m_hFirstTexture);
    m_hFirstTexture = hTexture;
}

LONG CKRAObject::LoadObject(KRA_OBJECT_MESH_DATA&& data)
{
    m_wKindFlags = data.wKindFlags;
    m_wTextureFlags = data.wTextureFlags;
    m_dwVertexCount = data.dwVertexCount;
    m_matMesh = ToMatrix(data.afMatrix);
    std::memcpy(m_abMaterial, data.abMaterial, sizeof(m_abMaterial));

    // Texture failures leave the mesh untextured; they never fail the file.
    if (CKRATextureManager* pTextures = CKRAManager::GetTextureManager()) {
        if (data.bHasFirstTexture) {
            bool bColorKeyed = (m_wTextureFlags & KRA_TEX_COLOR_KEYED) != 0;
            if (m_wTextureFlags & KRA_TEX_LIST) {
                auto pList = std::make_unique<CKRATextureAnimation>();
                if (pList->Load(data.strFirstTexture.c_str(), bColorKeyed) == KRA_OK) {
                    // Every mesh with a texture list is drawn as an alpha mesh.
                    m_wTextureFlags |= KRA_TEX_ALPHA;
                    m_pTextureAnimation = std::move(pList);
                }
            } else if (bColorKeyed) {
                pTextures->LoadWorldTextureColorKeyed(data.strFirstTexture.c_str(), &m_hFirstTexture);
            } else {
                pTextures->LoadWorldTexture(data.strFirstTexture.c_str(), &m_hFirstTexture);
            }
        }
        if (data.bHasSecondTexture)
            pTextures->LoadWorldTexture(data.strSecondTexture.c_str(), &m_hSecondTexture);
    }

    m_vVertices = std::move(data.vVertices);
    D3DXMATRIX mIdentity;
    D3DXMatrixIdentity(&mIdentity);
    // Most meshes are stored in place already; placing them by an identity matrix is a no-op.
    if (!IsAnimated() && std::memcmp(&m_matMesh, &mIdentity, sizeof(mIdentity)) != 0) {
        for (KRA_OBJECT_VERTEX& v : m_vVertices) {
            D3DXVECTOR3 p = KRATransformPoint(D3DXVECTOR3(v.x, v.y, v.z), m_matMesh);
            v.x = p.x;
            v.y = p.y;
            v.z = p.z;
        }
    }
    if (IsAnimated()) {
        std::memcpy(m_adwKeyBlock, data.adwKeyBlock, sizeof(m_adwKeyBlock));
        m_vPositionKeys = std::move(data.vPositionKeys);
        m_vRotationKeys = std::move(data.vRotationKeys);
        m_vScaleKeys = std::move(data.vScaleKeys);
    }
    return CreateDeviceObject();
}

LONG CKRAObject::MakeBuffer(const KRA_VERTEX_ARRAY& vVertices, IDirect3DVertexBuffer8** ppBuffer)
{
    *ppBuffer = nullptr;
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    // A mesh without vertices draws nothing and needs no buffer.
    if (vVertices.empty())
        return KRA_OK;
    if (!pDevice ||
        FAILED(pDevice->CreateVertexBuffer(UINT(vVertices.size() * kObjectStride), D3DUSAGE_WRITEONLY, kObjectFVF,
                                           D3DPOOL_DEFAULT, ppBuffer)) ||
        !*ppBuffer) {
        *ppBuffer = nullptr;
        KRAShowWarning("Failed create vertex buffer");
        return KRA_E_FAILED;
    }
    if (FillBuffer(*ppBuffer, vVertices) < 0) {
        ReleaseInterface(*ppBuffer);
        KRAShowWarning("Failed copy vertex data to vertex buffer");
        return KRA_E_FAILED;
    }
    return KRA_OK;
}

LONG CKRAObject::FillBuffer(IDirect3DVertexBuffer8* pBuffer, const KRA_VERTEX_ARRAY& vVertices)
{
    BYTE* pData = nullptr;
    if (FAILED(pBuffer->Lock(0, 0, &pData, 0)) || !pData)
        return KRA_E_FAILED;
    std::memcpy(pData, vVertices.data(), vVertices.size() * kObjectStride);
    pBuffer->Unlock();
    return KRA_OK;
}

LONG CKRAObject::CreateDeviceObject()
{
    DestroyDeviceObject();
    return MakeBuffer(m_vVertices, &m_pVertexBuffer);
}

LONG CKRAObject::DestroyDeviceObject()
{
    ReleaseInterface(m_pVertexBuffer);
    ReleaseInterface(m_pColoredVertexBuffer);
    ReleaseInterface(m_pFadedVertexBuffer);
    m_vColoredVertices.clear();
    m_dwColor = 0;
    return KRA_OK;
}

void CKRAObject::ApplyTransform(IDirect3DDevice8* pDevice, float fTime, D3DXMATRIX& mSaved) const
{
    pDevice->GetTransform(D3DTS_WORLD, &mSaved);
    D3DXMATRIX m = mSaved;
    if (IsAnimated()) {
        D3DXMatrixMultiply(&m, &m_matMesh, &mSaved);
        DWORD dwKeys = m_adwKeyBlock[3];
        DWORD dwDuration = m_adwKeyBlock[1] - m_adwKeyBlock[0];
        float fDuration = float(dwDuration);
        float t = fDuration > 0 ? std::fmod(fTime, fDuration) : 0;
        KRA_FRAME_INDEX f = KRAFrameIndex(dwKeys, fDuration, t);
        size_t k = size_t(f.nFrame), n = size_t(f.nNext);
        auto lerp = [&](const std::vector<float>& vKeys) {
            D3DXVECTOR3 a(&vKeys[3 * k]), b(&vKeys[3 * n]), v;
            D3DXVec3Lerp(&v, &a, &b, f.fFraction);
            return v;
        };
        if (dwKeys > 0 && !m_vPositionKeys.empty()) {
            D3DXVECTOR3 p = lerp(m_vPositionKeys);
            D3DXMATRIX T;
            D3DXMatrixTranslation(&T, p.x, p.y, p.z);
            D3DXMatrixMultiply(&m, &T, &m);
        }
        if (dwKeys > 0 && !m_vScaleKeys.empty()) {
            D3DXVECTOR3 v = lerp(m_vScaleKeys);
            D3DXMATRIX S;
            D3DXMatrixScaling(&S, v.x, v.y, v.z);
            D3DXMatrixMultiply(&m, &S, &m);
        }
        if (dwKeys > 0 && !m_vRotationKeys.empty()) {
            D3DXQUATERNION a(&m_vRotationKeys[4 * k]), b(&m_vRotationKeys[4 * n]), q;
            D3DXQuaternionSlerp(&q, &a, &b, f.fFraction);
            D3DXQuaternionNormalize(&q, &q);
            D3DXMATRIX R;
            D3DXMatrixRotationQuaternion(&R, &q);
            D3DXMatrixMultiply(&m, &R, &m);
        }
    }
    pDevice->SetTransform(D3DTS_WORLD, &m);
}

IDirect3DTexture8* CKRAObject::CurrentTexture(float fDelta)
{
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    if (!pTextures)
        return nullptr;
    if (m_pTextureAnimation)
        return pTextures->GetTexture(m_pTextureAnimation->Advance(fDelta));
    return pTextures->GetTexture(m_hFirstTexture);
}

LONG CKRAObject::BuildColoredCopy(DWORD dwColor)
{
    ReleaseInterface(m_pColoredVertexBuffer);
    // The copy is drawn under the same key-animated transform as the mesh itself, so its
    // positions stay as the mesh's own.
    m_vColoredVertices = m_vVertices;
    for (KRA_OBJECT_VERTEX& v : m_vColoredVertices)
        v.dwDiffuse = dwColor;
    m_dwColor = dwColor;
    ++m_nColoredBuilds;
    return MakeBuffer(m_vColoredVertices, &m_pColoredVertexBuffer);
}

void CKRAObject::AlphaTest(IDirect3DDevice8* pDevice, DWORD dwReference)
{
    pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ALPHAREF, dwReference);
    pDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
}

void CKRAObject::Blend(IDirect3DDevice8* pDevice)
{
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void CKRAObject::SecondStage(IDirect3DDevice8* pDevice, bool bEnabled, DWORD dwAlphaOp, DWORD dwMipFilter) const
{
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    if (!m_hSecondTexture.m_hHandle || !bEnabled || !pTextures) {
        pDevice->SetTexture(1, nullptr);
        return;
    }
    pDevice->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 1);
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    pDevice->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, dwAlphaOp);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    pDevice->SetTextureStageState(1, D3DTSS_MAGFILTER, D3DTEXF_ANISOTROPIC);
    pDevice->SetTextureStageState(1, D3DTSS_MINFILTER, D3DTEXF_ANISOTROPIC);
    pDevice->SetTextureStageState(1, D3DTSS_MIPFILTER, dwMipFilter);
    pDevice->SetTexture(1, pTextures->GetTexture(m_hSecondTexture));
}

void CKRAObject::UntexturedStage(IDirect3DDevice8* pDevice) const
{
    // What every draw leaves behind, set here too, so that an untextured mesh shows its vertex
    // colours also when it is the first thing drawn on a fresh device.
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    pDevice->SetTexture(0, nullptr);
}

void CKRAObject::ResetStates(IDirect3DDevice8* pDevice) const
{
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
}

LONG CKRAObject::RenderObject(float fTime, float fDelta, DWORD dwColor)
{
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pDevice || m_vVertices.size() < 3 || !m_pVertexBuffer)
        return KRA_OK;
    if (dwColor != 0 && dwColor != m_dwColor) {
        LONG lStatus = BuildColoredCopy(dwColor);
        if (lStatus < 0)
            return lStatus;
    }
    D3DXMATRIX mSaved;
    ApplyTransform(pDevice, fTime, mSaved);

    DWORD dwOptions = CKRAManager::GetRenderingOption();
    DWORD dwMipFilter = (dwOptions & 1) ? D3DTEXF_ANISOTROPIC : D3DTEXF_NONE;
    if (HasFirstTexture()) {
        pDevice->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        if (m_wTextureFlags & KRA_TEX_COLOR_KEYED) {
            pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            AlphaTest(pDevice, 0x9F);
        } else if (IsAlpha()) {
            pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
            pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            Blend(pDevice);
            AlphaTest(pDevice, 8);
        } else {
            pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        }
        pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_ANISOTROPIC);
        pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_ANISOTROPIC);
        pDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, dwMipFilter);
        pDevice->SetTexture(0, CurrentTexture(fDelta));
    } else {
        UntexturedStage(pDevice);
    }
    SecondStage(pDevice, (dwOptions & 2) != 0, D3DTOP_SELECTARG1, dwMipFilter);

    IDirect3DVertexBuffer8* pStream =
        (dwColor != 0 && m_pColoredVertexBuffer) ? m_pColoredVertexBuffer : m_pVertexBuffer;
    pDevice->SetVertexShader(kObjectFVF);
    pDevice->SetStreamSource(0, pStream, kObjectStride);
    pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, UINT(m_vVertices.size() / 3));

    ResetStates(pDevice);
    pDevice->SetTransform(D3DTS_WORLD, &mSaved);
    return KRA_OK;
}

LONG CKRAObject::FadeObject(float fTime, float fDelta, DWORD dwAlpha)
{
    IDirect3DDevice8* pDevice = CKRAManager::GetD3DDevice();
    if (!pDevice || m_vVertices.size() < 3 || !m_pVertexBuffer)
        return KRA_OK;
    if (!m_pFadedVertexBuffer) {
        if (MakeBuffer(m_vVertices, &m_pFadedVertexBuffer) < 0)
            return KRA_E_FAILED;
    }
    char szLine[16];
    std::snprintf(szLine, sizeof(szLine), "%d\n", int(dwAlpha));
    KRATrace(szLine);
    BYTE* pData = nullptr;
    if (FAILED(m_pFadedVertexBuffer->Lock(0, 0, &pData, 0)) || !pData)
        return KRA_E_FAILED;
    // The stored alpha limited by the fade's (a bitwise AND, as stored files expect), and no
    // colour: a textured mesh shows its texture alone while it fades, an untextured one fades
    // as a dark shape.
    for (size_t i = 0; i < m_vVertices.size(); ++i) {
        KRA_OBJECT_VERTEX v = m_vVertices[i];
        v.dwDiffuse &= dwAlpha << 24;
        std::memcpy(pData + i * kObjectStride, &v, kObjectStride);
    }
    m_pFadedVertexBuffer->Unlock();

    D3DXMATRIX mSaved;
    ApplyTransform(pDevice, fTime, mSaved);
    Blend(pDevice);
    if (HasFirstTexture()) {
        pDevice->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
        pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_ANISOTROPIC);
        pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_ANISOTROPIC);
        pDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_ANISOTROPIC);
        if (m_wTextureFlags & KRA_TEX_COLOR_KEYED) {
            AlphaTest(pDevice, 0x9F);
        } else if (IsAlpha()) {
            AlphaTest(pDevice, 8);
        }
        pDevice->SetTexture(0, CurrentTexture(fDelta));
    } else {
        UntexturedStage(pDevice);
    }
    SecondStage(pDevice, (CKRAManager::GetRenderingOption() & 2) != 0, D3DTOP_MODULATE, D3DTEXF_ANISOTROPIC);
    pDevice->SetVertexShader(kObjectFVF);
    pDevice->SetStreamSource(0, m_pFadedVertexBuffer, kObjectStride);
    pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, UINT(m_vVertices.size() / 3));
    ResetStates(pDevice);
    pDevice->SetTransform(D3DTS_WORLD, &mSaved);
    return KRA_OK;
}

LONG CKRAObject::RestoreAlphaValue()
{
    // The fade is over: its copy goes until the next one, and the mesh's own buffer gets every
    // stored vertex back (fades draw from the copy, so the buffer that every scene object of the
    // file shares is never dimmed by one object's fade).
    ReleaseInterface(m_pFadedVertexBuffer);
    if (!m_pVertexBuffer)
        return KRA_OK;
    if (FillBuffer(m_pVertexBuffer, m_vVertices) < 0) {
        KRAShowWarning("Failed copy vertex data to vertex buffer");
        return KRA_E_FAILED;
    }
    return KRA_OK;
}

bool CKRAObject::Pick(const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDirection, const D3DXMATRIX& mWorld, float& fBest,
                      D3DXVECTOR3& vHit) const
{
    bool bHit = false;
    size_t nTriangles = m_vVertices.size() / 3;
    auto place = [&](size_t i) {
        D3DXVECTOR3 p(m_vVertices[i].x, m_vVertices[i].y, m_vVertices[i].z);
        if (IsAnimated())
            p = KRATransformPoint(p, m_matMesh);
        return KRATransformPoint(p, mWorld);
    };
    for (size_t t = 0; t < nTriangles; ++t) {
        D3DXVECTOR3 p2 = place(3 * t + 2), p1 = place(3 * t + 1), p0 = place(3 * t);
        D3DXVECTOR3 vPoint;
        if (!KRAIntersectTriangle(vOrigin, vDirection, p2, p1, p0, &vPoint))
            continue;
        D3DXVECTOR3 vToPoint = vPoint - vOrigin;
        float fDistance = D3DXVec3Length(&vToPoint);
        if (fDistance < fBest) {
            fBest = fDistance;
            vHit = vPoint;
            bHit = true;
        }
    }
    return bHit;
}

float CKRAObject::SortKey(const D3DXMATRIX& mCombined, const D3DXVECTOR3& vReference) const
{
    if (m_vVertices.size() < 3)
        return 0;
    D3DXVECTOR3 vPosition = KRATransformPoint(D3DXVECTOR3(m_matMesh._41, m_matMesh._42, m_matMesh._43), mCombined);
    D3DXVECTOR3 vDifference = vPosition - vReference, d;
    D3DXVec3Normalize(&d, &vDifference);
    D3DXVECTOR3 vNormal(m_vVertices[0].nx, m_vVertices[0].ny, m_vVertices[0].nz);
    if (IsAnimated())
        vNormal = KRATransformDirection(vNormal, m_matMesh);
    vNormal = KRATransformDirection(vNormal, mCombined);
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, &vNormal);
    return std::fabs(D3DXVec3Dot(&n, &d));
}
