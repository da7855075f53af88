// Direct3D's render and sampler states in GL's terms, and the linking of a GLSL program.
#pragma once

#include <string>

#include "GlContext.h"
#include "d3d8.h"

namespace yonda::d3d8 {

struct BlendFactors {
    GLenum source;
    GLenum destination;
};
struct SamplerFilters {
    GLint mag;
    GLint min;
};

BlendFactors GlBlend(DWORD sourceBlend, DWORD destinationBlend);
GLenum GlCompare(DWORD func);
GLint GlWrap(DWORD address);
SamplerFilters GlFilters(DWORD magFilter, DWORD minFilter, DWORD mipFilter);
// 0xAARRGGBB as four floats, red first.
void ColorComponents(DWORD argb, float out[4]);
// The linked program, or 0 (with GL's complaint on stderr) when GL refuses it.
GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource);

} // namespace yonda::d3d8
