#include "UserSearchWnd.h"

#include "CommunityShared.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>

const char* const CUserSearchWnd::kSelectorSections[SELECTOR_COUNT] = {"ComboSex", "ComboAge", "ComboArea"};

BOOL CUserSearchWnd::Create(CMainFrame* frame, CSkinElement* element)
{
    m_pFrame = frame;
    return CSearchPanel::Create(frame, element);
}

int CUserSearchWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CSearchPanel::OnCreate(cs) == -1) {
        return -1;
    }
    m_resultList.SetRowHeight(18);
    m_resultList.ReadRowLayout(*m_pSkin, "UserSearchList");
    CString title;
    RECT place{0, 0, 0, 0};
    int listId = 0;
    m_pSkin->GetString("SearchList", "Title", &title);
    m_pSkin->GetRect("SearchList", "ListRect1", &place);
    m_pSkin->GetInt("SearchList", "ID", &listId);
    m_resultList.Create(title, place, this, static_cast<UINT>(listId + 1));
    for (int i = 0; i < SELECTOR_COUNT; ++i) {
        CreateSkinChild(&m_selectors[i], kSelectorSections[i]);
    }
    CreateSkinButton(&m_btnByName, "BtnByName");
    CreateSkinButton(&m_btnByNick, "BtnByNick");
    RECT edit{0, 0, 0, 0};
    int editId = 0;
    m_pSkin->GetRect("EditKeyword", "Rect", &edit);
    m_pSkin->GetInt("EditKeyword", "ID", &editId);
    m_editKeyword.Create(WS_CHILD | ES_AUTOHSCROLL, edit, this, static_cast<UINT>(editId));
    // No nickname is longer; an ID is cut to its field when sent.
    m_editKeyword.SetLimitText(sizeof(USER_SEARCH_QUERY{}.szByNick) - 1);
    ChooseKeyButton(m_nSelectedKeyButton);
    m_tabPicture.Load(*m_pSkin, m_nCurrentTab);
    Invalidate(FALSE);
    SwitchList(m_nCurrentTab, nullptr, &m_resultList);
    m_btnPrev.ShowWindow(SW_HIDE);
    m_btnNext.ShowWindow(SW_HIDE);
    // The options show from the start: the member types before the first paint.
    ShowOptions();
    m_editKeyword.SetFocus();
    return 0;
}

void CUserSearchWnd::SetListRowCount(CWnd* list, int count)
{
    static_cast<CListPanel*>(list)->SetVisibleCount(count);
}

void CUserSearchWnd::ChooseKeyButton(UINT id)
{
    for (CSoundButton* button : {&m_btnByName, &m_btnByNick}) {
        if (button->GetSafeHwnd()) {
            button->SetState(static_cast<UINT>(button->GetDlgCtrlID()) == id);
        }
    }
    m_nSelectedKeyButton = id;
}

USER_SEARCH_QUERY CUserSearchWnd::CurrentQuery()
{
    CString keyword;
    if (m_editKeyword.GetSafeHwnd()) {
        m_editKeyword.GetWindowText(keyword);
    }
    return BuildUserSearchQuery(keyword, static_cast<int>(m_nSelectedKeyButton),
                                m_selectors[COMBO_SEX].GetSelectedTag(), m_selectors[COMBO_AGE].GetSelectedTag(),
                                m_selectors[COMBO_AREA].GetSelectedTag());
}

BOOL CUserSearchWnd::Search()
{
    CYondaComm* comm = g_pSession ? g_pSession->GetComm() : nullptr;
    if (!comm || !comm->IsConnected()) {
        return FALSE;
    }
    const USER_SEARCH_QUERY query = CurrentQuery();
    CPtrList elements;
    if (!comm->QuerySearchUser(m_lPageKey, query.szByName, query.szByNick, query.cSex, query.szArea, query.byAgeFrom,
                               query.byAgeTo, "", "", 'Y', elements)) {
        return FALSE;
    }
    FillRows(elements);
    comm->Release(&elements);
    m_btnPrev.ShowWindow(m_lPageKey != 0 ? SW_SHOW : SW_HIDE);
    m_btnNext.ShowWindow(m_resultList.GetCount() >= kPage ? SW_SHOW : SW_HIDE);
    m_resultList.Invalidate(TRUE);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    return TRUE;
}

void CUserSearchWnd::FillRows(CPtrList& elements)
{
    for (int slot = 0; slot < m_resultList.GetGoButtonCount(); ++slot) {
        m_resultList.GoButton(slot)->ShowWindow(SW_HIDE);
    }
    m_resultList.ClearItems();
    for (POSITION p = elements.GetHeadPosition(); p;) {
        const auto* element = static_cast<const YONDA_SEARCH_USER_ELEMENT*>(elements.GetNext(p));
        char code[sizeof(element->szArea) + 1] = {};
        CopyField(code, element->szArea, sizeof(element->szArea));
        const CString area = m_pFrame ? m_pFrame->LookupComboText(code) : CString();
        m_resultList.AddItem(new SEARCH_ROW(SearchRowFromElement(*element, area)));
    }
    m_resultList.ShowWindow(SW_HIDE);
    m_resultList.ShowWindow(SW_SHOW);
}

void CUserSearchWnd::NewSearch()
{
    m_pageStack.clear();
    m_lPageKey = 0;
    Search();
}

void CUserSearchWnd::NextPage()
{
    const long last = m_resultList.GetLastItemId();
    const long first = m_resultList.GetFirstItemId();
    if (last == first || m_resultList.GetCount() < kPage) {
        return;
    }
    // The service lists members after the key: the page that starts with `first` comes back
    // from the number just before it.
    const long before = m_lPageKey;
    m_pageStack.push_back(first - 1);
    m_lPageKey = last;
    if (last > 0 && !Search()) {
        // A refused page leaves the window on the page it shows.
        m_pageStack.pop_back();
        m_lPageKey = before;
    }
}

void CUserSearchWnd::PrevPage()
{
    if (m_pageStack.empty()) {
        m_btnPrev.ShowWindow(SW_HIDE);
        return;
    }
    const long before = m_lPageKey;
    const long key = m_pageStack.back();
    m_pageStack.pop_back();
    m_lPageKey = key;
    if (key >= 0 && !Search()) {
        m_pageStack.push_back(key);
        m_lPageKey = before;
    }
}

BOOL CUserSearchWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED) {
        return CSearchPanel::OnCommand(wParam, lParam);
    }
    switch (id) {
    case kCommandNext: NextPage(); return TRUE;
    case kCommandPrev: PrevPage(); return TRUE;
    case kCommandSearch: NewSearch(); return TRUE;
    case SEARCH_BY_NAME:
    case SEARCH_BY_NICK: ChooseKeyButton(id); return TRUE;
    default: return CSearchPanel::OnCommand(wParam, lParam);
    }
}

LRESULT CUserSearchWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_EDIT_ENTER: NewSearch(); return 0;
    case UM_LIST_POPUP: OpenMenu(wParam, static_cast<int>(lParam & 0xFFFF)); return 0;
    case UM_POPUP_PICK: OnMenuPick(wParam); return 0;
    default: return CSearchPanel::WindowProc(message, wParam, lParam);
    }
}

void CUserSearchWnd::OpenMenu(WPARAM point, int row)
{
    CString menu;
    if (m_popupMenu.GetSafeHwnd() || !m_pSkin->GetString("Common", "CMenu_Search_User", &menu)) {
        return;
    }
    CommunityOpenMenu(&m_popupMenu, this, point, menu, row);
}

void CUserSearchWnd::OnMenuPick(WPARAM pick)
{
    // A row gone since the menu opened (a new search) is nobody: never the own member or -1.
    const long user = m_resultList.GetItemId(HIWORD(pick));
    if (!g_pSession || !m_pFrame || user == -1) {
        return;
    }
    switch (LOWORD(pick)) {
    case PICK_MESSAGE: {
        CString id, nickname;
        if (g_pSession->GetUserNames(user, &id, &nickname)) {
            m_pFrame->OpenMessageWindow(user, id, nickname, nullptr, FALSE);
        }
        break;
    }
    case PICK_ADD_FRIEND: m_pFrame->RequestAddFriend(user); break;
    case PICK_INFO: m_pFrame->ShowAvatarInfoWnd(user); break;
    default: break;
    }
}

void CUserSearchWnd::ShowOptions()
{
    const BOOL show = m_nCurrentTab == kSearchTab;
    for (CSkinStatic& selector : m_selectors) {
        ShowOption(selector, show);
    }
    ShowOption(m_btnByName, show);
    ShowOption(m_btnByNick, show);
    ShowOption(m_editKeyword, show);
}

void CUserSearchWnd::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc, &m_bmpBack, 3);
    m_tabPicture.Draw(&dc);
    ShowOptions();
}

void CUserSearchWnd::OnDestroy()
{
    if (m_popupMenu.GetSafeHwnd()) {
        m_popupMenu.DestroyWindow();
    }
    CSearchPanel::OnDestroy();
    m_pageStack.clear();
}
