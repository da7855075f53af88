// Pictures of windows as PNG files, for tests and for people looking at a headless run.
#include "../user/Compositor.h"
#include "yonda_user.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

BOOL YondaCaptureWindowToPng(HWND hwnd, LPCSTR path)
{
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!path || !yonda::user::CaptureWindowPixels(hwnd, &pixels, &width, &height) || width <= 0 || height <= 0)
        return FALSE;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "wb"), &std::fclose);
    if (!file)
        return FALSE;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return FALSE;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return FALSE;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3 + 0] = static_cast<png_byte>((p >> 16) & 0xFF);
            row[x * 3 + 1] = static_cast<png_byte>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<png_byte>(p & 0xFF);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return TRUE;
}
