// The chat log's wrapping, measured with the real font: pieces that fit, cut at a tab or space,
// never inside a two-byte character, and a view that follows the newest line.
#include "ControlTestSupport.h"
#include "TabbedTextList.h"
#include "ToolkitShared.h"

using namespace yonda::uitest;

namespace {

struct Log {
    RecordingWnd parent{0, 0};
    CTabbedTextList list;

    explicit Log(int width = 300, int height = 200)
    {
        YondaSetActiveCodePage(949);
        ToolkitSetSkinFolder(SkinFolder());
        EXPECT_TRUE(list.Create(CRect(10, 10, 10 + width, 10 + height), &parent, 5));
        Pump();
    }
    int Width(const CString& text)
    {
        CClientDC dc(&list);
        HGDIOBJ old = dc.SelectObject(ToolkitGuiFont());
        const int width = dc.GetTabbedTextExtent(text, 0, nullptr).cx;
        dc.SelectObject(old);
        return width;
    }
    // Whether a text ends on a whole character of code page 949.
    static bool Whole(const CString& text)
    {
        int at = 0;
        while (at < text.GetLength()) {
            at += IsDBCSLeadByteEx(949, static_cast<BYTE>(text[at])) ? 2 : 1;
        }
        return at == text.GetLength();
    }
};

CString Repeat(const char* utf8, int times)
{
    std::string bytes;
    for (int i = 0; i < times; ++i) {
        bytes += YondaUtf8ToCodePage(utf8, 949);
    }
    return CString(bytes);
}

} // namespace

TEST(TabbedTextList, ShortTextIsOneLineWithItsName)
{
    Log log;
    log.list.AddLine("name", "  hello", RGB(0, 0, 255), CTabbedTextList::LINE_BOLD);
    ASSERT_EQ(log.list.GetLineCount(), 1);
    EXPECT_EQ(log.list.GetLine(0).strName, "name");
    EXPECT_EQ(log.list.GetLine(0).strText, "hello");
    EXPECT_EQ(log.list.GetLine(0).nKind, CTabbedTextList::LINE_BOLD);
    EXPECT_FALSE(log.list.ScrollBar().IsWindowVisible());
    Pump();
    // The name column is grey, the text drawn in the line's colour.
    EXPECT_EQ(Pixel(log.list.m_hWnd, 40, 150), 0xE1E1E1u);
    EXPECT_EQ(Pixel(log.list.m_hWnd, 0, 0), 0x808080u);
    int blue = 0;
    for (int x = 80; x < 200; ++x) {
        for (int y = 0; y < log.list.GetLineHeight(); ++y) {
            const unsigned p = Pixel(log.list.m_hWnd, x, y);
            blue += (p & 0xFF) > 0xA0 && (p >> 16) < 0x60;
        }
    }
    EXPECT_GT(blue, 5);
}

TEST(TabbedTextList, LongTextWrapsAtSpacesIntoPiecesThatFit)
{
    Log log;
    const CString text = "the quick brown fox jumps over the lazy dog and keeps running far beyond the window "
                         "edge\tuntil the sentence finally ends somewhere";
    log.list.AddLine("fox", text, 0, 0);
    const int available = log.list.TextArea().Width() - 8;
    ASSERT_GT(log.list.GetLineCount(), 1);
    CString joined;
    for (int i = 0; i < log.list.GetLineCount(); ++i) {
        const CString& piece = log.list.GetLine(i).strText;
        EXPECT_EQ(log.list.GetLine(i).strName, i == 0 ? "fox" : "");
        EXPECT_LE(piece.GetLength(), CTabbedTextList::kMaxPieceBytes);
        EXPECT_LE(log.Width(piece), available) << piece.GetString();
        if (i + 1 < log.list.GetLineCount()) {
            // Cut before a blank: no piece ends in the middle of a word.
            EXPECT_NE(piece[piece.GetLength() - 1], ' ');
        }
        joined += piece;
        joined += ' ';
    }
    // Nothing lost but the blanks at the cuts.
    CString squeezed = text;
    squeezed.Replace('\t', ' ');
    joined.Replace('\t', ' ');
    squeezed.Remove(' ');
    joined.Remove(' ');
    EXPECT_EQ(joined, squeezed);
}

TEST(TabbedTextList, WrappingNeverSplitsATwoByteCharacter)
{
    for (const char* lead : {"", "a"}) { // even and odd alignment of the Hangul
        SCOPED_TRACE(lead);
        Log log(220);
        const CString text = CString(lead) + Repeat("가", 80);
        log.list.AddLine("", text, 0, 0);
        ASSERT_GT(log.list.GetLineCount(), 2);
        CString joined;
        for (int i = 0; i < log.list.GetLineCount(); ++i) {
            const CString& piece = log.list.GetLine(i).strText;
            EXPECT_TRUE(Log::Whole(piece)) << i;
            EXPECT_FALSE(piece.IsEmpty());
            joined += piece;
        }
        EXPECT_EQ(joined, text);
    }
}

TEST(TabbedTextList, AWordTooWideForAnyCutIsDropped)
{
    Log log(110); // a text area a few pixels wide
    log.list.AddLine("n", "WWWW", 0, 0);
    ASSERT_EQ(log.list.GetLineCount(), 1);
    EXPECT_EQ(log.list.GetLine(0).strName, "n");
    EXPECT_EQ(log.list.GetLine(0).strText, "");
}

TEST(TabbedTextList, KeepsTheNewestHundredLinesAndFollowsUnlessScrolledBack)
{
    Log log(300, 100);
    const int fit = log.list.GetLinesThatFit();
    ASSERT_GT(fit, 2);
    for (int i = 0; i < 101; ++i) {
        log.list.AddLine("", ("line " + std::to_string(i)).c_str(), 0, 0);
    }
    ASSERT_EQ(log.list.GetLineCount(), 100);
    EXPECT_EQ(log.list.GetLine(0).strText, "line 1");
    EXPECT_EQ(log.list.GetLine(99).strText, "line 100");
    EXPECT_TRUE(log.list.ScrollBar().IsWindowVisible());
    EXPECT_EQ(log.list.GetFirstShownLine(), 100 - fit);

    // Scrolled back more than two lines: new lines leave the view where the reader put it.
    log.list.ScrollBar().SetScrollPos(50);
    EXPECT_EQ(log.list.GetFirstShownLine(), 50);
    log.list.AddLine("", "more", 0, 0);
    EXPECT_EQ(log.list.GetFirstShownLine(), 50);
    // Near the end it follows again.
    log.list.ScrollBar().SetScrollPos(100 - fit - 2);
    log.list.AddLine("", "newest", 0, 0);
    EXPECT_EQ(log.list.GetFirstShownLine(), 100 - fit);
    Pump();
}
