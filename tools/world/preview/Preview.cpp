// kravex-world-preview: draws a generated scene, with dressed and posed avatars standing in it,
// into a PNG, so a content author sees what they made without the engine.
//
//   kravex-world-preview HOME OUT.png SCENE.KRS EYE_X EYE_Y EYE_Z AT_X AT_Y AT_Z
//                        [LIST.KRA MOTION.mot KEY X Z YAW_DEGREES FACE_TARGET]...
// (--help says what each is.)
#include "../tests/FileReaders.h"
#include "ImageCodecs.h"
#include "PictureFiles.h"
#include "Rasterizer.h"

#include <cmath>
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
                    v[k] = {TransformPoint(src.position, m),
                            {src.u0, src.v0},
                            SoftLight(TransformDirection(src.normal, m))};
                }
                r.Draw(v[0], v[1], v[2], texture,
                       alpha   ? Blending::Blend
                       : keyed ? Blending::AlphaTest
                               : Blending::Opaque);
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
    check::MotionFileData bind =
        check::ReadMotionFile(ReadFile(std::string("Data/AVATAR/Motion/") + (female ? "Girl" : "Boy") + "_Bind.mot"));
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
            if (kind == 0x20801 && meshIndex == 0 && a.faceTarget >= 0 &&
                std::size_t(a.faceTarget) >= item.faceSet.size())
                throw std::runtime_error("face target " + std::to_string(a.faceTarget) + ": " + file + " has " +
                                         std::to_string(item.faceSet.size()));
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

const char kUsage[] = "usage: kravex-world-preview HOME OUT.png SCENE.KRS EYE_X EYE_Y EYE_Z AT_X AT_Y AT_Z\n"
                      "                            [LIST.KRA MOTION KEY X Z YAW FACE]...\n"
                      "Draws a generated scene with dressed, posed avatars into a PNG, without the engine.\n"
                      "\n"
                      "  HOME        the program's home folder that holds Data/ (such as build/yonda)\n"
                      "  OUT.png     the picture to write (640x480)\n"
                      "  SCENE.KRS   a scene in HOME/Data/WORLD\n"
                      "  EYE_*, AT_* where the camera stands and the point it looks at\n"
                      "Then seven values per avatar: its avatar list in HOME/Data/AVATAR/KRI, a motion file in\n"
                      "HOME/Data/AVATAR/Motion, the key of the motion to pose in, where it stands (X Z), its turn\n"
                      "in degrees (YAW) and the face target it shows (FACE, -1 for none).\n";

// A command-line value, or an exception that names the value and what it should be.
float Number(const char* name, const std::string& text)
{
    std::size_t used = 0;
    float value = 0;
    try {
        value = std::stof(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || !std::isfinite(value))
        throw std::invalid_argument(std::string(name) + " is not a finite number: '" + text + "'");
    return value;
}

long WholeNumber(const char* name, const std::string& text, long min)
{
    std::size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < min)
        throw std::invalid_argument(std::string(name) + " is not a whole number from " + std::to_string(min) + ": '" +
                                    text + "'");
    return value;
}

Vec3 Point(const char* name, char** argv)
{
    const std::string prefix(name);
    return {Number((prefix + "_X").c_str(), argv[0]), Number((prefix + "_Y").c_str(), argv[1]),
            Number((prefix + "_Z").c_str(), argv[2])};
}

void WritePicture(const std::string& path, const Bytes& png)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write the picture " + path);
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (argc < 10 || (argc - 10) % 7 != 0) {
        std::fprintf(stderr, "kravex-world-preview: %s\n%s",
                     argc < 10 ? "too few arguments" : "each avatar takes seven values", kUsage);
        return 2;
    }
    Vec3 eye, at;
    std::vector<AvatarPlacement> avatars;
    try {
        eye = Point("EYE", argv + 4);
        at = Point("AT", argv + 7);
        if (eye.x == at.x && eye.y == at.y && eye.z == at.z)
            throw std::invalid_argument("the eye and the point it looks at are the same");
        for (int i = 10; i + 6 < argc; i += 7) {
            const std::string n = " of avatar " + std::to_string((i - 10) / 7 + 1);
            avatars.push_back({argv[i], argv[i + 1], std::size_t(WholeNumber(("KEY" + n).c_str(), argv[i + 2], 0)),
                               Number(("X" + n).c_str(), argv[i + 3]), Number(("Z" + n).c_str(), argv[i + 4]),
                               Number(("YAW" + n).c_str(), argv[i + 5]),
                               int(WholeNumber(("FACE" + n).c_str(), argv[i + 6], -1))});
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kravex-world-preview: %s (see --help)\n", e.what());
        return 2;
    }
    try {
        g_home = argv[1];
        Rasterizer r(640, 480, {150, 190, 230, 255});
        r.LookAt(eye, at);
        DrawScene(r, argv[3], false);
        for (const auto& a : avatars)
            DrawAvatar(r, a, false);
        for (const auto& a : avatars)
            DrawAvatar(r, a, true);
        DrawScene(r, argv[3], true);
        WritePicture(argv[2], EncodePng(r.Picture()));
        std::printf("%d triangles drawn\n", r.DrawnTriangles());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kravex-world-preview: %s\n", e.what());
        return 1;
    }
    return 0;
}
