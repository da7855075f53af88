#pragma once
// The toolkit's owner-drawn list: items laid out as a grid of equal cells (one cell shown per
// item) or as a table of rows and columns, drawn off-screen first, scrolled by a skinned scroll
// bar, with hover and selection coloured and reported to the parent.
#include "SkinScrollBar.h"

#include <afxwin.h>

#include <vector>

// Sent to the parent: wParam the item index from the hit test (-1 for a gap, possibly at or
// beyond the item count for an empty cell), lParam the list.
constexpr UINT UM_LIST_CLICK = 0x2734;
constexpr UINT UM_LIST_DBLCLICK = 0x2735;
constexpr UINT UM_LIST_HOVER = 0x2736;

enum { SKINLIST_MODE_GRID = 1, SKINLIST_MODE_TABLE = 3 };

// How the creator lays the list out.
struct SKINLIST_LAYOUT {
    int nMode = SKINLIST_MODE_GRID;
    int nCellWidth = 0;  // grid cells; also centres pictures in table mode
    int nCellHeight = 0; // grid cells, or the table's row height
    int nColumns = 1;    // cells in a grid row (a table has one)
    int nRows = 0;       // rows shown (a table computes it)
    int bHoverColor = 0;
    COLORREF crHover = 0;
    int bSelectColor = 0;
    COLORREF crSelect = 0;
    int nReserved = 0;
    BYTE bHorizontal = 0; // 1: the bar lies along the bottom and scrolls the first shown column offset
    BYTE bFollow = 0;     // 1: adding an item scrolls to the end while the view is near it
};

// One column; the creator's fields are the creator's alone.
struct SKINLIST_COLUMN {
    int nCreatorId = 0;
    BYTE bVisible = 1;
    int nWidth = 0;
    BYTE bCreatorFlag = 0;
    BYTE bHasBack = 0;
    COLORREF crBack = 0;
    HFONT hFont = nullptr; // null: the list font in black
    COLORREF crText = 0;
    int nCreatorValue = 0;
    int bStretchPictures = 0;
};

enum {
    SKINLIST_CELL_EMPTY = 0,
    SKINLIST_CELL_TEXT = 10,
    SKINLIST_CELL_STYLED_TEXT = 15,
    SKINLIST_CELL_BITMAP = 20,
    SKINLIST_CELL_PICTURE = 25,
    SKINLIST_CELL_DATA = 40,
};

struct SKINLIST_CELL {
    int nKind = SKINLIST_CELL_EMPTY;
    // Above 0: the list keeps a copy of that many bytes; 0: the caller keeps the data.
    int nSize = 0;
    void* pData = nullptr;
};

// Kind 15: a text with its own font and colour.
struct SKINLIST_STYLED_TEXT {
    int nLength = 0;
    const char* pText = nullptr;
    HFONT hFont = nullptr;
    COLORREF crText = 0;
};

// Kind 25: a piece of a picture, drawn at nWidth x nHeight.
struct SKINLIST_PICTURE {
    HBITMAP hBitmap = nullptr;
    int nSourceX = 0;
    int nSourceY = 0;
    int nSourceWidth = 0;
    int nSourceHeight = 0;
    int nWidth = 0;
    int nHeight = 0;
};

class CSkinListCtrl : public CWnd {
public:
    CSkinListCtrl() = default;
    ~CSkinListCtrl() override;

    BOOL Create(CWnd* parent, UINT id, const RECT& rect, const SKINLIST_LAYOUT& layout);
    BOOL AddColumn(const SKINLIST_COLUMN* column);
    // The new item's index; -1 when it could not be added.
    int InsertItem();
    // Replaces a cell; FALSE for an item or column the list does not have.
    BOOL SetCell(int item, int column, const SKINLIST_CELL* cell);
    BOOL SetImageCell(int item, int column, const SKINLIST_PICTURE* picture);
    BOOL SetDataCell(int item, int column, const void* data, int size);
    const SKINLIST_PICTURE* GetImageCell(int item, int column) const;
    void* GetItemData(int item, int column) const;
    BOOL ClearCell(int item, int column);
    BOOL DeleteAllItems();
    int GetSelectedItem() const { return m_nSelItem; }
    int GetHoverItem() const { return m_nHoverItem; }
    void SetScrollPos(int n);

    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    int GetScrollRange() const { return m_nScrollRange; }
    int GetFirstShownRow() const { return m_nFirstRow; }
    int GetFirstShownColumn() const { return m_nFirstColumn; }
    const SKINLIST_LAYOUT& Layout() const { return m_layout; }
    int HorizontalGap() const { return m_nHGap; }
    int VerticalGap() const { return m_nVGap; }
    CSkinScrollBar& ScrollBar() { return m_layout.bHorizontal ? m_hScrollBar : m_vScrollBar; }
    // The item and column under a point of the client area.
    void HitTest(CPoint point, int* item, int* column) const;

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnKillFocus(CWnd* newWnd) override;
    void OnShowWindow(BOOL show, UINT status) override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct Item {
        int nNumber = 0;
        std::vector<SKINLIST_CELL> cells;
    };

    BOOL SetUp();
    void UpdateScrollRange();
    void Redraw();
    void DrawCell(const SKINLIST_CELL& cell, const SKINLIST_COLUMN& column, int item, const CRect& rect);
    void DrawPicture(const SKINLIST_PICTURE& picture, const SKINLIST_COLUMN& column, const CRect& rect);
    void DrawBitmap(HBITMAP bitmap, const CRect& to, int sx, int sy, int sw, int sh);
    static void FreeCell(SKINLIST_CELL& cell);
    SKINLIST_CELL* FindCell(int item, int column);
    const SKINLIST_CELL* FindCell(int item, int column) const;
    void Track(int* item, int* column, CPoint point, UINT notification);

    CSkinScrollBar m_vScrollBar;
    CSkinScrollBar m_hScrollBar;
    CFont m_font;
    std::vector<SKINLIST_COLUMN> m_columns;
    std::vector<Item> m_items;
    int m_nHoverItem = -1;
    int m_nHoverColumn = -1;
    int m_nSelItem = -1;
    int m_nSelColumn = -1;
    int m_nFirstColumn = 0;
    int m_nFirstRow = 0;
    int m_nScrollRange = 0;
    SKINLIST_LAYOUT m_layout;
    int m_nHGap = 1;
    int m_nVGap = 1;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CDC m_dcMem;
    CBitmap m_bmpMem;
    HGDIOBJ m_hOldBitmap = nullptr;
};
