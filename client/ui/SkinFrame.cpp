#include "SkinFrame.h"

#include "ToolkitShared.h"
#include "WndSkin.h"

int CSkinFrame::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinWnd::OnCreate(cs) == -1) {
        return -1;
    }
    SetFont(CFont::FromHandle(ToolkitGuiFont()), TRUE);
    ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(ToolkitNormalCursor()));
    // Every frame's skin has its close button; a window that makes it itself finds it made.
    if (auto* skin = dynamic_cast<CWndSkin*>(m_pSkin); skin && skin->m_elCloseBtn.bmpImage.GetSafeHandle()) {
        CreateElementButton(&m_btnClose, &skin->m_elCloseBtn, this);
    }
    return 0;
}

void CSkinFrame::OnShowWindow(BOOL show, UINT status)
{
    CSkinWnd::OnShowWindow(show, status);
    if (!m_bPopup || m_bModeless) {
        return;
    }
    if (show) {
        SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ToolkitEnableChildren(this, FALSE);
    } else {
        ToolkitEnableChildren(this, TRUE);
    }
}

BOOL CSkinFrame::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == kFrameCloseCommand && HIWORD(wParam) == BN_CLICKED) {
        if (m_bCloseDestroys) {
            PostMessage(WM_CLOSE);
        } else {
            ShowWindow(SW_HIDE);
        }
        return TRUE;
    }
    return CSkinWnd::OnCommand(wParam, lParam);
}

void CSkinFrame::OnDestroy()
{
    CSkinWnd::OnDestroy();
    if (m_bPopup) {
        ToolkitEnableChildren(this, TRUE);
    }
}
