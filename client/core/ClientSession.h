#pragma once
// The client's one network session: it holds the network library's connection, keeps the own
// member's records and the members of the current place, moves the member between the minimap,
// the lobbies, the rooms and the party game (commands), sends the windows' queries (requests),
// takes the service's events, and owns the string table and the question list.
#include "SessionRecords.h"

#include <IniFile.h>
#include <YondaComm.h>

#include <afxwin.h>

#include <memory>

class CMainFrame;
class CSceneSink;

class CClientSession {
public:
    CClientSession();
    virtual ~CClientSession();
    CClientSession(const CClientSession&) = delete;
    CClientSession& operator=(const CClientSession&) = delete;

    // ---- Connection -----------------------------------------------------------------------
    // Probes each listed server and connects the library to the first that answers and accepts.
    BOOL ConnectToServer(CStringList& servers);
    BOOL ProbeServer(LPCSTR host, int port, int waitSeconds, CString* address);
    // The port of the probe and of the library's connection (7001).
    void SetServerPort(int port) { m_nServerPort = port; }

    // ---- Commands -------------------------------------------------------------------------
    int ExecuteCommand(int code, long param, LPARAM value);
    virtual int OnLoginDone(long param, LPARAM value);
    virtual int OnViewReady(long param, LPARAM value);
    virtual int OnSelectLobby(long param, LPARAM value);
    virtual int OnMapPathA(long param, LPARAM value);
    virtual int OnMapPathB(long param, LPARAM value);
    virtual int OnEnterMinimap(long param, LPARAM value);
    virtual int OnRoomOpen(long param, LPARAM value);
    virtual int OnEnterLobby(long param, LPARAM value);
    virtual int OnEnterRoom(long param, LPARAM value);
    virtual int OnMoveToLobby(long param, LPARAM value);
    virtual int OnMoveToRoom(long param, LPARAM value);
    virtual int OnMoveToRoom2(long param, LPARAM value);
    virtual int OnReturnToLobby(long param, LPARAM value);
    virtual int OnExitToMinimap(long param, LPARAM value);
    virtual int OnQuitScene(long param, LPARAM value);

    void SetLocation(int location);
    int GetLocation() const { return m_nLocation; }
    BOOL JoinPlace(short lobby, short room, LPCSTR password);
    BOOL SetUserLocation(short lobby, short room);
    BOOL LeavePlace();
    void HandOverHost();
    BOOL ChangeRoomHost(long user);
    BOOL KickUser(long user);
    BOOL OpenRoom(const YONDA_BODY_Q_ROOM_OPEN* record);

    // ---- Requests -------------------------------------------------------------------------
    int SendRequest(int code, long param, LPARAM value);
    // Request 203 with its status kept apart from the place it answers.
    int QueryUserLocation(long user, short* lobby, short* room);
    void SetFaceSet(char face);
    BOOL CheckConnection();
    int GetLobbyUserCount(short lobby);
    BOOL GetUserNickname(long user, CString* nickname);
    BOOL GetUserNames(long user, CString* id, CString* nickname);
    OWN_AVATAR_INFO* FindUser(long user);
    CString FindUserName(long user);
    void RemoveUserRecord(long user);
    void ClearRoomUsers();
    static void ClearUserList(CPtrList& list);
    void Logout();
    BOOL SetChatTheme(long user);
    // Turns the HTML letter entities of German text into Latin-1 letters, with the German flag.
    static CString ConvertEntities(const CString& text);
    static void ConvertEntitiesInPlace(char* text, size_t size);

    // ---- Events ---------------------------------------------------------------------------
    virtual int OnReceive(WPARAM wParam, LPARAM block);

    // ---- String table and questions -------------------------------------------------------
    BOOL LoadStringTable(LPCSTR name);
    BOOL LoadQuestions(LPCSTR name);
    CString GetTableString(LPCSTR key) const;
    CString GetQuestion(int index) const;
    int GetQuestionCount() const;
    // The table's text for `key` with its one "%s" filled (any other directive is shown as it
    // stands), so a broken table can never read an argument that is not there.
    CString FormatTableString(LPCSTR key, LPCSTR argument) const;

    // ---- Members other parts read or write ------------------------------------------------
    CYondaComm* GetComm() { return m_pComm.get(); }
    BOOL IsConnected();
    void SetMainFrame(CMainFrame* frame) { m_pMainFrame = frame; }
    CMainFrame* GetMainFrame() const { return m_pMainFrame; }
    void SetSceneSink(CSceneSink* sink) { m_pScene = sink; }
    CSceneSink* GetSceneSink() const { return m_pScene; }
    void SetCursors(HCURSOR normal, HCURSOR wait)
    {
        m_hDefaultCursor = normal;
        m_hWaitCursor = wait;
    }

    OWN_USER_INFO m_OwnUser;
    OWN_AVATAR_INFO m_OwnAvatar;
    CPtrList m_listRoomUsers; // OWN_AVATAR_INFO*, under the global lock
    short m_nCurrentLobby = -1;
    short m_nCurrentRoom = -1;
    short m_nCurrentThird = 0;
    short m_nChosenLobby = -1;
    short m_nLobbyCount = 5;
    long m_lPoints = 0;
    std::vector<int> m_arrLobbyUserCount;
    int m_nLastCommand = 0;
    short m_nGameValue = 0;
    CString m_strRoomPassword;
    CString m_strRoomTheme;
    CIniFile m_iniStringTable;
    CIniFile m_iniQuestions;

protected:
    // Everything an event does, after the connection check; the block is freed by the caller.
    void HandleEvent(int type, LPARAM block);
    void OnUserEntered(CPtrList* list);
    void OnUserAvatarInfo(CPtrList* list);
    void OnUserLeft(long user);
    void OnUserKicked(long user);
    void OnHostChanged(const BYTE* block);
    void OnItemChange(const BYTE* block);
    void OnGameData(const BYTE* block);
    void ShowNotice(const CString& text);

    // At most one "network failed" box at a time: checks made while it is up fail quietly.
    BOOL m_bNetworkFailShown = FALSE;

private:
    BOOL LoadSkinIni(LPCSTR name, CIniFile* ini);
    void SetClassCursor(HCURSOR cursor);
    int RunCommand(int code, long param, LPARAM value);
    // Commands 109 and 111: leave, then join the room, or fall back to the lobby's common area.
    int MoveToRoom(long param, LPARAM value, int sceneCode);

    std::unique_ptr<CYondaComm> m_pComm;
    CMainFrame* m_pMainFrame = nullptr;
    CSceneSink* m_pScene = nullptr;
    HCURSOR m_hDefaultCursor = nullptr;
    HCURSOR m_hWaitCursor = nullptr;
    int m_nLocation = LOC_NONE;
    int m_nServerPort = 7001;
    CStringArray m_arrQuestions;
};
