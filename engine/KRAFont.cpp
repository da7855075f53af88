#include "KRAFont.h"

#include "KRAManager.h"
#include "KRATextureManager.h"
#include "KRAWarning.h"

#include <cstring>
#include <string>

namespace {

// Transformed position, diffuse, one texture set.
constexpr DWORD kQuadFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
static_assert(kQuadFormat == 0x144);

struct QuadVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 28);

constexpr float kQuadDepth = 0.01f;
constexpr D3DCOLOR kQuadColor = 0x7FFFFFFF;
// The quad as created; drawing moves its corners.
constexpr QuadVertex kInitialQuad[4] = {
    {0, 100, kQuadDepth, 1, kQuadColor, 0, 1},
    {0, 0, kQuadDepth, 1, kQuadColor, 0, 0},
    {100, 100, kQuadDepth, 1, kQuadColor, 1, 1},
    {100, 0, kQuadDepth, 1, kQuadColor, 1, 0},
};

// Centred, word break, no clipping, calculate, edit-control breaking, end ellipsis, modify string.
constexpr DWORD kMeasureFormat =
    DT_CENTER | DT_WORDBREAK | DT_NOCLIP | DT_CALCRECT | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_MODIFYSTRING;
static_assert(kMeasureFormat == 0x1A511);

// How far the balloon reaches past the measured text on each side.
constexpr LONG kBalloonLeft = 10, kBalloonTop = 5, kBalloonRight = 15, kBalloonBottom = 20;

} // namespace

CKRAFont::CKRAFont()
    : m_pDevice(nullptr), m_pFont(nullptr), m_pLockedVertices(nullptr), m_pQuadBuffer(nullptr), m_hBalloonTexture()
{}

CKRAFont::~CKRAFont()
{
    Destroy();
}

LONG CKRAFont::Create(IDirect3DDevice8* pDevice, const LOGFONTA* pLogFont, const char* szBalloonTexture)
{
    // A font created twice gives up what it had first.
    Destroy();
    m_pDevice = pDevice;
    if (!pLogFont || FAILED(D3DXCreateFontIndirect(pDevice, pLogFont, &m_pFont)) || !m_pFont) {
        m_pFont = nullptr;
        return KRA_E_FAILED;
    }
    if (!szBalloonTexture)
        return KRA_OK;

    m_hBalloonTexture = CKRAHandle<tagKRADS>();
    if (CKRATextureManager* pTextures = CKRAManager::GetTextureManager()) {
        if (pTextures->LoadWorldTexture(szBalloonTexture, &m_hBalloonTexture) < 0)
            m_hBalloonTexture = CKRAHandle<tagKRADS>();
    }

    if (FAILED(pDevice->CreateVertexBuffer(sizeof(kInitialQuad), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kQuadFormat,
                                           D3DPOOL_DEFAULT, &m_pQuadBuffer)) ||
        !m_pQuadBuffer) {
        m_pQuadBuffer = nullptr;
        return KRA_E_FAILED;
    }
    if (FAILED(m_pQuadBuffer->Lock(0, 0, &m_pLockedVertices, 0)) || !m_pLockedVertices) {
        m_pLockedVertices = nullptr;
        return KRA_E_FAILED;
    }
    std::memcpy(m_pLockedVertices, kInitialQuad, sizeof(kInitialQuad));
    m_pQuadBuffer->Unlock();
    m_pLockedVertices = nullptr;
    return KRA_OK;
}

void CKRAFont::Destroy()
{
    if (m_pQuadBuffer) {
        m_pQuadBuffer->Release();
        m_pQuadBuffer = nullptr;
    }
    if (m_pFont) {
        m_pFont->Release();
        m_pFont = nullptr;
    }
}

void CKRAFont::DrawText(const char* szText, RECT* pRect, DWORD dwFormat, D3DCOLOR color, bool bBalloon,
                        CKRAHandle<tagKRADS>* pTexture, int /*nUnused*/)
{
    if (!m_pFont || !m_pDevice || !szText || !pRect)
        return;
    // The font lays out from its own copy: a format that asks to modify the string (the host's
    // own does) must never reach back into the caller's buffer.
    const std::string strText(szText);
    RECT rcText = *pRect;

    if (bBalloon) {
        RECT rcMeasured = rcText;
        m_pFont->DrawTextA(strText.c_str(), -1, &rcMeasured, kMeasureFormat, color);
        const LONG nHeight = rcMeasured.bottom - rcMeasured.top;
        rcMeasured.bottom = pRect->bottom;
        rcMeasured.top = pRect->bottom - nHeight;
        rcText = rcMeasured;
        DrawBalloonQuad(rcText, pTexture);
    }

    m_pFont->DrawTextA(strText.c_str(), -1, &rcText, dwFormat, color);

    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
}

void CKRAFont::DrawBalloonQuad(const RECT& rc, CKRAHandle<tagKRADS>* pTexture)
{
    IDirect3DDevice8* pDevice = m_pDevice;
    pDevice->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    pDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    pDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    pDevice->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
    // A world pass may leave a second texture on; the balloon is one texture only.
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    pDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ALPHAREF, 8);
    pDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);

    CKRAHandle<tagKRADS> hTexture = pTexture ? *pTexture : m_hBalloonTexture;
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    IDirect3DTexture8* pD3DTexture = pTextures ? pTextures->GetTexture(hTexture) : nullptr;
    if (FAILED(pDevice->SetTexture(0, pD3DTexture)))
        KRATrace("Kravex = CKRAFont::DrawText = Failed SetTexture\n");

    // A font made without a balloon texture has no quad: its balloons are text only.
    if (!m_pQuadBuffer)
        return;
    if (SUCCEEDED(m_pQuadBuffer->Lock(0, 0, &m_pLockedVertices, D3DLOCK_DISCARD)) && m_pLockedVertices) {
        QuadVertex quad[4];
        std::memcpy(quad, kInitialQuad, sizeof(quad));
        const float l = float(rc.left - kBalloonLeft), t = float(rc.top - kBalloonTop);
        const float r = float(rc.right + kBalloonRight), b = float(rc.bottom + kBalloonBottom);
        quad[0].x = l, quad[0].y = b;
        quad[1].x = l, quad[1].y = t;
        quad[2].x = r, quad[2].y = b;
        quad[3].x = r, quad[3].y = t;
        std::memcpy(m_pLockedVertices, quad, sizeof(quad));
        m_pQuadBuffer->Unlock();
    }
    m_pLockedVertices = nullptr;

    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    pDevice->SetVertexShader(kQuadFormat);
    pDevice->SetStreamSource(0, m_pQuadBuffer, sizeof(QuadVertex));
    if (FAILED(pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2)))
        KRATrace("Kravex = CKRAFont::DrawText = Failed DrawPrimitive\n");
}
