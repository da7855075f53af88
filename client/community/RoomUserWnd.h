#pragma once
// The window beside the 3D view with the member's friends and the members of the current room on
// two tabs in one place, and six buttons over them: user search, room search, make a room, the
// room's information, edit the room, and leave. A right click on a row opens the menu that the
// member's role and the row's relation to the member call for; its picks send messages, add or
// delete friends, show a member's information, hand the room over or put a member out.
#include "FriendListPanel.h"
#include "TabPicture.h"
#include "UserListPanel.h"

#include <PopupMenuWnd.h>
#include <SkinWnd.h>
#include <SoundButton.h>
#include <TabButton.h>

class CMainFrame;

class CRoomUserWnd : public CSkinWnd {
public:
    enum { TAB_FRIENDS = 0, TAB_USERS = 1 };
    enum { USER_SEARCH_BTN, ROOM_SEARCH_BTN, MAKE_ROOM_BTN, ROOM_VIEW_BTN, ROOM_EDIT_BTN, GO_UPPER_BTN, BUTTON_COUNT };
    static const char* const kButtonSections[BUTTON_COUNT];
    static constexpr UINT kFirstCommand = 3001; // the buttons' ids follow in the order above
    // The items of the members' menus.
    enum { PICK_MESSAGE, PICK_FRIEND, PICK_INFO, PICK_HOST, PICK_KICK };

    CRoomUserWnd() = default;

    // A visible child of the frame from the main layout's element.
    BOOL Create(CMainFrame* frame, CSkinElement* element);

    // The buttons and the tab for a location of the session.
    void SetMode(int location);
    // flag nonzero: the friends again from the service; zero: the members of the room at
    // `location` (lobby in the low 16 bits, room in the high).
    void UpdateUser(int flag, long location);
    void AddUser(long user);
    void RemoveUser(long user);
    void SetRoomMaster(long user);
    void SetFriendOnline(long user, char flag);
    // 0 when a listed member was renamed, 1 when nobody listed has that number.
    int SetUserNickname(long user, LPCSTR text);
    // A friend added or deleted by the frame.
    void AddFriend(const FRIEND_ROW& row);
    void RemoveFriend(long user);
    void ShowTab(int tab);

    // The menu section a right click on `row` of the current tab opens; empty for none.
    CString MenuFor(int row) const;
    CPopupMenuWnd& PopupMenu() { return m_popupMenu; }

    CSoundButton m_btnButtons[BUTTON_COUNT];
    CFriendListPanel m_friendList;
    CUserListPanel m_userList;
    CTabButton m_tabButton;
    int m_nCurrentTab = TAB_FRIENDS;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BOOL CreatePanels();
    void OnTabClicked(int tab);
    void OpenMenu(WPARAM point, int row);
    void OnMenuPick(int item);
    // Picks on the room's members that the room's host alone may make.
    void HandOverRoom(long user, const CString& nickname);
    void PutOut(long user, const CString& nickname);
    CListPanel& CurrentList()
    {
        return m_nCurrentTab == TAB_USERS ? static_cast<CListPanel&>(m_userList) : m_friendList;
    }
    static int Location();

    CMainFrame* m_pFrame = nullptr;
    CPopupMenuWnd m_popupMenu;
    CTabPicture m_tabPicture;
    // The member the open menu is about, taken when it opened: the rows may change before the
    // pick comes back.
    long m_lMenuUser = -1;
    int m_nMenuTab = TAB_FRIENDS;
    CString m_strMenuNickname;
};
