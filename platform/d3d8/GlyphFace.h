// A font as FreeType renders it: chosen through fontconfig from a LOGFONT (a Korean-capable face
// for the Hangul character set), sized as GDI sizes fonts, with a fallback face for characters
// the first one lacks.
#pragma once

#include <memory>
#include <vector>

#include "d3dx8.h"

namespace yonda::d3d8 {

struct GlyphBitmap {
    int width = 0;
    int height = 0;
    int left = 0;     // from the pen position to the bitmap's left edge
    int top = 0;      // from the baseline up to the bitmap's top row
    int advance = 0;  // pen movement in whole pixels
    std::vector<BYTE> coverage;  // width x height, 0..255
};

class GlyphFace {
public:
    // Null when no font file can be found or opened.
    static std::unique_ptr<GlyphFace> Open(const LOGFONTA& font);
    ~GlyphFace();

    int Ascent() const { return m_ascent; }
    int Height() const { return m_ascent + m_descent; }
    int Advance(char32_t c);
    GlyphBitmap Render(char32_t c);

private:
    GlyphFace() = default;
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    int m_ascent = 0;
    int m_descent = 0;
};

}  // namespace yonda::d3d8
