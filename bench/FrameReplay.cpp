#include "FrameReplay.h"

#include <EGL/eglext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <tuple>

#include "Device.h"
#include "IndexBuffer.h"
#include "Texture.h"
#include "VertexBuffer.h"

namespace yonda::bench {
namespace {

using namespace yonda::d3d8;

std::string Number(float f)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(f));
    std::string s = text;
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
}

std::string Vec4(DWORD argb)
{
    auto c = [&](int shift) { return Number(float((argb >> shift) & 255) / 255.0f); };
    return "vec4(" + c(16) + ", " + c(8) + ", " + c(0) + ", " + c(24) + ")";
}

float AsFloat(DWORD bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A stage argument as a GLSL expression over the colour so far (c), the texel (t) and the
// vertex colour.
std::string Argument(DWORD argument, DWORD factor)
{
    std::string v;
    switch (argument & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: v = "vDiffuse"; break;
    case D3DTA_CURRENT: v = "c"; break;
    case D3DTA_TEXTURE: v = "t"; break;
    case D3DTA_TFACTOR: v = Vec4(factor); break;
    default: v = "vec4(0.0)"; break;
    }
    if (argument & D3DTA_COMPLEMENT) v = "(vec4(1.0) - " + v + ")";
    if (argument & D3DTA_ALPHAREPLICATE) v = "vec4(" + v + ".a)";
    return v;
}

std::string Combine(DWORD op, const std::string& a1, const std::string& a2)
{
    switch (op) {
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return "(" + a1 + " * " + a2 + ")";
    case D3DTOP_MODULATE2X: return "min(" + a1 + " * " + a2 + " * 2.0, vec4(1.0))";
    case D3DTOP_MODULATE4X: return "min(" + a1 + " * " + a2 + " * 4.0, vec4(1.0))";
    case D3DTOP_ADD: return "min(" + a1 + " + " + a2 + ", vec4(1.0))";
    default: return a1;
    }
}

std::string FogFormula(DWORD mode, const std::string& d, const DeviceState& s)
{
    const auto& rs = s.renderStates;
    float start = AsFloat(rs[D3DRS_FOGSTART]), end = AsFloat(rs[D3DRS_FOGEND]), density = AsFloat(rs[D3DRS_FOGDENSITY]);
    std::string f;
    if (mode == D3DFOG_LINEAR) {
        f = end != start ? "(" + Number(end) + " - " + d + ") / " + Number(end - start)
                         : "(" + d + " < " + Number(start) + " ? 1.0 : 0.0)";
    } else if (mode == D3DFOG_EXP) {
        f = "exp(-" + d + " * " + Number(density) + ")";
    } else {
        f = "exp(-(" + d + " * " + Number(density) + ") * (" + d + " * " + Number(density) + "))";
    }
    return "clamp(" + f + ", 0.0, 1.0)";
}

GLenum Blend(DWORD blend, bool* known)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: *known = false; return GL_ONE;
    }
}

GLint WrapOf(DWORD address)
{
    return address == D3DTADDRESS_CLAMP ? GL_CLAMP_TO_EDGE
           : address == D3DTADDRESS_MIRROR ? GL_MIRRORED_REPEAT
           : address == D3DTADDRESS_BORDER ? GL_CLAMP_TO_BORDER
                                           : GL_REPEAT;
}

GLuint CompileProgram(const std::string& vertex, const std::string& fragment)
{
    auto compile = [](GLenum kind, const std::string& source) {
        GLuint shader = glCreateShader(kind);
        const char* text = source.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint ok = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (!ok) {
            char log[2048] = {};
            glGetShaderInfoLog(shader, sizeof log, nullptr, log);
            std::fprintf(stderr, "replay: %s\n%s\n", log, text);
        }
        return shader;
    };
    GLuint program = glCreateProgram();
    GLuint v = compile(GL_VERTEX_SHADER, vertex), f = compile(GL_FRAGMENT_SHADER, fragment);
    glAttachShader(program, v);
    glAttachShader(program, f);
    glLinkProgram(program);
    glDeleteShader(v);
    glDeleteShader(f);
    return program;
}

// The two programs of one state combination, every value but the matrices written in.
std::pair<std::string, std::string> Sources(const DeviceState& s, const VertexLayout& layout)
{
    const auto& rs = s.renderStates;
    const auto& st = s.stageStates;
    bool stage0 = st[0][D3DTSS_COLOROP] != D3DTOP_DISABLE;
    bool stage1 = stage0 && st[1][D3DTSS_COLOROP] != D3DTOP_DISABLE;
    bool fog = rs[D3DRS_FOGENABLE] != 0;
    DWORD tableFog = fog && rs[D3DRS_FOGTABLEMODE] <= D3DFOG_LINEAR ? rs[D3DRS_FOGTABLEMODE] : D3DFOG_NONE;
    DWORD vertexFog = fog && tableFog == D3DFOG_NONE && rs[D3DRS_FOGVERTEXMODE] <= D3DFOG_LINEAR
                          ? rs[D3DRS_FOGVERTEXMODE]
                          : D3DFOG_NONE;
    const D3DVIEWPORT8& v = s.viewport;

    std::string vs = "#version 330 core\nlayout(location = 0) in vec4 aPosition;\nlayout(location = 1) in vec4 aDiffuse;\n"
                     "layout(location = 2) in vec2 aCoord0;\nlayout(location = 3) in vec2 aCoord1;\n"
                     "uniform mat4 uWorldView;\nuniform mat4 uProjection;\nout vec4 vDiffuse;\n";
    std::string body = "    vDiffuse = aDiffuse;\n";
    for (int i = 0; i < 2; ++i) {
        if (i == 0 ? !stage0 : !stage1) continue;
        std::string n = std::to_string(i);
        vs += "out vec2 vCoord" + n + ";\n";
        body += "    vCoord" + n + " = aCoord" + std::to_string(std::min<DWORD>(st[i][D3DTSS_TEXCOORDINDEX] & 0xffff, 1)) + ";\n";
    }
    if (fog) vs += "out float vFog;\n";
    if (layout.pretransformed) {
        float range = v.MaxZ - v.MinZ;
        body += "    float w = aPosition.w > 0.0 ? 1.0 / aPosition.w : 1.0;\n"
                "    vec2 ndc = (aPosition.xy + 0.5 - vec2(" + Number(float(v.X)) + ", " + Number(float(v.Y)) + ")) / vec2(" +
                Number(float(v.Width)) + ", " + Number(float(v.Height)) + ") * 2.0 - 1.0;\n"
                "    float z = " + (range != 0 ? "(aPosition.z - " + Number(v.MinZ) + ") / " + Number(range) + " * 2.0 - 1.0" : "-1.0") +
                ";\n    gl_Position = vec4(ndc, z, 1.0) * w;\n";
        if (fog) body += "    vFog = " + (tableFog ? FogFormula(tableFog, "aPosition.z", s) : std::string("1.0")) + ";\n";
    } else {
        body += "    vec4 eye = uWorldView * aPosition;\n    vec4 clip = uProjection * eye;\n"
                "    clip.x += clip.w / " + Number(float(v.Width)) + ";\n    clip.y = -clip.y + clip.w / " +
                Number(float(v.Height)) + ";\n    clip.z = 2.0 * clip.z - clip.w;\n    gl_Position = clip;\n";
        if (fog) {
            std::string distance = rs[D3DRS_RANGEFOGENABLE] ? "length(eye.xyz)" : "eye.z";
            DWORD mode = tableFog ? tableFog : vertexFog;
            body += "    vFog = " + (mode ? FogFormula(mode, tableFog ? "eye.z" : distance, s) : std::string("1.0")) + ";\n";
        }
    }
    vs += "void main()\n{\n" + body + "}\n";

    std::string fs = "#version 330 core\nin vec4 vDiffuse;\nuniform sampler2D uTexture0;\nuniform sampler2D uTexture1;\nout vec4 oColor;\n";
    std::string main = "    vec4 c = vDiffuse;\n";
    for (int i = 0; i < 2; ++i) {
        if (i == 0 ? !stage0 : !stage1) continue;
        std::string n = std::to_string(i);
        fs += "in vec2 vCoord" + n + ";\n";
        const auto& ss = st[i];
        DWORD factor = rs[D3DRS_TEXTUREFACTOR];
        std::string color = Combine(ss[D3DTSS_COLOROP], Argument(ss[D3DTSS_COLORARG1], factor), Argument(ss[D3DTSS_COLORARG2], factor));
        std::string alpha = ss[D3DTSS_ALPHAOP] == D3DTOP_DISABLE
                                ? "c"
                                : Combine(ss[D3DTSS_ALPHAOP], Argument(ss[D3DTSS_ALPHAARG1], factor),
                                          Argument(ss[D3DTSS_ALPHAARG2], factor));
        auto reads = [&](D3DTEXTURESTAGESTATETYPE op, D3DTEXTURESTAGESTATETYPE a1, D3DTEXTURESTAGESTATETYPE a2) {
            bool first = ss[op] != D3DTOP_DISABLE && ss[op] != D3DTOP_SELECTARG2;
            bool second = ss[op] >= D3DTOP_SELECTARG2;
            return (first && (ss[a1] & D3DTA_SELECTMASK) == D3DTA_TEXTURE) || (second && (ss[a2] & D3DTA_SELECTMASK) == D3DTA_TEXTURE);
        };
        bool samples = s.textures[size_t(i)] && (reads(D3DTSS_COLOROP, D3DTSS_COLORARG1, D3DTSS_COLORARG2) ||
                                                 reads(D3DTSS_ALPHAOP, D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2));
        std::string texel = samples ? "texture(uTexture" + n + ", vCoord" + n + ")" : "vec4(1.0)";
        main += "    {\n        vec4 t = " + texel +
                ";\n        c = vec4(" + color + ".rgb, " + alpha + ".a);\n    }\n";
    }
    if (rs[D3DRS_ALPHATESTENABLE] && rs[D3DRS_ALPHAFUNC] != D3DCMP_ALWAYS) {
        static const char* const kCompare[] = {"", "false", "<", "==", "<=", ">", "!=", ">="};
        DWORD func = rs[D3DRS_ALPHAFUNC];
        std::string ref = Number(float(rs[D3DRS_ALPHAREF] & 255));
        std::string test = func == D3DCMP_NEVER ? "false"
                           : func < 8           ? "floor(c.a * 255.0 + 0.5) " + std::string(kCompare[func]) + " " + ref
                                                : "true";
        main += "    if (!(" + test + ")) discard;\n";
    }
    if (fog) {
        fs += "in float vFog;\n";
        main += "    c.rgb = mix(" + Vec4(rs[D3DRS_FOGCOLOR]) + ".rgb, c.rgb, vFog);\n";
    }
    fs += "void main()\n{\n" + main + "    oColor = c;\n}\n";
    return {vs, fs};
}

}  // namespace

bool FrameReplay::SamplerKey::operator<(const SamplerKey& o) const
{
    return std::tie(mag, min, wrapS, wrapT, minLod, border[0], border[1], border[2], border[3]) <
           std::tie(o.mag, o.min, o.wrapS, o.wrapT, o.minLod, o.border[0], o.border[1], o.border[2], o.border[3]);
}

FrameReplay::FrameReplay(UINT width, UINT height, D3DCOLOR clearColour) : m_width(width), m_height(height)
{
    m_clear[0] = float((clearColour >> 16) & 255) / 255.0f;
    m_clear[1] = float((clearColour >> 8) & 255) / 255.0f;
    m_clear[2] = float(clearColour & 255) / 255.0f;
    m_clear[3] = float(clearColour >> 24) / 255.0f;
}

FrameReplay::~FrameReplay()
{
    if (m_context == EGL_NO_CONTEXT) return;
    RunOnContext([this] {
        for (const Program& p : m_programs) glDeleteProgram(p.name);
        glDeleteSamplers(GLsizei(m_samplers.size()), m_samplers.data());
        GLuint buffers[] = {m_staticBuffer, m_dynamicBuffer, m_indexBuffer};
        glDeleteBuffers(3, buffers);
        GLuint arrays[] = {m_staticArray, m_dynamicArray};
        glDeleteVertexArrays(2, arrays);
        glDeleteFramebuffers(1, &m_framebuffer);
        glDeleteRenderbuffers(1, &m_depth);
        glDeleteTextures(1, &m_colour);
    });
    eglDestroyContext(m_display, m_context);
}

void FrameReplay::RunOnContext(const std::function<void()>& job)
{
    EGLContext standIn = eglGetCurrentContext();
    EGLSurface draw = eglGetCurrentSurface(EGL_DRAW), read = eglGetCurrentSurface(EGL_READ);
    if (m_context == EGL_NO_CONTEXT) {
        // Shares objects with the stand-in's context, so its textures sample here as they are.
        static const EGLint kAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                             EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                             EGL_NONE};
        m_display = eglGetCurrentDisplay();
        m_context = eglCreateContext(m_display, EGL_NO_CONFIG_KHR, standIn, kAttributes);
    }
    eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, m_context);
    job();
    eglMakeCurrent(m_display, draw, read, standIn);
}

bool FrameReplay::Capture(const void* opaque, std::vector<Draw>* into, std::string* why)
{
    const auto& call = *static_cast<const DrawCall*>(opaque);
    const DeviceState& s = call.state;
    const auto& rs = s.renderStates;
    Draw draw;
    draw.mode = call.mode;
    draw.indexed = call.indexed;

    // The vertices the draw reads, in one layout for all draws.
    std::vector<uint32_t> indices;
    UINT lowest = call.firstVertex, highest = call.firstVertex + call.count - 1;
    if (call.indexed) {
        IndexBuffer* ib = s.indices.get();
        const BYTE* data = ib->Bytes().Data() + size_t(call.firstIndex) * ib->IndexSize();
        lowest = ~0u;
        highest = 0;
        for (UINT i = 0; i < call.count; ++i) {
            UINT index = ib->IndexSize() == 2 ? UINT(data[2 * i] | (data[2 * i + 1] << 8))
                                              : UINT(data[4 * i] | (data[4 * i + 1] << 8) | (data[4 * i + 2] << 16) |
                                                     (UINT(data[4 * i + 3]) << 24));
            indices.push_back(index);
            lowest = std::min(lowest, index);
            highest = std::max(highest, index);
        }
        for (uint32_t& index : indices) index -= lowest;
        lowest += s.baseVertexIndex;
        highest += s.baseVertexIndex;
        draw.sources.push_back(reinterpret_cast<uintptr_t>(ib));
        draw.sources.push_back(uintptr_t(ib->Bytes().Generation()));
    }
    for (UINT i = 0; i < kInputCount; ++i) {
        const VertexAttribute& a = call.layout.inputs[i];
        if (!a.present) continue;
        bool known = (a.type == GL_FLOAT && a.components <= 4) || (a.components == GL_BGRA && a.type == GL_UNSIGNED_BYTE);
        if (!known || (i == kInputDiffuse) != (a.components == GL_BGRA)) {
            *why = "a vertex input of a type the replay does not read";
            return false;
        }
    }
    draw.vertices.resize(size_t(highest - lowest + 1));
    for (UINT i = 0; i < kInputCount; ++i) {
        const VertexAttribute& a = call.layout.inputs[i];
        const BYTE* base;
        UINT stride;
        if (!a.present) {
            for (Vertex& v : draw.vertices) {
                if (i == kInputDiffuse) v.diffuse = 0xffffffffu;
                if (i == kInputPosition) v.position[3] = 1.0f;
            }
            continue;
        }
        if (call.userVertices) {
            base = static_cast<const BYTE*>(call.userVertices);
            stride = call.userStride;
            draw.sources.push_back(0);  // rewritten by every draw
        } else {
            VertexBuffer* vb = s.streams[a.stream].buffer.get();
            base = vb->Bytes().Data();
            stride = s.streams[a.stream].stride;
            draw.sources.push_back(reinterpret_cast<uintptr_t>(vb));
            draw.sources.push_back(uintptr_t(vb->Bytes().Generation()));
        }
        for (UINT n = lowest; n <= highest; ++n) {
            Vertex& v = draw.vertices[n - lowest];
            const BYTE* p = base + size_t(n) * stride + a.offset;
            float f[4] = {0, 0, 0, 1};
            if (a.components != GL_BGRA) std::memcpy(f, p, size_t(a.components) * 4);
            switch (i) {
            case kInputPosition: std::memcpy(v.position, f, sizeof v.position); break;
            case kInputDiffuse: std::memcpy(&v.diffuse, p, 4); break;
            case kInputTexture0: std::memcpy(v.coord0, f, sizeof v.coord0); break;
            default: std::memcpy(v.coord1, f, sizeof v.coord1); break;
            }
        }
    }
    draw.indices = std::move(indices);
    draw.count = GLsizei(call.count);

    // The state outside the program.
    if (rs[D3DRS_FILLMODE] != D3DFILL_SOLID) {
        *why = "a fill mode the replay does not draw";
        return false;
    }
    Fixed& f = draw.fixed;
    f.blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
    bool known = true;
    if (f.blend) {
        f.source = Blend(rs[D3DRS_SRCBLEND], &known);
        f.destination = Blend(rs[D3DRS_DESTBLEND], &known);
    }
    for (int c = 0; c < 4; ++c) f.mask[c] = (rs[D3DRS_COLORWRITEENABLE] >> c) & 1 ? GL_TRUE : GL_FALSE;
    f.depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    static const GLenum kCompare[] = {GL_ALWAYS, GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    f.depthFunc = kCompare[std::min<DWORD>(rs[D3DRS_ZFUNC], 8)];
    f.depthWrite = rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE;
    f.cull = rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_CW : rs[D3DRS_CULLMODE] == D3DCULL_CCW ? GL_CCW : 0;
    if (!known) {
        *why = "a blend the replay does not know";
        return false;
    }

    // The matrices, multiplied as the stand-in does, so the same vertices land on the same pixels.
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            draw.worldView[4 * i + j] = s.world.m[i][0] * s.view.m[0][j] + s.world.m[i][1] * s.view.m[1][j] +
                                        s.world.m[i][2] * s.view.m[2][j] + s.world.m[i][3] * s.view.m[3][j];
        }
    }
    std::memcpy(draw.projection, &s.projection.m[0][0], sizeof draw.projection);

    for (UINT stage = 0; stage < 2; ++stage) {
        Texture* texture = s.textures[stage].get();
        if (!texture) continue;
        draw.sources2D[stage] = texture;
        const auto& ss = s.stageStates[stage];
        auto linear = [](DWORD filter) { return filter >= D3DTEXF_LINEAR; };
        bool minLinear = linear(ss[D3DTSS_MINFILTER]);
        SamplerKey key{};
        key.mag = linear(ss[D3DTSS_MAGFILTER]) ? GL_LINEAR : GL_NEAREST;
        key.min = ss[D3DTSS_MIPFILTER] == D3DTEXF_NONE    ? (minLinear ? GL_LINEAR : GL_NEAREST)
                  : ss[D3DTSS_MIPFILTER] == D3DTEXF_POINT ? (minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST)
                                                          : (minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR);
        key.wrapS = WrapOf(ss[D3DTSS_ADDRESSU]);
        key.wrapT = WrapOf(ss[D3DTSS_ADDRESSV]);
        key.minLod = GLint(ss[D3DTSS_MAXMIPLEVEL]);
        DWORD border = ss[D3DTSS_BORDERCOLOR];
        for (int c = 0; c < 4; ++c) key.border[c] = float((border >> (c == 3 ? 24 : 16 - 8 * c)) & 255) / 255.0f;
        draw.samplers[stage] = SamplerFor(key);
    }
    auto [vertexSource, fragmentSource] = Sources(s, call.layout);
    draw.program = ProgramFor(vertexSource, fragmentSource);
    into->push_back(std::move(draw));
    return true;
}

size_t FrameReplay::ProgramFor(const std::string& vertexSource, const std::string& fragmentSource)
{
    auto [it, added] = m_programIndex.try_emplace(vertexSource + fragmentSource, m_programSources.size());
    if (added) m_programSources.emplace_back(vertexSource, fragmentSource);
    return it->second;
}

size_t FrameReplay::SamplerFor(const SamplerKey& key)
{
    for (size_t i = 0; i < m_samplerKeys.size(); ++i) {
        if (!(m_samplerKeys[i] < key) && !(key < m_samplerKeys[i])) return i;
    }
    m_samplerKeys.push_back(key);
    return m_samplerKeys.size() - 1;
}

bool FrameReplay::Record(IDirect3DDevice8* device, const std::function<void()>& frame, std::string* why)
{
    auto* implementation = dynamic_cast<Device*>(device);
    if (!implementation) {
        *why = "not the stand-in's device";
        return false;
    }
    std::vector<Draw> frames[2];
    bool ok = true;
    for (auto& draws : frames) {
        implementation->WatchDraws([&](const DrawCall& call) {
            if (ok) ok = Capture(&call, &draws, why);
        });
        frame();
    }
    implementation->WatchDraws(nullptr);
    if (!ok) return false;

    // A draw whose vertices came from the same bytes as the same draw of the frame before keeps
    // them; the others are rewritten each frame and uploaded with the frame.
    m_draws = std::move(frames[1]);
    bool sameList = frames[0].size() == m_draws.size();
    for (size_t i = 0; i < m_draws.size(); ++i) {
        Draw& d = m_draws[i];
        d.dynamic = !sameList || d.sources != frames[0][i].sources ||
                    std::find(d.sources.begin(), d.sources.end(), 0u) != d.sources.end();
        std::vector<Vertex>& target = d.dynamic ? m_dynamicVertices : m_staticVertices;
        d.first = GLint(target.size());
        target.insert(target.end(), d.vertices.begin(), d.vertices.end());
        if (d.indexed) {
            d.firstIndex = m_indices.size();
            m_indices.insert(m_indices.end(), d.indices.begin(), d.indices.end());
        }
        d.vertices = {};
        d.indices = {};
    }
    RunOnContext([this] { Build(); });
    return true;
}

void FrameReplay::Build()
{
    for (const auto& [vertex, fragment] : m_programSources) {
        Program p;
        p.name = CompileProgram(vertex, fragment);
        glUseProgram(p.name);
        glUniform1i(glGetUniformLocation(p.name, "uTexture1"), 1);
        p.worldView = glGetUniformLocation(p.name, "uWorldView");
        p.projection = glGetUniformLocation(p.name, "uProjection");
        m_programs.push_back(p);
    }
    m_samplers.resize(m_samplerKeys.size());
    glGenSamplers(GLsizei(m_samplers.size()), m_samplers.data());
    for (size_t i = 0; i < m_samplers.size(); ++i) {
        const SamplerKey& k = m_samplerKeys[i];
        glSamplerParameteri(m_samplers[i], GL_TEXTURE_MAG_FILTER, k.mag);
        glSamplerParameteri(m_samplers[i], GL_TEXTURE_MIN_FILTER, k.min);
        glSamplerParameteri(m_samplers[i], GL_TEXTURE_WRAP_S, k.wrapS);
        glSamplerParameteri(m_samplers[i], GL_TEXTURE_WRAP_T, k.wrapT);
        glSamplerParameterfv(m_samplers[i], GL_TEXTURE_BORDER_COLOR, k.border);
        glSamplerParameterf(m_samplers[i], GL_TEXTURE_MIN_LOD, float(k.minLod));
    }
    glGenBuffers(1, &m_indexBuffer);
    glGenBuffers(1, &m_staticBuffer);
    glGenBuffers(1, &m_dynamicBuffer);
    auto makeArray = [&](GLuint buffer, const std::vector<Vertex>& vertices, GLenum usage) {
        GLuint array = 0;
        glGenVertexArrays(1, &array);
        glBindVertexArray(array);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(std::max<size_t>(vertices.size(), 1) * sizeof(Vertex)), vertices.data(),
                     usage);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, position)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, diffuse)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, coord0)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, coord1)));
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
        return array;
    };
    m_staticArray = makeArray(m_staticBuffer, m_staticVertices, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(std::max<size_t>(m_indices.size(), 1) * 4), m_indices.data(),
                 GL_STATIC_DRAW);
    m_dynamicArray = makeArray(m_dynamicBuffer, m_dynamicVertices, GL_STREAM_DRAW);

    glGenTextures(1, &m_colour);
    glBindTexture(GL_TEXTURE_2D, m_colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(m_width), GLsizei(m_height), 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glGenRenderbuffers(1, &m_depth);
    glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, GLsizei(m_width), GLsizei(m_height));
    glGenFramebuffers(1, &m_framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_colour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depth);
    glViewport(0, 0, GLsizei(m_width), GLsizei(m_height));
    m_picture.resize(size_t(m_width) * m_height);
    // The stand-in's own GL textures: uploaded once with their levels, shared by every context.
    for (Draw& d : m_draws) {
        for (int stage = 0; stage < 2; ++stage) {
            if (d.sources2D[stage]) d.textures[stage] = static_cast<Texture*>(const_cast<void*>(d.sources2D[stage]))->Upload();
        }
    }
}

void FrameReplay::ApplyFixed(const Fixed& f)
{
    if (m_fixedKnown && f == m_fixed) return;
    if (!m_fixedKnown) {
        // Everything differs from what the context holds until set once.
        m_fixed = f;
        m_fixed.blend = !f.blend;
        m_fixed.source = m_fixed.destination = GL_INVALID_ENUM;
        m_fixed.mask[0] = !f.mask[0];
        m_fixed.depthTest = !f.depthTest;
        m_fixed.depthFunc = GL_INVALID_ENUM;
        m_fixed.depthWrite = !f.depthWrite;
        m_fixed.cull = f.cull ? 0 : GL_CW;
        m_fixedKnown = true;
    }
    if (f.blend != m_fixed.blend) f.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    if (f.source != m_fixed.source || f.destination != m_fixed.destination) glBlendFunc(f.source, f.destination);
    if (!std::equal(f.mask, f.mask + 4, m_fixed.mask)) glColorMask(f.mask[0], f.mask[1], f.mask[2], f.mask[3]);
    if (f.depthTest != m_fixed.depthTest) f.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    if (f.depthFunc != m_fixed.depthFunc) glDepthFunc(f.depthFunc);
    if (f.depthWrite != m_fixed.depthWrite) glDepthMask(f.depthWrite);
    if (f.cull != m_fixed.cull) {
        if (f.cull) {
            glEnable(GL_CULL_FACE);
            glFrontFace(f.cull);
        } else {
            glDisable(GL_CULL_FACE);
        }
    }
    m_fixed = f;
}

void FrameReplay::Frame()
{
    RunOnContext([this] {
        timespec start{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        ApplyFixed(Fixed{m_fixed.blend, m_fixed.source, m_fixed.destination, {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE},
                         m_fixed.depthTest, m_fixed.depthFunc, GL_TRUE, m_fixed.cull});
        glClearColor(m_clear[0], m_clear[1], m_clear[2], m_clear[3]);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // What the program rewrote this frame goes up in one piece.
        if (!m_dynamicVertices.empty()) {
            glBindBuffer(GL_ARRAY_BUFFER, m_dynamicBuffer);
            glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(m_dynamicVertices.size() * sizeof(Vertex)), m_dynamicVertices.data());
        }
        for (Program& p : m_programs) p.lastWorldView = p.lastProjection = nullptr;
        size_t program = ~size_t(0);
        GLuint array = 0, textures[2] = {~0u, ~0u}, samplers[2] = {~0u, ~0u};
        for (const Draw& d : m_draws) {
            Program& p = m_programs[d.program];
            if (d.program != program) {
                glUseProgram(p.name);
                program = d.program;
            }
            if (p.worldView >= 0 && (!p.lastWorldView || std::memcmp(p.lastWorldView, d.worldView, sizeof d.worldView))) {
                glUniformMatrix4fv(p.worldView, 1, GL_FALSE, d.worldView);
                p.lastWorldView = d.worldView;
            }
            if (p.projection >= 0 && (!p.lastProjection || std::memcmp(p.lastProjection, d.projection, sizeof d.projection))) {
                glUniformMatrix4fv(p.projection, 1, GL_FALSE, d.projection);
                p.lastProjection = d.projection;
            }
            ApplyFixed(d.fixed);
            for (int stage = 0; stage < 2; ++stage) {
                if (!d.textures[stage]) continue;
                if (textures[stage] != d.textures[stage]) {
                    glActiveTexture(GL_TEXTURE0 + GLenum(stage));
                    glBindTexture(GL_TEXTURE_2D, d.textures[stage]);
                    textures[stage] = d.textures[stage];
                }
                if (samplers[stage] != m_samplers[d.samplers[stage]]) {
                    glBindSampler(GLuint(stage), m_samplers[d.samplers[stage]]);
                    samplers[stage] = m_samplers[d.samplers[stage]];
                }
            }
            GLuint wanted = d.dynamic ? m_dynamicArray : m_staticArray;
            if (wanted != array) {
                glBindVertexArray(wanted);
                array = wanted;
            }
            if (d.indexed) {
                glDrawElementsBaseVertex(d.mode, d.count, GL_UNSIGNED_INT, reinterpret_cast<void*>(d.firstIndex * 4), d.first);
            } else {
                glDrawArrays(d.mode, d.first, d.count);
            }
        }
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, GLsizei(m_width), GLsizei(m_height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, m_picture.data());
        timespec end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        m_lastCpu = double(end.tv_sec - start.tv_sec) + double(end.tv_nsec - start.tv_nsec) * 1e-9;
    });
}

}  // namespace yonda::bench
