#pragma once
// A lobby entrance on the map: one column of the shared entrance picture, picked by the lobby
// its id names (ids 240-245 are lobbies 0-5), with the lobby's member count over it while the
// 3D view's "/usercount" switch is on. A click sends the view flying to that lobby. The same
// class with any other id shows its whole picture: the board behind the entrances.
#include "CommunityShared.h"

#include <SkinWnd.h>

class CLobbyChannelButton : public CSkinWnd {
public:
    static constexpr int kFirstLobbyId = 240;
    static constexpr int kLastEnterId = 244; // the last id a click enters
    static constexpr int kLastLobbyId = 245; // the last id painted as a lobby's column
    static constexpr RECT kCountRect{18, 4, 100, 17};

    CLobbyChannelButton() = default;

    // A hidden popup owned by the frame, at the element's rectangle from the frame's corner,
    // showing the element's picture; `view` is the 3D view's part (kept, not owned).
    BOOL CreateButton(CWnd* frame, CSkinElement* element, LOBBY_VIEW_STATE* view);
    // The skin id: it decides the role.
    int GetCommandId() const { return m_pElement ? m_pElement->nID : 0; }
    // The lobby whose column this button paints, or -1 for the board.
    int GetLobbyIndex() const;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;

private:
    void DrawUserCount(CDC* dc, int lobby);

    LOBBY_VIEW_STATE* m_pView = nullptr;
};
