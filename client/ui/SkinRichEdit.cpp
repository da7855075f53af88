#include "SkinRichEdit.h"

#include "ToolkitShared.h"

#include <richedit.h>

CSkinRichEdit::~CSkinRichEdit()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CSkinRichEdit::Create(const RECT& rect, CWnd* parent, UINT id, CSkinScrollBar* scrollBar)
{
    m_pScrollBar = scrollBar;
    return CRichEditCtrl::Create(kStyle, rect, parent, id);
}

int CSkinRichEdit::OnCreate(LPCREATESTRUCT cs)
{
    if (CRichEditCtrl::OnCreate(cs) == -1) {
        return -1;
    }
    SetReadOnly(TRUE);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(ToolkitGuiFont()), FALSE);
    GetClientRect(&m_rcClient);
    return 0;
}

void CSkinRichEdit::AppendLine(CString text, COLORREF colour)
{
    // The line, its colour and the scrolling show as one change.
    SetRedraw(FALSE);
    const long start = LineIndex(GetLineCount() - 1);
    long end = GetTextLength();
    SetSel(end, end);
    ReplaceSel(text);

    // The control clamps the range to its text, so a line it could not take whole stays safe.
    SetSel(start, start + text.GetLength());
    CHARFORMAT format{};
    format.cbSize = sizeof(format);
    GetSelectionCharFormat(format);
    format.dwMask = CFM_COLOR;
    format.dwEffects &= ~CFE_AUTOCOLOR;
    format.crTextColor = colour;
    SetSelectionCharFormat(format);

    FollowEnd();

    end = GetTextLength();
    SetSel(end, end);
    ReplaceSel("\r\n");
    SetRedraw(TRUE);
    Invalidate(FALSE);
}

void CSkinRichEdit::FollowEnd()
{
    const int lines = GetLineCount();
    if (!m_pScrollBar || !m_pScrollBar->m_hWnd || lines <= m_nVisibleLines) {
        return;
    }
    if (!m_pScrollBar->IsWindowVisible()) {
        m_pScrollBar->ShowWindow(SW_SHOW);
    }
    m_pScrollBar->SetScrollRange(0, lines, m_nVisibleLines);
    LineScroll(lines - GetFirstVisibleLine() - m_nVisibleLines);
    m_pScrollBar->SetScrollPos(m_pScrollBar->m_nMax);
}

void CSkinRichEdit::AppendText(CString name, CString text, COLORREF colour)
{
    if (name.IsEmpty()) {
        AppendLine(text, kNamelessColour);
        return;
    }
    AppendLine(name, RGB(0, 0, 0));
    AppendLine(text, colour);
}

LRESULT CSkinRichEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_SCROLL_POS) {
        // The bar's position is the first line shown. Measured from the line shown now rather
        // than from the bar's last position, since appending scrolls the text itself: the top
        // of the bar then still reaches the first line.
        const int position = static_cast<int>(wParam);
        LineScroll(position - GetFirstVisibleLine());
        m_nScrollPos = position;
        return 0;
    }
    return CRichEditCtrl::WindowProc(message, wParam, lParam);
}
