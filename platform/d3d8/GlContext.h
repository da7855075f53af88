// The OpenGL side of the stand-in: one EGL display for the process (surfaceless, so it renders
// headless on Mesa and on a GPU alike), one GL context per drawing thread, all sharing objects,
// so resources made on one thread draw on another.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include <cstdint>

namespace yonda::d3d8 {

class GlContext {
public:
    // TRUE when a GL 3.3 core context can be had; the first call sets EGL up.
    static bool Available();
    // Makes this thread's context current (creating it the first time); false without GL.
    // Also deletes the GL objects released since, wherever they were released.
    static bool MakeCurrent();
    // Identifies this thread's context, so the device knows when the GL state it knows is stale.
    static uint64_t CurrentId();
    // Gives this thread's context back now rather than when the thread ends (the next draw on
    // this thread makes a new one).
    static void ReleaseThisThread();
    // Per-context objects (vertex array, framebuffer), which GL does not share between contexts.
    static GLuint VertexArray();
    static GLuint Framebuffer();
    // GL objects can be released on any thread; they are deleted once some context is current.
    static void DeleteTexture(GLuint name);
    static void DeleteBuffer(GLuint name);
    static void DeleteRenderbuffer(GLuint name);
};

} // namespace yonda::d3d8
