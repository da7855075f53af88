// CString: formatting, finding and trimming as the Parts use them, double-byte text kept whole.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <yonda_user.h>

namespace {

// "한글A" in code page 949: two double-byte characters then 'A'. The trail byte of 0xC7 0xD1 is 'Ñ'
// territory, and 0xB1 0x41 has an ASCII 'A' as its trail byte.
const char kHangulWithAsciiTrail[] = "\xB1\x41"
                                     "B"; // a character whose trail byte is 'A', then 'B'

TEST(CString, FormatsTheWaysThePartsDo)
{
    CString s;
    s.Format("[%s]", "Section");
    EXPECT_EQ(s, "[Section]");
    s.Format("%s = %d", "Key", -12);
    EXPECT_EQ(s, "Key = -12");
    s.Format("%d%%", 50);
    EXPECT_EQ(s, "50%");
    CString big;
    big.Format("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(big.GetLength(), 5000);
    s.AppendFormat("-%s", "x");
    EXPECT_EQ(s, "50%-x");
}

TEST(CString, MidLeftRightClampBadRanges)
{
    CString s("abcdef");
    EXPECT_EQ(s.Mid(2), "cdef");
    EXPECT_EQ(s.Mid(2, 2), "cd");
    EXPECT_EQ(s.Mid(10), "");
    EXPECT_EQ(s.Mid(-3, 2), "ab");
    EXPECT_EQ(s.Mid(4, 100), "ef");
    EXPECT_EQ(s.Left(-1), "");
    EXPECT_EQ(s.Left(100), "abcdef");
    EXPECT_EQ(s.Right(2), "ef");
    EXPECT_EQ(s.GetAt(100), '\0');
}

TEST(CString, FindingSkipsTrailBytesOfDoubleByteCharacters)
{
    CString s(kHangulWithAsciiTrail);
    EXPECT_EQ(s.Find('A'), -1);
    EXPECT_EQ(s.Find("A"), -1);
    EXPECT_EQ(s.Find('B'), 2);
    EXPECT_EQ(s.ReverseFind('A'), -1);
    CString t("a=b=c");
    EXPECT_EQ(t.Find('='), 1);
    EXPECT_EQ(t.Find('=', 2), 3);
    EXPECT_EQ(t.ReverseFind('='), 3);
    EXPECT_EQ(t.Find("b="), 2);
    EXPECT_EQ(t.Find("zz"), -1);
    EXPECT_EQ(t.Find("b", 99), -1);
}

TEST(CString, CaseChangesLeaveDoubleByteCharactersAlone)
{
    CString s(kHangulWithAsciiTrail);
    s.MakeLower();
    EXPECT_EQ(s, "\xB1\x41"
                 "b");
    s.MakeUpper();
    EXPECT_EQ(s, "\xB1\x41"
                 "B");
    CString r("ab\xB1\x41");
    r.MakeReverse();
    EXPECT_EQ(r, "\xB1\x41"
                 "ba");
}

TEST(CString, TrimmingWhiteSpaceAndChosenCharacters)
{
    CString s("  \t key = value \r\n");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_EQ(s, "key = value");
    CString q("\"quoted\"");
    q.Trim('"');
    EXPECT_EQ(q, "quoted");
    CString e("   ");
    e.Trim();
    EXPECT_TRUE(e.IsEmpty());
}

TEST(CString, ReplaceRemoveInsertDelete)
{
    CString s("a.b.c");
    EXPECT_EQ(s.Replace('.', '/'), 2);
    EXPECT_EQ(s, "a/b/c");
    EXPECT_EQ(s.Replace("/", "::"), 2);
    EXPECT_EQ(s, "a::b::c");
    EXPECT_EQ(s.Remove(':'), 4);
    EXPECT_EQ(s, "abc");
    s.Insert(1, "XY");
    EXPECT_EQ(s, "aXYbc");
    s.Delete(1, 2);
    EXPECT_EQ(s, "abc");
    s.Delete(10, 2);
    EXPECT_EQ(s, "abc");
}

TEST(CString, BuffersAndComparisons)
{
    CString s;
    std::snprintf(s.GetBuffer(32), 32, "%d items", 3);
    s.ReleaseBuffer();
    EXPECT_EQ(s, "3 items");
    EXPECT_EQ(s.GetLength(), 7);
    EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
    EXPECT_LT(CString("abc").Compare("abd"), 0);
    EXPECT_TRUE(CString("x") + "y" == "xy");
    CString fromNull(static_cast<LPCSTR>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
}

TEST(CString, LoadStringReadsTheResourceTable)
{
    YondaAddStringResource(61204, "\xB4\xD9\xC0\xBD %s");
    CString s;
    EXPECT_TRUE(s.LoadString(61204));
    EXPECT_EQ(s, "\xB4\xD9\xC0\xBD %s");
    EXPECT_FALSE(s.LoadString(1));
    // A buffer too short for the whole text ends before a double-byte character, not inside it.
    YondaSetActiveCodePage(949);
    char shortBuffer[4];
    EXPECT_EQ(LoadStringA(nullptr, 61204, shortBuffer, sizeof shortBuffer), 2);
    EXPECT_STREQ(shortBuffer, "\xB4\xD9");
}

} // namespace
