// PNG through libpng's simplified reader, which reports errors instead of jumping out of us.
#include <png.h>

#include <cstring>

#include "ImageDecoder.h"

namespace yonda::d3d8 {

HRESULT DecodePng(const BYTE* data, size_t size, DecodedImage* image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size))
        return D3DXERR_INVALIDDATA;
    if (!SaneSize(png.width, png.height)) {
        png_image_free(&png);
        return D3DXERR_INVALIDDATA;
    }
    bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    // Bytes B, G, R, A: 0xAARRGGBB read as a little-endian word.
    png.format = PNG_FORMAT_BGRA;
    image->argb.resize(size_t(png.width) * png.height);
    if (!png_image_finish_read(&png, nullptr, image->argb.data(), 0, nullptr)) {
        png_image_free(&png);
        return D3DXERR_INVALIDDATA;
    }
    image->width = png.width;
    image->height = png.height;
    image->format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    image->fileFormat = D3DXIFF_PNG;
    return D3D_OK;
}

} // namespace yonda::d3d8
