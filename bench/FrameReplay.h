// The floor of a frame: its draws recorded from the Direct3D stand-in (vertices, indices, textures,
// states) and replayed straight through OpenGL. Everything a draw needs sits in one vertex and one
// index buffer in one layout; the vertices the program rewrote during the frame go up again each
// frame in one piece, the rest once; textures are the stand-in's, uploaded once with their
// levels. Each combination of states and values has a program of its own, the stand-in's GLSL for
// that combination (only its path, the cheapest that gives the same pixels) with its values set
// once, so a draw sets at most its two matrices and the GL state that differs from the draw
// before. What the stand-in spends beyond this is its own.
#pragma once

#include <d3d8.h>

#include <EGL/egl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FixedFunction.h"
#include "GlContext.h"

namespace yonda::bench {

class FrameReplay {
public:
    FrameReplay(UINT width, UINT height, D3DCOLOR clearColour);
    ~FrameReplay();

    // Records the draws of frame() (called twice: the second frame is the one replayed, the
    // first tells which vertices the program rewrites each frame). False, with a reason, when
    // the frame uses what the replay does not know.
    bool Record(IDirect3DDevice8* device, const std::function<void()>& frame, std::string* why);
    // One frame: cleared, drawn, and read back once, as a frame on its way to a window.
    void Frame();
    // The last frame's pixels, 0xAARRGGBB from the top row.
    const std::vector<uint32_t>& Picture() const { return m_picture; }
    // The CPU time the last frame took on the thread that drew it (the renderer's own threads aside).
    double LastCpuSeconds() const { return m_lastCpu; }

    size_t Draws() const { return m_draws.size(); }
    size_t Programs() const { return m_programs.size(); }
    size_t DynamicBytes() const { return m_dynamicVertices.size() * sizeof(Vertex); }
    size_t Vertices() const { return m_staticVertices.size() + m_dynamicVertices.size(); }
    size_t Indices() const { return m_indices.size(); }

private:
    struct Vertex {
        float position[4];
        uint32_t diffuse;
        float coord0[2];
        float coord1[2];
    };
    struct Fixed { // GL state a draw sets outside its program
        bool blend = false;
        GLenum source = GL_ONE, destination = GL_ZERO;
        GLboolean mask[4] = {GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE};
        bool depthTest = false;
        GLenum depthFunc = GL_LESS;
        GLboolean depthWrite = GL_TRUE;
        GLenum cull = 0; // 0: none, else the front face
        bool operator==(const Fixed&) const = default;
    };
    struct Draw {
        size_t program = 0;
        Fixed fixed;
        float worldView[16];
        float projection[16];
        const void* sources2D[2] = {}; // the stand-in's textures, whose GL names the replay samples
        GLuint textures[2] = {};
        size_t samplers[2] = {};
        GLenum mode = GL_TRIANGLES;
        bool dynamic = false;
        bool indexed = false;
        GLint first = 0; // first vertex (arrays) or base vertex (indexed)
        GLsizei count = 0;
        size_t firstIndex = 0;
        // Recorded data, moved into the shared buffers once the frame is known.
        std::vector<Vertex> vertices;
        std::vector<uint32_t> indices;
        std::vector<uintptr_t> sources; // identity and generation of what the vertices came from
    };
    struct Program {
        d3d8::FixedFunction::Key key;
        d3d8::FixedFunction::Values values; // all but the matrices, set once
        GLuint name = 0;
        GLint worldView = -1, projection = -1;
        const float* lastWorldView = nullptr;
        const float* lastProjection = nullptr;
    };
    struct SamplerKey {
        GLint mag, min, wrapS, wrapT, minLod;
        float border[4];
        bool operator<(const SamplerKey& o) const;
    };

    // Runs job with the replay's own context current on this thread, then gives the stand-in
    // its context back: the two never see each other's GL state.
    void RunOnContext(const std::function<void()>& job);
    bool Capture(const void* call, std::vector<Draw>* into, std::string* why);
    size_t ProgramFor(const d3d8::FixedFunction::Key& key, const d3d8::FixedFunction::Values& values);
    size_t SamplerFor(const SamplerKey& key);
    void Build();
    void ApplyFixed(const Fixed& fixed);

    UINT m_width, m_height;
    float m_clear[4];
    std::vector<Draw> m_draws;
    std::vector<Vertex> m_staticVertices, m_dynamicVertices;
    std::vector<uint32_t> m_indices;
    std::vector<Program> m_programs;
    std::vector<SamplerKey> m_samplerKeys;
    std::vector<GLuint> m_samplers;
    std::vector<uint32_t> m_picture;
    GLuint m_staticBuffer = 0, m_dynamicBuffer = 0, m_indexBuffer = 0;
    GLuint m_colour = 0, m_depth = 0, m_framebuffer = 0;
    GLuint m_staticArray = 0, m_dynamicArray = 0;
    Fixed m_fixed;
    bool m_fixedKnown = false;
    double m_lastCpu = 0;
    EGLDisplay m_display = EGL_NO_DISPLAY;
    EGLContext m_context = EGL_NO_CONTEXT;
};

} // namespace yonda::bench
