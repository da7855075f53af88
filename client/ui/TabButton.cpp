#include "TabButton.h"

#include "ImageFile.h"
#include "SoundButton.h"
#include "ToolkitShared.h"

#include <algorithm>

CTabButton::~CTabButton()
{
    if (m_hWnd) {
        DestroyWindow();
    }
    ReleaseSurface();
}

void CTabButton::ReleaseSurface()
{
    if (m_hMemDC) {
        ::SelectObject(m_hMemDC, m_hOldBitmap);
        ::DeleteDC(m_hMemDC);
    }
    if (m_hMemBitmap) {
        ::DeleteObject(m_hMemBitmap);
    }
    m_hMemDC = nullptr;
    m_hMemBitmap = nullptr;
    m_hOldBitmap = nullptr;
    m_bmp.DeleteObject();
    m_hPicture = nullptr;
}

int CTabButton::Create(CWnd* parent, int count, const char* picturePath, bool horizontal, RECT rect, UINT id)
{
    // No tabs would leave nothing to step through.
    if (count < 1) {
        return -1;
    }
    if (!CWnd::Create(nullptr, "TabBtn", WS_CHILD | WS_VISIBLE, rect, parent, id)) {
        return -1;
    }
    m_nCount = count;
    m_bHorizontal = horizontal ? 1 : 0;
    HDC windowDC = ::GetDC(m_hWnd);
    m_hMemDC = ::CreateCompatibleDC(windowDC);
    if (!m_hMemDC) {
        ::ReleaseDC(m_hWnd, windowDC);
        return 0;
    }
    CRect client;
    GetClientRect(&client);
    m_nWidth = client.Width();
    m_nHeight = client.Height();
    int width = m_nWidth;
    int height = m_nHeight;
    if (picturePath && *picturePath && LoadBitmapFile(picturePath, &m_bmp, nullptr)) {
        m_hPicture = static_cast<HBITMAP>(m_bmp.GetSafeHandle());
        BITMAP info{};
        m_bmp.GetBitmap(&info);
        width = info.bmWidth;
        height = info.bmHeight;
    }
    if (m_bHorizontal) {
        m_nCellWidth = width;
        m_nCellHeight = height / count;
        m_nStep = std::max(width / count, 1);
    } else {
        m_nCellWidth = width / count;
        m_nCellHeight = height;
        m_nStep = std::max(height / count, 1);
    }
    m_hMemBitmap = ::CreateCompatibleBitmap(windowDC, std::max(m_nWidth, 1), std::max(m_nHeight, 1));
    ::ReleaseDC(m_hWnd, windowDC);
    if (!m_hMemBitmap) {
        return 0;
    }
    m_hOldBitmap = ::SelectObject(m_hMemDC, m_hMemBitmap);
    return 1;
}

void CTabButton::SetCurSel(int index)
{
    m_nCurSel = index;
    if (m_hWnd) {
        Invalidate(FALSE);
    }
}

void CTabButton::OnLButtonDown(UINT flags, CPoint point)
{
    const int index = (m_bHorizontal ? point.x : point.y) / m_nStep;
    // A click past the last tab (a picture not a whole number of tabs wide) selects nothing.
    if (index >= 0 && index < m_nCount && index != m_nCurSel) {
        ToolkitPlayWave(kWaveClick);
        m_nCurSel = index;
        if (CWnd* parent = GetParent()) {
            parent->SendMessage(UM_TAB_SELECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(this));
        }
        if (m_hWnd) {
            Invalidate(FALSE);
        }
    }
    CWnd::OnLButtonDown(flags, point);
}

BOOL CTabButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CTabButton::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    if (dc && m_hPicture && m_hMemDC) {
        HDC picture = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(picture, m_hPicture);
        const int sx = m_bHorizontal ? 0 : m_nCellWidth * m_nCurSel;
        const int sy = m_bHorizontal ? m_nCellHeight * m_nCurSel : 0;
        ::SetStretchBltMode(m_hMemDC, COLORONCOLOR);
        ::StretchBlt(m_hMemDC, 0, 0, m_nWidth, m_nHeight, picture, sx, sy, m_nCellWidth, m_nCellHeight, SRCCOPY);
        ::SelectObject(picture, old);
        ::DeleteDC(picture);
        ::BitBlt(dc, 0, 0, m_nWidth, m_nHeight, m_hMemDC, 0, 0, SRCCOPY);
    }
    ::EndPaint(m_hWnd, &ps);
}

void CTabButton::OnDestroy()
{
    ReleaseSurface();
    CWnd::OnDestroy();
}
