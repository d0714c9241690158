#pragma once

#include <cstddef>
#include <string>

#include "platform/gfx/shader_code.h"

namespace QV::Gfx {

// Parses shader assembly ("ps.1.1" to "ps.1.4", "vs.1.1") into its
// instruction list. Comments start with ";" or "//". Only the instruction
// subset the back ends translate is accepted; anything else fails with one
// error line per problem ("line 3: unknown instruction 'texm3x3'").
bool assembleShader(const char* text, size_t length, ShaderCode* code, std::string* errors);

}  // namespace QV::Gfx
