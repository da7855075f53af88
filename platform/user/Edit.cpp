// The EDIT control: text in the active code page, single- or multi-line ("\r\n" breaks), with the
// caret and the selection on character boundaries (a double-byte character is never split), a
// limit in bytes, password masking, margins, the clipboard keys, IME composition shown at the
// caret, and EN_UPDATE/EN_CHANGE after each change. Colours come from the parent's reflected
// WM_CTLCOLOREDIT answer.
#include "ControlState.h"
#include "TextLines.h"

#include <imm.h>
#include <yonda_platform.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace yonda::user {
namespace {

struct EditState {
    std::string text;
    size_t anchor = 0;        // selection start (where the selection began)
    size_t caret = 0;         // selection end, where the caret is
    size_t limit = 30000;     // bytes
    int leftMargin = 1;
    int rightMargin = 1;
    int firstLine = 0;
    int scrollX = 0;          // pixels a single line is scrolled left by, to keep the caret in view
    char password = '*';
    bool focused = false;
    bool modified = false;
    bool tracking = false;
    BYTE pendingLead = 0;     // first byte of a double-byte character typed as two WM_CHARs
};

DWORD Style(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
}

bool Multi(HWND hwnd) {
    return (Style(hwnd) & ES_MULTILINE) != 0;
}

size_t CharLen(const std::string& s, size_t i) {
    return (i + 1 < s.size() && IsDBCSLeadByte(static_cast<BYTE>(s[i]))) ? 2 : 1;
}

// The boundary at or before `pos`.
size_t Boundary(const std::string& s, size_t pos) {
    pos = std::min(pos, s.size());
    size_t i = 0;
    while (i < pos) {
        size_t len = s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n' ? 2 : CharLen(s, i);
        if (i + len > pos) return i;
        i += len;
    }
    return i;
}

size_t NextBoundary(const std::string& s, size_t pos) {
    if (pos >= s.size()) return s.size();
    if (s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n') return pos + 2;
    return pos + CharLen(s, pos);
}

size_t PrevBoundary(const std::string& s, size_t pos) {
    if (pos == 0) return 0;
    return Boundary(s, pos - 1);
}

std::pair<size_t, size_t> Selection(const EditState* s) {
    return {std::min(s->anchor, s->caret), std::max(s->anchor, s->caret)};
}

// A DC of the control's window with its font selected, for measuring and breaking lines.
class FontDC {
public:
    explicit FontDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        m_old = (m_dc && font) ? SelectObject(m_dc, font) : nullptr;
    }
    ~FontDC() {
        if (m_old) SelectObject(m_dc, m_old);
        if (m_dc) ReleaseDC(m_hwnd, m_dc);
    }
    FontDC(const FontDC&) = delete;
    FontDC& operator=(const FontDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// The lines the control shows: a multi-line edit without ES_AUTOHSCROLL wraps its paragraphs at
// the width inside its margins, as the system's edit does; every other edit breaks only at "\r\n".
std::vector<TextLine> Lines(HWND hwnd, const EditState* s, HDC dc) {
    int width = 0;
    if (Multi(hwnd) && !(Style(hwnd) & ES_AUTOHSCROLL)) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        width = std::max(1, static_cast<int>(rc.right - rc.left) - s->leftMargin - s->rightMargin);
    }
    return BreakLines(dc, s->text, width, Breaks::CrLf);
}

std::vector<TextLine> Lines(HWND hwnd, const EditState* s) {
    FontDC dc(hwnd);
    return Lines(hwnd, s, dc.get());
}

int LineHeight(HWND hwnd, HDC dc);

// The last caret place on line `i`: where a line wraps, its end is also the next line's start and
// would put the caret there, so the caret stops before the line's last character.
size_t LastCaretPlace(const std::vector<TextLine>& lines, size_t i, std::string_view text) {
    const TextLine& line = lines[i];
    if (i + 1 < lines.size() && line.end == line.next && line.end > line.start)
        return PrevCharBoundary(text, line.end);
    return line.end;
}

std::string Shown(HWND hwnd, const EditState* s, const std::string& part);
int TextWidth(HDC dc, const std::string& text);

// A single line longer than the control slides sideways so the caret stays inside the margins.
void KeepCaretInLine(HWND hwnd, EditState* s) {
    FontDC dc(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int width = std::max(1, static_cast<int>(rc.right - rc.left) - s->leftMargin - s->rightMargin);
    const int caretX = TextWidth(dc.get(), Shown(hwnd, s, s->text.substr(0, s->caret)));
    const int textWidth = TextWidth(dc.get(), Shown(hwnd, s, s->text));
    int scroll = s->scrollX;
    if (caretX < scroll) scroll = std::max(0, caretX - width / 3);   // a little context before it
    if (caretX > scroll + width) scroll = caretX - width;
    scroll = std::clamp(scroll, 0, std::max(0, textWidth - width + 1));
    if (scroll != s->scrollX) {
        s->scrollX = scroll;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

// With ES_AUTOVSCROLL the text scrolls so the caret's line stays among the visible ones.
void KeepCaretInView(HWND hwnd, EditState* s) {
    if (!Multi(hwnd)) {
        KeepCaretInLine(hwnd, s);
        return;
    }
    if (!(Style(hwnd) & ES_AUTOVSCROLL)) return;
    FontDC dc(hwnd);
    auto lines = Lines(hwnd, s, dc.get());
    RECT rc;
    GetClientRect(hwnd, &rc);
    int visible = std::max(1, static_cast<int>(rc.bottom - rc.top) / LineHeight(hwnd, dc.get()));
    int line = LineOfPosition(lines, s->caret);
    int first = s->firstLine;
    if (line < first) first = line;
    if (line >= first + visible) first = line - visible + 1;
    if (first != s->firstLine) {
        s->firstLine = first;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

void Changed(HWND hwnd, EditState* s) {
    s->modified = true;
    NotifyParent(hwnd, EN_UPDATE);
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyParent(hwnd, EN_CHANGE);
}

// Replaces the selection; the insertion is cut to the limit on a character boundary.
bool ReplaceSelection(HWND hwnd, EditState* s, std::string insert, bool notify) {
    auto [a, b] = Selection(s);
    if (!Multi(hwnd)) {
        // A single line keeps only the first line of what is pasted or typed.
        size_t nl = insert.find_first_of("\r\n");
        if (nl != std::string::npos) insert.resize(nl);
    }
    size_t room = s->limit > s->text.size() - (b - a) ? s->limit - (s->text.size() - (b - a)) : 0;
    bool cut = insert.size() > room;
    if (cut) {
        insert.resize(Boundary(insert, room));
        if (insert.empty() && a == b) {
            NotifyParent(hwnd, EN_MAXTEXT);
            return false;
        }
    }
    s->text.replace(a, b - a, insert);
    s->anchor = s->caret = a + insert.size();
    KeepCaretInView(hwnd, s);
    if (notify) Changed(hwnd, s);
    else InvalidateRect(hwnd, nullptr, TRUE);
    if (cut) NotifyParent(hwnd, EN_MAXTEXT);
    return true;
}

void MoveCaret(HWND hwnd, EditState* s, size_t pos, bool extend) {
    s->caret = Boundary(s->text, pos);
    if (!extend) s->anchor = s->caret;
    KeepCaretInView(hwnd, s);
    InvalidateRect(hwnd, nullptr, FALSE);
}

std::string Shown(HWND hwnd, const EditState* s, const std::string& part) {
    if (!(Style(hwnd) & ES_PASSWORD) || Multi(hwnd)) return part;
    std::string masked;
    for (size_t i = 0; i < part.size(); i += CharLen(part, i)) masked += s->password;
    return masked;
}

int LineHeight(HWND hwnd, HDC dc) {
    TEXTMETRICA tm{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextMetricsA(dc, &tm);
    if (old) SelectObject(dc, old);
    return tm.tmHeight > 0 ? tm.tmHeight : 16;
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

void Paint(HWND hwnd, EditState* s) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT rc;
    GetClientRect(hwnd, &rc);
    HWND parent = GetParent(hwnd);
    bool readOnly = (Style(hwnd) & ES_READONLY) || !IsWindowEnabled(hwnd);
    HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                                   reinterpret_cast<WPARAM>(dc),
                                                                   reinterpret_cast<LPARAM>(hwnd)))
                          : nullptr;
    if (!brush) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        brush = GetSysColorBrush(readOnly ? COLOR_BTNFACE : COLOR_WINDOW);
    }
    if (ps.fErase) FillRect(dc, &rc, brush);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    int height = LineHeight(hwnd, dc);
    auto lines = Lines(hwnd, s, dc);
    auto [selA, selB] = Selection(s);
    bool showSel = s->focused || (Style(hwnd) & ES_NOHIDESEL);
    std::string composition;
    {
        HIMC imc = ImmGetContext(hwnd);
        LONG n = s->focused ? ImmGetCompositionStringA(imc, GCS_COMPSTR, nullptr, 0) : 0;
        composition.resize(static_cast<size_t>(std::max<LONG>(n, 0)));
        if (n > 0) ImmGetCompositionStringA(imc, GCS_COMPSTR, composition.data(), static_cast<DWORD>(n));
        ImmReleaseContext(hwnd, imc);
    }
    int y = Multi(hwnd) ? 0 : std::max(0, (rc.bottom - height) / 2);
    for (size_t line = static_cast<size_t>(std::max(0, s->firstLine)); line < lines.size() && y < rc.bottom; ++line) {
        size_t start = lines[line].start;
        size_t end = lines[line].end;
        std::string part = Shown(hwnd, s, s->text.substr(start, end - start));
        int x = s->leftMargin - (Multi(hwnd) ? 0 : s->scrollX);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, x, y, part.c_str(), static_cast<int>(part.size()));
        if (showSel && selA < selB && selB >= start && selA <= end) {
            size_t a = std::max(selA, start), b = std::min(selB, end);
            int xa = x + TextWidth(dc, Shown(hwnd, s, s->text.substr(start, a - start)));
            int xb = x + TextWidth(dc, Shown(hwnd, s, s->text.substr(start, b - start)));
            RECT sel{xa, y, xb, y + height};
            InvertRect(dc, &sel);
        }
        if (s->focused && LineOfPosition(lines, s->caret) == static_cast<int>(line)) {
            int xc = x + TextWidth(dc, Shown(hwnd, s, s->text.substr(start, s->caret - start)));
            if (!composition.empty()) {
                SetBkMode(dc, OPAQUE);
                TextOutA(dc, xc, y, composition.c_str(), static_cast<int>(composition.size()));
                xc += TextWidth(dc, composition);
            }
            RECT caret{xc, y, xc + 1, y + height};
            InvertRect(dc, &caret);
        }
        y += height;
    }
    if (oldFont) SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

size_t PosFromPoint(HWND hwnd, EditState* s, POINT pt) {
    FontDC fontDC(hwnd);
    HDC dc = fontDC.get();
    if (!dc) return s->text.size();
    int height = LineHeight(hwnd, dc);
    auto lines = Lines(hwnd, s, dc);
    int line = Multi(hwnd) ? s->firstLine + std::max(0, static_cast<int>(pt.y) / height) : 0;
    line = std::clamp(line, 0, static_cast<int>(lines.size()) - 1);
    size_t start = lines[line].start, end = lines[line].end;
    size_t best = start;
    for (size_t i = start; i <= end; i = NextBoundary(s->text, i)) {
        int w = s->leftMargin - (Multi(hwnd) ? 0 : s->scrollX) + TextWidth(dc, Shown(hwnd, s, s->text.substr(start, i - start)));
        if (w > pt.x) break;
        best = i;
        if (i == end) break;
    }
    return best;
}

void Copy(HWND hwnd, EditState* s) {
    auto [a, b] = Selection(s);
    if (a == b || (Style(hwnd) & ES_PASSWORD)) return;
    PutClipboardText(hwnd, std::string_view(s->text).substr(a, b - a));
}

void Paste(HWND hwnd, EditState* s) {
    if (Style(hwnd) & ES_READONLY) return;
    std::string text = ClipboardText(hwnd);
    if (!text.empty()) ReplaceSelection(hwnd, s, text, true);
}

void OnChar(HWND hwnd, EditState* s, WPARAM wParam) {
    BYTE ch = static_cast<BYTE>(wParam);
    DWORD style = Style(hwnd);
    switch (ch) {
    case 0x03: Copy(hwnd, s); return;
    case 0x16: Paste(hwnd, s); return;
    case 0x18:
        Copy(hwnd, s);
        if (!(style & ES_READONLY)) ReplaceSelection(hwnd, s, "", true);
        return;
    case 0x01:
        s->anchor = 0;
        s->caret = s->text.size();
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    default: break;
    }
    if (style & ES_READONLY) return;
    if (ch == 0x08) {
        auto [a, b] = Selection(s);
        if (a == b) {
            if (a == 0) return;
            s->anchor = PrevBoundary(s->text, a);
            s->caret = a;
        }
        ReplaceSelection(hwnd, s, "", true);
        return;
    }
    if (ch == '\r' || ch == '\n') {
        if (Multi(hwnd)) ReplaceSelection(hwnd, s, "\r\n", true);
        return;
    }
    if (ch < 0x20 && ch != '\t') return;
    if (ch == '\t' && !Multi(hwnd)) return;
    // A double-byte character arrives as its two bytes in turn.
    if (s->pendingLead) {
        char pair[2] = {static_cast<char>(s->pendingLead), static_cast<char>(ch)};
        s->pendingLead = 0;
        ReplaceSelection(hwnd, s, std::string(pair, 2), true);
        return;
    }
    if (IsDBCSLeadByte(ch)) {
        s->pendingLead = ch;
        return;
    }
    if ((style & ES_NUMBER) && (ch < '0' || ch > '9')) return;
    char one = static_cast<char>(ch);
    if (style & ES_UPPERCASE) one = static_cast<char>(std::toupper(static_cast<unsigned char>(one)));
    if (style & ES_LOWERCASE) one = static_cast<char>(std::tolower(static_cast<unsigned char>(one)));
    ReplaceSelection(hwnd, s, std::string(1, one), true);
}

void OnKeyDown(HWND hwnd, EditState* s, WPARAM key) {
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const std::string& t = s->text;
    switch (key) {
    case VK_LEFT: {
        auto [a, b] = Selection(s);
        if (!shift && a != b) MoveCaret(hwnd, s, a, false);
        else MoveCaret(hwnd, s, PrevBoundary(t, s->caret), shift);
        break;
    }
    case VK_RIGHT: {
        auto [a, b] = Selection(s);
        if (!shift && a != b) MoveCaret(hwnd, s, b, false);
        else MoveCaret(hwnd, s, NextBoundary(t, s->caret), shift);
        break;
    }
    case VK_HOME: {
        auto lines = Lines(hwnd, s);
        size_t start = ctrl ? 0 : lines[static_cast<size_t>(LineOfPosition(lines, s->caret))].start;
        MoveCaret(hwnd, s, start, shift);
        break;
    }
    case VK_END: {
        auto lines = Lines(hwnd, s);
        size_t end = ctrl ? t.size() : LastCaretPlace(lines, static_cast<size_t>(LineOfPosition(lines, s->caret)), t);
        MoveCaret(hwnd, s, end, shift);
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        if (!Multi(hwnd)) break;
        // The caret keeps its x on the line above or below.
        FontDC dc(hwnd);
        auto lines = Lines(hwnd, s, dc.get());
        int line = LineOfPosition(lines, s->caret);
        int target = line + (key == VK_UP ? -1 : 1);
        if (target < 0 || target >= static_cast<int>(lines.size())) break;
        int x = yonda::user::TextWidth(dc.get(), t, lines[line].start, s->caret);
        size_t place = std::min(PositionAtX(dc.get(), t, lines[target], x), LastCaretPlace(lines, size_t(target), t));
        MoveCaret(hwnd, s, place, shift);
        break;
    }
    case VK_DELETE: {
        if (Style(hwnd) & ES_READONLY) break;
        if (shift) {
            Copy(hwnd, s);
        } else {
            auto [a, b] = Selection(s);
            if (a == b) {
                if (a >= t.size()) break;
                s->anchor = a;
                s->caret = NextBoundary(t, a);
            }
        }
        ReplaceSelection(hwnd, s, "", true);
        break;
    }
    case VK_INSERT:
        if (ctrl) Copy(hwnd, s);
        else if (shift) Paste(hwnd, s);
        break;
    default:
        break;
    }
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    EditState* s = ControlState<EditState>(hwnd, message);
    if (!s) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        if (cs && cs->lpszName) s->text = cs->lpszName;
        if (!(cs && (cs->style & ES_MULTILINE))) s->text = s->text.substr(0, s->text.find_first_of("\r\n"));
        return TRUE;
    }
    case WM_NCDESTROY:
        FreeControlState<EditState>(hwnd);
        return 0;
    case WM_PAINT:
        Paint(hwnd, s);
        return 0;
    case WM_ERASEBKGND: {
        // The background is the parent's colour answer, painted with the text.
        return 0;
    }
    case WM_SETTEXT: {
        std::string text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        if (!Multi(hwnd)) text = text.substr(0, text.find_first_of("\r\n"));
        if (text.size() > s->limit) text.resize(Boundary(text, s->limit));
        s->text = text;
        s->anchor = s->caret = 0;
        s->firstLine = 0;
        s->scrollX = 0;
        s->modified = false;
        NotifyParent(hwnd, EN_UPDATE);
        InvalidateRect(hwnd, nullptr, TRUE);
        NotifyParent(hwnd, EN_CHANGE);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer || wParam == 0) return 0;
        size_t n = std::min<size_t>(s->text.size(), wParam - 1);
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
    case WM_IME_COMPOSITION:
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
        InvalidateRect(hwnd, nullptr, FALSE);
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
    case WM_LBUTTONDBLCLK: {
        SetFocus(hwnd);
        bool shift = (wParam & MK_SHIFT) != 0;
        MoveCaret(hwnd, s, PosFromPoint(hwnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), shift);
        SetCapture(hwnd);
        s->tracking = true;
        return 0;
    }
    case WM_MOUSEMOVE:
        if (s->tracking && GetCapture() == hwnd)
            MoveCaret(hwnd, s, PosFromPoint(hwnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}), true);
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
        if (Multi(hwnd) && (Style(hwnd) & ES_WANTRETURN) && msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_CUT:
        Copy(hwnd, s);
        if (!(Style(hwnd) & ES_READONLY)) ReplaceSelection(hwnd, s, "", true);
        return 0;
    case WM_COPY:
        Copy(hwnd, s);
        return 0;
    case WM_PASTE:
        Paste(hwnd, s);
        return 0;
    case WM_CLEAR:
        if (!(Style(hwnd) & ES_READONLY)) ReplaceSelection(hwnd, s, "", true);
        return 0;
    case EM_GETSEL: {
        auto [a, b] = Selection(s);
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
        return MAKELRESULT(std::min<size_t>(a, 0xFFFF), std::min<size_t>(b, 0xFFFF));
    }
    case EM_SETSEL: {
        auto start = static_cast<long long>(static_cast<int>(wParam));
        auto end = static_cast<long long>(static_cast<int>(lParam));
        size_t size = s->text.size();
        if (start < 0) {
            // A negative start removes the selection, leaving the caret where it is.
            s->anchor = s->caret;
        } else {
            size_t a = static_cast<size_t>(std::min<long long>(start, static_cast<long long>(size)));
            size_t b = end < 0 ? size : static_cast<size_t>(std::min<long long>(end, static_cast<long long>(size)));
            s->anchor = Boundary(s->text, a);
            s->caret = Boundary(s->text, b);
        }
        KeepCaretInView(hwnd, s);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    case EM_REPLACESEL:
        ReplaceSelection(hwnd, s, lParam ? reinterpret_cast<LPCSTR>(lParam) : "", true);
        return 0;
    case EM_LIMITTEXT:
        s->limit = wParam ? static_cast<size_t>(wParam) : (Multi(hwnd) ? 0xFFFFFFFFu : 0x7FFFFFFEu);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(s->limit);
    case EM_SETMARGINS:
        if (wParam & EC_LEFTMARGIN) s->leftMargin = LOWORD(lParam) == EC_USEFONTINFO ? 1 : LOWORD(lParam);
        if (wParam & EC_RIGHTMARGIN) s->rightMargin = HIWORD(lParam) == EC_USEFONTINFO ? 1 : HIWORD(lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_GETMARGINS:
        return MAKELRESULT(s->leftMargin, s->rightMargin);
    case EM_SETREADONLY:
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(wParam ? (Style(hwnd) | ES_READONLY) : (Style(hwnd) & ~ES_READONLY)));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    case EM_SETPASSWORDCHAR:
        s->password = static_cast<char>(wParam ? wParam : '*');
        if (wParam) SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(Style(hwnd) | ES_PASSWORD));
        else SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(Style(hwnd) & ~ES_PASSWORD));
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case EM_GETPASSWORDCHAR:
        return (Style(hwnd) & ES_PASSWORD) ? static_cast<BYTE>(s->password) : 0;
    case EM_GETMODIFY:
        return s->modified;
    case EM_SETMODIFY:
        s->modified = wParam != 0;
        return 0;
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(Lines(hwnd, s).size());
    case EM_LINEINDEX: {
        auto lines = Lines(hwnd, s);
        int line = static_cast<int>(wParam) < 0 ? LineOfPosition(lines, s->caret) : static_cast<int>(wParam);
        return line < static_cast<int>(lines.size()) ? static_cast<LRESULT>(lines[line].start) : -1;
    }
    case EM_LINELENGTH: {
        int index = static_cast<int>(wParam);
        size_t pos = index < 0 ? s->caret : std::min(static_cast<size_t>(index), s->text.size());
        auto lines = Lines(hwnd, s);
        const TextLine& line = lines[static_cast<size_t>(LineOfPosition(lines, pos))];
        return static_cast<LRESULT>(line.end - line.start);
    }
    case EM_LINEFROMCHAR: {
        int index = static_cast<int>(wParam);
        size_t pos = index < 0 ? s->caret : std::min(static_cast<size_t>(index), s->text.size());
        return LineOfPosition(Lines(hwnd, s), pos);
    }
    case EM_GETLINE: {
        auto lines = Lines(hwnd, s);
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer || wParam >= lines.size()) return 0;
        WORD size;
        std::memcpy(&size, buffer, sizeof size);
        size_t start = lines[wParam].start;
        size_t n = std::min<size_t>(lines[wParam].end - start, size);
        std::memcpy(buffer, s->text.data() + start, n);
        return static_cast<LRESULT>(n);
    }
    case EM_GETFIRSTVISIBLELINE:
        return s->firstLine;
    case EM_LINESCROLL: {
        int lines = static_cast<int>(Lines(hwnd, s).size());
        s->firstLine = std::clamp(s->firstLine + static_cast<int>(lParam), 0, std::max(0, lines - 1));
        InvalidateRect(hwnd, nullptr, TRUE);
        return TRUE;
    }
    case EM_SCROLLCARET:
        KeepCaretInView(hwnd, s);
        return TRUE;
    case EM_CANUNDO:
    case EM_UNDO:
    case EM_EMPTYUNDOBUFFER:
        return 0;
    default:
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void RegisterEditClass() {
    RegisterControlClass("EDIT", &EditProc, CS_DBLCLKS | CS_PARENTDC);
}

}  // namespace yonda::user
