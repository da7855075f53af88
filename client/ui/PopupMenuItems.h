#pragma once
// The item windows of one open popup menu, and which of them show: all of them, or a window of
// `VisibleItem` items from a first one on while the menu scrolls.
#include <afxwin.h>

class CPopupMenuList;
class CPopupMenuWnd;
class CPopupMenuDef;

class CPopupMenuItems {
public:
    CPopupMenuItems() = default;
    ~CPopupMenuItems() { RemoveAll(); }
    CPopupMenuItems(const CPopupMenuItems&) = delete;
    CPopupMenuItems& operator=(const CPopupMenuItems&) = delete;

    // One item window per item of the definition, below a top margin.
    void Build(CPopupMenuWnd* owner, const CPopupMenuDef& def);
    // Destroys and deletes every item window.
    void RemoveAll();
    // Shows items from n on (never past the last full window of items).
    void ShowFrom(int n);

    int GetCount() const { return static_cast<int>(m_list.GetCount()); }
    CPopupMenuList* GetItem(int index) const;
    int GetFirstShown() const { return m_nFirst; }
    void SetFirstShown(int n) { m_nFirst = n; }

private:
    CPopupMenuWnd* m_pOwner = nullptr;
    CPtrList m_list;
    CRect m_rcFirst;
    int m_nFirst = 0;
    int m_nVisibleItem = 0;
};
