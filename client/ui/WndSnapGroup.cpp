#include "WndSnapGroup.h"

namespace {

enum { LEFT, TOP, RIGHT, BOTTOM };

// The four edges of a rectangle grown by the snap distance: where another edge snaps to it.
void Zones(const RECT& r, RECT* zones)
{
    const int d = CWndSnapGroup::kSnap;
    zones[LEFT] = RECT{r.left - d, r.top - d, r.left + d, r.bottom + d};
    zones[TOP] = RECT{r.left - d, r.top - d, r.right + d, r.top + d};
    zones[RIGHT] = RECT{r.right - d, r.top - d, r.right + d, r.bottom + d};
    zones[BOTTOM] = RECT{r.left - d, r.bottom - d, r.right + d, r.bottom + d};
}

// The four one-pixel edge lines of a rectangle.
void Edges(const RECT& r, RECT* edges)
{
    edges[LEFT] = RECT{r.left, r.top, r.left + 1, r.bottom};
    edges[TOP] = RECT{r.left, r.top, r.right, r.top + 1};
    edges[RIGHT] = RECT{r.right - 1, r.top, r.right, r.bottom};
    edges[BOTTOM] = RECT{r.left, r.bottom - 1, r.right, r.bottom};
}

bool Meets(const RECT& a, const RECT& b)
{
    RECT both;
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

} // namespace

void CWndSnapGroup::Release()
{
    m_ppWnd.clear();
    m_pRects.clear();
    m_pZones.clear();
    m_nCount = -1;
}

void CWndSnapGroup::SetWindows(CWnd** windows, int count)
{
    Release();
    if (!windows || count < 0) {
        count = 0;
    }
    m_nCount = count;
    m_ppWnd.assign(windows, windows + count);
    m_pRects.resize(static_cast<size_t>(count));
    m_pZones.resize(static_cast<size_t>(count) * 4);
    for (int i = 0; i < count; ++i) {
        RECT r{0, 0, 0, 0};
        if (m_ppWnd[i] && m_ppWnd[i]->m_hWnd) {
            m_ppWnd[i]->GetWindowRect(&r);
        }
        m_pRects[i] = r;
        Zones(r, &m_pZones[static_cast<size_t>(i) * 4]);
    }
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &m_rcWork, 0);
    Zones(m_rcWork, m_rcWorkZone);
}

void CWndSnapGroup::BeginDrag(CWnd* wnd, int x, int y)
{
    if (!wnd) {
        return;
    }
    m_ptStart = POINT{x, y};
    m_bDragging = 1;
    wnd->GetClientRect(&m_rcClient);
    RECT window;
    wnd->GetWindowRect(&window);
    m_ptStartWnd = POINT{window.left, window.top};
    wnd->SetCapture();
}

void CWndSnapGroup::OnDrag(CWnd* wnd)
{
    if (!wnd) {
        return;
    }
    POINT cursor;
    ::GetCursorPos(&cursor);
    const int left = cursor.x - m_ptStart.x;
    const int top = cursor.y - m_ptStart.y;
    m_rcMove = RECT{left, top, left + (m_rcClient.right - m_rcClient.left), top + (m_rcClient.bottom - m_rcClient.top)};
    // The tests use the unmoved candidate's edges; the offsets add up on m_rcMove.
    RECT edges[4];
    Edges(m_rcMove, edges);
    for (int i = 0; i < m_nCount; ++i) {
        CWnd* other = m_ppWnd[static_cast<size_t>(i)];
        if (!other || !other->m_hWnd || other == wnd || !other->IsWindowVisible()) {
            continue;
        }
        RECT g;
        other->GetWindowRect(&g);
        const RECT* zones = &m_pZones[static_cast<size_t>(i) * 4];
        for (int k = 0; k < 4; ++k) {
            if (!Meets(edges[k], zones[(k + 2) % 4])) {
                continue;
            }
            int dx = 0;
            int dy = 0;
            if (k == LEFT || k == RIGHT) {
                dx = k == LEFT ? g.right - m_rcMove.left : g.left - m_rcMove.right;
                if (Meets(edges[TOP], zones[TOP])) {
                    dy = g.top - m_rcMove.top;
                }
                if (Meets(edges[BOTTOM], zones[BOTTOM])) {
                    dy = g.bottom - m_rcMove.bottom;
                }
            } else {
                dy = k == TOP ? g.bottom - m_rcMove.top : g.top - m_rcMove.bottom;
                if (Meets(edges[LEFT], zones[LEFT])) {
                    dx = g.left - m_rcMove.left;
                }
                if (Meets(edges[RIGHT], zones[RIGHT])) {
                    dx = g.right - m_rcMove.right;
                }
            }
            ::OffsetRect(&m_rcMove, dx, dy);
        }
    }
    for (int k = 0; k < 4; ++k) {
        if (!Meets(edges[k], m_rcWorkZone[k])) {
            continue;
        }
        switch (k) {
        case LEFT: ::OffsetRect(&m_rcMove, m_rcWork.left - m_rcMove.left, 0); break;
        case TOP: ::OffsetRect(&m_rcMove, 0, m_rcWork.top - m_rcMove.top); break;
        case RIGHT: ::OffsetRect(&m_rcMove, m_rcWork.right - m_rcMove.right, 0); break;
        default: ::OffsetRect(&m_rcMove, 0, m_rcWork.bottom - m_rcMove.bottom); break;
        }
    }
    wnd->MoveWindow(&m_rcMove, TRUE);
}

void CWndSnapGroup::EndDrag(CWnd* wnd)
{
    m_bDragging = 0;
    Release();
    if (wnd && ::GetCapture() == wnd->m_hWnd) {
        ::ReleaseCapture();
    }
}
