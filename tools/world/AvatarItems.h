#pragma once
// The avatar items of both kinds, one recipe each (category, number, how it is built and
// painted), the avatar lists and the textures they wear.

#include "DataTree.h"
#include "KriWriter.h"
#include "Skeleton.h"
#include "TextureRecipe.h"

#include <functional>
#include <string>
#include <vector>

namespace world {

enum ItemCategory : int {
    kHairCategory = 0, kFaceCategory = 1, kUpperCategory = 2, kLowerCategory = 3,
    kFootwearCategory = 4, kHandCategory = 5, kHairItemCategory = 6,
};

ItemKind KindOfCategory(int category);

struct ItemRecipe {
    int gender = 1; // 1 male, 2 female
    int category = 0;
    int number = 0;
    std::function<ItemFile(const Skeleton&)> build; // meshes and face set; names filled in after
    std::function<void(Image&, Studio&)> paint;
    std::function<void(Image&, Studio&)> paintVariant; // empty: no second texture
    ImageFormat format = ImageFormat::Png;
    ImageFormat variantFormat = ImageFormat::Png;
};

std::vector<ItemRecipe> ItemRecipes();

std::uint32_t ItemCode(int gender, int category, int number);
std::string ItemFileName(int gender, int category, int number);                 // "1020000.KRI"
std::string ItemTextureName(int gender, int category, int number, int variant); // "1020001.KRT"

void GenerateAvatars(DataTree& tree, Studio& studio);

} // namespace world
