// The fixed-function pipeline of Direct3D 8 as the programs use it, emulated by one GLSL program:
// transforms with row vectors into Direct3D's pixel grid, pre-transformed vertices, two texture
// stages, alpha test, blending, culling, depth and vertex fog. No lighting.
#pragma once

#include "DeviceState.h"
#include "GlContext.h"

namespace yonda::d3d8 {

class FixedFunction {
public:
    // The process-wide program; null when GL cannot compile it. Needs a current context.
    static FixedFunction* Get();

    // Makes GL draw with the state's dirty groups applied .
    void Apply(const DeviceState& state, uint32_t dirty, bool pretransformed);

private:
    FixedFunction() = default;
    bool Build();

    GLuint m_program = 0;
    GLuint m_samplers[kDrawnStages] = {};
    GLint m_worldView = -1, m_projection = -1, m_pretransformed = -1, m_viewport = -1, m_depthRange = -1;
    GLint m_fogVertexMode = -1, m_rangeFog = -1, m_fog = -1, m_coordIndex = -1;
    GLint m_colorOp = -1, m_alphaOp = -1, m_factor = -1, m_alphaFunc = -1, m_alphaRef = -1;
    GLint m_fogEnable = -1, m_fogTableMode = -1, m_fogColor = -1;
};

}  // namespace yonda::d3d8
