#pragma once
// A row (or column) of tabs drawn from one tab-strip picture: variant i of the picture shows the
// strip with tab i selected. A click on another tab selects it and tells the parent.
#include <afxwin.h>

// Tab button -> parent: wParam the new tab, lParam the tab button.
constexpr UINT UM_TAB_SELECT = 0x234C;

class CTabButton : public CWnd {
public:
    CTabButton() = default;
    ~CTabButton() override;

    // Horizontal tabs stand side by side and their picture holds the variants stacked; vertical
    // tabs the other way round. 1 when made, -1 when the window could not be, 0 when its drawing
    // surface could not be.
    int Create(CWnd* parent, int count, const char* picturePath, bool horizontal, RECT rect, UINT id);
    void SetCurSel(int index);
    int GetCurSel() const { return m_nCurSel; }

    int m_nCount = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nCurSel = 0;
    int m_nCellWidth = 0;
    int m_nCellHeight = 0;
    int m_nStep = 1;
    BYTE m_bHorizontal = 1;
    HBITMAP m_hPicture = nullptr;
    CBitmap m_bmp;

protected:
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnDestroy() override;

private:
    void ReleaseSurface();
    HDC m_hMemDC = nullptr;
    HBITMAP m_hMemBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
};
