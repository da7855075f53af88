#pragma once
// The application-wide layout: the main window, its child windows and its dialogs, each an
// element of "default.ini" whose IniFile names the window's own skin; the popup-menu and
// message-dialog files; the 3D view's back picture. One instance lives for the whole program and
// its skin folder is the one every other skin object uses.
#include "SkinBase.h"

class CMainSkin : public CSkinBase {
public:
    // The elements in the order they are read.
    enum {
        MAIN_WINDOW,
        CHAT_WINDOW,
        D3D_VIEW_WINDOW,
        INFO_WINDOW,
        CLOSE_BTN,
        MINI_BTN,
        ENTRANCE_BUTTON1,
        ENTRANCE_BUTTON2,
        ENTRANCE_BUTTON3,
        ENTRANCE_BUTTON4,
        ENTRANCE_BUTTON5,
        ENTRANCE_BOARD,
        WND_LOBBY,
        PATH_FOLLOW_READY,
        PATH_FOLLOW_START,
        PATH_FOLLOW_HINT,
        PATH_FOLLOW_RETIRE,
        WND_AVATAR_INFO,
        WND_MENU,
        WND_SEARCH_ROOM,
        WND_SEARCH_USER,
        DLG_ROOM_MAKE,
        DLG_ROOM_VIEW,
        DLG_ROOM_EDIT,
        DLG_GAME_ROOM_MAKE,
        DLG_PUT_QUESION,
        DLG_LOGIN,
        DLG_AVATAR_SELECT,
        DLG_PASSWORD_CONFIRM,
        DLG_SCREEN_SHOT_SUCCESS,
        DLG_TRADEITEM,
        DLG_BITMAP_VIEWER,
        ELEMENT_COUNT
    };
    static const char* const kSections[ELEMENT_COUNT];

    CMainSkin() = default;
    ~CMainSkin() override { CMainSkin::FreeSkin(); }

    void FreeSkin() override;
    int LoadElements() override;

    CSkinElement& Element(int index) { return m_elements[index]; }
    // The element of a section name, or null.
    CSkinElement* Element(LPCSTR section);

    CSkinElement m_elements[ELEMENT_COUNT];
    CString m_strPopupMenuIni;       // Common/PopupMenuIni (a file name in the skin folder)
    CString m_strMsgDlgIni;          // Common/MsgDlgIni
    CString m_strD3DViewerBackImage; // D3DViewWindow/D3DViewerBackImage
    RECT m_rcD3DViewerBack{0, 0, 0, 0};
    int m_nThemeCount = 0;
};
