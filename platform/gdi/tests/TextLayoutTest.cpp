#include "../TextLayout.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace yonda::text;

namespace {

// CP949 bytes of Hangul syllables.
const std::string kGa = "\xB0\xA1"; // 가
const std::string kNa = "\xB3\xAA"; // 나
const std::string kDa = "\xB4\xD9"; // 다

std::string Repeat(const std::string& s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

LOGFONTA Gulim(LONG height)
{
    LOGFONTA log{};
    log.lfHeight = height;
    log.lfWeight = FW_NORMAL;
    log.lfCharSet = HANGUL_CHARSET;
    std::strcpy(log.lfFaceName, "\xB1\xBC\xB8\xB2"); // 굴림
    return log;
}

std::shared_ptr<const FontFace> Korean(LONG height = -12)
{
    return FontFace::ForLogFont(Gulim(height));
}

TextLayout Layout(const FontFace& font, const std::string& text, UINT format, int width, int height = 1000)
{
    LayoutParams params;
    params.format = format;
    params.rect = RECT{0, 0, width, height};
    params.expandTabs = format & DT_EXPANDTABS;
    return LayoutText(font, text, params);
}

TEST(SplitCharacters, DoubleByteCharactersStayWhole)
{
    auto chars = SplitCharacters("a" + kGa + "b", 949);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[1].offset, 1u);
    EXPECT_EQ(chars[1].length, 2);
    EXPECT_EQ(chars[1].code, U'\uAC00');
    EXPECT_EQ(chars[2].code, U'b');
    // A lead byte at the end stands alone and decodes to itself.
    auto stray = SplitCharacters(kGa + "\xB0", 949);
    ASSERT_EQ(stray.size(), 2u);
    EXPECT_EQ(stray[1].length, 1);
    EXPECT_EQ(stray[1].code, U'\u00B0');
    // In the German code page the same bytes are two Latin characters.
    auto latin = SplitCharacters("\xE4\xF6", 1252);
    ASSERT_EQ(latin.size(), 2u);
    EXPECT_EQ(latin[0].code, U'\u00E4');
}

TEST(FontFace, SkinFaceNamesReachKoreanAndLatinFonts)
{
    EXPECT_EQ(Korean()->Family(), "NanumGothic");
    LOGFONTA log = Gulim(-12);
    std::strcpy(log.lfFaceName, "Gulim");
    log.lfCharSet = DEFAULT_CHARSET;
    EXPECT_EQ(FontFace::ForLogFont(log)->Family(), "NanumGothic");
    std::strcpy(log.lfFaceName, "\xB5\xB8\xBF\xF2"); // 돋움
    EXPECT_EQ(FontFace::ForLogFont(log)->Family(), "NanumGothic");
    std::strcpy(log.lfFaceName, "Tahoma");
    EXPECT_EQ(FontFace::ForLogFont(log)->Family(), "DejaVu Sans");
    std::strcpy(log.lfFaceName, "Courier New");
    EXPECT_EQ(FontFace::ForLogFont(log)->Family(), "DejaVu Sans Mono");
}

TEST(FontFace, HeightSignChoosesCharacterOrCellHeight)
{
    auto em12 = Korean(-12);
    EXPECT_EQ(em12->Height() - em12->InternalLeading(), 12);
    auto cell16 = Korean(16);
    EXPECT_EQ(cell16->Height(), 16);
    EXPECT_EQ(cell16->Ascent() + cell16->Descent(), 16);
    // A Latin face draws its Hangul from the Korean fallback.
    LOGFONTA log = Gulim(-12);
    std::strcpy(log.lfFaceName, "Arial");
    auto arial = FontFace::ForLogFont(log);
    EXPECT_FALSE(arial->GetGlyph(U'\uAC00').coverage.empty());
}

TEST(FontFace, AWidthCondensesOrStretchesTheGlyphs)
{
    LOGFONTA log = Gulim(-20);
    auto natural = FontFace::ForLogFont(log);
    log.lfWidth = natural->AveCharWidth() / 2;
    auto narrow = FontFace::ForLogFont(log);
    EXPECT_EQ(narrow->Height(), natural->Height());
    EXPECT_NEAR(narrow->AveCharWidth(), log.lfWidth, 1);
    EXPECT_LT(narrow->Advance(U'\uAC00'), natural->Advance(U'\uAC00') * 3 / 4);
}

TEST(FontFace, HangulIsFullWidthAndExtentsScaleWithHeight)
{
    auto small = Korean(-12);
    auto large = Korean(-24);
    int ga = small->Advance(U'\uAC00');
    EXPECT_GE(ga, 10);
    EXPECT_LE(ga, 13);
    EXPECT_GT(ga, small->Advance(U'i'));
    EXPECT_NEAR(large->Advance(U'\uAC00'), 2 * ga, 2);
    auto chars = SplitCharacters(kGa + kNa + kDa, 949);
    EXPECT_EQ(MeasureCharacters(*small, chars),
              small->Advance(U'\uAC00') + small->Advance(U'\uB098') + small->Advance(U'\uB2E4'));
}

TEST(TextLayout, WrapsHangulBetweenCharactersNeverInside)
{
    auto font = Korean();
    int ga = font->Advance(U'\uAC00');
    // "a" and forty syllables: every break must fall on a character boundary (odd offsets).
    std::string text = "a" + Repeat(kGa, 40);
    TextLayout layout = Layout(*font, text, DT_WORDBREAK, ga * 7 + ga / 2);
    ASSERT_GT(layout.lines.size(), 5u);
    uint32_t expected = 0;
    for (const auto& line : layout.lines) {
        EXPECT_EQ(line.firstByte, expected);
        EXPECT_EQ(line.firstByte % 2, expected == 0 ? 0u : 1u);
        EXPECT_LE(line.width, ga * 7 + ga / 2);
        expected = line.endByte;
    }
    EXPECT_EQ(expected, text.size());
}

TEST(TextLayout, WrapsLatinAtSpacesAndKeepsLongWordsUnlessEditControl)
{
    auto font = Korean();
    int space = font->Advance(U' ');
    int hello = MeasureCharacters(*font, SplitCharacters("hello", 949));
    int world = MeasureCharacters(*font, SplitCharacters("world", 949));
    TextLayout layout = Layout(*font, "hello world foo", DT_WORDBREAK, hello + space + world + 2);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(layout.lines[0].endByte, 11u);
    EXPECT_EQ(layout.lines[0].width, hello + space + world); // the space at the break does not count
    EXPECT_EQ(layout.lines[1].firstByte, 12u);

    TextLayout whole = Layout(*font, "abcdefghij xy", DT_WORDBREAK, 20);
    EXPECT_EQ(whole.lines[0].endByte, 10u);
    TextLayout cut = Layout(*font, "abcdefghij xy", DT_WORDBREAK | DT_EDITCONTROL, 20);
    EXPECT_LT(cut.lines[0].endByte, 10u);
    EXPECT_GT(cut.lines[0].endByte, 0u);
}

TEST(TextLayout, LineBreaksAndCalcRect)
{
    auto font = Korean();
    TextLayout layout = Layout(*font, "one\r\ntwo\nthree\rfour", 0, 500);
    ASSERT_EQ(layout.lines.size(), 4u);
    EXPECT_EQ(layout.result, 4 * font->Height());
    EXPECT_EQ(layout.bounds.bottom, 4 * font->Height());
    EXPECT_EQ(layout.bounds.right, layout.width);
    TextLayout single = Layout(*font, "one\r\ntwo", DT_SINGLELINE, 500);
    ASSERT_EQ(single.lines.size(), 1u);
    EXPECT_EQ(single.bounds.bottom, font->Height());
    // No characters: nothing to draw, but one empty line's height.
    TextLayout empty = Layout(*font, "", DT_WORDBREAK, 500);
    EXPECT_TRUE(empty.lines.empty());
    EXPECT_EQ(empty.result, font->Height());
    EXPECT_EQ(empty.bounds.bottom, 0);
    EXPECT_EQ(Layout(*font, "", DT_SINGLELINE, 500).bounds.bottom, font->Height());
}

TEST(TextLayout, EditControlLeavesOutAPartlyVisibleLastLine)
{
    auto font = Korean();
    int h = font->Height();
    TextLayout drawn = Layout(*font, "one\ntwo\nthree", DT_EDITCONTROL, 500, 2 * h + h / 2);
    EXPECT_EQ(drawn.lines.size(), 2u);
    TextLayout measured = Layout(*font, "one\ntwo\nthree", DT_EDITCONTROL | DT_CALCRECT, 500, 2 * h + h / 2);
    EXPECT_EQ(measured.lines.size(), 3u);
    EXPECT_EQ(measured.result, 3 * h);
}

TEST(TextLayout, EndEllipsisCutsWholeCharacters)
{
    auto font = Korean();
    int ga = font->Advance(U'\uAC00');
    std::string text = "x" + Repeat(kGa, 10);
    int width = ga * 4;
    TextLayout layout = Layout(*font, text, DT_SINGLELINE | DT_END_ELLIPSIS, width);
    ASSERT_EQ(layout.lines.size(), 1u);
    const LayoutLine& line = layout.lines[0];
    EXPECT_TRUE(line.ellipsis);
    EXPECT_LE(line.width, width);
    EXPECT_EQ(line.endByte % 2, 1u); // after "x" and whole syllables
    ASSERT_GE(line.glyphs.size(), 3u);
    EXPECT_EQ(line.glyphs.back().code, U'.');
    // Text that fits is left alone.
    TextLayout fits = Layout(*font, kGa, DT_SINGLELINE | DT_END_ELLIPSIS, width);
    EXPECT_FALSE(fits.lines[0].ellipsis);
}

TEST(TextLayout, AlignmentAndVerticalCentre)
{
    auto font = Korean();
    TextLayout centre = Layout(*font, "ab", DT_SINGLELINE | DT_CENTER | DT_VCENTER, 100, 40);
    const LayoutLine& line = centre.lines[0];
    EXPECT_EQ(line.left, (100 - line.width) / 2);
    EXPECT_EQ(line.top, (40 - font->Height()) / 2);
    EXPECT_EQ(centre.result, line.top + font->Height());
    TextLayout right = Layout(*font, "ab", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 100, 40);
    EXPECT_EQ(right.lines[0].left + right.lines[0].width, 100);
    EXPECT_EQ(right.lines[0].top, 40 - font->Height());
}

TEST(TextLayout, TabsExpandToEightAverageWidths)
{
    auto font = Korean();
    TextLayout layout = Layout(*font, "a\tb", DT_EXPANDTABS | DT_SINGLELINE, 500);
    ASSERT_EQ(layout.lines[0].glyphs.size(), 3u);
    EXPECT_EQ(layout.lines[0].glyphs[2].x, 8 * font->AveCharWidth());
    TextLayout four = Layout(*font, "a\tb", DT_EXPANDTABS | DT_TABSTOP | DT_SINGLELINE | (4 << 8), 500);
    EXPECT_EQ(four.lines[0].glyphs[2].x, 4 * font->AveCharWidth());
    TextLayout kept = Layout(*font, "a\tb", DT_SINGLELINE, 500);
    EXPECT_EQ(kept.lines[0].glyphs[2].x, font->Advance(U'a'));
}

TEST(TextLayout, PrefixesUnderlineTheNextCharacter)
{
    auto font = Korean();
    TextLayout layout = Layout(*font, "&File && more", DT_SINGLELINE, 500);
    const LayoutLine& line = layout.lines[0];
    EXPECT_EQ(line.glyphs.size(), 11u);
    ASSERT_EQ(line.underlines.size(), 1u);
    EXPECT_EQ(line.underlines[0].first, 0);
    EXPECT_EQ(line.underlines[0].second, font->Advance(U'F'));
    TextLayout raw = Layout(*font, "&File", DT_SINGLELINE | DT_NOPREFIX, 500);
    EXPECT_EQ(raw.lines[0].glyphs.size(), 5u);
}

TEST(TabStops, GivenPositionsThenTheInterval)
{
    const int stops[] = {30, 70};
    TabStops tabs{16, stops, 0};
    EXPECT_EQ(tabs.Next(0), 30);
    EXPECT_EQ(tabs.Next(30), 70);
    EXPECT_EQ(tabs.Next(75), 86);
    TabStops shifted{40, {}, 10}; // the line starts 10 pixels after the tab origin
    EXPECT_EQ(shifted.Next(0), 30);
}

} // namespace
