#pragma once

namespace QV::Platform {

// Sets what every window of ours asks of OpenGL before it is created:
// GL 2.1, double buffered, RGBA8, depth 24, stencil 8.
void setGLWindowAttributes();

}  // namespace QV::Platform
