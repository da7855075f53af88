#pragma once
// The item pictures the shop and the item lists show: every item drawn in 3D in its own texture,
// so the picture shows exactly the colours the avatar will wear, laid into one strip per category
// in catalogue order.

#include "Image.h"
#include "KriWriter.h"

#include <vector>

namespace world {

constexpr int kItemPictureSize = 42; // one cell of a category picture
constexpr int kItemPicturesPerRow = 10;
constexpr int kWornPlaceholderSize = 50; // the picture a worn item's row shows instead

// One item to draw into a picture, in the texture it wears.
struct PictureLayer {
    const ItemFile* item = nullptr;
    const Image* texture = nullptr;
};

// The picture of one item: `layers` drawn together (an item, and a head under a hair or a hat),
// framed to fill the cell, seen from the front a little from the side and above as fits the
// category.
Image ItemPicture(const std::vector<PictureLayer>& layers, int category);

// Cells of kItemPictureSize, ten per row, in order; as many rows as the cells need.
Image PictureStrip(const std::vector<Image>& cells);

// The picture a row shows while its item is worn.
Image WornPlaceholder();

} // namespace world
