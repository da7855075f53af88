// Textured quads through each loader and format, colour keys, mip chains, broken files, and
// surfaces saved as BMP.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <jpeglib.h>

#include "ImageFiles.h"
#include "RenderFixture.h"

namespace yonda::d3d8::testing {
namespace {

// 4 x 4: a red, green, blue and white quadrant.
std::vector<uint32_t> Quadrants(uint32_t alpha = 0xff000000u)
{
    std::vector<uint32_t> pixels(16);
    for (uint32_t y = 0; y < 4; ++y) {
        for (uint32_t x = 0; x < 4; ++x) {
            D3DCOLOR c = y < 2 ? (x < 2 ? kRed : kGreen) : (x < 2 ? kBlue : kWhite);
            pixels[y * 4 + x] = (c & 0xffffff) | alpha;
        }
    }
    return pixels;
}

Bytes MakePng(uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    Bytes out(size);
    png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr);
    out.resize(size);
    return out;
}

Bytes MakeJpeg(uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(width * 3);
    while (info.next_scanline < height) {
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t p = pixels[size_t(info.next_scanline) * width + x];
            row[3 * x] = uint8_t(p >> 16);
            row[3 * x + 1] = uint8_t(p >> 8);
            row[3 * x + 2] = uint8_t(p);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

class D3DXTexture : public RenderTest {
protected:
    std::string Write(const std::string& name, const Bytes& bytes)
    {
        std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "yonda-d3dx";
        std::filesystem::create_directories(dir);
        std::string path = (dir / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    // Draws the texture over a 16 x 16 quad with point sampling and reads the four quadrants.
    std::vector<D3DCOLOR> DrawQuadrants(IDirect3DTexture8* texture, D3DCOLOR background = kGrey)
    {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
        m_device->SetTexture(0, texture);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        DrawScreenRect(0, 0, 16, 16, kWhite);
        m_device->SetTexture(0, nullptr);
        YondaPicture picture = ReadBackBuffer();
        return {picture.At(2, 2), picture.At(13, 2), picture.At(2, 13), picture.At(13, 13)};
    }
};

TEST_F(D3DXTexture, EveryLoaderDrawsItsQuadrants)
{
    struct Case {
        const char* name;
        Bytes file;
        D3DFORMAT format;
        int tolerance;
    } cases[] = {
        {"q24.bmp", MakeBmp(4, 4, Quadrants(), 24), D3DFMT_X8R8G8B8, 0},
        {"q32.bmp", MakeBmp(4, 4, Quadrants(), 32), D3DFMT_X8R8G8B8, 0},
        {"q8.bmp",
         MakePaletteBmp(4, 4, {kRed, kGreen, kBlue, kWhite}, {0, 0, 1, 1, 0, 0, 1, 1, 2, 2, 3, 3, 2, 2, 3, 3}),
         D3DFMT_X8R8G8B8, 0},
        {"q24.tga", MakeTga(4, 4, Quadrants(), false), D3DFMT_X8R8G8B8, 0},
        {"q32rle.tga", MakeTga(4, 4, Quadrants(), true), D3DFMT_A8R8G8B8, 0},
        {"q.png", MakePng(4, 4, Quadrants()), D3DFMT_A8R8G8B8, 0}, // written with an alpha channel
        {"q.jpg",
         MakeJpeg(16, 16,
                  [] {
                      std::vector<uint32_t> big(256);
                      for (uint32_t i = 0; i < 256; ++i)
                          big[i] = Quadrants()[(i / 16 / 4) * 4 + (i % 16) / 4];
                      return big;
                  }()),
         D3DFMT_X8R8G8B8, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileA(m_device, Write(c.name, c.file).c_str(), &texture), D3D_OK);
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, c.format);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(texture->GetLevelCount(), c.name == std::string("q.jpg") ? 5u : 3u);
        std::vector<D3DCOLOR> q = DrawQuadrants(texture);
        EXPECT_TRUE(ColourNear(q[0], kRed, c.tolerance)) << std::hex << q[0];
        EXPECT_TRUE(ColourNear(q[1], kGreen, c.tolerance)) << std::hex << q[1];
        EXPECT_TRUE(ColourNear(q[2], kBlue, c.tolerance)) << std::hex << q[2];
        EXPECT_TRUE(ColourNear(q[3], kWhite, c.tolerance)) << std::hex << q[3];
        texture->Release();

        // From memory, the same.
        ASSERT_EQ(D3DXCreateTextureFromFileInMemory(m_device, c.file.data(), UINT(c.file.size()), &texture), D3D_OK);
        q = DrawQuadrants(texture);
        EXPECT_TRUE(ColourNear(q[3], kWhite, c.tolerance)) << std::hex << q[3];
        texture->Release();
    }
}

TEST_F(D3DXTexture, DdsKeepsBlocksAndLevels)
{
    // DXT1, 4 x 4, one block: colour 0 red, colour 1 blue, the top two rows index 0, the bottom two 1.
    Bytes dxt1 = {0x00, 0xf8, 0x1f, 0x00, 0x00, 0x00, 0x55, 0x55};
    Bytes level1 = {0x1f, 0x00, 0x1f, 0x00, 0, 0, 0, 0}; // blue
    Bytes level2 = level1;
    IDirect3DTexture8* texture = nullptr;
    Bytes file = MakeDds(4, 4, MAKEFOURCC('D', 'X', 'T', '1'), {dxt1, level1, level2});
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(m_device, file.data(), UINT(file.size()), &texture), D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_DXT1);
    EXPECT_EQ(texture->GetLevelCount(), 3u);
    std::vector<D3DCOLOR> q = DrawQuadrants(texture);
    EXPECT_EQ(q[0], kRed);
    EXPECT_EQ(q[3], kBlue);
    texture->Release();

    // DXT5: alpha 0 in the left half by the alpha indices, colour all green; alpha-tested away.
    Bytes dxt5 = {0xff, 0x00,                         // alpha 0 = 255, alpha 1 = 0
                  0x09, 0x90, 0x00, 0x09, 0x90, 0x00, // per row: indices 1, 1, 0, 0
                  0xe0, 0x07, 0xe0, 0x07, 0,    0,    0, 0};
    file = MakeDds(4, 4, MAKEFOURCC('D', 'X', 'T', '5'), {dxt5});
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(m_device, file.data(), UINT(file.size()), &texture), D3D_OK);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ALPHAREF, 8);
    m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    q = DrawQuadrants(texture);
    EXPECT_EQ(q[0], kGrey);
    EXPECT_EQ(q[1], kGreen);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    texture->Release();

    // Uncompressed 32-bit DDS with its alpha.
    Bytes argb;
    for (uint32_t p : Quadrants(0x80000000u))
        Put32(argb, p);
    file = MakeDds(4, 4, 0, {argb});
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(m_device, file.data(), UINT(file.size()), &texture), D3D_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    q = DrawQuadrants(texture);
    EXPECT_EQ(q[2], kBlue);
    texture->Release();
}

TEST_F(D3DXTexture, ColourKeyTurnsOnlyExactBlackTransparent)
{
    // Left column black, the next nearly black, the rest red.
    std::vector<uint32_t> pixels(16, kRed);
    for (uint32_t y = 0; y < 4; ++y) {
        pixels[y * 4] = kBlack;
        pixels[y * 4 + 1] = 0xff010000u;
    }
    std::string path = Write("keyed.bmp", MakeBmp(4, 4, pixels));
    IDirect3DTexture8* texture = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileExA(m_device, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0x70004, 0x70004, 0xff000000u, &info,
                                           nullptr, &texture),
              D3D_OK);
    EXPECT_EQ(info.Width, 4u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto* row = static_cast<const DWORD*>(locked.pBits);
    EXPECT_EQ(row[0], 0x00000000u);
    EXPECT_EQ(row[1], 0xff010000u);
    EXPECT_EQ(row[2], kRed);
    texture->UnlockRect(0);

    // Drawn as the engine draws keyed meshes: alpha from the texture, test at 159.
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ALPHAREF, 159);
    m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    DrawScreenRect(0, 0, 16, 16, kWhite);
    YondaPicture picture = ReadBackBuffer();
    EXPECT_EQ(picture.At(1, 5), kGreen);      // keyed black: the background shows
    EXPECT_EQ(picture.At(5, 5), 0xff010000u); // near-black stays
    EXPECT_EQ(picture.At(10, 5), kRed);
    m_device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(D3DXTexture, FullMipChainAveragesEachLevel)
{
    IDirect3DTexture8* texture = nullptr;
    Bytes file = MakeBmp(4, 4, Quadrants());
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(m_device, file.data(), UINT(file.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, nullptr, nullptr, &texture),
              D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(1, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<const DWORD*>(locked.pBits)[0], kRed);
    texture->UnlockRect(1);
    ASSERT_EQ(texture->LockRect(2, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    // The average of red, green, blue and white: (2, 2, 2) x 255 / 4.
    EXPECT_TRUE(ColourNear(static_cast<const DWORD*>(locked.pBits)[0], 0xff808080u, 1));
    texture->UnlockRect(2);
    texture->Release();

    // Asked for a 16-bit format and a size: converted and scaled.
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(m_device, file.data(), UINT(file.size()), 8, 8, 1, 0, D3DFMT_R5G6B5,
                                                  D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr,
                                                  &texture),
              D3D_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Format, D3DFMT_R5G6B5);
    std::vector<D3DCOLOR> q = DrawQuadrants(texture);
    EXPECT_EQ(q[1], kGreen);
    EXPECT_EQ(q[2], kBlue);
    texture->Release();
}

TEST_F(D3DXTexture, BrokenFilesFailAndLeaveNothing)
{
    Bytes good = MakeBmp(4, 4, Quadrants());
    Bytes truncated(good.begin(), good.begin() + 60);
    Bytes hugeBmp = good;
    hugeBmp[18] = 0xff; // width 255 with the same few bytes of pixels
    hugeBmp[19] = 0xff;
    Bytes rle = good;
    rle[30] = 1; // run-length compression
    Bytes ddsCut = MakeDds(8, 8, MAKEFOURCC('D', 'X', 'T', '5'), {Bytes(10, 0)});
    Bytes ddsCube = MakeDds(4, 4, MAKEFOURCC('D', 'X', 'T', '1'), {Bytes(8, 0)});
    ddsCube[113] = 0x02; // caps2: cube map
    Bytes tgaBad = MakeTga(4, 4, Quadrants(), false);
    tgaBad[16] = 12; // 12 bits per pixel
    Bytes tgaCut(MakeTga(4, 4, Quadrants(), true));
    tgaCut.resize(30);
    Bytes png = MakePng(4, 4, Quadrants());
    png[40] ^= 0xff; // a corrupted chunk
    Bytes jpeg = MakeJpeg(16, 16, std::vector<uint32_t>(256, kRed));
    jpeg.resize(jpeg.size() / 3);
    const Bytes* broken[] = {&truncated, &hugeBmp, &rle, &ddsCut, &ddsCube, &tgaBad, &tgaCut, &png};
    int index = 0;
    for (const Bytes* file : broken) {
        SCOPED_TRACE(index++);
        IDirect3DTexture8* texture = reinterpret_cast<IDirect3DTexture8*>(0x1);
        EXPECT_EQ(D3DXCreateTextureFromFileInMemory(m_device, file->data(), UINT(file->size()), &texture),
                  D3DXERR_INVALIDDATA);
        EXPECT_EQ(texture, nullptr);
    }
    // A cut JPEG still decodes as far as it goes or fails cleanly; either way no crash.
    IDirect3DTexture8* texture = nullptr;
    if (SUCCEEDED(D3DXCreateTextureFromFileInMemory(m_device, jpeg.data(), UINT(jpeg.size()), &texture))) {
        texture->Release();
    }
    EXPECT_EQ(D3DXCreateTextureFromFileA(m_device, "/nonexistent/x.bmp", &texture), D3DERR_NOTFOUND);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(m_device, nullptr, 10, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(nullptr, good.data(), UINT(good.size()), &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_device), 0u);
}

TEST_F(D3DXTexture, SaveSurfaceWritesA24BitBmpOfTheRectangle)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    D3DRECT red = {10, 10, 20, 15};
    m_device->Clear(1, &red, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    IDirect3DSurface8* back = nullptr;
    m_device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    std::string path = Write("shot.bmp", {});
    RECT part = {8, 9, 24, 17};
    ASSERT_EQ(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_BMP, back, nullptr, &part), D3D_OK);
    RECT outside = {8, 9, 80, 17};
    EXPECT_EQ(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_BMP, back, nullptr, &outside), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXSaveSurfaceToFileA(path.c_str(), D3DXIFF_JPG, back, nullptr, nullptr), D3DERR_INVALIDCALL);
    back->Release();

    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), D3D_OK);
    EXPECT_EQ(info.Width, 16u);
    EXPECT_EQ(info.Height, 8u);
    std::ifstream in(path, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 54u + 48u * 8u);
    EXPECT_EQ(bytes[28], 24); // bits per pixel
    // Bottom-up rows of 48 bytes: row 0 of the file is y = 16 of the target (blue); y = 10 is red from x 10.
    auto pixel = [&](int x, int y) {
        size_t at = 54 + size_t(16 - y) * 48 + size_t(x - 8) * 3;
        return 0xff000000u | (uint32_t(bytes[at + 2]) << 16) | (uint32_t(bytes[at + 1]) << 8) | bytes[at];
    };
    EXPECT_EQ(pixel(8, 16), kBlue);
    EXPECT_EQ(pixel(10, 10), kRed);
    EXPECT_EQ(pixel(9, 10), kBlue);
    EXPECT_EQ(pixel(19, 14), kRed);
    EXPECT_EQ(pixel(19, 15), kBlue);
}

} // namespace
} // namespace yonda::d3d8::testing
