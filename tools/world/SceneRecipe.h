#pragma once
// A scene as a content author describes it: its floor, walls and the objects standing in it.
// Assembling it makes the scene's own ground and wall objects, the KRS records (with boxes in
// world space and a seat event for every place to sit), and the ground and camera maps.

#include "DataTree.h"
#include "GridMapWriter.h"
#include "KrsWriter.h"
#include "ObjectModel.h"
#include "WorldObjects.h"

#include <map>
#include <string>
#include <vector>

namespace world {

struct Placement {
    std::string object;
    Vec3 position;
    float yawDegrees = 0; // turn about y; at 0 the object's front (+z) faces +z
};

struct SceneRecipe {
    std::string file; // "RM_03.KRS"
    float halfX = 100, halfZ = 100;
    std::string floorTexture = "FloorWood.KRT";
    float floorTiling = 0.02f; // repeats per scene unit
    std::string wallTexture;   // empty: an open place without walls
    float wallHeight = 60;
    std::vector<Placement> placements;
    std::vector<Vec3> starts;         // where avatars may appear
    std::vector<ScenePath> paths;     // fly-over paths (the map scene)
    std::vector<Bounds> extraBlocked; // walk-blocked areas beyond the objects (water, a game board's rim)
};

using ObjectLibrary = std::map<std::string, ObjectModel>;
using SeatLibrary = std::map<std::string, ObjectRecipe>;

// The scene's own ground and wall object files, named after the scene.
std::string GroundObjectName(const SceneRecipe& scene);
std::string WallObjectName(const SceneRecipe& scene);

struct AssembledScene {
    SceneFile krs;
    GridMap groundMap;
    GridMap cameraMap;
    std::vector<ObjectModel> ownObjects; // ground and walls
};

constexpr std::uint32_t kGridCell = 10;
constexpr float kFootprintMargin = 1;      // cells this close to furniture are blocked too
constexpr float kSeatTriggerRadius = 1000; // seats answer wherever the member stands

AssembledScene AssembleScene(const SceneRecipe& scene, const std::map<std::string, ObjectRecipe>& recipes,
                             const ObjectLibrary& objects);

// Writes the scene, its maps and its own objects into the world folder.
void WriteScene(const SceneRecipe& scene, const AssembledScene& assembled, DataTree& tree);

Mat4 PlacementMatrix(const Placement& p);

} // namespace world
