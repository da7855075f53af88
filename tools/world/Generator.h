#pragma once
// The whole sample world: world textures, objects and scenes; avatars with their items; motions
// and the skin's motion list.

#include "DataTree.h"

#include <string>

namespace world {

struct GeneratorOptions {
    std::string fontPath; // a TrueType font with Hangul and Latin letters
};

void GenerateWorldFolder(DataTree& tree, const GeneratorOptions& options);
DataTree GenerateAll(const GeneratorOptions& options);

} // namespace world
