// Pixel expectations for pictures read back from a device or a window: colours compared channel
// by channel within a tolerance, and a failing picture kept for a person to look at.
#pragma once

#include <windows.h>
#include <d3d8.h>
#include <yonda_d3d8.h>

#include <string>

namespace yonda::testing {

// Whether each of the four channels of two 0xAARRGGBB colours differs by at most `tolerance`.
bool ColourNear(DWORD actual, DWORD expected, int tolerance);

// 0x00RRGGBB of a COLORREF (which holds 0x00BBGGRR).
unsigned Rgb(COLORREF colour);

// A surface's pixels as 0xAARRGGBB rows (32-bit formats).
YondaPicture ReadSurface(IDirect3DSurface8* surface);

// Writes the picture as a PPM file into the working folder.
void KeepPicture(const YondaPicture& picture, const std::string& path);

// Expects the pixel at (x, y) within `tolerance` of `expected`, both taken as opaque. A failing
// picture is kept as "<keepPrefix>-<test name>.ppm" in the working folder.
void ExpectPixel(const YondaPicture& picture, long x, long y, DWORD expected, int tolerance,
                 const std::string& keepPrefix);

} // namespace yonda::testing
