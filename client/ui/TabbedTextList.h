#pragma once
// The chat log: a scrolling list of lines, each with a name column and a text column, wrapped
// to the window's width and capped at the newest 100 lines. The view follows the newest line
// unless the reader has scrolled back.
#include "SkinScrollBar.h"

#include <afxwin.h>

#include <deque>

class CTabbedTextList : public CWnd {
public:
    static constexpr int kMaxLines = 100;
    // Wrapped pieces hold at most this many bytes, however wide the window.
    static constexpr int kMaxPieceBytes = 63;

    enum { LINE_NORMAL = 0, LINE_BOLD = 1 };

    struct Line {
        int nKind = LINE_NORMAL;
        CString strName;
        CString strText;
        COLORREF crText = 0;
    };

    CTabbedTextList() = default;
    ~CTabbedTextList() override;

    // A visible child.
    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    // Adds a text, wrapped into as many lines as it needs; the first carries the name.
    void AddLine(LPCSTR name, LPCSTR text, COLORREF colour, int kind);

    int GetLineCount() const { return static_cast<int>(m_lines.size()); }
    const Line& GetLine(int index) const { return m_lines[static_cast<size_t>(index)]; }
    int GetLineHeight() const { return m_nLineHeight; }
    int GetLinesThatFit() const { return m_nLinesFit; }
    int GetFirstShownLine() const { return m_nFirstLine; }
    CSkinScrollBar& ScrollBar() { return m_scrollBar; }
    const CRect& TextArea() const { return m_rcText; }
    // The lines as the window's text (WM_GETTEXT): the name, a tab and the text, one line each.
    CString GetLogText() const;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnEraseBkgnd(CDC* dc) override;
    void OnPaint() override;
    void OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int Measure(CDC& dc, const CString& text) const;
    // The longest cut of at most `limit` bytes that ends on a whole character.
    static int WholeCharacters(const CString& text, int limit);
    void Append(const CString& name, const CString& text, COLORREF colour, int kind);

    std::deque<Line> m_lines;
    HFONT m_hFont = nullptr;
    int m_nLineHeight = 20;
    int m_nLinesFit = 0;
    int m_nFirstLine = 0;
    CSkinScrollBar m_scrollBar;
    BOOL m_bScrollShown = FALSE;
    CRect m_rcClient;
    CRect m_rcScroll;
    CRect m_rcName;
    CRect m_rcText;
    CRect m_rcFirstLine;
};
