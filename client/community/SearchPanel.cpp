#include "SearchPanel.h"

#include <ImageFile.h>

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
    CClientDC window(this);
    m_dcTab.CreateCompatibleDC(&window);
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

void CSearchPanel::FreeTabImage()
{
    if (m_pOldTab && m_dcTab.GetSafeHdc()) {
        m_dcTab.SelectObject(m_pOldTab);
    }
    m_pOldTab = nullptr;
    m_bmpTab.DeleteObject();
}

void CSearchPanel::SetTabImage(const CString& path)
{
    FreeTabImage();
    BITMAP info{};
    if (!m_dcTab.GetSafeHdc() || !LoadBitmapFile(path, &m_bmpTab, nullptr) || !m_bmpTab.GetBitmap(&info)) {
        m_bmpTab.DeleteObject();
        return;
    }
    m_pOldTab = m_dcTab.SelectObject(&m_bmpTab);
    RECT area{0, 0, 0, 0};
    m_pSkin->GetRect("Common", "TabAreaRect", &area);
    m_rcTabArea = {area.left, area.top, area.left + info.bmWidth, area.top + info.bmHeight};
}

void CSearchPanel::DrawTabImage(CDC* dc)
{
    if (m_bmpTab.GetSafeHandle()) {
        dc->BitBlt(m_rcTabArea.left, m_rcTabArea.top, m_rcTabArea.right - m_rcTabArea.left,
                   m_rcTabArea.bottom - m_rcTabArea.top, &m_dcTab, 0, 0, SRCCOPY);
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
    FreeTabImage();
    m_dcTab.DeleteDC();
    CSkinWnd::OnDestroy();
}
