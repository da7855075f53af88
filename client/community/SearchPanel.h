#pragma once
// The skinned window both search windows stand on: a tab strip with a picture per tab, two lists
// in two places (one shows at a time), a keyword edit and the Next, Prev and Search buttons. The
// derived window paints and decides what each tab does.
#include "SearchPanelSkin.h"
#include "TabPicture.h"

#include <SkinEdit.h>
#include <SkinWnd.h>
#include <SoundButton.h>
#include <TabButton.h>

class CSearchPanel : public CSkinWnd {
public:
    static constexpr UINT kCommandClose = 9999;
    static constexpr UINT kCommandNext = 3101;
    static constexpr UINT kCommandPrev = 3102;
    static constexpr UINT kCommandSearch = 3103;

    CSearchPanel() : CSkinWnd(new CSearchPanelSkin) {}

    // A popup over `parent` from the main layout's element, centred on it and shown.
    BOOL Create(CWnd* parent, CSkinElement* element);
    // Shows the tab's list (0: the first, 1: the second) in its place with its row count; the
    // Search button and the keyword's focus go with the second.
    void SwitchList(int tab, CWnd* list0, CWnd* list1);

    CSkinEdit m_editKeyword;
    CSoundButton m_btnClose;
    CSoundButton m_btnNext;
    CSoundButton m_btnPrev;
    CSoundButton m_btnSearch;
    CTabButton m_tabButton;
    // The picture of the tab area; the area takes the picture's size.
    CTabPicture m_tabPicture;

protected:
    // The tab the strip chose.
    virtual void OnTabSelected(int tab) = 0;
    // Shows or hides an option of the tab; only a change is applied, as this runs while the
    // window paints.
    static void ShowOption(CWnd& window, BOOL show);
    // The list slots of a tab: "VisibleCount0" or "VisibleCount1".
    virtual void SetListRowCount(CWnd* list, int count) = 0;

    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    CSearchPanelSkin* PanelSkin() const { return static_cast<CSearchPanelSkin*>(m_pSkin); }
};
