#pragma once
// KRP and KRC: the ground map (where avatars may not walk) and the camera map (where the eye may
// not go) over a scene's x-z plane.

#include "ByteWriter.h"

#include <cstdint>
#include <vector>

namespace world {

struct GridMap {
    std::uint32_t cellSize = 10;
    std::uint32_t width = 0, height = 0; // cells along x and z
    float originX = 0, originZ = 0;      // corner of cell (0, 0)
    std::vector<std::uint8_t> cells;     // index ix + iz * width; bit 0 blocked

    GridMap() = default;
    GridMap(std::uint32_t cellSize, float minX, float minZ, float maxX, float maxZ);

    bool Blocked(std::uint32_t ix, std::uint32_t iz) const { return cells[ix + iz * width] & 1; }
    // Blocks every cell that the rectangle overlaps (a touch on the edge does not count).
    void BlockArea(float x0, float z0, float x1, float z1);
    // Blocks every cell whose centre lies within `margin` of the rectangle [x0, x1] x [z0, z1] of
    // an object's own space, placed by turning `yawDegrees` about y and moving to (px, pz).
    void BlockFootprint(float x0, float z0, float x1, float z1, float yawDegrees, float px, float pz, float margin);
    void BlockBorder(std::uint32_t thickness);
    std::size_t BlockedCount() const;
};

constexpr std::size_t kGridHeaderSize = 20;

Bytes WriteGridMap(const GridMap& map);

} // namespace world
