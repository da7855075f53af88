#pragma once
// The world folder's textures and texture lists.

#include "TextureRecipe.h"

#include <string>
#include <utility>
#include <vector>

namespace world {

std::vector<TextureRecipe> WorldTextureRecipes();

struct TextureList {
    std::string name;                // the text file the mesh names
    std::vector<std::string> frames; // one texture file per line
};
std::vector<TextureList> WorldTextureLists();

// Lines of a texture list file as written: one name per line, each ended by a line feed.
std::string TextureListText(const TextureList& list);

// Party-game arrows: how each direction 1..9 moves on the board, as (row, column) steps.
struct BoardStep {
    int row, column;
};
BoardStep BoardDirection(int direction);

} // namespace world
