#pragma once
// Independent readers of the engine's file kinds, written from the layouts, so the tests check
// the writers against the layout rather than against themselves.

#include "ByteWriter.h"
#include "Math3D.h"

#include <array>
#include <string>
#include <vector>

namespace world::check {

struct KroVertex {
    Vec3 position, normal;
    std::uint32_t diffuse;
    float u0, v0, u1, v1;
};

struct KroMesh {
    std::uint16_t kindFlags, textureFlags;
    std::array<float, 16> matrix;
    std::uint32_t hasFirst, hasSecond;
    std::string first, second;
    std::vector<KroVertex> vertices;
    std::uint32_t start = 0, end = 0, keyCount = 0;
    std::vector<Vec3> positions, scales;
    std::vector<std::array<float, 4>> rotations;
};

struct KroFile {
    std::uint32_t headerA, code;
    std::vector<KroMesh> meshes;
};

KroFile ReadKro(const Bytes& bytes); // throws on a short or overlong file

struct KrsTrigger {
    std::int32_t type, kind, unused;
    Vec3 centre;
    float radius;
};

struct KrsBox {
    std::int32_t type, action, value;
    std::array<float, 16> matrix;
    Vec3 min, max;
};

struct KrsObject {
    std::string file;
    std::int32_t kind;
    Vec3 min, max;
    std::array<float, 16> matrix;
    std::uint8_t eventFlag;
    std::vector<KrsTrigger> triggers;
    std::vector<KrsBox> boxes;
};

struct KrsPath {
    std::int32_t id;
    std::vector<std::array<float, 12>> points;
};

struct KrsFile {
    std::uint32_t header;
    std::vector<KrsPath> paths;
    std::vector<KrsObject> objects;
};

KrsFile ReadKrs(const Bytes& bytes);

struct GridFile {
    std::uint32_t cellSize, width, height;
    float originX, originZ;
    std::vector<std::uint8_t> cells;

    // The engine's cell test: truncation toward zero; outside the grid is free.
    bool Blocked(float x, float z) const;
};

GridFile ReadGrid(const Bytes& bytes);

struct KriBinding {
    std::uint32_t bone;
    std::vector<std::uint32_t> vertices;
    std::vector<float> weights;
};

struct KriMesh {
    std::string name;
    std::uint32_t material;
    std::uint8_t hasUv;
    std::vector<Vec3> positions;
    std::vector<std::array<std::uint16_t, 3>> faces;
    std::vector<std::array<float, 2>> uvs;
    std::vector<KriBinding> bindings;
    std::uint32_t heldWord = 0;
};

struct KriTarget {
    std::vector<std::uint32_t> vertices;
    std::vector<Vec3> offsets;
};

struct KriFile {
    std::uint32_t h1, h2, code;
    struct Texture {
        std::string name;
        std::uint8_t alpha;
    };
    std::vector<std::vector<Texture>> materials;
    std::vector<KriMesh> meshes;
    std::vector<KriTarget> faceSet;
};

// The kind is not in the file: the avatar list or the caller gives it.
KriFile ReadKri(const Bytes& bytes, std::uint32_t kind);

struct KraFile {
    std::uint32_t h1, h2, key;
    std::vector<std::pair<std::uint32_t, std::string>> items;
};
KraFile ReadKra(const Bytes& bytes);

struct MotionTrack {
    std::uint32_t bone;
    std::vector<Vec3> positions;
    std::vector<Vec3> angles; // yaw, pitch, roll
};

struct MotionFileData {
    std::uint32_t keys, tracks, duration;
    std::vector<MotionTrack> data;
};
MotionFileData ReadMotionFile(const Bytes& bytes);

// KRT: the wrapped image file.
Bytes ReadKrt(const Bytes& bytes);

Mat4 MatrixOf(const std::array<float, 16>& m);

} // namespace world::check
