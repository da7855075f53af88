#pragma once
// Every scene the client loads by name: the map scene with its fly-over paths, the five lobbies
// and the room types, party-game boards included.

#include "SceneRecipe.h"

#include <vector>

namespace world {

std::vector<SceneRecipe> WorldSceneRecipes();

// The house of lobby i on the map and the point before its door where the fly-over ends.
Vec3 LobbyHousePosition(int lobby);
Vec3 LobbyDoorApproach(int lobby);

} // namespace world
