#pragma once
// One cell of the shop's item grid: a background picture by state (normal, hover, selected,
// pressed or disabled), the item's picture, its name and price, and a buy button of its own.
// What happens to it is posted to the grid with the cell's command id and its window.
#include <ItemRecord.h>
#include <SkinBase.h>
#include <SoundButton.h>

#include <afxwin.h>

// Cell -> grid and grid -> shop: wParam the cell's command id, lParam the cell's window.
constexpr UINT UM_ITEM_CELL_CLICK = 0x2402;
constexpr UINT UM_ITEM_CELL_DBLCLICK = 0x2403;
constexpr UINT UM_ITEM_CELL_BUY = 0x2404;

class CItemCellWnd : public CWnd {
public:
    static constexpr UINT kBuyCommand = 301;
    static constexpr int kStateColumns = 4;
    enum { COLUMN_NORMAL = 0, COLUMN_HOVER = 1, COLUMN_SELECTED = 2, COLUMN_PRESSED = 3 };

    CItemCellWnd();
    ~CItemCellWnd() override;

    // A child of `grid` at `origin`, one column of `cellPicture` wide and as high as it, showing
    // the item's square at (x, y) of `itemPicture`; its buy button comes from `buyElement`.
    BOOL CreateCell(CWnd* grid, UINT id, POINT origin, ITEM_RECORD* item, HBITMAP itemPicture, int x, int y,
                    HBITMAP cellPicture, CSkinElement* buyElement);
    // The column of the background picture the cell shows in its state.
    int BackgroundColumn() const;
    void SetSelected(BOOL selected);

    ITEM_RECORD* GetItem() const { return m_pItem; }
    UINT GetCommandId() const { return m_nId; }
    int Width() const { return m_nColumnWidth; }
    int Height() const { return m_nHeight; }

    BYTE m_bHover = 0;
    BYTE m_bPressed = 0;
    BYTE m_bSelected = 0;
    CSoundButton m_btnBuy;

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

private:
    BOOL OverBuyButton(CPoint point);
    void Tell(UINT message);
    void EndHover();

    HBITMAP m_hCellPicture = nullptr; // the grid's, not owned
    HBITMAP m_hItemPicture = nullptr; // the catalogue's, not owned
    int m_nItemX = 0;
    int m_nItemY = 0;
    int m_nColumnWidth = 0;
    int m_nHeight = 0;
    ITEM_RECORD* m_pItem = nullptr;
    UINT m_nId = 0;
    UINT m_nBuyId = kBuyCommand;
    CFont m_font;
};
