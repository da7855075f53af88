#pragma once
// Decodes the picture files the generator writes (PNG, JPEG, BMP, TGA), for the preview.

#include "ByteWriter.h"
#include "Image.h"

namespace world::preview {

// An empty image when the bytes are no picture it knows.
Image DecodePicture(const Bytes& bytes);

} // namespace world::preview
