#pragma once
// A small child window showing one member's dressed avatar turning before a white background,
// drawn with the 3D view's device through a swap chain of its own. The user information window
// and the item shop embed it to show a member, to try items on and to capture the avatar.
//
// The avatar is an engine avatar like the ones the 3D view draws; every change of it and every
// frame holds the global lock, because the view's render worker uses the same device and engine.
#include "SwapChainView.h"

#include <Kravex.h>
#include <afxwin.h>

#include <memory>

class CAvatarViewWnd : public CWnd {
public:
    static constexpr UINT_PTR kRenderTimer = 1;
    static constexpr UINT kRenderMs = 10;
    static constexpr long kOwnUser = -1;
    static constexpr UINT kDeviceLost = 0x4D1;         // UM_DEVICE_LOST
    static constexpr UINT kDeviceRestored = 0x4D0;     // UM_DEVICE_RESTORED
    static constexpr float kFieldOfView = 0.43633232f; // 25 degrees
    static constexpr float kRadiansPerPixel = 0.017453292f;

    CAvatarViewWnd();
    ~CAvatarViewWnd() override;

    // A visible child titled "RenderAvatar"; with `loadAvatar` it shows the user (kOwnUser: the
    // member). FALSE when the window could not be made.
    BOOL Create(const RECT& rect, CWnd* parent, UINT id, bool loadAvatar, long user = kOwnUser);
    // Shows the user's avatar as the service describes it, in place of the one shown: 1, or 0
    // when the service gave no avatar (a failed query also says so in a box).
    int LoadUserAvatar(long user);
    void UnloadAvatar();

    void StartRender();
    void StopRender();
    // Around a reset of the device: the swap chain goes and comes back, the avatar and its turn stay.
    void Pause();
    void Resume();

    // gender 1 / 2 (or 'M' / 'F'), category 0-6, the item number and its texture text.
    bool WearItem(int gender, int category, int number, LPCSTR texture);
    // Takes the category's item off again.
    int ChangeItem(int gender, int category);

    // Saves what the window shows (less 14 pixels each side) as a JPEG of width x height in the
    // installation's `folder`, keeping the BMP beside it: the JPEG's path, or empty on failure.
    CString CaptureAvatar(LPCSTR folder, int width, int height);
    // "<own ID>NNN.jpg": the first such name that does not exist in `directory`.
    static CString NextCaptureName(LPCSTR directory);
    static void SetProjectionForWindow(IDirect3DDevice8* device, HWND window);

    // One frame into the swap chain (the timer's work): FALSE when nothing could be drawn.
    BOOL RenderFrame();

    _KRA_HANDLE GetAvatar() const { return m_hAvatar; }
    long GetShownUser() const { return m_lShownUser; }
    float GetTurnAngle() const { return m_fAngle; }
    BOOL HasSwapChain() const { return m_bCreated && m_pSwapChain && m_pSwapChain->m_pSwapChain; }
    BOOL IsRunning() const { return m_bRunning; }

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR id) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }
    void OnPaint() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The scene of the 3D view now (avatars belong to the engine, not to one scene, so whichever
    // scene is loaded reaches them); null without one.
    static CKRAScene* LiveScene();
    // Clears the swap chain white, draws the avatar turned and placed before the camera, presents.
    BOOL DrawAvatar();

    CKRAScene* m_pScene = nullptr;
    std::unique_ptr<CSwapChainView> m_pSwapChain;
    IDirect3DDevice8* m_pDevice = nullptr;
    _KRA_HANDLE m_hAvatar = 0;
    float m_fAngle = 0.0f;
    int m_nLastX = 0;
    long m_lShownUser = kOwnUser;
    int m_bRightHeld = 0;
    BYTE m_bRunning = 0;
    BYTE m_bCreated = 0;
    BYTE m_bLoadPending = 0; // the service described the avatar while no scene was loaded
};
