// Breaking control text into the lines it shows (internal), shared by the edit and rich-edit
// controls. Text is bytes in the active code page; positions count bytes and never fall inside a
// double-byte character.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace yonda::user {

// One shown line: its characters are [start, end); the next line starts at `next` (after the
// paragraph break, or where wrapping cut the text).
struct TextLine {
    size_t start = 0;
    size_t end = 0;
    size_t next = 0;
    bool operator==(const TextLine&) const = default;
};

enum class Breaks {
    CrLf, // only "\r\n" ends a paragraph (the edit control)
    Any,  // "\r\n", a lone "\r" and a lone "\n" each end one (the rich edit)
};

// The size of the character at `pos` (2 for a double-byte character whose trail byte is there).
size_t CharSize(std::string_view text, size_t pos);
// The character boundary at or before `pos`.
size_t CharBoundary(std::string_view text, size_t pos);
size_t NextCharBoundary(std::string_view text, size_t pos);
size_t PrevCharBoundary(std::string_view text, size_t pos);
// The size of the paragraph break at `pos`, 0 when there is none.
size_t BreakSize(std::string_view text, size_t pos, Breaks breaks);

// The lines of `text` drawn with the DC's font. With `width` > 0, a paragraph wider than it wraps
// after the last blank that fits (blanks at the end of a line hang past the edge), or at the last
// character that fits when a word alone is too wide; a line holds at least one character. There
// is always at least one line, and text that ends with a break has an empty last line.
std::vector<TextLine> BreakLines(HDC dc, std::string_view text, int width, Breaks breaks);

// The line holding position `pos`: the last line whose start is at or before it. A position at a
// wrap point belongs to the line that starts there.
int LineOfPosition(const std::vector<TextLine>& lines, size_t pos);

// Width of text[from, to) on one line, drawn with the DC's font.
int TextWidth(HDC dc, std::string_view text, size_t from, size_t to);
// The character boundary in [start, end) nearest to x pixels from the line's start.
size_t PositionAtX(HDC dc, std::string_view text, const TextLine& line, int x);

} // namespace yonda::user
