// Where the fixed-function inputs (position, diffuse, two texture coordinate sets) sit in the
// vertex streams: from a flexible vertex format code or from a stream declaration.
#pragma once

#include <array>
#include <optional>

#include "GlContext.h"
#include "d3d8types.h"

namespace yonda::d3d8 {

struct VertexAttribute {
    bool present = false;
    UINT stream = 0;
    UINT offset = 0;
    GLint components = 0; // or GL_BGRA for colours
    GLenum type = GL_FLOAT;
    GLboolean normalized = GL_FALSE;
};

enum VertexInput { kInputPosition = 0, kInputDiffuse = 1, kInputTexture0 = 2, kInputTexture1 = 3, kInputCount = 4 };

struct VertexLayout {
    bool pretransformed = false;
    std::array<VertexAttribute, kInputCount> inputs;
    UINT fvfStride = 0; // the size one vertex of the FVF takes in stream 0
    std::array<bool, 16> usesStream{};
};

// Layouts of an FVF code (nullopt for codes without a position) and of a declaration
// (nullopt for a malformed one).
std::optional<VertexLayout> LayoutFromFvf(DWORD fvf);
std::optional<VertexLayout> LayoutFromDeclaration(const DWORD* tokens);

} // namespace yonda::d3d8
