// The two drawing helpers of skinned windows against the pixels they must produce.
#include "ControlTestSupport.h"
#include "ImageFile.h"
#include "SkinDraw.h"

#include <gtest/gtest.h>

using namespace yonda::uitest;

namespace {

// A 32-bit memory surface with a DC, filled with one colour.
struct Surface {
    Surface(int width, int height, unsigned fill)
    {
        dc.CreateCompatibleDC(nullptr);
        CDC screen;
        screen.Attach(GetDC(nullptr));
        bitmap.CreateCompatibleBitmap(&screen, width, height);
        ReleaseDC(nullptr, screen.Detach());
        old = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, width, height, Colour(fill));
    }
    ~Surface() { dc.SelectObject(old); }
    static COLORREF Colour(unsigned rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }
    unsigned At(int x, int y) const
    {
        const COLORREF c = dc.GetPixel(x, y);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    void Row(int y, int width, unsigned rgb) { dc.FillSolidRect(0, y, width, 1, Colour(rgb)); }
    CDC dc;
    CBitmap bitmap;
    CBitmap* old = nullptr;
};

// Row y of the picture gets colour 0x010000 * (y + 1): every row is told apart by its red.
unsigned RowColour(int y)
{
    return static_cast<unsigned>(y + 1) << 16;
}

} // namespace

TEST(SkinDraw, ThreeBandsRepeatTheMiddleAndPutTheBottomStripLast)
{
    Surface picture(10, 90, 0);
    for (int y = 0; y < 90; ++y) {
        picture.Row(y, 10, RowColour(y));
    }
    picture.dc.SelectObject(picture.old);
    Surface client(10, 200, 0xFFFFFF);
    SkinDrawBackground(&client.dc, CRect(0, 0, 10, 200), &picture.bitmap, 3);
    picture.old = picture.dc.SelectObject(&picture.bitmap);
    std::vector<unsigned> expected(200);
    for (int y = 0; y < 30; ++y)
        expected[y] = RowColour(y);
    // Rows 30-58 repeat from y 30 in steps of 29; 200 / 29 = 6 copies reach y 203. The row that
    // joins the bottom strip is the middle band's last (59), so the band meets the strip as in
    // the picture.
    for (int y = 30; y < 200; ++y)
        expected[y] = RowColour(30 + (y - 30) % 29);
    expected[169] = RowColour(59);
    for (int y = 170; y < 200; ++y)
        expected[y] = RowColour(60 + y - 170);
    for (int y = 0; y < 200; ++y) {
        ASSERT_EQ(client.At(3, y), expected[y]) << "row " << y;
    }
}

// The 3D view's resting picture is one shaded gradient; painted in three bands at its own size it
// must come out row for row as the picture, with no seam where the middle meets the bottom.
TEST(SkinDraw, TheViewsGradientPictureAtItsOwnSizeHasNoSeam)
{
    CBitmap back;
    ASSERT_TRUE(LoadBitmapFile(SkinFolder() + "\\d3d_back.bmp", &back, nullptr));
    BITMAP info{};
    back.GetBitmap(&info);
    ASSERT_EQ(info.bmHeight, 390);
    Surface client(info.bmWidth, info.bmHeight, 0xFFFFFF);
    SkinDrawBackground(&client.dc, CRect(0, 0, info.bmWidth, info.bmHeight), &back, 3);
    std::vector<int> seams;
    for (int y = 0; y < info.bmHeight; ++y) {
        if (client.At(info.bmWidth / 2, y) != BitmapPixel(back, info.bmWidth / 2, y)) {
            seams.push_back(y);
        }
    }
    EXPECT_TRUE(seams.empty()) << seams.size() << " rows differ from the picture, first " << seams.front();
}

TEST(SkinDraw, TwoBandsEndWithThePicturesLastRowAndTinyPicturesDrawOnlyTheirTop)
{
    Surface picture(4, 20, 0);
    for (int y = 0; y < 20; ++y) {
        picture.Row(y, 4, RowColour(y));
    }
    picture.dc.SelectObject(picture.old);
    Surface client(4, 50, 0xFFFFFF);
    SkinDrawBackground(&client.dc, CRect(0, 0, 4, 50), &picture.bitmap, 2);
    EXPECT_EQ(client.At(0, 0), RowColour(0));
    EXPECT_EQ(client.At(0, 9), RowColour(9));
    EXPECT_EQ(client.At(0, 10), RowColour(10));
    EXPECT_EQ(client.At(0, 18), RowColour(18));
    EXPECT_EQ(client.At(0, 19), RowColour(10)) << "the middle step is h - 1 rows";
    EXPECT_EQ(client.At(0, 49), RowColour(19));

    Surface tiny(4, 50, 0xFFFFFF);
    Surface two(4, 2, 0x123456);
    two.dc.SelectObject(two.old);
    SkinDrawBackground(&tiny.dc, CRect(0, 0, 4, 50), &two.bitmap, 2);
    EXPECT_EQ(tiny.At(0, 0), 0x123456u);
    EXPECT_EQ(tiny.At(0, 25), 0xFFFFFFu) << "a one-row strip has no middle to repeat";
    SkinDrawBackground(&tiny.dc, CRect(0, 0, 4, 50), &two.bitmap, 0);
    SkinDrawBackground(&tiny.dc, CRect(0, 0, 4, 50), nullptr, 3);
}

TEST(SkinDraw, TheKeyColourLeavesTheDestinationByMaskAndByPlainBlits)
{
    Surface source(6, 1, 0x00FF00);
    source.dc.SetPixel(1, 0, RGB(255, 0, 255));
    source.dc.SetPixel(4, 0, RGB(255, 0, 255));
    source.dc.SetPixel(5, 0, RGB(254, 0, 255));
    Surface dest(8, 3, 0x336699);
    SkinDrawTransparent(&dest.dc, 1, 1, 6, 1, &source.dc, 0, 0, RGB(255, 0, 255));
    const std::vector<unsigned> expected{0x336699, 0x00FF00, 0x336699, 0x00FF00,
                                         0x00FF00, 0x336699, 0xFE00FF, 0x336699};
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(dest.At(x, 1), expected[x]) << x;
        EXPECT_EQ(dest.At(x, 0), 0x336699u);
    }

    // The plain-blit way from the same image and mask.
    Surface image(6, 1, 0);
    image.dc.BitBlt(0, 0, 6, 1, &source.dc, 0, 0, SRCCOPY);
    CBitmap mask;
    mask.CreateBitmap(6, 1, 1, 1, nullptr);
    CDC maskDC;
    maskDC.CreateCompatibleDC(&dest.dc);
    CBitmap* oldMask = maskDC.SelectObject(&mask);
    image.dc.SetBkColor(RGB(255, 0, 255));
    maskDC.BitBlt(0, 0, 6, 1, &image.dc, 0, 0, SRCCOPY);
    maskDC.SelectObject(oldMask);
    Surface second(8, 3, 0x336699);
    SkinDrawTransparentByBlits(&second.dc, 1, 1, 6, 1, image.dc, mask);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(second.At(x, 1), expected[x]) << x;
    }
}
