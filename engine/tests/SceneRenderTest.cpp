// Scenes drawn through the real Direct3D device, judged by their pixels, and picked on screen: the
// generated sample rooms, and small hand-made scenes where exact colours matter.
#include "KRAGridMap.h"
#include "KRAObjectManager.h"
#include "KRASceneFixture.h"
#include "KRASceneTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kratest;

namespace {

constexpr DWORD kBlack = 0xFF000000;

class SceneRender : public SceneFixture {
protected:
    // The living room seen steeply from above its near side, the whole floor in view.
    CKRAScene* LivingRoom()
    {
        CKRAScene* pScene = Load("RM_03.KRS");
        if (pScene)
            Look(pScene, D3DXVECTOR3(0, 260, -90), D3DXVECTOR3(0, 0, 0));
        return pScene;
    }

    DWORD Frame(CKRAScene* pScene, POINT p)
    {
        Clear();
        EXPECT_EQ(pScene->Render(0, nullptr), KRA_OK);
        return Picture().At(UINT(p.x), UINT(p.y));
    }
};

} // namespace

TEST_F(SceneRender, TheLivingRoomShowsItsFloorAndFurnitureWhereTheCameraSays)
{
    CKRAScene* pScene = LivingRoom();
    ASSERT_NE(pScene, nullptr);
    // The dining table stands at (50, 20): picked on screen, it is the object there.
    POINT table = Project(50, 20, 20);
    tagPOINT pt = table;
    _KRA_HANDLE hTable = 0;
    float fDistance = 0;
    D3DXVECTOR3 vHit;
    Clear();
    ASSERT_EQ(pScene->Render(0, nullptr), KRA_OK);
    YondaPicture picture = Picture();
    ASSERT_EQ(pScene->TestObjectPicking(pt, hTable, fDistance, vHit), KRA_OK);
    ASSERT_NE(hTable, 0u);
    D3DXMATRIX mPivot;
    ASSERT_EQ(pScene->GetObjectPivotMatrix(hTable, mPivot), KRA_OK);
    EXPECT_NEAR(mPivot._41, 50, 0.01);
    EXPECT_NEAR(mPivot._43, 20, 0.01);
    EXPECT_LT(fDistance, 300.f);

    // The floor is drawn, the black clear colour shows nowhere inside the room.
    POINT floor = Project(0, 0, -40);
    EXPECT_NE(picture.At(UINT(floor.x), UINT(floor.y)), kBlack);
    // Hidden, the table leaves the floor beneath it in view; shown again, it is back.
    DWORD dwTable = picture.At(UINT(table.x), UINT(table.y));
    ASSERT_EQ(pScene->HideObjectFile(hTable), KRA_OK);
    DWORD dwBeneath = Frame(pScene, table);
    EXPECT_NE(dwBeneath, dwTable);
    EXPECT_NE(dwBeneath, kBlack);
    ASSERT_EQ(pScene->ShowObjectFile(hTable), KRA_OK);
    EXPECT_EQ(Frame(pScene, table), dwTable);
    // Accented, its texture is tinted by the accent colour: green only.
    m_pManager->SetAccentedColor(0xFF00FF00);
    ASSERT_EQ(pScene->SetAccentedSceneObject(hTable, true), KRA_OK);
    DWORD dwAccented = Frame(pScene, table);
    EXPECT_GT((dwAccented >> 8) & 255, 40u);
    EXPECT_EQ(dwAccented & 0xFF00FF, 0u);
    m_pManager->SetAccentedColor(0);
}

TEST_F(SceneRender, WorldPassesDrawWhatTheirNamesSay)
{
    CKRAScene* pScene = LivingRoom();
    ASSERT_NE(pScene, nullptr);
    POINT floor = Project(0, 0, -40);
    Clear();
    ASSERT_EQ(pScene->RenderAlphaWorld(), KRA_OK);
    EXPECT_EQ(Picture().At(UINT(floor.x), UINT(floor.y)), kBlack);
    Clear();
    ASSERT_EQ(pScene->RenderNonAlphaWorld(), KRA_OK);
    DWORD dwFloor = Picture().At(UINT(floor.x), UINT(floor.y));
    EXPECT_NE(dwFloor, kBlack);
    Clear();
    ASSERT_EQ(pScene->RenderOnlyWorld(), KRA_OK);
    EXPECT_EQ(Picture().At(UINT(floor.x), UINT(floor.y)), dwFloor);
}

TEST_F(SceneRender, GroundPickingAnswersCellCentresAndNothingWhereAvatarsMayNotWalk)
{
    CKRAScene* pScene = LivingRoom();
    ASSERT_NE(pScene, nullptr);
    Clear();
    ASSERT_EQ(pScene->Render(0, nullptr), KRA_OK);
    const CKRAGridMap* pMap = pScene->GetGroundMap();
    ASSERT_EQ(pMap->GetCellSize(), 10u);

    // Open floor: the ground object, and the middle of the cell that was hit.
    tagPOINT pt = Project(0, 0, -40);
    _KRA_HANDLE hGround = 0;
    float fDistance = 0;
    D3DXVECTOR3 vPosition(1000, 1000, 1000);
    ASSERT_EQ(pScene->TestGroundPicking(pt, hGround, fDistance, vPosition), KRA_OK);
    EXPECT_NE(hGround, 0u);
    EXPECT_NEAR(vPosition.x, 0, 10);
    EXPECT_NEAR(vPosition.z, -40, 10);
    EXPECT_EQ(vPosition.y, 0);
    D3DXVECTOR3 vCentre;
    pMap->SnapToCell(vPosition.x, vPosition.z, &vCentre);
    EXPECT_EQ(vPosition, vCentre);
    D3DXVECTOR3 vEye(0, 260, -90);
    D3DXVECTOR3 vToEye = vEye - D3DXVECTOR3(0, 0, -40);
    EXPECT_NEAR(fDistance, D3DXVec3Length(&vToEye), 12);

    // Under the table the floor is blocked: no ground handle, and the point as it was hit.
    pt = Project(50, 0, 20);
    hGround = 1;
    ASSERT_EQ(pScene->TestGroundPicking(pt, hGround, fDistance, vPosition), KRA_OK);
    EXPECT_EQ(hGround, 0u);
    EXPECT_NEAR(vPosition.x, 50, 6);
    EXPECT_NEAR(vPosition.z, 20, 6);
    EXPECT_TRUE(pMap->IsBlocked(vPosition.x, vPosition.z, nullptr));

    // Above the walls nothing is ground.
    pt = POINT{LONG(kSize / 2), 0};
    hGround = 7;
    EXPECT_EQ(pScene->TestGroundPicking(pt, hGround, fDistance, vPosition), KRA_E_FAILED);
    EXPECT_EQ(hGround, 7u);
}

TEST_F(SceneRender, CollisionStopsInTheLastFreeCellBeforeFurniture)
{
    CKRAScene* pScene = LivingRoom();
    ASSERT_NE(pScene, nullptr);
    const CKRAGridMap* pMap = pScene->GetGroundMap();
    // Walking along z toward the dining set at (50, 20).
    D3DXVECTOR3 vFrom(50, 0, -60), vTo(50, 0, 60), vStop(0, 0, 0);
    ASSERT_EQ(pScene->CheckCollision(vFrom, vTo, vStop), KRA_OK);
    EXPECT_FALSE(pMap->IsBlocked(vStop.x, vStop.z, nullptr));
    EXPECT_TRUE(pMap->IsBlocked(vStop.x, vStop.z + 10, nullptr));
    EXPECT_GT(vStop.z, vFrom.z);
    EXPECT_LT(vStop.z, 20);
    // Across open floor nothing is in the way; a walk that does not move meets nothing either.
    D3DXVECTOR3 vOpenFrom(0, 0, -60), vOpenTo(0, 0, -20);
    EXPECT_EQ(pScene->CheckCollision(vOpenFrom, vOpenTo, vStop), KRA_E_FAILED);
    EXPECT_EQ(pScene->CheckCollision(vOpenFrom, vOpenFrom, vStop), KRA_E_FAILED);
}

TEST_F(SceneRender, SeatsArePickedOnlyWhileTheirChairIsNear)
{
    CKRAScene* pScene = LivingRoom();
    ASSERT_NE(pScene, nullptr);
    Clear();
    ASSERT_EQ(pScene->Render(0, nullptr), KRA_OK);
    // The chair on the table's near side, at (50, -10).
    tagPOINT pt = Project(50, 5, -10);
    _KRA_HANDLE hChair = 0;
    float fDistance = 0;
    D3DXVECTOR3 vHit;
    ASSERT_EQ(pScene->TestObjectPicking(pt, hChair, fDistance, vHit), KRA_OK);
    ASSERT_NE(hChair, 0u);

    _KRA_HANDLE hSeat = 5;
    _KRA_ACTION_PICKING action = {-1, 0};
    D3DXMATRIX mSeat;
    D3DXMatrixIdentity(&mSeat);
    ASSERT_EQ(pScene->TestEventObjectPicking(pt, hSeat, fDistance, &action, &mSeat), KRA_OK);
    EXPECT_EQ(hSeat, 0u) << "no proximity check yet";
    D3DXVECTOR3 vStanding(0, 0, -40);
    ASSERT_EQ(pScene->CheckProximity(vStanding), KRA_OK);
    ASSERT_EQ(pScene->TestEventObjectPicking(pt, hSeat, fDistance, &action, &mSeat), KRA_OK);
    EXPECT_EQ(hSeat, hChair);
    EXPECT_EQ(action.m_nActionCode, 0);
    // A seat hands its matrix over: it stands where the chair is.
    EXPECT_NEAR(mSeat._41, 50, 10);
    EXPECT_NEAR(mSeat._43, -10, 10);
    EXPECT_GT(fDistance, 0);
}

TEST_F(SceneRender, EveryGeneratedSceneLoadsDrawsAndGoesWithoutATrace)
{
    size_t nFiles = CKRAManager::GetObjectManager()->GetObjectFileCount();
    int nScenes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(GeneratedDataFolder() / "WORLD")) {
        std::string strName = entry.path().filename().string();
        if (entry.path().extension() != ".KRS")
            continue;
        _KRA_HANDLE h = 0;
        ASSERT_EQ(m_pManager->LoadScene(strName.c_str(), h), KRA_OK) << strName;
        CKRAScene* pScene = nullptr;
        ASSERT_EQ(m_pManager->KraMan_GetScene(h, &pScene), KRA_OK);
        unsigned int nStarts = 0;
        D3DXVECTOR3* pStarts = nullptr;
        EXPECT_EQ(pScene->GetInitPosition(&nStarts, &pStarts), KRA_OK) << strName;
        EXPECT_GT(nStarts, 0u) << strName;
        // Every start position is on free ground.
        for (unsigned int i = 0; i < nStarts; ++i)
            EXPECT_FALSE(pScene->GetGroundMap()->IsBlocked(pStarts[i].x, pStarts[i].z, nullptr)) << strName;
        Clear();
        EXPECT_EQ(pScene->Render(0, nullptr), KRA_OK) << strName;
        EXPECT_EQ(m_pManager->UnloadScene(h), KRA_OK);
        ++nScenes;
    }
    EXPECT_GT(nScenes, 5);
    EXPECT_EQ(CKRAManager::GetObjectManager()->GetObjectFileCount(), nFiles);
}
