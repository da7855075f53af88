#include "ChatLayout.h"

const char* const CChatLayout::kSections[ELEMENT_COUNT] = {"TextColorBtn", "TexmoBtn", "ChatLogList", "ChatEdit",
                                                           "ChatThemeBtn"};

void CChatLayout::FreeSkin()
{
    for (CSkinElement& element : m_elements) {
        FreeElementBitmap(&element);
    }
}

int CChatLayout::LoadElements()
{
    int result = 1;
    for (int i = 0; i < ELEMENT_COUNT; ++i) {
        // An element the file lacks fails as one whose picture is missing: the window needs all.
        result &= m_Ini.FindSection(kSections[i]) >= 0 && LoadElement(kSections[i], &m_elements[i]) ? 1 : 0;
    }
    GetInt("ChildWnd", "TextColorSelectorWidth", &m_nTextColorSelectorWidth);
    GetString("ChildWnd", "TexmoMenuName", &m_strTexmoMenuName);
    return result;
}
