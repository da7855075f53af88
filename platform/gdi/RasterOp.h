// Ternary raster operations on rows of pixels. A ROP3's index (bits 16-23 of the code) is the
// truth table of the result for pattern 0xF0, source 0xCC and destination 0xAA; applied bitwise
// to whole pixels it gives GDI's results on colour and monochrome surfaces alike.
#pragma once

#include <cstdint>

namespace yonda::gdi {

inline uint8_t RopIndex(uint32_t rop3)
{
    return static_cast<uint8_t>((rop3 >> 16) & 0xFF);
}
inline bool RopUsesSource(uint8_t index)
{
    return ((index >> 2) ^ index) & 0x33;
}
inline bool RopUsesPattern(uint8_t index)
{
    return ((index >> 4) ^ index) & 0x0F;
}

// The result for one pixel of each operand.
inline uint32_t RopApply(uint8_t index, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t r = 0;
    for (int i = 0; i < 8; ++i) {
        if (index & (1u << i))
            r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    }
    return r;
}

// dst[i] = op(pattern, src[i], dst[i]) for a row; `src` may be null when the operation does not
// read it. `opaqueMask` is OR-ed into every result (0xFF000000 keeps colour surfaces opaque).
void RopRow(uint8_t index, uint32_t* dst, const uint32_t* src, uint32_t pattern, int count, uint32_t opaqueMask);

} // namespace yonda::gdi
