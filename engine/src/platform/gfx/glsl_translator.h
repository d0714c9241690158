#pragma once

// GLSL 1.20 texts for the OpenGL back end: the fixed-function stand-ins and
// translations of assembled shaders. Plain text work, no GL calls.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gfx/shader_code.h"

namespace QV::Gfx {

// Texture coordinate sets carried from vertex to pixel stage.
constexpr int kGlslTexCoordSets = 4;

// One vertex input of a declaration: register, type code and byte offset.
struct VertexInput {
    uint32_t reg = 0;
    uint32_t type = 0;
    uint32_t offset = 0;
};
// Parses a declaration token list (stream 0 only); false on tokens this
// back end does not take.
bool parseDeclaration(const uint32_t* declaration, std::vector<VertexInput>* inputs, uint32_t* stride,
                      std::string* error);

// What the fixed pixel path depends on: stage 0's operations and
// arguments, the alpha test function and whether the draw's diffuse colour
// is white on every vertex. Each combination gets its own straight-line
// program.
struct FixedPixelKey {
    uint32_t colorOp = 4, colorArg1 = 2, colorArg2 = 1;
    uint32_t alphaOp = 2, alphaArg1 = 2, alphaArg2 = 1;
    uint32_t alphaFunc = 8;
    uint32_t diffuseWhite = 0;
    uint64_t packed() const;
};

std::string glslFixedVertexShader();
std::string glslFixedPixelShader(const FixedPixelKey& key);
// Empty result with an error text when the code uses what GLSL here cannot
// express.
std::string glslPixelShader(const ShaderCode& code, std::string* error);
std::string glslVertexShader(const ShaderCode& code, const std::vector<VertexInput>& inputs, std::string* error);

}  // namespace QV::Gfx
