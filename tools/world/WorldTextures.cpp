#include "WorldTextures.h"

#include "Painters.h"

#include <cstdio>

namespace world {

namespace {

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

std::string Numbered(const char* format, int n)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, n);
    return buffer;
}

// Chat theme colours shared by the balloons of both kinds (one per theme 1..5).
constexpr Rgba kThemeColours[5] = {
    {255, 196, 64, 255}, {120, 200, 255, 255}, {255, 140, 180, 255}, {140, 220, 120, 255}, {190, 160, 255, 255},
};

void PaintBalloon(Image& image, Rgba border, Rgba fill)
{
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            image.At(x, y) = {fill.r, fill.g, fill.b, 0};
    float w = static_cast<float>(image.Width()), h = static_cast<float>(image.Height());
    float tail = h * 0.22f;
    RoundedRect(image, 2, 2, w - 2, h - tail, h * 0.2f, border);
    RoundedRect(image, 6, 6, w - 6, h - tail - 4, h * 0.16f, fill);
    Triangle(image, w * 0.42f, h - tail - 6, w * 0.58f, h - tail - 6, w * 0.5f, h - 2, border);
    Triangle(image, w * 0.45f, h - tail - 8, w * 0.55f, h - tail - 8, w * 0.5f, h - 9, fill);
}

const char* const kBoardWords[10] = {"여행", "음악", "영화", "게임", "요리", "스포츠", "독서", "동물", "패션", "친구"};
const char* const kBoardWordsLatin[10] = {"Reisen", "Musik", "Film",  "Spiele", "Kochen",
                                          "Sport",  "Lesen", "Tiere", "Mode",   "Freunde"};

void PaintBoardPicture(Image& image, Studio& studio, int number, const char* word)
{
    Rgba top = Mix(kThemeColours[number % 5], kWhite, 0.35f);
    Rgba bottom = Shade(kThemeColours[(number + 2) % 5], 0.7f);
    VerticalGradient(image, top, bottom);
    for (int i = 0; i < 6; ++i)
        Disc(image, 30.0f + 45 * i, 40.0f + 25 * ((i * 7 + number) % 4), 10.0f + (i + number) % 3 * 6,
             {255, 255, 255, 70});
    RoundedRect(image, 16, image.Height() - 84.0f, image.Width() - 16.0f, image.Height() - 16.0f, 14, {0, 0, 0, 110});
    studio.Text().DrawCentred(image, word, 40, image.Width() / 2.0f, image.Height() - 50.0f, kWhite);
    studio.Text().DrawCentred(image, std::to_string(number), 64, image.Width() / 2.0f, 80, {255, 255, 255, 200});
}

void PaintTile(Image& image, Rgba base)
{
    RadialGradient(image, image.Width() / 2.0f, image.Height() / 2.0f, image.Width() * 0.75f, Mix(base, kWhite, 0.25f),
                   Shade(base, 0.8f));
    FillRect(image, 0, 0, image.Width(), 3, Shade(base, 0.55f));
    FillRect(image, 0, image.Height() - 3, image.Width(), image.Height(), Shade(base, 0.55f));
    FillRect(image, 0, 0, 3, image.Height(), Shade(base, 0.55f));
    FillRect(image, image.Width() - 3, 0, image.Width(), image.Height(), Shade(base, 0.55f));
}

void PaintLeaves(Image& image, std::uint32_t seed, Rgba leaf)
{
    // Black is the colour key: everything not painted is cut away.
    FillRect(image, 0, 0, image.Width(), image.Height(), kBlack);
    Random random(seed);
    float w = static_cast<float>(image.Width()), h = static_cast<float>(image.Height());
    for (int i = 0; i < 90; ++i) {
        float x = random.Range(w * 0.15f, w * 0.85f), y = random.Range(h * 0.05f, h * 0.75f);
        Disc(image, x, y, random.Range(5, 11), Shade(leaf, random.Range(0.7f, 1.2f)));
    }
    Line(image, w / 2, h * 0.55f, w / 2, h, 7, {110, 70, 40, 255});
    // Anti-aliased edges must not blend toward black, or the key leaves dark fringes half cut.
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            Rgba& p = image.At(x, y);
            if (p.r + p.g + p.b < 60)
                p = kBlack;
            else if (p.r == 0 && p.g == 0 && p.b == 0)
                p.g = 1;
        }
}

} // namespace

BoardStep BoardDirection(int direction)
{
    switch (direction) {
    case 1: return {-1, 1};
    case 2: return {0, 1};
    case 3: return {1, 1};
    case 4: return {-1, 0};
    case 6: return {1, 0};
    case 7: return {-1, -1};
    case 8: return {0, -1};
    case 9: return {1, -1};
    default: return {0, 0};
    }
}

std::vector<TextureRecipe> WorldTextureRecipes()
{
    using F = ImageFormat;
    std::vector<TextureRecipe> r = {
        {"FloorWood.KRT", 128, 128, F::Png,
         [](Image& i, Studio&) {
             Planks(i, 16, {170, 118, 70, 255}, 3);
         }},
        {"FloorTile.KRT", 128, 128, F::Jpeg,
         [](Image& i, Studio&) {
             Tiles(i, 32, {232, 226, 214, 255}, {200, 190, 172, 255}, {150, 140, 130, 255});
         }},
        {"Carpet.KRT", 128, 128, F::Jpeg,
         [](Image& i, Studio&) {
             Checker(i, 16, {150, 40, 50, 255}, {130, 30, 45, 255});
             Ring(i, 64, 64, 40, 6, {220, 180, 90, 255});
             Grain(i, 5, 0.08f);
         }},
        {"Grass.KRT", 128, 128, F::Jpeg,
         [](Image& i, Studio&) {
             FillRect(i, 0, 0, 128, 128, {86, 150, 70, 255});
             Grain(i, 9, 0.25f, 2);
         }},
        {"Paving.KRT", 128, 128, F::Bmp,
         [](Image& i, Studio&) {
             Bricks(i, 64, 32, {170, 165, 155, 255}, {110, 105, 100, 255});
         }},
        {"Road.KRT", 64, 64, F::Jpeg,
         [](Image& i, Studio&) {
             FillRect(i, 0, 0, 64, 64, {80, 80, 86, 255});
             Grain(i, 21, 0.15f);
             FillRect(i, 30, 0, 34, 28, {235, 220, 120, 255});
         }},
        {"WallPaper.KRT", 128, 128, F::Png,
         [](Image& i, Studio&) {
             Stripes(i, 16, {236, 224, 196, 255}, {222, 206, 176, 255}, true);
             FillRect(i, 0, 100, 128, 128, {150, 110, 80, 255});
             FillRect(i, 0, 98, 128, 101, {90, 60, 40, 255});
         }},
        {"WallBrick.KRT", 128, 128, F::Bmp,
         [](Image& i, Studio&) {
             Bricks(i, 32, 16, {168, 84, 60, 255}, {200, 190, 180, 255});
         }},
        {"WallPlaster.KRT", 128, 128, F::Jpeg,
         [](Image& i, Studio&) {
             VerticalGradient(i, {240, 238, 230, 255}, {205, 215, 225, 255});
             Grain(i, 17, 0.05f, 2);
         }},
        {"Wood.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             Planks(i, 64, {150, 96, 56, 255}, 12);
         }},
        {"FabricRed.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             FillRect(i, 0, 0, 64, 64, {190, 50, 60, 255});
             Grain(i, 31, 0.1f);
         }},
        {"FabricBlue.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             Checker(i, 8, {60, 90, 170, 255}, {70, 104, 186, 255});
         }},
        {"FabricGreen.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             Stripes(i, 6, {70, 140, 90, 255}, {90, 160, 110, 255}, false);
         }},
        {"Metal.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             VerticalGradient(i, {220, 222, 228, 255}, {120, 124, 132, 255});
         }},
        {"Glass.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             for (int y = 0; y < 64; ++y)
                 for (int x = 0; x < 64; ++x)
                     i.At(x, y) = {170, 210, 240, 96};
             Line(i, 8, 56, 30, 8, 5, {255, 255, 255, 150});
             Line(i, 24, 60, 44, 18, 3, {255, 255, 255, 110});
             FillRect(i, 0, 0, 64, 3, {90, 70, 50, 255});
             FillRect(i, 0, 61, 64, 64, {90, 70, 50, 255});
             FillRect(i, 0, 0, 3, 64, {90, 70, 50, 255});
             FillRect(i, 61, 0, 64, 64, {90, 70, 50, 255});
             FillRect(i, 30, 0, 34, 64, {90, 70, 50, 255});
         }},
        {"Plant.KRT", 64, 128, F::Bmp,
         [](Image& i, Studio&) {
             PaintLeaves(i, 77, {60, 150, 60, 255});
         }},
        {"Tree.KRT", 128, 128, F::Bmp,
         [](Image& i, Studio&) {
             PaintLeaves(i, 99, {50, 120, 50, 255});
         }},
        {"FanBlade.KRT", 32, 32, F::Png,
         [](Image& i, Studio&) {
             VerticalGradient(i, {240, 240, 235, 255}, {190, 180, 160, 255});
         }},
        {"Light.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             RadialGradient(i, 32, 32, 44, {255, 255, 255, 255}, {150, 150, 160, 255});
         }},
        {"Roof.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             Bricks(i, 16, 8, {180, 70, 50, 255}, {120, 45, 35, 255});
         }},
        {"HouseWall.KRT", 128, 128, F::Jpeg,
         [](Image& i, Studio&) {
             FillRect(i, 0, 0, 128, 128, {236, 226, 200, 255});
             FillRect(i, 20, 30, 52, 70, {90, 140, 200, 255});
             FillRect(i, 76, 30, 108, 70, {90, 140, 200, 255});
             FillRect(i, 48, 80, 80, 128, {120, 80, 50, 255});
             Grain(i, 41, 0.04f);
         }},
        {"Water.KRT", 64, 64, F::Jpeg,
         [](Image& i, Studio&) {
             VerticalGradient(i, {90, 160, 220, 255}, {40, 100, 180, 255});
             for (int k = 0; k < 4; ++k)
                 Line(i, 4, 10.0f + 15 * k, 60, 14.0f + 15 * k, 2, {220, 240, 255, 140});
         }},
        {"Books.KRT", 128, 64, F::Png,
         [](Image& i, Studio&) {
             FillRect(i, 0, 0, 128, 64, {100, 70, 45, 255});
             Random random(5);
             for (int x = 2; x < 126;) {
                 int w = 4 + static_cast<int>(random.Next() % 6);
                 Rgba c = kThemeColours[random.Next() % 5];
                 FillRect(i, x, 4 + static_cast<int>(random.Next() % 8), x + w, 60, Shade(c, 0.8f));
                 x += w + 1;
             }
         }},
        {"Board.KRT", 256, 128, F::Jpeg,
         [](Image& i, Studio& s) {
             FillRect(i, 0, 0, 256, 128, {40, 80, 60, 255});
             Grain(i, 3, 0.06f);
             s.Text().DrawCentred(i, "오늘의 주제", 30, 128, 64, {240, 240, 230, 255});
         }},
        {"PfTile.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             PaintTile(i, {210, 200, 170, 255});
         }},
        {"PfGoal.KRT", 64, 64, F::Png,
         [](Image& i, Studio& s) {
             PaintTile(i, {250, 210, 60, 255});
             s.Text().DrawCentred(i, "GOAL", 18, 32, 32, {120, 40, 20, 255});
         }},
        {"PfWrong.KRT", 64, 64, F::Png,
         [](Image& i, Studio&) {
             PaintTile(i, {220, 80, 70, 255});
             Line(i, 14, 14, 50, 50, 8, kWhite);
             Line(i, 50, 14, 14, 50, 8, kWhite);
         }},
        {"Sign.KRT", 128, 64, F::Png,
         [](Image& i, Studio& s) {
             VerticalGradient(i, {60, 50, 110, 255}, {30, 25, 60, 255});
             s.Text().DrawCentred(i, "Yonda", 30, 64, 32, {255, 220, 120, 255});
         }},
        {"1.krt", 64, 48, F::Png,
         [](Image& i, Studio&) {
             PaintBalloon(i, {90, 90, 90, 255}, {255, 255, 255, 235});
         }},
        {"MyBalloon.krt", 64, 48, F::Png,
         [](Image& i, Studio&) {
             PaintBalloon(i, {40, 120, 200, 255}, {235, 245, 255, 240});
         }},
        {"SubjectQuestion.KRT", 128, 64, F::Png,
         [](Image& i, Studio&) {
             PaintBalloon(i, {80, 60, 30, 255}, {255, 250, 220, 245});
         }},
    };
    for (int theme = 1; theme <= 5; ++theme) {
        Rgba colour = kThemeColours[theme - 1];
        r.push_back({Numbered("MyBalloon%d.KRT", theme), 64, 48, F::Png, [colour](Image& i, Studio&) {
                         PaintBalloon(i, Shade(colour, 0.7f), Mix(colour, kWhite, 0.75f));
                     }});
        r.push_back({Numbered("OtherBalloon%d-1.KRT", theme), 64, 48, F::Png, [colour](Image& i, Studio&) {
                         PaintBalloon(i, Shade(colour, 0.5f), {255, 255, 255, 235});
                     }});
    }
    for (int n = 1; n <= 10; ++n) {
        r.push_back({Numbered("%03d.krt", n), 256, 256, F::Jpeg,
                     [n](Image& i, Studio& s) { PaintBoardPicture(i, s, n, kBoardWords[n - 1]); }});
        r.push_back({Numbered("G%03d.krt", n), 256, 256, F::Jpeg,
                     [n](Image& i, Studio& s) { PaintBoardPicture(i, s, n, kBoardWordsLatin[n - 1]); }});
    }
    for (int d = 1; d <= 9; ++d) {
        if (d == 5) {
            r.push_back({"PfArrow5.KRT", 64, 64, F::Png, [](Image& i, Studio&) {
                             PaintTile(i, {120, 200, 110, 255});
                             Ring(i, 32, 32, 18, 7, kWhite);
                         }});
            continue;
        }
        BoardStep step = BoardDirection(d);
        // Texture x follows the board's rows (scene +x), texture y runs against its columns (scene +z).
        r.push_back({Numbered("PfArrow%d.KRT", d), 64, 64, F::Png, [step](Image& i, Studio&) {
                         PaintTile(i, {110, 170, 230, 255});
                         Arrow(i, static_cast<float>(step.row), static_cast<float>(-step.column), kWhite);
                     }});
    }
    const char* const signWords[3] = {"Welcome", "환영합니다", "Yonda Town"};
    for (int n = 1; n <= 3; ++n) {
        const char* word = signWords[n - 1];
        r.push_back({Numbered("Sign%d.tga", n), 128, 64, F::Tga, [word, n](Image& i, Studio& s) {
                         for (int y = 0; y < 64; ++y)
                             for (int x = 0; x < 128; ++x)
                                 i.At(x, y) = {0, 0, 0, 0};
                         RoundedRect(i, 2, 2, 126, 62, 10, Mix(kThemeColours[n], kBlack, 0.4f));
                         s.Text().DrawCentred(i, word, 22, 64, 32, kWhite);
                     }});
    }
    return r;
}

std::vector<TextureList> WorldTextureLists()
{
    return {{"Sign.txt", {"Sign1.tga", "Sign2.tga", "Sign3.tga"}}};
}

std::string TextureListText(const TextureList& list)
{
    std::string text;
    for (const std::string& frame : list.frames)
        text += frame + "\n";
    return text;
}

} // namespace world
