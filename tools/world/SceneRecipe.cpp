#include "SceneRecipe.h"

#include "KroWriter.h"
#include "Shapes.h"

#include <stdexcept>

namespace world {

namespace {

std::string Stem(const std::string& file)
{
    return file.substr(0, file.rfind('.'));
}

ObjectModel Ground(const SceneRecipe& s)
{
    ObjectModel m;
    m.name = GroundObjectName(s);
    ObjectMesh floor;
    floor.texture = s.floorTexture;
    floor.secondTexture = "Light.KRT";
    float x = s.halfX, z = s.halfZ;
    AddQuad(floor.triangles, {-x, 0, -z}, {x, 0, -z}, {x, 0, z}, {-x, 0, z}, {0, 1, 0}, {s.floorTiling});
    // The second set spreads the light map once over the whole floor.
    TriangleList withLight;
    const auto& vs = floor.triangles.Vertices();
    for (std::size_t i = 0; i + 2 < vs.size(); i += 3) {
        ObjectVertex a = vs[i], b = vs[i + 1], c = vs[i + 2];
        for (ObjectVertex* v : {&a, &b, &c})
            v->uv1 = {(v->position.x + x) / (2 * x), (z - v->position.z) / (2 * z)};
        withLight.AddFacing(a, b, c, {0, 1, 0});
    }
    floor.triangles = withLight;
    m.meshes.push_back(floor);
    return m;
}

ObjectModel Walls(const SceneRecipe& s)
{
    ObjectModel m;
    m.name = WallObjectName(s);
    ObjectMesh walls;
    walls.texture = s.wallTexture;
    AddBox(walls.triangles, {-s.halfX, 0, -s.halfZ}, {s.halfX, s.wallHeight, s.halfZ}, {0.015f},
           kBoxLeft | kBoxRight | kBoxFront | kBoxBack, true);
    m.meshes.push_back(walls);
    return m;
}

} // namespace

std::string GroundObjectName(const SceneRecipe& scene)
{
    return Stem(scene.file) + "_G.KRO";
}
std::string WallObjectName(const SceneRecipe& scene)
{
    return Stem(scene.file) + "_W.KRO";
}

Mat4 PlacementMatrix(const Placement& p)
{
    return RotationY(Radians(p.yawDegrees)) * Translation(p.position);
}

AssembledScene AssembleScene(const SceneRecipe& s, const std::map<std::string, ObjectRecipe>& recipes,
                             const ObjectLibrary& objects)
{
    AssembledScene out;
    out.krs.paths = s.paths;

    ObjectModel ground = Ground(s);
    SceneObjectRecord groundRecord;
    groundRecord.objectFile = ground.name;
    groundRecord.kind = SceneObjectKind::StartPositions;
    groundRecord.box = ground.ObjectBounds();
    for (const Vec3& start : s.starts)
        groundRecord.triggers.push_back({kProximitySphere, start, 1});
    out.krs.objects.push_back(groundRecord);
    out.ownObjects.push_back(ground);

    if (!s.wallTexture.empty()) {
        ObjectModel walls = Walls(s);
        SceneObjectRecord record;
        record.objectFile = walls.name;
        record.box = walls.ObjectBounds();
        out.krs.objects.push_back(record);
        out.ownObjects.push_back(walls);
    }

    // Cells a little outside the floor stay in the grid so its rim is blocked, not open.
    float margin = kGridCell;
    out.groundMap = GridMap(kGridCell, -s.halfX - margin, -s.halfZ - margin, s.halfX + margin, s.halfZ + margin);
    out.cameraMap = out.groundMap;
    out.groundMap.BlockBorder(2);
    out.cameraMap.BlockBorder(1);

    for (const Placement& p : s.placements) {
        auto model = objects.find(p.object);
        auto recipe = recipes.find(p.object);
        if (model == objects.end() || recipe == recipes.end())
            throw std::invalid_argument(s.file + " places an unknown object " + p.object);
        Mat4 placement = PlacementMatrix(p);
        SceneObjectRecord record;
        record.objectFile = p.object;
        record.matrix = placement;
        record.box = model->second.ObjectBounds().Transformed(placement);
        for (const SeatAnchor& seat : recipe->second.seats) {
            Mat4 seatMatrix = RotationY(Radians(seat.facingDegrees)) * Translation(seat.position) * placement;
            SceneBox box;
            box.action = kActionSeat;
            box.matrix = seatMatrix;
            Bounds local;
            local.Add(Vec3{-5, -3, -5});
            local.Add(Vec3{5, 8, 5});
            box.box = local.Transformed(seatMatrix);
            record.boxes.push_back(box);
        }
        if (!record.boxes.empty()) {
            record.eventFlag = true;
            record.triggers.push_back({kProximitySphere, TransformPoint({0, 0, 0}, placement), kSeatTriggerRadius});
        }
        if (recipe->second.blocksWalking) {
            Bounds local = model->second.ObjectBounds();
            out.groundMap.BlockFootprint(local.min.x, local.min.z, local.max.x, local.max.z, p.yawDegrees, p.position.x,
                                         p.position.z, kFootprintMargin);
        }
        out.krs.objects.push_back(record);
    }
    for (const Bounds& b : s.extraBlocked)
        out.groundMap.BlockArea(b.min.x, b.min.z, b.max.x, b.max.z);
    return out;
}

void WriteScene(const SceneRecipe& s, const AssembledScene& a, DataTree& tree)
{
    std::string stem = Stem(s.file);
    tree.Add(kWorldFolder + s.file, WriteKrs(a.krs));
    tree.Add(kWorldFolder + stem + ".KRP", WriteGridMap(a.groundMap));
    tree.Add(kWorldFolder + stem + ".KRC", WriteGridMap(a.cameraMap));
    for (const ObjectModel& own : a.ownObjects)
        tree.Add(kWorldFolder + own.name, WriteKro(own));
}

} // namespace world
