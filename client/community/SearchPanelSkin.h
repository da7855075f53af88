#pragma once
// The layout the two search windows share: the close button and the Next, Prev and Search
// buttons; the windows read their other sections ("SearchList", "Common", "TAB_CTRL", their
// lists, selectors and option buttons) through the same ini.
#include <WndSkin.h>

class CSearchPanelSkin : public CWndSkin {
public:
    enum { NEXT_BTN, PREV_BTN, SEARCH_BTN, BUTTON_COUNT };
    static const char* const kButtonSections[BUTTON_COUNT];

    CSearchPanelSkin() = default;
    ~CSearchPanelSkin() override { CSearchPanelSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    CSkinElement m_elButtons[BUTTON_COUNT];
};
