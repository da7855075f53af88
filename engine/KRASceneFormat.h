// The KRS scene file as it stands on disk, parsed and checked before anything is built from it:
// paths, then object records with their event records. A file that does not hold what its counts
// announce is refused whole.
#pragma once

#include "KRADefs.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t KRA_SCENE_HEADER_SIZE = 12;
constexpr size_t KRA_SCENE_PATH_HEAD_SIZE = 8;
constexpr size_t KRA_SCENE_PATH_POINT_SIZE = 48;
constexpr size_t KRA_SCENE_OBJECT_DESC_SIZE = 124;
constexpr size_t KRA_SCENE_OBJECT_NAME_SIZE = 32;
constexpr size_t KRA_EVENT_HEAD_SIZE = 12;
constexpr size_t KRA_EVENT_TRIGGER_SIZE = 28;
constexpr size_t KRA_EVENT_BOX_SIZE = 100;

// Descriptor kinds.
constexpr LONG KRA_SCENE_OBJECT_WORLD = 0;
constexpr LONG KRA_SCENE_OBJECT_GROUND = 1; // drawn first without culling; holds start positions
constexpr LONG KRA_SCENE_OBJECT_DESC_ONLY = 2;

// Event record types and the one trigger kind that fires.
constexpr LONG KRA_EVENT_RECORD_TRIGGER = 0;
constexpr LONG KRA_EVENT_RECORD_BOX = 1;
constexpr LONG KRA_TRIGGER_PROXIMITY = 49;

// One walking path: its points are twelve floats each, handed to the host unchanged.
struct KRA_SCENE_PATH {
    LONG lId = 0;
    std::vector<std::array<float, 12>> vPoints;
};

// The 124-byte descriptor of a scene object; the name always ends in a zero.
struct CKRASceneObjectDesc {
    char szObjectFile[KRA_SCENE_OBJECT_NAME_SIZE] = {};
    LONG lKind = 0;
    float afBoxMin[3] = {};
    float afBoxMax[3] = {};
    float afWorld[16] = {}; // row-major, translation in the fourth row
};

struct KRA_EVENT_HEAD {
    BYTE bEventFlag = 0;
    DWORD dwBoxCount = 0;
    DWORD dwTriggerCount = 0;
};

// A 28-byte record of a trigger slot.
struct KRA_EVENT_TRIGGER {
    LONG lType = 0;
    LONG lKind = 0;
    LONG lUnused = 0;
    float afCentre[3] = {};
    float fRadius = 0;
};

// A 100-byte record of a box slot; the box is in world space and the matrix only goes to the host.
struct KRA_EVENT_BOX {
    LONG lType = 0;
    LONG lAction = 0;
    LONG lValue = 0;
    float afMatrix[16] = {};
    float afMin[3] = {};
    float afMax[3] = {};
};

// One object record with its event records, each kept in the slot it was read from.
struct KRA_SCENE_OBJECT_RECORD {
    CKRASceneObjectDesc desc;
    KRA_EVENT_HEAD head;
    std::vector<KRA_EVENT_TRIGGER> vTriggers;
    std::vector<KRA_EVENT_BOX> vBoxes;
};

struct KRA_SCENE_FILE_DATA {
    DWORD dwHeaderWord = 0;
    std::vector<KRA_SCENE_PATH> vPaths;
    std::vector<KRA_SCENE_OBJECT_RECORD> vObjects;
};

// 0, or 0x80000003 for a file that ends inside a record, announces more paths, points, objects or
// event records than it holds, or names an object file without a terminating zero or with an
// empty name. On failure the output is left empty. Bytes after the last object record are ignored.
LONG KRAParseSceneFile(const uint8_t* pData, size_t nSize, KRA_SCENE_FILE_DATA& out);

// Reads and parses the scene file at a Windows path; 0x80000003 when it cannot be read or parsed.
LONG KRALoadSceneFile(const std::string& strWindowsPath, KRA_SCENE_FILE_DATA& out);

// The start positions a scene offers: the centres of every trigger record of its ground objects,
// in file order.
std::vector<std::array<float, 3>> KRASceneStartPositions(const KRA_SCENE_FILE_DATA& data);

// Whether a record builds an event object: not a ground object, and its event flag set.
bool KRASceneRecordHasEvents(const KRA_SCENE_OBJECT_RECORD& record);

// The event records an event object keeps: triggers from trigger slots that say they are
// triggers, boxes from box slots that say they are boxes. A record whose type does not match its
// slot is skipped, so a short trigger slot is never taken for a box.
void KRASceneEventRecords(const KRA_SCENE_OBJECT_RECORD& record, std::vector<KRA_EVENT_TRIGGER>& vTriggers,
                          std::vector<KRA_EVENT_BOX>& vBoxes);

// The path of a map file beside the scene: the text after the last '.' replaced by the extension
// ("KRP" for the ground map, "KRC" for the camera map); a name without '.' gets '.' and it.
std::string KRASceneMapPath(const std::string& strScenePath, const char* szExtension);
