#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// Restores the default code page whatever a test switched to.
class CodePage : public ::testing::Test {
protected:
    void TearDown() override { YondaSetActiveCodePage(949); }
};

const std::string kHangulUtf8 = "\xED\x95\x9C\xEA\xB8\x80"; // two Hangul syllables
const std::string kHangul949 = "\xC7\xD1\xB1\xDB";
const std::string kUmlautsUtf8 = "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F";
const std::string kUmlauts1252 = "\xE4\xF6\xFC\xDF";

TEST_F(CodePage, DefaultIs949AndOnlyKnownPagesCanBeChosen)
{
    EXPECT_EQ(GetACP(), 949u);
    YondaSetActiveCodePage(1252);
    EXPECT_EQ(GetACP(), 1252u);
    YondaSetActiveCodePage(437);
    EXPECT_EQ(GetACP(), 1252u);
}

TEST_F(CodePage, RoundTripsHangulIn949AndUmlautsIn1252)
{
    EXPECT_EQ(YondaUtf8ToCodePage(kHangulUtf8, 949), kHangul949);
    EXPECT_EQ(YondaCodePageToUtf8(kHangul949, 949), kHangulUtf8);
    EXPECT_EQ(YondaUtf8ToCodePage(kUmlautsUtf8, 1252), kUmlauts1252);
    EXPECT_EQ(YondaCodePageToUtf8(kUmlauts1252, 1252), kUmlautsUtf8);
    // Code page 0 follows the active one.
    YondaSetActiveCodePage(1252);
    EXPECT_EQ(YondaCodePageToUtf8(kUmlauts1252, 0), kUmlautsUtf8);
    // Shift-JIS: "あ" is 82 A0.
    EXPECT_EQ(YondaUtf8ToCodePage("\xE3\x81\x82", 932), "\x82\xA0");
}

TEST_F(CodePage, UndecodableBytesComeOutAsThemselves)
{
    struct Case {
        std::string bytes;
        UINT codePage;
        std::u32string expected;
    };
    const Case cases[] = {
        // A lone lead byte at the end.
        {"A\xC7", 949, U"A\u00C7"},
        // A lead byte whose trail is not valid: the lead stands alone, the next byte is read anew.
        {"\xC7"
         "A",
         949, U"\u00C7A"},
        // 0xFF never starts a character in 949; 0x81 is undefined in 1252.
        {"\xFF\xC7\xD1", 949, U"\u00FF\uD55C"},
        {"a\x81z", 1252, U"a\u0081z"},
        {"\xE4", 949, U"\u00E4"},
        {std::string("x\0y", 3), 949, std::u32string(U"x\0y", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(YondaDecodeText(c.bytes.data(), c.bytes.size(), c.codePage), c.expected);
    }
    EXPECT_TRUE(YondaDecodeText(nullptr, 5, 949).empty());
}

TEST_F(CodePage, MissingCharactersAndBadUtf8BecomeQuestionMarks)
{
    EXPECT_EQ(YondaUtf8ToCodePage(kHangulUtf8, 1252), "??");
    EXPECT_EQ(YondaUtf8ToCodePage("a\xFF"
                                  "b",
                                  949),
              "a?b");
    EXPECT_EQ(YondaUtf8ToCodePage("a\xED\x95", 949), "a??");
}

TEST_F(CodePage, LeadBytesFollowTheCodePage)
{
    EXPECT_TRUE(IsDBCSLeadByteEx(949, 0xC7));
    EXPECT_FALSE(IsDBCSLeadByteEx(949, 'A'));
    EXPECT_FALSE(IsDBCSLeadByteEx(1252, 0xE4));
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x82));
    EXPECT_FALSE(IsDBCSLeadByteEx(932, 0xB1)); // half-width katakana stand alone
    EXPECT_TRUE(IsDBCSLeadByte(0xB0));
    YondaSetActiveCodePage(1252);
    EXPECT_FALSE(IsDBCSLeadByte(0xB0));
}

TEST_F(CodePage, CharNextAndCharPrevStepOverWholeCharacters)
{
    const char* text = "a\xC7\xD1"
                       "b\xC7";
    const char* p = CharNextA(text);
    EXPECT_EQ(p, text + 1);
    p = CharNextA(p);
    EXPECT_EQ(p, text + 3);
    p = CharNextA(p);
    EXPECT_EQ(p, text + 4);
    p = CharNextA(p); // the lone lead byte before the terminator is one character
    EXPECT_EQ(p, text + 5);
    EXPECT_EQ(CharNextA(p), p);

    EXPECT_EQ(CharPrevA(text, text + 4), text + 3);
    EXPECT_EQ(CharPrevA(text, text + 3), text + 1);
    EXPECT_EQ(CharPrevA(text, text + 1), text);
    EXPECT_EQ(CharPrevA(text, text), text);
}

TEST_F(CodePage, MultiByteToWideCharFollowsThePlatformsSizeRules)
{
    // -1 counts the terminator; a zero size asks for the size.
    EXPECT_EQ(MultiByteToWideChar(949, 0, kHangul949.c_str(), -1, nullptr, 0), 3);
    WCHAR wide[8] = {};
    ASSERT_EQ(MultiByteToWideChar(949, 0, kHangul949.c_str(), -1, wide, 8), 3);
    EXPECT_EQ(wide[0], 0xD55C);
    EXPECT_EQ(wide[1], 0xAE00);
    EXPECT_EQ(wide[2], 0);

    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(949, 0, kHangul949.c_str(), -1, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    EXPECT_EQ(MultiByteToWideChar(949, MB_ERR_INVALID_CHARS, "\xC7", 1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(MultiByteToWideChar(949, 0, "\xC7", 1, wide, 8), 1);
    EXPECT_EQ(wide[0], 0xC7);

    EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CodePage, WideCharToMultiByteReportsTheDefaultCharacter)
{
    const WCHAR text[] = {0xD55C, 'x', 0xD800, 0};
    char bytes[16] = {};
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(949, 0, text, -1, bytes, sizeof(bytes), nullptr, &usedDefault);
    EXPECT_EQ(n, 5);
    EXPECT_STREQ(bytes, "\xC7\xD1x?");
    EXPECT_TRUE(usedDefault);

    const WCHAR emoji[] = {0xD83D, 0xDE00}; // a surrogate pair in UTF-8
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, emoji, 2, bytes, sizeof(bytes), nullptr, nullptr), 4);
    EXPECT_EQ(std::string(bytes, 4), "\xF0\x9F\x98\x80");
}

} // namespace
