// Avatars and overlay text through the scene interface on a real device, in the generated living
// room: avatars drawn in their own pass between the world passes, picked while drawing, and ID
// labels and balloons over them with the scene's three fonts.
#include "KRAFont.h"
#include "KRASceneFixture.h"

#include <gtest/gtest.h>
#include <yonda_platform.h>

#include <cstring>
#include <functional>
#include <set>

using namespace kratest;

namespace {

constexpr DWORD kBlack = 0xFF000000;
// The host's balloon format: centred, word break, no clipping, edit-control breaking, end
// ellipsis and "modify string".
constexpr DWORD kHostBalloonFormat = 0x1A111;

LOGFONTA HangulFont()
{
    LOGFONTA log{};
    log.lfHeight = 14;
    log.lfWeight = FW_NORMAL;
    log.lfCharSet = HANGEUL_CHARSET;
    return log;
}

// The smallest rectangle holding every pixel where two pictures differ.
RECT Difference(const YondaPicture& a, const YondaPicture& b)
{
    RECT r{LONG(a.width), LONG(a.height), 0, 0};
    for (UINT y = 0; y < a.height; ++y)
        for (UINT x = 0; x < a.width; ++x)
            if (a.At(x, y) != b.At(x, y)) {
                r.left = std::min(r.left, LONG(x));
                r.top = std::min(r.top, LONG(y));
                r.right = std::max(r.right, LONG(x) + 1);
                r.bottom = std::max(r.bottom, LONG(y) + 1);
            }
    return r;
}

class SceneOverlay : public SceneFixture {
protected:
    SceneOverlay() { m_nSize = 256; }

    void SetUp() override
    {
        SceneFixture::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        YondaClockSetManual(TRUE);
        m_pScene = Load("RM_03.KRS");
        ASSERT_NE(m_pScene, nullptr);
        // Level with a member standing at the first start position, from behind the near wall.
        Look(m_pScene, D3DXVECTOR3(0, 35, -130), D3DXVECTOR3(0, 25, -45));
    }

    void TearDown() override
    {
        if (m_hAvatar && m_pScene)
            m_pScene->UnloadAvatar(m_hAvatar);
        SceneFixture::TearDown();
        YondaClockSetManual(FALSE);
    }

    std::string Motion(const char* szName) const
    {
        return (GeneratedDataFolder() / "AVATAR" / "Motion" / szName).string();
    }

    // The dressed male sample avatar, breathing, at the scene's first start position.
    _KRA_HANDLE PlaceAvatar()
    {
        EXPECT_EQ(m_pScene->LoadAvatar("10001.KRA", m_hAvatar), KRA_OK);
        unsigned int nStarts = 0;
        D3DXVECTOR3* pStarts = nullptr;
        EXPECT_EQ(m_pScene->GetInitPosition(&nStarts, &pStarts), KRA_OK);
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, pStarts[0].x, pStarts[0].y, pStarts[0].z);
        EXPECT_EQ(m_pScene->SetAvatarMatrix(m_hAvatar, m), KRA_OK);
        EXPECT_EQ(m_pScene->LoadInitMotion(Motion("Boy_Bind.mot").c_str(), 0), KRA_OK);
        unsigned int nIdle = m_pScene->LoadMotion(Motion("Boy_Idle.mot").c_str(), 0);
        EXPECT_LT(LONG(nIdle), 60);
        EXPECT_EQ(m_pScene->SetMotionType(m_hAvatar, 0), KRA_OK);
        EXPECT_EQ(m_pScene->SetMotion(m_hAvatar, int(nIdle), int(nIdle)), KRA_OK);
        EXPECT_EQ(m_pScene->StartMotion(m_hAvatar), KRA_OK);
        YondaClockAdvance(100);
        return m_hAvatar;
    }

    // What the font's own measuring gives for a text in a rectangle.
    RECT Measure(const char* szText, RECT rect, const LOGFONTA& log)
    {
        ID3DXFont* pFont = nullptr;
        EXPECT_EQ(D3DXCreateFontIndirect(m_pDevice, &log, &pFont), D3D_OK);
        if (pFont) {
            std::string strCopy(szText);
            pFont->DrawTextA(strCopy.c_str(), -1, &rect, 0x1A511, 0xFFFFFFFF);
            pFont->Release();
        }
        return rect;
    }

    YondaPicture Frame(const std::function<LONG()>& render)
    {
        Clear();
        EXPECT_EQ(render(), KRA_OK);
        return Picture();
    }

    CKRAScene* m_pScene = nullptr;
    _KRA_HANDLE m_hAvatar = 0;
};

} // namespace

TEST_F(SceneOverlay, AvatarsDrawInTheirPassBetweenTheWorldPasses)
{
    POINT body = Project(0, 25, -45);
    YondaPicture world = Frame([&] { return m_pScene->RenderOnlyWorld(); });
    _KRA_HANDLE h = PlaceAvatar();
    YondaPicture all = Frame([&] { return m_pScene->Render(0, nullptr); });
    EXPECT_NE(all.At(UINT(body.x), UINT(body.y)), world.At(UINT(body.x), UINT(body.y))) << "the avatar stands there";
    RECT avatar = Difference(world, all);
    // About 50 units tall at 85 units: most of the picture's height, a fifth of its width.
    EXPECT_GT(avatar.bottom - avatar.top, 100);
    EXPECT_LT(avatar.right - avatar.left, 100);

    // The listed avatars only: the same avatar by its handle, nothing for a stale handle.
    _KRA_HANDLE hStale = 0x7FFF0005;
    YondaPicture listed = Frame([&] { return m_pScene->Render(1, &h); });
    EXPECT_EQ(listed.At(UINT(body.x), UINT(body.y)), all.At(UINT(body.x), UINT(body.y)));
    YondaPicture stale = Frame([&] { return m_pScene->Render(1, &hStale); });
    EXPECT_EQ(stale.At(UINT(body.x), UINT(body.y)), world.At(UINT(body.x), UINT(body.y)));
    // The world passes of their own never draw avatars.
    YondaPicture alpha = Frame([&] { return m_pScene->RenderAlphaWorld(); });
    EXPECT_EQ(alpha.At(UINT(body.x), UINT(body.y)), kBlack);
    YondaPicture opaque = Frame([&] { return m_pScene->RenderNonAlphaWorld(); });
    EXPECT_EQ(opaque.At(UINT(body.x), UINT(body.y)), world.At(UINT(body.x), UINT(body.y)));
}

TEST_F(SceneOverlay, TheAvatarUnderThePointIsPickedWhileDrawing)
{
    _KRA_HANDLE h = PlaceAvatar();
    tagPOINT body = Project(0, 25, -45);
    m_pScene->SetAvatarSoftPicking(true);
    ASSERT_EQ(m_pScene->SetAvatarPickingPosition(body), KRA_OK);
    m_pScene->ResetAvatarSoftPicking(false);
    EXPECT_EQ(m_pScene->HasAvatarSoftPicking(), KRA_E_FAILED);
    Frame([&] { return m_pScene->Render(0, nullptr); });
    EXPECT_EQ(m_pScene->HasAvatarSoftPicking(), KRA_OK);
    _KRA_HANDLE hPicked = 0, hItem = 0;
    float fDistance = 0;
    ASSERT_EQ(m_pScene->GetPickedAvatarHandle(hPicked, hItem, fDistance), KRA_OK);
    EXPECT_EQ(hPicked, h);
    EXPECT_NE(hItem, 0u);
    EXPECT_GT(fDistance, 60);
    EXPECT_LT(fDistance, 110);

    // Beside the avatar, on the floor, nobody is picked.
    tagPOINT floor = Project(60, 0, -45);
    ASSERT_EQ(m_pScene->SetAvatarPickingPosition(floor), KRA_OK);
    m_pScene->ResetAvatarSoftPicking(false);
    Frame([&] { return m_pScene->Render(0, nullptr); });
    EXPECT_EQ(m_pScene->HasAvatarSoftPicking(), KRA_E_FAILED);
    m_pScene->SetAvatarSoftPicking(false);
}

TEST_F(SceneOverlay, AKoreanBalloonStandsAtTheAvatarsLabelPosition)
{
    _KRA_HANDLE h = PlaceAvatar();
    LOGFONTA log = HangulFont();
    // The host names its own nickname, not a picture, for the ID font: the font gets a balloon
    // quad without a texture of its own, and every label brings its texture.
    char szOther[] = "1.krt", szNickname[] = "demo";
    ASSERT_EQ(m_pScene->CreateIDFont(&log, szNickname), KRA_OK);
    EXPECT_EQ(m_pScene->GetIDFont()->GetBalloonTexture().m_hHandle, 0u);
    ASSERT_EQ(m_pScene->CreateBalloonFont(&log, szOther), KRA_OK);
    CKRAHandle<tagKRADS> hTexture;
    char szTexture[] = "OtherBalloon5-1.KRT";
    ASSERT_EQ(m_pScene->LoadKRTTexture(szTexture, hTexture), KRA_OK);
    ASSERT_NE(hTexture.m_hHandle, 0u);

    // Farther back and higher, the room above the head in view.
    Look(m_pScene, D3DXVECTOR3(0, 55, -160), D3DXVECTOR3(0, 50, -45));
    YondaPicture scene = Frame([&] { return m_pScene->Render(0, nullptr); });
    // Six units above the head, as the host places its balloons.
    D3DXVECTOR3 v;
    ASSERT_EQ(m_pScene->GetAvatar2DPosition(h, 0, 6, 0, v), KRA_OK);
    POINT head = Project(0, 40, -45);
    EXPECT_NEAR(v.x, 128, 3) << "over the avatar";
    EXPECT_LT(v.y, head.y) << "above its head";
    EXPECT_GT(v.y, 0);
    LONG x = LONG(v.x), y = LONG(v.y);
    RECT box{x - 100, y - 100, x + 100, y - 10};

    std::string bytes = YondaUtf8ToCodePage("안녕하세요 여러분 오늘 날씨가 정말 좋네요 같이 산책하러 갈까요", 949);
    char buffer[161] = {};
    std::memcpy(buffer, bytes.data(), bytes.size());
    char before[161];
    std::memcpy(before, buffer, sizeof(buffer));
    Clear();
    ASSERT_EQ(m_pScene->Render(0, nullptr), KRA_OK);
    m_pScene->DrawID(buffer, &box, kHostBalloonFormat, 0xFF202020, true, &hTexture, 0);
    YondaPicture labelled = Picture();
    EXPECT_EQ(std::memcmp(buffer, before, sizeof(buffer)), 0) << "the caller's text is the caller's";
    EXPECT_EQ(box.bottom, y - 10);

    // The balloon frames the measured text moved onto the box's bottom: 10 before it, 15 after
    // it, 5 above and 20 below (the picture's transparent rim and tail take a few pixels).
    RECT measured = Measure(buffer, box, log), line = Measure("\xb0\xa1", box, log);
    LONG nHeight = measured.bottom - measured.top;
    EXPECT_GE(nHeight, 2 * (line.bottom - line.top)) << "the speech takes more than one line";
    RECT balloon = Difference(scene, labelled);
    EXPECT_NEAR(balloon.bottom, y - 10 + 20, 3);
    EXPECT_NEAR(balloon.top, y - 10 - nHeight - 5, 3);
    EXPECT_NEAR(balloon.left, x - 100 - 10, 8);
    EXPECT_NEAR(balloon.right, measured.right + 15, 8);
    // Dark glyphs on the light balloon.
    int nDark = 0, nLight = 0;
    for (LONG py = balloon.top; py < balloon.bottom; ++py)
        for (LONG px = balloon.left; px < balloon.right; ++px) {
            DWORD p = labelled.At(UINT(px), UINT(py));
            nDark += (p & 0xFF) < 90 && ((p >> 8) & 0xFF) < 90 ? 1 : 0;
            nLight += (p & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 ? 1 : 0;
        }
    EXPECT_GT(nDark, 150);
    EXPECT_GT(nLight, nDark);

    // The other members' font draws its own balloon when no texture is given; without the flag
    // only the text, in the caller's rectangle.
    Clear();
    ASSERT_EQ(m_pScene->Render(0, nullptr), KRA_OK);
    m_pScene->DrawBalloon(buffer, &box, kHostBalloonFormat, 0xFF202020, false);
    RECT text = Difference(scene, Picture());
    EXPECT_GE(text.top, box.top);
    EXPECT_LT(text.top, box.top + 14);
    EXPECT_GE(text.left, box.left);
}

TEST_F(SceneOverlay, EachFontHasItsSlotAndGoesWithTheScene)
{
    LOGFONTA log = HangulFont();
    char szOther[] = "1.krt", szMine[] = "MyBalloon.krt";
    EXPECT_EQ(m_pScene->CreateIDFont(nullptr, szOther), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_pScene->GetIDFont(), nullptr);
    UINT nBefore = YondaD3D8CountDefaultPoolResources(m_pDevice);
    ASSERT_EQ(m_pScene->CreateIDFont(&log, nullptr), KRA_OK);
    ASSERT_EQ(m_pScene->CreateBalloonFont(&log, szOther), KRA_OK);
    ASSERT_EQ(m_pScene->CreateMyBalloonFont(&log, szMine), KRA_OK);
    EXPECT_FALSE(m_pScene->GetIDFont()->HasBalloonQuad());
    EXPECT_TRUE(m_pScene->GetBalloonFont()->HasBalloonQuad());
    EXPECT_NE(m_pScene->GetMyBalloonFont()->GetBalloonTexture().m_hHandle, 0u);
    UINT nWithFonts = YondaD3D8CountDefaultPoolResources(m_pDevice);
    EXPECT_EQ(nWithFonts, nBefore + 2) << "one balloon quad per font with a balloon";
    // Made again (a new chat font), a slot gives up the font it had.
    ASSERT_EQ(m_pScene->CreateMyBalloonFont(&log, szMine), KRA_OK);
    ASSERT_EQ(m_pScene->CreateBalloonFont(&log, szOther), KRA_OK);
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_pDevice), nWithFonts);

    EXPECT_EQ(m_pScene->DestroyMyBalloonFont(), KRA_OK);
    EXPECT_EQ(m_pScene->DestroyMyBalloonFont(), KRA_E_MISSING_PART);
    EXPECT_EQ(m_pScene->GetMyBalloonFont(), nullptr);
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_pDevice), nBefore + 1);
    // A missing font draws nothing.
    YondaPicture empty = Frame([] { return KRA_OK; });
    char szText[] = "nobody";
    RECT box{10, 10, 200, 100};
    m_pScene->DrawMyBalloon(szText, &box, kHostBalloonFormat, 0xFFFFFFFF, true);
    YondaPicture after = Picture();
    EXPECT_EQ(empty.pixels, after.pixels);

    // The scene's end takes its fonts with it (and its objects theirs): the device may be reset.
    EXPECT_EQ(m_pManager->UnloadScene(m_hScene), KRA_OK);
    m_hScene = 0;
    m_pScene = nullptr;
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_pDevice), 0u);
}

TEST_F(SceneOverlay, TheScenesCameraIsAnAvatarsOwnUntilThatAvatarGoes)
{
    _KRA_HANDLE h = PlaceAvatar();
    D3DXVECTOR3 vOwnEye = m_pScene->GetEyePosition();
    _KRA_HANDLE hStale = 0x7FFF0005;
    EXPECT_EQ(m_pScene->ChangeGlobalCameraToLocalCamera(hStale), KRA_E_INVALID_AVATAR);
    EXPECT_EQ(m_pScene->GetEyePosition(), vOwnEye) << "an invalid avatar leaves the camera as it was";

    ASSERT_EQ(m_pScene->ChangeGlobalCameraToLocalCamera(h), KRA_OK);
    EXPECT_EQ(m_pScene->GetEyePosition(), D3DXVECTOR3(0, 40, -30));
    EXPECT_EQ(m_pScene->GetLookAtPosition(), D3DXVECTOR3(0, 40, 0));
    D3DXVECTOR3 vEye(0, 60, -125), vAt(0, 45, -45), vUp(0, 1, 0);
    ASSERT_EQ(m_pScene->SetCameraPosition(vEye, vAt, vUp), KRA_OK);
    EXPECT_EQ(m_pScene->GetEyePosition(), vEye);
    ASSERT_EQ(m_pScene->ChangeLocalCameraToGlobalCamera(), KRA_OK);
    EXPECT_EQ(m_pScene->GetEyePosition(), vOwnEye);
    ASSERT_EQ(m_pScene->ChangeGlobalCameraToLocalCamera(h), KRA_OK);
    EXPECT_EQ(m_pScene->GetEyePosition(), vEye) << "the avatar keeps its camera where it was put";

    // The avatar goes while its camera is the scene's: the scene draws through its own again.
    ASSERT_EQ(m_pScene->UnloadAvatar(h), KRA_OK);
    m_hAvatar = 0;
    EXPECT_EQ(m_pScene->GetEyePosition(), vOwnEye);
    Frame([&] { return m_pScene->Render(0, nullptr); });
    EXPECT_EQ(m_pScene->Forward(1), KRA_OK);
}

TEST_F(SceneOverlay, AvatarsComeFromTheHostsStructureAndGoBackIntoIt)
{
    KRA_AVATAR_ITEM items[3] = {};
    const char* aszFiles[3] = {"1000010.KRI", "1020020.KRI", "1040000.KRI"};
    const DWORD adwKinds[3] = {0x20802, 0x20803, 0x20805};
    for (int i = 0; i < 3; ++i) {
        items[i].dwItemKind = adwKinds[i];
        std::strcpy(items[i].szItemFile, aszFiles[i]);
    }
    KRA_AVATAR_STRUCTURE s{0x00010001, 4, 4242, 3, items};
    _KRA_HANDLE h = 0, hAgain = 0;
    ASSERT_EQ(m_pScene->LoadAvatar(&s, h), KRA_OK);
    ASSERT_EQ(m_pScene->LoadAvatar(&s, hAgain), KRA_OK);
    EXPECT_EQ(hAgain, h) << "one key, one avatar";
    EXPECT_EQ(m_pScene->UnloadAvatar(hAgain), KRA_OK);
    m_hAvatar = h;

    unsigned int nItems = 0;
    _KRA_HANDLE* pItems = nullptr;
    ASSERT_EQ(m_pScene->GetItemHandle(h, nItems, &pItems), KRA_OK);
    ASSERT_EQ(nItems, 3u);
    ASSERT_EQ(m_pScene->SetItemTexture("1020021.KRT", h, pItems[1]), KRA_OK);
    KRA_AVATAR_STRUCTURE out{};
    ASSERT_EQ(m_pScene->GetAvatarStructure(h, &out), KRA_OK);
    EXPECT_EQ(out.dwAvatarKey, 4242u);
    EXPECT_EQ(out.dwHeader1, 0x00010001u);
    ASSERT_EQ(out.dwItemCount, 3u);
    std::set<std::string> names, textures;
    for (DWORD i = 0; i < out.dwItemCount; ++i) {
        names.insert(out.pItems[i].szItemFile);
        if (out.pItems[i].bTextureOverride)
            textures.insert(out.pItems[i].szTextureFile);
    }
    delete[] out.pItems;
    EXPECT_EQ(names, (std::set<std::string>{"1000010.KRI", "1020020.KRI", "1040000.KRI"}));
    EXPECT_EQ(textures, std::set<std::string>{"1020021.KRT"});
    EXPECT_EQ(m_pScene->DeleteItemTexture("any name", h, pItems[1]), KRA_OK);
    EXPECT_EQ(m_pScene->DeleteItemTexture("any name", h, pItems[1]), KRA_E_MISSING_PART);

    D3DXVECTOR3 vFront(9, 9, 9);
    ASSERT_EQ(m_pScene->GetAvatarFrontVector(h, vFront), KRA_OK);
    EXPECT_EQ(vFront, D3DXVECTOR3(0, 0, -1));
    _KRA_HANDLE hStale = 0x7FFF0005;
    EXPECT_EQ(m_pScene->GetAvatarFrontVector(hStale, vFront), KRA_OK);
    EXPECT_EQ(vFront, D3DXVECTOR3(0, 0, 0));

    // A structure naming a missing item leaves no avatar behind.
    std::strcpy(items[2].szItemFile, "1049990.KRI");
    s.dwAvatarKey = 4343;
    _KRA_HANDLE hMissing = 0;
    EXPECT_EQ(m_pScene->LoadAvatar(&s, hMissing), KRA_E_FAILED);
    EXPECT_EQ(hMissing, 0u);
}

namespace {
std::vector<std::pair<LONG, _KRA_HANDLE>> g_vMessages;
void RecordMessage(LONG lCode, LONG, void* pData)
{
    g_vMessages.push_back({lCode, pData ? *static_cast<_KRA_HANDLE*>(pData) : 0});
}
} // namespace

TEST_F(SceneOverlay, AMoveAndRotateStepsOneUnitAnUpdateThenTurnsToTheSeat)
{
    _KRA_HANDLE h = PlaceAvatar();
    g_vMessages.clear();
    CKRAManager::m_pfMsgProc = &RecordMessage;
    // Fifteen units straight ahead, then facing +x, as the host walks a member to a seat.
    D3DXVECTOR3 vSeat(0, 0, -60), vFacing(1, 0, 0);
    ASSERT_EQ(m_pScene->ChangeGlobalCameraToLocalCamera(h), KRA_OK);
    D3DXVECTOR3 vLookAt = m_pScene->GetLookAtPosition();
    ASSERT_EQ(m_pScene->MoveAndRotateAvatar(h, vSeat, vFacing), KRA_OK);
    D3DXVECTOR3 v;
    for (int i = 1; i <= 15; ++i) {
        YondaClockAdvance(30);
        ASSERT_EQ(m_pScene->UpdateMoveAvatar(&h, 1), KRA_OK);
        m_pScene->GetAvatar3DPosition(h, v);
        EXPECT_NEAR(v.z, -45 - i, 0.001) << "one unit an update, whatever the frame time";
    }
    EXPECT_TRUE(g_vMessages.empty());
    // The avatar's camera came along: it looks at the same point of the avatar.
    EXPECT_NEAR(m_pScene->GetLookAtPosition().z, vLookAt.z - 15, 0.001);
    // 90 degrees at 300 degrees a second: about a third of a second, then the end message once.
    for (int i = 0; i < 20; ++i) {
        YondaClockAdvance(30);
        m_pScene->UpdateMoveAvatar(&h, 1);
    }
    ASSERT_EQ(g_vMessages.size(), 1u);
    EXPECT_EQ(g_vMessages[0], std::make_pair(KRA_MSG_MOVE_ROTATE_END, h));
    D3DXVECTOR3 vFront;
    m_pScene->GetAvatarFrontVector(h, vFront);
    EXPECT_NEAR(D3DXVec3Dot(&vFront, &vFacing), 1, 0.01);
    m_pScene->GetAvatar3DPosition(h, v);
    EXPECT_EQ(v, vSeat);
    CKRAManager::m_pfMsgProc = &Ignore;
}
