// The avatar menu of the 3D view: a right click on another member's avatar opens the menu that
// the room-user window's layout names for the member's place and friendship, and its pick adds or
// deletes the friend, shows the member's information, hands the room over or puts the member out.
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "D3DViewer.h"
#include "MainFrame.h"

#include <MainSkin.h>
#include <NotifyDlg.h>

#include <YondaCommRecords.h>

namespace {

enum MenuItem { ITEM_MESSAGE = 0, ITEM_FRIEND = 1, ITEM_INFO = 2, ITEM_HOST = 3, ITEM_KICK = 4 };
constexpr int kMenuBox = 10;
constexpr int kNotifyFont = 13;
constexpr int kAnswerYes = 1;

// Whether the member is among the own member's friends: in the frame's friend list, or, while
// that list does not yet hold the friends of earlier visits, as the service keeps them.
BOOL IsFriend(CClientSession* session, long user)
{
    CMainFrame* frame = session ? session->GetMainFrame() : nullptr;
    if (frame && frame->m_friends.Find(user)) {
        return TRUE;
    }
    CYondaComm* comm = session ? session->GetComm() : nullptr;
    if (!comm || !comm->IsConnected()) {
        return FALSE;
    }
    BOOL found = FALSE;
    long after = 0;
    for (;;) {
        CPtrList page;
        if (!comm->QueryListFriends(after, page)) {
            return found;
        }
        const INT_PTR count = page.GetCount();
        POSITION position = page.GetHeadPosition();
        while (position) {
            const auto* row = static_cast<const EX_YONDA_BODY_R_FRIEND_REG*>(page.GetNext(position));
            if (row) {
                found = found || row->lUser == user;
                after = row->lUser > after ? row->lUser : after;
            }
        }
        comm->Release(&page);
        if (found || count == 0) {
            return found;
        }
    }
}

} // namespace

CString CD3DViewer::MenuFor(long user) const
{
    if (!g_pSession || !g_pMainSkin) {
        return CString();
    }
    const int location = g_pSession->GetLocation();
    LPCSTR key = nullptr;
    const BOOL host = location == LOC_ROOM_HOST;
    if (host || location == LOC_LOBBY || location == LOC_ROOM) {
        const BOOL friendOfMine = IsFriend(g_pSession, user);
        key = host ? (friendOfMine ? "CMenuFriendHost" : "CMenuHost") : (friendOfMine ? "CMenuFriend" : "CMenuGuest");
    }
    if (!key) {
        return CString();
    }
    // The room-user window's layout names the menus; the view opens the same ones.
    CIniFile layout;
    CString menu;
    const CString& file = g_pMainSkin->m_elements[CMainSkin::INFO_WINDOW].strIniFile;
    if (file.IsEmpty() || !layout.Load(file) || !layout.GetString("Common", key, &menu)) {
        return CString();
    }
    return menu;
}

void CD3DViewer::OnRButtonDown(UINT, CPoint point)
{
    m_nMouseX = point.x;
    m_nMouseY = point.y;
    long user = -1;
    int slot = -1;
    {
        CGlobalLock lock;
        const int hovered = m_nHoveredSlot;
        if ((m_nState == STATE_LOBBY || m_nState == STATE_ROOM) && m_bMenuEnabled && hovered > 0 &&
            hovered < kAvatarSlotCount && m_slots[hovered].byInUse) {
            user = m_slots[hovered].nUserKey;
            slot = hovered;
        }
    }
    // Away from an avatar the right button turns the camera while it is dragged.
    if (user < 0) {
        SetCapture();
        return;
    }
    // The menu runs with the lock left: the frames go on while the member chooses, and the pick
    // finds the member again by number.
    if (m_wndPopupMenu.m_bScrollBarCreated) {
        return;
    }
    const CString menu = MenuFor(user);
    if (menu.IsEmpty() || !g_pMainSkin) {
        return;
    }
    CRect box(point.x, point.y, point.x + kMenuBox, point.y + kMenuBox);
    ClientToScreen(&box);
    m_lMenuUser = user;
    if (m_wndPopupMenu.Create(box, this, menu, TRUE)) {
        m_wndPopupMenu.SetMenuId(slot);
        m_wndPopupMenu.TrackPopup(g_pMainSkin->m_strSkinFolder, g_pMainSkin->m_strPopupMenuIni);
        m_wndPopupMenu.SetFocus();
    }
}

LRESULT CD3DViewer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_POPUP_PICK) {
        const int slot = static_cast<int>(HIWORD(wParam));
        long user = -1;
        {
            CGlobalLock lock;
            // The slot may have changed hands while the menu was open: only its member counts.
            if (slot > 0 && slot < kAvatarSlotCount && m_slots[slot].byInUse && m_slots[slot].nUserKey == m_lMenuUser) {
                user = m_lMenuUser;
            } else if (FindSlot(m_lMenuUser) < kAvatarSlotCount) {
                user = m_lMenuUser;
            }
        }
        m_lMenuUser = -1;
        if (user >= 0) {
            OnPopupPick(static_cast<int>(LOWORD(wParam)), user);
        }
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CD3DViewer::OnPopupPick(int item, long user)
{
    CClientSession* session = g_pSession;
    if (!session) {
        return;
    }
    CString nickname, id;
    {
        CGlobalLock lock;
        if (const OWN_AVATAR_INFO* record = session->FindUser(user)) {
            id = record->szID;
        }
        nickname = session->FindUserName(user);
    }
    switch (item) {
    case ITEM_FRIEND:
        if (CMainFrame* frame = session->GetMainFrame()) {
            if (IsFriend(session, user)) {
                frame->DeleteFriend(user);
            } else {
                frame->RequestAddFriend(user);
            }
        }
        break;
    case ITEM_INFO:
        if (CMainFrame* frame = session->GetMainFrame()) {
            frame->ShowAvatarInfoWnd(user);
        }
        break;
    case ITEM_HOST:
        if (ShowNotifyBox(session->FormatTableString("ModifyRoomHost", nickname), kNotifyYesNo, kNotifyFont) ==
            kAnswerYes) {
            session->ChangeRoomHost(user);
        }
        break;
    case ITEM_KICK:
        if (ShowNotifyBox(session->FormatTableString("KickUser", nickname), kNotifyYesNo, kNotifyFont) == kAnswerYes &&
            !session->KickUser(user)) {
            ShowNotifyBox(session->FormatTableString("KickUserError", nickname), 0, kNotifyFont);
        }
        break;
    case ITEM_MESSAGE:
        if (CMainFrame* frame = session->GetMainFrame()) {
            frame->OpenMessageWindow(user, id, nickname, nullptr, FALSE);
        }
        break;
    default: break;
    }
}
