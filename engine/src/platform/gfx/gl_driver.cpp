#include "platform/gfx/gfx_device.h"

namespace QV::Gfx {

// The OpenGL back end lands next; until then no driver starts.
IDriver* createOpenGLDriver(uint32_t) { return nullptr; }

}  // namespace QV::Gfx
