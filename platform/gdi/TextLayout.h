// Text layout shared by GDI's DrawText/TextOut and the Direct3D font: code-page bytes split into
// whole characters (a double-byte character is never split), measured with a realized font,
// broken into lines at spaces and between double-byte characters, tabs expanded, lines aligned,
// the end ellipsis added. Works on glyph runs; knows nothing of device contexts.
//
// Drawing a text: font = FontFace::ForLogFont(log); layout = LayoutText(*font, bytes, params);
// then for each line and each of its glyphs, font->GetGlyph(g.code) goes with its pen at
// (rect.left + g.x, rect.top + line.top + font->Ascent()) on the baseline; the glyph's coverage
// starts `left` pixels right of the pen and `top` pixels above the baseline. Clip to the
// rectangle unless DT_NOCLIP.
#pragma once

#include "FontFace.h"

#include <span>
#include <string_view>
#include <vector>

namespace yonda::text {

// One character of a byte string in a code page.
struct Character {
    uint32_t offset = 0; // its first byte
    uint8_t length = 1;  // 1, or 2 for a double-byte character
    char32_t code = 0;   // what it decodes to (a byte that does not decode: itself)
};
std::vector<Character> SplitCharacters(std::string_view bytes, UINT codePage);

// A glyph on a line: `x` is its pen position from the layout rectangle's left edge.
struct PlacedGlyph {
    char32_t code = 0;
    int x = 0;
};

struct LayoutLine {
    // One per character shown, tabs and control characters included (their glyphs are empty);
    // an ellipsis, when added, is the last three.
    std::vector<PlacedGlyph> glyphs;
    int left = 0; // from the layout rectangle's left edge (alignment applied)
    int top = 0;  // from the layout rectangle's top edge
    int width = 0;
    uint32_t firstByte = 0; // the source bytes shown on the line
    uint32_t endByte = 0;
    bool ellipsis = false;
    // Characters marked by '&' (without DT_NOPREFIX): [from, to) pixel ranges, like `x`.
    std::vector<std::pair<int, int>> underlines;
};

struct TextLayout {
    std::vector<LayoutLine> lines;
    int lineHeight = 0;
    int width = 0; // the widest line
    // What DrawText answers: the text's height, or with DT_VCENTER/DT_BOTTOM the offset from the
    // rectangle's top to the bottom of the text. A text without characters is one empty line.
    int result = 0;
    // DT_CALCRECT's rectangle: the given left and top, extended to the text's width and height
    // (an empty text's is a line high on a single line, else empty).
    RECT bounds{};
};

// Tab stops: every `interval` pixels, or at the given positions and then every interval, all
// counted from `origin` (a pixel offset of the line start from the tab origin).
struct TabStops {
    int interval = 0;
    std::span<const int> positions;
    int origin = 0;
    int Next(int x) const;
};

struct LayoutParams {
    UINT format = 0; // DT_* flags
    RECT rect{};     // DT_LEFT/CENTER/RIGHT, VCENTER/BOTTOM and wrapping use it
    // Tab expansion (DT_EXPANDTABS or always, for the tabbed-text calls); interval 0 = 8 average
    // character widths, or DT_TABSTOP's count of them from the format's second byte.
    bool expandTabs = false;
    TabStops tabs;
};

TextLayout LayoutText(const FontFace& font, std::string_view bytes, const LayoutParams& params);

// The width of a single line of characters (no tabs expanded, no breaking).
int MeasureCharacters(const FontFace& font, std::span<const Character> characters);

} // namespace yonda::text
