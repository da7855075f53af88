#pragma once
// Drags a borderless window with the mouse and snaps it flush inside the work area's edges and,
// when the group holds other windows, against their outer edges with aligned sides. The window
// forwards its left-button-down (inside its drag area), mouse-move and left-button-up here.
#include <afxwin.h>

#include <vector>

class CWndSnapGroup {
public:
    // How near (in pixels, each side of an edge) an edge must come to snap.
    static constexpr int kSnap = 12;

    CWndSnapGroup() = default;
    virtual ~CWndSnapGroup() = default;

    // The windows to snap to (not owned) as they stand now, and the work area.
    void SetWindows(CWnd** windows, int count);
    // (x, y): the button-down in the window's client coordinates.
    void BeginDrag(CWnd* wnd, int x, int y);
    void OnDrag(CWnd* wnd);
    void EndDrag(CWnd* wnd);
    int IsDragging() const { return m_bDragging; }

    const RECT& WorkArea() const { return m_rcWork; }

private:
    void Release();

    RECT m_rcClient{0, 0, 0, 0};
    std::vector<CWnd*> m_ppWnd;
    std::vector<RECT> m_pRects;
    POINT m_ptStartWnd{0, 0};
    int m_bDragging = 0;
    int m_nCount = -1;
    POINT m_ptStart{-1, -1};
    RECT m_rcWork{0, 0, 0, 0};
    RECT m_rcWorkZone[4]{};
    std::vector<RECT> m_pZones; // four per group window: left, top, right, bottom
    RECT m_rcMove{0, 0, 0, 0};
};
