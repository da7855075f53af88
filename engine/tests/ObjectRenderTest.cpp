// World objects drawn through the real Direct3D device, judged by their pixels.
#include "KRAAlphaOrder.h"
#include "KRAGeometry.h"
#include "KRAObject.h"
#include "KRAObjectManager.h"
#include "KRARenderFixture.h"
#include "KRATextureManager.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kratest;

namespace {

constexpr DWORD kBlack = 0xFF000000;
constexpr DWORD kRed = 0xFFFF0000;
constexpr DWORD kGreen = 0xFF00FF00;
constexpr DWORD kWhite = 0xFFFFFFFF;

class ObjectRender : public RenderFixture {
protected:
    CKRAObjectFile* Load(const char* name)
    {
        _KRA_HANDLE h = 0;
        EXPECT_EQ(CKRAManager::GetObjectManager()->LoadObjectFile(name, &h), KRA_OK);
        return CKRAManager::GetObjectManager()->Find(h);
    }
    static D3DXMATRIX At(float x, float y, float z)
    {
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, x, y, z);
        return m;
    }
    static Mesh Square(DWORD color, float half = 1)
    {
        Mesh m;
        m.vVertices = Quad(0, 0, half, 0, color);
        return m;
    }
};

} // namespace

TEST_F(ObjectRender, WorldObjectLandsWhereItsMatrixPutsIt)
{
    WriteWorld("box.KRO", KRO(0, {Square(kRed)}));
    CKRAObjectFile* pFile = Load("box.KRO");
    D3DXMATRIX world = At(3, 0, 0);
    ASSERT_EQ(pFile->RenderObjectFile(&world, 0, 0, 0), KRA_OK);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(3, 0, 0), kRed);
    ExpectPixel(picture, Project(3.6f, 0.6f, 0), kRed);
    ExpectPixel(picture, Project(-3, 0, 0), kBlack);
    ExpectPixel(picture, Project(0, 0, 0), kBlack);
    ExpectPixel(picture, Project(3, 1.5f, 0), kBlack);
}

TEST_F(ObjectRender, BackFacesAreCulledByTheHostsClockwiseCulling)
{
    Mesh back = Square(kRed);
    std::swap(back.vVertices[1], back.vVertices[2]);
    std::swap(back.vVertices[4], back.vVertices[5]);
    WriteWorld("back.KRO", KRO(0, {back}));
    D3DXMATRIX world = At(0, 0, 0);
    Load("back.KRO")->RenderObjectFile(&world, 0, 0, 0);
    ExpectPixel(Picture(), Project(0, 0, 0), kBlack);
}

TEST_F(ObjectRender, AccentColourShows)
{
    WriteWorld("box.KRO", KRO(0, {Square(kRed)}));
    CKRAObjectFile* pFile = Load("box.KRO");
    D3DXMATRIX left = At(-3, 0, 0), right = At(3, 0, 0);
    pFile->RenderObjectFile(&left, 0, 0, 0xFF00FF00);
    pFile->RenderObjectFile(&right, 0, 0, 0);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(-3, 0, 0), kGreen);
    ExpectPixel(picture, Project(3, 0, 0), kRed);
}

TEST_F(ObjectRender, FadeGoesFromInvisibleToOpaqueOverItsDuration)
{
    // A white texture on red vertices: drawn normally the two multiply to red; fading, the
    // texture alone shows, more opaque as the fade goes on.
    WriteWorld("white.bmp", SolidBMP(4, 4, 0xFFFFFF));
    Mesh m = Square(kRed, 0.8f);
    m.bFirst = true;
    m.strFirst = "white.bmp";
    WriteWorld("box.KRO", KRO(0, {m}));
    CKRAObjectFile* pFile = Load("box.KRO");
    // A fade-in of 1000 ms seen at 0, 500 and 999 ms, side by side; a normal draw beside them.
    float afTimes[3] = {0, 500, 999};
    float afX[3] = {-3, -1, 1};
    for (int i = 0; i < 3; ++i) {
        D3DXMATRIX world = At(afX[i], 0, 0);
        DWORD dwAlpha = DWORD(KRAFrameIndex(255, 1000, afTimes[i]).nFrame);
        pFile->FadeObjectFile(&world, 0, 0, dwAlpha);
    }
    D3DXMATRIX world = At(3, 0, 0);
    pFile->RenderObjectFile(&world, 0, 0, 0);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(-3, 0, 0), kBlack);
    ExpectPixel(picture, Project(-1, 0, 0), 0xFF7F7F7F, 6);
    ExpectPixel(picture, Project(1, 0, 0), 0xFFFEFEFE, 6);
    ExpectPixel(picture, Project(3, 0, 0), kRed);
}

TEST_F(ObjectRender, OneObjectsFadeLeavesTheOthersOfItsFileAsTheyAre)
{
    // Untextured, a fading object has no colour of its own: it darkens what lies behind it by its
    // alpha (a quarter here) while the other object of its file stays red.
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    WriteWorld("box.KRO", KRO(0, {Square(kRed)}));
    CKRAObjectFile* pFile = Load("box.KRO");
    D3DXMATRIX fading = At(-3, 0, 0), normal = At(3, 0, 0);
    pFile->FadeObjectFile(&fading, 0, 0, 0x40);
    pFile->RenderObjectFile(&normal, 0, 0, 0);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(3, 0, 0), kRed);
    ExpectPixel(picture, Project(-3, 0, 0), 0xFF0000BF, 6);
    ExpectPixel(picture, Project(0, 0, 0), 0xFF0000FF);
}

TEST_F(ObjectRender, KeyAnimatedMeshIsAtItsKeyedPoseAtAGivenTime)
{
    Mesh m = Square(kRed, 0.5f);
    m.wKind = KRA_MESH_ANIMATED;
    m.wTexFlags = KRA_TEX_POSITION_KEYS;
    m.dwKeyStart = 0;
    m.dwKeyEnd = 1000;
    m.dwKeyCount = 2;
    m.vPos = {-4, 0, 0, 4, 0, 0};
    WriteWorld("fan.KRO", KRO(0, {m}));
    CKRAObjectFile* pFile = Load("fan.KRO");
    D3DXMATRIX world = At(0, 0, 0);
    pFile->RenderObjectFile(&world, 375, 0, 0); // key 0, three quarters of the way to key 1
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(2, 0, 0), kRed);
    ExpectPixel(picture, Project(-4, 0, 0), kBlack);
    ExpectPixel(picture, Project(0, 0, 0), kBlack);
}

TEST_F(ObjectRender, PickingRayHitsTheTriangleUnderAScreenPoint)
{
    WriteWorld("box.KRO", KRO(0, {Square(kRed)}));
    CKRAObjectFile* pFile = Load("box.KRO");
    D3DXMATRIX world = At(3, 0.5f, 0);
    pFile->RenderObjectFile(&world, 0, 0, 0);
    YondaPicture picture = Picture();
    POINT p = Project(3.3f, 0.9f, 0);
    ExpectPixel(picture, p, kRed);
    D3DXVECTOR3 origin, direction, hit;
    ASSERT_TRUE(KRAPickingRay(m_pDevice, p.x, p.y, &origin, &direction));
    float distance = 0;
    ASSERT_TRUE(pFile->Picking(&origin, &direction, &distance, &world, &hit));
    EXPECT_NEAR(hit.x, 3.3f, 0.25f);
    EXPECT_NEAR(hit.y, 0.9f, 0.25f);
    EXPECT_NEAR(hit.z, 0, 1e-3);
    EXPECT_NEAR(distance, 10.5f, 0.2f);
    POINT miss = Project(-3, 0, 0);
    ASSERT_TRUE(KRAPickingRay(m_pDevice, miss.x, miss.y, &origin, &direction));
    EXPECT_FALSE(pFile->Picking(&origin, &direction, &distance, &world, &hit));
}

TEST_F(ObjectRender, TexturedAndColourKeyedObjects)
{
    // Left half red, right half black; the colour-keyed copy leaves its black out.
    std::vector<uint32_t> texels(64);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = (i % 8) < 4 ? 0xFF0000 : 0x000000;
    WriteWorld("half.KRT", KRT(BMP(8, 8, texels)));
    WriteWorld("half2.KRT", KRT(BMP(8, 8, texels)));
    Mesh plain = Square(kWhite, 1.5f);
    plain.bFirst = true;
    plain.strFirst = "half.KRT";
    Mesh keyed = plain;
    keyed.wTexFlags = KRA_TEX_COLOR_KEYED;
    keyed.strFirst = "half2.KRT";
    WriteWorld("plain.KRO", KRO(0, {plain}));
    WriteWorld("keyed.KRO", KRO(0, {keyed}));
    CKRAObjectFile* pPlain = Load("plain.KRO");
    CKRAObjectFile* pKeyed = Load("keyed.KRO");
    if (!CKRAManager::GetTextureManager()->GetTexture(pPlain->GetMesh(0)->GetFirstTexture()))
        GTEST_SKIP() << "the Direct3D extension library cannot load textures in this build";
    // A green wall behind both.
    WriteWorld("wall.KRO", KRO(0, {Square(kGreen, 20)}));
    D3DXMATRIX behind = At(0, 0, 5), left = At(-2.5f, 0, 0), right = At(2.5f, 0, 0);
    Load("wall.KRO")->RenderObjectFile(&behind, 0, 0, 0);
    pPlain->RenderObjectFile(&left, 0, 0, 0);
    pKeyed->RenderObjectFile(&right, 0, 0, 0);
    YondaPicture picture = Picture();
    ExpectPixel(picture, Project(-3.3f, 0, 0), kRed, 24);
    ExpectPixel(picture, Project(-1.7f, 0, 0), kBlack, 24);
    ExpectPixel(picture, Project(1.7f, 0, 0), kRed, 24);
    ExpectPixel(picture, Project(3.3f, 0, 0), kGreen, 24);
}

TEST_F(ObjectRender, AlphaMeshesBlendAfterTheOpaqueOnesFarthestFirst)
{
    WriteWorld("green.KRT", KRT(TGA(4, 4, std::vector<uint32_t>(16, 0x8000FF00))));
    WriteWorld("blue.KRT", KRT(TGA(4, 4, std::vector<uint32_t>(16, 0x800000FF))));
    Mesh green = Square(kWhite, 1.5f), blue = Square(kWhite, 1.5f);
    green.wTexFlags = blue.wTexFlags = KRA_TEX_ALPHA;
    green.bFirst = blue.bFirst = true;
    green.strFirst = "green.KRT";
    blue.strFirst = "blue.KRT";
    WriteWorld("wall.KRO", KRO(0, {Square(kRed, 3)}));
    WriteWorld("green.KRO", KRO(0, {green}));
    WriteWorld("blue.KRO", KRO(0, {blue}));
    CKRAObjectFile* pWall = Load("wall.KRO");
    CKRAObjectFile* pGreen = Load("green.KRO");
    CKRAObjectFile* pBlue = Load("blue.KRO");
    if (!CKRAManager::GetTextureManager()->GetTexture(pGreen->GetMesh(0)->GetFirstTexture()))
        GTEST_SKIP() << "the Direct3D extension library cannot load textures in this build";
    ASSERT_TRUE(pGreen->IsAlphaObjectFile());
    ASSERT_FALSE(pWall->IsAlphaObjectFile());

    D3DXMATRIX wallAt = At(0, 0, 5);
    pWall->RenderObjectFile(&wallAt, 0, 0, 0);
    // The alpha objects in list order: the near blue one first, the far green one second.
    struct Placed {
        CKRAObjectFile* pFile;
        D3DXMATRIX world;
    } placed[2] = {{pBlue, At(0.5f, 0, 0)}, {pGreen, At(-0.5f, 0, 2)}};
    std::vector<D3DXVECTOR3> positions;
    for (const Placed& p : placed)
        positions.emplace_back(p.world._41, p.world._42, p.world._43);
    std::vector<size_t> order;
    D3DXVECTOR3 eye = m_cCamera.GetEyePosition();
    KRAOrderFarthestFirst(positions, eye, order);
    ASSERT_EQ(order, (std::vector<size_t>{1, 0}));
    for (size_t i : order) {
        placed[i].pFile->SortObject(&placed[i].world, &eye);
        placed[i].pFile->RenderObjectFile(&placed[i].world, 0, 0, 0);
    }
    YondaPicture picture = Picture();
    // Red, then half green over it, then half blue over both.
    ExpectPixel(picture, Project(0, 0, 0), 0xFF3F4080, 10);
    // Where only the green one covers the wall.
    ExpectPixel(picture, Project(-1.8f, 0, 2), 0xFF7F8000, 10);
    // The wall alone.
    ExpectPixel(picture, Project(0, 2.8f, 5), kRed);
}
