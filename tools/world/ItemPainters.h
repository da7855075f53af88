#pragma once
// How avatar item textures are painted: every item shares one atlas layout (garment, skin, trim,
// accent and the floor shadow), so a palette and a pattern describe an item's whole look.

#include "Image.h"
#include "Skeleton.h"
#include "TextureRecipe.h"

#include <cstdint>
#include <functional>

namespace world {

inline constexpr Rgba kSkin{241, 200, 170, 255};

struct Palette {
    Rgba main, trim, accent;
};

enum class Pattern { Plain, Stripes, Checker, Denim, Dots, Logo, Plaid, Zigzag, Band };

using Painter = std::function<void(Image&, Studio&)>;

// The item atlas in `p`'s colours with `pattern` over its garment area; `seed` fixes the grain.
void PaintAtlas(Image& image, Studio& studio, const Palette& p, Pattern pattern, std::uint32_t seed);
Painter Atlas(Palette p, Pattern pattern, std::uint32_t seed);
Palette Recolour(Palette p, Rgba main);

// The face wrapped on the head's sphere: eyes, cheeks and nose where the geometry puts them.
void PaintFace(Image& image, const Skeleton& k, Rgba eyes, Rgba brows, Rgba lips, bool lashes);
void PaintHair(Image& image, Rgba colour, std::uint32_t seed);

} // namespace world
