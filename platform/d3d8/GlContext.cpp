#include "GlContext.h"

#include <yonda_d3d8.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>
#include <cstring>
#include <atomic>
#include <mutex>
#include <vector>

namespace yonda::d3d8 {
namespace {

struct Egl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext root = EGL_NO_CONTEXT; // never current: the share group's anchor
    bool ok = false;
};

std::mutex g_pendingMutex;
std::atomic<bool> g_anyPending{false};
std::vector<GLuint> g_pendingTextures;
std::vector<GLuint> g_pendingBuffers;
std::vector<GLuint> g_pendingRenderbuffers;
std::mutex g_rootMutex;
uint64_t g_nextContextId = 1;

const EGLint kContextAttributes[] = {
    EGL_CONTEXT_MAJOR_VERSION,           3,        EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
    EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE,
};

bool HasExtension(const char* list, const char* name)
{
    if (!list)
        return false;
    size_t length = std::strlen(name);
    for (const char* p = std::strstr(list, name); p; p = std::strstr(p + 1, name)) {
        if ((p == list || p[-1] == ' ') && (p[length] == ' ' || p[length] == '\0'))
            return true;
    }
    return false;
}

EGLDisplay OpenDisplay()
{
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    // Surfaceless first: it needs neither a window system nor a GPU.
    if (getPlatformDisplay && HasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
            return display;
    }
    if (getPlatformDisplay && HasExtension(clientExtensions, "EGL_EXT_platform_device")) {
        auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
        EGLDeviceEXT devices[8];
        EGLint count = 0;
        if (queryDevices && queryDevices(8, devices, &count)) {
            for (EGLint i = 0; i < count; ++i) {
                EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
                if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
                    return display;
            }
        }
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    return EGL_NO_DISPLAY;
}

Egl& Instance()
{
    static Egl egl = [] {
        Egl e;
        e.display = OpenDisplay();
        if (e.display == EGL_NO_DISPLAY) {
            std::fprintf(stderr, "d3d8: no EGL display\n");
            return e;
        }
        const char* extensions = eglQueryString(e.display, EGL_EXTENSIONS);
        if (!HasExtension(extensions, "EGL_KHR_surfaceless_context") ||
            !(HasExtension(extensions, "EGL_KHR_no_config_context") ||
              HasExtension(extensions, "EGL_MESA_configless_context"))) {
            std::fprintf(stderr, "d3d8: EGL display cannot render without a surface\n");
            return e;
        }
        if (!eglBindAPI(EGL_OPENGL_API))
            return e;
        e.root = eglCreateContext(e.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, kContextAttributes);
        if (e.root == EGL_NO_CONTEXT) {
            std::fprintf(stderr, "d3d8: no OpenGL 3.3 core context (EGL error 0x%x)\n", eglGetError());
            return e;
        }
        e.ok = true;
        return e;
    }();
    return egl;
}

// This thread's context and the objects GL keeps per context.
struct ThreadContext {
    EGLContext context = EGL_NO_CONTEXT;
    bool current = false;
    uint64_t id = 0;
    GLuint vertexArray = 0;
    GLuint framebuffer = 0;

    ~ThreadContext() { Release(); }

    void Release()
    {
        if (context == EGL_NO_CONTEXT)
            return;
        Egl& egl = Instance();
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, context);
        if (vertexArray)
            glDeleteVertexArrays(1, &vertexArray);
        if (framebuffer)
            glDeleteFramebuffers(1, &framebuffer);
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(egl.display, context);
        eglReleaseThread();
        context = EGL_NO_CONTEXT;
        current = false;
        vertexArray = 0;
        framebuffer = 0;
    }
};

thread_local ThreadContext t_context;

void DeletePending()
{
    if (!g_anyPending.exchange(false))
        return;
    std::vector<GLuint> textures, buffers, renderbuffers;
    {
        std::lock_guard lock(g_pendingMutex);
        textures.swap(g_pendingTextures);
        buffers.swap(g_pendingBuffers);
        renderbuffers.swap(g_pendingRenderbuffers);
    }
    if (!textures.empty())
        glDeleteTextures(GLsizei(textures.size()), textures.data());
    if (!buffers.empty())
        glDeleteBuffers(GLsizei(buffers.size()), buffers.data());
    if (!renderbuffers.empty())
        glDeleteRenderbuffers(GLsizei(renderbuffers.size()), renderbuffers.data());
}

} // namespace

bool GlContext::Available()
{
    return Instance().ok;
}

bool GlContext::MakeCurrent()
{
    Egl& egl = Instance();
    if (!egl.ok)
        return false;
    if (t_context.context == EGL_NO_CONTEXT) {
        std::lock_guard lock(g_rootMutex);
        eglBindAPI(EGL_OPENGL_API);
        EGLContext context = eglCreateContext(egl.display, EGL_NO_CONFIG_KHR, egl.root, kContextAttributes);
        if (context == EGL_NO_CONTEXT)
            return false;
        t_context.context = context;
        t_context.id = g_nextContextId++;
    }
    // Nothing else makes contexts current on the layer's threads, so once is enough.
    if (!t_context.current) {
        if (!eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, t_context.context))
            return false;
        t_context.current = true;
    }
    DeletePending();
    return true;
}

uint64_t GlContext::CurrentId()
{
    return t_context.id;
}

void GlContext::ReleaseThisThread()
{
    t_context.Release();
}

GLuint GlContext::VertexArray()
{
    if (!t_context.vertexArray)
        glGenVertexArrays(1, &t_context.vertexArray);
    return t_context.vertexArray;
}

GLuint GlContext::Framebuffer()
{
    if (!t_context.framebuffer)
        glGenFramebuffers(1, &t_context.framebuffer);
    return t_context.framebuffer;
}

void GlContext::DeleteTexture(GLuint name)
{
    if (!name)
        return;
    std::lock_guard lock(g_pendingMutex);
    g_pendingTextures.push_back(name);
    g_anyPending = true;
}

void GlContext::DeleteBuffer(GLuint name)
{
    if (!name)
        return;
    std::lock_guard lock(g_pendingMutex);
    g_pendingBuffers.push_back(name);
    g_anyPending = true;
}

void GlContext::DeleteRenderbuffer(GLuint name)
{
    if (!name)
        return;
    std::lock_guard lock(g_pendingMutex);
    g_pendingRenderbuffers.push_back(name);
    g_anyPending = true;
}

} // namespace yonda::d3d8

void YondaD3D8ReleaseThreadContext()
{
    yonda::d3d8::GlContext::ReleaseThisThread();
}
