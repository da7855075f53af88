#include "PopupMenuList.h"

#include "PopupMenuDef.h"
#include "PopupMenuWnd.h"
#include "ToolkitShared.h"

BOOL CPopupMenuList::Create(CPopupMenuWnd* owner, int index, LPCSTR text, LPCSTR tag, HBITMAP picture, int itemHeight,
                            const CRect& rect)
{
    m_pOwner = owner;
    m_nRow = index;
    m_strTag = tag;
    m_nItemHeight = itemHeight;
    m_hBitmap = picture;
    m_bBitmapMode = picture != nullptr;
    CRect place = rect;
    if (m_bBitmapMode) {
        BITMAP info{};
        ::GetObjectA(picture, sizeof info, &info);
        m_nFrameWidth = info.bmWidth / 4;
        place.right = place.left + m_nFrameWidth;
    }
    // No double clicks: two quick clicks on an item are two presses.
    return CreateEx(0, AfxRegisterWndClass(0), text, WS_CHILD | WS_VISIBLE, place, owner, static_cast<UINT>(index));
}

BOOL CPopupMenuList::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CPopupMenuList::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bBitmapMode) {
        DrawText(dc);
        return;
    }
    int frame = 0;
    if (!IsWindowEnabled()) {
        frame = 3;
    } else if (m_bPressed) {
        frame = 2;
    } else if (m_bHover) {
        frame = 1;
    }
    CRect client;
    GetClientRect(&client);
    CDC mem;
    if (!mem.CreateCompatibleDC(&dc)) {
        return;
    }
    HGDIOBJ old = mem.SelectObject(m_hBitmap);
    dc.BitBlt(0, 0, client.Width(), client.Height(), &mem, frame * m_nFrameWidth, m_nRow * m_nItemHeight, SRCCOPY);
    mem.SelectObject(old);
}

void CPopupMenuList::DrawText(CDC& dc)
{
    // The text lies straight on the menu's background; showing that background first keeps an
    // earlier text (another item's before a scroll, or this one in another colour) from
    // showing through.
    CRect inMenu;
    GetWindowRect(&inMenu);
    m_pOwner->ScreenToClient(&inMenu);
    m_pOwner->DrawBackground(dc, -inMenu.left, -inMenu.top);

    CFont heading;
    HFONT font = ToolkitGuiFont();
    if (m_strTag == kPopupHeadingTag) {
        LOGFONTA description{};
        ::GetObjectA(font, sizeof description, &description);
        description.lfWeight = 600;
        description.lfUnderline = TRUE;
        if (heading.CreateFontIndirect(&description)) {
            font = heading;
        }
    }
    HGDIOBJ oldFont = dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    if (m_bPressed) {
        dc.SetTextColor(RGB(0, 255, 0));
    } else if (m_bHover) {
        dc.SetTextColor(RGB(255, 0, 0));
    }
    CRect client;
    GetClientRect(&client);
    CRect text(client.left + 1, client.top + 3, client.right - 1, client.bottom - 1);
    CString caption;
    GetWindowText(caption);
    dc.DrawText(caption, &text, DT_SINGLELINE | DT_EXPANDTABS);
    dc.SelectObject(oldFont);
}

void CPopupMenuList::OnMouseMove(UINT, CPoint point)
{
    if (m_bHover && GetCapture() == this) {
        CRect client;
        GetClientRect(&client);
        if (!client.PtInRect(point)) {
            ::ReleaseCapture();
            m_bHover = FALSE;
            Invalidate(FALSE);
        }
        if (m_bPressed) {
            m_bPressed = FALSE;
            Invalidate(FALSE);
        }
    } else {
        SetCapture();
        m_bHover = TRUE;
        Invalidate(FALSE);
    }
}

void CPopupMenuList::OnLButtonDown(UINT, CPoint)
{
    m_bPressed = TRUE;
    SetCapture();
    Invalidate(FALSE);
}

void CPopupMenuList::OnLButtonUp(UINT, CPoint)
{
    m_bPressed = FALSE;
    if (GetCapture() == this) {
        m_pOwner->PostMessage(UM_POPUP_ITEM_UP, MAKEWPARAM(GetDlgCtrlID(), 0), 0);
    }
    Invalidate(FALSE);
}
