// Cursors and icons (internal): pictures decoded from .cur/.ico and animated .ani files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace yonda::user {

struct CursorFrame {
    int width = 0;
    int height = 0;
    POINT hotspot{};
    std::vector<uint32_t> pixels; // 0xAARRGGBB, top row first
};

struct CursorImage {
    std::vector<CursorFrame> frames;
    std::vector<int> sequence; // frame index per step
    std::vector<DWORD> rates;  // duration of each step, 1/60 s
    int systemId = 0;          // IDC_* number for the system cursors, else 0
};

// Parses a .cur/.ico (first image) or an .ani; empty frames on any fault.
CursorImage DecodeCursorFile(const uint8_t* data, size_t size);
std::shared_ptr<const CursorImage> CursorOf(HCURSOR cursor);

} // namespace yonda::user
