#include "KRAEngineFixture.h"
#include "KRAObject.h"
#include "KRAObjectManager.h"
#include "KRATextureAnimation.h"
#include "KRATextureManager.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

#include <cstring>

using namespace kratest;

namespace {

class ObjectFiles : public EngineFixture {
protected:
    CKRAObjectManager& Objects() { return *CKRAManager::GetObjectManager(); }
    CKRATextureManager& Textures() { return *CKRAManager::GetTextureManager(); }
    CKRAObjectFile* Load(const char* name, _KRA_HANDLE& h)
    {
        EXPECT_EQ(Objects().LoadObjectFile(name, &h), KRA_OK);
        return Objects().Find(h);
    }
    static D3DXMATRIX Translation(float x, float y, float z)
    {
        D3DXMATRIX m;
        D3DXMatrixTranslation(&m, x, y, z);
        return m;
    }
};

Mesh Textured(const char* texture, uint16_t flags = 0)
{
    Mesh m;
    m.wTexFlags = flags;
    m.bFirst = true;
    m.strFirst = texture;
    m.vVertices = Quad(0, 0, 1, 0);
    return m;
}

template <class Bytes>
KRA_OBJECT_VERTEX VertexOf(const Bytes& data, size_t i)
{
    KRA_OBJECT_VERTEX v;
    std::memcpy(&v, data.data() + i * sizeof(v), sizeof(v));
    return v;
}

} // namespace

TEST_F(ObjectFiles, OneFileSharedByNamesInAnyCaseUntilTheLastUnload)
{
    WriteWorld("Table.KRO", KRO(77, {Textured("wood.KRT")}));
    _KRA_HANDLE a = 0, b = 0;
    CKRAObjectFile* pFile = Load("Table.KRO", a);
    ASSERT_NE(pFile, nullptr);
    EXPECT_EQ(Objects().LoadObjectFile("TABLE.kro", &b), KRA_OK);
    EXPECT_EQ(a, b);
    EXPECT_EQ(pFile->GetRefCount(), 2);
    EXPECT_EQ(pFile->GetObjectFileCode(), 77u);
    EXPECT_STREQ(pFile->GetObjectFileName(), "Table.KRO");
    EXPECT_EQ(Objects().UnloadObjectFile(&a), KRA_OK);
    EXPECT_EQ(Objects().Find(a), pFile);
    EXPECT_EQ(Objects().UnloadObjectFile(&a), KRA_OK);
    EXPECT_EQ(Objects().Find(a), nullptr);
    EXPECT_EQ(Textures().GetTextureCount(), 0u);             // the mesh gave its texture back
    EXPECT_EQ(Objects().UnloadObjectFile(&a), KRA_E_FAILED); // stale: no box
}

TEST_F(ObjectFiles, MissingAndBrokenFilesLeaveNothingBehind)
{
    _KRA_HANDLE h = 0x1234;
    EXPECT_EQ(Objects().LoadObjectFile("absent.KRO", &h), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(h, 0x1234u);
    std::vector<uint8_t> bytes = KRO(1, {Textured("a.KRT"), Textured("b.KRT")});
    for (size_t cut : {size_t(0), size_t(11), size_t(12 + 72), bytes.size() - 1}) {
        WriteWorld("cut.KRO", std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut)));
        EXPECT_EQ(Objects().LoadObjectFile("cut.KRO", &h), KRA_E_INVALID_ARGUMENT) << cut;
        EXPECT_EQ(Objects().GetObjectFileCount(), 0u);
        EXPECT_EQ(Textures().GetTextureCount(), 0u);
    }
    // A file whose second mesh cannot get its buffer gives back the first mesh's texture too.
    WriteWorld("two.KRO", bytes);
    m_device.m_bFailBuffers = true;
    YondaMessageBoxCapture boxes;
    EXPECT_EQ(Objects().LoadObjectFile("two.KRO", &h), KRA_E_FAILED);
    EXPECT_EQ(Textures().GetTextureCount(), 0u);
    EXPECT_EQ(m_device.m_nLiveBuffers, 0);
    m_device.m_bFailBuffers = false;
    EXPECT_EQ(Objects().LoadObjectFile("two.KRO", &h), KRA_OK); // a later load starts afresh
}

TEST_F(ObjectFiles, BadHandlesShowTheBoxAndAnswerNotAlpha)
{
    YondaMessageBoxCapture boxes;
    _KRA_HANDLE h = 0x00050003;
    CKRAObjectFile* pFile = nullptr;
    EXPECT_EQ(Objects().GetObjectFile(&h, &pFile), KRA_E_INVALID_HANDLE);
    EXPECT_FALSE(Objects().IsAlphaObjectFile(&h));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Invalid handle\n", "Invalid handle\n"}));
}

TEST_F(ObjectFiles, StaticMeshesArePlacedByTheirMatrixAnimatedOnesAreNot)
{
    Mesh still;
    still.vVertices = Quad(0, 0, 1, 0);
    D3DXMATRIX t = Translation(10, 20, 30);
    std::memcpy(still.afMatrix, &t, sizeof(t));
    Mesh moving = still;
    moving.wKind = KRA_MESH_ANIMATED;
    WriteWorld("m.KRO", KRO(0, {still, moving}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("m.KRO", h);
    ASSERT_EQ(pFile->GetMeshCount(), 2u);
    EXPECT_FLOAT_EQ(pFile->GetMesh(0)->GetVertices()[0].x, 9);
    EXPECT_FLOAT_EQ(pFile->GetMesh(0)->GetVertices()[0].z, 30);
    EXPECT_FLOAT_EQ(pFile->GetMesh(1)->GetVertices()[0].x, -1);
    // The buffer holds what the mesh keeps.
    auto* pBuffer = static_cast<FakeVertexBuffer*>(pFile->GetMesh(0)->GetVertexBuffer());
    EXPECT_FLOAT_EQ(VertexOf(pBuffer->m_vData, 0).y, 19);
}

TEST_F(ObjectFiles, TexturesByFlags)
{
    Mesh none = Textured("x.KRT", KRA_TEX_COLOR_KEYED);
    none.bFirst = false; // has-first-texture 0: nothing is loaded whatever the flags say
    Mesh second = Textured("a.KRT");
    second.bSecond = true;
    second.strSecond = "light.KRT";
    WriteWorld("t.KRO", KRO(0, {none, second}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("t.KRO", h);
    EXPECT_FALSE(pFile->GetMesh(0)->HasFirstTexture());
    EXPECT_NE(pFile->GetMesh(1)->GetFirstTexture().m_hHandle, 0u);
    EXPECT_NE(pFile->GetMesh(1)->GetSecondTexture().m_hHandle, 0u);
    EXPECT_EQ(Textures().GetTextureCount(), 2u);
    EXPECT_FALSE(pFile->IsAlphaObjectFile());
}

TEST_F(ObjectFiles, TextureListLoadsEveryLineAndMakesAnAlphaMesh)
{
    WriteWorldText("sign.txt", "f1.KRT\r\nf2.KRT\r\n\r\nf3.KRT");
    WriteWorld("s.KRO", KRO(0, {Textured("sign.txt", KRA_TEX_LIST)}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("s.KRO", h);
    const CKRATextureAnimation* pList = pFile->GetMesh(0)->GetTextureAnimation();
    ASSERT_NE(pList, nullptr);
    EXPECT_EQ(pList->GetFrameCount(), 3u);
    EXPECT_EQ(Textures().GetTextureCount(), 3u);
    EXPECT_TRUE(pFile->IsAlphaObjectFile());
    D3DXMATRIX world = Translation(0, 0, 0);
    std::vector<DWORD> frames;
    for (int i = 0; i < 6; ++i) {
        pFile->RenderObjectFile(&world, 0, 16, 0);
        frames.push_back(pList->GetCurrentFrame());
    }
    EXPECT_EQ(frames, (std::vector<DWORD>{0, 1, 2, 0, 1, 2}));
}

TEST_F(ObjectFiles, EmptyOrMissingTextureListDrawsUntextured)
{
    WriteWorldText("empty.txt", "\n\n");
    WriteWorld("e.KRO", KRO(0, {Textured("empty.txt", KRA_TEX_LIST), Textured("none.txt", KRA_TEX_LIST)}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("e.KRO", h);
    D3DXMATRIX world = Translation(0, 0, 0);
    EXPECT_EQ(pFile->RenderObjectFile(&world, 0, 16, 0), KRA_OK);
    EXPECT_EQ(m_device.m_vDraws.size(), 2u);
    EXPECT_EQ(pFile->GetMesh(1)->GetTextureAnimation(), nullptr);
}

TEST_F(ObjectFiles, SetDiffuseMapKeepsTheHostsTextureAliveUntilEveryUserLetsGo)
{
    WriteWorld("board.KRO", KRO(0, {Textured("old.KRT"), Textured("old2.KRT"), Mesh()}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("board.KRO", h);
    CKRAHandle<tagKRADS> hHost;
    ASSERT_EQ(Textures().LoadWorldTexture("picture.KRT", &hHost), KRA_OK);
    pFile->SetDiffuseMap(hHost);
    EXPECT_EQ(Textures().GetRefCount(hHost), 3); // the host's and one per textured mesh
    EXPECT_EQ(Textures().GetTextureCount(), 1u); // the old textures went
    EXPECT_EQ(Objects().UnloadObjectFile(&h), KRA_OK);
    EXPECT_EQ(Textures().GetRefCount(hHost), 1);
    Textures().ReleaseTexture(hHost);
    EXPECT_EQ(Textures().GetTextureCount(), 0u);
}

TEST_F(ObjectFiles, AccentedDrawingBuildsItsColouredCopyOncePerColour)
{
    WriteWorld("a.KRO", KRO(0, {Textured("a.KRT")}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("a.KRO", h);
    D3DXMATRIX world = Translation(0, 0, 0);
    pFile->RenderObjectFile(&world, 0, 0, 0xFF00FF00);
    pFile->RenderObjectFile(&world, 0, 0, 0xFF00FF00);
    EXPECT_EQ(pFile->GetMesh(0)->GetColoredCopyBuilds(), 1);
    ASSERT_EQ(m_device.m_vDraws.size(), 2u);
    EXPECT_NE(m_device.m_vDraws[1].pStream, pFile->GetMesh(0)->GetVertexBuffer());
    EXPECT_EQ(VertexOf(m_device.m_vDraws[1].vStreamData, 0).dwDiffuse, 0xFF00FF00u);
    pFile->RenderObjectFile(&world, 0, 0, 0xFFFF0000);
    EXPECT_EQ(pFile->GetMesh(0)->GetColoredCopyBuilds(), 2);
    pFile->RenderObjectFile(&world, 0, 0, 0);
    EXPECT_EQ(m_device.m_vDraws.back().pStream, pFile->GetMesh(0)->GetVertexBuffer());
}

TEST_F(ObjectFiles, FadingDrawsFromACopyAndTheRestoreRewritesTheSharedBuffer)
{
    Mesh m = Textured("a.KRT");
    m.vVertices = Quad(0, 0, 1, 0, 0x80FF8040);
    WriteWorld("f.KRO", KRO(0, {m}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("f.KRO", h);
    auto* pShared = static_cast<FakeVertexBuffer*>(pFile->GetMesh(0)->GetVertexBuffer());
    auto before = pShared->m_vData;
    YondaDebugOutputCapture trace;
    D3DXMATRIX world = Translation(0, 0, 0);
    pFile->FadeObjectFile(&world, 0, 0, 0xC0);
    EXPECT_EQ(trace.Text(), "192\n");
    EXPECT_EQ(pShared->m_vData, before);
    ASSERT_EQ(m_device.m_vDraws.size(), 1u);
    const Draw& faded = m_device.m_vDraws[0];
    EXPECT_NE(faded.pStream, pShared);
    // The stored alpha AND the fade's (0x80 AND 0xC0), and no colour: the stage takes the colour
    // from the texture alone.
    EXPECT_EQ(VertexOf(faded.vStreamData, 0).dwDiffuse, 0x80000000u);
    EXPECT_EQ(faded.renderStates.at(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));
    EXPECT_EQ(faded.stage0.at(D3DTSS_COLOROP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(faded.stage0.at(D3DTSS_COLORARG1), DWORD(D3DTA_TEXTURE));
    EXPECT_EQ(faded.stage0.at(D3DTSS_ALPHAOP), DWORD(D3DTOP_MODULATE));
    // The next normal draw, of this or any other object of the file, uses the untouched buffer:
    // a fade written into the shared buffer would dim every other object of the file.
    pFile->RenderObjectFile(&world, 0, 0, 0);
    EXPECT_EQ(m_device.m_vDraws[1].pStream, pShared);

    // The end of the fade lets the copy go (and rewrites the mesh's buffer, which the tests of
    // the public interface look at); the next fade makes it again.
    int nLive = m_device.m_nLiveBuffers;
    EXPECT_EQ(pFile->RestoreAlphaValue(), KRA_OK);
    EXPECT_EQ(pShared->m_vData, before);
    EXPECT_EQ(m_device.m_nLiveBuffers, nLive - 1);
    pFile->FadeObjectFile(&world, 0, 0, 0xC0);
    EXPECT_EQ(m_device.m_nLiveBuffers, nLive);
}

TEST_F(ObjectFiles, DrawsMultiplyTheObjectMatrixInFrontOfTheViewAndRestoreIt)
{
    WriteWorld("w.KRO", KRO(0, {Textured("a.KRT")}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("w.KRO", h);
    D3DXMATRIX view = Translation(0, 0, 100);
    m_device.m_world = view;
    D3DXMATRIX world = Translation(5, 0, 0);
    pFile->RenderObjectFile(&world, 0, 0, 0);
    EXPECT_FLOAT_EQ(m_device.m_vDraws[0].mWorld._41, 5);
    EXPECT_FLOAT_EQ(m_device.m_vDraws[0].mWorld._43, 100);
    EXPECT_FLOAT_EQ(m_device.m_world._41, 0);
    EXPECT_FLOAT_EQ(m_device.m_world._43, 100);
}

TEST_F(ObjectFiles, KeyAnimatedMeshIsAtItsKeyedPose)
{
    Mesh m;
    m.wKind = KRA_MESH_ANIMATED;
    m.wTexFlags = KRA_TEX_POSITION_KEYS | KRA_TEX_SCALE_KEYS;
    m.vVertices = Quad(0, 0, 1, 0);
    m.dwKeyStart = 0;
    m.dwKeyEnd = 1000;
    m.dwKeyCount = 4;
    m.vPos = {0, 0, 0, 10, 0, 0, 20, 0, 0, 30, 0, 0};
    m.vScale = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    Mesh still = m;
    still.dwKeyEnd = 0; // zero duration: a still pose, not an endless loop
    WriteWorld("fan.KRO", KRO(0, {m, still}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("fan.KRO", h);
    D3DXMATRIX world = Translation(0, 0, 0);
    pFile->RenderObjectFile(&world, 375, 0, 0); // key 1 and halfway to key 2
    EXPECT_NEAR(m_device.m_vDraws[0].mWorld._41, 15, 1e-3);
    EXPECT_NEAR(m_device.m_vDraws[1].mWorld._41, 0, 1e-3);
    pFile->RenderObjectFile(&world, 1375, 0, 0); // the keys loop over their duration
    EXPECT_NEAR(m_device.m_vDraws[2].mWorld._41, 15, 1e-3);
}

TEST_F(ObjectFiles, PickingFindsTheNearestFrontFacingTriangle)
{
    Mesh near, far;
    near.vVertices = Quad(0, 0, 1, 0);
    far.vVertices = Quad(0, 0, 1, 5);
    WriteWorld("p.KRO", KRO(0, {far, near}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("p.KRO", h);
    D3DXMATRIX world = Translation(10, 0, 0);
    D3DXVECTOR3 origin(10.5f, 0.5f, -20), direction(0, 0, 1), hit;
    float distance = 0;
    ASSERT_TRUE(pFile->Picking(&origin, &direction, &distance, &world, &hit));
    EXPECT_NEAR(distance, 20, 1e-3);
    EXPECT_NEAR(hit.x, 10.5f, 1e-3);
    EXPECT_NEAR(hit.z, 0, 1e-3);
    D3DXVECTOR3 behind(10.5f, 0.5f, 20), back(0, 0, -1);
    EXPECT_FALSE(pFile->Picking(&behind, &back, &distance, &world, &hit));
    D3DXVECTOR3 beside(0.5f, 0.5f, -20);
    EXPECT_FALSE(pFile->Picking(&beside, &direction, &distance, &world, &hit));
}

TEST_F(ObjectFiles, MeshesWithoutTrianglesAreSkippedEverywhere)
{
    Mesh empty;
    Mesh two;
    two.vVertices = {Vertex(0, 0, 0), Vertex(1, 0, 0)};
    WriteWorld("z.KRO", KRO(0, {empty, two}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("z.KRO", h);
    D3DXMATRIX world = Translation(0, 0, 0);
    D3DXVECTOR3 eye(0, 0, -10), direction(0, 0, 1), hit;
    float distance;
    EXPECT_EQ(pFile->SortObject(&world, &eye), KRA_OK);
    EXPECT_EQ(pFile->RenderObjectFile(&world, 0, 0, 0), KRA_OK);
    EXPECT_EQ(pFile->FadeObjectFile(&world, 0, 0, 10), KRA_OK);
    EXPECT_FALSE(pFile->Picking(&eye, &direction, &distance, &world, &hit));
    EXPECT_TRUE(m_device.m_vDraws.empty());
}

TEST_F(ObjectFiles, AlphaMeshesAreOrderedByHowSquarelyTheyFaceTheViewer)
{
    // Three quads facing -z at x = -20, 0 and 20: seen from an eye on the -z axis the middle one
    // faces it most squarely, then the two others in file order.
    Mesh left, middle, right;
    left.vVertices = Quad(0, 0, 1, 0);
    middle.vVertices = Quad(0, 0, 1, 0);
    right.vVertices = Quad(0, 0, 1, 0);
    D3DXMATRIX l = Translation(-20, 0, 10), mid = Translation(0, 0, 10), r = Translation(20, 0, 10);
    std::memcpy(left.afMatrix, &l, sizeof(l));
    std::memcpy(middle.afMatrix, &mid, sizeof(mid));
    std::memcpy(right.afMatrix, &r, sizeof(r));
    WriteWorld("o.KRO", KRO(0, {left, right, middle}));
    _KRA_HANDLE h = 0;
    CKRAObjectFile* pFile = Load("o.KRO", h);
    CKRAObject* pLeft = pFile->GetMesh(0);
    CKRAObject* pRight = pFile->GetMesh(1);
    CKRAObject* pMiddle = pFile->GetMesh(2);
    D3DXMATRIX world = Translation(0, 0, 0);
    D3DXVECTOR3 eye(0, 0, -1);
    pFile->SortObject(&world, &eye);
    EXPECT_EQ(pFile->GetMesh(0), pMiddle);
    EXPECT_EQ(pFile->GetMesh(1), pLeft);
    EXPECT_EQ(pFile->GetMesh(2), pRight);
}
