#pragma once

namespace QV::Gfx {

// A hidden window configured for the OpenGL device (2.1, RGBA8, depth 24,
// stencil 8, double buffer) for tools and tests; null when no video driver
// works. The handle is what the device expects as its window.
void* createHiddenGLWindow(int width, int height);
void destroyHiddenGLWindow(void* window);

}  // namespace QV::Gfx
