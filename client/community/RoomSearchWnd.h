#pragma once
// The room search window: tab 0 lists the rooms of the current lobby, tab 1 searches rooms by a
// keyword and the host's sex, age and area, the member limit and two switches. Both page through
// the service's answers, each tab with its own stack of the keys its earlier pages started from.
// A row's Go button joins its room.
#include "RoomListPanel.h"
#include "RoomSearchQuery.h"
#include "SearchPanel.h"

#include <SkinStatic.h>

#include <vector>

class CYondaComm;

class CRoomSearchWnd : public CSearchPanel {
public:
    enum { TAB_LOBBY = 0, TAB_SEARCH = 1 };
    static constexpr UINT kCommandFullRoom = 3121;
    static constexpr UINT kCommandSecretRoom = 3122;
    // The lobby list pages on from this many rows, the search from this many.
    static constexpr int kLobbyPage = 30;
    static constexpr int kSearchPage = 10;
    // The selector of the member limit starts at this item.
    static constexpr int kFirstCountItem = 14;

    CRoomSearchWnd() = default;

    // Selects a tab as the strip does: tab 0 reloads the lobby's first page.
    void SetTab(int tab);
    // The lobby whose rooms the window lists: the chosen one while the member is on the way to a
    // lobby, else the current one.
    static int SearchLobby();
    BOOL LoadLobbyList();
    BOOL Search();
    // Command 3103: a new search from the first page.
    void NewSearch();
    void NextPage();
    void PrevPage();
    // The query the current choices make.
    ROOM_SEARCH_QUERY CurrentQuery();

    int m_nCurrentTab = TAB_SEARCH;
    CRoomListPanel m_lobbyList;
    CRoomListPanel m_searchList;
    std::vector<short> m_pageStack[2];
    short m_nPageKey = 0;
    enum { KEY_SUBJECT, KEY_NAME, KEY_USER_ID, KEY_USER_NICK, FULL_ROOM, SECRET_ROOM, OPTION_COUNT };
    static const char* const kOptionSections[OPTION_COUNT];
    CSoundButton m_btnOptions[OPTION_COUNT];
    UINT m_nSelectedKeyButton = SEARCH_KEY_TEXT2;
    enum { COMBO_SEX, COMBO_AGE, COMBO_AREA, COMBO_COUNT, SELECTOR_COUNT };
    static const char* const kSelectorSections[SELECTOR_COUNT];
    CSkinStatic m_selectors[SELECTOR_COUNT];

protected:
    void OnTabSelected(int tab) override { SetTab(tab); }
    void SetListRowCount(CWnd* list, int count) override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CRoomListPanel& ListOf(int tab) { return tab == TAB_LOBBY ? m_lobbyList : m_searchList; }
    BOOL LoadTab(int tab);
    void ChooseKeyButton(UINT id);
    void ToggleOption(int option);
    BOOL IsChecked(int option) const { return m_btnOptions[option].m_bChecked != 0; }
    // The service's rooms become the list's rows.
    void FillRows(CRoomListPanel& list, CPtrList& elements);
    // An answer of the service shown in the tab's list, its elements given back.
    void ShowAnswer(int tab, CPtrList& elements);
    // The network library's connection while it is up, else null.
    static CYondaComm* Connection();
    void ShowPagingButtons(int tab);
    // The keyword, its key buttons, the selectors and the switches show on the search tab only.
    void ShowSearchOptions();
};
