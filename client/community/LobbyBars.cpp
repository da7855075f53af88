#include "LobbyBars.h"

#include <MainSkin.h>

const char* const CLobbyBars::kGameSections[GAME_BUTTON_COUNT] = {"PathFollow_StartButton", "PathFollow_HintButton",
                                                                  "PathFollow_RetireButton", "PathFollow_ReadyButton"};

BOOL CLobbyBars::Create(CWnd* frame, CMainSkin* skin, int lobbyCount, LOBBY_VIEW_STATE* view)
{
    if (!skin || lobbyCount < 1) {
        return FALSE;
    }
    // The board first: a window made later lies above the earlier ones, and the entrances stand
    // on the board.
    BOOL made = m_board.CreateButton(frame, skin->Element("EntranceBoard"), view);
    for (int i = 0; i < lobbyCount; ++i) {
        CString section;
        section.Format("EntranceButton%d", i + 1);
        CSkinElement* element = skin->Element(section);
        if (!element) {
            break;
        }
        auto channel = std::make_unique<CLobbyChannelButton>();
        made &= channel->CreateButton(frame, element, view);
        m_channels.push_back(std::move(channel));
    }
    made &= m_titleBar.CreateBar(frame, skin->Element("WND_LOBBY"), view);
    for (int i = 0; i < GAME_BUTTON_COUNT; ++i) {
        const short state = i == GAME_HINT || i == GAME_RETIRE ? CFrameButton::kStateOff : CFrameButton::kStateOn;
        made &= m_gameButtons[i].CreateButton(frame, skin->Element(kGameSections[i]), state);
    }
    return made;
}

template <typename Visit>
void CLobbyBars::ForEachBar(Visit visit)
{
    for (auto& channel : m_channels) {
        visit(static_cast<CSkinWnd&>(*channel));
    }
    visit(static_cast<CSkinWnd&>(m_board));
    visit(static_cast<CSkinWnd&>(m_titleBar));
    for (CFrameButton& button : m_gameButtons) {
        visit(static_cast<CSkinWnd&>(button));
    }
}

void CLobbyBars::Place(CWnd* frame)
{
    if (!frame || !frame->GetSafeHwnd()) {
        return;
    }
    RECT corner;
    frame->GetWindowRect(&corner);
    ForEachBar([&](CSkinWnd& bar) {
        if (bar.GetSafeHwnd() && bar.m_pElement) {
            const RECT& r = bar.m_pElement->rcRect;
            bar.SetWindowPos(nullptr, corner.left + r.left, corner.top + r.top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    });
}

void CLobbyBars::Show(CWnd& window, BOOL show)
{
    // Shown without activation, so the frame keeps the keyboard for the chat.
    if (window.GetSafeHwnd()) {
        window.ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    }
}

void CLobbyBars::ShowEntrance(int show)
{
    for (auto& channel : m_channels) {
        Show(*channel, show != SW_HIDE);
    }
    Show(m_board, show != SW_HIDE);
}

void CLobbyBars::ShowForLocation(int location, BOOL partyGameRoom)
{
    ShowEntrance(location == LOC_MINIMAP ? SW_SHOW : SW_HIDE);
    if (location == LOC_LOBBY_SELECTED) {
        m_titleBar.SetUserCount(CommunityLobbyUserCount(CommunityChosenLobby()));
    }
    Show(m_titleBar, location == LOC_LOBBY_SELECTED);
    const BOOL host = partyGameRoom && location == LOC_ROOM_HOST;
    const BOOL guest = partyGameRoom && location == LOC_ROOM;
    Show(m_gameButtons[GAME_START], host);
    Show(m_gameButtons[GAME_HINT], host || guest);
    Show(m_gameButtons[GAME_RETIRE], host || guest);
    Show(m_gameButtons[GAME_READY], guest);
}

void CLobbyBars::EnableTitleBar(BOOL enable)
{
    if (m_titleBar.GetSafeHwnd() && m_titleBar.IsWindowVisible()) {
        m_titleBar.EnableWindow(enable);
    }
}
