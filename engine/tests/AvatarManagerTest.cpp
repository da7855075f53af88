// The avatar manager over the generated sample avatars and over broken copies of them: sharing
// by key and by path, clean failure, the motion library and playing with the engine clock.
#include "KRAAvatarManager.h"
#include "KRAAvatarTestFiles.h"
#include "KRAManager.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace kratest;

namespace {

class AvatarManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szTemplate[] = "/tmp/kravex-avatar-XXXXXX";
        ASSERT_NE(mkdtemp(szTemplate), nullptr);
        m_root = szTemplate;
        std::filesystem::create_directories(m_root / "KRI");
        std::filesystem::create_directories(m_root / "Motion");
        ASSERT_EQ(m_cManager.Create((m_root.string() + "/").c_str(), 2, 3), KRA_OK);
        s_vMessages.clear();
        CKRAManager::m_pfMsgProc = &Record;
        YondaClockSetManual(TRUE);
    }
    void TearDown() override
    {
        YondaClockSetManual(FALSE);
        CKRAManager::m_pfMsgProc = nullptr;
        m_cManager.Destroy();
        std::filesystem::remove_all(m_root);
    }
    // A generated file copied into this manager's folder, under its own or another name.
    void CopyItem(const std::string& strName, const std::string& strAs = "")
    {
        std::filesystem::copy_file(AvatarFolder() / "KRI" / strName, m_root / "KRI" / (strAs.empty() ? strName : strAs));
    }
    std::string Kri(const std::string& strName) const { return (m_root / "KRI" / strName).string(); }

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

    CKRAAvatarManager m_cManager;
    std::filesystem::path m_root;
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
    // A second attach of the same item keeps one entry and gives the extra reference back.
    m_cManager.LoadKRI(Kri("1020000.KRI").c_str(), KRA_ITEM_UPPER_BODY);
    ASSERT_EQ(m_cManager.AttachItemToAvatar(hAvatar, hBody), KRA_OK);
    EXPECT_EQ(m_cManager.GetItemFile(hBody)->RefCount(), 1);
    DWORD dwCount = 0;
    _KRA_HANDLE* pItems = nullptr;
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
    CopyItem("1010010.KRI");
    Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("900.KRA", hAvatar), KRA_OK);
    CKRAAvatar* pAvatar = m_cManager.GetAvatar(hAvatar);
    std::vector<LONG> vSeen;
    s_pfOnMessage = [&] { vSeen.push_back(s_vMessages.back().lCode); };

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

    // A walk that never stops short: 0.3 degrees off needs no turn; a new walk starts fresh
    // even without a stop in between.
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

TEST_F(AvatarManagerTest, UnreachableTargetIsReachedByTheStuckGuardAndStopSendsNothing)
{
    CopyItem("1010010.KRI");
    Write(m_root / "KRI" / "900.KRA", KRA(900, {{KRA_ITEM_FACE, "1010010.KRI"}}));
    _KRA_HANDLE hAvatar = 0;
    ASSERT_EQ(m_cManager.LoadAvatar("900.KRA", hAvatar), KRA_OK);
    std::vector<LONG> vSeen;
    s_pfOnMessage = [&] { vSeen.push_back(s_vMessages.back().lCode); };
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
