#include "AvatarViewWnd.h"

#include "AvatarScene.h"
#include "ClientGlobals.h"
#include "ClientSession.h"
#include "D3DViewer.h"
#include "Screenshot.h"

#include <NotifyDlg.h>
#include <YondaCommRecords.h>

#include <d3dx8.h>

namespace {

const char kViewClass[] = "AvatarViewWnd";
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;
constexpr int kCaptureMargin = 14;

// A failure told to the member: the string table's texts joined, when there is a table.
void ShowTableTexts(LPCSTR first, LPCSTR second = nullptr)
{
    if (!g_pSession) {
        return;
    }
    CString text = g_pSession->GetTableString(first);
    if (second) {
        text += g_pSession->GetTableString(second);
    }
    ShowNotifyBox(text, 0, 13);
}

} // namespace

CAvatarViewWnd::CAvatarViewWnd()
{
    WNDCLASSA wc{};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kViewClass, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.lpszClassName = kViewClass;
        ::RegisterClassA(&wc);
    }
}

CAvatarViewWnd::~CAvatarViewWnd()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CAvatarViewWnd::Create(const RECT& rect, CWnd* parent, UINT id, bool loadAvatar, long user)
{
    if (!CreateEx(0, kViewClass, "RenderAvatar", WS_CHILD | WS_VISIBLE, rect, parent, id)) {
        return FALSE;
    }
    if (loadAvatar) {
        LoadUserAvatar(user);
    }
    return TRUE;
}

CKRAScene* CAvatarViewWnd::LiveScene()
{
    if (g_pD3DViewer && g_pD3DViewer->m_pScene) {
        return g_pD3DViewer->m_pScene;
    }
    return g_pAvatarScene ? g_pAvatarScene->GetScene() : nullptr;
}

int CAvatarViewWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    m_pSwapChain = std::make_unique<CSwapChainView>();
    IDirect3DDevice8* device = g_pD3DViewer ? g_pD3DViewer->m_pDevice : nullptr;
    const D3DFORMAT format = g_pD3DViewer ? g_pD3DViewer->m_d3dDevice.m_d3dpp.BackBufferFormat : D3DFMT_UNKNOWN;
    BOOL made = FALSE;
    if (device) {
        CGlobalLock lock;
        made = m_pSwapChain->Create(m_hWnd, device, format);
    }
    if (!made) {
        m_pSwapChain.reset();
        m_bCreated = 0;
        // The window stays, without a picture.
        ShowTableTexts("E_AVATAR_VIEWER_CREATE");
        return 0;
    }
    m_bCreated = 1;
    m_pDevice = device;
    {
        CGlobalLock lock;
        m_pScene = LiveScene();
    }
    // The view tells this window when its device is reset.
    g_pD3DViewer->AddPreviewWindow(m_hWnd);
    return 0;
}

void CAvatarViewWnd::UnloadAvatar()
{
    CGlobalLock lock;
    if (m_hAvatar) {
        if (CKRAScene* scene = LiveScene()) {
            scene->UnloadAvatar(m_hAvatar);
        }
        m_hAvatar = 0;
    }
}

int CAvatarViewWnd::LoadUserAvatar(long user)
{
    UnloadAvatar();
    m_lShownUser = user == kOwnUser && g_pSession ? g_pSession->m_OwnUser.lUser : user;
    CYondaComm* comm = g_pSession ? g_pSession->GetComm() : nullptr;
    CPtrList list;
    // The query waits for the service: never with the lock held, so the view keeps drawing.
    if (!comm || !comm->QueryAvataInfo(m_lShownUser, list)) {
        ShowTableTexts("M_QUERY_USER_AVATAR_INFO", "E_NETWORK_FAIL");
    }
    int result = 0;
    m_bLoadPending = 0;
    if (!list.IsEmpty() && g_pAvatarScene) {
        const auto* head = static_cast<const YONDA_AVATAR_HEAD*>(list.GetHead());
        CGlobalLock lock;
        // Opened while the view is between scenes: the avatar comes once a scene is there.
        m_bLoadPending = LiveScene() == nullptr;
        _KRA_HANDLE avatar = 0;
        if (g_pAvatarScene->LoadAvatar(static_cast<DWORD>(m_lShownUser), &avatar, 0, 0, &list) && avatar) {
            m_hAvatar = avatar;
            g_pAvatarScene->StartGenderMotion(head->cGender, &m_hAvatar);
            result = 1;
        }
    }
    if (comm) {
        comm->Release(&list);
    }
    return result;
}

void CAvatarViewWnd::StartRender()
{
    SetTimer(kRenderTimer, kRenderMs, nullptr);
    m_bRunning = 1;
}

void CAvatarViewWnd::StopRender()
{
    KillTimer(kRenderTimer);
    m_bRunning = 0;
}

void CAvatarViewWnd::Pause()
{
    m_bRunning = 0;
    KillTimer(kRenderTimer);
    if (m_pSwapChain) {
        CGlobalLock lock;
        m_pSwapChain->Release();
    }
}

void CAvatarViewWnd::Resume()
{
    if (m_pSwapChain) {
        CGlobalLock lock;
        m_pSwapChain->Restore();
    }
    SetTimer(kRenderTimer, kRenderMs, nullptr);
    m_bRunning = 1;
}

bool CAvatarViewWnd::WearItem(int gender, int category, int number, LPCSTR texture)
{
    CGlobalLock lock;
    if (!m_hAvatar || !g_pAvatarScene) {
        return false;
    }
    return g_pAvatarScene->PutOnItem(&m_hAvatar, static_cast<char>(gender), category, number, texture ? texture : "0");
}

int CAvatarViewWnd::ChangeItem(int gender, int category)
{
    CGlobalLock lock;
    if (!m_hAvatar || !g_pAvatarScene) {
        return 0;
    }
    return g_pAvatarScene->ChangeItem(&m_hAvatar, static_cast<char>(gender), category);
}

void CAvatarViewWnd::SetProjectionForWindow(IDirect3DDevice8* device, HWND window)
{
    RECT client{};
    ::GetClientRect(window, &client);
    const int height = client.bottom - client.top;
    const float aspect =
        height > 0 ? static_cast<float>(client.right - client.left) / static_cast<float>(height) : 1.0f;
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, aspect, 1.0f, 10000.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}

BOOL CAvatarViewWnd::RenderFrame()
{
    CGlobalLock lock;
    if (!HasSwapChain() || !m_pDevice || (g_pD3DViewer && !g_pD3DViewer->m_bDeviceOk)) {
        return FALSE;
    }
    // The device is the view's: its drawing leaves the camera in the world transform (the engine
    // multiplies an avatar's place in front of it) and, over the map, its white fog on. The preview
    // draws from its own origin without fog and gives the view its state back afterwards.
    D3DXMATRIX savedWorld;
    D3DXMATRIX savedView;
    D3DXMATRIX savedProjection;
    DWORD savedFog = FALSE;
    m_pDevice->GetTransform(D3DTS_WORLD, &savedWorld);
    m_pDevice->GetTransform(D3DTS_VIEW, &savedView);
    m_pDevice->GetTransform(D3DTS_PROJECTION, &savedProjection);
    m_pDevice->GetRenderState(D3DRS_FOGENABLE, &savedFog);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetTransform(D3DTS_VIEW, &identity);
    m_pDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);
    SetProjectionForWindow(m_pDevice, m_hWnd);
    const BOOL drawn = DrawAvatar();
    m_pDevice->SetTransform(D3DTS_WORLD, &savedWorld);
    m_pDevice->SetTransform(D3DTS_VIEW, &savedView);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &savedProjection);
    m_pDevice->SetRenderState(D3DRS_FOGENABLE, savedFog);
    return drawn;
}

BOOL CAvatarViewWnd::DrawAvatar()
{
    if (!m_pSwapChain->BeginDraw()) {
        return FALSE;
    }
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kWhite, 1.0f, 0);
    if (SUCCEEDED(m_pDevice->BeginScene())) {
        CKRAScene* scene = LiveScene();
        if (scene && m_hAvatar) {
            D3DXMATRIX turn;
            D3DXMATRIX place;
            D3DXMatrixRotationY(&turn, m_fAngle);
            D3DXMatrixTranslation(&place, 0.0f, -25.0f, 130.0f);
            D3DXMATRIX world = turn * place;
            scene->RenderLocalAvatar(m_hAvatar, 0, world);
        }
        m_pDevice->EndScene();
    }
    m_pSwapChain->EndDraw();
    return SUCCEEDED(m_pSwapChain->Present());
}

void CAvatarViewWnd::OnTimer(UINT_PTR id)
{
    if (id != kRenderTimer) {
        CWnd::OnTimer(id);
        return;
    }
    if (m_bLoadPending && m_bCreated) {
        BOOL sceneReady = FALSE;
        {
            CGlobalLock lock;
            sceneReady = LiveScene() != nullptr;
        }
        if (sceneReady) {
            LoadUserAvatar(m_lShownUser);
        }
    }
    if (m_bRunning && m_bCreated) {
        RenderFrame();
    }
}

void CAvatarViewWnd::OnPaint()
{
    // The picture is the swap chain's: a repaint draws a frame rather than waiting for the timer.
    ValidateRect(nullptr);
    if (m_bCreated) {
        RenderFrame();
    }
}

void CAvatarViewWnd::OnMouseMove(UINT flags, CPoint point)
{
    if (GetCapture() == this && m_bRightHeld) {
        m_fAngle += static_cast<float>(m_nLastX - point.x) * kRadiansPerPixel;
    }
    m_nLastX = point.x;
    CWnd::OnMouseMove(flags, point);
}

void CAvatarViewWnd::OnRButtonDown(UINT flags, CPoint point)
{
    SetCapture();
    m_bRightHeld = 1;
    m_nLastX = point.x;
    CWnd::OnRButtonDown(flags, point);
}

void CAvatarViewWnd::OnRButtonUp(UINT flags, CPoint point)
{
    m_bRightHeld = 0;
    if (GetCapture() == this) {
        ::ReleaseCapture();
    }
    CWnd::OnRButtonUp(flags, point);
}

LRESULT CAvatarViewWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kDeviceLost: Pause(); return 0;
    case kDeviceRestored: Resume(); return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CAvatarViewWnd::OnDestroy()
{
    CWnd::OnDestroy();
    KillTimer(kRenderTimer);
    m_bRunning = 0;
    if (g_pD3DViewer) {
        g_pD3DViewer->RemovePreviewWindow(m_hWnd);
    }
    UnloadAvatar();
    if (m_pSwapChain) {
        CGlobalLock lock;
        m_pSwapChain->Destroy();
        m_pSwapChain.reset();
    }
    m_bCreated = 0;
}

CString CAvatarViewWnd::NextCaptureName(LPCSTR directory)
{
    const CString own = g_pSession ? CString(g_pSession->m_OwnUser.szID) : CString();
    for (int i = 0; i < 1000; ++i) {
        CString name;
        name.Format("%s\\%s%.3d.jpg", directory, static_cast<LPCSTR>(own), i);
        if (!FileExists(name)) {
            return name;
        }
    }
    return CString();
}

CString CAvatarViewWnd::CaptureAvatar(LPCSTR folder, int width, int height)
{
    CGlobalLock lock;
    if (!HasSwapChain() || !m_pDevice) {
        return CString();
    }
    const CString directory = g_strInstallPath + "\\" + folder;
    if (!FileExists(directory)) {
        ::CreateDirectoryA(directory, nullptr);
    }
    const CString jpeg = NextCaptureName(directory);
    if (jpeg.IsEmpty()) {
        return CString();
    }
    RECT area{};
    GetClientRect(&area);
    area.left += kCaptureMargin;
    area.right -= kCaptureMargin;
    const HRESULT result =
        SaveScreenshot(m_pDevice, m_hWnd, jpeg + ".bmp", jpeg, &area, width, height, m_pSwapChain->m_pSwapChain, FALSE);
    return FAILED(result) ? CString() : jpeg;
}
