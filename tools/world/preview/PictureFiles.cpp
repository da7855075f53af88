#include "PictureFiles.h"

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>

namespace world::preview {

namespace {

Image DecodePng(const Bytes& bytes)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, bytes.data(), bytes.size()))
        return {};
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr))
        return {};
    Image image(static_cast<int>(png.width), static_cast<int>(png.height));
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            const std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * image.Width() + x) * 4];
            image.At(x, y) = {p[0], p[1], p[2], p[3]};
        }
    return image;
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

Image DecodeJpeg(const Bytes& bytes)
{
    jpeg_decompress_struct cinfo{};
    JpegError error{};
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegFail;
    Image image;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return {};
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image = Image(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height));
    std::vector<JSAMPLE> row(cinfo.output_width * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = static_cast<int>(cinfo.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < image.Width(); ++x)
            image.At(x, y) = {row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255};
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return image;
}

Image DecodeBmp(const Bytes& bytes)
{
    ByteReader r(bytes);
    r.Skip(10);
    std::uint32_t offset = r.U32();
    r.U32();
    int width = r.I32(), height = r.I32();
    r.U16();
    if (r.U16() != 24 || width <= 0 || height <= 0)
        return {};
    Image image(width, height);
    std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t(3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::size_t at = offset + (height - 1 - y) * stride + x * 3;
            if (at + 2 < bytes.size())
                image.At(x, y) = {bytes[at + 2], bytes[at + 1], bytes[at], 255};
        }
    return image;
}

Image DecodeTga(const Bytes& bytes)
{
    if (bytes.size() < 18 || bytes[2] != 2 || bytes[16] != 32)
        return {};
    int width = bytes[12] | bytes[13] << 8, height = bytes[14] | bytes[15] << 8;
    Image image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::size_t at = 18 + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
            if (at + 3 < bytes.size())
                image.At(x, y) = {bytes[at + 2], bytes[at + 1], bytes[at], bytes[at + 3]};
        }
    return image;
}

} // namespace

Image DecodePicture(const Bytes& bytes)
{
    if (bytes.size() > 8 && bytes[0] == 0x89 && bytes[1] == 'P')
        return DecodePng(bytes);
    if (bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8)
        return DecodeJpeg(bytes);
    if (bytes.size() > 54 && bytes[0] == 'B' && bytes[1] == 'M')
        return DecodeBmp(bytes);
    return DecodeTga(bytes);
}

} // namespace world::preview
