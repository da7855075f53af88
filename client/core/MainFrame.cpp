#include "MainFrame.h"

#include "ClientApp.h"
#include "ClientGlobals.h"
#include "ClientSession.h"

#include <ImageFile.h>
#include <ItemCatalog.h>
#include <ItemShopDlg.h>
#include <MainSkin.h>
#include <NotifyDlg.h>
#include <ToolkitShared.h>
#include <UserInfoDlg.h>
#include <UserInfoWnd.h>

#include <YondaCommRecords.h>

#include <ctime>

namespace {
const char kFrameClass[] = "VelmoraMain";
} // namespace

CMainFrame::CMainFrame() : m_pSession(g_pSession)
{
    WNDCLASSA wc{};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kFrameClass, &wc)) {
        wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCE(128));
        wc.hCursor = ToolkitNormalCursor();
        wc.lpszClassName = kFrameClass;
        ::RegisterClassA(&wc);
    }
}

CMainFrame::~CMainFrame()
{
    m_bmpBack.Detach();
    m_bmpViewBorder.DeleteObject();
    if (g_pMainFrame == this) {
        g_pMainFrame = nullptr;
    }
    if (m_pSession && m_pSession->GetMainFrame() == this) {
        m_pSession->SetMainFrame(nullptr);
    }
}

BOOL CMainFrame::CreateFrame(int x, int y)
{
    if (!g_pMainSkin) {
        return FALSE;
    }
    CSkinElement& element = g_pMainSkin->Element(CMainSkin::MAIN_WINDOW);
    CRect rect(element.rcRect);
    rect.OffsetRect(x, y);
    if (element.bmpImage.GetSafeHandle()) {
        m_bmpBack.Attach(element.bmpImage.GetSafeHandle());
    }
    BITMAP info{};
    if (m_bmpBack.GetSafeHandle()) {
        m_bmpBack.GetBitmap(&info);
    }
    if (rect.IsRectEmpty() && info.bmWidth > 0) {
        rect.right = rect.left + info.bmWidth;
        rect.bottom = rect.top + info.bmHeight;
    }
    if (!g_pMainSkin->GetRect("MainWindow", "TITLE_RECT", &m_rcTitle) || ::IsRectEmpty(&m_rcTitle)) {
        m_rcTitle = {0, 0, info.bmWidth, info.bmHeight / 3};
    }
    m_rcViewBorder = g_pMainSkin->m_rcD3DViewerBack;
    if (!g_pMainSkin->m_strD3DViewerBackImage.IsEmpty()) {
        LoadBitmapFile(g_pMainSkin->m_strSkinFolder + "\\" + g_pMainSkin->m_strD3DViewerBackImage, &m_bmpViewBorder,
                       nullptr);
    }
    return Create(kFrameClass, "", WS_POPUP | WS_SYSMENU, rect, nullptr, 0);
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs)
{
    if (CMiniFrameWnd::OnCreate(cs) == -1) {
        return -1;
    }
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    ::SendMessageA(GetSafeHwnd(), WM_SETICON, ICON_SMALL,
                   reinterpret_cast<LPARAM>(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCE(128))));
    const struct {
        CSoundButton* button;
        int element;
    } buttons[] = {{&m_btnClose, CMainSkin::CLOSE_BTN}, {&m_btnMinimise, CMainSkin::MINI_BTN}};
    for (const auto& entry : buttons) {
        CSkinElement& element = g_pMainSkin->Element(entry.element);
        if (element.bmpImage.GetSafeHandle()) {
            entry.button->SetBitmap(static_cast<HBITMAP>(element.bmpImage.GetSafeHandle()));
        }
        entry.button->Create(element.strTitle, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, element.rcRect, this,
                             static_cast<UINT>(element.nID));
        entry.button->SizeToBitmap();
    }
    if (!CreateChildren()) {
        return -1;
    }
    if (m_bgmPlayer.InitSound(this)) {
        m_bgmPlayer.LoadPlaylist("bgm.ini");
    }
    if (!g_pMainSkin->m_strPopupMenuIni.IsEmpty()) {
        m_iniPopupMenu.Load(g_pMainSkin->m_strSkinFolder + "\\" + g_pMainSkin->m_strPopupMenuIni);
    }
    if (CClientApp* app = ClientApp()) {
        SetWindowText(app->m_strTitle);
    }
    return 0;
}

BOOL CMainFrame::CreateChildren()
{
    const int lobbies = m_pSession ? m_pSession->m_nLobbyCount : 5;
    if (lobbies < 1) {
        return FALSE;
    }
    CreateServiceWindows();
    const RECT& view = g_pMainSkin->Element(CMainSkin::D3D_VIEW_WINDOW).rcRect;
    if (!m_wndView.Create(this, view)) {
        return FALSE;
    }
    m_bViewCreated = TRUE;
    if (m_pSession) {
        m_pSession->SetSceneSink(&m_wndView);
    }
    // The lobby entrances, their board, the lobby title bar and the party-game buttons.
    if (!m_lobbyBars.Create(this, g_pMainSkin, lobbies, &m_wndView.m_lobbyView)) {
        return FALSE;
    }
    m_lobbyBars.Place(this);
    m_motionKeys.Load();
    // The chat window, with the notices that came before it.
    if (!m_wndChat.CreateChat(this, &g_pMainSkin->Element(CMainSkin::CHAT_WINDOW), this)) {
        return FALSE;
    }
    for (const CString& line : m_pendingLines) {
        m_wndChat.AddPlainLine(line);
    }
    m_pendingLines.clear();
    return TRUE;
}

void CMainFrame::StopRenderWorker()
{
    if (m_wndView.IsRunning()) {
        m_wndView.RequestStop();
        ::WaitForSingleObject(m_wndView.m_hThreadEnded, INFINITE);
    }
}

void CMainFrame::PaintBackground(CDC* dc, const CRect& client)
{
    BITMAP info{};
    if (!m_bmpBack.GetSafeHandle() || !m_bmpBack.GetBitmap(&info) || info.bmHeight < 3) {
        return;
    }
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* old = memory.SelectObject(&m_bmpBack);
    const int band = info.bmHeight / 3;
    dc->BitBlt(0, 0, info.bmWidth, band, &memory, 0, 0, SRCCOPY);
    const int rows = band - 1;
    if (rows > 0) {
        const int repeats = client.Height() / rows;
        for (int i = 0; i < repeats; ++i) {
            dc->BitBlt(0, band + i * rows, info.bmWidth, rows, &memory, 0, band, SRCCOPY);
        }
    }
    dc->BitBlt(0, client.bottom - band, info.bmWidth, band, &memory, 0, band * 2, SRCCOPY);
    memory.SelectObject(old);
}

void CMainFrame::PaintViewBorder(CDC* dc)
{
    BITMAP info{};
    if (!m_bmpViewBorder.GetSafeHandle() || !m_bmpViewBorder.GetBitmap(&info) || info.bmWidth < 2 ||
        info.bmHeight < 2) {
        return;
    }
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* old = memory.SelectObject(&m_bmpViewBorder);
    const int w = info.bmWidth / 2;
    const int h = info.bmHeight / 2;
    const CRect r(m_rcViewBorder);
    // Corners.
    dc->BitBlt(r.left, r.top, w, h, &memory, 0, 0, SRCCOPY);
    dc->BitBlt(r.right - w, r.top, w, h, &memory, w, 0, SRCCOPY);
    dc->BitBlt(r.left, r.bottom - h, w, h, &memory, 0, h, SRCCOPY);
    dc->BitBlt(r.right - w, r.bottom - h, w, h, &memory, w, h, SRCCOPY);
    // Edges, stretched from the row or column next to each corner.
    const int innerWidth = r.Width() - 2 * w;
    const int innerHeight = r.Height() - 2 * h;
    if (innerWidth > 0) {
        dc->StretchBlt(r.left + w, r.top, innerWidth, h, &memory, w - 1, 0, 1, h, SRCCOPY);
        dc->StretchBlt(r.left + w, r.bottom - h, innerWidth, h, &memory, w - 1, h, 1, h, SRCCOPY);
    }
    if (innerHeight > 0) {
        dc->StretchBlt(r.left, r.top + h, w, innerHeight, &memory, 0, h - 1, w, 1, SRCCOPY);
        dc->StretchBlt(r.right - w, r.top + h, w, innerHeight, &memory, w, h - 1, w, 1, SRCCOPY);
    }
    memory.SelectObject(old);
}

void CMainFrame::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    PaintBackground(&dc, client);
    PaintViewBorder(&dc);
    // Until the 3D view sits in its place, its place shows dark rather than the border's key colour.
    if (!m_bViewCreated && !::IsRectEmpty(&m_rcViewBorder)) {
        CRect view(m_rcViewBorder);
        view.DeflateRect(2, 2);
        dc.FillSolidRect(&view, RGB(24, 24, 32));
    }
}

void CMainFrame::OnDestroy()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    CRect window;
    GetWindowRect(&window);
    POINT saved{window.left, window.top};
    if (::GetWindowPlacement(GetSafeHwnd(), &placement)) {
        saved = {placement.rcNormalPosition.left, placement.rcNormalPosition.top};
    }
    if (CClientApp* app = ClientApp()) {
        app->m_nWindowLeft = saved.x;
        app->m_nWindowTop = saved.y;
    }
    DestroyMessageWindows();
    FreeUndeliveredMessages();
    ReleaseServiceWindows();
    m_bgmPlayer.ReleaseSound();
    if (m_pSession && m_pSession->GetSceneSink() == &m_wndView) {
        m_pSession->SetSceneSink(nullptr);
    }
    CMiniFrameWnd::OnDestroy();
}

void CMainFrame::FreeUndeliveredMessages()
{
    // Posts still queued when the frame goes carry memory that only their handling frees. From
    // now on the library keeps its events (and frees them when it goes) rather than post them to
    // a window that is going.
    if (m_pSession && m_pSession->GetComm()) {
        m_pSession->GetComm()->SetNotifyWindow(nullptr);
    }
    const HWND self = GetSafeHwnd();
    MSG message;
    for (UINT kind : {UM_ROOM_USER_JOIN, UM_SESSION_REQUEST, UM_COMM_EVENT, UM_COMM_MESSAGE, UM_PFGAME_EVENT,
                      UM_PFGAME_MOVED, UM_PFGAME_MESSAGE}) {
        while (::PeekMessageA(&message, self, kind, kind, PM_REMOVE)) {
            switch (kind) {
            case UM_ROOM_USER_JOIN: delete reinterpret_cast<CString*>(message.lParam); break;
            case UM_SESSION_REQUEST: {
                const int code = LOWORD(message.wParam);
                if (code >= REQ_MOVE_START && code <= REQ_MOVE_SITUP && HIWORD(message.wParam) == 0) {
                    delete[] reinterpret_cast<float*>(message.lParam);
                } else if (code == REQ_PFGAME_DATA) {
                    delete[] reinterpret_cast<BYTE*>(message.lParam);
                }
                break;
            }
            case UM_COMM_EVENT:
            case UM_COMM_MESSAGE: YondaFreeEventBlock(kind, message.wParam, message.lParam); break;
            default: m_wndView.OnGameMessage(kind, 0, message.lParam, FALSE); break;
            }
        }
    }
}

void CMainFrame::OnLButtonDown(UINT flags, CPoint point)
{
    if (::PtInRect(&m_rcTitle, point)) {
        m_snapGroup.BeginDrag(this, point.x, point.y);
    }
    CMiniFrameWnd::OnLButtonDown(flags, point);
}

void CMainFrame::OnLButtonUp(UINT flags, CPoint point)
{
    if (m_snapGroup.IsDragging()) {
        m_snapGroup.EndDrag(this);
    }
    CMiniFrameWnd::OnLButtonUp(flags, point);
}

void CMainFrame::OnMouseMove(UINT flags, CPoint point)
{
    if (m_snapGroup.IsDragging()) {
        m_snapGroup.OnDrag(this);
    }
    CMiniFrameWnd::OnMouseMove(flags, point);
}

BOOL CMainFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case CClientApp::kIdAppAbout:
        if (CClientApp* app = ClientApp()) {
            app->OnAppAbout();
        }
        return TRUE;
    case kCommandExit: ExitProgram(); return TRUE;
    case kCommandMinimise: PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0); return TRUE;
    default: return CMiniFrameWnd::OnCommand(wParam, lParam);
    }
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_SESSION_COMMAND:
        return m_pSession ? m_pSession->ExecuteCommand(LOWORD(wParam), HIWORD(wParam), lParam) : kNoSuchCode;
    case UM_SESSION_REQUEST: {
        const int code = LOWORD(wParam);
        const LRESULT result =
            m_pSession ? m_pSession->SendRequest(code, HIWORD(wParam), lParam) : kRequestNoConnection;
        // The view's move requests come with a copy of their floats that is the frame's to free,
        // and the party game's board with a copy of its bytes.
        if (code >= REQ_MOVE_START && code <= REQ_MOVE_SITUP && HIWORD(wParam) == 0) {
            delete[] reinterpret_cast<float*>(lParam);
        } else if (code == REQ_PFGAME_DATA) {
            delete[] reinterpret_cast<BYTE*>(lParam);
        }
        return result;
    }
    case UM_COMM_EVENT:
        if (m_pSession) {
            return m_pSession->OnReceive(wParam, lParam);
        }
        YondaFreeEventBlock(message, wParam, lParam);
        return 0;
    case UM_COMM_MESSAGE: OnCommMessage(wParam, lParam); return 0;
    case UM_SOCKET_CLOSED: OnConnectionLost(); return 0;
    case UM_ROOM_USER_JOIN: OnUserJoined(static_cast<long>(wParam), reinterpret_cast<CString*>(lParam)); return 0;
    case UM_ROOM_USER_EXIT: OnUserExited(static_cast<long>(wParam), reinterpret_cast<LPCSTR>(lParam)); return 0;
    case UM_ROOM_JOINED: m_wndRoomUser.UpdateUser(0, static_cast<long>(wParam)); return 0;
    case UM_SHOW_SUB_WINDOW: OpenSearchWindow(kRoomSearchWindow); return 0;
    case UM_ROOM_JOIN_RESULT: OnJoinRoomAsked(wParam, reinterpret_cast<HWND>(lParam)); return 0;
    case kChildClosed: OnChildClosed(reinterpret_cast<CWnd*>(lParam)); return 0;
    case UM_ROOM_DIALOG: OnRoomDialog(static_cast<int>(wParam)); return 0;
    case UM_VIEW_ACTION_0:
    case UM_VIEW_ACTION_1:
    case UM_VIEW_ACTION_2:
    case UM_VIEW_ACTION_3: m_wndView.OnGameAction(static_cast<int>(message - UM_VIEW_ACTION_0)); return 0;
    case UM_PFGAME_BUTTONS:
    case UM_PFGAME_EVENT:
    case UM_PFGAME_MOVED:
    case UM_PFGAME_MESSAGE: return m_wndView.OnGameMessage(message, wParam, lParam);
    case kSetShopPoints:
        if (m_pSession) {
            m_pSession->m_lPoints = static_cast<long>(wParam);
        }
        m_wndToolBar.RefreshPoints();
        return 0;
    case kOpenTradeItem: OpenTradeItemDlg(); return 0;
    default: return CMiniFrameWnd::WindowProc(message, wParam, lParam);
    }
}

// ---- Services -----------------------------------------------------------------------------

void CMainFrame::AddLine(const CString& line)
{
    if (m_wndChat.GetSafeHwnd()) {
        m_wndChat.AddPlainLine(line);
        return;
    }
    m_pendingLines.push_back(line);
    while (m_pendingLines.size() > kNoticeBacklog) {
        m_pendingLines.pop_front();
    }
}

void CMainFrame::OnMove(int x, int y)
{
    CMiniFrameWnd::OnMove(x, y);
    // The bars are popups of their own that keep their places on the frame.
    m_lobbyBars.Place(this);
}

void CMainFrame::ShowNotice(const CString& text)
{
    AddLine(text);
}

void CMainFrame::OnRoomModified(int kind, const CString& text, long user)
{
    static const char* const kKeys[] = {"ModifiedRoomName", "ModifiedRoomSubject", "ModifiedRoomPassword",
                                        "ModifiedRoomMaxUser", "ModifiedRoomHost"};
    if (kind < 0 || kind > 4 || !m_pSession) {
        return;
    }
    ShowNotice(m_pSession->FormatTableString(kKeys[kind], text));
    // The tool bar says which room the member is in: by its name from now on.
    if (kind == 0) {
        m_wndToolBar.SetText(text);
    }
    if (kind == 4) {
        m_wndRoomUser.SetRoomMaster(user);
    }
}

void CMainFrame::OnChatLine(long user, int kind, int colour, LPCSTR text, LPCSTR secondText)
{
    const int state = m_wndView.GetViewState();
    if (!m_pSession || !(state == CD3DViewer::STATE_LOBBY || state == CD3DViewer::STATE_ROOM || (kind & 0x80))) {
        return;
    }
    // The kind is the motion the line carries (a line of no text carries only that).
    if (kind > 0) {
        m_wndView.PlayUserEmotion(user, kind);
    }
    if (!text || !*text || (text[0] == ' ' && !text[1])) {
        return;
    }
    CString name;
    {
        CGlobalLock lock;
        name = m_pSession->FindUserName(user);
    }
    if (name.IsEmpty() && secondText) {
        name = secondText;
    }
    if (m_wndChat.GetSafeHwnd()) {
        m_wndChat.AddChatLine(name, text, colour);
    } else {
        AddLine(name + " : " + text);
    }
    m_wndView.SetBalloon(user, text, colour);
}

void CMainFrame::OnNicknameModified(long user, LPCSTR nickname)
{
    if (!m_pSession) {
        return;
    }
    CString old;
    {
        CGlobalLock lock;
        old = m_pSession->FindUserName(user);
    }
    CString text = ToolkitFormatText(m_pSession->GetTableString("ModifiedUserNickname"), old);
    ShowNotice(ToolkitFormatText(text, nickname));
    if (user == m_pSession->m_OwnUser.lUser && nickname) {
        CopyField(m_pSession->m_OwnUser.szNickname, nickname, strlen(nickname));
    }
    if (nickname) {
        m_wndRoomUser.SetUserNickname(user, nickname);
    }
}

// ---- Camera and motion keys ------------------------------------------------------------

BOOL CMainFrame::CanZoom(float* distance)
{
    const int state = m_wndView.GetViewState();
    const BOOL room = state == CD3DViewer::STATE_ROOM && m_wndView.m_nPlaceType != 4;
    if (m_bModal || !(state == CD3DViewer::STATE_LOBBY || room) || !m_wndView.m_pScene || !m_pSession) {
        return FALSE;
    }
    const OWN_AVATAR_INFO& own = m_pSession->m_OwnAvatar;
    D3DXVECTOR3 head(own.fGroundX, 40.0f, own.fGroundZ);
    D3DXVECTOR3 eye = m_wndView.m_pScene->GetEyePosition();
    D3DXVECTOR3 between = eye - head;
    *distance = D3DXVec3Length(&between);
    return TRUE;
}

BOOL CMainFrame::OnMouseWheel(UINT flags, short delta, CPoint point)
{
    float distance = 0.0f;
    CGlobalLock lock;
    if (CanZoom(&distance)) {
        const bool game = m_wndView.m_nPlaceType == 4;
        const bool free = m_wndView.m_bFreeCamera != 0;
        if (delta > 0 && (free || distance > (game ? 100.0f : 40.0f))) {
            m_wndView.m_pScene->Forward(20.0f);
        } else if (delta < 0 && (free || distance < (game ? 420.0f : 380.0f))) {
            m_wndView.m_pScene->Backward(20.0f);
        }
    }
    return CMiniFrameWnd::OnMouseWheel(flags, delta, point);
}

void CMainFrame::SendKeyMotion(UINT key)
{
    if (!m_pSession) {
        return;
    }
    const int gender = m_pSession->m_OwnAvatar.cLetter[0] == 'F' ? 1 : 0;
    const int kind = m_motionKeys.PickRandom(static_cast<int>(key), gender);
    if (kind >= 0) {
        SendChat("", kind, m_nKeyChatColour);
    }
}

void CMainFrame::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_PRIOR || key == VK_NEXT) {
        float distance = 0.0f;
        CGlobalLock lock;
        if (CanZoom(&distance)) {
            if (key == VK_PRIOR && distance > 40.0f) {
                m_wndView.m_pScene->Forward(10.0f);
            } else if (key == VK_NEXT && distance < 280.0f) {
                m_wndView.m_pScene->Backward(10.0f);
            }
        }
    } else if (key >= VK_F1 && key <= VK_F24) {
        SendKeyMotion(key);
    }
    CMiniFrameWnd::OnKeyDown(key, repeat, flags);
}

void CMainFrame::OnSetFocus(CWnd* oldWnd)
{
    CMiniFrameWnd::OnSetFocus(oldWnd);
    // The keyboard is the chat's, unless the program is on its way out.
    if (!m_bClosing && m_wndChat.GetSafeHwnd()) {
        m_wndChat.SetFocus();
    }
}

void CMainFrame::OnSysChar(UINT ch, UINT repeat, UINT flags)
{
    SendKeyMotion(ch);
    CMiniFrameWnd::OnSysChar(ch, repeat, flags);
}

BOOL CMainFrame::SendChat(LPCSTR text, int kind, int colour)
{
    if (!m_pSession) {
        return FALSE;
    }
    const long param = (static_cast<long>(colour & 0xFFFF) << 16) | (kind & 0xFFFF);
    const int result = m_pSession->SendRequest(REQ_CHAT_SEND, param, reinterpret_cast<LPARAM>(text ? text : ""));
    const char gender = m_pSession->m_OwnAvatar.cLetter[0];
    if ((kind == '4' && gender == 'M') || (kind == '/' && gender == 'F')) {
        m_bgmPlayer.PlayFile("korea.wav", FALSE);
    }
    return result == kRequestAccepted;
}

char CMainFrame::GetOwnGender()
{
    return m_pSession && m_pSession->m_OwnAvatar.cLetter[0] == 'F' ? 'F' : 'M';
}

int CMainFrame::GetRoomType()
{
    return m_wndView.GetViewState() == CD3DViewer::STATE_ROOM ? m_wndView.m_nPlaceType : -1;
}

void CMainFrame::OnChatCommand(CChatHost::Command command)
{
    switch (command) {
    case CChatHost::FREE_CAMERA: m_wndView.m_bFreeCamera = !m_wndView.m_bFreeCamera; break;
    case CChatHost::USER_COUNT:
        m_wndView.m_lobbyView.bShowUserCounts = !m_wndView.m_lobbyView.bShowUserCounts;
        // On the map the entrances are drawn again with or without their counts.
        if (m_wndView.GetViewState() == CD3DViewer::STATE_MAP) {
            m_lobbyBars.ShowEntrance(SW_HIDE);
            m_lobbyBars.ShowEntrance(SW_SHOW);
        }
        break;
    // The room-making dialog, through the frame's room-dialog message.
    case CChatHost::ROOM_MAKE:
        ::OutputDebugStringA("== CMainFrame::OnChatCommand : room dialog\n");
        PostMessage(UM_ROOM_DIALOG, 0, 0);
        break;
    case CChatHost::AVATAR_INFO: {
        // The information window's layout alone, as a dialog.
        CUserInfoDlg dialog(g_pMainSkin ? g_pMainSkin->Element("WND_AVATAR_INFO") : nullptr, this);
        dialog.DoModal();
        break;
    }
    case CChatHost::QUESTION: break;
    }
}

// ---- The item shop ----------------------------------------------------------------------

void CMainFrame::OpenTradeItemDlg()
{
    if (m_pTradeItemDlg || m_bModal || m_bClosing || !g_pMainSkin || !g_pItemCatalog) {
        return;
    }
    CItemShopDlg shop(&g_pMainSkin->Element(CMainSkin::DLG_TRADEITEM), g_pItemCatalog, this);
    m_pTradeItemDlg = &shop;
    m_bModal = TRUE;
    shop.DoModal();
    m_bModal = FALSE;
    m_pTradeItemDlg = nullptr;
}

// ---- Message windows ----------------------------------------------------------------------

void CMainFrame::AddMessageWindow(CWnd* window)
{
    if (window && !HasMessageWindow(window)) {
        m_listMessageWnd.AddTail(window);
    }
}

BOOL CMainFrame::HasMessageWindow(CWnd* window) const
{
    return window && m_listMessageWnd.Find(window) != nullptr;
}

void CMainFrame::OnChildClosed(CWnd* window)
{
    // A window can post its close twice (its close button and Escape); only the first counts.
    POSITION position = window ? m_listMessageWnd.Find(window) : nullptr;
    if (!position) {
        return;
    }
    m_listMessageWnd.RemoveAt(position);
    if (::IsWindow(window->GetSafeHwnd())) {
        window->DestroyWindow();
    }
    delete window;
}

void CMainFrame::DestroyMessageWindows()
{
    while (!m_listMessageWnd.IsEmpty()) {
        auto* window = static_cast<CWnd*>(m_listMessageWnd.RemoveHead());
        if (::IsWindow(window->GetSafeHwnd())) {
            window->DestroyWindow();
        }
        delete window;
    }
}

CString CMainFrame::LookupComboText(LPCSTR code) const
{
    int count = 0;
    m_iniPopupMenu.GetInt("ComboArea", "Count", &count);
    CString found;
    for (int i = 0; i <= count && code; ++i) {
        CString key;
        key.Format("Text%d", i);
        CString entry;
        if (!m_iniPopupMenu.GetString("ComboArea", key, &entry)) {
            continue;
        }
        const int split = entry.Find(';');
        if (split >= 0 && entry.Mid(split + 1) == code) {
            found = entry.Left(split); // the last match wins
        }
    }
    return found;
}

// ---- Leaving ------------------------------------------------------------------------------

void CMainFrame::ExitProgram()
{
    if (m_bClosing) {
        return;
    }
    CNotifyDlg confirm(CString("ExitConfirmDlg"), this);
    m_bModal = TRUE;
    const INT_PTR answer = confirm.DoModal();
    m_bModal = FALSE;
    // A connection lost while the question was up has ended the program already.
    if (answer != IDOK || m_bClosing) {
        return;
    }
    if (m_pSession) {
        m_pSession->OnQuitScene(0, 0);
    }
    m_bClosing = TRUE;
    m_wndView.RequestStop();
    if (m_pSession) {
        m_pSession->Logout();
    }
    StopRenderWorker();
    PostMessage(WM_CLOSE);
}

void CMainFrame::OnConnectionLost()
{
    // A second close, or one after the member's own logout, changes nothing.
    if (m_bClosing) {
        return;
    }
    m_bClosing = TRUE;
    if (m_pSession) {
        ShowNotifyBox(m_pSession->GetTableString("SocketDisonnected"), 0, 13);
    }
    StopRenderWorker();
    PostMessage(WM_CLOSE);
}
