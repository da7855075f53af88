// Device contexts of windows (internal): a DC that draws into the window's top-level surface,
// with the window's client origin and clipped to its client area (and to a paint area).
#pragma once

#include <windows.h>

namespace yonda::user {

HDC OpenWindowDC(HWND hwnd, const RECT* clipClient, bool forPaint);
void CloseWindowDC(HDC dc);
HWND WindowOfDC(HDC dc);
// Bounding box of a region in its own coordinates; false for no region.
bool RegionBox(HRGN region, RECT* box);

} // namespace yonda::user

namespace yonda::user {

// Fills a client rectangle with a class background brush (a brush, or a system colour index + 1).
bool FillWindowBackground(HDC dc, const RECT& rect, HBRUSH brush);
// The default answer to WM_CTLCOLOR*: system colours set on the DC and the matching brush.
HBRUSH DefaultControlColor(UINT message, HDC dc);

} // namespace yonda::user
