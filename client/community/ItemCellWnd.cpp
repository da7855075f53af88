#include "ItemCellWnd.h"

#include "CommunityShared.h"

#include <ItemCatalog.h>

namespace {
const char kCellClass[] = "ItemCellWnd";
const RECT kNameRect{48, 8, 250, 24};
const RECT kPriceRect{62, 28, 264, 44};
constexpr int kItemInset = 3;
} // namespace

CItemCellWnd::CItemCellWnd()
{
    WNDCLASSA wc{};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kCellClass, &wc)) {
        // Double clicks reach the cell as such.
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = AfxGetInstanceHandle();
        wc.lpszClassName = kCellClass;
        ::RegisterClassA(&wc);
    }
}

CItemCellWnd::~CItemCellWnd()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CItemCellWnd::CreateCell(CWnd* grid, UINT id, POINT origin, ITEM_RECORD* item, HBITMAP itemPicture, int x, int y,
                              HBITMAP cellPicture, CSkinElement* buyElement)
{
    BITMAP info{};
    if (!cellPicture || !::GetObjectA(cellPicture, sizeof info, &info)) {
        return FALSE;
    }
    m_hCellPicture = cellPicture;
    m_nColumnWidth = info.bmWidth / kStateColumns;
    m_nHeight = info.bmHeight;
    m_hItemPicture = itemPicture;
    m_nItemX = x;
    m_nItemY = y;
    m_pItem = item;
    m_nId = id;
    const RECT rect{origin.x, origin.y, origin.x + m_nColumnWidth, origin.y + m_nHeight};
    if (!CreateEx(0, kCellClass, item ? item->szName : "", WS_CHILD, rect, grid, id)) {
        return FALSE;
    }
    CommunityCreateGuiFont(&m_font, FW_NORMAL,
                           -MulDiv(9, ::GetDeviceCaps(CClientDC(this).GetSafeHdc(), LOGPIXELSY), 72));
    if (buyElement && buyElement->bmpImage.GetSafeHandle()) {
        m_nBuyId = buyElement->nID > 0 ? static_cast<UINT>(buyElement->nID) : kBuyCommand;
        m_btnBuy.SetBitmap(static_cast<HBITMAP>(buyElement->bmpImage.GetSafeHandle()));
        m_btnBuy.Create(buyElement->strTitle, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, buyElement->rcRect, this, m_nBuyId);
        m_btnBuy.SizeToBitmap();
    }
    return TRUE;
}

int CItemCellWnd::BackgroundColumn() const
{
    if (m_hWnd && !IsWindowEnabled()) {
        return COLUMN_PRESSED;
    }
    if (m_bSelected) {
        return COLUMN_SELECTED;
    }
    if (m_bHover) {
        return m_bPressed ? COLUMN_PRESSED : COLUMN_HOVER;
    }
    return COLUMN_NORMAL;
}

void CItemCellWnd::SetSelected(BOOL selected)
{
    m_bSelected = selected ? 1 : 0;
    if (m_hWnd) {
        Invalidate(FALSE);
    }
}

void CItemCellWnd::OnPaint()
{
    CPaintDC dc(this);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    HGDIOBJ old = ::SelectObject(memory.GetSafeHdc(), m_hCellPicture);
    dc.BitBlt(0, 0, m_nColumnWidth, m_nHeight, &memory, BackgroundColumn() * m_nColumnWidth, 0, SRCCOPY);
    if (m_hItemPicture) {
        ::SelectObject(memory.GetSafeHdc(), m_hItemPicture);
        dc.BitBlt(kItemInset, kItemInset, kItemCellSize, kItemCellSize, &memory, m_nItemX, m_nItemY, SRCCOPY);
    }
    ::SelectObject(memory.GetSafeHdc(), old);
    if (!m_pItem) {
        return;
    }
    CFont* oldFont = dc.SelectObject(&m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    RECT name = kNameRect;
    dc.DrawText(m_pItem->szName, &name, DT_SINGLELINE | DT_NOPREFIX);
    CString price;
    price.Format("%d", m_pItem->nPrice);
    RECT priceRect = kPriceRect;
    dc.DrawText(price, &priceRect, DT_SINGLELINE | DT_NOPREFIX);
    dc.SelectObject(oldFont);
}

BOOL CItemCellWnd::OverBuyButton(CPoint point)
{
    if (!m_btnBuy.GetSafeHwnd()) {
        return FALSE;
    }
    RECT button{};
    m_btnBuy.GetWindowRect(&button);
    ClientToScreen(&point);
    return ::PtInRect(&button, point);
}

void CItemCellWnd::Tell(UINT message)
{
    if (CWnd* grid = GetParent()) {
        grid->PostMessage(message, m_nId, reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void CItemCellWnd::EndHover()
{
    if (GetCapture() == this) {
        ::ReleaseCapture();
    }
    m_bHover = 0;
    m_bPressed = 0;
}

void CItemCellWnd::OnMouseMove(UINT flags, CPoint point)
{
    const BYTE hover = m_bHover;
    const BYTE pressed = m_bPressed;
    if (OverBuyButton(point)) {
        // The button takes the mouse: the cell lets go of it.
        EndHover();
    } else if (m_bHover) {
        RECT client{};
        GetClientRect(&client);
        if (!::PtInRect(&client, point)) {
            EndHover();
        } else if (GetCapture() != this) {
            // After a click let the capture go, the cell keeps watching for the mouse leaving.
            SetCapture();
        }
    } else {
        SetCapture();
        m_bHover = 1;
    }
    if (hover != m_bHover || pressed != m_bPressed) {
        Invalidate(FALSE);
    }
    CWnd::OnMouseMove(flags, point);
}

void CItemCellWnd::OnLButtonDown(UINT flags, CPoint point)
{
    if (!OverBuyButton(point)) {
        m_bPressed = 1;
        SetCapture();
        Invalidate(FALSE);
    }
    CWnd::OnLButtonDown(flags, point);
}

void CItemCellWnd::OnLButtonUp(UINT flags, CPoint point)
{
    if (!OverBuyButton(point)) {
        m_bPressed = 0;
        if (GetCapture() == this) {
            ::ReleaseCapture();
            Tell(UM_ITEM_CELL_CLICK);
        }
        Invalidate(FALSE);
    }
    CWnd::OnLButtonUp(flags, point);
}

void CItemCellWnd::OnLButtonDblClk(UINT flags, CPoint point)
{
    if (GetCapture() == this) {
        Tell(UM_ITEM_CELL_DBLCLICK);
    }
    Invalidate(FALSE);
    CWnd::OnLButtonDblClk(flags, point);
}

BOOL CItemCellWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == m_nBuyId) {
        Tell(UM_ITEM_CELL_BUY);
        return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
}

void CItemCellWnd::OnDestroy()
{
    if (GetCapture() == this) {
        ::ReleaseCapture();
    }
    // The pictures belong to the grid and the catalogue.
    m_hCellPicture = nullptr;
    m_hItemPicture = nullptr;
    m_font.DeleteObject();
    CWnd::OnDestroy();
}
