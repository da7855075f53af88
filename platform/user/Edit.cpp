// The EDIT control: text in the active code page, single- or multi-line ("\r\n" breaks), with the
// caret and the selection on character boundaries (a double-byte character is never split), a
// limit in bytes on what the user enters, password masking (a password never reaches the
// clipboard), margins, the clipboard keys, IME composition shown at the caret, and EN_UPDATE/
// EN_CHANGE after each change (a multi-line edit's WM_SETTEXT excepted). Colours come from the
// parent's reflected WM_CTLCOLOREDIT answer; the control paints them only inside its formatting
// rectangle (EM_GETRECT), so what a subclass erased around it stays.
#include "CaretSelection.h"
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

size_t CharLen(const std::string& s, size_t i)
{
    return (i + 1 < s.size() && IsDBCSLeadByte(static_cast<BYTE>(s[i]))) ? 2 : 1;
}

// The boundary at or before `pos`.
size_t Boundary(const std::string& s, size_t pos)
{
    pos = std::min(pos, s.size());
    size_t i = 0;
    while (i < pos) {
        size_t len = s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n' ? 2 : CharLen(s, i);
        if (i + len > pos)
            return i;
        i += len;
    }
    return i;
}

size_t NextBoundary(const std::string& s, size_t pos)
{
    if (pos >= s.size())
        return s.size();
    if (s[pos] == '\r' && pos + 1 < s.size() && s[pos + 1] == '\n')
        return pos + 2;
    return pos + CharLen(s, pos);
}

size_t PrevBoundary(const std::string& s, size_t pos)
{
    if (pos == 0)
        return 0;
    return Boundary(s, pos - 1);
}

// A DC of the control's window with its font selected, for measuring and breaking lines.
class FontDC {
public:
    explicit FontDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd))
    {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
        m_old = (m_dc && font) ? SelectObject(m_dc, font) : nullptr;
    }
    ~FontDC()
    {
        if (m_old)
            SelectObject(m_dc, m_old);
        if (m_dc)
            ReleaseDC(m_hwnd, m_dc);
    }
    FontDC(const FontDC&) = delete;
    FontDC& operator=(const FontDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
    HGDIOBJ m_old = nullptr;
};

// The last caret place on line `i`: where a line wraps, its end is also the next line's start and
// would put the caret there, so the caret stops before the line's last character.
size_t LastCaretPlace(const std::vector<TextLine>& lines, size_t i, std::string_view text)
{
    const TextLine& line = lines[i];
    if (i + 1 < lines.size() && line.end == line.next && line.end > line.start)
        return PrevCharBoundary(text, line.end);
    return line.end;
}

int LineHeight(HWND hwnd, HDC dc)
{
    TEXTMETRICA tm{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextMetricsA(dc, &tm);
    if (old)
        SelectObject(dc, old);
    return tm.tmHeight > 0 ? tm.tmHeight : 16;
}

int TextWidth(HDC dc, const std::string& text)
{
    SIZE size{};
    if (!text.empty())
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

class EditControl : public CaretSelection {
public:
    size_t limit = 30000; // bytes
    int leftMargin = 1;
    int rightMargin = 1;
    int firstLine = 0;
    int scrollX = 0; // pixels a single line is scrolled left by, to keep the caret in view
    char password = '*';

    bool Multi() const { return (Style() & ES_MULTILINE) != 0; }
    LRESULT OnCreate(const CREATESTRUCTA* cs);
    LRESULT OnSetText(LPARAM lParam);
    LRESULT OnGetText(WPARAM size, LPARAM buffer) const;
    LRESULT OnKeyDown(WPARAM key);
    LRESULT OnLimitText(WPARAM bytes);
    LRESULT OnSetMargins(WPARAM which, LPARAM margins);
    LRESULT OnSetReadOnly(WPARAM on);
    LRESULT OnSetPasswordChar(WPARAM ch);
    LRESULT OnLineQuery(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnLineScroll(LPARAM lines);
    LRESULT OnScrollCaret();
    LRESULT OnGetRect(LPARAM rect);
    void Paint();
    void ReplaceSelection(std::string insert) override;

protected:
    size_t PositionFromPoint(POINT pt) override;
    void MoveCaret(size_t pos, bool extend) override;
    size_t CaretPlace(size_t pos) const override { return Boundary(text, pos); }
    size_t PrevCaretPlace(size_t pos) const override { return PrevBoundary(text, pos); }
    size_t NextCaretPlace(size_t pos) const override { return NextBoundary(text, pos); }
    void SelectionSet() override;
    bool MayCopy() const override { return Multi() || !(Style() & ES_PASSWORD); }
    bool TakesTab() const override { return Multi(); }
    bool Filter(char* ch) const override;

private:
    RECT FormatRect(int lineHeight) const;
    std::vector<TextLine> Lines(HDC dc) const;
    std::vector<TextLine> Lines() const;
    std::string Shown(const std::string& part) const;
    void KeepCaretInLine();
    void KeepCaretInView();
    void Changed();
};

// The lines the control shows: a multi-line edit without ES_AUTOHSCROLL wraps its paragraphs at
// the width inside its margins, as the system's edit does; every other edit breaks only at "\r\n".
std::vector<TextLine> EditControl::Lines(HDC dc) const
{
    int width = 0;
    if (Multi() && !(Style() & ES_AUTOHSCROLL)) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        width = std::max(1, static_cast<int>(rc.right - rc.left) - leftMargin - rightMargin);
    }
    return BreakLines(dc, text, width, Breaks::CrLf);
}

std::vector<TextLine> EditControl::Lines() const
{
    FontDC dc(hwnd);
    return Lines(dc.Get());
}

std::string EditControl::Shown(const std::string& part) const
{
    if (!(Style() & ES_PASSWORD) || Multi())
        return part;
    std::string masked;
    for (size_t i = 0; i < part.size(); i += CharLen(part, i))
        masked += password;
    return masked;
}

// Where the text goes: the client inside the margins, and for a single line the band of its one
// line, centred. The control paints nothing outside it, so whatever the window's erasing put
// around it (a skinned edit's frame) stays.
RECT EditControl::FormatRect(int lineHeight) const
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    rc.left = std::min<LONG>(rc.right, leftMargin);
    rc.right = std::max<LONG>(rc.left, rc.right - rightMargin);
    if (!Multi()) {
        rc.top = std::max<LONG>(0, (rc.bottom - lineHeight) / 2);
        rc.bottom = std::min<LONG>(rc.bottom, rc.top + lineHeight);
    }
    return rc;
}

// A single line longer than the control slides sideways so the caret stays inside the margins.
void EditControl::KeepCaretInLine()
{
    FontDC dc(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int width = std::max(1, static_cast<int>(rc.right - rc.left) - leftMargin - rightMargin);
    const int caretX = TextWidth(dc.Get(), Shown(text.substr(0, caret)));
    const int textWidth = TextWidth(dc.Get(), Shown(text));
    int scroll = scrollX;
    if (caretX < scroll)
        scroll = std::max(0, caretX - width / 3); // a little context before it
    if (caretX > scroll + width)
        scroll = caretX - width;
    scroll = std::clamp(scroll, 0, std::max(0, textWidth - width + 1));
    if (scroll != scrollX) {
        scrollX = scroll;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

// With ES_AUTOVSCROLL the text scrolls so the caret's line stays among the visible ones.
void EditControl::KeepCaretInView()
{
    if (!Multi()) {
        KeepCaretInLine();
        return;
    }
    if (!(Style() & ES_AUTOVSCROLL))
        return;
    FontDC dc(hwnd);
    auto lines = Lines(dc.Get());
    RECT rc;
    GetClientRect(hwnd, &rc);
    int visible = std::max(1, static_cast<int>(rc.bottom - rc.top) / LineHeight(hwnd, dc.Get()));
    int line = LineOfPosition(lines, caret);
    int first = firstLine;
    if (line < first)
        first = line;
    if (line >= first + visible)
        first = line - visible + 1;
    if (first != firstLine) {
        firstLine = first;
        InvalidateRect(hwnd, nullptr, TRUE);
    }
}

void EditControl::Changed()
{
    modified = true;
    NotifyParent(hwnd, EN_UPDATE);
    InvalidateRect(hwnd, nullptr, TRUE);
    NotifyParent(hwnd, EN_CHANGE);
}

// Replaces the selection; the insertion is cut to the limit on a character boundary.
void EditControl::ReplaceSelection(std::string insert)
{
    auto [a, b] = Selection();
    if (!Multi()) {
        // A single line keeps only the first line of what is pasted or typed.
        size_t nl = insert.find_first_of("\r\n");
        if (nl != std::string::npos)
            insert.resize(nl);
    }
    size_t room = limit > text.size() - (b - a) ? limit - (text.size() - (b - a)) : 0;
    bool cut = insert.size() > room;
    if (cut) {
        insert.resize(Boundary(insert, room));
        if (insert.empty() && a == b) {
            NotifyParent(hwnd, EN_MAXTEXT);
            return;
        }
    }
    text.replace(a, b - a, insert);
    anchor = caret = a + insert.size();
    KeepCaretInView();
    Changed();
    if (cut)
        NotifyParent(hwnd, EN_MAXTEXT);
}

void EditControl::MoveCaret(size_t pos, bool extend)
{
    caret = Boundary(text, pos);
    if (!extend)
        anchor = caret;
    KeepCaretInView();
    InvalidateRect(hwnd, nullptr, FALSE);
}

void EditControl::SelectionSet()
{
    KeepCaretInView();
    InvalidateRect(hwnd, nullptr, FALSE);
}

bool EditControl::Filter(char* ch) const
{
    DWORD style = Style();
    if ((style & ES_NUMBER) && (*ch < '0' || *ch > '9'))
        return false;
    if (style & ES_UPPERCASE)
        *ch = static_cast<char>(std::toupper(static_cast<unsigned char>(*ch)));
    if (style & ES_LOWERCASE)
        *ch = static_cast<char>(std::tolower(static_cast<unsigned char>(*ch)));
    return true;
}

void EditControl::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (!dc) {
        EndPaint(hwnd, &ps);
        return;
    }
    RECT rc;
    GetClientRect(hwnd, &rc);
    HWND parent = GetParent(hwnd);
    bool readOnly = ReadOnly() || !IsWindowEnabled(hwnd);
    HBRUSH brush =
        parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, readOnly ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)))
               : nullptr;
    if (!brush) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        brush = GetSysColorBrush(readOnly ? COLOR_BTNFACE : COLOR_WINDOW);
    }
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
    int height = LineHeight(hwnd, dc);
    const RECT format = FormatRect(height);
    FillRect(dc, &format, brush);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, format.left, format.top, format.right, format.bottom);
    auto lines = Lines(dc);
    auto [selA, selB] = Selection();
    bool showSel = focused || (Style() & ES_NOHIDESEL);
    std::string composition;
    {
        HIMC imc = ImmGetContext(hwnd);
        LONG n = focused ? ImmGetCompositionStringA(imc, GCS_COMPSTR, nullptr, 0) : 0;
        composition.resize(static_cast<size_t>(std::max<LONG>(n, 0)));
        if (n > 0)
            ImmGetCompositionStringA(imc, GCS_COMPSTR, composition.data(), static_cast<DWORD>(n));
        ImmReleaseContext(hwnd, imc);
    }
    int y = format.top;
    for (size_t line = static_cast<size_t>(std::max(0, firstLine)); line < lines.size() && y < rc.bottom; ++line) {
        size_t start = lines[line].start;
        size_t end = lines[line].end;
        std::string part = Shown(text.substr(start, end - start));
        int x = leftMargin - (Multi() ? 0 : scrollX);
        SetBkMode(dc, TRANSPARENT);
        TextOutA(dc, x, y, part.c_str(), static_cast<int>(part.size()));
        if (showSel && selA < selB && selB >= start && selA <= end) {
            size_t a = std::max(selA, start), b = std::min(selB, end);
            int xa = x + TextWidth(dc, Shown(text.substr(start, a - start)));
            int xb = x + TextWidth(dc, Shown(text.substr(start, b - start)));
            RECT sel{xa, y, xb, y + height};
            InvertRect(dc, &sel);
        }
        if (focused && LineOfPosition(lines, caret) == static_cast<int>(line)) {
            int xc = x + TextWidth(dc, Shown(text.substr(start, caret - start)));
            if (!composition.empty()) {
                SetBkMode(dc, OPAQUE);
                TextOutA(dc, xc, y, composition.c_str(), static_cast<int>(composition.size()));
                xc += TextWidth(dc, composition);
            }
            RECT caretRect{xc, y, xc + 1, y + height};
            InvertRect(dc, &caretRect);
        }
        y += height;
    }
    RestoreDC(dc, saved);
    if (oldFont)
        SelectObject(dc, oldFont);
    EndPaint(hwnd, &ps);
}

size_t EditControl::PositionFromPoint(POINT pt)
{
    FontDC fontDC(hwnd);
    HDC dc = fontDC.Get();
    if (!dc)
        return text.size();
    int height = LineHeight(hwnd, dc);
    auto lines = Lines(dc);
    int line = Multi() ? firstLine + std::max(0, static_cast<int>(pt.y) / height) : 0;
    line = std::clamp(line, 0, static_cast<int>(lines.size()) - 1);
    size_t start = lines[line].start, end = lines[line].end;
    size_t best = start;
    for (size_t i = start; i <= end; i = NextBoundary(text, i)) {
        int w = leftMargin - (Multi() ? 0 : scrollX) + TextWidth(dc, Shown(text.substr(start, i - start)));
        if (w > pt.x)
            break;
        best = i;
        if (i == end)
            break;
    }
    return best;
}

LRESULT EditControl::OnKeyDown(WPARAM key)
{
    if (OnEditingKey(key))
        return 0;
    bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (key) {
    case VK_LEFT: {
        auto [a, b] = Selection();
        if (!shift && a != b)
            MoveCaret(a, false);
        else
            MoveCaret(PrevBoundary(text, caret), shift);
        break;
    }
    case VK_RIGHT: {
        auto [a, b] = Selection();
        if (!shift && a != b)
            MoveCaret(b, false);
        else
            MoveCaret(NextBoundary(text, caret), shift);
        break;
    }
    case VK_HOME: {
        auto lines = Lines();
        size_t start = ctrl ? 0 : lines[static_cast<size_t>(LineOfPosition(lines, caret))].start;
        MoveCaret(start, shift);
        break;
    }
    case VK_END: {
        auto lines = Lines();
        size_t end =
            ctrl ? text.size() : LastCaretPlace(lines, static_cast<size_t>(LineOfPosition(lines, caret)), text);
        MoveCaret(end, shift);
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        if (!Multi())
            break;
        // The caret keeps its x on the line above or below.
        FontDC dc(hwnd);
        auto lines = Lines(dc.Get());
        int line = LineOfPosition(lines, caret);
        int target = line + (key == VK_UP ? -1 : 1);
        if (target < 0 || target >= static_cast<int>(lines.size()))
            break;
        int x = yonda::user::TextWidth(dc.Get(), text, lines[line].start, caret);
        size_t place =
            std::min(PositionAtX(dc.Get(), text, lines[target], x), LastCaretPlace(lines, size_t(target), text));
        MoveCaret(place, shift);
        break;
    }
    default: break;
    }
    return 0;
}

LRESULT EditControl::OnCreate(const CREATESTRUCTA* cs)
{
    if (cs && cs->lpszName)
        text = cs->lpszName;
    if (!(cs && (cs->style & ES_MULTILINE)))
        text = text.substr(0, text.find_first_of("\r\n"));
    return TRUE;
}

// The program's own text: the limit is only for what the user enters, and a multi-line edit tells
// its parent of changes the user makes, not of this.
LRESULT EditControl::OnSetText(LPARAM lParam)
{
    std::string next = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
    if (!Multi())
        next = next.substr(0, next.find_first_of("\r\n"));
    text = next;
    anchor = caret = 0;
    firstLine = 0;
    scrollX = 0;
    modified = false;
    if (!Multi())
        NotifyParent(hwnd, EN_UPDATE);
    InvalidateRect(hwnd, nullptr, TRUE);
    if (!Multi())
        NotifyParent(hwnd, EN_CHANGE);
    return TRUE;
}

LRESULT EditControl::OnGetText(WPARAM size, LPARAM lParam) const
{
    auto* buffer = reinterpret_cast<LPSTR>(lParam);
    if (!buffer || size == 0)
        return 0;
    size_t n = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

LRESULT EditControl::OnLimitText(WPARAM bytes)
{
    limit = bytes ? static_cast<size_t>(bytes) : (Multi() ? 0xFFFFFFFFu : 0x7FFFFFFEu);
    return 0;
}

LRESULT EditControl::OnSetMargins(WPARAM which, LPARAM margins)
{
    if (which & EC_LEFTMARGIN)
        leftMargin = LOWORD(margins) == EC_USEFONTINFO ? 1 : LOWORD(margins);
    if (which & EC_RIGHTMARGIN)
        rightMargin = HIWORD(margins) == EC_USEFONTINFO ? 1 : HIWORD(margins);
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT EditControl::OnSetReadOnly(WPARAM on)
{
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(on ? (Style() | ES_READONLY) : (Style() & ~ES_READONLY)));
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

LRESULT EditControl::OnSetPasswordChar(WPARAM ch)
{
    password = static_cast<char>(ch ? ch : '*');
    if (ch)
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(Style() | ES_PASSWORD));
    else
        SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(Style() & ~ES_PASSWORD));
    InvalidateRect(hwnd, nullptr, TRUE);
    return 0;
}

LRESULT EditControl::OnLineQuery(UINT message, WPARAM wParam, LPARAM lParam)
{
    auto lines = Lines();
    auto lineOfIndex = [&](WPARAM index) {
        int i = static_cast<int>(index);
        size_t pos = i < 0 ? caret : std::min(static_cast<size_t>(i), text.size());
        return LineOfPosition(lines, pos);
    };
    switch (message) {
    case EM_GETLINECOUNT: return static_cast<LRESULT>(lines.size());
    case EM_LINEINDEX: {
        int line = static_cast<int>(wParam) < 0 ? LineOfPosition(lines, caret) : static_cast<int>(wParam);
        return line < static_cast<int>(lines.size()) ? static_cast<LRESULT>(lines[line].start) : -1;
    }
    case EM_LINELENGTH: {
        const TextLine& line = lines[static_cast<size_t>(lineOfIndex(wParam))];
        return static_cast<LRESULT>(line.end - line.start);
    }
    case EM_LINEFROMCHAR: return lineOfIndex(wParam);
    case EM_GETLINE: {
        auto* buffer = reinterpret_cast<LPSTR>(lParam);
        if (!buffer || wParam >= lines.size())
            return 0;
        WORD size;
        std::memcpy(&size, buffer, sizeof size);
        size_t start = lines[wParam].start;
        size_t n = std::min<size_t>(lines[wParam].end - start, size);
        std::memcpy(buffer, text.data() + start, n);
        return static_cast<LRESULT>(n);
    }
    default: return 0;
    }
}

LRESULT EditControl::OnLineScroll(LPARAM count)
{
    int lines = static_cast<int>(Lines().size());
    firstLine = std::clamp(firstLine + static_cast<int>(count), 0, std::max(0, lines - 1));
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

LRESULT EditControl::OnScrollCaret()
{
    KeepCaretInView();
    return TRUE;
}

LRESULT EditControl::OnGetRect(LPARAM rect)
{
    if (auto* r = reinterpret_cast<RECT*>(rect)) {
        FontDC dc(hwnd);
        *r = FormatRect(LineHeight(hwnd, dc.Get()));
    }
    return 0;
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditControl* s = ControlState<EditControl>(hwnd, message);
    if (!s)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    s->hwnd = hwnd;
    LRESULT shared;
    if (s->OnMessage(message, wParam, lParam, &shared))
        return shared;
    switch (message) {
    case WM_NCCREATE: return s->OnCreate(reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_NCDESTROY: FreeControlState<EditControl>(hwnd); return 0;
    case WM_PAINT: s->Paint(); return 0;
    case WM_ERASEBKGND: return 1; // the background is the parent's colour answer, painted with the text
    case WM_SETTEXT: return s->OnSetText(lParam);
    case WM_GETTEXT: return s->OnGetText(wParam, lParam);
    case WM_KEYDOWN: return s->OnKeyDown(wParam);
    case WM_IME_COMPOSITION:
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION: InvalidateRect(hwnd, nullptr, FALSE); return 0;
    case EM_LIMITTEXT: return s->OnLimitText(wParam);
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(s->limit);
    case EM_SETMARGINS: return s->OnSetMargins(wParam, lParam);
    case EM_GETMARGINS: return MAKELRESULT(s->leftMargin, s->rightMargin);
    case EM_GETRECT: return s->OnGetRect(lParam);
    case EM_SETREADONLY: return s->OnSetReadOnly(wParam);
    case EM_SETPASSWORDCHAR: return s->OnSetPasswordChar(wParam);
    case EM_GETPASSWORDCHAR: return (s->Style() & ES_PASSWORD) ? static_cast<BYTE>(s->password) : 0;
    case EM_GETLINECOUNT:
    case EM_LINEINDEX:
    case EM_LINELENGTH:
    case EM_LINEFROMCHAR:
    case EM_GETLINE: return s->OnLineQuery(message, wParam, lParam);
    case EM_GETFIRSTVISIBLELINE: return s->firstLine;
    case EM_LINESCROLL: return s->OnLineScroll(lParam);
    case EM_SCROLLCARET: return s->OnScrollCaret();
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

void RegisterEditClass()
{
    RegisterControlClass("EDIT", &EditProc, CS_DBLCLKS | CS_PARENTDC);
}

} // namespace yonda::user
