#include "platform/gfx/gl_window.h"

#include <SDL.h>

#include "platform/gl_window_attributes.h"

namespace QV::Gfx {

void* createHiddenGLWindow(int width, int height) {
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    // Keep the GL driver loaded for the whole process: unloading it with the
    // last window would orphan what the driver keeps for itself.
    static const bool driverPinned = SDL_GL_LoadLibrary(nullptr) == 0;
    (void)driverPinned;
    Platform::setGLWindowAttributes();
    return SDL_CreateWindow("gfx", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

void destroyHiddenGLWindow(void* window) {
    if (window) SDL_DestroyWindow(static_cast<SDL_Window*>(window));
}

}  // namespace QV::Gfx
