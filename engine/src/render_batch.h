#pragma once

#include <cstdint>

#include "platform/gfx/gfx_device.h"

namespace QV {

class Texture;

// How the renderer reaches textures, installed by the texture manager:
// whether a texture reached the device yet and its device texture (without
// hooks every texture counts as uploaded and draws with no device texture),
// and the manager's device work at the end of a frame and around a reset.
struct TextureDeviceHooks {
    bool (*isUploaded)(const Texture*) = nullptr;
    Gfx::ITexture* (*deviceTexture)(const Texture*) = nullptr;
    void (*update)() = nullptr;                  // uploads and destructions
    void (*destroyQueued)() = nullptr;           // destroy queue, at once
    void (*releaseDeviceTextures)() = nullptr;   // before the device reset
    void (*resetDeviceTextures)() = nullptr;     // after it
};
const TextureDeviceHooks& textureDeviceHooks();
void setTextureDeviceHooks(const TextureDeviceHooks& hooks);
bool isTextureUploaded(const Texture* texture);
Gfx::ITexture* deviceTextureOf(const Texture* texture);

// The buffers every batch goes through.
constexpr uint32_t kBatchVertexCapacity = 4000;
constexpr uint32_t kBatchQuadCapacity = 1000;

// Destination blend factor of a blend mode (0 alpha, 1 colour, 2 add), 0 for
// any other value.
uint32_t destinationBlendOf(int32_t blendMode);
// Address mode (1 mirror, 2 clamp, anything else wrap) as the device's code.
uint32_t textureAddressOf(int32_t addressMode);

}  // namespace QV
