// The motion file as it stands on disk: an 88-byte header with the key count, track count and
// duration, then one track per bone matrix with a position and three rotation angles per key.
#pragma once

#include "KRADefs.h"

#include <cstdint>
#include <vector>

constexpr size_t KRA_MOTION_HEADER_SIZE = 88;
constexpr DWORD KRA_MOTION_TRACK_MAX = 25; // one per bone matrix

struct KRA_MOTION_TRACK_DATA {
    DWORD dwBone = 0;
    std::vector<float> vPositions; // 3 per key
    std::vector<float> vAngles;    // yaw, pitch, roll per key, radians
};

struct KRA_MOTION_FILE_DATA {
    uint8_t abHeader[KRA_MOTION_HEADER_SIZE] = {};
    DWORD dwKeyCount = 0;
    DWORD dwTrackCount = 0;
    DWORD dwDuration = 0; // milliseconds
    std::vector<KRA_MOTION_TRACK_DATA> vTracks;
};

// 0, or 0x80000003 for a file that ends early, has no keys, or more tracks than bone matrices.
LONG KRAParseMotionFile(const uint8_t* pData, size_t nSize, KRA_MOTION_FILE_DATA& out);
