// JPEG through libjpeg's decompressor; its fatal errors come back here by a long jump, so the
// function keeps only plain values between the jump's start and its landing.
#include <cstdio>
#include <csetjmp>

#include <jpeglib.h>

#include "ImageDecoder.h"

namespace yonda::d3d8 {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void OnFatal(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}

bool Decode(const BYTE* data, size_t size, std::vector<uint32_t>* pixels, UINT* width, UINT* height)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnFatal;
    errors.base.output_message = OnMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || !SaneSize(info.image_width, info.image_height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    *width = info.output_width;
    *height = info.output_height;
    if (info.output_components != 3 || !SaneSize(*width, *height)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    pixels->resize(size_t(*width) * *height);
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, *width * 3, 1);
    while (info.output_scanline < info.output_height) {
        UINT y = info.output_scanline;
        jpeg_read_scanlines(&info, row, 1);
        uint32_t* out = pixels->data() + size_t(y) * *width;
        for (UINT x = 0; x < *width; ++x) {
            out[x] =
                0xff000000u | (uint32_t(row[0][3 * x]) << 16) | (uint32_t(row[0][3 * x + 1]) << 8) | row[0][3 * x + 2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

HRESULT DecodeJpeg(const BYTE* data, size_t size, DecodedImage* image)
{
    UINT width = 0, height = 0;
    if (!Decode(data, size, &image->argb, &width, &height))
        return D3DXERR_INVALIDDATA;
    image->width = width;
    image->height = height;
    image->format = D3DFMT_X8R8G8B8;
    image->fileFormat = D3DXIFF_JPG;
    return D3D_OK;
}

} // namespace yonda::d3d8
