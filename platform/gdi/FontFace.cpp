#include "FontFace.h"

#include <yonda_platform.h>
#include <winnls.h>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

namespace yonda::text {

namespace {

// One FreeType library for the process; FreeType wants face creation and disposal serialised.
struct FreeTypeLibrary {
    std::mutex mutex;
    FT_Library library = nullptr;
    FreeTypeLibrary()
    {
        if (FT_Init_FreeType(&library) != 0)
            library = nullptr;
        FcInit();
    }
};

FreeTypeLibrary& Library()
{
    static FreeTypeLibrary* lib = new FreeTypeLibrary; // fonts may be released by late static destructors
    return *lib;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

enum class Style { Sans, Serif, Mono, KoreanSans, KoreanSerif, KoreanMono, Japanese };

const std::map<std::string, Style>& FaceTable()
{
    static const std::map<std::string, Style> table = {
        // The faces of Korean systems, by their Korean and their Latin names.
        {"굴림", Style::KoreanSans},
        {"새굴림", Style::KoreanSans},
        {"돋움", Style::KoreanSans},
        {"맑은 고딕", Style::KoreanSans},
        {"굴림체", Style::KoreanMono},
        {"돋움체", Style::KoreanMono},
        {"바탕체", Style::KoreanMono},
        {"궁서체", Style::KoreanMono},
        {"바탕", Style::KoreanSerif},
        {"궁서", Style::KoreanSerif},
        {"gulim", Style::KoreanSans},
        {"new gulim", Style::KoreanSans},
        {"dotum", Style::KoreanSans},
        {"malgun gothic", Style::KoreanSans},
        {"gulimche", Style::KoreanMono},
        {"dotumche", Style::KoreanMono},
        {"batangche", Style::KoreanMono},
        {"gungsuhche", Style::KoreanMono},
        {"batang", Style::KoreanSerif},
        {"gungsuh", Style::KoreanSerif},
        // Latin faces of the time and their nearest free equivalents.
        {"ms sans serif", Style::Sans},
        {"microsoft sans serif", Style::Sans},
        {"ms shell dlg", Style::Sans},
        {"ms shell dlg 2", Style::Sans},
        {"tahoma", Style::Sans},
        {"arial", Style::Sans},
        {"verdana", Style::Sans},
        {"system", Style::Sans},
        {"segoe ui", Style::Sans},
        {"helvetica", Style::Sans},
        {"times new roman", Style::Serif},
        {"ms serif", Style::Serif},
        {"georgia", Style::Serif},
        {"times", Style::Serif},
        {"courier new", Style::Mono},
        {"courier", Style::Mono},
        {"fixedsys", Style::Mono},
        {"terminal", Style::Mono},
        {"lucida console", Style::Mono},
        {"consolas", Style::Mono},
        {"ms gothic", Style::Japanese},
        {"ms pgothic", Style::Japanese},
        {"ms ui gothic", Style::Japanese},
        {"ms mincho", Style::Japanese},
        {"ms pmincho", Style::Japanese},
    };
    return table;
}

const char* FamilyOf(Style s)
{
    switch (s) {
    case Style::KoreanSans: return "NanumGothic";
    case Style::KoreanSerif: return "NanumMyeongjo";
    case Style::KoreanMono: return "NanumGothicCoding";
    case Style::Serif: return "DejaVu Serif";
    case Style::Mono: return "DejaVu Sans Mono";
    case Style::Japanese: return "sans-serif";
    default: return "DejaVu Sans";
    }
}

UINT CodePageOfCharset(BYTE charset)
{
    switch (charset) {
    case HANGUL_CHARSET: return 949;
    case SHIFTJIS_CHARSET: return 932;
    default: return GetACP();
    }
}

std::string FaceBytes(const LOGFONTA& log)
{
    return std::string(log.lfFaceName, strnlen(log.lfFaceName, LF_FACESIZE));
}

} // namespace

std::string FamilyForFaceName(const LOGFONTA& log)
{
    std::string bytes = FaceBytes(log);
    UINT codePage = CodePageOfCharset(log.lfCharSet);
    if (bytes.empty()) {
        // No face: what the text's language needs, in the pitch asked for.
        bool fixed = (log.lfPitchAndFamily & 3) == FIXED_PITCH;
        if (codePage == 949)
            return FamilyOf(fixed ? Style::KoreanMono : Style::KoreanSans);
        if (codePage == 932)
            return FamilyOf(Style::Japanese);
        return FamilyOf(fixed ? Style::Mono : Style::Sans);
    }
    // Skins name Korean faces in CP949 bytes even under other code pages; try the font's code
    // page first, then CP949.
    const auto& table = FaceTable();
    std::string asCodePage = YondaCodePageToUtf8(bytes, codePage);
    for (const std::string& name : {asCodePage, YondaCodePageToUtf8(bytes, 949)}) {
        auto it = table.find(Lower(name));
        if (it != table.end())
            return FamilyOf(it->second);
    }
    return asCodePage;
}

struct FontFace::Impl {
    struct Source {
        FT_Face face = nullptr;
        bool emboldenSynthetic = false;
        bool italicSynthetic = false;
    };
    std::vector<Source> sources; // the matched face first, then the fallbacks
    mutable std::mutex mutex;
    mutable std::unordered_map<char32_t, Glyph> glyphs;
    double ppem = 12;

    ~Impl()
    {
        std::lock_guard lock(Library().mutex);
        for (Source& s : sources)
            if (s.face)
                FT_Done_Face(s.face);
    }
};

namespace {

// The font file fontconfig picks for a family, weight and slant (and language).
struct Match {
    std::string file;
    int index = 0;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    std::string family;
    int spacing = FC_PROPORTIONAL;
};

bool MatchFont(const std::string& family, int weight, bool italic, const char* lang, Match& out)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight <= 0 ? FW_NORMAL : weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (lang)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (ok) {
        out.file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &out.weight);
        FcPatternGetInteger(match, FC_SLANT, 0, &out.slant);
        FcPatternGetInteger(match, FC_SPACING, 0, &out.spacing);
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
            out.family = reinterpret_cast<const char*>(name);
    }
    FcPatternDestroy(match);
    return ok;
}

int RoundPixels(double v)
{
    return static_cast<int>(std::lround(v));
}

} // namespace

FontFace::FontFace(const LOGFONTA& log) : m_impl(std::make_unique<Impl>()), m_log(log)
{
    m_log.lfFaceName[LF_FACESIZE - 1] = 0;
    const int weight = log.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(log.lfWeight, 1000);
    const bool bold = weight >= FW_SEMIBOLD;
    const bool italic = log.lfItalic != 0;
    const UINT codePage = this->CodePage();
    const char* lang = codePage == 949 ? "ko" : codePage == 932 ? "ja" : nullptr;

    std::vector<std::string> families{FamilyForFaceName(log), FamilyOf(Style::KoreanSans), FamilyOf(Style::Sans)};
    std::vector<Match> matches;
    {
        std::lock_guard lock(Library().mutex);
        for (size_t i = 0; i < families.size(); ++i) {
            Match m;
            if (!MatchFont(families[i], weight, italic, i == 0 ? lang : nullptr, m))
                continue;
            bool duplicate = std::any_of(matches.begin(), matches.end(),
                                         [&](const Match& o) { return o.file == m.file && o.index == m.index; });
            if (!duplicate)
                matches.push_back(m);
        }
        for (const Match& m : matches) {
            FT_Face face = nullptr;
            if (!Library().library || FT_New_Face(Library().library, m.file.c_str(), m.index, &face) != 0)
                continue;
            Impl::Source s;
            s.face = face;
            s.emboldenSynthetic = bold && m.weight < FC_WEIGHT_DEMIBOLD;
            s.italicSynthetic = italic && m.slant == FC_SLANT_ROMAN;
            m_impl->sources.push_back(s);
            if (m_impl->sources.size() == 1) {
                m_family = m.family;
                m_fixedPitch = m.spacing == FC_MONO;
            }
        }
    }
    if (m_impl->sources.empty())
        return; // no fonts at all: empty glyphs, zero metrics

    FT_Face primary = m_impl->sources.front().face;
    double upem = primary->units_per_EM ? primary->units_per_EM : 2048;
    double winAscent = primary->ascender;
    double winDescent = -primary->descender;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(primary, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    double cell = winAscent + winDescent;
    // A negative height is the character (em) height, a positive one the cell height.
    double ppem;
    if (log.lfHeight < 0)
        ppem = -static_cast<double>(log.lfHeight);
    else if (log.lfHeight > 0)
        ppem = log.lfHeight * upem / cell;
    else
        ppem = 12;
    ppem = std::clamp(ppem, 1.0, 1024.0);
    m_impl->ppem = ppem;
    double scale = ppem / upem;
    const TT_OS2* os2Table = os2 && os2->version != 0xFFFF ? os2 : nullptr;
    // A width asks for that average character width: the glyphs are stretched or condensed.
    double widthPpem = ppem;
    if (log.lfWidth > 0 && os2Table && os2Table->xAvgCharWidth > 0)
        widthPpem = std::clamp(ppem * log.lfWidth / (os2Table->xAvgCharWidth * scale), 1.0, 4096.0);
    for (const Impl::Source& s : m_impl->sources)
        FT_Set_Char_Size(s.face, static_cast<FT_F26Dot6>(std::lround(widthPpem * 64)),
                         static_cast<FT_F26Dot6>(std::lround(ppem * 64)), 72, 72);

    m_ascent = RoundPixels(winAscent * scale);
    m_descent = RoundPixels(winDescent * scale);
    if (log.lfHeight > 0) {
        m_ascent = std::min<int>(m_ascent, log.lfHeight);
        m_descent = log.lfHeight - m_ascent;
    }
    m_internalLeading = std::max(0, Height() - RoundPixels(ppem));
    double xScale = widthPpem / upem;
    m_maxCharWidth = std::max(1, RoundPixels(primary->max_advance_width * xScale));
    int xAvg = os2Table ? os2Table->xAvgCharWidth : 0;
    if (xAvg > 0 && xAvg < upem * 0.7)
        m_aveCharWidth = std::max(1, RoundPixels(xAvg * xScale));
    else
        m_aveCharWidth = std::max(1, Advance(U'x'));
    if (m_impl->sources.front().emboldenSynthetic)
        m_aveCharWidth += 1;
    m_underlinePosition = std::max(1, RoundPixels(-primary->underline_position * scale));
    m_underlineThickness = std::max(1, RoundPixels(primary->underline_thickness * scale));
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutPosition > 0)
        m_strikeoutPosition = std::max(1, RoundPixels(os2->yStrikeoutPosition * scale));
    else
        m_strikeoutPosition = std::max(1, m_ascent / 3);
    m_underlinePosition = std::min(m_underlinePosition, std::max(1, m_descent - m_underlineThickness));
}

FontFace::~FontFace() = default;

UINT FontFace::CodePage() const
{
    return CodePageOfCharset(m_log.lfCharSet);
}

const Glyph& FontFace::GetGlyph(char32_t c) const
{
    std::lock_guard lock(m_impl->mutex);
    auto found = m_impl->glyphs.find(c);
    if (found != m_impl->glyphs.end())
        return found->second;
    Glyph& g = m_impl->glyphs[c];
    if (m_impl->sources.empty() || c < 0x20 || c == 0x7F)
        return g; // control characters take no room
    const Impl::Source* source = &m_impl->sources.front();
    FT_UInt index = 0;
    for (const Impl::Source& s : m_impl->sources) {
        index = FT_Get_Char_Index(s.face, c);
        if (index) {
            source = &s;
            break;
        }
    }
    FT_Face face = source->face;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT) != 0)
        return g;
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (source->emboldenSynthetic)
            FT_Outline_EmboldenXY(&slot->outline, std::max<FT_Pos>(48, static_cast<FT_Pos>(m_impl->ppem * 64 / 20)), 0);
        if (source->italicSynthetic) {
            FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
    }
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6) + (source->emboldenSynthetic ? 1 : 0);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return g;
    const FT_Bitmap& bm = slot->bitmap;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = static_cast<int>(bm.width);
    g.height = static_cast<int>(bm.rows);
    g.coverage.assign(static_cast<size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
        const unsigned char* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        for (int x = 0; x < g.width; ++x) {
            uint8_t v = bm.pixel_mode == FT_PIXEL_MODE_MONO ? (((row[x >> 3] >> (7 - (x & 7))) & 1) ? 255 : 0) : row[x];
            g.coverage[static_cast<size_t>(y) * g.width + x] = v;
        }
    }
    return g;
}

std::shared_ptr<const FontFace> FontFace::ForLogFont(const LOGFONTA& log)
{
    // Fonts that differ only in what drawing ignores share one realization; the active code page
    // is part of the key because it decides the face for the default character set.
    std::string key(reinterpret_cast<const char*>(&log.lfHeight), sizeof(LONG) * 2);
    key.append(reinterpret_cast<const char*>(&log.lfWeight), sizeof(LONG));
    key.push_back(static_cast<char>(log.lfItalic ? 1 : 0));
    key.push_back(static_cast<char>(log.lfUnderline ? 1 : 0));
    key.push_back(static_cast<char>(log.lfStrikeOut ? 1 : 0));
    key.push_back(static_cast<char>(log.lfCharSet));
    key.push_back(static_cast<char>(log.lfPitchAndFamily));
    UINT acp = GetACP();
    key.append(reinterpret_cast<const char*>(&acp), sizeof(acp));
    key.append(FaceBytes(log));

    static std::mutex mutex;
    static auto* cache = new std::unordered_map<std::string, std::shared_ptr<const FontFace>>;
    std::lock_guard lock(mutex);
    auto it = cache->find(key);
    if (it != cache->end())
        return it->second;
    std::shared_ptr<const FontFace> face(new FontFace(log));
    cache->emplace(key, face);
    return face;
}

} // namespace yonda::text
