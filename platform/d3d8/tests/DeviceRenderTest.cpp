// Pixels out of the real renderer: vertex formats, pixel centres, culling, depth, the stage
// operations, alpha test, blending, fog, mip selection.
#include <cmath>
#include <cstring>

#include "RenderFixture.h"

namespace yonda::d3d8::testing {
namespace {

DWORD FloatBits(float f)
{
    DWORD bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// FVF 0x252: position, normal, diffuse, two texture sets (44 bytes).
struct MeshVertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR diffuse;
    float u0, v0, u1, v1;
};
static_assert(sizeof(MeshVertex) == 44);

class DeviceRender : public RenderTest {
protected:
    // Maps world x and y straight onto pixels: x right, y down, depth z from 0 to 1000.
    void PixelProjection()
    {
        D3DXMATRIX projection;
        D3DXMatrixOrthoOffCenterLH(&projection, 0, float(kWidth), float(kHeight), 0, 0, 1000);
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
    }

    void UseDiffuseOnly()
    {
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    }
};

TEST_F(DeviceRender, PreTransformedRectCoversWholePixelsFromItsCorner)
{
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0), D3D_OK);
    DrawScreenRect(10, 10, 20, 20, kRed);
    YondaPicture picture = ReadBackBuffer();
    ExpectPixel(picture, 10, 10, kRed);
    ExpectPixel(picture, 19, 19, kRed);
    ExpectPixel(picture, 9, 10, kBlack);
    ExpectPixel(picture, 20, 10, kBlack);
    ExpectPixel(picture, 10, 9, kBlack);
    ExpectPixel(picture, 10, 20, kBlack);
}

TEST_F(DeviceRender, ClearFillsTheViewportOrTheRectangles)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    D3DRECT rect = {4, 6, 8, 9};
    ASSERT_EQ(m_device->Clear(1, &rect, D3DCLEAR_TARGET, kRed, 1.0f, 0), D3D_OK);
    D3DVIEWPORT8 viewport = {40, 40, 10, 10, 0, 1};
    ASSERT_EQ(m_device->SetViewport(&viewport), D3D_OK);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    YondaPicture picture = ReadBackBuffer();
    ExpectPixel(picture, 4, 6, kRed);
    ExpectPixel(picture, 7, 8, kRed);
    ExpectPixel(picture, 8, 8, kBlue);
    ExpectPixel(picture, 40, 40, kGreen);
    ExpectPixel(picture, 49, 49, kGreen);
    ExpectPixel(picture, 50, 49, kBlue);
}

TEST_F(DeviceRender, MeshFormatTriangleLandsOnItsPixels)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    PixelProjection();
    IDirect3DVertexBuffer8* vb = nullptr;
    ASSERT_EQ(m_device->CreateVertexBuffer(3 * 44, D3DUSAGE_WRITEONLY, 0x252, D3DPOOL_DEFAULT, &vb), D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    MeshVertex triangle[3] = {
        {8, 8, 10, 0, 0, -1, kGreen, 0, 0, 0, 0},
        {40, 8, 10, 0, 0, -1, kGreen, 0, 0, 0, 0},
        {8, 40, 10, 0, 0, -1, kGreen, 0, 0, 0, 0},
    };
    std::memcpy(data, triangle, sizeof triangle);
    vb->Unlock();
    m_device->SetVertexShader(0x252);
    m_device->SetStreamSource(0, vb, 44);
    m_device->SetTexture(0, nullptr);
    ASSERT_EQ(m_device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    YondaPicture picture = ReadBackBuffer();
    ExpectPixel(picture, 8, 8, kGreen);
    ExpectPixel(picture, 20, 20, kGreen);
    ExpectPixel(picture, 7, 8, kBlack);
    ExpectPixel(picture, 30, 30, kBlack);
    ExpectPixel(picture, 8, 40, kBlack);
    m_device->SetStreamSource(0, nullptr, 0);
    vb->Release();
}

TEST_F(DeviceRender, ThreeStreamDeclarationDrawsIndexed)
{
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    PixelProjection();
    const DWORD declaration[] = {D3DVSD_STREAM(0), D3DVSD_REG(D3DVSDE_POSITION, D3DVSDT_FLOAT3),
                                 D3DVSD_STREAM(1), D3DVSD_REG(D3DVSDE_DIFFUSE, D3DVSDT_D3DCOLOR),
                                 D3DVSD_STREAM(2), D3DVSD_REG(D3DVSDE_TEXCOORD0, D3DVSDT_FLOAT2),
                                 D3DVSD_END()};
    DWORD handle = 0;
    ASSERT_EQ(m_device->CreateVertexShader(declaration, nullptr, &handle, 0), D3D_OK);
    const float positions[] = {30, 30, 5, 50, 30, 5, 30, 50, 5, 50, 50, 5};
    const D3DCOLOR colours[] = {kBlue, kBlue, kBlue, kBlue};
    const float uvs[] = {0, 0, 1, 0, 0, 1, 1, 1};
    const WORD indices[] = {0, 1, 2, 2, 1, 3};
    IDirect3DVertexBuffer8* streams[3] = {};
    const void* sources[3] = {positions, colours, uvs};
    const UINT sizes[3] = {sizeof positions, sizeof colours, sizeof uvs};
    const UINT strides[3] = {12, 4, 8};
    for (int s = 0; s < 3; ++s) {
        ASSERT_EQ(m_device->CreateVertexBuffer(sizes[s], D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, &streams[s]), D3D_OK);
        BYTE* data = nullptr;
        streams[s]->Lock(0, 0, &data, 0);
        std::memcpy(data, sources[s], sizes[s]);
        streams[s]->Unlock();
        m_device->SetStreamSource(s, streams[s], strides[s]);
    }
    IDirect3DIndexBuffer8* ib = nullptr;
    ASSERT_EQ(m_device->CreateIndexBuffer(sizeof indices, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &ib),
              D3D_OK);
    BYTE* data = nullptr;
    ib->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();
    m_device->SetIndices(ib, 0);
    ASSERT_EQ(m_device->SetVertexShader(handle), D3D_OK);
    ASSERT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
    YondaPicture picture = ReadBackBuffer();
    ExpectPixel(picture, 30, 30, kBlue);
    ExpectPixel(picture, 49, 49, kBlue);
    ExpectPixel(picture, 50, 49, kBlack);
    ExpectPixel(picture, 29, 40, kBlack);

    // An index past the end of a stream is refused, not read.
    const WORD bad[] = {0, 1, 9};
    ib->Lock(0, 6, &data, 0);
    std::memcpy(data, bad, sizeof bad);
    ib->Unlock();
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 3, 2), D3DERR_INVALIDCALL);

    m_device->SetIndices(nullptr, 0);
    for (int s = 0; s < 3; ++s) {
        m_device->SetStreamSource(s, nullptr, 0);
        streams[s]->Release();
    }
    ib->Release();
    EXPECT_EQ(m_device->DeleteVertexShader(handle), D3D_OK);
    EXPECT_EQ(m_device->DeleteVertexShader(handle), D3DERR_INVALIDCALL);
}

TEST_F(DeviceRender, CullModesFollowScreenWinding)
{
    // (8, 8) -> (40, 8) -> (8, 40) turns clockwise on the screen.
    ScreenVertex clockwise[3] = {
        {8, 8, 0.5f, 1, kRed, 0, 0}, {40, 8, 0.5f, 1, kRed, 0, 0}, {8, 40, 0.5f, 1, kRed, 0, 0}};
    struct Case {
        DWORD cull;
        bool clockwiseDrawn;
    } cases[] = {{D3DCULL_NONE, true}, {D3DCULL_CW, false}, {D3DCULL_CCW, true}};
    UseDiffuseOnly();
    for (const Case& c : cases) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        m_device->SetRenderState(D3DRS_CULLMODE, c.cull);
        m_device->SetVertexShader(kScreenFvf);
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(ScreenVertex));
        ScreenVertex counter[3] = {clockwise[0], clockwise[2], clockwise[1]};
        for (auto& v : counter) {
            v.x += 20;
            v.y += 20;
            v.diffuse = kGreen;
        }
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(ScreenVertex));
        YondaPicture picture = ReadBackBuffer();
        SCOPED_TRACE(c.cull);
        ExpectPixel(picture, 12, 12, c.clockwiseDrawn ? kRed : kBlack);
        ExpectPixel(picture, 32, 32, c.cull == D3DCULL_CCW ? kBlack : kGreen);
    }
}

TEST_F(DeviceRender, DepthTestAndWrite)
{
    UseDiffuseOnly();
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    DrawScreenRect(10, 10, 30, 30, kRed, 0.3f);
    DrawScreenRect(20, 20, 40, 40, kGreen, 0.6f); // behind: hidden where red is
    YondaPicture picture = ReadBackBuffer();
    ExpectPixel(picture, 25, 25, kRed);
    ExpectPixel(picture, 35, 35, kGreen);

    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    DrawScreenRect(20, 20, 40, 40, kBlue, 0.9f);
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    DrawScreenRect(10, 10, 40, 40, kWhite, 0.5f); // the blue did not write its depth
    picture = ReadBackBuffer();
    ExpectPixel(picture, 25, 25, kBlue); // drawn over red, but red's depth stayed
    ExpectPixel(picture, 35, 35, kWhite);

    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    DrawScreenRect(10, 10, 40, 40, kBlue, 0.99f);
    ExpectPixel(ReadBackBuffer(), 25, 25, kBlue);
}

TEST_F(DeviceRender, StageOperationsCombineTextureDiffuseAndCurrent)
{
    // Texture 0x80FF8000 (alpha 128), diffuse 0xFF80FF40.
    IDirect3DTexture8* texture = MakeTexture(1, 1, {0x80ff8000u});
    IDirect3DTexture8* grey = MakeTexture(1, 1, {0xff808080u});
    const D3DCOLOR diffuse = 0xff80ff40u;
    struct Case {
        const char* name;
        DWORD op0, arg01, arg02;
        IDirect3DTexture8* texture0;
        DWORD op1, arg11, arg12;
        IDirect3DTexture8* texture1;
        D3DCOLOR expected;
    } cases[] = {
        {"modulate", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, texture, D3DTOP_DISABLE, 0, 0, nullptr,
         0xff808000u},
        {"select texture", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, texture, D3DTOP_DISABLE, 0, 0, nullptr,
         0xffff8000u},
        {"select diffuse", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, texture, D3DTOP_DISABLE, 0, 0, nullptr,
         diffuse},
        {"disabled", D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE, texture, D3DTOP_DISABLE, 0, 0, nullptr, diffuse},
        {"no texture is white", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, nullptr, D3DTOP_DISABLE, 0, 0, nullptr,
         kWhite},
        {"modulate by no texture", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, nullptr, D3DTOP_DISABLE, 0, 0,
         nullptr, diffuse},
        {"second stage", D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, texture, D3DTOP_MODULATE, D3DTA_TEXTURE,
         D3DTA_CURRENT, grey, 0xff408020u},
        {"second stage over texture", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, texture, D3DTOP_SELECTARG2,
         D3DTA_TEXTURE, D3DTA_CURRENT, grey, 0xff808000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        m_device->SetTexture(0, c.texture0);
        m_device->SetTexture(1, c.texture1);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, c.op0);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, c.arg01);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, c.arg02);
        m_device->SetTextureStageState(1, D3DTSS_COLOROP, c.op1);
        m_device->SetTextureStageState(1, D3DTSS_COLORARG1, c.arg11);
        m_device->SetTextureStageState(1, D3DTSS_COLORARG2, c.arg12);
        m_device->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
        DrawScreenRect(0, 0, 16, 16, diffuse);
        ExpectPixel(ReadBackBuffer(), 8, 8, c.expected);
    }

    // Alpha operations, seen through the alpha test: texture alpha 128, diffuse alpha 128.
    m_device->SetTexture(1, nullptr);
    m_device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_device->SetTexture(0, texture);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    struct AlphaCase {
        const char* name;
        DWORD op, arg1, arg2, ref;
        bool drawn;
    } alphaCases[] = {
        {"texture alpha passes", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, 128, true},
        {"texture alpha fails", D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, 129, false},
        {"disabled keeps diffuse alpha", D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE, 128, true},
        {"modulated alpha passes", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, 64, true},
        {"modulated alpha fails", D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, 65, false},
        {"diffuse alpha", D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, 128, true},
    };
    for (const AlphaCase& c : alphaCases) {
        SCOPED_TRACE(c.name);
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, c.op);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, c.arg1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG2, c.arg2);
        m_device->SetRenderState(D3DRS_ALPHAREF, c.ref);
        DrawScreenRect(0, 0, 16, 16, 0x80ffffffu);
        ExpectPixel(ReadBackBuffer(), 8, 8, c.drawn ? 0xffff8000u : kBlack);
    }
    m_device->SetTexture(0, nullptr);
    texture->Release();
    grey->Release();
}

TEST_F(DeviceRender, TextureCoordinateIndexPicksTheSet)
{
    // Left texel red, right texel blue; set 0 points left, set 1 points right.
    IDirect3DTexture8* texture = MakeTexture(2, 1, {kRed, kBlue});
    struct Vertex {
        float x, y, z, rhw;
        D3DCOLOR diffuse;
        float u0, v0, u1, v1;
    };
    auto draw = [&](DWORD index) {
        m_device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, index);
        Vertex quad[4] = {{0, 0, 0.5f, 1, kWhite, 0.25f, 0.5f, 0.75f, 0.5f},
                          {16, 0, 0.5f, 1, kWhite, 0.25f, 0.5f, 0.75f, 0.5f},
                          {0, 16, 0.5f, 1, kWhite, 0.25f, 0.5f, 0.75f, 0.5f},
                          {16, 16, 0.5f, 1, kWhite, 0.25f, 0.5f, 0.75f, 0.5f}};
        m_device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2);
        m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
        return ReadBackBuffer().At(8, 8) | 0xff000000u;
    };
    m_device->SetTexture(0, texture);
    EXPECT_EQ(draw(0), kRed);
    EXPECT_EQ(draw(1), kBlue);
    m_device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(DeviceRender, AlphaTestComparesWithEveryFunction)
{
    UseDiffuseOnly();
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    // Vertex alpha 100 against references 99, 100 and 101.
    struct Case {
        DWORD func;
        bool below, equal, above; // reference below, equal to and above the alpha
    } cases[] = {
        {D3DCMP_NEVER, false, false, false},      {D3DCMP_LESS, false, false, true},
        {D3DCMP_EQUAL, false, true, false},       {D3DCMP_LESSEQUAL, false, true, true},
        {D3DCMP_GREATER, true, false, false},     {D3DCMP_NOTEQUAL, true, false, true},
        {D3DCMP_GREATEREQUAL, true, true, false}, {D3DCMP_ALWAYS, true, true, true},
    };
    for (const Case& c : cases) {
        m_device->SetRenderState(D3DRS_ALPHAFUNC, c.func);
        const DWORD refs[3] = {99, 100, 101};
        const bool expected[3] = {c.below, c.equal, c.above};
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(::testing::Message() << "function " << c.func << " reference " << refs[i]);
            m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
            m_device->SetRenderState(D3DRS_ALPHAREF, refs[i]);
            DrawScreenRect(0, 0, 8, 8, 0x64ff0000u);
            ExpectPixel(ReadBackBuffer(), 4, 4, expected[i] ? kRed : kBlack);
        }
    }
}

TEST_F(DeviceRender, SourceAlphaBlending)
{
    UseDiffuseOnly();
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    DrawScreenRect(0, 0, 8, 8, 0x80ff0000u);
    ExpectPixel(ReadBackBuffer(), 4, 4, 0xff80007fu);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    DrawScreenRect(0, 0, 8, 8, 0x80ff0000u);
    ExpectPixel(ReadBackBuffer(), 4, 4, kRed);
}

TEST_F(DeviceRender, VertexFogAtKnownDistances)
{
    UseDiffuseOnly();
    // Eye space = world space, x and y from -32 to 32 across the target.
    D3DXMATRIX projection;
    D3DXMatrixOrthoOffCenterLH(&projection, -32, 32, -32, 32, 0, 1000);
    m_device->SetTransform(D3DTS_PROJECTION, &projection);
    m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    m_device->SetRenderState(D3DRS_FOGCOLOR, kWhite);
    m_device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
    m_device->SetRenderState(D3DRS_FOGSTART, FloatBits(0.0f));
    m_device->SetRenderState(D3DRS_FOGEND, FloatBits(100.0f));
    m_device->SetRenderState(D3DRS_FOGDENSITY, FloatBits(0.01f));
    struct Vertex {
        float x, y, z;
        D3DCOLOR diffuse;
    };
    auto fogged = [&](float halfWidth, float z) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
        Vertex quad[4] = {{-halfWidth, 2, z, kBlack},
                          {halfWidth, 2, z, kBlack},
                          {-halfWidth, -2, z, kBlack},
                          {halfWidth, -2, z, kBlack}};
        m_device->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE);
        EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
        return int(ReadBackBuffer().At(32, 32) & 255);
    };
    struct Case {
        DWORD mode;
        BOOL range;
        float halfWidth, z;
        int expected; // 255 x (1 - fog factor): black fogged towards white
    } cases[] = {
        {D3DFOG_LINEAR, FALSE, 2, 25, 64},   // f = 0.75
        {D3DFOG_LINEAR, FALSE, 2, 50, 128},  // f = 0.5
        {D3DFOG_LINEAR, FALSE, 2, 150, 255}, // past the end
        {D3DFOG_EXP, FALSE, 2, 100, 161},    // f = e^-1
        {D3DFOG_EXP, FALSE, 2, 50, 100},     // f = e^-0.5
        {D3DFOG_EXP2, FALSE, 2, 50, 56},     // f = e^-0.25
        {D3DFOG_LINEAR, FALSE, 30, 40, 102}, // f = 0.6 along the view axis
        {D3DFOG_LINEAR, TRUE, 30, 40, 128},  // f = (100 - 50.04) / 100 from the eye
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " range " << c.range << " z " << c.z);
        m_device->SetRenderState(D3DRS_FOGVERTEXMODE, c.mode);
        m_device->SetRenderState(D3DRS_RANGEFOGENABLE, c.range);
        EXPECT_NEAR(fogged(c.halfWidth, c.z), c.expected, 2);
    }
    m_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    EXPECT_EQ(fogged(2, 50), 0);
}

TEST_F(DeviceRender, TableFogFollowsTheDepth)
{
    UseDiffuseOnly();
    m_device->SetRenderState(D3DRS_FOGENABLE, TRUE);
    m_device->SetRenderState(D3DRS_FOGCOLOR, kWhite);
    m_device->SetRenderState(D3DRS_FOGSTART, FloatBits(0.0f));
    m_device->SetRenderState(D3DRS_FOGEND, FloatBits(1.0f));
    m_device->SetRenderState(D3DRS_FOGDENSITY, FloatBits(2.0f));
    // Pre-transformed: the depth is the vertices' z; black fogged towards white.
    struct Case {
        DWORD mode;
        float z;
        int expected;
    } cases[] = {
        {D3DFOG_LINEAR, 0.25f, 64},  // f = 0.75
        {D3DFOG_LINEAR, 0.75f, 191}, // f = 0.25
        {D3DFOG_EXP, 0.5f, 161},     // f = e^-1
        {D3DFOG_EXP2, 0.5f, 161},    // f = e^-1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " z " << c.z);
        m_device->SetRenderState(D3DRS_FOGTABLEMODE, c.mode);
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
        DrawScreenRect(0, 0, 8, 8, kBlack, c.z);
        EXPECT_NEAR(int(ReadBackBuffer().At(4, 4) & 255), c.expected, 2);
    }
    // The table's formula wins over the vertex one.
    m_device->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    m_device->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_EXP);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    DrawScreenRect(0, 0, 8, 8, kBlack, 0.25f);
    EXPECT_NEAR(int(ReadBackBuffer().At(4, 4) & 255), 64, 2);
    m_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
}

// Each state combination draws with its own program, which keeps the values it was given: a value
// changed while another program draws reaches the first when it draws again.
TEST_F(DeviceRender, ValuesChangedUnderOneProgramReachTheOthers)
{
    auto useFactor = [&] {
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    };
    useFactor();
    m_device->SetRenderState(D3DRS_TEXTUREFACTOR, kRed);
    DrawScreenRect(0, 0, 8, 8, kWhite);
    ExpectPixel(ReadBackBuffer(), 4, 4, kRed);

    // Another combination draws while the factor, the alpha reference and the viewport change.
    UseDiffuseOnly();
    m_device->SetRenderState(D3DRS_TEXTUREFACTOR, kGreen);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    m_device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    DrawScreenRect(8, 0, 16, 8, 0x90ff0000u);
    ExpectPixel(ReadBackBuffer(), 12, 4, kRed);
    D3DVIEWPORT8 half = {32, 32, 32, 32, 0.0f, 1.0f};
    m_device->SetViewport(&half);
    DrawScreenRect(32, 32, 40, 40, 0x90ff0000u);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);

    // Back to the first combination: it draws with the values as they are now.
    useFactor();
    DrawScreenRect(32, 40, 40, 48, kWhite);
    YondaPicture picture = ReadBackBuffer();
    ExpectPixel(picture, 36, 36, kRed);
    ExpectPixel(picture, 36, 44, kGreen);

    // And the alpha test's program meets its new reference after the others drew.
    UseDiffuseOnly();
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ALPHAREF, 0xa0);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    DrawScreenRect(32, 32, 40, 40, 0x90ff0000u);
    ExpectPixel(ReadBackBuffer(), 36, 36, kBlack);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

TEST_F(DeviceRender, MipFilterSelectsTheLevelBySize)
{
    // 32 x 32 with a colour per level; a quad 8 pixels wide shows level 2.
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(m_device->CreateTexture(32, 32, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 6u);
    const D3DCOLOR colours[6] = {kRed, kGreen, kBlue, kWhite, 0xffffff00u, 0xff00ffffu};
    for (UINT level = 0; level < 6; ++level)
        FillLevel(texture, level, {colours[level]});
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    DrawScreenRect(0, 0, 8, 8, kWhite);
    ExpectPixel(ReadBackBuffer(), 4, 4, kBlue);
    DrawScreenRect(16, 16, 48, 48, kWhite);
    ExpectPixel(ReadBackBuffer(), 30, 30, kRed);
    m_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    DrawScreenRect(0, 0, 8, 8, kWhite);
    ExpectPixel(ReadBackBuffer(), 4, 4, kRed);
    // Anisotropic stands for linear: 32 texels over 12 pixels falls between levels 1 (green) and 2 (blue).
    m_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_ANISOTROPIC);
    m_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_ANISOTROPIC);
    DrawScreenRect(0, 0, 12, 12, kWhite);
    D3DCOLOR mixed = ReadBackBuffer().At(6, 6);
    EXPECT_GT((mixed >> 8) & 255, 100u);
    EXPECT_GT(mixed & 255, 60u);
    EXPECT_EQ((mixed >> 16) & 255, 0u);
    m_device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(DeviceRender, WrapAddressingRepeatsTheTexture)
{
    IDirect3DTexture8* texture = MakeTexture(2, 1, {kRed, kBlue});
    m_device->SetTexture(0, texture);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    // u from 0 to 2 over 16 pixels: red, blue, red, blue in 4-pixel bands.
    DrawScreenRect(0, 0, 16, 4, kWhite, 0.5f, 0, 0, 2, 1);
    YondaPicture picture = ReadBackBuffer();
    ExpectPixel(picture, 1, 1, kRed);
    ExpectPixel(picture, 5, 1, kBlue);
    ExpectPixel(picture, 9, 1, kRed);
    ExpectPixel(picture, 13, 1, kBlue);
    m_device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(DeviceRender, FormatsSampleAsTheirColours)
{
    struct Case {
        D3DFORMAT format;
        std::vector<BYTE> texel;
        D3DCOLOR expected;
    } cases[] = {
        {D3DFMT_X8R8G8B8, {0x40, 0x80, 0xc0, 0x00}, 0xffc08040u},
        {D3DFMT_R5G6B5, {0x1f, 0xf8}, 0xffff00ffu},   // red and blue full, green 0
        {D3DFMT_X1R5G5B5, {0xe0, 0x03}, 0xff00ff00u}, // green full
        {D3DFMT_A1R5G5B5, {0x1f, 0x80}, 0xff0000ffu}, // blue, opaque
        {D3DFMT_A4R4G4B4, {0x0f, 0xf0}, 0xff0000ffu}, // blue, opaque
        // DXT1 block: colour 0 = red (0xF800), colour 1 = blue, every index 0.
        {D3DFMT_DXT1, {0x00, 0xf8, 0x1f, 0x00, 0, 0, 0, 0}, kRed},
        // DXT3: explicit alpha all 15, then a colour block of blue (index 1).
        {D3DFMT_DXT3,
         {0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00, 0xf8, 0x1f, 0x00, 0x55, 0x55, 0x55, 0x55},
         kBlue},
        // DXT5: interpolated alpha (index 0 = 255), colour two thirds red, one third blue (index 2).
        {D3DFMT_DXT5, {0xff, 0x00, 0, 0, 0, 0, 0, 0, 0x00, 0xf8, 0x1f, 0x00, 0xaa, 0xaa, 0xaa, 0xaa}, 0xffaa0055u},
    };
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        IDirect3DTexture8* texture = nullptr;
        UINT side = c.texel.size() >= 8 ? 4 : 1;
        ASSERT_EQ(m_device->CreateTexture(side, side, 1, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, c.texel.data(), c.texel.size());
        texture->UnlockRect(0);
        m_device->SetTexture(0, texture);
        DrawScreenRect(0, 0, 8, 8, kWhite);
        ExpectPixel(ReadBackBuffer(), 2, 2, c.expected);
        m_device->SetTexture(0, nullptr);
        texture->Release();
    }
}

} // namespace
} // namespace yonda::d3d8::testing
