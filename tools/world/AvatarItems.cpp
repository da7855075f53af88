#include "AvatarItems.h"

#include "AvatarParts.h"
#include "KraWriter.h"
#include "Painters.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace world {

namespace {

constexpr Rgba kSkin{241, 200, 170, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

struct Palette {
    Rgba main, trim, accent;
};

enum class Pattern { Plain, Stripes, Checker, Denim, Dots, Logo };

int Px(float u, const Image& image) { return static_cast<int>(u * image.Width()); }
int Py(float v, const Image& image) { return static_cast<int>(v * image.Height()); }

void FillUv(Image& image, const UvRect& r, Rgba c)
{
    FillRect(image, Px(r.u0, image), Py(r.v0, image), Px(r.u1, image) + 1, Py(r.v1, image) + 1, c);
}

// The layout every item texture shares: the main area, the skin, trim and accent swatches and the
// soft shadow that the lower body lays under the feet.
void PaintAtlas(Image& image, Studio& studio, const Palette& p, Pattern pattern, std::uint32_t seed)
{
    int h = Py(kAtlas.main.v1, image) + 1;
    FillRect(image, 0, 0, image.Width(), image.Height(), Shade(p.main, 0.8f));
    FillRect(image, 0, 0, image.Width(), h, p.main);
    switch (pattern) {
    case Pattern::Plain:
        break;
    case Pattern::Stripes:
        for (int y = 0; y < h; ++y)
            if ((y / 6) % 3 == 0)
                FillRect(image, 0, y, image.Width(), y + 1, p.trim);
        break;
    case Pattern::Checker:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x)
                if (((x / 10) + (y / 10)) % 2)
                    image.At(x, y) = Mix(p.main, p.trim, 0.5f);
        break;
    case Pattern::Denim:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x)
                if ((x + y) % 4 == 0)
                    image.At(x, y) = Shade(p.main, 1.15f);
        break;
    case Pattern::Dots:
        for (int y = 6; y < h; y += 14)
            for (int x = 6 + (y / 14 % 2) * 7; x < image.Width(); x += 14)
                Disc(image, static_cast<float>(x), static_cast<float>(y), 3, p.accent);
        break;
    case Pattern::Logo:
        studio.Text().DrawCentred(image, "YONDA", 18, image.Width() / 2.0f, h * 0.55f, p.accent);
        break;
    }
    if (pattern != Pattern::Logo) {
        // A little cloth grain, the same on every run.
        Image grain(image.Width(), h, {128, 128, 128, 255});
        Grain(grain, seed, 0.06f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < image.Width(); ++x)
                image.At(x, y) = Shade(image.At(x, y), grain.At(x, y).r / 128.0f);
    }
    FillUv(image, kAtlas.skin, kSkin);
    FillUv(image, kAtlas.trim, p.trim);
    FillUv(image, kAtlas.accent, p.accent);
    int x0 = Px(kAtlas.shadow.u0, image), y0 = Py(kAtlas.shadow.v0, image);
    int x1 = Px(kAtlas.shadow.u1, image), y1 = Py(kAtlas.shadow.v1, image);
    float cx = (x0 + x1) / 2.0f, cy = (y0 + y1) / 2.0f, radius = (x1 - x0) / 2.0f;
    // A clear margin round the shadow: filtering at the panel's edges reads a texel beyond them,
    // and an opaque one there would draw the panel's outline on the floor.
    constexpr int kMargin = 2;
    for (int y = std::max(y0 - kMargin, 0); y < std::min(y1 + kMargin, image.Height()); ++y)
        for (int x = std::max(x0 - kMargin, 0); x < std::min(x1 + kMargin, image.Width()); ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / radius;
            float a = std::clamp(1 - d, 0.0f, 1.0f);
            image.At(x, y) = {0, 0, 0, static_cast<std::uint8_t>(150 * a * a)};
        }
}

std::function<void(Image&, Studio&)> Atlas(Palette p, Pattern pattern, std::uint32_t seed)
{
    return [p, pattern, seed](Image& image, Studio& studio) { PaintAtlas(image, studio, p, pattern, seed); };
}

Palette Recolour(Palette p, Rgba main)
{
    p.main = main;
    return p;
}

// The face wrapped on its sphere: every pixel is turned back into a point of the head and the
// eyes, cheeks and nose shade are painted where the geometry puts them.
void PaintFace(Image& image, const Skeleton& k, Rgba eyes, Rgba brows, Rgba lips, bool lashes)
{
    float s = k.shape.height / 50.0f;
    float r = k.HeadRadius();
    Vec3 radii{r * 0.9f, r * 1.05f, r};
    float eyeX = 1.25f * s, eyeY = 0.35f * s, eyeH = 0.95f * s, eyeW = 0.75f * s;
    FillRect(image, 0, 0, image.Width(), image.Height(), kSkin);
    for (int y = 0; y < Py(0.7f, image); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            float lon = ((x + 0.5f) / image.Width() - 0.5f) * 2 * kPi;
            float lat = (y + 0.5f) / image.Height() / 0.7f * kPi;
            Vec3 p{std::sin(lat) * std::sin(lon) * radii.x, std::cos(lat) * radii.y, -std::sin(lat) * std::cos(lon) * radii.z};
            if (p.z > 0)
                continue;
            Rgba c = kSkin;
            for (float side : {-1.0f, 1.0f}) {
                float ex = (p.x - side * eyeX) / eyeW, ey = (p.y - eyeY) / (eyeH / 2);
                float e = ex * ex + ey * ey;
                if (e < 1) {
                    c = {250, 250, 250, 255};
                    float ix = (p.x - side * eyeX) / (eyeH * 0.42f), iy = (p.y - eyeY) / (eyeH * 0.42f);
                    float i = ix * ix + iy * iy;
                    if (i < 1)
                        c = i < 0.3f ? Rgba{20, 20, 25, 255} : eyes;
                } else if (lashes && e < 1.35f && p.y > eyeY) {
                    c = Shade(brows, 0.6f);
                }
                float bx = (p.x - side * 1.7f * s) / (0.8f * s), by = (p.y + 0.55f * s) / (0.55f * s);
                float b = bx * bx + by * by;
                if (b < 1)
                    c = Mix(c, {240, 150, 150, 255}, 0.35f * (1 - b));
            }
            float nx = p.x / (0.35f * s), ny = (p.y + 0.75f * s) / (0.3f * s);
            if (nx * nx + ny * ny < 1)
                c = Shade(c, 0.88f);
            image.At(x, y) = c;
        }
    FillUv(image, kAtlas.skin, kSkin);
    FillUv(image, kAtlas.trim, brows);
    FillUv(image, kAtlas.accent, lips);
}

void PaintHair(Image& image, Rgba colour, std::uint32_t seed)
{
    Random random(seed);
    FillRect(image, 0, 0, image.Width(), image.Height(), colour);
    for (int x = 0; x < image.Width(); ++x) {
        float tone = random.Range(0.8f, 1.15f);
        for (int y = 0; y < image.Height(); ++y)
            image.At(x, y) = Shade(colour, tone + 0.05f * std::sin(y * 0.3f));
    }
    FillUv(image, kAtlas.skin, kSkin);
    FillUv(image, kAtlas.trim, Shade(colour, 0.7f));
    FillUv(image, kAtlas.accent, Shade(colour, 1.2f));
}

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

using Painter = std::function<void(Image&, Studio&)>;

ItemRecipe Item(int gender, int category, int number, std::function<ItemFile(const Skeleton&)> build, Painter paint,
                Painter variant = {}, ImageFormat format = ImageFormat::Png, ImageFormat variantFormat = ImageFormat::Png)
{
    return {gender, category, number, std::move(build), std::move(paint), std::move(variant), format, variantFormat};
}

} // namespace

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

std::vector<ItemRecipe> ItemRecipes()
{
    using F = ImageFormat;
    std::vector<ItemRecipe> r;
    for (int gender = 1; gender <= 2; ++gender) {
        bool female = gender == 2;
        Skeleton k = Skeleton::Build(female ? FemaleBody() : MaleBody());

        // Hair, and the face that goes with each hair (the client pairs them by number).
        struct HairLook {
            HairStyle style;
            Rgba colour, eyes;
        };
        const HairLook hairs[3] = {
            {female ? HairStyle::Bob : HairStyle::Short, {45, 35, 30, 255}, {90, 60, 40, 255}},
            {female ? HairStyle::Ponytail : HairStyle::Spiky, {120, 75, 40, 255}, {60, 110, 60, 255}},
            {female ? HairStyle::Buns : HairStyle::Long, {200, 160, 90, 255}, {60, 100, 170, 255}},
        };
        for (int n = 0; n < 3; ++n) {
            HairLook look = hairs[n];
            r.push_back(Item(
                gender, kHairCategory, n, [look](const Skeleton& s) { return Build(Hair(s, look.style)); },
                [look, n](Image& i, Studio&) { PaintHair(i, look.colour, 40u + n); },
                [look, n](Image& i, Studio&) { PaintHair(i, Mix(look.colour, {170, 40, 60, 255}, 0.6f), 50u + n); },
                F::Png, n == 2 ? F::Tga : F::Png));
            Rgba lips = female ? Rgba{200, 70, 90, 255} : Rgba{170, 90, 85, 255};
            r.push_back(Item(
                gender, kFaceCategory, n, [](const Skeleton& s) { return FaceItem(s); },
                [k, look, lips, female](Image& i, Studio&) {
                    PaintFace(i, k, look.eyes, Shade(look.colour, 0.8f), lips, female);
                }));
        }

        // Upper body: a shirt, a sweater and a logo shirt.
        const Palette tops[3] = {
            female ? Palette{{240, 150, 180, 255}, {255, 255, 255, 255}, {200, 60, 110, 255}}
                   : Palette{{70, 110, 190, 255}, {230, 230, 240, 255}, {250, 200, 60, 255}},
            female ? Palette{{245, 210, 90, 255}, {200, 150, 40, 255}, {255, 255, 255, 255}}
                   : Palette{{190, 50, 50, 255}, {120, 30, 30, 255}, {255, 255, 255, 255}},
            Palette{{235, 235, 230, 255}, {60, 60, 70, 255}, {40, 120, 200, 255}},
        };
        const Pattern topPatterns[3] = {Pattern::Stripes, Pattern::Checker, Pattern::Logo};
        for (int n = 0; n < 3; ++n) {
            SleeveLength sleeves = n == 1 ? SleeveLength::Long : SleeveLength::Short;
            float bulk = n == 1 ? 1.07f : 1.0f;
            Palette p = tops[n];
            r.push_back(Item(gender, kUpperCategory, n,
                             [sleeves, bulk](const Skeleton& s) { return UpperBodyItem(s, sleeves, bulk); },
                             Atlas(p, topPatterns[n], 60u + n),
                             Atlas(Recolour(p, {80, 170, 120, 255}), topPatterns[n], 70u + n), F::Png,
                             n == 0 ? F::Jpeg : F::Png));
        }

        // Lower body (with the shadow under the feet): the default, then two more.
        const LegWear wears[3] = {female ? LegWear::Skirt : LegWear::Trousers, female ? LegWear::Trousers : LegWear::Shorts,
                                  female ? LegWear::Shorts : LegWear::Trousers};
        const Palette bottoms[3] = {
            female ? Palette{{90, 80, 160, 255}, {60, 50, 120, 255}, {230, 230, 240, 255}}
                   : Palette{{60, 90, 150, 255}, {40, 60, 110, 255}, {200, 170, 90, 255}},
            female ? Palette{{70, 100, 160, 255}, {50, 70, 120, 255}, {200, 170, 90, 255}}
                   : Palette{{190, 170, 120, 255}, {150, 130, 90, 255}, {100, 80, 50, 255}},
            Palette{{50, 50, 55, 255}, {30, 30, 30, 255}, {150, 150, 150, 255}},
        };
        const Pattern bottomPatterns[3] = {female ? Pattern::Dots : Pattern::Denim, Pattern::Plain, Pattern::Plain};
        for (int n = 0; n < 3; ++n) {
            LegWear wear = wears[n];
            Palette p = bottoms[n];
            r.push_back(Item(gender, kLowerCategory, n, [wear](const Skeleton& s) { return LowerBodyItem(s, wear); },
                             Atlas(p, bottomPatterns[n], 80u + n),
                             Atlas(Recolour(p, {140, 60, 60, 255}), bottomPatterns[n], 90u + n)));
        }

        // Footwear: low shoes, boots, trainers.
        const float heights[3] = {0.5f, 4.5f, 1.5f};
        const Palette shoes[3] = {Palette{female ? Rgba{200, 40, 60, 255} : Rgba{235, 235, 235, 255}, {60, 40, 30, 255}, {200, 40, 40, 255}},
                                  Palette{{110, 70, 40, 255}, {50, 35, 25, 255}, {180, 150, 100, 255}},
                                  Palette{{60, 90, 200, 255}, {240, 240, 240, 255}, {250, 200, 60, 255}}};
        for (int n = 0; n < 3; ++n) {
            float height = heights[n];
            r.push_back(Item(gender, kFootwearCategory, n, [height](const Skeleton& s) { return Build(Shoes(s, height)); },
                             Atlas(shoes[n], Pattern::Plain, 100u + n),
                             Atlas(Recolour(shoes[n], {30, 30, 30, 255}), Pattern::Plain, 110u + n), F::Png,
                             n == 1 ? F::Bmp : F::Png));
        }

        // Things held in the right hand, and things worn on the head.
        const HeldThing held[3] = {HeldThing::Flower, HeldThing::IceCream, HeldThing::Balloon};
        const Palette heldColours[3] = {Palette{{240, 80, 120, 255}, {60, 140, 60, 255}, {250, 220, 60, 255}},
                                        Palette{{250, 240, 220, 255}, {210, 160, 90, 255}, {230, 120, 150, 255}},
                                        Palette{{230, 50, 60, 255}, {240, 240, 240, 255}, {255, 255, 255, 255}}};
        const HeadThing worn[3] = {HeadThing::Cap, HeadThing::Ribbon, HeadThing::Crown};
        const Palette wornColours[3] = {Palette{{40, 90, 170, 255}, {30, 60, 120, 255}, {255, 255, 255, 255}},
                                        Palette{{230, 60, 110, 255}, {200, 40, 90, 255}, {255, 230, 120, 255}},
                                        Palette{{240, 200, 60, 255}, {200, 150, 30, 255}, {80, 160, 230, 255}}};
        for (int n = 0; n < 3; ++n) {
            HeldThing thing = held[n];
            HeadThing hat = worn[n];
            r.push_back(Item(gender, kHandCategory, n, [thing](const Skeleton& s) { return Build(HandItem(s, thing)); },
                             Atlas(heldColours[n], Pattern::Plain, 120u + n)));
            r.push_back(Item(gender, kHairItemCategory, n, [hat](const Skeleton& s) { return Build(HairItem(s, hat)); },
                             Atlas(wornColours[n], n == 0 ? Pattern::Plain : Pattern::Dots, 130u + n)));
        }
    }
    return r;
}

void GenerateAvatars(DataTree& tree, Studio& studio)
{
    for (const ItemRecipe& recipe : ItemRecipes()) {
        Skeleton k = Skeleton::Build(recipe.gender == 2 ? FemaleBody() : MaleBody());
        ItemFile item = recipe.build(k);
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
        tree.Add(kItemFolder + texture, BakeTexture({texture, 128, 128, recipe.format, recipe.paint}, studio));
        if (recipe.paintVariant) {
            std::string variant = ItemTextureName(recipe.gender, recipe.category, recipe.number, 1);
            tree.Add(kItemFolder + variant, BakeTexture({variant, 128, 128, recipe.variantFormat, recipe.paintVariant}, studio));
        }
    }

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
