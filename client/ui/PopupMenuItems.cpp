#include "PopupMenuItems.h"

#include "PopupMenuDef.h"
#include "PopupMenuList.h"
#include "PopupMenuWnd.h"

#include <algorithm>

void CPopupMenuItems::Build(CPopupMenuWnd* owner, const CPopupMenuDef& def)
{
    RemoveAll();
    m_pOwner = owner;
    m_nVisibleItem = def.m_nVisibleItem;
    BITMAP item{};
    BITMAP back{};
    const BOOL hasItemPicture = def.m_bmpItem.GetSafeHandle() && def.m_bmpItem.GetBitmap(&item);
    const BOOL hasBack = def.m_bmpBack.GetSafeHandle() && def.m_bmpBack.GetBitmap(&back);
    const int width = hasItemPicture ? item.bmWidth / 4 : def.m_nItemWidth;
    const int height = def.m_nItemHeight;
    const int margin = hasBack ? back.bmHeight / 3 : height;
    m_rcFirst = CRect(1, margin + 1, width + 1, margin + 1 + height);
    CRect rect = m_rcFirst;
    for (int i = 0; i < def.m_nCount; ++i) {
        auto* window = new CPopupMenuList;
        if (window->Create(owner, i, def.GetText(i), def.GetTag(i),
                           hasItemPicture ? static_cast<HBITMAP>(def.m_bmpItem.GetSafeHandle()) : nullptr, height,
                           rect)) {
            m_list.AddTail(window);
        } else {
            delete window;
        }
        rect.OffsetRect(0, height + 1);
    }
    ShowFrom(m_nFirst);
}

void CPopupMenuItems::RemoveAll()
{
    for (POSITION at = m_list.GetHeadPosition(); at;) {
        delete static_cast<CPopupMenuList*>(m_list.GetNext(at));
    }
    m_list.RemoveAll();
}

CPopupMenuList* CPopupMenuItems::GetItem(int index) const
{
    POSITION at = index >= 0 ? m_list.FindIndex(index) : nullptr;
    return at ? static_cast<CPopupMenuList*>(m_list.GetAt(at)) : nullptr;
}

void CPopupMenuItems::ShowFrom(int n)
{
    const int count = GetCount();
    if (m_nVisibleItem > 0 && n + m_nVisibleItem >= count) {
        n = count - m_nVisibleItem;
    }
    n = std::max(n, 0);
    m_nFirst = n;
    CRect rect = m_rcFirst;
    int index = 0;
    for (POSITION at = m_list.GetHeadPosition(); at; ++index) {
        auto* item = static_cast<CPopupMenuList*>(m_list.GetNext(at));
        const BOOL shown = m_nVisibleItem == 0 || (index >= n && index < n + m_nVisibleItem);
        if (!shown) {
            item->ShowWindow(SW_HIDE);
            continue;
        }
        CRect now;
        item->GetWindowRect(&now);
        item->MoveWindow(rect.left, rect.top, now.Width(), now.Height(), TRUE);
        item->ShowWindow(SW_SHOW);
        rect.OffsetRect(0, now.Height() + 1);
    }
}
