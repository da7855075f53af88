// kravex-world-preview: draws a generated scene, with dressed and posed avatars standing in it,
// into a PNG, so a content author sees what they made without the engine.
//
//   kravex-world-preview HOME OUT.png SCENE.KRS EYE_X EYE_Y EYE_Z AT_X AT_Y AT_Z
//                        [LIST.KRA MOTION.mot KEY X Z YAW_DEGREES FACE_TARGET]...
#include "../tests/FileReaders.h"
#include "ImageCodecs.h"
#include "PictureFiles.h"
#include "Rasterizer.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

using namespace world;
using namespace world::preview;

namespace {

std::string g_home;
std::map<std::string, Image> g_textures;

Bytes ReadFile(const std::string& relative)
{
    std::ifstream in(g_home + "/" + relative, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing " + relative);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const Image* Texture(const std::string& folder, const std::string& name, bool colourKey)
{
    std::string key = folder + name + (colourKey ? "#key" : "");
    auto it = g_textures.find(key);
    if (it != g_textures.end())
        return &it->second;
    Image image;
    try {
        std::string file = name;
        if (name.size() > 4 && name.substr(name.size() - 4) == ".txt") {
            Bytes list = ReadFile(folder + name);
            file = std::string(list.begin(), list.end());
            file = file.substr(0, file.find('\n'));
        }
        Bytes bytes = ReadFile(folder + file);
        std::string ext = file.substr(file.rfind('.'));
        image = DecodePicture(ext == ".KRT" || ext == ".krt" ? check::ReadKrt(bytes) : bytes);
        if (colourKey)
            for (int y = 0; y < image.Height(); ++y)
                for (int x = 0; x < image.Width(); ++x) {
                    Rgba& p = image.At(x, y);
                    if (p.r == 0 && p.g == 0 && p.b == 0)
                        p.a = 0;
                }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "texture %s: %s\n", name.c_str(), e.what());
    }
    return &g_textures.emplace(key, std::move(image)).first->second;
}

void DrawScene(Rasterizer& r, const std::string& scene, bool alphaPass)
{
    check::KrsFile krs = check::ReadKrs(ReadFile("Data/WORLD/" + scene));
    for (const check::KrsObject& o : krs.objects) {
        Mat4 placement = check::MatrixOf(o.matrix);
        for (const check::KroMesh& mesh : check::ReadKro(ReadFile("Data/WORLD/" + o.file)).meshes) {
            bool alpha = mesh.textureFlags >= 0x80 || (mesh.textureFlags & 0x10);
            if (alpha != alphaPass)
                continue;
            bool keyed = mesh.textureFlags & 0x40;
            const Image* texture = mesh.hasFirst ? Texture("Data/WORLD/", mesh.first, keyed) : nullptr;
            Mat4 m = check::MatrixOf(mesh.matrix) * placement;
            for (std::size_t i = 0; i + 2 < mesh.vertices.size(); i += 3) {
                PreviewVertex v[3];
                for (int k = 0; k < 3; ++k) {
                    const auto& src = mesh.vertices[i + k];
                    v[k] = {TransformPoint(src.position, m), {src.u0, src.v0},
                            SoftLight(TransformDirection(src.normal, m))};
                }
                r.Draw(v[0], v[1], v[2], texture, alpha ? Blending::Blend : keyed ? Blending::AlphaTest : Blending::Opaque);
            }
        }
    }
}

struct AvatarPlacement {
    std::string list, motion;
    std::size_t key;
    float x, z, yaw;
    int faceTarget;
};

void DrawAvatar(Rasterizer& r, const AvatarPlacement& a, bool alphaPass)
{
    check::KraFile list = check::ReadKra(ReadFile("Data/AVATAR/KRI/" + a.list));
    bool female = a.list[0] == '2';
    check::MotionFileData bind = check::ReadMotionFile(ReadFile(std::string("Data/AVATAR/Motion/") + (female ? "Girl" : "Boy") + "_Bind.mot"));
    check::MotionFileData motion = check::ReadMotionFile(ReadFile("Data/AVATAR/Motion/" + a.motion));
    std::size_t key = std::min<std::size_t>(a.key, motion.keys - 1);
    Mat4 world = RotationY(Radians(a.yaw)) * Translation({a.x, 0, a.z});
    auto bone = [&](int t) {
        const Vec3& angles = motion.data[t].angles[key];
        return Translation(-bind.data[t].positions[0]) * RotationYawPitchRoll(angles.x, angles.y, angles.z) *
               Translation(motion.data[t].positions[key]);
    };
    for (const auto& [kind, file] : list.items) {
        check::KriFile item = check::ReadKri(ReadFile("Data/AVATAR/KRI/" + file), kind);
        int rigid = kind == 0x20801 ? 6 : kind == 0x20806 ? (file[file.size() - 9] == '5' ? 10 : 6) : -1;
        for (std::size_t meshIndex = 0; meshIndex < item.meshes.size(); ++meshIndex) {
            const check::KriMesh& mesh = item.meshes[meshIndex];
            const auto& texture = item.materials.at(mesh.material).at(0);
            bool alpha = texture.alpha;
            if (alpha != alphaPass)
                continue;
            std::vector<Vec3> positions = mesh.positions;
            if (kind == 0x20801 && meshIndex == 0 && a.faceTarget >= 0)
                for (std::size_t i = 0; i < item.faceSet[a.faceTarget].vertices.size(); ++i)
                    positions[item.faceSet[a.faceTarget].vertices[i]] =
                        positions[item.faceSet[a.faceTarget].vertices[i]] - item.faceSet[a.faceTarget].offsets[i];
            if (rigid >= 0) {
                for (Vec3& p : positions)
                    p = TransformPoint(p, bone(rigid));
            } else if (mesh.name != "shadow") {
                std::vector<Vec3> skinned(positions.size());
                for (const check::KriBinding& b : mesh.bindings) {
                    Mat4 m = bone(static_cast<int>(b.bone - 0x100101));
                    for (std::size_t i = 0; i < b.vertices.size(); ++i)
                        skinned[b.vertices[i]] += TransformPoint(positions[b.vertices[i]], m) * b.weights[i];
                }
                positions = skinned;
            }
            const Image* image = Texture("Data/AVATAR/KRI/", texture.name, false);
            for (const auto& face : mesh.faces) {
                Vec3 p[3] = {TransformPoint(positions[face[0]], world), TransformPoint(positions[face[1]], world),
                             TransformPoint(positions[face[2]], world)};
                float light = SoftLight(Cross(p[2] - p[0], p[1] - p[0]));
                PreviewVertex v[3];
                for (int k = 0; k < 3; ++k)
                    v[k] = {p[k], {mesh.uvs[face[k]][0], mesh.uvs[face[k]][1]}, light};
                r.Draw(v[0], v[1], v[2], image, alpha ? Blending::Blend : Blending::Opaque);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 10 || (argc - 10) % 7 != 0) {
        std::fprintf(stderr, "usage: %s HOME OUT.png SCENE.KRS EYE(3) AT(3) [LIST.KRA MOTION KEY X Z YAW FACE]...\n",
                     argv[0]);
        return 2;
    }
    try {
        g_home = argv[1];
        Rasterizer r(640, 480, {150, 190, 230, 255});
        r.LookAt({std::stof(argv[4]), std::stof(argv[5]), std::stof(argv[6])},
                 {std::stof(argv[7]), std::stof(argv[8]), std::stof(argv[9])});
        std::vector<AvatarPlacement> avatars;
        for (int i = 10; i + 6 < argc; i += 7)
            avatars.push_back({argv[i], argv[i + 1], std::stoul(argv[i + 2]), std::stof(argv[i + 3]),
                               std::stof(argv[i + 4]), std::stof(argv[i + 5]), std::stoi(argv[i + 6])});
        DrawScene(r, argv[3], false);
        for (const auto& a : avatars)
            DrawAvatar(r, a, false);
        for (const auto& a : avatars)
            DrawAvatar(r, a, true);
        DrawScene(r, argv[3], true);
        Bytes png = EncodePng(r.Picture());
        std::ofstream(argv[2], std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                        static_cast<std::streamsize>(png.size()));
        std::printf("%d triangles drawn\n", r.DrawnTriangles());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kravex-world-preview: %s\n", e.what());
        return 1;
    }
    return 0;
}
