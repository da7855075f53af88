// The wardrobe: every item of both kinds, its shape, its colours, its texture variant and what
// the shop asks for it. Items 0 and 1 of every category are free starting items; the rest and
// every texture variant cost points. Numbers never change meaning once given: members own items
// by number, so new looks are appended.
#include "AvatarItems.h"

#include "AvatarParts.h"

#include <cmath>

namespace world {

namespace {

using F = ImageFormat;

ItemFile Build(SkinMesh mesh)
{
    ItemFile item;
    item.meshes.push_back(std::move(mesh));
    return item;
}

// Chest vertices of the first mesh: the swell breathes them, the bounce shakes the breasts.
ItemFile UpperBodyItem(const Skeleton& k, SleeveLength sleeves, float bulk)
{
    ItemFile item = Build(UpperBody(k, sleeves, bulk));
    const SkinMesh& body = item.meshes.front();
    float chestLow = k.joints[kSpine].y + 1, chestHigh = k.joints[kNeck].y - 1;
    for (std::uint32_t v = 0; v < body.Positions().size(); ++v) {
        const Vec3& p = body.Positions()[v];
        bool front = p.z < -0.5f && std::fabs(p.x) < k.shape.shoulderHalf * 0.9f;
        if (front && p.y > chestLow && p.y < chestHigh)
            item.swell.push_back(v);
        const auto& w = body.Weights()[v];
        bool breast = w[0].bone == kLeftBreast || w[0].bone == kRightBreast;
        if (breast || (!k.shape.breasts && front && p.y > chestLow + 2 && p.y < chestHigh))
            item.bounce.push_back(v);
    }
    return item;
}

ItemFile LowerBodyItem(const Skeleton& k, LegWear wear)
{
    ItemFile item = Build(LowerBody(k, wear));
    item.meshes.push_back(ShadowMesh());
    return item;
}

ItemFile FaceItem(const Skeleton& k)
{
    ItemFile item;
    item.meshes.push_back(Head(k, item.faceSet));
    return item;
}

std::string Named(const char* what, const char* colour)
{
    return std::string(what) + " (" + colour + ")";
}

// `describe` tells of the item in one colour, for the plain item and for its variant.
ShopEntry Entry(const char* what, const char* colour, const char* variantColour, const char* text,
                const std::function<std::string(const char* colour)>& describe, int price, int variantPrice)
{
    ShopEntry e;
    e.name = Named(what, colour);
    e.text = text;
    e.description = describe(colour);
    e.price = price;
    if (variantColour) {
        e.variantName = Named(what, variantColour);
        e.variantDescription = describe(variantColour);
        e.variantPrice = variantPrice;
    }
    return e;
}

// The first two numbers of every category are what a new member starts with.
int Price(int number, int price)
{
    return number < 2 ? 0 : price;
}

constexpr Rgba kWine{170, 40, 60, 255};
constexpr Rgba kLeafGreen{80, 170, 120, 255};
constexpr Rgba kRust{140, 60, 60, 255};
constexpr Rgba kBlack{30, 30, 30, 255};

struct HairLook {
    HairStyle style;
    Rgba colour, eyes, variant;
    const char *styleName, *colourName, *variantName, *eyesName;
    int price;
};

struct TopLook {
    SleeveLength sleeves;
    float bulk;
    Palette palette;
    Pattern pattern;
    Rgba variant;
    const char *what, *colourName, *variantName;
    int price;
};

struct BottomLook {
    LegWear wear;
    Palette palette;
    Pattern pattern;
    Rgba variant;
    const char *what, *colourName, *variantName;
    int price;
};

struct ShoeLook {
    float height;
    Palette palette;
    Pattern pattern;
    Rgba variant;
    const char *what, *colourName, *variantName;
    int price;
};

struct HeldLook {
    HeldThing thing;
    Palette palette;
    const char *what, *colourName;
    int price;
};

struct HeadLook {
    HeadThing thing;
    Palette palette;
    Pattern pattern;
    const char *what, *colourName;
    int price;
};

std::vector<HairLook> HairLooks(bool female)
{
    std::vector<HairLook> looks = {
        {female ? HairStyle::Bob : HairStyle::Short,
         {45, 35, 30, 255},
         {90, 60, 40, 255},
         {},
         female ? "Bob" : "Short Crop",
         "Dark Brown",
         "Wine Red",
         "Brown Eyes",
         0},
        {female ? HairStyle::Ponytail : HairStyle::Spiky,
         {120, 75, 40, 255},
         {60, 110, 60, 255},
         {},
         female ? "Ponytail" : "Spiky",
         "Chestnut",
         "Wine Red",
         "Green Eyes",
         0},
        {female ? HairStyle::Buns : HairStyle::Long,
         {200, 160, 90, 255},
         {60, 100, 170, 255},
         {},
         female ? "Twin Buns" : "Long Layers",
         "Honey Blond",
         "Wine Red",
         "Blue Eyes",
         600},
    };
    for (HairLook& look : looks)
        look.variant = Mix(look.colour, kWine, 0.6f);
    if (female) {
        looks.push_back({HairStyle::Twintails,
                         {235, 200, 130, 255},
                         {120, 80, 160, 255},
                         {235, 140, 175, 255},
                         "Twin Tails",
                         "Light Blond",
                         "Candy Pink",
                         "Violet Eyes",
                         800});
        looks.push_back({HairStyle::Curly,
                         {110, 50, 30, 255},
                         {60, 110, 60, 255},
                         {40, 38, 42, 255},
                         "Curls",
                         "Auburn",
                         "Black",
                         "Green Eyes",
                         700});
        looks.push_back({HairStyle::Long,
                         {35, 28, 28, 255},
                         {80, 60, 50, 255},
                         {160, 70, 35, 255},
                         "Long Straight",
                         "Black",
                         "Copper",
                         "Dark Eyes",
                         600});
    } else {
        looks.push_back({HairStyle::Curly,
                         {28, 26, 30, 255},
                         {70, 50, 35, 255},
                         {150, 65, 35, 255},
                         "Curly",
                         "Black",
                         "Copper",
                         "Dark Eyes",
                         700});
        looks.push_back({HairStyle::Mohawk,
                         {70, 85, 180, 255},
                         {90, 60, 40, 255},
                         {230, 110, 40, 255},
                         "Mohawk",
                         "Electric Blue",
                         "Flame Orange",
                         "Brown Eyes",
                         900});
        looks.push_back({HairStyle::Short,
                         {185, 185, 192, 255},
                         {60, 100, 170, 255},
                         {100, 70, 150, 255},
                         "Short Crop",
                         "Ash Grey",
                         "Plum",
                         "Blue Eyes",
                         500});
    }
    return looks;
}

std::vector<TopLook> TopLooks(bool female)
{
    using S = SleeveLength;
    using P = Pattern;
    std::vector<TopLook> looks = {
        {S::Short, 1.0f,
         female ? Palette{{240, 150, 180, 255}, {255, 255, 255, 255}, {200, 60, 110, 255}}
                : Palette{{70, 110, 190, 255}, {230, 230, 240, 255}, {250, 200, 60, 255}},
         P::Stripes, kLeafGreen, "Striped Tee", female ? "Pink" : "Blue", "Green", 0},
        {S::Long, 1.07f,
         female ? Palette{{245, 210, 90, 255}, {200, 150, 40, 255}, {255, 255, 255, 255}}
                : Palette{{190, 50, 50, 255}, {120, 30, 30, 255}, {255, 255, 255, 255}},
         P::Checker, kLeafGreen, "Checked Sweater", female ? "Lemon" : "Red", "Green", 0},
        {S::Short,
         1.0f,
         {{235, 235, 230, 255}, {60, 60, 70, 255}, {40, 120, 200, 255}},
         P::Logo,
         kLeafGreen,
         "Logo Tee",
         "White",
         "Green",
         800},
    };
    if (female) {
        looks.push_back({S::None,
                         1.0f,
                         {{150, 220, 200, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}},
                         P::Dots,
                         {245, 175, 190, 255},
                         "Polka Top",
                         "Mint",
                         "Rose",
                         700});
        looks.push_back({S::Long,
                         1.03f,
                         {{170, 150, 220, 255}, {90, 70, 150, 255}, {255, 255, 255, 255}},
                         P::Plaid,
                         {230, 140, 100, 255},
                         "Plaid Blouse",
                         "Lavender",
                         "Apricot",
                         1200});
        looks.push_back({S::Short,
                         1.0f,
                         {{245, 245, 245, 255}, {30, 50, 110, 255}, {210, 40, 50, 255}},
                         P::Band,
                         {180, 210, 240, 255},
                         "Sailor Top",
                         "White",
                         "Sky",
                         1300});
        looks.push_back({S::Short,
                         1.0f,
                         {{240, 120, 100, 255}, {255, 230, 200, 255}, {120, 40, 40, 255}},
                         P::Zigzag,
                         {110, 170, 125, 255},
                         "Zigzag Tee",
                         "Coral",
                         "Sage",
                         900});
        looks.push_back({S::Long,
                         1.05f,
                         {{60, 60, 95, 255}, {200, 200, 210, 255}, {240, 200, 80, 255}},
                         P::Plain,
                         {200, 60, 95, 255},
                         "Cardigan",
                         "Navy",
                         "Raspberry",
                         1500});
    } else {
        looks.push_back({S::Long,
                         1.05f,
                         {{40, 110, 70, 255}, {20, 40, 80, 255}, {230, 200, 80, 255}},
                         P::Plaid,
                         {170, 40, 40, 255},
                         "Flannel Shirt",
                         "Forest",
                         "Red",
                         1200});
        looks.push_back({S::None,
                         1.0f,
                         {{240, 140, 40, 255}, {255, 255, 255, 255}, {60, 60, 60, 255}},
                         P::Plain,
                         {40, 160, 200, 255},
                         "Tank Top",
                         "Orange",
                         "Teal",
                         600});
        looks.push_back({S::Short,
                         1.0f,
                         {{30, 40, 90, 255}, {200, 200, 220, 255}, {255, 255, 255, 255}},
                         P::Dots,
                         {150, 30, 60, 255},
                         "Dotted Shirt",
                         "Navy",
                         "Berry",
                         900});
        looks.push_back({S::Long,
                         1.07f,
                         {{210, 170, 60, 255}, {110, 70, 40, 255}, {250, 240, 220, 255}},
                         P::Zigzag,
                         {120, 140, 170, 255},
                         "Zigzag Knit",
                         "Mustard",
                         "Slate",
                         1500});
        looks.push_back({S::Short,
                         1.0f,
                         {{120, 190, 230, 255}, {255, 255, 255, 255}, {30, 60, 120, 255}},
                         P::Band,
                         {250, 210, 60, 255},
                         "Sports Tee",
                         "Sky",
                         "Yellow",
                         1100});
    }
    return looks;
}

std::vector<BottomLook> BottomLooks(bool female)
{
    using W = LegWear;
    using P = Pattern;
    std::vector<BottomLook> looks = {
        {female ? W::Skirt : W::Trousers,
         female ? Palette{{90, 80, 160, 255}, {60, 50, 120, 255}, {230, 230, 240, 255}}
                : Palette{{60, 90, 150, 255}, {40, 60, 110, 255}, {200, 170, 90, 255}},
         female ? P::Dots : P::Denim, kRust, female ? "Dotted Skirt" : "Jeans", female ? "Violet" : "Indigo", "Rust",
         0},
        {female ? W::Trousers : W::Shorts,
         female ? Palette{{70, 100, 160, 255}, {50, 70, 120, 255}, {200, 170, 90, 255}}
                : Palette{{190, 170, 120, 255}, {150, 130, 90, 255}, {100, 80, 50, 255}},
         P::Plain, kRust, female ? "Trousers" : "Chino Shorts", female ? "Blue" : "Khaki", "Rust", 0},
        {female ? W::Shorts : W::Trousers,
         {{50, 50, 55, 255}, {30, 30, 30, 255}, {150, 150, 150, 255}},
         P::Plain,
         kRust,
         female ? "Shorts" : "Slacks",
         "Charcoal",
         "Rust",
         800},
    };
    if (female) {
        looks.push_back({W::Skirt,
                         {{40, 130, 130, 255}, {20, 80, 80, 255}, {250, 230, 150, 255}},
                         P::Zigzag,
                         {190, 90, 120, 255},
                         "Wave Skirt",
                         "Teal",
                         "Rose",
                         1100});
        looks.push_back({W::Skirt,
                         {{180, 40, 50, 255}, {40, 40, 60, 255}, {240, 210, 90, 255}},
                         P::Plaid,
                         {40, 100, 65, 255},
                         "Tartan Skirt",
                         "Red",
                         "Green",
                         1000});
        looks.push_back({W::Shorts,
                         {{110, 150, 210, 255}, {80, 110, 170, 255}, {240, 240, 240, 255}},
                         P::Denim,
                         {240, 240, 235, 255},
                         "Denim Shorts",
                         "Light Blue",
                         "White",
                         600});
        looks.push_back({W::Trousers,
                         {{240, 238, 230, 255}, {200, 200, 195, 255}, {120, 120, 120, 255}},
                         P::Plain,
                         {230, 200, 150, 255},
                         "Linen Trousers",
                         "White",
                         "Beige",
                         900});
    } else {
        looks.push_back({W::Shorts,
                         {{60, 100, 160, 255}, {30, 50, 90, 255}, {230, 230, 240, 255}},
                         P::Plaid,
                         {40, 120, 70, 255},
                         "Plaid Shorts",
                         "Blue",
                         "Green",
                         700});
        looks.push_back({W::Trousers,
                         {{150, 150, 150, 255}, {90, 90, 95, 255}, {255, 255, 255, 255}},
                         P::Checker,
                         {120, 90, 60, 255},
                         "Check Trousers",
                         "Grey",
                         "Brown",
                         1100});
        looks.push_back({W::Shorts,
                         {{120, 160, 210, 255}, {90, 120, 170, 255}, {240, 240, 240, 255}},
                         P::Denim,
                         {60, 60, 70, 255},
                         "Denim Shorts",
                         "Light Blue",
                         "Black",
                         600});
        looks.push_back({W::Trousers,
                         {{100, 110, 60, 255}, {70, 80, 40, 255}, {200, 180, 120, 255}},
                         P::Band,
                         {200, 180, 140, 255},
                         "Cargo Pants",
                         "Olive",
                         "Sand",
                         1000});
    }
    return looks;
}

std::vector<ShoeLook> ShoeLooks(bool female)
{
    using P = Pattern;
    std::vector<ShoeLook> looks = {
        {0.5f,
         {female ? Rgba{200, 40, 60, 255} : Rgba{235, 235, 235, 255}, {60, 40, 30, 255}, {200, 40, 40, 255}},
         P::Plain,
         kBlack,
         female ? "Flats" : "Canvas Shoes",
         female ? "Red" : "White",
         "Black",
         0},
        {4.5f,
         {{110, 70, 40, 255}, {50, 35, 25, 255}, {180, 150, 100, 255}},
         P::Plain,
         kBlack,
         "Ankle Boots",
         "Brown",
         "Black",
         0},
        {1.5f,
         {{60, 90, 200, 255}, {240, 240, 240, 255}, {250, 200, 60, 255}},
         P::Plain,
         kBlack,
         "Trainers",
         "Blue",
         "Black",
         700},
    };
    if (female) {
        looks.push_back({0.2f,
                         {{250, 200, 210, 255}, {200, 150, 160, 255}, {255, 255, 255, 255}},
                         P::Plain,
                         {215, 215, 225, 255},
                         "Ballet Flats",
                         "Pink",
                         "Silver",
                         700});
        looks.push_back({7.0f,
                         {{240, 235, 225, 255}, {120, 90, 60, 255}, {200, 170, 90, 255}},
                         P::Plain,
                         {40, 40, 45, 255},
                         "Tall Boots",
                         "Cream",
                         "Black",
                         1400});
        looks.push_back({3.0f,
                         {{120, 80, 200, 255}, {255, 255, 255, 255}, {255, 220, 80, 255}},
                         P::Stripes,
                         {250, 150, 40, 255},
                         "High-tops",
                         "Purple",
                         "Orange",
                         1100});
    } else {
        looks.push_back({0.2f,
                         {{200, 160, 110, 255}, {90, 60, 40, 255}, {60, 40, 30, 255}},
                         P::Plain,
                         {60, 40, 35, 255},
                         "Loafers",
                         "Tan",
                         "Espresso",
                         800});
        looks.push_back({3.0f,
                         {{200, 40, 40, 255}, {250, 250, 250, 255}, {250, 250, 250, 255}},
                         P::Checker,
                         {40, 140, 80, 255},
                         "High-tops",
                         "Red Check",
                         "Green Check",
                         1200});
        looks.push_back({7.0f,
                         {{50, 50, 55, 255}, {20, 20, 20, 255}, {200, 170, 90, 255}},
                         P::Plain,
                         {120, 80, 50, 255},
                         "Tall Boots",
                         "Black",
                         "Brown",
                         1400});
    }
    return looks;
}

// Things held in the right hand and things worn on the head are the same for both kinds.
std::vector<HeldLook> HeldLooks()
{
    return {
        {HeldThing::Flower, {{240, 80, 120, 255}, {60, 140, 60, 255}, {250, 220, 60, 255}}, "Flower", "Pink", 0},
        {HeldThing::IceCream,
         {{250, 240, 220, 255}, {210, 160, 90, 255}, {230, 120, 150, 255}},
         "Ice Cream",
         "Vanilla",
         0},
        {HeldThing::Balloon, {{230, 50, 60, 255}, {240, 240, 240, 255}, {255, 255, 255, 255}}, "Balloon", "Red", 500},
        {HeldThing::Lollipop,
         {{250, 90, 150, 255}, {250, 250, 250, 255}, {250, 230, 80, 255}},
         "Lollipop",
         "Berry",
         400},
        {HeldThing::StarWand,
         {{250, 205, 60, 255}, {235, 235, 245, 255}, {255, 255, 255, 255}},
         "Star Wand",
         "Gold",
         900},
        {HeldThing::Balloon, {{60, 120, 230, 255}, {240, 240, 240, 255}, {255, 255, 255, 255}}, "Balloon", "Blue", 500},
    };
}

std::vector<HeadLook> HeadLooks()
{
    return {
        {HeadThing::Cap,
         {{40, 90, 170, 255}, {30, 60, 120, 255}, {255, 255, 255, 255}},
         Pattern::Plain,
         "Baseball Cap",
         "Blue",
         0},
        {HeadThing::Ribbon,
         {{230, 60, 110, 255}, {200, 40, 90, 255}, {255, 230, 120, 255}},
         Pattern::Dots,
         "Ribbon",
         "Pink",
         0},
        {HeadThing::Crown,
         {{240, 200, 60, 255}, {200, 150, 30, 255}, {80, 160, 230, 255}},
         Pattern::Dots,
         "Crown",
         "Gold",
         2000},
        {HeadThing::Beanie,
         {{200, 60, 50, 255}, {240, 240, 240, 255}, {255, 255, 255, 255}},
         Pattern::Stripes,
         "Knit Beanie",
         "Red",
         800},
        {HeadThing::Headband,
         {{60, 170, 120, 255}, {40, 120, 90, 255}, {255, 230, 120, 255}},
         Pattern::Dots,
         "Headband",
         "Green",
         500},
        {HeadThing::SunHat,
         {{225, 200, 140, 255}, {150, 110, 60, 255}, {200, 60, 60, 255}},
         Pattern::Plain,
         "Straw Hat",
         "Natural",
         1200},
    };
}

const char* SleeveText(SleeveLength sleeves)
{
    switch (sleeves) {
    case SleeveLength::Short: return "Short sleeves";
    case SleeveLength::Long: return "Long sleeves";
    case SleeveLength::None: return "Sleeveless";
    }
    return "";
}

const char* LegText(LegWear wear)
{
    switch (wear) {
    case LegWear::Trousers: return "Full length";
    case LegWear::Shorts: return "Above the knee";
    case LegWear::Skirt: return "Flared skirt";
    }
    return "";
}

const char* ShoeText(float height)
{
    return height < 1 ? "Low cut" : height < 2 ? "Sporty" : height < 5 ? "Ankle high" : "Calf high";
}

} // namespace

std::vector<ItemRecipe> ItemRecipes()
{
    std::vector<ItemRecipe> r;
    auto add = [&r](int gender, int category, int number, std::function<ItemFile(const Skeleton&)> build, Painter paint,
                    Painter variant, ImageFormat variantFormat, ShopEntry shop) {
        r.push_back({gender, category, number, std::move(build), std::move(paint), std::move(variant), F::Png,
                     variantFormat, std::move(shop)});
    };
    for (int gender = 1; gender <= 2; ++gender) {
        bool female = gender == 2;
        Skeleton k = Skeleton::Build(female ? FemaleBody() : MaleBody());
        auto wardrobe = [female](const char* what) {
            return [what, female](const char* colour) {
                return std::string(what) + " in " + colour + " for " + (female ? "her" : "his") + " wardrobe.";
            };
        };

        // Hair, and the face that goes with each hair (the client pairs them by number).
        std::vector<HairLook> hairs = HairLooks(female);
        for (int n = 0; n < static_cast<int>(hairs.size()); ++n) {
            HairLook look = hairs[n];
            add(
                gender, kHairCategory, n, [look](const Skeleton& s) { return Build(Hair(s, look.style)); },
                [look, n](Image& i, Studio&) { PaintHair(i, look.colour, 40u + n); },
                [look, n](Image& i, Studio&) { PaintHair(i, look.variant, 50u + n); }, n == 2 ? F::Tga : F::Png,
                Entry(
                    look.styleName, look.colourName, look.variantName, "Hair style",
                    [&look](const char* colour) {
                        return std::string(look.styleName) + " in " + colour + ". The face with " + look.eyesName +
                               " comes with it.";
                    },
                    Price(n, look.price), look.price + 300));
        }
        for (int n = 0; n < static_cast<int>(hairs.size()); ++n) {
            HairLook look = hairs[n];
            Rgba lips = female ? Rgba{200, 70, 90, 255} : Rgba{170, 90, 85, 255};
            ShopEntry face;
            face.name = "Face " + std::to_string(n + 1) + " (" + look.eyesName + ")";
            face.text = "Goes with its hair";
            face.description = "The face that comes with hair number " + std::to_string(n) + ".";
            add(
                gender, kFaceCategory, n, [](const Skeleton& s) { return FaceItem(s); },
                [k, look, lips, female](Image& i, Studio&) {
                    PaintFace(i, k, look.eyes, Shade(look.colour, 0.8f), lips, female);
                },
                {}, F::Png, face);
        }

        // Upper body.
        std::vector<TopLook> tops = TopLooks(female);
        for (int n = 0; n < static_cast<int>(tops.size()); ++n) {
            TopLook look = tops[n];
            add(
                gender, kUpperCategory, n,
                [look](const Skeleton& s) { return UpperBodyItem(s, look.sleeves, look.bulk); },
                Atlas(look.palette, look.pattern, 60u + n),
                Atlas(Recolour(look.palette, look.variant), look.pattern, 70u + n), n == 0 ? F::Jpeg : F::Png,
                Entry(look.what, look.colourName, look.variantName, SleeveText(look.sleeves), wardrobe(look.what),
                      Price(n, look.price), look.price + 200));
        }

        // Lower body, with the shadow under the feet.
        std::vector<BottomLook> bottoms = BottomLooks(female);
        for (int n = 0; n < static_cast<int>(bottoms.size()); ++n) {
            BottomLook look = bottoms[n];
            add(
                gender, kLowerCategory, n, [look](const Skeleton& s) { return LowerBodyItem(s, look.wear); },
                Atlas(look.palette, look.pattern, 80u + n),
                Atlas(Recolour(look.palette, look.variant), look.pattern, 90u + n), F::Png,
                Entry(look.what, look.colourName, look.variantName, LegText(look.wear), wardrobe(look.what),
                      Price(n, look.price), look.price + 200));
        }

        // Footwear.
        std::vector<ShoeLook> shoes = ShoeLooks(female);
        for (int n = 0; n < static_cast<int>(shoes.size()); ++n) {
            ShoeLook look = shoes[n];
            add(
                gender, kFootwearCategory, n, [look](const Skeleton& s) { return Build(Shoes(s, look.height)); },
                Atlas(look.palette, look.pattern, 100u + n),
                Atlas(Recolour(look.palette, look.variant), look.pattern, 110u + n), n == 1 ? F::Bmp : F::Png,
                Entry(look.what, look.colourName, look.variantName, ShoeText(look.height), wardrobe(look.what),
                      Price(n, look.price), look.price + 200));
        }

        // Things held in the right hand, and things worn on the head.
        std::vector<HeldLook> held = HeldLooks();
        for (int n = 0; n < static_cast<int>(held.size()); ++n) {
            HeldLook look = held[n];
            add(
                gender, kHandCategory, n, [look](const Skeleton& s) { return Build(HandItem(s, look.thing)); },
                Atlas(look.palette, Pattern::Plain, 120u + n), {}, F::Png,
                Entry(
                    look.what, look.colourName, nullptr, "Held in the right hand",
                    [&look](const char* colour) {
                        return std::string(look.what) + " in " + colour + " to carry in the right hand.";
                    },
                    Price(n, look.price), 0));
        }
        std::vector<HeadLook> worn = HeadLooks();
        for (int n = 0; n < static_cast<int>(worn.size()); ++n) {
            HeadLook look = worn[n];
            add(
                gender, kHairItemCategory, n, [look](const Skeleton& s) { return Build(HairItem(s, look.thing)); },
                Atlas(look.palette, look.pattern, 130u + n), {}, F::Png,
                Entry(
                    look.what, look.colourName, nullptr, "Worn on the head",
                    [&look](const char* colour) {
                        return std::string(look.what) + " in " + colour + " to wear on the head.";
                    },
                    Price(n, look.price), 0));
        }
    }
    return r;
}

} // namespace world
