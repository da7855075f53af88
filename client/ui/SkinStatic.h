#pragma once
// A skinned drop-down selector: a text field with a four-state drop button (normal, hover,
// pressed, disabled side by side) that opens the toolkit's popup menu of choices below it. The
// control's name is its skin section, its menu section and its window text.
#include "PopupMenuWnd.h"
#include "SkinBase.h"

#include <afxwin.h>

class CSkinStatic : public CWnd {
public:
    CSkinStatic() = default;
    ~CSkinStatic() override;

    // A hidden child named `name`; owners show it.
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, CString name);
    // The menu file and the drop button's picture; the control takes the picture's height. A
    // picture that does not load is told to the user.
    BOOL SetSkin(CString menuIni, CString picturePath);
    // Reads the menu again and shows the item chosen at first.
    void Reload();
    // Shows item `index` of the menu without changing the item chosen at first.
    void SetSelection(int index);
    CString GetSelectedTag() const { return m_strTag.IsEmpty() ? m_strText : m_strTag; }

    // The tag of a menu heading, which the selector never takes.
    static constexpr const char* kHeadingTag = "97";

    RECT m_rcCreate{0, 0, 0, 0};
    int m_nWidth = 0;
    int m_nHeight = 0;
    CRect m_rcButton;
    CBitmap m_bmp;
    int m_bHover = 0;
    int m_bPressed = 0;
    CString m_strText;
    CString m_strTag;
    int m_nSel = 0;
    CPopupMenuWnd m_menu;
    CString m_strMenuIni;
    CString m_strName;

protected:
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnEnable(BOOL enable) override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPick();
    void OpenOrCloseMenu();
};

// A hidden selector made from a skin section: its Rect, ID, the menu file IniFile, the drop
// button's Image, and DefaultIndex, the item shown first (0 without the key). Skinned windows and
// dialogs make theirs this way. False only when the window cannot be made.
BOOL CreateSkinSelector(const CSkinBase& skin, CSkinStatic* child, CWnd* parent, const char* section);
