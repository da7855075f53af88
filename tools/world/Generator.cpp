#include "Generator.h"

#include "AvatarItems.h"
#include "AvatarMotions.h"
#include "KroWriter.h"
#include "WorldScenes.h"
#include "WorldTextures.h"

namespace world {

void GenerateWorldFolder(DataTree& tree, const GeneratorOptions& options)
{
    Studio studio(options.fontPath);
    BakeTextures(WorldTextureRecipes(), studio, tree, kWorldFolder);
    for (const TextureList& list : WorldTextureLists())
        tree.AddText(kWorldFolder + list.name, TextureListText(list));

    std::map<std::string, ObjectRecipe> recipes;
    ObjectLibrary objects;
    for (ObjectRecipe& recipe : WorldObjectRecipes()) {
        ObjectModel model = recipe.build();
        tree.Add(kWorldFolder + recipe.name, WriteKro(model));
        objects.emplace(recipe.name, std::move(model));
        recipes.emplace(recipe.name, std::move(recipe));
    }
    for (const SceneRecipe& scene : WorldSceneRecipes())
        WriteScene(scene, AssembleScene(scene, recipes, objects), tree);
}

DataTree GenerateAll(const GeneratorOptions& options)
{
    DataTree tree;
    GenerateWorldFolder(tree, options);
    Studio studio(options.fontPath);
    GenerateAvatars(tree, studio);
    GenerateMotions(tree);
    return tree;
}

} // namespace world
