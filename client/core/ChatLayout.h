#pragma once
// The chat window's layout: its three buttons, its log and its input line, the width of the
// colour selector it opens and the section of its emotion menu.
#include <SkinBase.h>

class CChatLayout : public CSkinBase {
public:
    // The elements in the order they are read.
    enum { TEXT_COLOR_BTN, TEXMO_BTN, CHAT_LOG_LIST, CHAT_EDIT, CHAT_THEME_BTN, ELEMENT_COUNT };
    static const char* const kSections[ELEMENT_COUNT];

    CChatLayout() = default;
    ~CChatLayout() override { CChatLayout::FreeSkin(); }

    void FreeSkin() override;
    // Nonzero only when every element is in the file and its picture loaded.
    int LoadElements() override;

    CSkinElement m_elements[ELEMENT_COUNT];
    int m_nTextColorSelectorWidth = 0;
    CString m_strTexmoMenuName;
};
