#pragma once
// The world objects: one recipe per object file, with what scenes need to know to place it
// (where people sit on it, whether it stands in the way of walking).

#include "ObjectModel.h"

#include <functional>
#include <string>
#include <vector>

namespace world {

// A place to sit, in the object's space: the seat's centre and the way its front faces (the
// direction a seated person looks), as a turn about y from +z.
struct SeatAnchor {
    Vec3 position;
    float facingDegrees = 0;
};

struct ObjectRecipe {
    std::string name;
    std::function<ObjectModel()> build;
    std::vector<SeatAnchor> seats;
    bool blocksWalking = true;
};

std::vector<ObjectRecipe> WorldObjectRecipes();

// Party-game tiles: the file of the plain tile, of each arrow (1..9), of the goal and of a wrong step.
std::string BoardTileFile(int direction);
inline const std::string kBoardPlainTile = "O0000410.KRO";
inline const std::string kBoardGoalTile = "O0000421.KRO";
inline const std::string kBoardWrongTile = "O0000422.KRO";
inline const std::string kSubjectBoard = "O0000400.KRO";

} // namespace world
