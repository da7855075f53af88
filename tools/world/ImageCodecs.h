#pragma once
// Image files as the texture loaders read them from memory: PNG (with alpha), JPEG, BMP and TGA.
// None of them carries a time stamp, so the same picture always gives the same bytes.

#include "ByteWriter.h"
#include "Image.h"

#include <string_view>

namespace world {

enum class ImageFormat { Png, Jpeg, Bmp, Tga };

Bytes EncodePng(const Image& image);
Bytes EncodeJpeg(const Image& image, int quality = 90);
Bytes EncodeBmp(const Image& image); // 24-bit, bottom-up; alpha is dropped
Bytes EncodeTga(const Image& image); // 32-bit uncompressed true colour with alpha
Bytes Encode(const Image& image, ImageFormat format);
std::string_view FormatName(ImageFormat format);

} // namespace world
