#include "ItemPictures.h"

#include "AvatarItems.h"
#include "Painters.h"
#include "Rasterizer.h"

#include <algorithm>
#include <cmath>

namespace world {

namespace {

constexpr int kSupersample = 3;
constexpr float kFieldOfView = 20;
constexpr Rgba kCellTop{252, 252, 250, 255};
constexpr Rgba kCellBottom{226, 232, 240, 255};
constexpr Rgba kCellBorder{190, 198, 212, 255};

// Where the camera looks from, in degrees to the avatar's left and above: shoes from high up,
// everything else nearly from the front.
void ViewAngles(int category, float& yaw, float& pitch)
{
    switch (category) {
    case kFootwearCategory:
        yaw = 40;
        pitch = 32;
        break;
    case kHandCategory:
        yaw = 30;
        pitch = 10;
        break;
    case kUpperCategory:
    case kLowerCategory:
        yaw = 20;
        pitch = 6;
        break;
    default:
        yaw = 25;
        pitch = 12;
        break;
    }
}

bool Drawn(const SkinMesh& mesh)
{
    return mesh.name != kShadowMeshName;
}

Image Background(int size)
{
    Image image(size, size);
    VerticalGradient(image, kCellTop, kCellBottom);
    for (int i = 0; i < size; ++i) {
        image.At(i, 0) = image.At(i, size - 1) = kCellBorder;
        image.At(0, i) = image.At(size - 1, i) = kCellBorder;
    }
    return image;
}

} // namespace

Image ItemPicture(const std::vector<PictureLayer>& layers, int category)
{
    float yaw = 0, pitch = 0;
    ViewAngles(category, yaw, pitch);
    Vec3 toEye{std::sin(Radians(yaw)) * std::cos(Radians(pitch)), std::sin(Radians(pitch)),
               -std::cos(Radians(yaw)) * std::cos(Radians(pitch))};
    Vec3 forward = -toEye;
    Vec3 right = Normalize(Cross({0, 1, 0}, forward));
    Vec3 up = Cross(forward, right);

    // Frame what is drawn as the camera sees it, with a little room round it.
    Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const PictureLayer& layer : layers)
        for (const SkinMesh& mesh : layer.item->meshes)
            if (Drawn(mesh))
                for (const Vec3& p : mesh.Positions()) {
                    Vec3 v{Dot(p, right), Dot(p, up), Dot(p, forward)};
                    lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
                    hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
                }
    // Something far taller than wide (a balloon on its string) shows its top.
    float width = hi.x - lo.x, height = hi.y - lo.y;
    if (height > 3 * width) {
        height = std::max(width * 1.8f, height * 0.5f);
        lo.y = hi.y - height;
    }
    float half = std::max(width, height) * 0.5f * 1.12f;
    float distance = half / std::tan(Radians(kFieldOfView) / 2) + (hi.z - lo.z) * 0.5f;
    Vec3 target = right * ((lo.x + hi.x) / 2) + up * ((lo.y + hi.y) / 2) + forward * ((lo.z + hi.z) / 2);

    const int big = kItemPictureSize * kSupersample;
    Rasterizer r(big, big, {0, 0, 0, 0});
    r.LookAt(target - forward * distance, target, kFieldOfView);
    for (const PictureLayer& layer : layers)
        for (const SkinMesh& mesh : layer.item->meshes) {
            if (!Drawn(mesh))
                continue;
            for (const auto& face : mesh.Faces()) {
                const Vec3* p[3] = {&mesh.Positions()[face[0]], &mesh.Positions()[face[1]], &mesh.Positions()[face[2]]};
                float light = SoftLight(Cross(*p[2] - *p[0], *p[1] - *p[0]));
                PreviewVertex v[3];
                for (int k = 0; k < 3; ++k)
                    v[k] = {*p[k], mesh.Uvs()[face[k]], light};
                r.Draw(v[0], v[1], v[2], layer.texture, Blending::Opaque);
            }
        }

    // Down to the cell, each pixel the mean of what covered its samples over the background.
    Image cell = Background(kItemPictureSize);
    const Image& drawn = r.Picture();
    for (int y = 1; y < kItemPictureSize - 1; ++y)
        for (int x = 1; x < kItemPictureSize - 1; ++x) {
            float sum[3] = {0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < kSupersample; ++sy)
                for (int sx = 0; sx < kSupersample; ++sx) {
                    const Rgba& s = drawn.At(x * kSupersample + sx, y * kSupersample + sy);
                    if (s.a == 0)
                        continue;
                    sum[0] += s.r;
                    sum[1] += s.g;
                    sum[2] += s.b;
                    ++covered;
                }
            if (covered == 0)
                continue;
            Rgba mean{static_cast<std::uint8_t>(sum[0] / covered + 0.5f),
                      static_cast<std::uint8_t>(sum[1] / covered + 0.5f),
                      static_cast<std::uint8_t>(sum[2] / covered + 0.5f), 255};
            cell.At(x, y) = Mix(cell.At(x, y), mean, static_cast<float>(covered) / (kSupersample * kSupersample));
        }
    return cell;
}

Image PictureStrip(const std::vector<Image>& cells)
{
    int rows = std::max(1, static_cast<int>((cells.size() + kItemPicturesPerRow - 1) / kItemPicturesPerRow));
    Image strip(kItemPictureSize * kItemPicturesPerRow, kItemPictureSize * rows, {245, 245, 245, 255});
    for (std::size_t i = 0; i < cells.size(); ++i) {
        int x0 = static_cast<int>(i % kItemPicturesPerRow) * kItemPictureSize;
        int y0 = static_cast<int>(i / kItemPicturesPerRow) * kItemPictureSize;
        for (int y = 0; y < kItemPictureSize; ++y)
            for (int x = 0; x < kItemPictureSize; ++x)
                strip.At(x0 + x, y0 + y) = cells[i].At(x, y);
    }
    return strip;
}

Image WornPlaceholder()
{
    Image image = Background(kWornPlaceholderSize);
    float s = static_cast<float>(kWornPlaceholderSize);
    RoundedRect(image, s * 0.22f, s * 0.22f, s * 0.78f, s * 0.78f, s * 0.12f, {200, 214, 228, 255});
    // A tick: this one is on the avatar.
    Line(image, s * 0.34f, s * 0.52f, s * 0.46f, s * 0.64f, 4, {70, 150, 95, 255});
    Line(image, s * 0.46f, s * 0.64f, s * 0.68f, s * 0.36f, 4, {70, 150, 95, 255});
    return image;
}

} // namespace world
