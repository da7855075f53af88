// Lines of text laid out the way DrawText does it: hard breaks, word wrap at blanks (and between
// Hangul and ideographs), edit-control breaking of words longer than the line, an end ellipsis,
// '&' prefixes, and the rectangle DT_CALCRECT reports. Kept apart so a shared layout can replace it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "windef.h"

namespace yonda::d3d8 {

struct TextLine {
    std::u32string text;  // what is drawn, ellipsis included
    int width = 0;        // in pixels
};

struct TextLayoutResult {
    std::vector<TextLine> lines;
    int widest = 0;
};

// `advance` gives a character's width in pixels; `maxWidth` is the rectangle's width.
TextLayoutResult LayOutText(const std::u32string& text, DWORD format, int maxWidth,
                            const std::function<int(char32_t)>& advance);

}  // namespace yonda::d3d8
