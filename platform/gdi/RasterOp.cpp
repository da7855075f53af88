#include "RasterOp.h"

#include <algorithm>
#include <cstring>

namespace yonda::gdi {

void RopRow(uint8_t index, uint32_t* dst, const uint32_t* src, uint32_t pattern, int count, uint32_t opaqueMask)
{
    if (count <= 0)
        return;
    // The operations the drawing code uses every frame get their own loops.
    switch (index) {
    case 0xCC:  // SRCCOPY
        if (opaqueMask == 0 || src == dst) {
            if (src != dst)
                std::memmove(dst, src, static_cast<size_t>(count) * 4);
            for (int i = 0; opaqueMask && i < count; ++i)
                dst[i] |= opaqueMask;
            return;
        }
        for (int i = 0; i < count; ++i)
            dst[i] = src[i] | opaqueMask;
        return;
    case 0x88:  // SRCAND
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] & src[i]) | opaqueMask;
        return;
    case 0xEE:  // SRCPAINT
        for (int i = 0; i < count; ++i)
            dst[i] = dst[i] | src[i] | opaqueMask;
        return;
    case 0x22:  // DSna
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] & ~src[i]) | opaqueMask;
        return;
    case 0x66:  // SRCINVERT
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] ^ src[i]) | opaqueMask;
        return;
    case 0x33:  // NOTSRCCOPY
        for (int i = 0; i < count; ++i)
            dst[i] = ~src[i] | opaqueMask;
        return;
    case 0xF0:  // PATCOPY
        std::fill_n(dst, count, pattern | opaqueMask);
        return;
    case 0x00:  // BLACKNESS
        std::fill_n(dst, count, opaqueMask);
        return;
    case 0xFF:  // WHITENESS
        std::fill_n(dst, count, 0xFFFFFFFFu);
        return;
    case 0xAA:  // the destination as it is
        return;
    case 0x55:  // DSTINVERT
        for (int i = 0; i < count; ++i)
            dst[i] = ~dst[i] | opaqueMask;
        return;
    case 0x5A:  // PATINVERT
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] ^ pattern) | opaqueMask;
        return;
    default:
        break;
    }
    static const uint32_t zero = 0;
    for (int i = 0; i < count; ++i)
        dst[i] = RopApply(index, pattern, src ? src[i] : zero, dst[i]) | opaqueMask;
}

} // namespace yonda::gdi
