#pragma once
// KRO: world object files.

#include "ByteWriter.h"
#include "ObjectModel.h"

namespace world {

constexpr std::size_t kKroHeaderSize = 12;
constexpr std::size_t kKroMeshHeadSize = 72;
constexpr std::size_t kKroMaterialSize = 272;
constexpr std::size_t kKroVertexSize = 44;
constexpr std::size_t kKroTextureNameSize = 112;

Bytes WriteKro(const ObjectModel& model);

} // namespace world
