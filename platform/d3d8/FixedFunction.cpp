#include "FixedFunction.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "GlState.h"
#include "IndexBuffer.h"
#include "Surface.h"
#include "Texture.h"
#include "VertexBuffer.h"

namespace yonda::d3d8 {
namespace {

// The fog formulas by mode over the distance d: linear from start to end, exp and exp2 by
// density (uFog holds start, end, density).
std::string FogFunction(uint8_t mode)
{
    std::string f = mode == D3DFOG_LINEAR
                        ? "uFog.y != uFog.x ? (uFog.y - d) / (uFog.y - uFog.x) : (d < uFog.x ? 1.0 : 0.0)"
                    : mode == D3DFOG_EXP ? "exp(-d * uFog.z)"
                                         : "exp(-(d * uFog.z) * (d * uFog.z))";
    return "float FogFactor(float d)\n{\n    float f = " + f + ";\n    return clamp(f, 0.0, 1.0);\n}\n";
}

bool StageOn(const FixedFunction::Key& key, UINT stage)
{
    return key.colorOp[stage] != D3DTOP_DISABLE;
}

// Which arguments an operation reads: the first, the second, or both.
bool ReadsFirst(uint8_t op)
{
    return op != D3DTOP_DISABLE && op != D3DTOP_SELECTARG2;
}
bool ReadsSecond(uint8_t op)
{
    return op >= D3DTOP_SELECTARG2 && op <= D3DTOP_ADD;
}

std::string Argument(uint8_t argument)
{
    static const char* const kSources[] = {"vDiffuse", "current", "texel", "uFactor"};
    UINT source = argument & D3DTA_SELECTMASK;
    std::string v = source < 4 ? kSources[source] : "vec4(0.0)";
    if (argument & D3DTA_COMPLEMENT)
        v = "(vec4(1.0) - " + v + ")";
    if (argument & D3DTA_ALPHAREPLICATE)
        v = "vec4(" + v + ".a)";
    return v;
}

std::string Combine(uint8_t op, uint8_t argument1, uint8_t argument2)
{
    std::string a1 = ReadsFirst(op) ? Argument(argument1) : "", a2 = ReadsSecond(op) ? Argument(argument2) : "";
    switch (op) {
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return "(" + a1 + " * " + a2 + ")";
    case D3DTOP_MODULATE2X: return "min(" + a1 + " * " + a2 + " * 2.0, vec4(1.0))";
    case D3DTOP_MODULATE4X: return "min(" + a1 + " * " + a2 + " * 4.0, vec4(1.0))";
    case D3DTOP_ADD: return "min(" + a1 + " + " + a2 + ", vec4(1.0))";
    default: return a1;
    }
}

bool SamplesTexture(const FixedFunction::Key& key, UINT stage)
{
    auto reads = [](uint8_t op, uint8_t a1, uint8_t a2) {
        return (ReadsFirst(op) && (a1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE) ||
               (ReadsSecond(op) && (a2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE);
    };
    return key.texture[stage] && (reads(key.colorOp[stage], key.colorArg1[stage], key.colorArg2[stage]) ||
                                  reads(key.alphaOp[stage], key.alphaArg1[stage], key.alphaArg2[stage]));
}

float AsFloat(DWORD bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

} // namespace

// One program's GL name, where its uniforms sit and the values it was last given.
struct FixedFunction::Program {
    Key key;
    GLuint name = 0;
    GLint worldView = -1, projection = -1, viewport = -1, depthRange = -1, factor = -1, alphaRef = -1, fog = -1,
          fogColor = -1;
    Values uploaded;
};

FixedFunction* FixedFunction::Get()
{
    static std::mutex mutex;
    static FixedFunction* instance = nullptr;
    static bool tried = false;
    std::lock_guard lock(mutex);
    if (!tried) {
        tried = true;
        // The programs of the default state show GL takes the pipeline's GLSL at all.
        auto candidate = std::unique_ptr<FixedFunction>(new FixedFunction);
        DeviceState defaults;
        defaults.SetDefaults(true);
        if (candidate->ProgramFor(KeyOf(defaults, false)) && candidate->ProgramFor(KeyOf(defaults, true))) {
            glGenSamplers(kDrawnStages, candidate->m_samplers);
            instance = candidate.release();
        }
    }
    return instance;
}

FixedFunction::Key FixedFunction::KeyOf(const DeviceState& state, bool pretransformed)
{
    const auto& rs = state.renderStates;
    Key key;
    key.pretransformed = pretransformed ? 1 : 0;
    auto byte = [](DWORD value) { return uint8_t(std::min<DWORD>(value, 255)); };
    for (UINT stage = 0; stage < kDrawnStages; ++stage) {
        const auto& ss = state.stageStates[stage];
        // A disabled stage ends the pipeline: it and the stages after it leave no trace.
        if (ss[D3DTSS_COLOROP] == D3DTOP_DISABLE) {
            key.colorOp[stage] = D3DTOP_DISABLE;
            break;
        }
        key.colorOp[stage] = byte(ss[D3DTSS_COLOROP]);
        key.colorArg1[stage] = uint8_t(ss[D3DTSS_COLORARG1] & 0x3f);
        key.colorArg2[stage] = uint8_t(ss[D3DTSS_COLORARG2] & 0x3f);
        key.alphaOp[stage] = byte(ss[D3DTSS_ALPHAOP]);
        if (key.alphaOp[stage] != D3DTOP_DISABLE) {
            key.alphaArg1[stage] = uint8_t(ss[D3DTSS_ALPHAARG1] & 0x3f);
            key.alphaArg2[stage] = uint8_t(ss[D3DTSS_ALPHAARG2] & 0x3f);
        }
        key.texture[stage] = state.textures[stage] ? 1 : 0;
        key.coordIndex[stage] = (ss[D3DTSS_TEXCOORDINDEX] & 0xffff) != 0 ? 1 : 0;
        if (!SamplesTexture(key, stage))
            key.texture[stage] = key.coordIndex[stage] = 0;
    }
    DWORD func = rs[D3DRS_ALPHATESTENABLE] ? rs[D3DRS_ALPHAFUNC] : 0;
    key.alphaFunc = func >= D3DCMP_NEVER && func < D3DCMP_ALWAYS ? uint8_t(func) : 0;
    if (rs[D3DRS_FOGENABLE]) {
        DWORD table = rs[D3DRS_FOGTABLEMODE];
        DWORD vertex = table == D3DFOG_NONE ? rs[D3DRS_FOGVERTEXMODE] : D3DFOG_NONE;
        key.fogTable = table <= D3DFOG_LINEAR ? uint8_t(table) : 0;
        // Pre-transformed vertices come with no vertex fog.
        key.fogVertex = !pretransformed && vertex <= D3DFOG_LINEAR ? uint8_t(vertex) : 0;
        key.rangeFog = key.fogVertex && rs[D3DRS_RANGEFOGENABLE] ? 1 : 0;
        // Fog on without a formula still mixes with a factor of one.
        key.fogEnable = 1;
    }
    return key;
}

std::string FixedFunction::VertexSource(const Key& key)
{
    std::string s = "#version 330 core\n"
                    "layout(location = 0) in vec4 aPosition;\n"
                    "layout(location = 1) in vec4 aDiffuse;\n"
                    "layout(location = 2) in vec2 aTexture0;\n"
                    "layout(location = 3) in vec2 aTexture1;\n"
                    "uniform vec4 uViewport;  // x, y, width, height in pixels\n"
                    "out vec4 vDiffuse;\n";
    std::string main = "    vDiffuse = aDiffuse;\n";
    for (UINT stage = 0; stage < kDrawnStages; ++stage) {
        if (!key.texture[stage])
            continue;
        std::string n = std::to_string(stage);
        s += "out vec2 vCoord" + n + ";\n";
        main += "    vCoord" + n + " = aTexture" + std::to_string(key.coordIndex[stage]) + ";\n";
    }
    if (key.fogVertex)
        s += "uniform vec3 uFog;  // start, end, density\nout float vFogFactor;\n" + FogFunction(key.fogVertex);
    if (key.fogTable)
        s += "out float vFogDepth;\n";
    if (key.pretransformed) {
        s += "uniform vec2 uDepthRange;  // MinZ, MaxZ\n";
        // Screen pixels whose centres sit on whole numbers; GL's sit on halves.
        main += "    float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;\n"
                "    vec2 ndc = (aPosition.xy + 0.5 - uViewport.xy) / uViewport.zw * 2.0 - 1.0;\n"
                "    float range = uDepthRange.y - uDepthRange.x;\n"
                "    float z = range != 0.0 ? (aPosition.z - uDepthRange.x) / range * 2.0 - 1.0 : -1.0;\n"
                "    gl_Position = vec4(ndc, z, 1.0) * w;\n";
        if (key.fogTable)
            main += "    vFogDepth = aPosition.z;\n";
    } else {
        s += "uniform mat4 uWorldView;\nuniform mat4 uProjection;\n";
        // Rows run downwards in the target as on the screen; depth runs 0..1 in Direct3D.
        main += "    vec4 eye = uWorldView * aPosition;\n"
                "    vec4 clip = uProjection * eye;\n"
                "    clip.x += clip.w / uViewport.z;\n"
                "    clip.y = -clip.y + clip.w / uViewport.w;\n"
                "    clip.z = 2.0 * clip.z - clip.w;\n"
                "    gl_Position = clip;\n";
        if (key.fogVertex)
            main += std::string("    vFogFactor = FogFactor(") + (key.rangeFog ? "length(eye.xyz)" : "eye.z") + ");\n";
        if (key.fogTable)
            main += "    vFogDepth = eye.z;\n";
    }
    return s + "void main()\n{\n" + main + "}\n";
}

std::string FixedFunction::FragmentSource(const Key& key)
{
    std::string s = "#version 330 core\nin vec4 vDiffuse;\nuniform vec4 uFactor;\nout vec4 oColor;\n";
    std::string main = "    vec4 current = vDiffuse;\n";
    for (UINT stage = 0; stage < kDrawnStages && StageOn(key, stage); ++stage) {
        std::string n = std::to_string(stage);
        std::string texel = "vec4(1.0)";
        if (key.texture[stage]) {
            s += "in vec2 vCoord" + n + ";\nuniform sampler2D uTexture" + n + ";\n";
            texel = "texture(uTexture" + n + ", vCoord" + n + ")";
        }
        std::string alpha = key.alphaOp[stage] == D3DTOP_DISABLE
                                ? "current.a"
                                : Combine(key.alphaOp[stage], key.alphaArg1[stage], key.alphaArg2[stage]) + ".a";
        main += "    {\n        vec4 texel = " + texel + ";\n        current = vec4(" +
                Combine(key.colorOp[stage], key.colorArg1[stage], key.colorArg2[stage]) + ".rgb, " + alpha +
                ");\n    }\n";
    }
    if (key.alphaFunc) {
        static const char* const kCompare[] = {"", "", "<", "==", "<=", ">", "!=", ">="};
        s += "uniform float uAlphaRef;\n";
        main += key.alphaFunc == D3DCMP_NEVER ? "    discard;\n"
                                              : "    if (!(floor(current.a * 255.0 + 0.5) " +
                                                    std::string(kCompare[key.alphaFunc]) + " uAlphaRef)) discard;\n";
    }
    if (key.fogEnable) {
        s += "uniform vec4 uFogColor;\n";
        std::string factor = "1.0";
        if (key.fogTable) {
            s += "uniform vec3 uFog;\nin float vFogDepth;\n" + FogFunction(key.fogTable);
            factor = "FogFactor(vFogDepth)";
        } else if (key.fogVertex) {
            s += "in float vFogFactor;\n";
            factor = "vFogFactor";
        }
        main += "    current.rgb = mix(uFogColor.rgb, current.rgb, " + factor + ");\n";
    }
    return s + "void main()\n{\n" + main + "    oColor = current;\n}\n";
}

FixedFunction::Program* FixedFunction::ProgramFor(const Key& key)
{
    for (auto& program : m_programs) {
        if (program->key == key)
            return program.get();
    }
    GLuint name = LinkProgram(VertexSource(key), FragmentSource(key));
    if (!name)
        return nullptr;
    auto program = std::make_unique<Program>();
    program->key = key;
    program->name = name;
    auto at = [&](const char* uniform) { return glGetUniformLocation(name, uniform); };
    program->worldView = at("uWorldView");
    program->projection = at("uProjection");
    program->viewport = at("uViewport");
    program->depthRange = at("uDepthRange");
    program->factor = at("uFactor");
    program->alphaRef = at("uAlphaRef");
    program->fog = at("uFog");
    program->fogColor = at("uFogColor");
    // Nothing uploaded yet: no value compares equal to all bits set.
    std::memset(static_cast<void*>(&program->uploaded), 0xff, sizeof program->uploaded);
    glUseProgram(name);
    glUniform1i(at("uTexture0"), 0);
    glUniform1i(at("uTexture1"), 1);
    m_current = nullptr; // the program in use changed behind the device's back
    m_programs.push_back(std::move(program));
    return m_programs.back().get();
}

void FixedFunction::FillValues(const DeviceState& state, uint32_t groups, Values* values)
{
    const auto& rs = state.renderStates;
    if (groups & kDirtyMatrices) {
        // GL reads the 16 floats column by column, which turns Direct3D's row-vector matrices
        // into the column-vector matrices GLSL multiplies with: no transposition needed.
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                values->worldView[4 * i + j] =
                    state.world.m[i][0] * state.view.m[0][j] + state.world.m[i][1] * state.view.m[1][j] +
                    state.world.m[i][2] * state.view.m[2][j] + state.world.m[i][3] * state.view.m[3][j];
            }
        }
        std::memcpy(values->projection, &state.projection.m[0][0], sizeof values->projection);
    }
    if (groups & kDirtyViewport) {
        const D3DVIEWPORT8& v = state.viewport;
        values->viewport[0] = float(v.X);
        values->viewport[1] = float(v.Y);
        values->viewport[2] = float(v.Width ? v.Width : 1);
        values->viewport[3] = float(v.Height ? v.Height : 1);
        values->depthRange[0] = v.MinZ;
        values->depthRange[1] = v.MaxZ;
    }
    if (groups & kDirtyFactor)
        ColorComponents(rs[D3DRS_TEXTUREFACTOR], values->factor);
    if (groups & kDirtyAlphaTest)
        values->alphaRef = float(rs[D3DRS_ALPHAREF] & 255);
    if (groups & kDirtyFog) {
        values->fog[0] = AsFloat(rs[D3DRS_FOGSTART]);
        values->fog[1] = AsFloat(rs[D3DRS_FOGEND]);
        values->fog[2] = AsFloat(rs[D3DRS_FOGDENSITY]);
        ColorComponents(rs[D3DRS_FOGCOLOR], values->fogColor);
    }
}

// Each uniform the program reads goes up only when it differs from what the program holds.
void FixedFunction::Upload(Program& p)
{
    const Values& v = m_values;
    Values& u = p.uploaded;
    auto changed = [](const auto& value, auto& held) {
        if (std::memcmp(&value, &held, sizeof value) == 0)
            return false;
        std::memcpy(&held, &value, sizeof value);
        return true;
    };
    if (p.worldView >= 0 && changed(v.worldView, u.worldView))
        glUniformMatrix4fv(p.worldView, 1, GL_FALSE, v.worldView);
    if (p.projection >= 0 && changed(v.projection, u.projection))
        glUniformMatrix4fv(p.projection, 1, GL_FALSE, v.projection);
    if (p.viewport >= 0 && changed(v.viewport, u.viewport))
        glUniform4fv(p.viewport, 1, v.viewport);
    if (p.depthRange >= 0 && changed(v.depthRange, u.depthRange))
        glUniform2fv(p.depthRange, 1, v.depthRange);
    if (p.factor >= 0 && changed(v.factor, u.factor))
        glUniform4fv(p.factor, 1, v.factor);
    if (p.alphaRef >= 0 && changed(v.alphaRef, u.alphaRef))
        glUniform1f(p.alphaRef, v.alphaRef);
    if (p.fog >= 0 && changed(v.fog, u.fog))
        glUniform3fv(p.fog, 1, v.fog);
    if (p.fogColor >= 0 && changed(v.fogColor, u.fogColor))
        glUniform4fv(p.fogColor, 1, v.fogColor);
}

bool FixedFunction::Apply(const DeviceState& state, uint32_t dirty, bool pretransformed)
{
    const auto& rs = state.renderStates;
    if (dirty & kDirtyViewport) {
        const D3DVIEWPORT8& v = state.viewport;
        glViewport(GLint(v.X), GLint(v.Y), GLsizei(v.Width), GLsizei(v.Height));
        glDepthRange(v.MinZ, v.MaxZ);
    }
    FillValues(state, dirty, &m_values);
    constexpr uint32_t kShaping =
        kDirtyStages | kDirtyTextures | kDirtyAlphaTest | kDirtyFog | kDirtyViewport | kDirtyProgram;
    if ((dirty & kShaping) || !m_current) {
        Key key = KeyOf(state, pretransformed);
        if (!m_current || !(key == m_key) || (dirty & kDirtyProgram)) {
            Program* program = ProgramFor(key);
            if (!program)
                return false;
            glUseProgram(program->name);
            m_current = program;
            m_key = key;
        }
    }
    if (dirty & kDirtyProgram) {
        for (UINT stage = 0; stage < kDrawnStages; ++stage)
            glBindSampler(stage, m_samplers[stage]);
    }
    Upload(*m_current);
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
            SamplerFilters filters = GlFilters(ss[D3DTSS_MAGFILTER], ss[D3DTSS_MINFILTER], ss[D3DTSS_MIPFILTER]);
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_MAG_FILTER, filters.mag);
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_MIN_FILTER, filters.min);
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_WRAP_S, GlWrap(ss[D3DTSS_ADDRESSU]));
            glSamplerParameteri(m_samplers[stage], GL_TEXTURE_WRAP_T, GlWrap(ss[D3DTSS_ADDRESSV]));
            float border[4];
            ColorComponents(ss[D3DTSS_BORDERCOLOR], border);
            glSamplerParameterfv(m_samplers[stage], GL_TEXTURE_BORDER_COLOR, border);
            glSamplerParameterf(m_samplers[stage], GL_TEXTURE_MIN_LOD, float(ss[D3DTSS_MAXMIPLEVEL]));
        }
    }
    if (dirty & kDirtyBlend) {
        if (rs[D3DRS_ALPHABLENDENABLE]) {
            glEnable(GL_BLEND);
            BlendFactors factors = GlBlend(rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND]);
            glBlendFunc(factors.source, factors.destination);
        } else {
            glDisable(GL_BLEND);
        }
        DWORD mask = rs[D3DRS_COLORWRITEENABLE];
        glColorMask((mask & 1) != 0, (mask & 2) != 0, (mask & 4) != 0, (mask & 8) != 0);
    }
    if (dirty & kDirtyDepth) {
        if (rs[D3DRS_ZENABLE] != D3DZB_FALSE) {
            glEnable(GL_DEPTH_TEST);
            glDepthFunc(GlCompare(rs[D3DRS_ZFUNC]));
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
        default: glDisable(GL_CULL_FACE); break;
        }
        glPolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                         : rs[D3DRS_FILLMODE] == D3DFILL_POINT   ? GL_POINT
                                                                                 : GL_FILL);
    }
    return true;
}

} // namespace yonda::d3d8
