// Any bytes as a KRS scene: the reader must refuse or accept without reading past the end, and what
// it accepts must hold exactly what its counts announce.
#include "KRASceneFormat.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KRA_SCENE_FILE_DATA scene;
    if (KRAParseSceneFile(data, size, scene) != 0) {
        if (!scene.vPaths.empty() || !scene.vObjects.empty())
            __builtin_trap();
        return 0;
    }
    for (const KRA_SCENE_OBJECT_RECORD& record : scene.vObjects) {
        size_t nName = strnlen(record.desc.szObjectFile, sizeof(record.desc.szObjectFile));
        if (nName == 0 || nName == sizeof(record.desc.szObjectFile) ||
            record.vTriggers.size() != record.head.dwTriggerCount || record.vBoxes.size() != record.head.dwBoxCount)
            __builtin_trap();
        std::vector<KRA_EVENT_TRIGGER> triggers;
        std::vector<KRA_EVENT_BOX> boxes;
        KRASceneEventRecords(record, triggers, boxes);
    }
    KRASceneStartPositions(scene);
    return 0;
}
