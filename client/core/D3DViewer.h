#pragma once
// The 3D view: the main frame's child in which the map, the lobbies and the rooms are drawn. It
// owns the Direct3D device it hands to the engine, checks the device every 30 ms and recovers it
// when lost, and draws one frame per tick on its render worker. The scene half (which scene each
// place shows, the members' avatars, the camera) lives in D3DViewerScene.cpp.
#include "AvatarSlot.h"
#include "BezierPath.h"
#include "D3DDevice.h"
#include "FogState.h"
#include "SceneSink.h"
#include "WorkerThread.h"

#include <CommunityShared.h>

#include <KRAManager.h>
#include <KRAScene.h>

#include <afxwin.h>

#include <atomic>
#include <vector>

class CMainFrame;

class CD3DViewer : public CWnd, public CWorkerThread, public CSceneSink {
public:
    static constexpr UINT_PTR kCheckTimer = 1;
    static constexpr UINT kCheckMs = 30;
    static constexpr UINT kDeviceLost = 0x4D1;     // UM_DEVICE_LOST
    static constexpr UINT kDeviceRestored = 0x4D0; // UM_DEVICE_RESTORED
    // View states.
    enum { STATE_FLY_IN = 10, STATE_FLY_OUT = 11, STATE_LOBBY_CHOSEN = 12, STATE_MAP = 13, STATE_LOBBY = 14, STATE_ROOM = 15 };

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

    // ---- Speech (D3DViewerBalloons.cpp) ------------------------------------------------------
    // A member's chat over its avatar for a while, in the chat colour of the index.
    void SetBalloon(long user, LPCSTR text, int colour);
    // A member's emotion (a chat kind): its motion, unless the avatar walks or sits.
    void PlayUserEmotion(long user, int emotion);
    BYTE m_bFreeCamera = 0; // "/freecamera": the wheel zooms without limits
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
    // The balloons of the slots in front of the eye, farthest first; counts their frames down.
    void DrawBalloons();

    std::vector<HWND> m_previewWindows;
    BOOL m_bPreviewsReleased = FALSE; // told of a loss and not yet of the restore
};

// The one 3D view (null until it is constructed).
extern CD3DViewer* g_pD3DViewer;
