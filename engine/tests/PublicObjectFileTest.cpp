// World object files as a host reaches them through libKravex: what the flags of a mesh mean by
// their numbers, what a draw, a fade and the end of a fade ask of the device.
#include "KRAEngineFixture.h"
#include "KRAInterfaceValues.h"
#include "Kravex.h"

#include <gtest/gtest.h>
#include <yonda_capture.h>

#include <cstring>
#include <memory>

using namespace kratest;
using namespace kratest::values;

namespace {

class PublicObjectFile : public EngineFixture {
protected:
    void TearDown() override
    {
        // The host destroys what it creates, before the engine stops.
        for (auto& pFile : m_vFiles)
            pFile->Destroy();
        m_vFiles.clear();
        EngineFixture::TearDown();
    }

    // An object file made from the bytes of a KRO file, as the engine's loader makes it.
    CKRAObjectFile& Load(const std::vector<uint8_t>& bytes, LONG lExpected = kOk)
    {
        m_vFiles.push_back(std::make_unique<CKRAObjectFile>());
        CKRAObjectFile& file = *m_vFiles.back();
        EXPECT_EQ(file.Create(), kOk);
        EXPECT_EQ(file.LoadObjectFile("Test.KRO", bytes.data(), bytes.size()), lExpected);
        return file;
    }

    // The last draw on the recording device.
    const Draw& LastDraw()
    {
        EXPECT_FALSE(m_device.m_vDraws.empty());
        return m_device.m_vDraws.back();
    }

    std::vector<std::unique_ptr<CKRAObjectFile>> m_vFiles;
};

Mesh Flagged(WORD wKind, WORD wTexture, const char* szTexture = "missing.KRT")
{
    Mesh m;
    m.wKind = wKind;
    m.wTexFlags = wTexture;
    m.bFirst = szTexture != nullptr;
    m.strFirst = szTexture ? szTexture : "";
    m.vVertices = Quad(0, 0, 1, 0);
    return m;
}

D3DXMATRIX Translation(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

KRA_OBJECT_VERTEX VertexOf(const Draw& draw, size_t i)
{
    KRA_OBJECT_VERTEX v;
    std::memcpy(&v, draw.vStreamData.data() + i * sizeof(v), sizeof(v));
    return v;
}

} // namespace

TEST_F(PublicObjectFile, AlphaMeshesAreThoseWithATextureFlagFromTheEighthBitUp)
{
    struct Case {
        WORD wFlags;
        bool bAlpha;
    };
    for (Case c : {Case{0, false}, Case{kTexColorKeyed, false}, Case{0x7F, false}, Case{kTexAlpha, true},
                   Case{0x100, true}, Case{0x8000, true}}) {
        SCOPED_TRACE(c.wFlags);
        CKRAObjectFile& file = Load(KRO(0, {Flagged(0, 0), Flagged(0, c.wFlags)}));
        EXPECT_EQ(file.IsAlphaObjectFile(), c.bAlpha ? TRUE : FALSE);
    }
    // A texture list makes its mesh an alpha mesh; one that cannot be read leaves it as it was.
    WriteWorldText("sign.txt", "f1.KRT\nf2.KRT\n");
    EXPECT_TRUE(Load(KRO(0, {Flagged(0, kTexList, "sign.txt")})).IsAlphaObjectFile());
    EXPECT_FALSE(Load(KRO(0, {Flagged(0, kTexList, "absent.txt")})).IsAlphaObjectFile());

    CKRAObjectFile& coded = Load(KRO(0x4D2, {Flagged(0, 0)}));
    EXPECT_EQ(coded.GetObjectFileCode(), 0x4D2u);
    EXPECT_STREQ(coded.GetObjectFileName(), "Test.KRO");
    EXPECT_EQ(coded.GetMeshCount(), 1u);
}

TEST_F(PublicObjectFile, DrawStatesFollowTheTextureFlagsAndAreResetAfterEachDraw)
{
    CKRAManager::m_sRenderingOption = 0;
    CKRAObjectFile& file = Load(KRO(0, {Flagged(0, kTexColorKeyed), Flagged(0, kTexAlpha), Flagged(0, 0)}));
    D3DXMATRIX world = Translation(0, 0, 0);
    ASSERT_EQ(file.RenderObjectFile(&world, 0, 0, 0), kOk);
    ASSERT_EQ(m_device.m_vDraws.size(), 3u);
    EXPECT_EQ(m_device.m_dwShader, 0x252u);
    EXPECT_EQ(m_device.m_renderStates.at(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    EXPECT_EQ(m_device.m_renderStates.at(D3DRS_ALPHATESTENABLE), DWORD(FALSE));
    EXPECT_EQ(m_device.m_stage0.at(D3DTSS_COLOROP), DWORD(D3DTOP_DISABLE));
    EXPECT_EQ(m_device.m_stage1.at(D3DTSS_COLOROP), DWORD(D3DTOP_DISABLE));

    // Colour-keyed: texture alpha tested at 159, no blending.
    const Draw& keyed = m_device.m_vDraws[0];
    EXPECT_EQ(keyed.renderStates.at(D3DRS_ALPHATESTENABLE), DWORD(TRUE));
    EXPECT_EQ(keyed.renderStates.at(D3DRS_ALPHAREF), 159u);
    EXPECT_EQ(keyed.renderStates.at(D3DRS_ALPHAFUNC), DWORD(D3DCMP_GREATEREQUAL));
    EXPECT_EQ(keyed.stage0.at(D3DTSS_ALPHAOP), DWORD(D3DTOP_SELECTARG1));
    // Alpha: blended by the texture's alpha and tested at 8.
    const Draw& alpha = m_device.m_vDraws[1];
    EXPECT_EQ(alpha.renderStates.at(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));
    EXPECT_EQ(alpha.renderStates.at(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(alpha.renderStates.at(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(alpha.renderStates.at(D3DRS_ALPHAREF), 8u);
    // Neither: opaque.
    const Draw& plain = m_device.m_vDraws[2];
    EXPECT_EQ(plain.renderStates.at(D3DRS_ALPHABLENDENABLE), DWORD(FALSE));
    EXPECT_EQ(plain.renderStates.at(D3DRS_ALPHATESTENABLE), DWORD(FALSE));
    EXPECT_EQ(plain.stage0.at(D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(plain.stage0.at(D3DTSS_ALPHAOP), DWORD(D3DTOP_DISABLE));
    EXPECT_EQ(plain.stage0.at(D3DTSS_MIPFILTER), DWORD(D3DTEXF_NONE));

    // Rendering option 1 turns the mip filter on; option 2 puts the second texture on stage 1.
    Mesh lit = Flagged(0, 0);
    lit.bSecond = true;
    lit.strSecond = "light.KRT";
    CKRAObjectFile& second = Load(KRO(0, {lit}));
    ASSERT_EQ(m_pManager->SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE(kOptionMipmap), 1), kOk);
    second.RenderObjectFile(&world, 0, 0, 0);
    EXPECT_EQ(LastDraw().stage0.at(D3DTSS_MIPFILTER), DWORD(D3DTEXF_ANISOTROPIC));
    EXPECT_EQ(LastDraw().stage1.count(D3DTSS_TEXCOORDINDEX), 0u);
    ASSERT_EQ(m_pManager->SetRenderingOption(_KRA_ENUM_RENDERING_OPTION_TYPE(kOptionSecondTexture), 1), kOk);
    second.RenderObjectFile(&world, 0, 0, 0);
    EXPECT_EQ(LastDraw().stage1.at(D3DTSS_TEXCOORDINDEX), 1u);
    EXPECT_EQ(LastDraw().stage1.at(D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE));
    CKRAManager::m_sRenderingOption = 0;
}

TEST_F(PublicObjectFile, StaticMeshesArePlacedOnLoadAnimatedOnesByTheirKeysAtDrawTime)
{
    Mesh still = Flagged(0, 0, nullptr);
    D3DXMATRIX t = Translation(10, 20, 30);
    std::memcpy(still.afMatrix, &t, sizeof(t));
    // An animated mesh with two keys of each kind: positions from -4 to 4 along x, no rotation,
    // twice the size.
    Mesh moving = still;
    moving.wKind = kMeshAnimated;
    moving.wTexFlags = kTexPositionKeys | kTexRotationKeys | kTexScaleKeys;
    moving.dwKeyStart = 0;
    moving.dwKeyEnd = 1000;
    moving.dwKeyCount = 2;
    moving.vPos = {-4, 0, 0, 4, 0, 0};
    moving.vRot = {0, 0, 0, 1, 0, 0, 0, 1};
    moving.vScale = {2, 2, 2, 2, 2, 2};
    CKRAObjectFile& file = Load(KRO(0, {still, moving}));
    ASSERT_EQ(file.GetMeshCount(), 2u);

    D3DXMATRIX world = Translation(0, 0, 0);
    file.RenderObjectFile(&world, 250, 0, 0);
    ASSERT_EQ(m_device.m_vDraws.size(), 2u);
    // The static mesh's vertices were moved by its matrix when it was loaded.
    EXPECT_FLOAT_EQ(VertexOf(m_device.m_vDraws[0], 0).x, 9);
    EXPECT_FLOAT_EQ(VertexOf(m_device.m_vDraws[0], 0).y, 19);
    EXPECT_FLOAT_EQ(m_device.m_vDraws[0].mWorld._41, 0);
    // The animated one keeps them and is placed when drawn: half way between its position keys,
    // scaled by its scale keys, then by its matrix.
    EXPECT_FLOAT_EQ(VertexOf(m_device.m_vDraws[1], 0).x, -1);
    EXPECT_FLOAT_EQ(m_device.m_vDraws[1].mWorld._41, 10);
    EXPECT_FLOAT_EQ(m_device.m_vDraws[1].mWorld._42, 20);
    EXPECT_FLOAT_EQ(m_device.m_vDraws[1].mWorld._11, 2);
    file.RenderObjectFile(&world, 0, 0, 0);
    EXPECT_FLOAT_EQ(LastDraw().mWorld._41, 6);
}

TEST_F(PublicObjectFile, FadesShowTheTextureAloneAndTheirEndRewritesTheMeshBuffer)
{
    Mesh m = Flagged(0, 0);
    m.vVertices = Quad(0, 0, 1, 0, 0x80FF8040);
    CKRAObjectFile& file = Load(KRO(0, {m}));
    D3DXMATRIX world = Translation(0, 0, 0);
    file.RenderObjectFile(&world, 0, 0, 0);
    auto* pBuffer = static_cast<FakeVertexBuffer*>(LastDraw().pStream);
    ASSERT_NE(pBuffer, nullptr);
    auto stored = pBuffer->m_vData;

    YondaDebugOutputCapture trace;
    ASSERT_EQ(file.FadeObjectFile(&world, 0, 0, 0xC0), kOk);
    EXPECT_EQ(trace.Text(), "192\n");
    // The stored alpha AND the fade's, and no colour: the texture alone gives it.
    EXPECT_EQ(VertexOf(LastDraw(), 0).dwDiffuse, 0x80000000u);
    EXPECT_EQ(LastDraw().stage0.at(D3DTSS_COLOROP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(LastDraw().stage0.at(D3DTSS_ALPHAOP), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(LastDraw().stage0.at(D3DTSS_MIPFILTER), DWORD(D3DTEXF_ANISOTROPIC));
    EXPECT_EQ(LastDraw().renderStates.at(D3DRS_ALPHABLENDENABLE), DWORD(TRUE));

    // The end of the fade puts every stored vertex back into the mesh's buffer.
    std::fill(pBuffer->m_vData.begin(), pBuffer->m_vData.end(), BYTE(0));
    EXPECT_EQ(file.RestoreAlphaValue(), kOk);
    EXPECT_EQ(pBuffer->m_vData, stored);
    YondaMessageBoxCapture boxes;
    pBuffer->m_bFailLock = true;
    EXPECT_EQ(file.RestoreAlphaValue(), kFailed);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed copy vertex data to vertex buffer"});
    pBuffer->m_bFailLock = false;
}

TEST_F(PublicObjectFile, BytesThatAreNotAWholeFileAreRefused)
{
    // The engine's loader hands the file's bytes with their size, so a file that ends before its
    // counts do is refused rather than read past its end.
    std::vector<uint8_t> bytes = KRO(0, {Flagged(0, 0)});
    bytes.pop_back();
    CKRAObjectFile& file = Load(bytes, kInvalidArgument);
    EXPECT_EQ(file.GetMeshCount(), 0u);
    Load({}, kInvalidArgument);
}
