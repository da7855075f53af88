#include "GridMapWriter.h"

#include <algorithm>
#include <cmath>

namespace world {

GridMap::GridMap(std::uint32_t size, float minX, float minZ, float maxX, float maxZ)
    : cellSize(size), originX(minX), originZ(minZ)
{
    width = static_cast<std::uint32_t>(std::ceil((maxX - minX) / size));
    height = static_cast<std::uint32_t>(std::ceil((maxZ - minZ) / size));
    cells.assign(static_cast<std::size_t>(width) * height, 0);
}

void GridMap::BlockArea(float x0, float z0, float x1, float z1)
{
    auto column = [&](float v, float origin) { return std::floor((v - origin) / cellSize); };
    long ix0 = std::max(0L, static_cast<long>(column(x0, originX)));
    long iz0 = std::max(0L, static_cast<long>(column(z0, originZ)));
    long ix1 = std::min(static_cast<long>(width) - 1, static_cast<long>(std::ceil((x1 - originX) / cellSize)) - 1);
    long iz1 = std::min(static_cast<long>(height) - 1, static_cast<long>(std::ceil((z1 - originZ) / cellSize)) - 1);
    for (long iz = iz0; iz <= iz1; ++iz)
        for (long ix = ix0; ix <= ix1; ++ix)
            cells[static_cast<std::size_t>(ix + iz * width)] |= 1;
}

void GridMap::BlockFootprint(float x0, float z0, float x1, float z1, float yawDegrees, float px, float pz, float margin)
{
    // A turn about y by a takes (x, z) to (x cos a + z sin a, -x sin a + z cos a); undo it.
    float a = yawDegrees * 3.14159265f / 180.0f;
    float c = std::cos(a), s = std::sin(a);
    for (std::uint32_t iz = 0; iz < height; ++iz)
        for (std::uint32_t ix = 0; ix < width; ++ix) {
            float dx = originX + cellSize * (ix + 0.5f) - px;
            float dz = originZ + cellSize * (iz + 0.5f) - pz;
            float lx = dx * c - dz * s;
            float lz = dx * s + dz * c;
            if (lx >= x0 - margin && lx <= x1 + margin && lz >= z0 - margin && lz <= z1 + margin)
                cells[ix + iz * width] |= 1;
        }
}

void GridMap::BlockBorder(std::uint32_t t)
{
    for (std::uint32_t iz = 0; iz < height; ++iz)
        for (std::uint32_t ix = 0; ix < width; ++ix)
            if (ix < t || iz < t || ix + t >= width || iz + t >= height)
                cells[ix + iz * width] |= 1;
}

std::size_t GridMap::BlockedCount() const
{
    return static_cast<std::size_t>(std::count_if(cells.begin(), cells.end(), [](std::uint8_t c) { return c & 1; }));
}

Bytes WriteGridMap(const GridMap& map)
{
    ByteWriter w;
    w.U32(map.cellSize);
    w.U32(map.width);
    w.U32(map.height);
    w.F32(map.originX);
    w.F32(map.originZ);
    w.Raw(map.cells.data(), map.cells.size());
    return w.Take();
}

} // namespace world
