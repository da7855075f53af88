// An overlay font: text over the rendered scene through the Direct3D extension font, with an
// optional textured balloon behind it, sized to the text and standing on the bottom of the
// caller's rectangle. A scene keeps one for ID labels, one for other members' balloons and one
// for the member's own balloon.
#pragma once

#include "KRADefs.h"

#include <d3dx8.h>

class CKRAFont {
public:
    CKRAFont();
    ~CKRAFont();
    CKRAFont(const CKRAFont&) = delete;
    CKRAFont& operator=(const CKRAFont&) = delete;

    // Without a balloon texture name the font draws text only.
    LONG Create(IDirect3DDevice8* pDevice, const LOGFONTA* pLogFont, const char* szBalloonTexture);
    // The balloon texture stays loaded in the texture manager.
    void Destroy();
    // Never writes into szText, whatever the format asks. pTexture, when given, replaces the
    // font's own balloon texture for this draw; the last argument is not used.
    void DrawText(const char* szText, RECT* pRect, DWORD dwFormat, D3DCOLOR color, bool bBalloon,
                  CKRAHandle<tagKRADS>* pTexture, int nUnused);

    CKRAHandle<tagKRADS> GetBalloonTexture() const { return m_hBalloonTexture; }
    bool HasBalloonQuad() const { return m_pQuadBuffer != nullptr; }

private:
    void DrawBalloonQuad(const RECT& rcText, CKRAHandle<tagKRADS>* pTexture);

    IDirect3DDevice8* m_pDevice;
    ID3DXFont* m_pFont;
    BYTE* m_pLockedVertices;
    IDirect3DVertexBuffer8* m_pQuadBuffer;
    CKRAHandle<tagKRADS> m_hBalloonTexture;
};
