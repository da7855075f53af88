#include "ImageCodecs.h"

#include <png.h>

#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <stdexcept>

namespace world {

namespace {

void PngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void PngFlush(png_structp) {}

} // namespace

Bytes EncodePng(const Image& image)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        throw std::runtime_error("PNG: cannot start the writer");
    png_infop info = png_create_info_struct(png);
    bool alpha = image.HasTranslucency();
    std::vector<png_byte> row(static_cast<std::size_t>(image.Width()) * 4);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG: encoding failed");
    }
    png_set_write_fn(png, &out, PngWrite, PngFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()), static_cast<png_uint_32>(image.Height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < image.Height(); ++y) {
        std::size_t o = 0;
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba& p = image.At(x, y);
            row[o++] = p.r;
            row[o++] = p.g;
            row[o++] = p.b;
            if (alpha)
                row[o++] = p.a;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

} // namespace

Bytes EncodeJpeg(const Image& image, int quality)
{
    jpeg_compress_struct cinfo{};
    JpegError error{};
    cinfo.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegErrorExit;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    std::vector<JSAMPLE> row(static_cast<std::size_t>(image.Width()) * 3);
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        throw std::runtime_error("JPEG: compression failed");
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.Width());
    cinfo.image_height = static_cast<JDIMENSION>(image.Height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba& p = image.At(x, y);
            row[x * 3] = p.r;
            row[x * 3 + 1] = p.g;
            row[x * 3 + 2] = p.b;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

Bytes EncodeBmp(const Image& image)
{
    std::uint32_t stride = (static_cast<std::uint32_t>(image.Width()) * 3 + 3) & ~3u;
    std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(image.Height());
    ByteWriter w;
    w.U8('B');
    w.U8('M');
    w.U32(14 + 40 + pixelBytes);
    w.U32(0);
    w.U32(14 + 40);
    w.U32(40);
    w.I32(image.Width());
    w.I32(image.Height()); // positive: rows bottom-up
    w.U16(1);
    w.U16(24);
    w.U32(0); // no compression
    w.U32(pixelBytes);
    w.I32(2835); // 72 dots per inch
    w.I32(2835);
    w.U32(0);
    w.U32(0);
    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba& p = image.At(x, y);
            w.U8(p.b);
            w.U8(p.g);
            w.U8(p.r);
        }
        w.Zeros(stride - static_cast<std::uint32_t>(image.Width()) * 3);
    }
    return w.Take();
}

Bytes EncodeTga(const Image& image)
{
    ByteWriter w;
    w.U8(0); // no image id
    w.U8(0); // no colour map
    w.U8(2); // uncompressed true colour
    w.Zeros(5);
    w.U16(0); // origin x
    w.U16(0); // origin y
    w.U16(static_cast<std::uint16_t>(image.Width()));
    w.U16(static_cast<std::uint16_t>(image.Height()));
    w.U8(32);
    w.U8(0x08); // eight alpha bits, rows bottom-up
    for (int y = image.Height() - 1; y >= 0; --y)
        for (int x = 0; x < image.Width(); ++x) {
            const Rgba& p = image.At(x, y);
            w.U8(p.b);
            w.U8(p.g);
            w.U8(p.r);
            w.U8(p.a);
        }
    return w.Take();
}

Bytes Encode(const Image& image, ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png: return EncodePng(image);
    case ImageFormat::Jpeg: return EncodeJpeg(image);
    case ImageFormat::Bmp: return EncodeBmp(image);
    case ImageFormat::Tga: return EncodeTga(image);
    }
    throw std::invalid_argument("unknown image format");
}

std::string_view FormatName(ImageFormat format)
{
    switch (format) {
    case ImageFormat::Png: return "PNG";
    case ImageFormat::Jpeg: return "JPEG";
    case ImageFormat::Bmp: return "BMP";
    case ImageFormat::Tga: return "TGA";
    }
    return "?";
}

} // namespace world
