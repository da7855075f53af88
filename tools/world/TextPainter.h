#pragma once
// Sign and board lettering rendered with FreeType from a font file chosen at build time.

#include "Image.h"

#include <memory>
#include <string>
#include <string_view>

namespace world {

class TextPainter {
public:
    // Throws when the font cannot be opened.
    explicit TextPainter(const std::string& fontPath);
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // Draws UTF-8 text centred on (cx, cy) at the given pixel height.
    void DrawCentred(Image& image, std::string_view utf8, int pixelHeight, float cx, float cy, Rgba colour);
    int MeasureWidth(std::string_view utf8, int pixelHeight);

private:
    struct Font;
    std::unique_ptr<Font> m_font;
};

} // namespace world
