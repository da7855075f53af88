#include "GdiTestUtil.h"

#include "../Surface.h"

using yonda::gdi::CreateSurfaceDC;
using yonda::gdi::Surface;

namespace {

TEST(DeviceContext, StaleAndWrongHandlesFailWithoutCrashing)
{
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    ASSERT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_BRUSH)), nullptr);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 0);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(0x1234)));
    HBRUSH brush = CreateSolidBrush(0);
    ASSERT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), 0u);
    // A DC handle is no GDI object to delete, and a brush is no DC.
    HDC live = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(DeleteObject(live));
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH))));
    EXPECT_EQ(GetObjectType(live), static_cast<DWORD>(OBJ_MEMDC));
    DeleteDC(live);
}

TEST(DeviceContext, SelectedObjectsCannotBeDeletedUntilDeselected)
{
    MemDC mem(2, 2);
    EXPECT_FALSE(DeleteObject(mem.bitmap));
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HGDIOBJ old = SelectObject(mem.dc, brush);
    EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(SelectObject(mem.dc, old), brush);
    EXPECT_TRUE(DeleteObject(brush));
    // Stock objects survive deletion.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
}

TEST(DeviceContext, ABitmapLivesInOneMemoryDCAtATime)
{
    MemDC first(2, 2);
    HDC second = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(second, first.bitmap), nullptr);
    DeleteDC(second);
}

TEST(DeviceContext, DeletingADCReleasesItsSelections)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    SelectObject(dc, bitmap);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(DeviceContext, CompatibleBitmapsFollowWhatTheDCDrawsInto)
{
    HDC fresh = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(fresh, 4, 4); // a fresh memory DC holds a 1x1 mono bitmap
    BITMAP bm{};
    ASSERT_EQ(GetObject(mono, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(mono);
    DeleteDC(fresh);

    MemDC colour(2, 2);
    HBITMAP c = CreateCompatibleBitmap(colour.dc, 5, 3);
    ASSERT_EQ(GetObject(c, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmWidthBytes, 20);
    EXPECT_EQ(bm.bmPlanes, 1);
    DeleteObject(c);
}

TEST(DeviceContext, SaveAndRestoreTheStateStack)
{
    MemDC mem(4, 4);
    SetTextColor(mem.dc, RGB(1, 1, 1));
    SetWindowOrgEx(mem.dc, 5, 5, nullptr);
    int first = SaveDC(mem.dc);
    EXPECT_EQ(first, 1);
    SetTextColor(mem.dc, RGB(2, 2, 2));
    IntersectClipRect(mem.dc, 5, 5, 6, 6);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    SelectObject(mem.dc, brush);
    EXPECT_EQ(SaveDC(mem.dc), 2);
    SetTextColor(mem.dc, RGB(3, 3, 3));
    ASSERT_TRUE(RestoreDC(mem.dc, -1));
    EXPECT_EQ(GetTextColor(mem.dc), RGB(2, 2, 2));
    ASSERT_TRUE(RestoreDC(mem.dc, first));
    EXPECT_EQ(GetTextColor(mem.dc), RGB(1, 1, 1));
    EXPECT_EQ(GetCurrentObject(mem.dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(brush)); // restored away, so no longer selected
    RECT box;
    EXPECT_EQ(GetClipBox(mem.dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5); // no clip: the whole bitmap, in logical coordinates
    EXPECT_EQ(box.right, 9);
    EXPECT_FALSE(RestoreDC(mem.dc, -1));
    EXPECT_FALSE(RestoreDC(mem.dc, 3));
}

TEST(DeviceContext, CapsOfATrueColourDisplay)
{
    MemDC mem(1, 1);
    EXPECT_EQ(GetDeviceCaps(mem.dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(mem.dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(mem.dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(mem.dc, RASTERCAPS) & RC_PALETTE, 0);
}

TEST(DeviceContext, ClipBoxAndRegionsFollowTheClip)
{
    MemDC mem(20, 10);
    RECT box;
    IntersectClipRect(mem.dc, 2, 2, 8, 8);
    EXPECT_EQ(ExcludeClipRect(mem.dc, 4, 4, 6, 6), COMPLEXREGION);
    GetClipBox(mem.dc, &box);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 8);
    EXPECT_FALSE(PtVisible(mem.dc, 5, 5));
    EXPECT_TRUE(PtVisible(mem.dc, 3, 5));
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 0, 15, 10);
    HRGN c = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(c, a, b, RGN_OR), SIMPLEREGION);
    GetRgnBox(c, &box);
    EXPECT_EQ(box.right, 15);
    EXPECT_EQ(CombineRgn(c, a, b, RGN_DIFF), SIMPLEREGION);
    EXPECT_EQ(CombineRgn(c, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(c, 7, 5));
    EXPECT_EQ(CombineRgn(c, a, nullptr, RGN_AND), ERROR);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(c);
}

TEST(SurfaceDC, DrawsAtItsOriginInsideItsClip)
{
    auto surface = std::make_shared<Surface>(20, 10);
    surface->Fill(0xFFFFFFFFu);
    // A child window at (5, 2) of its top-level window, 6 x 4, partly covered: clip to x < 9.
    HDC dc = CreateSurfaceDC(surface, POINT{5, 2}, RECT{5, 2, 9, 6});
    ASSERT_NE(dc, nullptr);
    RECT all{0, 0, 6, 4};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(surface->Row(2)[5], 0xFF000000u);
    EXPECT_EQ(surface->Row(5)[8], 0xFF000000u);
    EXPECT_EQ(surface->Row(2)[9], 0xFFFFFFFFu); // clipped
    EXPECT_EQ(surface->Row(1)[5], 0xFFFFFFFFu);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    // A window DC takes no bitmap, and its compatible bitmaps are colour.
    HBITMAP b = CreateCompatibleBitmap(dc, 2, 2);
    EXPECT_EQ(SelectObject(dc, b), nullptr);
    BITMAP bm{};
    GetObject(b, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    DeleteObject(b);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 5, 0), CLR_INVALID);
    EXPECT_TRUE(DeleteDC(dc));
}

} // namespace
