// Scenes loaded by name from hand-made files: what a scene holds after loading, how it is shared
// and released, and how broken scenes fail without leaving anything behind.
#include "KRACamera.h"
#include "KRAEngineFixture.h"
#include "KRAEventObject.h"
#include "KRAGridMap.h"
#include "KRAObjectManager.h"
#include "KRAScene.h"
#include "KRASceneObjectList.h"
#include "KRASceneTestFiles.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

using namespace kratest;

namespace {

class SceneRegistry : public EngineFixture {
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        Mesh square;
        square.vVertices = Quad(0, 0, 1, 0);
        WriteWorld("Chair.KRO", KRO(0, {square}));
        WriteWorld("Floor.KRO", KRO(0, {square}));
        Mesh glass = square;
        glass.wTexFlags = KRA_TEX_ALPHA;
        WriteWorld("Glass.KRO", KRO(0, {glass}));
    }

    // A scene file with both of its maps beside it.
    void WriteScene(const std::string& name, const std::vector<ScenePath>& paths,
                    const std::vector<SceneRecord>& records)
    {
        WriteWorld(name + ".KRS", KRS(paths, records));
        WriteWorld(name + ".KRP", GridMap(10, 4, 4, 0, 0, std::vector<uint8_t>(16, 0)));
        WriteWorld(name + ".KRC", GridMap(10, 4, 4, 0, 0, std::vector<uint8_t>(16, 0)));
    }

    LONG Load(const char* szName, CKRAScene** ppScene = nullptr)
    {
        m_hScene = 0;
        LONG lStatus = m_pManager->LoadScene(szName, m_hScene);
        if (lStatus == KRA_OK && ppScene)
            m_pManager->KraMan_GetScene(m_hScene, ppScene);
        return lStatus;
    }

    size_t ObjectFiles() const { return CKRAManager::GetObjectManager()->GetObjectFileCount(); }

    _KRA_HANDLE m_hScene = 0;
};

SceneRecord Record(const char* name, int32_t kind, uint8_t flag = 0)
{
    SceneRecord r;
    r.strName = name;
    r.lKind = kind;
    r.bEventFlag = flag;
    return r;
}

SceneTrigger Trigger(float x, float y, float z, float radius = 10, int32_t kind = 49)
{
    SceneTrigger t;
    t.x = x;
    t.y = y;
    t.z = z;
    t.radius = radius;
    t.lKind = kind;
    return t;
}

} // namespace

TEST_F(SceneRegistry, ASceneHoldsItsObjectsPathsStartPositionsAndEvents)
{
    SceneRecord ground = Record("Floor.KRO", 1, 1);
    ground.vTriggers = {Trigger(1, 0, 2), Trigger(3, 0, 4), Trigger(5, 0, 6)};
    ground.vBoxes = {SceneBox()};
    SceneRecord chair = Record("Chair.KRO", 0, 1);
    chair.vTriggers = {Trigger(0, 0, 0)};
    chair.vBoxes = {SceneBox(), SceneBox()};
    SceneRecord quiet = Record("Chair.KRO", 0, 0);
    quiet.vTriggers = {Trigger(0, 0, 0)};
    quiet.vBoxes = {SceneBox()};
    WriteScene("Room", {{7, 2}, {3, 1}, {7, 5}},
               {ground, chair, quiet, Record("Glass.KRO", 0), Record("Chair.KRO", 2)});

    CKRAScene* pScene = nullptr;
    ASSERT_EQ(Load("Room.KRS", &pScene), KRA_OK);
    ASSERT_NE(pScene, nullptr);
    EXPECT_EQ(pScene->GetSceneName(), "Room.KRS");
    EXPECT_EQ(pScene->GetRefCount(), 1);
    EXPECT_EQ(ObjectFiles(), 3u);

    // A ground object's triggers are start positions only, whatever its event flag.
    unsigned int nStarts = 0;
    D3DXVECTOR3* pStarts = nullptr;
    ASSERT_EQ(pScene->GetInitPosition(&nStarts, &pStarts), KRA_OK);
    ASSERT_EQ(nStarts, 3u);
    EXPECT_EQ(pStarts[1], D3DXVECTOR3(3, 0, 4));
    // Only the world object with its flag set carries events.
    ASSERT_EQ(pScene->GetEventObjectList()->GetCount(), 1u);
    const CKRAEventObject* pEvents = pScene->GetEventObjectList()->GetAt(0);
    EXPECT_EQ(pEvents->m_lstTriggers.size(), 1u);
    EXPECT_EQ(pEvents->m_lstBoxes.size(), 2u);
    EXPECT_NE(pScene->GetSceneObjectList()->FindAny(pEvents->m_hId), nullptr);

    CKRASceneObjectList* pList = pScene->GetSceneObjectList();
    EXPECT_EQ(pList->GetKindOneCount(), 1u);
    EXPECT_EQ(pList->GetOpaqueCount(), 2u);
    EXPECT_EQ(pList->GetAlphaCount(), 1u);
    EXPECT_EQ(pList->GetWorldCount(), 3u);

    int nPaths = 0;
    ASSERT_EQ(pScene->GetPathNum(nPaths), KRA_OK);
    EXPECT_EQ(nPaths, 3);
    // Of two paths with one id, the first in the file answers; each point is four vectors.
    unsigned int nPoints = 0;
    D3DXVECTOR3* pPoints = nullptr;
    ASSERT_EQ(pScene->GetPathInfo(7, nPoints, &pPoints), KRA_OK);
    EXPECT_EQ(nPoints, 2u);
    EXPECT_EQ(pPoints[0], D3DXVECTOR3(0, 1, 2));
    EXPECT_EQ(pPoints[7], D3DXVECTOR3(21, 22, 23));
    EXPECT_EQ(pScene->GetPathInfo(8, nPoints, &pPoints), KRA_E_FAILED);

    EXPECT_TRUE(pScene->GetGroundMap()->IsLoaded());
    EXPECT_EQ(CKRACamera::GetCameraMap(), pScene->GetCameraMap());
    EXPECT_EQ(m_pManager->UnloadScene(m_hScene), KRA_OK);
    // Every file goes back, the descriptor-only one's included, and no camera keeps the map.
    EXPECT_EQ(ObjectFiles(), 0u);
    EXPECT_EQ(CKRACamera::GetCameraMap(), nullptr);
}

TEST_F(SceneRegistry, OneNameInAnyCaseIsOneSceneUntilTheLastUnload)
{
    WriteScene("Room", {}, {Record("Chair.KRO", 0)});
    _KRA_HANDLE hFirst = 0, hSecond = 0;
    ASSERT_EQ(m_pManager->LoadScene("Room.KRS", hFirst), KRA_OK);
    ASSERT_EQ(m_pManager->LoadScene("ROOM.krs", hSecond), KRA_OK);
    EXPECT_EQ(hFirst, hSecond);
    CKRAScene* pScene = nullptr;
    ASSERT_EQ(m_pManager->KraMan_GetScene(hFirst, &pScene), KRA_OK);
    EXPECT_EQ(pScene->GetRefCount(), 2);
    EXPECT_EQ(m_pManager->UnloadScene(hFirst), KRA_OK);
    EXPECT_EQ(ObjectFiles(), 1u);
    EXPECT_EQ(m_pManager->UnloadScene(hSecond), KRA_OK);
    EXPECT_EQ(ObjectFiles(), 0u);

    // The handle is stale now: refused with its box.
    YondaMessageBoxCapture boxes;
    EXPECT_EQ(m_pManager->UnloadScene(hFirst), KRA_E_INVALID_HANDLE);
    EXPECT_EQ(m_pManager->KraMan_GetScene(hFirst, &pScene), KRA_E_INVALID_HANDLE);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Invalid handle\n", "Invalid handle\n"}));
}

TEST_F(SceneRegistry, AnEmptySceneStillNeedsItsMaps)
{
    WriteScene("Empty", {}, {});
    CKRAScene* pScene = nullptr;
    ASSERT_EQ(Load("Empty.KRS", &pScene), KRA_OK);
    unsigned int nStarts = 0;
    int nPaths = 0;
    unsigned int nPoints = 0;
    EXPECT_EQ(pScene->GetInitPosition(&nStarts, nullptr), KRA_E_MISSING_PART);
    EXPECT_EQ(pScene->GetPathNum(nPaths), KRA_E_MISSING_PART);
    EXPECT_EQ(pScene->GetPathInfo(0, nPoints, nullptr), KRA_E_FAILED);
    EXPECT_EQ(pScene->RenderOnlyWorld(), KRA_OK);
    EXPECT_EQ(m_pManager->UnloadScene(m_hScene), KRA_OK);

    for (const char* szMap : {"Empty.KRP", "Empty.KRC"}) {
        WriteScene("Empty", {}, {Record("Chair.KRO", 0)});
        std::filesystem::remove(m_root / "Data" / "WORLD" / szMap);
        _KRA_HANDLE h = 0;
        EXPECT_EQ(m_pManager->LoadScene("Empty.KRS", h), KRA_E_INVALID_ARGUMENT) << szMap;
        EXPECT_EQ(h, 0u);
        EXPECT_EQ(ObjectFiles(), 0u) << szMap;
        EXPECT_EQ(CKRACamera::GetCameraMap(), nullptr);
    }
}

TEST_F(SceneRegistry, BrokenScenesFailCleanlyAndLeaveNothingBehind)
{
    SceneRecord chair = Record("Chair.KRO", 0, 1);
    chair.vTriggers = {Trigger(0, 0, 0)};
    chair.vBoxes = {SceneBox()};
    WriteScene("Room", {{1, 2}}, {Record("Floor.KRO", 1), chair, Record("Glass.KRO", 0)});
    std::vector<uint8_t> whole = KRS({{1, 2}}, {Record("Floor.KRO", 1), chair, Record("Glass.KRO", 0)});

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        LONG lStatus;
        bool bBox;
    };
    std::vector<Case> cases;
    for (size_t n : {size_t(0), size_t(11), size_t(40), whole.size() / 2, whole.size() - 1})
        cases.push_back(
            {"truncated", std::vector<uint8_t>(whole.begin(), whole.begin() + long(n)), KRA_E_INVALID_ARGUMENT, true});
    std::vector<uint8_t> manyObjects = whole;
    manyObjects[8] = 200;
    cases.push_back({"object count past the end", manyObjects, KRA_E_INVALID_ARGUMENT, true});
    std::vector<uint8_t> manyPoints = whole;
    manyPoints[16] = 0xFF;
    manyPoints[17] = 0xFF;
    cases.push_back({"point count past the end", manyPoints, KRA_E_INVALID_ARGUMENT, true});
    cases.push_back({"missing object file", KRS({}, {Record("Floor.KRO", 1), Record("Nowhere.KRO", 0)}),
                     KRA_E_INVALID_ARGUMENT, false});
    cases.push_back(
        {"unknown kind", KRS({}, {Record("Floor.KRO", 1), Record("Chair.KRO", 7)}), KRA_E_INVALID_ARGUMENT, false});

    for (const Case& c : cases) {
        WriteWorld("Room.KRS", c.bytes);
        YondaMessageBoxCapture boxes;
        _KRA_HANDLE h = 0;
        EXPECT_EQ(m_pManager->LoadScene("Room.KRS", h), c.lStatus) << c.what;
        EXPECT_EQ(h, 0u) << c.what;
        EXPECT_EQ(ObjectFiles(), 0u) << c.what;
        EXPECT_EQ(CKRACamera::GetCameraMap(), nullptr) << c.what;
        if (c.bBox) {
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed load scene file\n"}) << c.what;
        }
    }
    // After all that, the whole file loads.
    WriteWorld("Room.KRS", whole);
    EXPECT_EQ(Load("Room.KRS"), KRA_OK);
    EXPECT_EQ(ObjectFiles(), 3u);
    EXPECT_EQ(m_pManager->UnloadScene(m_hScene), KRA_OK);
}

TEST_F(SceneRegistry, EventRecordsAreTakenByTheirSlotNotTheirType)
{
    SceneRecord chair = Record("Chair.KRO", 0, 1);
    SceneTrigger boxInTriggerSlot = Trigger(0, 0, 0);
    boxInTriggerSlot.lType = 1;
    SceneBox triggerInBoxSlot;
    triggerInBoxSlot.lType = 0;
    chair.vTriggers = {boxInTriggerSlot, Trigger(1, 1, 1)};
    chair.vBoxes = {triggerInBoxSlot, SceneBox()};
    WriteScene("Room", {}, {chair});
    CKRAScene* pScene = nullptr;
    ASSERT_EQ(Load("Room.KRS", &pScene), KRA_OK);
    const CKRAEventObject* pEvents = pScene->GetEventObjectList()->GetAt(0);
    ASSERT_NE(pEvents, nullptr);
    ASSERT_EQ(pEvents->m_lstTriggers.size(), 1u);
    EXPECT_EQ(pEvents->m_lstTriggers[0].afCentre[0], 1);
    EXPECT_EQ(pEvents->m_lstBoxes.size(), 1u);
}

TEST_F(SceneRegistry, ProximitySwitchesEventObjectsInsideTheirSpheresOnly)
{
    SceneRecord near = Record("Chair.KRO", 0, 1);
    near.vTriggers = {Trigger(100, 0, 0, 5, 48), Trigger(0, 0, 0, 10)};
    SceneRecord other = Record("Chair.KRO", 0, 1);
    other.vTriggers = {Trigger(0, 0, 0, 10, 48)};
    SceneRecord none = Record("Chair.KRO", 0, 1);
    WriteScene("Room", {}, {near, other, none});
    CKRAScene* pScene = nullptr;
    ASSERT_EQ(Load("Room.KRS", &pScene), KRA_OK);
    CKRAEventObjectList* pEvents = pScene->GetEventObjectList();
    ASSERT_EQ(pEvents->GetCount(), 3u);
    auto active = [&] {
        return std::vector<BOOL>{pEvents->GetAt(0)->m_bActive, pEvents->GetAt(1)->m_bActive,
                                 pEvents->GetAt(2)->m_bActive};
    };
    EXPECT_EQ(active(), (std::vector<BOOL>{FALSE, FALSE, FALSE}));
    D3DXVECTOR3 inside(0, 0, 9.9f), surface(0, 0, 10), farAway(100, 0, 0);
    // Only kind 49 fires: the object whose only sphere is of kind 48 stays inactive.
    EXPECT_EQ(pScene->CheckProximity(inside), KRA_OK);
    EXPECT_EQ(active(), (std::vector<BOOL>{TRUE, FALSE, FALSE}));
    EXPECT_EQ(pScene->CheckProximity(surface), KRA_OK);
    EXPECT_EQ(active(), (std::vector<BOOL>{FALSE, FALSE, FALSE}));
    EXPECT_EQ(pScene->CheckProximity(farAway), KRA_OK);
    EXPECT_EQ(active(), (std::vector<BOOL>{FALSE, FALSE, FALSE}));
}

TEST_F(SceneRegistry, ObjectOperationsFindWorldObjectsOnly)
{
    WriteScene("Room", {}, {Record("Floor.KRO", 1), Record("Chair.KRO", 0), Record("Glass.KRO", 0)});
    CKRAScene* pScene = nullptr;
    ASSERT_EQ(Load("Room.KRS", &pScene), KRA_OK);
    CKRASceneObjectList* pList = pScene->GetSceneObjectList();
    D3DXMATRIX mPlace;
    D3DXMatrixTranslation(&mPlace, 5, 6, 7);
    _KRA_HANDLE hAdded = 0;
    char szName[] = "Chair.KRO";
    ASSERT_EQ(pScene->LoadObjectFile(szName, mPlace, hAdded), KRA_OK);
    EXPECT_EQ(ObjectFiles(), 3u);
    D3DXMATRIX mPivot;
    ASSERT_EQ(pScene->GetObjectPivotMatrix(hAdded, mPivot), KRA_OK);
    EXPECT_EQ(mPivot, mPlace);
    const KRA_SCENE_OBJECT_SLOT* pSlot = pList->GetSlot(hAdded);
    ASSERT_NE(pSlot, nullptr);
    EXPECT_EQ(pSlot->desc.afBoxMin[1], 35);
    EXPECT_EQ(pSlot->desc.afBoxMax[2], 30);

    char szLong[] = "ANameThatIsFarTooLongForItsField.KRO";
    _KRA_HANDLE hLong = 0;
    EXPECT_EQ(pScene->LoadObjectFile(szLong, mPlace, hLong), KRA_E_INVALID_ARGUMENT);
    char szMissing[] = "Nowhere.KRO";
    EXPECT_EQ(pScene->LoadObjectFile(szMissing, mPlace, hLong), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(hLong, 0u);

    _KRA_HANDLE hZero = 0, hStale = 0x7FFF0003;
    EXPECT_EQ(pScene->ShowObjectFile(hZero), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(pScene->HideObjectFile(hStale), KRA_E_INVALID_HANDLE);
    EXPECT_EQ(pScene->SetAccentedSceneObject(hZero, true), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(pScene->SetObjectFileColor(hZero, 1), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(pScene->SetObjectFileColor(hAdded, 1), KRA_OK);
    EXPECT_EQ(pScene->RenderAccentedObjectFile(hZero, 1), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(pScene->RenderAccentedObjectFile(hAdded, 1), KRA_E_FAILED);

    // The ground object (the first record: slot 0) is not reachable by these operations.
    CKRAHandle<tagKRADS> hTexture;
    _KRA_HANDLE hGround = 0;
    for (DWORD dwSerial = 1; dwSerial <= 0xFFFF && !hGround; ++dwSerial)
        if (pList->FindAny(dwSerial << 16))
            hGround = dwSerial << 16;
    ASSERT_NE(hGround, 0u);
    ASSERT_EQ(pList->FindAny(hGround)->GetDesc().lKind, KRA_SCENE_OBJECT_GROUND);
    EXPECT_EQ(pScene->HideObjectFile(hGround), KRA_E_INVALID_HANDLE);
    EXPECT_EQ(pScene->ChangeTextureForObjectFile(hGround, hTexture), KRA_E_INVALID_HANDLE);
    EXPECT_EQ(pList->FindAny(hGround)->GetState(), KRA_SCENE_OBJECT_NORMAL);

    m_pManager->SetAccentedColor(0xFF00FF00);
    ASSERT_EQ(pScene->SetAccentedSceneObject(hAdded, true), KRA_OK);
    EXPECT_EQ(pList->FindAny(hAdded)->GetState(), KRA_SCENE_OBJECT_ACCENTED);
    ASSERT_EQ(pScene->HideObjectFile(hAdded), KRA_OK);
    EXPECT_EQ(pList->FindAny(hAdded)->GetState(), KRA_SCENE_OBJECT_HIDDEN);
    ASSERT_EQ(pScene->ShowObjectFile(hAdded), KRA_OK);
    EXPECT_EQ(pList->FindAny(hAdded)->GetState(), KRA_SCENE_OBJECT_NORMAL);
    m_pManager->SetAccentedColor(0);
}

TEST_F(SceneRegistry, FadesEndWhenTheObjectIsNextDrawnAfterTheirDuration)
{
    WriteScene("Room", {}, {Record("Chair.KRO", 0), Record("Glass.KRO", 0)});
    YondaClockSetManual(TRUE);
    CKRAScene* pScene = nullptr;
    ASSERT_EQ(Load("Room.KRS", &pScene), KRA_OK);
    D3DXMATRIX mPlace;
    D3DXMatrixIdentity(&mPlace);
    _KRA_HANDLE hIn = 0, hOut = 0;
    char szName[] = "Chair.KRO";
    ASSERT_EQ(pScene->LoadObjectFile(szName, mPlace, hIn), KRA_OK);
    ASSERT_EQ(pScene->LoadObjectFile(szName, mPlace, hOut), KRA_OK);
    CKRASceneObjectList* pList = pScene->GetSceneObjectList();
    ASSERT_EQ(pScene->FadeInObjectFile(hIn, 1000), KRA_OK);
    ASSERT_EQ(pScene->FadeOutObjectFile(hOut, 1000), KRA_OK);
    YondaClockAdvance(500);
    pList->FindAny(hIn)->Draw(KRA_PASS_OPAQUE, nullptr);
    pList->FindAny(hOut)->Draw(KRA_PASS_OPAQUE, nullptr);
    EXPECT_EQ(pList->FindAny(hIn)->GetState(), KRA_SCENE_OBJECT_FADING_IN);
    EXPECT_EQ(pList->FindAny(hOut)->GetState(), KRA_SCENE_OBJECT_FADING_OUT);
    YondaClockAdvance(501);
    // Not drawn, not ended.
    EXPECT_EQ(pList->FindAny(hIn)->GetState(), KRA_SCENE_OBJECT_FADING_IN);
    pList->FindAny(hIn)->Draw(KRA_PASS_OPAQUE, nullptr);
    pList->FindAny(hOut)->Draw(KRA_PASS_OPAQUE, nullptr);
    EXPECT_EQ(pList->FindAny(hIn)->GetState(), KRA_SCENE_OBJECT_NORMAL);
    EXPECT_EQ(pList->FindAny(hOut)->GetState(), KRA_SCENE_OBJECT_HIDDEN);
    YondaClockSetManual(FALSE);
}

TEST_F(SceneRegistry, TeardownDestroysScenesTheHostLeftLoaded)
{
    WriteScene("Room", {}, {Record("Chair.KRO", 0), Record("Chair.KRO", 2)});
    ASSERT_EQ(Load("Room.KRS"), KRA_OK);
    EXPECT_EQ(ObjectFiles(), 1u);
    EXPECT_EQ(KRADestroy(), KRA_OK);
    EXPECT_EQ(CKRACamera::GetCameraMap(), nullptr);
}
