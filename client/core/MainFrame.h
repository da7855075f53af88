#pragma once
// The client's main window: a borderless popup drawn from the skin that receives the network
// library's events and the windows' command and request messages and hands them to the session,
// and offers the services the session and the other windows call (notices, chat lines, room
// notices, the location change).
#include <IniFile.h>
#include "BgmPlayer.h"
#include "ChatWnd.h"
#include "D3DViewer.h"
#include "FriendList.h"
#include "MotionOppositeTable.h"

#include <LobbyBars.h>
#include <RoomSearchWnd.h>
#include <RoomUserWnd.h>
#include <ToolBarWnd.h>
#include <UserSearchWnd.h>

#include <SoundButton.h>
#include <WndSnapGroup.h>

#include <afxwin.h>

#include <deque>
#include <memory>

class CClientSession;
class CItemShopDlg;
class CMessengerWnd;
class CUserInfoWnd;

class CMainFrame : public CMiniFrameWnd, public CChatHost {
public:
    static constexpr UINT kCommandExit = 111;
    static constexpr UINT kCommandMinimise = 112;
    static constexpr size_t kNoticeBacklog = 500;
    static constexpr UINT kChildClosed = 0x1788;   // UM_CHILD_CLOSED: lParam the window
    static constexpr UINT kSetShopPoints = 0x910;  // UM_SET_SHOP_POINTS: wParam the points
    static constexpr UINT kOpenTradeItem = 0x3400; // UM_OPEN_TRADE_ITEM: the item shop

    CMainFrame();
    ~CMainFrame() override;

    BOOL CreateFrame(int x, int y);

    // Services of the frame.
    virtual void OnLocationChanged(int location);
    virtual void ShowNotice(const CString& text);
    virtual void OnRoomModified(int kind, const CString& text, long user);
    virtual void OnChatLine(long user, int kind, int colour, LPCSTR text, LPCSTR secondText);
    virtual void OnNicknameModified(long user, LPCSTR nickname);
    virtual void ChangeBackground(int number);
    // The room dialogs (MainFrameRooms.cpp): 0 make a room (a game room in the game lobby), 1 the
    // room's information, 2 its settings; the conversation subject.
    virtual void OnRoomDialog(int type);
    virtual void OpenQuestionDlg();
    // A chat line of a kind and colour (request 208); the kind alone plays a motion.
    BOOL SendChat(LPCSTR text, int kind, int colour) override;
    // What the chat window asks of the frame.
    char GetOwnGender() override;
    int GetRoomType() override;
    void OnChatCommand(CChatHost::Command command) override;
    BOOL IsModal() const { return m_bModal; }
    BOOL IsClosing() const { return m_bClosing; }

    // Notices that arrived before the chat window exists; it takes them on creation.
    const std::deque<CString>& PendingLines() const { return m_pendingLines; }

    // The message windows the frame owns; a window closing posts UM_CHILD_CLOSED with itself.
    void AddMessageWindow(CWnd* window);
    BOOL HasMessageWindow(CWnd* window) const;
    // The messenger of a member: the open one is brought forward (a received message added to
    // it), else a new one opens with the message as its first line.
    void OpenMessageWindow(long user, LPCSTR id, LPCSTR nickname, LPCSTR message, BOOL received);
    // The open messenger of a user number, or with a name of the partner by that nickname or ID.
    CMessengerWnd* FindMessageWindow(long user, LPCSTR name);
    // Rooms: joining one (asking a closed room's password first), the text input dialog, and the
    // search windows (3001 members, 3002 rooms).
    virtual BOOL JoinRoom(int lobby, int room);
    virtual BOOL AskText(CString* text);
    void OpenSearchWindow(int id);
    static constexpr int kUserSearchWindow = 3001;
    static constexpr int kRoomSearchWindow = 3002;

    // The display text of an area code of the skin's "ComboArea" menu, or empty.
    CString LookupComboText(LPCSTR code) const;

    // Runs the item shop modally over the frame (once at a time); the frame knows it while it runs.
    void OpenTradeItemDlg();
    CItemShopDlg* GetTradeItemDlg() const { return m_pTradeItemDlg; }

    // The exit with the member's confirmation (command 111), and the end after a lost connection.
    void ExitProgram();
    void OnConnectionLost();

    // Creates the frame's children; FALSE fails the frame's creation.
    BOOL CreateChildren();

    // ---- Services for the community windows (FrameServices.cpp) ------------------------------
    // Switches every child but `except` and the title buttons; the modal flag is the opposite.
    void EnableChildren(CWnd* except, BOOL enable);
    // Request 206 for a member not yet a friend and not the own one; 1 when the friend was added.
    BOOL RequestAddFriend(long user);
    const FRIEND_ROW* FindFriend(LPCSTR nickname) const;
    // Request 207; 1 when the friend was deleted.
    BOOL DeleteFriend(long user);
    // The tool bar's up button: the exit on the map, the map from a lobby (asked), the lobby
    // from a room (asked).
    void ExitToLocation();
    void OnRoomCreated(LPCSTR name);
    void OpenHelp();
    // The user information window for a member (-1 the own one), made on first use.
    void ShowAvatarInfoWnd(long user);
    CUserInfoWnd* GetUserInfoWnd() const { return m_pUserInfoWnd.get(); }

    CToolBarWnd m_wndToolBar;
    CFriendList m_friends;
    // The friends and the room's members beside the view, and the user search.
    CRoomUserWnd m_wndRoomUser;
    CUserSearchWnd m_wndUserSearch;

    CD3DViewer m_wndView;
    CChatWnd m_wndChat;
    CBgmPlayer m_bgmPlayer;
    CLobbyBars m_lobbyBars;
    CRoomSearchWnd m_wndRoomSearch;
    CMotionOppositeTable m_motionKeys;
    int m_nKeyChatColour = 0; // the chat colour of the motions sent by key
    CSoundButton m_btnClose;
    CSoundButton m_btnMinimise;
    CWndSnapGroup m_snapGroup;
    CBitmap m_bmpBack;       // borrowed from the main skin
    CBitmap m_bmpViewBorder; // owned
    RECT m_rcTitle{0, 0, 0, 0};
    RECT m_rcViewBorder{0, 0, 0, 0};
    BOOL m_bModal = FALSE;
    BOOL m_bClosing = FALSE;
    BOOL m_bViewCreated = FALSE;
    // The session whose commands, requests and events this frame routes (the program's one).
    CClientSession* m_pSession = nullptr;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    void OnDestroy() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnMove(int x, int y) override;
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnSysChar(UINT ch, UINT repeat, UINT flags) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AddLine(const CString& line);
    void PaintBackground(CDC* dc, const CRect& client);
    void PaintViewBorder(CDC* dc);
    void OnCommMessage(WPARAM wParam, LPARAM lParam);
    void OnMessageReceived(const BYTE* block);
    void OnMessageNotDelivered(const BYTE* block);
    // The tool bar, and the frame as the switch of its children for the toolkit's modal frames.
    BOOL CreateServiceWindows();
    void ReleaseServiceWindows();
    // Asks the member with a string-table text (yes/no box); 1 for yes.
    int AskMember(LPCSTR key);
    void OnUserJoined(long user, CString* nickname);
    void OnUserExited(long user, LPCSTR nickname);
    // The friends as the friends window read them from the service become the frame's list.
    void ReloadFriends();

    void OnChildClosed(CWnd* window);
    void OnJoinRoomAsked(WPARAM place, HWND asker);
    // The distance from the camera to the own member's head, and whether the view may zoom now.
    BOOL CanZoom(float* distance);
    void SendKeyMotion(UINT key);
    // Stops the 3D view's render worker and waits for it (never with the lock held).
    void StopRenderWorker();
    void DestroyMessageWindows();
    void FreeUndeliveredMessages();

    std::deque<CString> m_pendingLines;
    CPtrList m_listMessageWnd; // CWnd*, owned
    CIniFile m_iniPopupMenu;
    CItemShopDlg* m_pTradeItemDlg = nullptr;
    std::unique_ptr<CUserInfoWnd> m_pUserInfoWnd;
};
