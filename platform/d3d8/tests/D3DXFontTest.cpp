// The font: Hangul glyphs reach the target, text is measured and broken as DrawText does, the
// caller's string and the device's states are left as they were.
#include <cstring>

#include "RenderFixture.h"

namespace yonda::d3d8::testing {
namespace {

constexpr DWORD kMeasure = 0x1A511; // centre, word break, no clip, calc rect, edit control, ellipsis, modify
constexpr DWORD kBalloon = 0x1A111;
constexpr DWORD kPlain = 0x111;

class D3DXFontTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        LOGFONTA log{};
        log.lfHeight = -12;
        log.lfWeight = 400;
        log.lfCharSet = 129;
        ASSERT_EQ(D3DXCreateFontIndirect(m_device, &log, &m_font), D3D_OK);
        ASSERT_NE(m_font, nullptr);
    }

    void TearDown() override
    {
        if (m_font) {
            EXPECT_EQ(m_font->Release(), 0u);
        }
        RenderTest::TearDown();
    }

    RECT Measure(const char* text, DWORD format, LONG width = 1000)
    {
        RECT rect = {10, 20, 10 + width, 20};
        m_lastHeight = m_font->DrawTextA(text, -1, &rect, format | DT_CALCRECT, kWhite);
        return rect;
    }

    LONG Width(const char* text) { return Measure(text, DT_SINGLELINE).right - 10; }

    // Pixels brighter than half in the rectangle.
    int Lit(const YondaPicture& picture, LONG left, LONG top, LONG right, LONG bottom)
    {
        int count = 0;
        for (LONG y = std::max(0L, long(top)); y < std::min(LONG(picture.height), bottom); ++y) {
            for (LONG x = std::max(0L, long(left)); x < std::min(LONG(picture.width), right); ++x) {
                if ((picture.At(UINT(x), UINT(y)) & 0xff) > 128)
                    ++count;
            }
        }
        return count;
    }

    ID3DXFont* m_font = nullptr;
    ID3DXFont* m_font2 = nullptr;
    INT m_lastHeight = 0;
};

TEST_F(D3DXFontTest, DrawsHangulGlyphs)
{
    const char hangul[] = "\xc7\xd1\xb1\xdb"; // two Hangul syllables in code page 949
    LONG width = Width(hangul);
    EXPECT_GT(width, 12); // full-width syllables: about the height each
    EXPECT_EQ(width, Width("\xc7\xd1") + Width("\xb1\xdb"));
    int lineHeight = m_lastHeight;
    EXPECT_GE(lineHeight, 12);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    RECT rect = {4, 4, 60, 40};
    EXPECT_EQ(m_font->DrawTextA(hangul, -1, &rect, DT_NOCLIP, kWhite), lineHeight);
    YondaPicture picture = ReadBackBuffer();
    // Both syllables leave ink, each in its own half; nothing outside the text's box.
    EXPECT_GT(Lit(picture, 4, 4, 4 + width / 2, 4 + lineHeight), 10);
    EXPECT_GT(Lit(picture, 4 + width / 2, 4, 4 + width, 4 + lineHeight), 10);
    EXPECT_EQ(Lit(picture, 4 + width + 1, 0, 64, 64), 0);
    EXPECT_EQ(Lit(picture, 0, 4 + lineHeight + 1, 64, 64), 0);
    // In the caller's colour.
    bool coloured = false;
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    m_font->DrawTextA(hangul, -1, &rect, DT_NOCLIP, 0xffff0000u);
    picture = ReadBackBuffer();
    for (DWORD pixel : picture.pixels)
        coloured |= ((pixel >> 16) & 0xff) > 160 && (pixel & 0xffffu) == 0;
    EXPECT_TRUE(coloured);
}

TEST_F(D3DXFontTest, MeasuresAndBreaksLikeDrawText)
{
    LONG ab = Width("ab"), cd = Width("cd"), space = Width("ab cd") - ab - cd;
    EXPECT_GT(space, 0);
    // Wide enough: one line, as wide as the text.
    RECT one = Measure("ab cd", kMeasure, 200);
    EXPECT_EQ(one.left, 10);
    EXPECT_EQ(one.right - one.left, ab + space + cd);
    int lineHeight = m_lastHeight;
    EXPECT_EQ(one.bottom - one.top, lineHeight);
    // Too narrow for both words: broken at the blank, the blank belongs to neither line.
    RECT two = Measure("ab cd", kMeasure, ab + space + cd - 1);
    EXPECT_EQ(two.bottom - two.top, 2 * lineHeight);
    EXPECT_EQ(two.right - two.left, std::max(ab, cd));
    // Hard breaks.
    RECT lines = Measure("ab\r\ncd\nef", kMeasure, 200);
    EXPECT_EQ(lines.bottom - lines.top, 3 * lineHeight);
    // A word longer than the line: broken between characters with the edit-control flag...
    const char* longWord = "abcdefghijklmnopqrstuvwxyz";
    LONG full = Width(longWord);
    RECT broken = Measure(longWord, kMeasure, full / 3 + 1);
    EXPECT_GE(broken.bottom - broken.top, 3 * lineHeight);
    EXPECT_LE(broken.right - broken.left, full / 3 + 1);
    // ...and left whole without it.
    RECT whole = Measure(longWord, DT_WORDBREAK, full / 3);
    EXPECT_EQ(whole.bottom - whole.top, lineHeight);
    EXPECT_EQ(whole.right - whole.left, full);
    // Hangul breaks between syllables even without blanks.
    const char hangul[] = "\xc7\xd1\xb1\xdb\xc7\xd1\xb1\xdb";
    RECT korean = Measure(hangul, DT_WORDBREAK, Width(hangul) / 2);
    EXPECT_EQ(korean.bottom - korean.top, 2 * lineHeight);
    // An ellipsis ends a single line that does not fit.
    RECT cut = Measure(longWord, DT_SINGLELINE | DT_END_ELLIPSIS, full / 2);
    EXPECT_LE(cut.right - cut.left, full / 2);
    EXPECT_GT(cut.right - cut.left, full / 4);
    // '&' marks a prefix unless told otherwise.
    EXPECT_EQ(Width("&ab"), ab);
    EXPECT_EQ(Measure("&ab", DT_SINGLELINE | DT_NOPREFIX).right - 10, Width("&&") + ab);
    // An empty text is one empty line, as with GDI: a line's height answered, a rectangle of no
    // width or height on several lines.
    RECT empty = Measure("", kMeasure, 100);
    EXPECT_EQ(empty.bottom, empty.top);
    EXPECT_EQ(empty.right, empty.left);
    EXPECT_EQ(m_lastHeight, lineHeight);
}

TEST_F(D3DXFontTest, MeasuresExactlyAsGdiDrawText)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    LOGFONTA log{};
    m_font->GetLogFont(&log);
    HFONT font = CreateFontIndirectA(&log);
    HGDIOBJ old = SelectObject(dc, font);
    const char* texts[] = {"ab cd",
                           "a rather long line of chat text",
                           "\xc7\xd1\xb1\xdb \xc5\xd8\xbd\xba\xc6\xae",
                           "abcdefghijklmnopqrstuvwxyz",
                           "line\r\nbreaks",
                           ""};
    const DWORD formats[] = {kMeasure, DT_CALCRECT | DT_SINGLELINE, DT_CALCRECT | DT_WORDBREAK};
    for (const char* text : texts) {
        for (DWORD format : formats) {
            for (LONG width : {30, 80, 200}) {
                SCOPED_TRACE(::testing::Message()
                             << text << " format " << std::hex << format << " width " << std::dec << width);
                RECT gdi = {5, 7, 5 + width, 7};
                RECT d3dx = gdi;
                int gdiHeight = DrawTextA(dc, text, -1, &gdi, format);
                int d3dxHeight = m_font->DrawTextA(text, -1, &d3dx, format, kWhite);
                EXPECT_EQ(d3dxHeight, gdiHeight);
                EXPECT_EQ(d3dx.left, gdi.left);
                EXPECT_EQ(d3dx.top, gdi.top);
                EXPECT_EQ(d3dx.right, gdi.right);
                EXPECT_EQ(d3dx.bottom, gdi.bottom);
            }
        }
    }
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
}

TEST_F(D3DXFontTest, NeverWritesIntoTheCallersText)
{
    char text[] = "a rather long line of chat text that cannot fit";
    char copy[sizeof text];
    std::memcpy(copy, text, sizeof text);
    RECT rect = {0, 0, 40, 0};
    m_font->DrawTextA(text, -1, &rect, kMeasure, kWhite);
    m_font->DrawTextA(text, -1, &rect, kBalloon, kWhite);
    RECT single = {0, 0, 30, 20};
    m_font->DrawTextA(text, -1, &single, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, kWhite);
    EXPECT_EQ(std::memcmp(text, copy, sizeof text), 0);
    // A count shorter than the text, and nothing at all, are handled.
    RECT part = {0, 0, 200, 0};
    m_font->DrawTextA(text, 1, &part, DT_CALCRECT | DT_SINGLELINE, kWhite);
    EXPECT_EQ(part.right, Width("a"));
    EXPECT_EQ(m_font->DrawTextA(nullptr, -1, &rect, kPlain, kWhite), 0);
    EXPECT_EQ(m_font->DrawTextA(text, -1, nullptr, kPlain, kWhite), 0);
}

TEST_F(D3DXFontTest, CentresEachLine)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    RECT rect = {0, 10, 64, 40};
    m_font->DrawTextA("I", -1, &rect, kPlain, kWhite);
    YondaPicture picture = ReadBackBuffer();
    EXPECT_GT(Lit(picture, 28, 10, 36, 30), 3);
    EXPECT_EQ(Lit(picture, 0, 0, 24, 64), 0);
    EXPECT_EQ(Lit(picture, 40, 0, 64, 64), 0);
}

TEST_F(D3DXFontTest, KeepsTheDeviceStatesItChanges)
{
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    m_device->SetTexture(0, texture);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    m_device->SetVertexShader(0x252);
    RECT rect = {0, 0, 64, 64};
    m_font->DrawTextA("text", -1, &rect, kPlain, kWhite);
    DWORD value = 0;
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, DWORD(FALSE));
    m_device->GetRenderState(D3DRS_CULLMODE, &value);
    EXPECT_EQ(value, DWORD(D3DCULL_CW));
    m_device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, DWORD(D3DZB_TRUE));
    m_device->GetRenderState(D3DRS_FOGENABLE, &value);
    EXPECT_EQ(value, DWORD(TRUE));
    m_device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, DWORD(D3DTOP_DISABLE));
    m_device->GetTextureStageState(0, D3DTSS_MAGFILTER, &value);
    EXPECT_EQ(value, DWORD(D3DTEXF_LINEAR));
    m_device->GetVertexShader(&value);
    EXPECT_EQ(value, 0x252u);
    IDirect3DBaseTexture8* bound = nullptr;
    m_device->GetTexture(0, &bound);
    EXPECT_EQ(bound, texture);
    bound->Release();
    m_device->SetTexture(0, nullptr);
    texture->Release();

    LOGFONTA log{};
    EXPECT_EQ(m_font->GetLogFont(&log), D3D_OK);
    EXPECT_EQ(log.lfHeight, -12);
    EXPECT_EQ(D3DXCreateFontIndirect(m_device, nullptr, &m_font2), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_font2, nullptr);
}

} // namespace
} // namespace yonda::d3d8::testing
