#include "SearchPanel.h"

BOOL CSearchPanel::Create(CWnd* parent, CSkinElement* element)
{
    if (!element || !CreatePopup(parent, element, 1)) {
        return FALSE;
    }
    CenterInParent();
    ShowWindow(SW_SHOW);
    return TRUE;
}

int CSearchPanel::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinWnd::OnCreate(cs) == -1) {
        return -1;
    }
    m_tabPicture.Create(this);
    CSearchPanelSkin* skin = PanelSkin();
    CreateElementButton(&m_btnClose, &skin->m_elCloseBtn, this);
    CreateElementButton(&m_btnNext, &skin->m_elButtons[CSearchPanelSkin::NEXT_BTN], this);
    CreateElementButton(&m_btnPrev, &skin->m_elButtons[CSearchPanelSkin::PREV_BTN], this);
    CreateElementButton(&m_btnSearch, &skin->m_elButtons[CSearchPanelSkin::SEARCH_BTN], this);
    if (m_btnSearch.GetSafeHwnd()) {
        m_btnSearch.ShowWindow(SW_HIDE);
    }
    return 0;
}

void CSearchPanel::SwitchList(int tab, CWnd* list0, CWnd* list1)
{
    CWnd* shown = tab == 0 ? list0 : list1;
    CWnd* hidden = tab == 0 ? list1 : list0;
    RECT place{0, 0, 0, 0};
    int count = 0;
    m_pSkin->GetRect("SearchList", tab == 0 ? "ListRect0" : "ListRect1", &place);
    m_pSkin->GetInt("SearchList", tab == 0 ? "VisibleCount0" : "VisibleCount1", &count);
    if (hidden && hidden->GetSafeHwnd()) {
        hidden->ShowWindow(SW_HIDE);
    }
    if (shown && shown->GetSafeHwnd()) {
        shown->MoveWindow(&place);
        SetListRowCount(shown, count);
        shown->ShowWindow(SW_SHOW);
    }
    if (m_btnSearch.GetSafeHwnd()) {
        m_btnSearch.ShowWindow(tab == 0 ? SW_HIDE : SW_SHOW);
    }
    if (tab != 0 && m_editKeyword.GetSafeHwnd()) {
        m_editKeyword.SetFocus();
    }
}

void CSearchPanel::ShowOption(CWnd& window, BOOL show)
{
    if (window.GetSafeHwnd() && !window.IsWindowVisible() != !show) {
        window.ShowWindow(show ? SW_SHOW : SW_HIDE);
    }
}

void CSearchPanel::OnPaint()
{
    // The derived window paints; the base only takes the paint request.
    ValidateRect(nullptr);
}

BOOL CSearchPanel::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // Closing hides the window: it is made once and keeps its lists for the next opening.
    if (LOWORD(wParam) == kCommandClose && HIWORD(wParam) == BN_CLICKED) {
        ShowWindow(SW_HIDE);
        return TRUE;
    }
    return CSkinWnd::OnCommand(wParam, lParam);
}

LRESULT CSearchPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_TAB_SELECT: OnTabSelected(static_cast<int>(wParam)); return 0;
    case WM_CLOSE: ShowWindow(SW_HIDE); return 0;
    default: return CSkinWnd::WindowProc(message, wParam, lParam);
    }
}

void CSearchPanel::OnDestroy()
{
    m_tabPicture.Release();
    CSkinWnd::OnDestroy();
}
