#include "KRACamera.h"
#include "KRAGlobalCamera.h"
#include "KRAGridMap.h"
#include "KRALocalCamera.h"
#include "KRATestFiles.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kratest;

namespace {

// Cell size 10, origin (0, 0), 6 x 6 cells; cells listed as (ix, iz) are blocked.
std::unique_ptr<CKRAGridMap> Map(std::initializer_list<std::pair<int, int>> blocked, uint32_t cell = 10, float ox = 0,
                                 float oz = 0)
{
    std::vector<uint8_t> cells(36, 0);
    for (auto [ix, iz] : blocked)
        cells[size_t(ix + iz * 6)] = 1;
    std::vector<uint8_t> bytes = GridMap(cell, 6, 6, ox, oz, cells);
    auto map = std::make_unique<CKRAGridMap>();
    EXPECT_EQ(map->LoadFromMemory(bytes.data(), bytes.size()), KRA_OK);
    return map;
}

void ExpectVector(const D3DXVECTOR3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-4);
    EXPECT_NEAR(v.y, y, 1e-4);
    EXPECT_NEAR(v.z, z, 1e-4);
}

} // namespace

TEST(GridMap, CellsAndCentres)
{
    auto map = Map({{2, 3}});
    D3DXVECTOR3 c;
    EXPECT_TRUE(map->IsBlocked(25, 37, &c));
    ExpectVector(c, 25, 0, 35);
    EXPECT_FALSE(map->IsBlocked(15, 37, &c));
    // Truncation toward zero: x = -3 falls in column 0.
    map->SnapToCell(-3, 5, &c);
    ExpectVector(c, 5, 0, 5);
    // Outside the grid is free, also where the next row's first cell is blocked.
    auto edge = Map({{0, 1}});
    EXPECT_FALSE(edge->IsBlocked(65, 5, nullptr));
    EXPECT_TRUE(edge->IsBlocked(5, 15, nullptr));
    // Centres of cells outside the grid are still computed.
    map->SnapToCell(-25, 95, &c);
    ExpectVector(c, -15, 0, 95);
}

TEST(GridMap, HalfACellIsAnIntegerDivision)
{
    auto map = Map({}, 5);
    D3DXVECTOR3 c;
    map->SnapToCell(1, 1, &c);
    ExpectVector(c, 2, 0, 2);
}

TEST(GridMap, WithoutAMapEverythingIsFree)
{
    CKRAGridMap map;
    D3DXVECTOR3 c(7, 7, 7);
    EXPECT_FALSE(map.IsLoaded());
    EXPECT_FALSE(map.IsBlocked(1, 1, &c));
    map.SnapToCell(1, 1, &c);
    ExpectVector(c, 0, 0, 0);
    EXPECT_EQ(map.CheckCollision(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(10, 0, 10), &c), KRA_E_MISSING_PART);
    EXPECT_EQ(map.Load("/nonexistent/ROOM.KRS", ".KRP"), KRA_E_INVALID_ARGUMENT);
    std::vector<uint8_t> bad = GridMap(0, 1, 1, 0, 0, {1});
    EXPECT_EQ(map.LoadFromMemory(bad.data(), bad.size()), KRA_E_INVALID_ARGUMENT);
    EXPECT_FALSE(map.IsLoaded());
}

TEST(GridMap, HugeAndNonFiniteCoordinatesAreOutside)
{
    auto map = Map({{0, 0}});
    EXPECT_FALSE(map->IsBlocked(1e30f, 5, nullptr));
    EXPECT_FALSE(map->IsBlocked(std::nanf(""), 5, nullptr));
    EXPECT_FALSE(map->IsBlocked(-INFINITY, 5, nullptr));
}

TEST(Collision, StopsAtTheCentreOfTheLastFreeCellBeforeABlockedOne)
{
    auto map = Map({{1, 4}});
    D3DXVECTOR3 pos(0, 0, 0);
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(15, 0, 5), D3DXVECTOR3(15, 0, 58), &pos), KRA_OK);
    ExpectVector(pos, 15, 0, 35);
}

TEST(Collision, TheTargetCellItselfIsNeverTested)
{
    auto map = Map({{1, 4}});
    D3DXVECTOR3 pos(0, 0, 0);
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(15, 0, 5), D3DXVECTOR3(15, 0, 45), &pos), KRA_E_FAILED);
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(15, 0, 5), D3DXVECTOR3(15, 0, 5), &pos), KRA_E_FAILED);
}

TEST(Collision, StepsAlongXForFlatLinesAndFollowsTheLine)
{
    auto map = Map({{4, 2}});
    D3DXVECTOR3 pos;
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(5, 0, 5), D3DXVECTOR3(59, 0, 35), &pos), KRA_OK);
    EXPECT_NEAR(pos.x, 35, 1e-4);
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(55, 0, 25), D3DXVECTOR3(1, 0, 25), &pos), KRA_OK);
    ExpectVector(pos, 55, 0, 25); // the first step is blocked: the start cell's centre
}

TEST(Collision, NonFiniteOrFarEndsEndQuickly)
{
    auto map = Map({});
    D3DXVECTOR3 pos;
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(std::nanf(""), 0, 5), &pos), KRA_E_FAILED);
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(INFINITY, 0, 5), &pos), KRA_E_FAILED);
    EXPECT_EQ(map->CheckCollision(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(3e38f, 0, 1), &pos), KRA_E_FAILED);
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override { CKRACamera::ResetSettings(); }
    void TearDown() override { CKRACamera::ResetSettings(); }
};

TEST_F(CameraTest, StartsAtItsDefaultView)
{
    CKRAGlobalCamera camera;
    EXPECT_EQ(camera.Create(), KRA_OK);
    ExpectVector(camera.GetEyePosition(), 0, 40, -30);
    ExpectVector(camera.GetLookAtPosition(), 0, 40, 0);
    EXPECT_EQ(camera.GetCameraType(), 1);
    // Quarter-pi field of view: yScale = cot(pi/8).
    EXPECT_NEAR(camera.GetProjectionMatrix()._22, 1.0f / std::tan(D3DX_PI / 8), 1e-4);
}

TEST_F(CameraTest, WithoutACameraMapOnlyTheHeightCounts)
{
    CKRAGlobalCamera camera;
    camera.Create();
    CKRACamera::SetCameraLimits(100, 1, 0, 0);
    EXPECT_TRUE(camera.CanMove(0, 0, 1000));
    EXPECT_FALSE(camera.CanMove(0, -39.6f, 0));
    camera.Move(0, 0, 10);
    ExpectVector(camera.GetEyePosition(), 0, 40, -20);
    ExpectVector(camera.GetLookAtPosition(), 0, 40, 10);
}

TEST_F(CameraTest, LocalCameraZoomsTowardItsLookAtPoint)
{
    CKRALocalCamera camera;
    camera.Create();
    EXPECT_EQ(camera.GetCameraType(), 2);
    camera.Move(0, 0, 10);
    ExpectVector(camera.GetEyePosition(), 0, 40, -20);
    ExpectVector(camera.GetLookAtPosition(), 0, 40, 0);
    camera.RotateFirst(90);
    ExpectVector(camera.GetLookAtPosition(), 0, 40, 0);
    EXPECT_NEAR(std::fabs(camera.GetEyePosition().x), 20, 1e-3);
    EXPECT_NEAR(camera.GetEyePosition().z, 0, 1e-3);
}

TEST_F(CameraTest, CameraMapRefusesEyesAboveTheLookAtPointAndInBlockedCells)
{
    auto map = Map({{5, 5}}, 10, -30, -30);
    CKRACamera::SetCameraMap(map.get());
    CKRALocalCamera camera;
    camera.Create(); // eye (0, 40, -30) looking at (0, 40, 0)
    EXPECT_TRUE(camera.CanMove(0, 0, 10));
    // Within 5 units of the look-at point in x and z: never straight down.
    EXPECT_FALSE(camera.CanMove(0, 0, 26));
    // Beyond the maximum distance.
    CKRACamera::SetCameraLimits(0.5f, 40, 180, -180);
    EXPECT_FALSE(camera.CanMove(0, 0, -20));
    CKRACamera::SetCameraLimits(0.5f, 1000, 180, -180);
    // Cell (5, 5) covers x 20..30 and z 20..30 from origin -30: the eye may not go there.
    EXPECT_FALSE(CKRACamera::CheckLimits(D3DXVECTOR3(25, 40, 25), D3DXVECTOR3(0, 40, 0)));
    EXPECT_TRUE(CKRACamera::CheckLimits(D3DXVECTOR3(15, 40, 25), D3DXVECTOR3(0, 40, 0)));
}

TEST_F(CameraTest, AngleLimitsBySide)
{
    auto map = Map({});
    CKRACamera::SetCameraMap(map.get());
    CKRACamera::SetCameraLimits(0.5f, 1000, 45, -45);
    D3DXVECTOR3 at(0, 40, 0);
    EXPECT_TRUE(CKRACamera::CheckLimits(D3DXVECTOR3(0, 40, -30), at));   // straight behind: 0 degrees
    EXPECT_TRUE(CKRACamera::CheckLimits(D3DXVECTOR3(-20, 40, -30), at)); // -x side, under 45
    EXPECT_FALSE(CKRACamera::CheckLimits(D3DXVECTOR3(-30, 40, 10), at)); // -x side, past 45
    EXPECT_TRUE(CKRACamera::CheckLimits(D3DXVECTOR3(20, 40, -30), at));
    EXPECT_FALSE(CKRACamera::CheckLimits(D3DXVECTOR3(30, 40, 10), at));
}

TEST_F(CameraTest, AMapThatGoesAwayIsForgotten)
{
    auto pMap = std::make_unique<CKRAGridMap>();
    std::vector<uint8_t> bytes = GridMap(10, 6, 6, -30, -30, std::vector<uint8_t>(36, 1));
    pMap->LoadFromMemory(bytes.data(), bytes.size());
    CKRACamera::SetCameraMap(pMap.get());
    EXPECT_FALSE(CKRACamera::CheckLimits(D3DXVECTOR3(20, 40, -20), D3DXVECTOR3(0, 40, 0)));
    pMap.reset();
    EXPECT_EQ(CKRACamera::GetCameraMap(), nullptr);
    EXPECT_TRUE(CKRACamera::CheckLimits(D3DXVECTOR3(20, 40, -20), D3DXVECTOR3(0, 40, 0)));
}
