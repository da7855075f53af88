#include "TabPicture.h"

#include <ImageFile.h>

BOOL CTabPicture::Create(CWnd* window)
{
    if (m_dc.GetSafeHdc()) {
        return TRUE;
    }
    CClientDC screen(window);
    return m_dc.CreateCompatibleDC(&screen);
}

BOOL CTabPicture::Load(const CSkinBase& skin, int tab)
{
    CString key;
    key.Format("TabImage%d", tab + 1);
    CString picture;
    if (!m_dc.GetSafeHdc() || !skin.GetString("Common", key, &picture) || picture.IsEmpty()) {
        return FALSE;
    }
    CBitmap loaded;
    BITMAP info{};
    if (!LoadBitmapFile(skin.m_strSkinFolder + "\\" + picture, &loaded, nullptr) || !loaded.GetBitmap(&info)) {
        return FALSE;
    }
    FreePicture();
    m_bmp.Attach(loaded.Detach());
    m_pOld = m_dc.SelectObject(&m_bmp);
    RECT area{0, 0, 0, 0};
    skin.GetRect("Common", "TabAreaRect", &area);
    m_rcArea = {area.left, area.top, area.left + info.bmWidth, area.top + info.bmHeight};
    return TRUE;
}

void CTabPicture::Draw(CDC* dc)
{
    if (m_bmp.GetSafeHandle()) {
        dc->BitBlt(m_rcArea.left, m_rcArea.top, m_rcArea.right - m_rcArea.left, m_rcArea.bottom - m_rcArea.top, &m_dc,
                   0, 0, SRCCOPY);
    }
}

void CTabPicture::FreePicture()
{
    if (m_pOld && m_dc.GetSafeHdc()) {
        m_dc.SelectObject(m_pOld);
    }
    m_pOld = nullptr;
    m_bmp.DeleteObject();
}

void CTabPicture::Release()
{
    FreePicture();
    if (m_dc.GetSafeHdc()) {
        m_dc.DeleteDC();
    }
}
