#pragma once
// The tool bar's layout: its eight buttons and the points tooltip, the words that say where the
// member is (one per lobby among them), where the position text and the points are written, and
// the screenshot folder with the three lines of the screenshot notice.
#include <SkinBase.h>

class CToolBarLayout : public CSkinBase {
public:
    enum {
        HELP_BTN,
        MUTE_BTN,
        SCREENSHOT_BTN,
        EMOTION_BTN,
        MY_AVATAR_BTN,
        POSITION_BACK_BTN,
        OPEN_SHOT_FOLDER_BTN,
        ITEM_SHOP_BTN,
        POINTS_TOOLTIP,
        ELEMENT_COUNT
    };
    static constexpr int kButtonCount = POINTS_TOOLTIP;
    static const char* const kSections[ELEMENT_COUNT];

    CToolBarLayout() = default;
    ~CToolBarLayout() override { CToolBarLayout::FreeSkin(); }

    void FreeSkin() override;
    // Fails without lobbies (the position text needs one word per lobby) or when a button's
    // picture does not load.
    int LoadElements() override;

    // The lobby's word, or empty for a lobby the layout has no word for.
    CString GetLobbyText(int lobby) const;

    CSkinElement m_elements[ELEMENT_COUNT];
    CString m_strMinimap;
    CString m_strChatRoom;
    CString m_strWaitRoom;
    CString m_strMoving;
    CStringArray m_arrLobbyText;
    RECT m_rcTextArea{0, 0, 0, 0};
    RECT m_rcPoints{0, 0, 0, 0};
    CString m_strShotPath; // a folder under the installation folder
    CString m_strFstMsg;   // "%s": the folder
    CString m_strSecMsg;   // "%s": the picture's file name
    CString m_strTrdMsg;
    CString m_strFailMsg; // told instead when no picture could be saved
};
