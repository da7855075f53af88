#include "LobbyTitleSkin.h"

const char* const CLobbyTitleSkin::kSections[ELEMENT_COUNT] = {"MakeBtn", "JoinBtn", "SearchBtn", "BackBtn",
                                                               "LobbyTitle"};

void CLobbyTitleSkin::FreeSkin()
{
    for (CSkinElement& element : m_elements) {
        FreeElementBitmap(&element);
    }
}

int CLobbyTitleSkin::LoadElements()
{
    int result = 1;
    for (int i = 0; i < ELEMENT_COUNT; ++i) {
        result &= LoadElement(kSections[i], &m_elements[i]);
    }
    return result;
}
