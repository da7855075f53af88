#pragma once
// The base of every skinned window: a background picture drawn in bands, dragging by its top
// half, an off-screen DC for derived windows, and the helpers that make buttons from the skin.
#include "SkinBase.h"
#include "SkinButton.h"
#include "SkinStatic.h"

#include <afxwin.h>

class CSkinWnd : public CWnd {
public:
    // The window's skin layout (owned); without one a CWndSkin is used.
    explicit CSkinWnd(CSkinBase* skin = nullptr);
    ~CSkinWnd() override;

    // Loads the window's own skin from the main skin folder.
    virtual int LoadSkin(CSkinBase* skin, const char* iniPath);

    // A popup owned by `parent`, placed at the element's rectangle moved by the parent's screen
    // position; false when the element's picture does not load or the window cannot be made.
    BOOL CreatePopup(CWnd* parent, CSkinElement* element, int draggable);
    // A hidden child at the element's rectangle, with its caption and id.
    BOOL CreateChild(CWnd* parent, CSkinElement* element, int draggable);
    BOOL CreateSkinButton(CSkinButton* button, const char* section);
    BOOL CreateElementButton(CSkinButton* button, CSkinElement* element, CWnd* parent);
    // A drop-down selector from its skin section, showing its DefaultIndex item (the first
    // without one); hidden until the owner shows it. False only when the window cannot be made.
    BOOL CreateSkinChild(CSkinStatic* child, const char* section);
    void CenterInParent();

    void DrawBackground(CDC* dc, CBitmap* bitmap, unsigned bands);
    BOOL CreateOffscreen();
    BOOL DestroyOffscreen();
    static void DrawTransparent(CDC* dest, int x, int y, int width, int height, CDC* src, int srcX, int srcY,
                                COLORREF key);

    CDC m_dcMem;
    HDC m_hMemDC = nullptr;
    HBITMAP m_hMemBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    int m_nMemWidth = 0;
    int m_nMemHeight = 0;
    CSkinBase* m_pSkin = nullptr;
    int m_nReserved = 0;
    int m_bCreated = 0;
    CSkinElement* m_pElement = nullptr;
    int m_bDraggable = 1;
    int m_bPopup = 0;
    RECT m_rcWindow{0, 0, 0, 0};
    RECT m_rcDrag{0, 0, 0, 0};
    CBitmap m_bmpBack;
    CDC m_dcSpare;
    HGDIOBJ m_hExtraObject = nullptr;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnMove(int x, int y) override;
    void OnDestroy() override;

private:
    BOOL LoadBack(CSkinElement* element);
};
