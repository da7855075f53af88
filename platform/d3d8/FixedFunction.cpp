#include "FixedFunction.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "Surface.h"
#include "Texture.h"

namespace yonda::d3d8 {
namespace {

// Vertex fog and table fog share one formula: linear from start to end, exp and exp2 by density.
#define FOG_FUNCTION \
    "float FogFactor(int mode, float d)\n" \
    "{\n" \
    "    float f = 1.0;\n" \
    "    if (mode == 3) f = uFog.y != uFog.x ? (uFog.y - d) / (uFog.y - uFog.x) : (d < uFog.x ? 1.0 : 0.0);\n" \
    "    else if (mode == 1) f = exp(-d * uFog.z);\n" \
    "    else if (mode == 2) f = exp(-(d * uFog.z) * (d * uFog.z));\n" \
    "    return clamp(f, 0.0, 1.0);\n" \
    "}\n"

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec2 aTexture0;
layout(location = 3) in vec2 aTexture1;
uniform mat4 uWorldView;
uniform mat4 uProjection;
uniform bool uPretransformed;
uniform vec4 uViewport;      // x, y, width, height in pixels
uniform vec2 uDepthRange;    // MinZ, MaxZ
uniform int uFogVertexMode;  // 0 off, 1 exp, 2 exp2, 3 linear
uniform bool uRangeFog;
uniform vec3 uFog;           // start, end, density
uniform ivec2 uCoordIndex;
out vec4 vDiffuse;
out vec2 vCoord0;
out vec2 vCoord1;
out float vFogFactor;
out float vFogDepth;
)" FOG_FUNCTION R"(
void main()
{
    vec2 coords[2] = vec2[2](aTexture0, aTexture1);
    vCoord0 = coords[clamp(uCoordIndex.x, 0, 1)];
    vCoord1 = coords[clamp(uCoordIndex.y, 0, 1)];
    vDiffuse = aDiffuse;
    if (uPretransformed) {
        // Screen pixels whose centres sit on whole numbers; GL's sit on halves.
        float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;
        vec2 ndc = (aPosition.xy + 0.5 - uViewport.xy) / uViewport.zw * 2.0 - 1.0;
        float range = uDepthRange.y - uDepthRange.x;
        float z = range != 0.0 ? (aPosition.z - uDepthRange.x) / range * 2.0 - 1.0 : -1.0;
        gl_Position = vec4(ndc, z, 1.0) * w;
        vFogFactor = 1.0;
        vFogDepth = aPosition.z;
    } else {
        vec4 eye = uWorldView * aPosition;
        vec4 clip = uProjection * eye;
        // Rows run downwards in the target as on the screen; depth runs 0..1 in Direct3D.
        clip.x += clip.w / uViewport.z;
        clip.y = -clip.y + clip.w / uViewport.w;
        clip.z = 2.0 * clip.z - clip.w;
        gl_Position = clip;
        float distance = uRangeFog ? length(eye.xyz) : eye.z;
        vFogFactor = uFogVertexMode != 0 ? FogFactor(uFogVertexMode, distance) : 1.0;
        vFogDepth = eye.z;
    }
}
)";

const char* const kFragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec2 vCoord0;
in vec2 vCoord1;
in float vFogFactor;
in float vFogDepth;
uniform sampler2D uTexture0;
uniform sampler2D uTexture1;
uniform ivec4 uColorOp[2];  // operation, argument 1, argument 2, texture bound
uniform ivec4 uAlphaOp[2];  // operation, argument 1, argument 2
uniform vec4 uFactor;
uniform int uAlphaFunc;     // 0 when the test is off
uniform float uAlphaRef;
uniform bool uFogEnable;
uniform int uFogTableMode;
uniform vec3 uFog;
uniform vec4 uFogColor;
out vec4 oColor;

vec4 Argument(int argument, vec4 current, vec4 texel)
{
    int source = argument & 15;
    vec4 v = source == 0 ? vDiffuse : source == 1 ? current : source == 2 ? texel : source == 3 ? uFactor : vec4(0.0);
    if ((argument & 16) != 0) v = vec4(1.0) - v;
    if ((argument & 32) != 0) v = vec4(v.a);
    return v;
}

vec4 Combine(int op, vec4 a1, vec4 a2)
{
    if (op == 3) return a2;
    if (op == 4) return a1 * a2;
    if (op == 5) return min(a1 * a2 * 2.0, vec4(1.0));
    if (op == 6) return min(a1 * a2 * 4.0, vec4(1.0));
    if (op == 7) return min(a1 + a2, vec4(1.0));
    return a1;
}

vec4 Stage(int i, vec4 current, vec4 texel)
{
    vec3 color = Combine(uColorOp[i].x, Argument(uColorOp[i].y, current, texel),
                         Argument(uColorOp[i].z, current, texel)).rgb;
    float alpha = uAlphaOp[i].x == 1 ? current.a
                                      : Combine(uAlphaOp[i].x, Argument(uAlphaOp[i].y, current, texel),
                                                Argument(uAlphaOp[i].z, current, texel)).a;
    return vec4(color, alpha);
}
)" FOG_FUNCTION R"(
void main()
{
    vec4 current = vDiffuse;
    if (uColorOp[0].x != 1) {
        vec4 texel = uColorOp[0].w != 0 ? texture(uTexture0, vCoord0) : vec4(1.0);
        current = Stage(0, current, texel);
        if (uColorOp[1].x != 1) {
            vec4 texel1 = uColorOp[1].w != 0 ? texture(uTexture1, vCoord1) : vec4(1.0);
            current = Stage(1, current, texel1);
        }
    }
    if (uAlphaFunc != 0) {
        float a = floor(current.a * 255.0 + 0.5);
        bool pass = uAlphaFunc == 1 ? false
                  : uAlphaFunc == 2 ? a < uAlphaRef
                  : uAlphaFunc == 3 ? a == uAlphaRef
                  : uAlphaFunc == 4 ? a <= uAlphaRef
                  : uAlphaFunc == 5 ? a > uAlphaRef
                  : uAlphaFunc == 6 ? a != uAlphaRef
                  : uAlphaFunc == 7 ? a >= uAlphaRef
                  : true;
        if (!pass) discard;
    }
    if (uFogEnable) {
        float f = uFogTableMode != 0 ? FogFactor(uFogTableMode, vFogDepth) : vFogFactor;
        current.rgb = mix(uFogColor.rgb, current.rgb, f);
    }
    oColor = current;
}
)";

GLuint Compile(GLenum kind, const char* source)
{
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "d3d8: shader does not compile: %s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

float AsFloat(DWORD bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void ColorComponents(DWORD argb, float out[4])
{
    out[0] = float((argb >> 16) & 255) / 255.0f;
    out[1] = float((argb >> 8) & 255) / 255.0f;
    out[2] = float(argb & 255) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

GLenum BlendFactor(DWORD blend, bool source)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    // The "both" factors set the destination from the source blend alone.
    case D3DBLEND_BOTHSRCALPHA: return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_BOTHINVSRCALPHA: return source ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    default: return source ? GL_ONE : GL_ZERO;
    }
}

GLenum CompareFunction(DWORD func)
{
    switch (func) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

GLint Wrap(DWORD address)
{
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

}  // namespace

FixedFunction* FixedFunction::Get()
{
    static std::mutex mutex;
    static FixedFunction* instance = nullptr;
    static bool tried = false;
    std::lock_guard lock(mutex);
    if (!tried) {
        tried = true;
        auto* candidate = new FixedFunction;
        if (candidate->Build()) {
            instance = candidate;
        } else {
            delete candidate;
        }
    }
    return instance;
}

bool FixedFunction::Build()
{
    GLuint vertex = Compile(GL_VERTEX_SHADER, kVertexShader);
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragmentShader);
    if (!vertex || !fragment) return false;
    m_program = glCreateProgram();
    glAttachShader(m_program, vertex);
    glAttachShader(m_program, fragment);
    glLinkProgram(m_program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(m_program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(m_program, sizeof log, nullptr, log);
        std::fprintf(stderr, "d3d8: shader does not link: %s\n", log);
        return false;
    }
    auto at = [&](const char* name) { return glGetUniformLocation(m_program, name); };
    m_worldView = at("uWorldView");
    m_projection = at("uProjection");
    m_pretransformed = at("uPretransformed");
    m_viewport = at("uViewport");
    m_depthRange = at("uDepthRange");
    m_fogVertexMode = at("uFogVertexMode");
    m_rangeFog = at("uRangeFog");
    m_fog = at("uFog");
    m_coordIndex = at("uCoordIndex");
    m_colorOp = at("uColorOp");
    m_alphaOp = at("uAlphaOp");
    m_factor = at("uFactor");
    m_alphaFunc = at("uAlphaFunc");
    m_alphaRef = at("uAlphaRef");
    m_fogEnable = at("uFogEnable");
    m_fogTableMode = at("uFogTableMode");
    m_fogColor = at("uFogColor");
    glUseProgram(m_program);
    glUniform1i(at("uTexture0"), 0);
    glUniform1i(at("uTexture1"), 1);
    glGenSamplers(kDrawnStages, m_samplers);
    return true;
}

void FixedFunction::Apply(const DeviceState& state, uint32_t dirty, bool pretransformed)
{
    const auto& rs = state.renderStates;
    if (dirty & kDirtyProgram) {
        glUseProgram(m_program);
        for (UINT stage = 0; stage < kDrawnStages; ++stage) glBindSampler(stage, m_samplers[stage]);
    }
    if (dirty & kDirtyMatrices) {
        // GL reads the 16 floats column by column, which turns Direct3D's row-vector matrices
        // into the column-vector matrices GLSL multiplies with: no transposition needed.
        D3DMATRIX worldView;
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                worldView.m[i][j] = state.world.m[i][0] * state.view.m[0][j] + state.world.m[i][1] * state.view.m[1][j] +
                                    state.world.m[i][2] * state.view.m[2][j] + state.world.m[i][3] * state.view.m[3][j];
            }
        }
        glUniformMatrix4fv(m_worldView, 1, GL_FALSE, &worldView.m[0][0]);
        glUniformMatrix4fv(m_projection, 1, GL_FALSE, &state.projection.m[0][0]);
    }
    if (dirty & kDirtyViewport) {
        glUniform1i(m_pretransformed, pretransformed ? 1 : 0);
        const D3DVIEWPORT8& v = state.viewport;
        glViewport(GLint(v.X), GLint(v.Y), GLsizei(v.Width), GLsizei(v.Height));
        glDepthRange(v.MinZ, v.MaxZ);
        glUniform4f(m_viewport, float(v.X), float(v.Y), float(v.Width ? v.Width : 1), float(v.Height ? v.Height : 1));
        glUniform2f(m_depthRange, v.MinZ, v.MaxZ);
    }
    if (dirty & (kDirtyStages | kDirtyTextures)) {
        GLint colorOps[4 * kDrawnStages], alphaOps[4 * kDrawnStages];
        for (UINT stage = 0; stage < kDrawnStages; ++stage) {
            const auto& ss = state.stageStates[stage];
            colorOps[4 * stage + 0] = GLint(ss[D3DTSS_COLOROP]);
            colorOps[4 * stage + 1] = GLint(ss[D3DTSS_COLORARG1]);
            colorOps[4 * stage + 2] = GLint(ss[D3DTSS_COLORARG2]);
            colorOps[4 * stage + 3] = state.textures[stage] ? 1 : 0;
            alphaOps[4 * stage + 0] = GLint(ss[D3DTSS_ALPHAOP]);
            alphaOps[4 * stage + 1] = GLint(ss[D3DTSS_ALPHAARG1]);
            alphaOps[4 * stage + 2] = GLint(ss[D3DTSS_ALPHAARG2]);
            alphaOps[4 * stage + 3] = 0;
        }
        glUniform4iv(m_colorOp, kDrawnStages, colorOps);
        glUniform4iv(m_alphaOp, kDrawnStages, alphaOps);
        glUniform2i(m_coordIndex, GLint(state.stageStates[0][D3DTSS_TEXCOORDINDEX] & 0xffff),
                    GLint(state.stageStates[1][D3DTSS_TEXCOORDINDEX] & 0xffff));
    }
    if (dirty & kDirtyTextures) {
        for (UINT stage = 0; stage < kDrawnStages; ++stage) {
            glActiveTexture(GL_TEXTURE0 + stage);
            glBindTexture(GL_TEXTURE_2D, state.textures[stage] ? state.textures[stage]->Upload() : 0);
        }
        glActiveTexture(GL_TEXTURE0);
    }
    if (dirty & kDirtySamplers) {
        for (UINT stage = 0; stage < kDrawnStages; ++stage) {
            const auto& ss = state.stageStates[stage];
            // Anisotropic filtering with an anisotropy of 1 is linear filtering.
            auto linear = [](DWORD filter) { return filter >= D3DTEXF_LINEAR; };
            GLint mag = linear(ss[D3DTSS_MAGFILTER]) ? GL_LINEAR : GL_NEAREST;
            bool minLinear = linear(ss[D3DTSS_MINFILTER]);
            GLint min;
            switch (ss[D3DTSS_MIPFILTER]) {
            case D3DTEXF_NONE:
                min = minLinear ? GL_LINEAR : GL_NEAREST;
                break;
            case D3DTEXF_POINT:
                min = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
                break;
            default:
                min = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
                break;
            }
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_MAG_FILTER, mag);
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_MIN_FILTER, min);
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_WRAP_S, Wrap(ss[D3DTSS_ADDRESSU]));
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_WRAP_T, Wrap(ss[D3DTSS_ADDRESSV]));
            float border[4];
            ColorComponents(ss[D3DTSS_BORDERCOLOR], border);
            glSamplerParameterfv(m_samplers[stage], GL_TEXTURE_BORDER_COLOR, border);
            glSamplerParameterf(m_samplers[stage], GL_TEXTURE_MIN_LOD, float(ss[D3DTSS_MAXMIPLEVEL]));
        }
    }
    if (dirty & kDirtyFactor) {
        float factor[4];
        ColorComponents(rs[D3DRS_TEXTUREFACTOR], factor);
        glUniform4fv(m_factor, 1, factor);
    }
    if (dirty & kDirtyAlphaTest) {
        glUniform1i(m_alphaFunc, rs[D3DRS_ALPHATESTENABLE] ? GLint(rs[D3DRS_ALPHAFUNC]) : 0);
        glUniform1f(m_alphaRef, float(rs[D3DRS_ALPHAREF] & 255));
    }
    if (dirty & kDirtyFog) {
        bool enabled = rs[D3DRS_FOGENABLE] != 0;
        DWORD tableMode = enabled ? rs[D3DRS_FOGTABLEMODE] : D3DFOG_NONE;
        DWORD vertexMode = enabled && tableMode == D3DFOG_NONE ? rs[D3DRS_FOGVERTEXMODE] : D3DFOG_NONE;
        glUniform1i(m_fogEnable, enabled ? 1 : 0);
        glUniform1i(m_fogTableMode, GLint(tableMode <= D3DFOG_LINEAR ? tableMode : 0));
        glUniform1i(m_fogVertexMode, GLint(vertexMode <= D3DFOG_LINEAR ? vertexMode : 0));
        glUniform1i(m_rangeFog, rs[D3DRS_RANGEFOGENABLE] ? 1 : 0);
        glUniform3f(m_fog, AsFloat(rs[D3DRS_FOGSTART]), AsFloat(rs[D3DRS_FOGEND]), AsFloat(rs[D3DRS_FOGDENSITY]));
        float color[4];
        ColorComponents(rs[D3DRS_FOGCOLOR], color);
        glUniform4fv(m_fogColor, 1, color);
    }
    if (dirty & kDirtyBlend) {
        if (rs[D3DRS_ALPHABLENDENABLE]) {
            glEnable(GL_BLEND);
            DWORD source = rs[D3DRS_SRCBLEND];
            DWORD destination = rs[D3DRS_DESTBLEND];
            GLenum gs = BlendFactor(source, true);
            GLenum gd = (source == D3DBLEND_BOTHSRCALPHA || source == D3DBLEND_BOTHINVSRCALPHA)
                            ? BlendFactor(source, false)
                            : BlendFactor(destination, false);
            glBlendFunc(gs, gd);
        } else {
            glDisable(GL_BLEND);
        }
        DWORD mask = rs[D3DRS_COLORWRITEENABLE];
        glColorMask((mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0);
    }
    if (dirty & kDirtyDepth) {
        if (rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
            glEnable(GL_DEPTH_TEST);
            glDepthFunc(CompareFunction(rs[D3DRS_ZFUNC]));
        } else {
            glDisable(GL_DEPTH_TEST);
        }
        glDepthMask(rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    }
    if (dirty & kDirtyCull) {
        // Rows run downwards in the target, which mirrors the winding GL sees: a triangle
        // clockwise on the screen is counter-clockwise to GL.
        switch (rs[D3DRS_CULLMODE]) {
        case D3DCULL_CW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CW);
            glCullFace(GL_BACK);
            break;
        case D3DCULL_CCW:
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(GL_BACK);
            break;
        default:
            glDisable(GL_CULL_FACE);
            break;
        }
        glPolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                         : rs[D3DRS_FILLMODE] == D3DFILL_POINT   ? GL_POINT
                                                                                 : GL_FILL);
    }
}

}  // namespace yonda::d3d8
