// Realized fonts: a logical font (face name bytes, height, weight...) matched through fontconfig
// to font files, opened with FreeType at the right pixel size, with a cache of rendered glyphs.
// Platform-internal; shared by GDI text and the Direct3D font.
#pragma once

#include <wingdi.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace yonda::text {

// One rendered glyph: coverage 0-255, `width` x `height`, placed `left` pixels right of the pen
// and `top` pixels above the baseline.
struct Glyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
};

class FontFace {
public:
    // The realized font for a logical font, shared and cached; never null (an unmatched face
    // falls back to the default sans).
    static std::shared_ptr<const FontFace> ForLogFont(const LOGFONTA& log);

    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Metrics in pixels, the way text metrics report them: height = ascent + descent, internal
    // leading = height - the em size.
    int Ascent() const { return m_ascent; }
    int Descent() const { return m_descent; }
    int Height() const { return m_ascent + m_descent; }
    int InternalLeading() const { return m_internalLeading; }
    int AveCharWidth() const { return m_aveCharWidth; }
    int MaxCharWidth() const { return m_maxCharWidth; }
    // Extra width a synthesized bold adds to a whole string (the platform's overhang).
    int Overhang() const { return m_overhang; }
    int UnderlinePosition() const { return m_underlinePosition; } // pixels below the baseline
    int UnderlineThickness() const { return m_underlineThickness; }
    int StrikeoutPosition() const { return m_strikeoutPosition; } // pixels above the baseline
    const LOGFONTA& LogFont() const { return m_log; }
    // The code page the font's text is in: 949 for character set 129, 932 for 128, the active
    // code page for 0 and 1.
    UINT CodePage() const;
    // The family fontconfig chose (for tests and GetTextFace).
    const std::string& Family() const { return m_family; }
    bool FixedPitch() const { return m_fixedPitch; }

    // The glyph for a character (rendered on first use, then cached); safe from any thread.
    const Glyph& GetGlyph(char32_t c) const;
    int Advance(char32_t c) const { return GetGlyph(c).advance; }

private:
    struct Impl;
    explicit FontFace(const LOGFONTA& log);
    std::unique_ptr<Impl> m_impl;
    LOGFONTA m_log{};
    std::string m_family;
    bool m_fixedPitch = false;
    int m_ascent = 0;
    int m_descent = 0;
    int m_internalLeading = 0;
    int m_aveCharWidth = 0;
    int m_maxCharWidth = 0;
    int m_overhang = 0;
    int m_underlinePosition = 1;
    int m_underlineThickness = 1;
    int m_strikeoutPosition = 0;
};

// The family name a logical face name (bytes in the font's code page, or the Korean names'
// CP949 bytes whatever the code page) asks fontconfig for.
std::string FamilyForFaceName(const LOGFONTA& log);

} // namespace yonda::text
