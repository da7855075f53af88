#include "MessengerWnd.h"

#include <ClientGlobals.h>
#include <ClientSession.h>
#include <MainFrame.h>
#include <MainSkin.h>
#include <NameChecks.h>

#include "CommunityShared.h"

#include <ImageFile.h>
#include <NotifyDlg.h>
#include <ToolkitShared.h>

#include <algorithm>
#include <iterator>

namespace {

// The chat colours (0x00BBGGRR) by index, as the chat window offers them.
constexpr COLORREF kChatColours[] = {0x010000, 0x241DEE, 0x2265F1, 0x005DAC, 0x00969F, 0x00A160, 0x6A7300, 0xEFAE00,
                                     0xBC7200, 0x92312F, 0x912C65, 0x8F2791, 0x8C00ED, 0x244B74, 0x747474};

constexpr int kScrollBarWidth = 18;
constexpr UINT kWaveReceived = 150;
constexpr UINT kWaveOpened = 151;
constexpr UINT kWaveFailed = 152;

BOOL RegisterMessengerClass()
{
    WNDCLASSA wc{};
    if (::GetClassInfoA(AfxGetInstanceHandle(), CMessengerWnd::kClassName, &wc)) {
        return TRUE;
    }
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ToolkitNormalCursor();
    wc.lpszClassName = CMessengerWnd::kClassName;
    return ::RegisterClassA(&wc) != 0;
}

CString TableString(LPCSTR key)
{
    return g_pSession ? g_pSession->GetTableString(key) : CString(key);
}

void ShowTableBox(LPCSTR key)
{
    ShowNotifyBox(TableString(key), 0, 13);
}

} // namespace

CMessengerWnd::CMessengerWnd(long user, LPCSTR id, LPCSTR text, LPCSTR nickname, BOOL received)
    : m_lUser(user), m_strID(id ? id : ""), m_strNickname(nickname ? nickname : ""), m_strFirstText(text ? text : ""),
      m_bReceived(received)
{}

CMessengerWnd::~CMessengerWnd()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CMessengerWnd::Create(CWnd* owner)
{
    if (!RegisterMessengerClass()) {
        return FALSE;
    }
    return CreateEx(0, kClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, owner ? owner->GetSafeHwnd() : nullptr,
                    nullptr);
}

COLORREF CMessengerWnd::ChatColour(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(kChatColours))) {
        index = 0;
    }
    return kChatColours[index];
}

CString CMessengerWnd::CleanMessage(const CString& text)
{
    const int length = text.GetLength();
    int cut = 0;
    while (cut < length) {
        const int step = IsDBCSLeadByte(static_cast<BYTE>(text[cut])) ? 2 : 1;
        // A lead byte without its trail byte (at the end, or past the limit) goes.
        if (cut + step > length || cut + step > kMessageLimit) {
            break;
        }
        cut += step;
    }
    return text.Left(cut);
}

CString CMessengerWnd::GetTitleText() const
{
    return m_strID + " (" + m_strNickname + ")";
}

// ---- Creation -----------------------------------------------------------------------------

BOOL CMessengerWnd::LoadSkin()
{
    if (!g_pMainSkin) {
        return FALSE;
    }
    const CString folder = g_pMainSkin->m_strSkinFolder;
    CString iniFile;
    g_pMainSkin->GetString("WND_MESSENGER", "IniFile", &iniFile);
    m_skin.SetSkinPath(folder);
    if (!m_skin.LoadIni(folder + "\\" + iniFile)) {
        return FALSE;
    }
    const char* const pictures[2] = {"Image", "Image0"};
    CBitmap* bitmaps[2] = {&m_bmpImage, &m_bmpImage0};
    for (int i = 0; i < 2; ++i) {
        const CString path = g_pMainSkin->GetFilePath("WND_MESSENGER", pictures[i]);
        if (path.IsEmpty() || !LoadBitmapFile(path, bitmaps[i], nullptr)) {
            ShowFileReadError(path.IsEmpty() ? folder + "\\" + pictures[i] : path);
            return FALSE;
        }
    }
    RECT window{0, 0, 0, 0};
    RECT image{0, 0, 0, 0};
    g_pMainSkin->GetRect("WND_MESSENGER", "Rect", &window);
    g_pMainSkin->GetRect("WND_MESSENGER", "ImageRect", &image);
    m_rcWindow = window;
    m_rcImage = image;
    m_rcTitle = m_skin.m_rcUserID;
    return TRUE;
}

BOOL CMessengerWnd::CreateButton(CSoundButton* button, CSkinElement* element, BOOL tabStop)
{
    if (!element->bmpImage.GetSafeHandle()) {
        return FALSE;
    }
    button->SetBitmap(static_cast<HBITMAP>(element->bmpImage.GetSafeHandle()));
    const DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | (tabStop ? WS_TABSTOP : 0);
    if (!button->Create(element->strTitle, style, element->rcRect, this, static_cast<UINT>(element->nID))) {
        return FALSE;
    }
    button->SizeToBitmap();
    return TRUE;
}

BOOL CMessengerWnd::CreateChildren()
{
    CSoundButton* const buttons[CMessengerSkin::BUTTON_COUNT] = {&m_btnSend, &m_btnUserInfo, &m_btnGotoFriend,
                                                                 &m_btnAddFriend, &m_btnClose2};
    if (!CreateButton(&m_btnClose, &m_skin.m_elCloseBtn, FALSE)) {
        return FALSE;
    }
    for (int i = 0; i < CMessengerSkin::BUTTON_COUNT; ++i) {
        if (!CreateButton(buttons[i], &m_skin.m_elButtons[i], TRUE)) {
            return FALSE;
        }
    }
    const DWORD entryStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    if (!m_editMessage.Create(entryStyle, m_skin.m_elMessageEdit.rcRect, this,
                              static_cast<UINT>(m_skin.m_elMessageEdit.nID))) {
        return FALSE;
    }
    m_editMessage.LimitText(kMessageLimit);
    CRect log(m_skin.m_elMessageLog.rcRect);
    CRect bar(log.right - kScrollBarWidth, log.top, log.right, log.bottom);
    log.right -= kScrollBarWidth;
    if (!m_logMessages.Create(log, this, static_cast<UINT>(m_skin.m_elMessageLog.nID), &m_scrollLog)) {
        return FALSE;
    }
    // A missing bar picture leaves the bar hidden; the log works without it.
    m_scrollLog.Create(bar, this, TRUE, &m_logMessages, m_skin.m_strSkinFolder + "\\scrollbar");
    m_scrollLog.ShowWindow(SW_HIDE);
    m_logMessages.ShowWindow(SW_SHOW);
    return TRUE;
}

int CMessengerWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1 || !LoadSkin()) {
        return -1;
    }
    MoveWindow(&m_rcWindow, FALSE);
    CenterWindow(GetOwner());
    if (!CreateChildren()) {
        return -1;
    }
    if (!m_strFirstText.IsEmpty()) {
        const COLORREF colour = m_bReceived ? ChatColour(kPartnerColourIndex) : ChatColour(g_nTextColor);
        AddLine(m_strNickname + ":", CleanMessage(m_strFirstText), colour);
    }
    ToolkitPlayWave(kWaveOpened);
    return 0;
}

void CMessengerWnd::OnDestroy()
{
    m_bmpImage.DeleteObject();
    m_bmpImage0.DeleteObject();
    CWnd::OnDestroy();
}

// ---- Messages -----------------------------------------------------------------------------

void CMessengerWnd::AddLine(const CString& name, const CString& text, COLORREF colour)
{
    if (m_logMessages.GetSafeHwnd()) {
        m_logMessages.AppendText(name, text, colour);
    }
}

void CMessengerWnd::SendText(CString text)
{
    TrimString(text);
    text = CleanMessage(text);
    if (text.IsEmpty() || !g_pSession) {
        return;
    }
    const int answer =
        g_pSession->SendRequest(REQ_INSTANT_MESSAGE, m_lUser, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(text)));
    if (answer == kRequestAccepted) {
        AddLine(CString(g_pSession->m_OwnUser.szNickname) + ":", text, ChatColour(g_nTextColor));
    } else {
        OnSendFailed(text);
    }
}

void CMessengerWnd::AddReceivedMessage(LPCSTR id, LPCSTR text, LPCSTR nickname)
{
    if (!text || !*text) {
        return;
    }
    if (id && *id && m_strID.IsEmpty()) {
        m_strID = id;
    }
    if (nickname && *nickname && m_strNickname != nickname) {
        m_strNickname = nickname;
        InvalidateRect(&m_rcTitle, FALSE);
    }
    AddLine(m_strNickname, CleanMessage(text), ChatColour(kPartnerColourIndex));
    ToolkitPlayWave(kWaveReceived);
}

void CMessengerWnd::OnSendFailed(LPCSTR text)
{
    AddLine(TableString("E_FAILED_INSTANT_MESSAGE"), CleanMessage(text ? CString(text) : CString()), ChatColour(0));
    ToolkitPlayWave(kWaveFailed);
}

void CMessengerWnd::GoToPartner()
{
    if (!g_pSession) {
        return;
    }
    short lobby = -1;
    short room = -1;
    if (g_pSession->QueryUserLocation(m_lUser, &lobby, &room) != kRequestAccepted) {
        ShowTableBox("HeisNotJoined");
    } else if (lobby == -1) {
        ShowTableBox("HeisJoinedMinimap");
    } else if (lobby == g_pSession->m_nCurrentLobby && room == g_pSession->m_nCurrentRoom) {
        ShowTableBox("AlreadyJoinedRoom");
    } else {
        CommunityPostToFrame(UM_ROOM_JOIN_RESULT,
                             (static_cast<WPARAM>(static_cast<WORD>(room)) << 16) | static_cast<WORD>(lobby), 0);
    }
}

void CMessengerWnd::PostClose()
{
    // Escape and a close button can both come before the frame acts: one close is enough.
    if (m_bClosePosted) {
        return;
    }
    m_bClosePosted = TRUE;
    if (!CommunityPostToFrame(CMainFrame::kChildClosed, 0, reinterpret_cast<LPARAM>(this))) {
        DestroyWindow();
    }
}

BOOL CMessengerWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) == EN_CHANGE && m_editMessage.GetSafeHwnd() &&
        reinterpret_cast<HWND>(lParam) == m_editMessage.m_hWnd) {
        // The line break the entry takes in after the Enter that already sent the line.
        CString text;
        m_editMessage.GetWindowText(text);
        if (text == "\r\n") {
            m_editMessage.SetWindowText("");
        }
        return TRUE;
    }
    switch (LOWORD(wParam)) {
    case ID_SEND: {
        CString text;
        m_editMessage.GetWindowText(text);
        m_editMessage.SetWindowText("");
        SendText(text);
        m_editMessage.SetFocus();
        return TRUE;
    }
    case ID_USER_INFO:
        if (CMainFrame* frame = CommunityMainFrame()) {
            frame->ShowAvatarInfoWnd(m_lUser);
        }
        return TRUE;
    case ID_GOTO_FRIEND: GoToPartner(); return TRUE;
    case ID_ADD_FRIEND:
        if (CMainFrame* frame = CommunityMainFrame()) {
            frame->RequestAddFriend(m_lUser);
        }
        return TRUE;
    case ID_CLOSE:
    case ID_CLOSE2: PostClose(); return TRUE;
    default: return CWnd::OnCommand(wParam, lParam);
    }
}

LRESULT CMessengerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_EDIT_ENTER) {
        const CString text = reinterpret_cast<LPCSTR>(lParam);
        // The entry keeps nothing once its line went: a second Enter must not send it again.
        m_editMessage.SetWindowText("");
        m_editMessage.m_strSent.Empty();
        SendText(text);
        m_editMessage.SetFocus();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CMessengerWnd::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_ESCAPE) {
        PostClose();
        return;
    }
    CWnd::OnKeyDown(key, repeat, flags);
}

void CMessengerWnd::OnSetFocus(CWnd* oldWnd)
{
    CWnd::OnSetFocus(oldWnd);
    if (m_editMessage.GetSafeHwnd()) {
        m_editMessage.SetFocus();
    }
}

// ---- Painting and dragging ----------------------------------------------------------------

BOOL CMessengerWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CMessengerWnd::PaintBands(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    BITMAP info{};
    if (!m_bmpImage.GetSafeHandle() || !m_bmpImage.GetBitmap(&info) || info.bmHeight < 3) {
        return;
    }
    CDC memory;
    memory.CreateCompatibleDC(dc);
    CBitmap* old = memory.SelectObject(&m_bmpImage);
    const int band = info.bmHeight / 3;
    const int bottom = info.bmHeight - 2 * band;
    dc->BitBlt(0, 0, info.bmWidth, band, &memory, 0, 0, SRCCOPY);
    for (int y = band; y < client.bottom - bottom; y += band) {
        const int height = std::min(band, static_cast<int>(client.bottom - bottom - y));
        dc->BitBlt(0, y, info.bmWidth, height, &memory, 0, band, SRCCOPY);
    }
    dc->BitBlt(0, client.bottom - bottom, info.bmWidth, bottom, &memory, 0, 2 * band, SRCCOPY);
    if (m_bmpImage0.GetSafeHandle()) {
        memory.SelectObject(&m_bmpImage0);
        dc->BitBlt(m_rcImage.left, m_rcImage.top, m_rcImage.Width(), m_rcImage.Height(), &memory, 0, 0, SRCCOPY);
    }
    memory.SelectObject(old);
}

void CMessengerWnd::OnPaint()
{
    CPaintDC dc(this);
    PaintBands(&dc);
    CFont* oldFont = nullptr;
    if (HFONT font = ToolkitGuiFont()) {
        oldFont = dc.SelectObject(CFont::FromHandle(font));
    }
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    CRect title = m_rcTitle;
    dc.DrawText(GetTitleText(), &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (oldFont) {
        dc.SelectObject(oldFont);
    }
}

void CMessengerWnd::OnLButtonDown(UINT flags, CPoint point)
{
    if (::PtInRect(&m_rcTitle, point)) {
        // The frame stands where it stands now: the window snaps beside it.
        CWnd* frame = GetOwner();
        m_snap.SetWindows(frame ? &frame : nullptr, frame ? 1 : 0);
        m_snap.BeginDrag(this, point.x, point.y);
    }
    CWnd::OnLButtonDown(flags, point);
}

void CMessengerWnd::OnLButtonUp(UINT flags, CPoint point)
{
    if (m_snap.IsDragging()) {
        m_snap.EndDrag(this);
    }
    CWnd::OnLButtonUp(flags, point);
}

void CMessengerWnd::OnMouseMove(UINT flags, CPoint point)
{
    if (m_snap.IsDragging()) {
        m_snap.OnDrag(this);
    }
    CWnd::OnMouseMove(flags, point);
}
