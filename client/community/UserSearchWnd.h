#pragma once
// The user search window: members found by ID or nickname with the sex, age band and area the
// member chose, ten at a time, paged by user number. A row's Go button joins the room the member
// is in; a right click offers a message, adding the member as a friend, or the member's
// information.
#include "SearchPanel.h"
#include "UserInfoPanel.h"
#include "UserSearchQuery.h"

#include <PopupMenuWnd.h>
#include <SkinStatic.h>

#include <vector>

class CMainFrame;

class CUserSearchWnd : public CSearchPanel {
public:
    // The window has one tab, the search.
    static constexpr int kSearchTab = 1;
    // Next pages on from this many rows.
    static constexpr int kPage = 10;
    enum { PICK_MESSAGE, PICK_ADD_FRIEND, PICK_INFO };

    CUserSearchWnd() = default;

    BOOL Create(CMainFrame* frame, CSkinElement* element);
    BOOL Search();
    // Command 3103: a new search from the first page.
    void NewSearch();
    void NextPage();
    void PrevPage();
    USER_SEARCH_QUERY CurrentQuery();
    CPopupMenuWnd& PopupMenu() { return m_popupMenu; }

    int m_nCurrentTab = kSearchTab;
    CUserInfoPanel m_resultList;
    std::vector<long> m_pageStack;
    long m_lPageKey = 0;
    enum { COMBO_SEX, COMBO_AGE, COMBO_AREA, SELECTOR_COUNT };
    static const char* const kSelectorSections[SELECTOR_COUNT];
    CSkinStatic m_selectors[SELECTOR_COUNT];
    CSoundButton m_btnByName;
    CSoundButton m_btnByNick;
    UINT m_nSelectedKeyButton = SEARCH_BY_NAME;

protected:
    void OnTabSelected(int) override {}
    void SetListRowCount(CWnd* list, int count) override;
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ChooseKeyButton(UINT id);
    void FillRows(CPtrList& elements);
    void ShowOptions();
    void OpenMenu(WPARAM point, int row);
    void OnMenuPick(WPARAM pick);

    CMainFrame* m_pFrame = nullptr;
    CPopupMenuWnd m_popupMenu;
};
