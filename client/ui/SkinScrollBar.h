#pragma once
// The toolkit's own scroll bar: a child window of its own class drawn entirely from four skin
// pictures, with arrow repeat by timers and thumb dragging. It never uses the system's scroll-bar
// messages; every change of position is sent to a notify window instead.
#include <afxwin.h>

// Sent to the notify window: wParam the new position, lParam the scroll bar object.
constexpr UINT UM_SCROLL_POS = 0xFB8;       // every change of position
constexpr UINT UM_SCROLL_POS_START = 0xFB9; // after UM_SCROLL_POS from SetScrollPos, near the minimum
constexpr UINT UM_SCROLL_POS_END = 0xFBA;   // after UM_SCROLL_POS from SetScrollPos, near the maximum

class CSkinScrollBar : public CWnd {
public:
    // The parts a press can hold.
    enum { PART_NONE = 0, PART_FIRST_ARROW = 1, PART_THUMB = 3, PART_SECOND_ARROW = 5 };
    // Timers: the first repeat waits, then one step per tick.
    enum { TIMER_REPEAT_WAIT = 100, TIMER_REPEAT_DOWN = 101, TIMER_REPEAT_UP = 102 };

    CSkinScrollBar();
    ~CSkinScrollBar() override;

    // A hidden child (id 0) that shows itself once its pictures loaded. Without a notify window
    // the parent is told of every change.
    BOOL Create(const RECT& rect, CWnd* parent, BOOL vertical, CWnd* notify, LPCSTR bitmapPrefix);
    // The stored maximum is maximum - page (never negative): the last first-visible index.
    void SetScrollRange(int minimum, int maximum, int page);
    // Places the thumb and tells the notify window; the position is taken as given (owners clamp).
    void SetScrollPos(int position);
    int GetScrollPos() const { return m_nPos; }

    // Owners read the stored maximum directly.
    int m_nMax = 10;

    // The current layout, for owners and tests.
    const CRect& FirstArrowRect() const { return m_rcFirstArrow; }
    const CRect& SecondArrowRect() const { return m_rcSecondArrow; }
    const CRect& ThumbRect() const { return m_rcThumb; }
    int TrackStart() const { return m_nTrackStart; }
    int TrackEnd() const { return m_nTrackEnd; }
    int GetMinimum() const { return m_nMin; }
    int PressedPart() const { return m_nPressed; }

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnTimer(UINT_PTR id) override;
    void OnDestroy() override;

private:
    BOOL LoadBitmaps();
    void FreeBitmaps();
    void Layout();
    // The thumb's centre along the axis for a position.
    void PlaceThumb();
    BOOL PositionFromThumb();
    int Along(const POINT& p) const { return m_bVertical ? p.y : p.x; }
    void DrawBody(CDC& dc, CDC& mem);
    void DrawFrame(CDC& dc, CDC& mem, CBitmap& bitmap, const CRect& rect, int frame);
    void Notify(UINT message);
    void StepBy(int delta, UINT_PTR timer);

    WNDCLASSA m_wndClass{};
    BOOL m_bVertical = TRUE;
    int m_nMin = 0;
    int m_nPage = 0;
    int m_nTrackStart = 0;
    int m_nTrackEnd = 10;
    CPoint m_ptCurrent;
    CPoint m_ptLast;
    BOOL m_bCaptured = FALSE;
    HWND m_hNotifyWnd = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CRect m_rcFirstArrow;
    CRect m_rcSecondArrow;
    CRect m_rcThumb;
    BOOL m_bDecRepeat = FALSE;
    BOOL m_bIncRepeat = FALSE;
    CRect m_rcWindow;
    CRect m_rcTrack;
    CString m_strPrefix;
    CDC m_dcMem;
    CBitmap m_bmpFirstArrow;
    CBitmap m_bmpSecondArrow;
    CBitmap m_bmpThumb;
    CBitmap m_bmpBody;
    int m_nPressed = PART_NONE;
    int m_nPos = 0;
};
