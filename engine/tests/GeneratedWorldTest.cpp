// The sample world that the build generates goes through the same readers as any data: every
// object file, grid map and texture wrapper of it must load.
#include "KRAFakeDevice.h"
#include "KRAFile.h"
#include "KRAGridMap.h"
#include "KRAManager.h"
#include "KRAObjectManager.h"
#include "KRATextureFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace kratest;

namespace {

void Ignore(LONG, LONG, void*) {}

std::filesystem::path WorldFolder()
{
    const char* szBinary = std::getenv("YONDA_BINARY_DIR");
    return std::filesystem::path(szBinary ? szBinary : ".") / "yonda" / "Data" / "WORLD";
}

std::string Extension(const std::filesystem::path& p)
{
    std::string s = p.extension().string();
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

} // namespace

TEST(GeneratedWorld, EveryObjectFileGridMapAndTextureWrapperLoads)
{
    std::filesystem::path world = WorldFolder();
    if (!std::filesystem::is_directory(world))
        GTEST_SKIP() << "no generated world at " << world;
    FakeDevice device;
    CKRAManager* pManager = nullptr;
    std::string strData = world.parent_path().string() + "/";
    ASSERT_EQ(KRACreate(&device, strData.c_str(), &Ignore, &pManager), KRA_OK);
    int nObjects = 0, nMaps = 0, nTextures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(world)) {
        std::string strName = entry.path().filename().string();
        std::string strExt = Extension(entry.path());
        if (strExt == ".KRO") {
            _KRA_HANDLE h = 0;
            EXPECT_EQ(CKRAManager::GetObjectManager()->LoadObjectFile(strName.c_str(), &h), KRA_OK) << strName;
            CKRAObjectFile* pFile = CKRAManager::GetObjectManager()->Find(h);
            ASSERT_NE(pFile, nullptr) << strName;
            EXPECT_GT(pFile->GetMeshCount(), 0u) << strName;
            ++nObjects;
        } else if (strExt == ".KRP" || strExt == ".KRC") {
            CKRAGridMap map;
            std::string strScene = (world / entry.path().stem()).string() + ".KRS";
            EXPECT_EQ(map.Load(strScene.c_str(), strExt.c_str()), KRA_OK) << strName;
            EXPECT_TRUE(map.IsLoaded()) << strName;
            ++nMaps;
        } else if (strExt == ".KRT") {
            std::vector<uint8_t> bytes;
            ASSERT_TRUE(KRAReadWholeFile(entry.path().string(), bytes));
            const uint8_t* pImage = nullptr;
            size_t nImage = 0;
            EXPECT_TRUE(KRAParseTextureFile(bytes.data(), bytes.size(), pImage, nImage)) << strName;
            EXPECT_GT(nImage, 0u) << strName;
            ++nTextures;
        }
    }
    EXPECT_GT(nObjects, 0);
    EXPECT_GT(nMaps, 0);
    EXPECT_GT(nTextures, 0);
    KRADestroy();
}
