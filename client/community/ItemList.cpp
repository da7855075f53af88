#include "ItemList.h"

#include "ItemGridWnd.h"

#include <ItemCatalog.h>

#include <algorithm>

void CItemList::Attach(CItemGridWnd* grid, CItemCatalog* catalog)
{
    m_pGrid = grid;
    m_pCatalog = catalog;
}

void CItemList::Reset()
{
    m_cells.clear(); // each cell destroys its window
    m_nTop = 0;
    m_nSelection = -1;
}

CItemCellWnd* CItemList::GetCell(int index) const
{
    return index >= 0 && index < GetCount() ? m_cells[static_cast<size_t>(index)].get() : nullptr;
}

CItemCellWnd* CItemList::FindCell(HWND window) const
{
    if (!window) {
        return nullptr;
    }
    for (const auto& cell : m_cells) {
        if (cell->GetSafeHwnd() == window) {
            return cell.get();
        }
    }
    return nullptr;
}

void CItemList::AddCells(int gender, int category, int selection)
{
    const int count = m_pCatalog->GetItemCount(gender, category);
    for (int i = 0; i < count; ++i) {
        HBITMAP picture = nullptr;
        int x = 0;
        int y = 0;
        ITEM_RECORD* item = m_pCatalog->GetItem(gender, category, i, &picture, &x, &y);
        if (!item) {
            continue;
        }
        const int index = GetCount();
        auto cell = std::make_unique<CItemCellWnd>();
        const POINT origin{m_rcFirst.left, m_rcFirst.top};
        if (!cell->CreateCell(m_pGrid, static_cast<UINT>(index + 1), origin, item, picture, x, y,
                              static_cast<HBITMAP>(m_pGrid->m_bmpCell.GetSafeHandle()), m_pGrid->m_pBuyElement)) {
            continue;
        }
        if (index == selection) {
            cell->m_bSelected = 1;
            m_nSelection = index;
        }
        m_cells.push_back(std::move(cell));
    }
}

void CItemList::Fill(int gender, int category, int selection)
{
    Reset();
    if (!m_pGrid || !m_pCatalog) {
        return;
    }
    AddCells(gender, category, selection);
    // Hand items and hair items share one page of the shop.
    if (category == ITEM_HAND) {
        AddCells(gender, ITEM_HAIR_ITEM, selection);
    }
    ShowPage(0);
}

void CItemList::ShowPage(int first)
{
    const int count = GetCount();
    if (m_nPageSize > 0) {
        first = std::clamp(first, 0, std::max(0, count - m_nPageSize));
    } else {
        first = 0;
    }
    m_nTop = first;
    int y = m_rcFirst.top;
    for (int i = 0; i < count; ++i) {
        CItemCellWnd& cell = *m_cells[static_cast<size_t>(i)];
        const bool shown = m_nPageSize <= 0 || (i >= first && i < first + m_nPageSize);
        if (shown) {
            cell.SetWindowPos(nullptr, m_rcFirst.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            y += cell.Height() + 1;
        }
        cell.ShowWindow(shown ? SW_SHOWNA : SW_HIDE);
    }
}
