#pragma once
// One texture a content author describes: its file name, size, image format and how to paint it.
// Names ending in ".KRT"/".krt" are wrapped as KRT; any other name is written as the plain image.

#include "DataTree.h"
#include "ImageCodecs.h"
#include "TextPainter.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace world {

// What painters may use beyond the picture itself.
class Studio {
public:
    explicit Studio(std::string fontPath) : m_fontPath(std::move(fontPath)) {}
    TextPainter& Text();

private:
    std::string m_fontPath;
    std::unique_ptr<TextPainter> m_text;
};

struct TextureRecipe {
    std::string name;
    int width = 64, height = 64;
    ImageFormat format = ImageFormat::Png;
    std::function<void(Image&, Studio&)> paint;
};

bool IsKrtName(const std::string& name);
// Painting and encoding apart, for whoever also needs the picture itself.
Image PaintTexture(const TextureRecipe& recipe, Studio& studio);
Bytes EncodeTexture(const TextureRecipe& recipe, const Image& image);
Bytes BakeTexture(const TextureRecipe& recipe, Studio& studio);
// Paints every recipe into `folder` of the tree.
void BakeTextures(const std::vector<TextureRecipe>& recipes, Studio& studio, DataTree& tree, const std::string& folder);

} // namespace world
