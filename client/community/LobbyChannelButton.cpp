#include "LobbyChannelButton.h"

BOOL CLobbyChannelButton::CreateButton(CWnd* frame, CSkinElement* element, LOBBY_VIEW_STATE* view)
{
    m_pView = view;
    return element && CreatePopup(frame, element, 0);
}

int CLobbyChannelButton::GetLobbyIndex() const
{
    const int id = GetCommandId();
    return id >= kFirstLobbyId && id <= kLastLobbyId ? id - kFirstLobbyId : -1;
}

int CLobbyChannelButton::OnCreate(LPCREATESTRUCT cs)
{
    // A picture of the main layout and nothing more: no skin of its own to load.
    return CWnd::OnCreate(cs);
}

BOOL CLobbyChannelButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CLobbyChannelButton::OnPaint()
{
    CPaintDC dc(this);
    const int lobby = GetLobbyIndex();
    const int lobbies = CommunityLobbyCount();
    if (lobby < 0) {
        CommunityDrawColumn(&dc, &m_bmpBack, 0, 1, TRUE);
        return;
    }
    // The whole picture from this lobby's column on; the window's own size shows one column. A
    // lobby beyond the count would read past the picture, so it draws nothing.
    if (lobby < lobbies) {
        CommunityDrawColumn(&dc, &m_bmpBack, lobby, lobbies, TRUE);
    }
    // Only an entrance has a lobby whose members could be counted; the board shows none.
    if (m_pView && m_pView->bShowUserCounts) {
        DrawUserCount(&dc, lobby);
    }
}

void CLobbyChannelButton::DrawUserCount(CDC* dc, int lobby)
{
    CFont bold;
    if (!CommunityCreateGuiFont(&bold, FW_BOLD)) {
        return;
    }
    CString text;
    text.Format("%d", CommunityLobbyUserCount(lobby));
    CFont* oldFont = dc->SelectObject(&bold);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    // White with black one pixel up and to the left over it: readable on any picture.
    const COLORREF oldColour = dc->SetTextColor(RGB(255, 255, 255));
    RECT rect = kCountRect;
    dc->DrawText(text, &rect, 0);
    dc->SetTextColor(RGB(0, 0, 0));
    ::OffsetRect(&rect, -1, -1);
    dc->DrawText(text, &rect, 0);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void CLobbyChannelButton::OnLButtonDown(UINT flags, CPoint point)
{
    if (CommunityFrameIsModal()) {
        return;
    }
    const int id = GetCommandId();
    if (id >= kFirstLobbyId && id <= kLastEnterId) {
        const int lobby = id - kFirstLobbyId;
        if (m_pView) {
            m_pView->nCurrentLobby = lobby;
        }
        CommunityPostToFrame(UM_SESSION_COMMAND, MAKEWPARAM(CMD_MAP_PATH_A, lobby), 0);
    }
    CSkinWnd::OnLButtonDown(flags, point);
}
