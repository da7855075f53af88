// Filling and plotting through a DC's translation and clip, shared by the fill, line and text code.
#pragma once

#include "DeviceContext.h"

namespace yonda::gdi {

// A logical rectangle (normalised) in surface coordinates.
RECT SurfaceRect(const DeviceContext& dc, const RECT& logical);
// Applies a pattern-and-destination raster operation to a surface rectangle, clipped.
void PaintSurfaceRect(const DeviceContext& dc, const RECT& surfaceRect, uint8_t ropIndex, uint32_t pattern);
// Fills a logical rectangle with a colour, clipped.
void FillLogicalRect(const DeviceContext& dc, const RECT& logical, COLORREF color);

} // namespace yonda::gdi
