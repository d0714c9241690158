#include "sprite_manager.h"

#include <algorithm>

#include "fast_sprite.h"
#include "mutex_lock.h"
#include "sprite.h"

namespace QV {

template <class T>
SpriteManager<T>::SpriteManager() {
    initRecursiveMutex(&mMutex);
    mMutexCreated = true;
}

template <class T>
SpriteManager<T>::~SpriteManager() {
    {
        MutexLock lock(&mMutex);
        destroyAllSprites();  // takes the mutex again: it is recursive
    }
    pthread_mutex_destroy(&mMutex);
    mMutexCreated = false;
}

template <class T>
T* SpriteManager<T>::adopt(T* sprite) {
    mSprites.push_back(sprite);
    return sprite;
}

template <class T>
T* SpriteManager<T>::createSprite(const std::string& script, const std::string& table,
                                  const std::string& package) {
    MutexLock lock(&mMutex);
    T* sprite = new T();
    sprite->loadFromScript(script, table, package);
    return adopt(sprite);
}

template <class T>
T* SpriteManager<T>::createSpriteFromImage(const std::string& image, const std::string& package) {
    MutexLock lock(&mMutex);
    T* sprite = new T();
    sprite->loadTexture(image, package);
    return adopt(sprite);
}

template <class T>
void SpriteManager<T>::destroySprite(T* sprite) {
    MutexLock lock(&mMutex);
    typename std::vector<T*>::iterator it = std::find(mSprites.begin(), mSprites.end(), sprite);
    if (it == mSprites.end()) return;
    mSprites.erase(it);
    delete sprite;
}

template <class T>
void SpriteManager<T>::destroyAllSprites() {
    MutexLock lock(&mMutex);
    for (T* sprite : mSprites) delete sprite;
    mSprites.clear();
}

template <class T>
size_t SpriteManager<T>::spriteCount() {
    MutexLock lock(&mMutex);
    return mSprites.size();
}

template <class T>
std::vector<T*> SpriteManager<T>::sprites() {
    MutexLock lock(&mMutex);
    return mSprites;
}

template <>
Sprite* SpriteManager<Sprite>::loadSprite(const std::string& script, const std::string& table,
                                          const std::string& package) {
    MutexLock lock(&mMutex);
    Sprite* sprite = new Sprite();
    if (sprite->tryLoadFromScript(script, table, package) != 0) {
        delete sprite;
        return nullptr;
    }
    return adopt(sprite);
}

template <>
Sprite* SpriteManager<Sprite>::cloneSprite(const Sprite* sprite) {
    MutexLock lock(&mMutex);
    if (!sprite) return nullptr;
    return adopt(new Sprite(*sprite));
}

template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTable(LuaScript2& script) {
    MutexLock lock(&mMutex);
    Sprite* sprite = new Sprite();
    sprite->parseTable(script);
    return adopt(sprite);
}

template <>
Sprite* SpriteManager<Sprite>::createSpriteFromTexture(Texture* texture) {
    MutexLock lock(&mMutex);
    Sprite* sprite = new Sprite();
    sprite->initFromTexture(texture);
    return adopt(sprite);
}

template <>
Sprite* SpriteManager<Sprite>::createSpriteFromXml(XmlDataReader& reader) {
    MutexLock lock(&mMutex);
    Sprite* sprite = new Sprite();
    sprite->parseXml(reader);
    return adopt(sprite);
}

template class SpriteManager<Sprite>;
template class SpriteManager<FastSprite>;

}  // namespace QV
