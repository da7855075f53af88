#pragma once
// The 3D view: the main frame's child in which the map, the lobbies and the rooms are drawn. It
// owns the Direct3D device it hands to the engine, checks the device every 30 ms and recovers it
// when lost, and draws one frame per tick on its render worker. The scene half (which scene each
// place shows, the members' avatars, the camera) lives in D3DViewerScene.cpp.
#include "AvatarSlot.h"
#include "BezierPath.h"
#include "D3DDevice.h"
#include "FogState.h"
#include "PFGame.h"
#include "SceneSink.h"
#include "WorkerThread.h"

#include <CommunityShared.h>

#include <KRAManager.h>
#include <KRAScene.h>
#include <PopupMenuWnd.h>

#include <afxwin.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CMainFrame;

class CD3DViewer : public CWnd, public CWorkerThread, public CSceneSink, public CPFGameHost {
public:
    static constexpr UINT_PTR kCheckTimer = 1;
    static constexpr UINT kCheckMs = 30;
    static constexpr UINT kDeviceLost = 0x4D1;     // UM_DEVICE_LOST
    static constexpr UINT kDeviceRestored = 0x4D0; // UM_DEVICE_RESTORED
    // View states.
    enum {
        STATE_FLY_IN = 10,
        STATE_FLY_OUT = 11,
        STATE_LOBBY_CHOSEN = 12,
        STATE_MAP = 13,
        STATE_LOBBY = 14,
        STATE_ROOM = 15
    };

    CD3DViewer();
    ~CD3DViewer() override;

    BOOL Create(CMainFrame* parent, const RECT& rect);
    BOOL CheckDevice();
    void SetDefaultRenderStates();
    // Windows with a preview swap chain on this device hear of a reset through them.
    void AddPreviewWindow(HWND window);
    void RemovePreviewWindow(HWND window);

    // The engine's messages (given to KRACreate; code 0 registers the view).
    static void EngineCallback(LONG code, LONG value, void* data);

    // ---- The scene half ------------------------------------------------------------------
    int GetViewState() override { return m_nState; }
    void OnSceneAction(int code, int param) override;
    BOOL GetInitPosition(float position[3]) override;
    void AddUserAvatar(OWN_AVATAR_INFO* record, const float position[3]) override;
    void RemoveUserAvatar(long user) override;
    void ChangeHost(long oldHost, long newHost) override;
    void MoveUserTo(long user, float x, float z) override;
    void WalkToSeat(long user, const float seat[16]) override;
    void StandUpAvatar(long user) override;
    void PlaceUser(long user, const float values[6]) override;
    void SetUserFace(long user, char face) override;
    void RenameUser(long user, LPCSTR nickname) override;
    void ChangeUserItem(long user, char gender, char category, LPCSTR number, LPCSTR texture, BOOL putOn) override;
    void SetRoomInfo(LPCSTR subject, int maxUsers) override;
    void SetRoomSubject(LPCSTR subject) override;
    void OnGameEvent(int subCode, long user, const BYTE* data, int size) override;

    // Puts the member's avatar at a place and turns it to face a direction (values: position,
    // then direction).
    void TurnUser(long user, const float values[6]);
    void TurnAvatar(int slot, const D3DXVECTOR3& position, const D3DXVECTOR3& direction);

    // The slot index of the member, or kAvatarSlotCount; `copy` receives the slot.
    int GetAvatarSlot(long user, AVATAR_SLOT* copy);
    void RemoveAllAvatars();

    void InitScene(int state, int type);
    BOOL LoadScene(LPCSTR file);
    BOOL CanRender();
    // The camera the map shows.
    void SetMapCamera();
    void PlaySceneMusic(int state, int type);
    // One step of the flight between the map and a lobby (states 10 and 11).
    void FlyStep();
    void ReadFlyOverPaths();

    // ---- Rooms: the subject board and the party game (D3DViewerGame.cpp) -----------------
    // The board text and the member limit of a party-game room, kept before its scene loads.
    CString GetBoardText() const { return m_strBoardText; }
    BYTE GetGameLevel() const { return m_byGameLevel; }
    CPFGame* GetPFGame() const { return m_pPFGame.get(); }
    void FadeInBackground(int number);
    void FadeOutBackground();
    // A game button of the frame: 0 start, 1 hint, 2 retire, 3 ready.
    void OnGameAction(int action);
    // The game's messages the frame hands on (UM_PFGAME_*), on the GUI thread; without `act`
    // only what they carry is freed.
    LRESULT OnGameMessage(UINT message, WPARAM wParam, LPARAM lParam, BOOL act = TRUE);
    // The party game's clock as the view draws it ("m:ss:t").
    static CString GameClockText(DWORD milliseconds);

    // CPFGameHost: what the party game asks of the view.
    void ShowTile(int cell, LPCSTR file, const D3DXVECTOR3& position) override;
    void PlaceAvatarAtStart() override;
    void PostGameRequest(int code, int param, LPARAM value, const BYTE* data, int size) override;
    void PlayGameSound(LPCSTR file) override;
    void PostButtonUpdate(int type) override;
    void RequestFrame() override { m_bFrameDue = 1; }
    void ShowGameMessage(const CString& text) override;
    BOOL AskGameQuestion(const CString& key) override;

    CMainFrame* m_pParent = nullptr;
    std::atomic<int> m_bWorkerStarted{0};
    std::atomic<int> m_bSceneReady{0};
    CD3DDevice m_d3dDevice;
    CKRAManager* m_pManager = nullptr;
    IDirect3DDevice8* m_pDevice = nullptr;
    _KRA_HANDLE m_hScene = 0;
    D3DXVECTOR3 m_vEye{150.0f, 180.0f, 0.0f};
    D3DXVECTOR3 m_vLookAt{20.0f, 0.0f, 0.0f};
    D3DXVECTOR3 m_vUp{0.0f, 1.0f, 0.0f};
    CFogState m_fog;
    CKRAScene* m_pScene = nullptr;
    std::atomic<int> m_bDeviceOk{1};
    std::atomic<int> m_bFrameDue{0};
    std::atomic<int> m_bWorldReady{0};
    IDirect3DSurface8* m_pBackBuffer = nullptr;
    IDirect3DSurface8* m_pDepthStencil = nullptr;
    LOGFONTA m_logFont{};
    float m_fAspect = 4.0f / 3.0f;
    int m_nState = 0;
    short m_nPlaceType = 0;
    std::atomic<int> m_bOwnAvatarPlaced{0};
    BOOL m_bAvatarsShown = FALSE;
    // The fly-over paths of the map and where along them the camera is (0 to 990).
    std::vector<CBezierPath> m_paths;
    float m_fFlyPosition = 0.0f;
    LOBBY_VIEW_STATE m_lobbyView; // the lobby the flight goes to (set by the lobby buttons)
    std::atomic<int> m_bFlightEnded{0};
    AVATAR_SLOT m_slots[kAvatarSlotCount];
    // The mouse as the GUI thread saw it, for the next frame's picking.
    std::atomic<int> m_nMouseX{0};
    std::atomic<int> m_nMouseY{0};
    std::atomic<int> m_bClickPending{0};
    std::atomic<int> m_bDragWalk{0};
    std::atomic<int> m_bButtonHeld{0};
    std::atomic<int> m_bWalkable{0};
    D3DXVECTOR3 m_vLastTarget{0.0f, 0.0f, 0.0f};
    // The subject board of a subject room and the picture on it.
    _KRA_HANDLE m_hSubjectBoard = 0;
    int m_nSubjectNumber = 0;
    BOOL m_bSubjectShown = FALSE;
    // What the last frame found under the mouse: the hovered avatar's slot (its name is drawn),
    // whether another member's avatar is there (the right button opens its menu), the event
    // object's kind and the object lit up as the one a click would use.
    std::atomic<int> m_nHoveredSlot{-1};
    std::atomic<int> m_bMenuEnabled{0};
    int m_nPickedKind = -1;
    _KRA_HANDLE m_hAccented = 0;
    POINT m_ptPicking{-1, -1}; // where the engine tests the avatars it draws (render worker only)
    BOOL m_bClickDeferred = FALSE;
    D3DXMATRIX m_mSeatRequest;
    // Holding the left button and moving repeats the click; a right-button drag turns the camera.
    std::atomic<DWORD> m_dwButtonStamp{0};
    std::atomic<int> m_bMoved{0};
    std::atomic<int> m_bDragging{0};
    std::atomic<float> m_fRotateX{0.0f};
    std::atomic<float> m_fRotateY{0.0f};
    // The avatar menu and the member it was opened for.
    CPopupMenuWnd m_wndPopupMenu;
    long m_lMenuUser = -1;

    // ---- Speech (D3DViewerBalloons.cpp) ------------------------------------------------------
    // A member's chat over its avatar for a while, in the chat colour of the index.
    void SetBalloon(long user, LPCSTR text, int colour);
    // A member's emotion (a chat kind): its motion, unless the avatar walks or sits.
    void PlayUserEmotion(long user, int emotion);
    BYTE m_bFreeCamera = 0; // "/freecamera": the wheel zooms without limits and the camera turns freely
    CKRAHandle<tagKRADS> m_hOwnBalloon;
    CKRAHandle<tagKRADS> m_hOtherBalloon;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnThreadStep() override;
    void OnThreadEnd() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

private:
    void Render();
    void RenderPasses();
    void TakeSurfaces();
    void ReleaseSurfaces();
    void CreateSceneFonts();
    void DestroySceneFonts();
    void ReleaseScene();
    void BroadcastToPreviews(UINT message);
    int FindSlot(long user) const;
    // The picking step of each lobby or room frame: what lies under the mouse, and a click's walk.
    void UpdatePicking();
    void MoveAvatarTo(int slot, const D3DXVECTOR3& target);
    // Posts a move request to the frame with a copy of its floats, which the frame frees.
    void PostMoveRequest(int code, const float* values, int count);
    BOOL OwnPosition(D3DXVECTOR3* position, D3DXVECTOR3* front);
    void OnMoveEnded(_KRA_HANDLE avatar);
    void OnMotionEnded(_KRA_HANDLE avatar);
    void OnSeatReached(_KRA_HANDLE avatar);
    // A click on the ground: a walk, a turn, or standing up from a seat.
    void ClickGround(D3DXVECTOR3 own, const D3DXVECTOR3& target);
    BOOL SeatTaken(const D3DXMATRIX& seat) const;
    void Unaccent();
    void RepeatHeldClick();
    void TurnCameraByDrag();
    void DrawHoveredName();
    void SetLookAtOwn(float height);
    // The avatar menu: which definition the member's place and friendship choose, and its pick.
    CString MenuFor(long user) const;
    void OnPopupPick(int item, long user);
    // The balloons of the slots in front of the eye, farthest first; counts their frames down.
    void DrawBalloons();

    std::vector<HWND> m_previewWindows;
    BOOL m_bPreviewsReleased = FALSE; // told of a loss and not yet of the restore
    // The scene file of a party-game room and its board size, by the board text.
    LPCSTR GameSceneFile() const;
    int GameBoardSize() const;
    // Made after a party-game room's scene loads; taken out under the lock and stopped after.
    void CreateGame();
    std::unique_ptr<CPFGame> TakeGame();
    void LoadSubjectBoard();
    // Tells the game who stands in avatar slot `index` (0-3) of a party-game room.
    void AnnounceGamePlayer(int index);
    void ForgetGamePlayer(int index);
    // The walk target of a click: snapped to a board cell in a game room; FALSE refuses the walk.
    BOOL GameAllowsWalk(D3DXVECTOR3* target);
    void RenderRoomOverlays();
    void HandleGameEvent(const PFGAME_EVENT& event);

    CString m_strBoardText;
    BYTE m_byGameLevel = 1;
    std::unique_ptr<CPFGame> m_pPFGame;
    // Each board cell's tiles once loaded, shown and hidden in turn, and the one shown now.
    struct GAME_TILES {
        _KRA_HANDLE hShown = 0;
        std::map<std::string, _KRA_HANDLE> loaded;
    };
    GAME_TILES m_gameTiles[CPFGame::kCells];
};

// The one 3D view (null until it is constructed).
extern CD3DViewer* g_pD3DViewer;
