#pragma once
// KRT: a whole image file wrapped with a tag word and its length.

#include "ByteWriter.h"

namespace world {

Bytes WriteKrt(const Bytes& imageFile);

} // namespace world
