#pragma once

#include <cstddef>
#include <string>

#include "platform/gfx/shader_code.h"

namespace QV::Gfx {

// Parses shader assembly ("ps.1.1" to "ps.1.4", "vs.1.1") into its
// instruction list. Comments start with ";" or "//". Only the instruction
// subset the back ends translate is accepted; anything else fails with one
// error line per problem ("line 3: unknown instruction 'texm3x3'").
//
// Pixel shaders: def, mov, add, sub, mul, mad, lrp, dp3, dp4, cnd, cmp, nop;
// tex and texcoord before 1.4; texld, texcrd and phase in 1.4. Registers
// r0-r5, c0-c7, t0-t3 (coordinate sets), v0-v1. Instruction modifiers _x2,
// _x4, _x8, _d2, _d4, _d8, _sat; source modifiers -, 1-, _bias, _bx2, _x2,
// _dz/_db, _dw/_da; swizzles and write masks; "+" co-issue.
// Vertex shaders: mov, add, sub, mul, mad, dp3, dp4, min, max, slt, sge,
// rcp, rsq, m4x4, m4x3, m3x4, m3x3, m3x2, nop. Registers v0-v15, r0-r11,
// c0-c95 and c[a0.x + n], a0, oPos, oD0-oD1, oT0-oT3 (oFog, oPts ignored).
// Stage n of texld/tex is the sampler of the destination register number.
bool assembleShader(const char* text, size_t length, ShaderCode* code, std::string* errors);

}  // namespace QV::Gfx
