#pragma once
// What the community windows share: the main frame they report to (the current thread's main
// window), its modal state, the session's lobby count, and the two values of the 3D view that
// the lobby bars read and write.
#include <SessionRecords.h>

#include <afxwin.h>

class CMainFrame;
class CPopupMenuWnd;

// Messages the community windows post to the main frame (wParam and lParam 0 unless said).
#define UM_ROOM_DIALOG 0x830      // wParam: 0 make a room, 1 room information, 2 modify the room
#define UM_SHOW_SUB_WINDOW 0x832  // the room search window
#define UM_ROOM_JOIN_RESULT 0x890 // join a room: wParam (room << 16) | lobby, lParam the HWND to close
#define UM_VIEW_ACTION_0 0x3500   // the party-game buttons' actions 0-3, in id order 231-234
#define UM_VIEW_ACTION_1 0x3501
#define UM_VIEW_ACTION_2 0x3502
#define UM_VIEW_ACTION_3 0x3503

// The 3D view's part in the lobby bars: the lobby the member is heading for or stands in (a
// channel click writes it, the title bar and the fly-over read it) and the "/usercount" switch
// that makes the entrances show how many members each lobby holds. The view owns one; the bars
// keep a pointer to it.
struct LOBBY_VIEW_STATE {
    int nCurrentLobby = -1;
    BYTE bShowUserCounts = 0;
};

// The main frame, or null when the thread's main window is none or not the frame.
CMainFrame* CommunityMainFrame();
// Whether the main frame runs a modal dialog, during which the bars take no clicks.
BOOL CommunityFrameIsModal();
// Posts to the thread's main window; false when there is none.
BOOL CommunityPostToFrame(UINT message, WPARAM wParam, LPARAM lParam);
// The session's lobby count (0 without a session): the lobby pictures hold this many columns.
int CommunityLobbyCount();
// The lobby the session has chosen (-1 when none).
int CommunityChosenLobby();
// The session's count of members in a lobby, -1 when it cannot be had.
int CommunityLobbyUserCount(int lobby);
// Draws a picture of `columns` equal columns at the DC's origin with the key colour left out,
// from the left edge of column `index` on: that column alone, or with `toTheEnd` the picture's
// whole width from there (a window as wide as one column then shows that column). Nothing
// without a picture or columns.
void CommunityDrawColumn(CDC* dc, CBitmap* picture, int index, int columns, BOOL toTheEnd);
// The GUI font's face at the given weight, and at a height when one is given (0 keeps the GUI
// font's). The caller owns the font.
BOOL CommunityCreateGuiFont(CFont* font, int weight, int height = 0);
// Opens a member menu of the skin's popup-menu file as a popup owned by `owner`, in a 10 x 10 box
// at the screen point (y << 16) | x, its picks carrying `data` in their high word.
BOOL CommunityOpenMenu(CPopupMenuWnd* menu, CWnd* owner, WPARAM point, LPCSTR section, int data);
