#include "FrameReplay.h"

#include <EGL/eglext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <tuple>

#include "Device.h"
#include "FixedFunction.h"
#include "GlState.h"
#include "IndexBuffer.h"
#include "Texture.h"
#include "VertexBuffer.h"

namespace yonda::bench {
using namespace yonda::d3d8;

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
    if (m_context == EGL_NO_CONTEXT)
        return;
    RunOnContext([this] {
        for (const Program& p : m_programs)
            glDeleteProgram(p.name);
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
        static const EGLint kAttributes[] = {
            EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
            EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
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
        IndexBuffer* ib = s.indices.Get();
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
        for (uint32_t& index : indices)
            index -= lowest;
        lowest += s.baseVertexIndex;
        highest += s.baseVertexIndex;
        draw.sources.push_back(reinterpret_cast<uintptr_t>(ib));
        draw.sources.push_back(uintptr_t(ib->Bytes().Generation()));
    }
    for (UINT i = 0; i < kInputCount; ++i) {
        const VertexAttribute& a = call.layout.inputs[i];
        if (!a.present)
            continue;
        bool known =
            (a.type == GL_FLOAT && a.components <= 4) || (a.components == GL_BGRA && a.type == GL_UNSIGNED_BYTE);
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
                if (i == kInputDiffuse)
                    v.diffuse = 0xffffffffu;
                if (i == kInputPosition)
                    v.position[3] = 1.0f;
            }
            continue;
        }
        if (call.userVertices) {
            base = static_cast<const BYTE*>(call.userVertices);
            stride = call.userStride;
            draw.sources.push_back(0); // rewritten by every draw
        } else {
            VertexBuffer* vb = s.streams[a.stream].buffer.Get();
            base = vb->Bytes().Data();
            stride = s.streams[a.stream].stride;
            draw.sources.push_back(reinterpret_cast<uintptr_t>(vb));
            draw.sources.push_back(uintptr_t(vb->Bytes().Generation()));
        }
        for (UINT n = lowest; n <= highest; ++n) {
            Vertex& v = draw.vertices[n - lowest];
            const BYTE* p = base + size_t(n) * stride + a.offset;
            float f[4] = {0, 0, 0, 1};
            if (a.components != GL_BGRA)
                std::memcpy(f, p, size_t(a.components) * 4);
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
    if (f.blend) {
        BlendFactors factors = GlBlend(rs[D3DRS_SRCBLEND], rs[D3DRS_DESTBLEND]);
        f.source = factors.source;
        f.destination = factors.destination;
    }
    for (int c = 0; c < 4; ++c)
        f.mask[c] = (rs[D3DRS_COLORWRITEENABLE] >> c) & 1 ? GL_TRUE : GL_FALSE;
    f.depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    f.depthFunc = GlCompare(rs[D3DRS_ZFUNC]);
    f.depthWrite = rs[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE;
    f.cull = rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_CW : rs[D3DRS_CULLMODE] == D3DCULL_CCW ? GL_CCW : 0;

    // The stand-in's program for the combination, with the values it draws with: a program per
    // combination of both, so only the matrices change from draw to draw.
    FixedFunction::Values values;
    FixedFunction::FillValues(s, kDirtyAll, &values);
    std::memcpy(draw.worldView, values.worldView, sizeof draw.worldView);
    std::memcpy(draw.projection, values.projection, sizeof draw.projection);
    std::memset(values.worldView, 0, sizeof values.worldView);
    std::memset(values.projection, 0, sizeof values.projection);
    draw.program = ProgramFor(FixedFunction::KeyOf(s, call.layout.pretransformed), values);

    for (UINT stage = 0; stage < 2; ++stage) {
        Texture* texture = s.textures[stage].Get();
        if (!texture)
            continue;
        draw.sources2D[stage] = texture;
        const auto& ss = s.stageStates[stage];
        SamplerFilters filters = GlFilters(ss[D3DTSS_MAGFILTER], ss[D3DTSS_MINFILTER], ss[D3DTSS_MIPFILTER]);
        SamplerKey key{};
        key.mag = filters.mag;
        key.min = filters.min;
        key.wrapS = GlWrap(ss[D3DTSS_ADDRESSU]);
        key.wrapT = GlWrap(ss[D3DTSS_ADDRESSV]);
        key.minLod = GLint(ss[D3DTSS_MAXMIPLEVEL]);
        ColorComponents(ss[D3DTSS_BORDERCOLOR], key.border);
        draw.samplers[stage] = SamplerFor(key);
    }
    into->push_back(std::move(draw));
    return true;
}

size_t FrameReplay::ProgramFor(const FixedFunction::Key& key, const FixedFunction::Values& values)
{
    for (size_t i = 0; i < m_programs.size(); ++i) {
        if (m_programs[i].key == key && std::memcmp(&m_programs[i].values, &values, sizeof values) == 0)
            return i;
    }
    Program program;
    program.key = key;
    program.values = values;
    m_programs.push_back(program);
    return m_programs.size() - 1;
}

size_t FrameReplay::SamplerFor(const SamplerKey& key)
{
    for (size_t i = 0; i < m_samplerKeys.size(); ++i) {
        if (!(m_samplerKeys[i] < key) && !(key < m_samplerKeys[i]))
            return i;
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
            if (ok)
                ok = Capture(&call, &draws, why);
        });
        frame();
    }
    implementation->WatchDraws(nullptr);
    if (!ok)
        return false;

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
    for (Program& p : m_programs) {
        p.name = LinkProgram(FixedFunction::VertexSource(p.key), FixedFunction::FragmentSource(p.key));
        glUseProgram(p.name);
        auto at = [&](const char* name) { return glGetUniformLocation(p.name, name); };
        const FixedFunction::Values& v = p.values;
        glUniform1i(at("uTexture0"), 0);
        glUniform1i(at("uTexture1"), 1);
        glUniform4fv(at("uViewport"), 1, v.viewport);
        glUniform2fv(at("uDepthRange"), 1, v.depthRange);
        glUniform4fv(at("uFactor"), 1, v.factor);
        glUniform1f(at("uAlphaRef"), v.alphaRef);
        glUniform3fv(at("uFog"), 1, v.fog);
        glUniform4fv(at("uFogColor"), 1, v.fogColor);
        p.worldView = at("uWorldView");
        p.projection = at("uProjection");
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
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(std::max<size_t>(vertices.size(), 1) * sizeof(Vertex)),
                     vertices.data(), usage);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<void*>(offsetof(Vertex, position)));
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                              reinterpret_cast<void*>(offsetof(Vertex, diffuse)));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<void*>(offsetof(Vertex, coord0)));
        glEnableVertexAttribArray(3);
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<void*>(offsetof(Vertex, coord1)));
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
            if (d.sources2D[stage])
                d.textures[stage] = static_cast<Texture*>(const_cast<void*>(d.sources2D[stage]))->Upload();
        }
    }
}

void FrameReplay::ApplyFixed(const Fixed& f)
{
    if (m_fixedKnown && f == m_fixed)
        return;
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
    if (f.blend != m_fixed.blend)
        f.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    if (f.source != m_fixed.source || f.destination != m_fixed.destination)
        glBlendFunc(f.source, f.destination);
    if (!std::equal(f.mask, f.mask + 4, m_fixed.mask))
        glColorMask(f.mask[0], f.mask[1], f.mask[2], f.mask[3]);
    if (f.depthTest != m_fixed.depthTest)
        f.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    if (f.depthFunc != m_fixed.depthFunc)
        glDepthFunc(f.depthFunc);
    if (f.depthWrite != m_fixed.depthWrite)
        glDepthMask(f.depthWrite);
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
        ApplyFixed(Fixed{m_fixed.blend,
                         m_fixed.source,
                         m_fixed.destination,
                         {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE},
                         m_fixed.depthTest,
                         m_fixed.depthFunc,
                         GL_TRUE,
                         m_fixed.cull});
        glClearColor(m_clear[0], m_clear[1], m_clear[2], m_clear[3]);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // What the program rewrote this frame goes up in one piece.
        if (!m_dynamicVertices.empty()) {
            glBindBuffer(GL_ARRAY_BUFFER, m_dynamicBuffer);
            glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(m_dynamicVertices.size() * sizeof(Vertex)),
                            m_dynamicVertices.data());
        }
        for (Program& p : m_programs)
            p.lastWorldView = p.lastProjection = nullptr;
        size_t program = ~size_t(0);
        GLuint array = 0, textures[2] = {~0u, ~0u}, samplers[2] = {~0u, ~0u};
        for (const Draw& d : m_draws) {
            Program& p = m_programs[d.program];
            if (d.program != program) {
                glUseProgram(p.name);
                program = d.program;
            }
            if (p.worldView >= 0 &&
                (!p.lastWorldView || std::memcmp(p.lastWorldView, d.worldView, sizeof d.worldView))) {
                glUniformMatrix4fv(p.worldView, 1, GL_FALSE, d.worldView);
                p.lastWorldView = d.worldView;
            }
            if (p.projection >= 0 &&
                (!p.lastProjection || std::memcmp(p.lastProjection, d.projection, sizeof d.projection))) {
                glUniformMatrix4fv(p.projection, 1, GL_FALSE, d.projection);
                p.lastProjection = d.projection;
            }
            ApplyFixed(d.fixed);
            for (int stage = 0; stage < 2; ++stage) {
                if (!d.textures[stage])
                    continue;
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
                glDrawElementsBaseVertex(d.mode, d.count, GL_UNSIGNED_INT, reinterpret_cast<void*>(d.firstIndex * 4),
                                         d.first);
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

} // namespace yonda::bench
