#include "GlyphFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace yonda::d3d8 {
namespace {

constexpr BYTE kHangulCharset = 129;
constexpr BYTE kShiftJisCharset = 128;

struct FontFile {
    std::string path;
    int index = 0;
};

std::mutex g_fontconfigMutex;

// The best installed file for a family, language and weight.
bool Match(const char* family, const char* language, int weight, FontFile* out)
{
    std::lock_guard lock(g_fontconfigMutex);
    FcPattern* pattern = FcPatternCreate();
    if (family && *family) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    if (language) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    bool found = false;
    if (match) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            out->path = reinterpret_cast<const char*>(file);
            out->index = index;
            found = true;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

}  // namespace

struct GlyphFace::Impl {
    FT_Library library = nullptr;
    FT_Face primary = nullptr;
    FT_Face fallback = nullptr;
    std::unordered_map<char32_t, int> advances;

    ~Impl()
    {
        if (fallback) FT_Done_Face(fallback);
        if (primary) FT_Done_Face(primary);
        if (library) FT_Done_FreeType(library);
    }

    // The face that has the character (the primary one when neither has it).
    FT_Face FaceFor(char32_t c)
    {
        if (FT_Get_Char_Index(primary, FT_ULong(c)) != 0 || !fallback) return primary;
        return FT_Get_Char_Index(fallback, FT_ULong(c)) != 0 ? fallback : primary;
    }
};

std::unique_ptr<GlyphFace> GlyphFace::Open(const LOGFONTA& font)
{
    char family[sizeof font.lfFaceName + 1] = {};
    std::memcpy(family, font.lfFaceName, sizeof font.lfFaceName);
    const char* language = font.lfCharSet == kHangulCharset     ? "ko"
                           : font.lfCharSet == kShiftJisCharset ? "ja"
                                                                : nullptr;
    FontFile primaryFile, fallbackFile;
    if (!Match(family, language, font.lfWeight, &primaryFile)) return nullptr;
    Match(nullptr, "ko", font.lfWeight, &fallbackFile);

    std::unique_ptr<GlyphFace> face(new GlyphFace);
    face->m_impl = std::make_unique<Impl>();
    Impl& impl = *face->m_impl;
    if (FT_Init_FreeType(&impl.library) != 0) return nullptr;
    if (FT_New_Face(impl.library, primaryFile.path.c_str(), primaryFile.index, &impl.primary) != 0) return nullptr;
    if (!fallbackFile.path.empty() && fallbackFile.path != primaryFile.path) {
        if (FT_New_Face(impl.library, fallbackFile.path.c_str(), fallbackFile.index, &impl.fallback) != 0) {
            impl.fallback = nullptr;
        }
    }
    // GDI's heights: negative is the character (em) height, positive the whole cell's.
    FT_Face primary = impl.primary;
    int units = primary->units_per_EM ? primary->units_per_EM : 1000;
    int cell = primary->ascender - primary->descender;
    if (cell <= 0) cell = units;
    double em = font.lfHeight < 0 ? -double(font.lfHeight)
                : font.lfHeight > 0 ? double(font.lfHeight) * units / cell
                                    : 12.0;
    em = std::clamp(em, 1.0, 512.0);
    FT_UInt pixels = FT_UInt(std::lround(em));
    FT_Set_Pixel_Sizes(primary, 0, pixels);
    if (impl.fallback) FT_Set_Pixel_Sizes(impl.fallback, 0, pixels);
    face->m_ascent = int(std::ceil(double(primary->ascender) * em / units));
    face->m_descent = int(std::ceil(double(-primary->descender) * em / units));
    return face;
}

GlyphFace::~GlyphFace() = default;

int GlyphFace::Advance(char32_t c)
{
    auto it = m_impl->advances.find(c);
    if (it != m_impl->advances.end()) return it->second;
    FT_Face face = m_impl->FaceFor(c);
    int advance = 0;
    if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_DEFAULT) == 0) advance = int((face->glyph->advance.x + 32) >> 6);
    m_impl->advances[c] = advance;
    return advance;
}

GlyphBitmap GlyphFace::Render(char32_t c)
{
    GlyphBitmap glyph;
    FT_Face face = m_impl->FaceFor(c);
    if (FT_Load_Char(face, FT_ULong(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return glyph;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.advance = int((face->glyph->advance.x + 32) >> 6);
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
    glyph.width = int(bitmap.width);
    glyph.height = int(bitmap.rows);
    glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.height));
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + ptrdiff_t(y) * bitmap.pitch;
        std::memcpy(glyph.coverage.data() + size_t(y) * size_t(glyph.width), row, size_t(glyph.width));
    }
    return glyph;
}

}  // namespace yonda::d3d8
