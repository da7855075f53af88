// Any bytes as a motion file: the parser must refuse or accept without reading past the end, and
// what it accepts has a key and no more tracks than bone matrices.
#include "KRAMotionFormat.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KRA_MOTION_FILE_DATA motion;
    if (KRAParseMotionFile(data, size, motion) == KRA_OK) {
        if (motion.dwKeyCount == 0 || motion.vTracks.size() > KRA_MOTION_TRACK_MAX)
            std::abort();
        for (const KRA_MOTION_TRACK_DATA& track : motion.vTracks)
            if (track.vPositions.size() != motion.dwKeyCount * 3u || track.vAngles.size() != motion.dwKeyCount * 3u)
                std::abort();
    }
    return 0;
}
