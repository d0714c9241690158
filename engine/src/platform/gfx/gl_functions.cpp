#include "platform/gfx/gl_functions.h"

#include <SDL.h>

namespace QV::Gfx {

bool GLFunctions::load(const char** missing) {
#define QV_GL_LOAD(name)                                                                 \
    name = reinterpret_cast<decltype(name)>(SDL_GL_GetProcAddress(#name));              \
    if (!name) {                                                                         \
        if (missing) *missing = #name;                                                   \
        return false;                                                                    \
    }
    QV_GL_FUNCTIONS(QV_GL_LOAD)
#undef QV_GL_LOAD
    return true;
}

}  // namespace QV::Gfx
