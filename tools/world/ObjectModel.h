#pragma once
// A world object as the KRO writer stores it: meshes with their matrix, textures, drawing flags
// and, for an animated mesh, its keys.

#include "TriangleList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace world {

enum ObjectTextureFlag : std::uint16_t {
    kPositionKeys = 0x01,
    kRotationKeys = 0x04,
    kScaleKeys = 0x08,
    kTextureList = 0x10, // the first texture name is a list of frames
    kColourKeyed = 0x40, // black is cut out
    kAlphaMesh = 0x80,   // drawn blended after the opaque world
};

enum ObjectKindFlag : std::uint16_t {
    kAnimatedMesh = 0x02,
};

struct KeyTrack {
    std::uint32_t startMs = 0, endMs = 0;
    std::vector<Vec3> positions;
    std::vector<Quaternion> rotations;
    std::vector<Vec3> scales;

    std::size_t KeyCount() const;
};

struct ObjectMesh {
    TriangleList triangles;
    Mat4 matrix = Mat4::Identity();
    std::string texture;       // empty: no first texture
    std::string secondTexture; // empty: none
    bool colourKeyed = false;
    bool alpha = false;
    bool textureList = false;
    std::optional<KeyTrack> keys; // set: the mesh is animated and keeps mesh-space vertices

    std::uint16_t KindFlags() const;
    std::uint16_t TextureFlags() const;
    Bounds ObjectBounds() const; // in the object's space, without key animation
};

struct ObjectModel {
    std::string name;
    std::uint32_t code = 0;
    std::vector<ObjectMesh> meshes;

    Bounds ObjectBounds() const;
};

} // namespace world
