#include "TextPainter.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>
#include <vector>

namespace world {

struct TextPainter::Font {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

static std::vector<char32_t> DecodeUtf8(std::string_view text)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        char32_t code = extra ? (c & (0x3F >> extra)) : c;
        ++i;
        for (int k = 0; k < extra && i < text.size(); ++k, ++i)
            code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        out.push_back(code);
    }
    return out;
}

TextPainter::TextPainter(const std::string& fontPath) : m_font(std::make_unique<Font>())
{
    if (FT_Init_FreeType(&m_font->library))
        throw std::runtime_error("FreeType cannot start");
    if (FT_New_Face(m_font->library, fontPath.c_str(), 0, &m_font->face)) {
        FT_Done_FreeType(m_font->library);
        throw std::runtime_error("cannot open the font " + fontPath);
    }
}

TextPainter::~TextPainter()
{
    FT_Done_Face(m_font->face);
    FT_Done_FreeType(m_font->library);
}

int TextPainter::MeasureWidth(std::string_view utf8, int pixelHeight)
{
    FT_Set_Pixel_Sizes(m_font->face, 0, static_cast<FT_UInt>(pixelHeight));
    long width = 0;
    for (char32_t code : DecodeUtf8(utf8))
        if (!FT_Load_Char(m_font->face, code, FT_LOAD_DEFAULT))
            width += m_font->face->glyph->advance.x >> 6;
    return static_cast<int>(width);
}

void TextPainter::DrawCentred(Image& image, std::string_view utf8, int pixelHeight, float cx, float cy, Rgba colour)
{
    int width = MeasureWidth(utf8, pixelHeight);
    FT_Face face = m_font->face;
    float ascender = face->size->metrics.ascender / 64.0f;
    float descender = face->size->metrics.descender / 64.0f;
    int penX = static_cast<int>(cx - width / 2.0f);
    int baseline = static_cast<int>(cy + (ascender + descender) / 2.0f);
    for (char32_t code : DecodeUtf8(utf8)) {
        if (FT_Load_Char(face, code, FT_LOAD_RENDER))
            continue;
        FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        for (unsigned row = 0; row < bitmap.rows; ++row)
            for (unsigned column = 0; column < bitmap.width; ++column) {
                unsigned char coverage = bitmap.buffer[row * bitmap.pitch + column];
                if (coverage)
                    image.Blend(penX + glyph->bitmap_left + static_cast<int>(column),
                                baseline - glyph->bitmap_top + static_cast<int>(row), colour, coverage / 255.0f);
            }
        penX += static_cast<int>(glyph->advance.x >> 6);
    }
}

} // namespace world
