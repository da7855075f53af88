#pragma once
// The two ways skin pictures are drawn: a background in bands that stretches vertically without
// stretching its width, and a picture with a key colour left out.
#include <afxwin.h>

// The picture's top strip, its middle rows repeated down the client height, then its last row
// (two bands) or its bottom strip (more). Nothing without a picture or with too few rows for
// the bands.
void SkinDrawBackground(CDC* dc, const RECT& client, CBitmap* bitmap, unsigned bands);
// Copies (srcX, srcY, width, height) of `src` to (x, y) of `dest`, leaving out the pixels of the
// key colour.
void SkinDrawTransparent(CDC* dest, int x, int y, int width, int height, CDC* src, int srcX, int srcY, COLORREF key);
// The same with three plain blits (AND the mask, clear the key, OR the picture), for devices
// without MaskBlt.
void SkinDrawTransparentByBlits(CDC* dest, int x, int y, int width, int height, CDC& image, CBitmap& mask);
