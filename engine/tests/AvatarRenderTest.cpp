// Avatars drawn through the real Direct3D device and judged by their pixels: skinning by bone
// matrices, the face set and blinking, the tint on the texture, culling, and soft picking.
#include "KRAAvatarManager.h"
#include "KRAAvatarTestFiles.h"
#include "KRAFrustum.h"
#include "KRARenderFixture.h"
#include "KRATextureManager.h"

#include <gtest/gtest.h>
#include <windows.h>

using namespace kratest;

namespace {

constexpr DWORD kBlack = 0xFF000000;
constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kWhite = 0xFFFFFFFF;

class AvatarRender : public RenderFixture {
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        YondaClockSetManual(TRUE);
        m_pAvatars = CKRAManager::GetAvatarManager();
        ASSERT_NE(m_pAvatars, nullptr);
        WriteKri("red.bmp", SolidBMP(4, 4, 0xFF0000));
        WriteKri("white.bmp", SolidBMP(4, 4, 0xFFFFFF));
    }
    void TearDown() override
    {
        RenderFixture::TearDown();
        YondaClockSetManual(FALSE);
    }

    void WriteKri(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        Write(m_root / "Data" / "AVATAR" / "KRI" / name, bytes);
    }
    std::string Path(const std::string& name) const { return (m_root / "Data" / "AVATAR" / "KRI" / name).string(); }

    // An avatar of one item file written under the item's code.
    _KRA_HANDLE Avatar(DWORD dwKey, const Item& item, DWORD dwKind)
    {
        std::string strItem = std::to_string(item.dwCode) + ".KRI";
        WriteKri(strItem, KRI(item, dwKind));
        std::string strList = std::to_string(dwKey) + ".KRA";
        WriteKri(strList, KRA(dwKey, {{dwKind, strItem}}));
        _KRA_HANDLE h = 0;
        EXPECT_EQ(m_pAvatars->LoadAvatar(strList.c_str(), h), KRA_OK);
        EXPECT_NE(h, 0u);
        return h;
    }

    // Motions of kind 0: a bind pose with every bone at the origin, then a still pose in which
    // every track stands where pose(t, af) puts it.
    template <class PoseFn>
    int LoadPose(PoseFn pose, DWORD dwDuration = 1000)
    {
        WriteKri("bind.mot", Motion(2, 25, 1000, [](uint32_t, uint32_t, float* af) { std::fill(af, af + 6, 0.f); }));
        WriteKri("pose.mot", Motion(2, 25, dwDuration, [&](uint32_t t, uint32_t, float* af) {
                     std::fill(af, af + 6, 0.f);
                     pose(t, af);
                 }));
        EXPECT_EQ(m_pAvatars->LoadInitMotion(Path("bind.mot").c_str(), 0), KRA_OK);
        return m_pAvatars->LoadMotion(Path("pose.mot").c_str(), 0);
    }

    void Play(_KRA_HANDLE h, int nMotion)
    {
        ASSERT_EQ(m_pAvatars->SetMotionType(h, 0), KRA_OK);
        ASSERT_EQ(m_pAvatars->SetMotion(h, nMotion, nMotion), KRA_OK);
        ASSERT_EQ(m_pAvatars->StartMotion(h), KRA_OK);
    }

    LONG Render(_KRA_HANDLE h) { return m_pAvatars->RenderAvatars(1, &h); }

    CKRAAvatarManager* m_pAvatars = nullptr;
};

Item RedItem(DWORD dwCode, std::vector<ItemMesh> vMeshes)
{
    Item item;
    item.dwCode = dwCode;
    item.vTextures = {{"red.bmp", false}};
    item.vMeshes = std::move(vMeshes);
    return item;
}

} // namespace

TEST_F(AvatarRender, TexturedItemDrawsWhereTheAvatarStands)
{
    _KRA_HANDLE h = Avatar(1, RedItem(2020001, {Square(0, 0, 0.5f)}), KRA_ITEM_BODY);
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, -2, 1, 0);
    ASSERT_EQ(m_pAvatars->SetAvatarMatrix(h, m), KRA_OK);
    ASSERT_EQ(Render(h), KRA_OK);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(-2, 1, 0), kRed);
    ExpectPixel(picture, Project(0, 0, 0), kBlack);
}

TEST_F(AvatarRender, VertexBoundToTwoBonesLandsAtTheWeightedBlend)
{
    ItemMesh mesh = Square(0, 0, 0.4f);
    mesh.vBindings = {{KRA_BONE_FIRST, {0, 1, 2, 3}, {0.75f, 0.75f, 0.75f, 0.75f}},
                      {KRA_BONE_FIRST + 1, {0, 1, 2, 3}, {0.25f, 0.25f, 0.25f, 0.25f}}};
    _KRA_HANDLE h = Avatar(1, RedItem(2020001, {mesh}), KRA_ITEM_BODY);
    // Bone 0 four units to the right, bone 1 at its bind place: the square lands three units right.
    int nPose = LoadPose([](uint32_t t, float* af) {
        if (t == 0)
            af[0] = 4;
    });
    ASSERT_GE(nPose, 0);
    Play(h, nPose);
    ASSERT_EQ(Render(h), KRA_OK);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(3, 0, 0), kRed);
    ExpectPixel(picture, Project(4, 0, 0), kBlack);
    ExpectPixel(picture, Project(0, 0, 0), kBlack);
}

TEST_F(AvatarRender, MotionEndedWithoutLoopDrawsTheBindPose)
{
    ItemMesh mesh = Square(0, 0, 0.4f);
    mesh.vBindings = {{KRA_BONE_FIRST, {0, 1, 2, 3}, {1, 1, 1, 1}}};
    _KRA_HANDLE h = Avatar(1, RedItem(2020001, {mesh}), KRA_ITEM_BODY);
    int nPose = LoadPose([](uint32_t t, float* af) {
        if (t == 0)
            af[1] = 2;
    });
    Play(h, nPose);
    ASSERT_EQ(m_pAvatars->SetLoopMotion(h, false), KRA_OK);
    Render(h);
    YondaPicture posed = Picture();
    ExpectPixel(posed, Project(0, 2, 0), kRed);
    ExpectPixel(posed, Project(0, 0, 0), kBlack);

    YondaClockAdvance(1500);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    Render(h);
    YondaPicture bind = Picture();
    ExpectPixel(bind, Project(0, 0, 0), kRed);
    ExpectPixel(bind, Project(0, 2, 0), kBlack);
}

TEST_F(AvatarRender, TwoAvatarsOfOneItemEachShowTheirOwnPose)
{
    // The item file is shared: each avatar's pose goes through the same buffers in turn.
    ItemMesh mesh = Square(0, 0, 0.4f);
    mesh.vBindings = {{KRA_BONE_FIRST, {0, 1, 2, 3}, {1, 1, 1, 1}}};
    Item item = RedItem(2020001, {mesh});
    _KRA_HANDLE hPosed = Avatar(1, item, KRA_ITEM_BODY);
    _KRA_HANDLE hStill = Avatar(2, item, KRA_ITEM_BODY);
    int nPose = LoadPose([](uint32_t t, float* af) {
        if (t == 0)
            af[1] = 2;
    });
    Play(hPosed, nPose);
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 2, 0, 0);
    m_pAvatars->SetAvatarMatrix(hStill, m);
    _KRA_HANDLE ah[2] = {hPosed, hStill};
    ASSERT_EQ(m_pAvatars->RenderAvatars(2, ah), KRA_OK);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(0, 2, 0), kRed);
    ExpectPixel(picture, Project(2, 0, 0), kRed);
    ExpectPixel(picture, Project(2, 2, 0), kBlack);
    ExpectPixel(picture, Project(0, 0, 0), kBlack);
}

TEST_F(AvatarRender, TintShowsOnTheTexture)
{
    Item item = RedItem(2020001, {Square(0, 0, 0.5f)});
    item.vTextures = {{"white.bmp", false}};
    _KRA_HANDLE h = Avatar(1, item, KRA_ITEM_BODY);
    ASSERT_EQ(m_pAvatars->SetAvatarVertexColor(h, D3DXVECTOR3(0.5f, 1, 0)), KRA_OK);
    Render(h);
    ExpectPixel(Picture(), Project(0, 0, 0), 0xFF7FFF00, 6);

    // Tint off again: the colours go back to white.
    m_pAvatars->SetAvatarVertexColor(h, D3DXVECTOR3(1, 0.5f, 0.5f));
    Render(h);
    ExpectPixel(Picture(), Project(0, 0, 0), kWhite);
}

TEST_F(AvatarRender, FaceTargetFourClosesTheEyesDuringABlink)
{
    // The eye is a square whose top edge target 4 pulls down onto its bottom edge.
    Item item = RedItem(2010001, {Square(0, 1, 0.5f, "FACE")});
    item.vFaceSet.resize(5);
    item.vFaceSet[4] = {{2, 3}, {0, 1, 0, 0, 1, 0}};
    _KRA_HANDLE h = Avatar(1, item, KRA_ITEM_FACE);
    CKRAAvatar* pAvatar = m_pAvatars->GetAvatar(h);
    ASSERT_NE(pAvatar, nullptr);
    pAvatar->m_bBlinking = false;
    Render(h);
    ExpectPixel(Picture(), Project(0, 1.2f, 0), kRed);

    // Most of a blink gone by: the eye is nearly shut.
    pAvatar->m_bBlinking = true;
    pAvatar->m_fBlinkStart = KRAAvatarClock() - 0.19;
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    Render(h);
    YondaPicture blink = Picture();
    ExpectPixel(blink, Project(0, 1.2f, 0), kBlack);
    ExpectPixel(blink, Project(0, 1.5f, 0), kBlack);

    // Without auto-animation there is no blink.
    m_pAvatars->TurnOffAutoAnimation(h);
    pAvatar->m_bBlinking = true;
    pAvatar->m_fBlinkStart = KRAAvatarClock() - 0.19;
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    Render(h);
    ExpectPixel(Picture(), Project(0, 1.2f, 0), kRed);
}

TEST_F(AvatarRender, FaceSetMovesTheFaceByItsWeights)
{
    Item item = RedItem(2010001, {Square(0, 0, 0.5f, "HAIR"), Square(0, 0, 0.5f, "FACE", 1)});
    item.vFaceSet.resize(2);
    // p -= w x offset: an offset of -2 in x moves the face two units right at weight 1.
    item.vFaceSet[1] = {{0, 1, 2, 3}, {-2, 0, 0, -2, 0, 0, -2, 0, 0, -2, 0, 0}};
    _KRA_HANDLE h = Avatar(1, item, KRA_ITEM_FACE);
    m_pAvatars->TurnOffAutoAnimation(h);
    float afWeights[10] = {0, 1};
    ASSERT_EQ(m_pAvatars->SetFaceSet(h, afWeights), KRA_OK);
    Render(h);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(2, 0, 1), kRed);
    ExpectPixel(picture, Project(0, 0, 0), kRed); // the other mesh stays
    ExpectPixel(picture, Project(-2, 0, 0), kBlack);
}

TEST_F(AvatarRender, AvatarOutsideTheViewIsNeitherPosedNorDrawnButStillWalks)
{
    ItemMesh mesh = Square(0, 0, 0.4f);
    mesh.vBindings = {{KRA_BONE_FIRST, {0, 1, 2, 3}, {1, 1, 1, 1}}};
    _KRA_HANDLE h = Avatar(1, RedItem(2020001, {mesh}), KRA_ITEM_BODY);
    int nPose = LoadPose([](uint32_t, float*) {}, 100);
    Play(h, nPose);
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 500, 0, 0);
    m_pAvatars->SetAvatarMatrix(h, m);
    ASSERT_EQ(CKRAManager::GetFrustum()->Build(&m_cCamera.GetViewMatrix(), &m_cCamera.GetProjectionMatrix()), KRA_OK);
    ASSERT_EQ(m_pAvatars->MoveToAvatar(h, D3DXVECTOR3(600, 0, 0)), KRA_OK);
    _KRA_HANDLE hOther = Avatar(2, RedItem(2020002, {Square(0, 0, 0.4f)}), KRA_ITEM_BODY);
    D3DXMatrixTranslation(&m, -500, 0, 0);
    m_pAvatars->SetAvatarMatrix(hOther, m);
    ASSERT_EQ(m_pAvatars->MoveAndRotateAvatar(hOther, D3DXVECTOR3(-500, 0, -5), D3DXVECTOR3(0, 0, -1)), KRA_OK);
    YondaClockAdvance(500);
    ASSERT_EQ(m_pAvatars->RenderAvatars(), KRA_OK);
    D3DXVECTOR3 v;
    m_pAvatars->GetAvatar3DPosition(h, v);
    EXPECT_GT(v.x, 500.f);
    m_pAvatars->GetAvatar3DPosition(hOther, v);
    EXPECT_EQ(v, D3DXVECTOR3(-500, 0, -1));
    // Drawing a list of avatars moves none of them.
    m_pAvatars->RenderAvatars(1, &hOther);
    m_pAvatars->GetAvatar3DPosition(hOther, v);
    EXPECT_EQ(v, D3DXVECTOR3(-500, 0, -1));
    // The motion's end went by unsampled: the avatar is still playing.
    EXPECT_TRUE(m_pAvatars->GetAvatar(h)->m_bPlaying);
    EXPECT_EQ(m_pAvatars->GetAvatar(h)->m_nKey, 0);
}

TEST_F(AvatarRender, SoftPickingTakesTheNearestHitOfEachDrawingCall)
{
    _KRA_HANDLE hFar = Avatar(1, RedItem(2020001, {Square(0, 0, 1)}), KRA_ITEM_BODY);
    _KRA_HANDLE hNear = Avatar(2, RedItem(2020002, {Square(0, 0, 0.5f)}), KRA_ITEM_BODY);
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 0, 0, -3);
    m_pAvatars->SetAvatarMatrix(hNear, m);
    POINT pt = Project(0, 0, 0);
    ASSERT_EQ(m_pAvatars->SetAvatarPickingPosition(pt), KRA_OK);
    ASSERT_EQ(m_pAvatars->SetAvatarSoftPicking(true), KRA_OK);
    EXPECT_EQ(m_pAvatars->HasAvatarSoftPicking(), KRA_E_FAILED);
    auto picked = [&](_KRA_HANDLE& hItem, float& fDistance) {
        _KRA_HANDLE hAvatar = 0;
        hItem = 0;
        fDistance = 0;
        m_pAvatars->GetPickedAvatarHandle(hAvatar, hItem, fDistance);
        return hAvatar;
    };
    _KRA_HANDLE hItem = 0;
    float fDistance = 0;

    // One call per avatar, as the host draws them: each call's hit replaces the pick, so the
    // avatar drawn last under the point is the one picked, near or far.
    const _KRA_HANDLE aOrders[2][2] = {{hFar, hNear}, {hNear, hFar}};
    for (const auto& order : aOrders) {
        m_pAvatars->ResetAvatarSoftPicking(false);
        Render(order[0]);
        Render(order[1]);
        ASSERT_EQ(m_pAvatars->HasAvatarSoftPicking(), KRA_OK);
        EXPECT_EQ(picked(hItem, fDistance), order[1]);
        EXPECT_EQ(m_pAvatars->GetItemCode(hItem), order[1] == hNear ? 2020002u : 2020001u);
        EXPECT_GT(fDistance, 0.f);
    }

    // One call for both: its nearest hit, whatever the order in the list.
    for (const auto& order : aOrders) {
        m_pAvatars->ResetAvatarSoftPicking(false);
        m_pAvatars->RenderAvatars(2, order);
        EXPECT_EQ(picked(hItem, fDistance), hNear);
        EXPECT_EQ(m_pAvatars->GetItemCode(hItem), 2020002u);
    }

    // A call that hits nothing, or draws nothing, leaves the pick and its flag as they were.
    m_pAvatars->SetAvatarPickingPosition(Project(3, 3, 0));
    m_pAvatars->RenderAvatars(2, aOrders[0]);
    EXPECT_EQ(m_pAvatars->HasAvatarSoftPicking(), KRA_OK);
    EXPECT_EQ(picked(hItem, fDistance), hNear);
    m_pAvatars->ResetAvatarSoftPicking(false);
    m_pAvatars->RenderAvatars(2, aOrders[0]);
    EXPECT_EQ(m_pAvatars->HasAvatarSoftPicking(), KRA_E_FAILED);
    m_pAvatars->SetAvatarPickingPosition(Project(0, 0, 0));
    m_pAvatars->RenderAvatars(0, aOrders[0]);
    EXPECT_EQ(m_pAvatars->HasAvatarSoftPicking(), KRA_E_FAILED);

    // With picking off nothing is picked and the last pick stays.
    m_pAvatars->SetAvatarSoftPicking(false);
    Render(hFar);
    EXPECT_EQ(m_pAvatars->HasAvatarSoftPicking(), KRA_E_FAILED);
    EXPECT_EQ(picked(hItem, fDistance), hNear);
}

TEST_F(AvatarRender, LabelPositionFollowsTheHeadBone)
{
    _KRA_HANDLE h = Avatar(1, RedItem(2020001, {Square(0, 0, 0.5f)}), KRA_ITEM_BODY);
    m_pAvatars->GetAvatar(h)->m_vHead = D3DXVECTOR3(0, 2, 0);
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 1, 0, 0);
    m_pAvatars->SetAvatarMatrix(h, m);
    D3DXVECTOR3 v;
    ASSERT_EQ(m_pAvatars->GetAvatar2DPosition(h, 0, 1, 0, v), KRA_OK);
    POINT expected = Project(1, 3, 0);
    EXPECT_NEAR(v.x, float(expected.x), 1.0f);
    EXPECT_NEAR(v.y, float(expected.y), 1.0f);
    EXPECT_EQ(m_pAvatars->GetAvatar2DPosition(0x12345678, 0, 0, 0, v), KRA_E_INVALID_AVATAR);
}

TEST_F(AvatarRender, PreviewDrawsByTheGivenMatrixWithoutTint)
{
    _KRA_HANDLE h = Avatar(1, RedItem(2020001, {Square(0, 0, 0.5f)}), KRA_ITEM_BODY);
    m_pAvatars->SetAvatarVertexColor(h, D3DXVECTOR3(0, 0, 0));
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 0, -2, 0);
    ASSERT_EQ(m_pAvatars->RenderLocalAvatar(h, 0, m), KRA_OK);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(0, -2, 0), kRed);
    ExpectPixel(picture, Project(0, 0, 0), kBlack);
    EXPECT_EQ(m_pAvatars->RenderLocalAvatar(0, 0, m), KRA_E_INVALID_AVATAR);
}

namespace {
CKRAAvatarManager* s_pUnloader = nullptr;
std::vector<_KRA_HANDLE> s_vUnload;
void UnloadOnMotionEnd(LONG code, LONG, void*)
{
    if (code != KRA_MSG_MOTION_END)
        return;
    for (_KRA_HANDLE h : s_vUnload)
        s_pUnloader->UnloadAvatar(h);
    s_vUnload.clear();
}
} // namespace

TEST_F(AvatarRender, CallbackThatUnloadsAvatarsLeavesTheRestDrawn)
{
    ItemMesh mesh = Square(0, 0, 0.4f);
    mesh.vBindings = {{KRA_BONE_FIRST, {0, 1, 2, 3}, {1, 1, 1, 1}}};
    Item item = RedItem(2020001, {mesh});
    int nPose = LoadPose([](uint32_t, float*) {}, 100);
    _KRA_HANDLE ah[3];
    for (int i = 0; i < 3; ++i) {
        ah[i] = Avatar(DWORD(i + 1), item, KRA_ITEM_BODY);
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, float(2 * i - 2), 0, 0);
        m_pAvatars->SetAvatarMatrix(ah[i], m);
        Play(ah[i], nPose);
    }
    // The first end of a motion unloads the avatar being drawn and the next one.
    s_pUnloader = m_pAvatars;
    s_vUnload = {ah[0], ah[1]};
    CKRAManager::m_pfMsgProc = &UnloadOnMotionEnd;
    YondaClockAdvance(200);
    EXPECT_EQ(m_pAvatars->RenderAvatars(), KRA_OK);
    CKRAManager::m_pfMsgProc = &Ignore;
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(-2, 0, 0), kBlack);
    ExpectPixel(picture, Project(0, 0, 0), kBlack);
    ExpectPixel(picture, Project(2, 0, 0), kRed);
    EXPECT_EQ(m_pAvatars->GetAvatarCount(), 1u);
}

TEST_F(AvatarRender, EachAvatarsShadowLiesAboveTheOneDrawnBefore)
{
    Item item = RedItem(2020001, {Square(0, 0, 0.3f, "shadow")});
    _KRA_HANDLE ah[2] = {Avatar(1, item, KRA_ITEM_BODY), Avatar(2, item, KRA_ITEM_BODY)};
    ASSERT_EQ(m_pAvatars->RenderAvatars(2, ah), KRA_OK);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(0, 0, 0), kRed);
    ExpectPixel(picture, Project(0, 1.01f, 0), kRed);
    ExpectPixel(picture, Project(0, 2.02f, 0), kBlack);

    // Drawn alone, an avatar's shadow lies at its feet again.
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    ASSERT_EQ(m_pAvatars->RenderAvatars(1, &ah[1]), KRA_OK);
    YondaPicture alone = Picture();
    ExpectPixel(alone, Project(0, 0, 0), kRed);
    ExpectPixel(alone, Project(0, 1.01f, 0), kBlack);
}

TEST_F(AvatarRender, TextureOverridesReplaceTheItemsOwnTextureAndLeaveWithTheAvatar)
{
    CKRATextureManager* pTextures = CKRAManager::GetTextureManager();
    Item item = RedItem(2020001, {Square(0, 0, 0.5f)});
    _KRA_HANDLE h = Avatar(1, item, KRA_ITEM_BODY);
    item.dwCode = 2030001;
    item.vMeshes = {Square(2, 0, 0.5f)};
    WriteKri("2030001.KRI", KRI(item, KRA_ITEM_BODY_B));
    _KRA_HANDLE hSecond = m_pAvatars->LoadKRI(Path("2030001.KRI").c_str(), KRA_ITEM_BODY_B);
    item.dwCode = 2040001;
    item.vMeshes = {Square(-2, 0, 0.5f)};
    WriteKri("2040001.KRI", KRI(item, KRA_ITEM_BODY_C));
    _KRA_HANDLE hThird = m_pAvatars->LoadKRI(Path("2040001.KRI").c_str(), KRA_ITEM_BODY_C);
    ASSERT_EQ(m_pAvatars->AttachItemToAvatar(h, hSecond), KRA_OK);
    ASSERT_EQ(m_pAvatars->AttachItemToAvatar(h, hThird), KRA_OK);
    DWORD dwCount = 0;
    _KRA_HANDLE* pItems = nullptr;
    ASSERT_EQ(m_pAvatars->GetItemHandle(h, dwCount, pItems), KRA_OK);
    ASSERT_EQ(dwCount, 3u);
    _KRA_HANDLE hFirst = pItems[0];
    size_t nTextures = pTextures->GetTextureCount();

    // Nothing to delete yet; then the first item wears white instead of its red.
    EXPECT_EQ(m_pAvatars->DeleteItemTexture("white.bmp", h, hFirst), KRA_E_MISSING_PART);
    ASSERT_EQ(m_pAvatars->SetItemTexture("white.bmp", h, hFirst), KRA_OK);
    Render(h);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(0, 0, 0), kWhite);
    ExpectPixel(picture, Project(2, 0, 0), kRed);
    EXPECT_EQ(pTextures->GetTextureCount(), nTextures + 1);
    KRA_AVATAR_STRUCTURE out = {};
    ASSERT_EQ(m_pAvatars->GetAvatarStructure(h, &out), KRA_OK);
    EXPECT_EQ(out.pItems[0].bTextureOverride, 1);
    EXPECT_STREQ(out.pItems[0].szTextureFile, "white.bmp");
    EXPECT_EQ(out.pItems[1].bTextureOverride, 0);
    delete[] out.pItems;

    // Deleting the first of three overrides keeps the other two; the name is not compared.
    ASSERT_EQ(m_pAvatars->SetItemTexture("white.bmp", h, hSecond), KRA_OK);
    ASSERT_EQ(m_pAvatars->SetItemTexture("red.bmp", h, hThird), KRA_OK);
    EXPECT_EQ(m_pAvatars->DeleteItemTexture("any.bmp", h, hFirst), KRA_OK);
    const CKRAAvatar* pAvatar = m_pAvatars->GetAvatar(h);
    EXPECT_EQ(pAvatar->FindTextureOverride(hFirst), nullptr);
    ASSERT_NE(pAvatar->FindTextureOverride(hSecond), nullptr);
    ASSERT_NE(pAvatar->FindTextureOverride(hThird), nullptr);
    EXPECT_STREQ(pAvatar->FindTextureOverride(hThird)->szName, "red.bmp");
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    _KRA_HANDLE hAlone = h;
    m_pAvatars->DetachItemFromAvatar(hAlone, hSecond);
    m_pAvatars->DetachItemFromAvatar(hAlone, hThird);
    Render(h);
    ExpectPixel(Picture(), Project(0, 0, 0), kRed);

    // Limits: a name over 31 characters, an item that is not loaded, a 361st override.
    EXPECT_EQ(m_pAvatars->SetItemTexture(std::string(32, 'x').c_str(), h, hFirst), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_pAvatars->SetItemTexture(nullptr, h, hFirst), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_pAvatars->SetItemTexture("white.bmp", h, 0x12345678), KRA_E_INVALID_AVATAR);
    EXPECT_EQ(m_pAvatars->SetItemTexture("white.bmp", 0, hFirst), KRA_E_INVALID_AVATAR);
    EXPECT_EQ(m_pAvatars->DeleteItemTexture("white.bmp", 0, hFirst), KRA_E_INVALID_AVATAR);
    while (pAvatar->m_vTextureOverrides.size() < KRA_TEXTURE_OVERRIDE_MAX)
        ASSERT_EQ(m_pAvatars->SetItemTexture("white.bmp", h, hFirst), KRA_OK);
    EXPECT_EQ(m_pAvatars->SetItemTexture("white.bmp", h, hFirst), KRA_E_AVATAR_KEYS_FULL);

    // The avatar's overrides go with it: the textures it took are given back.
    ASSERT_EQ(m_pAvatars->UnloadAvatar(h), KRA_OK);
    EXPECT_EQ(pTextures->GetTextureCount(), nTextures - 1); // the item's own red went with its file
}

TEST_F(AvatarRender, HeldItemsFollowTheirHandAndHeadsTheHeadBone)
{
    // Bone 6 (the head) two units up, bone 10 (the left hand) three units right.
    int nPose = LoadPose([](uint32_t t, float* af) {
        if (t == 6)
            af[1] = 2;
        if (t == 10)
            af[0] = 3;
    });
    ASSERT_GE(nPose, 0);
    struct Case {
        DWORD dwCode;
        DWORD dwKind;
        float x, y;
    };
    // The ninth character from the end of "1050010.KRI" is the hand digit 5.
    for (const Case& c :
         {Case{1050010, KRA_ITEM_HELD, 3, 0}, Case{1060010, KRA_ITEM_HELD, 0, 2}, Case{1010010, KRA_ITEM_FACE, 0, 2}}) {
        SCOPED_TRACE(c.dwCode);
        _KRA_HANDLE h =
            Avatar(c.dwCode, RedItem(c.dwCode, {Square(0, 0, 0.4f), Square(0, -3, 0.3f, "shadow")}), c.dwKind);
        Play(h, nPose);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
        Render(h);
        YondaPicture picture = Picture();
        ExpectPixel(picture, Project(c.x, c.y, 0), kRed);
        ExpectPixel(picture, Project(c.x, c.y - 3, 0), kRed); // its shadow goes along
        ExpectPixel(picture, Project(0, 0, 0), kBlack);
        m_pAvatars->UnloadAvatar(h);
    }
}

TEST_F(AvatarRender, AvatarsDrawAgainAfterADeviceReset)
{
    _KRA_HANDLE h = Avatar(1, RedItem(2020001, {Square(0, 0, 0.5f)}), KRA_ITEM_BODY);
    m_pDevice->EndScene();
    ASSERT_EQ(CKRAManager::GetKRA()->KraMan_DestroyDeviceObject(), KRA_OK);
    // Reset refuses while any default-pool buffer is still held.
    EXPECT_EQ(YondaD3D8CountDefaultPoolResources(m_pDevice), 0u);
    D3DPRESENT_PARAMETERS pp = PresentParameters();
    ASSERT_EQ(m_pDevice->Reset(&pp), D3D_OK);
    ASSERT_EQ(CKRAManager::GetKRA()->KraMan_CreateDeviceObject(), KRA_OK);
    Baseline();
    m_cCamera.CreateAt(D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 1, 0));
    m_pDevice->SetTransform(D3DTS_WORLD, &m_cCamera.GetViewMatrix());
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    m_pDevice->BeginScene();
    Render(h);
    ExpectPixel(Picture(), Project(0, 0, 0), kRed);
}

TEST_F(AvatarRender, AlphaItemsAreCutAtTheirThresholdAndShadowsBlend)
{
    WriteKri("faint.tga", TGA(2, 2, std::vector<uint32_t>(4, 0x40FF0000)));
    WriteKri("half.tga", TGA(2, 2, std::vector<uint32_t>(4, 0x80FF0000)));
    Item item;
    item.dwCode = 2020001;
    item.vTextures = {{"faint.tga", true}, {"half.tga", true}};
    item.vMeshes = {Square(-2, 0, 0.5f), Square(0, 0, 0.5f), Square(2, 0, 0.5f, "shadow")};
    item.vMeshes[1].dwMaterial = 1;
    item.vMeshes[2].dwMaterial = 1;
    _KRA_HANDLE h = Avatar(1, item, KRA_ITEM_BODY);
    Render(h);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(-2, 0, 0), kBlack);       // alpha 0x40 is below the items' cut of 120
    ExpectPixel(picture, Project(0, 0, 0), kRed);          // 0x80 passes and is drawn opaque
    ExpectPixel(picture, Project(2, 0, 0), 0xFF800000, 8); // the shadow blends half over black
}
