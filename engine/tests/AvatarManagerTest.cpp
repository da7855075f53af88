// The avatar manager over the generated sample avatars and over broken copies of them: sharing
// by key and by path, clean failure, the motion library and playing with the engine clock.
#include "KRAAvatarManager.h"
#include "KRAAvatarTestFiles.h"
#include "KRAManager.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>

using namespace kratest;

namespace {

class AvatarManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = m_temp.Path();
        m_temp.MakeFolder("KRI");
        m_temp.MakeFolder("Motion");
        ASSERT_EQ(m_cManager.Create((m_root.string() + "/").c_str(), 2, 3), KRA_OK);
        s_vMessages.clear();
        CKRAManager::m_pfMsgProc = &Record;
        YondaClockSetManual(TRUE);
    }
    void TearDown() override
    {
        YondaClockSetManual(FALSE);
        CKRAManager::m_pfMsgProc = nullptr;
        s_pfOnMessage = nullptr;
        m_cManager.Destroy();
    }
    // A generated file copied into this manager's folder, under its own or another name.
    void CopyItem(const std::string& strName, const std::string& strAs = "")
    {
        std::filesystem::copy_file(AvatarFolder() / "KRI" / strName,
                                   m_root / "KRI" / (strAs.empty() ? strName : strAs));
    }
    std::string Kri(const std::string& strName) const { return (m_root / "KRI" / strName).string(); }
    // The codes of the messages from here on, in order.
    std::vector<LONG>& WatchCodes()
    {
        m_vCodes.clear();
        s_pfOnMessage = [this] { m_vCodes.push_back(s_vMessages.back().lCode); };
        return m_vCodes;
    }
    // An avatar of key 900 wearing the sample face: enough to walk, turn and play.
    _KRA_HANDLE FaceAvatar()
    {
        CopyItem("1010010.KRI");
        Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
        _KRA_HANDLE h = 0;
        EXPECT_EQ(m_cManager.LoadAvatar("900.KRA", h), KRA_OK);
        return h;
    }

    struct Message {
        LONG lCode;
        DWORD dwAvatar;
        DWORD dwMotion;
    };
    static void Record(LONG lCode, LONG, void* pData)
    {
        const DWORD* pdw = static_cast<const DWORD*>(pData);
        // Only the end of a motion carries the motion index after the handle.
        s_vMessages.push_back({lCode, pdw[0], lCode == KRA_MSG_MOTION_END ? pdw[1] : 0});
        if (s_pfOnMessage)
            s_pfOnMessage();
    }
    static inline std::vector<Message> s_vMessages;
    static inline std::function<void()> s_pfOnMessage;

    yonda::testing::TempFolder m_temp{"kravex-avatar"};
    CKRAAvatarManager m_cManager;
    std::filesystem::path m_root;
    std::vector<LONG> m_vCodes;
};

// Every track moves along x by 10 per key.
std::vector<uint8_t> WalkingMotion(uint32_t dwKeys, uint32_t dwDuration, float fStartX)
{
    return Motion(dwKeys, 25, dwDuration, [&](uint32_t, uint32_t k, float* af) {
        af[0] = fStartX + 10.f * float(k);
        af[1] = af[2] = af[3] = af[4] = af[5] = 0;
    });
}

} // namespace

TEST_F(AvatarManagerTest, GeneratedAvatarLoadsSharedByKeyAndUnloadsWhole)
{
    // The generated lists live in the generated folder: this manager reads them there.
    CKRAAvatarManager manager;
    ASSERT_EQ(manager.Create((AvatarFolder().string() + "/").c_str(), 2, 60), KRA_OK);
    _KRA_HANDLE hFirst = 0, hSecond = 0;
    ASSERT_EQ(manager.LoadAvatar("10001.KRA", hFirst), KRA_OK);
    ASSERT_NE(hFirst, 0u);
    ASSERT_EQ(manager.LoadAvatar("10001.KRA", hSecond), KRA_OK);
    EXPECT_EQ(hFirst, hSecond);
    DWORD dwCount = 0;
    _KRA_HANDLE* pItems = nullptr;
    ASSERT_EQ(manager.GetItemHandle(hFirst, dwCount, pItems), KRA_OK);
    EXPECT_GT(dwCount, 0u);
    size_t nFiles = manager.GetItemFileCount();
    EXPECT_EQ(nFiles, dwCount);
    // Alpha items come last, whatever order the list gave.
    bool bAlphaSeen = false;
    for (DWORD i = 0; i < dwCount; ++i) {
        const CKRAItemFile* pItem = manager.GetItemFile(pItems[i]);
        ASSERT_NE(pItem, nullptr);
        EXPECT_NE(pItem->Path().find(std::to_string(manager.GetItemCode(pItems[i]))), std::string::npos);
        EXPECT_FALSE(bAlphaSeen && !pItem->HasAlpha());
        bAlphaSeen |= pItem->HasAlpha();
    }

    EXPECT_EQ(manager.UnloadAvatar(hFirst), KRA_OK);
    EXPECT_EQ(manager.GetAvatarCount(), 1u);
    EXPECT_EQ(manager.UnloadAvatar(hFirst), KRA_OK);
    EXPECT_EQ(manager.GetAvatarCount(), 0u);
    EXPECT_EQ(manager.GetItemFileCount(), 0u);
    EXPECT_EQ(manager.UnloadAvatar(hFirst), KRA_E_INVALID_AVATAR);
    manager.Destroy();
}

TEST_F(AvatarManagerTest, MissingSecondItemLeavesNothingBehind)
{
    CopyItem("1010010.KRI");
    _KRA_HANDLE hItem = m_cManager.LoadKRI(Kri("1010010.KRI").c_str(), KRA_ITEM_FACE);
    ASSERT_NE(hItem, 0u);
    Write(m_root / "KRI" / "777.KRA", KRA(777, {{KRA_ITEM_FACE, "1010010.KRI"}, {KRA_ITEM_BODY, "1020000.KRI"}}));
    _KRA_HANDLE hAvatar = 1;
    EXPECT_NE(m_cManager.LoadAvatar("777.KRA", hAvatar), KRA_OK);
    EXPECT_EQ(hAvatar, 0u);
    EXPECT_EQ(m_cManager.GetAvatarCount(), 0u);
    EXPECT_EQ(m_cManager.GetItemFile(hItem)->RefCount(), 1);
    // A list that lies about its items, and a missing list, fail the same way.
    std::vector<uint8_t> cut = KRA(778, {{KRA_ITEM_FACE, "1010010.KRI"}});
    cut.resize(20);
    Write(m_root / "KRI" / "778.KRA", cut);
    EXPECT_NE(m_cManager.LoadAvatar("778.KRA", hAvatar), KRA_OK);
    EXPECT_NE(m_cManager.LoadAvatar("nothing.KRA", hAvatar), KRA_OK);
    EXPECT_EQ(m_cManager.GetAvatarCount(), 0u);
    EXPECT_EQ(m_cManager.GetItemFile(hItem)->RefCount(), 1);
}

TEST_F(AvatarManagerTest, ItemFilesShareByPathAndRefuseForeignCodesAndBrokenFiles)
{
    CopyItem("1020000.KRI");
    CopyItem("1020000.KRe");
    _KRA_HANDLE hItem = m_cManager.LoadKRI(Kri("1020000.KRI").c_str(), KRA_ITEM_UPPER_BODY);
    ASSERT_NE(hItem, 0u);
    std::string strUpper = Kri("1020000.kri");
    EXPECT_EQ(m_cManager.LoadKRI(strUpper.c_str(), KRA_ITEM_UPPER_BODY), hItem);
    const CKRAItemFile* pItem = m_cManager.GetItemFile(hItem);
    EXPECT_EQ(pItem->RefCount(), 2);
    EXPECT_FALSE(pItem->Meshes()[0].vSwell.empty() && pItem->Meshes()[0].vBounce.empty());
    EXPECT_EQ(m_cManager.UnloadKRI(hItem), KRA_OK);
    EXPECT_EQ(m_cManager.UnloadKRI(hItem), KRA_OK);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 0u);
    EXPECT_EQ(m_cManager.GetItemCode(hItem), 0u);

    CopyItem("1010010.KRI", "4242.KRI");
    EXPECT_EQ(m_cManager.LoadKRI(Kri("4242.KRI").c_str(), KRA_ITEM_FACE), 0u);
    EXPECT_EQ(m_cManager.LoadKRI(Kri("4242.KRI").c_str(), KRA_ITEM_FACE), 0u);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 0u);

    std::vector<uint8_t> bytes = ReadAll(AvatarFolder() / "KRI" / "1010010.KRI");
    bytes.resize(bytes.size() / 2);
    Write(m_root / "KRI" / "1010010.KRI", bytes);
    EXPECT_EQ(m_cManager.LoadKRI(Kri("1010010.KRI").c_str(), KRA_ITEM_FACE), 0u);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 0u);
}

TEST_F(AvatarManagerTest, AttachAndDetachKeepReferencesRight)
{
    CopyItem("1010010.KRI");
    CopyItem("1020000.KRI");
    Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("900.KRA", hAvatar), KRA_OK);
    _KRA_HANDLE hBody = m_cManager.LoadKRI(Kri("1020000.KRI").c_str(), KRA_ITEM_UPPER_BODY);
    ASSERT_EQ(m_cManager.AttachItemToAvatar(hAvatar, hBody), KRA_OK);
    // A second attach of the same item changes nothing: one entry, and the reference the caller
    // took for it stays the caller's.
    m_cManager.LoadKRI(Kri("1020000.KRI").c_str(), KRA_ITEM_UPPER_BODY);
    ASSERT_EQ(m_cManager.AttachItemToAvatar(hAvatar, hBody), KRA_OK);
    EXPECT_EQ(m_cManager.GetItemFile(hBody)->RefCount(), 2);
    DWORD dwCount = 0;
    _KRA_HANDLE* pItems = nullptr;
    m_cManager.GetItemHandle(hAvatar, dwCount, pItems);
    EXPECT_EQ(dwCount, 2u);
    // A detach gives back the avatar's reference; the caller's keeps the handle good.
    EXPECT_EQ(m_cManager.DetachItemFromAvatar(hAvatar, hBody), KRA_OK);
    ASSERT_NE(m_cManager.GetItemFile(hBody), nullptr);
    EXPECT_EQ(m_cManager.GetItemFile(hBody)->RefCount(), 1);
    ASSERT_EQ(m_cManager.AttachItemToAvatar(hAvatar, hBody), KRA_OK);
    m_cManager.GetItemHandle(hAvatar, dwCount, pItems);
    EXPECT_EQ(dwCount, 2u);
    EXPECT_EQ(m_cManager.DetachItemFromAvatar(hAvatar, hBody), KRA_OK);
    EXPECT_EQ(m_cManager.GetItemFile(hBody), nullptr);
    EXPECT_EQ(m_cManager.AttachItemToAvatar(0, hBody), KRA_E_INVALID_AVATAR);

    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, 1, 2, 3);
    EXPECT_EQ(m_cManager.SetAvatarMatrix(hAvatar, m), KRA_OK);
    D3DXVECTOR3 v;
    m_cManager.GetAvatar3DPosition(hAvatar, v);
    EXPECT_EQ(v, D3DXVECTOR3(1, 2, 3));
    m_cManager.SetAvatarVertexColor(hAvatar, D3DXVECTOR3(1.f, 0.5f, 0.5f));
    EXPECT_FALSE(m_cManager.GetAvatar(hAvatar)->m_bTint);
    m_cManager.SetAvatarVertexColor(hAvatar, D3DXVECTOR3(0.9f, 1, 1));
    EXPECT_TRUE(m_cManager.GetAvatar(hAvatar)->m_bTint);
}

TEST_F(AvatarManagerTest, MotionLibraryKeepsTheFirstBindPoseAndItsCapacity)
{
    std::string strBoy = (AvatarFolder() / "Motion" / "Boy_Bind.mot").string();
    EXPECT_EQ(m_cManager.InverseBindPose(0), nullptr);
    EXPECT_EQ(m_cManager.LoadInitMotion(strBoy.c_str(), 0), KRA_OK);
    ASSERT_NE(m_cManager.InverseBindPose(0), nullptr);
    D3DXMATRIX first = m_cManager.InverseBindPose(0)[3];
    Write(m_root / "Motion" / "a.mot", WalkingMotion(10, 1000, 100));
    std::string strA = (m_root / "Motion" / "a.mot").string();
    EXPECT_EQ(m_cManager.LoadMotion(strA.c_str(), 0), 0);
    EXPECT_EQ(m_cManager.LoadMotion(strA.c_str(), 0), 1);
    EXPECT_EQ(m_cManager.LoadMotion(strA.c_str(), 0), 2);
    EXPECT_EQ(m_cManager.LoadMotion(strA.c_str(), 0), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_cManager.InverseBindPose(0)[3], first);
    EXPECT_EQ(m_cManager.LoadMotion("nothing.mot", 1), KRA_E_MISSING_PART);
    EXPECT_EQ(m_cManager.LoadMotion(strA.c_str(), 2), KRA_E_INVALID_ARGUMENT);
    Write(m_root / "Motion" / "b.mot", Motion(3, 26, 100, [](uint32_t, uint32_t, float* af) {
              for (int i = 0; i < 6; ++i)
                  af[i] = 0;
          }));
    EXPECT_EQ(m_cManager.LoadMotion((m_root / "Motion" / "b.mot").string().c_str(), 1), KRA_E_INVALID_ARGUMENT);
}

TEST_F(AvatarManagerTest, PlayingSamplesBlendsEndsOnceAndLoops)
{
    CopyItem("1010010.KRI");
    Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    Write(m_root / "Motion" / "a.mot", WalkingMotion(10, 1000, 0));
    Write(m_root / "Motion" / "b.mot", WalkingMotion(4, 400, 500));
    ASSERT_EQ(m_cManager.LoadMotion((m_root / "Motion" / "a.mot").string().c_str(), 0), 0);
    ASSERT_EQ(m_cManager.LoadMotion((m_root / "Motion" / "b.mot").string().c_str(), 0), 1);
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("900.KRA", hAvatar), KRA_OK);
    CKRAAvatar* pAvatar = m_cManager.GetAvatar(hAvatar);

    // A kind without motions never starts.
    m_cManager.SetMotionType(hAvatar, 1);
    m_cManager.StartMotion(hAvatar);
    EXPECT_FALSE(pAvatar->m_bPlaying);

    m_cManager.SetMotionType(hAvatar, 0);
    m_cManager.SetMotion(hAvatar, 0, 1);
    m_cManager.StartMotion(hAvatar);
    YondaClockAdvance(250);
    const D3DXMATRIX* pBones = m_cManager.SampleMotion(hAvatar);
    EXPECT_EQ(pAvatar->m_nKey, 2);
    EXPECT_NEAR(pAvatar->m_fKeyFraction, 0.5f, 1e-3f);
    EXPECT_NEAR(pBones[0]._41, 25.f, 1e-2f);
    YondaClockAdvance(700);
    pBones = m_cManager.SampleMotion(hAvatar);
    EXPECT_NEAR(pBones[0]._41, (90.f + 500.f) / 2, 1e-1f);
    EXPECT_TRUE(s_vMessages.empty());

    YondaClockAdvance(60);
    m_cManager.SampleMotion(hAvatar);
    ASSERT_EQ(s_vMessages.size(), 1u);
    EXPECT_EQ(s_vMessages[0].lCode, KRA_MSG_MOTION_END);
    EXPECT_EQ(s_vMessages[0].dwAvatar, hAvatar);
    EXPECT_EQ(s_vMessages[0].dwMotion, 0u);
    EXPECT_TRUE(pAvatar->m_bPlaying); // looping: started again at time 0
    YondaClockAdvance(150);
    m_cManager.SampleMotion(hAvatar);
    EXPECT_EQ(pAvatar->m_nKey, 1);
    EXPECT_EQ(s_vMessages.size(), 1u);

    // Without loop the end leaves the avatar stopped, and the end is told once more only.
    m_cManager.SetLoopMotion(hAvatar, false);
    YondaClockAdvance(1000);
    m_cManager.SampleMotion(hAvatar);
    EXPECT_FALSE(pAvatar->m_bPlaying);
    EXPECT_EQ(s_vMessages.size(), 2u);
}

TEST_F(AvatarManagerTest, CallbackThatUnloadsTheAvatarEndsSamplingCleanly)
{
    CopyItem("1010010.KRI");
    Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    Write(m_root / "Motion" / "a.mot", WalkingMotion(2, 100, 0));
    ASSERT_EQ(m_cManager.LoadMotion((m_root / "Motion" / "a.mot").string().c_str(), 0), 0);
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("900.KRA", hAvatar), KRA_OK);
    m_cManager.SetMotionType(hAvatar, 0);
    m_cManager.SetMotion(hAvatar, 0, 0);
    m_cManager.StartMotion(hAvatar);
    s_pfOnMessage = [&] { m_cManager.UnloadAvatar(hAvatar); };
    YondaClockAdvance(200);
    EXPECT_EQ(m_cManager.SampleMotion(hAvatar), nullptr);
    s_pfOnMessage = nullptr;
    EXPECT_EQ(m_cManager.GetAvatarCount(), 0u);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 0u);
}

namespace {

// Updates every 100 ms until the walk reports its end; the number of updates it took.
int WalkUntilArrived(CKRAAvatarManager& manager, _KRA_HANDLE h, const std::vector<LONG>& vSeen, int nLimit = 500)
{
    for (int i = 1; i <= nLimit; ++i) {
        YondaClockAdvance(100);
        manager.UpdateMoveAvatar(&h, 1);
        if (!vSeen.empty())
            return i;
    }
    return -1;
}

} // namespace

TEST_F(AvatarManagerTest, WalksArriveAtSpeedTurningFirstWhenBehind)
{
    _KRA_HANDLE hAvatar = FaceAvatar();
    ASSERT_NE(hAvatar, 0u);
    CKRAAvatar* pAvatar = m_cManager.GetAvatar(hAvatar);
    std::vector<LONG>& vSeen = WatchCodes();

    // Straight ahead at 30 units per second: 29 units take the tenth update, without turning.
    m_cManager.MoveToAvatar(hAvatar, D3DXVECTOR3(0, 0, -29));
    EXPECT_TRUE(pAvatar->m_bTurnDone);
    EXPECT_EQ(WalkUntilArrived(m_cManager, hAvatar, vSeen), 10);
    ASSERT_EQ(vSeen, std::vector<LONG>{KRA_MSG_MOVE_END});
    EXPECT_EQ(s_vMessages.back().dwAvatar, hAvatar);
    EXPECT_EQ(pAvatar->m_vPosition, D3DXVECTOR3(0, 0, -29));
    EXPECT_FALSE(pAvatar->m_bWalking);

    // Straight behind: a half turn at 360 degrees per second while walking back.
    vSeen.clear();
    m_cManager.SetWalkSpeedOfAvatar(hAvatar, 60);
    m_cManager.MoveToAvatar(hAvatar, D3DXVECTOR3(0, 0, 0));
    EXPECT_FLOAT_EQ(pAvatar->m_fTurnAngle, 180.f);
    for (int i = 0; i < 4; ++i) {
        YondaClockAdvance(100);
        m_cManager.UpdateMoveAvatar(&hAvatar, 1);
    }
    EXPECT_FALSE(pAvatar->m_bTurnDone);
    YondaClockAdvance(110);
    m_cManager.UpdateMoveAvatar(&hAvatar, 1);
    EXPECT_FALSE(pAvatar->m_bWalking); // turned and arrived
    EXPECT_NEAR(pAvatar->m_vFront.z, 1.f, 1e-4f);
    EXPECT_NEAR(pAvatar->m_vPosition.z, -0.f, 1e-3f);
    EXPECT_EQ(vSeen.size(), 1u);

    // 0.3 degrees off needs no turn (the walk's dead zone is half a degree).
    vSeen.clear();
    D3DXVECTOR3 vOff(std::sin(0.3f * 0.017453292f) * 29.f, 0, std::cos(0.3f * 0.017453292f) * 29.f);
    m_cManager.MoveToAvatar(hAvatar, D3DXVECTOR3(0, 0, -30));
    m_cManager.MoveToAvatar(hAvatar, vOff);
    EXPECT_TRUE(pAvatar->m_bTurnDone);
    EXPECT_FLOAT_EQ(pAvatar->m_fTurned, 0.f);
    EXPECT_EQ(WalkUntilArrived(m_cManager, hAvatar, vSeen), 5);
    EXPECT_EQ(pAvatar->m_vPosition, vOff);
    s_pfOnMessage = nullptr;
}

TEST_F(AvatarManagerTest, ANewWalkWithoutAStopKeepsTheTurnStateOfTheLast)
{
    _KRA_HANDLE hAvatar = FaceAvatar();
    ASSERT_NE(hAvatar, 0u);
    CKRAAvatar* pAvatar = m_cManager.GetAvatar(hAvatar);
    std::vector<LONG>& vSeen = WatchCodes();
    D3DXVECTOR3 vFront;

    // A quarter turn toward +x is done after 0.25 s; the walk goes on.
    for (bool bStopFirst : {false, true}) {
        SCOPED_TRACE(bStopFirst);
        D3DXMATRIX m;
        D3DXMatrixIdentity(&m);
        m_cManager.SetAvatarMatrix(hAvatar, m);
        pAvatar->m_vFront = D3DXVECTOR3(0, 0, -1);
        vSeen.clear();
        m_cManager.MoveToAvatar(hAvatar, D3DXVECTOR3(60, 0, 0));
        YondaClockAdvance(300);
        m_cManager.UpdateMoveAvatar(&hAvatar, 1);
        ASSERT_TRUE(pAvatar->m_bTurnDone);
        ASSERT_TRUE(pAvatar->m_bWalking);
        m_cManager.GetAvatarFrontVector(hAvatar, vFront);
        ASSERT_NEAR(vFront.x, 1.f, 1e-4f);

        // A new walk back the way it came: without a stop the turn counts as done and the avatar
        // walks back facing on; stopped first (as the host does), it turns round.
        if (bStopFirst)
            m_cManager.StopAvatar(hAvatar);
        D3DXVECTOR3 vBack = pAvatar->m_vPosition - D3DXVECTOR3(6, 0, 0);
        m_cManager.MoveToAvatar(hAvatar, vBack);
        EXPECT_FLOAT_EQ(pAvatar->m_fTurnAngle, 180.f);
        EXPECT_EQ(pAvatar->m_bTurnDone, !bStopFirst);
        EXPECT_GT(WalkUntilArrived(m_cManager, hAvatar, vSeen), 0);
        EXPECT_EQ(vSeen, std::vector<LONG>{KRA_MSG_MOVE_END});
        EXPECT_EQ(pAvatar->m_vPosition, vBack);
        m_cManager.GetAvatarFrontVector(hAvatar, vFront);
        EXPECT_NEAR(vFront.x, bStopFirst ? -1.f : 1.f, 1e-4f);
    }
    s_pfOnMessage = nullptr;
}

TEST_F(AvatarManagerTest, UnreachableTargetIsReachedByTheStuckGuardAndStopSendsNothing)
{
    _KRA_HANDLE hAvatar = FaceAvatar();
    ASSERT_NE(hAvatar, 0u);
    std::vector<LONG>& vSeen = WatchCodes();
    m_cManager.MoveToAvatar(hAvatar, D3DXVECTOR3(0, 10, -30));
    int nUpdates = WalkUntilArrived(m_cManager, hAvatar, vSeen);
    EXPECT_GT(nUpdates, 100);
    EXPECT_EQ(m_cManager.GetAvatar(hAvatar)->m_vPosition, D3DXVECTOR3(0, 10, -30));

    vSeen.clear();
    m_cManager.MoveToAvatar(hAvatar, D3DXVECTOR3(0, 10, -90));
    YondaClockAdvance(100);
    m_cManager.UpdateMoveAvatar(&hAvatar, 1);
    m_cManager.StopAvatar(hAvatar);
    D3DXVECTOR3 vStopped = m_cManager.GetAvatar(hAvatar)->m_vPosition;
    EXPECT_EQ(WalkUntilArrived(m_cManager, hAvatar, vSeen, 20), -1);
    EXPECT_EQ(m_cManager.GetAvatar(hAvatar)->m_vPosition, vStopped);
    EXPECT_EQ(m_cManager.MoveToAvatar(0, vStopped), KRA_E_INVALID_AVATAR);
    s_pfOnMessage = nullptr;
}

TEST_F(AvatarManagerTest, StructureLoadsSharedByKeyAndListsComeBackByItemCode)
{
    CopyItem("1010010.KRI", "my-face-1010010.KRI");
    CopyItem("1020000.KRI");
    CopyItem("1020000.KRe");
    KRA_AVATAR_ITEM aItems[2] = {};
    aItems[0].dwItemKind = KRA_ITEM_FACE;
    std::snprintf(aItems[0].szItemFile, sizeof(aItems[0].szItemFile), "my-face-1010010.KRI");
    aItems[1].dwItemKind = KRA_ITEM_UPPER_BODY;
    std::snprintf(aItems[1].szItemFile, sizeof(aItems[1].szItemFile), "1020000.KRI");
    KRA_AVATAR_STRUCTURE structure = {0x00010001, 4, 31337, 2, aItems};
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar(&structure, hAvatar), KRA_OK);
    ASSERT_NE(hAvatar, 0u);
    // The same key from a list file, or from the structure again, is the same avatar.
    Write(m_root / "KRI" / "31337.KRA", KRA(31337, {{KRA_ITEM_FACE, "nothing.KRI"}}));
    _KRA_HANDLE hAgain = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("31337.KRA", hAgain), KRA_OK);
    EXPECT_EQ(hAgain, hAvatar);
    ASSERT_EQ(m_cManager.LoadAvatar(&structure, hAgain), KRA_OK);
    EXPECT_EQ(hAgain, hAvatar);
    EXPECT_EQ(m_cManager.GetAvatar(hAvatar)->RefCount(), 3);

    // Handed back, every item is named by its code, whatever name the list gave it.
    KRA_AVATAR_STRUCTURE out = {};
    ASSERT_EQ(m_cManager.GetAvatarStructure(hAvatar, &out), KRA_OK);
    EXPECT_EQ(out.dwHeader1, 0x00010001u);
    EXPECT_EQ(out.dwHeader2, 4u);
    EXPECT_EQ(out.dwAvatarKey, 31337u);
    ASSERT_EQ(out.dwItemCount, 2u);
    ASSERT_NE(out.pItems, nullptr);
    std::set<std::string> names;
    for (DWORD i = 0; i < out.dwItemCount; ++i) {
        names.insert(out.pItems[i].szItemFile);
        EXPECT_EQ(out.pItems[i].bTextureOverride, 0);
        EXPECT_STREQ(out.pItems[i].szTextureFile, "");
        EXPECT_EQ(out.pItems[i].dwItemKind,
                  std::string(out.pItems[i].szItemFile) == "1010010.KRI" ? KRA_ITEM_FACE : KRA_ITEM_UPPER_BODY);
    }
    EXPECT_EQ(names, (std::set<std::string>{"1010010.KRI", "1020000.KRI"}));
    delete[] out.pItems;
    EXPECT_EQ(m_cManager.GetAvatarStructure(0, &out), KRA_E_INVALID_AVATAR);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(m_cManager.UnloadAvatar(hAvatar), KRA_OK);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 0u);

    // A structure whose second item is missing, or whose name fills its field without a zero,
    // leaves nothing; one without an item array is refused at once.
    std::snprintf(aItems[1].szItemFile, sizeof(aItems[1].szItemFile), "nothing.KRI");
    EXPECT_EQ(m_cManager.LoadAvatar(&structure, hAvatar), KRA_E_FAILED);
    EXPECT_EQ(hAvatar, 0u);
    std::memset(aItems[1].szItemFile, 'A', sizeof(aItems[1].szItemFile));
    EXPECT_EQ(m_cManager.LoadAvatar(&structure, hAvatar), KRA_E_FAILED);
    EXPECT_EQ(m_cManager.GetAvatarCount(), 0u);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 0u);
    KRA_AVATAR_STRUCTURE empty = {0, 0, 5, 1, nullptr};
    EXPECT_EQ(m_cManager.LoadAvatar(&empty, hAvatar), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_cManager.LoadAvatar(static_cast<const KRA_AVATAR_STRUCTURE*>(nullptr), hAvatar),
              KRA_E_INVALID_ARGUMENT);
}

TEST_F(AvatarManagerTest, GeneratedListComesBackByItemCode)
{
    CKRAAvatarManager manager;
    ASSERT_EQ(manager.Create((AvatarFolder().string() + "/").c_str(), 2, 60), KRA_OK);
    _KRA_HANDLE h = 0;
    ASSERT_EQ(manager.LoadAvatar("20001.KRA", h), KRA_OK);
    KRA_AVATAR_STRUCTURE out = {};
    ASSERT_EQ(manager.GetAvatarStructure(h, &out), KRA_OK);
    EXPECT_EQ(out.dwAvatarKey, 20001u);
    DWORD dwCount = 0;
    _KRA_HANDLE* pItems = nullptr;
    manager.GetItemHandle(h, dwCount, pItems);
    ASSERT_EQ(out.dwItemCount, dwCount);
    for (DWORD i = 0; i < dwCount; ++i) {
        EXPECT_EQ(std::string(out.pItems[i].szItemFile), std::to_string(manager.GetItemCode(pItems[i])) + ".KRI");
        EXPECT_EQ(out.pItems[i].dwItemKind, manager.GetItemFile(pItems[i])->Kind());
    }
    // What came back loads the same avatar again under another key.
    out.dwAvatarKey = 20002;
    _KRA_HANDLE hCopy = 0;
    ASSERT_EQ(manager.LoadAvatar(&out, hCopy), KRA_OK);
    EXPECT_NE(hCopy, h);
    EXPECT_EQ(manager.GetItemFileCount(), size_t(dwCount));
    delete[] out.pItems;
    manager.Destroy();
    EXPECT_EQ(manager.GetAvatarCount(), 0u);
}

TEST_F(AvatarManagerTest, ListsNamingAnItemTwiceOrMoreThanTheAvatarHoldsKeepReferencesRight)
{
    CopyItem("1010010.KRI");
    Write(m_root / "KRI" / "901.KRA", KRA(901, {{KRA_ITEM_FACE, "1010010.KRI"}, {KRA_ITEM_FACE, "1010010.KRI"}}));
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("901.KRA", hAvatar), KRA_OK);
    DWORD dwCount = 0;
    _KRA_HANDLE* pItems = nullptr;
    m_cManager.GetItemHandle(hAvatar, dwCount, pItems);
    ASSERT_EQ(dwCount, 1u);
    // The list's second naming is not attached, and the reference its load took is given back
    // at once: no caller holds it, so kept it would hold the file loaded after the avatar went.
    EXPECT_EQ(m_cManager.GetItemFile(pItems[0])->RefCount(), 1);

    // Up to 360 items attach; the 361st changes nothing and stays its loader's.
    Item item;
    item.vMeshes = {Triangle()};
    std::vector<_KRA_HANDLE> vItems;
    for (uint32_t i = 0; i < 360; ++i) {
        item.dwCode = 500000 + i;
        std::string strName = std::to_string(item.dwCode) + ".KRI";
        Write(m_root / "KRI" / strName, KRI(item, KRA_ITEM_BODY));
        _KRA_HANDLE hItem = m_cManager.LoadKRI(Kri(strName).c_str(), KRA_ITEM_BODY);
        ASSERT_NE(hItem, 0u);
        ASSERT_EQ(m_cManager.AttachItemToAvatar(hAvatar, hItem), KRA_OK);
        vItems.push_back(hItem);
    }
    m_cManager.GetItemHandle(hAvatar, dwCount, pItems);
    EXPECT_EQ(dwCount, 360u); // the face and 359 of them
    ASSERT_NE(m_cManager.GetItemFile(vItems.back()), nullptr);
    EXPECT_EQ(m_cManager.GetItemFile(vItems.back())->RefCount(), 1);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 361u);
    EXPECT_EQ(m_cManager.UnloadAvatar(hAvatar), KRA_OK);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 1u);
    EXPECT_EQ(m_cManager.UnloadKRI(vItems.back()), KRA_OK);
    EXPECT_EQ(m_cManager.GetItemFileCount(), 0u);
}

TEST_F(AvatarManagerTest, BrokenItemsInAListAndBrokenMotionsLeaveNothingBehind)
{
    CopyItem("1010010.KRI");
    _KRA_HANDLE hFace = m_cManager.LoadKRI(Kri("1010010.KRI").c_str(), KRA_ITEM_FACE);
    ASSERT_NE(hFace, 0u);
    // A body whose binding names a vertex past its mesh, and one cut short in its faces.
    Item body;
    body.dwCode = 1020777;
    body.vMeshes = {Triangle()};
    body.vMeshes[0].vBindings = {{KRA_BONE_FIRST, {0, 1, 3}, {1, 1, 1}}};
    Write(m_root / "KRI" / "1020777.KRI", KRI(body, KRA_ITEM_BODY));
    body.dwCode = 1020778;
    body.vMeshes[0].vBindings = {{KRA_BONE_FIRST + 25, {0, 1, 2}, {1, 1, 1}}};
    std::vector<uint8_t> cut = KRI(body, KRA_ITEM_BODY);
    cut.resize(cut.size() - 20);
    Write(m_root / "KRI" / "1020778.KRI", cut);
    for (const char* szBody : {"1020777.KRI", "1020778.KRI"}) {
        Write(m_root / "KRI" / "902.KRA", KRA(902, {{KRA_ITEM_FACE, "1010010.KRI"}, {KRA_ITEM_BODY, szBody}}));
        _KRA_HANDLE hAvatar = 1;
        EXPECT_EQ(m_cManager.LoadAvatar("902.KRA", hAvatar), KRA_E_FAILED) << szBody;
        EXPECT_EQ(hAvatar, 0u);
        EXPECT_EQ(m_cManager.GetAvatarCount(), 0u);
        EXPECT_EQ(m_cManager.GetItemFileCount(), 1u);
        EXPECT_EQ(m_cManager.GetItemFile(hFace)->RefCount(), 1);
    }
    // The whole binding to a bone past the skeleton reads, and moves nothing.
    body.dwCode = 1020779;
    Write(m_root / "KRI" / "1020779.KRI", KRI(body, KRA_ITEM_BODY));
    _KRA_HANDLE hBody = m_cManager.LoadKRI(Kri("1020779.KRI").c_str(), KRA_ITEM_BODY);
    ASSERT_NE(hBody, 0u);
    EXPECT_TRUE(m_cManager.GetItemFile(hBody)->Meshes()[0].cData.vBindings.empty());

    // A motion cut short sets no bind pose and takes no index.
    std::vector<uint8_t> motion = WalkingMotion(10, 1000, 0);
    motion.resize(motion.size() - 1);
    Write(m_root / "Motion" / "cut.mot", motion);
    std::string strCut = (m_root / "Motion" / "cut.mot").string();
    EXPECT_EQ(m_cManager.LoadMotion(strCut.c_str(), 0), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_cManager.LoadInitMotion(strCut.c_str(), 0), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(m_cManager.InverseBindPose(0), nullptr);
    Write(m_root / "Motion" / "a.mot", WalkingMotion(10, 1000, 0));
    EXPECT_EQ(m_cManager.LoadMotion((m_root / "Motion" / "a.mot").string().c_str(), 0), 0);
}

TEST_F(AvatarManagerTest, MotionStartedByTheEndMessageIsSampledFromItsOwnStart)
{
    CopyItem("1010010.KRI");
    Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    Write(m_root / "Motion" / "a.mot", WalkingMotion(10, 1000, 0));
    Write(m_root / "Motion" / "b.mot", WalkingMotion(10, 1000, 500));
    ASSERT_EQ(m_cManager.LoadMotion((m_root / "Motion" / "a.mot").string().c_str(), 0), 0);
    ASSERT_EQ(m_cManager.LoadMotion((m_root / "Motion" / "b.mot").string().c_str(), 0), 1);
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("900.KRA", hAvatar), KRA_OK);
    m_cManager.SetMotionType(hAvatar, 0);
    m_cManager.SetLoopMotion(hAvatar, false);
    m_cManager.SetMotion(hAvatar, 0, 1);
    m_cManager.StartMotion(hAvatar);
    // As a host does: the end of one motion starts the next.
    s_pfOnMessage = [&] {
        m_cManager.SetMotion(hAvatar, 1, 1);
        m_cManager.StartMotion(hAvatar);
    };
    YondaClockAdvance(1200);
    const D3DXMATRIX* pBones = m_cManager.SampleMotion(hAvatar);
    s_pfOnMessage = nullptr;
    ASSERT_EQ(s_vMessages.size(), 1u);
    EXPECT_EQ(s_vMessages[0].dwMotion, 0u);
    EXPECT_TRUE(m_cManager.GetAvatar(hAvatar)->m_bPlaying);
    EXPECT_EQ(m_cManager.GetAvatar(hAvatar)->m_nKey, 0);
    EXPECT_NEAR(pBones[0]._41, 500.f, 1e-3f);
}

namespace {

// Updates every nStep ms until the move reports its end; the number of updates it took.
int UpdateUntilSeen(CKRAAvatarManager& manager, _KRA_HANDLE h, const std::vector<LONG>& vSeen, DWORD dwStep,
                    int nLimit = 500)
{
    for (int i = 1; i <= nLimit; ++i) {
        YondaClockAdvance(dwStep);
        manager.UpdateMoveAvatar(&h, 1);
        if (!vSeen.empty())
            return i;
    }
    return -1;
}

} // namespace

TEST_F(AvatarManagerTest, MoveAndRotateStepsAUnitPerUpdateThenTurnsToItsDirection)
{
    CopyItem("1010010.KRI");
    Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    Write(m_root / "KRI" / "901.KRA", KRA(901, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    _KRA_HANDLE ah[2] = {};
    ASSERT_EQ(m_cManager.LoadAvatar("900.KRA", ah[0]), KRA_OK);
    ASSERT_EQ(m_cManager.LoadAvatar("901.KRA", ah[1]), KRA_OK);
    std::vector<LONG>& vSeen = WatchCodes();

    // Fifteen units straight ahead take fifteen updates whatever the frame rate; then a quarter
    // turn to the right at 300 degrees per second.
    for (DWORD dwStep : {50u, 10u}) {
        SCOPED_TRACE(dwStep);
        _KRA_HANDLE h = ah[dwStep == 50 ? 0 : 1];
        CKRAAvatar* pAvatar = m_cManager.GetAvatar(h);
        vSeen.clear();
        ASSERT_EQ(m_cManager.MoveAndRotateAvatar(h, D3DXVECTOR3(0, 0, -15), D3DXVECTOR3(1, 0, 0)), KRA_OK);
        EXPECT_TRUE(pAvatar->m_bTurnDone);
        int nUpdates = 0;
        while (!pAvatar->m_bArrived && nUpdates < 100) {
            YondaClockAdvance(dwStep);
            m_cManager.UpdateMoveAvatar(&h, 1);
            ++nUpdates;
        }
        EXPECT_EQ(nUpdates, 15);
        EXPECT_EQ(pAvatar->m_vPosition, D3DXVECTOR3(0, 0, -15));
        EXPECT_TRUE(vSeen.empty());
        int nTurn = UpdateUntilSeen(m_cManager, h, vSeen, dwStep);
        EXPECT_EQ(nTurn, int(300 / dwStep)); // 90 degrees take 0.3 s
        ASSERT_EQ(vSeen, std::vector<LONG>{KRA_MSG_MOVE_ROTATE_END});
        EXPECT_EQ(s_vMessages.back().dwAvatar, h);
        D3DXVECTOR3 vFront;
        ASSERT_EQ(m_cManager.GetAvatarFrontVector(h, vFront), KRA_OK);
        EXPECT_NEAR(vFront.x, 1.f, 1e-4f);
        EXPECT_NEAR(vFront.z, 0.f, 1e-4f);
        EXPECT_FALSE(pAvatar->m_bMoveRotate);
        EXPECT_TRUE(pAvatar->m_bFinalTurnPending);
    }

    // A target straight behind: the half turn comes first (0.5 s), the steps after it. A final
    // direction straight behind is a half turn too, although no cross product tells its side:
    // not turning would leave the avatar facing away from the one direction it was given.
    _KRA_HANDLE h = ah[0];
    CKRAAvatar* pAvatar = m_cManager.GetAvatar(h);
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    m_cManager.SetAvatarMatrix(h, m);
    pAvatar->m_vFront = D3DXVECTOR3(0, 0, -1);
    vSeen.clear();
    m_cManager.MoveAndRotateAvatar(h, D3DXVECTOR3(0, 0, 3), D3DXVECTOR3(0, 0, -1));
    EXPECT_NEAR(std::fabs(pAvatar->m_fTurnAngle), 180.f, 1e-3f);
    for (int i = 0; i < 4; ++i) {
        YondaClockAdvance(100);
        m_cManager.UpdateMoveAvatar(&h, 1);
        EXPECT_EQ(pAvatar->m_vPosition, D3DXVECTOR3(0, 0, 0));
    }
    int nRest = UpdateUntilSeen(m_cManager, h, vSeen, 100);
    // The turn ends with the first of three steps, then a half turn back takes 0.6 s.
    EXPECT_EQ(nRest, 3 + 6);
    EXPECT_NEAR(pAvatar->m_vPosition.z, 3.f, 1e-4f);
    D3DXVECTOR3 vFront;
    m_cManager.GetAvatarFrontVector(h, vFront);
    EXPECT_NEAR(vFront.z, -1.f, 1e-4f);

    // 0.1 degrees off needs no turn, 0.3 degrees does (the walk would not turn for either).
    for (float fDegrees : {0.1f, 0.3f}) {
        D3DXVECTOR3 vFrom = pAvatar->m_vPosition;
        D3DXVECTOR3 vTo =
            vFrom + D3DXVECTOR3(std::sin(fDegrees * 0.017453292f) * 10.f, 0, -std::cos(fDegrees * 0.017453292f) * 10.f);
        m_cManager.MoveAndRotateAvatar(h, vTo, D3DXVECTOR3(0, 0, -1));
        EXPECT_EQ(pAvatar->m_bTurnDone, fDegrees < 0.2f) << fDegrees;
        m_cManager.StopAvatar(h);
    }
    s_pfOnMessage = nullptr;
    EXPECT_EQ(m_cManager.MoveAndRotateAvatar(0, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1)), KRA_E_INVALID_AVATAR);
    D3DXVECTOR3 vNone(1, 1, 1);
    EXPECT_EQ(m_cManager.GetAvatarFrontVector(0, vNone), KRA_E_INVALID_AVATAR);
    EXPECT_EQ(vNone, D3DXVECTOR3(0, 0, 0));
}

TEST_F(AvatarManagerTest, MoveAndRotateEndsOnATargetAtAnotherHeightAndStopsWithoutAMessage)
{
    _KRA_HANDLE h = FaceAvatar();
    ASSERT_NE(h, 0u);
    CKRAAvatar* pAvatar = m_cManager.GetAvatar(h);
    std::vector<LONG>& vSeen = WatchCodes();
    // Level steps never come within a unit of a point five units up: past its foot the avatar
    // is placed on it rather than walking on for ever.
    m_cManager.MoveAndRotateAvatar(h, D3DXVECTOR3(0, 5, -10), D3DXVECTOR3(0, 0, -1));
    int nUpdates = UpdateUntilSeen(m_cManager, h, vSeen, 20);
    EXPECT_GT(nUpdates, 10);
    EXPECT_LT(nUpdates, 20);
    EXPECT_EQ(pAvatar->m_vPosition, D3DXVECTOR3(0, 5, -10));

    // Stopped half way: no message, the avatar stays, and nothing moves it afterwards. The stop
    // ends the move-and-rotate along with any walk: it clears the target they share, and left
    // running the move-and-rotate would set off for the cleared point at the world's origin.
    vSeen.clear();
    m_cManager.MoveAndRotateAvatar(h, D3DXVECTOR3(0, 5, -30), D3DXVECTOR3(1, 0, 0));
    for (int i = 0; i < 5; ++i) {
        YondaClockAdvance(20);
        m_cManager.UpdateMoveAvatar(&h, 1);
    }
    m_cManager.StopAvatar(h);
    D3DXVECTOR3 vStopped = pAvatar->m_vPosition;
    EXPECT_NEAR(vStopped.z, -15.f, 1e-4f);
    EXPECT_EQ(UpdateUntilSeen(m_cManager, h, vSeen, 20, 30), -1);
    EXPECT_EQ(pAvatar->m_vPosition, vStopped);

    // A walk takes the place of a move-and-rotate under way, and a move-and-rotate the place of
    // a walk: only the end of the later one is told. Run side by side, the first to end would
    // clear the target they share and send the other off to the world's origin.
    m_cManager.MoveAndRotateAvatar(h, D3DXVECTOR3(0, 5, -40), D3DXVECTOR3(1, 0, 0));
    m_cManager.MoveToAvatar(h, vStopped + D3DXVECTOR3(0, 0, -3));
    EXPECT_FALSE(pAvatar->m_bMoveRotate);
    EXPECT_GT(UpdateUntilSeen(m_cManager, h, vSeen, 20), 0);
    EXPECT_EQ(vSeen, std::vector<LONG>{KRA_MSG_MOVE_END});
    vSeen.clear();
    D3DXVECTOR3 vSeat = pAvatar->m_vPosition + D3DXVECTOR3(0, 0, -3);
    m_cManager.MoveToAvatar(h, pAvatar->m_vPosition + D3DXVECTOR3(0, 0, -40));
    m_cManager.MoveAndRotateAvatar(h, vSeat, D3DXVECTOR3(0, 0, -1));
    EXPECT_FALSE(pAvatar->m_bWalking);
    EXPECT_GT(UpdateUntilSeen(m_cManager, h, vSeen, 20), 0);
    EXPECT_EQ(vSeen, std::vector<LONG>{KRA_MSG_MOVE_ROTATE_END});
    EXPECT_EQ(pAvatar->m_vPosition, vSeat);

    // A second move-and-rotate on a moving avatar keeps the turn the first has done (the host
    // stops the avatar first): it does not turn toward its point, and as its steps only lead
    // away from it the avatar is placed there rather than stepping on for ever.
    vSeen.clear();
    D3DXVECTOR3 vFrom = pAvatar->m_vPosition;
    m_cManager.MoveAndRotateAvatar(h, vFrom + D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, -1));
    for (int i = 0; i < 3; ++i) {
        YondaClockAdvance(20);
        m_cManager.UpdateMoveAvatar(&h, 1);
    }
    ASSERT_NEAR(pAvatar->m_vPosition.z, vFrom.z - 3.f, 1e-4f);
    D3DXVECTOR3 vSide = pAvatar->m_vPosition + D3DXVECTOR3(10, 0, 0);
    m_cManager.MoveAndRotateAvatar(h, vSide, D3DXVECTOR3(0, 0, -1));
    EXPECT_TRUE(pAvatar->m_bTurnDone);
    for (int i = 0; i < 2; ++i) {
        YondaClockAdvance(20);
        m_cManager.UpdateMoveAvatar(&h, 1);
    }
    EXPECT_EQ(pAvatar->m_vPosition, vSide);
    D3DXVECTOR3 vFront;
    m_cManager.GetAvatarFrontVector(h, vFront);
    EXPECT_NEAR(vFront.z, -1.f, 1e-4f);
    if (vSeen.empty()) {
        EXPECT_GT(UpdateUntilSeen(m_cManager, h, vSeen, 20, 5), 0);
    }
    EXPECT_EQ(vSeen, std::vector<LONG>{KRA_MSG_MOVE_ROTATE_END});

    // A message that unloads the avatar ends the update cleanly.
    vSeen.clear();
    s_pfOnMessage = [&] { m_cManager.UnloadAvatar(h); };
    m_cManager.MoveAndRotateAvatar(h, pAvatar->m_vPosition, D3DXVECTOR3(0, 0, -1));
    _KRA_HANDLE ahTwice[2] = {h, h};
    YondaClockAdvance(20);
    EXPECT_EQ(m_cManager.UpdateMoveAvatar(ahTwice, 2), KRA_OK);
    EXPECT_EQ(m_cManager.GetAvatarCount(), 0u);
    s_pfOnMessage = nullptr;
}

TEST_F(AvatarManagerTest, TheAvatarsCameraFollowsItsMoves)
{
    _KRA_HANDLE h = FaceAvatar();
    ASSERT_NE(h, 0u);
    CKRALocalCamera* pCamera = m_cManager.ChangeGlobalCameraToLocalCamera(h);
    ASSERT_NE(pCamera, nullptr);
    EXPECT_EQ(m_cManager.ChangeGlobalCameraToLocalCamera(0), nullptr);
    EXPECT_EQ(pCamera->GetEyePosition(), D3DXVECTOR3(0, 40, -30));
    EXPECT_EQ(pCamera->GetLookAtPosition(), D3DXVECTOR3(0, 40, 0));

    // A walk carries eye and look-at alike.
    m_cManager.MoveToAvatar(h, D3DXVECTOR3(0, 0, -6));
    YondaClockAdvance(1000);
    m_cManager.UpdateMoveAvatar(&h, 1);
    EXPECT_EQ(pCamera->GetEyePosition(), D3DXVECTOR3(0, 40, -36));
    EXPECT_EQ(pCamera->GetLookAtPosition(), D3DXVECTOR3(0, 40, -6));
    D3DXMATRIX mExpected;
    D3DXVECTOR3 vEye(0, 40, -36), vAt(0, 40, -6), vUp(0, 1, 0);
    D3DXMatrixLookAtLH(&mExpected, &vEye, &vAt, &vUp);
    EXPECT_EQ(pCamera->GetViewMatrix(), mExpected);

    // A shift takes the look-at along, the eye only where the limits allow (above 0.5 here).
    m_cManager.MoveAvatar(h, D3DXVECTOR3(2, 0, 0));
    EXPECT_EQ(pCamera->GetEyePosition(), D3DXVECTOR3(2, 40, -36));
    m_cManager.MoveAvatar(h, D3DXVECTOR3(0, -39.6f, 0));
    EXPECT_EQ(pCamera->GetEyePosition(), D3DXVECTOR3(2, 40, -36));
    EXPECT_NEAR(pCamera->GetLookAtPosition().y, 0.4f, 1e-4f);
    m_cManager.MoveAvatar(h, D3DXVECTOR3(0, 39.6f, 0));

    // So does a move-and-rotate: an eye held under the limit stays while the look-at follows.
    pCamera->SetPosition(D3DXVECTOR3(2, 0.2f, -36), D3DXVECTOR3(2, 40, -6), D3DXVECTOR3(0, 1, 0));
    D3DXVECTOR3 vFrom = m_cManager.GetAvatar(h)->m_vPosition;
    m_cManager.MoveAndRotateAvatar(h, vFrom + D3DXVECTOR3(0, 0, -2), D3DXVECTOR3(0, 0, -1));
    for (int i = 0; i < 3; ++i) {
        YondaClockAdvance(20);
        m_cManager.UpdateMoveAvatar(&h, 1);
    }
    EXPECT_EQ(pCamera->GetEyePosition(), D3DXVECTOR3(2, 0.2f, -36));
    EXPECT_NEAR(pCamera->GetLookAtPosition().z, -8.f, 1e-4f);
    m_cManager.UnloadAvatar(h);
    EXPECT_EQ(m_cManager.ChangeGlobalCameraToLocalCamera(h), nullptr);
}
