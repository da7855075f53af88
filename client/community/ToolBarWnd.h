#pragma once
// The main frame's tool bar: it says where the member is and how many points the member has,
// and offers the own avatar, the emotions, a screenshot of the 3D view, sound on and off, help,
// going up one place, the item shop and the screenshot folder.
#include "ToolBarLayout.h"

#include <PopupMenuWnd.h>
#include <SkinWnd.h>
#include <SoundButton.h>

#include <afxcmn.h>

class CMainFrame;

// The screenshot's file name for a moment: year, month, day, hour, minute, second and `ext`
// (".bmp" or ".jpg"). Two pictures in the same second share their names.
CString ScreenshotFileName(const SYSTEMTIME& time, LPCSTR ext);

// The emotion an item of the emotion menu plays on a male or female avatar; -1 for no item.
int ToolBarEmotionOf(int item, BOOL female);

class CToolBarWnd : public CSkinWnd {
public:
    enum {
        ID_MY_AVATAR = 4002,
        ID_EMOTION,
        ID_SCREENSHOT,
        ID_MUTE,
        ID_HELP,
        ID_POSITION_BACK,
        ID_ITEM_SHOP,
        ID_OPEN_SHOT_FOLDER
    };
    static constexpr UINT kOpenTradeItem = 0x3400; // UM_OPEN_TRADE_ITEM, to the frame
    static constexpr POINT kEmotionMenuOffset{-8, 21};

    CToolBarWnd();

    // A visible child of the frame at the element's rectangle; false when its skin does not load.
    BOOL CreateBar(CMainFrame* frame, CSkinElement* element);
    // The room's name shown after the place; empty outside rooms.
    void SetText(LPCSTR text);
    const CString& GetText() const { return m_strText; }
    // Repaints the points (after the frame stored new ones).
    void RefreshPoints();
    // Below 12 the item shop, emotions and screenshots are off, and the own avatar too except on
    // the map (10); from 12 on the own avatar, emotions and screenshots are on, and the item shop
    // only in lobby 1.
    void EnableButtons(int location);
    // "ScreenShotPath": the folder under the installation folder the pictures go to.
    CString GetScreenshotFolder() const;
    // <installation folder>\<ScreenShotPath>
    CString GetScreenshotPath() const;

    // What the bar writes: where the member is, and the member's points.
    CString GetPositionText() const;
    CString GetPointsText() const;
    // Saves the 3D view as <stamp>.bmp and <stamp>.jpg in the screenshot folder (made when it
    // is missing) under the global lock; the notice to show, or the failure text.
    BOOL SaveViewPicture(CString* notice, CString* jpegPath = nullptr);
    // Sound off when it was on, on when it was off; the option and the button follow.
    void ToggleMute();

    CToolBarLayout* GetLayout() const { return static_cast<CToolBarLayout*>(m_pSkin); }
    // A button by its element (CToolBarLayout::HELP_BTN ...).
    CSoundButton& Button(int element) { return m_btnButtons[element]; }
    CPopupMenuWnd& EmotionMenu() { return m_menuEmotion; }
    CToolTipCtrl& ToolTip() { return m_tip; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OpenEmotionMenu();
    // The emotion's motion and face on the own avatar at once; the face goes to the others as
    // the member's face set.
    void OnEmotionPicked(WPARAM pick);
    void PlayOwnEmotion(int item);
    void TakeScreenshot();
    void OpenScreenshotFolder();
    void DrawTexts(CDC* dc);

    CMainFrame* m_pFrame = nullptr;
    CSoundButton m_btnButtons[CToolBarLayout::kButtonCount]; // in the layout's element order
    CToolTipCtrl m_tip;
    CPopupMenuWnd m_menuEmotion;
    CString m_strText;
    RECT m_rcText{0, 0, 0, 0};
    RECT m_rcPoints{0, 0, 0, 0};
};
