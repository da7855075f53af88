#include "SkinDraw.h"

void SkinDrawBackground(CDC* dc, const RECT& client, CBitmap* bitmap, unsigned bands)
{
    BITMAP info{};
    if (!dc || !bitmap || !bitmap->GetSafeHandle() || !bitmap->GetBitmap(&info) || bands < 1) {
        return;
    }
    const int clientHeight = client.bottom - client.top;
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    const int strip = height / static_cast<int>(bands);
    const int step = strip - 1;
    if (strip <= 0) {
        return;
    }
    CDC mem;
    if (!mem.CreateCompatibleDC(dc)) {
        return;
    }
    CBitmap* old = mem.SelectObject(bitmap);
    dc->BitBlt(0, 0, width, strip, &mem, 0, 0, SRCCOPY);
    if (bands >= 2 && step > 0) {
        const int count = clientHeight / step;
        for (int i = 0; i < count; ++i) {
            dc->BitBlt(0, strip + i * step, width, step, &mem, 0, strip, SRCCOPY);
        }
    }
    if (bands == 2) {
        dc->BitBlt(0, clientHeight - 1, width, 1, &mem, 0, height - 1, SRCCOPY);
    } else if (bands > 2) {
        // Steps of h - 1 rows never draw the middle band's last row, so a shaded middle would
        // meet the bottom strip at a seam: the row joining them is that last row, as in the picture.
        const int join = clientHeight - strip - 1;
        if (step > 0 && join >= strip) {
            dc->BitBlt(0, join, width, 1, &mem, 0, height - strip - 1, SRCCOPY);
        }
        dc->BitBlt(0, clientHeight - strip, width, strip, &mem, 0, height - strip, SRCCOPY);
    }
    mem.SelectObject(old);
}

void SkinDrawTransparentByBlits(CDC* dest, int x, int y, int width, int height, CDC& image, CBitmap& mask)
{
    CDC maskDC;
    CDC copyDC;
    CBitmap copy;
    if (!maskDC.CreateCompatibleDC(dest) || !copyDC.CreateCompatibleDC(dest) ||
        !copy.CreateCompatibleBitmap(dest, width, height)) {
        return;
    }
    CBitmap* oldMask = maskDC.SelectObject(&mask);
    CBitmap* oldCopy = copyDC.SelectObject(&copy);
    // Mask 1 (key) keeps white through AND, mask 0 gives black: the destination survives only
    // where the key was.
    const COLORREF copyText = copyDC.SetTextColor(RGB(0, 0, 0));
    const COLORREF copyBack = copyDC.SetBkColor(RGB(255, 255, 255));
    copyDC.BitBlt(0, 0, width, height, dest, x, y, SRCCOPY);
    copyDC.BitBlt(0, 0, width, height, &maskDC, 0, 0, SRCAND);
    const COLORREF imageText = image.SetTextColor(RGB(0, 0, 0));
    const COLORREF imageBack = image.SetBkColor(RGB(255, 255, 255));
    image.BitBlt(0, 0, width, height, &maskDC, 0, 0, 0x220326);
    copyDC.BitBlt(0, 0, width, height, &image, 0, 0, SRCPAINT);
    dest->BitBlt(x, y, width, height, &copyDC, 0, 0, SRCCOPY);
    image.SetTextColor(imageText);
    image.SetBkColor(imageBack);
    copyDC.SetTextColor(copyText);
    copyDC.SetBkColor(copyBack);
    copyDC.SelectObject(oldCopy);
    maskDC.SelectObject(oldMask);
}

void SkinDrawTransparent(CDC* dest, int x, int y, int width, int height, CDC* src, int srcX, int srcY, COLORREF key)
{
    if (!dest || !src || width <= 0 || height <= 0) {
        return;
    }
    CDC imageDC;
    CDC maskDC;
    CBitmap image;
    CBitmap mask;
    if (!imageDC.CreateCompatibleDC(dest) || !maskDC.CreateCompatibleDC(dest) ||
        !image.CreateCompatibleBitmap(dest, width, height) || !mask.CreateBitmap(width, height, 1, 1, nullptr)) {
        return;
    }
    CBitmap* oldImage = imageDC.SelectObject(&image);
    CBitmap* oldMask = maskDC.SelectObject(&mask);
    imageDC.FillSolidRect(0, 0, width, height, key);
    imageDC.BitBlt(0, 0, width, height, src, srcX, srcY, SRCCOPY);
    const COLORREF oldBack = imageDC.SetBkColor(key);
    maskDC.BitBlt(0, 0, width, height, &imageDC, 0, 0, SRCCOPY);
    imageDC.SetBkColor(oldBack);
    maskDC.SelectObject(oldMask);
    if (!dest->MaskBlt(x, y, width, height, &imageDC, 0, 0, mask, 0, 0, 0xCCAA0020)) {
        SkinDrawTransparentByBlits(dest, x, y, width, height, imageDC, mask);
    }
    imageDC.SelectObject(oldImage);
}
