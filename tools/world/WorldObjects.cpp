#include "WorldObjects.h"

#include "Shapes.h"

#include <cstdio>

namespace world {

namespace {

ObjectMesh Textured(const std::string& texture)
{
    ObjectMesh mesh;
    mesh.texture = texture;
    return mesh;
}

// Both sides of a thin card (leaves, signs seen from behind).
void AddCard(TriangleList& list, const Vec3& bl, const Vec3& br, const Vec3& tr, const Vec3& tl, const Vec3& normal)
{
    AddQuad(list, bl, br, tr, tl, normal);
    AddQuad(list, br, bl, tl, tr, -normal);
}

ObjectModel Chair()
{
    ObjectModel m;
    ObjectMesh frame = Textured("Wood.KRT");
    for (float x : {-4.3f, 4.3f})
        for (float z : {-4.3f, 4.3f})
            AddCylinder(frame.triangles, {x, -10, z}, 0.6f, 0.6f, 10, 6, false);
    AddBox(frame.triangles, {-5, -1.5f, -5.5f}, {5, 13, -4.5f});
    // Legs and back are modelled about the seat and lifted into place by the mesh matrix.
    frame.matrix = Translation({0, 10, 0});
    ObjectMesh cushion = Textured("FabricRed.KRT");
    AddBox(cushion.triangles, {-5, 10, -4.5f}, {5, 11.5f, 5});
    m.meshes = {frame, cushion};
    return m;
}

ObjectModel Sofa()
{
    ObjectModel m;
    ObjectMesh body = Textured("FabricBlue.KRT");
    AddBox(body.triangles, {-18, 0, -7}, {18, 10, 7}, {0.1f});
    AddBox(body.triangles, {-18, 10, -7}, {18, 24, -4}, {0.1f});
    AddBox(body.triangles, {-20, 0, -7}, {-17, 16, 7}, {0.1f});
    AddBox(body.triangles, {17, 0, -7}, {20, 16, 7}, {0.1f});
    ObjectMesh cushions = Textured("FabricGreen.KRT");
    for (float x : {-11.5f, 0.0f, 11.5f})
        AddBox(cushions.triangles, {x - 5.6f, 10, -4}, {x + 5.6f, 11.5f, 6.5f});
    m.meshes = {body, cushions};
    return m;
}

ObjectModel Bench()
{
    ObjectModel m;
    ObjectMesh wood = Textured("Wood.KRT");
    AddBox(wood.triangles, {-14, 10, -5}, {14, 11.5f, 5});
    AddBox(wood.triangles, {-14, 14, -5.5f}, {14, 22, -4.5f});
    ObjectMesh legs = Textured("Metal.KRT");
    for (float x : {-12.0f, 12.0f}) {
        AddBox(legs.triangles, {x - 0.6f, 0, -4}, {x + 0.6f, 10, 4});
        AddBox(legs.triangles, {x - 0.6f, 10, -5.5f}, {x + 0.6f, 22, -4.5f});
    }
    m.meshes = {wood, legs};
    return m;
}

ObjectModel Table(float halfX, float halfZ, float height)
{
    ObjectModel m;
    ObjectMesh top = Textured("Wood.KRT");
    AddBox(top.triangles, {-halfX, -1, -halfZ}, {halfX, 0, halfZ}, {0.05f});
    top.matrix = Translation({0, height, 0});
    ObjectMesh legs = Textured("Metal.KRT");
    for (float x : {-halfX + 2, halfX - 2})
        for (float z : {-halfZ + 2, halfZ - 2})
            AddCylinder(legs.triangles, {x, 0, z}, 0.8f, 0.8f, height - 1, 8, false);
    m.meshes = {top, legs};
    return m;
}

ObjectModel RoundTable()
{
    ObjectModel m;
    ObjectMesh top = Textured("Wood.KRT");
    AddCylinder(top.triangles, {0, 16, 0}, 10, 10, 1.2f, 20, true);
    AddCylinder(top.triangles, {0, 0, 0}, 1.2f, 1.2f, 16, 8, false);
    AddCylinder(top.triangles, {0, 0, 0}, 5, 4, 1, 12, true);
    m.meshes = {top};
    return m;
}

ObjectModel Window()
{
    ObjectModel m;
    ObjectMesh glass = Textured("Glass.KRT");
    glass.alpha = true;
    AddBox(glass.triangles, {-15, 0, -0.3f}, {15, 22, 0.3f}, {}, kBoxFront | kBoxBack);
    m.meshes = {glass};
    return m;
}

ObjectModel Plant()
{
    ObjectModel m;
    ObjectMesh pot = Textured("Roof.KRT");
    AddCylinder(pot.triangles, {0, 0, 0}, 3.2f, 4.2f, 6, 10, true);
    ObjectMesh leaves = Textured("Plant.KRT");
    leaves.colourKeyed = true;
    AddCard(leaves.triangles, {-7, 5, 0}, {7, 5, 0}, {7, 33, 0}, {-7, 33, 0}, {0, 0, -1});
    AddCard(leaves.triangles, {0, 5, 7}, {0, 5, -7}, {0, 33, -7}, {0, 33, 7}, {-1, 0, 0});
    m.meshes = {pot, leaves};
    return m;
}

ObjectModel Tree()
{
    ObjectModel m;
    ObjectMesh crown = Textured("Tree.KRT");
    crown.colourKeyed = true;
    AddCard(crown.triangles, {-22, 0, 0}, {22, 0, 0}, {22, 70, 0}, {-22, 70, 0}, {0, 0, -1});
    AddCard(crown.triangles, {0, 0, 22}, {0, 0, -22}, {0, 70, -22}, {0, 70, 22}, {-1, 0, 0});
    m.meshes = {crown};
    return m;
}

ObjectModel Fan()
{
    ObjectModel m;
    ObjectMesh stand = Textured("Metal.KRT");
    AddCylinder(stand.triangles, {0, 0, 0}, 5, 4, 1.5f, 12, true);
    AddCylinder(stand.triangles, {0, 1.5f, 0}, 0.7f, 0.7f, 27, 8, false);
    AddBox(stand.triangles, {-2, 27, -1}, {2, 31, 4});
    ObjectMesh blades = Textured("FanBlade.KRT");
    // Built about the hub, facing -z; the keys turn them about z and the matrix lifts them.
    for (int i = 0; i < 4; ++i) {
        Mat4 turn = RotationZ(Radians(90.0f * i));
        TriangleList blade;
        AddBox(blade, {1, -1.5f, -0.3f}, {8, 1.5f, 0.3f});
        blade.Transform(turn);
        blades.triangles.Append(blade);
    }
    AddCylinder(blades.triangles, {0, -1, 0}, 1.2f, 1.2f, 2, 8, true);
    blades.matrix = Translation({0, 29, -1.5f});
    KeyTrack keys;
    keys.startMs = 0;
    keys.endMs = 1200;
    for (int k = 0; k <= 8; ++k)
        keys.rotations.push_back(RotationAxis({0, 0, 1}, Radians(45.0f * k)));
    blades.keys = keys;
    m.meshes = {stand, blades};
    return m;
}

ObjectModel Sign()
{
    ObjectModel m;
    ObjectMesh post = Textured("Metal.KRT");
    AddCylinder(post.triangles, {0, 0, 0}, 0.8f, 0.8f, 22, 8, true);
    ObjectMesh board = Textured("Sign.txt");
    board.textureList = true;
    AddCard(board.triangles, {-12, 22, -1}, {12, 22, -1}, {12, 34, -1}, {-12, 34, -1}, {0, 0, -1});
    m.meshes = {post, board};
    return m;
}

ObjectModel Lamp()
{
    ObjectModel m;
    ObjectMesh pole = Textured("Metal.KRT");
    AddCylinder(pole.triangles, {0, 0, 0}, 3, 2.5f, 1, 10, true);
    AddCylinder(pole.triangles, {0, 1, 0}, 0.5f, 0.5f, 30, 6, false);
    ObjectMesh shade = Textured("FabricGreen.KRT");
    AddCylinder(shade.triangles, {0, 28, 0}, 6, 3, 7, 12, true);
    m.meshes = {pole, shade};
    return m;
}

ObjectModel Bookshelf()
{
    ObjectModel m;
    ObjectMesh shelf = Textured("Wood.KRT");
    AddBox(shelf.triangles, {-15, 0, -5}, {15, 40, 5}, {}, kBoxAll & ~kBoxFront);
    ObjectMesh books = Textured("Books.KRT");
    AddQuad(books.triangles, {-15, 0, -5}, {15, 0, -5}, {15, 40, -5}, {-15, 40, -5}, {0, 0, -1});
    m.meshes = {shelf, books};
    return m;
}

ObjectModel Rug()
{
    ObjectModel m;
    ObjectMesh rug = Textured("Carpet.KRT");
    AddQuad(rug.triangles, {-25, 0.15f, -18}, {25, 0.15f, -18}, {25, 0.15f, 18}, {-25, 0.15f, 18}, {0, 1, 0});
    m.meshes = {rug};
    return m;
}

ObjectModel Counter()
{
    ObjectModel m;
    ObjectMesh body = Textured("Wood.KRT");
    AddBox(body.triangles, {-25, 0, -6}, {25, 17, 6}, {0.05f});
    ObjectMesh top = Textured("Metal.KRT");
    AddBox(top.triangles, {-26, 17, -7}, {26, 18.5f, 7});
    m.meshes = {body, top};
    return m;
}

ObjectModel Fountain()
{
    ObjectModel m;
    ObjectMesh stone = Textured("Paving.KRT");
    AddExtrusion(stone.triangles,
                 {{-24, -10}, {-10, -24}, {10, -24}, {24, -10}, {24, 10}, {10, 24}, {-10, 24}, {-24, 10}}, 0, 6,
                 {0.05f});
    AddCylinder(stone.triangles, {0, 6, 0}, 3, 2, 18, 10, true);
    ObjectMesh water = Textured("Water.KRT");
    water.alpha = true;
    AddDisc(water.triangles, {0, 6.2f, 0}, 22, 16, true);
    m.meshes = {stone, water};
    return m;
}

ObjectModel House(const std::string& wall)
{
    ObjectModel m;
    ObjectMesh walls = Textured(wall);
    AddBox(walls.triangles, {-30, 0, -25}, {30, 45, 25}, {}, kBoxAll & ~kBoxBottom);
    ObjectMesh roof = Textured("Roof.KRT");
    TriangleList pyramid;
    AddCylinder(pyramid, {0, 0, 0}, 48, 0, 25, 4, false);
    pyramid.Transform(RotationY(Radians(45)) * Translation({0, 45, 0}));
    roof.triangles = pyramid;
    m.meshes = {walls, roof};
    return m;
}

ObjectModel SubjectBoard()
{
    ObjectModel m;
    ObjectMesh board = Textured("Board.KRT");
    AddQuad(board.triangles, {-24, -16, 0}, {24, -16, 0}, {24, 16, 0}, {-24, 16, 0}, {0, 0, -1});
    ObjectMesh frame = Textured("Wood.KRT");
    AddBox(frame.triangles, {-26, -18, 0.05f}, {26, 18, 1.5f}, {}, kBoxAll & ~kBoxFront);
    m.meshes = {board, frame};
    return m;
}

// A board tile is laid 5 units below the ground, so its top stands just above it.
ObjectModel BoardTile(const std::string& texture)
{
    ObjectModel m;
    ObjectMesh tile = Textured(texture);
    AddBox(tile.triangles, {-14.5f, 3, -14.5f}, {14.5f, 5.1f, 14.5f}, {}, kBoxAll & ~kBoxBottom);
    m.meshes = {tile};
    return m;
}

ObjectRecipe Recipe(std::string name, std::function<ObjectModel()> build, std::vector<SeatAnchor> seats = {},
                    bool blocksWalking = true)
{
    return {std::move(name), std::move(build), std::move(seats), blocksWalking};
}

} // namespace

std::string BoardTileFile(int direction)
{
    char name[16];
    std::snprintf(name, sizeof name, "O00004%02d.KRO", 10 + (direction >= 1 && direction <= 9 ? direction : 5));
    return name;
}

std::vector<ObjectRecipe> WorldObjectRecipes()
{
    std::vector<ObjectRecipe> r = {
        Recipe("CHAIR.KRO", Chair, {{{0, 11.5f, 0}, 0}}),
        Recipe("SOFA.KRO", Sofa, {{{-11.5f, 11.5f, 1}, 0}, {{0, 11.5f, 1}, 0}, {{11.5f, 11.5f, 1}, 0}}),
        Recipe("BENCH.KRO", Bench, {{{-7, 11.5f, 0}, 0}, {{7, 11.5f, 0}, 0}}),
        Recipe("TABLE.KRO", [] { return Table(12, 8, 16); }),
        Recipe("DESK.KRO", [] { return Table(10, 6, 15); }),
        Recipe("ROUNDTABLE.KRO", RoundTable),
        Recipe("WINDOW.KRO", Window, {}, false),
        Recipe("PLANT.KRO", Plant),
        Recipe("TREE.KRO", Tree),
        Recipe("FAN.KRO", Fan),
        Recipe("SIGN.KRO", Sign),
        Recipe("LAMP.KRO", Lamp),
        Recipe("BOOKSHELF.KRO", Bookshelf),
        Recipe("RUG.KRO", Rug, {}, false),
        Recipe("COUNTER.KRO", Counter),
        Recipe("FOUNTAIN.KRO", Fountain),
        Recipe("HOUSE1.KRO", [] { return House("HouseWall.KRT"); }),
        Recipe("HOUSE2.KRO", [] { return House("WallBrick.KRT"); }),
        Recipe(kSubjectBoard, SubjectBoard, {}, false),
        Recipe(
            kBoardPlainTile, [] { return BoardTile("PfTile.KRT"); }, {}, false),
        Recipe(
            kBoardGoalTile, [] { return BoardTile("PfGoal.KRT"); }, {}, false),
        Recipe(
            kBoardWrongTile, [] { return BoardTile("PfWrong.KRT"); }, {}, false),
    };
    for (int d = 1; d <= 9; ++d) {
        std::string texture = "PfArrow" + std::to_string(d) + ".KRT";
        r.push_back(Recipe(
            BoardTileFile(d), [texture] { return BoardTile(texture); }, {}, false));
    }
    for (ObjectRecipe& recipe : r) {
        auto build = recipe.build;
        std::string name = recipe.name;
        // The object file code: the number in an "O" file name, else 0.
        std::uint32_t code = name[0] == 'O' ? static_cast<std::uint32_t>(std::stoul(name.substr(1, 7))) : 0;
        recipe.build = [build, name, code] {
            ObjectModel model = build();
            model.name = name;
            model.code = code;
            return model;
        };
    }
    return r;
}

} // namespace world
