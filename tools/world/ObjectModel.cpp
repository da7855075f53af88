#include "ObjectModel.h"

#include <algorithm>

namespace world {

std::size_t KeyTrack::KeyCount() const
{
    return std::max({positions.size(), rotations.size(), scales.size()});
}

std::uint16_t ObjectMesh::KindFlags() const
{
    return keys ? kAnimatedMesh : 0;
}

std::uint16_t ObjectMesh::TextureFlags() const
{
    std::uint16_t flags = 0;
    if (keys) {
        if (!keys->positions.empty())
            flags |= kPositionKeys;
        if (!keys->rotations.empty())
            flags |= kRotationKeys;
        if (!keys->scales.empty())
            flags |= kScaleKeys;
    }
    if (textureList)
        flags |= kTextureList;
    if (colourKeyed)
        flags |= kColourKeyed;
    if (alpha)
        flags |= kAlphaMesh;
    return flags;
}

Bounds ObjectMesh::ObjectBounds() const
{
    Bounds b = triangles.GetBounds().Transformed(matrix);
    if (keys && !keys->rotations.empty()) {
        // A spinning mesh sweeps a circle about its pivot; cover it whole.
        Vec3 pivot = matrix.Translation();
        float reach = 0;
        for (const ObjectVertex& v : triangles.Vertices())
            reach = std::max(reach, Length(v.position));
        b.Add(pivot + Vec3{reach, 0, reach});
        b.Add(pivot - Vec3{reach, 0, reach});
    }
    return b;
}

Bounds ObjectModel::ObjectBounds() const
{
    Bounds b;
    for (const ObjectMesh& mesh : meshes)
        b.Add(mesh.ObjectBounds());
    return b;
}

} // namespace world
