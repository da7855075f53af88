// Any bytes as a KRP or KRC grid map.
#include "KRAGridMapFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KRA_GRID_MAP_DATA map;
    if (KRAParseGridMap(data, size, map) == 0 && map.vCells.size() != size_t(map.dwWidth) * map.dwHeight)
        __builtin_trap();
    return 0;
}
