#include "ItemGridWnd.h"

#include <ImageFile.h>
#include <NotifyDlg.h>
#include <ToolkitShared.h>

namespace {
const char kGridClass[] = "ItemGridWnd";
} // namespace

CItemGridWnd::CItemGridWnd()
{
    WNDCLASSA wc{};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kGridClass, &wc)) {
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.lpszClassName = kGridClass;
        ::RegisterClassA(&wc);
    }
    m_list.Attach(this, nullptr);
}

CItemGridWnd::~CItemGridWnd()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CItemGridWnd::Create(CWnd* parent, CSkinElement* element, LPCSTR picture, CSkinElement* buyElement,
                          CItemCatalog* catalog)
{
    if (!element) {
        return FALSE;
    }
    m_strPicturePath = ToolkitSkinFolder() + "\\" + (picture ? picture : "");
    m_bmpCell.DeleteObject();
    if (!picture || !*picture || !LoadBitmapFile(m_strPicturePath, &m_bmpCell, nullptr)) {
        ShowFileReadError(m_strPicturePath);
        return FALSE;
    }
    BITMAP info{};
    m_bmpCell.GetBitmap(&info);
    m_nCellHeight = info.bmHeight;
    m_pBuyElement = buyElement;
    m_pCatalog = catalog;
    m_list.Attach(this, catalog);
    return CreateEx(0, kGridClass, element->strTitle, WS_CHILD | WS_VISIBLE, element->rcRect, parent,
                    static_cast<UINT>(element->nID));
}

int CItemGridWnd::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    RECT client{};
    GetClientRect(&client);
    const RECT bar{client.right - kScrollBarWidth, 0, client.right, client.bottom};
    if (m_scrollBar.Create(bar, this, TRUE, this, ToolkitSkinFolder() + "\\scrollbar")) {
        m_scrollBar.ShowWindow(SW_SHOWNA);
        Layout();
    }
    return 0;
}

void CItemGridWnd::Layout()
{
    RECT client{};
    GetClientRect(&client);
    const int height = client.bottom - client.top;
    m_list.m_nPageSize = height / (m_nCellHeight + 1);
    const int fitted = (m_nCellHeight + 1) * m_list.m_nPageSize + 1;
    SetWindowPos(nullptr, 0, 0, client.right - client.left, fitted, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_scrollBar.SetWindowPos(nullptr, client.right - kScrollBarWidth, 0, kScrollBarWidth, fitted,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    m_rcCell = {1, 1, client.right - kScrollBarWidth - 1, 1 + m_nCellHeight};
    m_list.m_rcFirst = m_rcCell;
}

void CItemGridWnd::Fill(int gender, int category, int selection)
{
    m_nSelectedId = selection >= 0 ? selection + 1 : -1;
    m_list.Fill(gender, category, selection);
    const int position = selection < 0 ? 0 : selection;
    m_list.ShowPage(position);
    if (m_scrollBar.GetSafeHwnd()) {
        m_scrollBar.SetScrollPos(m_list.m_nTop);
    }
}

void CItemGridWnd::UpdateScrollBar()
{
    if (!m_scrollBar.GetSafeHwnd()) {
        return;
    }
    const int count = m_list.GetCount();
    if (m_list.m_nPageSize < count) {
        RECT client{};
        GetClientRect(&client);
        m_scrollBar.SetWindowPos(nullptr, client.right - kScrollBarWidth, 0, kScrollBarWidth, client.bottom,
                                 SWP_NOZORDER | SWP_NOACTIVATE);
        m_scrollBar.ShowWindow(SW_SHOWNA);
        m_scrollBar.SetScrollRange(0, count, m_list.m_nPageSize);
        m_scrollBar.SetScrollPos(m_list.m_nTop);
    } else {
        m_scrollBar.ShowWindow(SW_HIDE);
    }
}

ITEM_RECORD* CItemGridWnd::ItemOfCell(HWND cell) const
{
    const CItemCellWnd* found = m_list.FindCell(cell);
    return found ? found->GetItem() : nullptr;
}

void CItemGridWnd::Select(WPARAM id, HWND window)
{
    // A click posted by a cell of an earlier fill names no cell of this one.
    CItemCellWnd* clicked = m_list.FindCell(window);
    if (!clicked || clicked->GetCommandId() != id) {
        return;
    }
    if (m_nSelectedId != -1) {
        for (int i = 0; i < m_list.GetCount(); ++i) {
            CItemCellWnd* cell = m_list.GetCell(i);
            if (cell->m_bSelected) {
                cell->SetSelected(FALSE);
            }
        }
    }
    m_nSelectedId = static_cast<int>(id);
    m_list.m_nSelection = static_cast<int>(id) - 1;
    clicked->SetSelected(TRUE);
    if (CWnd* parent = GetParent()) {
        parent->SendMessage(UM_ITEM_CELL_CLICK, id, reinterpret_cast<LPARAM>(window));
    }
}

LRESULT CItemGridWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case UM_SCROLL_POS: m_list.ShowPage(static_cast<int>(wParam)); return 0;
    case UM_ITEM_CELL_CLICK: Select(wParam, reinterpret_cast<HWND>(lParam)); return 0;
    case UM_ITEM_CELL_DBLCLICK: return 0;
    case UM_ITEM_CELL_BUY:
        if (m_list.FindCell(reinterpret_cast<HWND>(lParam)) && GetParent()) {
            GetParent()->SendMessage(UM_ITEM_CELL_BUY, wParam, lParam);
        }
        return 0;
    default: return CWnd::WindowProc(message, wParam, lParam);
    }
}

BOOL CItemGridWnd::OnEraseBkgnd(CDC* dc)
{
    RECT client{};
    GetClientRect(&client);
    dc->FillSolidRect(&client, RGB(255, 255, 255));
    return TRUE;
}

void CItemGridWnd::OnPaint()
{
    ValidateRect(nullptr);
}

void CItemGridWnd::OnDestroy()
{
    m_list.Reset();
    m_bmpCell.DeleteObject();
    CWnd::OnDestroy();
}
