#include "DeviceState.h"

#include <cstring>

#include "IndexBuffer.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"

namespace yonda::d3d8 {
namespace {

DWORD FloatBits(float f)
{
    DWORD bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

} // namespace

void DeviceState::SetDefaults(bool autoDepthStencil)
{
    renderStates.fill(0);
    auto& rs = renderStates;
    rs[D3DRS_ZENABLE] = autoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_ALPHATESTENABLE] = FALSE;
    rs[D3DRS_LASTPIXEL] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAREF] = 0;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGCOLOR] = 0;
    rs[D3DRS_FOGTABLEMODE] = D3DFOG_NONE;
    rs[D3DRS_FOGSTART] = FloatBits(0.0f);
    rs[D3DRS_FOGEND] = FloatBits(1.0f);
    rs[D3DRS_FOGDENSITY] = FloatBits(1.0f);
    rs[D3DRS_TEXTUREFACTOR] = 0xffffffffu;
    rs[D3DRS_CLIPPING] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_FOGVERTEXMODE] = D3DFOG_NONE;
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_COLORWRITEENABLE] = 0xf;

    for (UINT stage = 0; stage < kStages; ++stage) {
        auto& ss = stageStates[stage];
        ss.fill(0);
        ss[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ss[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ss[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ss[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ss[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ss[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ss[D3DTSS_TEXCOORDINDEX] = stage;
        ss[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        ss[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        ss[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        ss[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        ss[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        ss[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        ss[D3DTSS_MAXANISOTROPY] = 1;
    }
    world = view = projection = Identity();
    for (auto& texture : textures)
        texture.Reset();
    for (auto& stream : streams)
        stream = StreamBinding{};
    indices.Reset();
    baseVertexIndex = 0;
    vertexShader = 0;
}

uint32_t DirtyGroupOfRenderState(D3DRENDERSTATETYPE state)
{
    switch (state) {
    case D3DRS_ZENABLE:
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ZFUNC: return kDirtyDepth;
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_ALPHAREF:
    case D3DRS_ALPHAFUNC: return kDirtyAlphaTest;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_COLORWRITEENABLE: return kDirtyBlend;
    case D3DRS_CULLMODE:
    case D3DRS_FILLMODE: return kDirtyCull;
    case D3DRS_FOGENABLE:
    case D3DRS_FOGCOLOR:
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
    case D3DRS_RANGEFOGENABLE:
    case D3DRS_FOGVERTEXMODE: return kDirtyFog;
    case D3DRS_TEXTUREFACTOR: return kDirtyFactor;
    default: return 0;
    }
}

uint32_t DirtyGroupOfStageState(D3DTEXTURESTAGESTATETYPE state)
{
    switch (state) {
    case D3DTSS_COLOROP:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAOP:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_TEXCOORDINDEX: return kDirtyStages;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
    case D3DTSS_MAXMIPLEVEL:
    case D3DTSS_MIPMAPLODBIAS: return kDirtySamplers;
    default: return 0;
    }
}

} // namespace yonda::d3d8
