#include "D3DViewer.h"

#include "ClientGlobals.h"
#include "ClientSession.h"
#include "MainFrame.h"

#include <NotifyDlg.h>
#include <yonda_d3d8.h>

#include <algorithm>

CD3DViewer* g_pD3DViewer = nullptr;

namespace {
const char kViewClass[] = "D3DViewer";
constexpr float kRoomFov = 0.43633232f; // 25 degrees
constexpr D3DCOLOR kRoomClear = 0xFF000000;
constexpr D3DCOLOR kMapClear = 0xFFFFFFFF;
} // namespace

CD3DViewer::CD3DViewer()
{
    WNDCLASSA wc{};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kViewClass, &wc)) {
        wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = kViewClass;
        ::RegisterClassA(&wc);
    }
    g_pD3DViewer = this;
}

CD3DViewer::~CD3DViewer()
{
    // The worker steps into this object: it ends before anything here goes.
    if (IsRunning()) {
        Stop();
    }
    ReleaseSurfaces();
    if (g_pD3DViewer == this) {
        g_pD3DViewer = nullptr;
    }
}

BOOL CD3DViewer::Create(CMainFrame* parent, const RECT& rect)
{
    m_pParent = parent;
    if (!CreateEx(0, kViewClass, "", WS_CHILD | WS_VISIBLE, rect, parent, 0)) {
        return FALSE;
    }
    if (FAILED(m_d3dDevice.Create(GetSafeHwnd()))) {
        if (g_pSession) {
            ShowNotifyBox(g_pSession->GetTableString("E_VGA_HARDWARE"), 0, 13);
        }
        return FALSE;
    }
    m_pDevice = m_d3dDevice.m_pDevice;
    SetDefaultRenderStates();
    const CString data = g_strInstallPath + "\\Data\\";
    if (KRACreate(m_pDevice, data, &CD3DViewer::EngineCallback, &m_pManager) < 0 || !m_pManager) {
        return FALSE;
    }
    EngineCallback(0, 0, this);
    TakeSurfaces();
    const int height = rect.bottom - rect.top;
    m_fAspect = height > 0 ? static_cast<float>(rect.right - rect.left) / static_cast<float>(height) : 1.0f;
    m_vEye = D3DXVECTOR3(150.0f, 180.0f, 0.0f);
    m_vLookAt = D3DXVECTOR3(20.0f, 0.0f, 0.0f);
    m_vUp = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    if (parent) {
        parent->PostMessage(UM_SESSION_COMMAND, CMD_VIEW_READY, 0);
    }
    SetTimer(kCheckTimer, kCheckMs, nullptr);
    m_bDeviceOk = 1;
    m_bFrameDue = 0;
    m_bWorldReady = 0;
    if (!m_bWorkerStarted) {
        m_bWorkerStarted = Start(nullptr, 0, -1);
    }
    return TRUE;
}

int CD3DViewer::OnCreate(LPCREATESTRUCT cs)
{
    return CWnd::OnCreate(cs);
}

void CD3DViewer::SetDefaultRenderStates()
{
    if (!m_pDevice) {
        return;
    }
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
}

void CD3DViewer::TakeSurfaces()
{
    ReleaseSurfaces();
    if (m_pDevice) {
        m_pDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &m_pBackBuffer);
        m_pDevice->GetDepthStencilSurface(&m_pDepthStencil);
    }
}

void CD3DViewer::ReleaseSurfaces()
{
    if (m_pBackBuffer) {
        m_pBackBuffer->Release();
        m_pBackBuffer = nullptr;
    }
    if (m_pDepthStencil) {
        m_pDepthStencil->Release();
        m_pDepthStencil = nullptr;
    }
}

void CD3DViewer::AddPreviewWindow(HWND window)
{
    if (window && std::find(m_previewWindows.begin(), m_previewWindows.end(), window) == m_previewWindows.end()) {
        m_previewWindows.push_back(window);
    }
}

void CD3DViewer::RemovePreviewWindow(HWND window)
{
    m_previewWindows.erase(std::remove(m_previewWindows.begin(), m_previewWindows.end(), window),
                           m_previewWindows.end());
}

void CD3DViewer::BroadcastToPreviews(UINT message)
{
    for (HWND window : m_previewWindows) {
        if (::IsWindow(window)) {
            ::SendMessageA(window, message, 0, 0);
        }
    }
}

BOOL CD3DViewer::CheckDevice()
{
    if (!m_pDevice) {
        return FALSE;
    }
    const HRESULT level = m_pDevice->TestCooperativeLevel();
    if (SUCCEEDED(level)) {
        return TRUE;
    }
    if (level == D3DERR_DEVICELOST) {
        return FALSE;
    }
    if (level != D3DERR_DEVICENOTRESET) {
        return TRUE;
    }
    // The whole cycle holds the lock and stops drawing first: the worker never draws with
    // surfaces that are being released. Boxes wait until the lock is left.
    const char* failure = nullptr;
    BOOL reset = FALSE;
    {
        CGlobalLock lock;
        m_bDeviceOk = 0;
        if (m_pManager && m_pManager->KraMan_DestroyDeviceObject() < 0) {
            failure = " DestroyDeviceObject() ";
        }
        if (m_bSceneReady) {
            DestroySceneFonts();
        }
        ReleaseSurfaces();
    }
    if (failure) {
        ::MessageBoxA(nullptr, failure, nullptr, MB_OK);
    }
    // While resets keep failing, each tick releases again what was made meanwhile (a scene or an
    // avatar loaded while the screen was taken), but the previews hear of the loss only once.
    if (!m_bPreviewsReleased) {
        m_bPreviewsReleased = TRUE;
        BroadcastToPreviews(kDeviceLost);
    }
    {
        CGlobalLock lock;
        reset = SUCCEEDED(m_pDevice->Reset(&m_d3dDevice.m_d3dpp));
        if (reset) {
            TakeSurfaces();
            failure = nullptr;
            if (m_pManager && m_pManager->KraMan_CreateDeviceObject() < 0) {
                failure = "CreateDeviceObject()";
            }
            if (m_bSceneReady) {
                CreateSceneFonts();
            }
            SetDefaultRenderStates();
        }
    }
    if (!reset) {
        return FALSE; // the next tick tries again
    }
    if (failure) {
        ::MessageBoxA(nullptr, failure, nullptr, MB_OK);
    }
    m_bPreviewsReleased = FALSE;
    BroadcastToPreviews(kDeviceRestored);
    return failure == nullptr;
}

void CD3DViewer::OnTimer(UINT_PTR id)
{
    if (id == kCheckTimer) {
        m_bDeviceOk = CheckDevice();
        m_bFrameDue = 1;
        return;
    }
    CWnd::OnTimer(id);
}

void CD3DViewer::OnThreadStep()
{
    if (m_bSceneReady && CanRender()) {
        Render();
    }
}

void CD3DViewer::OnThreadEnd()
{
    // The worker's drawing context goes before the view hears the worker has ended: the view then
    // releases the device, and the program may exit, while nothing of the renderer still runs here.
    YondaD3D8ReleaseThreadContext();
}

void CD3DViewer::Render()
{
    CGlobalLock lock;
    if (!m_pScene || !m_bDeviceOk || !m_bFrameDue || !m_pDevice) {
        return;
    }
    m_bFrameDue = 0;
    m_pDevice->SetRenderTarget(m_pBackBuffer, m_pDepthStencil);
    const bool place = m_nState == STATE_LOBBY || m_nState == STATE_ROOM;
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, place ? kRoomFov : D3DX_PI / 4.0f, m_fAspect, 1.0f, 10000.0f);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    if (place) {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kRoomClear, 1.0f, 0);
        m_pDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);
    } else {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kMapClear, 1.0f, 0);
        m_fog.m_fStart = 150.0f;
        m_fog.m_fEnd = 500.0f;
        m_fog.Apply(m_pDevice, kMapClear);
    }
    if (SUCCEEDED(m_pDevice->BeginScene())) {
        RenderPasses();
        m_pDevice->EndScene();
    }
    m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
}

void CD3DViewer::OnDestroy()
{
    CWnd::OnDestroy();
    KillTimer(kCheckTimer);
    if (m_bWorkerStarted) {
        RequestStop();
        if (::WaitForSingleObject(m_hThreadEnded, 1000) != WAIT_OBJECT_0) {
            Stop();
        }
        m_bWorkerStarted = 0;
    }
    // A game still running (a lost connection skips the quit action) ends before the engine.
    TakeGame().reset();
    {
        CGlobalLock lock;
        ReleaseScene();
        ReleaseSurfaces();
        if (m_pManager) {
            KRADestroy();
            m_pManager = nullptr;
        }
    }
    m_d3dDevice.Release();
    m_pDevice = nullptr;
}
