// The world folder read back field by field: textures, objects, scenes and their maps.
#include "FileReaders.h"
#include "GeneratedTree.h"
#include "KrsWriter.h"

#include <gtest/gtest.h>

#include <set>

namespace world::check {
namespace {

std::vector<std::string> WorldFiles(const std::string& extension)
{
    std::vector<std::string> names;
    for (const auto& [path, bytes] : WorldTree().Files())
        if (path.rfind(kWorldFolder, 0) == 0 && EndsWith(path, extension))
            names.push_back(path.substr(kWorldFolder.size()));
    return names;
}

const Bytes& World(const std::string& name)
{
    return WorldTree().Get(kWorldFolder + name);
}

std::string ImageKind(const Bytes& image)
{
    if (image.size() >= 8 && image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' && image[3] == 'G')
        return "PNG";
    if (image.size() >= 3 && image[0] == 0xFF && image[1] == 0xD8 && image[2] == 0xFF)
        return "JPEG";
    if (image.size() >= 54 && image[0] == 'B' && image[1] == 'M')
        return "BMP";
    if (image.size() >= 18 && image[1] == 0 && image[2] == 2 && image[16] == 32)
        return "TGA";
    return "?";
}

TEST(WorldTextures, EveryKrtWrapsOneWholeImageOfAKnownKind)
{
    std::set<std::string> kinds;
    for (const char* extension : {".KRT", ".krt"})
        for (const std::string& name : WorldFiles(extension)) {
            const Bytes& file = World(name);
            ASSERT_GE(file.size(), 8u) << name;
            EXPECT_EQ(file[0] | file[1] | file[2] | file[3], 0) << name << ": tag written as 0";
            Bytes image = ReadKrt(file); // the length must cover exactly the rest of the file
            std::string kind = ImageKind(image);
            EXPECT_NE(kind, "?") << name;
            kinds.insert(kind);
        }
    // Every loader path of the texture library is used by some texture.
    EXPECT_EQ(kinds, (std::set<std::string>{"PNG", "JPEG", "BMP"}));
    ASSERT_FALSE(WorldFiles(".tga").empty());
    for (const std::string& name : WorldFiles(".tga"))
        EXPECT_EQ(ImageKind(World(name)), "TGA") << name;
}

TEST(WorldTextures, BalloonsAndTileFacesKeepTheirAlpha)
{
    // An RGBA PNG has colour type 6 in its header (byte 25).
    for (const char* name : {"1.krt", "MyBalloon.krt", "MyBalloon3.KRT", "OtherBalloon2-1.KRT", "Glass.KRT"}) {
        Bytes image = ReadKrt(World(name));
        ASSERT_EQ(ImageKind(image), "PNG") << name;
        EXPECT_EQ(image[25], 6) << name;
    }
}

TEST(WorldObjects, EveryKroParsesWithConsistentMeshes)
{
    auto names = WorldFiles(".KRO");
    ASSERT_GT(names.size(), 30u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        KroFile kro = ReadKro(World(name));
        ASSERT_FALSE(kro.meshes.empty());
        for (const KroMesh& mesh : kro.meshes) {
            EXPECT_EQ(mesh.vertices.size() % 3, 0u);
            EXPECT_FALSE(mesh.vertices.empty());
            EXPECT_EQ(mesh.hasFirst != 0, !mesh.first.empty());
            EXPECT_EQ(mesh.hasSecond != 0, !mesh.second.empty());
            if (mesh.hasFirst) {
                if (mesh.textureFlags & 0x10) {
                    ASSERT_TRUE(WorldTree().Has(kWorldFolder + mesh.first)) << mesh.first;
                } else {
                    EXPECT_TRUE(WorldTree().Has(kWorldFolder + mesh.first)) << mesh.first;
                }
            }
            if (mesh.hasSecond) {
                EXPECT_TRUE(WorldTree().Has(kWorldFolder + mesh.second)) << mesh.second;
            }
            bool animated = mesh.kindFlags & 2;
            EXPECT_EQ(animated, (mesh.textureFlags & 0x0D) != 0) << "keys only on animated meshes";
            if (animated) {
                EXPECT_GT(mesh.keyCount, 1u);
                EXPECT_GT(mesh.end, mesh.start);
            }
            // Front faces: the stored normal agrees with the winding the camera keeps.
            for (std::size_t i = 0; i < mesh.vertices.size(); i += 3) {
                const Vec3 &a = mesh.vertices[i].position, &b = mesh.vertices[i + 1].position,
                           &c = mesh.vertices[i + 2].position;
                Vec3 winding = Cross(c - a, b - a);
                if (Length(winding) < 1e-6f)
                    continue;
                EXPECT_GT(Dot(Normalize(winding), mesh.vertices[i].normal), 0.5f) << "triangle " << i / 3;
            }
        }
    }
}

TEST(WorldObjects, EachKindOfMeshDrawingIsPresent)
{
    // Alpha, colour-keyed, key-animated and texture-list meshes, and a second texture.
    std::set<std::uint16_t> flags;
    bool secondTexture = false;
    for (const std::string& name : WorldFiles(".KRO"))
        for (const KroMesh& mesh : ReadKro(World(name)).meshes) {
            flags.insert(mesh.textureFlags & 0xD0);
            if (mesh.kindFlags & 2)
                flags.insert(2);
            secondTexture |= mesh.hasSecond != 0;
        }
    for (std::uint16_t f : {0x10, 0x40, 0x80, 2})
        EXPECT_TRUE(flags.count(f)) << "flag " << f;
    EXPECT_TRUE(secondTexture);
}

TEST(WorldObjects, TextureListsNameFilesThatExist)
{
    const Bytes& list = World("Sign.txt");
    std::string text(list.begin(), list.end());
    EXPECT_EQ(text, "Sign1.tga\nSign2.tga\nSign3.tga\n");
}

TEST(WorldObjects, FanBladesTurnAFullCircle)
{
    KroFile fan = ReadKro(World("FAN.KRO"));
    const KroMesh& blades = fan.meshes.at(1);
    ASSERT_EQ(blades.kindFlags, 2);
    ASSERT_EQ(blades.textureFlags & 0x0D, 0x04);
    ASSERT_EQ(blades.rotations.size(), blades.keyCount);
    // First and last keys are the same orientation (a turn of 0 and of 360 degrees).
    const auto& first = blades.rotations.front();
    const auto& last = blades.rotations.back();
    float dot = first[0] * last[0] + first[1] * last[1] + first[2] * last[2] + first[3] * last[3];
    EXPECT_NEAR(std::fabs(dot), 1.0f, 1e-5f);
}

TEST(Scenes, EveryRecordNamesAnObjectAndBoxesHoldTheObjects)
{
    for (const std::string& name : WorldFiles(".KRS")) {
        SCOPED_TRACE(name);
        KrsFile krs = ReadKrs(World(name));
        EXPECT_EQ(krs.header, 0u);
        ASSERT_FALSE(krs.objects.empty());
        EXPECT_EQ(krs.objects.front().kind, 1) << "the ground comes first";
        EXPECT_FALSE(krs.objects.front().triggers.empty()) << "start positions";
        for (const KrsObject& o : krs.objects) {
            ASSERT_TRUE(WorldTree().Has(kWorldFolder + o.file)) << o.file;
            EXPECT_TRUE(o.kind == 0 || o.kind == 1);
            // The world box holds every vertex of the object placed by its matrix.
            Mat4 placement = MatrixOf(o.matrix);
            for (const KroMesh& mesh : ReadKro(World(o.file)).meshes) {
                Mat4 meshMatrix = MatrixOf(mesh.matrix);
                for (const KroVertex& v : mesh.vertices) {
                    Vec3 p = TransformPoint(TransformPoint(v.position, meshMatrix), placement);
                    if (mesh.kindFlags & 2)
                        continue; // turning meshes are covered by their swept circle
                    EXPECT_GE(p.x, o.min.x - 0.01f);
                    EXPECT_LE(p.x, o.max.x + 0.01f);
                    EXPECT_GE(p.y, o.min.y - 0.01f);
                    EXPECT_LE(p.y, o.max.y + 0.01f);
                    EXPECT_GE(p.z, o.min.z - 0.01f);
                    EXPECT_LE(p.z, o.max.z + 0.01f);
                }
            }
            for (const KrsTrigger& t : o.triggers) {
                EXPECT_EQ(t.type, 0);
                EXPECT_EQ(t.kind, 49);
                EXPECT_GT(t.radius, 0);
            }
            for (const KrsBox& b : o.boxes) {
                EXPECT_EQ(b.type, 1);
                EXPECT_EQ(b.action, 0);
                EXPECT_LT(b.min.x, b.max.x);
                EXPECT_LT(b.min.y, b.max.y);
                EXPECT_LT(b.min.z, b.max.z);
            }
        }
    }
}

TEST(Scenes, SeatsCanBeReachedAndSatOn)
{
    for (const std::string& name : WorldFiles(".KRS")) {
        if (name == "M2.KRS")
            continue; // nobody walks on the map
        SCOPED_TRACE(name);
        KrsFile krs = ReadKrs(World(name));
        std::string stem = name.substr(0, name.rfind('.'));
        GridFile ground = ReadGrid(World(stem + ".KRP"));
        int seats = 0;
        for (const KrsObject& o : krs.objects) {
            if (o.boxes.empty())
                continue;
            EXPECT_EQ(o.eventFlag, 1);
            ASSERT_FALSE(o.triggers.empty()) << "a seat is active only near one of its spheres";
            for (const KrsBox& b : o.boxes) {
                ++seats;
                Mat4 seat = MatrixOf(b.matrix);
                Vec3 position = seat.Translation();
                EXPECT_GE(position.x, b.min.x);
                EXPECT_LE(position.x, b.max.x);
                EXPECT_GE(position.z, b.min.z);
                EXPECT_LE(position.z, b.max.z);
                // The member walks to 15 units before the seat; that spot must be walkable.
                Vec3 approach = TransformPoint({0, 0, 15}, seat);
                EXPECT_FALSE(ground.Blocked(approach.x, approach.z))
                    << o.file << " seat at " << position.x << "," << position.z;
                EXPECT_LT(Length(o.triggers.front().centre - position), o.triggers.front().radius);
            }
        }
        EXPECT_GE(seats, 2);
    }
}

TEST(Scenes, MapsMatchTheFurnitureAndLeaveStartsFree)
{
    for (const std::string& name : WorldFiles(".KRS")) {
        SCOPED_TRACE(name);
        std::string stem = name.substr(0, name.rfind('.'));
        GridFile ground = ReadGrid(World(stem + ".KRP"));
        GridFile camera = ReadGrid(World(stem + ".KRC"));
        EXPECT_EQ(ground.cellSize, 10u);
        EXPECT_EQ(camera.width, ground.width);
        KrsFile krs = ReadKrs(World(name));
        for (const KrsTrigger& start : krs.objects.front().triggers)
            EXPECT_FALSE(ground.Blocked(start.centre.x, start.centre.z));
        // The floor's rim is blocked all round.
        const KrsObject& floor = krs.objects.front();
        EXPECT_TRUE(ground.Blocked(floor.min.x + 1, 0));
        EXPECT_TRUE(ground.Blocked(floor.max.x - 1, 0));
        EXPECT_TRUE(ground.Blocked(0, floor.min.z + 1));
        EXPECT_TRUE(ground.Blocked(0, floor.max.z - 1));
        // Solid furniture blocks the cell under its middle.
        for (const KrsObject& o : krs.objects)
            if (o.file == "TABLE.KRO" || o.file == "COUNTER.KRO" || o.file == "FOUNTAIN.KRO") {
                EXPECT_TRUE(ground.Blocked((o.min.x + o.max.x) / 2, (o.min.z + o.max.z) / 2)) << o.file;
            }
    }
}

TEST(Scenes, EveryRoomShowsEachKindOfObject)
{
    for (const std::string& name : WorldFiles(".KRS")) {
        SCOPED_TRACE(name);
        std::set<std::uint16_t> flags;
        for (const KrsObject& o : ReadKrs(World(name)).objects)
            for (const KroMesh& mesh : ReadKro(World(o.file)).meshes) {
                flags.insert(mesh.textureFlags & 0xD0);
                if (mesh.kindFlags & 2)
                    flags.insert(2);
            }
        for (std::uint16_t f : {0x10, 0x40, 0x80, 2})
            EXPECT_TRUE(flags.count(f)) << "flag " << f;
    }
}

TEST(Scenes, TheMapHasOneFlyOverPathPerLobby)
{
    KrsFile map = ReadKrs(World("M2.KRS"));
    ASSERT_EQ(map.paths.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(map.paths[i].id, i);
        ASSERT_FALSE(map.paths[i].points.empty());
        // Every path begins at the map camera.
        const auto& first = map.paths[i].points.front();
        EXPECT_FLOAT_EQ(first[0], 150);
        EXPECT_FLOAT_EQ(first[1], 180);
        EXPECT_FLOAT_EQ(first[2], 0);
    }
}

} // namespace
} // namespace world::check
