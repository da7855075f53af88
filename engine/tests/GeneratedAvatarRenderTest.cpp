// The generated sample avatars drawn through the real device, standing and playing their idle
// motion: the dressed body shows where it stands, in its items' textures.
#include "KRAAvatarManager.h"
#include "KRAAvatarTestFiles.h"
#include "KRARenderFixture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>

using namespace kratest;

namespace {

class GeneratedAvatarRender : public RenderFixture {
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        YondaClockSetManual(TRUE);
        // The engine again, over the generated data folder.
        KRADestroy();
        m_strGenerated = AvatarFolder().parent_path().string() + "/";
        CKRAManager* pManager = nullptr;
        ASSERT_EQ(KRACreate(m_pDevice, m_strGenerated.c_str(), &Ignore, &pManager), KRA_OK);
        m_pAvatars = CKRAManager::GetAvatarManager();
        // The camera 90 units in front of a 50-unit avatar, level with its middle.
        m_cCamera.CreateAt(D3DXVECTOR3(0, 25, -90), D3DXVECTOR3(0, 25, 0), D3DXVECTOR3(0, 1, 0));
        m_pDevice->SetTransform(D3DTS_WORLD, &m_cCamera.GetViewMatrix());
    }
    void TearDown() override
    {
        RenderFixture::TearDown();
        YondaClockSetManual(FALSE);
    }

    std::string Motion(const char* szName) const { return (AvatarFolder() / "Motion" / szName).string(); }

    // The pixels the avatar covers and how many colours they take.
    static void Coverage(const YondaPicture& picture, size_t& nCovered, size_t& nColours)
    {
        std::set<DWORD> colours;
        nCovered = 0;
        for (DWORD pixel : picture.pixels) {
            if ((pixel & 0xFFFFFF) != 0) {
                ++nCovered;
                colours.insert(pixel & 0xF0F0F0);
            }
        }
        nColours = colours.size();
    }

    CKRAAvatarManager* m_pAvatars = nullptr;
    std::string m_strGenerated;
};

} // namespace

TEST_F(GeneratedAvatarRender, DressedAvatarsShowInTheirTexturesStandingAndPlaying)
{
    struct Kind {
        const char* szList;
        int nKind;
        const char* szBind;
        const char* szIdle;
    };
    for (const Kind& kind : {Kind{"10001.KRA", 0, "Boy_Bind.mot", "Boy_Idle.mot"},
                             Kind{"20001.KRA", 1, "Girl_Bind.mot", "Girl_Idle.mot"}}) {
        SCOPED_TRACE(kind.szList);
        _KRA_HANDLE h = 0;
        ASSERT_EQ(m_pAvatars->LoadAvatar(kind.szList, h), KRA_OK);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(m_pAvatars->RenderAvatars(1, &h), KRA_OK);
        YondaPicture standing = Picture();
        size_t nStanding = 0, nColours = 0;
        Coverage(standing, nStanding, nColours);
        // A body some 10 pixels wide and 35 high, in more than one colour of its textures.
        EXPECT_GT(nStanding, 150u);
        EXPECT_LT(nStanding, 1200u);
        EXPECT_GE(nColours, 3u);
        DWORD middle = standing.At(32, 32) & 0xFFFFFF;
        EXPECT_NE(middle, 0u);
        EXPECT_NE(middle, 0xFFFFFFu) << "untextured";
        ExpectPixel(standing, Project(25, 25, 0), 0xFF000000);

        // Posed by the idle motion the body keeps its size: skinning by bone matrices and the
        // inverse bind pose agree.
        ASSERT_EQ(m_pAvatars->LoadInitMotion(Motion(kind.szBind).c_str(), kind.nKind), KRA_OK);
        int nIdle = m_pAvatars->LoadMotion(Motion(kind.szIdle).c_str(), kind.nKind);
        ASSERT_GE(nIdle, 0);
        m_pAvatars->SetMotionType(h, kind.nKind);
        m_pAvatars->SetMotion(h, nIdle, nIdle);
        m_pAvatars->StartMotion(h);
        YondaClockAdvance(300);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(m_pAvatars->RenderAvatars(1, &h), KRA_OK);
        YondaPicture playing = Picture();
        size_t nPlaying = 0;
        Coverage(playing, nPlaying, nColours);
        EXPECT_GT(nPlaying, nStanding * 7 / 10);
        EXPECT_LT(nPlaying, nStanding * 13 / 10);
        EXPECT_NE(playing.At(32, 32) & 0xFFFFFF, 0u);
        ASSERT_EQ(m_pAvatars->UnloadAvatar(h), KRA_OK);
    }
}
