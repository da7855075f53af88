#pragma once
// The bar over the 3D view while the member stands before a lobby: the lobby's plaque, the
// bar's title with the lobby's member count under it ("Lobby :12"), and four buttons that make
// a room, search rooms, go back to the map and enter the lobby. Each button is handed to the
// main frame as a message; the bar itself changes nothing.
#include "CommunityShared.h"
#include "LobbyTitleSkin.h"

#include <SkinWnd.h>
#include <SoundButton.h>

class CLobbyTitleBar : public CSkinWnd {
public:
    static constexpr UINT kCommandMake = 500;
    static constexpr UINT kCommandSearch = 501;
    static constexpr UINT kCommandBack = 502;
    static constexpr UINT kCommandJoin = 503;
    static constexpr int kTitlePoints = 12;

    CLobbyTitleBar();

    // A hidden popup owned by the frame, at the element's rectangle from the frame's corner;
    // `view` is the 3D view's part (kept, not owned). False when the bar's skin or its
    // background does not load.
    BOOL CreateBar(CWnd* frame, CSkinElement* element, LOBBY_VIEW_STATE* view);
    // The count written after the title; the frame sets it whenever it shows the bar.
    void SetUserCount(int count);
    int GetUserCount() const { return m_nUserCount; }
    // What the bar writes under the plaque: its title, a blank, a colon and the count.
    CString GetTitleText() const;
    CLobbyTitleSkin* GetTitleSkin() const { return static_cast<CLobbyTitleSkin*>(m_pSkin); }

    CSoundButton m_btnButtons[CLobbyTitleSkin::kButtonCount];
    CBitmap m_bmpTitle; // the plaques, taken over from the LobbyTitle element
    int m_nTitleWidth = 0;
    int m_nTitleHeight = 0;
    RECT m_rcTitle{0, 0, 0, 0};

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;

private:
    int CurrentLobby() const { return m_pView ? m_pView->nCurrentLobby : -1; }
    void DrawTitle(CDC* dc, int column);

    LOBBY_VIEW_STATE* m_pView = nullptr;
    int m_nUserCount = -1;
};
