#pragma once
// KRS: a scene's walking paths and its object records with their events.

#include "ByteWriter.h"
#include "Math3D.h"
#include "TriangleList.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace world {

enum class SceneObjectKind : std::int32_t {
    World = 0,          // culled, drawn in the opaque or alpha pass, pickable
    StartPositions = 1, // the ground: drawn without culling; its triggers are start positions
    DescriptorOnly = 2,
};

constexpr std::int32_t kProximitySphere = 49;
constexpr std::int32_t kActionSeat = 0;

struct SceneTrigger {
    std::int32_t kind = kProximitySphere;
    Vec3 centre;
    float radius = 1;
};

struct SceneBox {
    std::int32_t action = kActionSeat;
    std::int32_t value = 0;
    Mat4 matrix = Mat4::Identity(); // for a seat: where it is and which way its front (+z) faces
    Bounds box;                     // world space
};

struct SceneObjectRecord {
    std::string objectFile; // a KRO in the world folder
    SceneObjectKind kind = SceneObjectKind::World;
    Bounds box; // world space
    Mat4 matrix = Mat4::Identity();
    bool eventFlag = false;
    std::vector<SceneTrigger> triggers;
    std::vector<SceneBox> boxes;
};

// One control polygon of four points (a cubic piece); a path's pieces join into one curve.
using PathPoint = std::array<Vec3, 4>;

struct ScenePath {
    std::int32_t id = 0;
    std::vector<PathPoint> points;
};

struct SceneFile {
    std::vector<ScenePath> paths;
    std::vector<SceneObjectRecord> objects;
};

constexpr std::size_t kKrsHeaderSize = 12;
constexpr std::size_t kKrsPathPointSize = 48;
constexpr std::size_t kKrsDescriptorSize = 124;
constexpr std::size_t kKrsEventHeadSize = 12;
constexpr std::size_t kKrsTriggerSize = 28;
constexpr std::size_t kKrsBoxSize = 100;
constexpr std::size_t kKrsObjectNameSize = 32;

Bytes WriteKrs(const SceneFile& scene);

} // namespace world
