#include "SearchPanelSkin.h"

const char* const CSearchPanelSkin::kButtonSections[BUTTON_COUNT] = {"NextBtn", "PrevBtn", "SearchBtn"};

void CSearchPanelSkin::FreeSkin()
{
    CWndSkin::FreeSkin();
    for (CSkinElement& element : m_elButtons) {
        FreeElementBitmap(&element);
    }
}

int CSearchPanelSkin::LoadElements()
{
    int result = CWndSkin::LoadElements();
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        result &= LoadElement(kButtonSections[i], &m_elButtons[i]);
    }
    return result;
}
