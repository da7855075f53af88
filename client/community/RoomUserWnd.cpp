#include "RoomUserWnd.h"

#include "CommunityShared.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <NotifyDlg.h>
#include <resource.h>

const char* const CRoomUserWnd::kButtonSections[BUTTON_COUNT] = {
    "UserSearchBtn", "RoomSearchBtn", "MakeRoomBtn", "RoomInfoViewBtn", "RoomInfoEditBtn", "GoUpperBtn",
};

BOOL CRoomUserWnd::Create(CMainFrame* frame, CSkinElement* element)
{
    m_pFrame = frame;
    if (!element || !CreateChild(frame, element, 0)) {
        return FALSE;
    }
    ShowWindow(SW_SHOW);
    return TRUE;
}

int CRoomUserWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinWnd::OnCreate(cs) == -1) {
        return -1;
    }
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (!CreateSkinButton(&m_btnButtons[i], kButtonSections[i])) {
            return -1;
        }
    }
    CString picture;
    RECT rect{0, 0, 0, 0};
    int id = 0;
    m_pSkin->GetString("TAB_CTRL", "BASE_IMAGE", &picture);
    m_pSkin->GetRect("TAB_CTRL", "RECT", &rect);
    m_pSkin->GetInt("TAB_CTRL", "ID", &id);
    m_tabButton.Create(this, 2, m_pSkin->m_strSkinFolder + "\\" + picture, true, rect, static_cast<UINT>(id));
    if (m_tabButton.GetSafeHwnd()) {
        m_tabButton.EnableWindow(FALSE);
    }
    if (!CreatePanels()) {
        return -1;
    }
    m_tabPicture.Create(this);
    ShowTab(m_nCurrentTab);
    return 0;
}

BOOL CRoomUserWnd::CreatePanels()
{
    m_friendList.SetRowHeight(18);
    m_friendList.ReadRowLayout(*m_pSkin, "FriendsList");
    CString title;
    RECT place{0, 0, 0, 0};
    int id = 0;
    m_pSkin->GetString("FriendsList", "Title", &title);
    m_pSkin->GetRect("FriendsList", "Rect", &place);
    m_pSkin->GetInt("FriendsList", "ID", &id);
    if (!m_friendList.Create(title, place, this, static_cast<UINT>(id))) {
        return FALSE;
    }
    // The room's members stand where the friends do; their row height is the friends' unless
    // their own section says otherwise.
    m_userList.SetRowHeight(m_friendList.GetRowHeight());
    m_userList.ReadRowLayout(*m_pSkin, "RoomUserList");
    m_pSkin->GetString("RoomUserList", "Title", &title);
    return m_userList.Create(title, place, this, static_cast<UINT>(id + 1));
}

void CRoomUserWnd::ShowTab(int tab)
{
    m_nCurrentTab = tab == TAB_USERS ? TAB_USERS : TAB_FRIENDS;
    CListPanel& shown = CurrentList();
    CListPanel& hidden = m_nCurrentTab == TAB_USERS ? static_cast<CListPanel&>(m_friendList) : m_userList;
    if (hidden.GetSafeHwnd()) {
        hidden.ShowWindow(SW_HIDE);
    }
    if (shown.GetSafeHwnd()) {
        shown.ShowWindow(SW_SHOW);
    }
    m_tabPicture.Load(*m_pSkin, m_nCurrentTab);
    Invalidate(TRUE);
    if (m_tabButton.GetSafeHwnd() && m_tabButton.GetCurSel() != m_nCurrentTab) {
        m_tabButton.SetCurSel(m_nCurrentTab);
    }
}

int CRoomUserWnd::Location()
{
    return g_pSession ? g_pSession->GetLocation() : LOC_NONE;
}

// ---- The buttons by place ----------------------------------------------------------------------

void CRoomUserWnd::SetMode(int type)
{
    if (!GetSafeHwnd()) {
        return;
    }
    auto show = [this](int button, BOOL visible) { m_btnButtons[button].ShowWindow(visible ? SW_SHOW : SW_HIDE); };
    auto enable = [this](int button, BOOL enabled) { m_btnButtons[button].EnableWindow(enabled); };
    if (type <= LOC_MINIMAP) {
        // Before the map (0) nothing can be searched; on the map the member may look for people.
        const BOOL onMap = type > 0;
        enable(USER_SEARCH_BTN, onMap);
        enable(GO_UPPER_BTN, onMap);
        enable(ROOM_SEARCH_BTN, FALSE);
        show(MAKE_ROOM_BTN, TRUE);
        enable(MAKE_ROOM_BTN, FALSE);
        show(ROOM_VIEW_BTN, FALSE);
        show(ROOM_EDIT_BTN, FALSE);
        m_tabButton.EnableWindow(FALSE);
        ShowTab(TAB_FRIENDS);
        return;
    }
    enable(USER_SEARCH_BTN, TRUE);
    enable(GO_UPPER_BTN, TRUE);
    enable(ROOM_SEARCH_BTN, TRUE);
    enable(MAKE_ROOM_BTN, TRUE);
    if (type == LOC_LOBBY_SELECTED) {
        m_tabButton.EnableWindow(FALSE);
        ShowTab(TAB_FRIENDS);
        return;
    }
    m_tabButton.EnableWindow(TRUE);
    switch (type) {
    case LOC_LOBBY:
        show(MAKE_ROOM_BTN, TRUE);
        show(ROOM_VIEW_BTN, FALSE);
        show(ROOM_EDIT_BTN, FALSE);
        enable(ROOM_VIEW_BTN, TRUE);
        enable(ROOM_EDIT_BTN, TRUE);
        break;
    case LOC_ROOM_HOST:
    case LOC_ROOM: {
        show(MAKE_ROOM_BTN, FALSE);
        show(ROOM_EDIT_BTN, type == LOC_ROOM_HOST);
        show(ROOM_VIEW_BTN, type == LOC_ROOM);
        // The party game's rooms have no information to show or edit.
        const BOOL game = g_pSession && g_pSession->m_nCurrentLobby == 4;
        enable(ROOM_VIEW_BTN, !game);
        enable(ROOM_EDIT_BTN, !game);
        break;
    }
    default:
        // Beyond the rooms: enabled as in a lobby, on the tab the member chose.
        enable(ROOM_VIEW_BTN, TRUE);
        enable(ROOM_EDIT_BTN, TRUE);
        return;
    }
    ShowTab(TAB_USERS);
}

// ---- The lists ---------------------------------------------------------------------------------

void CRoomUserWnd::UpdateUser(int flag, long location)
{
    if (flag) {
        m_friendList.Refresh();
        return;
    }
    m_userList.Refresh(static_cast<short>(location & 0xFFFF), static_cast<short>((location >> 16) & 0xFFFF));
}

void CRoomUserWnd::AddUser(long user)
{
    m_userList.AddUser(user);
}

void CRoomUserWnd::RemoveUser(long user)
{
    m_userList.RemoveUser(user);
}

void CRoomUserWnd::SetRoomMaster(long user)
{
    m_userList.SetRoomMaster(user);
}

void CRoomUserWnd::SetFriendOnline(long user, char flag)
{
    m_friendList.SetOnline(user, flag);
}

int CRoomUserWnd::SetUserNickname(long user, LPCSTR text)
{
    const BOOL inRoom = m_userList.SetNickname(user, text);
    if (m_friendList.HasItem(user) && m_friendList.SetNickname(user, text)) {
        return 0;
    }
    return inRoom ? 0 : 1;
}

void CRoomUserWnd::AddFriend(const FRIEND_ROW& row)
{
    if (!m_friendList.HasItem(row.lUser)) {
        m_friendList.AddItem(new FRIEND_ROW(row));
    }
}

void CRoomUserWnd::RemoveFriend(long user)
{
    m_friendList.DeleteItem(user);
}

// ---- Painting and commands ---------------------------------------------------------------------

void CRoomUserWnd::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc, &m_bmpBack, 3);
    m_tabPicture.Draw(&dc);
}

void CRoomUserWnd::OnDestroy()
{
    if (m_popupMenu.GetSafeHwnd()) {
        m_popupMenu.DestroyWindow();
    }
    CSkinWnd::OnDestroy();
    m_tabPicture.Release();
}

BOOL CRoomUserWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    if (HIWORD(wParam) != BN_CLICKED || id < kFirstCommand || id >= kFirstCommand + BUTTON_COUNT) {
        return CSkinWnd::OnCommand(wParam, lParam);
    }
    switch (id - kFirstCommand) {
    case USER_SEARCH_BTN:
    case ROOM_SEARCH_BTN:
        if (m_pFrame) {
            m_pFrame->OpenSearchWindow(static_cast<int>(id));
        }
        break;
    case MAKE_ROOM_BTN:
    case ROOM_VIEW_BTN:
    case ROOM_EDIT_BTN:
        if (g_pSession) {
            CommunityPostToFrame(UM_ROOM_DIALOG, id - (kFirstCommand + MAKE_ROOM_BTN), 0);
        }
        break;
    case GO_UPPER_BTN:
        if (m_pFrame) {
            m_pFrame->ExitProgram();
        }
        break;
    default: break;
    }
    return TRUE;
}

LRESULT CRoomUserWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_TAB_SELECT: OnTabClicked(static_cast<int>(wParam)); return 0;
    case UM_LIST_POPUP: OpenMenu(wParam, static_cast<int>(lParam & 0xFFFF)); return 0;
    case UM_POPUP_PICK: OnMenuPick(LOWORD(wParam)); return 0;
    default: return CSkinWnd::WindowProc(message, wParam, lParam);
    }
}

void CRoomUserWnd::OnTabClicked(int tab)
{
    // Until the member is in a lobby or room the friends stay in front; the choice is kept.
    m_nCurrentTab = tab;
    if (Location() >= LOC_LOBBY) {
        ShowTab(tab);
    }
}

// ---- The members' menus ------------------------------------------------------------------------

CString CRoomUserWnd::MenuFor(int row) const
{
    const char* key = nullptr;
    if (m_nCurrentTab == TAB_FRIENDS) {
        key = "CMenuFriend";
    } else if (m_nCurrentTab == TAB_USERS) {
        const long user = m_userList.GetItemId(row);
        if (user == -1 || (g_pSession && user == g_pSession->m_OwnUser.lUser)) {
            return CString();
        }
        const BOOL isFriend = m_friendList.HasItem(user);
        if (Location() == LOC_ROOM_HOST) {
            key = isFriend ? "CMenuFriendHost" : "CMenuHost";
        } else {
            key = isFriend ? "CMenuFriend" : "CMenuGuest";
        }
    }
    CString menu;
    if (key) {
        m_pSkin->GetString("Common", key, &menu);
    }
    return menu;
}

void CRoomUserWnd::OpenMenu(WPARAM point, int row)
{
    if (m_popupMenu.GetSafeHwnd()) {
        return;
    }
    const CString menu = MenuFor(row);
    if (menu.IsEmpty()) {
        CString text;
        text.LoadString(IDS_NO_USER_MENU);
        ShowNotifyBox(text, 0, 13);
        return;
    }
    CListPanel& list = CurrentList();
    m_lMenuUser = list.GetItemId(row);
    m_nMenuTab = m_nCurrentTab;
    const LPCSTR nickname = list.GetNicknameText(m_lMenuUser);
    m_strMenuNickname = nickname ? nickname : "";
    CommunityOpenMenu(&m_popupMenu, this, point, menu, row);
}

void CRoomUserWnd::OnMenuPick(int item)
{
    if (!g_pSession || !m_pFrame) {
        return;
    }
    const long user = m_lMenuUser;
    const BOOL onUsers = m_nMenuTab == TAB_USERS;
    CListPanel& list = onUsers ? static_cast<CListPanel&>(m_userList) : m_friendList;
    // A member who left (or a friend deleted) since the menu opened is no longer acted on; a
    // host's pick on such a member is told, as the service would refuse it.
    if (!list.HasItem(user)) {
        if (item == PICK_KICK) {
            ShowNotifyBox(g_pSession->FormatTableString("E_KICK_USER", m_strMenuNickname), 0, 13);
        } else if (item == PICK_HOST) {
            ShowNotifyBox(g_pSession->FormatTableString("E_MODIFY_ROOM_HOST", m_strMenuNickname), 0, 13);
        }
        return;
    }
    switch (item) {
    case PICK_MESSAGE: {
        const LPCSTR id = list.GetIdText(user);
        m_pFrame->OpenMessageWindow(user, id ? id : "", m_strMenuNickname, nullptr, FALSE);
        break;
    }
    case PICK_FRIEND:
        // A friend's row offers to delete, a stranger's to add.
        if (m_friendList.HasItem(user)) {
            m_pFrame->DeleteFriend(user);
            ShowWindow(SW_HIDE);
            ShowWindow(SW_SHOW);
        } else if (onUsers) {
            m_pFrame->RequestAddFriend(user);
        }
        break;
    case PICK_INFO: m_pFrame->ShowAvatarInfoWnd(user); break;
    case PICK_HOST:
        if (onUsers) {
            HandOverRoom(user, m_strMenuNickname);
        }
        break;
    case PICK_KICK:
        if (onUsers) {
            PutOut(user, m_strMenuNickname);
        }
        break;
    default: break;
    }
}

void CRoomUserWnd::HandOverRoom(long user, const CString& nickname)
{
    // Only the room's host hands it over (the service checks too).
    if (Location() != LOC_ROOM_HOST) {
        return;
    }
    if (ShowNotifyBox(g_pSession->FormatTableString("ModifyRoomHost", nickname), kNotifyYesNo, 13) != IDOK) {
        return;
    }
    if (!g_pSession->ChangeRoomHost(user)) {
        ShowNotifyBox(g_pSession->FormatTableString("E_MODIFY_ROOM_HOST", nickname), 0, 13);
    }
}

void CRoomUserWnd::PutOut(long user, const CString& nickname)
{
    if (Location() != LOC_ROOM_HOST) {
        return;
    }
    if (ShowNotifyBox(g_pSession->FormatTableString("KickUser", nickname), kNotifyYesNo, 13) != IDOK) {
        return;
    }
    if (!g_pSession->KickUser(user)) {
        ShowNotifyBox(g_pSession->FormatTableString("E_KICK_USER", nickname), 0, 13);
    }
}
