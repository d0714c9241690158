#pragma once

#include <cstdint>

#include "platform/gfx/gfx_device.h"

namespace QV {

// The device textures are created on; null when there is none. An installed
// device (tools, tests) wins over the render system's.
Gfx::IDevice* textureDevice();
void setTextureDevice(Gfx::IDevice* device);

// The workspace size new render textures are limited to; zeros when unknown.
void textureWorkspaceSize(uint32_t* width, uint32_t* height);

}  // namespace QV
