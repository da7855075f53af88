#include "TabbedTextList.h"

#include "ToolkitShared.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kScrollStrip = 18;
constexpr int kNameWidth = 80;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

CString TrimmedLeft(const CString& text)
{
    int at = 0;
    while (at < text.GetLength() && IsBlank(text[at])) {
        ++at;
    }
    return text.Mid(at);
}

} // namespace

CTabbedTextList::~CTabbedTextList()
{
    if (m_hWnd) {
        DestroyWindow();
    }
}

BOOL CTabbedTextList::Create(const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(nullptr, "", WS_CHILD | WS_VISIBLE, rect, parent, id);
}

int CTabbedTextList::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1) {
        return -1;
    }
    m_hFont = ToolkitGuiFont();
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), TRUE);
    LOGFONTA font{};
    ::GetObjectA(m_hFont, sizeof font, &font);
    if (font.lfHeight <= 0) {
        m_nLineHeight = 2 - font.lfHeight;
    } else {
        // A positive height is the cell height, not the character height: ask the font itself.
        CClientDC dc(this);
        HGDIOBJ old = dc.SelectObject(m_hFont);
        TEXTMETRICA metrics{};
        dc.GetTextMetrics(&metrics);
        dc.SelectObject(old);
        m_nLineHeight = metrics.tmHeight + 2;
    }
    m_nLineHeight = std::max(m_nLineHeight, 1);
    m_scrollBar.Create(CRect(0, 0, 10, 10), this, TRUE, this, ToolkitSkinFolder() + "\\scrollbar");
    m_scrollBar.ShowWindow(SW_HIDE);
    return 0;
}

void CTabbedTextList::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    m_rcClient = CRect(0, 0, cx, cy);
    m_rcScroll = CRect(cx - kScrollStrip, 0, cx, cy);
    m_rcName = CRect(1, 1, kNameWidth - 1, cy - 1);
    m_rcText = CRect(m_rcName.right + 2, 0, cx - kScrollStrip, cy);
    m_rcFirstLine = CRect(0, 0, cx, m_nLineHeight);
    if (m_nLineHeight > 0) {
        m_nLinesFit = cy / m_nLineHeight;
    }
}

int CTabbedTextList::Measure(CDC& dc, const CString& text) const
{
    return dc.GetTabbedTextExtent(text, 0, nullptr).cx;
}

int CTabbedTextList::WholeCharacters(const CString& text, int limit)
{
    int at = 0;
    while (at < limit) {
        const int step = YondaIsLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
        if (at + step > limit) {
            break;
        }
        at += step;
    }
    return at;
}

void CTabbedTextList::AddLine(LPCSTR name, LPCSTR text, COLORREF colour, int kind)
{
    CClientDC dc(this);
    HGDIOBJ oldFont = dc.SelectObject(m_hFont ? m_hFont : ToolkitGuiFont());
    const int available = m_rcText.Width() - 8;
    CString rest = TrimmedLeft(CString(text));
    CString lineName = name;
    while (!rest.IsEmpty()) {
        if (Measure(dc, rest) < available) {
            Append(lineName, rest, colour, kind);
            break;
        }
        int limit = rest.GetLength() >= kMaxPieceBytes + 1 ? kMaxPieceBytes : rest.GetLength() - 1;
        CString piece;
        CString after;
        BOOL found = FALSE;
        while (limit > 3) {
            // Never end a piece inside a two-byte character.
            int cut = WholeCharacters(rest, limit);
            piece = rest.Left(cut);
            const int tab = piece.ReverseFind('\t');
            const int space = piece.ReverseFind(' ');
            if (tab > 0 && tab > space) {
                cut = tab;
            } else if (space > 0 && space > tab) {
                cut = space;
            }
            piece = rest.Left(cut);
            if (Measure(dc, piece) <= available) {
                after = rest.Mid(cut);
                found = TRUE;
                break;
            }
            limit = cut - 1;
        }
        Append(lineName, piece, colour, kind);
        lineName.Empty();
        // Without a cut that fits, the rest cannot be shown at this width and is dropped.
        rest = found ? TrimmedLeft(after) : CString();
    }
    dc.SelectObject(oldFont);
    Invalidate(TRUE);
}

void CTabbedTextList::Append(const CString& name, const CString& text, COLORREF colour, int kind)
{
    m_lines.push_back(Line{kind, name, text, colour});
    while (static_cast<int>(m_lines.size()) > kMaxLines) {
        m_lines.pop_front();
    }
    const int count = static_cast<int>(m_lines.size());
    if (m_nLinesFit < count + 1 && m_scrollBar.m_hWnd) {
        if (!m_bScrollShown) {
            m_scrollBar.MoveWindow(&m_rcScroll, TRUE);
            m_scrollBar.ShowWindow(SW_SHOW);
            m_bScrollShown = TRUE;
        }
        m_scrollBar.SetScrollRange(0, count, m_nLinesFit);
        if (m_scrollBar.GetScrollPos() >= m_scrollBar.m_nMax - 2) {
            m_scrollBar.SetScrollPos(m_scrollBar.m_nMax);
        }
    }
}

CString CTabbedTextList::GetLogText() const
{
    CString text;
    for (const Line& line : m_lines) {
        if (!text.IsEmpty()) {
            text += "\r\n";
        }
        text += line.strName + "\t" + line.strText;
    }
    return text;
}

LRESULT CTabbedTextList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_SCROLL_POS) {
        m_nFirstLine = static_cast<int>(wParam);
        Invalidate(TRUE);
        return 0;
    }
    // Readers of the window's text (accessibility tools, the automation hook) get the log.
    if (LRESULT answer = 0; (message == WM_GETTEXT || message == WM_GETTEXTLENGTH) &&
                            ToolkitAnswerTextQuery(GetLogText(), message, wParam, lParam, &answer)) {
        return answer;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CTabbedTextList::OnEraseBkgnd(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CBrush frame(RGB(0x80, 0x80, 0x80));
    dc->FrameRect(&client, &frame);
    CRect inside = client;
    inside.DeflateRect(1, 1);
    dc->FillSolidRect(&inside, RGB(255, 255, 255));
    dc->FillSolidRect(&m_rcName, RGB(0xE1, 0xE1, 0xE1));
    return TRUE;
}

void CTabbedTextList::OnPaint()
{
    CPaintDC dc(this);
    HFONT font = m_hFont ? m_hFont : ToolkitGuiFont();
    LOGFONTA description{};
    ::GetObjectA(font, sizeof description, &description);
    description.lfWeight = 600;
    CFont bold;
    bold.CreateFontIndirect(&description);

    CRect line = m_rcFirstLine;
    CRect nameRect(line.left, line.top, m_rcName.right, line.bottom);
    CRect textRect(m_rcName.right + 1, line.top, line.right - kScrollStrip, line.bottom);
    HGDIOBJ oldFont = dc.SelectObject(font);
    dc.SetBkMode(TRANSPARENT);
    const int count = static_cast<int>(m_lines.size());
    for (int i = std::max(m_nFirstLine, 0); i < count && nameRect.top < m_rcClient.bottom; ++i) {
        const Line& entry = m_lines[static_cast<size_t>(i)];
        dc.SelectObject(entry.nKind == LINE_BOLD && bold.GetSafeHandle() ? static_cast<HGDIOBJ>(bold.GetSafeHandle())
                                                                         : static_cast<HGDIOBJ>(font));
        dc.SetTextColor(entry.crText);
        CRect name(nameRect.left + 3, nameRect.top + 1, nameRect.right - 3, nameRect.bottom + 1);
        dc.DrawText(entry.strName, &name, DT_SINGLELINE);
        dc.TabbedTextOut(textRect.left + 3, textRect.top + 1, entry.strText, 0, nullptr, 0);
        nameRect.OffsetRect(0, m_nLineHeight);
        textRect.OffsetRect(0, m_nLineHeight);
    }
    dc.SelectObject(oldFont);
}

void CTabbedTextList::OnDestroy()
{
    CWnd::OnDestroy();
    m_lines.clear();
}
