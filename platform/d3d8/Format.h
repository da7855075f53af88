// Pixel formats of textures and surfaces: sizes, and conversion to and from 0xAARRGGBB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "d3d8types.h"

namespace yonda::d3d8 {

// The colour formats a texture or image surface may have here.
bool IsColorFormat(D3DFORMAT format);
bool IsCompressedFormat(D3DFORMAT format);
bool HasAlpha(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
// Bytes from one row (of pixels, or of 4x4 blocks) to the next.
UINT RowPitch(D3DFORMAT format, UINT width);
// Rows of pixels, or of blocks.
UINT RowCount(D3DFORMAT format, UINT height);
size_t LevelSize(D3DFORMAT format, UINT width, UINT height);

// Decodes width x height pixels into 0xAARRGGBB (formats without alpha come out opaque).
void ConvertToArgb(D3DFORMAT format, const BYTE* source, UINT pitch, UINT width, UINT height, uint32_t* target);
// Encodes 0xAARRGGBB pixels into an uncompressed colour format.
void ConvertFromArgb(D3DFORMAT format, const uint32_t* source, UINT width, UINT height, BYTE* target, UINT pitch);

} // namespace yonda::d3d8
