#include "MessengerSkin.h"

const char* const CMessengerSkin::kButtonSections[BUTTON_COUNT] = {"MessageSendBtn", "UserInfoBtn", "GotoFriendBtn",
                                                                   "AddFriendBtn", "Close2Btn"};

void CMessengerSkin::FreeSkin()
{
    CWndSkin::FreeSkin();
    for (CSkinElement& element : m_elButtons) {
        FreeElementBitmap(&element);
    }
}

int CMessengerSkin::LoadElements()
{
    int result = CWndSkin::LoadElements();
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        result = LoadElement(kButtonSections[i], &m_elButtons[i]) && result;
    }
    LoadElement("MessageEdit", &m_elMessageEdit);
    LoadElement("MessageLog", &m_elMessageLog);
    GetRect("Common", "UserIDRect", &m_rcUserID);
    return result;
}
