#pragma once
// One item of a popup menu: a child window of the popup that shows its text, or its row of the
// menu's item picture (four frames: normal, hover, pressed, disabled), and tells the popup when
// it was released under the mouse.
#include <afxwin.h>

class CPopupMenuWnd;

// Item window -> popup, posted when an item is released: wParam the item index.
constexpr UINT UM_POPUP_ITEM_UP = 0x59B;

class CPopupMenuList : public CWnd {
public:
    // With a picture the item is as wide as one of its frames and shows row `index` of it; the
    // picture stays the menu's.
    BOOL Create(CPopupMenuWnd* owner, int index, LPCSTR text, LPCSTR tag, HBITMAP picture, int itemHeight,
                const CRect& rect);

    BOOL IsHovered() const { return m_bHover; }
    BOOL IsPressed() const { return m_bPressed; }
    const CString& GetTag() const { return m_strTag; }

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;

private:
    void DrawText(CDC& dc);

    CPopupMenuWnd* m_pOwner = nullptr;
    BOOL m_bBitmapMode = FALSE;
    HBITMAP m_hBitmap = nullptr;
    int m_nFrameWidth = 0;
    int m_nItemHeight = 0;
    int m_nRow = 0;
    CString m_strTag;
    BOOL m_bHover = FALSE;
    BOOL m_bPressed = FALSE;
};
