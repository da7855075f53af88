#include "TextureRecipe.h"

#include "KrtWriter.h"

namespace world {

TextPainter& Studio::Text()
{
    if (!m_text)
        m_text = std::make_unique<TextPainter>(m_fontPath);
    return *m_text;
}

bool IsKrtName(const std::string& name)
{
    auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = name.substr(dot);
    // The engine takes only these two spellings as KRT; anything else goes to the image loader.
    return extension == ".KRT" || extension == ".krt";
}

Image PaintTexture(const TextureRecipe& recipe, Studio& studio)
{
    Image image(recipe.width, recipe.height, {255, 255, 255, 255});
    recipe.paint(image, studio);
    return image;
}

Bytes EncodeTexture(const TextureRecipe& recipe, const Image& image)
{
    Bytes file = Encode(image, recipe.format);
    return IsKrtName(recipe.name) ? WriteKrt(file) : file;
}

Bytes BakeTexture(const TextureRecipe& recipe, Studio& studio)
{
    return EncodeTexture(recipe, PaintTexture(recipe, studio));
}

void BakeTextures(const std::vector<TextureRecipe>& recipes, Studio& studio, DataTree& tree, const std::string& folder)
{
    for (const TextureRecipe& recipe : recipes)
        tree.Add(folder + recipe.name, BakeTexture(recipe, studio));
}

} // namespace world
