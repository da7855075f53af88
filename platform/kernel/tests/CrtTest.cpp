#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(Crt, CaseFoldingIsAsciiOnlySoDoubleByteTextIsNeverChanged)
{
    EXPECT_EQ(_stricmp("Data\\AVATAR", "data\\avatar"), 0);
    EXPECT_LT(_stricmp("abc", "ABD"), 0);
    EXPECT_EQ(_strnicmp("KRIfile", "krIOther", 3), 0);
    // Bytes from 0x80 up are never folded, whatever a locale would say.
    EXPECT_NE(_stricmp("\xB0\xC7", "\xB0\xE7"), 0);
    EXPECT_NE(_stricmp("\xC4", "\xE4"), 0);
    EXPECT_EQ(lstrcmpiA("Orange_Do", "ORANGE_DO"), 0);
    EXPECT_EQ(lstrcmpA("a", "b"), -1);

    char text[] = "MiXeD\xC7\xD1\xC4";
    EXPECT_STREQ(_strlwr(text), "mixed\xC7\xD1\xC4");
    EXPECT_STREQ(_strupr(text), "MIXED\xC7\xD1\xC4");
}

TEST(Crt, StringCopiesStayInsideTheirBuffers)
{
    char buffer[6];
    EXPECT_STREQ(lstrcpynA(buffer, "truncated", sizeof(buffer)), "trunc");
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlenA("abc"), 3);
    char joined[16] = "ab";
    EXPECT_STREQ(lstrcatA(joined, "cd"), "abcd");
}

TEST(Crt, NumbersToText)
{
    char buffer[72];
    EXPECT_STREQ(_itoa(-1234, buffer, 10), "-1234");
    EXPECT_STREQ(_itoa(-1, buffer, 16), "ffffffff");
    EXPECT_STREQ(_itoa(INT32_MIN, buffer, 10), "-2147483648");
    EXPECT_STREQ(_ltoa(255, buffer, 2), "11111111");
    EXPECT_STREQ(_ultoa(4000000000u, buffer, 10), "4000000000");
    EXPECT_STREQ(_i64toa(-9000000000LL, buffer, 10), "-9000000000");
    EXPECT_EQ(_atoi64("123456789012"), 123456789012LL);
}

TEST(Crt, FormatsReadArgumentsWithThePlatformsSizes)
{
    char buffer[1100];
    LONG negative = -5;
    DWORD color = 0xFF00FF;
    // %ld and %lx take 32-bit values, as the platform's long is.
    EXPECT_EQ(wsprintfA(buffer, "%ld|%lu|%08lX|%d|%s|%c", negative, color, color, 42, "text", 'z'), 30);
    EXPECT_STREQ(buffer, "-5|16711935|00FF00FF|42|text|z");
    EXPECT_EQ(_snprintf(buffer, sizeof(buffer), "%I64d %hd %.2f %5s|%-3d|", -9000000000LL, 70000, 1.005, "ab", 7), 32);
    EXPECT_STREQ(buffer, "-9000000000 4464 1.00    ab|7  |");
    const WCHAR wide[] = {0xD55C, 'A', 0};
    wsprintfA(buffer, "%S/%ls", wide, wide);
    EXPECT_STREQ(buffer, "\xC7\xD1"
                         "A/\xC7\xD1"
                         "A");
    wsprintfA(buffer, "%s %S %%", static_cast<const char*>(nullptr), static_cast<const WCHAR*>(nullptr));
    EXPECT_STREQ(buffer, "(null) (null) %");
}

TEST(Crt, FormatLimitsMatchThePlatformsRuntime)
{
    char small[8];
    memset(small, '#', sizeof(small));
    // Too long: the buffer is full, unterminated, and the answer is -1.
    EXPECT_EQ(_snprintf(small, 4, "%d", 123456), -1);
    EXPECT_EQ(std::string(small, 5), "1234#");
    // Exactly full: no terminator either, but the length is answered.
    EXPECT_EQ(_snprintf(small, 3, "abc"), 3);
    EXPECT_EQ(small[3], '4');
    EXPECT_EQ(_snprintf(small, sizeof(small), "ab"), 2);
    EXPECT_STREQ(small, "ab");

    // wsprintf stops at 1024 bytes with the terminator.
    std::string longText(2000, 'x');
    char big[1100];
    EXPECT_EQ(wsprintfA(big, "%s", longText.c_str()), 1023);
    EXPECT_EQ(strlen(big), 1023u);
}

TEST(Crt, NumberFormatGroupsDigits)
{
    char buffer[32];
    char none[] = "";
    char dot[] = ".";
    char comma[] = ",";
    NUMBERFMTA whole = {0, 0, 3, dot, comma, 1};
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1234567", &whole, buffer, sizeof(buffer)), 10);
    EXPECT_STREQ(buffer, "1,234,567");
    GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "-999", &whole, buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "-999");
    GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "0", &whole, buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "0");
    GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1999.5", &whole, buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "2,000");
    GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1234.5", nullptr, buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "1,234.50");
    NUMBERFMTA plain = {0, 0, 0, dot, none, 1};
    GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1234", &plain, buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "1234");

    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "12a", &whole, buffer, sizeof(buffer)), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, "1234567", &whole, buffer, 5), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Crt, MulDivRoundsHalvesAwayFromZeroAndRefusesWhatDoesNotFit)
{
    // Font heights from points at 96 pixels per inch: 12 pt is 16 pixels, 9 pt is 12.
    EXPECT_EQ(MulDiv(12, 96, 72), 16);
    EXPECT_EQ(MulDiv(9, 96, 72), 12);
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(-5, -1, -2), -3);
    EXPECT_EQ(MulDiv(7, 1, 3), 2);
    EXPECT_EQ(MulDiv(8, 1, 3), 3);
    EXPECT_EQ(MulDiv(-7, 1, 3), -2);
    // The product is kept in 64 bits, so only the quotient has to fit.
    EXPECT_EQ(MulDiv(0x40000000, 0x40000000, 0x40000000), 0x40000000);
    EXPECT_EQ(MulDiv(INT32_MIN, 1, 1), INT32_MIN);
    EXPECT_EQ(MulDiv(INT32_MIN, -1, 1), -1) << "2^31 does not fit";
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 1), -1);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0, 5, 7), 0);
}

} // namespace
