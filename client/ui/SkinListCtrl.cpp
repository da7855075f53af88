#include "SkinListCtrl.h"

#include "ToolkitShared.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kScrollStrip = 18;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kDefaultSelection = 0xFF0000;
// "Gulim", the Korean system font, as its name is stored in code page 949.
constexpr char kListFontFace[] = "\xB1\xBC\xB8\xB2";

} // namespace

CSkinListCtrl::~CSkinListCtrl()
{
    if (m_hWnd) {
        DestroyWindow();
    }
    DeleteAllItems();
    if (m_dcMem.GetSafeHdc()) {
        m_dcMem.SelectObject(m_hOldBitmap);
        m_dcMem.DeleteDC();
    }
}

BOOL CSkinListCtrl::Create(CWnd* parent, UINT id, const RECT& rect, const SKINLIST_LAYOUT& layout)
{
    m_layout = layout;
    if (!CreateEx(WS_EX_NOPARENTNOTIFY, nullptr, "list", WS_CHILD, rect, parent, id)) {
        return FALSE;
    }
    SetUp();
    return TRUE;
}

BOOL CSkinListCtrl::SetUp()
{
    CClientDC screen(this);
    if (!m_dcMem.CreateCompatibleDC(&screen)) {
        return FALSE;
    }
    CRect client;
    GetClientRect(&client);
    m_nWidth = client.Width();
    m_nHeight = client.Height();
    if (m_layout.nMode == SKINLIST_MODE_TABLE) {
        m_layout.nColumns = 1;
        m_layout.nRows = m_layout.nCellHeight > 0 ? m_nHeight / m_layout.nCellHeight : 0;
        m_nHeight = m_layout.nRows * std::max(m_layout.nCellHeight, 0);
        SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    m_layout.nColumns = std::max(m_layout.nColumns, 0);
    m_layout.nRows = std::max(m_layout.nRows, 0);
    if (!m_bmpMem.CreateCompatibleBitmap(&screen, std::max(m_nWidth, 1), std::max(m_nHeight, 1))) {
        return FALSE;
    }
    m_hOldBitmap = m_dcMem.SelectObject(m_bmpMem.GetSafeHandle());

    const int usableWidth = m_nWidth - (m_layout.bHorizontal ? 0 : kScrollStrip);
    const int usableHeight = m_nHeight - (m_layout.bHorizontal ? kScrollStrip : 0);
    m_nHGap = (usableWidth - m_layout.nColumns * m_layout.nCellWidth) / (m_layout.nColumns + 1);
    m_nVGap = (usableHeight - m_layout.nRows * m_layout.nCellHeight) / (m_layout.nRows + 1);
    m_nHGap = std::max(m_nHGap, 1);
    m_nVGap = std::max(m_nVGap, 1);

    const CString prefix = ToolkitSkinFolder() + "\\scrollbar";
    if (m_layout.bHorizontal) {
        m_hScrollBar.Create(CRect(0, m_nHeight - kScrollStrip, m_nWidth, m_nHeight), this, FALSE, this, prefix);
    } else {
        m_vScrollBar.Create(CRect(m_nWidth - kScrollStrip, 0, m_nWidth, m_nHeight), this, TRUE, this, prefix);
    }
    ScrollBar().ShowWindow(SW_HIDE);

    m_font.CreateFont(static_cast<int>(m_layout.nCellHeight * 0.8), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                      OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH, kListFontFace);
    return TRUE;
}

BOOL CSkinListCtrl::AddColumn(const SKINLIST_COLUMN* column)
{
    if (!column) {
        return FALSE;
    }
    try {
        m_columns.push_back(*column);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}

int CSkinListCtrl::InsertItem()
{
    try {
        Item item;
        item.cells.resize(m_columns.size());
        item.nNumber = static_cast<int>(m_items.size()) + 1;
        m_items.push_back(std::move(item));
    } catch (const std::bad_alloc&) {
        return -1;
    }
    UpdateScrollRange();
    if (m_hWnd) {
        Invalidate(FALSE);
    }
    return static_cast<int>(m_items.size()) - 1;
}

SKINLIST_CELL* CSkinListCtrl::FindCell(int item, int column)
{
    if (item < 0 || item >= static_cast<int>(m_items.size())) {
        return nullptr;
    }
    std::vector<SKINLIST_CELL>& cells = m_items[static_cast<size_t>(item)].cells;
    // Items added before a column have no cell for it.
    return column >= 0 && column < static_cast<int>(cells.size()) ? &cells[static_cast<size_t>(column)] : nullptr;
}

const SKINLIST_CELL* CSkinListCtrl::FindCell(int item, int column) const
{
    return const_cast<CSkinListCtrl*>(this)->FindCell(item, column);
}

void CSkinListCtrl::FreeCell(SKINLIST_CELL& cell)
{
    if (cell.nSize > 0 && cell.pData) {
        if (cell.nKind == SKINLIST_CELL_STYLED_TEXT) {
            delete[] static_cast<SKINLIST_STYLED_TEXT*>(cell.pData)->pText;
        }
        delete[] static_cast<char*>(cell.pData);
    }
    cell = SKINLIST_CELL{};
}

BOOL CSkinListCtrl::SetCell(int item, int column, const SKINLIST_CELL* cell)
{
    SKINLIST_CELL* target = FindCell(item, column);
    if (!target || !cell) {
        return FALSE;
    }
    SKINLIST_CELL copy = *cell;
    if (cell->nSize > 0 && cell->pData) {
        try {
            // Room for a terminating zero, so a text copied by its size always ends.
            char* bytes = new char[static_cast<size_t>(cell->nSize) + 1];
            std::memcpy(bytes, cell->pData, static_cast<size_t>(cell->nSize));
            bytes[cell->nSize] = 0;
            copy.pData = bytes;
            if (cell->nKind == SKINLIST_CELL_STYLED_TEXT &&
                static_cast<size_t>(cell->nSize) >= sizeof(SKINLIST_STYLED_TEXT)) {
                auto* styled = reinterpret_cast<SKINLIST_STYLED_TEXT*>(bytes);
                const int length = std::max(styled->nLength, 0);
                char* text = new char[static_cast<size_t>(length) + 1];
                if (styled->pText) {
                    std::memcpy(text, styled->pText, static_cast<size_t>(length));
                } else {
                    std::memset(text, 0, static_cast<size_t>(length));
                }
                text[length] = 0;
                styled->nLength = length;
                styled->pText = text;
            } else if (cell->nKind == SKINLIST_CELL_STYLED_TEXT) {
                // Too short to be the record it claims: keep it as plain data.
                copy.nKind = SKINLIST_CELL_DATA;
            }
        } catch (const std::bad_alloc&) {
            delete[] static_cast<char*>(copy.pData);
            return FALSE;
        }
    } else {
        copy.nSize = 0;
    }
    FreeCell(*target);
    *target = copy;
    return TRUE;
}

BOOL CSkinListCtrl::SetImageCell(int item, int column, const SKINLIST_PICTURE* picture)
{
    SKINLIST_CELL cell;
    cell.nKind = SKINLIST_CELL_PICTURE;
    cell.nSize = sizeof(SKINLIST_PICTURE);
    cell.pData = const_cast<SKINLIST_PICTURE*>(picture);
    return picture && SetCell(item, column, &cell);
}

BOOL CSkinListCtrl::SetDataCell(int item, int column, const void* data, int size)
{
    SKINLIST_CELL cell;
    cell.nKind = SKINLIST_CELL_DATA;
    cell.nSize = size;
    cell.pData = const_cast<void*>(data);
    return SetCell(item, column, &cell);
}

const SKINLIST_PICTURE* CSkinListCtrl::GetImageCell(int item, int column) const
{
    const SKINLIST_CELL* cell = FindCell(item, column);
    return cell && cell->nKind == SKINLIST_CELL_PICTURE ? static_cast<const SKINLIST_PICTURE*>(cell->pData) : nullptr;
}

void* CSkinListCtrl::GetItemData(int item, int column) const
{
    const SKINLIST_CELL* cell = FindCell(item, column);
    return cell && cell->nKind == SKINLIST_CELL_DATA ? cell->pData : nullptr;
}

BOOL CSkinListCtrl::ClearCell(int item, int column)
{
    SKINLIST_CELL* cell = FindCell(item, column);
    if (!cell) {
        return FALSE;
    }
    FreeCell(*cell);
    return TRUE;
}

BOOL CSkinListCtrl::DeleteAllItems()
{
    for (Item& item : m_items) {
        for (SKINLIST_CELL& cell : item.cells) {
            FreeCell(cell);
        }
    }
    m_items.clear();
    m_nHoverItem = m_nHoverColumn = m_nSelItem = m_nSelColumn = -1;
    m_nScrollRange = m_nFirstRow = m_nFirstColumn = 0;
    // Nothing is left to scroll: the bar goes with the items.
    if (ScrollBar().m_hWnd) {
        ScrollBar().ShowWindow(SW_HIDE);
    }
    if (m_hWnd) {
        Invalidate(FALSE);
    }
    return TRUE;
}

void CSkinListCtrl::SetScrollPos(int n)
{
    if (ScrollBar().m_hWnd) {
        ScrollBar().SetScrollPos(std::max(n, 0));
    }
}

void CSkinListCtrl::UpdateScrollRange()
{
    const int columns = m_layout.nColumns;
    const int rows = m_layout.nRows;
    const int count = static_cast<int>(m_items.size());
    int range;
    if (columns != 1 && rows != 1) {
        const int rest = count - columns * rows;
        const int step = m_layout.bHorizontal ? rows : columns;
        range = step > 0 ? rest / step + (rest % step > 0 ? 1 : 0) : 0;
    } else {
        range = count - columns * rows;
    }
    CSkinScrollBar& bar = ScrollBar();
    if (!bar.m_hWnd) {
        return;
    }
    if (range <= 0) {
        bar.ShowWindow(SW_HIDE);
    } else {
        m_nScrollRange = range;
        if (IsWindowVisible()) {
            bar.ShowWindow(SW_SHOW);
        }
        bar.SetScrollRange(0, range, 0);
    }
    bar.SetScrollPos(m_layout.bHorizontal ? m_nFirstColumn : m_nFirstRow);
    if (m_layout.bFollow && range - 3 < m_nFirstRow) {
        bar.SetScrollPos(range);
    }
}

LRESULT CSkinListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_SCROLL_POS) {
        (m_layout.bHorizontal ? m_nFirstColumn : m_nFirstRow) = static_cast<int>(wParam);
        Invalidate(FALSE);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CSkinListCtrl::Redraw()
{
    if (!m_dcMem.GetSafeHdc()) {
        return;
    }
    m_dcMem.FillSolidRect(0, 0, m_nWidth, m_nHeight, kWhite);
    if (m_columns.empty()) {
        return;
    }
    const int count = static_cast<int>(m_items.size());
    if (m_layout.nMode == SKINLIST_MODE_TABLE) {
        int x = 0;
        for (size_t c = 0; c < m_columns.size(); ++c) {
            const SKINLIST_COLUMN& column = m_columns[c];
            if (!column.bVisible) {
                continue;
            }
            for (int k = 0; k < m_layout.nRows; ++k) {
                const int item = m_nFirstRow + k;
                const SKINLIST_CELL* cell = FindCell(item, static_cast<int>(c));
                if (item < count) {
                    const CRect rect(x, k * m_layout.nCellHeight, x + column.nWidth, (k + 1) * m_layout.nCellHeight);
                    DrawCell(cell ? *cell : SKINLIST_CELL{}, column, item, rect);
                }
            }
            x += column.nWidth;
        }
        return;
    }
    for (int i = 0; i < m_layout.nRows; ++i) {
        for (int j = 0; j < m_layout.nColumns; ++j) {
            const int item = m_nFirstColumn + m_layout.nColumns * (i + m_nFirstRow) + j;
            if (item < 0 || item >= count) {
                continue;
            }
            const int x = m_nHGap + j * (m_layout.nCellWidth + m_nHGap);
            const int y = m_nVGap + i * (m_layout.nCellHeight + m_nVGap);
            const SKINLIST_CELL* cell = FindCell(item, 0);
            DrawCell(cell ? *cell : SKINLIST_CELL{}, m_columns[0], item,
                     CRect(x, y, x + m_layout.nCellWidth, y + m_layout.nCellHeight));
        }
    }
}

void CSkinListCtrl::DrawCell(const SKINLIST_CELL& cell, const SKINLIST_COLUMN& column, int item, const CRect& rect)
{
    if (cell.nKind == SKINLIST_CELL_EMPTY) {
        return;
    }
    COLORREF back = column.bHasBack ? column.crBack : kWhite;
    if (item == m_nHoverItem && m_layout.bHoverColor) {
        back = m_layout.crHover;
    }
    if (item == m_nSelItem) {
        back = m_layout.bSelectColor ? m_layout.crSelect : kDefaultSelection;
    }
    m_dcMem.FillSolidRect(&rect, back);
    m_dcMem.SetBkColor(back);
    m_dcMem.SetBkMode(OPAQUE);
    auto text = [&](const char* bytes, int length, HFONT font, COLORREF colour) {
        if (!bytes) {
            return;
        }
        HGDIOBJ old = m_dcMem.SelectObject(font ? font : static_cast<HFONT>(m_font.GetSafeHandle()));
        m_dcMem.SetTextColor(font ? colour : RGB(0, 0, 0));
        m_dcMem.ExtTextOut(rect.left, rect.top, ETO_CLIPPED, &rect, bytes, static_cast<UINT>(length), nullptr);
        m_dcMem.SelectObject(old);
    };
    switch (cell.nKind) {
    case SKINLIST_CELL_TEXT: {
        const char* bytes = static_cast<const char*>(cell.pData);
        text(bytes, bytes ? static_cast<int>(std::strlen(bytes)) : 0, column.hFont, column.crText);
        break;
    }
    case SKINLIST_CELL_STYLED_TEXT:
        if (const auto* styled = static_cast<const SKINLIST_STYLED_TEXT*>(cell.pData)) {
            text(styled->pText, std::max(styled->nLength, 0), styled->hFont, styled->crText);
        }
        break;
    case SKINLIST_CELL_BITMAP:
        if (const auto* bitmap = static_cast<const HBITMAP*>(cell.pData)) {
            DrawBitmap(*bitmap, rect, 0, 0, rect.Width(), rect.Height());
        }
        break;
    case SKINLIST_CELL_PICTURE:
        if (const auto* picture = static_cast<const SKINLIST_PICTURE*>(cell.pData)) {
            DrawPicture(*picture, column, rect);
        }
        break;
    default: break;
    }
}

void CSkinListCtrl::DrawPicture(const SKINLIST_PICTURE& picture, const SKINLIST_COLUMN& column, const CRect& rect)
{
    CRect to = rect;
    if (!column.bStretchPictures) {
        const int x = rect.left + (m_layout.nCellWidth - picture.nWidth) / 2;
        const int y = rect.top + (m_layout.nCellHeight - picture.nHeight) / 2;
        to = CRect(x, y, x + picture.nWidth, y + picture.nHeight);
    }
    if (picture.nSourceWidth && picture.nSourceHeight) {
        DrawBitmap(picture.hBitmap, to, picture.nSourceX, picture.nSourceY, picture.nSourceWidth,
                   picture.nSourceHeight);
    } else {
        DrawBitmap(picture.hBitmap, to, 0, 0, to.Width(), to.Height());
    }
}

void CSkinListCtrl::DrawBitmap(HBITMAP bitmap, const CRect& to, int sx, int sy, int sw, int sh)
{
    if (!bitmap || to.Width() <= 0 || to.Height() <= 0) {
        return;
    }
    CDC source;
    if (!source.CreateCompatibleDC(&m_dcMem)) {
        return;
    }
    HGDIOBJ old = source.SelectObject(bitmap);
    if (sw == to.Width() && sh == to.Height()) {
        m_dcMem.BitBlt(to.left, to.top, sw, sh, &source, sx, sy, SRCCOPY);
    } else {
        m_dcMem.SetStretchBltMode(COLORONCOLOR);
        m_dcMem.StretchBlt(to.left, to.top, to.Width(), to.Height(), &source, sx, sy, sw, sh, SRCCOPY);
    }
    source.SelectObject(old);
}

void CSkinListCtrl::HitTest(CPoint point, int* item, int* column) const
{
    *item = -1;
    *column = -1;
    if (m_layout.nMode == SKINLIST_MODE_TABLE) {
        if (m_layout.nCellHeight <= 0) {
            return;
        }
        int right = 0;
        for (size_t c = 0; c < m_columns.size(); ++c) {
            if (!m_columns[c].bVisible) {
                continue;
            }
            right += m_columns[c].nWidth;
            if (right > point.x) {
                *column = static_cast<int>(c);
                break;
            }
        }
        *item = m_nFirstRow + point.y / m_layout.nCellHeight;
        return;
    }
    const int stepX = m_layout.nCellWidth + m_nHGap;
    const int stepY = m_layout.nCellHeight + m_nVGap;
    if (stepX <= 0 || stepY <= 0 || point.x < 0 || point.y < 0) {
        return;
    }
    if (point.x % stepX < m_nHGap) {
        return;
    }
    const int col = point.x / stepX;
    if (col < 0 || col >= m_layout.nColumns) {
        return;
    }
    *column = col;
    if (point.y % stepY < m_nVGap) {
        return;
    }
    const int row = point.y / stepY;
    *item = m_nFirstColumn + (row + m_nFirstRow) * m_layout.nColumns + col;
}

void CSkinListCtrl::Track(int* item, int* column, CPoint point, UINT notification)
{
    HitTest(point, item, column);
    Redraw();
    Invalidate(FALSE);
    if (CWnd* parent = GetParent()) {
        parent->SendMessage(notification, static_cast<WPARAM>(*item), reinterpret_cast<LPARAM>(this));
    }
}

void CSkinListCtrl::OnLButtonDown(UINT, CPoint point)
{
    Track(&m_nSelItem, &m_nSelColumn, point, UM_LIST_CLICK);
}

void CSkinListCtrl::OnLButtonDblClk(UINT, CPoint point)
{
    Track(&m_nSelItem, &m_nSelColumn, point, UM_LIST_DBLCLICK);
}

void CSkinListCtrl::OnMouseMove(UINT, CPoint point)
{
    Track(&m_nHoverItem, &m_nHoverColumn, point, UM_LIST_HOVER);
}

void CSkinListCtrl::OnKillFocus(CWnd* newWnd)
{
    CWnd::OnKillFocus(newWnd);
    m_nHoverItem = m_nHoverColumn = -1;
}

BOOL CSkinListCtrl::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CSkinListCtrl::OnPaint()
{
    CPaintDC dc(this);
    Redraw();
    if (!IsWindowVisible() || !m_dcMem.GetSafeHdc()) {
        return;
    }
    int width = m_nWidth;
    int height = m_nHeight;
    if (m_nScrollRange > 0) {
        (m_layout.bHorizontal ? height : width) -= kScrollStrip;
    }
    dc.BitBlt(0, 0, width, height, &m_dcMem, 0, 0, SRCCOPY);
}

void CSkinListCtrl::OnShowWindow(BOOL show, UINT status)
{
    CWnd::OnShowWindow(show, status);
    CSkinScrollBar& bar = ScrollBar();
    if (show) {
        Invalidate(FALSE);
        // A bar shows only while there is something to scroll.
        if (bar.m_hWnd && m_nScrollRange > 0) {
            bar.ShowWindow(SW_SHOW);
        }
    } else if (bar.m_hWnd) {
        bar.ShowWindow(SW_HIDE);
    }
}

void CSkinListCtrl::OnDestroy()
{
    CWnd::OnDestroy();
    m_font.DeleteObject();
}
