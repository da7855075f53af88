// Small image files written byte by byte, for the loaders' tests and the fuzzer's seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace yonda::d3d8::testing {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void Put32(Bytes& out, uint32_t v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// 24- or 32-bit BMP of 0xAARRGGBB pixels (top row first in `pixels`), stored bottom-up.
inline Bytes MakeBmp(uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels, int bits = 24)
{
    uint32_t stride = ((width * uint32_t(bits) + 31) / 32) * 4;
    Bytes out{'B', 'M'};
    Put32(out, 54 + stride * height);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, uint32_t(bits));
    Put32(out, 0);
    Put32(out, stride * height);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (uint32_t row = 0; row < height; ++row) {
        uint32_t y = height - 1 - row;
        size_t start = out.size();
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t p = pixels[size_t(y) * width + x];
            out.push_back(uint8_t(p));
            out.push_back(uint8_t(p >> 8));
            out.push_back(uint8_t(p >> 16));
            if (bits == 32)
                out.push_back(uint8_t(p >> 24));
        }
        while (out.size() - start < stride)
            out.push_back(0);
    }
    return out;
}

// 8-bit palette BMP: index i of `indices` picks palette[i].
inline Bytes MakePaletteBmp(uint32_t width, uint32_t height, const std::vector<uint32_t>& palette,
                            const std::vector<uint8_t>& indices)
{
    uint32_t stride = (width + 3) & ~3u;
    uint32_t offset = 54 + 4 * uint32_t(palette.size());
    Bytes out{'B', 'M'};
    Put32(out, offset + stride * height);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, uint32_t(-int32_t(height))); // top-down
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 0);
    Put32(out, stride * height);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, uint32_t(palette.size()));
    Put32(out, 0);
    for (uint32_t c : palette)
        Put32(out, c & 0xffffff);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < stride; ++x)
            out.push_back(x < width ? indices[size_t(y) * width + x] : 0);
    }
    return out;
}

// TGA: 24-bit plain from the bottom, or 32-bit run-length encoded from the top (one run per row).
inline Bytes MakeTga(uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels, bool rle32)
{
    Bytes out{0, 0, uint8_t(rle32 ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(out, width);
    Put16(out, height);
    out.push_back(rle32 ? 32 : 24);
    out.push_back(rle32 ? 0x28 : 0x00);
    for (uint32_t row = 0; row < height; ++row) {
        uint32_t y = rle32 ? row : height - 1 - row;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t p = pixels[size_t(y) * width + x];
            if (rle32) {
                // Runs of equal pixels along the row, raw packets otherwise (one pixel each).
                uint32_t run = 1;
                while (x + run < width && run < 128 && pixels[size_t(y) * width + x + run] == p)
                    ++run;
                out.push_back(uint8_t(run > 1 ? 0x80 | (run - 1) : 0));
                x += run - 1;
            }
            out.push_back(uint8_t(p));
            out.push_back(uint8_t(p >> 8));
            out.push_back(uint8_t(p >> 16));
            if (rle32)
                out.push_back(uint8_t(p >> 24));
        }
    }
    return out;
}

// DDS with the given four-character code (or 0 for 32-bit A8R8G8B8) and level bytes.
inline Bytes MakeDds(uint32_t width, uint32_t height, uint32_t fourCC, const std::vector<Bytes>& levels)
{
    Bytes out{'D', 'D', 'S', ' '};
    Put32(out, 124);
    Put32(out, 0x1007 | (levels.size() > 1 ? 0x20000 : 0));
    Put32(out, height);
    Put32(out, width);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, uint32_t(levels.size()));
    for (int i = 0; i < 11; ++i)
        Put32(out, 0);
    Put32(out, 32);
    Put32(out, fourCC ? 0x4 : 0x41);
    Put32(out, fourCC);
    Put32(out, fourCC ? 0 : 32);
    Put32(out, fourCC ? 0 : 0xff0000);
    Put32(out, fourCC ? 0 : 0xff00);
    Put32(out, fourCC ? 0 : 0xff);
    Put32(out, fourCC ? 0 : 0xff000000u);
    Put32(out, 0x1000);
    for (int i = 0; i < 4; ++i)
        Put32(out, 0);
    for (const Bytes& level : levels)
        out.insert(out.end(), level.begin(), level.end());
    return out;
}

} // namespace yonda::d3d8::testing
