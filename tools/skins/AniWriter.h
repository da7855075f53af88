#pragma once
// Animated cursor files: RIFF "ACON" with the header, the display rate and order of the steps, and
// each frame as a complete cursor file (32-bit colour with alpha plus the transparency mask).
#include <cstdint>
#include <string>
#include <vector>

struct CursorImage {
    int width = 32;
    int height = 32;
    int hotX = 0;
    int hotY = 0;
    std::vector<uint32_t> argb; // 0xAARRGGBB, straight alpha, top row first

    CursorImage() : argb(static_cast<size_t>(width) * height, 0) {}
};

struct AnimatedCursor {
    std::string title;
    std::vector<CursorImage> frames;
    std::vector<uint32_t> sequence; // frame index per step
    std::vector<uint32_t> rates;    // each step's time in 1/60 s
};

// One frame as a cursor file (type 2, one image).
std::vector<uint8_t> CurBytes(const CursorImage& image);
// One image as an icon file (type 1).
std::vector<uint8_t> IcoBytes(const CursorImage& image);
std::vector<uint8_t> AniBytes(const AnimatedCursor& cursor);
