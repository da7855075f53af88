#include "RasterOp.h"

#include <algorithm>
#include <cstring>

namespace yonda::gdi {

namespace {

typedef uint32_t Pixels4 __attribute__((vector_size(16)));

// dst = src | mask, four pixels at a time: the copy every window paint ends with.
void CopyWithMask(uint32_t* dst, const uint32_t* src, int count, uint32_t mask)
{
    const Pixels4 m = {mask, mask, mask, mask};
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        Pixels4 v;
        std::memcpy(&v, src + i, sizeof v);
        v |= m;
        std::memcpy(dst + i, &v, sizeof v);
    }
    for (; i < count; ++i)
        dst[i] = src[i] | mask;
}

} // namespace

void RopRow(uint8_t index, uint32_t* dst, const uint32_t* src, uint32_t pattern, int count, uint32_t opaqueMask)
{
    if (count <= 0)
        return;
    // The operations the drawing code uses every frame get their own loops.
    switch (index) {
    case 0xCC: // SRCCOPY
        if (opaqueMask == 0 || src == dst) {
            if (src != dst)
                std::memmove(dst, src, static_cast<size_t>(count) * 4);
            for (int i = 0; opaqueMask && i < count; ++i)
                dst[i] |= opaqueMask;
            return;
        }
        CopyWithMask(dst, src, count, opaqueMask);
        return;
    case 0x88: // SRCAND
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] & src[i]) | opaqueMask;
        return;
    case 0xEE: // SRCPAINT
        for (int i = 0; i < count; ++i)
            dst[i] = dst[i] | src[i] | opaqueMask;
        return;
    case 0x22: // DSna
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] & ~src[i]) | opaqueMask;
        return;
    case 0x66: // SRCINVERT
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] ^ src[i]) | opaqueMask;
        return;
    case 0x33: // NOTSRCCOPY
        for (int i = 0; i < count; ++i)
            dst[i] = ~src[i] | opaqueMask;
        return;
    case 0xF0: // PATCOPY
        std::fill_n(dst, count, pattern | opaqueMask);
        return;
    case 0x00: // BLACKNESS
        std::fill_n(dst, count, opaqueMask);
        return;
    case 0xFF: // WHITENESS
        std::fill_n(dst, count, 0xFFFFFFFFu);
        return;
    case 0xAA: // the destination as it is
        return;
    case 0x55: // DSTINVERT
        for (int i = 0; i < count; ++i)
            dst[i] = ~dst[i] | opaqueMask;
        return;
    case 0x5A: // PATINVERT
        for (int i = 0; i < count; ++i)
            dst[i] = (dst[i] ^ pattern) | opaqueMask;
        return;
    default: break;
    }
    static const uint32_t zero = 0;
    for (int i = 0; i < count; ++i)
        dst[i] = RopApply(index, pattern, src ? src[i] : zero, dst[i]) | opaqueMask;
}

} // namespace yonda::gdi
