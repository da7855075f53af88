#pragma once
// The user information window: one member's profile beside a live preview of the member's
// avatar. For the member's own user it is where the nickname, the introduction and the worn
// items change, and where a picture of the avatar is captured and uploaded; for another member
// it shows the profile and the picture that member uploaded, and offers to add the member as a
// friend and to send a message. The main frame makes it once and refills it for each member.
#include "UserInfoLayout.h"

#include <AvatarViewWnd.h>
#include <SkinEdit.h>
#include <SkinFrame.h>
#include <SkinListCtrl.h>
#include <SoundButton.h>
#include <TabButton.h>
#include <YondaCommRecords.h>

#include <functional>

class CMainFrame;
class CNoticeDlg;
struct ITEM_RECORD;

class CUserInfoWnd : public CSkinFrame {
public:
    enum {
        kCommandOk = 3201,
        kCommandCancel = 3202,
        kCommandAddFriend = 3203,
        kCommandSendMessage = 3204,
        kCommandScreenshot = 3205
    };
    // The client's language switches: the skin chooses one.
    enum { LANGUAGE_DEFAULT, LANGUAGE_KOREAN, LANGUAGE_GERMAN };
    static constexpr int kWornCellSize = 50;
    static constexpr int kWornRows = 7; // six worn slots and one more
    static constexpr int kNicknameBytes = 31;
    static constexpr int kIntroBytes = 255;

    CUserInfoWnd();
    ~CUserInfoWnd() override;

    // Made hidden over the frame from the layout's element; FALSE when the window could not be.
    BOOL CreateWnd(CMainFrame* frame, CSkinElement* element);
    // Fills the window for a member (-1 the own one) and shows it with the preview running.
    void QueryAvatarInfo(long user);
    // Another member's profile from the service into the shown texts.
    void QueryUserInfo(long user);

    // The texts of another member's profile record: the eleven shown texts and the introduction.
    // `areaName` gives an area code's name, or empty.
    static void FormatProfile(const EX_YONDA_BODY_R_USER_INFO& info, const CUserInfoLayout& layout, int language,
                              const std::function<CString(LPCSTR code)>& areaName, CString texts[UI_TEXT_COUNT],
                              CString* intro);
    // Why a (trimmed) nickname is refused: the string-table key, or null when it may be used.
    static LPCSTR NicknameRefusal(const CString& nickname, int language);
    static CString HiddenWord(int language);

    // The item list for a category (5 lists the hair items after the hand items).
    void FillItemList(int category);
    // A click on a row: wear the item list's row, take the worn list's row off.
    void WearRow(int row);
    void TakeOffRow(int row);
    // A tab of either strip (the part tabs choose the category, the info tabs the mode).
    void OnTab(CTabButton* strip, int tab);
    // OK: the checks, then whatever changed goes to the service. FALSE when the window stays.
    BOOL ApplyChanges();
    // The avatar picture: captured, shown, uploaded when the member agrees, and its BMP deleted.
    void CaptureAndUpload();

    CUserInfoLayout& Layout() const;
    ITEM_RECORD* WornItem(int slot) const;
    int GetCategory() const { return m_nCategory; }
    BOOL IsOtherMember() const { return m_bOther; }
    BOOL IsItemsMode() const { return m_bItemsTab; }
    long GetShownUser() const { return m_lUser; }
    const CString& ShownText(int index) const { return m_strTexts[index]; }
    BOOL HasPicture() const { return m_bmpPicture.GetSafeHandle() != nullptr; }

    CSoundButton m_btnButtons[CUserInfoLayout::BUTTON_COUNT];
    CSkinEdit m_editNick;
    CSkinEdit m_editIntro;
    CTabButton m_tabInfo;
    CTabButton m_tabPart;
    CSkinListCtrl m_listItems; // the member's items of the category
    CSkinListCtrl m_listWorn;  // what the member wears, a row per worn slot
    CAvatarViewWnd m_wndAvatar;
    int m_nLanguage = LANGUAGE_DEFAULT;
    int m_nWornRow[6] = {-1, -1, -1, -1, -1, -1}; // the item list's row of each slot's worn item

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnDestroy() override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnShowWindow(BOOL show, UINT status) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int LoadSubBitmaps() override;
    void FreeSubBitmaps() override;

    // Every message to the member, and the picture's notice, run here (tests answer them).
    virtual void ShowText(const CString& text);
    virtual INT_PTR RunNotice(CNoticeDlg& notice);

private:
    BOOL CreateControls();
    void ShowOwn();
    void ShowOther(long user);
    void FillOwnTexts();
    void FillWornList();
    void SetWornRow(int slot, ITEM_RECORD* item);
    void AddItemRows(int category);
    void SetEditText(CSkinEdit& edit, const CString& text);
    void SetItemsMode(BOOL items);
    void Close();
    void FetchPicture(long user);
    void OpenMessageWindow();
    void OnHover(CSkinListCtrl* list, int row);
    void DrawTexts(CDC* dc);
    void DrawExplanation(CDC* dc, const USER_INFO_LIST& box, const ITEM_RECORD* item, BOOL second);
    int Gender() const; // 1 man, 2 lady
    static int SlotOfItem(const ITEM_RECORD& item);
    CString Table(LPCSTR key) const;

    CMainFrame* m_pFrame = nullptr;
    long m_lUser = -1;
    BOOL m_bOther = FALSE;
    BOOL m_bItemsTab = FALSE;
    int m_nCategory = 0;
    CString m_strTexts[UI_TEXT_COUNT];
    CString m_strIntro;
    CString m_strLoadedNick;
    CString m_strLoadedIntro;
    const ITEM_RECORD* m_pHoverItem = nullptr;
    const ITEM_RECORD* m_pHoverWorn = nullptr;
    CBitmap m_bmpSub[3];  // own items, own information, another member
    CBitmap m_bmpBg[2];   // own, another member
    CBitmap m_bmpPicture; // another member's uploaded picture
    CBrush m_brWhite;
};
