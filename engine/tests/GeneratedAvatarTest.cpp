// The engine started over the generated data folder dresses the sample avatars, each mesh with a
// material that names its item's texture.
#include "KRAAvatarManager.h"
#include "KRAAvatarTestFiles.h"
#include "KRAFakeDevice.h"
#include "KRAManager.h"

#include <gtest/gtest.h>

using namespace kratest;

namespace {
void Ignore(LONG, LONG, void*) {}
} // namespace

TEST(GeneratedAvatar, EngineDressesTheSampleAvatarsWithTextures)
{
    FakeDevice device;
    CKRAManager* pManager = nullptr;
    std::string strData = AvatarFolder().parent_path().string() + "/";
    ASSERT_EQ(KRACreate(&device, strData.c_str(), &Ignore, &pManager), KRA_OK);
    CKRAAvatarManager* pAvatars = CKRAManager::GetAvatarManager();
    ASSERT_NE(pAvatars, nullptr);
    for (const char* szList : {"10001.KRA", "20001.KRA"}) {
        _KRA_HANDLE hAvatar = 0;
        ASSERT_EQ(pAvatars->LoadAvatar(szList, hAvatar), KRA_OK) << szList;
        DWORD dwCount = 0;
        _KRA_HANDLE* pItems = nullptr;
        pAvatars->GetItemHandle(hAvatar, dwCount, pItems);
        EXPECT_GE(dwCount, 6u);
        for (DWORD i = 0; i < dwCount; ++i) {
            const CKRAItemFile* pItem = pAvatars->GetItemFile(pItems[i]);
            ASSERT_NE(pItem, nullptr);
            for (const CKRAAtomObject& mesh : pItem->Meshes()) {
                if (mesh.cData.strName == "shadow")
                    continue;
                ASSERT_LT(mesh.cData.dwMaterial, pItem->Materials().size()) << pItem->Path();
                const std::vector<CKRAMaterialTexture>& vTextures = pItem->Materials()[mesh.cData.dwMaterial].vTextures;
                ASSERT_FALSE(vTextures.empty()) << pItem->Path();
                EXPECT_NE(vTextures[0].strName.find(std::to_string(pItem->ItemCode())), std::string::npos);
            }
        }
    }
    KRADestroy();
    EXPECT_EQ(CKRAManager::GetAvatarManager(), nullptr);
}
