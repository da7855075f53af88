#include "WorldScenes.h"

#include <cmath>

namespace world {

namespace {

// Furniture that stands against the far (+z) wall keeps its yaw 0: its open side faces -z, into
// the room, where the camera looks from.
constexpr int kLobbyCount = 5;

void Add(std::vector<Placement>& list, const std::string& object, float x, float z, float yaw = 0, float y = 0)
{
    list.push_back({object, {x, y, z}, yaw});
}

// Chairs on the four sides of a table at (x, z), facing it.
void DiningSet(std::vector<Placement>& list, float x, float z)
{
    // A seated person is placed 15 units behind the spot where they stood, so chairs stand far
    // enough out that this spot stays clear of the table.
    Add(list, "TABLE.KRO", x, z);
    Add(list, "CHAIR.KRO", x, z - 30, 0);
    Add(list, "CHAIR.KRO", x, z + 30, 180);
    Add(list, "CHAIR.KRO", x - 34, z, 90);
    Add(list, "CHAIR.KRO", x + 34, z, -90);
}

void Lounge(std::vector<Placement>& list, float x, float z, float yaw)
{
    // The sofa looks toward the rug and its round table.
    float s = std::sin(Radians(yaw)), c = std::cos(Radians(yaw));
    Add(list, "SOFA.KRO", x, z, yaw);
    Add(list, "RUG.KRO", x + s * 36, z + c * 36, yaw);
    Add(list, "ROUNDTABLE.KRO", x + s * 36, z + c * 36);
}

// What every scene shows besides its furniture: a pane of glass, a plant, a turning fan and a
// changing sign, so every kind of world object is drawn everywhere.
void Decor(SceneRecipe& s)
{
    float x = s.halfX, z = s.halfZ;
    bool indoor = !s.wallTexture.empty();
    if (indoor) {
        Add(s.placements, "WINDOW.KRO", -x * 0.4f, z - 0.5f, 0, 20);
        Add(s.placements, "WINDOW.KRO", x * 0.4f, z - 0.5f, 0, 20);
    } else {
        Add(s.placements, "FOUNTAIN.KRO", x * 0.6f, -z * 0.55f);
    }
    Add(s.placements, "PLANT.KRO", -x + 12, z - 12);
    Add(s.placements, "PLANT.KRO", x - 12, -z + 12);
    Add(s.placements, "FAN.KRO", x - 14, z - 14, 200);
    Add(s.placements, "SIGN.KRO", -x + 18, -z + 14, 0);
    Add(s.placements, "LAMP.KRO", -x + 10, 0);
}

SceneRecipe Room(const std::string& file, float hx, float hz, const std::string& floor, const std::string& wall)
{
    SceneRecipe s;
    s.file = file;
    s.halfX = hx;
    s.halfZ = hz;
    s.floorTexture = floor;
    s.wallTexture = wall;
    s.starts = {{0, 0, -hz * 0.5f}, {-25, 0, -hz * 0.5f}, {25, 0, -hz * 0.5f}, {0, 0, -hz * 0.5f + 25}};
    return s;
}

SceneRecipe MapScene()
{
    SceneRecipe s;
    s.file = "M2.KRS";
    s.halfX = 240;
    s.halfZ = 240;
    s.floorTexture = "Grass.KRT";
    s.floorTiling = 0.01f;
    s.starts = {{0, 0, -40}};
    Add(s.placements, "FOUNTAIN.KRO", 0, 0);
    for (int i = 0; i < kLobbyCount; ++i) {
        Vec3 house = LobbyHousePosition(i);
        float yaw = std::atan2(house.x, house.z) * 180 / kPi; // its front (-z) toward the fountain
        Add(s.placements, i % 2 ? "HOUSE2.KRO" : "HOUSE1.KRO", house.x, house.z, yaw);
        Vec3 tree = house * 1.5f;
        Add(s.placements, "TREE.KRO", tree.x, tree.z + (i < 2 ? 40.0f : -40.0f), 0);
        Add(s.placements, "BENCH.KRO", house.x * 0.45f, house.z * 0.45f, yaw + 180);

        // The fly-over starts at the map camera and sweeps down to the door.
        Vec3 door = LobbyDoorApproach(i);
        Vec3 outward = Normalize(Vec3{house.x, 0, house.z});
        ScenePath path;
        path.id = i;
        path.points.push_back({Vec3{150, 180, 0}, Vec3{110, 170, house.z * 0.3f}, door - outward * 70 + Vec3{0, 60, 0},
                               door - outward * 8 + Vec3{0, 4, 0}});
        path.points.push_back({door - outward * 6 + Vec3{0, 3, 0}, door - outward * 4 + Vec3{0, 2, 0},
                               door - outward * 2 + Vec3{0, 1, 0}, door});
        s.paths.push_back(path);
    }
    // An avenue of trees toward the camera's side of the square.
    for (float x : {70.0f, 120.0f, 170.0f})
        for (float z : {-45.0f, 45.0f})
            Add(s.placements, "TREE.KRO", x, z);
    Add(s.placements, "SIGN.KRO", 0, -40, 0);
    Add(s.placements, "PLANT.KRO", 20, -30);
    Add(s.placements, "FAN.KRO", -20, -30, 180);
    Add(s.placements, "LAMP.KRO", 30, 30);
    return s;
}

SceneRecipe GameRoom(const std::string& file, int boardSize)
{
    // The board lies in the middle; its cells are 30 units, laid by the game itself.
    float half = boardSize * 15.0f;
    SceneRecipe s = Room(file, half + 60, half + 60, "FloorTile.KRT", "WallPlaster.KRT");
    s.starts = {{-half + 15, 0, -half + 15}};
    for (int i = 0; i < 4; ++i) {
        float x = -half + 20 + i * 2 * half / 3;
        Add(s.placements, "BENCH.KRO", x, -half - 40, 0);
        Add(s.placements, "BENCH.KRO", x, half + 40, 180);
    }
    Decor(s);
    return s;
}

} // namespace

Vec3 LobbyHousePosition(int lobby)
{
    // An arc on the far side of the square as the map camera sees it from +x.
    float angle = Radians(100.0f + lobby * 40.0f);
    return {std::cos(angle) * 115, 0, std::sin(angle) * 115};
}

Vec3 LobbyDoorApproach(int lobby)
{
    Vec3 house = LobbyHousePosition(lobby);
    Vec3 inward = Normalize(-house);
    return house + inward * 60 + Vec3{0, 18, 0};
}

std::vector<SceneRecipe> WorldSceneRecipes()
{
    std::vector<SceneRecipe> scenes;
    scenes.push_back(MapScene());

    // Lobby 0: the town square, open air.
    SceneRecipe square = Room("LB_MA.KRS", 160, 140, "Paving.KRT", "");
    square.floorTiling = 0.03f;
    for (int i = 0; i < 4; ++i) {
        float a = Radians(45.0f + 90 * i);
        Add(square.placements, "BENCH.KRO", std::cos(a) * 70, std::sin(a) * 70,
            std::atan2(-std::cos(a), -std::sin(a)) * 180 / kPi);
        Add(square.placements, "TREE.KRO", std::cos(a) * 115, std::sin(a) * 105);
    }
    Decor(square);
    scenes.push_back(square);

    // Lobby 1: the garden, a lawn with a lounge.
    SceneRecipe garden = Room("LB_GL.KRS", 150, 130, "Grass.KRT", "");
    Lounge(garden.placements, -40, 40, 180);
    DiningSet(garden.placements, 60, 10);
    Add(garden.placements, "TREE.KRO", -110, -80);
    Add(garden.placements, "TREE.KRO", 100, -90);
    Decor(garden);
    scenes.push_back(garden);

    // Lobby 2: the department store hall.
    SceneRecipe store = Room("LB_DP.KRS", 150, 120, "FloorTile.KRT", "WallPaper.KRT");
    Add(store.placements, "COUNTER.KRO", 0, 70, 180);
    Add(store.placements, "BOOKSHELF.KRO", -80, 112, 0);
    Add(store.placements, "BOOKSHELF.KRO", 80, 112, 0);
    Add(store.placements, "BENCH.KRO", -70, -20, 90);
    Add(store.placements, "BENCH.KRO", 70, -20, -90);
    Decor(store);
    scenes.push_back(store);

    // Lobby 3: the café.
    SceneRecipe cafe = Room("LB_SB.KRS", 140, 120, "FloorWood.KRT", "WallBrick.KRT");
    DiningSet(cafe.placements, -60, 30);
    DiningSet(cafe.placements, 60, 30);
    Add(cafe.placements, "COUNTER.KRO", 0, 95, 180);
    Decor(cafe);
    scenes.push_back(cafe);

    // Lobby 4: the game hall (the client shows nobody here).
    SceneRecipe hall = Room("box.KRS", 120, 120, "Carpet.KRT", "WallPlaster.KRT");
    hall.floorTiling = 0.015f;
    for (int d = 1; d <= 9; ++d)
        if (d != 5)
            Add(hall.placements, BoardTileFile(d), -60.0f + 30 * ((d - 1) % 3), -30.0f + 30 * ((d - 1) / 3), 0, -5);
    Add(hall.placements, kBoardGoalTile, 60, 0, 0, -5);
    Add(hall.placements, "BENCH.KRO", -40, 80, 180);
    Add(hall.placements, "BENCH.KRO", 40, 80, 180);
    Decor(hall);
    scenes.push_back(hall);

    // Room type 0: a living room.
    SceneRecipe living = Room("RM_03.KRS", 110, 90, "FloorWood.KRT", "WallPaper.KRT");
    Lounge(living.placements, -40, 55, 180);
    DiningSet(living.placements, 50, 20);
    Add(living.placements, "BOOKSHELF.KRO", 60, 84, 0);
    Decor(living);
    scenes.push_back(living);

    // Room type 1: a roof terrace.
    SceneRecipe terrace = Room("SP_PLT.KRS", 120, 100, "Paving.KRT", "");
    DiningSet(terrace.placements, -40, 20);
    Lounge(terrace.placements, 50, 60, 180);
    Add(terrace.placements, "TREE.KRO", -95, 75);
    Decor(terrace);
    scenes.push_back(terrace);

    // Room type 2: a small island in a lagoon.
    SceneRecipe island = Room("RM_ILD02.KRS", 120, 120, "Grass.KRT", "");
    for (int i = 0; i < 3; ++i)
        Add(island.placements, "TREE.KRO", -80.0f + 70 * i, 85.0f - 20 * (i % 2));
    Add(island.placements, "BENCH.KRO", -30, 30, 180);
    Add(island.placements, "BENCH.KRO", 40, 30, 180);
    Decor(island);
    scenes.push_back(island);

    // Room type 3: a classroom with the subject board hanging in the middle.
    SceneRecipe classroom = Room("RM_02.KRS", 120, 100, "FloorWood.KRT", "WallPlaster.KRT");
    // Rows of chairs facing the board, a row apart that leaves room to stand before each seat.
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
            Add(classroom.placements, "CHAIR.KRO", -45.0f + 30 * column, -40.0f - 30 * row, 0);
    Add(classroom.placements, "DESK.KRO", 0, 55, 180);
    Add(classroom.placements, "CHAIR.KRO", 0, 75, 180);
    Add(classroom.placements, "BOOKSHELF.KRO", -70, 94, 0);
    classroom.starts = {{-85, 0, -20}, {85, 0, -20}, {-85, 0, 20}, {85, 0, 20}};
    Decor(classroom);
    scenes.push_back(classroom);

    // Room type 4: the party-game rooms, one per board size.
    scenes.push_back(GameRoom("PathF.KRS", 5));
    scenes.push_back(GameRoom("PathF16.KRS", 6));
    scenes.push_back(GameRoom("PathF17.KRS", 7));
    return scenes;
}

} // namespace world
