#pragma once
// The lobby title bar's layout: its four buttons and the strip of lobby plaques it shows one
// column of.
#include <SkinBase.h>

class CLobbyTitleSkin : public CSkinBase {
public:
    // The buttons in the order the bar creates them, then the plaques.
    enum { MAKE_BTN, JOIN_BTN, SEARCH_BTN, BACK_BTN, LOBBY_TITLE, ELEMENT_COUNT };
    static constexpr int kButtonCount = LOBBY_TITLE;
    static const char* const kSections[ELEMENT_COUNT];

    CLobbyTitleSkin() = default;
    ~CLobbyTitleSkin() override { CLobbyTitleSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    CSkinElement m_elements[ELEMENT_COUNT];
};
