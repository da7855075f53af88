// The rich edit control as the program uses it: a multi-line log in one font whose characters each
// carry a colour, word-wrapped to the client width. The line queries (count, index, first visible
// line, scrolling) count the wrapped lines the control shows, so a caller that appends and scrolls
// by them sees what it computed. Positions count bytes and never split a double-byte character.
// Colours come from the character format (EM_SETCHARFORMAT, CFM_COLOR); every other field of it is
// answered from the control's one font and otherwise ignored.
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

struct RichEditState {
    std::string text;
    std::vector<COLORREF> colors;      // one per byte of text
    COLORREF defaultColor = kAutoColor;
    bool insertPending = false;        // a colour set on an empty selection waits for the next insertion
    COLORREF insertColor = kDefaultColor;
    size_t anchor = 0;
    size_t caret = 0;
    int firstLine = 0;
    std::vector<TextLine> lines;
    bool layoutValid = false;
    int lineHeight = 16;
    size_t limit = 32767;
    int leftMargin = 1;
    int rightMargin = 1;
    bool wrap = true;
    COLORREF background = CLR_INVALID;  // the system window colour
    DWORD eventMask = ENM_NONE;
    bool focused = false;
    bool tracking = false;
    bool hideSelection = true;
    bool modified = false;
    BYTE pendingLead = 0;
};

DWORD Style(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

std::pair<size_t, size_t> Selection(const RichEditState* s) {
    return {std::min(s->anchor, s->caret), std::max(s->anchor, s->caret)};
}

COLORREF Resolve(const RichEditState* s, COLORREF c) {
    if (c == kDefaultColor) c = s->defaultColor;
    return c == kAutoColor ? GetSysColor(COLOR_WINDOWTEXT) : c;
}

bool IsAuto(const RichEditState* s, COLORREF c) {
    return (c == kDefaultColor ? s->defaultColor : c) == kAutoColor;
}

// A memory DC with the control's font: measuring does not depend on the window being shown.
class MeasureDC {
public:
    explicit MeasureDC(HWND hwnd) : m_dc(CreateCompatibleDC(nullptr)) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        if (m_dc && font) m_old = SelectObject(m_dc, font);
    }
    ~MeasureDC() {
        if (m_old) SelectObject(m_dc, m_old);
        if (m_dc) DeleteDC(m_dc);
    }
    MeasureDC(const MeasureDC&) = delete;
    MeasureDC& operator=(const MeasureDC&) = delete;
    operator HDC() const { return m_dc; }

private:
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

RECT Client(HWND hwnd) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return rc;
}

int VisibleLines(HWND hwnd, const RichEditState* s) {
    return std::max(1, static_cast<int>(Client(hwnd).bottom) / std::max(1, s->lineHeight));
}

void ClampFirstLine(RichEditState* s) {
    s->firstLine = std::clamp(s->firstLine, 0, std::max(0, static_cast<int>(s->lines.size()) - 1));
}

void Layout(HWND hwnd, RichEditState* s) {
    if (s->layoutValid) return;
    MeasureDC dc(hwnd);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    s->lineHeight = tm.tmHeight > 0 ? tm.tmHeight : 16;
    int width = 0;
    if (s->wrap && (Style(hwnd) & ES_MULTILINE)) width = static_cast<int>(Client(hwnd).right) - s->leftMargin - s->rightMargin;
    s->lines = BreakLines(dc, s->text, std::max(0, width), Breaks::Any);
    s->layoutValid = true;
    ClampFirstLine(s);
}

void Relayout(HWND hwnd, RichEditState* s) {
    s->layoutValid = false;
    Layout(hwnd, s);
}

void Notify(HWND hwnd, const RichEditState* s, DWORD mask, UINT code) {
    if (s->eventMask & mask) NotifyParent(hwnd, code);
}

bool SetFirstLine(HWND hwnd, RichEditState* s, int line) {
    Layout(hwnd, s);
    int old = s->firstLine;
    s->firstLine = line;
    ClampFirstLine(s);
    if (s->firstLine == old) return false;
    InvalidateRect(hwnd, nullptr, FALSE);
    Notify(hwnd, s, ENM_SCROLL, EN_VSCROLL);
    return true;
}

void ScrollCaretIntoView(HWND hwnd, RichEditState* s) {
    Layout(hwnd, s);
    int line = LineOfPosition(s->lines, s->caret);
    int visible = VisibleLines(hwnd, s);
    if (line < s->firstLine) SetFirstLine(hwnd, s, line);
    else if (line >= s->firstLine + visible) SetFirstLine(hwnd, s, line - visible + 1);
}

// The colour new text takes when it replaces [a, b): a pending insertion colour, else that of the
// first replaced character, else that of the character before.
COLORREF InsertionColor(const RichEditState* s, size_t a, size_t b) {
    if (s->insertPending) return s->insertColor;
    if (b > a) return s->colors[a];
    if (a > 0) return s->colors[a - 1];
    if (!s->colors.empty()) return s->colors[0];
    return kDefaultColor;
}

void ReplaceSelection(HWND hwnd, RichEditState* s, std::string insert) {
    auto [a, b] = Selection(s);
    size_t kept = s->text.size() - (b - a);
    size_t room = s->limit > kept ? s->limit - kept : 0;
    bool cut = insert.size() > room;
    if (cut) {
        insert.resize(CharBoundary(insert, room));
        if (insert.empty() && a == b) {
            NotifyParent(hwnd, EN_MAXTEXT);
            return;
        }
    }
    COLORREF color = InsertionColor(s, a, b);
    s->text.replace(a, b - a, insert);
    s->colors.erase(s->colors.begin() + static_cast<ptrdiff_t>(a), s->colors.begin() + static_cast<ptrdiff_t>(b));
    s->colors.insert(s->colors.begin() + static_cast<ptrdiff_t>(a), insert.size(), color);
    s->anchor = s->caret = a + insert.size();
    s->insertPending = false;
    s->modified = true;
    s->layoutValid = false;
    Notify(hwnd, s, ENM_UPDATE, EN_UPDATE);
    if (Style(hwnd) & ES_AUTOVSCROLL) ScrollCaretIntoView(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
    Notify(hwnd, s, ENM_CHANGE, EN_CHANGE);
    if (cut) NotifyParent(hwnd, EN_MAXTEXT);
}

// EM_SETSEL / EM_EXSETSEL: (0, -1) selects everything, a negative start drops the selection and
// leaves the caret where it is, a negative end means the end of the text.
void SetSelection(HWND hwnd, RichEditState* s, LONG start, LONG end) {
    size_t size = s->text.size();
    if (start < 0) {
        s->anchor = s->caret;
    } else {
        size_t a = std::min(static_cast<size_t>(start), size);
        size_t b = end < 0 ? size : std::min(static_cast<size_t>(end), size);
        s->anchor = CharBoundary(s->text, a);
        s->caret = CharBoundary(s->text, b);
    }
    s->insertPending = false;
    InvalidateRect(hwnd, nullptr, FALSE);
}

void MoveCaret(HWND hwnd, RichEditState* s, size_t pos, bool extend) {
    s->caret = CharBoundary(s->text, pos);
    if (!extend) s->anchor = s->caret;
    s->insertPending = false;
    ScrollCaretIntoView(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void FillLogFont(HWND hwnd, LOGFONTA* lf) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    *lf = LOGFONTA{};
    if (font) GetObjectA(font, sizeof *lf, lf);
}

DWORD GetCharFormat(HWND hwnd, RichEditState* s, WPARAM which, CHARFORMATA* cf) {
    if (!cf || cf->cbSize < sizeof(CHARFORMATA)) return 0;
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
    COLORREF color = s->defaultColor;
    bool uniform = true;
    if (which & (SCF_SELECTION | SCF_WORD)) {
        auto [a, b] = Selection(s);
        if (a == b) {
            color = InsertionColor(s, a, b);
        } else {
            color = s->colors[a];
            for (size_t i = a + 1; i < b && uniform; ++i)
                uniform = Resolve(s, s->colors[i]) == Resolve(s, color) && IsAuto(s, s->colors[i]) == IsAuto(s, color);
        }
    }
    cf->crTextColor = Resolve(s, color);
    if (uniform) {
        cf->dwMask |= CFM_COLOR;
        if (IsAuto(s, color)) cf->dwEffects |= CFE_AUTOCOLOR;
    }
    return cf->dwMask;
}

BOOL SetCharFormat(HWND hwnd, RichEditState* s, WPARAM which, const CHARFORMATA* cf) {
    if (!cf || cf->cbSize < sizeof(CHARFORMATA)) return FALSE;
    if (!(cf->dwMask & CFM_COLOR)) return TRUE;   // nothing else is kept per range
    COLORREF color = (cf->dwEffects & CFE_AUTOCOLOR) ? kAutoColor : (cf->crTextColor & 0x00FFFFFF);
    if (which & SCF_ALL) {
        std::fill(s->colors.begin(), s->colors.end(), color);
        s->defaultColor = color;
    } else if (which & (SCF_SELECTION | SCF_WORD)) {
        auto [a, b] = Selection(s);
        if (a == b) {
            s->insertPending = true;
            s->insertColor = color;
        } else {
            std::fill(s->colors.begin() + static_cast<ptrdiff_t>(a), s->colors.begin() + static_cast<ptrdiff_t>(b), color);
        }
    } else {
        s->defaultColor = color;
    }
    InvalidateRect(hwnd, nullptr, FALSE);
    return TRUE;
}

void Paint(HWND hwnd, RichEditState* s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) {
        EndPaint(hwnd, &ps);
        return;
    }
    Layout(hwnd, s);
    RECT rc = Client(hwnd);
    COLORREF back = s->background == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : s->background;
    HBRUSH backBrush = CreateSolidBrush(back);
    FillRect(dc, &rc, backBrush);
    DeleteObject(backBrush);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    auto [selA, selB] = Selection(s);
    bool showSel = selA < selB && (s->focused || !s->hideSelection);
    int caretLine = LineOfPosition(s->lines, s->caret);
    int y = 0;
    std::vector<int> dx;
    for (int index = s->firstLine; index < static_cast<int>(s->lines.size()) && y < rc.bottom; ++index) {
        const TextLine& line = s->lines[static_cast<size_t>(index)];
        size_t n = line.end - line.start;
        dx.assign(n, 0);
        SIZE size{};
        if (n) GetTextExtentExPointA(dc, s->text.data() + line.start, static_cast<int>(n), -1, nullptr, dx.data(), &size);
        auto xAt = [&](size_t pos) { return s->leftMargin + (pos > line.start ? dx[pos - line.start - 1] : 0); };
        // Pieces of one colour and one selection state, drawn in turn.
        size_t pos = line.start;
        while (pos < line.end) {
            bool selected = showSel && pos >= selA && pos < selB;
            COLORREF color = Resolve(s, s->colors[pos]);
            size_t end = NextCharBoundary(s->text, pos);
            while (end < line.end && Resolve(s, s->colors[end]) == color && (showSel && end >= selA && end < selB) == selected)
                end = NextCharBoundary(s->text, end);
            if (selected) {
                RECT band{xAt(pos), y, xAt(end), y + s->lineHeight};
                FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
                color = GetSysColor(COLOR_HIGHLIGHTTEXT);
            }
            SetTextColor(dc, color);
            TextOutA(dc, xAt(pos), y, s->text.data() + pos, static_cast<int>(end - pos));
            pos = end;
        }
        if (s->focused && selA == selB && index == caretLine) {
            RECT caret{xAt(s->caret), y, xAt(s->caret) + 1, y + s->lineHeight};
            InvertRect(dc, &caret);
        }
        y += s->lineHeight;
    }
    if (oldFont) SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

size_t PositionFromPoint(HWND hwnd, RichEditState* s, POINT pt) {
    Layout(hwnd, s);
    int row = pt.y < 0 ? -1 : static_cast<int>(pt.y) / std::max(1, s->lineHeight);
    int index = std::clamp(s->firstLine + row, 0, static_cast<int>(s->lines.size()) - 1);
    MeasureDC dc(hwnd);
    return PositionAtX(dc, s->text, s->lines[static_cast<size_t>(index)], static_cast<int>(pt.x) - s->leftMargin);
}

POINT PointOfPosition(HWND hwnd, RichEditState* s, size_t pos) {
    Layout(hwnd, s);
    pos = CharBoundary(s->text, pos);
    int index = LineOfPosition(s->lines, pos);
    const TextLine& line = s->lines[static_cast<size_t>(index)];
    MeasureDC dc(hwnd);
    return POINT{s->leftMargin + TextWidth(dc, s->text, line.start, std::min(pos, line.end)),
                 (index - s->firstLine) * s->lineHeight};
}

bool ReadOnly(HWND hwnd) {
    return (Style(hwnd) & ES_READONLY) != 0;
}

void Copy(HWND hwnd, RichEditState* s) {
    auto [a, b] = Selection(s);
    if (a < b) PutClipboardText(hwnd, std::string_view(s->text).substr(a, b - a));
}

void OnChar(HWND hwnd, RichEditState* s, WPARAM wParam) {
    BYTE ch = static_cast<BYTE>(wParam);
    switch (ch) {
    case 0x01: SetSelection(hwnd, s, 0, -1); return;
    case 0x03: Copy(hwnd, s); return;
    case 0x16:
        if (!ReadOnly(hwnd)) {
            std::string text = ClipboardText(hwnd);
            if (!text.empty()) ReplaceSelection(hwnd, s, text);
        }
        return;
    case 0x18:
        Copy(hwnd, s);
        if (!ReadOnly(hwnd)) ReplaceSelection(hwnd, s, "");
        return;
    default: break;
    }
    if (ReadOnly(hwnd)) return;
    if (ch == 0x08) {
        auto [a, b] = Selection(s);
        if (a == b) {
            if (a == 0) return;
            // A break is removed whole.
            size_t from = a >= 2 && s->text.compare(a - 2, 2, "\r\n") == 0 ? a - 2 : PrevCharBoundary(s->text, a);
            s->anchor = from;
            s->caret = a;
        }
        ReplaceSelection(hwnd, s, "");
        return;
    }
    if (ch == '\r' || ch == '\n') {
        if (Style(hwnd) & ES_MULTILINE) ReplaceSelection(hwnd, s, "\r\n");
        return;
    }
    if (ch < 0x20 && ch != '\t') return;
    if (s->pendingLead) {
        char pair[2] = {static_cast<char>(s->pendingLead), static_cast<char>(ch)};
        s->pendingLead = 0;
        ReplaceSelection(hwnd, s, std::string(pair, 2));
        return;
    }
    if (IsDBCSLeadByte(ch)) {
        s->pendingLead = ch;
        return;
    }
    ReplaceSelection(hwnd, s, std::string(1, static_cast<char>(ch)));
}

void OnKeyDown(HWND hwnd, RichEditState* s, WPARAM key) {
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    Layout(hwnd, s);
    const std::string& t = s->text;
    int line = LineOfPosition(s->lines, s->caret);
    const TextLine& current = s->lines[static_cast<size_t>(line)];
    switch (key) {
    case VK_LEFT: {
        size_t to = s->caret;
        if (to >= 2 && t.compare(to - 2, 2, "\r\n") == 0) to -= 2;
        else to = PrevCharBoundary(t, to);
        MoveCaret(hwnd, s, to, shift);
        break;
    }
    case VK_RIGHT: {
        size_t to = s->caret;
        to = BreakSize(t, to, Breaks::Any) ? to + BreakSize(t, to, Breaks::Any) : NextCharBoundary(t, to);
        MoveCaret(hwnd, s, to, shift);
        break;
    }
    case VK_HOME: MoveCaret(hwnd, s, ctrl ? 0 : current.start, shift); break;
    case VK_END: MoveCaret(hwnd, s, ctrl ? t.size() : current.end, shift); break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        int step = (key == VK_UP || key == VK_DOWN) ? 1 : VisibleLines(hwnd, s);
        int target = line + ((key == VK_UP || key == VK_PRIOR) ? -step : step);
        target = std::clamp(target, 0, static_cast<int>(s->lines.size()) - 1);
        if (target == line) break;
        MeasureDC dc(hwnd);
        int x = TextWidth(dc, t, current.start, s->caret);
        MoveCaret(hwnd, s, PositionAtX(dc, t, s->lines[static_cast<size_t>(target)], x), shift);
        break;
    }
    case VK_DELETE: {
        if (ReadOnly(hwnd)) break;
        auto [a, b] = Selection(s);
        if (a == b) {
            if (a >= t.size()) break;
            s->anchor = a;
            s->caret = BreakSize(t, a, Breaks::Any) ? a + BreakSize(t, a, Breaks::Any) : NextCharBoundary(t, a);
        }
        ReplaceSelection(hwnd, s, "");
        break;
    }
    case VK_INSERT:
        if (ctrl) Copy(hwnd, s);
        break;
    default:
        break;
    }
}

LRESULT LineQuery(HWND hwnd, RichEditState* s, UINT message, WPARAM wParam, LPARAM lParam) {
    Layout(hwnd, s);
    const auto& lines = s->lines;
    int count = static_cast<int>(lines.size());
    auto lineOfIndex = [&](LONG_PTR index) {
        size_t pos = index < 0 ? s->caret : std::min(static_cast<size_t>(index), s->text.size());
        return LineOfPosition(lines, pos);
    };
    switch (message) {
    case EM_GETLINECOUNT: return count;
    case EM_LINEINDEX: {
        int line = static_cast<int>(wParam) < 0 ? LineOfPosition(lines, s->caret) : static_cast<int>(wParam);
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
        if (!buffer || static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= count) return 0;
        WORD size;
        std::memcpy(&size, buffer, sizeof size);
        const TextLine& line = lines[wParam];
        size_t n = std::min<size_t>(line.end - line.start, size);
        std::memcpy(buffer, s->text.data() + line.start, n);
        return static_cast<LRESULT>(n);
    }
    case EM_GETFIRSTVISIBLELINE: return s->firstLine;
    case EM_LINESCROLL:
        if (!(Style(hwnd) & ES_MULTILINE)) return FALSE;
        SetFirstLine(hwnd, s, s->firstLine + static_cast<int>(lParam));
        return TRUE;
    case EM_SCROLL: {
        int page = VisibleLines(hwnd, s);
        int delta = 0;
        switch (wParam) {
        case SB_LINEUP: delta = -1; break;
        case SB_LINEDOWN: delta = 1; break;
        case SB_PAGEUP: delta = -page; break;
        case SB_PAGEDOWN: delta = page; break;
        default: return 0;
        }
        int before = s->firstLine;
        SetFirstLine(hwnd, s, before + delta);
        return MAKELRESULT(static_cast<WORD>(static_cast<short>(s->firstLine - before)), TRUE);
    }
    case EM_SCROLLCARET: ScrollCaretIntoView(hwnd, s); return 0;
    default: return 0;
    }
}

LRESULT CALLBACK RichEditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    RichEditState* s = ControlState<RichEditState>(hwnd, message);
    if (!s) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName) {
            s->text = cs->lpszName;
            s->colors.assign(s->text.size(), kDefaultColor);
        }
        if (cs && (cs->style & ES_NOHIDESEL)) s->hideSelection = false;
        return TRUE;
    }
    case WM_NCDESTROY:
        FreeControlState<RichEditState>(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, s);
        return 0;
    case WM_ERASEBKGND:
        return 1;   // painting fills the background itself
    case WM_SIZE:
        Relayout(hwnd, s);
        return 0;
    case WM_SETFONT: {
        LRESULT r = DefWindowProcA(hwnd, message, wParam, lParam);
        Relayout(hwnd, s);
        return r;
    }
    case WM_SETTEXT: {
        std::string text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        if (text.size() > s->limit) text.resize(CharBoundary(text, s->limit));
        s->text = text;
        s->colors.assign(text.size(), kDefaultColor);
        s->anchor = s->caret = 0;
        s->firstLine = 0;
        s->insertPending = false;
        s->modified = false;
        Relayout(hwnd, s);
        InvalidateRect(hwnd, nullptr, FALSE);
        Notify(hwnd, s, ENM_CHANGE, EN_CHANGE);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer || wParam == 0) return 0;
        size_t n = CharBoundary(s->text, std::min<size_t>(s->text.size(), wParam - 1));
        std::memcpy(buffer, s->text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(s->text.size());
    case WM_CHAR:
        OnChar(hwnd, s, wParam);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(hwnd, s, wParam);
        return 0;
    case WM_SETFOCUS:
        s->focused = true;
        InvalidateRect(hwnd, nullptr, FALSE);
        NotifyParent(hwnd, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s->focused = false;
        s->pendingLead = 0;
        InvalidateRect(hwnd, nullptr, FALSE);
        NotifyParent(hwnd, EN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetFocus(hwnd);
        MoveCaret(hwnd, s, PositionFromPoint(hwnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}),
                  (wParam & MK_SHIFT) != 0);
        SetCapture(hwnd);
        s->tracking = true;
        return 0;
    case WM_MOUSEMOVE:
        if (s->tracking && GetCapture() == hwnd)
            MoveCaret(hwnd, s, PositionFromPoint(hwnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), true);
        return 0;
    case WM_LBUTTONUP:
        if (s->tracking && GetCapture() == hwnd) ReleaseCapture();
        s->tracking = false;
        return 0;
    case WM_CAPTURECHANGED:
        s->tracking = false;
        return 0;
    case WM_GETDLGCODE: {
        LRESULT code = DLGC_HASSETSEL | DLGC_WANTCHARS | DLGC_WANTARROWS;
        auto* msg = reinterpret_cast<const MSG*>(lParam);
        if ((Style(hwnd) & ES_MULTILINE) && (Style(hwnd) & ES_WANTRETURN) && msg && msg->message == WM_KEYDOWN &&
            msg->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_COPY:
        Copy(hwnd, s);
        return 0;
    case WM_CUT:
        Copy(hwnd, s);
        if (!ReadOnly(hwnd)) ReplaceSelection(hwnd, s, "");
        return 0;
    case WM_PASTE:
        if (!ReadOnly(hwnd)) {
            std::string text = ClipboardText(hwnd);
            if (!text.empty()) ReplaceSelection(hwnd, s, text);
        }
        return 0;
    case WM_CLEAR:
        if (!ReadOnly(hwnd)) ReplaceSelection(hwnd, s, "");
        return 0;
    case EM_GETSEL: {
        auto [a, b] = Selection(s);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
        return MAKELRESULT(std::min<size_t>(a, 0xFFFF), std::min<size_t>(b, 0xFFFF));
    }
    case EM_EXGETSEL: {
        auto [a, b] = Selection(s);
        if (auto* range = reinterpret_cast<CHARRANGE*>(lParam)) *range = CHARRANGE{static_cast<LONG>(a), static_cast<LONG>(b)};
        return 0;
    }
    case EM_SETSEL:
        SetSelection(hwnd, s, static_cast<LONG>(wParam), static_cast<LONG>(lParam));
        return 0;
    case EM_EXSETSEL: {
        auto* range = reinterpret_cast<const CHARRANGE*>(lParam);
        if (!range) return 0;
        SetSelection(hwnd, s, range->cpMin, range->cpMax);
        return static_cast<LRESULT>(Selection(s).second);
    }
    case EM_REPLACESEL:
        ReplaceSelection(hwnd, s, lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
        return 0;
    case EM_GETSELTEXT: {
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer) return 0;
        auto [a, b] = Selection(s);
        std::memcpy(buffer, s->text.data() + a, b - a);
        buffer[b - a] = '\0';
        return static_cast<LRESULT>(b - a);
    }
    case EM_GETTEXTRANGE: {
        auto* range = reinterpret_cast<TEXTRANGEA*>(lParam);
        if (!range || !range->lpstrText) return 0;
        size_t size = s->text.size();
        size_t a = CharBoundary(s->text, range->chrg.cpMin < 0 ? 0 : std::min<size_t>(range->chrg.cpMin, size));
        size_t b = CharBoundary(s->text, range->chrg.cpMax < 0 ? size : std::min<size_t>(range->chrg.cpMax, size));
        if (b < a) b = a;
        std::memcpy(range->lpstrText, s->text.data() + a, b - a);
        range->lpstrText[b - a] = '\0';
        return static_cast<LRESULT>(b - a);
    }
    case EM_GETCHARFORMAT:
        return GetCharFormat(hwnd, s, wParam, reinterpret_cast<CHARFORMATA*>(lParam));
    case EM_SETCHARFORMAT:
        return SetCharFormat(hwnd, s, wParam, reinterpret_cast<const CHARFORMATA*>(lParam));
    case EM_SETBKGNDCOLOR: {
        COLORREF old = s->background == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : s->background;
        s->background = wParam ? CLR_INVALID : static_cast<COLORREF>(lParam) & 0x00FFFFFF;
        InvalidateRect(hwnd, nullptr, FALSE);
        return static_cast<LRESULT>(old);
    }
    case EM_SETEVENTMASK: {
        DWORD old = s->eventMask;
        s->eventMask = static_cast<DWORD>(lParam);
        return static_cast<LRESULT>(old);
    }
    case EM_GETEVENTMASK:
        return static_cast<LRESULT>(s->eventMask);
    case EM_HIDESELECTION:
        s->hideSelection = wParam != 0;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case EM_SETTARGETDEVICE:
        // A line width of 1 turns wrapping off; 0 wraps at the window's width.
        s->wrap = lParam != 1;
        Relayout(hwnd, s);
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    case EM_SETREADONLY:
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(wParam ? (Style(hwnd) | ES_READONLY) : (Style(hwnd) & ~ES_READONLY)));
        return TRUE;
    case EM_LIMITTEXT:
    case EM_EXLIMITTEXT: {
        LPARAM value = message == EM_LIMITTEXT ? static_cast<LPARAM>(wParam) : lParam;
        s->limit = value > 0 ? static_cast<size_t>(value) : 65536;
        return 0;
    }
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s->limit);
    case EM_SETMARGINS:
        if (wParam & EC_LEFTMARGIN) s->leftMargin = LOWORD(lParam) == EC_USEFONTINFO ? 1 : LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN) s->rightMargin = HIWORD(lParam) == EC_USEFONTINFO ? 1 : HIWORD(lParam);
        Relayout(hwnd, s);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case EM_GETMARGINS:
        return MAKELRESULT(s->leftMargin, s->rightMargin);
    case EM_GETRECT:
        if (auto* r = reinterpret_cast<RECT*>(lParam)) {
            *r = Client(hwnd);
            r->left += s->leftMargin;
            r->right -= s->rightMargin;
        }
        return 0;
    case EM_POSFROMCHAR:
        if (auto* pt = reinterpret_cast<POINT*>(wParam)) *pt = PointOfPosition(hwnd, s, static_cast<size_t>(std::max<LPARAM>(lParam, 0)));
        return 0;
    case EM_CHARFROMPOS: {
        auto* pt = reinterpret_cast<const POINT*>(lParam);
        return pt ? static_cast<LRESULT>(PositionFromPoint(hwnd, s, *pt)) : 0;
    }
    case EM_GETMODIFY:
        return s->modified;
    case EM_SETMODIFY:
        s->modified = wParam != 0;
        return 0;
    case EM_CANPASTE:
        return !ReadOnly(hwnd) && IsClipboardFormatAvailable(CF_TEXT);
    case EM_CANUNDO:
    case EM_UNDO:
    case EM_EMPTYUNDOBUFFER:
        return 0;
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR:
    case EM_GETLINE:
    case EM_GETFIRSTVISIBLELINE:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
        return LineQuery(hwnd, s, message, wParam, lParam);
    default:
        // The wheel goes on to the parent: a log scrolled by its owner's own scroll bar stays in
        // step with it.
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterRichEditClasses() {
    RegisterControlClass(RICHEDIT_CLASS10A, &RichEditProc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM);
    RegisterControlClass(RICHEDIT_CLASSA, &RichEditProc, CS_DBLCLKS | CS_PARENTDC, IDC_IBEAM);
}

}  // namespace yonda::user
