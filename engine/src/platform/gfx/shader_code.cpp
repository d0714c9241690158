#include "platform/gfx/shader_code.h"

#include "platform/gfx/gfx_types.h"

namespace QV::Gfx {

uint32_t ShaderCode::version() const {
    return pixel ? psVersion(uint32_t(major), uint32_t(minor)) : vsVersion(uint32_t(major), uint32_t(minor));
}

}  // namespace QV::Gfx
