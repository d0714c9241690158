#pragma once

#include <cstdint>

namespace QV {

// The pixel shader part of a program.
class ShaderProgramDX8 {
public:
    virtual ~ShaderProgramDX8() = default;
    uint32_t mPixelShaderHandle = 0;
    uint8_t mPixelShaderCreated = 0;
};

class VertexShaderDX8 {
public:
    virtual ~VertexShaderDX8() = default;
    uint32_t mHandle = 0;
    uint8_t mCreated = 0;
};

class VertexShader : public VertexShaderDX8 {};

// A pixel shader and an optional vertex shader, assembled from text. Without
// a vertex shader the fixed vertex path is used.
class ShaderProgram : public ShaderProgramDX8 {
public:
    ~ShaderProgram() override = default;
    VertexShader mVertexShader;
    uint8_t mUsable = 0;  // set by the creator once every wanted part exists
};

}  // namespace QV
