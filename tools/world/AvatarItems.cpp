#include "AvatarItems.h"

#include "ImageCodecs.h"
#include "ItemCatalogue.h"
#include "ItemPictures.h"
#include "KraWriter.h"

#include <cstdio>
#include <map>
#include <tuple>

namespace world {

ItemKind KindOfCategory(int category)
{
    switch (category) {
    case kHairCategory: return kSkinnedItem;
    case kFaceCategory: return kFaceItem;
    case kUpperCategory: return kUpperBodyItem;
    case kLowerCategory: return kLowerBodyItem;
    case kFootwearCategory: return kFootwearItem;
    default: return kHeldItem;
    }
}

std::uint32_t ItemCode(int gender, int category, int number)
{
    return static_cast<std::uint32_t>(gender * 1000000 + category * 10000 + number * 10);
}

std::string ItemFileName(int gender, int category, int number)
{
    char name[32];
    std::snprintf(name, sizeof name, "%d0%d%03d0.KRI", gender, category, number);
    return name;
}

std::string ItemTextureName(int gender, int category, int number, int variant)
{
    char name[32];
    std::snprintf(name, sizeof name, "%d0%d%03d%d.KRT", gender, category, number, variant);
    return name;
}

namespace {

// An item as built and painted, kept for drawing its shop pictures.
struct BuiltItem {
    ItemFile item;
    Image texture, variant;
};

using BuiltItems = std::map<std::tuple<int, int, int>, BuiltItem>;

void WriteItemPictures(const std::vector<ItemRecipe>& recipes, const BuiltItems& built, DataTree& tree)
{
    for (int gender = 1; gender <= 2; ++gender)
        for (int category = 0; category < kCategoryCount; ++category) {
            std::string name = CategoryPictureName(gender, category);
            if (name.empty())
                continue;
            std::vector<Image> cells;
            for (const CatalogueItem& row : CatalogueItems(recipes, gender, category)) {
                const BuiltItem& b = built.at({gender, category, row.recipe->number});
                std::vector<PictureLayer> layers = {{&b.item, row.variant ? &b.variant : &b.texture}};
                // Hair and hats are shown on a head: the face that goes with the hair, or the first.
                if (category == kHairCategory || category == kHairItemCategory) {
                    int face = category == kHairCategory ? row.recipe->number : 0;
                    const BuiltItem& head = built.at({gender, kFaceCategory, face});
                    layers.push_back({&head.item, &head.texture});
                }
                cells.push_back(ItemPicture(layers, category));
            }
            tree.Add(kItemPictureFolder + name, EncodeBmp(PictureStrip(cells)));
        }
    tree.Add(kWornPlaceholderPath, EncodeBmp(WornPlaceholder()));
}

} // namespace

void GenerateAvatars(DataTree& tree, Studio& studio)
{
    std::vector<ItemRecipe> recipes = ItemRecipes();
    BuiltItems built;
    for (const ItemRecipe& recipe : recipes) {
        Skeleton k = Skeleton::Build(recipe.gender == 2 ? FemaleBody() : MaleBody());
        BuiltItem& b = built[{recipe.gender, recipe.category, recipe.number}];
        ItemFile& item = b.item;
        item = recipe.build(k);
        item.code = ItemCode(recipe.gender, recipe.category, recipe.number);
        item.kind = KindOfCategory(recipe.category);
        std::string texture = ItemTextureName(recipe.gender, recipe.category, recipe.number, 0);
        item.materials = {{texture, false}};
        for (const SkinMesh& mesh : item.meshes)
            if (mesh.name == kShadowMeshName)
                item.materials.push_back({texture, true}); // same picture, drawn blended
        std::string file = ItemFileName(recipe.gender, recipe.category, recipe.number);
        tree.Add(kItemFolder + file, WriteKri(item));
        if (item.kind == kUpperBodyItem)
            tree.Add(kItemFolder + CompanionName(file), WriteItemCompanion(item));
        TextureRecipe base{texture, 128, 128, recipe.format, recipe.paint};
        b.texture = PaintTexture(base, studio);
        tree.Add(kItemFolder + texture, EncodeTexture(base, b.texture));
        if (recipe.paintVariant) {
            std::string name = ItemTextureName(recipe.gender, recipe.category, recipe.number, 1);
            TextureRecipe variant{name, 128, 128, recipe.variantFormat, recipe.paintVariant};
            b.variant = PaintTexture(variant, studio);
            tree.Add(kItemFolder + name, EncodeTexture(variant, b.variant));
        }
    }

    // The catalogue the shop and the service read, and its pictures.
    tree.Add(kCataloguePath, EncodeCatalogue(CatalogueRows(recipes)));
    WriteItemPictures(recipes, built, tree);

    // The avatars the creation dialog shows before anything is chosen.
    for (int gender = 1; gender <= 2; ++gender) {
        AvatarList list;
        list.key = static_cast<std::uint32_t>(gender * 10000 + 1);
        const int numbers[7] = {0, 1, 0, 0, 0, 0, 1};
        for (int category = 0; category <= 6; ++category) {
            if (category == kHandCategory && gender == 2)
                continue; // she wears a hair item instead, he a hand item
            if (category == kHairItemCategory && gender == 1)
                continue;
            list.items.push_back({KindOfCategory(category), ItemFileName(gender, category, numbers[category])});
        }
        tree.Add(kItemFolder + std::to_string(list.key) + ".KRA", WriteAvatarList(list));
    }
}

} // namespace world
