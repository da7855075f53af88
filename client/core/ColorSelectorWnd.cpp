#include "ColorSelectorWnd.h"

#include <algorithm>

BOOL CColorSwatch::Create(const RECT& rect, CWnd* parent, UINT id, COLORREF colour)
{
    m_crColour = colour;
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

BOOL CColorSwatch::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

LRESULT CColorSwatch::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A swatch is a plain picture: its button releases are the popup's, at the same place.
    if (message == WM_LBUTTONUP && GetParent()) {
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        MapWindowPoints(GetParent(), &point, 1);
        return GetParent()->SendMessage(WM_LBUTTONUP, wParam, MAKELPARAM(point.x, point.y));
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CColorSwatch::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CBrush brush(m_crColour);
    dc.FillRect(&client, &brush);
}

BOOL CColorSelectorWnd::Open(const RECT& rect, CWnd* owner, int current, const COLORREF* colours, int count)
{
    m_hOwner = owner ? owner->GetSafeHwnd() : nullptr;
    m_nCurrent = current;
    m_pColours = colours;
    m_nCount = std::min(count, kColumns * kRows);
    if (!CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, rect, owner, 0)) {
        return FALSE;
    }
    SetFocus();
    return TRUE;
}

CRect CColorSelectorWnd::SwatchRect(int index) const
{
    const int column = index % kColumns;
    const int row = index / kColumns;
    const int x = kGap + column * (m_nSwatch + kGap);
    const int y = kGap + row * (m_nSwatch + kGap);
    return CRect(x, y, x + m_nSwatch, y + m_nSwatch);
}

int CColorSelectorWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    CRect client;
    GetClientRect(&client);
    // A skin's width below the gaps would give no swatch at all: each is a pixel at least.
    m_nSwatch = std::max(1, (client.Width() - 4 * kGap) / kColumns);
    for (int i = 0; i < m_nCount; ++i) {
        m_swatches[i].Create(SwatchRect(i), this, static_cast<UINT>(i), m_pColours[i]);
    }
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(nullptr, 0, 0, 4 * kGap + kColumns * m_nSwatch, 6 * kGap + kRows * m_nSwatch,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

BOOL CColorSelectorWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CColorSelectorWnd::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, kBackground);
    if (m_nCurrent >= 0 && m_nCurrent < m_nCount) {
        CRect mark = SwatchRect(m_nCurrent);
        mark.InflateRect(1, 1);
        CBrush white(RGB(255, 255, 255));
        dc.FrameRect(&mark, &white);
    }
}

int CColorSelectorWnd::SwatchAt(CPoint point) const
{
    for (int i = 0; i < m_nCount; ++i) {
        if (SwatchRect(i).PtInRect(point)) {
            return i;
        }
    }
    return -1;
}

void CColorSelectorWnd::PickAt(CPoint point)
{
    const int index = SwatchAt(point);
    if (index < 0) {
        return;
    }
    m_nCurrent = index;
    if (m_hOwner) {
        ::PostMessageA(m_hOwner, UM_COLOR_PICK, static_cast<WPARAM>(index), 0);
    }
    Invalidate(TRUE);
}

void CColorSelectorWnd::OnLButtonDown(UINT flags, CPoint point)
{
    if (SwatchAt(point) < 0) {
        SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
        return;
    }
    CWnd::OnLButtonDown(flags, point);
}

void CColorSelectorWnd::OnLButtonUp(UINT flags, CPoint point)
{
    PickAt(point);
    CWnd::OnLButtonUp(flags, point);
}

void CColorSelectorWnd::OnKillFocus(CWnd* newWnd)
{
    CWnd::OnKillFocus(newWnd);
    DestroyWindow();
}

void CColorSelectorWnd::OnDestroy()
{
    CWnd::OnDestroy();
    m_hOwner = nullptr;
}
