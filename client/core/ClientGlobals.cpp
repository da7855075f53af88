#include "ClientGlobals.h"

CString g_strInstallPath;
CMainSkin* g_pMainSkin = nullptr;
CDialogSkin* g_pDialogSkin = nullptr;
CClientSession* g_pSession = nullptr;
CYondaComm* g_pComm = nullptr;
CMainFrame* g_pMainFrame = nullptr;
CFont* g_pGuiFont = nullptr;
short g_nTextColor = 0;
int g_nStartPlace = -1;
BOOL g_bSoundOff = FALSE;
BOOL g_bGermanText = FALSE;

namespace {
CRITICAL_SECTION g_csGlobal;
bool g_bLockReady = false;
} // namespace

void GlobalLockInit()
{
    if (!g_bLockReady) {
        InitializeCriticalSection(&g_csGlobal);
        g_bLockReady = true;
    }
}

void GlobalLockDelete()
{
    if (g_bLockReady) {
        g_bLockReady = false;
        DeleteCriticalSection(&g_csGlobal);
    }
}

BOOL GlobalLockExists()
{
    return g_bLockReady;
}

// Before start-up made the lock (and after exit deleted it) only one thread runs, so entering
// nothing is safe.
void GlobalLockEnter()
{
    if (g_bLockReady) {
        EnterCriticalSection(&g_csGlobal);
    }
}

BOOL GlobalLockTryEnter()
{
    return g_bLockReady ? TryEnterCriticalSection(&g_csGlobal) : TRUE;
}

void GlobalLockLeave()
{
    if (g_bLockReady) {
        LeaveCriticalSection(&g_csGlobal);
    }
}

CString SkinFolderOf(LPCSTR skinName)
{
    return g_strInstallPath + "\\Skin\\" + skinName;
}
