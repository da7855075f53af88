#pragma once
// The chat's text colour selector: a small popup of 3 x 5 colour swatches over the colour
// button. A click on a swatch picks it (posted to the owner as UM_COLOR_PICK); a press on the
// background drags the popup; losing the focus closes it.
#include <afxwin.h>

// Selector -> owner, posted: wParam the colour index picked.
constexpr UINT UM_COLOR_PICK = 0x5AE;

// One swatch: a static control filled with its colour; its id is its colour index.
class CColorSwatch : public CWnd {
public:
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, COLORREF colour);
    COLORREF GetColour() const { return m_crColour; }

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    COLORREF m_crColour = 0;
};

class CColorSelectorWnd : public CWnd {
public:
    static constexpr int kColumns = 3;
    static constexpr int kRows = 5;
    static constexpr int kGap = 4;
    static constexpr COLORREF kBackground = RGB(0xD7, 0xC8, 0xC3);

    // A visible top-level popup owned by `owner`, `width` wide, with the colour `current` marked.
    BOOL Open(const RECT& rect, CWnd* owner, int current, const COLORREF* colours, int count);
    int GetCurrent() const { return m_nCurrent; }
    int GetSwatchSize() const { return m_nSwatch; }
    // The swatch's rectangle in the popup's client area.
    CRect SwatchRect(int index) const;
    // What a left-button release at a client point does: picks the swatch under it.
    void PickAt(CPoint point);

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnKillFocus(CWnd* newWnd) override;
    void OnDestroy() override;

private:
    int SwatchAt(CPoint point) const;

    HWND m_hOwner = nullptr;
    int m_nCurrent = 0;
    int m_nSwatch = 1;
    const COLORREF* m_pColours = nullptr;
    int m_nCount = 0;
    CColorSwatch m_swatches[kColumns * kRows];
};
