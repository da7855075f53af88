#include "VertexLayout.h"

#include "d3d8.h"

namespace yonda::d3d8 {
namespace {

VertexAttribute Float(UINT stream, UINT offset, GLint components)
{
    return VertexAttribute{true, stream, offset, components, GL_FLOAT, GL_FALSE};
}

VertexAttribute Color(UINT stream, UINT offset)
{
    // D3DCOLOR is 0xAARRGGBB, bytes B, G, R, A: GL reads that order as BGRA.
    return VertexAttribute{true, stream, offset, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE};
}

} // namespace

std::optional<VertexLayout> LayoutFromFvf(DWORD fvf)
{
    VertexLayout layout;
    UINT offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ:
        layout.inputs[kInputPosition] = Float(0, 0, 3);
        offset = 12;
        break;
    case D3DFVF_XYZRHW:
        layout.inputs[kInputPosition] = Float(0, 0, 4);
        layout.pretransformed = true;
        offset = 16;
        break;
    case D3DFVF_XYZB1:
    case D3DFVF_XYZB2:
    case D3DFVF_XYZB3:
    case D3DFVF_XYZB4:
    case D3DFVF_XYZB5:
        // Blend weights are carried but not applied: vertex blending is not part of this layer.
        layout.inputs[kInputPosition] = Float(0, 0, 3);
        offset = 12 + 4 * (((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZB1) / 2 + 1);
        break;
    default: return std::nullopt;
    }
    if (fvf & D3DFVF_NORMAL)
        offset += 12;
    if (fvf & D3DFVF_PSIZE)
        offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.inputs[kInputDiffuse] = Color(0, offset);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR)
        offset += 4;
    UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8)
        return std::nullopt;
    for (UINT set = 0; set < sets; ++set) {
        // Sizes from the high bits: 0 two floats, 1 three, 2 four, 3 one.
        UINT code = (fvf >> (16 + 2 * set)) & 3;
        GLint components = code == 0 ? 2 : code == 1 ? 3 : code == 2 ? 4 : 1;
        if (set < 2)
            layout.inputs[kInputTexture0 + set] = Float(0, offset, components < 2 ? components : 2);
        offset += 4 * UINT(components);
    }
    layout.fvfStride = offset;
    layout.usesStream[0] = true;
    return layout;
}

std::optional<VertexLayout> LayoutFromDeclaration(const DWORD* tokens)
{
    if (!tokens)
        return std::nullopt;
    VertexLayout layout;
    UINT stream = 0, offset = 0;
    bool haveStream = false;
    // A declaration longer than this is not one the fixed-function pipeline could use.
    for (int i = 0; i < 256; ++i) {
        DWORD token = tokens[i];
        if (token == D3DVSD_END()) {
            if (!layout.inputs[kInputPosition].present)
                return std::nullopt;
            return layout;
        }
        DWORD type = (token & D3DVSD_TOKENTYPEMASK) >> D3DVSD_TOKENTYPESHIFT;
        switch (type) {
        case D3DVSD_TOKEN_NOP: break;
        case D3DVSD_TOKEN_STREAM:
            if (token & D3DVSD_STREAMTESSMASK)
                return std::nullopt;
            stream = token & D3DVSD_STREAMNUMBERMASK;
            offset = 0;
            haveStream = true;
            layout.usesStream[stream] = true;
            break;
        case D3DVSD_TOKEN_STREAMDATA: {
            if (!haveStream)
                return std::nullopt;
            if (token & D3DVSD_DATALOADTYPEMASK) {
                offset += 4 * ((token & D3DVSD_SKIPCOUNTMASK) >> D3DVSD_SKIPCOUNTSHIFT);
                break;
            }
            DWORD dataType = (token & D3DVSD_DATATYPEMASK) >> D3DVSD_DATATYPESHIFT;
            DWORD reg = token & D3DVSD_VERTEXREGMASK;
            UINT size = 0;
            VertexAttribute attribute;
            switch (dataType) {
            case D3DVSDT_FLOAT1:
            case D3DVSDT_FLOAT2:
            case D3DVSDT_FLOAT3:
            case D3DVSDT_FLOAT4:
                attribute = Float(stream, offset, GLint(dataType + 1));
                size = 4 * (dataType + 1);
                break;
            case D3DVSDT_D3DCOLOR:
                attribute = Color(stream, offset);
                size = 4;
                break;
            case D3DVSDT_UBYTE4:
                attribute = VertexAttribute{true, stream, offset, 4, GL_UNSIGNED_BYTE, GL_FALSE};
                size = 4;
                break;
            case D3DVSDT_SHORT2:
            case D3DVSDT_SHORT4:
                attribute =
                    VertexAttribute{true, stream, offset, dataType == D3DVSDT_SHORT2 ? 2 : 4, GL_SHORT, GL_FALSE};
                size = dataType == D3DVSDT_SHORT2 ? 4 : 8;
                break;
            default: return std::nullopt;
            }
            if (reg == D3DVSDE_POSITION)
                layout.inputs[kInputPosition] = attribute;
            else if (reg == D3DVSDE_DIFFUSE)
                layout.inputs[kInputDiffuse] = attribute;
            else if (reg == D3DVSDE_TEXCOORD0)
                layout.inputs[kInputTexture0] = attribute;
            else if (reg == D3DVSDE_TEXCOORD1)
                layout.inputs[kInputTexture1] = attribute;
            offset += size;
            break;
        }
        default:
            // Tessellator tokens, constants and extensions are for programmable shaders.
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace yonda::d3d8
