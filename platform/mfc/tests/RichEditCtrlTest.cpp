// CRichEditCtrl as a coloured log: lines appended through the selection and its character format
// keep their colours, the line queries agree with what is shown, and the text can be read back by
// line, by range and by selection.
#include <afxcmn.h>
#include <yonda_platform.h>

#include <gtest/gtest.h>

namespace {

class Log : public CRichEditCtrl {
public:
    int createSeen = 0;
    int OnCreate(LPCREATESTRUCT cs) override
    {
        ++createSeen;
        int result = CRichEditCtrl::OnCreate(cs);
        SetReadOnly();
        return result;
    }
    void AppendLine(const CString& text, COLORREF color)
    {
        long start = LineIndex(GetLineCount() - 1);
        SetSel(-1, -1);
        ReplaceSel(text);
        SetSel(start, start + text.GetLength());
        CHARFORMAT cf{};
        GetSelectionCharFormat(cf);
        cf.dwMask = CFM_COLOR;
        cf.dwEffects &= ~CFE_AUTOCOLOR;
        cf.crTextColor = color;
        SetSelectionCharFormat(cf);
        SetSel(-1, -1);
        ReplaceSel("\r\n");
        SetRedraw(TRUE);
        Invalidate(FALSE);
    }
};

class Host : public CWnd {};

TEST(CRichEditCtrl, AColouredLogReadsBackByLineRangeAndSelection)
{
    YondaSetActiveCodePage(949);
    Host host;
    ASSERT_TRUE(
        host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    Log log;
    ASSERT_TRUE(log.Create(0x50000844, CRect(0, 0, 280, 180), &host, 7));
    EXPECT_EQ(log.createSeen, 1);
    EXPECT_TRUE(log.GetStyle() & ES_READONLY);

    CString hangul = YondaUtf8ToCodePage("메신저", 949).c_str();
    log.AppendLine("friend:", RGB(0, 0, 0));
    log.AppendLine(hangul, RGB(237, 23, 36));
    EXPECT_EQ(log.GetLineCount(), 3);
    EXPECT_EQ(log.LineIndex(1), 9);
    EXPECT_EQ(log.LineFromChar(10), 1);
    EXPECT_EQ(log.GetTextLength(), 9 + hangul.GetLength() + 2);

    char line[64];
    int n = log.GetLine(1, line, sizeof line);
    EXPECT_EQ(CString(line, n), hangul);
    CString range;
    EXPECT_EQ(log.GetTextRange(0, 6, range), 6);
    EXPECT_EQ(range, "friend");

    // The second line's colour, and no colour for a selection across both.
    log.SetSel(9, 9 + hangul.GetLength());
    EXPECT_EQ(log.GetSelText(), hangul);
    CHARFORMAT cf{};
    EXPECT_TRUE(log.GetSelectionCharFormat(cf) & CFM_COLOR);
    EXPECT_EQ(cf.crTextColor, RGB(237, 23, 36));
    log.SetSel(0, 12);
    EXPECT_FALSE(log.GetSelectionCharFormat(cf) & CFM_COLOR);
    long a = 0, b = 0;
    log.GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 11); // the middle of a double-byte character snaps back

    // Positions and points agree.
    CPoint pt = log.PosFromChar(9);
    EXPECT_GT(pt.y, 0);
    EXPECT_EQ(log.CharFromPos(pt), 9);

    // Scrolling by the shown lines.
    for (int i = 0; i < 30; ++i)
        log.AppendLine("more", RGB(0, 0, 255));
    int first = log.GetFirstVisibleLine();
    EXPECT_GT(first, 0);
    log.LineScroll(-first);
    EXPECT_EQ(log.GetFirstVisibleLine(), 0);
    host.DestroyWindow();
    EXPECT_EQ(log.m_hWnd, nullptr);
}

} // namespace
