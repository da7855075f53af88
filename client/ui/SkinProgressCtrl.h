#pragma once
// A progress bar painted entirely by the program over the system progress control: a gradient of
// any number of colours, horizontal or vertical, optionally mirrored or a moving segment that
// bounces between the ends, with an optional text in one colour over the bar and another over the
// background. The system control keeps the range and the position.
#include <afxcmn.h>
#include <afxcoll.h>
#include <afxwin.h>

// Style bits of the control besides the system's PBS_VERTICAL.
constexpr DWORD PBS_TEXT_PERCENT = 0x100; // "%d%%" of the percentage, or the window text as format
constexpr DWORD PBS_TEXT_VALUE = 0x200;   // "%d" of the position, or the window text as format
constexpr DWORD PBS_TEXT_WINDOW = 0x300;  // the window text as it stands
constexpr DWORD PBS_TEXT_MASK = 0x300;
constexpr DWORD PBS_TEXT_ON_BAR = 0x1000;     // centred on the bar, shown only when the bar is long enough
constexpr DWORD PBS_GRADIENT_ON_BAR = 0x2000; // the gradient spans the bar instead of the whole length
constexpr DWORD PBS_MIRRORED = 0x4000;        // horizontal bars grow from the right, vertical from the top
constexpr DWORD PBS_MOVING_SEGMENT = 0x8000;  // the bar is a segment that moves and bounces

class CSkinProgressCtrl : public CProgressCtrl {
public:
    // A stretch along the bar, 0 at the bar's origin.
    struct INTERVAL {
        int nStart = 0;
        int nEnd = 0;
        int Length() const { return nEnd - nStart; }
    };
    // What one painting hands between the drawing steps.
    struct DRAWINFO {
        CDC* pDC = nullptr;
        DWORD dwStyle = 0;
        CRect rcBar; // the client rectangle less the borders
        int nPos = 0;
        int nLower = 0;
        int nUpper = 0;
    };

    CSkinProgressCtrl();
    ~CSkinProgressCtrl() override;

    // At least two colours; fewer leave the gradient as it was.
    void SetGradientColors(const COLORREF* colors, int count);
    INT_PTR GetGradientColorCount() const { return m_colors.GetSize(); }
    // Brushes stay their owner's; null goes back to colours.
    void SetBarBrush(HBRUSH brush) { m_hBarBrush = brush; }
    void SetBackBrush(HBRUSH brush) { m_hBackBrush = brush; }
    void SetTextColors(COLORREF onBar, COLORREF onBack);
    void SetBorders(const RECT& borders) { m_rcBorders = borders; }
    void SetSegmentLength(int length) { m_nSegment = length; }
    int GetTail() const { return m_nTail; }
    int GetSegmentLength() const { return m_nSegment; }
    int GetStepSize() const { return m_nStep; }

    // The client rectangle of an interval of the bar.
    static CRect ToClient(const DRAWINFO& info, const INTERVAL& interval);
    // The window text with its one value put in: only "%d" and "%%" are directives, anything else
    // is copied as written, so a window text can never read arguments that are not there.
    static CString FormatText(const CString& format, int value);
    // The percentage the text shows; an empty range is 0, or 100 once the position reaches it.
    static int Percentage(int pos, int lower, int upper);

protected:
    virtual void DrawGradientBar(const DRAWINFO& info, const INTERVAL& gradient, const INTERVAL& clip);
    virtual void DrawGradient(const DRAWINFO& info, const INTERVAL& part, const INTERVAL& clip, COLORREF from,
                              COLORREF to);
    virtual void DrawText(const DRAWINFO& info, const INTERVAL& whole, const INTERVAL& bar);
    virtual void DrawClippedText(const DRAWINFO& info, const INTERVAL& interval, const CString& text,
                                 const CPoint& origin);
    virtual bool SetSegmentPos(LRESULT* result, int pos, bool relative);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    BOOL OnEraseBkgnd(CDC* dc) override;

private:
    void FillBand(const DRAWINFO& info, const INTERVAL& band, COLORREF colour);

    CDWordArray m_colors;
    HBRUSH m_hBarBrush = nullptr;
    COLORREF m_crBack = 0;
    HBRUSH m_hBackBrush = nullptr;
    COLORREF m_crTextOnBar = 0;
    COLORREF m_crTextOnBack = 0;
    int m_nTail = 0;
    int m_nSegment = 40;
    int m_nStep = 10;
    CRect m_rcBorders{0, 0, 0, 0};
};
