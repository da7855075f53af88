#pragma once
// The toolkit's own menu: a window that lists the items of one section of a popup-menu ini file
// over a three-band background, scrolls them with a skinned scroll bar when not all fit, and
// posts the chosen item to its owner. It is made when opened and destroys itself when an item is
// chosen or, as a top-level popup, when it loses the focus.
#include "PopupMenuDef.h"
#include "PopupMenuItems.h"
#include "SkinScrollBar.h"

#include <afxwin.h>

// Popup -> owner, posted when an item is chosen: wParam (menu id << 16) | item index.
constexpr UINT UM_POPUP_PICK = 0x59A;
// Ignored by the popup.
constexpr UINT UM_POPUP_IGNORED = 0x59C;

class CPopupMenuWnd : public CWnd {
public:
    CPopupMenuWnd() = default;
    ~CPopupMenuWnd() override;

    // A visible top-level popup (popup nonzero) or child, owned by `owner`, for the menu `section`.
    BOOL Create(const RECT& rect, CWnd* owner, LPCSTR section, BOOL popup);
    // Opens the menu from a file of a skin folder.
    void TrackPopup(const CString& skinFolder, LPCSTR iniName);
    // Loads the stored section of the file; when it loaded, builds the items, sizes the window and
    // shows the scroll bar when not every item fits.
    void Show(LPCSTR iniPath);
    // Loads the definition only (no windows); a null section keeps the stored one.
    BOOL LoadMenu(LPCSTR iniPath, LPCSTR section);
    void SetMenuId(int id) { m_nMenuId = id; }
    // Shows items from n on; n < 0 means the current item.
    void ScrollToItem(int n);

    CString GetItemText(int n) const { return m_def.GetText(n); }
    CString GetItemTag(int n) const { return m_def.GetTag(n); }
    CString GetCurrentItemText() const { return m_def.GetText(m_nCurItem); }
    CString GetCurrentItemTag() const { return m_def.GetTag(m_nCurItem); }
    int GetCurrentItem() const { return m_nCurItem; }

    // Draws the background bands as they lie under a point of the menu moved by (dx, dy).
    void DrawBackground(CDC& dc, int dx, int dy);

    const CPopupMenuDef& Definition() const { return m_def; }
    const CPopupMenuItems& Items() const { return m_items; }
    CSkinScrollBar& ScrollBar() { return m_scrollBar; }

    // Set while the window exists: owners open the menu only when it is clear.
    BOOL m_bScrollBarCreated = FALSE;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnKillFocus(CWnd* newWnd) override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void SizeToMenu();
    void ReleaseBackground();

    CRect m_rcWindow;
    HWND m_hOwnerWnd = nullptr;
    BOOL m_bPopup = TRUE;
    BOOL m_bLoaded = FALSE;
    int m_nCurItem = 0;
    int m_nMenuId = 0;
    CString m_strIniPath;
    CString m_strSection;
    CPopupMenuItems m_items;
    CSkinScrollBar m_scrollBar;
    CPopupMenuDef m_def;
    CDC m_dcMem;
    HGDIOBJ m_hOldBitmap = nullptr;
    int m_nBackWidth = 0;
    int m_nBackHeight = 0;
    CRect m_rcScrollBar;
};
