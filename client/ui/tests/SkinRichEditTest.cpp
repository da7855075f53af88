// The conversation log: coloured lines appended to a real rich edit, read back from the captured
// pixels, and the skinned scroll bar that appears once more lines arrive than fit.
#include "ControlTestSupport.h"
#include "SkinRichEdit.h"
#include "SkinScrollBar.h"

#include <yonda_platform.h>

#include <algorithm>
#include <map>

using namespace yonda::uitest;

namespace {

constexpr unsigned kBlack = 0x000000;
constexpr unsigned kRed = 0xED1724;
constexpr unsigned kBlue = 0x2040E0;
constexpr unsigned kGreen = 0x10A020;

class SkinRichEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        YondaSetActiveCodePage(949);
        ASSERT_TRUE(log.Create(CRect(10, 10, 290, 250), &parent, 12, &bar));
        ASSERT_TRUE(bar.Create(CRect(290, 10, 304, 250), &parent, TRUE, &log, SkinFolder() + "\\scrollbar"));
        bar.ShowWindow(SW_HIDE);
        Pump();
    }

    // How many inked pixels of a text line on screen belong to each of the colours: the text is
    // smoothed against the white background, so each pixel is put to the colour whose blend with
    // white comes closest to it.
    std::map<unsigned, int> ColoursOfLine(int line)
    {
        YondaFlushPainting();
        const int top = log.PosFromChar(static_cast<UINT>(log.LineIndex(line))).y;
        const int bottom = log.PosFromChar(static_cast<UINT>(log.LineIndex(line + 1))).y;
        std::vector<DWORD> pixels(280u * 240u);
        EXPECT_TRUE(YondaGetWindowPixels(log, pixels.data(), 280, 240));
        std::map<unsigned, int> seen;
        for (int y = std::max(top, 0); y < std::min(bottom, 240); ++y) {
            for (int x = 0; x < 280; ++x) {
                const unsigned pixel = pixels[static_cast<size_t>(y) * 280 + static_cast<size_t>(x)] & 0xFFFFFF;
                if (Ink(pixel) > 90) {
                    ++seen[NearestColour(pixel)];
                }
            }
        }
        return seen;
    }
    static double Channel(unsigned c, int shift) { return static_cast<double>((c >> shift) & 0xFF); }
    static double Ink(unsigned pixel)
    {
        double sum = 0;
        for (int shift : {0, 8, 16}) {
            sum += 255 - Channel(pixel, shift);
        }
        return sum;
    }
    static unsigned NearestColour(unsigned pixel)
    {
        unsigned best = 0;
        double bestResidual = 1e18;
        for (unsigned colour : {kBlack, kRed, kBlue, kGreen}) {
            // pixel = white + a * (colour - white), a chosen by least squares.
            double dot = 0;
            double norm = 0;
            for (int shift : {0, 8, 16}) {
                const double d = Channel(colour, shift) - 255;
                dot += (Channel(pixel, shift) - 255) * d;
                norm += d * d;
            }
            const double a = std::clamp(dot / norm, 0.0, 1.0);
            double residual = 0;
            for (int shift : {0, 8, 16}) {
                const double e = 255 + a * (Channel(colour, shift) - 255) - Channel(pixel, shift);
                residual += e * e;
            }
            if (residual < bestResidual) {
                bestResidual = residual;
                best = colour;
            }
        }
        return best;
    }
    bool LineOnScreen(int line)
    {
        const CPoint at = log.PosFromChar(static_cast<UINT>(log.LineIndex(line)));
        CRect client;
        log.GetClientRect(&client);
        return at.y >= 0 && at.y + 8 <= client.bottom;
    }

    RecordingWnd parent{0, 0, 50, 50, 320, 280};
    CSkinRichEdit log;
    CSkinScrollBar bar;
};

} // namespace

TEST_F(SkinRichEditTest, IsAReadOnlyMultiLineChildThatKeepsTheTextItIsGiven)
{
    EXPECT_EQ(static_cast<DWORD>(log.GetStyle()) & 0xFFFFFFFFu, 0x50000844u);
    EXPECT_TRUE(log.GetStyle() & ES_READONLY);
    EXPECT_EQ(log.m_rcClient, CRect(0, 0, 280, 240));
    log.AppendText("Mina", "hello there", kBlue);
    log.AppendText("", "the room closes soon", kGreen);
    CString text;
    log.GetWindowText(text);
    EXPECT_EQ(text, "Mina\r\nhello there\r\nthe room closes soon\r\n");
    // Typing into a log changes nothing.
    log.SetFocus();
    YondaInjectTextUtf8("x");
    Pump();
    log.GetWindowText(text);
    EXPECT_EQ(text, "Mina\r\nhello there\r\nthe room closes soon\r\n");
}

TEST_F(SkinRichEditTest, NamesAreBlackTextsTheirColourAndNamelessLinesRed)
{
    log.AppendText("Mina", "hello there", RGB(0x20, 0x40, 0xE0));
    log.AppendText("", "the room closes soon", RGB(0x10, 0xA0, 0x20));
    log.AppendLine("a green line", RGB(0x10, 0xA0, 0x20));
    const std::vector<unsigned> lineColour = {kBlack, kBlue, kRed, kGreen};
    for (int line = 0; line < 4; ++line) {
        SCOPED_TRACE(line);
        std::map<unsigned, int> seen = ColoursOfLine(line);
        const unsigned colour = lineColour[static_cast<size_t>(line)];
        int others = 0;
        for (const auto& [c, n] : seen) {
            others += c == colour ? 0 : n;
        }
        EXPECT_GT(seen[colour], 20) << "the line is drawn in its colour";
        EXPECT_LT(others * 10, seen[colour]) << "and in no other";
    }
}

TEST_F(SkinRichEditTest, TheEleventhLineShowsTheBarAndScrollsToTheEnd)
{
    for (int i = 1; i <= 10; ++i) {
        log.AppendLine(CString(("line " + std::to_string(i)).c_str()), RGB(0, 0, 0));
    }
    Pump();
    EXPECT_FALSE(bar.IsWindowVisible()) << "ten lines fit";
    EXPECT_EQ(log.GetFirstVisibleLine(), 0);
    ASSERT_TRUE(LineOnScreen(9));

    log.AppendLine("line 11", RGB(0x10, 0xA0, 0x20));
    Pump();
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(bar.m_nMax, 1);
    EXPECT_EQ(bar.GetScrollPos(), bar.m_nMax);
    EXPECT_EQ(log.m_nScrollPos, 1);
    EXPECT_EQ(log.GetFirstVisibleLine(), 1) << "the bar's position is the first line shown";
    EXPECT_TRUE(LineOnScreen(10)) << "the newest line shows";
    EXPECT_GT(ColoursOfLine(10)[kGreen], 20);

    for (int i = 12; i <= 30; ++i) {
        log.AppendLine(CString(("line " + std::to_string(i)).c_str()), RGB(0, 0, 0));
        ASSERT_TRUE(LineOnScreen(i - 1)) << i;
    }
    EXPECT_EQ(bar.m_nMax, 20);
    EXPECT_EQ(bar.GetScrollPos(), 20);

    EXPECT_EQ(log.GetFirstVisibleLine(), 20);

    // The bar taken back scrolls the text back by as many lines, up to the very first.
    bar.SetScrollPos(15);
    EXPECT_EQ(log.GetFirstVisibleLine(), 15);
    EXPECT_EQ(log.m_nScrollPos, 15);
    bar.SetScrollPos(0);
    EXPECT_EQ(log.GetFirstVisibleLine(), 0);
    EXPECT_TRUE(LineOnScreen(0));
    // Dragged back to the end, the newest line shows again.
    bar.SetScrollPos(bar.m_nMax);
    EXPECT_TRUE(LineOnScreen(29));
}

TEST(SkinRichEditAlone, ALogWithoutAScrollBarJustGrows)
{
    RecordingWnd parent(0, 0, 50, 50, 320, 280);
    CSkinRichEdit log;
    ASSERT_TRUE(log.Create(CRect(10, 10, 290, 250), &parent, 12, nullptr));
    for (int i = 0; i < 15; ++i) {
        log.AppendText("", "no bar", RGB(0, 0, 0));
    }
    EXPECT_EQ(log.GetLineCount(), 16);
    EXPECT_EQ(log.GetFirstVisibleLine(), 0);
}
