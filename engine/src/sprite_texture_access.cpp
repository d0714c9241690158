#include "sprite_texture_access.h"

#include "texture.h"
#include "texture_manager.h"

namespace QV {

Texture* requestSpriteTexture(const std::string& image, const std::string& package) {
    return TextureManager::instance()->getTexture(image, package);
}

uint32_t spriteTextureWidth(const Texture* texture) { return texture ? texture->getWidth() : 0; }

uint32_t spriteTextureHeight(const Texture* texture) { return texture ? texture->getHeight() : 0; }

}  // namespace QV
