// Avatars as a host reaches them through libKravex and a scene, on a real device: its frame of one
// avatar drawing call per avatar with soft picking, the messages of ended motions, walks and
// move-and-rotates by their codes, item kinds by their numbers, and the statuses of the interface.
#include "KRAAvatarTestFiles.h"
#include "KRAInterfaceValues.h"
#include "KRARenderFixture.h"
#include "KRASceneTestFiles.h"
#include "Kravex.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

using namespace kratest;
using namespace kratest::values;

namespace {

constexpr DWORD kBlack = 0xFF000000;
constexpr DWORD kRed = 0xFFFF0000;

struct Message {
    LONG lCode;
    LONG lValue;
    std::vector<DWORD> vData;
};
std::vector<Message> g_vMessages;

void Record(LONG lCode, LONG lValue, void* pData)
{
    const DWORD* pdw = static_cast<const DWORD*>(pData);
    // Only the end of a motion carries a second word: the motion that ended.
    std::vector<DWORD> vData{pdw[0]};
    if (lCode == kMotionEnd)
        vData.push_back(pdw[1]);
    g_vMessages.push_back({lCode, lValue, vData});
}

class PublicAvatar : public RenderFixture {
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        if (HasFatalFailure())
            return;
        YondaClockSetManual(TRUE);
        g_vMessages.clear();
        CKRAManager::m_pfMsgProc = &Record;
        WriteWorld("Room.KRS", KRS({}, {}));
        WriteWorld("Room.KRP", GridMap(10, 4, 4, 0, 0, std::vector<uint8_t>(16, 0)));
        WriteWorld("Room.KRC", GridMap(10, 4, 4, 0, 0, std::vector<uint8_t>(16, 0)));
        CKRAManager* pManager = CKRAManager::GetKRA();
        ASSERT_EQ(pManager->LoadScene("Room.KRS", m_hScene), kOk);
        ASSERT_EQ(pManager->KraMan_GetScene(m_hScene, &m_pScene), kOk);
        D3DXVECTOR3 vEye(0, 0, -10), vAt(0, 0, 0), vUp(0, 1, 0);
        m_pScene->SetCameraPosition(vEye, vAt, vUp);
        m_pScene->SetProjectionMatrix(0, 0, 1.0f, 5000.0f);
        WriteKri("red.bmp", SolidBMP(4, 4, 0xFF0000));
    }
    void TearDown() override
    {
        if (m_hScene)
            CKRAManager::GetKRA()->UnloadScene(m_hScene);
        RenderFixture::TearDown();
        YondaClockSetManual(FALSE);
    }

    void WriteKri(const std::string& name, const std::vector<uint8_t>& bytes) { Write(Kri(name), bytes); }
    std::filesystem::path Kri(const std::string& name) const { return m_root / "Data" / "AVATAR" / "KRI" / name; }

    // An item file named by its code, of a square red item.
    std::string WriteItem(DWORD dwCode, DWORD dwKind, float h = 1, bool bAlpha = false)
    {
        Item item;
        item.dwCode = dwCode;
        item.vTextures = {{"red.bmp", bAlpha}};
        item.vMeshes = {Square(0, 0, h)};
        std::string strName = std::to_string(dwCode) + ".KRI";
        WriteKri(strName, KRI(item, dwKind));
        return strName;
    }

    // An avatar of one square item, standing at z.
    _KRA_HANDLE Avatar(DWORD dwKey, DWORD dwCode, float h, float z)
    {
        std::string strList = std::to_string(dwKey) + ".KRA";
        WriteKri(strList, KRA(dwKey, {{kItemBody, WriteItem(dwCode, kItemBody, h)}}));
        _KRA_HANDLE hAvatar = 0;
        EXPECT_EQ(m_pScene->LoadAvatar(strList.c_str(), hAvatar), kOk);
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, 0, 0, z);
        EXPECT_EQ(m_pScene->SetAvatarMatrix(hAvatar, m), kOk);
        return hAvatar;
    }

    // One frame as the host draws it: the opaque world, one drawing call per avatar, the rest.
    void HostFrame(std::initializer_list<_KRA_HANDLE> avatars)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        ASSERT_EQ(m_pScene->RenderNonAlphaWorld(), kOk);
        for (_KRA_HANDLE h : avatars)
            ASSERT_EQ(m_pScene->RenderAvatars(1, &h), kOk);
        ASSERT_EQ(m_pScene->RenderAlphaWorld(), kOk);
    }

    _KRA_HANDLE Picked()
    {
        _KRA_HANDLE hAvatar = 0, hItem = 0;
        float fDistance = 0;
        EXPECT_EQ(m_pScene->GetPickedAvatarHandle(hAvatar, hItem, fDistance), kOk);
        return hAvatar;
    }

    _KRA_HANDLE m_hScene = 0;
    CKRAScene* m_pScene = nullptr;
};

} // namespace

TEST_F(PublicAvatar, SoftPickingGoesToTheLastDrawingCallThatHitsTheAvatarsUnderThePoint)
{
    _KRA_HANDLE hFar = Avatar(1, 2020001, 1, 0);
    _KRA_HANDLE hNear = Avatar(2, 2020002, 0.5f, -3);
    POINT pt = Project(0, 0, 0);
    ASSERT_EQ(m_pScene->SetAvatarPickingPosition(pt), kOk);
    m_pScene->SetAvatarSoftPicking(true);
    EXPECT_EQ(m_pScene->HasAvatarSoftPicking(), kFailed);

    // Each drawing call's nearest hit replaces the pick: the avatar drawn last wins.
    HostFrame({hNear, hFar});
    ASSERT_EQ(m_pScene->HasAvatarSoftPicking(), kOk);
    EXPECT_EQ(Picked(), hFar);
    m_pScene->ResetAvatarSoftPicking(false);
    EXPECT_EQ(m_pScene->HasAvatarSoftPicking(), kFailed);
    HostFrame({hFar, hNear});
    EXPECT_EQ(Picked(), hNear);
    m_pScene->ResetAvatarSoftPicking(false);

    // Both in one call: the nearer one.
    _KRA_HANDLE ah[2] = {hNear, hFar};
    ASSERT_EQ(m_pScene->RenderAvatars(2, ah), kOk);
    EXPECT_EQ(Picked(), hNear);
    m_pScene->ResetAvatarSoftPicking(false);

    // A list of none draws none and picks none; the whole scene draws them all.
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(m_pScene->RenderNonAlphaWorld(), kOk);
    ASSERT_EQ(m_pScene->RenderAvatars(0, ah), kOk);
    ExpectPixel(Picture(), pt, kBlack);
    EXPECT_EQ(m_pScene->HasAvatarSoftPicking(), kFailed);
    ASSERT_EQ(m_pScene->Render(0, ah), kOk);
    ExpectPixel(Picture(), pt, kRed);
    EXPECT_EQ(m_pScene->HasAvatarSoftPicking(), kOk);
}

TEST_F(PublicAvatar, EndsOfMotionsWalksAndMoveAndRotatesAreToldByTheirCodes)
{
    _KRA_HANDLE h = Avatar(1, 2020001, 1, 0);
    // A motion of 100 ms, played once.
    WriteKri("bind.mot", Motion(2, 25, 100, [](uint32_t, uint32_t, float* af) { std::fill(af, af + 6, 0.f); }));
    ASSERT_EQ(m_pScene->LoadInitMotion(Kri("bind.mot").c_str(), 0), kOk);
    unsigned int nMotion = m_pScene->LoadMotion(Kri("bind.mot").c_str(), 0);
    ASSERT_EQ(nMotion, 0u);
    ASSERT_EQ(m_pScene->SetMotionType(h, 0), kOk);
    ASSERT_EQ(m_pScene->SetMotion(h, int(nMotion), int(nMotion)), kOk);
    ASSERT_EQ(m_pScene->SetLoopMotion(h, false), kOk);
    ASSERT_EQ(m_pScene->StartMotion(h), kOk);
    YondaClockAdvance(150);
    HostFrame({h});
    ASSERT_EQ(g_vMessages.size(), 1u);
    EXPECT_EQ(g_vMessages[0].lCode, 0x12001);
    EXPECT_EQ(g_vMessages[0].lValue, 0);
    EXPECT_EQ(g_vMessages[0].vData, (std::vector<DWORD>{h, nMotion}));

    // A walk straight ahead: drawing one avatar does not move it, the host's update does.
    g_vMessages.clear();
    D3DXVECTOR3 vAhead(0, 0, -3);
    ASSERT_EQ(m_pScene->MoveToAvatar(h, vAhead), kOk);
    YondaClockAdvance(1000);
    HostFrame({h});
    EXPECT_TRUE(g_vMessages.empty());
    ASSERT_EQ(m_pScene->UpdateMoveAvatar(&h, 1), kOk);
    ASSERT_EQ(g_vMessages.size(), 1u);
    EXPECT_EQ(g_vMessages[0].lCode, 0x12002);
    EXPECT_EQ(g_vMessages[0].lValue, 0);
    EXPECT_EQ(g_vMessages[0].vData, std::vector<DWORD>{h});

    // A move-and-rotate to a point a unit ahead, facing on: drawing the whole scene advances it.
    g_vMessages.clear();
    D3DXVECTOR3 vPosition(0, 0, -4), vDirection(0, 0, -1);
    ASSERT_EQ(m_pScene->MoveAndRotateAvatar(h, vPosition, vDirection), kOk);
    for (int i = 0; i < 3 && g_vMessages.empty(); ++i) {
        YondaClockAdvance(20);
        ASSERT_EQ(m_pScene->Render(0, nullptr), kOk);
    }
    ASSERT_EQ(g_vMessages.size(), 1u);
    EXPECT_EQ(g_vMessages[0].lCode, 0x12003);
    EXPECT_EQ(g_vMessages[0].vData, std::vector<DWORD>{h});
    D3DXVECTOR3 v;
    m_pScene->GetAvatar3DPosition(h, v);
    EXPECT_EQ(v, vPosition);
}

TEST_F(PublicAvatar, ItemKindsByTheirNumbersAndTheItemsAnAvatarWears)
{
    // Every kind reads its own file layout; the avatar hands its items back with their kinds,
    // named by their codes, items with an alpha texture last.
    _KRA_HANDLE hAvatar = Avatar(1, 2020001, 1, 0);
    const DWORD adwKinds[6] = {kItemFace, kItemBody, kItemUpperBody, kItemBodyB, kItemBodyC, kItemHeld};
    std::vector<_KRA_HANDLE> vItems;
    for (DWORD i = 0; i < 6; ++i) {
        std::string strName = WriteItem(3000000 + i, adwKinds[i], 1, i == 0);
        _KRA_HANDLE hItem = 0;
        ASSERT_EQ(m_pScene->LoadAvatarItem(Kri(strName).string().c_str(), adwKinds[i], hItem), kOk) << i;
        ASSERT_EQ(m_pScene->AttachItemToAvatar(hAvatar, hItem), kOk);
        vItems.push_back(hItem);
    }
    KRA_AVATAR_STRUCTURE structure = {};
    ASSERT_EQ(m_pScene->GetAvatarStructure(hAvatar, &structure), kOk);
    ASSERT_EQ(structure.dwItemCount, 7u);
    EXPECT_EQ(structure.dwAvatarKey, 1u);
    EXPECT_EQ(structure.pItems[0].dwItemKind, kItemBody);
    EXPECT_STREQ(structure.pItems[0].szItemFile, "2020001.KRI");
    for (DWORD i = 1; i < 6; ++i) {
        EXPECT_EQ(structure.pItems[i].dwItemKind, adwKinds[i]);
        EXPECT_EQ(structure.pItems[i].szItemFile, std::to_string(3000000 + i) + ".KRI");
    }
    EXPECT_EQ(structure.pItems[6].dwItemKind, kItemFace);
    delete[] structure.pItems;

    // Attaching an item it already wears changes nothing: the reference the host took for the
    // item again stays the host's, so the handle outlives the avatar's detach.
    _KRA_HANDLE hHeld = 0;
    ASSERT_EQ(m_pScene->LoadAvatarItem(Kri("3000005.KRI").string().c_str(), kItemHeld, hHeld), kOk);
    ASSERT_EQ(hHeld, vItems[5]);
    ASSERT_EQ(m_pScene->AttachItemToAvatar(hAvatar, hHeld), kOk);
    unsigned int nCount = 0;
    _KRA_HANDLE* pItems = nullptr;
    m_pScene->GetItemHandle(hAvatar, nCount, &pItems);
    EXPECT_EQ(nCount, 7u);
    ASSERT_EQ(m_pScene->DetachItemFromAvatar(hAvatar, hHeld), kOk);
    DWORD dwCode = 0;
    m_pScene->GetItemCode(hHeld, dwCode);
    EXPECT_EQ(dwCode, 3000005u);
    ASSERT_EQ(m_pScene->AttachItemToAvatar(hAvatar, hHeld), kOk);
    m_pScene->GetItemHandle(hAvatar, nCount, &pItems);
    EXPECT_EQ(nCount, 7u);
    m_pScene->UnloadAvatar(hAvatar);
}

TEST_F(PublicAvatar, StatusesOfTheSceneInterface)
{
    _KRA_HANDLE hAvatar = Avatar(1, 2020001, 1, 0);
    _KRA_HANDLE hNone = 0;
    D3DXVECTOR3 v(0, 0, -1);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    EXPECT_EQ(m_pScene->MoveToAvatar(hNone, v), kInvalidAvatar);
    EXPECT_EQ(m_pScene->MoveAndRotateAvatar(hNone, v, v), kInvalidAvatar);
    EXPECT_EQ(m_pScene->StopAvatar(hNone), kInvalidAvatar);
    EXPECT_EQ(m_pScene->RotateAvatar(hNone, v), kInvalidAvatar);
    EXPECT_EQ(m_pScene->SetWalkSpeedOfAvatar(hNone, 30), kInvalidAvatar);
    EXPECT_EQ(m_pScene->SetAvatarMatrix(hNone, m), kInvalidAvatar);
    EXPECT_EQ(m_pScene->AttachItemToAvatar(hNone, hAvatar), kInvalidAvatar);
    EXPECT_EQ(m_pScene->RenderLocalAvatar(hNone, 0, m), kInvalidAvatar);
    int nMotion = 0;
    EXPECT_EQ(m_pScene->GetCurrentMotion(hNone, nMotion), kInvalidHandle);
    EXPECT_EQ(nMotion, -1);

    _KRA_HANDLE hOut = 0;
    EXPECT_EQ(m_pScene->LoadAvatar("absent.KRA", hOut), kFailed);
    EXPECT_EQ(m_pScene->LoadAvatarItem(Kri("4000000.KRI").string().c_str(), kItemBody, hOut), kFailed);
    EXPECT_EQ(LONG(m_pScene->LoadMotion(Kri("absent.mot").string().c_str(), 0)), kMissingPart);

    // Texture overrides: none to delete, then at most 360 on one avatar.
    unsigned int nCount = 0;
    _KRA_HANDLE* pItems = nullptr;
    m_pScene->GetItemHandle(hAvatar, nCount, &pItems);
    ASSERT_EQ(nCount, 1u);
    _KRA_HANDLE hItem = pItems[0];
    EXPECT_EQ(m_pScene->DeleteItemTexture("skin.KRT", hAvatar, hItem), kMissingPart);
    for (int i = 0; i < 360; ++i)
        ASSERT_EQ(m_pScene->SetItemTexture("skin.KRT", hAvatar, hItem), kOk);
    EXPECT_EQ(m_pScene->SetItemTexture("skin.KRT", hAvatar, hItem), kKeyListFull);

    // World objects, paths and picking of a scene without any.
    _KRA_HANDLE hObject = 0, hStale = 0x10001;
    EXPECT_EQ(m_pScene->ShowObjectFile(hObject), kInvalidArgument);
    EXPECT_EQ(m_pScene->ShowObjectFile(hStale), kInvalidHandle);
    EXPECT_EQ(m_pScene->RenderAccentedObjectFile(hStale, 0xFF00FF00), kFailed);
    int nPaths = -1;
    EXPECT_EQ(m_pScene->GetPathNum(nPaths), kMissingPart);
    unsigned int nPoints = 0;
    D3DXVECTOR3* pPoints = nullptr;
    EXPECT_EQ(m_pScene->GetPathInfo(1, nPoints, &pPoints), kFailed);
    EXPECT_EQ(m_pScene->GetInitPosition(&nPoints, &pPoints), kMissingPart);
    POINT pt = {32, 32};
    float fDistance = 0;
    EXPECT_EQ(m_pScene->TestGroundPicking(pt, hObject, fDistance, v), kFailed);
    m_pScene->UnloadAvatar(hAvatar);
}
