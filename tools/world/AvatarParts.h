#pragma once
// The pieces avatar items are built from, laid on a kind's skeleton in the bind pose. Every
// part takes the texture regions it paints from, so one atlas per item carries garment, skin
// and trim colours.

#include "KriWriter.h"
#include "Skeleton.h"
#include "SkinMesh.h"

namespace world {

// Where an item's texture keeps its colours (see the item textures).
struct AtlasRegions {
    UvRect main{0, 0, 1, 0.72f};
    UvRect skin{0.05f, 0.76f, 0.2f, 0.86f};
    UvRect trim{0.3f, 0.76f, 0.45f, 0.86f};
    UvRect accent{0.55f, 0.76f, 0.7f, 0.86f};
    UvRect shadow{0.76f, 0.76f, 0.99f, 0.99f};
};
inline constexpr AtlasRegions kAtlas{};

enum class SleeveLength { Short, Long, None };
enum class LegWear { Trousers, Shorts, Skirt };

SkinMesh UpperBody(const Skeleton& k, SleeveLength sleeves, float bulk);
SkinMesh LowerBody(const Skeleton& k, LegWear wear);
SkinMesh ShadowMesh();
SkinMesh Shoes(const Skeleton& k, float height);

enum class HairStyle { Short, Spiky, Long, Bob, Ponytail, Buns, Curly, Mohawk, Twintails };
SkinMesh Hair(const Skeleton& k, HairStyle style);

// The head with its face: eyes painted on, brows, lids and mouth as small panels the face set
// moves. `targets` receives the ten morph targets; target 4 closes the eyes.
SkinMesh Head(const Skeleton& k, std::vector<MorphTarget>& targets);

enum class HeldThing { Flower, IceCream, Balloon, Lollipop, StarWand };
SkinMesh HandItem(const Skeleton& k, HeldThing thing);
enum class HeadThing { Cap, Ribbon, Crown, Beanie, Headband, SunHat };
SkinMesh HairItem(const Skeleton& k, HeadThing thing);

// The head's texture coordinates for a point on its sphere (shared with the face painter).
Vec2 HeadUv(float longitude, float latitude);

} // namespace world
