// Line breaking for the text controls: paragraphs end at breaks, and a paragraph wider than the
// control wraps at blanks, or at character boundaries when one word is wider than the line.
#include "TextLines.h"

#include <algorithm>

namespace yonda::user {
namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// A paragraph [p, e) broken into lines that fit `width`; the last one continues at `next`.
void WrapParagraph(HDC dc, std::string_view text, size_t p, size_t e, size_t next, int width,
                   std::vector<TextLine>* lines)
{
    if (width <= 0 || p == e) {
        lines->push_back(TextLine{p, e, next});
        return;
    }
    std::vector<int> dx(e - p);
    SIZE size{};
    GetTextExtentExPointA(dc, text.data() + p, static_cast<int>(e - p), -1, nullptr, dx.data(), &size);
    auto prefix = [&](size_t pos) { return pos > p ? dx[pos - p - 1] : 0; };
    size_t s = p;
    for (;;) {
        if (prefix(e) - prefix(s) <= width) {
            lines->push_back(TextLine{s, e, next});
            return;
        }
        // The last boundary that still fits, and the last blank before it.
        size_t fit = s, afterBlank = s;
        for (size_t q = NextCharBoundary(text, s); q <= e; q = NextCharBoundary(text, q)) {
            if (prefix(q) - prefix(s) > width)
                break;
            fit = q;
            if (IsBlank(text[q - 1]))
                afterBlank = q;
            if (q == e)
                break;
        }
        size_t cut = fit;
        while (cut < e && IsBlank(text[cut]))
            ++cut; // blanks after the last fitting word hang
        if (cut == fit && afterBlank > s)
            cut = afterBlank;
        if (cut <= s)
            cut = NextCharBoundary(text, s);
        if (cut >= e) {
            lines->push_back(TextLine{s, e, next});
            return;
        }
        lines->push_back(TextLine{s, cut, cut});
        s = cut;
    }
}

} // namespace

size_t CharSize(std::string_view text, size_t pos)
{
    if (pos >= text.size())
        return 0;
    // A lead byte takes the next byte only when that can be a trail byte, so a stray lead byte
    // never swallows a line break.
    if (pos + 1 < text.size() && IsDBCSLeadByte(static_cast<BYTE>(text[pos])) &&
        static_cast<BYTE>(text[pos + 1]) >= 0x40)
        return 2;
    return 1;
}

size_t CharBoundary(std::string_view text, size_t pos)
{
    pos = std::min(pos, text.size());
    size_t i = 0;
    while (i < pos) {
        size_t n = CharSize(text, i);
        if (i + n > pos)
            return i;
        i += n;
    }
    return i;
}

size_t NextCharBoundary(std::string_view text, size_t pos)
{
    if (pos >= text.size())
        return text.size();
    return pos + CharSize(text, pos);
}

size_t PrevCharBoundary(std::string_view text, size_t pos)
{
    return pos == 0 ? 0 : CharBoundary(text, pos - 1);
}

size_t BreakSize(std::string_view text, size_t pos, Breaks breaks)
{
    if (pos >= text.size())
        return 0;
    bool crlf = text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
    if (crlf)
        return 2;
    if (breaks == Breaks::Any && (text[pos] == '\r' || text[pos] == '\n'))
        return 1;
    return 0;
}

std::vector<TextLine> BreakLines(HDC dc, std::string_view text, int width, Breaks breaks)
{
    std::vector<TextLine> lines;
    size_t p = 0;
    for (;;) {
        size_t e = p;
        while (e < text.size() && !BreakSize(text, e, breaks))
            e = NextCharBoundary(text, e);
        size_t b = BreakSize(text, e, breaks);
        WrapParagraph(dc, text, p, e, e + b, width, &lines);
        if (b == 0)
            break;
        p = e + b;
        if (p >= text.size()) {
            lines.push_back(TextLine{p, p, p});
            break;
        }
    }
    return lines;
}

int LineOfPosition(const std::vector<TextLine>& lines, size_t pos)
{
    auto it = std::upper_bound(lines.begin(), lines.end(), pos,
                               [](size_t value, const TextLine& line) { return value < line.start; });
    return std::max(0, static_cast<int>(it - lines.begin()) - 1);
}

int TextWidth(HDC dc, std::string_view text, size_t from, size_t to)
{
    if (to <= from || from >= text.size())
        return 0;
    to = std::min(to, text.size());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data() + from, static_cast<int>(to - from), &size);
    return size.cx;
}

size_t PositionAtX(HDC dc, std::string_view text, const TextLine& line, int x)
{
    if (x <= 0 || line.end <= line.start)
        return line.start;
    std::vector<int> dx(line.end - line.start);
    SIZE size{};
    GetTextExtentExPointA(dc, text.data() + line.start, static_cast<int>(dx.size()), -1, nullptr, dx.data(), &size);
    size_t pos = line.start;
    int left = 0;
    while (pos < line.end) {
        size_t next = NextCharBoundary(text, pos);
        int right = dx[next - line.start - 1];
        if (x < (left + right) / 2)
            return pos;
        pos = next;
        left = right;
    }
    return line.end;
}

} // namespace yonda::user
