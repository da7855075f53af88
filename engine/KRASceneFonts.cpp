// The scene's three overlay fonts: for avatar ID labels, other members' balloons and the own
// balloon. They live from their creation until the scene is destroyed or the host destroys them.
#include "KRAScene.h"

#include "KRAFont.h"
#include "KRAManager.h"

#include <new>

namespace {

// Makes the font of one slot. A slot that already holds a font gives it up first, so the host
// can create its fonts again (after a device reset, a new chat font) without leaking the old.
LONG CreateFontIn(CKRAFont*& pSlot, const tagLOGFONTA* pLogFont, const char* szBalloonTexture)
{
    if (!pLogFont)
        return KRA_E_INVALID_ARGUMENT;
    if (pSlot) {
        pSlot->Destroy();
        delete pSlot;
        pSlot = nullptr;
    }
    pSlot = new (std::nothrow) CKRAFont();
    if (!pSlot)
        return KRA_E_ALLOCATION;
    return pSlot->Create(CKRAManager::GetD3DDevice(), pLogFont, szBalloonTexture);
}

LONG DestroyFontIn(CKRAFont*& pSlot)
{
    if (!pSlot)
        return KRA_E_MISSING_PART;
    pSlot->Destroy();
    delete pSlot;
    pSlot = nullptr;
    return KRA_OK;
}

} // namespace

LONG CKRAScene::CreateIDFont(tagLOGFONTA* pLogFont, char* szBalloonTexture)
{
    return CreateFontIn(m_pcIDFont, pLogFont, szBalloonTexture);
}

LONG CKRAScene::CreateBalloonFont(tagLOGFONTA* pLogFont, char* szBalloonTexture)
{
    return CreateFontIn(m_pcBalloonFont, pLogFont, szBalloonTexture);
}

LONG CKRAScene::CreateMyBalloonFont(tagLOGFONTA* pLogFont, char* szBalloonTexture)
{
    return CreateFontIn(m_pcMyBalloonFont, pLogFont, szBalloonTexture);
}

LONG CKRAScene::DestroyIDFont()
{
    return DestroyFontIn(m_pcIDFont);
}

LONG CKRAScene::DestroyBalloonFont()
{
    return DestroyFontIn(m_pcBalloonFont);
}

LONG CKRAScene::DestroyMyBalloonFont()
{
    return DestroyFontIn(m_pcMyBalloonFont);
}

void CKRAScene::DrawID(char* szText, tagRECT* pRect, DWORD dwFormat, DWORD dwColor, bool bBalloon,
                       CKRAHandle<tagKRADS>* pTexture, int nUnused)
{
    if (m_pcIDFont)
        m_pcIDFont->DrawText(szText, pRect, dwFormat, dwColor, bBalloon, pTexture, nUnused);
}

void CKRAScene::DrawBalloon(char* szText, tagRECT* pRect, DWORD dwFormat, DWORD dwColor, bool bBalloon)
{
    if (m_pcBalloonFont)
        m_pcBalloonFont->DrawText(szText, pRect, dwFormat, dwColor, bBalloon, nullptr, 0);
}

void CKRAScene::DrawMyBalloon(char* szText, tagRECT* pRect, DWORD dwFormat, DWORD dwColor, bool bBalloon)
{
    if (m_pcMyBalloonFont)
        m_pcMyBalloonFont->DrawText(szText, pRect, dwFormat, dwColor, bBalloon, nullptr, 0);
}

void CKRAScene::DestroyFonts()
{
    for (CKRAFont** ppFont : {&m_pcIDFont, &m_pcBalloonFont, &m_pcMyBalloonFont})
        if (*ppFont)
            DestroyFontIn(*ppFont);
}
