#include "SkinScrollBar.h"

#include "ImageFile.h"
#include "ToolkitShared.h"

#include <algorithm>

namespace {

constexpr char kClassName[] = "SkinScrollBar";

int FrameWidth(const CBitmap& bitmap)
{
    BITMAP info{};
    return bitmap.GetSafeHandle() && bitmap.GetBitmap(&info) ? info.bmWidth / 3 : 0;
}

CSize BitmapSize(const CBitmap& bitmap)
{
    BITMAP info{};
    if (!bitmap.GetSafeHandle() || !bitmap.GetBitmap(&info)) {
        return CSize(0, 0);
    }
    return CSize(info.bmWidth, info.bmHeight);
}

// One picture file into a slot; the slot's previous picture goes first.
BOOL LoadSlot(CBitmap& slot, const CString& path)
{
    slot.DeleteObject();
    return LoadBitmapFile(path, &slot, nullptr) ? TRUE : FALSE;
}

} // namespace

CSkinScrollBar::CSkinScrollBar()
{
    m_wndClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    m_wndClass.lpfnWndProc = &AfxWndProc;
    m_wndClass.cbClsExtra = 0;
    m_wndClass.cbWndExtra = 0;
    m_wndClass.hInstance = AfxGetInstanceHandle();
    m_wndClass.hIcon = nullptr;
    m_wndClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    m_wndClass.hbrBackground = nullptr;
    m_wndClass.lpszMenuName = nullptr;
    m_wndClass.lpszClassName = kClassName;
    AfxRegisterClass(&m_wndClass);
}

CSkinScrollBar::~CSkinScrollBar()
{
    if (m_hWnd) {
        DestroyWindow();
    }
    FreeBitmaps();
    m_dcMem.DeleteDC();
}

BOOL CSkinScrollBar::Create(const RECT& rect, CWnd* parent, BOOL vertical, CWnd* notify, LPCSTR bitmapPrefix)
{
    m_rcWindow = rect;
    m_bVertical = vertical ? TRUE : FALSE;
    m_strPrefix = bitmapPrefix;
    m_hNotifyWnd = notify ? notify->GetSafeHwnd() : HwndOf(parent);
    return CreateEx(0, kClassName, "", WS_CHILD, rect, parent, 0);
}

void CSkinScrollBar::SetScrollRange(int minimum, int maximum, int page)
{
    m_nMin = minimum;
    m_nPage = page;
    m_nMax = std::max(maximum - page, 0);
}

void CSkinScrollBar::SetScrollPos(int position)
{
    m_nPos = position;
    PlaceThumb();
    if (m_hNotifyWnd) {
        Notify(UM_SCROLL_POS);
        if (m_nPos >= m_nMax - 1) {
            Notify(UM_SCROLL_POS_END);
        } else if (m_nPos <= m_nMin + 1) {
            Notify(UM_SCROLL_POS_START);
        }
    }
    if (m_hWnd) {
        Invalidate(FALSE);
    }
}

void CSkinScrollBar::Notify(UINT message)
{
    ::SendMessageA(m_hNotifyWnd, message, static_cast<WPARAM>(m_nPos), reinterpret_cast<LPARAM>(this));
}

void CSkinScrollBar::PlaceThumb()
{
    const long long divisor = m_nMax != m_nMin ? static_cast<long long>(m_nMax) - m_nMin : 1;
    const long long centre = m_nTrackStart + static_cast<long long>(m_nPos) * (m_nTrackEnd - m_nTrackStart) / divisor;
    const int clamped = static_cast<int>(std::clamp<long long>(centre, -0x3FFFFFFF, 0x3FFFFFFF));
    if (m_bVertical) {
        const int height = m_rcThumb.Height();
        m_rcThumb.top = clamped - height / 2;
        m_rcThumb.bottom = m_rcThumb.top + height;
    } else {
        const int width = m_rcThumb.Width();
        m_rcThumb.left = clamped - width / 2;
        m_rcThumb.right = m_rcThumb.left + width;
    }
}

BOOL CSkinScrollBar::PositionFromThumb()
{
    m_ptCurrent = m_rcThumb.CenterPoint();
    // A bar too short for its arrows and thumb has no track; it still must not divide by zero.
    const int length = std::max(m_nTrackEnd - m_nTrackStart, 1);
    const int position =
        static_cast<int>((static_cast<long long>(Along(m_ptCurrent)) - m_nTrackStart + 1) * m_nMax / length);
    if (position == m_nPos) {
        return FALSE;
    }
    m_nPos = position;
    return TRUE;
}

BOOL CSkinScrollBar::LoadBitmaps()
{
    static const char* const kVertical[] = {"_up.bmp", "_down.bmp", "_vpos.bmp", "_vbody.bmp"};
    static const char* const kHorizontal[] = {"_left.bmp", "_right.bmp", "_hpos.bmp", "_hbody.bmp"};
    const char* const* names = m_bVertical ? kVertical : kHorizontal;
    CBitmap* slots[] = {&m_bmpFirstArrow, &m_bmpSecondArrow, &m_bmpThumb, &m_bmpBody};
    for (int i = 0; i < 4; ++i) {
        if (!LoadSlot(*slots[i], m_strPrefix + names[i])) {
            return FALSE;
        }
    }
    return TRUE;
}

void CSkinScrollBar::FreeBitmaps()
{
    m_bmpFirstArrow.DeleteObject();
    m_bmpSecondArrow.DeleteObject();
    m_bmpThumb.DeleteObject();
    m_bmpBody.DeleteObject();
}

int CSkinScrollBar::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    if (HCURSOR cursor = ToolkitNormalCursor()) {
        ::SetClassLongPtrA(m_hWnd, GCL_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
    }
    if (LoadBitmaps()) {
        ShowWindow(SW_SHOW);
    }
    return 0;
}

void CSkinScrollBar::OnSize(UINT type, int cx, int cy)
{
    m_rcWindow.right = m_rcWindow.left + cx;
    m_rcWindow.bottom = m_rcWindow.top + cy;
    m_nWidth = cx;
    m_nHeight = cy;
    if (m_hWnd) {
        Layout();
    }
}

void CSkinScrollBar::Layout()
{
    if (!m_bmpBody.GetSafeHandle()) {
        return;
    }
    const CSize body = BitmapSize(m_bmpBody);
    const int aw = FrameWidth(m_bmpFirstArrow);
    const int ah = BitmapSize(m_bmpFirstArrow).cy;
    const int bw = FrameWidth(m_bmpSecondArrow);
    const int bh = BitmapSize(m_bmpSecondArrow).cy;
    const int tw = FrameWidth(m_bmpThumb);
    const int th = BitmapSize(m_bmpThumb).cy;
    if (m_bVertical) {
        m_nWidth = body.cx;
        m_rcFirstArrow = CRect(0, 0, aw, ah);
        m_rcSecondArrow = CRect(0, m_nHeight - bh, bw, m_nHeight);
        m_rcThumb = CRect(0, ah, tw, ah + th);
        m_nTrackStart = ah + th / 2 + 2;
        m_nTrackEnd = (m_nHeight - bh) - th / 2 - 2;
        m_rcTrack = CRect(0, ah, m_nWidth, m_nHeight - bh);
    } else {
        m_nHeight = body.cy;
        m_rcFirstArrow = CRect(0, 0, aw, ah);
        m_rcSecondArrow = CRect(m_nWidth - bw, 0, m_nWidth, m_nHeight);
        m_rcThumb = CRect(aw, 0, aw + tw, m_nHeight);
        m_nTrackStart = aw + tw / 2 + 2;
        m_nTrackEnd = (m_nWidth - bw) - tw / 2 - 2;
        m_rcTrack = CRect(aw, 0, m_nWidth - bw, m_nHeight);
    }
    // The thumb keeps showing the position the bar already holds when the bar is resized.
    if (m_nPos != 0) {
        PlaceThumb();
    }
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOREDRAW | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CSkinScrollBar::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CSkinScrollBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, RGB(255, 255, 255));
    if (!m_dcMem.GetSafeHdc() && !m_dcMem.CreateCompatibleDC(&dc)) {
        return;
    }
    DrawBody(dc, m_dcMem);
    DrawFrame(dc, m_dcMem, m_bmpFirstArrow, m_rcFirstArrow, m_nPressed == PART_FIRST_ARROW ? 1 : 0);
    DrawFrame(dc, m_dcMem, m_bmpSecondArrow, m_rcSecondArrow, m_nPressed == PART_SECOND_ARROW ? 1 : 0);
    DrawFrame(dc, m_dcMem, m_bmpThumb, m_rcThumb, m_nPressed == PART_THUMB ? 1 : 0);
}

void CSkinScrollBar::DrawBody(CDC& dc, CDC& mem)
{
    if (!m_bmpBody.GetSafeHandle()) {
        return;
    }
    const CSize body = BitmapSize(m_bmpBody);
    HGDIOBJ old = mem.SelectObject(m_bmpBody.GetSafeHandle());
    if (m_bVertical) {
        const int ah = m_rcFirstArrow.Height();
        const int bh = m_rcSecondArrow.Height();
        dc.BitBlt(0, 0, body.cx, ah, &mem, 0, 0, SRCCOPY);
        dc.BitBlt(0, m_nHeight - bh, body.cx, bh, &mem, 0, body.cy - bh, SRCCOPY);
        const int sourceHeight = body.cy - bh - ah;
        const int targetHeight = m_nHeight - bh - ah;
        if (sourceHeight > 0 && targetHeight > 0) {
            dc.StretchBlt(0, ah, m_nWidth, targetHeight, &mem, 0, ah, body.cx, sourceHeight, SRCCOPY);
        }
    } else {
        const int aw = m_rcFirstArrow.Width();
        const int bw = m_rcSecondArrow.Width();
        dc.BitBlt(0, 0, aw, body.cy, &mem, 0, 0, SRCCOPY);
        dc.BitBlt(m_nWidth - bw, 0, bw, body.cy, &mem, body.cx - bw, 0, SRCCOPY);
        const int sourceWidth = body.cx - bw - aw;
        const int targetWidth = m_nWidth - bw - aw;
        if (sourceWidth > 0 && targetWidth > 0) {
            dc.StretchBlt(aw, 0, targetWidth, m_nHeight, &mem, aw, 0, sourceWidth, body.cy, SRCCOPY);
        }
    }
    mem.SelectObject(old);
}

void CSkinScrollBar::DrawFrame(CDC& dc, CDC& mem, CBitmap& bitmap, const CRect& rect, int frame)
{
    if (!bitmap.GetSafeHandle() || rect.Width() <= 0 || rect.Height() <= 0) {
        return;
    }
    HGDIOBJ old = mem.SelectObject(bitmap.GetSafeHandle());
    dc.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &mem, frame * FrameWidth(bitmap), 0, SRCCOPY);
    mem.SelectObject(old);
}

void CSkinScrollBar::OnLButtonDown(UINT, CPoint point)
{
    SetCapture();
    m_bCaptured = TRUE;
    m_ptCurrent = m_ptLast = point;
    BOOL notify = TRUE;
    if (m_rcFirstArrow.PtInRect(point)) {
        m_nPressed = PART_FIRST_ARROW;
        if (m_nPos - 1 < m_nMin) {
            m_nPos = m_nMin;
            notify = FALSE;
        } else {
            --m_nPos;
        }
        m_bDecRepeat = TRUE;
        InvalidateRect(&m_rcFirstArrow, FALSE);
    } else if (m_rcSecondArrow.PtInRect(point)) {
        m_nPressed = PART_SECOND_ARROW;
        if (m_nPos + 1 > m_nMax) {
            m_nPos = m_nMax;
            notify = FALSE;
        } else {
            ++m_nPos;
        }
        m_bIncRepeat = TRUE;
        InvalidateRect(&m_rcSecondArrow, FALSE);
    } else if (m_rcThumb.PtInRect(point)) {
        m_nPressed = PART_THUMB;
        InvalidateRect(&m_rcThumb, FALSE);
    }
    if (m_hNotifyWnd && notify) {
        SetScrollPos(m_nPos);
    }
    SetTimer(TIMER_REPEAT_WAIT, 500);
}

void CSkinScrollBar::OnLButtonDblClk(UINT flags, CPoint point)
{
    if (flags & MK_LBUTTON) {
        OnLButtonDown(flags, point);
    }
}

void CSkinScrollBar::OnMouseMove(UINT, CPoint point)
{
    m_ptCurrent = point;
    if (m_nPressed == PART_THUMB) {
        const int along = std::clamp(Along(point), m_nTrackStart, std::max(m_nTrackStart, m_nTrackEnd));
        const int delta = along - Along(m_ptLast);
        const CRect before = m_rcThumb;
        if (m_bVertical) {
            m_rcThumb.OffsetRect(0, delta);
        } else {
            m_rcThumb.OffsetRect(delta, 0);
        }
        if (PositionFromThumb() && m_hNotifyWnd) {
            Notify(UM_SCROLL_POS);
        }
        // Both places: the old one to clear, the new one to show the thumb where it went.
        CRect both;
        both.UnionRect(&before, &m_rcThumb);
        InvalidateRect(&both, TRUE);
    }
    m_ptLast = m_ptCurrent;
}

void CSkinScrollBar::OnLButtonUp(UINT, CPoint)
{
    if (m_bCaptured && GetCapture() == this) {
        m_bCaptured = FALSE;
        CRect repaint;
        switch (m_nPressed) {
        case PART_FIRST_ARROW: repaint = m_rcFirstArrow; break;
        case PART_SECOND_ARROW: repaint = m_rcSecondArrow; break;
        case PART_THUMB: repaint = m_rcThumb; break;
        default: GetClientRect(&repaint); break;
        }
        m_nPressed = PART_NONE;
        if (m_bIncRepeat) {
            KillTimer(TIMER_REPEAT_UP);
            m_bIncRepeat = FALSE;
        } else if (m_bDecRepeat) {
            KillTimer(TIMER_REPEAT_DOWN);
            m_bDecRepeat = FALSE;
        }
        InvalidateRect(&repaint, FALSE);
    }
    ::ReleaseCapture();
}

void CSkinScrollBar::StepBy(int delta, UINT_PTR timer)
{
    const int next = m_nPos + delta;
    if (delta < 0 ? next < m_nMin : next > m_nMax) {
        m_nPos = delta < 0 ? m_nMin : m_nMax;
        KillTimer(timer);
        (delta < 0 ? m_bDecRepeat : m_bIncRepeat) = FALSE;
        return;
    }
    SetScrollPos(next);
}

void CSkinScrollBar::OnTimer(UINT_PTR id)
{
    switch (id) {
    case TIMER_REPEAT_WAIT:
        if (m_bDecRepeat) {
            SetTimer(TIMER_REPEAT_DOWN, 100);
        } else if (m_bIncRepeat) {
            SetTimer(TIMER_REPEAT_UP, 100);
        }
        KillTimer(TIMER_REPEAT_WAIT);
        break;
    case TIMER_REPEAT_DOWN: StepBy(-1, TIMER_REPEAT_DOWN); break;
    case TIMER_REPEAT_UP: StepBy(+1, TIMER_REPEAT_UP); break;
    default: CWnd::OnTimer(id); break;
    }
}

void CSkinScrollBar::OnDestroy()
{
    CWnd::OnDestroy();
    FreeBitmaps();
}
