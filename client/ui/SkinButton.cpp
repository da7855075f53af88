#include "SkinButton.h"

#include "ImageFile.h"
#include "NotifyDlg.h"
#include "SkinBase.h"
#include "SkinDraw.h"

CSkinButton::~CSkinButton()
{
    if (m_hWnd) {
        DestroyWindow();
    }
    ReleasePicture();
}

void CSkinButton::ReleasePicture()
{
    // A borrowed picture belongs to the skin, which deletes it with its other pictures.
    if (m_bOwnsPicture) {
        m_bmp.DeleteObject();
    } else {
        m_bmp.Detach();
    }
    m_bOwnsPicture = FALSE;
}

void CSkinButton::TakeSizes()
{
    BITMAP info{};
    if (m_bmp.GetSafeHandle() && m_bmp.GetBitmap(&info)) {
        m_nStateWidth = info.bmWidth / 4;
        m_nHeight = info.bmHeight;
    } else {
        m_nStateWidth = m_nHeight = 0;
    }
}

BOOL CSkinButton::SetBitmap(HBITMAP bitmap)
{
    ReleasePicture();
    if (!bitmap) {
        TakeSizes();
        return FALSE;
    }
    m_bmp.Attach(bitmap);
    TakeSizes();
    return TRUE;
}

BOOL CSkinButton::AdoptBitmap(HBITMAP bitmap)
{
    if (!SetBitmap(bitmap)) {
        return FALSE;
    }
    m_bOwnsPicture = TRUE;
    return TRUE;
}

BOOL CSkinButton::LoadBitmap(CString path)
{
    if (!SkinFileExists(path)) {
        return FALSE;
    }
    ReleasePicture();
    if (!LoadBitmapFile(path, &m_bmp, nullptr)) {
        TakeSizes();
        ShowFileReadError(path);
        return FALSE;
    }
    m_bOwnsPicture = TRUE;
    TakeSizes();
    return TRUE;
}

void CSkinButton::SizeToBitmap()
{
    SetWindowPos(nullptr, 0, 0, m_nStateWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void CSkinButton::SetState(int checked)
{
    m_bChecked = checked;
    if (m_hWnd) {
        Invalidate(FALSE);
    }
}

void CSkinButton::SetToolTipText(const char* text, int activate)
{
    if (!m_tip.m_hWnd && !m_tip.Create(this)) {
        return;
    }
    // An empty caption shows no tip at all.
    const bool empty = !text || !*text;
    if (m_tip.GetToolCount() == 0) {
        m_tip.AddTool(this, text ? text : "");
    }
    m_tip.UpdateTipText(text ? text : "", this);
    m_tip.Activate(activate && !empty);
}

BOOL CSkinButton::PreTranslateMessage(MSG* msg)
{
    if (!m_tip.m_hWnd) {
        m_tip.Create(this);
    }
    if (m_tip.m_hWnd) {
        m_tip.RelayEvent(msg);
    }
    return CButton::PreTranslateMessage(msg);
}

int CSkinButton::OnCreate(LPCREATESTRUCT cs)
{
    if (CButton::OnCreate(cs) == -1) {
        return -1;
    }
    CString caption;
    GetWindowText(caption);
    SetToolTipText(caption, 1);
    return 0;
}

void CSkinButton::OnMouseMove(UINT flags, CPoint point)
{
    if (m_bHover && GetCapture() == this) {
        CRect client;
        GetClientRect(&client);
        if (!client.PtInRect(point)) {
            ReleaseCapture();
            m_bHover = 0;
            OnMouseLeave();
        }
    } else {
        SetCapture();
        m_bHover = 1;
        OnMouseEnter();
    }
    CButton::OnMouseMove(flags, point);
}

void CSkinButton::OnLButtonUp(UINT flags, CPoint point)
{
    m_bHover = 0;
    Invalidate(FALSE);
    CButton::OnLButtonUp(flags, point);
}

void CSkinButton::OnMouseLeave()
{
    Invalidate(TRUE);
    UpdateWindow();
}

void CSkinButton::OnMouseEnter()
{
    Invalidate(TRUE);
    UpdateWindow();
}

void CSkinButton::OnDestroy()
{
    if (m_tip.m_hWnd) {
        m_tip.DestroyWindow();
    }
    CButton::OnDestroy();
}

void CSkinButton::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (!dis || !m_bmp.GetSafeHandle()) {
        return;
    }
    CDC* dc = CDC::FromHandle(dis->hDC);
    CDC mem;
    if (!mem.CreateCompatibleDC(dc)) {
        return;
    }
    CBitmap* old = mem.SelectObject(&m_bmp);
    const CRect item(dis->rcItem);
    auto draw = [&](int state) {
        SkinDrawTransparent(dc, item.left, item.top, item.Width(), item.Height(), &mem, state * m_nStateWidth, 0,
                            kSkinKeyColour);
    };
    if (m_bChecked) {
        draw(2);
    } else {
        if (!m_bHover) {
            draw(0);
        }
        if (m_bHover || (dis->itemState & ODS_FOCUS)) {
            draw(1);
        }
        if (dis->itemState & ODS_SELECTED) {
            draw(2);
        } else if (dis->itemState & ODS_DISABLED) {
            draw(3);
        }
    }
    mem.SelectObject(old);
}
