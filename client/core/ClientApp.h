#pragma once
// The client's application object: start-up runs every step that must succeed before the member
// sees the main frame (single instance, skins, session, settings, font, cursors, string table,
// connection, login, main frame); exit writes the settings back and releases what start-up took.
#include <IniFile.h>

#include <afxwin.h>

class CMainFrame;
class CSplashThread;

class CClientApp : public CWinApp {
public:
    static constexpr UINT kIdAppAbout = 0xE140;
    static constexpr UINT kAboutTemplate = 100;
    static constexpr UINT kAppNameString = 57344;
    static constexpr UINT kFileMissingString = 61204;
    static constexpr UINT kManagerFailString = 61231;
    static constexpr UINT kAlreadyRunningString = 61232;
    static constexpr DWORD kSplashWaitMs = 4000;

    CClientApp();
    ~CClientApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    BOOL LoadSettings();
    BOOL LoadSkin(LPCSTR name);
    // The splash thread with its window made, or null (told in a message box) when it failed.
    CSplashThread* StartSplash(const CString& picturePath);
    void EndSplash();
    void OnAppAbout();

    HANDLE m_hMutex = nullptr;
    CIniFile m_iniSettings;
    CString m_strSettingsPath;
    CString m_strDefaultFont;
    int m_nFontSize = 0;
    CString m_strTitle;
    CString m_strSkin;
    int m_nWindowLeft = 0; // saved under Window/Width
    int m_nWindowTop = 0;  // saved under Window/Height
    int m_nRememberMe = 0;
    CString m_strSavedID;
    CString m_strPassword; // in memory only, never written
    CString m_strHelpUrl;
    CString m_strPasswordUrl;
    CString m_strJoinUrl;
    CFont m_fontGui;
    HCURSOR m_hDefaultCursor = nullptr;
    HCURSOR m_hWaitCursor = nullptr;
    HCURSOR m_hNotMoveCursor = nullptr;
    CStringList m_listServers;
    int m_nLobbyCount = 5;
    BOOL m_bKoreanSkin = FALSE; // Option/Skin is "Orange"
    BOOL m_bGermanSkin = FALSE; // Option/Skin is "Orange_Do": the German-text flag

private:
    BOOL CheckSingleInstance();
    BOOL RunStartup();
    BOOL RunLogin();
    // The avatar creation dialog of a member without an avatar: FALSE when the member left it.
    BOOL RunAvatarCreation();
    void ShowFileMissing(const CString& path);
    void SaveSettings();
    void FreeGlobals();
    CMainFrame* m_pFrame = nullptr;
    CSplashThread* m_pSplash = nullptr;
    BOOL m_bSettingsLoaded = FALSE;
    // Set when start-up ends on a failure (not when the member cancels or another instance runs).
    BOOL m_bFailed = FALSE;
    BOOL m_bSocketsStarted = FALSE;
};

// The running application (null before it is constructed).
CClientApp* ClientApp();
