#include "SkinStatic.h"

#include "ImageFile.h"
#include "NotifyDlg.h"
#include "ToolkitShared.h"

CSkinStatic::~CSkinStatic()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CSkinStatic::Create(const RECT& rect, CWnd* parent, UINT id, CString name)
{
    m_rcCreate = rect;
    m_nWidth = rect.right - rect.left;
    m_nHeight = rect.bottom - rect.top;
    m_strName = name;
    // A class of its own cursor, so the shared cursor never leaks onto other windows of a
    // shared class.
    LPCSTR windowClass = AfxRegisterWndClass(0, ToolkitNormalCursor());
    return CreateEx(0, windowClass, m_strName, WS_CHILD, rect, parent, id);
}

BOOL CSkinStatic::SetSkin(CString menuIni, CString picturePath)
{
    m_strMenuIni = menuIni;
    m_bmp.DeleteObject();
    BITMAP info{};
    if (!LoadBitmapFile(picturePath, &m_bmp, nullptr) || !m_bmp.GetBitmap(&info) || info.bmWidth < 4) {
        m_bmp.DeleteObject();
        ShowFileReadError(picturePath);
        return FALSE;
    }
    CRect client;
    GetClientRect(&client);
    client.DeflateRect(1, 1);
    m_rcButton = client;
    m_rcButton.left = m_rcButton.right - info.bmWidth / 4;
    m_rcButton.bottom = m_rcButton.top + info.bmHeight;
    m_nHeight = info.bmHeight + 2;
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Reload();
    return TRUE;
}

void CSkinStatic::Reload()
{
    m_menu.LoadMenu(m_strMenuIni, m_strName);
    m_strText = m_menu.GetItemText(m_nSel);
    m_strTag = m_menu.GetItemTag(m_nSel);
}

void CSkinStatic::SetSelection(int index)
{
    m_menu.LoadMenu(m_strMenuIni, m_strName);
    m_strText = m_menu.GetItemText(index);
    m_strTag = m_menu.GetItemTag(index);
    if (m_hWnd) {
        Invalidate(TRUE);
    }
}

BOOL CSkinStatic::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, RGB(255, 255, 255));
    return FALSE;
}

void CSkinStatic::OnPaint()
{
    CPaintDC dc(this);
    if (m_bmp.GetSafeHandle()) {
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        HGDIOBJ old = mem.SelectObject(m_bmp.GetSafeHandle());
        const int width = m_rcButton.Width();
        const int height = m_rcButton.Height();
        const int image = m_bPressed ? 2 : (m_bHover ? 1 : 0);
        dc.BitBlt(m_rcButton.left, m_rcButton.top, width, height, &mem, image * width, 0, SRCCOPY);
        if (!IsWindowEnabled()) {
            dc.BitBlt(m_rcButton.left, m_rcButton.top, width, height, &mem, 3 * width, 0, SRCCOPY);
        }
        mem.SelectObject(old);
    }
    CRect text;
    GetClientRect(&text);
    if (m_bmp.GetSafeHandle()) {
        text.right = m_rcButton.left - 1;
    }
    text.left += 4;
    text.top += 3;
    text.right -= 1;
    text.bottom -= 1;
    HGDIOBJ oldFont = dc.SelectObject(ToolkitGuiFont());
    dc.SetBkMode(TRANSPARENT);
    dc.DrawText(m_strText, &text, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
    dc.SelectObject(oldFont);
}

void CSkinStatic::OnMouseMove(UINT flags, CPoint point)
{
    if (m_bHover && GetCapture() == this) {
        if (!m_rcButton.PtInRect(point)) {
            ReleaseCapture();
            m_bHover = 0;
            Invalidate(TRUE);
        }
    } else if (m_rcButton.PtInRect(point)) {
        SetCapture();
        m_bHover = 1;
        Invalidate(TRUE);
    }
    CWnd::OnMouseMove(flags, point);
}

void CSkinStatic::OnLButtonDown(UINT flags, CPoint point)
{
    if (m_rcButton.PtInRect(point)) {
        m_bPressed = 1;
        OpenOrCloseMenu();
        InvalidateRect(&m_rcButton, FALSE);
    }
    CWnd::OnLButtonDown(flags, point);
}

void CSkinStatic::OpenOrCloseMenu()
{
    // A menu window that exists is closed by the second click, whether or not its scroll bar
    // could be made: the window object cannot be created twice.
    if (m_menu.m_bScrollBarCreated || m_menu.m_hWnd) {
        m_menu.DestroyWindow();
        return;
    }
    CRect below;
    GetClientRect(&below);
    ClientToScreen(&below);
    below.OffsetRect(0, m_nHeight);
    if (m_menu.Create(below, this, m_strName, TRUE)) {
        m_menu.Show(m_strMenuIni);
    }
}

void CSkinStatic::OnLButtonUp(UINT flags, CPoint point)
{
    if (m_rcButton.PtInRect(point)) {
        m_bPressed = 0;
        InvalidateRect(&m_rcButton, FALSE);
    }
    CWnd::OnLButtonUp(flags, point);
}

void CSkinStatic::OnPick()
{
    const CString tag = m_menu.GetCurrentItemTag();
    if (tag == kHeadingTag) {
        return;
    }
    m_strTag = tag;
    m_strText = m_menu.GetCurrentItemText();
    Invalidate(TRUE);
}

LRESULT CSkinStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_POPUP_PICK) {
        OnPick();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// The disabled image shows as soon as an owner switches the control off.
void CSkinStatic::OnEnable(BOOL enable)
{
    CWnd::OnEnable(enable);
    InvalidateRect(&m_rcButton, FALSE);
}

void CSkinStatic::OnDestroy()
{
    CWnd::OnDestroy();
    m_bmp.DeleteObject();
}

BOOL CreateSkinSelector(const CSkinBase& skin, CSkinStatic* child, CWnd* parent, const char* section)
{
    if (!child) {
        return FALSE;
    }
    RECT rect{0, 0, 0, 0};
    int id = 0;
    int first = 0;
    skin.GetRect(section, "Rect", &rect);
    skin.GetInt(section, "ID", &id);
    skin.GetInt(section, "DefaultIndex", &first);
    if (!child->Create(rect, parent, static_cast<UINT>(id), section)) {
        return FALSE;
    }
    // The item chosen at first is also what a reload of the menu comes back to.
    child->m_nSel = first < 0 ? 0 : first;
    child->SetSkin(skin.GetFilePath(section, "IniFile"), skin.GetFilePath(section, "Image"));
    child->SetSelection(child->m_nSel);
    return TRUE;
}
