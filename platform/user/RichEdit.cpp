// The rich edit control as the program uses it: a multi-line log in one font whose characters each
// carry a colour, word-wrapped to the client width. The line queries (count, index, first visible
// line, scrolling) count the wrapped lines the control shows, so a caller that appends and scrolls
// by them sees what it computed. Positions count bytes and never split a double-byte character.
// Colours come from the character format (EM_SETCHARFORMAT, CFM_COLOR); every other field of it is
// answered from the control's one font and otherwise ignored.
#include "CaretSelection.h"
#include "ControlState.h"
#include "TextLines.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace yonda::user {
namespace {

// Colour slots beside real COLORREFs: "the system's text colour" and "whatever the default is".
constexpr COLORREF kAutoColor = 0xFFFFFFFF;
constexpr COLORREF kDefaultColor = 0xFFFFFFFE;

// A memory DC with the control's font: measuring does not depend on the window being shown.
class MeasureDC {
public:
    explicit MeasureDC(HWND hwnd) : m_dc(CreateCompatibleDC(nullptr))
    {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        if (m_dc && font)
            m_old = SelectObject(m_dc, font);
    }
    ~MeasureDC()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_dc)
            DeleteDC(m_dc);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

RECT Client(HWND hwnd)
{
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return rc;
}

class RichEditControl : public CaretSelection {
public:
    std::vector<COLORREF> colors; // one per byte of text
    COLORREF defaultColor = kAutoColor;
    bool insertPending = false; // a colour set on an empty selection waits for the next insertion
    COLORREF insertColor = kDefaultColor;
    int firstLine = 0;
    std::vector<TextLine> lines;
    bool layoutValid = false;
    int lineHeight = 16;
    size_t limit = 32767;
    int leftMargin = 1;
    int rightMargin = 1;
    bool wrap = true;
    COLORREF background = CLR_INVALID; // the system window colour
    DWORD eventMask = ENM_NONE;
    bool hideSelection = true;

    LRESULT OnCreate(const CREATESTRUCTA* cs);
    LRESULT OnSetText(LPARAM lParam);
    LRESULT OnGetText(WPARAM size, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM key);
    LRESULT OnExGetSel(LPARAM lParam) const;
    LRESULT OnExSetSel(LPARAM lParam);
    LRESULT OnGetSelText(LPARAM lParam) const;
    LRESULT OnGetTextRange(LPARAM lParam) const;
    LRESULT GetCharFormat(WPARAM which, CHARFORMATA* cf);
    LRESULT SetCharFormat(WPARAM which, const CHARFORMATA* cf);
    LRESULT OnSetBackgroundColor(WPARAM useSystem, LPARAM color);
    LRESULT OnSetEventMask(LPARAM mask);
    LRESULT OnHideSelection(WPARAM hide);
    LRESULT OnSetTargetDevice(LPARAM lineWidth);
    LRESULT OnSetReadOnly(WPARAM on);
    LRESULT OnLimitText(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMargins(WPARAM which, LPARAM margins);
    LRESULT OnGetRect(LPARAM lParam) const;
    LRESULT OnPosFromChar(WPARAM point, LPARAM index);
    LRESULT OnCharFromPos(LPARAM point);
    LRESULT LineQuery(UINT message, WPARAM wParam, LPARAM lParam);
    void Relayout();
    void Paint();
    void ReplaceSelection(std::string insert) override;

protected:
    size_t PositionFromPoint(POINT pt) override;
    void MoveCaret(size_t pos, bool extend) override;
    size_t CaretPlace(size_t pos) const override { return CharBoundary(text, pos); }
    size_t PrevCaretPlace(size_t pos) const override;
    size_t NextCaretPlace(size_t pos) const override;
    void SelectionSet() override;

private:
    COLORREF Resolve(COLORREF c) const;
    bool IsAuto(COLORREF c) const;
    int VisibleLines() const;
    void ClampFirstLine();
    void Layout();
    void Notify(DWORD mask, UINT code) const;
    bool SetFirstLine(int line);
    void ScrollCaretIntoView();
    COLORREF InsertionColor(size_t a, size_t b) const;
    POINT PointOfPosition(size_t pos);
};

COLORREF RichEditControl::Resolve(COLORREF c) const
{
    if (c == kDefaultColor)
        c = defaultColor;
    return c == kAutoColor ? GetSysColor(COLOR_WINDOWTEXT) : c;
}

bool RichEditControl::IsAuto(COLORREF c) const
{
    return (c == kDefaultColor ? defaultColor : c) == kAutoColor;
}

int RichEditControl::VisibleLines() const
{
    return std::max(1, static_cast<int>(Client(hwnd).bottom) / std::max(1, lineHeight));
}

void RichEditControl::ClampFirstLine()
{
    firstLine = std::clamp(firstLine, 0, std::max(0, static_cast<int>(lines.size()) - 1));
}

void RichEditControl::Layout()
{
    if (layoutValid)
        return;
    MeasureDC dc(hwnd);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 16;
    int width = 0;
    if (wrap && (Style() & ES_MULTILINE))
        width = static_cast<int>(Client(hwnd).right) - leftMargin - rightMargin;
    lines = BreakLines(dc, text, std::max(0, width), Breaks::Any);
    layoutValid = true;
    ClampFirstLine();
}

void RichEditControl::Relayout()
{
    layoutValid = false;
    Layout();
}

void RichEditControl::Notify(DWORD mask, UINT code) const
{
    if (eventMask & mask)
        NotifyParent(hwnd, code);
}

bool RichEditControl::SetFirstLine(int line)
{
    Layout();
    int old = firstLine;
    firstLine = line;
    ClampFirstLine();
    if (firstLine == old)
        return false;
    InvalidateRect(hwnd, nullptr, FALSE);
    Notify(ENM_SCROLL, EN_VSCROLL);
    return true;
}

void RichEditControl::ScrollCaretIntoView()
{
    Layout();
    int line = LineOfPosition(lines, caret);
    int visible = VisibleLines();
    if (line < firstLine)
        SetFirstLine(line);
    else if (line >= firstLine + visible)
        SetFirstLine(line - visible + 1);
}

// The colour new text takes when it replaces [a, b): a pending insertion colour, else that of the
// first replaced character, else that of the character before.
COLORREF RichEditControl::InsertionColor(size_t a, size_t b) const
{
    if (insertPending)
        return insertColor;
    if (b > a)
        return colors[a];
    if (a > 0)
        return colors[a - 1];
    if (!colors.empty())
        return colors[0];
    return kDefaultColor;
}

void RichEditControl::ReplaceSelection(std::string insert)
{
    auto [a, b] = Selection();
    size_t kept = text.size() - (b - a);
    size_t room = limit > kept ? limit - kept : 0;
    bool cut = insert.size() > room;
    if (cut) {
        insert.resize(CharBoundary(insert, room));
        if (insert.empty() && a == b) {
            NotifyParent(hwnd, EN_MAXTEXT);
            return;
        }
    }
    COLORREF color = InsertionColor(a, b);
    text.replace(a, b - a, insert);
    colors.erase(colors.begin() + static_cast<ptrdiff_t>(a), colors.begin() + static_cast<ptrdiff_t>(b));
    colors.insert(colors.begin() + static_cast<ptrdiff_t>(a), insert.size(), color);
    anchor = caret = a + insert.size();
    insertPending = false;
    modified = true;
    layoutValid = false;
    Notify(ENM_UPDATE, EN_UPDATE);
    if (Style() & ES_AUTOVSCROLL)
        ScrollCaretIntoView();
    InvalidateRect(hwnd, nullptr, FALSE);
    Notify(ENM_CHANGE, EN_CHANGE);
    if (cut)
        NotifyParent(hwnd, EN_MAXTEXT);
}

void RichEditControl::SelectionSet()
{
    insertPending = false;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void RichEditControl::MoveCaret(size_t pos, bool extend)
{
    caret = CharBoundary(text, pos);
    if (!extend)
        anchor = caret;
    insertPending = false;
    ScrollCaretIntoView();
    InvalidateRect(hwnd, nullptr, FALSE);
}

// A break is stepped over whole.
size_t RichEditControl::PrevCaretPlace(size_t pos) const
{
    if (pos >= 2 && text.compare(pos - 2, 2, "\r\n") == 0)
        return pos - 2;
    return PrevCharBoundary(text, pos);
}

size_t RichEditControl::NextCaretPlace(size_t pos) const
{
    size_t breakSize = BreakSize(text, pos, Breaks::Any);
    return breakSize ? pos + breakSize : NextCharBoundary(text, pos);
}

void FillLogFont(HWND hwnd, LOGFONTA* lf)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    if (!font)
        font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    *lf = LOGFONTA{};
    if (font)
        GetObjectA(font, sizeof *lf, lf);
}

LRESULT RichEditControl::GetCharFormat(WPARAM which, CHARFORMATA* cf)
{
    if (!cf || cf->cbSize < sizeof(CHARFORMATA))
        return 0;
    LOGFONTA lf;
    FillLogFont(hwnd, &lf);
    cf->dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_SIZE | CFM_FACE |
                 CFM_CHARSET | CFM_OFFSET;
    cf->dwEffects = (lf.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (lf.lfItalic ? CFE_ITALIC : 0) |
                    (lf.lfUnderline ? CFE_UNDERLINE : 0) | (lf.lfStrikeOut ? CFE_STRIKEOUT : 0);
    cf->yHeight = std::abs(lf.lfHeight) * 1440 / 96;
    cf->yOffset = 0;
    cf->bCharSet = lf.lfCharSet;
    cf->bPitchAndFamily = lf.lfPitchAndFamily;
    std::memcpy(cf->szFaceName, lf.lfFaceName, sizeof cf->szFaceName);
    cf->szFaceName[sizeof cf->szFaceName - 1] = '\0';

    // The colour is reported only when the whole range has one.
    COLORREF color = defaultColor;
    bool uniform = true;
    if (which & (SCF_SELECTION | SCF_WORD)) {
        auto [a, b] = Selection();
        if (a == b) {
            color = InsertionColor(a, b);
        } else {
            color = colors[a];
            for (size_t i = a + 1; i < b && uniform; ++i)
                uniform = Resolve(colors[i]) == Resolve(color) && IsAuto(colors[i]) == IsAuto(color);
        }
    }
    cf->crTextColor = Resolve(color);
    if (uniform) {
        cf->dwMask |= CFM_COLOR;
        if (IsAuto(color))
            cf->dwEffects |= CFE_AUTOCOLOR;
    }
    return cf->dwMask;
}

LRESULT RichEditControl::SetCharFormat(WPARAM which, const CHARFORMATA* cf)
{
    if (!cf || cf->cbSize < sizeof(CHARFORMATA))
        return FALSE;
    if (!(cf->dwMask & CFM_COLOR))
        return TRUE; // nothing else is kept per range
    COLORREF color = (cf->dwEffects & CFE_AUTOCOLOR) ? kAutoColor : (cf->crTextColor & 0x00FFFFFF);
    if (which & SCF_ALL) {
        std::fill(colors.begin(), colors.end(), color);
        defaultColor = color;
    } else if (which & (SCF_SELECTION | SCF_WORD)) {
        auto [a, b] = Selection();
        if (a == b) {
            insertPending = true;
            insertColor = color;
        } else {
            std::fill(colors.begin() + static_cast<ptrdiff_t>(a), colors.begin() + static_cast<ptrdiff_t>(b), color);
        }
    } else {
        defaultColor = color;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

void RichEditControl::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) {
        EndPaint(hwnd, &ps);
        return;
    }
    Layout();
    RECT rc = Client(hwnd);
    COLORREF back = background == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : background;
    HBRUSH backBrush = CreateSolidBrush(back);
    FillRect(dc, &rc, backBrush);
    DeleteObject(backBrush);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    auto [selA, selB] = Selection();
    bool showSel = selA < selB && (focused || !hideSelection);
    int caretLine = LineOfPosition(lines, caret);
    int y = 0;
    std::vector<int> dx;
    for (int index = firstLine; index < static_cast<int>(lines.size()) && y < rc.bottom; ++index) {
        const TextLine& line = lines[static_cast<size_t>(index)];
        size_t n = line.end - line.start;
        dx.assign(n, 0);
        SIZE size{};
        if (n)
            GetTextExtentExPointA(dc, text.data() + line.start, static_cast<int>(n), -1, nullptr, dx.data(), &size);
        auto xAt = [&](size_t pos) { return leftMargin + (pos > line.start ? dx[pos - line.start - 1] : 0); };
        // Pieces of one colour and one selection state, drawn in turn.
        size_t pos = line.start;
        while (pos < line.end) {
            bool selected = showSel && pos >= selA && pos < selB;
            COLORREF color = Resolve(colors[pos]);
            size_t end = NextCharBoundary(text, pos);
            while (end < line.end && Resolve(colors[end]) == color &&
                   (showSel && end >= selA && end < selB) == selected)
                end = NextCharBoundary(text, end);
            if (selected) {
                RECT band{xAt(pos), y, xAt(end), y + lineHeight};
                FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
                color = GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
            SetTextColor(dc, color);
            TextOutA(dc, xAt(pos), y, text.data() + pos, static_cast<int>(end - pos));
            pos = end;
        }
        if (focused && selA == selB && index == caretLine) {
            RECT caretRect{xAt(caret), y, xAt(caret) + 1, y + lineHeight};
            InvertRect(dc, &caretRect);
        }
        y += lineHeight;
    }
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

size_t RichEditControl::PositionFromPoint(POINT pt)
{
    Layout();
    int row = pt.y < 0 ? -1 : static_cast<int>(pt.y) / std::max(1, lineHeight);
    int index = std::clamp(firstLine + row, 0, static_cast<int>(lines.size()) - 1);
    MeasureDC dc(hwnd);
    return PositionAtX(dc, text, lines[static_cast<size_t>(index)], static_cast<int>(pt.x) - leftMargin);
}

POINT RichEditControl::PointOfPosition(size_t pos)
{
    Layout();
    pos = CharBoundary(text, pos);
    int index = LineOfPosition(lines, pos);
    const TextLine& line = lines[static_cast<size_t>(index)];
    MeasureDC dc(hwnd);
    return POINT{leftMargin + TextWidth(dc, text, line.start, std::min(pos, line.end)),
                 (index - firstLine) * lineHeight};
}

LRESULT RichEditControl::OnKeyDown(WPARAM key)
{
    if (OnEditingKey(key))
        return 0;
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    Layout();
    int line = LineOfPosition(lines, caret);
    const TextLine& current = lines[static_cast<size_t>(line)];
    switch (key) {
    case VK_LEFT: MoveCaret(PrevCaretPlace(caret), shift); break;
    case VK_RIGHT: MoveCaret(NextCaretPlace(caret), shift); break;
    case VK_HOME: MoveCaret(ctrl ? 0 : current.start, shift); break;
    case VK_END: MoveCaret(ctrl ? text.size() : current.end, shift); break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        int step = (key == VK_UP || key == VK_DOWN) ? 1 : VisibleLines();
        int target = line + ((key == VK_UP || key == VK_PRIOR) ? -step : step);
        target = std::clamp(target, 0, static_cast<int>(lines.size()) - 1);
        if (target == line)
            break;
        MeasureDC dc(hwnd);
        int x = TextWidth(dc, text, current.start, caret);
        MoveCaret(PositionAtX(dc, text, lines[static_cast<size_t>(target)], x), shift);
        break;
    }
    default: break;
    }
    return 0;
}

LRESULT RichEditControl::LineQuery(UINT message, WPARAM wParam, LPARAM lParam)
{
    Layout();
    int count = static_cast<int>(lines.size());
    auto lineOfIndex = [&](LONG_PTR index) {
        size_t pos = index < 0 ? caret : std::min(static_cast<size_t>(index), text.size());
        return LineOfPosition(lines, pos);
    };
    switch (message) {
    case EM_GETLINECOUNT: return count;
    case EM_LINEINDEX: {
        int line = static_cast<int>(wParam) < 0 ? LineOfPosition(lines, caret) : static_cast<int>(wParam);
        return line < count ? static_cast<LRESULT>(lines[static_cast<size_t>(line)].start) : -1;
    }
    case EM_LINELENGTH: {
        const TextLine& line = lines[static_cast<size_t>(lineOfIndex(static_cast<int>(wParam)))];
        return static_cast<LRESULT>(line.end - line.start);
    }
    case EM_LINEFROMCHAR: return lineOfIndex(static_cast<int>(wParam));
    case EM_EXLINEFROMCHAR: return lineOfIndex(static_cast<LONG>(lParam));
    case EM_GETLINE: {
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer || static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= count)
            return 0;
        WORD size;
        std::memcpy(&size, buffer, sizeof size);
        const TextLine& line = lines[wParam];
        size_t n = std::min<size_t>(line.end - line.start, size);
        std::memcpy(buffer, text.data() + line.start, n);
        return static_cast<LRESULT>(n);
    }
    case EM_GETFIRSTVISIBLELINE: return firstLine;
    case EM_LINESCROLL:
        if (!(Style() & ES_MULTILINE))
            return FALSE;
        SetFirstLine(firstLine + static_cast<int>(lParam));
        return TRUE;
    case EM_SCROLL: {
        int page = VisibleLines();
        int delta = 0;
        switch (wParam) {
        case SB_LINEUP: delta = -1; break;
        case SB_LINEDOWN: delta = 1; break;
        case SB_PAGEUP: delta = -page; break;
        case SB_PAGEDOWN: delta = page; break;
        default: return 0;
        }
        int before = firstLine;
        SetFirstLine(before + delta);
        return MAKELRESULT(static_cast<WORD>(static_cast<short>(firstLine - before)), TRUE);
    }
    case EM_SCROLLCARET: ScrollCaretIntoView(); return 0;
    default: return 0;
    }
}

LRESULT RichEditControl::OnCreate(const CREATESTRUCTA* cs)
{
    if (cs && cs->lpszName) {
        text = cs->lpszName;
        colors.assign(text.size(), kDefaultColor);
    }
    if (cs && (cs->style & ES_NOHIDESEL))
        hideSelection = false;
    return TRUE;
}

LRESULT RichEditControl::OnSetText(LPARAM lParam)
{
    std::string next = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
    if (next.size() > limit)
        next.resize(CharBoundary(next, limit));
    text = next;
    colors.assign(text.size(), kDefaultColor);
    anchor = caret = 0;
    firstLine = 0;
    insertPending = false;
    modified = false;
    Relayout();
    InvalidateRect(hwnd, nullptr, FALSE);
    Notify(ENM_CHANGE, EN_CHANGE);
    return TRUE;
}

LRESULT RichEditControl::OnGetText(WPARAM size, LPARAM lParam)
{
    auto* buffer = reinterpret_cast<LPSTR>(lParam);
    if (!buffer || size == 0)
        return 0;
    size_t n = CharBoundary(text, std::min<size_t>(text.size(), size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT RichEditControl::OnExGetSel(LPARAM lParam) const
{
    auto [a, b] = Selection();
    if (auto* range = reinterpret_cast<CHARRANGE*>(lParam))
        *range = CHARRANGE{static_cast<LONG>(a), static_cast<LONG>(b)};
    return 0;
}

LRESULT RichEditControl::OnExSetSel(LPARAM lParam)
{
    auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
    if (!range)
        return 0;
    SetSel(range->cpMin, range->cpMax);
    return static_cast<LRESULT>(Selection().second);
}

LRESULT RichEditControl::OnGetSelText(LPARAM lParam) const
{
    auto* buffer = reinterpret_cast<LPSTR>(lParam);
    if (!buffer)
        return 0;
    auto [a, b] = Selection();
    std::memcpy(buffer, text.data() + a, b - a);
    buffer[b - a] = '\0';
    return static_cast<LRESULT>(b - a);
}

LRESULT RichEditControl::OnGetTextRange(LPARAM lParam) const
{
    auto* range = reinterpret_cast<TEXTRANGEA*>(lParam);
    if (!range || !range->lpstrText)
        return 0;
    size_t size = text.size();
    size_t a = CharBoundary(text, range->chrg.cpMin < 0 ? 0 : std::min<size_t>(range->chrg.cpMin, size));
    size_t b = CharBoundary(text, range->chrg.cpMax < 0 ? size : std::min<size_t>(range->chrg.cpMax, size));
    if (b < a)
        b = a;
    std::memcpy(range->lpstrText, text.data() + a, b - a);
    range->lpstrText[b - a] = '\0';
    return static_cast<LRESULT>(b - a);
}

LRESULT RichEditControl::OnSetBackgroundColor(WPARAM useSystem, LPARAM color)
{
    COLORREF old = background == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : background;
    background = useSystem ? CLR_INVALID : static_cast<COLORREF>(color) & 0x00FFFFFF;
    InvalidateRect(hwnd, nullptr, FALSE);
    return static_cast<LRESULT>(old);
}

LRESULT RichEditControl::OnSetEventMask(LPARAM mask)
{
    DWORD old = eventMask;
    eventMask = static_cast<DWORD>(mask);
    return static_cast<LRESULT>(old);
}

LRESULT RichEditControl::OnHideSelection(WPARAM hide)
{
    hideSelection = hide != 0;
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

// A line width of 1 turns wrapping off; 0 wraps at the window's width.
LRESULT RichEditControl::OnSetTargetDevice(LPARAM lineWidth)
{
    wrap = lineWidth != 1;
    Relayout();
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

LRESULT RichEditControl::OnSetReadOnly(WPARAM on)
{
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(on ? (Style() | ES_READONLY) : (Style() & ~ES_READONLY)));
    return TRUE;
}

LRESULT RichEditControl::OnLimitText(UINT message, WPARAM wParam, LPARAM lParam)
{
    LPARAM value = message == EM_LIMITTEXT ? static_cast<LPARAM>(wParam) : lParam;
    limit = value > 0 ? static_cast<size_t>(value) : 65536;
    return 0;
}

LRESULT RichEditControl::OnSetMargins(WPARAM which, LPARAM margins)
{
    if (which & EC_LEFTMARGIN)
        leftMargin = LOWORD(margins) == EC_USEFONTINFO ? 1 : LOWORD(margins);
    if (which & EC_RIGHTMARGIN)
        rightMargin = HIWORD(margins) == EC_USEFONTINFO ? 1 : HIWORD(margins);
    Relayout();
    InvalidateRect(hwnd, nullptr, FALSE);
    return 0;
}

LRESULT RichEditControl::OnGetRect(LPARAM lParam) const
{
    if (auto* r = reinterpret_cast<RECT*>(lParam)) {
        *r = Client(hwnd);
        r->left += leftMargin;
        r->right -= rightMargin;
    }
    return 0;
}

LRESULT RichEditControl::OnPosFromChar(WPARAM point, LPARAM index)
{
    if (auto* pt = reinterpret_cast<POINT*>(point))
        *pt = PointOfPosition(static_cast<size_t>(std::max<LPARAM>(index, 0)));
    return 0;
}

LRESULT RichEditControl::OnCharFromPos(LPARAM point)
{
    auto* pt = reinterpret_cast<const POINT*>(point);
    return pt ? static_cast<LRESULT>(PositionFromPoint(*pt)) : 0;
}

LRESULT CALLBACK RichEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    RichEditControl* s = ControlState<RichEditControl>(hwnd, message);
    if (!s)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    s->hwnd = hwnd;
    LRESULT shared;
    if (s->OnMessage(message, wParam, lParam, &shared))
        return shared;
    switch (message) {
    case WM_NCCREATE: return s->OnCreate(reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_NCDESTROY: FreeControlState<RichEditControl>(hwnd); return 0;
    case WM_PAINT: s->Paint(); return 0;
    case WM_ERASEBKGND: return 1; // painting fills the background itself
    case WM_SIZE: s->Relayout(); return 0;
    case WM_SETFONT: {
        LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
        s->Relayout();
        return r;
    }
    case WM_SETTEXT: return s->OnSetText(lParam);
    case WM_GETTEXT: return s->OnGetText(wParam, lParam);
    case WM_KEYDOWN: return s->OnKeyDown(wParam);
    case EM_EXGETSEL: return s->OnExGetSel(lParam);
    case EM_EXSETSEL: return s->OnExSetSel(lParam);
    case EM_GETSELTEXT: return s->OnGetSelText(lParam);
    case EM_GETTEXTRANGE: return s->OnGetTextRange(lParam);
    case EM_GETCHARFORMAT: return s->GetCharFormat(wParam, reinterpret_cast<CHARFORMATA*>(lParam));
    case EM_SETCHARFORMAT: return s->SetCharFormat(wParam, reinterpret_cast<const CHARFORMATA*>(lParam));
    case EM_SETBKGNDCOLOR: return s->OnSetBackgroundColor(wParam, lParam);
    case EM_SETEVENTMASK: return s->OnSetEventMask(lParam);
    case EM_GETEVENTMASK: return static_cast<LRESULT>(s->eventMask);
    case EM_HIDESELECTION: return s->OnHideSelection(wParam);
    case EM_SETTARGETDEVICE: return s->OnSetTargetDevice(lParam);
    case EM_SETREADONLY: return s->OnSetReadOnly(wParam);
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT: return s->OnLimitText(message, wParam, lParam);
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(s->limit);
    case EM_SETMARGINS: return s->OnSetMargins(wParam, lParam);
    case EM_GETMARGINS: return MAKELRESULT(s->leftMargin, s->rightMargin);
    case EM_GETRECT: return s->OnGetRect(lParam);
    case EM_POSFROMCHAR: return s->OnPosFromChar(wParam, lParam);
    case EM_CHARFROMPOS: return s->OnCharFromPos(lParam);
    case EM_CANPASTE: return !s->ReadOnly() && IsClipboardFormatAvailable(CF_TEXT);
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR:
    case EM_GETLINE:
    case EM_GETFIRSTVISIBLELINE:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET: return s->LineQuery(message, wParam, lParam);
    default:
        // The wheel goes on to the parent: a log scrolled by its owner's own scroll bar stays in
        // step with it.
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterRichEditClasses()
{
    RegisterControlClass(RICHEDIT_CLASS10A, &RichEditProc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM);
    RegisterControlClass(RICHEDIT_CLASSA, &RichEditProc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM);
}

} // namespace yonda::user
