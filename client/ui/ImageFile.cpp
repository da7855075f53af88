#include "ImageFile.h"

#include "BmpFile.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

// The picture as GDI takes it: a 40-byte header, the colour table or masks, and the rows.
HBITMAP MakeDeviceBitmap(const BmpPicture& picture)
{
    const size_t tableBytes =
        picture.bitCount <= 8 ? picture.colours.size() * 4 : (picture.compression == BI_BITFIELDS ? 12 : 0);
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + tableBytes + 4, 0);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = picture.width;
    header.biHeight = picture.topDown ? -picture.height : picture.height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(picture.bitCount);
    header.biCompression = picture.compression;
    header.biClrUsed = picture.bitCount <= 8 ? static_cast<DWORD>(picture.colours.size()) : 0;
    std::memcpy(info.data(), &header, sizeof header);
    uint8_t* table = info.data() + sizeof header;
    if (picture.bitCount <= 8) {
        for (size_t i = 0; i < picture.colours.size(); ++i) {
            table[i * 4] = picture.colours[i].rgbBlue;
            table[i * 4 + 1] = picture.colours[i].rgbGreen;
            table[i * 4 + 2] = picture.colours[i].rgbRed;
        }
    } else if (picture.compression == BI_BITFIELDS) {
        for (int i = 0; i < 3; ++i) {
            for (int b = 0; b < 4; ++b) {
                table[i * 4 + b] = static_cast<uint8_t>(picture.masks[i] >> (8 * b));
            }
        }
    }
    return CreateDIBitmap(nullptr, &header, CBM_INIT, picture.bits.data(),
                          reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
}

HPALETTE MakePalette(const BmpPicture& picture)
{
    if (picture.colours.empty() || picture.colours.size() > 256) {
        return nullptr;
    }
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + picture.colours.size() * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(picture.colours.size());
    for (size_t i = 0; i < picture.colours.size(); ++i) {
        palette->palPalEntry[i] =
            PALETTEENTRY{picture.colours[i].rgbRed, picture.colours[i].rgbGreen, picture.colours[i].rgbBlue, 0};
    }
    return CreatePalette(palette);
}

struct JpegFailure {
    jpeg_error_mgr manager;
    jmp_buf resume;
};

void OnJpegFatal(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    MessageBoxA(nullptr, message, "JPEG Fatal Error", MB_ICONERROR | MB_OK);
    longjmp(reinterpret_cast<JpegFailure*>(info->err)->resume, 1);
}

// A broken picture from outside is no reason to stop anything: it is only not shown.
void OnJpegReadFailure(j_common_ptr info)
{
    longjmp(reinterpret_cast<JpegFailure*>(info->err)->resume, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

} // namespace

HBITMAP LoadJpegHandle(const char* path)
{
    std::vector<uint8_t> file;
    if (!ReadWholeFile(path, &file) || file.empty()) {
        return nullptr;
    }
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnJpegReadFailure;
    failure.manager.output_message = IgnoreJpegMessage;
    // Made before the jump point, so a failure's jump leaves nothing unfreed.
    std::vector<uint8_t> rows; // bottom-up BGR rows padded to 4, as a BMP keeps them
    std::vector<uint8_t> line;
    if (setjmp(failure.resume)) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width == 0 || info.image_height == 0 ||
        info.image_width > static_cast<JDIMENSION>(kBmpMaxSide) ||
        info.image_height > static_cast<JDIMENSION>(kBmpMaxSide) ||
        static_cast<long long>(info.image_width) * info.image_height > kBmpMaxPixels) {
        jpeg_destroy_decompress(&info);
        return nullptr;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const size_t width = info.output_width;
    const size_t height = info.output_height;
    const size_t stride = (width * 3 + 3) & ~static_cast<size_t>(3);
    rows.assign(stride * height, 0);
    line.assign(width * 3, 0);
    while (info.output_scanline < info.output_height) {
        const size_t y = info.output_scanline;
        JSAMPROW row = line.data();
        jpeg_read_scanlines(&info, &row, 1);
        uint8_t* out = rows.data() + (height - 1 - y) * stride;
        for (size_t x = 0; x < width; ++x) {
            out[x * 3] = line[x * 3 + 2];
            out[x * 3 + 1] = line[x * 3 + 1];
            out[x * 3 + 2] = line[x * 3];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    BmpPicture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.bitCount = 24;
    picture.stride = stride;
    picture.bits = rows;
    return MakeDeviceBitmap(picture);
}

HBITMAP LoadBitmapFromMemory(std::span<const uint8_t> file)
{
    BmpPicture picture;
    if (ParseBmp(file, &picture) != BmpError::None) {
        return nullptr;
    }
    return MakeDeviceBitmap(picture);
}

HBITMAP LoadBitmapHandle(const char* path)
{
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, &bytes) ? LoadBitmapFromMemory(bytes) : nullptr;
}

bool TryLoadBitmapHandle(const char* path, HBITMAP* out)
{
    HBITMAP bitmap = LoadBitmapHandle(path);
    if (out) {
        *out = bitmap;
    } else if (bitmap) {
        DeleteObject(bitmap);
    }
    return bitmap != nullptr;
}

bool LoadBitmapFile(const char* path, CBitmap* bitmap, CPalette* palette)
{
    if (!bitmap) {
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) {
        return false;
    }
    bitmap->DeleteObject();
    BmpPicture picture;
    if (ParseBmp(bytes, &picture) != BmpError::None) {
        return false;
    }
    if (palette) {
        if (HPALETTE made = MakePalette(picture)) {
            palette->DeleteObject();
            palette->Attach(made);
        }
    }
    return bitmap->Attach(MakeDeviceBitmap(picture)) != FALSE;
}

bool DeleteGdiObject(CGdiObject* object)
{
    if (!object || !object->GetSafeHandle()) {
        return false;
    }
    return ::DeleteObject(object->Detach()) != FALSE;
}

CImageFile::CImageFile() : m_strStatus("OK") {}

CImageFile::~CImageFile() = default;

unsigned char* CImageFile::LoadBmp(CString path, int* width, int* height)
{
    if (width) {
        *width = 0;
    }
    if (height) {
        *height = 0;
    }
    m_strStatus = "OK";
    m_nBytesRead = 0;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) {
        m_strStatus = "Can't open file for reading :\n" + path;
        return nullptr;
    }
    m_nBytesRead = static_cast<int>(bytes.size() > INT32_MAX ? INT32_MAX : bytes.size());
    BmpPicture picture;
    const BmpError error = ParseBmp(bytes, &picture);
    if (error != BmpError::None) {
        m_strStatus = BmpErrorText(error);
        return nullptr;
    }
    const size_t size = static_cast<size_t>(picture.width) * picture.height * 3;
    auto* rgb = new (std::nothrow) unsigned char[size];
    if (!rgb) {
        m_strStatus = "Memory alloc Failed";
        return nullptr;
    }
    unsigned char* out = rgb;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.PixelAt(x, y);
            *out++ = static_cast<unsigned char>(pixel >> 16);
            *out++ = static_cast<unsigned char>(pixel >> 8);
            *out++ = static_cast<unsigned char>(pixel);
        }
    }
    if (width) {
        *width = picture.width;
    }
    if (height) {
        *height = picture.height;
    }
    return rgb;
}

namespace {

struct Weight {
    float w0;
    float w1;
};

// One pair of weights per source index for n source pixels onto m target pixels: a source pixel
// either lies within one target pixel (w1 0), completes it (w1 -1) or straddles two (w1 > 0).
std::vector<Weight> AreaWeights(unsigned n, unsigned m)
{
    std::vector<Weight> weights(n);
    unsigned b = 0;
    const float fn = static_cast<float>(n);
    for (unsigned i = 0; i < n; ++i) {
        const unsigned c = b + m;
        if (c > n) {
            weights[i] = {static_cast<float>(n - b) / fn, static_cast<float>(c - n) / fn};
            b = c - n;
        } else if (c == n) {
            weights[i] = {static_cast<float>(m) / fn, -1.0f};
            b = 0;
        } else {
            weights[i] = {static_cast<float>(m) / fn, 0.0f};
            b = c;
        }
    }
    return weights;
}

unsigned char ToByte(float value)
{
    if (value <= 0.0f) {
        return 0;
    }
    if (value >= 255.0f) {
        return 255;
    }
    return static_cast<unsigned char>(value);
}

} // namespace

bool CImageFile::Resample(const unsigned char* src, unsigned sw, unsigned sh, unsigned char* dst, unsigned dw,
                          unsigned dh)
{
    constexpr float kTiny = 0.0001f;
    if (!src || !dst || sw == 0 || sh == 0 || dw == 0 || dh == 0 || sw > 65535 || sh > 65535 || dw > sw || dh > sh) {
        return false;
    }
    const std::vector<Weight> columns = AreaWeights(sw, dw);
    const std::vector<Weight> rows = AreaWeights(sh, dh);
    const size_t rowValues = static_cast<size_t>(dw) * 3;
    std::vector<float> current(rowValues + 3, 0.0f);
    std::vector<float> next(rowValues + 3, 0.0f);
    unsigned written = 0;
    // Output row j is written only after source row j or a later one was read, so shrinking in
    // place never overwrites a source row still to come.
    for (unsigned y = 0; y < sh && written < dh; ++y) {
        const unsigned char* in = src + static_cast<size_t>(y) * sw * 3;
        const float r0 = rows[y].w0;
        const float r1 = rows[y].w1;
        size_t k = 0;
        for (unsigned x = 0; x < sw && k < rowValues; ++x) {
            const float c0 = columns[x].w0;
            const float c1 = columns[x].w1;
            for (int channel = 0; channel < 3; ++channel) {
                const float v = in[x * 3 + channel];
                const size_t at = k + channel;
                current[at] += r0 * c0 * v;
                if (c1 > kTiny) {
                    current[at + 3] += r0 * c1 * v;
                }
                if (r1 > kTiny) {
                    next[at] += r1 * c0 * v;
                    if (c1 > kTiny) {
                        next[at + 3] += r1 * c1 * v;
                    }
                }
            }
            if (c1 > kTiny || c1 < -kTiny) {
                k += 3;
            }
        }
        if (r1 > kTiny || r1 < -kTiny) {
            unsigned char* out = dst + static_cast<size_t>(written) * rowValues;
            for (size_t i = 0; i < rowValues; ++i) {
                out[i] = ToByte(current[i]);
            }
            ++written;
            std::fill(current.begin(), current.end(), 0.0f);
            std::swap(current, next);
        }
    }
    return true;
}

bool CImageFile::SaveJpeg(CString path, const unsigned char* rgb, unsigned width, unsigned height, bool colour,
                          int quality)
{
    if (!rgb || width == 0 || height == 0 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) {
        return false;
    }
    unsigned char* volatile grey = nullptr;
    if (!colour) {
        grey = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(width) * height));
        if (!grey) {
            return false;
        }
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
            const unsigned char* p = rgb + i * 3;
            grey[i] = static_cast<unsigned char>(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]);
        }
    }
    const std::string hostPath = YondaHostPath(path);
    jpeg_compress_struct info;
    JpegFailure failure;
    info.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = OnJpegFatal;
    FILE* volatile file = nullptr;
    if (setjmp(failure.resume)) {
        jpeg_destroy_compress(&info);
        if (file) {
            fclose(file);
            std::remove(hostPath.c_str());
        }
        std::free(grey);
        return false;
    }
    jpeg_create_compress(&info);
    file = std::fopen(hostPath.c_str(), "wb");
    if (!file) {
        jpeg_destroy_compress(&info);
        std::free(grey);
        return false;
    }
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = colour ? 3 : 1;
    info.in_color_space = colour ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const size_t rowBytes = static_cast<size_t>(width) * (colour ? 3 : 1);
    const unsigned char* base = colour ? rgb : grey;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(base + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const bool closed = fclose(file) == 0;
    file = nullptr;
    std::free(grey);
    if (!closed) {
        std::remove(hostPath.c_str());
    }
    return closed;
}
