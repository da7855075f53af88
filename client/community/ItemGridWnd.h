#pragma once
// The item shop's store list: a column of item cells of one gender and category, one page of
// them visible, with the skin's scroll bar along the right edge. The cells' background picture
// (four state columns) is the shop layout's ITEM_BASE_IMAGE; their buy buttons come from the
// shop's buy-button element.
#include "ItemList.h"

#include <SkinBase.h>
#include <SkinScrollBar.h>

#include <afxwin.h>

class CItemGridWnd : public CWnd {
public:
    static constexpr int kScrollBarWidth = 18;

    CItemGridWnd();
    ~CItemGridWnd() override;

    // A visible child at the element's rectangle with its title and id; `picture` is the cells'
    // picture file in the skin folder. FALSE (after the file-read message) when it does not load.
    BOOL Create(CWnd* parent, CSkinElement* element, LPCSTR picture, CSkinElement* buyElement, CItemCatalog* catalog);
    void Fill(int gender, int category, int selection);
    void UpdateScrollBar();

    CItemList& List() { return m_list; }
    // The item of a cell window of the current list, or null (a cell of an earlier fill).
    ITEM_RECORD* ItemOfCell(HWND cell) const;

    CString m_strPicturePath;
    CBitmap m_bmpCell;
    int m_nCellHeight = 0;
    RECT m_rcCell{0, 0, 0, 0};
    int m_nSelectedId = -1;
    CSkinElement* m_pBuyElement = nullptr;
    CSkinScrollBar m_scrollBar;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Layout();
    void Select(WPARAM id, HWND cell);

    CItemList m_list;
    CItemCatalog* m_pCatalog = nullptr;
};
