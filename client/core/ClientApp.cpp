#include "ClientApp.h"

#include "ClientGlobals.h"
#include "AvatarScene.h"
#include "ClientSession.h"
#include "ItemCatalog.h"
#include "LoginDlg.h"
#include "MainFrame.h"
#include "SplashThread.h"
#include "TexMo.h"

#include <AvatarCreateDlg.h>
#include <DialogSkin.h>
#include <MainSkin.h>
#include <NotifyDlg.h>
#include <ProgramResources.h>
#include <ToolkitShared.h>

#include <YondaComm.h>
#include <winsock2.h>

namespace {

const char kMutexName[] = "Yonda_Mutex";
const char kWindowName[] = "Yonda Alpha";
const char kKoreanSkin[] = "Orange";
const char kGermanSkin[] = "Orange_Do";
constexpr int kPositionLimit = 1000;

CString LoadResourceString(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(CClientApp::kAboutTemplate) {}
};

} // namespace

CClientApp* ClientApp()
{
    return static_cast<CClientApp*>(AfxGetApp());
}

CClientApp::CClientApp() = default;

CClientApp::~CClientApp() = default;

void CClientApp::ShowFileMissing(const CString& path)
{
    CString message;
    message.Format(LoadResourceString(kFileMissingString), static_cast<LPCSTR>(path));
    ::MessageBoxA(nullptr, message, m_pszAppName, MB_OK);
}

BOOL CClientApp::CheckSingleInstance()
{
    m_hMutex = ::CreateMutexA(nullptr, TRUE, kMutexName);
    if (m_hMutex && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        return TRUE;
    }
    HWND running = ::FindWindowA(kWindowName, nullptr);
    if (!running) {
        running = ::FindWindowA(nullptr, kWindowName);
    }
    if (running) {
        ::SetForegroundWindow(running);
    } else {
        ::MessageBoxA(nullptr, LoadResourceString(kAlreadyRunningString), m_pszAppName, MB_OK);
    }
    if (m_hMutex) {
        ::CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    return FALSE;
}

BOOL CClientApp::LoadSettings()
{
    static CString appName;
    appName = LoadResourceString(kAppNameString);
    if (appName.IsEmpty()) {
        appName = "Yonda";
    }
    m_pszAppName = appName;
    m_strSettingsPath = g_strInstallPath + "\\" + appName + ".ini";
    if (!SkinFileExists(m_strSettingsPath)) {
        ShowFileMissing(m_strSettingsPath);
        return FALSE;
    }
    m_iniSettings.Load(m_strSettingsPath);
    CIniFile& ini = m_iniSettings;
    ini.GetInt("Window", "Width", &m_nWindowLeft);
    ini.GetInt("Window", "Height", &m_nWindowTop);
    ini.GetString("Window", "Title", &m_strTitle);
    ini.GetString("Option", "Skin", &m_strSkin);
    int color = 0;
    ini.GetInt("Option", "TextColor", &color);
    g_nTextColor = static_cast<short>(color);
    // Developers and tests fix where members appear, so two programs agree on a known layout.
    int startPlace = -1;
    ini.GetInt("Debug", "StartPlace", &startPlace);
    g_nStartPlace = startPlace;
    ini.GetInt("Option", "RememberMe", &m_nRememberMe);
    if (m_nRememberMe) {
        ini.GetString("Option", "SavedID", &m_strSavedID);
    }
    ini.GetString("Option", "DefaultFont", &m_strDefaultFont);
    ini.GetInt("Option", "FontSize", &m_nFontSize);
    int soundOff = 0;
    ini.GetInt("Option", "SoundOff", &soundOff);
    g_bSoundOff = soundOff ? TRUE : FALSE;
    ToolkitSetSoundOff(g_bSoundOff);
    ini.GetString("Command", "HelpUrl", &m_strHelpUrl);
    ini.GetString("Command", "PasswordUrl", &m_strPasswordUrl);
    ini.GetString("Command", "JoinUrl", &m_strJoinUrl);
    m_listServers.RemoveAll();
    ini.GetList("Server", "ServerIp", &m_listServers);
    ini.GetInt("Server", "LobbyCount", &m_nLobbyCount);
    // The skin has five lobby entrances and the scenes five lobbies.
    if (m_nLobbyCount < 1 || m_nLobbyCount > 5) {
        m_nLobbyCount = 5;
    }
    if (g_pSession) {
        g_pSession->m_nLobbyCount = static_cast<short>(m_nLobbyCount);
    }
    m_bKoreanSkin = m_strSkin == kKoreanSkin;
    m_bGermanSkin = m_strSkin == kGermanSkin;
    g_bGermanText = m_bGermanSkin;
    // A file that lost its skin or its servers cannot start; say which entry is missing, and
    // leave the file as it is for the member to mend.
    const char* missing = m_strSkin.IsEmpty()       ? "[Option] Skin"
                          : m_listServers.IsEmpty() ? "[Server] ServerIp"
                                                    : nullptr;
    if (missing) {
        ShowFileMissing(m_strSettingsPath + "\n" + missing);
        return FALSE;
    }
    m_bSettingsLoaded = TRUE;
    return TRUE;
}

BOOL CClientApp::LoadSkin(LPCSTR name)
{
    if (!g_pMainSkin || !g_pDialogSkin || !name || !*name) {
        return FALSE;
    }
    if (!g_pMainSkin->LoadSkin(g_strInstallPath, name)) {
        return FALSE;
    }
    g_pDialogSkin->SetSkinPath(g_pMainSkin->m_strSkinFolder);
    if (g_pMainSkin->m_strMsgDlgIni.IsEmpty()) {
        return FALSE;
    }
    return g_pDialogSkin->LoadIni(g_pMainSkin->m_strSkinFolder + "\\" + g_pMainSkin->m_strMsgDlgIni) ? TRUE : FALSE;
}

BOOL CClientApp::InitInstance()
{
    RegisterProgramResources(AfxGetInstanceHandle());
    if (!CheckSingleInstance()) {
        return FALSE;
    }
    m_bFailed = TRUE;
    if (!RunStartup()) {
        FreeGlobals();
        return FALSE;
    }
    m_bFailed = FALSE;
    return TRUE;
}

BOOL CClientApp::RunStartup()
{
    // 2. The installation folder, the skin objects, the rich edit and sockets.
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof(path));
    g_strInstallPath = path;
    const int slash = g_strInstallPath.ReverseFind('\\');
    if (slash >= 0) {
        g_strInstallPath = g_strInstallPath.Left(slash);
    }
    g_pMainSkin = new CMainSkin;
    g_pDialogSkin = new CDialogSkin;
    AfxInitRichEdit();
    WSADATA wsa{};
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        return FALSE;
    }
    m_bSocketsStarted = TRUE;
    // 3. The session and the global lock.
    if (g_pSession) {
        ShowNotifyBox(LoadResourceString(kManagerFailString), 0, 13);
        return FALSE;
    }
    g_pSession = new CClientSession;
    AfxEnableControlContainer();
    GlobalLockInit();
    // 4-5. Settings, the GUI font, the skin.
    if (!LoadSettings()) {
        m_bFailed = TRUE;
        return FALSE;
    }
    if (m_fontGui.CreatePointFont(m_nFontSize, m_strDefaultFont)) {
        g_pGuiFont = &m_fontGui;
        ToolkitSetGuiFont(static_cast<HFONT>(m_fontGui.GetSafeHandle()));
    }
    ToolkitSetSkinFolder(SkinFolderOf(m_strSkin));
    ToolkitSetMessageSkin(g_pDialogSkin);
    if (!LoadSkin(m_strSkin)) {
        return FALSE;
    }
    // 6. The cursors.
    const CString skinFolder = SkinFolderOf(m_strSkin);
    m_hDefaultCursor = ::LoadCursorFromFileA(skinFolder + "\\default.ani");
    m_hWaitCursor = ::LoadCursorFromFileA(skinFolder + "\\wait.ani");
    m_hNotMoveCursor = ::LoadCursorFromFileA(skinFolder + "\\NotMoveAble.ani");
    if (m_hDefaultCursor) {
        ToolkitSetNormalCursor(m_hDefaultCursor);
    }
    g_pSession->SetCursors(m_hDefaultCursor, m_hWaitCursor);
    // 7. The string table and the question list.
    CString stringTable;
    m_iniSettings.GetString("Option", "StringTable", &stringTable);
    if (!g_pSession->LoadStringTable(stringTable) || !g_pSession->LoadQuestions("SubjectQuestion.ini")) {
        return FALSE;
    }
    // 8. The connection.
    if (!g_pSession->ConnectToServer(m_listServers)) {
        ShowNotifyBox(g_pSession->GetTableString("E_CONNECT_FAIL"), 0, 13);
        return FALSE;
    }
    // 9. The login.
    const BOOL connected = g_pComm && g_pComm->IsConnected();
    if (connected && !RunLogin()) {
        m_bFailed = FALSE; // the member chose to leave
        return FALSE;
    }
    // 10. The splash, while the frame and the first data load.
    m_pSplash = StartSplash(SkinFolderOf(m_strSkin) + "\\Loading.bmp");
    // 11. The main frame, which receives the library's events from now on.
    m_pFrame = new CMainFrame;
    g_pMainFrame = m_pFrame;
    g_pSession->SetMainFrame(m_pFrame);
    m_pMainWnd = m_pFrame;
    if (!m_pFrame->CreateFrame(m_nWindowLeft, m_nWindowTop)) {
        EndSplash();
        return FALSE;
    }
    if (g_pComm) {
        g_pComm->SetNotifyWindow(m_pFrame);
    }
    // The avatar scene: the map, the item catalogue and the motions, once the engine exists.
    g_pItemCatalog = new CItemCatalog;
    new CAvatarScene;
    if (!g_pAvatarScene->InitScene()) {
        EndSplash();
        return FALSE;
    }
    // 12. A member without an avatar makes one before anything else.
    if (connected && !g_pSession->m_OwnUser.bHasAvatar && !RunAvatarCreation()) {
        EndSplash();
        return FALSE;
    }
    // 13. The own avatar and the first place; the chat's analyser.
    m_pFrame->m_wndChat.SetThemeString(g_pSession->m_OwnUser.szNickname);
    if (connected) {
        g_pSession->SendRequest(REQ_MY_AVATAR_INFO, 0, 0);
    }
    g_pAvatarScene->UnloadScene();
    g_pTexMo = new CTexMo;
    g_pTexMo->Init(m_bKoreanSkin);
    // 14. The splash has its time (at most the length of its music), then the frame shows.
    if (m_pSplash) {
        ::WaitForSingleObject(m_pSplash->m_hReadyEvent, kSplashWaitMs);
    }
    g_pSession->ExecuteCommand(CMD_ENTER_MINIMAP, 0, 0);
    m_pFrame->ShowWindow(SW_SHOW);
    m_pFrame->UpdateWindow();
    EndSplash();
    return TRUE;
}

CSplashThread* CClientApp::StartSplash(const CString& picturePath)
{
    auto* thread = static_cast<CSplashThread*>(
        AfxBeginThread(RUNTIME_CLASS(CSplashThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    if (thread) {
        thread->SetPicturePath(picturePath);
        thread->ResumeThread();
        if (thread->WaitUntilCreated(INFINITE)) {
            return thread;
        }
        // The thread ends by itself when its window could not be made.
        ::WaitForSingleObject(thread->m_hThread, INFINITE);
        delete thread;
    }
    // Start-up goes on without a splash: nothing to wait for, hide or end.
    ::MessageBoxA(nullptr, "Failed to create splash screen", m_pszAppName, MB_OK | MB_ICONSTOP);
    return nullptr;
}

void CClientApp::EndSplash()
{
    if (m_pSplash) {
        m_pSplash->EndSplash();
        delete m_pSplash;
        m_pSplash = nullptr;
    }
}

BOOL CClientApp::RunLogin()
{
    CLoginDlg login(g_pMainSkin->Element("DLG_LOGIN"), nullptr);
    if (m_nRememberMe) {
        login.SetLoginInfo(m_strSavedID, m_strPassword);
    }
    login.SetCheckButtonState(m_nRememberMe);
    if (login.DoModal() != IDOK) {
        return FALSE;
    }
    g_pSession->m_OwnUser.lUser = login.GetUser();
    g_pSession->m_OwnUser.bHasAvatar = login.GetFlag() == 'Y' ? 1 : 0;
    const CString id = login.GetUserID();
    CopyField(g_pSession->m_OwnUser.szID, id, static_cast<size_t>(id.GetLength()));
    g_pSession->ExecuteCommand(CMD_LOGIN_DONE, 0, 0);
    m_nRememberMe = login.GetRememberMe() ? 1 : 0;
    m_strSavedID = id;
    m_strPassword = login.GetPassword();
    g_pSession->SendRequest(REQ_MY_USER_INFO, 0, 0);
    return TRUE;
}

BOOL CClientApp::RunAvatarCreation()
{
    if (m_pSplash) {
        m_pSplash->ShowSplash(FALSE);
    }
    CAvatarCreateDlg creation(g_pMainSkin->Element("DLG_AVATAR_SELECT"), g_pItemCatalog,
                              g_pSession->m_OwnUser.szNickname, nullptr);
    if (creation.DoModal() != IDOK || !creation.WasCreated()) {
        return FALSE;
    }
    if (m_pSplash) {
        m_pSplash->ShowSplash(TRUE);
    }
    return TRUE;
}

void CClientApp::OnAppAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CClientApp::SaveSettings()
{
    if (!m_bSettingsLoaded) {
        return; // never write a settings file that was not read
    }
    if (m_nWindowLeft < 0 || m_nWindowLeft > kPositionLimit || m_nWindowTop < 0 || m_nWindowTop > kPositionLimit) {
        m_nWindowLeft = 0;
        m_nWindowTop = 0;
    }
    CIniFile& ini = m_iniSettings;
    ini.SetInt("Window", "Width", m_nWindowLeft);
    ini.SetInt("Window", "Height", m_nWindowTop);
    ini.SetString("Option", "Skin", m_strSkin);
    ini.SetInt("Option", "TextColor", g_nTextColor);
    ini.SetInt("Option", "RememberMe", m_nRememberMe);
    ini.SetString("Option", "SavedID", m_strSavedID);
    ini.SetInt("Option", "SoundOff", g_bSoundOff ? 1 : 0);
    ini.Save(m_strSettingsPath);
}

void CClientApp::FreeGlobals()
{
    EndSplash();
    // The library's thread ends first, then everything that could still be posted to, and the
    // lock goes last, once no thread can take it.
    if (g_pSession) {
        if (CYondaComm* comm = g_pSession->GetComm()) {
            comm->Disconnect();
        }
    }
    // A frame whose window exists deletes itself when the window goes.
    if (g_pMainFrame) {
        if (::IsWindow(g_pMainFrame->GetSafeHwnd())) {
            g_pMainFrame->DestroyWindow();
        } else {
            delete g_pMainFrame;
        }
    }
    m_pFrame = nullptr;
    m_pMainWnd = nullptr;
    delete g_pTexMo;
    g_pTexMo = nullptr;
    delete g_pAvatarScene; // clears its global
    delete g_pItemCatalog;
    g_pItemCatalog = nullptr;
    delete g_pSession;
    g_pSession = nullptr;
    ToolkitSetTableStrings(nullptr);
    ToolkitSetMessageSkin(nullptr);
    delete g_pMainSkin;
    g_pMainSkin = nullptr;
    delete g_pDialogSkin;
    g_pDialogSkin = nullptr;
    GlobalLockDelete();
    if (m_bSocketsStarted) {
        WSACleanup();
        m_bSocketsStarted = FALSE;
    }
}

int CClientApp::ExitInstance()
{
    SaveSettings();
    m_bSettingsLoaded = FALSE;
    if (g_pGuiFont) {
        ToolkitSetGuiFont(nullptr);
        g_pGuiFont = nullptr;
        m_fontGui.DeleteObject();
    }
    FreeGlobals();
    if (m_hMutex) {
        ::ReleaseMutex(m_hMutex);
        ::CloseHandle(m_hMutex);
        m_hMutex = nullptr;
    }
    const int code = CWinApp::ExitInstance();
    return m_bFailed ? 1 : code;
}
