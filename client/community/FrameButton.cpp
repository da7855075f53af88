#include "FrameButton.h"

#include <SkinButton.h>

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
    BITMAP info{};
    CDC memory;
    // A state outside the four columns would read beside the picture: nothing is drawn.
    if (m_nState < 0 || m_nState > 3 || !m_bmpBack.GetSafeHandle() || !m_bmpBack.GetBitmap(&info) ||
        !memory.CreateCompatibleDC(&dc)) {
        return;
    }
    CBitmap* old = memory.SelectObject(&m_bmpBack);
    const int column = info.bmWidth / 4;
    DrawTransparent(&dc, 0, 0, column, info.bmHeight, &memory, m_nState * info.bmWidth / 4, 0, kSkinKeyColour);
    memory.SelectObject(old);
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
