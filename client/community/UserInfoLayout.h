#pragma once
// The user information window's layout, read the same way by the window and by its modal
// dialog form: the five buttons, the two edits, the item lists with their explanation boxes, the
// two rows of tabs, the backgrounds, the points where the eleven profile texts are written, the
// avatar preview's place, the picture place, the texts of the gender words and the size of the
// captured avatar picture.
#include <DialogSkin.h>
#include <WndSkin.h>

// The eleven texts of a profile, in the order the layout lists their points.
enum {
    UI_TEXT_HEAD,
    UI_TEXT_ID,
    UI_TEXT_NICKNAME,
    UI_TEXT_GENDER,
    UI_TEXT_AGE,
    UI_TEXT_CITY,
    UI_TEXT_JOB,
    UI_TEXT_HOBBY,
    UI_TEXT_CLUB,
    UI_TEXT_TEL,
    UI_TEXT_EMAIL,
    UI_TEXT_COUNT
};

// One of the two item lists: its place, its cells across and down, and its explanation box.
struct USER_INFO_LIST {
    int nID = 0;
    RECT rcRect{0, 0, 0, 0};
    int nViewHor = 1;
    int nViewVer = 1;
    RECT rcExp{0, 0, 0, 0};
    POINT ptExpText{0, 0};
    COLORREF crExpBack = RGB(255, 255, 255);
    COLORREF crExpText = RGB(0, 0, 0);
};

struct USER_INFO_TABS {
    int nID = 0;
    RECT rcRect{0, 0, 0, 0};
    int nTabCount = 0;
    CString strImage; // <skin folder>\<Image>
};

// What both forms read beyond their base skins.
class CUserInfoLayout {
public:
    enum { OK_BTN, CANCEL_BTN, ADD_FRIEND_BTN, SEND_MESSAGE_BTN, SCREENSHOT_BTN, BUTTON_COUNT };
    enum { ITEM_LIST_WND, HAIR_LIST_WND, EDIT_NICK, EDIT_INTRO, CONTROL_COUNT };
    static const char* const kButtonSections[BUTTON_COUNT];
    static const char* const kControlSections[CONTROL_COUNT];
    static const char* const kTextKeys[UI_TEXT_COUNT];

    // Reads every section from the skin; nonzero when every button's picture loaded.
    int Load(CSkinBase& skin);
    void Free(CSkinBase& skin);

    CSkinElement m_elButtons[BUTTON_COUNT];
    CSkinElement m_elControls[CONTROL_COUNT];
    RECT m_rcUserID{0, 0, 0, 0};
    RECT m_rcFirstItem{0, 0, 0, 0};
    int m_nItemHeight = 0;
    USER_INFO_LIST m_listSelAble; // the member's own items of a category
    USER_INFO_LIST m_listEqd;     // what the member wears, one cell per worn slot
    USER_INFO_TABS m_tabInfo;     // information or items
    USER_INFO_TABS m_tabPart;     // the item categories
    POINT m_ptSubBg{0, 0};
    CString m_strImageMyItem; // file names in the skin folder
    CString m_strImageMyInfo;
    CString m_strImageUserInfo;
    CString m_strBgMyInfo;
    CString m_strBgUserInfo;
    POINT m_ptMyInfo[UI_TEXT_COUNT]{};
    POINT m_ptUserInfo[UI_TEXT_COUNT]{};
    RECT m_rcAvatarWindow{0, 0, 0, 0};
    int m_nAvatarWindowId = 0;
    RECT m_rcPicture{0, 0, 0, 0}; // another member's uploaded picture
    CString m_strGenderBoy;
    CString m_strGenderGirl;
    CString m_strOtherAvatarHead; // one "%s": the member's nickname
    RECT m_rcData{0, 0, 0, 0};
    int m_nCaptureWidth = 0;
    int m_nCaptureHeight = 0;

private:
    static void LoadList(const CSkinBase& skin, const char* section, USER_INFO_LIST* list);
    static void LoadTabs(const CSkinBase& skin, const char* section, USER_INFO_TABS* tabs);
};

// The window's skin: a frame skin with its close button.
class CUserInfoWndSkin : public CWndSkin {
public:
    CUserInfoWndSkin() = default;
    ~CUserInfoWndSkin() override { CUserInfoWndSkin::FreeSkin(); }

    void FreeSkin() override
    {
        m_layout.Free(*this);
        CWndSkin::FreeSkin();
    }
    int LoadElements() override { return CWndSkin::LoadElements() & m_layout.Load(*this); }

    CUserInfoLayout m_layout;
};

// The dialog form's skin: the same keys over the dialog skin.
class CUserInfoDlgSkin : public CDialogSkin {
public:
    CUserInfoDlgSkin() = default;
    ~CUserInfoDlgSkin() override { CUserInfoDlgSkin::FreeSkin(); }

    void FreeSkin() override
    {
        m_layout.Free(*this);
        CDialogSkin::FreeSkin();
    }
    int LoadElements() override { return CDialogSkin::LoadElements() & m_layout.Load(*this); }

    CUserInfoLayout m_layout;
};
