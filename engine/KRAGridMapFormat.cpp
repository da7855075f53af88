#include "KRAGridMapFormat.h"

#include "KRAByteReader.h"
#include "KRADefs.h"

#include <cmath>

LONG KRAParseGridMap(const uint8_t* pData, size_t nSize, KRA_GRID_MAP_DATA& out)
{
    out = KRA_GRID_MAP_DATA();
    CKRAByteReader reader(pData, nSize);
    KRA_GRID_MAP_DATA map;
    map.dwCellSize = reader.U32();
    map.dwWidth = reader.U32();
    map.dwHeight = reader.U32();
    map.fOriginX = reader.F32();
    map.fOriginZ = reader.F32();
    uint64_t uCells = uint64_t(map.dwWidth) * map.dwHeight;
    if (!reader.Ok() || map.dwCellSize == 0 || uCells == 0 || uCells > KRA_GRID_MAP_MAX_CELLS ||
        !reader.Has(uCells, 1) || !std::isfinite(map.fOriginX) || !std::isfinite(map.fOriginZ))
        return KRA_E_INVALID_ARGUMENT;
    map.vCells.resize(size_t(uCells));
    reader.Bytes(map.vCells.data(), map.vCells.size());
    out = std::move(map);
    return KRA_OK;
}
