// The KRP and KRC grid map files: a 20-byte header and one byte per cell.
#pragma once

#include "KRADefs.h"

#include <cstdint>
#include <vector>

struct KRA_GRID_MAP_DATA {
    DWORD dwCellSize = 0;
    DWORD dwWidth = 0;
    DWORD dwHeight = 0;
    float fOriginX = 0;
    float fOriginZ = 0;
    std::vector<BYTE> vCells; // cell (ix, iz) at ix + iz * width
};

// No real map comes near this many cells.
constexpr uint64_t KRA_GRID_MAP_MAX_CELLS = 64ull * 1024 * 1024;

// 0, or 0x80000003 for a map that cannot be walked: cell size 0, no cells, fewer cell bytes than
// width x height, or an origin that is not a finite number.
LONG KRAParseGridMap(const uint8_t* pData, size_t nSize, KRA_GRID_MAP_DATA& out);
