#pragma once

#include <pthread.h>

#include <cstddef>
#include <string>
#include <vector>

#include "singleton.h"

namespace QV {

class FastSprite;
class LuaScript2;
class Sprite;
class Texture;
class XmlDataReader;

// Creates, owns and deletes every sprite of one kind. Each operation holds
// the manager's recursive mutex for its whole length, including the Lua
// script and the texture requests of the sprite being made, so the sprite
// manager's lock is always taken before the texture manager's. No caching:
// two requests give two sprites that share only their textures.
//
// Instantiated for Sprite and FastSprite only (in sprite_manager.cpp).
template <class T>
class SpriteManager : public Singleton<SpriteManager<T>> {
public:
    SpriteManager();
    // Deletes the sprites still alive, releasing their textures.
    ~SpriteManager() override;

    // From a table of a Lua sprite script; failures are fatal.
    T* createSprite(const std::string& script, const std::string& table, const std::string& package);
    // Over the whole of an image; a missing texture is fatal.
    T* createSpriteFromImage(const std::string& image, const std::string& package);

    // Sprite only.
    // As createSprite, but a script or table that does not open gives null.
    T* loadSprite(const std::string& script, const std::string& table, const std::string& package);
    T* cloneSprite(const T* sprite);
    T* createSpriteFromTable(LuaScript2& script);
    T* createSpriteFromTexture(Texture* texture);
    T* createSpriteFromXml(XmlDataReader& reader);

    // Deletes a sprite this manager made; other pointers (null too) are ignored.
    void destroySprite(T* sprite);
    void destroyAllSprites();

    size_t spriteCount();
    // A copy of the list, in creation order.
    std::vector<T*> sprites();

private:
    T* adopt(T* sprite);

    std::vector<T*> mSprites;
    pthread_mutex_t mMutex;
    bool mMutexCreated = false;
};

template <>
Sprite* SpriteManager<Sprite>::loadSprite(const std::string& script, const std::string& table,
                                          const std::string& package);
template <>
Sprite* SpriteManager<Sprite>::cloneSprite(const Sprite* sprite);
template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTable(LuaScript2& script);
template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTexture(Texture* texture);
template <>
Sprite* SpriteManager<Sprite>::createSpriteFromXml(XmlDataReader& reader);

extern template class SpriteManager<Sprite>;
extern template class SpriteManager<FastSprite>;

}  // namespace QV
