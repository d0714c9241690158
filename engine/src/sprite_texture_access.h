#pragma once

#include <cstdint>
#include <string>

namespace QV {

class Texture;

// What sprites need of the texture manager: a texture by image name and
// package (null when there is none) and its size in pixels (0 for null).
Texture* requestSpriteTexture(const std::string& image, const std::string& package);
uint32_t spriteTextureWidth(const Texture* texture);
uint32_t spriteTextureHeight(const Texture* texture);

}  // namespace QV
