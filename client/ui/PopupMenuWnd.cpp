#include "PopupMenuWnd.h"

#include "PopupMenuList.h"
#include "ToolkitShared.h"

#include <algorithm>

namespace {

constexpr int kScrollStrip = 18;

} // namespace

CPopupMenuWnd::~CPopupMenuWnd()
{
    if (m_hWnd) {
        DestroyWindow();
    }
    ReleaseBackground();
}

BOOL CPopupMenuWnd::Create(const RECT& rect, CWnd* owner, LPCSTR section, BOOL popup)
{
    m_rcWindow = rect;
    m_hOwnerWnd = HwndOf(owner);
    m_strSection = section;
    m_bPopup = popup ? TRUE : FALSE;
    m_items.SetFirstShown(0);
    const DWORD style = m_bPopup ? (WS_POPUP | WS_VISIBLE) : (WS_CHILD | WS_VISIBLE);
    return CreateEx(0, AfxRegisterWndClass(0), "", style, rect, owner, 0);
}

int CPopupMenuWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    if (m_scrollBar.Create(CRect(0, 0, 10, 10), this, TRUE, this, ToolkitSkinFolder() + "\\scrollbar")) {
        m_bScrollBarCreated = TRUE;
    }
    return 0;
}

void CPopupMenuWnd::TrackPopup(const CString& skinFolder, LPCSTR iniName)
{
    Show(skinFolder + "\\" + iniName);
}

BOOL CPopupMenuWnd::LoadMenu(LPCSTR iniPath, LPCSTR section)
{
    m_strIniPath = iniPath;
    if (section) {
        m_strSection = section;
    }
    return m_def.Load(m_strIniPath, m_strSection);
}

void CPopupMenuWnd::Show(LPCSTR iniPath)
{
    if (LoadMenu(iniPath, nullptr) && m_hWnd) {
        ReleaseBackground();
        BITMAP back{};
        if (m_def.m_bmpBack.GetSafeHandle() && m_def.m_bmpBack.GetBitmap(&back)) {
            CClientDC screen(this);
            if (m_dcMem.CreateCompatibleDC(&screen)) {
                m_hOldBitmap = m_dcMem.SelectObject(m_def.m_bmpBack.GetSafeHandle());
                m_nBackWidth = back.bmWidth;
                m_nBackHeight = back.bmHeight;
            }
        }
        m_items.Build(this, m_def);
        m_bLoaded = TRUE;
        SizeToMenu();
    }
    if (m_hWnd) {
        Invalidate(TRUE);
    }
}

void CPopupMenuWnd::SizeToMenu()
{
    const int rows = m_def.m_nVisibleItem ? m_def.m_nVisibleItem : m_def.m_nCount;
    int width = std::max<int>(m_def.m_ptMenuSize.x, m_def.m_nItemWidth);
    if (m_def.m_nVisibleItem) {
        width += kScrollStrip;
    }
    // The items start below the background's top band, or one item height down without one;
    // the window leaves room for that margin either way, so the last item is never cut off.
    const int band = m_nBackHeight / 3 > 0 ? m_nBackHeight / 3 : m_def.m_nItemHeight;
    const int height = band + rows * (m_def.m_nItemHeight + 1) + 1;
    SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_rcScrollBar = CRect(width - kScrollStrip, band, width, band + rows * (m_def.m_nItemHeight + 1));
    if (m_def.m_nVisibleItem > 0 && m_def.m_nVisibleItem < m_def.m_nCount) {
        m_scrollBar.MoveWindow(&m_rcScrollBar, TRUE);
        m_scrollBar.ShowWindow(SW_SHOW);
        m_scrollBar.SetScrollRange(0, m_def.m_nCount, m_def.m_nVisibleItem);
    } else {
        m_scrollBar.ShowWindow(SW_HIDE);
    }
}

void CPopupMenuWnd::ScrollToItem(int n)
{
    if (n < 0) {
        n = m_nCurItem;
    }
    m_items.ShowFrom(n);
    if (m_scrollBar.m_hWnd) {
        m_scrollBar.SetScrollPos(std::min(n, m_scrollBar.m_nMax));
    }
}

void CPopupMenuWnd::ReleaseBackground()
{
    if (m_dcMem.GetSafeHdc()) {
        m_dcMem.SelectObject(m_hOldBitmap);
        m_dcMem.DeleteDC();
    }
    m_hOldBitmap = nullptr;
    m_nBackWidth = m_nBackHeight = 0;
}

BOOL CPopupMenuWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CPopupMenuWnd::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bLoaded) {
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(&client, RGB(0, 128, 0));
        return;
    }
    DrawBackground(dc, 0, 0);
}

void CPopupMenuWnd::DrawBackground(CDC& dc, int dx, int dy)
{
    const int band = m_nBackHeight / 3;
    // Without a usable background there are no bands to lay; the items still draw.
    if (!m_dcMem.GetSafeHdc() || band <= 0) {
        return;
    }
    CRect client;
    GetClientRect(&client);
    const int width = client.Width();
    const int height = client.Height();
    const int count = height / band + 1;
    auto bandAt = [&](int y, int sourceY) {
        if (m_nBackWidth == width) {
            dc.BitBlt(dx, y + dy, width, band, &m_dcMem, 0, sourceY, SRCCOPY);
            return;
        }
        dc.BitBlt(dx, y + dy, 4, band, &m_dcMem, 0, sourceY, SRCCOPY);
        dc.BitBlt(dx + width - 4, y + dy, 4, band, &m_dcMem, m_nBackWidth - 4, sourceY, SRCCOPY);
        if (width > 8) {
            dc.StretchBlt(dx + 4, y + dy, width - 8, band, &m_dcMem, 4, sourceY, 1, band, SRCCOPY);
        }
    };
    bandAt(0, 0);
    for (int i = 0; i < count; ++i) {
        bandAt(band + i * band, band);
    }
    bandAt(height - band, 2 * band);
}

void CPopupMenuWnd::OnKillFocus(CWnd* newWnd)
{
    CWnd::OnKillFocus(newWnd);
    if (m_bPopup) {
        DestroyWindow();
    }
}

LRESULT CPopupMenuWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_POPUP_ITEM_UP:
        m_nCurItem = LOWORD(wParam);
        ::PostMessageA(m_hOwnerWnd, UM_POPUP_PICK, (static_cast<WPARAM>(m_nMenuId) << 16) | m_nCurItem, lParam);
        DestroyWindow();
        return 0;
    case UM_SCROLL_POS: m_items.ShowFrom(static_cast<int>(wParam)); return 0;
    case UM_POPUP_IGNORED: return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

void CPopupMenuWnd::OnDestroy()
{
    CWnd::OnDestroy();
    if (m_bLoaded) {
        m_items.RemoveAll();
        ReleaseBackground();
        m_bLoaded = FALSE;
    }
    m_bScrollBarCreated = FALSE;
}
