#pragma once
// The item grid's model: one cell window per catalogue item of a gender and category, of which
// one page shows, stacked from the first cell's place downwards.
#include "ItemCellWnd.h"

#include <memory>
#include <vector>

class CItemCatalog;
class CItemGridWnd;

class CItemList {
public:
    static constexpr int kDefaultPageSize = 5;

    void Attach(CItemGridWnd* grid, CItemCatalog* catalog);
    // Destroys every cell.
    void Reset();
    // Cells for the items of (gender, category), for category 5 followed by category 6's, with
    // ids from 1 in that order; the cell at `selection` starts selected. Shows the first page.
    void Fill(int gender, int category, int selection);
    // Shows the page starting at `first`, kept within the cells (a short list shows from 0).
    void ShowPage(int first);

    int GetCount() const { return static_cast<int>(m_cells.size()); }
    CItemCellWnd* GetCell(int index) const;
    // The cell of a window, or null when that window is no cell of this list (any more).
    CItemCellWnd* FindCell(HWND window) const;

    int m_nTop = 0;
    int m_nPageSize = kDefaultPageSize;
    int m_nSelection = -1;
    RECT m_rcFirst{0, 0, 0, 0};

private:
    void AddCells(int gender, int category, int selection);

    CItemGridWnd* m_pGrid = nullptr;
    CItemCatalog* m_pCatalog = nullptr;
    std::vector<std::unique_ptr<CItemCellWnd>> m_cells;
};
