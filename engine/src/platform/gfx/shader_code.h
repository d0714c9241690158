#pragma once

// The assembled form of a shader text: the parsed instruction list the back
// ends consume (the OpenGL one translates it into GLSL).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace QV::Gfx {

enum class RegisterType : uint8_t {
    Temp,      // r#
    Const,     // c#
    Texture,   // t# (pixel: texture or coordinate register)
    Input,     // v# (vertex: stream input, pixel: colour)
    Address,   // a0
    OutPos,    // oPos
    OutColor,  // oD#
    OutTex,    // oT#
    OutFog,    // oFog
    OutPts,    // oPts
};

enum class SourceModifier : uint8_t { None, Bias, Bx2, X2, Complement, Dz, Dw };

struct ShaderSource {
    RegisterType type = RegisterType::Temp;
    int index = 0;
    bool relative = false;   // c[a0.x + index]
    bool negate = false;
    SourceModifier modifier = SourceModifier::None;
    std::array<uint8_t, 4> swizzle{{0, 1, 2, 3}};  // 0 x/r .. 3 w/a
};

struct ShaderDest {
    RegisterType type = RegisterType::Temp;
    int index = 0;
    uint8_t writeMask = 0xF;  // bit 0 x .. bit 3 w
};

struct ShaderInstruction {
    std::string opcode;  // lower case: "mov", "texld", "phase", ...
    ShaderDest dest;
    std::vector<ShaderSource> sources;
    bool saturate = false;
    int shift = 0;  // _x2 = 1, _x4 = 2, _x8 = 3, _d2 = -1, _d4 = -2, _d8 = -3
    bool coissue = false;
    int line = 0;
};

struct ShaderConstant {
    int index = 0;
    std::array<float, 4> value{{0, 0, 0, 0}};
};

struct ShaderCode {
    bool pixel = false;  // ps.* or vs.*
    int major = 0;
    int minor = 0;
    std::vector<ShaderConstant> constants;  // def c#
    std::vector<ShaderInstruction> instructions;
    std::string source;  // the text it came from

    uint32_t version() const;  // as the capabilities report it
};

}  // namespace QV::Gfx
