#include "RoomSearchWnd.h"

#include <ClientGlobals.h>
#include <ClientSession.h>

const char* const CRoomSearchWnd::kOptionSections[OPTION_COUNT] = {
    "BtnRoomSubject", "BtnRoomName", "BtnUserID", "BtnUserNick", "BtnFullRoom", "BtnSecretRoom",
};

const char* const CRoomSearchWnd::kSelectorSections[SELECTOR_COUNT] = {"ComboSex", "ComboAge", "ComboArea",
                                                                       "ComboCount"};

int CRoomSearchWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CSearchPanel::OnCreate(cs) == -1) {
        return -1;
    }
    CString tabPicture;
    RECT tabRect{0, 0, 0, 0};
    int tabId = 0;
    int tabCount = 2;
    m_pSkin->GetString("TAB_CTRL", "BASE_IMAGE", &tabPicture);
    m_pSkin->GetRect("TAB_CTRL", "RECT", &tabRect);
    m_pSkin->GetInt("TAB_CTRL", "ID", &tabId);
    m_pSkin->GetInt("Common", "TabCount", &tabCount);
    m_tabButton.Create(this, tabCount, m_pSkin->m_strSkinFolder + "\\" + tabPicture, true, tabRect,
                       static_cast<UINT>(tabId));
    m_tabButton.SetCurSel(m_nCurrentTab);

    RECT first{0, 0, 0, 0};
    int rowHeight = 18;
    m_pSkin->GetRect("RoomSearchList", "FirstItemRect", &first);
    m_pSkin->GetInt("RoomSearchList", "ItemHeight", &rowHeight);
    CString title;
    RECT place0{0, 0, 0, 0}, place1{0, 0, 0, 0};
    int listId = 0;
    m_pSkin->GetString("SearchList", "Title", &title);
    m_pSkin->GetRect("SearchList", "ListRect0", &place0);
    m_pSkin->GetRect("SearchList", "ListRect1", &place1);
    m_pSkin->GetInt("SearchList", "ID", &listId);
    for (CRoomListPanel* list : {&m_lobbyList, &m_searchList}) {
        list->SetFirstRowRect(first.left, first.top, first.right, first.bottom);
        list->SetRowHeight(rowHeight);
    }
    m_lobbyList.Create(title, place0, this, static_cast<UINT>(listId));
    m_searchList.Create(title, place1, this, static_cast<UINT>(listId + 1));
    m_lobbyList.ShowWindow(SW_HIDE);

    for (int i = 0; i < SELECTOR_COUNT; ++i) {
        CreateSkinChild(&m_selectors[i], kSelectorSections[i]);
    }
    m_selectors[COMBO_COUNT].SetSelection(kFirstCountItem);
    for (int i = 0; i < OPTION_COUNT; ++i) {
        CreateSkinButton(&m_btnOptions[i], kOptionSections[i]);
    }
    m_btnOptions[FULL_ROOM].SetState(TRUE);
    m_btnOptions[SECRET_ROOM].SetState(TRUE);

    RECT edit{0, 0, 0, 0};
    int editId = 0;
    m_pSkin->GetRect("EditKeyword", "Rect", &edit);
    m_pSkin->GetInt("EditKeyword", "ID", &editId);
    m_editKeyword.Create(WS_CHILD | ES_AUTOHSCROLL, edit, this, static_cast<UINT>(editId));
    // The service compares no more of a keyword than its widest text holds.
    m_editKeyword.SetLimitText(sizeof(ROOM_SEARCH_QUERY{}.szText1) - 1);

    ChooseKeyButton(m_nSelectedKeyButton);
    SetTab(m_nCurrentTab);
    return 0;
}

void CRoomSearchWnd::SetListRowCount(CWnd* list, int count)
{
    static_cast<CListPanel*>(list)->SetVisibleCount(count);
}

void CRoomSearchWnd::SetTab(int tab)
{
    if (tab != TAB_LOBBY && tab != TAB_SEARCH) {
        return;
    }
    m_nCurrentTab = tab;
    if (m_tabButton.GetSafeHwnd() && m_tabButton.GetCurSel() != tab) {
        m_tabButton.SetCurSel(tab);
    }
    m_tabPicture.Load(*m_pSkin, tab);
    if (tab == TAB_LOBBY) {
        m_nPageKey = 0;
        m_pageStack[TAB_LOBBY].clear();
        LoadLobbyList();
    }
    ShowSearchOptions();
    SwitchList(tab, &m_lobbyList, &m_searchList);
    ShowPagingButtons(tab);
    Invalidate(FALSE);
}

int CRoomSearchWnd::SearchLobby()
{
    if (!g_pSession) {
        return -1;
    }
    return g_pSession->GetLocation() == LOC_LOBBY_SELECTED ? g_pSession->m_nChosenLobby : g_pSession->m_nCurrentLobby;
}

void CRoomSearchWnd::FillRows(CRoomListPanel& list, CPtrList& elements)
{
    for (int slot = 0; slot < list.GetGoButtonCount(); ++slot) {
        list.GoButton(slot)->ShowWindow(SW_HIDE);
    }
    list.ClearItems();
    for (POSITION p = elements.GetHeadPosition(); p;) {
        const auto* element = static_cast<const YONDA_ROOM_LIST_ELEMENT*>(elements.GetNext(p));
        list.AddItem(new ROOM_ROW(RoomRowFromElement(*element)));
    }
    list.ShowWindow(SW_HIDE);
    list.ShowWindow(SW_SHOW);
}

CYondaComm* CRoomSearchWnd::Connection()
{
    CYondaComm* comm = g_pSession ? g_pSession->GetComm() : nullptr;
    return comm && comm->IsConnected() ? comm : nullptr;
}

void CRoomSearchWnd::ShowAnswer(int tab, CPtrList& elements)
{
    CRoomListPanel& list = ListOf(tab);
    FillRows(list, elements);
    Connection()->Release(&elements);
    ShowPagingButtons(tab);
    list.Invalidate(TRUE);
}

BOOL CRoomSearchWnd::LoadLobbyList()
{
    CYondaComm* comm = Connection();
    if (!comm) {
        return TRUE;
    }
    const int lobby = SearchLobby();
    CPtrList elements;
    if (lobby < 0 || !comm->QueryLobbyRoomList(static_cast<short>(lobby), m_nPageKey, elements)) {
        return FALSE;
    }
    ShowAnswer(TAB_LOBBY, elements);
    return TRUE;
}

ROOM_SEARCH_QUERY CRoomSearchWnd::CurrentQuery()
{
    CString keyword;
    if (m_editKeyword.GetSafeHwnd()) {
        m_editKeyword.GetWindowText(keyword);
    }
    return BuildRoomSearchQuery(keyword, static_cast<int>(m_nSelectedKeyButton),
                                m_selectors[COMBO_SEX].GetSelectedTag(), m_selectors[COMBO_AGE].GetSelectedTag(),
                                m_selectors[COMBO_AREA].GetSelectedTag(), m_selectors[COMBO_COUNT].GetSelectedTag(),
                                IsChecked(FULL_ROOM), IsChecked(SECRET_ROOM));
}

BOOL CRoomSearchWnd::Search()
{
    const ROOM_SEARCH_QUERY query = CurrentQuery();
    const int lobby = SearchLobby();
    CYondaComm* comm = Connection();
    CPtrList elements;
    if (!comm || lobby < 0 ||
        !comm->QuerySearchRoom(static_cast<short>(lobby), m_nPageKey, query.szText1, query.szText2, query.szText3,
                               query.szText4, query.cSex, query.byAgeFrom, query.byAgeTo, query.szArea, query.byCount,
                               query.cFull, query.cSecret, elements)) {
        return FALSE;
    }
    ShowAnswer(TAB_SEARCH, elements);
    return TRUE;
}

void CRoomSearchWnd::ShowPagingButtons(int tab)
{
    if (tab != m_nCurrentTab || !m_btnPrev.GetSafeHwnd() || !m_btnNext.GetSafeHwnd()) {
        return;
    }
    const int page = tab == TAB_LOBBY ? kLobbyPage : kSearchPage;
    m_btnPrev.ShowWindow(m_nPageKey != 0 ? SW_SHOW : SW_HIDE);
    m_btnNext.ShowWindow(ListOf(tab).GetCount() >= page ? SW_SHOW : SW_HIDE);
}

BOOL CRoomSearchWnd::LoadTab(int tab)
{
    return tab == TAB_LOBBY ? LoadLobbyList() : Search();
}

void CRoomSearchWnd::NewSearch()
{
    m_pageStack[TAB_SEARCH].clear();
    m_nPageKey = 0;
    Search();
}

void CRoomSearchWnd::NextPage()
{
    const int tab = m_nCurrentTab;
    CRoomListPanel& list = ListOf(tab);
    const int first = list.GetFirstRoomNumber();
    const int last = list.GetLastRoomNumber();
    if (first == last || (tab == TAB_LOBBY && list.GetCount() < kLobbyPage)) {
        return;
    }
    // The service lists rooms after the key, so the page that starts with `first` comes back
    // from the key just before it.
    const short before = m_nPageKey;
    m_pageStack[tab].push_back(static_cast<short>(first - 1));
    m_nPageKey = static_cast<short>(last);
    if (last > 0 && !LoadTab(tab)) {
        // A refused page leaves the window on the page it shows.
        m_pageStack[tab].pop_back();
        m_nPageKey = before;
    }
}

void CRoomSearchWnd::PrevPage()
{
    const int tab = m_nCurrentTab;
    if (m_pageStack[tab].empty()) {
        m_btnPrev.ShowWindow(SW_HIDE);
        return;
    }
    const short before = m_nPageKey;
    const short key = m_pageStack[tab].back();
    m_pageStack[tab].pop_back();
    m_nPageKey = key < 0 ? 0 : key;
    if (!LoadTab(tab)) {
        m_pageStack[tab].push_back(key);
        m_nPageKey = before;
    }
}

void CRoomSearchWnd::ChooseKeyButton(UINT id)
{
    for (int i = KEY_SUBJECT; i <= KEY_USER_NICK; ++i) {
        CSoundButton& button = m_btnOptions[i];
        if (button.GetSafeHwnd()) {
            button.SetState(static_cast<UINT>(button.GetDlgCtrlID()) == id);
        }
    }
    m_nSelectedKeyButton = id;
}

void CRoomSearchWnd::ToggleOption(int option)
{
    m_btnOptions[option].SetState(!IsChecked(option));
}

BOOL CRoomSearchWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED) {
        return CSearchPanel::OnCommand(wParam, lParam);
    }
    switch (id) {
    case kCommandNext: NextPage(); return TRUE;
    case kCommandPrev: PrevPage(); return TRUE;
    case kCommandSearch: NewSearch(); return TRUE;
    case kCommandFullRoom: ToggleOption(FULL_ROOM); return TRUE;
    case kCommandSecretRoom: ToggleOption(SECRET_ROOM); return TRUE;
    default: break;
    }
    if (id >= SEARCH_KEY_TEXT2 && id <= SEARCH_KEY_TEXT4) {
        ChooseKeyButton(id);
        return TRUE;
    }
    return CSearchPanel::OnCommand(wParam, lParam);
}

LRESULT CRoomSearchWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_EDIT_ENTER) {
        NewSearch();
        return 0;
    }
    return CSearchPanel::WindowProc(message, wParam, lParam);
}

void CRoomSearchWnd::ShowSearchOptions()
{
    const BOOL show = m_nCurrentTab == TAB_SEARCH;
    for (CSkinStatic& selector : m_selectors) {
        ShowOption(selector, show);
    }
    for (CSoundButton& button : m_btnOptions) {
        ShowOption(button, show);
    }
    ShowOption(m_editKeyword, show);
}

void CRoomSearchWnd::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc, &m_bmpBack, 3);
    m_tabPicture.Draw(&dc);
    ShowSearchOptions();
}

void CRoomSearchWnd::OnDestroy()
{
    CSearchPanel::OnDestroy();
    m_pageStack[TAB_LOBBY].clear();
    m_pageStack[TAB_SEARCH].clear();
}
