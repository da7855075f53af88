#include "GlState.h"

#include <cstdio>

namespace yonda::d3d8 {
namespace {

GLuint Compile(GLenum kind, const std::string& text)
{
    const char* source = text.c_str();
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

} // namespace

BlendFactors GlBlend(DWORD sourceBlend, DWORD destinationBlend)
{
    bool both = sourceBlend == D3DBLEND_BOTHSRCALPHA || sourceBlend == D3DBLEND_BOTHINVSRCALPHA;
    return BlendFactors{BlendFactor(sourceBlend, true), BlendFactor(both ? sourceBlend : destinationBlend, false)};
}

GLenum GlCompare(DWORD func)
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

GLint GlWrap(DWORD address)
{
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
    }
}

SamplerFilters GlFilters(DWORD magFilter, DWORD minFilter, DWORD mipFilter)
{
    // Anisotropic filtering with an anisotropy of 1 is linear filtering.
    auto linear = [](DWORD filter) { return filter >= D3DTEXF_LINEAR; };
    bool minLinear = linear(minFilter);
    GLint min;
    switch (mipFilter) {
    case D3DTEXF_NONE: min = minLinear ? GL_LINEAR : GL_NEAREST; break;
    case D3DTEXF_POINT: min = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST; break;
    default: min = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR; break;
    }
    return SamplerFilters{linear(magFilter) ? GL_LINEAR : GL_NEAREST, min};
}

void ColorComponents(DWORD argb, float out[4])
{
    out[0] = float((argb >> 16) & 255) / 255.0f;
    out[1] = float((argb >> 8) & 255) / 255.0f;
    out[2] = float(argb & 255) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

GLuint LinkProgram(const std::string& vertexSource, const std::string& fragmentSource)
{
    GLuint vertex = Compile(GL_VERTEX_SHADER, vertexSource);
    GLuint fragment = Compile(GL_FRAGMENT_SHADER, fragmentSource);
    if (!vertex || !fragment) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return 0;
    }
    GLuint name = glCreateProgram();
    glAttachShader(name, vertex);
    glAttachShader(name, fragment);
    glLinkProgram(name);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(name, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(name, sizeof log, nullptr, log);
        std::fprintf(stderr, "d3d8: shader does not link: %s\n", log);
        glDeleteProgram(name);
        return 0;
    }
    return name;
}

} // namespace yonda::d3d8
