#include "MainSkin.h"

#include <cstring>

const char* const CMainSkin::kSections[ELEMENT_COUNT] = {
    "MainWindow",
    "ChatWindow",
    "D3DViewWindow",
    "InfoWindow",
    "CloseBtn",
    "MiniBtn",
    "EntranceButton1",
    "EntranceButton2",
    "EntranceButton3",
    "EntranceButton4",
    "EntranceButton5",
    "EntranceBoard",
    "WND_LOBBY",
    "PathFollow_ReadyButton",
    "PathFollow_StartButton",
    "PathFollow_HintButton",
    "PathFollow_RetireButton",
    "WND_AVATAR_INFO",
    "WND_MENU",
    "WND_SEARCH_ROOM",
    "WND_SEARCH_USER",
    "DLG_ROOM_MAKE",
    "DLG_ROOM_VIEW",
    "DLG_ROOM_EDIT",
    "DLG_GAME_ROOM_MAKE",
    "DLG_PUT_QUESION",
    "DLG_LOGIN",
    "DLG_AVATAR_SELECT",
    "DLG_PASSWORD_CONFIRM",
    "DLG_SCREEN_SHOT_SUCCESS",
    "DLG_TRADEITEM",
    "DLG_BITMAP_VIEWER",
};

void CMainSkin::FreeSkin()
{
    for (CSkinElement& element : m_elements) {
        FreeElementBitmap(&element);
    }
}

int CMainSkin::LoadElements()
{
    int result = 1;
    for (int i = 0; i < ELEMENT_COUNT; ++i) {
        result &= LoadElement(kSections[i], &m_elements[i]);
    }
    // These keys never fail the layout: a skin without them still loads.
    GetString("Common", "PopupMenuIni", &m_strPopupMenuIni);
    GetString("Common", "MsgDlgIni", &m_strMsgDlgIni);
    GetInt("Common", "ThemeCount", &m_nThemeCount);
    GetRect("D3DViewWindow", "D3DViewerBackRect", &m_rcD3DViewerBack);
    GetString("D3DViewWindow", "D3DViewerBackImage", &m_strD3DViewerBackImage);
    return result;
}

CSkinElement* CMainSkin::Element(LPCSTR section)
{
    for (int i = 0; section && i < ELEMENT_COUNT; ++i) {
        if (std::strcmp(section, kSections[i]) == 0) {
            return &m_elements[i];
        }
    }
    return nullptr;
}
