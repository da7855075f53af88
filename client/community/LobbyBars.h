#pragma once
// The main frame's lobby bars as one set: the lobby entrances with their board, the lobby title
// bar and the four party-game buttons. They are popups owned by the frame that follow it when it
// moves, and which of them shows depends on where the member is.
#include "FrameButton.h"
#include "LobbyChannelButton.h"
#include "LobbyTitleBar.h"

#include <memory>
#include <vector>

class CMainSkin;

class CLobbyBars {
public:
    // The party-game buttons in the frame's order, each with its element and first state.
    enum { GAME_START, GAME_HINT, GAME_RETIRE, GAME_READY, GAME_BUTTON_COUNT };
    static const char* const kGameSections[GAME_BUTTON_COUNT];

    CLobbyBars() = default;
    CLobbyBars(const CLobbyBars&) = delete;
    CLobbyBars& operator=(const CLobbyBars&) = delete;

    // Makes every bar from the main layout, hidden: one entrance per lobby ("EntranceButton1"
    // onward, as far as the layout has them), "EntranceBoard", "WND_LOBBY" and the four
    // "PathFollow_" buttons (hint and retire off, the others on). False when the lobby count is
    // below 1 (nothing is made) or a window could not be made (the others stay).
    BOOL Create(CWnd* frame, CMainSkin* skin, int lobbyCount, LOBBY_VIEW_STATE* view);
    // Puts every bar at the frame's corner plus its element's rectangle (after the frame moved).
    void Place(CWnd* frame);
    // 10 the entrances; 11 the title bar with the chosen lobby's member count; 13 and 14 in a
    // party-game room the game buttons of the host (start, hint, retire) or the guest (hint,
    // retire, ready); anywhere else nothing.
    void ShowForLocation(int location, BOOL partyGameRoom);
    // Shows (SW_SHOW) or hides (SW_HIDE) the entrances and their board.
    void ShowEntrance(int show);
    // The title bar follows the frame's children being switched off and on while it shows.
    void EnableTitleBar(BOOL enable);

    int GetChannelCount() const { return static_cast<int>(m_channels.size()); }
    CLobbyChannelButton& Channel(int index) { return *m_channels.at(static_cast<size_t>(index)); }
    CLobbyChannelButton& Board() { return m_board; }
    CLobbyTitleBar& TitleBar() { return m_titleBar; }
    CFrameButton& GameButton(int index) { return m_gameButtons[index]; }

private:
    template <typename Visit>
    void ForEachBar(Visit visit);
    static void Show(CWnd& window, BOOL show);

    std::vector<std::unique_ptr<CLobbyChannelButton>> m_channels;
    CLobbyChannelButton m_board;
    CLobbyTitleBar m_titleBar;
    CFrameButton m_gameButtons[GAME_BUTTON_COUNT];
};
