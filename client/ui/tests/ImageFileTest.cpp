#include "BmpFile.h"
#include "ImageFile.h"
#include "BmpWriter.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <jpeglib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// One folder for the whole program, removed when it ends.
const yonda::testing::TempFolder& Folder()
{
    static const yonda::testing::TempFolder folder("yonda-image");
    return folder;
}

std::string WriteFile(const char* name, const std::vector<uint8_t>& bytes)
{
    return Folder().Write(name, bytes).string();
}

// The bitmap's pixels, top row first, as 0x00RRGGBB.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height)
{
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    EXPECT_EQ(GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS), height);
    DeleteDC(dc);
    for (uint32_t& p : pixels) {
        p &= 0xFFFFFF;
    }
    return pixels;
}

// A 5 x 3 picture whose colours tell each pixel apart, stored in the given depth.
struct Case {
    const char* name;
    BmpSpec spec;
    std::function<uint32_t(int, int)> expected;
};

std::vector<Case> EveryDepth()
{
    const std::vector<uint32_t> sixteen = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF,
                                           0xFF00FF, 0xFFFFFF, 0x808080, 0x800000, 0x008000, 0x000080,
                                           0x808000, 0x008080, 0x800080, 0xC0C0C0};
    auto index16 = [](int x, int y) { return static_cast<uint32_t>((x + y * 5) % 16); };
    auto colour = [](int x, int y) { return static_cast<uint32_t>(0x102030 * (x + 1) + 0x0A0000 * y); };
    std::vector<Case> cases;
    BmpSpec one;
    one.width = 13;
    one.height = 3;
    one.bitCount = 1;
    one.palette = {0x112233, 0xFFEEDD};
    one.pixel = [](int x, int y) { return static_cast<uint32_t>((x + y) & 1); };
    cases.push_back({"1 bit", one, [](int x, int y) { return (x + y) & 1 ? 0xFFEEDDu : 0x112233u; }});
    BmpSpec four;
    four.width = 5;
    four.height = 3;
    four.bitCount = 4;
    four.palette = {0x0000FF, 0x00FF00};
    four.coloursUsed = 2;
    four.pixel = [](int x, int) { return static_cast<uint32_t>(x == 4 ? 9 : x & 1); };
    cases.push_back({"4 bit, two colours used, index past the table", four,
                     [](int x, int) { return x == 4 ? 0u : (x & 1 ? 0x00FF00u : 0x0000FFu); }});
    BmpSpec eight;
    eight.width = 5;
    eight.height = 3;
    eight.bitCount = 8;
    eight.palette = sixteen;
    eight.coloursUsed = 16;
    eight.pixel = index16;
    cases.push_back({"8 bit", eight, [=](int x, int y) { return sixteen[index16(x, y)]; }});
    BmpSpec rgb555;
    rgb555.width = 5;
    rgb555.height = 3;
    rgb555.bitCount = 16;
    rgb555.pixel = [](int x, int) { return x == 0 ? 0x7C00u : x == 1 ? 0x03E0u : x == 2 ? 0x001Fu : 0x7FFFu; };
    cases.push_back({"16 bit 5-5-5", rgb555, [](int x, int) {
                         return x == 0 ? 0xFF0000u : x == 1 ? 0x00FF00u : x == 2 ? 0x0000FFu : 0xFFFFFFu;
                     }});
    BmpSpec rgb565 = rgb555;
    rgb565.compression = BI_BITFIELDS;
    rgb565.masks[0] = 0xF800;
    rgb565.masks[1] = 0x07E0;
    rgb565.masks[2] = 0x001F;
    rgb565.pixel = [](int x, int) { return x == 0 ? 0xF800u : x == 1 ? 0x07E0u : x == 2 ? 0x001Fu : 0u; };
    cases.push_back({"16 bit 5-6-5 bit fields", rgb565, [](int x, int) {
                         return x == 0 ? 0xFF0000u : x == 1 ? 0x00FF00u : x == 2 ? 0x0000FFu : 0u;
                     }});
    BmpSpec full;
    full.width = 3;
    full.height = 3;
    full.pixel = colour;
    cases.push_back({"24 bit with row padding", full, colour});
    BmpSpec topDown = full;
    topDown.height = -3;
    cases.push_back({"24 bit top-down", topDown, colour});
    BmpSpec thirtyTwo = full;
    thirtyTwo.bitCount = 32;
    cases.push_back({"32 bit", thirtyTwo, colour});
    BmpSpec v5 = full;
    v5.bitCount = 32;
    v5.headerSize = 124;
    v5.compression = BI_BITFIELDS;
    v5.masks[0] = 0x0000FF00;
    v5.masks[1] = 0x00FF0000;
    v5.masks[2] = 0xFF000000;
    v5.pixel = [=](int x, int y) {
        const uint32_t c = colour(x, y);
        return ((c >> 16) & 0xFF) << 8 | ((c >> 8) & 0xFF) << 16 | (c & 0xFF) << 24;
    };
    cases.push_back({"32 bit, long header with its own masks", v5, colour});
    BmpSpec gap = eight;
    gap.gap = 37;
    cases.push_back({"8 bit with a gap before the pixels", gap, [=](int x, int y) { return sixteen[index16(x, y)]; }});
    return cases;
}

} // namespace

TEST(BmpFile, EveryDepthReadsThroughBothLoaders)
{
    for (const Case& c : EveryDepth()) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteFile("depth.bmp", MakeBmp(c.spec));
        const int height = c.spec.height < 0 ? -c.spec.height : c.spec.height;
        CImageFile image;
        int width = 0;
        int rows = 0;
        std::unique_ptr<unsigned char[]> rgb(image.LoadBmp(path.c_str(), &width, &rows));
        ASSERT_TRUE(rgb) << image.m_strStatus.Str();
        EXPECT_EQ(image.m_strStatus.Str(), "OK");
        ASSERT_EQ(width, c.spec.width);
        ASSERT_EQ(rows, height);
        HBITMAP bitmap = LoadBitmapHandle(path.c_str());
        ASSERT_TRUE(bitmap);
        const std::vector<uint32_t> pixels = BitmapPixels(bitmap, width, rows);
        DeleteObject(bitmap);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = rgb.get() + (static_cast<size_t>(y) * width + x) * 3;
                const uint32_t read = (p[0] << 16) | (p[1] << 8) | p[2];
                EXPECT_EQ(read, c.expected(x, y)) << "RGB at " << x << "," << y;
                EXPECT_EQ(pixels[static_cast<size_t>(y) * width + x], c.expected(x, y))
                    << "bitmap at " << x << "," << y;
            }
        }
    }
}

TEST(BmpFile, LyingHeadersAreRefusedWithTheirReason)
{
    BmpSpec good;
    good.width = 4;
    good.height = 2;
    const std::vector<uint8_t> valid = MakeBmp(good);
    auto patched = [&](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes(valid.begin(), valid.begin() + at);
        Put32(bytes, value);
        bytes.insert(bytes.end(), valid.begin() + at + 4, valid.end());
        return bytes;
    };
    auto truncated = [&](size_t size) { return std::vector<uint8_t>(valid.begin(), valid.begin() + size); };
    BmpSpec hugeTable;
    hugeTable.bitCount = 8;
    hugeTable.palette = {0xFFFFFF};
    hugeTable.coloursUsed = 0xFFFFFFFF;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* status;
    } cases[] = {
        {"one byte", {'B'}, "Read Error!"},
        {"wrong signature", {'B', 'A', 0, 0}, "Not a valid BMP File"},
        {"headers cut short", truncated(30), "Read Error!"},
        {"pixels cut short", truncated(valid.size() - 1), "Read Error!"},
        {"zero width", patched(18, 0), "Memory alloc Failed"},
        {"negative width", patched(18, 0xFFFFFFFF), "Memory alloc Failed"},
        {"zero height", patched(22, 0), "Memory alloc Failed"},
        {"huge", patched(18, 40000), "Memory alloc Failed"},
        {"header size past the end", patched(14, 0x7FFFFFFF), "Read Error!"},
        {"header size too small", patched(14, 12), "Bad BMP header"},
        {"offset into the headers", patched(10, 20), "Corrupt palette"},
        {"offset past the end", patched(10, 0xFFFFFFF0), "Read Error!"},
        {"run-length encoded", patched(30, BI_RLE8), "This is a compressed file."},
        {"bit count 7", patched(26, 0x00070001), "Unsupported bit count"},
        {"a table larger than the file", MakeBmp(hugeTable), "Read Error!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteFile("bad.bmp", c.bytes);
        CImageFile image;
        int width = -1;
        int height = -1;
        EXPECT_EQ(image.LoadBmp(path.c_str(), &width, &height), nullptr);
        EXPECT_EQ(image.m_strStatus.Str(), c.status);
        EXPECT_EQ(width, 0);
        EXPECT_EQ(LoadBitmapHandle(path.c_str()), nullptr);
    }
    CImageFile image;
    EXPECT_EQ(image.LoadBmp((Folder() / "none.bmp").string().c_str(), nullptr, nullptr), nullptr);
    EXPECT_EQ(image.m_strStatus.Str(), "Can't open file for reading :\n" + (Folder() / "none.bmp").string());
}

TEST(BmpFile, LoadBitmapFileReplacesTheOldPictureAndMakesAPalette)
{
    BmpSpec spec;
    spec.bitCount = 8;
    spec.width = 2;
    spec.palette = {0x123456, 0xABCDEF};
    spec.coloursUsed = 2;
    const std::string path = WriteFile("palette.bmp", MakeBmp(spec));
    CBitmap bitmap;
    bitmap.Attach(CreateBitmap(1, 1, 1, 32, nullptr));
    CPalette palette;
    ASSERT_TRUE(LoadBitmapFile(path.c_str(), &bitmap, &palette));
    ASSERT_TRUE(palette.GetSafeHandle());
    EXPECT_EQ(BitmapPixels(bitmap, 2, 1), (std::vector<uint32_t>{0x123456, 0x123456}));
    EXPECT_FALSE(LoadBitmapFile((Folder() / "none.bmp").string().c_str(), &bitmap, &palette));
    EXPECT_TRUE(bitmap.GetSafeHandle()) << "a missing file leaves the old picture";

    EXPECT_TRUE(DeleteGdiObject(&bitmap));
    EXPECT_FALSE(bitmap.GetSafeHandle());
    EXPECT_FALSE(DeleteGdiObject(&bitmap)) << "nothing left to delete";
    EXPECT_FALSE(DeleteGdiObject(nullptr));
}

TEST(ImageFile, ResampleAveragesAreas)
{
    // 8 to 4 pixels across, 2 rows to 1: each target pixel is the mean of a 2 x 2 block.
    std::vector<unsigned char> src(8 * 2 * 3);
    for (size_t i = 0; i < src.size(); ++i) {
        src[i] = static_cast<unsigned char>(i * 5);
    }
    std::vector<unsigned char> dst(4 * 3, 0);
    ASSERT_TRUE(CImageFile::Resample(src.data(), 8, 2, dst.data(), 4, 1));
    for (int x = 0; x < 4; ++x) {
        for (int c = 0; c < 3; ++c) {
            const int sum = src[(2 * x) * 3 + c] + src[(2 * x + 1) * 3 + c] + src[24 + (2 * x) * 3 + c] +
                            src[24 + (2 * x + 1) * 3 + c];
            EXPECT_NEAR(dst[x * 3 + c], sum / 4, 1);
        }
    }
    // 3 to 2: two thirds of an outer pixel and one third of the middle one.
    const unsigned char row[9] = {90, 90, 90, 180, 180, 180, 0, 0, 0};
    unsigned char two[6] = {};
    ASSERT_TRUE(CImageFile::Resample(row, 3, 1, two, 2, 1));
    EXPECT_NEAR(two[0], 120, 1);
    EXPECT_NEAR(two[3], 60, 1);

    // In place, with a width that is no multiple of 4, the last rows intact.
    std::vector<unsigned char> image(6 * 4 * 3, 200);
    image.back() = 8;
    ASSERT_TRUE(CImageFile::Resample(image.data(), 6, 4, image.data(), 3, 2));
    EXPECT_NEAR(image[0], 200, 1);
    EXPECT_NEAR(image[3 * 2 * 3 - 1], (200 * 3 + 8) / 4, 1);

    EXPECT_FALSE(CImageFile::Resample(row, 3, 1, two, 4, 1)) << "enlarging is refused";
    EXPECT_FALSE(CImageFile::Resample(row, 70000, 1, two, 2, 1));
}

TEST(ImageFile, JpegDecodesBackToThePicture)
{
    const unsigned width = 40;
    const unsigned height = 24;
    std::vector<unsigned char> rgb(width * height * 3);
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            unsigned char* p = &rgb[(y * width + x) * 3];
            p[0] = x < 20 ? 255 : 0;
            p[1] = y < 12 ? 200 : 40;
            p[2] = 90;
        }
    }
    for (bool colour : {true, false}) {
        SCOPED_TRACE(colour ? "colour" : "grey");
        const std::string path = (Folder() / "shot.jpg").string();
        CImageFile image;
        ASSERT_TRUE(image.SaveJpeg(path.c_str(), rgb.data(), width, height, colour, 75));
        FILE* file = fopen(path.c_str(), "rb");
        ASSERT_TRUE(file);
        jpeg_decompress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_stdio_src(&info, file);
        jpeg_read_header(&info, TRUE);
        jpeg_start_decompress(&info);
        ASSERT_EQ(info.output_width, width);
        ASSERT_EQ(info.output_height, height);
        ASSERT_EQ(info.output_components, colour ? 3 : 1);
        std::vector<unsigned char> line(width * info.output_components);
        double error = 0;
        while (info.output_scanline < height) {
            const unsigned y = info.output_scanline;
            JSAMPROW row = line.data();
            jpeg_read_scanlines(&info, &row, 1);
            for (unsigned x = 0; x < width; ++x) {
                const unsigned char* p = &rgb[(y * width + x) * 3];
                if (colour) {
                    for (int c = 0; c < 3; ++c) {
                        error += std::abs(line[x * 3 + c] - p[c]);
                    }
                } else {
                    error += 3 * std::abs(line[x] - static_cast<int>(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]));
                }
            }
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        fclose(file);
        EXPECT_LT(error / (width * height * 3), 6.0);
    }
    CImageFile image;
    EXPECT_FALSE(image.SaveJpeg((Folder() / "no" / "x.jpg").string().c_str(), rgb.data(), width, height, true, 75));
    EXPECT_FALSE(image.SaveJpeg((Folder() / "x.jpg").string().c_str(), nullptr, width, height, true, 75));
    const unsigned char red[3] = {255, 0, 0};
    EXPECT_EQ(static_cast<int>(0.299 * red[0]), 76);
}
