#pragma once
// The avatar items of both kinds, one recipe each (category, number, how it is built and
// painted, what the shop calls it and asks for it), the avatar lists and the textures they wear.

#include "DataTree.h"
#include "ItemPainters.h"
#include "KriWriter.h"
#include "Skeleton.h"
#include "TextureRecipe.h"

#include <functional>
#include <string>
#include <vector>

namespace world {

enum ItemCategory : int {
    kHairCategory = 0,
    kFaceCategory = 1,
    kUpperCategory = 2,
    kLowerCategory = 3,
    kFootwearCategory = 4,
    kHandCategory = 5,
    kHairItemCategory = 6,
};
constexpr int kCategoryCount = 7;

ItemKind KindOfCategory(int category);

// What the item catalogue says of an item. Names and texts are plain ASCII without commas, so
// they read the same in every skin's code page and never split a catalogue row.
struct ShopEntry {
    std::string name;        // at most 51 bytes
    std::string text;        // the short second line of the explanation boxes, at most 29 bytes
    std::string description; // at most 299 bytes
    int price = 0;           // points; 0 marks a free starting item
    std::string variantName; // the texture variant's own row, when the item has a variant
    std::string variantDescription;
    int variantPrice = 0;
};

struct ItemRecipe {
    int gender = 1; // 1 male, 2 female
    int category = 0;
    int number = 0;
    std::function<ItemFile(const Skeleton&)> build; // meshes and face set; names filled in after
    Painter paint;
    Painter paintVariant; // empty: no second texture
    ImageFormat format = ImageFormat::Png;
    ImageFormat variantFormat = ImageFormat::Png;
    ShopEntry shop;
};

// Every item of both kinds, by gender, then category, then number.
std::vector<ItemRecipe> ItemRecipes();

std::uint32_t ItemCode(int gender, int category, int number);
std::string ItemFileName(int gender, int category, int number);                 // "1020000.KRI"
std::string ItemTextureName(int gender, int category, int number, int variant); // "1020001.KRT"

// The item files, their textures, the avatar lists, the item catalogue and its pictures.
void GenerateAvatars(DataTree& tree, Studio& studio);

} // namespace world
