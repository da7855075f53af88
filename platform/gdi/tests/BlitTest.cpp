#include "GdiTestUtil.h"

#include <vector>

namespace {

// One raster operation on colour: destination, source and brush colours and the expected pixel.
struct RopCase {
    const char* name;
    DWORD rop;
    COLORREF expected;
};

constexpr COLORREF kDst = RGB(0xF0, 0x0F, 0xAA);
constexpr COLORREF kSrc = RGB(0xCC, 0x33, 0x0F);
constexpr COLORREF kPat = RGB(0x12, 0x34, 0x56);

TEST(BitBlt, EachRasterOperationOnColour)
{
    const RopCase cases[] = {
        {"SRCCOPY", SRCCOPY, kSrc},
        {"SRCAND", SRCAND, kSrc & kDst},
        {"SRCPAINT", SRCPAINT, kSrc | kDst},
        {"DSna", 0x220326, kDst & ~kSrc & 0xFFFFFF},
        {"NOTSRCCOPY", NOTSRCCOPY, ~kSrc & 0xFFFFFF},
        {"SRCINVERT", SRCINVERT, kSrc ^ kDst},
        {"PATCOPY", PATCOPY, kPat},
        {"PATINVERT", PATINVERT, kPat ^ kDst},
        {"DSTINVERT", DSTINVERT, ~kDst & 0xFFFFFF},
        {"MERGECOPY", MERGECOPY, kSrc & kPat},
        {"BLACKNESS", BLACKNESS, kBlack},
        {"WHITENESS", WHITENESS, kWhite},
    };
    MemDC src(4, 4);
    src.Fill(kSrc);
    for (const RopCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemDC dst(4, 4);
        dst.Fill(kDst);
        HBRUSH brush = CreateSolidBrush(kPat);
        HGDIOBJ oldBrush = SelectObject(dst.dc, brush);
        ASSERT_TRUE(BitBlt(dst.dc, 1, 1, 2, 2, src.dc, 0, 0, c.rop));
        SelectObject(dst.dc, oldBrush);
        DeleteObject(brush);
        EXPECT_EQ(dst.At(1, 1), c.expected);
        EXPECT_EQ(dst.At(2, 2), c.expected);
        EXPECT_EQ(dst.At(0, 0), kDst);
        EXPECT_EQ(dst.At(3, 3), kDst);
    }
}

TEST(BitBlt, ColourToMonochromeMarksTheSourceBackgroundColourAsOne)
{
    MemDC src(3, 1);
    SetPixel(src.dc, 0, 0, kMagenta);
    SetPixel(src.dc, 1, 0, RGB(255, 0, 254));
    SetPixel(src.dc, 2, 0, kWhite);
    SetBkColor(src.dc, kMagenta);
    MemDC mask(3, 1, true);
    ASSERT_TRUE(BitBlt(mask.dc, 0, 0, 3, 1, src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(mask.At(0, 0), kWhite);
    EXPECT_EQ(mask.At(1, 0), kBlack);
    EXPECT_EQ(mask.At(2, 0), kBlack); // white is not the background colour here
}

TEST(BitBlt, MonochromeToColourTakesTheDestinationsColours)
{
    MemDC mask(2, 1, true);
    SetPixel(mask.dc, 0, 0, kWhite);
    SetPixel(mask.dc, 1, 0, kBlack);
    MemDC dst(2, 1);
    SetBkColor(dst.dc, RGB(1, 2, 3));
    SetTextColor(dst.dc, RGB(4, 5, 6));
    SetBkColor(mask.dc, RGB(9, 9, 9)); // the source's own colours do not matter
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 2, 1, mask.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(dst.At(1, 0), RGB(4, 5, 6));
}

// A 6x3 picture keyed in magenta: a red block at columns 1-2 and a green one at 4, the rest key.
void PaintKeyedPicture(const MemDC& picture)
{
    picture.Fill(kMagenta);
    picture.Fill(RECT{1, 0, 3, 3}, RGB(255, 0, 0));
    picture.Fill(RECT{4, 1, 5, 2}, RGB(0, 255, 0));
}

// The transparent blit of a keyed picture as the skinned windows do it; `useMaskBlt` false runs
// the three-step fallback (SRCAND of the mask, DSna to clear the key, SRCPAINT).
void DrawTransparent(HDC dest, int x, int y, int w, int h, HDC src, COLORREF key, bool useMaskBlt)
{
    HDC imageDC = CreateCompatibleDC(dest);
    HDC maskDC = CreateCompatibleDC(dest);
    HBITMAP image = CreateCompatibleBitmap(dest, w, h);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldImage = SelectObject(imageDC, image);
    HGDIOBJ oldMask = SelectObject(maskDC, mask);
    COLORREF oldBk = SetBkColor(imageDC, key);
    RECT all{0, 0, w, h};
    ExtTextOutA(imageDC, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    BitBlt(imageDC, 0, 0, w, h, src, 0, 0, SRCCOPY);
    BitBlt(maskDC, 0, 0, w, h, imageDC, 0, 0, SRCCOPY);
    SetBkColor(imageDC, oldBk);
    if (useMaskBlt) {
        ASSERT_TRUE(MaskBlt(dest, x, y, w, h, imageDC, 0, 0, mask, 0, 0, 0xCCAA0020));
    } else {
        HDC copyDC = CreateCompatibleDC(dest);
        HBITMAP copy = CreateCompatibleBitmap(dest, w, h);
        HGDIOBJ oldCopy = SelectObject(copyDC, copy);
        BitBlt(copyDC, 0, 0, w, h, dest, x, y, SRCCOPY);
        BitBlt(copyDC, 0, 0, w, h, maskDC, 0, 0, SRCAND);
        BitBlt(imageDC, 0, 0, w, h, maskDC, 0, 0, 0x220326);
        BitBlt(copyDC, 0, 0, w, h, imageDC, 0, 0, SRCPAINT);
        BitBlt(dest, x, y, w, h, copyDC, 0, 0, SRCCOPY);
        SelectObject(copyDC, oldCopy);
        DeleteObject(copy);
        DeleteDC(copyDC);
    }
    SelectObject(imageDC, oldImage);
    SelectObject(maskDC, oldMask);
    EXPECT_TRUE(DeleteObject(image));
    EXPECT_TRUE(DeleteObject(mask));
    DeleteDC(imageDC);
    DeleteDC(maskDC);
}

TEST(MaskBlt, TransparentBlitOfAKeyedPictureBothWays)
{
    const COLORREF background = RGB(10, 20, 30);
    for (bool useMaskBlt : {true, false}) {
        SCOPED_TRACE(useMaskBlt ? "MaskBlt" : "three blits");
        MemDC picture(6, 3);
        PaintKeyedPicture(picture);
        MemDC dest(10, 5);
        dest.Fill(background);
        DrawTransparent(dest.dc, 2, 1, 6, 3, picture.dc, kMagenta, useMaskBlt);
        const char* rows[] = {
            "..........", "...RR.....", "...RR.G...", "...RR.....", "..........",
        };
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 10; ++x) {
                COLORREF want = rows[y][x] == 'R' ? RGB(255, 0, 0) : rows[y][x] == 'G' ? RGB(0, 255, 0) : background;
                EXPECT_EQ(dest.At(x, y), want) << "at " << x << "," << y;
            }
        }
    }
}

TEST(MaskBlt, RequiresAMonochromeMaskAndRunsGenericOperations)
{
    MemDC src(2, 1);
    src.Fill(RGB(0, 0, 255));
    MemDC dst(2, 1);
    dst.Fill(RGB(255, 0, 0));
    HBITMAP colourMask = CreateCompatibleBitmap(dst.dc, 2, 1);
    EXPECT_FALSE(MaskBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, colourMask, 0, 0, 0xCCAA0020));
    DeleteObject(colourMask);

    const BYTE bits[2] = {0x80, 0}; // first pixel 1, second 0
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, bits);
    // Foreground (mask 1): SRCPAINT; background (mask 0): BLACKNESS.
    ASSERT_TRUE(MaskBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, mask, 0, 0, MAKEROP4(SRCPAINT, BLACKNESS)));
    EXPECT_EQ(dst.At(0, 0), RGB(255, 0, 255));
    EXPECT_EQ(dst.At(1, 0), kBlack);
    DeleteObject(mask);
}

TEST(BitBlt, ClipsToTheClipRegionAndTranslatesByTheOrigins)
{
    MemDC src(4, 4);
    src.Fill(RGB(0, 0, 255));
    MemDC dst(8, 8);
    dst.Fill(kWhite);
    SetWindowOrgEx(dst.dc, -2, -1, nullptr);                         // logical (0, 0) is device (2, 1)
    ASSERT_EQ(IntersectClipRect(dst.dc, 0, 0, 2, 10), SIMPLEREGION); // device columns 2-3
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, SRCCOPY));
    SetWindowOrgEx(dst.dc, 0, 0, nullptr);
    SelectClipRgn(dst.dc, nullptr);
    std::vector<std::string> got;
    for (int y = 0; y < 6; ++y) {
        std::string row;
        for (int x = 0; x < 7; ++x)
            row += dst.At(x, y) == kWhite ? '.' : '#';
        got.push_back(row);
    }
    EXPECT_EQ(got, (std::vector<std::string>{".......", "..##...", "..##...", "..##...", "..##...", "......."}));
}

TEST(BitBlt, ClipRegionIsInDeviceCoordinates)
{
    MemDC dst(8, 2);
    dst.Fill(kWhite);
    HRGN region = CreateRectRgn(4, 0, 8, 2); // device columns 4-7
    SelectClipRgn(dst.dc, region);
    DeleteObject(region); // the DC keeps its own copy
    SetViewportOrgEx(dst.dc, 3, 0, nullptr);
    PatBlt(dst.dc, 0, 0, 2, 2, BLACKNESS); // device columns 3-4: only 4 is inside
    SetViewportOrgEx(dst.dc, 0, 0, nullptr);
    SelectClipRgn(dst.dc, nullptr);
    EXPECT_EQ(dst.At(3, 0), kWhite);
    EXPECT_EQ(dst.At(4, 0), kBlack);
    EXPECT_EQ(dst.At(5, 0), kWhite);
}

TEST(BitBlt, OverlappingCopyWithinOneBitmapReadsTheOldPixels)
{
    MemDC dc(5, 1);
    for (int x = 0; x < 5; ++x)
        SetPixel(dc.dc, x, 0, RGB(x * 10, 0, 0));
    ASSERT_TRUE(BitBlt(dc.dc, 1, 0, 4, 1, dc.dc, 0, 0, SRCCOPY));
    for (int x = 1; x < 5; ++x)
        EXPECT_EQ(dc.At(x, 0), RGB((x - 1) * 10, 0, 0));
}

TEST(BitBlt, SourceOutsideItsBitmapLeavesTheDestination)
{
    MemDC src(2, 2);
    src.Fill(kBlack);
    MemDC dst(4, 4);
    dst.Fill(kWhite);
    ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 4, src.dc, -1, -1, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), kWhite);
    EXPECT_EQ(dst.At(1, 1), kBlack);
    EXPECT_EQ(dst.At(2, 2), kBlack);
    EXPECT_EQ(dst.At(3, 3), kWhite);
}

TEST(BitBlt, BadHandlesFail)
{
    MemDC dst(2, 2);
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 1, 1, dst.dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, reinterpret_cast<HDC>(dst.bitmap), 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, WHITENESS)); // no source needed
}

// Pixels of a row as letters, for stretch results.
std::string Row(const MemDC& dc, int y, int width)
{
    std::string s;
    for (int x = 0; x < width; ++x) {
        COLORREF c = dc.At(x, y);
        s += c == kWhite ? 'w' : c == kBlack ? 'k' : c == RGB(255, 0, 0) ? 'r' : c == RGB(0, 0, 255) ? 'b' : '?';
    }
    return s;
}

TEST(StretchBlt, ShrinkInTheDefaultModeAndsTheDroppedPixels)
{
    MemDC src(4, 1);
    src.Fill(kWhite);
    SetPixel(src.dc, 1, 0, kBlack);
    SetPixel(src.dc, 2, 0, RGB(255, 0, 0));
    SetPixel(src.dc, 3, 0, RGB(255, 0, 255));
    MemDC dst(2, 1);
    EXPECT_EQ(GetStretchBltMode(dst.dc), BLACKONWHITE);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(Row(dst, 0, 2), "kr"); // white & black, red & magenta

    SetStretchBltMode(dst.dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(Row(dst, 0, 2), "wr");

    SetStretchBltMode(dst.dc, WHITEONBLACK);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(Row(dst, 0, 2), "w?");
    EXPECT_EQ(dst.At(1, 0), RGB(255, 0, 255));
}

TEST(StretchBlt, EnlargeRepeatsAndNegativeWidthMirrors)
{
    MemDC src(2, 1);
    SetPixel(src.dc, 0, 0, RGB(255, 0, 0));
    SetPixel(src.dc, 1, 0, RGB(0, 0, 255));
    MemDC dst(6, 2);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 6, 2, src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(Row(dst, 0, 6), "rrrbbb");
    EXPECT_EQ(Row(dst, 1, 6), "rrrbbb");
    ASSERT_TRUE(StretchBlt(dst.dc, 6, 0, -6, 1, src.dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(Row(dst, 0, 6), "bbbrrr");
}

TEST(StretchBlt, OnePixelColumnToAWideBand)
{
    MemDC src(3, 2);
    src.Fill(kWhite);
    SetPixel(src.dc, 1, 0, RGB(255, 0, 0));
    SetPixel(src.dc, 1, 1, RGB(0, 0, 255));
    MemDC dst(5, 2);
    ASSERT_TRUE(StretchBlt(dst.dc, 0, 0, 5, 2, src.dc, 1, 0, 1, 2, SRCCOPY));
    EXPECT_EQ(Row(dst, 0, 5), "rrrrr");
    EXPECT_EQ(Row(dst, 1, 5), "bbbbb");
}

TEST(PatBlt, UsesTheSelectedBrushAndIgnoresAHollowOne)
{
    MemDC dc(3, 1);
    dc.Fill(kWhite);
    SelectObject(dc.dc, GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(PatBlt(dc.dc, 0, 0, 1, 1, PATCOPY));
    SelectObject(dc.dc, GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(PatBlt(dc.dc, 1, 0, 1, 1, PATCOPY));
    EXPECT_FALSE(PatBlt(dc.dc, 2, 0, 1, 1, SRCCOPY));
    EXPECT_EQ(Row(dc, 0, 3), "kww");
}

TEST(FillRect, FillsFramesAndLeavesTheRightAndBottomEdges)
{
    MemDC dc(5, 5);
    dc.Fill(kWhite);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT frame{0, 0, 5, 5};
    ASSERT_TRUE(FrameRect(dc.dc, &frame, red));
    RECT inner{1, 1, 3, 3};
    ASSERT_TRUE(FillRect(dc.dc, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    EXPECT_EQ(Row(dc, 0, 5), "rrrrr");
    EXPECT_EQ(Row(dc, 1, 5), "rkkwr");
    EXPECT_EQ(Row(dc, 2, 5), "rkkwr");
    EXPECT_EQ(Row(dc, 3, 5), "rwwwr");
    EXPECT_EQ(Row(dc, 4, 5), "rrrrr");
    EXPECT_FALSE(FillRect(dc.dc, &inner, nullptr));
    DeleteObject(red);
}

TEST(ExtTextOut, OpaqueWithoutTextFillsWithTheBackgroundColour)
{
    MemDC dc(3, 1);
    dc.Fill(kWhite);
    SetBkColor(dc.dc, RGB(0, 0, 255));
    SetBkMode(dc.dc, TRANSPARENT); // ETO_OPAQUE fills whatever the mode
    RECT r{1, 0, 3, 1};
    ASSERT_TRUE(ExtTextOutA(dc.dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
    EXPECT_EQ(Row(dc, 0, 3), "wbb");
}

TEST(LineTo, DrawsUpToButNotIncludingTheEndPoint)
{
    MemDC dc(5, 2);
    dc.Fill(kWhite);
    MoveToEx(dc.dc, 0, 0, nullptr);
    ASSERT_TRUE(LineTo(dc.dc, 4, 0));
    EXPECT_EQ(Row(dc, 0, 5), "kkkkw");
    POINT p;
    GetCurrentPositionEx(dc.dc, &p);
    EXPECT_EQ(p.x, 4);
}

} // namespace
