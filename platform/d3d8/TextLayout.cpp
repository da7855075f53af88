#include "TextLayout.h"

#include <algorithm>

#include "d3dx8.h"

namespace yonda::d3d8 {
namespace {

bool IsBlank(char32_t c) { return c == U' ' || c == U'\t'; }

// Hangul, kana and ideographs may break between any two characters, as in the double-byte code pages.
bool BreaksAnywhere(char32_t c)
{
    return (c >= 0x1100 && c <= 0x11ff) || (c >= 0x2e80 && c <= 0x9fff) || (c >= 0xac00 && c <= 0xd7af) ||
           (c >= 0xf900 && c <= 0xfaff) || (c >= 0xff00 && c <= 0xffef) || (c >= 0x3130 && c <= 0x318f);
}

std::u32string StripPrefixes(const std::u32string& text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == U'&' && i + 1 < text.size()) ++i;  // "&x" shows x, "&&" shows one '&'
        out += text[i];
    }
    return out;
}

int Width(const std::u32string& text, size_t begin, size_t end, const std::function<int(char32_t)>& advance)
{
    int width = 0;
    for (size_t i = begin; i < end; ++i) width += advance(text[i]);
    return width;
}

// One paragraph broken into lines no wider than maxWidth where the words allow it.
void WrapParagraph(const std::u32string& text, DWORD format, int maxWidth, const std::function<int(char32_t)>& advance,
                   std::vector<TextLine>* lines)
{
    size_t position = 0;
    const size_t length = text.size();
    if (length == 0) {
        lines->push_back(TextLine{});
        return;
    }
    while (position < length) {
        size_t lineEnd = position;  // end of the last word taken
        int lineWidth = 0;          // width up to lineEnd
        size_t i = position;
        while (i < length) {
            // The next token: blanks, one breakable character, or a word.
            size_t blanksEnd = i;
            while (blanksEnd < length && IsBlank(text[blanksEnd])) ++blanksEnd;
            if (blanksEnd == length) {
                i = blanksEnd;
                break;
            }
            size_t wordEnd = blanksEnd + 1;
            if (!BreaksAnywhere(text[blanksEnd])) {
                while (wordEnd < length && !IsBlank(text[wordEnd]) && !BreaksAnywhere(text[wordEnd])) ++wordEnd;
            }
            int blanks = Width(text, i, blanksEnd, advance);
            int word = Width(text, blanksEnd, wordEnd, advance);
            bool empty = lineEnd == position;
            if (lineWidth + blanks + word <= maxWidth) {
                lineWidth += blanks + word;
                lineEnd = wordEnd;
                i = wordEnd;
                continue;
            }
            if (!empty) break;  // the word starts the next line
            if (format & DT_EDITCONTROL) {
                // A word longer than the line breaks between characters, at least one per line.
                size_t cut = blanksEnd;
                int width = blanks;
                while (cut < wordEnd && (cut == blanksEnd || width + advance(text[cut]) <= maxWidth)) {
                    width += advance(text[cut]);
                    ++cut;
                }
                lineWidth = width;
                lineEnd = cut;
                i = cut;
            } else {
                lineWidth = blanks + word;
                lineEnd = wordEnd;
                i = wordEnd;
            }
            break;
        }
        lines->push_back(TextLine{text.substr(position, lineEnd - position), lineWidth});
        // Blanks at a break belong to neither line.
        position = lineEnd;
        while (position < length && IsBlank(text[position])) ++position;
    }
}

void AddEllipsis(TextLine* line, int maxWidth, const std::function<int(char32_t)>& advance)
{
    if (line->width <= maxWidth) return;
    const int dots = 3 * advance(U'.');
    std::u32string text = line->text;
    int width = line->width;
    while (!text.empty() && width + dots > maxWidth) {
        width -= advance(text.back());
        text.pop_back();
    }
    line->text = text + U"...";
    line->width = width + dots;
}

}  // namespace

TextLayoutResult LayOutText(const std::u32string& input, DWORD format, int maxWidth,
                            const std::function<int(char32_t)>& advance)
{
    TextLayoutResult result;
    std::u32string text = (format & DT_NOPREFIX) ? input : StripPrefixes(input);
    if (text.empty()) return result;
    std::vector<std::u32string> paragraphs;
    if (format & DT_SINGLELINE) {
        std::u32string single;
        for (char32_t c : text) {
            if (c != U'\r' && c != U'\n') single += c;
        }
        paragraphs.push_back(single);
    } else {
        std::u32string current;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == U'\r' || text[i] == U'\n') {
                paragraphs.push_back(current);
                current.clear();
                if (text[i] == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;
            } else {
                current += text[i];
            }
        }
        paragraphs.push_back(current);
    }
    bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    for (const std::u32string& paragraph : paragraphs) {
        if (wrap) {
            WrapParagraph(paragraph, format, std::max(0, maxWidth), advance, &result.lines);
        } else {
            result.lines.push_back(TextLine{paragraph, Width(paragraph, 0, paragraph.size(), advance)});
        }
    }
    if (format & DT_END_ELLIPSIS) {
        for (TextLine& line : result.lines) AddEllipsis(&line, std::max(0, maxWidth), advance);
    }
    for (const TextLine& line : result.lines) result.widest = std::max(result.widest, line.width);
    return result;
}

}  // namespace yonda::d3d8
