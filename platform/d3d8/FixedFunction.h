// The fixed-function pipeline of Direct3D 8 as the programs use it, emulated in GLSL: transforms
// with row vectors into Direct3D's pixel grid, pre-transformed vertices, two texture stages,
// alpha test, blending, culling, depth and vertex fog. No lighting.
//
// Each combination of the states that shape the pipeline (stage operations and arguments, which
// stages have textures, the alpha test's comparison, the fog modes, pre-transformed vertices)
// gets a program of its own with only that path in it: the software renderer runs a program for
// every vertex and pixel, and branches over uniforms cost it as much as the work they skip.
// Values (matrices, viewport, texture factor, alpha reference, fog) stay uniforms, each program
// keeping what it was last given, so a draw uploads only what changed for its program.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DeviceState.h"
#include "GlContext.h"

namespace yonda::d3d8 {

class FixedFunction {
public:
    // The process-wide pipeline; null when GL cannot compile its programs. Needs a current context.
    static FixedFunction* Get();

    // Makes GL draw with the state's dirty groups applied; false when GL refuses the program.
    bool Apply(const DeviceState& state, uint32_t dirty, bool pretransformed);

    // The states that choose a program, with those that cannot matter left at zero.
    struct Key {
        uint8_t pretransformed = 0;
        uint8_t colorOp[kDrawnStages] = {}, colorArg1[kDrawnStages] = {}, colorArg2[kDrawnStages] = {};
        uint8_t alphaOp[kDrawnStages] = {}, alphaArg1[kDrawnStages] = {}, alphaArg2[kDrawnStages] = {};
        uint8_t texture[kDrawnStages] = {}, coordIndex[kDrawnStages] = {};
        uint8_t alphaFunc = 0; // 0 when the test passes everything
        uint8_t fogEnable = 0, fogTable = 0, fogVertex = 0, rangeFog = 0;
        bool operator==(const Key&) const = default;
    };
    static Key KeyOf(const DeviceState& state, bool pretransformed);
    // The GLSL of a combination's vertex and fragment programs.
    static std::string VertexSource(const Key& key);
    static std::string FragmentSource(const Key& key);

    // The values the programs read, in the form they upload.
    struct Values {
        float worldView[16] = {};
        float projection[16] = {};
        float viewport[4] = {};
        float depthRange[2] = {};
        float factor[4] = {};
        float alphaRef = 0;
        float fog[3] = {};
        float fogColor[4] = {};
    };
    // The values of the state's groups (dirty-group bits) written into values.
    static void FillValues(const DeviceState& state, uint32_t groups, Values* values);

private:
    struct Program;

    FixedFunction() = default;
    Program* ProgramFor(const Key& key);
    void Upload(Program& program);

    std::vector<std::unique_ptr<Program>> m_programs;
    Program* m_current = nullptr;
    Key m_key;
    Values m_values;
    GLuint m_samplers[kDrawnStages] = {};
};

} // namespace yonda::d3d8
