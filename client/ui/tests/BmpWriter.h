#pragma once
// Builds BMP files byte by byte for the tests, with every header field under the test's control.
#include <cstdint>
#include <functional>
#include <vector>

struct BmpSpec {
    int width = 1;
    int height = 1; // negative: top-down
    int bitCount = 24;
    uint32_t compression = 0;
    uint32_t headerSize = 40;
    uint32_t coloursUsed = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB, written as the colour table
    uint32_t masks[3] = {0, 0, 0}; // written after a 40-byte header for bit fields
    uint32_t gap = 0;              // bytes between the table and the pixels
    int64_t offBits = -1;          // -1: where the pixels really start
    // The stored value of pixel (x, y), y from the top: an index, or a packed colour.
    std::function<uint32_t(int, int)> pixel = [](int, int) { return 0u; };
};

inline void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s)
{
    const int rows = s.height < 0 ? -s.height : s.height;
    const size_t stride = ((static_cast<size_t>(s.width) * s.bitCount + 31) / 32) * 4;
    const bool fields = s.compression == 3 && s.headerSize == 40;
    const uint32_t tableBytes = static_cast<uint32_t>(s.palette.size() * 4 + (fields ? 12 : 0));
    const uint32_t bitsAt = 14 + s.headerSize + tableBytes + s.gap;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<uint32_t>(bitsAt + stride * rows));
    Put32(out, 0);
    Put32(out, s.offBits < 0 ? bitsAt : static_cast<uint32_t>(s.offBits));
    Put32(out, s.headerSize);
    Put32(out, static_cast<uint32_t>(s.width));
    Put32(out, static_cast<uint32_t>(s.height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(s.bitCount));
    Put32(out, s.compression);
    Put32(out, static_cast<uint32_t>(stride * rows));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, s.coloursUsed);
    Put32(out, 0);
    for (uint32_t i = 40; i < s.headerSize; ++i) {
        // A longer header carries its masks first.
        const uint32_t field = (i - 40) / 4;
        out.push_back(field < 3 ? static_cast<uint8_t>(s.masks[field] >> (8 * ((i - 40) % 4))) : 0);
    }
    if (fields) {
        for (uint32_t m : s.masks) {
            Put32(out, m);
        }
    }
    for (uint32_t c : s.palette) {
        Put32(out, c);
    }
    out.insert(out.end(), s.gap, 0xEE);
    for (int r = 0; r < rows; ++r) {
        const int y = s.height < 0 ? r : rows - 1 - r;
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < s.width; ++x) {
            const uint32_t v = s.pixel(x, y);
            switch (s.bitCount) {
            case 1: row[x / 8] |= static_cast<uint8_t>((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= static_cast<uint8_t>((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = static_cast<uint8_t>(v); break;
            case 16:
                row[x * 2] = static_cast<uint8_t>(v);
                row[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
                break;
            case 24:
                for (int b = 0; b < 3; ++b)
                    row[x * 3 + b] = static_cast<uint8_t>(v >> (8 * b));
                break;
            default:
                for (int b = 0; b < 4; ++b)
                    row[x * 4 + b] = static_cast<uint8_t>(v >> (8 * b));
                break;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}
