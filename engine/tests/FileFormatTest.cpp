#include "KRAGridMapFormat.h"
#include "KRAObjectFormat.h"
#include "KRATextureFormat.h"
#include "KRATestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kratest;

namespace {

std::vector<uint8_t> SampleKRO()
{
    Mesh still;
    still.wTexFlags = KRA_TEX_COLOR_KEYED;
    still.bFirst = true;
    still.strFirst = "plant.bmp";
    still.vVertices = Quad(0, 0, 1, 0);
    Mesh moving;
    moving.wKind = KRA_MESH_ANIMATED;
    moving.wTexFlags = KRA_TEX_POSITION_KEYS | KRA_TEX_ROTATION_KEYS | KRA_TEX_SCALE_KEYS;
    moving.vVertices = Quad(0, 0, 1, 0);
    moving.dwKeyStart = 0;
    moving.dwKeyEnd = 1000;
    moving.dwKeyCount = 2;
    moving.vPos = {0, 0, 0, 10, 0, 0};
    moving.vRot = {0, 0, 0, 1, 0, 0, 0, 1};
    moving.vScale = {1, 1, 1, 2, 2, 2};
    return KRO(0x1234, {still, moving});
}

LONG Parse(const std::vector<uint8_t>& bytes)
{
    KRA_OBJECT_FILE_DATA data;
    return KRAParseObjectFile(bytes.data(), bytes.size(), data);
}

} // namespace

TEST(ObjectFormat, ParsesMeshesTexturesVerticesAndKeys)
{
    std::vector<uint8_t> bytes = SampleKRO();
    KRA_OBJECT_FILE_DATA data;
    ASSERT_EQ(KRAParseObjectFile(bytes.data(), bytes.size(), data), KRA_OK);
    EXPECT_EQ(data.dwCode, 0x1234u);
    ASSERT_EQ(data.vMeshes.size(), 2u);
    EXPECT_TRUE(data.vMeshes[0].bHasFirstTexture);
    EXPECT_EQ(data.vMeshes[0].strFirstTexture, "plant.bmp");
    EXPECT_FALSE(data.vMeshes[0].bHasSecondTexture);
    EXPECT_EQ(data.vMeshes[0].vVertices.size(), 6u);
    EXPECT_FLOAT_EQ(data.vMeshes[0].vVertices[2].x, 1.f);
    EXPECT_EQ(data.vMeshes[1].adwKeyBlock[1], 1000u);
    EXPECT_EQ(data.vMeshes[1].vPositionKeys.size(), 6u);
    EXPECT_EQ(data.vMeshes[1].vRotationKeys.size(), 8u);
    EXPECT_FLOAT_EQ(data.vMeshes[1].vScaleKeys[5], 2.f);
}

TEST(ObjectFormat, EveryTruncationIsRefused)
{
    std::vector<uint8_t> bytes = SampleKRO();
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(n));
        ASSERT_EQ(Parse(cut), KRA_E_INVALID_ARGUMENT) << "cut at " << n;
    }
}

TEST(ObjectFormat, CountsLargerThanTheFileAreRefused)
{
    std::vector<uint8_t> bytes = SampleKRO();
    auto patched = [&](size_t offset, uint32_t value) {
        std::vector<uint8_t> b = bytes;
        for (int i = 0; i < 4; ++i)
            b[offset + size_t(i)] = uint8_t(value >> (8 * i));
        return b;
    };
    EXPECT_EQ(Parse(patched(8, 3)), KRA_E_INVALID_ARGUMENT);               // one mesh more than there is
    EXPECT_EQ(Parse(patched(8, 0xFFFFFFFF)), KRA_E_INVALID_ARGUMENT);      // absurd mesh count
    EXPECT_EQ(Parse(patched(12 + 4, 0x7FFFFFFF)), KRA_E_INVALID_ARGUMENT); // vertex count
    size_t second = 12 + 72 + 272 + 6 * 44;
    size_t keyCount = second + 72 + 272 + 6 * 44 + 12;
    EXPECT_EQ(Parse(patched(keyCount, 0x40000000)), KRA_E_INVALID_ARGUMENT);
}

TEST(ObjectFormat, TextureNamesWithoutTheirZeroStopAtTheField)
{
    Mesh m;
    m.bFirst = true;
    m.strFirst = std::string(112, 'a'); // fills the field, no zero
    m.bSecond = true;
    m.strSecond = std::string(112, 'b');
    std::vector<uint8_t> bytes = KRO(0, {m});
    KRA_OBJECT_FILE_DATA data;
    ASSERT_EQ(KRAParseObjectFile(bytes.data(), bytes.size(), data), KRA_OK);
    EXPECT_EQ(data.vMeshes[0].strFirstTexture, std::string(112, 'a'));
    EXPECT_EQ(data.vMeshes[0].strSecondTexture, std::string(112, 'b'));
}

TEST(ObjectFormat, EmptyFileAndNullAreRefusedButZeroMeshesIsAFile)
{
    EXPECT_EQ(Parse({}), KRA_E_INVALID_ARGUMENT);
    KRA_OBJECT_FILE_DATA data;
    EXPECT_EQ(KRAParseObjectFile(nullptr, 100, data), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(Parse(KRO(5, {})), KRA_OK);
}

TEST(TextureFormat, FindsTheWrappedImageAndRefusesShortFiles)
{
    std::vector<uint8_t> image = SolidBMP(2, 2, 0xFF0000);
    std::vector<uint8_t> file = KRT(image);
    file.push_back(0xAA); // bytes after the image are not read
    const uint8_t* p = nullptr;
    size_t n = 0;
    ASSERT_TRUE(KRAParseTextureFile(file.data(), file.size(), p, n));
    EXPECT_EQ(n, image.size());
    EXPECT_EQ(p, file.data() + 8);
    for (size_t cut = 0; cut < 8 + image.size(); ++cut)
        ASSERT_FALSE(KRAParseTextureFile(file.data(), cut, p, n)) << cut;
}

TEST(TextureFormat, OnlyExactUpperOrLowerExtensionIsKRT)
{
    EXPECT_TRUE(KRAIsTextureFileName("a.KRT"));
    EXPECT_TRUE(KRAIsTextureFileName("dir.x\\a.krt"));
    EXPECT_FALSE(KRAIsTextureFileName("a.Krt"));
    EXPECT_FALSE(KRAIsTextureFileName("a.KRT.bmp"));
    EXPECT_FALSE(KRAIsTextureFileName("krt"));
    EXPECT_FALSE(KRAIsTextureFileName(nullptr));
}

TEST(GridMapFormat, ReadsHeaderAndCells)
{
    std::vector<uint8_t> cells(6, 0);
    cells[4] = 1;
    std::vector<uint8_t> bytes = GridMap(10, 3, 2, -5.f, 7.f, cells);
    KRA_GRID_MAP_DATA map;
    ASSERT_EQ(KRAParseGridMap(bytes.data(), bytes.size(), map), KRA_OK);
    EXPECT_EQ(map.dwCellSize, 10u);
    EXPECT_EQ(map.dwWidth, 3u);
    EXPECT_EQ(map.dwHeight, 2u);
    EXPECT_FLOAT_EQ(map.fOriginX, -5.f);
    EXPECT_FLOAT_EQ(map.fOriginZ, 7.f);
    EXPECT_EQ(map.vCells, cells);
}

TEST(GridMapFormat, RefusesMapsThatCannotBeWalked)
{
    KRA_GRID_MAP_DATA map;
    auto parse = [&](const std::vector<uint8_t>& b) { return KRAParseGridMap(b.data(), b.size(), map); };
    EXPECT_EQ(parse(GridMap(0, 2, 2, 0, 0, std::vector<uint8_t>(4))), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(parse(GridMap(10, 0, 2, 0, 0, {})), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(parse(GridMap(10, 2, 2, 0, 0, std::vector<uint8_t>(3))), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(parse(GridMap(10, 0x10000, 0x10000, 0, 0, std::vector<uint8_t>(4))), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(parse(GridMap(10, 1, 1, std::nanf(""), 0, {0})), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(parse(GridMap(10, 1, 1, 0, std::numeric_limits<float>::infinity(), {0})), KRA_E_INVALID_ARGUMENT);
    std::vector<uint8_t> good = GridMap(10, 2, 2, 0, 0, std::vector<uint8_t>(4));
    for (size_t cut = 0; cut < good.size(); ++cut)
        ASSERT_EQ(parse(std::vector<uint8_t>(good.begin(), good.begin() + long(cut))), KRA_E_INVALID_ARGUMENT);
}
