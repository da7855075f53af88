// The overlay font on a real device: text and balloons read back as pixels.
#include "KRAFont.h"
#include "KRARenderFixture.h"
#include "KRATextureManager.h"

#include <yonda_capture.h>
#include <yonda_platform.h>

#include <cstring>
#include <functional>

namespace {

using namespace kratest;

constexpr DWORD kBlue = 0xFF2040E0;
constexpr DWORD kRed = 0xFFE02020;
constexpr DWORD kCentredWrap = DT_CENTER | DT_WORDBREAK | DT_NOCLIP;                                    // 0x111
constexpr DWORD kHostBalloonFormat = kCentredWrap | DT_EDITCONTROL | DT_END_ELLIPSIS | DT_MODIFYSTRING; // 0x1A111

LOGFONTA HangulFont(LONG height = 16)
{
    LOGFONTA log{};
    log.lfHeight = height;
    log.lfWeight = FW_NORMAL;
    log.lfCharSet = HANGEUL_CHARSET;
    return log;
}

// The smallest rectangle (right and bottom exclusive) holding every pixel that passes; empty
// when none does.
RECT Bounds(const YondaPicture& picture, const std::function<bool(DWORD)>& test)
{
    RECT r{LONG(picture.width), LONG(picture.height), 0, 0};
    for (UINT y = 0; y < picture.height; ++y)
        for (UINT x = 0; x < picture.width; ++x)
            if (test(picture.At(x, y))) {
                r.left = std::min(r.left, LONG(x));
                r.top = std::min(r.top, LONG(y));
                r.right = std::max(r.right, LONG(x) + 1);
                r.bottom = std::max(r.bottom, LONG(y) + 1);
            }
    return r;
}

bool IsEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

class OverlayFontTest : public RenderFixture {
protected:
    OverlayFontTest() { m_nSize = 256; }

    void SetUp() override
    {
        RenderFixture::SetUp();
        if (HasFatalFailure())
            return;
        WriteWorld("Blue.KRT", KRT(TGA(8, 8, std::vector<uint32_t>(64, kBlue))));
        WriteWorld("Red.KRT", KRT(TGA(8, 8, std::vector<uint32_t>(64, kRed))));
    }

    // What the font's own measuring gives for a text in a rectangle.
    RECT Measure(const char* text, RECT rect, const LOGFONTA& log)
    {
        ID3DXFont* font = nullptr;
        EXPECT_EQ(D3DXCreateFontIndirect(m_pDevice, &log, &font), D3D_OK);
        if (font) {
            font->DrawTextA(text, -1, &rect, 0x1A511, 0xFFFFFFFF);
            font->Release();
        }
        return rect;
    }

    static bool IsBlue(DWORD p) { return Near(p, kBlue, 24); }
    static bool IsRed(DWORD p) { return Near(p, kRed, 24); }
    static bool IsBright(DWORD p) { return ((p >> 16) & 255) > 128 && ((p >> 8) & 255) > 128 && (p & 255) > 128; }
};

TEST_F(OverlayFontTest, TextWithoutBalloonIsCentredInTheCallersRectangle)
{
    CKRAFont font;
    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    RECT rect{40, 60, 220, 160};
    font.DrawText("Hello", &rect, kCentredWrap, 0xFFFFFFFF, false, nullptr, 0);
    YondaPicture picture = Picture();

    EXPECT_TRUE(IsEmpty(Bounds(picture, IsBlue))) << "no balloon without the balloon flag";
    RECT text = Bounds(picture, IsBright);
    ASSERT_FALSE(IsEmpty(text));
    EXPECT_GE(text.top, 60);
    EXPECT_LT(text.bottom, 60 + 24);
    EXPECT_NEAR((text.left + text.right) / 2.0, 130.0, 3.0);
    // The caller's rectangle is the caller's.
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.bottom, 160);
}

TEST_F(OverlayFontTest, BalloonStandsOnTheBottomAndFramesTheMeasuredText)
{
    CKRAFont font;
    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    RECT rect{40, 20, 240, 220}; // 200 pixels high
    RECT measured = Measure("Hi there", rect, log);
    LONG w = measured.right - measured.left, h = measured.bottom - measured.top;
    ASSERT_GT(w, 10);
    ASSERT_GT(h, 10);

    font.DrawText("Hi there", &rect, kHostBalloonFormat, 0xFFFFFFFF, true, nullptr, 0);
    YondaPicture picture = Picture();
    RECT balloon = Bounds(picture, IsBlue);
    ASSERT_FALSE(IsEmpty(balloon));
    // 10 left and 15 right of the measured width, 5 above and 20 below the text line, whose
    // bottom is moved onto the rectangle's bottom.
    EXPECT_NEAR(balloon.left, 40 - 10, 1);
    EXPECT_NEAR(balloon.right, 40 + w + 15, 1);
    EXPECT_NEAR(balloon.bottom, 220 + 20, 1);
    EXPECT_NEAR(balloon.top, 220 - h - 5, 1);
    EXPECT_NEAR(balloon.right - balloon.left, w + 25, 1);
    EXPECT_NEAR(balloon.bottom - balloon.top, h + 25, 1);

    // The text is drawn over the balloon, inside the measured line.
    RECT text = Bounds(picture, IsBright);
    ASSERT_FALSE(IsEmpty(text));
    EXPECT_GE(text.left, 40);
    EXPECT_LE(text.right, 40 + w + 1);
    EXPECT_GE(text.top, 220 - h);
    EXPECT_LE(text.bottom, 220 + 1);
}

TEST_F(OverlayFontTest, AGivenTextureReplacesTheFontsBalloon)
{
    CKRAFont font;
    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    CKRAHandle<tagKRADS> hRed;
    ASSERT_EQ(CKRAManager::GetTextureManager()->LoadWorldTexture("Red.KRT", &hRed), KRA_OK);

    RECT rect{40, 20, 240, 120};
    font.DrawText("label", &rect, kHostBalloonFormat, 0xFF000000, true, &hRed, 0);
    YondaPicture picture = Picture();
    EXPECT_FALSE(IsEmpty(Bounds(picture, IsRed)));
    EXPECT_TRUE(IsEmpty(Bounds(picture, IsBlue)));

    // The next draw without a texture is back to the font's own.
    rect = RECT{40, 140, 240, 200};
    font.DrawText("label", &rect, kHostBalloonFormat, 0xFF000000, true, nullptr, 0);
    picture = Picture();
    RECT blue = Bounds(picture, IsBlue);
    ASSERT_FALSE(IsEmpty(blue));
    EXPECT_GT(blue.top, 120);
    CKRAManager::GetTextureManager()->ReleaseTexture(hRed);
}

TEST_F(OverlayFontTest, KoreanTextIsDrawnAndTheCallersBufferIsNeverWritten)
{
    CKRAFont font;
    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    // A long speech in a narrow box: the end ellipsis and "modify string" both apply.
    std::string bytes = YondaUtf8ToCodePage("안녕하세요 여러분 오늘 날씨가 정말 좋네요 같이 산책하러 나갈까요 "
                                            "공원에서 만나요 안녕히 계세요",
                                            949);
    ASSERT_GT(bytes.size(), 60u);
    char buffer[161] = {};
    std::memcpy(buffer, bytes.data(), bytes.size());
    char before[161];
    std::memcpy(before, buffer, sizeof(buffer));

    RECT rect{60, 20, 180, 200};
    font.DrawText(buffer, &rect, kHostBalloonFormat, 0xFFFFFFFF, true, nullptr, 0);
    EXPECT_EQ(std::memcmp(buffer, before, sizeof(buffer)), 0);

    YondaPicture picture = Picture();
    RECT balloon = Bounds(picture, IsBlue);
    ASSERT_FALSE(IsEmpty(balloon));
    EXPECT_NEAR(balloon.bottom, 220, 1);
    EXPECT_GT(balloon.bottom - balloon.top, 2 * 16 + 25) << "several lines of Hangul";
    // Hangul glyphs land inside the balloon: many bright pixels there.
    int bright = 0;
    for (LONG y = balloon.top; y < balloon.bottom; ++y)
        for (LONG x = balloon.left; x < balloon.right; ++x)
            bright += IsBright(picture.At(UINT(x), UINT(y))) ? 1 : 0;
    EXPECT_GT(bright, 200);
}

TEST_F(OverlayFontTest, AFontWithoutBalloonTextureDrawsTextOnlyAtTheBottom)
{
    CKRAFont font;
    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, nullptr), KRA_OK);
    EXPECT_FALSE(font.HasBalloonQuad());
    RECT rect{20, 20, 220, 220};
    font.DrawText("plain", &rect, kHostBalloonFormat, 0xFFFFFFFF, true, nullptr, 0);
    YondaPicture picture = Picture();
    RECT text = Bounds(picture, IsBright);
    ASSERT_FALSE(IsEmpty(text));
    EXPECT_GT(text.top, 180) << "measured and moved onto the bottom even without a quad";
    EXPECT_TRUE(IsEmpty(Bounds(picture, IsBlue)));
}

TEST_F(OverlayFontTest, DrawingLeavesBlendingAndAlphaTestOffAndClockwiseCulling)
{
    CKRAFont font;
    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    for (bool bBalloon : {false, true}) {
        RECT rect{10, 10, 200, 100};
        font.DrawText("x", &rect, kCentredWrap, 0xFFFFFFFF, bBalloon, nullptr, 0);
        DWORD value = 0;
        m_pDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
        EXPECT_EQ(value, DWORD(FALSE));
        m_pDevice->GetRenderState(D3DRS_ALPHATESTENABLE, &value);
        EXPECT_EQ(value, DWORD(FALSE));
        m_pDevice->GetRenderState(D3DRS_CULLMODE, &value);
        EXPECT_EQ(value, DWORD(D3DCULL_CW));
    }
}

TEST_F(OverlayFontTest, BadArgumentsDrawNothingAndCreateFailsWithoutAFontDescription)
{
    CKRAFont font;
    EXPECT_EQ(font.Create(m_pDevice, nullptr, "Blue.KRT"), KRA_E_FAILED);
    RECT rect{10, 10, 200, 100};
    font.DrawText("never", &rect, kCentredWrap, 0xFFFFFFFF, true, nullptr, 0); // no font: nothing

    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    font.DrawText(nullptr, &rect, kCentredWrap, 0xFFFFFFFF, true, nullptr, 0);
    font.DrawText("no rectangle", nullptr, kCentredWrap, 0xFFFFFFFF, true, nullptr, 0);
    YondaPicture picture = Picture();
    EXPECT_TRUE(IsEmpty(Bounds(picture, [](DWORD p) { return (p & 0xFFFFFF) != 0; })));

    // A missing balloon picture gives the font no texture; its balloons still carry their text.
    CKRAFont missing;
    ASSERT_EQ(missing.Create(m_pDevice, &log, "NoSuch.KRT"), KRA_OK);
    EXPECT_EQ(CKRAManager::GetTextureManager()->GetTexture(missing.GetBalloonTexture()), nullptr);
    missing.DrawText("still here", &rect, kHostBalloonFormat, 0xFF00FF00, true, nullptr, 0);
    picture = Picture();
    EXPECT_FALSE(IsEmpty(Bounds(picture, [](DWORD p) { return Near(p, 0xFF00FF00, 40); })));
}

TEST_F(OverlayFontTest, DestroyReleasesTheDeviceObjects)
{
    UINT before = YondaD3D8CountDefaultPoolResources(m_pDevice);
    CKRAFont font;
    LOGFONTA log = HangulFont();
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_pDevice), before + 1) << "the quad buffer";
    // Created again: the first quad is given up, not leaked.
    ASSERT_EQ(font.Create(m_pDevice, &log, "Blue.KRT"), KRA_OK);
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_pDevice), before + 1);
    font.Destroy();
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_pDevice), before);
}

} // namespace
