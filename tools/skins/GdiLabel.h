#pragma once
// Text on a painted picture through the window system's own text layer (the same fonts and
// shaping the program draws its windows with), so labels read as the program's.
#include "SkinPictures.h"

#include <windows.h>

#include <functional>
#include <string>

struct LabelStyle {
    int height = 12; // character height in pixels
    int weight = FW_NORMAL;
    uint32_t colour = 0; // 0x00RRGGBB
    UINT align = TA_LEFT | TA_TOP;
};

// Lends `draw` a memory DC whose bitmap holds the picture's pixels and takes the pixels back
// afterwards; false when the DC cannot be made or `draw` fails.
bool PaintWithGdi(SkinPicture& picture, const std::function<bool(HDC)>& draw);

// Draws UTF-8 text converted to `codePage` at (x, y) with the alignment of the style; false when
// the text layer cannot draw.
bool DrawLabel(SkinPicture& picture, int x, int y, const std::string& utf8, UINT codePage, const LabelStyle& style);

// Text already in the skin's code page laid out in a box by DrawText (DT_* format flags).
struct BoxTextStyle {
    int height = 12;
    int weight = FW_NORMAL;
    uint32_t colour = 0; // 0x00RRGGBB
    UINT format = DT_LEFT | DT_SINGLELINE;
    bool underline = false;
};
void DrawBoxedText(SkinPicture& picture, RECT box, const std::string& bytes, const BoxTextStyle& style, UINT codePage);
