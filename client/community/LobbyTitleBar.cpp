#include "LobbyTitleBar.h"

CLobbyTitleBar::CLobbyTitleBar() : CSkinWnd(new CLobbyTitleSkin) {}

BOOL CLobbyTitleBar::CreateBar(CWnd* frame, CSkinElement* element, LOBBY_VIEW_STATE* view)
{
    m_pView = view;
    return element && CreatePopup(frame, element, 0);
}

void CLobbyTitleBar::SetUserCount(int count)
{
    m_nUserCount = count;
    if (GetSafeHwnd()) {
        Invalidate(FALSE);
    }
}

CString CLobbyTitleBar::GetTitleText() const
{
    CString text;
    text.Format("%s :%ld", m_pElement ? m_pElement->strTitle.GetString() : "", static_cast<long>(m_nUserCount));
    return text;
}

int CLobbyTitleBar::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinWnd::OnCreate(cs) == -1) {
        return -1;
    }
    CLobbyTitleSkin* skin = GetTitleSkin();
    for (int i = 0; i < CLobbyTitleSkin::kButtonCount; ++i) {
        CreateElementButton(&m_btnButtons[i], &skin->m_elements[i], this);
    }
    CSkinElement& title = skin->m_elements[CLobbyTitleSkin::LOBBY_TITLE];
    if (title.bmpImage.GetSafeHandle()) {
        m_bmpTitle.Attach(title.bmpImage.Detach());
    }
    m_rcTitle = title.rcRect;
    BITMAP info{};
    if (m_bmpTitle.GetSafeHandle() && m_bmpTitle.GetBitmap(&info)) {
        m_nTitleWidth = info.bmWidth;
        m_nTitleHeight = info.bmHeight;
    }
    return 0;
}

BOOL CLobbyTitleBar::OnEraseBkgnd(CDC*)
{
    return FALSE;
}

void CLobbyTitleBar::OnPaint()
{
    CPaintDC dc(this);
    DrawBackground(&dc, &m_bmpBack, 3);
    const int lobbies = CommunityLobbyCount();
    if (lobbies <= 0) {
        return;
    }
    const int column = m_nTitleWidth / lobbies;
    const int lobby = CurrentLobby();
    CDC memory;
    // A lobby outside the plaques (none chosen yet) shows no plaque rather than a stray column.
    if (lobby >= 0 && lobby < lobbies && m_bmpTitle.GetSafeHandle() && memory.CreateCompatibleDC(&dc)) {
        CBitmap* old = memory.SelectObject(&m_bmpTitle);
        dc.BitBlt(m_rcTitle.left, m_rcTitle.top, column, m_nTitleHeight, &memory, lobby * column, 0, SRCCOPY);
        memory.SelectObject(old);
    }
    DrawTitle(&dc, column);
}

void CLobbyTitleBar::DrawTitle(CDC* dc, int column)
{
    CFont font;
    const int height = -MulDiv(kTitlePoints, dc->GetDeviceCaps(LOGPIXELSY), 72);
    if (!CommunityCreateGuiFont(&font, FW_BOLD, height)) {
        return;
    }
    CFont* oldFont = dc->SelectObject(&font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const int top = m_rcTitle.top + m_nTitleHeight;
    RECT rect{m_rcTitle.left, top + 8, m_rcTitle.left + column, top + 24};
    dc->DrawText(GetTitleText(), &rect, 0);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

BOOL CLobbyTitleBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kCommandMake: CommunityPostToFrame(UM_ROOM_DIALOG, 0, 0); return TRUE;
    case kCommandSearch: CommunityPostToFrame(UM_SHOW_SUB_WINDOW, 0, 0); return TRUE;
    case kCommandBack: CommunityPostToFrame(UM_SESSION_COMMAND, CMD_MAP_PATH_B, 0); return TRUE;
    case kCommandJoin: {
        // Without a lobby there is nothing to enter: the session would be asked for lobby -1.
        const int lobby = CurrentLobby();
        if (lobby >= 0 && lobby < CommunityLobbyCount()) {
            CommunityPostToFrame(UM_SESSION_COMMAND, MAKEWPARAM(CMD_ENTER_LOBBY, lobby), 0);
        }
        return TRUE;
    }
    default: return CSkinWnd::OnCommand(wParam, lParam);
    }
}

void CLobbyTitleBar::OnDestroy()
{
    CSkinWnd::OnDestroy();
    m_bmpTitle.DeleteObject();
    m_nTitleWidth = m_nTitleHeight = 0;
}
