#include "FrameButton.h"

BOOL CFrameButton::CreateButton(CWnd* frame, CSkinElement* element, short state)
{
    m_nState = state;
    return element && CreatePopup(frame, element, 0);
}

void CFrameButton::SetState(short state)
{
    m_nState = state;
    if (GetSafeHwnd()) {
        Invalidate(TRUE);
        UpdateWindow();
    }
}

int CFrameButton::OnCreate(LPCREATESTRUCT cs)
{
    return CWnd::OnCreate(cs);
}

BOOL CFrameButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CFrameButton::OnPaint()
{
    CPaintDC dc(this);
    // A state outside the four columns would read beside the picture: nothing is drawn.
    if (m_nState >= 0 && m_nState <= 3) {
        CommunityDrawColumn(&dc, &m_bmpBack, m_nState, 4, FALSE);
    }
}

void CFrameButton::OnLButtonUp(UINT flags, CPoint point)
{
    if (CommunityFrameIsModal()) {
        return;
    }
    if (m_nState != kStateOff && m_nState != kStateUsed) {
        const int id = GetCommandId();
        if (id >= kFirstId && id <= kLastId) {
            CommunityPostToFrame(UM_VIEW_ACTION_0 + static_cast<UINT>(id - kFirstId), 0, 0);
        }
        m_nState = kStateUsed;
        Invalidate(TRUE);
    }
    CSkinWnd::OnLButtonUp(flags, point);
}
