// The Direct3D stand-in against plain OpenGL on the same scene: 200,000 textured triangles in
// 2,000 draw calls with a texture, alpha-test, cull and world-matrix change before each call.
// Goals: the stand-in's frame costs at most 1.3 times the plain one; 10,000 one-triangle draws
// with state changes take under 5 ms.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "GlContext.h"
#include "d3dx8.h"

namespace {

using yonda::d3d8::GlContext;

constexpr UINT kWidth = 800;
constexpr UINT kHeight = 600;
constexpr int kDraws = 2000;
constexpr int kTrianglesPerDraw = 100;
constexpr int kTextures = 4;

struct Vertex {
    float x, y, z;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

std::vector<Vertex> MakeTriangles(int count)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> x(-380, 380), y(-280, 280), z(10, 900);
    std::vector<Vertex> vertices;
    vertices.reserve(size_t(count) * 3);
    for (int i = 0; i < count; ++i) {
        float cx = x(random), cy = y(random), cz = z(random);
        D3DCOLOR colour = 0xff000000u | (random() & 0xffffff);
        vertices.push_back({cx - 6, cy - 5, cz, colour, 0, 1});
        vertices.push_back({cx, cy + 6, cz, colour, 0.5f, 0});
        vertices.push_back({cx + 6, cy - 5, cz, colour, 1, 1});
    }
    return vertices;
}

std::vector<D3DXMATRIX> Worlds()
{
    std::vector<D3DXMATRIX> worlds(8);
    for (int i = 0; i < 8; ++i)
        D3DXMatrixTranslation(&worlds[size_t(i)], float(i) * 2 - 8, float(i % 3) - 1, 0);
    return worlds;
}

D3DXMATRIX Projection()
{
    D3DXMATRIX projection;
    D3DXMatrixOrthoLH(&projection, float(kWidth), float(kHeight), 1, 1000);
    return projection;
}

class StandIn {
public:
    explicit StandIn(int triangles)
    {
        m_d3d = Direct3DCreate8(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.hDeviceWindow = reinterpret_cast<HWND>(0x10);
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        m_d3d->CreateDevice(0, D3DDEVTYPE_HAL, pp.hDeviceWindow, 0x24, &pp, &m_device);
        std::vector<Vertex> vertices = MakeTriangles(triangles);
        m_device->CreateVertexBuffer(UINT(vertices.size() * sizeof(Vertex)), D3DUSAGE_WRITEONLY, kFvf, D3DPOOL_DEFAULT,
                                     &m_buffer);
        BYTE* data = nullptr;
        m_buffer->Lock(0, 0, &data, 0);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(Vertex));
        m_buffer->Unlock();
        for (int t = 0; t < kTextures; ++t) {
            m_device->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_textures[t]);
            for (DWORD level = 0; level < m_textures[t]->GetLevelCount(); ++level) {
                D3DSURFACE_DESC desc;
                m_textures[t]->GetLevelDesc(level, &desc);
                D3DLOCKED_RECT locked;
                m_textures[t]->LockRect(level, &locked, nullptr, 0);
                for (UINT i = 0; i < desc.Width * desc.Height; ++i)
                    static_cast<DWORD*>(locked.pBits)[i] = 0xffffffffu - DWORD(t) * 0x303030u;
                m_textures[t]->UnlockRect(level);
            }
        }
        D3DXMATRIX projection = Projection();
        m_device->SetTransform(D3DTS_PROJECTION, &projection);
        m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
        m_device->SetRenderState(D3DRS_ALPHAREF, 8);
        m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        m_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        m_device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
        m_device->SetVertexShader(kFvf);
        m_device->SetStreamSource(0, m_buffer, sizeof(Vertex));
        m_worlds = Worlds();
    }
    ~StandIn()
    {
        m_device->SetStreamSource(0, nullptr, 0);
        m_device->SetTexture(0, nullptr);
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        m_buffer->Release();
        m_device->Release();
        m_d3d->Release();
    }

    void Frame(int draws, int trianglesPerDraw)
    {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xff203040u, 1.0f, 0);
        m_device->BeginScene();
        for (int i = 0; i < draws; ++i) {
            m_device->SetTexture(0, m_textures[i % kTextures]);
            m_device->SetRenderState(D3DRS_ALPHATESTENABLE, i & 1);
            m_device->SetRenderState(D3DRS_CULLMODE, i % 3 == 0 ? D3DCULL_CW : D3DCULL_NONE);
            m_device->SetTransform(D3DTS_WORLD, &m_worlds[size_t(i) % m_worlds.size()]);
            m_device->DrawPrimitive(D3DPT_TRIANGLELIST, UINT(i * trianglesPerDraw * 3), UINT(trianglesPerDraw));
        }
        m_device->EndScene();
        glFinish();
    }

private:
    IDirect3D8* m_d3d = nullptr;
    IDirect3DDevice8* m_device = nullptr;
    IDirect3DVertexBuffer8* m_buffer = nullptr;
    IDirect3DTexture8* m_textures[kTextures] = {};
    std::vector<D3DXMATRIX> m_worlds;
};

const char* const kPlainVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec4 aColour;
layout(location = 2) in vec2 aCoord;
uniform mat4 uWorld;
uniform mat4 uProjection;
out vec4 vColour;
out vec2 vCoord;
void main() { vColour = aColour; vCoord = aCoord; gl_Position = uProjection * uWorld * vec4(aPosition, 1.0); }
)";
const char* const kPlainFragment = R"(#version 330 core
in vec4 vColour;
in vec2 vCoord;
uniform sampler2D uTexture;
uniform bool uAlphaTest;
out vec4 oColour;
void main() {
    vec4 c = texture(uTexture, vCoord) * vColour;
    if (uAlphaTest && c.a < 8.0 / 255.0) discard;
    oColour = c;
}
)";

class PlainGl {
public:
    PlainGl()
    {
        GlContext::MakeCurrent();
        auto compile = [](GLenum kind, const char* source) {
            GLuint shader = glCreateShader(kind);
            glShaderSource(shader, 1, &source, nullptr);
            glCompileShader(shader);
            return shader;
        };
        m_program = glCreateProgram();
        glAttachShader(m_program, compile(GL_VERTEX_SHADER, kPlainVertex));
        glAttachShader(m_program, compile(GL_FRAGMENT_SHADER, kPlainFragment));
        glLinkProgram(m_program);
        m_world = glGetUniformLocation(m_program, "uWorld");
        m_alphaTest = glGetUniformLocation(m_program, "uAlphaTest");
        glGenVertexArrays(1, &m_vertexArray);
        glBindVertexArray(m_vertexArray);
        std::vector<Vertex> vertices = MakeTriangles(kDraws * kTrianglesPerDraw);
        glGenBuffers(1, &m_buffer);
        glBindBuffer(GL_ARRAY_BUFFER, m_buffer);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(Vertex)), vertices.data(), GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(12));
        glEnableVertexAttribArray(2);
        glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(16));
        glGenTextures(kTextures, m_textures);
        std::vector<uint32_t> texels(64 * 64);
        for (int t = 0; t < kTextures; ++t) {
            std::fill(texels.begin(), texels.end(), 0xffffffffu - uint32_t(t) * 0x303030u);
            glBindTexture(GL_TEXTURE_2D, m_textures[t]);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
            glGenerateMipmap(GL_TEXTURE_2D);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        }
        glGenTextures(1, &m_colour);
        glBindTexture(GL_TEXTURE_2D, m_colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kWidth, kHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glGenRenderbuffers(1, &m_depth);
        glBindRenderbuffer(GL_RENDERBUFFER, m_depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, kWidth, kHeight);
        glGenFramebuffers(1, &m_framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_colour, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, m_depth);
        glUseProgram(m_program);
        D3DXMATRIX projection = Projection();
        glUniformMatrix4fv(glGetUniformLocation(m_program, "uProjection"), 1, GL_FALSE, &projection._11);
        m_worlds = Worlds();
    }
    ~PlainGl()
    {
        glDeleteFramebuffers(1, &m_framebuffer);
        glDeleteRenderbuffers(1, &m_depth);
        glDeleteTextures(1, &m_colour);
        glDeleteTextures(kTextures, m_textures);
        glDeleteBuffers(1, &m_buffer);
        glDeleteVertexArrays(1, &m_vertexArray);
        glDeleteProgram(m_program);
    }

    void Frame(int draws = kDraws, int trianglesPerDraw = kTrianglesPerDraw)
    {
        // The stand-in shares this thread's context: set everything this frame relies on.
        glBindFramebuffer(GL_FRAMEBUFFER, m_framebuffer);
        glBindVertexArray(m_vertexArray);
        glUseProgram(m_program);
        glBindSampler(0, 0);
        glActiveTexture(GL_TEXTURE0);
        glViewport(0, 0, kWidth, kHeight);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
        glClearColor(0.125f, 0.1875f, 0.25f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int i = 0; i < draws; ++i) {
            glBindTexture(GL_TEXTURE_2D, m_textures[i % kTextures]);
            glUniform1i(m_alphaTest, i & 1);
            if (i % 3 == 0) {
                glEnable(GL_CULL_FACE);
            } else {
                glDisable(GL_CULL_FACE);
            }
            glUniformMatrix4fv(m_world, 1, GL_FALSE, &m_worlds[size_t(i) % m_worlds.size()]._11);
            glDrawArrays(GL_TRIANGLES, i * trianglesPerDraw * 3, trianglesPerDraw * 3);
        }
        glFinish();
    }

private:
    GLuint m_program = 0, m_vertexArray = 0, m_buffer = 0, m_textures[kTextures] = {}, m_colour = 0, m_depth = 0,
           m_framebuffer = 0;
    GLint m_world = -1, m_alphaTest = -1;
    std::vector<D3DXMATRIX> m_worlds;
};

void StandInScene(benchmark::State& state)
{
    StandIn scene(kDraws * kTrianglesPerDraw);
    scene.Frame(kDraws, kTrianglesPerDraw); // uploads happen once, before timing
    for (auto _ : state)
        scene.Frame(kDraws, kTrianglesPerDraw);
    state.counters["triangles"] = kDraws * kTrianglesPerDraw;
}
BENCHMARK(StandInScene)->Unit(benchmark::kMillisecond)->UseRealTime();

void PlainGlScene(benchmark::State& state)
{
    PlainGl scene;
    scene.Frame();
    for (auto _ : state)
        scene.Frame();
    state.counters["triangles"] = kDraws * kTrianglesPerDraw;
}
BENCHMARK(PlainGlScene)->Unit(benchmark::kMillisecond)->UseRealTime();

void StandInSmallDraws(benchmark::State& state)
{
    StandIn scene(10000);
    scene.Frame(10000, 1);
    for (auto _ : state)
        scene.Frame(10000, 1);
}
BENCHMARK(StandInSmallDraws)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 10,000 draws straight through GL: what the renderer itself costs per call.
void PlainGlSmallDraws(benchmark::State& state)
{
    PlainGl scene;
    scene.Frame(10000, 1);
    for (auto _ : state)
        scene.Frame(10000, 1);
}
BENCHMARK(PlainGlSmallDraws)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
