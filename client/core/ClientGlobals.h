#pragma once
// The program's single global objects and the one process-wide lock. Start-up creates them in
// its order and exit frees them in the reverse; every other part of the client reads them here.
#include <afxwin.h>

class CMainSkin;
class CDialogSkin;
class CClientSession;
class CYondaComm;
class CMainFrame;

// The installation folder: the program's path up to its last backslash (no backslash at the end).
extern CString g_strInstallPath;
extern CMainSkin* g_pMainSkin;
extern CDialogSkin* g_pDialogSkin;
extern CClientSession* g_pSession;
// The session's network library object, through which windows call queries directly.
extern CYondaComm* g_pComm;
extern CMainFrame* g_pMainFrame;
// The GUI font every window draws with (owned by the application).
extern CFont* g_pGuiFont;
// The chat text colour, kept as the 16-bit signed value of the settings file.
extern short g_nTextColor;
// The start place a member takes on entering a place (Debug/StartPlace), or -1 for any at random.
extern int g_nStartPlace;
extern BOOL g_bSoundOff;
// The German-text flag: nicknames and chat turn HTML letter entities into Latin-1 letters.
extern BOOL g_bGermanText;

// The process-wide lock over the engine's scene and the session's user lists. Recursive: a
// holder may enter again.
void GlobalLockInit();
void GlobalLockDelete();
BOOL GlobalLockExists();
void GlobalLockEnter();
// Enters when no other thread holds the lock; a thread that must stay stoppable polls with it.
BOOL GlobalLockTryEnter();
void GlobalLockLeave();

// Holds the global lock for a scope, whatever way the scope is left.
class CGlobalLock {
public:
    CGlobalLock() { GlobalLockEnter(); }
    ~CGlobalLock() { GlobalLockLeave(); }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
};

// <installation folder>\Skin\<name>
CString SkinFolderOf(LPCSTR skinName);
