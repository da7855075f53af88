#include "KRAEngineFixture.h"
#include "KRATextureManager.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

using namespace kratest;

namespace {

class Textures : public EngineFixture {
protected:
    CKRATextureManager& Manager() { return *CKRAManager::GetTextureManager(); }
};

} // namespace

TEST_F(Textures, OnePathInAnyCaseIsOneEntryWithItsReferences)
{
    CKRAHandle<tagKRADS> a, b, c;
    ASSERT_EQ(Manager().LoadWorldTexture("Sky.KRT", &a), KRA_OK);
    ASSERT_EQ(Manager().LoadWorldTexture("SKY.KRT", &b), KRA_OK);
    // Whatever loader is asked for, a loaded path is shared as it is.
    ASSERT_EQ(Manager().LoadWorldTextureColorKeyed("sky.KRT", &c), KRA_OK);
    EXPECT_EQ(a.m_hHandle, b.m_hHandle);
    EXPECT_EQ(a.m_hHandle, c.m_hHandle);
    EXPECT_EQ(Manager().GetRefCount(a), 3);
    EXPECT_EQ(Manager().GetTextureCount(), 1u);
    EXPECT_EQ(std::string(Manager().GetTextureName(a)), m_strData + "WORLD\\Sky.KRT");
    // Avatar textures live in their own folder: another entry.
    CKRAHandle<tagKRADS> d;
    ASSERT_EQ(Manager().LoadAvatarTexture("Sky.KRT", &d), KRA_OK);
    EXPECT_NE(d.m_hHandle, a.m_hHandle);
}

TEST_F(Textures, AMissingKRTIsAnEntryWithoutTextureUntilItsLastRelease)
{
    CKRAHandle<tagKRADS> h;
    ASSERT_EQ(Manager().LoadWorldTexture("absent.KRT", &h), KRA_OK);
    EXPECT_NE(h.m_hHandle, 0u);
    EXPECT_EQ(Manager().GetTexture(h), nullptr);
    CKRAHandle<tagKRADS> again;
    Manager().LoadWorldTexture("absent.KRT", &again);
    EXPECT_EQ(Manager().ReleaseTexture(h), KRA_OK);
    // The last release answers that there was no texture to release, and the entry goes all the
    // same: kept, it would hold no reference that anyone could ever release, and its path would
    // keep a later load from trying the file again. So its handle is stale now.
    EXPECT_EQ(Manager().ReleaseTexture(h), KRA_E_NOTHING_TO_RELEASE);
    EXPECT_EQ(Manager().ReleaseTexture(h), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(Manager().GetTextureCount(), 0u);
}

TEST_F(Textures, OtherFilesThatCannotBeReadFailTheirLoad)
{
    CKRAHandle<tagKRADS> h;
    EXPECT_EQ(Manager().LoadWorldTexture("absent.bmp", &h), KRA_E_FAILED);
    EXPECT_EQ(h.m_hHandle, 0u);
    // Mixed case is not the wrapper's extension: the image loader gets the file and refuses it.
    WriteWorld("odd.Krt", KRT(SolidBMP(2, 2, 0xFF0000)));
    EXPECT_EQ(Manager().LoadWorldTexture("odd.Krt", &h), KRA_E_FAILED);
    // A wrapper whose length runs past its end is refused before any image is made.
    std::vector<uint8_t> longer = KRT(SolidBMP(2, 2, 0xFF0000));
    longer.resize(longer.size() - 5);
    WriteWorld("short.KRT", longer);
    EXPECT_EQ(Manager().LoadWorldTexture("short.KRT", &h), KRA_E_FAILED);
    EXPECT_EQ(Manager().GetTextureCount(), 0u);
}

TEST_F(Textures, NullArgumentsAndBadHandles)
{
    YondaMessageBoxCapture boxes;
    CKRAHandle<tagKRADS> h;
    EXPECT_EQ(Manager().LoadWorldTexture(nullptr, &h), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Invalid texture path\n"});
    EXPECT_EQ(Manager().ReleaseTexture(CKRAHandle<tagKRADS>(0)), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(Manager().ReleaseTexture(CKRAHandle<tagKRADS>(0x00070000)), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(Manager().GetTexture(CKRAHandle<tagKRADS>(0x00070000)), nullptr);
    EXPECT_EQ(Manager().GetTextureName(CKRAHandle<tagKRADS>(0x00070000)), nullptr);
    CKRATextureManager fresh;
    EXPECT_EQ(fresh.Initialize(nullptr, "x"), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(fresh.Initialize(&m_device, nullptr), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(boxes.Texts().size(), 3u);
    EXPECT_EQ(boxes.Texts()[1], "Invalid Direct3D device pointer\n");
    EXPECT_EQ(boxes.Texts()[2], "Invalid texture path\n");
}

TEST_F(Textures, ReleaseAllEmptiesTheTable)
{
    CKRAHandle<tagKRADS> a, b;
    Manager().LoadWorldTexture("a.KRT", &a);
    Manager().LoadWorldTexture("b.KRT", &b);
    Manager().LoadWorldTexture("b.KRT", &b);
    EXPECT_EQ(Manager().ReleaseAllTextures(), KRA_OK);
    EXPECT_EQ(Manager().GetTextureCount(), 0u);
    EXPECT_EQ(Manager().GetTexture(a), nullptr);
}
