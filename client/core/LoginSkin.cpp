#include "LoginSkin.h"

const char* const CLoginSkin::kSections[ELEMENT_COUNT] = {"IDEdit", "PassEdit", "RememberMeBtn", "ForgotPass", "Join"};

void CLoginSkin::FreeSkin()
{
    CDialogSkin::FreeSkin();
    for (CSkinElement& element : m_elLogin) {
        FreeElementBitmap(&element);
    }
}

int CLoginSkin::LoadElements()
{
    int result = CDialogSkin::LoadElements();
    for (int i = 0; i < ELEMENT_COUNT; ++i) {
        result &= LoadElement(kSections[i], &m_elLogin[i]);
    }
    return result;
}
